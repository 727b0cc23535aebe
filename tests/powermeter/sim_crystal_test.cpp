// End to end on the simulated instrument: the fixture's through path measured
// with the crystal bypassed, then a 10 MHz crystal swept and analysed; it must
// measure as itself.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>

#include "hw/port_factory.h"
#include "powermeter/crystal.h"
#include "powermeter/reference.h"
#include "powermeter/sweep.h"
#include "sim/simulated_instrument.h"

using namespace kolm;
using namespace kolm::powermeter;

namespace {

struct Bench {
  Bench() {
    auto opened = hw::openPort("sim", 0, {"through", "r=50", "ideal"});
    EXPECT_TRUE(opened.port) << opened.error;
    instrument.setPort(std::move(opened.port));
    instrument.setDelayer(std::make_unique<hw::NoDelayer>());
    instrument.params.QuartzMHz = 20;
    instrument.params.RefClkMultiplier = 20;
    instrument.params.RefClkMHz = 400;
  }
  void connect(const std::string& dut) {
    auto* sim = sim::findSimulator(instrument.port());
    ASSERT_NE(sim, nullptr);
    ASSERT_EQ(sim->configure({dut, "r=50", "ideal"}), "");
  }
  RifTable calibrateThroughPath() {
    auto words = tableWords(instrument.params.RefClkMHz, 1601, nullptr);
    EXPECT_TRUE(words);
    QuartzReferenceJob job(instrument, *words, {});
    job.runToEnd();
    return job.table();
  }
  CrystalResult measure(const std::string& start, const std::string& stop,
                        const std::string& points, const RifTable& ref, float R0) {
    auto prepared = prepareSweep({start, stop, points, "0", "-40"}, 400, {});
    EXPECT_TRUE(prepared.plan) << prepared.error;
    plan = *prepared.plan;
    SweepJob job(
        instrument, plan, {}, [] { return 0.0; }, trace);
    job.runToEnd();
    return analyzeCrystal({trace, plan.Points, plan.ViewStart, plan.ViewStop}, ref, R0);
  }
  double step() const { return (plan.ViewStop - plan.ViewStart) / plan.Points; }

  hw::Instrument instrument;
  std::vector<float> trace = std::vector<float>(kTraceSize, 0.f);
  SweepPlan plan;
};

// A 10 MHz crystal of 20 fF and 50 ohm with 1 pF across it, in a 50 ohm fixture.
// The capacitance across moves the transmission peak a few hertz off the series
// resonance (3 Hz with 1 pF, 15 Hz with 5 pF).
constexpr const char* kCrystal = "crystal:fs=10,r=50,c=20f,c0=1p,r0=50";

}  // namespace

TEST(SimulatedCrystal, ThroughPathReferenceIsFlatNearZero) {
  Bench bench;
  // A DDS left at another clock by whatever ran before does not matter: the
  // calibration sets it up itself.
  RifTable ref = bench.calibrateThroughPath();
  EXPECT_NEAR(ref[1], 0, 0.11);
  EXPECT_NEAR(ref[100], 0, 0.11);
  // The generator's own roll-off towards 160 MHz at a 400 MHz clock (sin x / x).
  EXPECT_NEAR(ref[1600], -2.5, 0.2);
}

TEST(SimulatedCrystal, TenMegahertzCrystalMeasuresAsItself) {
  Bench bench;
  const RifTable ref = bench.calibrateThroughPath();
  bench.connect(kCrystal);
  // 10 Hz steps over 8 kHz around the series resonance.
  auto r = bench.measure("9.996", "10.004", "800", ref, 50);
  ASSERT_TRUE(r.ok()) << r.error;
  EXPECT_NEAR(r.Fs, 10.0, bench.step());
  EXPECT_NEAR(r.R, 50, 0.03 * 50);
  // Q = 1 / (2 pi fs C R), L = 1 / ((2 pi fs)^2 C): the -3 dB points fall
  // between steps and levels are read to a tenth of a dB.
  const double w = 2 * std::numbers::pi * 10e6;
  EXPECT_NEAR(r.Q, 1 / (w * 20e-15 * 50), 0.05 * 15915);
  EXPECT_NEAR(r.L, 1e6 / (w * w * 20e-15), 0.05 * 12665);  // uH
  EXPECT_NEAR(r.Cs * 1e9, 20, 0.05 * 20);                  // fF
  EXPECT_FALSE(r.Fp);  // the parallel resonance is far above this span
}

TEST(SimulatedCrystal, ParallelResonanceFromAWiderSweep) {
  Bench bench;
  const RifTable ref = bench.calibrateThroughPath();
  bench.connect("crystal:fs=10,r=50,c=20f,c0=5p,r0=50");
  // fp = fs sqrt(1 + C / C0) = 10.01998 MHz.
  auto r = bench.measure("9.99", "10.03", "4000", ref, 50);
  ASSERT_TRUE(r.ok()) << r.error;
  EXPECT_NEAR(r.Fs, 10.0 - 15e-6, bench.step());  // the peak with 5 pF across
  ASSERT_TRUE(r.Fp);
  EXPECT_NEAR(*r.Fp, 10 * std::sqrt(1 + 20e-15 / 5e-12), 5 * bench.step());
}
