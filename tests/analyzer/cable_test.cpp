// A cable taken out of a measurement, its intervals and signs, and a stub's
// figures measured from its resonances.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <string>
#include <tuple>

#include "analyzer/cable.h"
#include "analyzer/swept_trace.h"
#include "common/reflection.h"
#include "common/text.h"
#include "sim/connection.h"
#include "support/reflection_truth.h"

using namespace kolm::analyzer;
using kolm::test::quantitiesOf;
using kolm::test::sweptTrace;
using Complex = std::complex<double>;

namespace {

// The far end's reflection is the textbook line transform undone, and the
// simulator's line (its own telegrapher solution) undone gives its load back.
TEST(Cable, TakesTheLineOutAsTheLineTransformAndTheSimulatorsLinePutIt) {
  for (const char* text : {"RG58:10", "rg-174:33", "LADDER450:20", "7.5,0.8,3@10,75",
                           "0.1,0.6666666666666666,1.3@7"}) {
    std::string why;
    const auto cable = parseCable(text, &why);
    ASSERT_TRUE(cable) << why;
    // Written as a session keeps it, the same cable reads back.
    const auto again = parseCable(cableSpec(*cable), &why);
    ASSERT_TRUE(again) << cableSpec(*cable) << why;
    auto figures = [](const Cable& c) {
      return std::tie(c.name, c.lengthM, c.velocityFactor, c.lossDbPer100m, c.lossAtMHz, c.z0Ohm);
    };
    EXPECT_EQ(figures(*again), figures(*cable)) << cableSpec(*cable);
    for (const char* far : {"r=25", "rlc:r=5,l=2u,c=80p", "r=300", "rlc:r=80,c=50p", "short"}) {
      const auto line =
          kolm::sim::parseLoad("line:z0=" + kolm::common::shortestText(cable->z0Ohm) +
                               ",len=" + kolm::common::shortestText(cable->lengthM) +
                               ",vf=" + kolm::common::shortestText(cable->velocityFactor) +
                               ",loss=" + kolm::common::shortestText(cable->lossDbPer100m) + "@" +
                               kolm::common::shortestText(cable->lossAtMHz) + ",load=" + far);
      ASSERT_TRUE(line.ok()) << line.error;
      for (double mhz : {1.9, 7.1, 14.2, 29.0}) {
        const Complex truth = line.value->far->gamma(mhz);
        // Textbook: Zin = Zc (ZL + Zc tanh gl) / (Zc + ZL tanh gl), the line's
        // constants from R' = 2 alpha Z0, L' = Z0 / v, C' = 1 / (Z0 v).
        const double alpha = cable->lossAt(mhz) / 100 / 8.685889638;
        const double w = 2 * std::numbers::pi * mhz * 1e6, v = cable->velocityFactor * 299792458;
        const Complex series(2 * alpha * cable->z0Ohm, w * cable->z0Ohm / v);
        const Complex shunt(0, w / (cable->z0Ohm * v));
        const Complex zc = std::sqrt(series / shunt);
        const Complex t = std::tanh(std::sqrt(series * shunt) * cable->lengthM);
        const Complex zl = 50.0 * (1.0 + truth) / (1.0 - truth);
        const Complex zin = zc * (zl + zc * t) / (zc + zl * t);
        EXPECT_LT(std::abs(farEndReflection(*cable, mhz, (zin - 50.0) / (zin + 50.0)) - truth),
                  1e-9);
        EXPECT_LT(std::abs(farEndReflection(*cable, mhz, line.value->gamma(mhz)) - truth), 1e-9)
            << text << " " << far << " at " << mhz;
      }
    }
  }
  for (const char* bad :
       {"RG59:10", "10,1.2,3@10", "10,0.66,3", "RG58:", "-1,0.66,3@10", "10,x,3@10", "10,0,3@10",
        "10,0.66,-1@10", "10,0.66,3@0", "10,0.66,3@10,0"}) {
    std::string why;
    EXPECT_FALSE(parseCable(bad, &why)) << bad;
    EXPECT_FALSE(why.empty()) << bad;
  }
}

// Measured through a line on the typical board and taken out again, the far
// load lies inside the carried intervals, and a value off by more than its
// mark allows (tooWide) is marked.
TEST(Cable, TheCarriedIntervalsHoldTheFarLoad) {
  int values = 0, inside = 0, unmarkedOff = 0;
  for (const char* far : {"rlc:r=25,l=1u,c=129.2p", "r=12", "r=150", "rlc:r=60,c=120p"})
    for (const char* cable : {"RG58:10", "RG213:25"}) {
      const TraceValues near = sweptTrace(
          std::string("line:z0=50,len=") +
              (cable[2] == '5' ? "10,vf=0.66,loss=16.1@100" : "25,vf=0.66,loss=6.9@100") +
              ",load=" + far,
          3, 30, 120);
      const TraceValues t = withoutCable(near, *parseCable(cable, nullptr));
      const auto load = kolm::sim::parseLoad(far);
      for (size_t i = 0; i < t.flags.size(); ++i) {
        const PointValues truth = quantitiesOf(load.value->gamma(t.frequencies[i]));
        PointValues shown{};
        for (int q = 0; q < kQuantities; ++q) shown[q] = t.values[q][i];
        for (int q = 0; q < kQuantities; ++q) {
          const double v = t.values[q][i], pm = t.halfWidths[q][i];
          if (t.flags[i] != PointFlag::Valid ||
              (q == kReactance && t.signs[i] == ReactanceSign::Unknown))
            continue;
          ++values;
          inside += std::fabs(truth[q] - v) <= pm;
          unmarkedOff += t.mark(i, q) == kolm::chart::Mark::Valid &&
                         tooWide(q, shown, static_cast<float>(std::fabs(truth[q] - v)));
        }
      }
    }
  EXPECT_GT(values, 3000);
  EXPECT_GE(inside, 0.95 * values);
  EXPECT_EQ(unmarkedOff, 0);
}

// The carried interval holds every load the near end's sector can give: the
// sector sampled far more densely than the transform samples it.
TEST(Cable, TheIntervalCoversTheWholeSector) {
  for (const char* text : {"RG58:30", "RG174:12", "LADDER450:7"})
    for (Complex near :
         {Complex(0.3, 0.2), Complex(-0.4, 0.35), Complex(0.05, 0.6), Complex(-0.2, 0.1)}) {
      const auto cable = parseCable(text, nullptr);
      const PointValues v = quantitiesOf(near);
      TraceValues t;
      for (int q = 0; q < kQuantities; ++q) {
        t.values[q] = {v[q]};
        t.halfWidths[q] = {q == kReturnLoss ? 1.5f : q == kPhase ? 12.0f : 0.0f};
      }
      t.flags = {PointFlag::Valid};
      t.frequencies = {14.2};
      t.signs = {ReactanceSign::Inductive};
      t.uncertain = {0};
      t.swrLow = {1};
      const TraceValues far = withoutCable(t, *cable);
      ASSERT_EQ(far.flags[0], PointFlag::Valid) << text << " " << near;
      for (int a = 0; a <= 60; ++a)
        for (int b = 0; b <= 60; ++b) {
          const double rho =
              std::min(1.0, std::pow(10.0, -(v[kReturnLoss] - 1.5 + 3.0 * a / 60) / 20));
          const double theta = (v[kPhase] - 12 + 24.0 * b / 60) * std::numbers::pi / 180;
          const Complex g = farEndReflection(*cable, 14.2, std::polar(rho, theta));
          if (std::abs(g) > 1) continue;  // no load reflects more than it receives
          const PointValues x = quantitiesOf(g);
          for (int q = 0; q < kQuantities; ++q)
            EXPECT_LE(std::fabs(x[q] - far.values[q][0]), far.halfWidths[q][0] * 1.0001 + 1e-4)
                << text << " " << near << " quantity " << q;
        }
    }
}

// Loads behind lines, read at the bridge and with the line taken out, on the
// ideal and typical boards, over a wide span and a band: no stated sign is
// wrong, and most points' signs are stated.
TEST(Cable, NoWrongSignBehindALine) {
  struct Span {
    double start, stop;
  };
  int points[2] = {0, 0}, stated[2] = {0, 0}, wrong[2] = {0, 0};
  for (const char* far : {"r=100", "r=12", "rlc:r=35,l=4u,c=32p", "rlc:r=60,c=120p"})
    for (const char* line : {"10,0.66,5@100", "25,0.66,6.9@100"})
      for (Span span : {Span{1, 60}, Span{13.9125, 14.4375}})
        for (kolm::sim::Board board : {kolm::sim::Board::Ideal, kolm::sim::Board::Typical}) {
          const Cable cable = *parseCable(line, nullptr);
          const std::string load =
              "line:len=" + kolm::common::shortestText(cable.lengthM) +
              ",vf=0.66,loss=" + kolm::common::shortestText(cable.lossDbPer100m) +
              "@100,load=" + far;
          const TraceValues near = sweptTrace(load, span.start, span.stop, 200, board);
          const TraceValues taken = withoutCable(near, cable);
          const auto truthNear = kolm::sim::parseLoad(load), truthFar = kolm::sim::parseLoad(far);
          for (size_t i = 0; i < near.flags.size(); ++i) {
            const double f = near.frequencies[i];
            const double x[2] = {kolm::common::impedanceOf(truthNear.value->gamma(f)).imag(),
                                 kolm::common::impedanceOf(truthFar.value->gamma(f)).imag()};
            const TraceValues* read[2] = {&near, &taken};
            for (int end : {0, 1}) {
              const ReactanceSign sign = read[end]->signs[i];
              if (x[end] == 0) continue;  // a resistor at the far end
              ++points[end];
              if (sign == ReactanceSign::Unknown) continue;
              ++stated[end];
              wrong[end] += (sign == ReactanceSign::Inductive) != (x[end] > 0);
            }
          }
        }
  EXPECT_EQ(wrong[0], 0);
  EXPECT_EQ(wrong[1], 0);
  EXPECT_GT(stated[0], points[0] / 2);
  EXPECT_GT(stated[1], points[1] / 3);
}

// Open and shorted stubs of a known length give their velocity factor and
// loss back from their resonances: within 3 % (a bridge of 30 dB directivity
// moves a sharp resonance's |Z| minimum by up to about 2 %).
TEST(Cable, AStubsResonancesGiveItsFigures) {
  for (auto [length, vf, loss] :
       {std::tuple{10.0, 0.66, 16.1}, {4.0, 0.85, 3.9}, {25.0, 0.78, 12.1}})
    for (StubEnd end : {StubEnd::Open, StubEnd::Short}) {
      const std::string load = "line:len=" + kolm::common::shortestText(length) +
                               ",vf=" + kolm::common::shortestText(vf) +
                               ",loss=" + kolm::common::shortestText(loss) +
                               "@100,load=" + (end == StubEnd::Open ? "open" : "short");
      const auto [start, stop] = stubSpan(length, end);
      const StubFigures f =
          measureStub(sweptTrace(load, start, std::min(stop, 180.0), 2000), length, end, 50);
      ASSERT_TRUE(f.ok()) << load << ": " << f.error;
      EXPECT_NEAR(f.velocityFactor, vf, 0.03 * vf) << load;
      EXPECT_NEAR(f.electricalLengthM, length / vf, 0.03 * length / vf) << load;
      ASSERT_TRUE(f.lossDbPer100m && f.lossPm) << load;
      EXPECT_NEAR(*f.lossDbPer100m, loss * std::sqrt(f.atMHz / 100), *f.lossPm) << load;
      EXPECT_GE(f.resonances, 2);
      EXPECT_EQ(stubReport(f).rfind("vf=", 0), 0u);
    }
  // One resonance in the span gives its order when one velocity factor from
  // 0.5 to 1 fits it, and nothing when several do; a length no cable could
  // have is refused.
  const std::string open10 = "line:len=10,vf=0.66,loss=16.1@100,load=open";
  const TraceValues one = sweptTrace(open10, 2, 12, 400);
  EXPECT_NEAR(measureStub(one, 10, StubEnd::Open, 50).velocityFactor, 0.66, 0.02);
  EXPECT_FALSE(measureStub(one, 40, StubEnd::Open, 50).ok());
  EXPECT_FALSE(measureStub(sweptTrace(open10, 2, 20, 800), 20, StubEnd::Open, 50).ok());
}

// Stubs on every board at coarse and dense steps (noise where |Z| passes Z0
// was taken for a resonance at 8000 steps: vf 0.508 for 0.66; a 450 ohm line
// read against 450 ohm, whose readings cannot see |Z| near Z0, gave 0.255):
// each figure holds the stub's velocity factor within its interval, or is
// refused with the reason.
TEST(Cable, AStubsFigureHoldsTheTruthOrIsRefused) {
  struct Stub {
    const char* line;
    double length, vf, z0;
    StubEnd end;
  };
  const Stub stubs[] = {{"len=10,vf=0.66,loss=16.1@100", 10, 0.66, 50, StubEnd::Open},
                        {"len=10,vf=0.66,loss=16.1@100", 10, 0.66, 50, StubEnd::Short},
                        {"len=25,vf=0.78,loss=12.1@100", 25, 0.78, 50, StubEnd::Open},
                        {"z0=450,len=5,vf=0.91,loss=1@100", 5, 0.91, 50, StubEnd::Open},
                        {"z0=450,len=5,vf=0.91,loss=1@100", 5, 0.91, 450, StubEnd::Open},
                        {"z0=450,len=12,vf=0.91,loss=1@100", 12, 0.91, 450, StubEnd::Short}};
  int runs = 0, refused = 0;
  for (const Stub& stub : stubs)
    for (kolm::sim::Board board :
         {kolm::sim::Board::Ideal, kolm::sim::Board::Typical, kolm::sim::Board::Harsh})
      for (int points : {1000, 8000}) {
        const std::string load = std::string("line:") + stub.line +
                                 (stub.end == StubEnd::Open ? ",load=open" : ",load=short");
        const auto [start, stop] = stubSpan(stub.length, stub.end);
        const StubFigures f =
            measureStub(sweptTrace(load, start, std::min(stop, 180.0), points, board), stub.length,
                        stub.end, stub.z0);
        const std::string what = load + " z0 " + std::to_string(static_cast<int>(stub.z0)) +
                                 " board " + std::to_string(static_cast<int>(board)) + " " +
                                 std::to_string(points) + ": " + f.error;
        ++runs;
        if (!f.ok()) {
          ++refused;
          continue;
        }
        ASSERT_TRUE(f.velocityFactorPm && f.electricalLengthPm) << what;
        EXPECT_LE(std::fabs(f.velocityFactor - stub.vf), *f.velocityFactorPm) << what;
        EXPECT_LE(std::fabs(f.electricalLengthM - stub.length / stub.vf), *f.electricalLengthPm)
            << what;
      }
  EXPECT_LE(refused, runs / 4);
}

}  // namespace
