// The hardware check and a port that stops working in the middle of a pass.
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "analyzer/sweep.h"
#include "hw/dds.h"
#include "hw/port_test.h"
#include "hw/wire.h"
#include "powermeter/sweep.h"
#include "support/port_rig.h"

using namespace kolm;

namespace {

// 20 MHz x 20 on LPT1.
hw::HardwareParams params400() { return {20, 20, 400, hw::kLpt1, "sim"}; }

bool contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// An instrument on a recording port whose status comes from `status`.
struct Bench : test::PortRig {
  explicit Bench(std::function<uint8_t(size_t)> status = {}) {
    port->status = std::move(status);
    instrument.params = params400();
    instrument.refreshReachable();
  }
};

}  // namespace

TEST(PortTest, APortThatCannotBeOpenedSaysWhyAndWhatToDo) {
  struct Case {
    const char* backend;
    const char* why;
    const char* todo;
  };
  const Case cases[] = {
      {"ppdev:/nonexistent/parport7", "no parallel port", "modprobe parport_pc ppdev"},
      // Opens, but is no parallel port: the exclusive claim is refused.
      {"ppdev:/dev/null", "Cannot ask for /dev/null alone", "adduser $USER lp"},
      {"direct:0x80", "not valid", "needs root"},
      {"inpout32", "only on Windows", "inpoutx64.dll"},
  };
  for (const Case& c : cases) {
    const auto report = hw::portTest(c.backend, params400());
    EXPECT_FALSE(report.passed()) << c.backend;
    ASSERT_EQ(report.checks.size(), 1u) << c.backend;
    EXPECT_EQ(report.checks[0].what, "Port");
    EXPECT_TRUE(contains(report.checks[0].detail, c.why))
        << c.backend << ": " << report.checks[0].detail;
    EXPECT_TRUE(contains(report.text(), c.todo)) << c.backend << ": " << report.text();
  }
}

TEST(PortTest, ReadOutsOutsideTheirRangeFailWithTheCableAdvice) {
  struct Case {
    const char* name;
    uint8_t status;  // every status read
    bool lines, detector, bridgeA, bridgeB;
  };
  const Case cases[] = {
      {"nothing drives the lines", 0xFF, false, false, false, false},
      {"nothing answers", 0x00, false, false, true, true},
      {"detector stuck high, bridge low", 0x40, true, false, true, true},
      {"detector answers, phase line high", 0x50, true, false, true, false},
  };
  for (const Case& c : cases) {
    Bench bench([&](size_t) { return c.status; });
    const auto report = hw::runPortTest(bench.instrument, "ppdev");
    ASSERT_EQ(report.checks.size(), 5u) << c.name;
    const auto& k = report.checks;
    EXPECT_EQ(std::tuple(k[0].passed, k[1].passed, k[2].passed, k[3].passed, k[4].passed),
              std::tuple(true, c.lines, c.detector, c.bridgeA, c.bridgeB))
        << c.name;
    EXPECT_TRUE(contains(report.text(), "Check the cable")) << c.name;
    // The generator is left off: the last frame loads the word 0, then the lines idle.
    EXPECT_EQ(bench.instrument.tunedWord(), 0u);
    EXPECT_EQ(bench.port->writes().back(), 24);
  }
}

TEST(PortTest, AnAddressThatIsNoParallelPortSendsNothing) {
  struct AddressedPort : hw::RecordingPort {
    bool addressed() const override { return true; }
  };
  auto owned = std::make_unique<AddressedPort>();
  AddressedPort* port = owned.get();
  port->status = [](size_t) { return uint8_t{0xFF}; };
  hw::Instrument instrument(std::move(owned));
  instrument.setDelayer(std::make_unique<hw::NoDelayer>());
  instrument.params = params400();
  instrument.params.portAddress = 0;
  instrument.refreshReachable();
  const auto report = hw::runPortTest(instrument, "direct");
  ASSERT_EQ(report.checks.size(), 1u);
  EXPECT_FALSE(report.passed());
  EXPECT_TRUE(contains(report.text(), "Choose LPT1, LPT2 or LPT3"));
  // Nor does anything else: a frame writes nothing and a read gives 0.
  hw::ddsSendWord(instrument, 1234);
  EXPECT_EQ(hw::Wire(instrument).in(), 0);
  EXPECT_TRUE(port->log.empty());
  instrument.params.portAddress = hw::kLpt2;
  instrument.refreshReachable();
  hw::ddsReset(instrument);
  EXPECT_EQ(port->writes().size(), 2u);
}

TEST(PortFailure, APortFailingDuringTheCheckFailsItsFirstLine) {
  Bench bench([](size_t) { return 0x40; });
  bench.port->failAt = 200;  // inside the multiplier frame
  const auto report = hw::runPortTest(bench.instrument, "ppdev");
  ASSERT_EQ(report.checks.size(), 1u);
  EXPECT_FALSE(report.passed());
  EXPECT_TRUE(contains(report.checks[0].detail, "stopped working"));
  EXPECT_EQ(bench.port->log.size(), 200u);
}

TEST(PortFailure, APassStopsAtTheFailedPointAndNothingMoreIsSent) {
  // A power meter sweep and an analyzer pass, each on a port failing at access 2000.
  auto status = [](size_t i) { return static_cast<uint8_t>(i % 3 ? 0x70 : 0); };
  Bench meterBench(status), analyzerBench(status);
  std::vector<float> trace(powermeter::kTraceSize, 0.f);
  auto plan = powermeter::prepareSweep({1, 30, 500, 20, -80}, 400, {});
  powermeter::SweepJob sweep(
      meterBench.instrument, *plan.plan, {}, [] { return 0.0; }, trace);
  analyzer::Channels channels;
  analyzer::PassJob pass(analyzerBench.instrument, analyzer::planSweep(1, 30, 500, 400).plan,
                         channels, true);
  auto check = [](Bench& bench, common::SteppedJob& job, const std::function<int()>& counted) {
    bench.port->failAt = 2000;
    job.runToEnd();
    EXPECT_FALSE(job.done());
    EXPECT_TRUE(contains(job.failure(), "stopped working"));
    // About 125 accesses a point: the point in flight at access 2000 is not counted.
    EXPECT_GT(counted(), 5);
    EXPECT_LT(counted(), 20);
    EXPECT_EQ(bench.port->log.size(), 2000u);
    EXPECT_FALSE(job.step());
    EXPECT_FALSE(bench.instrument.reachable());
    // A new port starts afresh.
    bench.instrument.setPort(std::make_unique<hw::RecordingPort>());
    EXPECT_TRUE(bench.instrument.reachable());
    EXPECT_TRUE(job.failure().empty());
  };
  {
    SCOPED_TRACE("power meter");
    check(meterBench, sweep, [&] { return sweep.measured(); });
  }
  SCOPED_TRACE("analyzer");
  check(analyzerBench, pass, [&] { return pass.stored(); });
}

TEST(PortFailure, TheTraceKeepsTheFailureOfThePortItWraps) {
  auto inner = std::make_unique<hw::RecordingPort>();
  inner->failAt = 1;
  hw::TracingPort tracing(std::move(inner), nullptr);
  tracing.writeData(1);
  EXPECT_FALSE(tracing.failed());
  tracing.readStatus();
  EXPECT_TRUE(tracing.failed());
  EXPECT_EQ(tracing.failure(), "the test port was unplugged");
}
