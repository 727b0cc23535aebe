// The instrument's wire: DDS frames, the delay loop and the ten-bit read-outs.
#include "hw/dds.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "hw/output_guard.h"
#include "hw/readout.h"
#include "support/port_rig.h"

using namespace kolm::hw;
using kolm::test::ddsEvents;
using ::testing::ElementsAre;
using Rig = kolm::test::PortRig;  // no clock: the frames do not need one

TEST(TuningWord, RoundsToNearestWithTiesToEvenAndRefusesWhatDoesNotFit) {
  EXPECT_EQ(ddsTuningWord(7.05, 400), 75698799);
  EXPECT_EQ(ddsTuningWord(160, 400), 1717986918);
  EXPECT_EQ(ddsTuningWord(0, 400), 0);
  // 2^32 / 2^33 = 0.5: exactly a half, goes to the even 0; 3 halves go to 2.
  EXPECT_EQ(ddsTuningWord(1, 8589934592.0), 0);
  EXPECT_EQ(ddsTuningWord(3, 8589934592.0), 2);
  // What the DDS cannot take is refused.
  EXPECT_EQ(checkedTuningWord(7.05, 400).word, 75698799u);
  EXPECT_FALSE(checkedTuningWord(7.05, 0).ok());
  EXPECT_FALSE(checkedTuningWord(-1, 400).ok());
  EXPECT_FALSE(checkedTuningWord(200, 400).ok());  // word 2^31: does not fit
  EXPECT_TRUE(checkedTuningWord(199.9999, 400).ok());
}

TEST(DdsLink, FrequencyWordGoldenTrace) {
  Rig rig(0);
  ddsSendWord(rig.instrument, 75698799);
  auto writes = rig.port->writes();
  ASSERT_EQ(writes.size(), 82u);
  EXPECT_EQ(rig.waits.size(), 84u);
  // Instruction 04, then 04 83 12 6F, each bit presented with the clock low and
  // then clocked on its rising edge (16 + b, 18 + b); the update pulse (20, 16)
  // closes the frame. The decoder takes nothing else.
  EXPECT_THAT(ddsEvents(writes), ElementsAre("word 75698799"));
}

TEST(DdsLink, MultiplierLoadIs66WritesEndingWithMultiplierTimes8Plus6) {
  for (int m : {0, 1, 2, 3, 20}) {
    Rig rig(0);
    rig.instrument.params.refClockMultiplier = static_cast<int16_t>(m);
    ddsSetMultiplier(rig.instrument);
    auto writes = rig.port->writes();
    ASSERT_EQ(writes.size(), 66u);
    EXPECT_EQ(rig.waits.size(), 68u);
    EXPECT_THAT(ddsEvents(writes), ElementsAre("reg1 " + std::to_string(m * 8 + 6)));
  }
}

TEST(BusyWaitDelayer, NeverShorterThanTheUnitsAsked) {
  for (auto clock : {BusyWaitDelayer::Clock::Best, BusyWaitDelayer::Clock::Monotonic}) {
    BusyWaitDelayer d(clock);
    for (double units : {1.0, 1.5, 10.0, 1000.0, 10000.0, 20000.0}) {
      const int times = units > 1000 ? 3 : 200;
      for (int k = 0; k < times; ++k) {
        auto a = std::chrono::steady_clock::now();
        d.wait(units, 5);
        auto ns =
            std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - a).count();
        ASSERT_GE(ns, units * 100.0) << units;
      }
    }
  }
}

TEST(calibrateDelayLoop, CalibratesAndFallsBackOnABadTimer) {
  // A timer read twice around the calibration run: `first`, then `first + step`.
  auto twice = [](float first, float step) {
    return [t = first, step]() mutable { return std::exchange(t, t + step); };
  };
  Instrument instrument;
  // A timer that never moves (or wraps at midnight): the interval is measured
  // again on the monotonic clock, not taken as 0 s and so the largest factor.
  calibrateDelayLoop(instrument, twice(100, 0));
  EXPECT_LT(instrument.loopFactor(), 32767);
  // A machine so slow that the run takes 0.3 s: 0.1 / 0.3 rounds to 0, so 1.
  calibrateDelayLoop(instrument, twice(10, 0.3f));
  EXPECT_EQ(instrument.loopFactor(), 1);
  // 1,000,000 steps in 4 ms: 25 steps per 0.1 us.
  calibrateDelayLoop(instrument, twice(10, 0.004f));
  EXPECT_EQ(instrument.loopFactor(), 25);
}

TEST(DdsLink, ResetPulseThenOutputOffWithWordZero) {
  Rig rig(0);
  rig.instrument.tune(75698799);
  EXPECT_EQ(rig.instrument.tunedWord(), 75698799u);
  rig.port->log.clear();
  rig.waits.clear();
  ddsReset(rig.instrument);
  EXPECT_EQ(rig.port->writes(), (std::vector<uint8_t>{144, 16}));
  EXPECT_EQ(rig.waitUnits(0), (std::vector<double>{1, 1}));
  // The output off sends the word 0 and forgets the last word.
  rig.instrument.switchOff(1);
  EXPECT_EQ(rig.instrument.tunedWord(), 0u);
  EXPECT_THAT(ddsEvents(rig.port->writes()), ElementsAre("reset", "word 0"));
  ASSERT_EQ(rig.waits.size(), 87u);  // 2, the frame's 84, then the one asked for
  EXPECT_EQ(rig.waits.back().units, 1);
}

// The ways out past every close handler (std::terminate, exit() from a library)
// still send the word 0, then flush; only while a guard lives.
TEST(DdsLink, TheGuardsLastWordIsWordZeroThenTheFlush) {
  Rig rig(0);
  rig.instrument.tune(75698799);
  bool flushed = false;
  {
    OutputGuard guard(rig.instrument, [&] { flushed = rig.instrument.tunedWord() == 0; });
    rig.port->log.clear();
    OutputGuard::lastWord();
    EXPECT_THAT(ddsEvents(rig.port->writes()), ElementsAre("word 0"));
    EXPECT_TRUE(flushed);
    rig.instrument.tune(75698799);
    rig.port->log.clear();
    OutputGuard::lastWord();  // once only
    EXPECT_TRUE(rig.port->writes().empty());
  }
  OutputGuard::lastWord();  // no guard: nothing
  EXPECT_TRUE(rig.port->writes().empty());
}

namespace {
struct StatusRig : kolm::test::PortRig {
  explicit StatusRig(std::function<uint8_t(size_t)> status) { port->status = std::move(status); }
};

// Status read n gives `set[n]`, every other read `rest`.
std::function<uint8_t(size_t)> reads(std::map<size_t, uint8_t> set, uint8_t rest = 0) {
  return [set, rest](size_t n) { return set.contains(n) ? set.at(n) : rest; };
}
}  // namespace

// Ten reads, the most significant bit first, each channel on its own status line.
// (The read-out's own writes are pinned by the golden traces of the passes.)
TEST(ReadOut, TenBitsMsbFirstEachChannelOnItsOwnLine) {
  const uint8_t D = wire::kDetectorBit, A = wire::kBridgeABit, B = wire::kBridgeBBit;
  const struct {
    std::function<uint8_t(size_t)> status;
    int detector, a, b;
  } cases[] = {
      {reads({}, D | A | B), 1023, 1023, 1023},
      {reads({{0, D}}), 512, 0, 0},
      {reads({{0, A}, {1, B}, {9, A}}), 0, 513, 256},  // 0b1000000001 and 0b0100000000
      {reads({}, 0xBF), 0, 1023, 1023},                // every line high but the detector's
      {reads({}, D), 1023, 0, 0},
  };
  for (const auto& c : cases) {
    StatusRig detector(c.status), bridge(c.status);
    EXPECT_EQ(readDetector(detector.instrument), c.detector);
    const BridgeReading r = readBridge(bridge.instrument);
    EXPECT_EQ(r.a, c.a);
    EXPECT_EQ(r.b, c.b);
  }
}
