// kolm-cli log on the simulator: a log cut by a full disk or a stop signal
// holds every pass it took, whole, and no part of another.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "support/cli_run.h"

namespace {

class CliLog : public kolm::test::CliTest {};

// The passes a CSV log holds, each of `rows` lines; -1 when a line is cut, a
// pass is short or the header is missing.
long wholePasses(const std::string& log, long rows) {
  std::istringstream in(log);
  std::string line;
  if (!std::getline(in, line) || line.rfind("# quantity=", 0) != 0) return -1;
  if (!std::getline(in, line) || line != "time_utc,pass,freq_mhz,value,pm,mark") return -1;
  long count = 0;
  while (std::getline(in, line)) {
    if (std::count(line.begin(), line.end(), ',') != 5) return -1;
    ++count;
  }
  if (!log.empty() && log.back() != '\n') return -1;
  return count % rows == 0 ? count / rows : -1;
}

}  // namespace

TEST_F(CliLog, EndedByAFullDiskOrASignalItHoldsWholePasses) {
  const std::string cli = KOLM_CLI_PATH;
  const std::string log = " --backend sim log analyze --start 3 --stop 30 --points 40 --every 0 ";
  const struct {
    const char* name;
    std::string shell;
    int status;
  } cases[] = {
      // A file size limit of 16 blocks: the disk is full after a few passes.
      // The limit cuts a coverage build's counts too, which would spoil every
      // later program's merge: they go to a scratch folder here.
      {"full",
       "ulimit -f 16; GCOV_PREFIX=\"$PWD/cut\" " + cli + log + "--passes 100000 --out a.csv", 1},
      {"term",
       "sh -c '" + cli + log +
           "--passes 100000 --out a.csv & p=$!; sleep 1; kill -TERM $p; "
           "wait $p'",
       128 + 15},
      {"done", cli + log + "--passes 3 --out a.csv", 0},
  };
  for (const auto& c : cases) {
    std::filesystem::remove("a.csv");
    const auto r = kolm::test::runProgram(c.shell, "");
    EXPECT_EQ(r.status, c.status) << c.name << r.err;
    const std::string text = kolm::common::readTextFile("a.csv").value_or("");
    const long passes = wholePasses(text, 41);
    EXPECT_GT(passes, 0) << c.name;
    // What it says it kept is what the file holds.
    EXPECT_NE(r.out.find("passes=" + std::to_string(passes) + " "), std::string::npos)
        << c.name << r.out;
  }
  // A log cut inside a line (a program killed while writing) is continued
  // after its last whole line; one reading at a frequency a line per pass.
  { std::ofstream("a.csv", std::ios::app) << "2026-01-01T00:00:00.000Z,9,3."; }
  const auto r = kolm::test::runCli(log + "--passes 2 --at 10 --out a.csv");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("cut short"), std::string::npos);
  const long before = wholePasses(kolm::common::readTextFile("a.csv").value_or(""), 1);
  EXPECT_EQ(before, 3 * 41 + 2);
}
