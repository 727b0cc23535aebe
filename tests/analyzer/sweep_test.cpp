#include "analyzer/sweep.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hw/dds.h"
#include "hw/readout.h"
#include "support/port_rig.h"

using namespace kolm;
using namespace kolm::analyzer;

namespace {

// The port log read back as what the instrument saw: the DDS events, "read" for
// a whole bridge read-out (24, ten times 0, read, 8, then 24) and "wait N" for
// the long waits.
std::vector<std::string> decode(const test::PortRig& rig) {
  std::vector<std::string> events;
  std::vector<uint8_t> frames;
  auto flush = [&] {
    for (const std::string& e : test::ddsEvents(frames)) events.push_back(e);
    frames.clear();
  };
  const auto& log = rig.port->log;
  size_t wait = 0;
  for (size_t k = 0; k <= log.size(); ++k) {
    for (; wait < rig.waits.size() && rig.waits[wait].at == k; ++wait) {
      if (rig.waits[wait].units <= 1) continue;
      flush();
      events.push_back("wait " + std::to_string(static_cast<long>(rig.waits[wait].units)));
    }
    if (k == log.size()) break;
    if (log[k].value == 24 && k + 31 < log.size() && !log[k + 2].write) {
      flush();
      bool whole = log[k + 31].write && log[k + 31].value == 24;
      for (int j = 0; j < 10 && whole; ++j)
        whole = log[k + 1 + 3 * j].value == 0 && !log[k + 2 + 3 * j].write &&
                log[k + 3 + 3 * j].value == 8;
      events.push_back(whole ? "read" : "broken read");
      k += 31;
    } else if (log[k].write) {
      frames.push_back(log[k].value);
    }
  }
  flush();
  return events;
}

}  // namespace

TEST(SweepPlan, RefusesWhatTheArraysOrTheDdsCannotTake) {
  // Typed points are rounded halves to even.
  EXPECT_EQ(planSweep(3, 30, 500.5, 400).plan.points, 500);
  EXPECT_EQ(planSweep(3, 30, 501.5, 400).plan.points, 502);
  // The extra point past the stop must be reachable too, in either direction;
  // 14.0000001 equals 14 in single precision.
  const struct {
    double start, stop, points;
    bool ok;
  } cases[] = {{3, 30, 0, false},     {3, 30, 20002, false},
               {3, 30, 1e6, false},   {3, 30, 1, true},
               {3, 30, 20001, true},  {3, 200, 500, false},
               {200, 3, 500, false},  {-1, 30, 500, false},
               {14, 14, 500, false},  {14, 14.0000001, 500, false},
               {100, 199, 100, true}, {10, 0.001, 1, false},
               {30, 3, 500, true}};
  for (const auto& c : cases)
    EXPECT_EQ(planSweep(c.start, c.stop, c.points, 400).ok(), c.ok) << c.start << " " << c.stop;
  EXPECT_EQ(planSweep(3, 30, 500, 0).error, hw::noClockMessage());
  EXPECT_NE(planSweep(3, 30, 0, 400).error.find("20001"), std::string::npos);
  EXPECT_NE(planSweep(100, 199.99, 1, 400).error.find("299.98"), std::string::npos);
}

TEST(ReadWrite, GoldenTraceOfASmallPass) {
  test::PortRig rig(400, 20);
  // Each read-out gives its own pair: A = 10 x n + 1, B = 10 x n + 2 for the
  // n-th read-out (the settling one is n = 0).
  rig.port->status = [](size_t read) {
    const int n = static_cast<int>(read / 10), bit = 9 - static_cast<int>(read % 10);
    uint8_t s = 0;
    if (((10 * n + 1) >> bit) & 1) s |= hw::kBridgeABit;
    if (((10 * n + 2) >> bit) & 1) s |= hw::kBridgeBBit;
    return s;
  };
  // 10 to 20 MHz on a 400 MHz clock in 2 steps: Ws = 107374182 (107374182.4),
  // We = 214748365 (214748364.8), dW = 53687091.5, so the words of indices 1
  // and 3 are halves, rounded to the even neighbour.
  auto r = planSweep(10, 20, 2, 400);
  ASSERT_TRUE(r.ok());
  Channels target;
  target.returnLossCounts[4] = -1;
  ReadWriteJob job(rig.instrument, r.plan, target, true);
  // The reset and the settling read-out, then one point a step; every step ends
  // on a whole read-out.
  int steps = 0;
  for (; !job.done() && steps < 10; ++steps) {
    job.step();
    EXPECT_EQ(rig.port->log.back().value, 24) << steps;
  }
  EXPECT_EQ(steps, 5);
  EXPECT_EQ(job.stored(), 4);
  EXPECT_EQ(job.progress(), 1.0);
  EXPECT_FALSE(job.step());

  const std::vector<std::string> expected{
      "reset", "reg1 166",       "word 107374182", "wait 100000",    "read", "word 107374182",
      "read",  "word 161061274", "read",           "word 214748365", "read", "word 268435456",
      "read"};
  EXPECT_EQ(decode(rig), expected);
  for (int i = 0; i <= 3; ++i) {
    EXPECT_EQ(target.returnLossCounts[i], 10 * (i + 1) + 1) << i;
    EXPECT_EQ(target.phaseCounts[i], 10 * (i + 1) + 2) << i;
  }
  EXPECT_EQ(target.returnLossCounts[4], -1);
  EXPECT_EQ(target.frequencies[0], 10.0f);
  EXPECT_EQ(target.frequencies[2], 20.0f);
  EXPECT_EQ(target.frequencies[3], 25.0f);
  EXPECT_EQ(rig.instrument.tunedWord(), 268435456u);

  // A later pass of a continuous sweep loads no reset or multiplier.
  test::PortRig again(400, 20);
  ReadWriteJob second(again.instrument, r.plan, target, false);
  second.runToEnd();
  auto events = decode(again);
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events.front(), "word 107374182");
  EXPECT_EQ(events.size(), expected.size() - 2);
}
