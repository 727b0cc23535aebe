#include "analyzer/sweep.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "hw/dds.h"
#include "hw/readout.h"

using namespace kolm;
using namespace kolm::analyzer;

namespace {

// Notes the long waits in the port log, so the trace shows where they happen.
class MarkingDelayer : public hw::Delayer {
 public:
  explicit MarkingDelayer(hw::RecordingPort* port) : port_(port) {}
  void wait(double units, int) override {
    if (units >= 1000) marks.push_back({port_->log.size(), units});
  }
  struct Mark {
    size_t at;
    double units;
  };
  std::vector<Mark> marks;

 private:
  hw::RecordingPort* port_;
};

struct Rig {
  Rig() {
    auto p = std::make_unique<hw::RecordingPort>();
    port = p.get();
    instrument.setPort(std::move(p));
    auto d = std::make_unique<MarkingDelayer>(port);
    delayer = d.get();
    instrument.setDelayer(std::move(d));
    instrument.params.RefClkMHz = 400;
    instrument.params.RefClkMultiplier = 20;
  }
  hw::Instrument instrument;
  hw::RecordingPort* port;
  MarkingDelayer* delayer;
};

// The port log read back as what the instrument saw: "reset", DDS frames as
// "frame 4 w=..." / "frame 1 ...", "read" for a whole bridge read-out and
// "wait N" for the long waits.
std::vector<std::string> decode(const hw::RecordingPort& port,
                                const std::vector<MarkingDelayer::Mark>& marks) {
  std::vector<std::string> events;
  std::vector<int> bits;
  size_t mark = 0;
  const auto& log = port.log;
  for (size_t k = 0; k < log.size(); ++k) {
    while (mark < marks.size() && marks[mark].at == k)
      events.push_back("wait " + std::to_string(static_cast<long>(marks[mark++].units)));
    const auto& a = log[k];
    if (!a.write) continue;
    const int v = a.value;
    if (v == hw::kReset) {
      events.push_back("reset");
    } else if (v == 18 || v == 19) {
      bits.push_back(v & 1);
    } else if (v == hw::kUpdate) {
      std::vector<uint32_t> bytes;
      for (size_t b = 0; b + 8 <= bits.size(); b += 8) {
        uint32_t x = 0;
        for (size_t j = 0; j < 8; ++j) x = x * 2 + static_cast<uint32_t>(bits[b + j]);
        bytes.push_back(x);
      }
      std::string e = "frame";
      if (bytes.size() == 5 && bytes[0] == 4) {
        e += " 4 w=" +
             std::to_string((bytes[1] << 24) | (bytes[2] << 16) | (bytes[3] << 8) | bytes[4]);
      } else {
        for (auto x : bytes) e += " " + std::to_string(x);
      }
      events.push_back(e);
      bits.clear();
    } else if (v == 24 && k + 31 < log.size() && !log[k + 2].write) {
      // 24, ten times (0, read, 8), 24: 32 accesses.
      bool whole = log[k + 31].write && log[k + 31].value == 24;
      for (int j = 0; j < 10 && whole; ++j)
        whole = log[k + 1 + 3 * j].value == 0 && !log[k + 2 + 3 * j].write &&
                log[k + 3 + 3 * j].value == 8;
      events.push_back(whole ? "read" : "broken read");
      k += 31;
    }
  }
  while (mark < marks.size())
    events.push_back("wait " + std::to_string(static_cast<long>(marks[mark++].units)));
  return events;
}

}  // namespace

TEST(SweepPlan, FiveHundredPointsFrom3To30) {
  auto r = planSweep(3, 30, 500, 400);
  ASSERT_TRUE(r.ok()) << r.error;
  EXPECT_EQ(r.plan.points, 500);
  EXPECT_DOUBLE_EQ(r.plan.frequencyStep, 0.054);
  EXPECT_EQ(r.plan.startWord, hw::DdsTuningWord(3, 400));
  EXPECT_DOUBLE_EQ(r.plan.wordStep, (hw::DdsTuningWord(30, 400) - hw::DdsTuningWord(3, 400)) / 500);
  // Typed points are rounded halves to even.
  EXPECT_EQ(planSweep(3, 30, 500.5, 400).plan.points, 500);
  EXPECT_EQ(planSweep(3, 30, 501.5, 400).plan.points, 502);
}

TEST(SweepPlan, RefusesWhatTheArraysOrTheDdsCannotTake) {
  EXPECT_FALSE(planSweep(3, 30, 0, 400).ok());
  EXPECT_FALSE(planSweep(3, 30, -5, 400).ok());
  EXPECT_FALSE(planSweep(3, 30, 20002, 400).ok());
  EXPECT_FALSE(planSweep(3, 30, 1e6, 400).ok());
  EXPECT_TRUE(planSweep(3, 30, 1, 400).ok());
  EXPECT_TRUE(planSweep(3, 30, 20001, 400).ok());
  EXPECT_EQ(planSweep(3, 30, 500, 0).error, hw::noClockMessage());
  EXPECT_FALSE(planSweep(3, 200, 500, 400).ok());
  EXPECT_FALSE(planSweep(200, 3, 500, 400).ok());
  EXPECT_FALSE(planSweep(-1, 30, 500, 400).ok());
  EXPECT_FALSE(planSweep(14, 14, 500, 400).ok());
  EXPECT_FALSE(planSweep(14, 14.0000001, 500, 400).ok());  // equal in single precision
  EXPECT_NE(planSweep(3, 30, 0, 400).error.find("20001"), std::string::npos);
  // The extra point past the stop must be reachable too, in either direction.
  EXPECT_TRUE(planSweep(100, 199, 100, 400).ok());
  auto past = planSweep(100, 199.99, 1, 400);
  EXPECT_FALSE(past.ok());
  EXPECT_NE(past.error.find("299.98"), std::string::npos) << past.error;
  EXPECT_FALSE(planSweep(10, 0.001, 1, 400).ok());
  EXPECT_TRUE(planSweep(30, 3, 500, 400).ok());
}

TEST(ReadWrite, GoldenTraceOfASmallPass) {
  Rig rig;
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
  target.CanaleA[4] = -1;
  ReadWriteJob job(rig.instrument, r.plan, target, true);
  job.runToEnd();
  EXPECT_TRUE(job.done());
  EXPECT_EQ(job.progress(), 1.0);

  const std::vector<std::string> expected{"reset",
                                          "frame 1 0 0 166",
                                          "frame 4 w=107374182",
                                          "wait 100000",
                                          "read",
                                          "frame 4 w=107374182",
                                          "read",
                                          "frame 4 w=161061274",
                                          "read",
                                          "frame 4 w=214748365",
                                          "read",
                                          "frame 4 w=268435456",
                                          "read"};
  EXPECT_EQ(decode(*rig.port, rig.delayer->marks), expected);
  for (int i = 0; i <= 3; ++i) {
    EXPECT_EQ(target.CanaleA[i], 10 * (i + 1) + 1) << i;
    EXPECT_EQ(target.CanaleB[i], 10 * (i + 1) + 2) << i;
  }
  EXPECT_EQ(target.CanaleA[4], -1);
  EXPECT_EQ(target.Frequenze[0], 10.0f);
  EXPECT_EQ(target.Frequenze[2], 20.0f);
  EXPECT_EQ(target.Frequenze[3], 25.0f);
  EXPECT_DOUBLE_EQ(rig.instrument.LastTuningWord, 107374182 + 4 * 53687091.5);

  // A later pass of a continuous sweep loads no reset or multiplier.
  Rig again;
  ReadWriteJob second(again.instrument, r.plan, target, false);
  second.runToEnd();
  auto events = decode(*again.port, again.delayer->marks);
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events.front(), "frame 4 w=107374182");
  EXPECT_EQ(events.size(), expected.size() - 2);
}

TEST(ReadWrite, FiveHundredPointsStepPointByPoint) {
  Rig rig;
  auto r = planSweep(3, 30, 500, 400);
  ASSERT_TRUE(r.ok());
  Channels target;
  target.CanaleA[502] = -1;
  target.Frequenze[502] = -1;
  ReadWriteJob job(rig.instrument, r.plan, target, true);
  EXPECT_EQ(job.progress(), 0.0);
  int steps = 0;
  size_t writes = rig.port->writeCount();
  while (!job.done()) {
    job.step();
    ++steps;
    // Every step ends on a complete read-out; a point is a word and a read-out.
    EXPECT_EQ(rig.port->log.back().value, 24);
    if (steps > 1) {
      EXPECT_EQ(rig.port->writeCount() - writes, 82u + 22u);
    }
    writes = rig.port->writeCount();
    ASSERT_LT(steps, 600);
  }
  EXPECT_EQ(steps, 1 + 502);
  EXPECT_EQ(job.stored(), 502);
  EXPECT_EQ(std::count_if(rig.port->log.begin(), rig.port->log.end(),
                          [](const hw::RecordingPort::Access& a) { return !a.write; }),
            503 * 10);
  EXPECT_FLOAT_EQ(target.Frequenze[500], 30.0f);
  EXPECT_EQ(target.Frequenze[501], static_cast<float>(501 * 0.054 + 3));
  EXPECT_FLOAT_EQ(target.Frequenze[501], 30.054f);
  EXPECT_EQ(target.CanaleA[502], -1);
  EXPECT_EQ(target.Frequenze[502], -1.0f);
  EXPECT_FALSE(job.step());
}
