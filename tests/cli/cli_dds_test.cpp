// kolm-cli as a user runs it: the exit status and what it prints.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>

#include "common/files.h"
#include "support/cli_run.h"
#include "support/temp_dir.h"

using kolm::test::runCli;

TEST(CliDds, PrintsTheWordAndTracesTheFrames) {
  kolm::test::InTempDir dir;
  ASSERT_TRUE(
      kolm::common::writeFileAtomic("dds.cfg", "\"20\"\r\n\"20\"\r\n\"400\"\r\n\"888\"\r\n"));
  auto r = runCli("--backend sim --trace trace.txt dds --freq 7.05");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "word=75698799\n");
  auto trace = kolm::common::readTextFile("trace.txt").value();
  // Reset (2 writes), multiplier (66), word (82): one line each.
  size_t lines = 0;
  for (char c : trace) lines += c == '\n';
  EXPECT_EQ(lines, 150u);
  EXPECT_EQ(trace.substr(0, 10), "W 90\nW 10\n");
  // The multiplier's last byte, 20 x 8 + 6 = 0xA6, ends in ...1,1,0 then the update.
  EXPECT_NE(trace.find("W 14\nW 10\n"), std::string::npos);
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

  r = runCli("dds --freq seven");
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("not a number"), std::string::npos) << r.err;

  r = runCli("dds");
  EXPECT_EQ(r.status, 2);
  r = runCli("frobnicate");
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("unknown command"), std::string::npos);
  r = runCli("--backend nowhere dds --freq 7");
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("Unknown port back end"), std::string::npos);
}

TEST(CliDds, HelpDocumentsTheGlobalOptions) {
  auto r = runCli("--help");
  EXPECT_EQ(r.status, 0);
  for (const char* word : {"--backend", "--trace", "--dut", "--load", "dds --freq MHZ"})
    EXPECT_NE(r.out.find(word), std::string::npos) << word;
}
