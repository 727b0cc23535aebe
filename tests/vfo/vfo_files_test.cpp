#include "vfo/vfo_files.h"

#include <gtest/gtest.h>

using namespace kolm::vfo;

namespace {

// Quoted records, CR LF each.
std::string records(std::initializer_list<const char*> fields) {
  std::string text;
  for (const char* f : fields) text += std::string("\"") + f + "\"\r\n";
  return text;
}

}  // namespace

// Each row: the file, and what was read as it would be written back.
TEST(RadioIni, ReadingStopsAtTheFirstError) {
  struct Row {
    const char* name;
    std::string text;
    Mode modeBefore;
    std::string read;
  };
  const Row rows[] = {
      {"all seven", records({"3.5", "9", "8", "2", "2", "3.600", "3.5"}), Mode::GEN,
       records({"3.5", "9", "8", "2", "2", "3.600", "3.5"})},
      {"record 4 not a number: the rest at the initial values",
       records({"21.1", "9", "8", "abc", "3", "3.600"}), Mode::GEN,
       records({"21.1", "9", "8", "1", "1", "7.050", "21.1"})},
      {"a mode none of the three is left as it was; an IF option other than 1 is IF2",
       records({"1", "9", "8", "7", "5", "28.5"}), Mode::RTX,
       records({"1", "9", "8", "2", "2", "28.5", "1"})},
      {"too few records: what is there is taken", records({"50.1", "9"}), Mode::GEN,
       records({"50.1", "9", "10.000", "1", "1", "7.050", "50.1"})},
      {"the first record's leading number; unquoted fields and commas",
       " 7.1 MHz,9,8\n1,3\n7.100\n", Mode::GEN,
       records({"7.1", "9", "8", "1", "3", "7.100", "7.1"})},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    Settings s;
    s.mode = r.modeBefore;
    readSettingsText(s, r.text);
    EXPECT_EQ(settingsText(s), r.read);
  }
}

// The files' exact contents are pinned by the engine's closing test.
TEST(VfoMemoryFile, BlankLinesArePassedOverAndReadingStopsAtANonNumber) {
  EXPECT_EQ(parseMemories("3.5\r\n\r\n7.05\r\nxyz\r\n9\r\n"), (std::vector<double>{3.5, 7.05}));
}

TEST(VfoButtonFile, ShortOrDamagedFilesFillWithZeros) {
  BandButtons b{};
  b[3] = 1e-7;
  b[11] = 144.3000001;
  EXPECT_EQ(parseBandButtons(bandButtonsText(b)), b);
  BandButtons shortFile = parseBandButtons("1.8\r\n3.5\r\n7\r\n");
  EXPECT_EQ(shortFile[2], 7);
  EXPECT_EQ(shortFile[3], 0);
  BandButtons bad = parseBandButtons("1.8\r\nband\r\n7\r\n");
  EXPECT_EQ(bad[0], 1.8);
  EXPECT_EQ(bad[2], 0);
}
