#include "common/sweep_passes.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/sweep_control.h"
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

namespace {

using kolm::common::PassPlan;
using kolm::common::SweepControl;

// An instrument whose plan the test changes between passes, and a runner that
// only remembers the job it was given: the test ends each pass itself.
struct Rig : kolm::common::SweptInstrument, kolm::common::PassRunner {
  struct Job : kolm::common::SteppedJob {
    bool step() override { return false; }
    bool done() const override { return true; }
    double progress() const override { return 1; }
  } job;
  PassPlan next{1, 2, 10, 1};
  std::string log;  // one letter a call: p pass begun (F first, N new plan), c, s, e, l
  bool refuse = false;
  int depthAtCompletion = 0, heldAtCompletion = 0;
  bool started = false;

  std::optional<PassPlan> planPass(bool) override {
    if (refuse) return std::nullopt;
    return next;
  }
  kolm::common::SteppedJob& beginPass(bool first, bool newPlan) override {
    log += std::string("p") + (first ? "F" : "") + (newPlan ? "N" : "");
    return job;
  }
  void passCompleted(kolm::common::PassAverage& average) override {
    average.add(std::vector<float>(3, 1.f));
    heldAtCompletion = average.held();
    depthAtCompletion = average.depth();
    log += "c";
  }
  void passStopped() override { log += "s"; }
  void sweepEnded(bool completed) override { log += completed ? "e" : "x"; }
  void leavePort() override { log += "l"; }
  void start(kolm::common::SteppedJob&) override { started = true; }
  void stop() override {}
};

}  // namespace

// A single sweep runs as many passes as it averages; a continuous one
// averages afresh whenever the plan changes between passes; a stop, a
// refusal and a close end it the one way each.
TEST(SweepControl, PassesPlansAverageAndWaysOut) {
  for (int depth = 1; depth <= 5; ++depth) {
    Rig rig;
    rig.next.depth = depth;
    SweepControl control(rig, rig);
    int done = 0;
    control.single([&](bool completed) { done += completed ? 1 : 100; });
    for (int k = 0; k < depth; ++k) control.passFinished(true);
    EXPECT_EQ(done, 1) << depth;
    EXPECT_EQ(rig.heldAtCompletion, depth);
    EXPECT_EQ(control.mode(), SweepControl::Mode::Idle);
    EXPECT_EQ(rig.log.substr(0, 3), "pFN");
    EXPECT_EQ(rig.log.find('F', 2), std::string::npos) << rig.log;
  }
  Rig rig;
  rig.next.depth = 4;
  SweepControl control(rig, rig);
  control.continuous();
  control.passFinished(true);
  rig.next.points = 20;  // the user typed other points during the second pass
  control.passFinished(true);
  EXPECT_EQ(rig.heldAtCompletion, 2);
  control.passFinished(true);
  EXPECT_EQ(rig.heldAtCompletion, 1);  // the new plan averages afresh
  EXPECT_EQ(rig.log, "pFNcpcpNcp");
  rig.refuse = true;
  control.passFinished(true);
  EXPECT_EQ(rig.log, "pFNcpcpNcpcx");
  EXPECT_EQ(control.mode(), SweepControl::Mode::Idle);

  rig.refuse = false;
  rig.log.clear();
  bool called = false;
  control.single([&](bool) { called = true; });
  control.stop();
  control.passFinished(false);
  EXPECT_TRUE(called);
  control.single([&](bool) { called = false; });
  control.close();
  control.passFinished(true);
  control.continuous();
  EXPECT_TRUE(called);  // a close forgets what waited
  EXPECT_EQ(rig.log, "pFNsxpFNl");
}
