// L networks: every network matches, rounded parts and their SWR span, a
// point of unknown sign, and the command line's match.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <map>
#include <numbers>
#include <random>
#include <sstream>
#include <string>

#include "analyzer/analysis.h"
#include "analyzer/cable.h"
#include "analyzer/matching.h"
#include "analyzer/swept_trace.h"
#include "common/text.h"
#include "support/cli_run.h"

using namespace kolm::analyzer;
using kolm::circuit::ESeries;
using kolm::test::sweptTrace;
using Complex = std::complex<double>;

namespace {

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

using CliMatch = kolm::test::CliTest;

// One line per network, in the documented keys; a measured capacitive load is
// matched with its inferred sign.
TEST_F(CliMatch, MatchPrintsOneLinePerNetwork) {
  auto r = kolm::test::runCli("match --r 25 --x 0 --freq 14");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "topology=series_L_at_load,shunt_C form=lowpass l_uh=0.2842 c_pf=227.4 "
            "l_e12_uh=0.27 c_e12_pf=220 swr_rounded=1.06\n"
            "topology=series_C_at_load,shunt_L form=highpass c_pf=454.7 l_uh=0.5684 "
            "c_e12_pf=470 l_e12_uh=0.56 swr_rounded=1.037\n");

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
    EXPECT_LT(kolm::test::reportedNumber(line, "swr_rounded"), 2) << line;
    EXPECT_LT(kolm::test::reportedNumber(line, "swr2_low_mhz"), 10) << line;
    EXPECT_GT(kolm::test::reportedNumber(line, "swr2_high_mhz"), 10) << line;
  }
  EXPECT_EQ(networks, 4);  // 20 - j53 ohm lies inside both limits
}

// Matching a point whose sign is unknown gives the networks of both signs, as
// many of each; a point of known sign gives its own alone. The load a new user
// met behind a line over 20 m, read at the bridge and taken out.
TEST(Matching, APointOfUnknownSignGivesBothCandidates) {
  const TraceValues near = sweptTrace("line:len=10,vf=0.66,loss=5@100,load=rlc:r=35,l=4u,c=32p",
                                      13.9125, 14.4375, 100, kolm::sim::Board::Ideal);
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
    const TraceValues t = sweptTrace(c.load, 10, 20, 101, kolm::sim::Board::Ideal);
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

// The SWR the rounded parts give, with its span over the point's interval:
// any load within the interval gives an SWR inside the span as written, the
// point's own among them; no span where the interval is unbounded.
TEST(Matching, TheRoundedPartsSwrSpanHoldsEveryLoadOfTheInterval) {
  int spans = 0;
  for (const char* load : {"rlc:r=25,l=1u,c=130p", "r=120", "rlc:r=12,l=0.2u"}) {
    const TraceValues t = sweptTrace(load, 10, 20, 50);
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

}  // namespace
