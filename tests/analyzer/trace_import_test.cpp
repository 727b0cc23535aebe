#include "analyzer/trace_import.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "analyzer/files.h"
#include "analyzer/quantity_trace.h"

using namespace kolm::analyzer;
using kolm::chart::Mark;

// An exported CSV read back gives each quantity as the sweep gave it: the same
// marks, the values to the digits written, intervals that hold the sweep's.
TEST(TraceImport, CsvReadsBackEveryQuantityOfTheSweep) {
  Measurement m;
  m.points = 300;
  m.fillSyntheticMeasurement();
  m.live.returnLossCounts[7] = 512, m.live.phaseCounts[7] = 0;  // an open
  m.live.returnLossCounts[8] = 513, m.live.phaseCounts[8] = 0;  // invalid
  const TraceValues t = exportTrace(300, 3, 30, m.live);
  const std::string csv = formatCsv(t);
  ASSERT_NE(csv.find(",\"uncertain:"), std::string::npos);  // a quoted flag among them
  for (int q = 0; q < kQuantities; ++q) {
    const TraceImport back = quantityTraceFromCsv("a.csv", csv, q);
    ASSERT_TRUE(back.trace) << back.error;
    const kolm::chart::StoredTrace &b = *back.trace, s = quantityTrace("a.csv", t, q);
    ASSERT_EQ(b.size(), s.size());
    for (size_t i = 0; i < s.size(); ++i) {
      EXPECT_EQ(b.markAt(i), s.markAt(i)) << q << " " << i;
      if (std::isnan(s.value[i])) {
        EXPECT_TRUE(std::isnan(b.value[i]) && std::isinf(b.low[i]) && std::isinf(b.high[i]));
        continue;
      }
      // Seven digits written; the half-width written outward of them.
      EXPECT_NEAR(b.value[i], s.value[i], 5e-7 * std::fabs(s.value[i])) << q << " " << i;
      EXPECT_TRUE(b.low[i] <= s.low[i] && b.high[i] >= s.high[i]) << q << " " << i;
    }
  }
  const size_t odd = csv.find("sign_unknown");
  // A corrected sweep's words read.
  const std::string corrected = csv.substr(0, odd) + "uncorrected " + csv.substr(odd);
  EXPECT_TRUE(quantityTraceFromCsv("c.csv", corrected, kSwr).trace);
  // Damaged: named by the line of the fault, nothing read.
  const size_t row = csv.find("\n3.09") + 1;
  const auto lineOf = [](const std::string& text, size_t at) {
    return "line " + std::to_string(1 + std::count(text.begin(), text.begin() + at, '\n')) + ":";
  };
  const std::string wrapped = csv + "2,9,170,25,25,3,2,1,1,1,1,1,1,\r\n";
  for (const auto& [text, at] : std::initializer_list<std::pair<std::string, size_t>>{
           {csv.substr(0, row + 9), row},                                // cut in a row
           {csv.substr(0, row) + "3.0,x" + csv.substr(row + 3), row},    // not a number
           {wrapped, csv.size()},                                        // falls back
           {csv.substr(0, odd) + "odd" + csv.substr(odd + 12), odd}}) {  // an unknown flag
    const TraceImport bad = quantityTraceFromCsv("b.csv", text, kSwr);
    EXPECT_FALSE(bad.trace);
    EXPECT_EQ(bad.error.substr(0, lineOf(text, at).size()), lineOf(text, at)) << bad.error;
  }
}

// A reflection table states no interval: each value approximate and unbounded,
// R and X those of the load, the open and the impossible reflection marked.
TEST(TraceImport, ReflectionsGiveTheLoadsQuantitiesApproximate) {
  const std::complex<double> z(25, -10), g = (z - 50.0) / (z + 50.0);
  const std::vector<double> f{1, 2, 3};
  const std::vector<std::complex<double>> gamma{g, 1.0, 1.1};
  const double expected[] = {-20 * std::log10(std::abs(g)),
                             std::fabs(std::arg(g)) * 180 / std::numbers::pi,
                             std::abs(z),
                             25,
                             -10,
                             (1 + std::abs(g)) / (1 - std::abs(g))};
  for (int q = 0; q < kQuantities; ++q) {
    const auto s = reflectionTrace("l.s1p", f, gamma, q);
    EXPECT_NEAR(s.value[0], expected[q], 1e-9) << q;
    EXPECT_EQ(s.marks[0], Mark::Approximate);
    EXPECT_TRUE(std::isinf(s.low[0]) && std::isinf(s.high[0]));
    EXPECT_EQ(s.marks[1], q >= kImpedance ? Mark::Open : Mark::Approximate) << q;
    EXPECT_EQ(s.marks[2], Mark::Invalid);
  }
}
