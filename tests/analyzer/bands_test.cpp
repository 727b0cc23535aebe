// The amateur bands: the presets of the three regions, and each band's SWR
// widths in a trace and in the command line's report.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <string>
#include <tuple>

#include "analyzer/analysis.h"
#include "common/bands.h"
#include "sim/connection.h"
#include "support/cli_run.h"
#include "support/golden.h"

using namespace kolm::analyzer;

namespace {

using kolm::common::amateurBands;
using kolm::common::bandSpan;
using kolm::common::findBand;

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

// The edges of the presets, their margins, and the clock's limit.
TEST(Bands, EdgesOfTheThreeRegions) {
  for (const auto& c : kolm::test::goldenRows("bands.tsv", 4)) {
    const auto band = findBand(c[1], std::stoi(c[0]));
    ASSERT_TRUE(band) << c[1];
    EXPECT_EQ(band->lowMHz, kolm::test::goldenNumber(c[2])) << c[1] << " region " << c[0];
    EXPECT_EQ(band->highMHz, kolm::test::goldenNumber(c[3])) << c[1] << " region " << c[0];
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

using CliBands = kolm::test::CliTest;

// --band sweeps the band; the report's widths under SWR 2 and 1.5 inside it
// are those of the load (truth scanned finely), within the sweep's step.
TEST_F(CliBands, ABandsSwrWidths) {
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
}

}  // namespace
