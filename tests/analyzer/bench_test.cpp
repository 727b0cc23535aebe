// The antenna bench: L networks, a cable taken out or measured, band presets.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstdlib>
#include <map>
#include <numbers>
#include <random>
#include <sstream>
#include <string>
#include <tuple>

#include "analyzer/analysis.h"
#include "analyzer/cable.h"
#include "analyzer/files.h"
#include "analyzer/matching.h"
#include "analyzer/sweep.h"
#include "common/bands.h"
#include "common/reflection.h"
#include "common/text.h"
#include "sim/connection.h"
#include "sim/sim_rig.h"
#include "support/cli_run.h"

using namespace kolm::analyzer;
using kolm::circuit::ESeries;
using Complex = std::complex<double>;

namespace {

// The number after "key=" in a line of blank-separated pairs; NaN when absent.
double pairValue(const std::string& line, const std::string& key) {
  const size_t at = line.find(key + "=");
  if (at == std::string::npos || (at > 0 && line[at - 1] != ' ')) return NAN;
  return std::strtod(line.c_str() + at + key.size() + 1, nullptr);
}

// Every network brings the load to the target, and their number is what the
// two limits allow; a resistive load gets the textbook values Q = sqrt(Rhi /
// Rlo - 1), the series element Q Rlo, the shunt element Rhi / Q.
TEST(Matching, EveryNetworkShowsTheLoadAsTheTarget) {
  int loads = 0;
  for (double target : {50.0, 12.5, 300.0})
    for (double r = 1; r < 3000; r *= 1.7)
      for (double x = -2000; x <= 2000; x += 237) {
        const Complex load(r, x);
        const auto networks = matchNetworks(load, 14.2, target);
        const bool shuntFits = (1.0 / load).real() < 1 / target;
        const bool seriesFits = r < target;
        ASSERT_EQ(networks.size(), 2u * shuntFits + 2u * seriesFits) << load << " to " << target;
        for (const MatchNetwork& n : networks) {
          const Complex in = n.input(load, 14.2);
          EXPECT_NEAR(in.real(), target, 1e-6 * target) << load << " " << n.topology();
          EXPECT_NEAR(in.imag(), 0, 1e-6 * target) << load << " " << n.topology();
          EXPECT_LT(std::fabs(swrAgainst(in, target) - 1), 1e-6);
        }
        ++loads;
      }
  EXPECT_GT(loads, 800);

  const double w = 2 * std::numbers::pi * 14e6;
  for (auto [r, target] : {std::pair{25.0, 50.0}, {5.0, 50.0}, {200.0, 50.0}, {50.0, 12.5}}) {
    const double low = std::min(r, target), high = std::max(r, target);
    const double q = std::sqrt(high / low - 1);
    bool lowpassFound = false;
    for (const MatchNetwork& n : matchNetworks(r, 14, target)) {
      if (n.form() != "lowpass") continue;
      lowpassFound = true;
      // The shunt element sits across the higher resistance.
      EXPECT_EQ(n.shuntAtLoad, r > target);
      EXPECT_NEAR(n.series.value, q * low / w, 1e-9 * n.series.value);
      EXPECT_NEAR(n.shunt.value, q / (high * w), 1e-9 * n.shunt.value);
    }
    EXPECT_TRUE(lowpassFound) << r;
  }
}

// The rounded parts are preferred values near the exact ones, and the SWR they
// give is what their network shows.
TEST(Matching, RoundedPartsAndTheirSwr) {
  const Complex load(25, -40);
  for (ESeries e : {ESeries::E12, ESeries::E24})
    for (const MatchNetwork& n : matchNetworks(load, 7.1, 50)) {
      const MatchNetwork rounded = n.rounded(e);
      for (auto [exact, part] : {std::pair{n.series, rounded.series}, {n.shunt, rounded.shunt}}) {
        if (exact.kind == MatchPart::Kind::None) continue;
        EXPECT_EQ(part.value, kolm::circuit::preferredValue(exact.value, e));
        EXPECT_LT(std::fabs(std::log(part.value / exact.value)), e == ESeries::E12 ? 0.1 : 0.05);
      }
      const std::string line = matchLine(n, load, 7.1, 50, e);
      const double swr = swrAgainst(rounded.input(load, 7.1), 50);
      EXPECT_GT(swr, 1.0);
      EXPECT_NE(
          line.find(" swr_rounded=" + kolm::common::shortestText(std::round(swr * 1000) / 1000, 6)),
          std::string::npos)
          << line;
    }
}

// The SWR span over a load's interval is exact: over generated loads,
// intervals and rounded networks no load of the rectangle (its edges walked
// finely, its inside on a grid) gives an SWR outside it, and each edge's
// extremes, refined by golden sections, reach its ends within 1e-9.
TEST(Matching, SwrOverIntervalIsTheExactSpan) {
  std::mt19937 random(38);
  std::uniform_real_distribution<double> unit(0, 1);
  int spans = 0;
  for (int n = 0; n < 200; ++n) {
    const double mhz = 1 + 59 * unit(random), r = 2 * std::pow(1000.0, unit(random));
    const Complex load(r, 1500 * (unit(random) - 0.5));
    const double pmR = 0.9 * r * unit(random), pmX = (std::abs(load) / 2 + 5) * unit(random);
    for (const MatchNetwork& exact : matchNetworks(load, mhz, 50)) {
      const MatchNetwork net = exact.rounded(n % 2 ? ESeries::E12 : ESeries::E24);
      const auto span = swrOverInterval(net, load, pmR, pmX, mhz, 50);
      ASSERT_TRUE(span);
      auto swr = [&](Complex z) { return swrAgainst(net.input(z, mhz), 50); };
      const Complex low = load - Complex(pmR, pmX), size(2 * pmR, 2 * pmX);
      for (int a = 0; a <= 16; ++a)
        for (int b = 0; b <= 16; ++b) {
          const double v = swr(low + Complex(size.real() * a / 16, size.imag() * b / 16));
          EXPECT_TRUE(v >= span->first && v <= span->second) << load << " " << v;
        }
      double most = 0, least = INFINITY;
      for (auto [from, step] : {std::pair{low, Complex(size.real(), 0)},
                                {low + Complex(0, size.imag()), Complex(size.real(), 0)},
                                {low, Complex(0, size.imag())},
                                {low + Complex(size.real(), 0), Complex(0, size.imag())}})
        for (int sign : {1, -1}) {  // the greatest, then the least
          auto f = [&](double t) { return sign * swr(from + t * step); };
          constexpr int kSteps = 512;
          int best = 0;
          for (int k = 0; k <= kSteps; ++k) {
            const double v = swr(from + double(k) / kSteps * step);
            EXPECT_TRUE(v >= span->first && v <= span->second) << load << " " << v;
            if (f(double(k) / kSteps) > f(double(best) / kSteps)) best = k;
          }
          double t0 = std::max(0, best - 1) / double(kSteps),
                 t1 = std::min(kSteps, best + 1) / double(kSteps);
          for (int k = 0; k < 80; ++k) {
            const double m0 = t0 + (t1 - t0) * 0.382, m1 = t1 - (t1 - t0) * 0.382;
            if (f(m0) < f(m1))
              t0 = m0;
            else
              t1 = m1;
          }
          const double v = swr(from + t0 * step);
          most = std::max(most, v), least = std::min(least, v);
        }
      EXPECT_NEAR(span->second, most, 1e-9 * most) << load << " " << net.topology();
      if (span->first > 1) {
        EXPECT_NEAR(span->first, least, 1e-9 * least) << load;
      }
      ++spans;
    }
  }
  EXPECT_GT(spans, 400);
}

// A part's value in words reads back as the value, in the unit that keeps its
// number between 1 and 1000 (coils from 0.1 uH in uH), over eleven decades.
TEST(Matching, PartValuesWithTheirUnits) {
  const std::map<std::string, double> scales{{"pF", 1e-12}, {"nF", 1e-9},      {"\u00b5F", 1e-6},
                                             {"nH", 1e-9},  {"\u00b5H", 1e-6}, {"mH", 1e-3}};
  for (auto kind : {MatchPart::Kind::Capacitor, MatchPart::Kind::Inductor})
    for (double value = 1.234e-12; value < 1e-1; value *= 1.37) {
      const std::string text = partValueText({kind, value}, 2);
      EXPECT_EQ(text.find('E'), std::string::npos) << text;
      const size_t blank = text.find(' ');
      ASSERT_NE(blank, std::string::npos) << text;
      const std::string unit = text.substr(blank + 1);
      ASSERT_TRUE(scales.contains(unit)) << text;
      EXPECT_EQ(unit.back(), kind == MatchPart::Kind::Capacitor ? 'F' : 'H') << text;
      const double number = kolm::common::numericValue(text.substr(0, blank));
      EXPECT_NEAR(number * scales.at(unit), value, value * 5e-3) << text;  // 3 digits
      const bool smallest = unit == "pF" || unit == "nH",
                 largest = unit == "\u00b5F" || unit == "mH";
      EXPECT_TRUE((number >= (unit == "\u00b5H" ? 0.1 : 1) || smallest) &&
                  (number < 1000 || largest))
          << text;
    }
}

class CliBench : public kolm::test::CliTest {};

// One line per network, in the documented keys; a measured capacitive load is
// matched with its inferred sign.
TEST_F(CliBench, MatchPrintsOneLinePerNetwork) {
  auto r = kolm::test::runCli("match --r 25 --x 0 --freq 14");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "topology=series_L_at_load,shunt_C form=lowpass l_uh=0.2842 c_pf=227.4 "
            "l_e12_uh=0.27 c_e12_pf=220 swr_rounded=1.06\n"
            "topology=series_C_at_load,shunt_L form=highpass c_pf=454.7 l_uh=0.5684 "
            "c_e12_pf=470 l_e12_uh=0.56 swr_rounded=1.037\n");
  EXPECT_EQ(kolm::test::runCli("match --r 0 --x 5 --freq 14").status, 2);
  EXPECT_EQ(kolm::test::runCli("match --r 5 --x 5 --freq 14 --series E6").status, 2);

  r = kolm::test::runCli(
      "--backend sim --load rlc:r=20,c=300p analyze --start 5 --stop 15 --points 200 --out a.csv "
      "--match-at 10");
  ASSERT_EQ(r.status, 0) << r.err;
  std::istringstream lines(r.out);
  std::string line;
  std::getline(lines, line);  // points= file=
  std::getline(lines, line);
  EXPECT_NE(line.find("match_mhz=10 "), std::string::npos) << line;
  EXPECT_NE(line.find("sign=inferred"), std::string::npos) << line;
  int networks = 0;
  while (std::getline(lines, line)) {
    ++networks;
    EXPECT_LT(pairValue(line, "swr_rounded"), 2) << line;
    EXPECT_LT(pairValue(line, "swr2_low_mhz"), 10) << line;
    EXPECT_GT(pairValue(line, "swr2_high_mhz"), 10) << line;
  }
  EXPECT_EQ(networks, 4);  // 20 - j53 ohm lies inside both limits
}

}  // namespace

namespace {

using kolm::analyzer::PointValues;

PointValues quantitiesOf(Complex g) {
  const Complex z = 50.0 * (1.0 + g) / (1.0 - g);
  const double rho = std::abs(g);
  return {static_cast<float>(-20 * std::log10(rho)),
          static_cast<float>(std::fabs(std::arg(g)) * 180 / std::numbers::pi),
          static_cast<float>(std::abs(z)),
          static_cast<float>(z.real()),
          static_cast<float>(std::fabs(z.imag())),
          static_cast<float>((1 + rho) / (1 - rho))};
}

// A sweep of `load` on the simulator's typical board (unless told), as the
// exports see it.
TraceValues sweep(const std::string& load, double start, double stop, int points,
                  kolm::sim::Board board = kolm::sim::Board::Typical) {
  kolm::test::SimRig rig("through", load, {}, board);
  auto planned = planSweep(start, stop, points, 400);
  Channels c;
  PassJob job(rig.instrument, planned.plan, c, true);
  job.runToEnd();
  return exportTrace(static_cast<int16_t>(points), start, stop, c);
}

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
      const TraceValues near =
          sweep(std::string("line:z0=50,len=") +
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
          const TraceValues near = sweep(load, span.start, span.stop, 200, board);
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

// Matching a point whose sign is unknown gives the networks of both signs, as
// many of each; a point of known sign gives its own alone. The load a new user
// met behind a line over 20 m, read at the bridge and taken out.
TEST(Matching, APointOfUnknownSignGivesBothCandidates) {
  const TraceValues near = sweep("line:len=10,vf=0.66,loss=5@100,load=rlc:r=35,l=4u,c=32p", 13.9125,
                                 14.4375, 100, kolm::sim::Board::Ideal);
  const TraceValues taken = withoutCable(near, *parseCable("10,0.66,5@100", nullptr));
  int unknown = 0, matched = 0;
  for (const TraceValues* t : {&near, &taken})
    for (size_t i = 0; i < t->flags.size(); i += 5) {
      const MatchReport r = matchReport(*t, t->frequencies[i], 50, ESeries::E12);
      if (!r.error.empty()) continue;  // no finite impedance there
      auto count = [&](const std::string& word) {
        int n = 0;
        for (size_t at = r.text.find(word); at != std::string::npos; at = r.text.find(word, at + 1))
          ++n;
        return n;
      };
      const bool open = t->signs[i] == ReactanceSign::Unknown;
      unknown += open;
      ++matched;
      EXPECT_EQ(count("candidate=inductive"), count("candidate=capacitive")) << r.text;
      EXPECT_EQ(count("candidate=") > 0, open) << r.text;
    }
  EXPECT_GT(unknown, 0);
  EXPECT_GT(matched, 30);
}

// Where the matched SWR stays below 2 up to an end of the sweep, the band says
// so instead of leaving that edge unfound: a load matched over the whole sweep,
// and a resonance whose band closes inside it.
TEST(Matching, TheSwr2BandSaysWhereItEnds) {
  const struct {
    const char* load;
    bool whole;
  } cases[] = {{"r=40", true}, {"rlc:r=25,l=1u,c=130p", false}};
  for (const auto& c : cases) {
    const TraceValues t = sweep(c.load, 10, 20, 101, kolm::sim::Board::Ideal);
    const MatchPoint p = matchPoint(t, 14, 50, ESeries::E12);
    ASSERT_TRUE(p.error.empty()) << p.error;
    int below = 0;
    for (const MatchSolution& s : p.solutions) {
      if (!(s.roundedSwr <= 2)) continue;
      ++below;
      EXPECT_EQ(s.swr2BelowToStart && s.swr2BelowToStop, c.whole) << c.load;
      EXPECT_NE(s.swr2Low.has_value(), s.swr2BelowToStart) << c.load;
      EXPECT_NE(s.swr2High.has_value(), s.swr2BelowToStop) << c.load;
    }
    EXPECT_GT(below, 0) << c.load;
    // The analysis panel says the same of the sweep's own SWR.
    const auto rows = swrAnalysisRows(analyzeSwr(t));
    EXPECT_EQ(rows[4].second == "below the sweep's start", c.whole) << rows[4].second;
    EXPECT_EQ(rows[5].second == "above the sweep's end", c.whole) << rows[5].second;
  }
}

// Each band's widths under SWR 2 and 1.5, interpolated between points, and
// what a flagged point or the sweep's end leaves unmeasured.
TEST(Bands, WidthsInsideTheBand) {
  TraceValues t;
  t.frequencies = {13.9, 14.0, 14.2, 14.3, 14.4};
  t.values[kSwr] = {3, 1, 2.5, 1.5, 1.2};
  t.flags = {PointFlag::Valid, PointFlag::Valid, PointFlag::Valid, PointFlag::Valid,
             PointFlag::Invalid};
  for (int q = 0; q < kQuantities; ++q)
    if (q != kSwr) t.values[q].assign(5, 1);
  const auto w = bandWidths(t, 1);
  ASSERT_EQ(w.size(), 1u);
  EXPECT_STREQ(w[0].band.name, "20m");
  // Under 2: 14.0 to 14.1333 and 14.25 to 14.3; under 1.5: 14.0 to 14.0571 and 14.3.
  EXPECT_NEAR(w[0].swr2MHz, 0.2 / 1.5 + 0.05, 1e-9);
  EXPECT_NEAR(w[0].swr15MHz, 0.2 / 3, 1e-9);
  EXPECT_NEAR(w[0].unmeasuredMHz, 0.05, 1e-9);  // 14.3 to 14.35: the last point is invalid
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
          measureStub(sweep(load, start, std::min(stop, 180.0), 2000), length, end, 50);
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
  const TraceValues one = sweep(open10, 2, 12, 400);
  EXPECT_NEAR(measureStub(one, 10, StubEnd::Open, 50).velocityFactor, 0.66, 0.02);
  EXPECT_FALSE(measureStub(one, 40, StubEnd::Open, 50).ok());
  EXPECT_FALSE(measureStub(sweep(open10, 2, 20, 800), 20, StubEnd::Open, 50).ok());
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
        const StubFigures f = measureStub(sweep(load, start, std::min(stop, 180.0), points, board),
                                          stub.length, stub.end, stub.z0);
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

namespace {

using kolm::common::amateurBands;
using kolm::common::bandSpan;
using kolm::common::findBand;

// The edges of the presets, their margins, and the clock's limit.
TEST(Bands, EdgesOfTheThreeRegions) {
  const struct {
    int region;
    const char* name;
    double low, high;
  } cases[] = {{1, "160m", 1.81, 2.0},  {2, "160m", 1.8, 2.0},      {1, "80m", 3.5, 3.8},
               {2, "80m", 3.5, 4.0},    {3, "80m", 3.5, 3.9},       {1, "40m", 7.0, 7.2},
               {2, "40M", 7.0, 7.3},    {3, "40m", 7.0, 7.2},       {1, "60m", 5.3515, 5.3665},
               {3, "20m", 14.0, 14.35}, {1, "17m", 18.068, 18.168}, {2, "10m", 28.0, 29.7},
               {1, "6m", 50, 52},       {3, "6m", 50, 54}};
  for (const auto& c : cases) {
    const auto band = findBand(c.name, c.region);
    ASSERT_TRUE(band) << c.name;
    EXPECT_EQ(band->lowMHz, c.low) << c.name << " region " << c.region;
    EXPECT_EQ(band->highMHz, c.high) << c.name << " region " << c.region;
  }
  for (int region : {1, 2, 3}) EXPECT_EQ(amateurBands(region).size(), 11u);
  EXPECT_FALSE(findBand("11m", 1));
  EXPECT_TRUE(amateurBands(4).empty());
  for (auto [name, low, high] : {std::tuple{"20m", 13.9125, 14.4375}, {"30m", 10.075, 10.175}}) {
    EXPECT_NEAR(bandSpan(*findBand(name, 1)).first, low, 1e-12) << name;
    EXPECT_NEAR(bandSpan(*findBand(name, 1)).second, high, 1e-12) << name;
  }
  EXPECT_TRUE(kolm::common::bandFits(*findBand("6m", 1), 200));
  EXPECT_FALSE(kolm::common::bandFits(*findBand("6m", 2), 54));
}

// --band sweeps the band; the report's widths under SWR 2 and 1.5 inside it
// are those of the load (truth scanned finely), within the sweep's step.
TEST_F(CliBench, ABandsSwrWidths) {
  const std::string load = "rlc:r=50,l=20u,c=6.303p";
  auto r = kolm::test::runCli("--backend sim --load " + load +
                              " analyze --band 20m --points 400 --out b.csv --report");
  ASSERT_EQ(r.status, 0) << r.err;
  const auto parsed = kolm::sim::parseLoad(load);
  for (auto [key, limit] : {std::pair{"band_20m_swr2_mhz", 2.0}, {"band_20m_swr15_mhz", 1.5}}) {
    double width = 0;
    for (double f = 14.0; f < 14.35; f += 1e-4) {
      const double rho = std::abs(parsed.value->gamma(f + 5e-5));
      width += (1 + rho) / (1 - rho) <= limit ? 1e-4 : 0;
    }
    EXPECT_NEAR(kolm::test::reportedNumber(r.out, key), width, 0.02) << key;
  }
  EXPECT_EQ(kolm::test::reportedNumber(r.out, "band_20m_unmeasured_mhz"), 0);
  EXPECT_EQ(kolm::test::runCli("analyze --band 20m --start 14 --points 9 --out c.csv").status, 2);
  EXPECT_EQ(kolm::test::runCli("power-sweep --band 11m --points 9 --out c.csv").status, 2);
}

}  // namespace

// The SWR the rounded parts give, with its span over the point's interval:
// any load within the interval gives an SWR inside the span as written, the
// point's own among them; no span where the interval is unbounded.
TEST(Matching, TheRoundedPartsSwrSpanHoldsEveryLoadOfTheInterval) {
  int spans = 0;
  for (const char* load : {"rlc:r=25,l=1u,c=130p", "r=120", "rlc:r=12,l=0.2u"}) {
    const TraceValues t = sweep(load, 10, 20, 50);
    for (size_t i = 0; i < t.flags.size(); i += 7) {
      const MatchPoint p = matchPoint(t, t.frequencies[i], 50, ESeries::E12);
      if (!p.error.empty()) continue;
      const double pmR = t.halfWidths[kResistance][p.index],
                   pmX = t.halfWidths[kReactance][p.index];
      for (const MatchSolution& s : p.solutions) {
        EXPECT_EQ(s.roundedSwrSpan.has_value(), std::isfinite(pmR) && std::isfinite(pmX));
        if (!s.roundedSwrSpan) continue;
        ++spans;
        const std::string text = swrSpanText(*s.roundedSwrSpan);
        const size_t to = text.find(" to ");
        const double low = kolm::common::numericValue(text.substr(0, to));
        const double high =
            text.ends_with("infinite") ? INFINITY : kolm::common::numericValue(text.substr(to + 4));
        const Complex at(p.r, static_cast<int>(s.assumed) * std::fabs(p.x));
        for (int a = 0; a <= 8; ++a)
          for (int b = 0; b <= 8; ++b) {
            const Complex z(std::max(0.0, at.real() + pmR * (a / 4.0 - 1)),
                            at.imag() + pmX * (b / 4.0 - 1));
            const double swr = swrAgainst(s.rounded.input(z, p.mhz), 50);
            EXPECT_TRUE(swr >= low && swr <= high) << load << " " << swr << " not in " << text;
          }
      }
    }
  }
  EXPECT_GT(spans, 20);
}
