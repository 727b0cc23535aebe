// What the analyzer promises about every number it shows, checked against the
// load's own physics over a grid of loads on the simulated boards: the truth
// lies inside the value's interval for at least 95 % of the values, and every
// value read as a plain measurement is as close to the truth as its mark
// promises (analyzer::tooWide); a correction states (nearly) as many signs of
// the reactance as the same readings uncorrected. (The table of these figures
// is bench/promise's, scripts/promise-table.sh.)
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <map>
#include <numbers>
#include <utility>
#include <vector>

#include "analyzer/calibration.h"
#include "analyzer/measurement.h"
#include "analyzer/quantity_trace.h"
#include "analyzer/sweep.h"
#include "common/reflection.h"
#include "sim/sim_rig.h"
#include "support/bridge_check_run.h"
#include "support/reflection_truth.h"

using namespace kolm;
using namespace kolm::analyzer;

namespace {

struct Tally {
  int values = 0, inside = 0;
};

constexpr const char* kNames[kQuantities] = {"rl", "phase", "z", "r", "x", "swr"};

}  // namespace

TEST(ReadingsPromise, TruthInsideTheIntervalsAndPlainValuesClose) {
  const char* loads[] = {"r=5",
                         "r=25",
                         "r=50",
                         "r=100",
                         "r=450",
                         "r=1000",
                         "rlc:r=0,l=1u",
                         "rlc:r=0,c=100p",
                         "rlc:r=12.5,l=2u,c=62.8p",
                         "rlc:r=50,l=1u,c=129.2p",
                         "rlc:r=200,l=5u,c=20p",
                         "open",
                         "short"};
  // The harsh board is read with the figures its own check finds and its phase
  // ends stated: the marks follow the figures, not one board.
  BridgeFigures harsh = evaluateBridgeCheck(test::checkOn(sim::Board::Harsh)).figures;
  harsh.phaseEndDeg = 25;
  for (sim::Board board : {sim::Board::Typical, sim::Board::Ideal, sim::Board::Harsh}) {
    int statedUncorrected = 0;
    for (bool corrected : {false, true}) {
      SCOPED_TRACE(std::string(sim::boardName(board)) + (corrected ? " corrected" : ""));
      BridgeFigures figures = board == sim::Board::Harsh ? harsh : publishedBridge();
      if (corrected) {
        // Calibrated with the procedure's standards, read through the figures in use.
        const CalibrationResult cal =
            solveCalibration(test::calibrationRunOn(board), "sim", figures);
        ASSERT_TRUE(cal.calibration) << cal.fault;
        figures.calibration = std::make_shared<const BridgeCalibration>(*cal.calibration);
      }
      std::array<Tally, kQuantities> all;
      int stated = 0;     // points whose reactance's sign is stated
      Tally reflections;  // the load's reflection within its disk
      for (const char* load : loads) {
        SCOPED_TRACE(load);
        test::SimRig rig("through", load, {}, board);
        const int points = 60;
        const Channels c = rig.pass(1, 30, points);
        TraceValues t;
        computeTraceValues(c, points, t, figures);
        for (int i = 0; i <= points; ++i) {
          stated += t.signs[i] != ReactanceSign::Unknown;
          const auto gamma = rig.sim->load().gamma(c.frequencies[i]);
          const PointValues truth = test::quantitiesOf(gamma);
          if (const chart::ReflectionPoint g = reflectionAt(t, static_cast<size_t>(i));
              chart::numeric(g.mark)) {
            ++reflections.values;
            reflections.inside += std::abs(gamma - g.value) <= g.radius;
          }
          PointValues shown{};
          for (int q = 0; q < kQuantities; ++q) shown[q] = t.values[q][i];
          for (int q = 0; q < kQuantities; ++q) {
            const chart::Mark mark = t.mark(static_cast<size_t>(i), q);
            const double v = t.values[q][i], pm = t.halfWidths[q][i], x = truth[q];
            if (!std::isfinite(x) || mark == chart::Mark::Open || mark == chart::Mark::Invalid)
              continue;
            ++all[q].values;
            all[q].inside += mark == chart::Mark::AtLeast  ? x >= v - pm
                             : mark == chart::Mark::AtMost ? x <= v + pm
                                                           : std::fabs(x - v) <= pm;
            if (mark != chart::Mark::Valid) continue;
            if (tooWide(q, shown, static_cast<float>(std::fabs(x - v))))
              ADD_FAILURE() << kNames[q] << " at " << c.frequencies[i] << " MHz reads " << v
                            << " (truth " << x << ") unmarked";
          }
        }
      }
      EXPECT_GE(reflections.inside, 0.95 * reflections.values);
      EXPECT_GT(reflections.values, 0);
      for (int q = 0; q < kQuantities; ++q) {
        SCOPED_TRACE(kNames[q]);
        ASSERT_GT(all[q].values, 0);
        EXPECT_GE(all[q].inside, 0.95 * all[q].values);
      }
      EXPECT_GE(stated, 0.95 * statedUncorrected);  // uncorrected: 0
      statedUncorrected = stated;
    }
  }
}

// Within the phase output's end regions a reading can be anything from it to
// the end: the interval reaches 0 or 180 degrees there, and stays inside them
// over the middle.
TEST(ReadingsPromise, ThePhaseEndRegionsReachTheirEnds) {
  const BridgeFigures& f = publishedBridge();
  for (int16_t b = 0; b < kHalfTurnCounts; b += 13) {
    const double read = b * 180.0 / kHalfTurnCounts;
    const PointInterval in = pointInterval(256, b, evaluatePoint(256, b).values, f);
    if (read < f.phaseEndDeg) {
      EXPECT_EQ(in.low[kPhase], 0.f) << read;
    }
    if (read > 180 - f.phaseEndDeg) {
      EXPECT_EQ(in.high[kPhase], 180.f) << read;
    }
    if (read > 30 && read < 150) {
      EXPECT_TRUE(in.low[kPhase] > 0 && in.high[kPhase] < 180) << read;
    }
  }
}

// The impedance's interval is that of the region the readings leave, neither
// narrower (a load inside it outside the interval) nor needlessly wider: the
// region (sizes [rhoLow, rhoHigh], angles [low, high], widened by the
// directivity d) is read back from the return loss's and phase's intervals and
// sampled densely.
TEST(ReadingsPromise, TheImpedanceIntervalIsTheRegionsOwn) {
  const BridgeFigures& f = publishedBridge();
  const double d = std::pow(10.0, -f.directivityDb / 20) / std::pow(10.0, -f.trackingDb / 20);
  for (int16_t a = 118; a <= 478; a += 72)
    for (int16_t b = 103; b <= 824; b += 103) {
      const PointInterval in = pointInterval(a, b, evaluatePoint(a, b).values, f);
      const double rhoHigh = std::pow(10.0, -in.low[kReturnLoss] / 20.0) - d;
      const double rhoLow = std::pow(10.0, -in.high[kReturnLoss] / 20.0) + d;
      const double turn = std::asin(d / rhoLow), toRad = std::numbers::pi / 180;
      const double low = in.low[kPhase] * toRad + turn, high = in.high[kPhase] * toRad - turn;
      ASSERT_LT(rhoHigh + d, 1);
      if (in.low[kPhase] == 0) continue;  // folded at 0: the angles are not read back
      std::array<double, kQuantities> least, most;
      least.fill(1e300), most.fill(-1e300);
      for (int i = 0; i <= 8; ++i)
        for (int j = 0; j <= 8; ++j)
          for (int k = 0; k < 48; ++k)
            for (double share : {0.5, 1.0}) {
              const std::complex<double> g =
                  std::polar(rhoLow + (rhoHigh - rhoLow) * i / 8, low + (high - low) * j / 8) +
                  std::polar(d * share, k * std::numbers::pi / 24);
              const PointValues truth = test::quantitiesOf(g);
              for (int q : {kImpedance, kResistance, kReactance}) {
                least[q] = std::min<double>(least[q], truth[q]);
                most[q] = std::max<double>(most[q], truth[q]);
                const double slack = 1e-4 * std::fabs(truth[q]) + 1e-4;
                EXPECT_GE(truth[q], in.low[q] - slack) << a << " " << b << " " << kNames[q];
                EXPECT_LE(truth[q], in.high[q] + slack) << a << " " << b << " " << kNames[q];
              }
            }
      for (int q : {kImpedance, kResistance, kReactance}) {
        const double width = in.high[q] - in.low[q];
        EXPECT_LT(least[q] - in.low[q], 0.01 * width) << a << " " << b << " " << kNames[q];
        EXPECT_LT(in.high[q] - most[q], 0.01 * width) << a << " " << b << " " << kNames[q];
      }
    }
}

// The reactance alone is the point's own, to the bit, for every reading and for
// means between them.
TEST(ReadingsPromise, TheReactanceAloneIsThePointsOwn) {
  auto same = [](float x, float y) { return x == y || (std::isnan(x) && std::isnan(y)); };
  for (int a = -1; a <= 1025; ++a)
    for (int b = -1; b <= 1025; ++b) {
      const auto around = reactancesAround(int16_t(a), int16_t(b));
      for (int i = 0; i < 4; ++i) {
        const int16_t da = int16_t(a + (i < 2 ? -1 : 1)), db = int16_t(b + (i % 2 ? 1 : -1));
        ASSERT_TRUE(same(evaluatePoint(da, db).values[kReactance], around[i])) << da << " " << db;
      }
      if (a % 7 || b % 7) continue;
      for (double fa : {0.0, 0.25, 2.0 / 3})
        for (double fb : {0.0, 0.5, 0.75}) {
          const double ma = a + fa, mb = b + fb;
          const auto mean = reactancesAround(ma, mb);
          for (int i = 0; i < 4; ++i) {
            const double na = ma + (i < 2 ? -1 : 1), nb = mb + (i % 2 ? 1 : -1);
            ASSERT_TRUE(same(evaluateMeanPoint(na, nb).values[kReactance], mean[i]))
                << na << " " << nb;
          }
        }
    }
}

// What is kept for readings met lately is what they give when met afresh: over
// a block of neighbouring readings (whole, and means of four passes), asked for
// twice so that pairs share table entries, against each worked out in new
// tables; and |X|'s resolution is the point computation's own.
TEST(ReadingsPromise, AnUncertaintyIsTheSameWhateverWasAskedBefore) {
  const BridgeFigures& f = publishedBridge();
  BridgeFigures other = f;
  auto same = [](const PointUncertainty& x, const PointUncertainty& y) {
    return x.halfWidth == y.halfWidth && x.uncertain == y.uncertain && x.swrLow == y.swrLow &&
           x.reactanceResolution == y.reactanceResolution;
  };
  for (int passes : {1, 4}) {
    std::vector<std::pair<double, double>> readings;
    for (int i = 0; i < 60; ++i)
      for (int j = 0; j < 60; ++j)
        readings.push_back({(400.0 * passes + i) / passes, (300.0 * passes + j) / passes});
    std::vector<PointUncertainty> kept;
    const PointIntervals tables(f, passes);
    for (int round = 0; round < 2; ++round) {
      kept.clear();
      for (const auto& [a, b] : readings)
        kept.push_back(tables.uncertainty(a, b, evaluateMeanPoint(a, b)));
    }
    for (size_t k = 0; k < readings.size(); k += 7) {
      for (double spread : {2.0, 2.5}) {  // two other sets of figures: f's tables are dropped
        other.noiseSpread = spread;
        (void)PointIntervals(other, 1);
      }
      const auto [a, b] = readings[k];
      const PointResult p = evaluateMeanPoint(a, b);
      const auto afresh = PointIntervals(f, passes).uncertainty(a, b, p);
      ASSERT_TRUE(same(afresh, kept[k])) << passes << " passes, readings " << a << " " << b;
      // |X|'s resolution: how far the point computation moves it one count off.
      float spread = 0;
      for (float x : reactancesAround(a, b))
        spread = std::max(spread, std::fabs(std::fabs(x) - std::fabs(p.values[kReactance])));
      EXPECT_EQ(afresh.reactanceResolution, spread) << a << " " << b;
    }
  }
}
