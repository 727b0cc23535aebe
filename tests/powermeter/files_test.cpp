// The power meter's files (pow.ini, charts, the reference tables), the level
// reference's and the crystal fixture's passes on the wire, and what the chart
// draws from the tables.
#include "powermeter/reference.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <optional>
#include <tuple>
#include <utility>

#include "common/files.h"
#include "hw/dds.h"
#include "powermeter/chart_file.h"
#include "powermeter/level_trace.h"
#include "powermeter/normalise.h"
#include "powermeter/settings.h"
#include "support/golden.h"
#include "support/port_rig.h"
#include "support/temp_dir.h"

using namespace kolm;
using namespace kolm::powermeter;

namespace {

// Entry k holds -k / 100 dB, so every lookup shows which entry it took.
ReferenceTable rampTable() {
  ReferenceTable t{};
  for (int k = 0; k < kRifEntries; ++k) t[k] = -0.01f * static_cast<float>(k);
  return t;
}

int entryOf(float level) { return static_cast<int>(std::lround(-level * 100)); }

}  // namespace

TEST(ReferencePasses, LevelTableWordsDelaysAndReadings) {
  test::PortRig rig(400);
  rig.answer([](size_t k) { return 900 - static_cast<int>(k % 700); });
  std::string error;
  auto words = tableWords(400, 1600, &error);
  ASSERT_TRUE(words) << error;

  LevelReferenceJob job(rig.instrument, *words, {});
  int steps = 0;
  while (!job.done()) {
    job.step();
    ++steps;
  }
  EXPECT_EQ(steps, 1601);  // one entry a step: the window yields between them
  EXPECT_EQ(job.progress(), 1);
  EXPECT_FALSE(job.step());

  // Word 0 is 0.1 MHz at a 400 MHz clock, word i firstWord + i (firstWord +
  // word160MHz) / 1600 (the last 160.2 MHz), each read after a wait: 20 ms for
  // the first entry, then 200000 / i + 10000 units (fractional).
  test::expectGolden("level_reference.trace", test::wireText(rig));
  EXPECT_FLOAT_EQ(job.table()[0], readingToDbm(900, {}));
  EXPECT_FLOAT_EQ(job.table()[1600], readingToDbm(900 - 1600 % 700, {}));
}

TEST(ReferencePasses, QuartzTableReadsBeforeEachStep) {
  test::PortRig rig(400);
  rig.answer([](size_t k) { return 900 - static_cast<int>(k % 700); });
  auto words = tableWords(400, 1601, nullptr);
  ASSERT_TRUE(words);
  QuartzReferenceJob job(rig.instrument, *words, {});
  job.runToEnd();

  // The DDS set up first (the pass runs at the configured clock), firstWord, then after
  // each reading the next word, the last one after entry 1600. Entry 0 is read
  // twice and the second reading stays; entry i is the reading taken at word i.
  test::expectGolden("quartz_reference.trace", test::wireText(rig));
  EXPECT_FLOAT_EQ(job.table()[0], readingToDbm(899, {}));
  EXPECT_FLOAT_EQ(job.table()[5], readingToDbm(894, {}));
}

TEST(ReferencePasses, ClockThatCannotReachTheTableIsRefused) {
  std::string error;
  EXPECT_FALSE(tableWords(0, 1600, &error));
  EXPECT_EQ(error, hw::noClockMessage());
  // 160.2 MHz needs a word of 2^32 or more below a clock of 160.2 MHz.
  EXPECT_FALSE(tableWords(160, 1600, &error));
  EXPECT_NE(error.find("160 MHz"), std::string::npos);
  EXPECT_TRUE(tableWords(161, 1600, nullptr));
  // A 300 MHz clock gives images above 150 MHz but the words fit: measured.
  EXPECT_TRUE(tableWords(300, 1601, nullptr));
}

TEST(ReferenceFiles, RoundTripCrLfAndPartialReads) {
  test::InTempDir dir;
  ReferenceTable t = rampTable();
  t[7] = -3.25f;
  t[8] = 0.5f;
  std::string error;
  ASSERT_TRUE(writeRif(t, kLevelRifFile, &error)) << error;
  const std::string text = common::readTextFile(kLevelRifFile).value();
  EXPECT_EQ(std::count(text.begin(), text.end(), '\r'), 1601);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1601);
  EXPECT_EQ(text.substr(0, 11), "0\r\n-0.01\r\n-");
  EXPECT_NE(text.find("\r\n-3.25\r\n0.5\r\n"), std::string::npos);
  EXPECT_EQ(text.substr(text.size() - 7), "\r\n-16\r\n");  // entry 1600, the last

  ReferenceTable back{};
  EXPECT_EQ(readLevelRif(back, kLevelRifFile), 1601);
  // Seven significant digits, as single-precision values are printed.
  for (int k = 0; k < kRifEntries; ++k) ASSERT_FLOAT_EQ(back[k], t[k]) << k;

  // A bad value stops the reading; what was not read keeps its value.
  ReferenceTable partial;
  partial.fill(7);
  EXPECT_EQ(parseRif("-1\n.5\nx\n-4\n", partial), 2);
  EXPECT_EQ(std::tuple(partial[0], partial[1], partial[2]), std::tuple(-1, 0.5f, 7));
  // A missing file reads nothing.
  EXPECT_EQ(readLevelRif(partial, "nothing.rif"), 0);
  EXPECT_EQ(partial[0], -1);
  // A write that fails says why and leaves nothing behind.
  EXPECT_FALSE(writeRif(t, dir.path() / "no-folder" / "level.rif", &error));
  EXPECT_FALSE(error.empty());
}

TEST(ReferenceFiles, QuartzFileNameInAnyCase) {
  test::InTempDir dir;
  ReferenceTable t{};
  EXPECT_TRUE(findQuartzRif(".").empty());
  EXPECT_EQ(readQuartzRif(t, "."), 0);
  ReferenceTable lower{};
  lower[1] = -2.5f;
  ASSERT_TRUE(writeRif(lower, "quartz.rif", nullptr));
  EXPECT_EQ(readQuartzRif(t, "."), 1601);
  EXPECT_EQ(t[1], -2.5f);
  // The spelling the calibration writes wins.
  ReferenceTable written = rampTable();
  ASSERT_TRUE(writeRif(written, kQuartzRifFile, nullptr));
  EXPECT_EQ(findQuartzRif(".").filename(), "Quartz.rif");
  EXPECT_EQ(readQuartzRif(t, "."), 1601);
  EXPECT_EQ(t[1], -0.01f);
}

// Every lookup, drawn or computed, takes its entry here and never one outside
// the measured table.
TEST(ReferenceLookup, TenfoldRoundedHalvesToEvenInsideTheTable) {
  const std::pair<float, std::optional<size_t>> cases[] = {
      {0, 0},          {0.04f, 0},    {-0.04f, 0},  {10.05f, 100}, {0.25f, 2}, {160, 1600},
      {160.04f, 1600}, {160.06f, {}}, {-0.06f, {}}, {1e9f, {}},    {NAN, {}},  {INFINITY, {}}};
  for (const auto& [mhz, index] : cases) EXPECT_EQ(referenceIndex(mhz), index) << mhz;
}

TEST(ReferenceDrawing, LevelCurveAcrossTheViewOrTheStoredLevel) {
  const ReferenceTable t = rampTable();
  auto d = levelReferenceDrawing(3, 30, false, 0, t);
  EXPECT_FALSE(d.flatLevel);
  // From 3.0 MHz to about 30.1 MHz in 0.1 MHz steps, each at its own entry.
  ASSERT_EQ(d.curve.size(), 272u);
  EXPECT_EQ(d.curve.front().x, 3.0f);
  EXPECT_EQ(entryOf(d.curve.front().y), 30);
  for (size_t k = 1; k < d.curve.size(); ++k) {
    EXPECT_NEAR(d.curve[k].x - d.curve[k - 1].x, 0.1, 1e-4) << k;
    EXPECT_EQ(entryOf(d.curve[k].y), 30 + static_cast<int>(k)) << k;
  }
  // A start between tenths is rounded to one; a view from 0 starts at 0.1 MHz.
  EXPECT_EQ(levelReferenceDrawing(14.03f, 14.35f, false, 0, t).curve.front().x, 14.0f);
  EXPECT_EQ(levelReferenceDrawing(0, 5, false, 0, t).curve.front(), (RefPoint{0.1f, t[1]}));
  // Above 160 MHz the curve stops at 160 MHz, inside the table.
  auto high = levelReferenceDrawing(150, 200, false, 0, t);
  EXPECT_NEAR(high.curve.back().x, 160, 1e-3);
  EXPECT_LE(entryOf(high.curve.back().y), 1600);
  // A view wholly above the table draws no curve (it never reads past it).
  EXPECT_TRUE(levelReferenceDrawing(170, 180, false, 0, t).curve.empty());

  // A chart opened from a file shows its stored level, or nothing.
  auto flat = levelReferenceDrawing(3, 30, true, -3.5f, t);
  EXPECT_EQ(flat.flatLevel, -3.5f);
  EXPECT_TRUE(flat.curve.empty());
  EXPECT_FALSE(levelReferenceDrawing(3, 30, true, 0, t).flatLevel);
  // The level stored with a saved chart is the entry at the view's centre.
  EXPECT_EQ(referenceAtCentre(3, 30, t), t[165]);       // 16.5 MHz
  EXPECT_EQ(referenceAtCentre(14, 14.35f, t), t[142]);  // 14.175 -> 141.75
  EXPECT_EQ(referenceAtCentre(180, 190, t), 0);         // beyond the table: none
}

TEST(ReferenceDrawing, CrystalCurveFromTheWholeMegahertz) {
  const ReferenceTable t = rampTable();
  auto q = quartzReferenceLine(3.7f, 5, t);
  ASSERT_GE(q.size(), 3u);
  // It starts at 3 MHz and its first segment has no length.
  EXPECT_EQ(q[0], (RefPoint{3.0f, t[30]}));
  EXPECT_EQ(q[1], q[0]);
  EXPECT_NEAR(q[2].x, 3.1, 1e-5);
  // The steps accumulate in single precision: the last one lands just below 5.1.
  EXPECT_NEAR(q.back().x, 5.1, 1e-4);
  for (size_t k = 2; k < q.size(); ++k) EXPECT_EQ(entryOf(q[k].y), 29 + static_cast<int>(k)) << k;
  auto high = quartzReferenceLine(158.5f, 190, t);
  EXPECT_EQ(high.front().x, 158.0f);
  EXPECT_LT(high.back().x, 160.05f);
  EXPECT_TRUE(quartzReferenceLine(175, 180, t).empty());
  // A start below 0 draws only the part inside the table.
  auto low = quartzReferenceLine(-0.5f, 0.3f, t);
  ASSERT_FALSE(low.empty());
  EXPECT_GE(low.front().x, -0.06f);
}

// The reference under a relative display: straight between entries, up to and
// including the last entry read, and none where an entry is not a measurement.
TEST(LevelReferenceAt, StraightBetweenEntriesUpToTheLastOneRead) {
  ReferenceTable table{};
  table[0] = -20;
  table[1] = -10;
  table[2] = -30;
  table[3] = -15;  // present in the table but not read
  const LevelReference reference{table, 3};
  const LevelLimits limits = levelLimits({});
  const std::pair<double, std::optional<double>> rows[] = {
      {0, -20}, {0.05, -15}, {0.15, -20}, {0.2, -30}, {0.21, std::nullopt}, {-0.1, std::nullopt}};
  for (const auto& [mhz, level] : rows) {
    const auto got = referenceLevelAt(reference, mhz, limits);
    ASSERT_EQ(got.has_value(), level.has_value()) << mhz << " MHz";
    if (level) {
      EXPECT_NEAR(*got, *level, 1e-9) << mhz << " MHz";
    }
  }
  table[1] = -200;  // a floor reading is no reference, nor is anything drawn from it
  EXPECT_FALSE(referenceLevelAt(reference, 0.05, limits));
  EXPECT_FALSE(referenceLevelAt(reference, 0.1, limits));
}

TEST(PowIniFile, DefaultsWhenMissingShortOrHoldingWhatTheInstrumentCannotHave) {
  kolm::test::InTempDir dir;
  EXPECT_EQ(readPowIni(kSettingsFile), (PowIni{3, 30, 1000, 20, -80, {826, 235}, {"0", 0}, 0}));

  PowIni shortFile = parsePowIni("\" 7\"\r\n\" 7.5\"\r\n");
  EXPECT_EQ(shortFile.viewStopMHz, 7.5f);
  EXPECT_EQ(shortFile.points, 1000);
  // A count that does not fit 16 bits stops the reading there.
  PowIni bad = parsePowIni("\"1\"\r\n\"2\"\r\n\"99999\"\r\n\"0\"\r\n");
  EXPECT_EQ(bad.viewStopMHz, 2);
  EXPECT_EQ(bad.topDbm, 20);

  const std::string head = "\"3\"\r\n\"30\"\r\n\"1000\"\r\n\"20\"\r\n\"-80\"\r\n";
  // Counts outside the detector's 0..1023, and a level beyond single precision.
  for (const char* counts :
       {"\"20000\"\r\n\"-20000\"", "\"826\"\r\n\"-1\"", "\"1024\"\r\n\"235\""}) {
    const PowIni ini = parsePowIni(head + counts + "\r\n\"0\"\r\n\"7\"\r\n");
    EXPECT_EQ(ini.calibration, Calibration{}) << counts;
    EXPECT_EQ(ini.r0Ohm, 0) << counts;
  }
  const PowIni beyond = parsePowIni("\"3\"\r\n\"1e39\"\r\n\"500\"\r\n");
  EXPECT_EQ(beyond.viewStartMHz, 3);
  EXPECT_EQ(beyond.viewStopMHz, 30);
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
  common::SettingsKeeper keeper;
  ASSERT_TRUE(savePowIni({" 1.5", " 14.35", "20000", "0", "-50.5", {800, 200}, "2.5", 12.5f},
                         kSettingsFile, keeper));
  PowIni back = readPowIni(kSettingsFile);
  EXPECT_EQ(std::tuple(back.viewStopMHz, back.points, back.bottomDbm, back.delayMs, back.r0Ohm),
            std::tuple(14.35f, 20000, -50.5f, common::NumberText("2.5", 2.5), 12.5f));
  EXPECT_EQ(back.calibration, (Calibration{800, 200}));
  // Item 8 goes back unchanged, whatever it holds; a quote cannot break the file.
  ASSERT_TRUE(savePowIni({"1", "2", "3", "4", "5", {}, "1,5 \"ms\"", 0}, kSettingsFile, keeper));
  EXPECT_EQ(readPowIni(kSettingsFile).delayMs.text, "1,5 ms");
  EXPECT_EQ(readPowIni(kSettingsFile).r0Ohm, 0);
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

  for (const auto& c : kolm::test::goldenRows("pwm_refusals.tsv", 2)) {
    const auto r = parseChartFile(c[1]);
    EXPECT_FALSE(r.chart) << c[1];
    EXPECT_NE(r.error.find(c[0]), std::string::npos) << c[1] << ": " << r.error;
  }
  const auto missing = readChartFile("/nonexistent/none.pwm");
  EXPECT_FALSE(missing.chart);
  EXPECT_NE(missing.error.find("none.pwm"), std::string::npos) << missing.error;
}

TEST(ChartFileFormat, CsvRowsEndWithTheFlag) {
  // Default calibration: floor up to -73.86 dBm, overload from +17.01 dBm, every
  // level uncalibrated.
  ChartFile c{3, 1, 2.5f, {-10, -80.5f, 18, -73}, std::nullopt};
  EXPECT_EQ(formatCsv(c, levelLimits(Calibration{})),
            "freq_mhz,level_dbm,flag\r\n1,-10,uncalibrated\r\n1.5,-80.5,floor uncalibrated\r\n"
            "2,18,overload uncalibrated\r\n2.5,-73,uncalibrated\r\n");
  // Read back as the chart's levels are stored, over levels of every flag: the
  // same marks, the values to their seven digits, intervals that hold theirs.
  c = ChartFile{400, 1, 30, {}, std::nullopt};
  for (int k = 0; k <= 400; ++k) c.levels.push_back(-88.0f + 0.2713f * static_cast<float>(k));
  c.levels[17] = NAN;
  for (const LevelLimits& limits : {levelLimits(Calibration{}), LevelLimits{-75, 15}}) {
    const LevelTraceRead back = levelTraceFromCsv("c.csv", "# x\n" + formatCsv(c, limits));
    ASSERT_TRUE(back.trace) << back.error;
    const kolm::chart::StoredTrace &b = *back.trace, s = levelTrace("c", c.levels, 1, 30, limits);
    ASSERT_EQ(b.size(), s.size());
    for (size_t i = 0; i < s.size(); ++i) {
      EXPECT_EQ(b.markAt(i), s.markAt(i)) << i;
      EXPECT_TRUE(std::isnan(s.value[i]) ? std::isnan(b.value[i])
                                         : std::fabs(b.value[i] - s.value[i]) <= 5e-7 * 88)
          << i;
      EXPECT_TRUE(b.low[i] <= s.low[i] && b.high[i] >= s.high[i]) << i;
    }
  }
  EXPECT_EQ(levelTraceFromCsv("d.csv", "freq_mhz,level_dbm,flag\n1,-3,\n1,-4,\n").error,
            "line 3: the frequencies do not rise");
}
