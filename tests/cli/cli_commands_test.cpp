// kolm-cli as a user runs it: the exit status and what it prints.
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <set>
#include <string>
#include <thread>

#include "common/files.h"
#include "hw/output_guard.h"
#include "support/cli_run.h"
#include "support/dds_frames.h"
#include "support/golden.h"
#include "support/temp_dir.h"

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
  ASSERT_EQ(::mkfifo("t.fifo", 0644), 0);  // no program reads it
  std::filesystem::create_symlink("loop.csv", "loop.csv");
  const int locked = ::open("locked.txt", O_CREAT | O_WRONLY, 0644);  // another program's trace
  ASSERT_EQ(::flock(locked, LOCK_EX), 0);
  for (const auto& c : kolm::test::goldenRows("cli_refusals.tsv", 2)) {
    const std::string& args = c[0];
    auto r = runCli(args);
    EXPECT_EQ(r.status, 2) << args;
    EXPECT_EQ(r.err.rfind("kolm-cli: ", 0), 0u) << args << ": " << r.err;
    EXPECT_NE(r.err.find(c[1]), std::string::npos) << args << ": " << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1)
        << args.substr(0, 100) << ": " << r.err;
    EXPECT_LT(r.err.size(), 1000u) << args.substr(0, 100);
    EXPECT_EQ(kolm::common::readTextFile("t.txt").value_or(""), "") << args;
  }
  // A long argument is shortened in the message.
  const auto longDut = runCli("--trace t.txt --dut " + std::string(100000, 'x') + " read-detector");
  EXPECT_EQ(longDut.status, 2);
  EXPECT_NE(longDut.err.find("more characters)"), std::string::npos);
  EXPECT_LT(longDut.err.size(), 1000u);
  ::close(locked);
  for (const char* file : {"x.vna", "a.pwm", "a.csv"}) EXPECT_FALSE(std::filesystem::exists(file));
}

// Commands that measure nothing open no port: with dds.cfg naming the real port
// (which cannot be opened here) they run, and their trace stays empty.
TEST_F(CliOutputs, CommandsThatMeasureNothingLeaveThePortAlone) {
  ASSERT_TRUE(
      kolm::common::writeFileAtomic("dds.cfg", "\"20\"\r\n\"20\"\r\n\"400\"\r\n\"888\"\r\n"));
  ASSERT_TRUE(kolm::common::writeFileAtomic("pow-previous.ini", "\"830\"\r\n\"240\"\r\n"));
  for (const char* command :
       {"match --r 25 --x 10 --freq 7", "calibrate --previous", "calibrate --default",
        "bridge-forget", "bridge-calibrate --standards", "clock --tolerance-ppm 20",
        "crystal-calibrate --clear-steps"}) {
    const auto r = runCli(std::string("--trace t.txt ") + command);
    EXPECT_EQ(r.status, 0) << command << ": " << r.err;
  }
  EXPECT_EQ(kolm::common::readTextFile("t.txt"), std::optional<std::string>(""));
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
  // The stop signals at their defaults, whatever this process was started with
  // (a shell starts a background job with SIGINT and SIGQUIT ignored, and an
  // ignored signal stays ignored in kolm-cli).
  for (const auto& signals : {kolm::hw::stopSignals(), kolm::hw::faultSignals()})
    for (int s : signals) std::signal(s, SIG_DFL);
  const rlimit noCore{0, 0};
  ::setrlimit(RLIMIT_CORE, &noCore);
  // Under AddressSanitizer the faults' earlier course is the sanitizer's report and
  // abort; left to it, a fault ends kolm-cli by SIGABRT. Leave those faults their default.
  const char* asan = std::getenv("ASAN_OPTIONS");
  const std::string options = std::string(asan ? asan : "") +
                              ":handle_segv=0:handle_sigbus=0:handle_sigfpe=0:handle_sigill=0";
  ::setenv("ASAN_OPTIONS", options.c_str(), 1);
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

// Every signal whose default ends the program: a stop ends the pass in order
// (status 128 + N, "stopped after"), a fault ends the program by the signal; the
// output is off either way and no output file is written.
TEST(CliStop, EverySignalThatEndsThePassSwitchesTheGeneratorOff) {
  const char* const sweep =
      "power-sweep --start 1 --stop 30 --points 20000 --delay 1 --out out.pwm";
  const char* const analyze = "analyze --start 1 --stop 150 --points 20001 --out out.vna";
  struct Case {
    int signal;
    bool fault;
  };
  std::vector<Case> cases;
  for (int s : kolm::hw::stopSignals()) cases.push_back({s, false});
  for (int s : kolm::hw::faultSignals()) cases.push_back({s, true});
  ASSERT_GT(cases.size(), 40u);
  for (size_t k = 0; k < cases.size(); ++k) {
    const auto [signal, fault] = cases[k];
    const char* const command = k % 2 ? analyze : sweep;
    const std::string name = k % 2 ? "out.vna" : "out.pwm";
    SCOPED_TRACE(std::string(command) + " stopped by signal " + std::to_string(signal));
    kolm::test::TempDir dir;
    const auto out = dir.path() / name;
    ASSERT_TRUE(kolm::test::writeSimulatorConfig(dir.path() / "dds.cfg"));
    const bool oldFile = k % 3 != 0;  // an earlier result, or none
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

    if (fault) {
      EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
    } else {
      ASSERT_TRUE(WIFEXITED(status));
      EXPECT_EQ(WEXITSTATUS(status), 128 + signal);
      EXPECT_NE(
          kolm::common::readTextFile(dir.path() / "stderr.txt").value_or("").find("stopped after"),
          std::string::npos);
    }
    EXPECT_EQ(kolm::common::readTextFile(out),
              oldFile ? std::optional<std::string>("old") : std::nullopt);
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

// A packaged kolm-cli's manual page says what --help says (the version is the
// install check's).
namespace {

std::set<std::string> matches(const std::string& text, const std::regex& re, int group = 0) {
  std::set<std::string> out;
  for (auto it = std::sregex_iterator(text.begin(), text.end(), re); it != std::sregex_iterator();
       ++it)
    out.insert((*it)[group].str());
  return out;
}

}  // namespace

// Every option of --help and no other is in the manual page, and every command has
// its entry there.
TEST(CliInstall, TheManPageDocumentsEveryCommandAndOptionOfTheHelp) {
  auto help = runCli("--help");
  ASSERT_EQ(help.status, 0);
  auto roff = kolm::common::readTextFile(std::string(KOLM_MAN_DIR) + "/kolm-cli.1");
  ASSERT_TRUE(roff);
  const std::string man = std::regex_replace(*roff, std::regex(R"(\\-)"), "-");
  EXPECT_NE(man.find(std::string("kolm ") + KOLM_VERSION), std::string::npos);
  const std::regex option(R"(--[a-z][a-z-]*)");
  EXPECT_EQ(matches(man, option), matches(help.out, option));
  const auto commands = matches(help.out, std::regex(R"(\n  ([a-z][a-z-]+)[ \n])"), 1);
  EXPECT_EQ(commands.size(), 20u);
  for (const auto& c : commands)
    EXPECT_TRUE(std::regex_search(man, std::regex("\n\\.BI? \"?" + c + "[ \"\n]")))
        << c << " has no entry in the man page";
  // A text line that starts with a point is a request troff drops.
  for (const auto& line : matches(*roff, std::regex(R"(\n(\.[^ \n]*))"), 1))
    EXPECT_TRUE(std::regex_match(line, std::regex(R"(\.([A-Z][A-Z]?|br|nf|fi|sp))"))) << line;
}

// kolm-cli tune, run as a user would: in a folder with its dds.cfg, on the
// simulator, with the port traffic traced to a file. (Beyond the limit, bad
// arguments and a clock of 0 are refused: the refusals' and damaged files' tables.)
using ::testing::ElementsAre;
using CliTune = kolm::test::CliTest;

TEST_F(CliTune, FollowsTheVfoRules) {
  auto tune = [](const std::string& args) {
    return kolm::test::runCli("--trace trace.txt tune " + args).out;
  };
  EXPECT_EQ(tune("7.05"), "working=7.050000 dds=7.050000 word=75698799\n");
  EXPECT_THAT(kolm::test::traceEvents(kolm::common::readTextFile("trace.txt").value_or("")),
              ElementsAre("reset", "reg1 166", "word 75698799"));
  // rtx2 at twice |MHz + IF|, up to 0.4 x the clock (the rules are the tuning tests').
  EXPECT_EQ(tune("7 --mode rtx2 --if -10.7"), "working=7.000000 dds=7.400000 word=79456895\n");
  EXPECT_EQ(tune("70 --mode rtx2 --if 10"), "working=70.000000 dds=160.000000 word=1717986918\n");
  EXPECT_FALSE(std::filesystem::exists("radio.ini"));  // neither read nor written
}

// Damaged files: each refused with its name and its line before anything
// reaches the port, or read as far as is safe and what it holds said.
namespace {

// A content of damaged_files.tsv as bytes (its \r and \n read with the row).
std::string damagedContent(const std::string& spec) {
  std::string out;
  for (size_t i = 0; i < spec.size(); ++i) {
    if (spec.compare(i, 5, "{bom}") == 0) {
      out += "\xEF\xBB\xBF";
      i += 4;
    } else if (spec.compare(i, 5, "{rif:") == 0) {
      const size_t end = spec.find('}', i);
      for (int k = std::stoi(spec.substr(i + 5, end - i - 5)); k > 0; --k) out += "-10\r\n";
      i = end;
    } else {
      out += spec[i];
    }
  }
  return out;
}

}  // namespace

TEST_F(CliOutputs, DamagedFilesAreNamedWithTheirLine) {
  for (const auto& c : kolm::test::goldenRows("damaged_files.tsv", 5)) {
    const std::string& file = c[0];
    const auto before = kolm::common::readTextFile(file);  // the fixture's dds.cfg
    std::filesystem::remove_all(file);
    std::filesystem::remove("t.txt");
    if (c[1] == "<dir>") {
      std::filesystem::create_directory(file);
    } else if (c[1].rfind("<link:", 0) == 0) {
      std::filesystem::create_symlink(c[1].substr(6, c[1].size() - 7), file);
    } else {
      ASSERT_TRUE(kolm::common::writeFileAtomic(file, damagedContent(c[1])));
    }
    const auto r = runCli("--backend sim --trace t.txt " + c[2]);
    const std::string said = r.out + r.err;
    EXPECT_EQ(std::to_string(r.status), c[3]) << file << " / " << c[2] << ": " << said;
    for (size_t at = 0; at <= c[4].size();) {
      const size_t end = std::min(c[4].find(" && ", at), c[4].size());
      EXPECT_NE(said.find(c[4].substr(at, end - at)), std::string::npos)
          << file << " / " << c[2] << ": " << said;
      at = end + 4;
    }
    if (c[3] != "0" && c[1].find('<') == std::string::npos) {  // the file left as it was
      EXPECT_EQ(kolm::common::readTextFile(file), damagedContent(c[1])) << file << " / " << c[2];
    }
    if (c[3] != "0") {
      EXPECT_EQ(kolm::common::readTextFile("t.txt").value_or(""), "") << file << " / " << c[2];
    }
    std::filesystem::remove_all(file);
    if (before) {
      ASSERT_TRUE(kolm::common::writeFileAtomic(file, *before));
    }
  }
}
