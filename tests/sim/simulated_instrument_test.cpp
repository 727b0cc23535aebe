#include "sim/simulated_instrument.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <numeric>
#include <vector>

#include "sim/sim_port.h"
#include "sim_rig.h"
#include "support/temp_dir.h"

using kolm::test::SimRig;
namespace hw = kolm::hw;
namespace sim = kolm::sim;

// ---- DDS serial link, as the link's own frames drive it ----

namespace {
void sendBytes(SimRig& rig, std::initializer_list<int> bytes) {
  for (int b : bytes) hw::ddsSendByte(rig.instrument, b);
}
}  // namespace

TEST(SimDds, FrameDecodesToTheSameWordOnlyAfterTheUpdate) {
  SimRig rig;
  rig.tune(7.05);
  EXPECT_EQ(rig.sim->tuningWord(), 75698799u);
  EXPECT_NEAR(rig.sim->outputMHz(), 7.05, 1e-7);

  for (uint32_t w : {0u, 1u, 0x80000000u, 0x12345678u, 0xFFFFFFFFu, 1717986918u}) {
    hw::ddsSendWord(rig.instrument, w);
    EXPECT_EQ(rig.sim->tuningWord(), w);
  }

  // The bytes alone load the buffer; the update strobe applies them. Read-outs
  // in the middle of a frame do not disturb the shift register.
  hw::ddsSendWord(rig.instrument, 1000);
  sendBytes(rig, {4, 0x11, 0x22});
  hw::readDetector(rig.instrument);
  hw::readBridge(rig.instrument);
  sendBytes(rig, {0x33, 0x44});
  EXPECT_EQ(rig.sim->tuningWord(), 1000u);
  hw::ddsUpdate(rig.instrument);
  EXPECT_EQ(rig.sim->tuningWord(), 0x11223344u);

  // A register the instrument does not use takes four bytes and changes nothing.
  sendBytes(rig, {2, 0xAA, 0xBB, 0xCC, 0xDD});
  hw::ddsUpdate(rig.instrument);
  EXPECT_EQ(rig.sim->tuningWord(), 0x11223344u);
  EXPECT_EQ(rig.sim->multiplier(), 20);

  // A reset clears the registers and the buffer, and drops a partial frame.
  ASSERT_TRUE(rig.sim->outputOn());
  sendBytes(rig, {4, 0x55});
  hw::ddsReset(rig.instrument);
  EXPECT_EQ(rig.sim->tuningWord(), 0u);
  EXPECT_EQ(rig.sim->multiplier(), 0);
  EXPECT_FALSE(rig.sim->outputOn());
  hw::ddsUpdate(rig.instrument);
  EXPECT_EQ(rig.sim->tuningWord(), 0u);
}

TEST(SimDds, MultiplierLoadSetsTheSimulatedClock) {
  SimRig rig;
  struct Case {
    int16_t multiplier;
    double clock;
  };
  for (Case c : {Case{20, 400}, Case{10, 200}, Case{4, 80}, Case{3, 20}, Case{0, 20}}) {
    rig.instrument.params.RefClkMultiplier = c.multiplier;
    hw::ddsReset(rig.instrument);
    hw::ddsSetMultiplier(rig.instrument);
    EXPECT_EQ(rig.sim->multiplier(), c.multiplier);
    EXPECT_DOUBLE_EQ(rig.sim->systemClockMHz(), c.clock) << c.multiplier;
  }

  // Parameters that disagree with the hardware: the program computes its words
  // for 400 MHz, the DDS runs at 200 MHz and puts out half the frequency.
  rig.instrument.params.RefClkMultiplier = 10;
  rig.tune(10);
  EXPECT_NEAR(rig.sim->outputMHz(), 5, 1e-6);

  // The board's quartz follows the hardware parameters: 100 MHz x 4 is the same
  // 400 MHz clock, and 10 MHz comes out as 10 MHz.
  rig.instrument.params.QuartzMHz = 100;
  rig.instrument.params.RefClkMultiplier = 4;
  rig.tune(10);
  EXPECT_DOUBLE_EQ(rig.sim->systemClockMHz(), 400);
  EXPECT_NEAR(rig.sim->outputMHz(), 10, 1e-6);
  EXPECT_FALSE(rig.sim->quartzSetApart());
  EXPECT_NE(rig.sim->configure({"through", "r=50", "ideal", "0"}), "");
}

// ---- Level detector ----

TEST(SimDetector, OutputRollsOffAsSinXOverXAndClampsToTenBits) {
  SimRig rig;
  rig.tune(100);  // a quarter of the clock: sin(pi/4)/(pi/4) = -0.912 dB
  EXPECT_NEAR(rig.sim->detectorDbm(), -0.9121, 1e-3);
  EXPECT_EQ(rig.detector(), 817);

  sim::SimSettings loud;
  loud.levelDbm = 30;
  SimRig hot("through", "r=50", loud);
  hot.tune(1);
  EXPECT_EQ(hot.detector(), 1023);
  SimRig deaf("atten:90");
  deaf.tune(1);
  EXPECT_EQ(deaf.detector(), 0);

  // Word 0: no output at all.
  SimRig off;
  off.tune(0);
  EXPECT_EQ(off.detector(), 0);
  auto b = off.bridge();
  EXPECT_EQ(b.a, 0);
  EXPECT_EQ(b.b, 0);
}

TEST(SimDetector, ReadingIsTheLevelWhenTheConversionStarted) {
  // A port that reconnects the simulator after the first status read, in the
  // middle of a read-out.
  struct Meddler : hw::PortIo {
    sim::SimulatedInstrument inner{sim::SimSettings{.board = sim::Board::Ideal}};
    size_t reads = 0;
    void writeData(uint8_t v) override { inner.writeData(v); }
    uint8_t readStatus() override {
      uint8_t s = inner.readStatus();
      if (++reads == 1) inner.setDut(*sim::parseDut("atten:60").value);
      return s;
    }
    std::string name() const override { return "meddler"; }
    bool addressed() const override { return false; }
  };
  auto port = std::make_unique<Meddler>();
  Meddler* m = port.get();
  hw::Instrument inst(std::move(port));
  inst.setDelayer(std::make_unique<hw::NoDelayer>());
  inst.params.RefClkMultiplier = 20;
  inst.params.RefClkMHz = 400;
  hw::ddsReset(inst);
  hw::ddsSetMultiplier(inst);
  hw::ddsSendWord(inst, static_cast<uint32_t>(hw::ddsTuningWord(10, 400)));
  EXPECT_EQ(hw::readDetector(inst), 826);
  EXPECT_EQ(hw::readDetector(inst), 235);
  // Idle lines read 0; extra clocks after the tenth bit give 0.
  EXPECT_EQ(m->inner.readStatus(), 0);
}

TEST(SimDetector, SeededNoiseRepeatsAndHasTheSetSpread) {
  sim::SimSettings noisy;
  noisy.detectorNoiseCounts = 3;
  noisy.seed = 42;
  auto run = [&](uint64_t seed) {
    noisy.seed = seed;
    SimRig rig("atten:30", "r=50", noisy);
    rig.tune(10);
    std::vector<int> v;
    for (int i = 0; i < 2000; ++i) v.push_back(rig.detector());
    return v;
  };
  auto a = run(42), b = run(42), c = run(43);
  EXPECT_EQ(a, b);
  EXPECT_NE(a, c);
  double mean = std::accumulate(a.begin(), a.end(), 0.0) / a.size();
  double var = 0;
  for (int x : a) var += (x - mean) * (x - mean);
  double sd = std::sqrt(var / a.size());
  EXPECT_NEAR(mean, 530.4, 0.3);
  EXPECT_NEAR(sd, 3.0, 0.25);  // rounding to counts adds about 1/12 to the variance
}

// ---- Bridge ----

TEST(SimBridge, ResonantLoadAboveAndBelowFiftyOhm) {
  // 1 uH with 253.3 pF resonates at 10 MHz: the load is its resistance there,
  // above 50 ohm at 0 degrees, below it at 180 (1024, clamped).
  SimRig above("through", "rlc:r=100,l=1u,c=253.3029591p");
  above.tune(10);
  EXPECT_EQ(above.bridge().b, 0);
  SimRig below("through", "rlc:r=20,l=1u,c=253.3029591p");
  below.tune(10);
  EXPECT_EQ(below.bridge().b, 1023);

  // Off resonance the reactance shows in the phase, without its sign.
  above.step(9);
  int capacitive = above.bridge().b;
  above.step(11.1);
  int inductive = above.bridge().b;
  EXPECT_GT(capacitive, 40);
  EXPECT_GT(inductive, 40);
  // 100 + j(62.8 - 62.8...) at 9 MHz: X = -13.4 ohm; at 11.1 MHz X = +12.4 ohm.
  EXPECT_LT(std::abs(capacitive - inductive), 40);
}

TEST(SimBridge, TouchstoneLoadIsInterpolated) {
  kolm::test::InTempDir dir;
  {
    std::ofstream f("ant.s1p");
    f << "! two points\n# MHz S RI R 50\n10 0 0\n20 0.5 0.5\n";
  }
  SimRig rig("through", "s1p:ant.s1p");
  rig.tune(15);
  // Half way: G = 0.25 + j0.25, |G| = 0.354 (RL 9.03 dB), 45 degrees.
  EXPECT_NEAR(std::abs(rig.sim->bridgeGamma()), 0.35355, 1e-4);
  auto r = rig.bridge();
  EXPECT_EQ(r.b, 256);
  EXPECT_EQ(r.a, 358);
  rig.step(5);  // below the first point: the first value holds
  EXPECT_EQ(rig.bridge().a, 0);
}

// ---- The back end as the program opens it ----

TEST(SimPort, OpenedByNameWithItsConnectionsOrAClearError) {
  auto opened = hw::openPort("sim", 0, {"atten:60", "open"});
  ASSERT_TRUE(opened.port) << opened.error;
  EXPECT_EQ(opened.port->name(), "sim");
  EXPECT_TRUE(opened.port->simulated());
  EXPECT_FALSE(opened.port->addressed());
  auto* s = sim::findSimulator(opened.port.get());
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->dut().text, "atten:60");
  EXPECT_EQ(s->load().kind, sim::Load::Kind::Open);

  auto bad = hw::openPort("sim", 0, {"lowpass:fc=abc,order=3", "r=50"});
  EXPECT_FALSE(bad.port);
  EXPECT_NE(bad.error.find("fc=abc"), std::string::npos) << bad.error;

  // Under a tracing port, still found; a real back end is not a simulator.
  hw::TracingPort traced(std::move(opened.port), nullptr);
  EXPECT_EQ(sim::findSimulator(&traced), s);
  hw::NullPort null;
  EXPECT_EQ(sim::findSimulator(&null), nullptr);

  // A failed reconfiguration keeps what was connected.
  EXPECT_FALSE(s->configure({"through", "rlc:r=oops"}).empty());
  EXPECT_EQ(s->dut().text, "atten:60");
  EXPECT_EQ(s->load().kind, sim::Load::Kind::Open);
}
