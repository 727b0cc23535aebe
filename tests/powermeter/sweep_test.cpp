#include "powermeter/sweep.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <map>
#include <memory>
#include <thread>
#include <tuple>

#include "common/prompter.h"
#include "hw/dds.h"
#include "hw/readout.h"
#include "hw/wire.h"
#include "powermeter/calibration.h"
#include "support/golden.h"
#include "support/port_rig.h"

using namespace kolm;
using namespace kolm::powermeter;

namespace {

using Rig = test::PortRig;

SweepPlan plan(double start, double stop, double points, double clock = 100) {
  auto p = prepareSweep({start, stop, points, 20, -80}, clock, {});
  EXPECT_TRUE(p.plan.has_value()) << p.error;
  return p.plan.value_or(SweepPlan{});
}

}  // namespace

TEST(ReadingToDbm, TwoPointCalibration) {
  Calibration cal;
  EXPECT_NEAR(readingToDbm(531, cal), -29.95, 0.01);
  // One dB is 9.85 counts.
  EXPECT_NEAR(readingToDbm(826 - 985, cal) / 100, -1, 0.001);
  // Equal counts never divide by zero: NaN, and a sweep refuses them (below).
  EXPECT_TRUE(std::isnan(readingToDbm(500, {500, 500})));
}

TEST(SweepSettings, PointLimitAndTimeWarning) {
  EXPECT_EQ(limitPoints(25000), 20000);
  EXPECT_EQ(limitPoints(20001), 20000);
  EXPECT_FALSE(limitPoints(20000).has_value());
  EXPECT_EQ(sweepTimeWarning(100, 600), " attenzione il tempo potrebbe superare  60secondi");
  EXPECT_FALSE(sweepTimeWarning(100, 500).has_value());  // 50 s: not above
  EXPECT_EQ(sweepTimeWarning(1000, 50.5), " attenzione il tempo potrebbe superare  50.5secondi");
}

TEST(SweepSettings, StartStopExchangeAndEmptySpan) {
  auto swapped = prepareSweep({10, 5, 100, 20, -80}, 100, {});
  ASSERT_TRUE(swapped.plan);
  EXPECT_EQ(std::tuple(swapped.plan->viewStartMHz, swapped.plan->viewStopMHz, swapped.startMHz,
                       swapped.stopMHz),
            std::tuple(5, 10, " 5", " 10"));

  auto same = prepareSweep({7, 7, 100, 20, -80}, 100, {});
  ASSERT_TRUE(same.plan);
  EXPECT_EQ(same.plan->viewStartMHz, 7);
  EXPECT_FLOAT_EQ(same.plan->viewStopMHz, 7.1f);
  EXPECT_FALSE(same.startMHz || same.stopMHz);  // the boxes still show 7

  auto levels = prepareSweep({1, 2, 10, -10, -10}, 100, {});
  ASSERT_TRUE(levels.plan);
  EXPECT_EQ(std::pair(levels.plan->topDbm, levels.plan->bottomDbm), std::pair(-10.f, -11.f));
  EXPECT_EQ(prepareSweep({1, 2, 10.5, 0, -1}, 100, {}).plan->points, 10);
  EXPECT_EQ(prepareSweep({1, 2, 11.5, 0, -1}, 100, {}).plan->points, 12);
}

TEST(SweepSettings, RefusalsBeforeAnythingIsSent) {
  auto refused = [](SweepRequest b, double clock = 100, Calibration c = {}) {
    auto p = prepareSweep(b, clock, c);
    EXPECT_FALSE(p.plan.has_value());
    return p.error;
  };
  for (double points : {0.0, -5.0, 0.4, 99999.0})
    EXPECT_EQ(refused({1, 2, points, 0, -80}), "The number of points must be at least 1.");
  EXPECT_EQ(refused({1, 2, 20001, 0, -80}), "The number of points must be at most 20000.");
  EXPECT_EQ(refused({1, 2, 10, 0, -80}, 0), hw::noClockMessage());
  // 50 MHz is half a 100 MHz clock: the word would be 2^31.
  EXPECT_NE(refused({1, 50, 10, 0, -80}).find("half the DDS clock"), std::string::npos);
  EXPECT_TRUE(prepareSweep({1, 49.99, 10, 0, -80}, 100, {}).plan.has_value());
  EXPECT_NE(refused({-1, 5, 10, 0, -80}).find("below 0"), std::string::npos);
  EXPECT_NE(refused({1, 5, 10, 0, -80}, 100, {400, 400}).find("same detector count"),
            std::string::npos);
  // The exchange is still reported when the rest is refused.
  auto p = prepareSweep({10, 5, 0, 0, -80}, 100, {});
  EXPECT_EQ(p.startMHz, " 5");
}

TEST(SweepPass, WireOrderSettlingReadAndIndices) {
  Rig rig;
  // Read-out k answers 900 - k: the settling read gets 900, index i 899 - i.
  rig.answer([](size_t k) { return 900 - static_cast<int>(k); });
  std::vector<float> trace(kTraceSize, 123.f);
  double delay = 2;  // ms, read afresh at every point
  SweepJob job(
      rig.instrument, plan(10, 20, 10), {}, [&] { return delay; }, trace);
  EXPECT_DOUBLE_EQ(job.progress(), 0);
  // Each step is one point: a word frame (5 bytes of 16 writes, update 2) and a
  // whole read-out (22).
  job.step();  // the settling read-out and index 0
  delay = 0.5;
  const size_t first = rig.port->writeCount();
  job.step();
  EXPECT_EQ(rig.port->writeCount() - first, 5u * 16u + 2u + 22u);
  EXPECT_EQ(rig.port->writes().back(), 24);
  EXPECT_NEAR(job.progress(), 2.0 / 11, 1e-12);
  job.runToEnd();
  EXPECT_TRUE(job.done());
  EXPECT_DOUBLE_EQ(job.progress(), 1);
  EXPECT_FALSE(job.step());

  // 10 MHz twice (settling read after 2 ms plus 10 ms, then index 0 after 2 ms),
  // then a word every 0.5 ms up to index 10 at 20 MHz; the generator stays at
  // the last word (switching off is the window's).
  test::expectGolden("power_sweep_pass.trace", test::wireText(rig));
  EXPECT_EQ(rig.instrument.tunedWord(), hw::ddsTuningWord(20, 100));
  for (int i = 0; i <= 10; ++i) EXPECT_FLOAT_EQ(trace[i], readingToDbm(899 - i, {})) << i;
  EXPECT_EQ(trace[11], 123.f);  // above the plan's points: untouched
}

// A pass stepped from an event loop leaves its long waits held: the point stays
// open (word out, read-out to come) until its next step, a stop or any other
// access finishes it. A job that goes away with it (its window closed) drops it.
TEST(SweepPass, AHeldPointIsFinishedBeforeAnyOtherAccess) {
  for (const bool jobGone : {false, true}) {
    hw::Instrument instrument;  // real waits
    auto p = std::make_unique<hw::RecordingPort>();
    hw::RecordingPort* port = p.get();
    port->status = [](size_t) { return 0; };
    instrument.setPort(std::move(p));
    instrument.params.refClockMHz = 100;
    std::vector<float> trace(kTraceSize, 7.f);
    auto job = std::make_unique<SweepJob>(
        instrument, plan(1, 2, 4), Calibration{}, [] { return 3.0; }, trace);
    job->setLongWaitsHeld(true);
    ASSERT_TRUE(job->step());  // reset, multiplier, start word; 13 ms held
    ASSERT_TRUE(instrument.heldUntil().has_value());
    const auto heldAt = std::chrono::steady_clock::now();
    const size_t frames = port->writeCount();
    EXPECT_EQ(port->readCount(), 0u);
    if (jobGone) job.reset();
    hw::Wire(instrument).out(0x55);  // e.g. another window tuning
    if (jobGone) {
      EXPECT_EQ(port->readCount(), 0u);
    } else {
      EXPECT_GE(std::chrono::steady_clock::now() - heldAt, std::chrono::milliseconds(13));
      EXPECT_EQ(port->readCount(), 10u);                 // the settling read-out first,
      EXPECT_EQ(port->writeCount(), frames + 22u + 1u);  // then the other access
      EXPECT_EQ(job->measured(), 0);
    }
    EXPECT_EQ(port->writes().back(), 0x55);
    EXPECT_FALSE(instrument.heldUntil().has_value());
    EXPECT_EQ(trace[0], 7.f);
  }
}

// Stop means stop: a point held across a minute's delay is dropped by a stop
// (the switch-off after it does not sit the wait out), and a spun wait ends
// soon after a stop is requested.
TEST(SweepPass, AStopDoesNotSitOutALongDelay) {
  hw::Instrument instrument;  // real waits
  auto p = std::make_unique<hw::RecordingPort>();
  hw::RecordingPort* port = p.get();
  port->status = [](size_t) { return 0; };
  instrument.setPort(std::move(p));
  instrument.params.refClockMHz = 100;
  std::vector<float> trace(kTraceSize, 7.f);
  SweepJob job(
      instrument, plan(1, 2, 4), Calibration{}, [] { return 60000.0; }, trace);
  job.setLongWaitsHeld(true);
  ASSERT_TRUE(job.step());
  const auto stopped = std::chrono::steady_clock::now();
  job.abandonOpenPoint();
  instrument.switchOff();
  EXPECT_LT(std::chrono::steady_clock::now() - stopped, std::chrono::seconds(5));
  EXPECT_EQ(port->readCount(), 0u);  // the point was not read
  EXPECT_EQ(job.measured(), 0);

  std::atomic<bool> stop{false};
  instrument.setStopRequest([&stop] { return stop.load(); });
  std::thread requester([&stop] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    stop = true;
  });
  const auto started = std::chrono::steady_clock::now();
  instrument.settle(hw::delayUnitsFromMs(60000));
  requester.join();
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
}

// Levels within 10 dB of count 0 are floor, within 3 dB of count 1023 overload,
// whatever the calibration's slope and sense.
TEST(LevelFlags, TheConverterEndsThroughTheCalibration) {
  const std::map<std::string, LevelFlag> flags = {
      {"floor", LevelFlag::Floor}, {"valid", LevelFlag::Valid}, {"overload", LevelFlag::Overload}};
  for (const auto& c : test::goldenRows("level_flags.tsv", 4)) {
    const Calibration cal{static_cast<int16_t>(std::stoi(c[0])),
                          static_cast<int16_t>(std::stoi(c[1]))};
    EXPECT_EQ(levelLimits(cal).flag(readingToDbm(std::stoi(c[2]), cal)), flags.at(c[3]))
        << c[0] << "/" << c[1] << " count " << c[2];
  }
  const LevelLimits limits = levelLimits({});  // each limit itself is flagged
  EXPECT_EQ(limits.flag(limits.floorDbm), LevelFlag::Floor);
  EXPECT_EQ(limits.flag(limits.overloadDbm), LevelFlag::Overload);
  EXPECT_EQ(LevelLimits{}.flag(-200), LevelFlag::Valid);
  EXPECT_EQ(levelText(readingToDbm(0, {}), LevelFlag::Floor), "≤ -83.8 dBm");
  EXPECT_EQ(levelText(readingToDbm(1023, {}), LevelFlag::Overload), "≥ 20.0 dBm");
  EXPECT_EQ(levelText(-12.34f, LevelFlag::Valid), "-12.3 dBm");
  const float levels[] = {-80, -20, 18};
  EXPECT_EQ(
      levelMarks(levels, 3, levelLimits({827, 235})),
      (std::vector<chart::Mark>{chart::Mark::AtMost, chart::Mark::Valid, chart::Mark::AtLeast}));
  EXPECT_TRUE(levelMarks(levels + 1, 1, levelLimits({827, 235})).empty());
}
