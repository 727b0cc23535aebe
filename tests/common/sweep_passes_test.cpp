#include "common/sweep_passes.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

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
    switch (e) {
      case 's':
        passes.single();
        break;
      case 'c':
        passes.continuous();
        break;
      case 'x':
        passes.stop();
        break;
      case 'q':
        passes.close();
        break;
      case 'F':
        passes.passFinished(true);
        break;
      case 'f':
        passes.passFinished(false);
        break;
      case 'r':
        refuse = true;
        break;
    }
  }
  return log;
}

}  // namespace

TEST(SweepPasses, SingleContinuousPendingStopAndClose) {
  const std::pair<const char*, const char*> cases[] = {
      {"sF", "fresh-s end "},
      {"cFFxf", "fresh-c next next stop end-stopped "},
      // A single request during a pass gets a pass of its own, also one that
      // has measured nothing yet, and ends a continuous sweep after it.
      {"ssFF", "fresh-s fresh-s end "},
      {"cFsFF", "fresh-c next fresh-s end "},
      // A continuous request during a pass starts the sweep afresh after it.
      {"scFFxf", "fresh-s fresh-c next stop end-stopped "},
      {"ccF", "fresh-c fresh-c "},
      // A stop or an incomplete pass forgets what was asked for.
      {"csxf", "fresh-c stop end-stopped "},
      {"scf", "fresh-s end-stopped "},
      {"x", ""},
      // A start refused ends the sweeping, also in the middle of a continuous one.
      {"rs", "fresh-s! end-stopped "},
      {"cFrF", "fresh-c next next! end-stopped "},
      {"rssF", "fresh-s! end-stopped fresh-s end "},
      // After close nothing starts or ends.
      {"cqfsc", "fresh-c stop "},
      {"qs", ""},
  };
  for (const auto& [events, expected] : cases) EXPECT_EQ(drive(events), expected) << events;
}
