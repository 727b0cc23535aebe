#include "analyzer/files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>

#include "common/files.h"
#include "sim/touchstone.h"
#include "support/temp_dir.h"

using namespace kolm::analyzer;
using kolm::common::readTextFile;
using kolm::common::writeFileAtomic;

TEST(AntIni, WritesTheBoxTextsInTheWorkingDirectoryAndReadsTheirNumbers) {
  kolm::test::InTempDir here;
  ASSERT_TRUE(saveAntIni("3.5", "28 MHz", "1000"));
  const auto file = here.path() / "ant.ini";
  EXPECT_EQ(readTextFile(file).value(), "\"3.5\"\r\n\"28 MHz\"\r\n\"1000\"\r\n");
  auto s = readAntIni();
  EXPECT_EQ(s.start, 3.5);
  EXPECT_EQ(s.stop, 28);
  EXPECT_EQ(s.points, 1000);

  ASSERT_TRUE(writeFileAtomic(file, "\"1\"\r\n\"2\"\r\n\"100.5\"\r\n"));
  EXPECT_EQ(readAntIni(file).points, 100);
  ASSERT_TRUE(writeFileAtomic(file, "1,2,101.5"));
  EXPECT_EQ(readAntIni(file).points, 102);
}

TEST(AntIni, DefaultsWhenMissingShortOrUnusable) {
  kolm::test::TempDir dir;
  auto file = dir.path() / "ant.ini";
  auto check = [&](const char* what) {
    auto s = readAntIni(file);
    EXPECT_EQ(s.start, 3) << what;
    EXPECT_EQ(s.stop, 30) << what;
    EXPECT_EQ(s.points, 500) << what;
  };
  check("no file");
  for (const char* text :
       {"\"7\"\r\n\"9\"\r\n", "\"7\"\r\n\"9\"\r\n\"0\"\r\n", "\"7\"\r\n\"9\"\r\n\"20002\"\r\n",
        "\"7\"\r\n\"9\"\r\n\"40000\"\r\n", "\"7\"\r\n\"7\"\r\n\"100\"\r\n"}) {
    ASSERT_TRUE(writeFileAtomic(file, text));
    check(text);
  }
}

TEST(Vna, FiveHundredPointsGive1005LinesAndReadBack) {
  Measurement m;
  m.fillSyntheticMeasurement();
  const std::string text = formatVna(500, 3, 30, m.live);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\r'), 1005);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1005);

  auto r = parseVna(text);
  ASSERT_TRUE(r.ok()) << r.error;
  EXPECT_EQ(r.chart.points, 500);
  EXPECT_EQ(r.chart.start, 3);
  EXPECT_EQ(r.chart.stop, 30);
  ASSERT_EQ(r.chart.returnLossCounts.size(), 501u);
  EXPECT_TRUE(std::equal(r.chart.returnLossCounts.begin(), r.chart.returnLossCounts.end(),
                         m.live.returnLossCounts.begin()));
  EXPECT_TRUE(std::equal(r.chart.phaseCounts.begin(), r.chart.phaseCounts.end(),
                         m.live.phaseCounts.begin()));
  std::vector<float> f(kFrequencyEntries, -1.0f);
  rebuildFrequencies(f, r.chart.points, r.chart.start, r.chart.stop);
  for (int i = 0; i <= 500; ++i) EXPECT_EQ(f[i], m.live.frequencies[i]) << i;
  EXPECT_EQ(f[501], -1.0f);
}

TEST(Vna, SmallFileOnDiskAndTheOtherFormsItIsReadIn) {
  kolm::test::TempDir dir;
  Channels c;
  c.returnLossCounts[0] = 5;
  c.returnLossCounts[1] = 6;
  c.phaseCounts[0] = 7;
  c.phaseCounts[1] = 8;
  const auto file = dir.path() / "a.vna";
  ASSERT_TRUE(writeFileAtomic(file, formatVna(1, 0.5, 0.75, c)));
  EXPECT_EQ(readTextFile(file).value(), "1\r\n0.5\r\n0.75\r\n5\r\n6\r\n7\r\n8\r\n");
  auto r = readVna(file);
  ASSERT_TRUE(r.ok()) << r.error;
  EXPECT_EQ(r.chart.start, 0.5);
  EXPECT_EQ(r.chart.phaseCounts, (std::vector<int16_t>{7, 8}));
  EXPECT_NE(readVna(dir.path() / "none.vna").error.find("cannot be opened"), std::string::npos);
  // Quoted, without the leading zero, two values on a line, values after the last reading.
  auto other = parseVna("\"1\"\r\n.5\r\n.75\r\n5,6\r\n7\r\n8\r\n99\r\n");
  ASSERT_TRUE(other.ok()) << other.error;
  EXPECT_EQ(other.chart.stop, 0.75);
  EXPECT_EQ(other.chart.phaseCounts[1], 8);
}

TEST(Vna, RefusesFilesThatDoNotFitWithTheReason) {
  // The last three spans are equal, or equal once single precision as the chart
  // keeps its frequencies: 1 + 2^-24 -/+ 2^-52 fall on either side of a
  // single-precision midpoint, but are the same number in 15 digits.
  const char* const refused[][2] = {
      {"", "ends before the number of points"},
      {"0\r\n3\r\n30\r\n1\r\n1\r\n", "outside 1 to 20001"},
      {"30000\r\n3\r\n30\r\n", "outside 1 to"},
      {"-2\r\n3\r\n30\r\n", "outside 1 to"},
      {"2\r\n3\r\n30\r\n1\r\n2\r\n3\r\n4\r\n5\r\n", "ends before the phase reading"},
      {"1\r\n3\r\n30\r\n1\r\nx\r\n3\r\n4\r\n", "(return-loss reading) is not a number"},
      {"1\r\n3\r\n30\r\n1\r\n40000\r\n3\r\n4\r\n", "16-bit"},
      {"1\r\n1E999\r\n30\r\n1\r\n2\r\n3\r\n4\r\n", "(start frequency) is not a number"},
      {"1\r\n3\r\nnan\r\n1\r\n2\r\n3\r\n4\r\n", "(stop frequency) is not a number"},
      {"1\r\n7\r\n7\r\n1\r\n2\r\n3\r\n4\r\n", "no span"},
      {"1\r\n7\r\n7.0000001\r\n1\r\n2\r\n3\r\n4\r\n", "no span"},
      {"1\r\n1.0000000596046446\r\n1.000000059604645\r\n1\r\n2\r\n3\r\n4\r\n", "no span"},
  };
  for (const auto& [text, reason] : refused) {
    const auto r = parseVna(text);
    EXPECT_FALSE(r.ok()) << text;
    EXPECT_NE(r.error.find(reason), std::string::npos) << text << ": " << r.error;
  }
}

TEST(Csv, HeaderOneRowPerPointAndTheFlag) {
  Channels c;                   // readings of 0: a matched load at the return-loss limit
  c.returnLossCounts[1] = 512;  // open circuit: no finite impedance
  c.returnLossCounts[2] = 256;
  c.phaseCounts[2] = 512;
  // Infinite values are "inf", never the SWR of rho 0.999; each value's
  // half-width follows the values (none for a value that is not a number);
  // flag words are separated by a blank, and a lone point's reactance has no
  // sign.
  const std::string csv = formatCsv(2, 10, 12, c);
  std::vector<std::vector<std::string>> rows;
  std::vector<std::string> fields(1);
  bool quoted = false;
  for (char ch : csv) {
    if (ch == '"') {
      quoted = !quoted;
    } else if (ch == '\r' || (quoted && ch == ',')) {
      if (ch == ',') fields.back().push_back(ch);
    } else if (ch == '\n') {
      rows.push_back(std::move(fields));
      fields.assign(1, {});
    } else if (ch == ',') {
      fields.emplace_back();
    } else {
      fields.back().push_back(ch);
    }
  }
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(csv.substr(0, csv.find('\r')),
            "freq_mhz,rl_db,phase_deg,z_ohm,r_ohm,x_ohm,swr,rl_db_pm,phase_deg_pm,z_ohm_pm,"
            "r_ohm_pm,x_ohm_pm,swr_pm,flag");
  using Row = std::vector<std::string>;
  EXPECT_EQ(Row(rows[1].begin(), rows[1].begin() + 7),
            (Row{"10", "30", "0", "53.26554", "53.26554", "0", "1.065311"}));
  EXPECT_EQ(rows[1][13], "rl_limit sign_unknown");
  EXPECT_EQ(Row(rows[2].begin(), rows[2].begin() + 7),
            (Row{"11", "0", "0", "inf", "inf", "inf", "inf"}));
  EXPECT_EQ(Row(rows[2].begin() + 9, rows[2].end() - 1), (Row{"", "", "", ""}));
  EXPECT_EQ(rows[2][13].substr(0, 4), "open");
  EXPECT_EQ(Row(rows[3].begin(), rows[3].begin() + 7),
            (Row{"12", "15", "90", "50.01373", "46.94755", "17.24242", "1.432581"}));
  // 15 dB at 90 degrees read through a 30 dB bridge; alone, no sign.
  EXPECT_EQ(rows[3][13], "uncertain:rl,phase,r,x,swr sign_unknown");
  for (const Row& row : rows) {
    ASSERT_EQ(row.size(), 14u);
    if (&row == &rows[0]) continue;
    for (size_t q : {7u, 8u}) {
      EXPECT_GT(std::stod(row[q]), 0) << row[0];
    }
  }
}

TEST(Touchstone, OnePortFileThatRebuildsTheImpedance) {
  Measurement m;
  m.Points = 300;
  m.fillSyntheticMeasurement();
  m.live.returnLossCounts[7] = 512;  // an open circuit among them
  m.live.phaseCounts[7] = 0;
  m.live.returnLossCounts[8] = 513;  // one count of noise beyond a total reflection
  m.live.phaseCounts[8] = 0;
  const std::string text = formatTouchstone(300, 3, 30, m.live);
  EXPECT_EQ(text.find("# MHz S RI R 50\r\n"), text.find('#'));
  // Flagged frequencies in runs, before the option line.
  const size_t flagged = text.find("\r\n! flagged (MHz): 3 ");
  ASSERT_NE(flagged, std::string::npos) << text.substr(0, 300);
  EXPECT_LT(flagged, text.find('#'));
  EXPECT_NE(text.find(", 3.63 open"), std::string::npos);
  EXPECT_NE(text.find(", 3.72 invalid"), std::string::npos);
  // Read back as the simulator reads a load.
  const auto back = kolm::sim::parseTouchstone(text);
  ASSERT_TRUE(back.ok()) << back.error;
  const auto& f = back.table.frequencyMHz;
  const auto& s11 = back.table.gamma;
  ASSERT_EQ(f.size(), 301u);
  EXPECT_EQ(f.back(), 30);
  EXPECT_EQ(s11[7], std::complex<double>(1, 0));
  EXPECT_NEAR(std::abs(s11[8]), 1, 1e-9);
  for (int i = 0; i <= 300; i += 13) {
    const PointResult p = evaluatePoint(m.live.returnLossCounts[i], m.live.phaseCounts[i]);
    ASSERT_TRUE(p.finite);
    const PointValues& v = p.values;
    const auto z = 50.0 * (1.0 + s11[i]) / (1.0 - s11[i]);
    EXPECT_NEAR(z.real(), v[kResistance], 1e-3 * std::max(1.0f, std::fabs(v[kResistance])));
    EXPECT_NEAR(std::fabs(z.imag()), v[kReactance],
                1e-3 * std::max(1.0f, std::fabs(v[kReactance])));
  }

  // A span swept downwards is written in increasing frequency.
  const auto down = kolm::sim::parseTouchstone(formatTouchstone(300, 30, 3, m.live));
  ASSERT_TRUE(down.ok()) << down.error;
  EXPECT_EQ(down.table.frequencyMHz.front(), 3);
  // The same readings the other way round are a load whose |X| changes the
  // other way: the sign of the reactance follows the frequency.
  EXPECT_EQ(down.table.gamma.front().real(), s11.back().real());
  EXPECT_EQ(std::fabs(down.table.gamma.front().imag()), std::fabs(s11.back().imag()));
}
