// Every reader of a file or of typed text meets damaged input: truncated files,
// flipped bytes, absurd numbers. None may crash, read out of bounds (the sanitizer
// build runs these too) or hand back a result that breaks its own promises.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "analyzer/files.h"
#include "common/records.h"
#include "common/text.h"
#include "hw/params.h"
#include "powermeter/chart_file.h"
#include "sim/connection.h"
#include "sim/touchstone.h"

namespace {

// Valid samples, then many damaged copies of each.
std::vector<std::string> damaged(const std::vector<std::string>& samples, unsigned seed) {
  std::mt19937 rng(seed);
  const std::string nasty[] = {"1e308", "-1e308", "nan", "inf",    "99999999999999999999",
                               "-",     ".",      "\"",  ",",      "\r",
                               "\n",    "\0",     "-0",  "1E-400", "65536"};
  std::vector<std::string> out;
  for (const auto& s : samples) {
    out.push_back(s);
    for (int k = 0; k < 300; ++k) {
      std::string t = s;
      int edits = 1 + static_cast<int>(rng() % 4);
      for (int e = 0; e < edits && !t.empty(); ++e) {
        size_t at = rng() % t.size();
        switch (rng() % 5) {
          case 0:
            t[at] = static_cast<char>(rng() % 256);
            break;
          case 1:
            t.erase(at);
            break;  // truncated
          case 2:
            t.insert(at, nasty[rng() % std::size(nasty)]);
            break;
          case 3:
            t.erase(at, 1 + rng() % 8);
            break;
          case 4:
            t.insert(at, t.substr(0, rng() % (t.size() + 1)));
            break;
        }
      }
      out.push_back(t);
    }
  }
  for (int k = 0; k < 200; ++k) {
    std::string noise(rng() % 64, '\0');
    for (char& c : noise) c = static_cast<char>(rng() % 256);
    out.push_back(noise);
  }
  return out;
}

std::string pwmSample() {
  kolm::powermeter::ChartFile c;
  c.points = 4;
  c.start = 3;
  c.stop = 30;
  c.levels = {-1, -2.5f, -80, 20, 0.5f};
  c.reference = -3.5f;
  return kolm::powermeter::formatChartFile(c);
}

}  // namespace

TEST(DamagedInput, TextRulesNeverFail) {
  for (const auto& t : damaged({"12.5 MHz", "-3e2", "  .5", "1 000,5"}, 1)) {
    double v = kolm::common::numericValue(t);
    EXPECT_TRUE(std::isfinite(v)) << t;
    (void)kolm::common::fieldNumber(t);
    (void)kolm::common::splitFields(t);
  }
  for (double v :
       {1e308, -1e308, 1e-320, 0.0, -0.0, 123456789.123, double(NAN), double(INFINITY)}) {
    for (const char* p : {"000.000 000", "#.### ###", "### ###.00", "#,###,##0.##", "0.0"})
      EXPECT_FALSE(kolm::common::formatPattern(v, p).empty());
    EXPECT_FALSE(kolm::common::strSingle(static_cast<float>(v)).empty());
  }
}

TEST(DamagedInput, ChartFilesAreReadWholeOrRefused) {
  for (const auto& t : damaged({pwmSample()}, 2)) {
    auto r = kolm::powermeter::parseChartFile(t);
    if (!r.chart) {
      EXPECT_FALSE(r.error.empty());
      continue;
    }
    EXPECT_GE(r.chart->points, 1);
    EXPECT_LE(r.chart->points, 20002);
    EXPECT_EQ(r.chart->levels.size(), static_cast<size_t>(r.chart->points) + 1);
  }
}

TEST(DamagedInput, VnaFilesAreReadWholeOrRefused) {
  kolm::analyzer::Channels ch;
  const int16_t a[] = {500, 512, 0, 1023};
  const int16_t b[] = {1024, 0, 7, 512};
  for (int i = 0; i < 4; ++i) {
    ch.CanaleA[i] = a[i];
    ch.CanaleB[i] = b[i];
  }
  std::string sample = kolm::analyzer::formatVna(3, 3, 30, ch);
  for (const auto& t : damaged({sample}, 3)) {
    auto r = kolm::analyzer::parseVna(t);
    if (!r.ok()) continue;
    EXPECT_GE(r.chart.points, 1);
    EXPECT_LE(r.chart.points, 20001);
    EXPECT_EQ(r.chart.canaleA.size(), static_cast<size_t>(r.chart.points) + 1);
    EXPECT_EQ(r.chart.canaleB.size(), static_cast<size_t>(r.chart.points) + 1);
  }
}

TEST(DamagedInput, SimulatorTextsAreParsedOrNamedAsBad) {
  std::vector<std::string> specs = {"through", "atten:20", "lowpass:fc=10,order=3",
                                    "crystal:fs=10,r=20,c=20f,c0=5p,r0=50"};
  for (const auto& t : damaged(specs, 6)) {
    auto d = kolm::sim::parseDut(t);
    if (!d.ok()) {
      EXPECT_FALSE(d.error.empty()) << t;
    }
  }
  for (const auto& t : damaged({"r=50", "rlc:r=75,l=1u,c=125p", "open", "short"}, 7)) {
    if (t.rfind("s1p:", 0) == 0) continue;  // would read a file
    auto l = kolm::sim::parseLoad(t);
    if (!l.ok()) {
      EXPECT_FALSE(l.error.empty()) << t;
    }
  }
  std::string s1p = "! test\n# MHz S RI R 50\n1 0.1 0.2\n2 0.3 -0.1\n3 0 0\n";
  for (const auto& t : damaged({s1p}, 8)) {
    auto r = kolm::sim::parseTouchstone(t);
    if (!r.ok()) continue;
    EXPECT_EQ(r.table.frequencyMHz.size(), r.table.gamma.size());
    if (!r.table.frequencyMHz.empty()) (void)r.table.at(1.5);
  }
}
