// kolm-cli as a user runs it: the exit status and what it prints.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <string>
#include <thread>

#include "common/files.h"
#include "support/cli_run.h"
#include "support/temp_dir.h"
#include "vfo/dds_frames.h"

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
// (The plans' and readers' own refusals are their tests'.)
TEST_F(CliOutputs, RefusalsComeBeforeTheFirstWord) {
  std::filesystem::create_directory("folder.vna");
  ASSERT_EQ(::mkfifo("t.fifo", 0644), 0);                             // no program reads it
  const int locked = ::open("locked.txt", O_CREAT | O_WRONLY, 0644);  // another program's trace
  ASSERT_EQ(::flock(locked, LOCK_EX), 0);
  struct Case {
    std::string args;
    const char* says;
  };
  const Case cases[] = {
      {"--trace t.txt dds --freq 250", "half the DDS clock"},
      {"--trace t.txt dds --freq 7MHz", "not a number"},
      {"frobnicate", "unknown command"},
      {"--backend nowhere dds --freq 7", "Unknown port back end"},
      {"--trace t.txt --backend ppdev:/nonexistent/parport3 dds --freq 7",
       "There is no parallel port /nonexistent/parport3"},
      {"--trace t.txt --dut lowpass:fc=abc,order=3 read-detector", "fc=abc: 'abc' is not a number"},
      {"--trace t.txt --load s1p:missing.s1p read-bridge", "'missing.s1p' cannot be opened"},
      {"--trace t.txt analyze --start 3 --stop 30 --points 10", "needs --start"},
      {"--trace t.txt analyze --start 3 --stop 30 --points 10 --out x.txt", ".vna, .csv or .s1p"},
      {"--trace t.txt power-sweep --start 1 --stop 30 --points 2.5 --out a.pwm", "whole number"},
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
      {"--trace '' dds --freq 7", "--trace: no file name given"},
      {"--trace /missing/t.txt dds --freq 7", "--trace: there is no folder '/missing'"},
      {"--trace . dds --freq 7", "--trace: '.' is a folder"},
      {"--trace t.fifo dds --freq 7", "--trace: 't.fifo' is a pipe that no program reads"},
      {"--trace locked.txt dds --freq 7", "'locked.txt' is being written by another program"},
      {"--trace t.txt power-sweep --start 1e39 --stop 2 --points 10 --out a.csv",
       "The frequency given is at or above half the DDS clock"},
      {"--trace t.txt crystal --start 9.995 --stop 10.03 --points 3", "at least 7 points"},
      {"--trace t.txt crystal-calibrate --r0 1e-320", "--r0: the fixture's source and load"},
      {"--trace t.txt read-bridge --freq 0", "at 0 MHz the generator gives no signal"},
      {"--trace t.txt analyze --start 0 --stop 2 --points 10 --out x.vna", "at 0 MHz"},
      {"--trace t.txt --dut " + std::string(100000, 'x') + " read-detector", "more characters)"},
  };
  for (const Case& c : cases) {
    auto r = runCli(c.args);
    EXPECT_EQ(r.status, 2) << c.args.substr(0, 100);
    EXPECT_EQ(r.err.rfind("kolm-cli: ", 0), 0u) << c.args.substr(0, 100) << ": " << r.err;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << c.args.substr(0, 100) << ": " << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1)
        << c.args.substr(0, 100) << ": " << r.err;
    EXPECT_LT(r.err.size(), 1000u) << c.args.substr(0, 100);
    EXPECT_EQ(kolm::common::readTextFile("t.txt").value_or(""), "") << c.args.substr(0, 100);
  }
  ::close(locked);
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

// kolm-cli stopped by a signal in the middle of a long pass, as a user's Ctrl-C,
// a closed terminal or a system shutdown would stop it.
namespace {

// Starts kolm-cli in `dir` with standard error to a file; returns its pid.
pid_t startCli(const std::filesystem::path& dir, const std::string& args) {
  const pid_t pid = ::fork();
  if (pid != 0) return pid;
  const std::string command = "cd '" + dir.string() + "' && exec " KOLM_CLI_PATH " " + args +
                              " </dev/null >/dev/null 2>stderr.txt";
  ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
  ::_exit(127);
}

// Waits until the trace shows the pass under way (or a timeout).
bool passUnderway(const std::filesystem::path& trace) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  std::error_code ec;
  while (std::chrono::steady_clock::now() < until) {
    if (std::filesystem::file_size(trace, ec) > (64u << 10) && !ec) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return false;
}

}  // namespace

TEST(CliStop, ASignalEndsThePassWithTheGeneratorOffAndNothingWritten) {
  const char* const sweep =
      "power-sweep --start 1 --stop 30 --points 20000 --delay 1 --out out.pwm";
  const char* const analyze = "analyze --start 1 --stop 150 --points 20001 --out out.vna";
  struct Case {
    const char* command;
    const char* name;
    std::vector<int> signals;
  };
  // Every signal whose default would end the program, each on one of the passes.
  const Case cases[] = {{sweep, "out.pwm", {SIGTERM, SIGINT, SIGQUIT, SIGUSR2, SIGXCPU}},
                        {analyze, "out.vna", {SIGHUP, SIGUSR1, SIGALRM}}};
  for (const auto& [command, name, signals] : cases) {
    for (int signal : signals) {
      SCOPED_TRACE(std::string(command) + " stopped by signal " + std::to_string(signal));
      kolm::test::TempDir dir;
      const auto out = dir.path() / name;
      ASSERT_TRUE(kolm::test::writeSimulatorConfig(dir.path() / "dds.cfg"));
      const bool oldFile = signal != SIGHUP;  // an earlier result, or none
      if (oldFile) {
        ASSERT_TRUE(kolm::common::writeFileAtomic(out, "old"));
      }
      const pid_t pid = startCli(dir.path(), std::string("--trace t.txt ") + command);
      ASSERT_GT(pid, 0);
      const bool underway = passUnderway(dir.path() / "t.txt");
      ::kill(pid, signal);
      int status = 0;
      ASSERT_EQ(::waitpid(pid, &status, 0), pid);
      ASSERT_TRUE(underway);

      ASSERT_TRUE(WIFEXITED(status));
      EXPECT_EQ(WEXITSTATUS(status), 128 + signal);
      EXPECT_EQ(kolm::common::readTextFile(out),
                oldFile ? std::optional<std::string>("old") : std::nullopt);
      EXPECT_NE(
          kolm::common::readTextFile(dir.path() / "stderr.txt").value_or("").find("stopped after"),
          std::string::npos);
      // The last DDS frame on the wire loads word 0, and no frame was cut short.
      const auto events =
          kolm::test::traceEvents(kolm::common::readTextFile(dir.path() / "t.txt").value_or(""));
      std::string lastFrame;
      for (const auto& e : events) {
        EXPECT_NE(e.rfind("open", 0), 0u) << e;
        if (e.rfind("word", 0) == 0 || e.rfind("reg1", 0) == 0 || e.rfind("frame", 0) == 0)
          lastFrame = e;
      }
      EXPECT_EQ(lastFrame, "word 0");
      // The trace ends with a whole line.
      EXPECT_EQ(std::filesystem::file_size(dir.path() / "t.txt") % 5, 0u);
    }
  }
}

// A stop request during a long per-point delay: the program ends long before
// the delay would have (20 s; the request is seen within 10 ms).
TEST(CliStop, ALongDelayEndsAtTheSignal) {
  kolm::test::TempDir dir;
  ASSERT_TRUE(kolm::test::writeSimulatorConfig(dir.path() / "dds.cfg"));
  const pid_t pid =
      startCli(dir.path(),
               "--trace t.txt power-sweep --start 1 --stop 2 --points 2 --delay 20000 --out a.csv");
  ASSERT_GT(pid, 0);
  // Well inside the first point's delay (the start takes milliseconds).
  std::this_thread::sleep_for(std::chrono::seconds(1));
  const auto sent = std::chrono::steady_clock::now();
  ::kill(pid, SIGINT);
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  EXPECT_LT(std::chrono::steady_clock::now() - sent, std::chrono::seconds(5));
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 128 + SIGINT);
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "a.csv"));
}
