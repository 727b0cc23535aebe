// kolm-cli as a user runs it: the exit status and what it prints.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <string>

#include "common/files.h"
#include "support/cli_run.h"
#include "support/temp_dir.h"

using kolm::test::runCli;

namespace {
class CliOutputs : public kolm::test::CliTest {};
}  // namespace

// The frames on the wire are the tune command's test.
TEST(CliDds, PrintsTheWord) {
  kolm::test::InTempDir dir;
  ASSERT_TRUE(
      kolm::common::writeFileAtomic("dds.cfg", "\"20\"\r\n\"20\"\r\n\"400\"\r\n\"888\"\r\n"));
  auto r = runCli("--backend sim dds --freq 7.05");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "word=75698799\n");
}

TEST(CliDds, BadInputExitsWithTwoAndSaysWhy) {
  kolm::test::InTempDir dir;
  // No dds.cfg: the clock is 0.
  auto r = runCli("dds --freq 7");
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("clock is 0"), std::string::npos) << r.err;

  ASSERT_TRUE(kolm::common::writeFileAtomic("dds.cfg", "20\r\n20\r\n400\r\n888\r\n"));
  r = runCli("dds --freq 250");
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("half the DDS clock"), std::string::npos) << r.err;

  // The whole argument must be one number.
  for (const char* freq : {"seven", "7MHz", "1e400"}) {
    r = runCli(std::string("dds --freq ") + freq);
    EXPECT_EQ(r.status, 2) << freq;
    EXPECT_NE(r.err.find("not a number"), std::string::npos) << freq << ": " << r.err;
  }

  r = runCli("frobnicate");
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("unknown command"), std::string::npos);
  r = runCli("--backend nowhere dds --freq 7");
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("Unknown port back end"), std::string::npos);
}

// Where the results go is checked before anything reaches the port, and each
// refusal is one line.
TEST_F(CliOutputs, UnusableTargetsAreRefusedBeforeTheFirstWord) {
  std::filesystem::create_directory("folder.vna");
  struct Case {
    const char* args;
    const char* says;
  };
  const Case cases[] = {
      {"--trace t.txt analyze --start 1 --stop 2 --points 10 --out /missing/dir/x.vna",
       "--out: there is no folder '/missing/dir'"},
      {"--trace t.txt analyze --start 1 --stop 2 --points 10 --out folder.vna",
       "--out: 'folder.vna' is a folder"},
      {"--trace t.txt power-sweep --start 1 --stop 2 --points 10 --out /missing/x.csv",
       "--out: there is no folder '/missing'"},
      {"--trace t.txt --load s1p:/dev/zero analyze --start 1 --stop 2 --points 10 --out x.vna",
       "'/dev/zero' is not a regular file"},
      {"--trace '' dds --freq 7", "--trace: no file name given"},
      {"--trace /missing/t.txt dds --freq 7", "--trace: there is no folder '/missing'"},
      {"--trace . dds --freq 7", "--trace: '.' is a folder"},
  };
  for (const Case& c : cases) {
    auto r = runCli(c.args);
    EXPECT_EQ(r.status, 2) << c.args;
    EXPECT_EQ(r.err.rfind("kolm-cli: ", 0), 0u) << c.args << ": " << r.err;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << c.args << ": " << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << c.args << ": " << r.err;
    EXPECT_EQ(kolm::common::readTextFile("t.txt").value_or(""), "") << c.args;
  }
}

TEST_F(CliOutputs, ATraceOrResultThatCannotBeWrittenIsAnError) {
  auto full = runCli("--trace /dev/full dds --freq 7");
  EXPECT_EQ(full.status, 1);
  EXPECT_NE(full.err.find("the trace '/dev/full' is incomplete"), std::string::npos) << full.err;
  auto stdoutFull = runCli("dds --freq 7 >/dev/full");
  EXPECT_EQ(stdoutFull.status, 1);
  EXPECT_NE(stdoutFull.err.find("standard output"), std::string::npos) << stdoutFull.err;
}
