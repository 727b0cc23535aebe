#include "common/records.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "common/files.h"
#include "support/temp_dir.h"

using namespace kolm::common;

TEST(RecordFiles, WriterUsesCrLfQuotesAndBareNumbers) {
  RecordWriter w;
  w.quoted(" 3");
  w.number(7.05);
  w.number(0.5);
  EXPECT_EQ(w.text(), "\" 3\"\r\n7.05\r\n0.5\r\n");
}

TEST(RecordFiles, ReaderSplitsAtCommasAndLineEndsAndStripsQuotes) {
  auto f = splitFields("\"20\",\"20\"\r\n400\n\"a,b\"\r888");
  ASSERT_EQ(f.size(), 5u);
  EXPECT_EQ(f[0], "20");
  EXPECT_EQ(f[1], "20");
  EXPECT_EQ(f[2], "400");
  EXPECT_EQ(f[3], "a,b");
  EXPECT_EQ(f[4], "888");
}

TEST(RecordFiles, EmptyLinesAreEmptyFieldsButTheFinalLineEndIsNot) {
  auto f = splitFields("1\r\n\r\n2\r\n");
  ASSERT_EQ(f.size(), 3u);
  EXPECT_EQ(f[1], "");
  EXPECT_TRUE(splitFields("").empty());
}

TEST(AtomicWrite, ReplacesTheFileAndLeavesNoTemporary) {
  kolm::test::TempDir dir;
  auto path = dir.path() / "x.txt";
  ASSERT_TRUE(writeFileAtomic(path, "first"));
  ASSERT_TRUE(writeFileAtomic(path, "second"));
  EXPECT_EQ(readTextFile(path).value(), "second");
  int files = 0;
  for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(dir.path())) ++files;
  EXPECT_EQ(files, 1);
}

TEST(AtomicWrite, FailureKeepsTheOldFileAndSaysWhy) {
  kolm::test::TempDir dir;
  std::string error;
  EXPECT_FALSE(writeFileAtomic(dir.path() / "missing-folder" / "x.txt", "data", &error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(readTextFile(dir.path() / "nothing").has_value());
}
