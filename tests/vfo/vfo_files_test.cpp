#include "vfo/vfo_files.h"

#include <gtest/gtest.h>

#include "common/files.h"
#include "support/temp_dir.h"

using namespace kolm::vfo;

TEST(RadioIni, WritesSevenQuotedRecords) {
  Settings s;
  s.WorkingFreq = 14.2;
  s.IF1 = "10.7";
  s.IF2 = "-455e-3";
  s.ifChoice = IfChoice::IF2;
  s.mode = Mode::RTX2;
  s.Text3 = "14.200 MHz";
  EXPECT_EQ(
      settingsText(s),
      "\"14.2\"\r\n\"10.7\"\r\n\"-455e-3\"\r\n\"2\"\r\n\"3\"\r\n\"14.200 MHz\"\r\n\"14.2\"\r\n");
  EXPECT_EQ(settingsText(Settings{}),
            "\"0\"\r\n\"10.000\"\r\n\"10.000\"\r\n\"1\"\r\n\"1\"\r\n\"7.050\"\r\n\"0\"\r\n");

  kolm::test::TempDir dir;
  ASSERT_TRUE(SaveVar(s, dir.path() / "radio.ini"));
  Settings back;
  Read_ini(back, dir.path() / "radio.ini");
  EXPECT_DOUBLE_EQ(back.WorkingFreq, 14.2);
  EXPECT_EQ(back.IF1, "10.7");
  EXPECT_EQ(back.IF2, "-455e-3");
  EXPECT_EQ(back.ifChoice, IfChoice::IF2);
  EXPECT_EQ(back.mode, Mode::RTX2);
  EXPECT_EQ(back.Text3, "14.200 MHz");
}

TEST(RadioIni, ReadingStopsAtTheFirstError) {
  {
    Settings s;
    readSettingsText(s, "\"3.5\"\r\n\"9\"\r\n\"8\"\r\n\"2\"\r\n\"2\"\r\n\"3.600\"\r\n\"3.5\"\r\n");
    EXPECT_EQ(s.mode, Mode::RTX);
    EXPECT_EQ(s.ifChoice, IfChoice::IF2);
    EXPECT_EQ(s.Text3, "3.600");
  }
  {
    // Record 4 not a number: records 1 to 3 kept, the rest at the initial values.
    Settings s;
    readSettingsText(s, "\"21.1\"\r\n\"9\"\r\n\"8\"\r\n\"abc\"\r\n\"3\"\r\n\"3.600\"\r\n");
    EXPECT_DOUBLE_EQ(s.WorkingFreq, 21.1);
    EXPECT_EQ(s.IF1, "9");
    EXPECT_EQ(s.IF2, "8");
    EXPECT_EQ(s.ifChoice, IfChoice::IF1);
    EXPECT_EQ(s.mode, Mode::GEN);
    EXPECT_EQ(s.Text3, "7.050");
  }
  {
    // A mode that is a number but none of the three leaves the mode as it was
    // and reading goes on; an IF option other than 1 selects IF2.
    Settings s;
    s.mode = Mode::RTX;
    readSettingsText(s, "\"1\"\r\n\"9\"\r\n\"8\"\r\n\"7\"\r\n\"5\"\r\n\"28.5\"\r\n");
    EXPECT_EQ(s.mode, Mode::RTX);
    EXPECT_EQ(s.ifChoice, IfChoice::IF2);
    EXPECT_EQ(s.Text3, "28.5");
  }
  {
    // Too few records: what is there is taken.
    Settings s;
    readSettingsText(s, "\"50.1\"\r\n\"9\"\r\n");
    EXPECT_DOUBLE_EQ(s.WorkingFreq, 50.1);
    EXPECT_EQ(s.IF1, "9");
    EXPECT_EQ(s.IF2, "10.000");
  }
  {
    // The first record is read by its leading number; unquoted fields and
    // commas read the same.
    Settings s;
    readSettingsText(s, " 7.1 MHz,9,8\n1,3\n7.100\n");
    EXPECT_DOUBLE_EQ(s.WorkingFreq, 7.1);
    EXPECT_EQ(s.mode, Mode::RTX2);
    EXPECT_EQ(s.Text3, "7.100");
  }
  {
    kolm::test::TempDir dir;
    Settings s;
    Read_ini(s, dir.path() / "radio.ini");  // no file
    EXPECT_EQ(s.WorkingFreq, 0);
    EXPECT_EQ(s.IF1, "10.000");
  }
}

TEST(VfoMemoryFile, BareNumbersOnePerLine) {
  EXPECT_EQ(memoriesText({"003.500000", "007.050000", "145.000001"}),
            "3.5\r\n7.05\r\n145.000001\r\n");
  EXPECT_EQ(memoriesText({}), "");
  EXPECT_EQ(parseMemories("3.5\r\n7.05\r\n"), (std::vector<double>{3.5, 7.05}));
  // Blank lines are passed over; reading stops at a field that is not a number.
  EXPECT_EQ(parseMemories("3.5\r\n\r\n7.05\r\nxyz\r\n9\r\n"), (std::vector<double>{3.5, 7.05}));
  kolm::test::TempDir dir;
  EXPECT_TRUE(readMemories(dir.path() / "VFO_FreqMem").empty());
}

TEST(VfoButtonFile, TwelveNumbersShortFilesFillWithZeros) {
  BandButtons b{};
  b[0] = 1.838;
  b[4] = 14.0705;
  b[11] = 144.3000001;
  b[3] = 1e-7;
  EXPECT_EQ(bandButtonsText(b),
            "1.838\r\n0\r\n0\r\n1E-07\r\n14.0705\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n144.3000001\r\n");
  EXPECT_EQ(parseBandButtons(bandButtonsText(b)), b);

  BandButtons shortFile = parseBandButtons("1.8\r\n3.5\r\n7\r\n");
  EXPECT_EQ(shortFile[2], 7);
  EXPECT_EQ(shortFile[3], 0);
  EXPECT_EQ(shortFile[11], 0);
  BandButtons bad = parseBandButtons("1.8\r\nband\r\n7\r\n");
  EXPECT_EQ(bad[0], 1.8);
  EXPECT_EQ(bad[2], 0);

  kolm::test::TempDir dir;
  EXPECT_EQ(readBandButtons(dir.path() / "VFO_FreqButton.txt"), BandButtons{});
}
