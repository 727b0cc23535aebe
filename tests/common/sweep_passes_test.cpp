#include "common/sweep_passes.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "support/golden.h"

using kolm::common::SweepPasses;

namespace {

// Drives the passes with one letter an event: s single, c continuous, x stop,
// q close, F a pass that ran to its end, f one that did not, and r a refusal
// of the next start. Returns what the passes asked the window for.
std::string drive(const std::string& events) {
  std::string log;
  bool refuse = false;
  auto start = [&](const char* what) {
    const bool ok = !std::exchange(refuse, false);
    log += what;
    log += ok ? " " : "! ";
    return ok;
  };
  SweepPasses passes({[&](bool continuous) { return start(continuous ? "fresh-c" : "fresh-s"); },
                      [&] { return start("next"); }, [&] { log += "stop "; },
                      [&](bool completed) { log += completed ? "end " : "end-stopped "; }});
  for (char e : events) {
    if (e == 's') passes.single();
    if (e == 'c') passes.continuous();
    if (e == 'x') passes.stop();
    if (e == 'q') passes.close();
    if (e == 'F' || e == 'f') passes.passFinished(e == 'F');
    refuse = refuse || e == 'r';
  }
  return log;
}

}  // namespace

TEST(SweepPasses, SingleContinuousPendingStopAndClose) {
  for (const auto& c : kolm::test::goldenRows("sweep_passes.tsv", 2))
    EXPECT_EQ(drive(c[0]), c[1]) << c[0];
}
