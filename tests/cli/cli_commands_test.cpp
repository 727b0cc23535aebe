// kolm-cli as a user runs it: the exit status and what it prints.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "common/files.h"
#include "support/cli_run.h"

using kolm::test::runCli;

namespace {
class CliOutputs : public kolm::test::CliTest {};
}  // namespace

// The frames on the wire are the tune command's test.
TEST_F(CliOutputs, DdsPrintsTheWord) {
  auto r = runCli("dds --freq 7.05");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "word=75698799\n");
}

// read-detector and read-bridge on the ideal simulated board (exact counts).
TEST_F(CliOutputs, SimulatedConnectionsAreRead) {
  const std::pair<const char*, const char*> reads[] = {
      {"--dut atten:60 read-detector --freq 5", "count=235 dbm=-60.00\n"},
      {"--dut atten:90 read-detector", "count=0 dbm=-83.86 flag=floor\n"},
      {"--load open read-bridge --freq 3.5", "a=512 b=0 flag=open\n"},
      {"--load rlc:r=50,l=1u read-bridge --freq 10", "a=418 b=329\n"}};
  for (auto [args, out] : reads) {
    const auto r = runCli(std::string("--board ideal ") + args);
    EXPECT_EQ(r.status, 0) << args << ": " << r.err;
    EXPECT_EQ(r.out, out) << args;
  }
}

TEST_F(CliOutputs, PortTestPassesOnTheSimulatorAndExplainsAPortThatCannotBeOpened) {
  auto r = runCli("--backend sim port-test");
  EXPECT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_NE(r.out.find("PASS  Bridge channel B"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("The port and the instrument answer."), std::string::npos) << r.out;

  r = runCli("--backend ppdev:/nonexistent/parport3 port-test");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("FAIL  Port: There is no parallel port /nonexistent/parport3"),
            std::string::npos)
      << r.out;
}

// Bad arguments, bad connections and where the results go are checked before
// anything reaches the port, and each refusal is one line: nothing is written.
TEST_F(CliOutputs, RefusalsComeBeforeTheFirstWord) {
  std::filesystem::create_directory("folder.vna");
  struct Case {
    const char* args;
    const char* says;
  };
  const Case cases[] = {
      {"--trace t.txt dds --freq 250", "half the DDS clock"},
      {"--trace t.txt dds --freq 7MHz", "not a number"},
      {"dds --freq 1e400", "not a number"},
      {"frobnicate", "unknown command"},
      {"--backend nowhere dds --freq 7", "Unknown port back end"},
      {"--trace t.txt --backend ppdev:/nonexistent/parport3 dds --freq 7",
       "There is no parallel port /nonexistent/parport3"},
      {"--trace t.txt --dut lowpass:fc=abc,order=3 read-detector", "fc=abc: 'abc' is not a number"},
      {"--trace t.txt --load s1p:missing.s1p read-bridge", "'missing.s1p' cannot be opened"},
      {"--trace t.txt analyze --start 3 --stop 30 --points 20002 --out x.vna", "20001"},
      {"--trace t.txt analyze --start 3 --stop 30 --points 10", "needs --start"},
      {"--trace t.txt analyze --start 3 --stop 30 --points 10 --out x.txt", ".vna, .csv or .s1p"},
      {"--trace t.txt analyze --start 5 --stop 5 --points 10 --out x.vna", "no span"},
      {"--trace t.txt power-sweep --start 1 --stop 30 --points 2.5 --out a.pwm", "whole number"},
      {"--trace t.txt power-sweep --start 1 --stop 30 --points 20001 --out a.pwm", "1 to 20000"},
      {"--trace t.txt power-sweep --start 1 --stop 30 --out a.pwm", "needs --points"},
      {"--trace t.txt power-sweep --start 1 --stop 30 --points 10 --out a.txt", ".pwm or .csv"},
      {"--trace t.txt power-sweep --start one --stop 30 --points 10 --out a.csv", "not a number"},
      {"--trace t.txt power-sweep --start 1 --stop 30 --points 10 --delay -1 --out a.csv",
       "--delay"},
      {"--trace t.txt crystal --start 9.995 --stop 10.03 --points 3500", "Quartz.rif"},
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
  for (const char* file : {"x.vna", "a.pwm", "a.csv"}) EXPECT_FALSE(std::filesystem::exists(file));
}

TEST_F(CliOutputs, ATraceOrResultThatCannotBeWrittenIsAnError) {
  auto full = runCli("--trace /dev/full dds --freq 7");
  EXPECT_EQ(full.status, 1);
  EXPECT_NE(full.err.find("the trace '/dev/full' is incomplete"), std::string::npos) << full.err;
  auto stdoutFull = runCli("dds --freq 7 >/dev/full");
  EXPECT_EQ(stdoutFull.status, 1);
  EXPECT_NE(stdoutFull.err.find("standard output"), std::string::npos) << stdoutFull.err;
}
