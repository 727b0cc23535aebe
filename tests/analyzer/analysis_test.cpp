// The frequencies the SWR analysis finds, against the load's own physics on
// the simulated boards: each lies within its interval wherever it has one.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstdio>
#include <string>

#include "analyzer/analysis.h"
#include "analyzer/files.h"
#include "analyzer/sweep.h"
#include "common/text.h"
#include "sim/sim_rig.h"
#include "support/bridge_check_run.h"

using namespace kolm;
using namespace kolm::analyzer;

namespace {

// The load's SWR at `mhz`.
double swrOf(const sim::Load& load, double mhz) {
  const double rho = std::abs(load.gamma(mhz));
  return (1 + rho) / (1 - rho);
}

}  // namespace

// Series RLC loads of Q 5 to 30 over 1-60 MHz in 200 steps: the lowest SWR's
// frequency, the reactance's zero and the SWR 2 and 1.5 edges lie within their
// intervals; on the ideal board the first two are within 1 % of the model's.
// The harsh board is read with the figures its own check finds, as the
// window reads it.
TEST(AnalysisFrequencies, TheTruthLiesWithinEachFrequencysInterval) {
  BridgeFigures harsh = evaluateBridgeCheck(test::checkOn(sim::Board::Harsh)).figures;
  harsh.phaseEndDeg = 25;
  for (sim::Board board : {sim::Board::Ideal, sim::Board::Typical, sim::Board::Harsh}) {
    const BridgeFigures& figures = board == sim::Board::Harsh ? harsh : publishedBridge();
    int found = 0, close = 0, bounded = 0, noted = 0;
    for (double r : {12.0, 35.0, 100.0})
      for (double f0 : {3.7, 7.1, 14.2, 28.5, 50.0})
        for (double q : {5.0, 30.0}) {
          const double w = 2 * M_PI * f0 * 1e6, l = q * r / w, c = 1 / (w * w * l);
          // Written with the point whatever the locale (to_string follows it).
          auto text = [](double v) { return common::formatPattern(v, "0.000000"); };
          const std::string load =
              "rlc:r=" + text(r) + ",l=" + text(l * 1e6) + "u,c=" + text(c * 1e12) + "p";
          SCOPED_TRACE(load + " " + std::string(sim::boardName(board)));
          test::SimRig rig("through", load, {}, board);
          const SwrAnalysis a = analyzeSwr(exportTrace(200, 1, 60, rig.pass(1, 60, 200), figures));
          const sim::Load& truth = rig.sim->load();
          auto within = [&](const char* what, std::optional<double> v, std::optional<double> pm,
                            double right) {
            if (!v || !pm) return;
            ++bounded;
            EXPECT_LE(std::fabs(*v - right), *pm) << what << " " << *v << " truth " << right;
          };
          within("minimum", a.minMHz, a.minPm, f0);  // a series RLC's SWR is lowest at f0
          // ... and inside its SWR 2 band: its interval reaches no further.
          if (const auto& b = a.swr2; a.minPm && b.lowPm() && b.highPm()) {
            EXPECT_LE(*a.minPm,
                      std::max(*b.high + *b.highPm() - *a.minMHz, *a.minMHz - *b.low + *b.lowPm()));
          }
          within("X = 0", a.resMHz, a.resPm, f0);
          // A marker on the sweep point nearest either: its note's interval
          // holds f0 too; half a step further on, it has none.
          const double step = 59.0 / 200;
          for (auto v : {a.minMHz, a.resMHz}) {
            if (!v) continue;
            const double x = 1 + std::round((*v - 1) / step) * step;
            const std::string note = markerFrequencyNote(a, x, step / 2);
            if (note.empty()) continue;
            ++noted;
            EXPECT_LE(std::fabs(x - f0) * 1e3, common::numericValue(note.substr(note.find(' ', 1))))
                << note << " at " << x;
          }
          if (a.minMHz) {
            EXPECT_EQ(markerFrequencyNote(a, *a.minMHz + step, step / 2).find("SWR min"),
                      std::string::npos);
          }
          for (const auto& [edges, limit] : {std::pair{&a.swr2, 2.0}, {&a.swr15, 1.5}})
            for (int side : {-1, 1}) {
              const auto edge = side < 0 ? edges->low : edges->high;
              if (!edge) continue;
              double f = f0;  // out from the minimum to where the SWR reaches the limit
              while (swrOf(truth, f) < limit && f > 0.5 && f < 70) f *= 1 + side * 1e-5;
              within("edge", edge, side < 0 ? edges->lowPm() : edges->highPm(), f);
            }
          for (auto v : {a.minMHz, a.resMHz})
            if (v) {
              ++found;
              close += std::fabs(*v - f0) <= 0.01 * f0;
            }
        }
    EXPECT_GT(bounded, 60);
    EXPECT_GT(noted, 15);
    if (board == sim::Board::Ideal) {
      EXPECT_GE(close, 0.95 * found) << close << " of " << found;
    }
  }
}
