// Runs the kolm-cli binary with arguments and collects its exit status and output.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <limits>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "common/files.h"
#include "common/text.h"
#include "hw/params.h"
#include "support/temp_dir.h"

namespace kolm::test {

struct CliResult {
  int status = -1;
  std::string out;
  std::string err;
};

// dds.cfg for a 400 MHz DDS clock (20 MHz x 20) on LPT1 and the simulator, in
// the working directory.
inline bool writeSimulatorConfig(const std::filesystem::path& file = "dds.cfg") {
  common::SettingsKeeper keeper;
  return hw::writeHardwareConfig({20, 20, 400, hw::kLpt1, "sim"}, file, keeper);
}

// Runs `program` with arguments (a shell command line) and collects its exit
// status and output.
inline CliResult runProgram(const std::string& program, const std::string& args) {
  CliResult r;
  auto errFile = std::filesystem::temp_directory_path() /
                 ("kolm-cli-err-" + std::to_string(::getpid()) + ".txt");
  std::string command = program + " " + args + " 2>'" + errFile.string() + "' </dev/null";
  FILE* p = ::popen(command.c_str(), "r");
  if (!p) return r;
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
  int raw = ::pclose(p);
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  r.err = common::readTextFile(errFile).value_or("");
  std::filesystem::remove(errFile);
  return r;
}

#ifdef KOLM_CLI_PATH
inline CliResult runCli(const std::string& args) { return runProgram(KOLM_CLI_PATH, args); }
#endif

// kolm-cli in a fresh working directory holding the simulator's dds.cfg.
class CliTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(writeSimulatorConfig()); }
  InTempDir here;
};

// The "key=value" lines of a command's output (lines holding a blank are left
// out), in order.
inline std::vector<std::pair<std::string, std::string>> keyValues(const std::string& out) {
  std::vector<std::pair<std::string, std::string>> lines;
  std::istringstream in(out);
  for (std::string line; std::getline(in, line);) {
    const size_t eq = line.find('=');
    if (eq != std::string::npos && line.find(' ') == std::string::npos)
      lines.emplace_back(line.substr(0, eq), line.substr(eq + 1));
  }
  return lines;
}

// The value of `key` as a number, where "key=" starts a line or follows a
// blank (a line of blank-separated pairs); NaN when absent or "none".
inline double reportedNumber(const std::string& out, const std::string& key) {
  for (size_t at = out.find(key + "="); at != std::string::npos; at = out.find(key + "=", at + 1))
    if (at == 0 || out[at - 1] == '\n' || out[at - 1] == ' ') {
      const size_t from = at + key.size() + 1, end = out.find_first_of(" \r\n", from);
      return common::argumentNumber(out.substr(from, end - from))
          .value_or(std::numeric_limits<double>::quiet_NaN());
    }
  return std::numeric_limits<double>::quiet_NaN();
}

}  // namespace kolm::test
