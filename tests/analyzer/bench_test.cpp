// The antenna bench: L networks, a cable taken out or measured, band presets.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstdlib>
#include <numbers>
#include <sstream>
#include <string>

#include "analyzer/matching.h"
#include "support/cli_run.h"

using namespace kolm::analyzer;
using kolm::powermeter::ESeries;
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
        EXPECT_EQ(part.value, kolm::powermeter::preferredValue(exact.value, e));
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
    EXPECT_LT(pairValue(line, "swr_rounded"), 1.5) << line;
    EXPECT_LT(pairValue(line, "swr2_low_mhz"), 10) << line;
    EXPECT_GT(pairValue(line, "swr2_high_mhz"), 10) << line;
  }
  EXPECT_EQ(networks, 4);  // 20 - j53 ohm lies inside both limits
}

}  // namespace
