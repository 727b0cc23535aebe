// The analyzer's measurement: one bridge reading, the traces and the memory of a
// measurement, and the pass that fills it on the wire.
#include "analyzer/measurement.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "analyzer/impedance.h"
#include "analyzer/sweep.h"
#include "analyzer/validity.h"
#include "hw/dds.h"
#include "hw/readout.h"
#include "support/port_rig.h"

using namespace kolm::analyzer;
using namespace kolm;
using chart::Mark;

TEST(fillSyntheticMeasurement, FillsTheDocumentedTraceWithinTheCounts) {
  Measurement m;  // 3 to 30 MHz, 500 points
  m.live.returnLossCounts[501] = -7;
  m.fillSyntheticMeasurement();
  EXPECT_EQ(m.live.returnLossCounts[0], 500);
  EXPECT_EQ(m.live.phaseCounts[64], 512);
  EXPECT_EQ(m.live.phaseCounts[128], 0);
  EXPECT_EQ(m.live.phaseCounts[256], 1024);
  // The return loss peaks once, where 3i/N = pi/2 (i about 262).
  EXPECT_EQ(
      *std::min_element(m.live.returnLossCounts.begin(), m.live.returnLossCounts.begin() + 501),
      300);
  EXPECT_EQ(m.live.returnLossCounts[262], 300);
  EXPECT_FLOAT_EQ(m.live.frequencies[250], 16.5f);
  EXPECT_FLOAT_EQ(m.live.frequencies[500], 30.0f);
  // Index N + 1 is left for a real sweep.
  EXPECT_EQ(m.live.returnLossCounts[501], -7);

  // The largest plan stays within the counts, far beyond 16-bit products of the index.
  m.Points = kMaxPoints;
  m.fillSyntheticMeasurement();
  for (int i = 0; i <= kMaxPoints; ++i) {
    ASSERT_TRUE(m.live.returnLossCounts[i] >= 300 && m.live.returnLossCounts[i] <= 500) << i;
    ASSERT_TRUE(m.live.phaseCounts[i] >= 0 && m.live.phaseCounts[i] <= 1024) << i;
  }
  EXPECT_EQ(m.live.phaseCounts[4096], 1024);
  EXPECT_EQ(m.live.phaseCounts[19840], 0);
  EXPECT_FLOAT_EQ(m.live.frequencies[kMaxPoints], 30.0f);
}

// An open point is drawn as an open (|Z|, R, X and SWR infinite), never with the
// values of the point before it; its return loss and phase are measured.
TEST(TraceValues, AnOpenPointIsInfiniteNotThePreviousValues) {
  Measurement m;
  m.Points = 4;
  m.fillSyntheticMeasurement();
  m.live.returnLossCounts[1] = 0;  // a matched point before the open
  m.live.phaseCounts[1] = 300;
  m.live.returnLossCounts[2] = 512;
  m.live.phaseCounts[2] = 0;
  m.live.returnLossCounts[3] = 513;
  TraceValues t;
  computeTraceValues(m.live, m.Points, t);
  ASSERT_EQ(t.frequencies.size(), 5u);
  EXPECT_EQ(t.frequencies[4], 30.0);
  EXPECT_EQ(t.flags[1], PointFlag::RlLimit);
  EXPECT_EQ(t.flags[2], PointFlag::Open);
  EXPECT_EQ(t.flags[3], PointFlag::Invalid);
  EXPECT_EQ(t.values[kReturnLoss][2], 0.0f);
  EXPECT_EQ(t.values[kPhase][2], 0.0f);
  for (int q : {kImpedance, kResistance, kReactance, kSwr}) {
    EXPECT_EQ(t.values[q][2], INFINITY) << q;
    EXPECT_TRUE(std::isnan(t.values[q][3])) << q;
  }
  const PointResult p = evaluatePoint(m.live.returnLossCounts[4], m.live.phaseCounts[4]);
  ASSERT_TRUE(p.finite);
  for (int q = 0; q < kQuantities; ++q) EXPECT_EQ(t.values[q][4], p.values[q]);
}

namespace {
ChartData chartOf(int16_t n, double start, double stop, int16_t a, int16_t b) {
  ChartData c;
  c.points = n;
  c.start = start;
  c.stop = stop;
  for (int i = 0; i <= n; ++i) {
    c.returnLossCounts.push_back(static_cast<int16_t>(a + i));
    c.phaseCounts.push_back(static_cast<int16_t>(b + i));
  }
  return c;
}
}  // namespace

TEST(MemoryTrace, EmptyWhileBothTestEntriesAreZeroWithinTheTrace) {
  Measurement m;
  EXPECT_TRUE(m.memoryEmpty());  // never filled
  m.loadMemory(chartOf(40, 1, 2, 0, 0));
  EXPECT_FALSE(m.memoryEmpty());  // entries 20 and 30 hold 20 and 30
  auto zeros = chartOf(40, 1, 2, 0, 0);
  zeros.returnLossCounts[20] = zeros.returnLossCounts[30] = 0;
  m.loadMemory(zeros);
  EXPECT_TRUE(m.memoryEmpty());
  zeros.returnLossCounts[30] = 1;
  m.loadMemory(zeros);
  EXPECT_FALSE(m.memoryEmpty());

  // A shorter trace: entries past its end are not looked at, whatever an
  // earlier, longer one left there.
  m.loadMemory(chartOf(40, 1, 2, 100, 0));
  auto short25 = chartOf(25, 1, 2, 0, 0);
  short25.returnLossCounts[20] = 0;
  m.loadMemory(short25);
  EXPECT_EQ(m.memory.returnLossCounts[30], 0);  // cleared by the load
  EXPECT_TRUE(m.memoryEmpty());
  short25.returnLossCounts[20] = 5;
  m.loadMemory(short25);
  EXPECT_FALSE(m.memoryEmpty());
  m.loadMemory(chartOf(10, 1, 2, 0, 0));
  EXPECT_FALSE(m.memoryEmpty());  // no test entry within ten steps
}

TEST(MemoryTrace, FileInMemoryRebuildsItsOwnFrequenciesAndLeavesTheLiveOnesAlone) {
  Measurement m;
  m.fillSyntheticMeasurement();
  const Channels live = m.live;
  m.loadMemory(chartOf(200, 7, 7.5, 300, 10));
  EXPECT_EQ(m.MemPoints, 200);
  EXPECT_EQ(m.MemStop, 7.5);
  EXPECT_EQ(m.memory.returnLossCounts[200], 500);
  EXPECT_EQ(m.memory.frequencies[100], 7.25f);
  EXPECT_EQ(m.live.returnLossCounts, live.returnLossCounts);
  EXPECT_EQ(m.live.frequencies, live.frequencies);
  EXPECT_EQ(m.Points, 500);
}

TEST(OpenAndSave, ChartShownWholeAndSavedWithTheSpanItsReadingsCover) {
  Measurement m;
  m.fillSyntheticMeasurement();
  m.live.returnLossCounts[60] = 77;  // past the chart about to be opened
  m.openChart(chartOf(50, 0.5, 1.5, 400, 20));
  EXPECT_EQ(m.Points, 50);
  EXPECT_EQ(m.ViewStop, 1.5);
  EXPECT_EQ(m.TraceStart, 0.5f);
  EXPECT_EQ(m.live.phaseCounts[50], 70);
  EXPECT_EQ(m.live.frequencies[25], 1.0f);
  EXPECT_EQ(m.live.returnLossCounts[60], 0);

  // After a zoom the saved chart keeps the whole span, so that reading i still
  // stands at its own frequency when the file is opened again.
  m.ViewStart = 0.8;
  m.ViewStop = 1.0;
  const ChartData saved = m.savedChart();
  EXPECT_EQ(saved.points, 50);
  EXPECT_EQ(saved.start, 0.5);
  EXPECT_EQ(saved.stop, 1.5);
  ASSERT_EQ(saved.returnLossCounts.size(), 51u);
  EXPECT_EQ(saved.returnLossCounts[50], 450);
}

// A completed pass replaces the live readings; only the first pass of a sweep
// takes the view with it, so a continuous sweep keeps the view zoomed to.
TEST(Measurement, APassBecomesLiveAndTheFirstSetsTheView) {
  Measurement m;
  m.ViewStart = 7;
  m.pass.returnLossCounts[3] = 99;
  m.takePass(5, 10, 100, false);
  EXPECT_EQ(m.live.returnLossCounts[3], 99);
  EXPECT_EQ(m.ViewStart, 7);
  EXPECT_EQ(m.Points, kDefaultPoints);
  m.pass.returnLossCounts[3] = 42;
  m.takePass(5, 10, 100, true);
  EXPECT_EQ(m.live.returnLossCounts[3], 42);
  EXPECT_EQ(m.ViewStart, 5);
  EXPECT_EQ(m.Points, 100);
  EXPECT_EQ(m.TraceStop, 10.0f);
  EXPECT_EQ(m.SpanStop, 10);
}

// One bridge reading: its impedance to the instrument's own precision, which
// readings are measurements, and how each quantity of a flagged point is taken.
// The computation step by step as the instrument's arithmetic does it, for any
// pair of readings.
static PointValues reference(int16_t a, int16_t b) {
  const float phase = static_cast<float>(b * 180) / 1024;
  const float rl = static_cast<float>(static_cast<int16_t>(512 - a) * 30) / 512;
  const float theta = static_cast<float>(phase * 3.14 / 180);
  const float rho = static_cast<float>(std::pow(10.0, -rl / 20.0));
  const float gr = static_cast<float>(rho * std::cos(static_cast<double>(theta)));
  const float gi = static_cast<float>(rho * std::sin(static_cast<double>(theta)));
  const float pa = 1 + gr, pb = gi, pp = 1 - gr, pq = -gi;
  const double d = static_cast<double>(pp) * pp + static_cast<double>(pq) * pq;
  const float zr = static_cast<float>(static_cast<float>(pa * pp + pb * pq) / d);
  const float zi = static_cast<float>(static_cast<float>(pb * pp - pa * pq) / d);
  const float r = 50 * zr, x = 50 * zi;
  const float z =
      static_cast<float>(std::sqrt(static_cast<double>(r) * r + static_cast<double>(x) * x));
  const float rs = rho == 1.0f ? 0.999f : rho;
  return {rl, phase, z, r, x, (1 + rs) / (1 - rs)};
}

TEST(Point, EveryReadingFollowsTheStatedPrecision) {
  std::vector<int16_t> readings;
  for (int v = 0; v <= 1025; ++v) readings.push_back(static_cast<int16_t>(v));
  for (int v : {-32768, -1000, -1, 1100, 4000, 32767}) readings.push_back(static_cast<int16_t>(v));
  int compared = 0;
  for (int16_t a : readings) {
    for (int16_t b : readings) {
      if ((a % 7 != 0 && a <= 1025 && a >= 0) || (b % 5 != 0 && b <= 1025 && b >= 0)) continue;
      auto p = evaluatePoint(a, b);
      if (!p.finite) continue;
      ASSERT_EQ(p.values, reference(a, b)) << a << "," << b;
      ++compared;
    }
  }
  EXPECT_GT(compared, 30000);
}

// Which bridge readings are measurements, and how each quantity of a flagged
// point is to be taken.
TEST(PointFlags, EachEndOfTheTwoChannels) {
  struct Case {
    int a, b;
    PointFlag flag;
  };
  const Case cases[] = {
      {300, 500, PointFlag::Valid},       {1, 500, PointFlag::Valid},
      {0, 500, PointFlag::RlLimit},       {-4, 500, PointFlag::RlLimit},  // a .vec beyond range
      {0, 0, PointFlag::RlLimit},         {512, 0, PointFlag::Open},      // no finite impedance
      {511, 28, PointFlag::Open},         {511, 29, PointFlag::Valid},
      {510, 0, PointFlag::Open},          {509, 0, PointFlag::PhaseLimit},
      {512, 1023, PointFlag::PhaseLimit},  // a short
      {300, 995, PointFlag::PhaseLimit},  {300, 994, PointFlag::Valid},
      {300, 1024, PointFlag::PhaseLimit}, {513, 0, PointFlag::Invalid},
      {513, 500, PointFlag::Invalid},     {1023, 1023, PointFlag::Invalid},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(pointFlag(c.a, c.b), c.flag) << c.a << ", " << c.b;
    EXPECT_EQ(evaluatePoint(static_cast<int16_t>(c.a), static_cast<int16_t>(c.b)).flag, c.flag);
  }
}

// What the readout boxes say, quantity by quantity (RL, phase, |Z|, R, X, SWR).
TEST(PointFlags, ReadoutsSayTheMarkInWords) {
  auto words = [](int a, int b) {
    const PointResult p = evaluatePoint(static_cast<int16_t>(a), static_cast<int16_t>(b));
    std::vector<std::string> out;
    for (int q = 0; q < kQuantities; ++q)
      out.push_back(chart::markedText(shownValue(p, q), quantityMark(p.flag, q)));
    return out;
  };
  using W = std::vector<std::string>;
  // A matched load: at least 30 dB, SWR at most 1.065, the impedance near 50 ohm.
  EXPECT_EQ(words(0, 0), (W{"≥ 30.0", "≈ 0.0", "≈ 53.3", "≈ 53.3", "≈ 0.0", "≤ 1.1"}));
  // An open: return loss and phase measured, the rest open.
  EXPECT_EQ(words(512, 0), (W{"0.0", "0.0", "open", "open", "open", "open"}));
  // One count beyond a total reflection: never a negative R or SWR.
  EXPECT_EQ(words(513, 0), (W{"≈ -0.1", "≈ 0.0", "invalid", "invalid", "invalid", "invalid"}));
  // 100 ohm: the phase at its 0-degree end, R and |Z| measured.
  EXPECT_EQ(words(349, 0), (W{"9.6", "≈ 0.0", "99.9", "99.9", "≈ 0.0", "2.0"}));
  EXPECT_EQ(words(418, 329)[4], "62.7");  // 50 + j62.8 ohm read back: a plain number
}

TEST(PointFlags, ShownValuesAreInfiniteForAnOpenAndNaNWhenInvalid) {
  const PointResult open = evaluatePoint(510, 10);
  EXPECT_TRUE(open.finite);  // a large impedance the bridge cannot tell from an open
  for (int q : {kImpedance, kResistance, kReactance, kSwr}) {
    EXPECT_EQ(shownValue(open, q), INFINITY) << q;
    EXPECT_TRUE(std::isnan(shownValue(evaluatePoint(600, 300), q))) << q;
  }
  EXPECT_EQ(shownValue(open, kReturnLoss), open.values[kReturnLoss]);
}

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
