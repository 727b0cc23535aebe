// kolm-cli stopped by a signal in the middle of a long pass, as a user's Ctrl-C,
// a closed terminal or a system shutdown would stop it.
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <string>
#include <thread>

#include "common/files.h"
#include "support/cli_run.h"
#include "support/temp_dir.h"
#include "vfo/dds_frames.h"

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
  const std::pair<const char*, const char*> passes[] = {
      {"power-sweep --start 1 --stop 30 --points 20000 --delay 1 --out out.pwm", "out.pwm"},
      {"analyze --start 1 --stop 150 --points 20001 --out out.vna", "out.vna"}};
  for (auto [command, name] : passes) {
    for (int signal : {SIGTERM, SIGHUP, SIGINT}) {
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
    }
  }
}
