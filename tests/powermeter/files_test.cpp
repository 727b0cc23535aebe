#include <gtest/gtest.h>

#include <algorithm>

#include "common/files.h"
#include "powermeter/chart_file.h"
#include "powermeter/settings.h"
#include "support/temp_dir.h"

using namespace kolm::powermeter;

TEST(PowIniFile, DefaultsWhenMissingShortOrHoldingWhatTheInstrumentCannotHave) {
  kolm::test::InTempDir dir;
  EXPECT_EQ(readPowIni(), (PowIni{3, 30, 1000, 20, -80, {826, 235}, "0", 0}));

  PowIni shortFile = parsePowIni("\" 7\"\r\n\" 7.5\"\r\n");
  EXPECT_EQ(shortFile.ViewStop, 7.5f);
  EXPECT_EQ(shortFile.Points, 1000);
  // A count that does not fit 16 bits stops the reading there.
  PowIni bad = parsePowIni("\"1\"\r\n\"2\"\r\n\"99999\"\r\n\"0\"\r\n");
  EXPECT_EQ(bad.ViewStop, 2);
  EXPECT_EQ(bad.LevelTop, 20);

  const std::string head = "\"3\"\r\n\"30\"\r\n\"1000\"\r\n\"20\"\r\n\"-80\"\r\n";
  // Counts outside the detector's 0..1023, and a level beyond single precision.
  for (const char* counts :
       {"\"20000\"\r\n\"-20000\"", "\"826\"\r\n\"-1\"", "\"1024\"\r\n\"235\""}) {
    const PowIni ini = parsePowIni(head + counts + "\r\n\"0\"\r\n\"7\"\r\n");
    EXPECT_EQ(ini.calibration, Calibration{}) << counts;
    EXPECT_EQ(ini.R0, 0) << counts;
  }
  const PowIni beyond = parsePowIni("\"3\"\r\n\"1e39\"\r\n\"500\"\r\n");
  EXPECT_EQ(beyond.ViewStart, 3);
  EXPECT_EQ(beyond.ViewStop, 30);
  // The count difference is taken without a 16-bit overflow (which made a
  // reading of 0 show +47 dBm).
  EXPECT_FLOAT_EQ(readingToDbm(0, Calibration{20000, -20000}), -30.0f);
}

TEST(PowIniFile, NineQuotedItemsRoundTrip) {
  kolm::test::InTempDir dir;
  PowIniTexts t{" 3", " 30", "1000", "20", "-80", {826, 235}, "0", 0};
  const std::string want =
      "\" 3\"\r\n\" 30\"\r\n\"1000\"\r\n\"20\"\r\n\"-80\"\r\n\" 826\"\r\n\" 235\"\r\n\"0\"\r\n\" "
      "0\"\r\n";
  EXPECT_EQ(formatPowIni(t), want);
  ASSERT_TRUE(savePowIni({" 1.5", " 14.35", "20000", "0", "-50.5", {800, 200}, "2.5", 12.5f}));
  PowIni back = readPowIni();
  EXPECT_EQ(back.ViewStop, 14.35f);
  EXPECT_EQ(back.Points, 20000);
  EXPECT_EQ(back.LevelBottom, -50.5f);
  EXPECT_EQ(back.calibration, (Calibration{800, 200}));
  EXPECT_EQ(back.delayText, "2.5");
  EXPECT_EQ(back.R0, 12.5f);
  // Item 8 goes back unchanged, whatever it holds; a quote cannot break the file.
  ASSERT_TRUE(savePowIni({"1", "2", "3", "4", "5", {}, "1,5 \"ms\"", 0}));
  EXPECT_EQ(readPowIni().delayText, "1,5 ms");
  EXPECT_EQ(readPowIni().R0, 0);
}

TEST(ChartFileFormat, WritesNPlusFiveLines) {
  ChartFile c;
  c.points = 1000;
  c.start = 3;
  c.stop = 30;
  for (int i = 0; i <= 1000; ++i) c.levels.push_back(-0.5f - i * 0.01f);
  c.reference = 0;
  std::string text = formatChartFile(c);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\r'), 1005);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1005);
  EXPECT_EQ(text.substr(0, 26), "1000\r\n3\r\n30\r\n-0.5\r\n-0.51\r\n");
  EXPECT_EQ(text.substr(text.size() - 3), "0\r\n");

  auto back = parseChartFile(text);
  ASSERT_TRUE(back.chart) << back.error;
  EXPECT_EQ(back.chart->points, 1000);
  // Seven significant digits, as single-precision values are printed.
  ASSERT_EQ(back.chart->levels.size(), c.levels.size());
  for (size_t i = 0; i < c.levels.size(); ++i)
    EXPECT_NEAR(back.chart->levels[i], c.levels[i], 1e-6) << i;
  EXPECT_EQ(back.chart->reference, 0.0f);
}

TEST(ChartFileFormat, ReaderAcceptsTheOtherFormsAndRefusesBadFiles) {
  auto ok = parseChartFile("2\n.5\n1E+01\n-1.5E-07\n-.25\n3\n");
  ASSERT_TRUE(ok.chart) << ok.error;
  EXPECT_EQ(ok.chart->start, 0.5f);
  EXPECT_EQ(ok.chart->stop, 10);
  EXPECT_EQ(ok.chart->levels, (std::vector<float>{-1.5e-7f, -0.25f, 3}));
  EXPECT_FALSE(ok.chart->reference.has_value());  // the old reference stays
  EXPECT_EQ(parseChartFile("1\r\n1\r\n2\r\n-3\r\n-4\r\n-20\r\n\r\n").chart->reference, -20.0f);

  // 3.4E+38 is the largest a chart file can keep; 1e39 would become infinite.
  const auto largest = parseChartFile("1\n1\n2\n3.4E+38\n-3.4E+38\n");
  ASSERT_TRUE(largest.chart) << largest.error;
  EXPECT_TRUE(parseChartFile(formatChartFile(*largest.chart)).chart);

  const char* const refused[][2] = {
      {"2\n1\n2\n-3\n-4\n", "ends at line 6"},  // one level short
      {"2\n1\n2\n-3\nabc\n-5\n", "Line 5 holds no number"},
      {"0\n1\n2\n-3\n", "whole number from 1"},
      {"2.5\n1\n2\n-3\n-4\n-5\n", "whole number from 1"},
      {"20003\n1\n2\n", "whole number from 1"},
      {"", "ends at line 1"},
      {"1\n1\n2\n-3\n-4\nref\n", "line 6,"},
      {"1\n1\n2\n1e39\n-4\n", "Line 4 holds 1E+39, beyond"},
      {"1\n1e39\n2\n-3\n-4\n", "Line 2 "},
      {"1\n1\n2\n-3\n-4\n-1e39\n", "line 6,"},
  };
  for (const auto& [text, reason] : refused) {
    const auto r = parseChartFile(text);
    EXPECT_FALSE(r.chart) << text;
    EXPECT_NE(r.error.find(reason), std::string::npos) << text << ": " << r.error;
  }
  const auto missing = readChartFile("/nonexistent/none.pwm");
  EXPECT_FALSE(missing.chart);
  EXPECT_NE(missing.error.find("none.pwm"), std::string::npos) << missing.error;
}

TEST(ChartFileFormat, CsvRowsEndWithTheFlag) {
  // Default calibration: floor up to -73.86 dBm, overload from +17.01 dBm.
  ChartFile c{3, 1, 2.5f, {-10, -80.5f, 18, -73}, std::nullopt};
  EXPECT_EQ(formatCsv(c, levelLimits(Calibration{})),
            "freq_mhz,level_dbm,flag\r\n1,-10,\r\n1.5,-80.5,floor\r\n2,18,overload\r\n"
            "2.5,-73,\r\n");
}
