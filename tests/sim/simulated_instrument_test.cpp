#include "sim/simulated_instrument.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <numeric>
#include <tuple>
#include <vector>

#include "analyzer/measurement.h"
#include "analyzer/sweep.h"
#include "analyzer/validity.h"
#include "common/files.h"
#include "common/prompter.h"
#include "common/text.h"
#include "powermeter/calibration.h"
#include "powermeter/sweep.h"
#include "sim/connection.h"
#include "sim/sim_port.h"
#include "sim/sim_rig.h"
#include "sim/touchstone.h"
#include "support/golden.h"
#include "support/temp_dir.h"

using kolm::test::SimRig;
namespace hw = kolm::hw;
namespace sim = kolm::sim;
using namespace kolm::sim;
using ::testing::HasSubstr;

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
  EXPECT_EQ(std::tuple(rig.sim->tuningWord(), rig.sim->multiplier(), rig.sim->outputOn()),
            std::tuple(0u, 0, false));
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
    rig.instrument.params.refClockMultiplier = c.multiplier;
    hw::ddsReset(rig.instrument);
    hw::ddsSetMultiplier(rig.instrument);
    EXPECT_EQ(rig.sim->multiplier(), c.multiplier);
    EXPECT_DOUBLE_EQ(rig.sim->systemClockMHz(), c.clock) << c.multiplier;
  }

  // Parameters that disagree with the hardware: the program computes its words
  // for 400 MHz, the DDS runs at 200 MHz and puts out half the frequency.
  rig.instrument.params.refClockMultiplier = 10;
  rig.tune(10);
  EXPECT_NEAR(rig.sim->outputMHz(), 5, 1e-6);

  // The board's quartz follows the hardware parameters: 100 MHz x 4 is the same
  // 400 MHz clock, and 10 MHz comes out as 10 MHz.
  rig.instrument.params.quartzMHz = 100;
  rig.instrument.params.refClockMultiplier = 4;
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
  EXPECT_EQ(std::tuple(off.detector(), off.bridge().a), std::tuple(0, 0));
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
  SimRig rig;
  rig.instrument.setPort(std::move(port));
  rig.tune(10);
  EXPECT_EQ(rig.detector(), 826);
  EXPECT_EQ(rig.detector(), 235);
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
  const auto a = run(42);
  EXPECT_EQ(a, run(42));
  EXPECT_NE(a, run(43));
  const double mean = std::accumulate(a.begin(), a.end(), 0.0) / a.size();
  double var = 0;
  for (int x : a) var += (x - mean) * (x - mean);
  const double sd = std::sqrt(var / a.size());
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

  // Off resonance the reactance shows in the phase, without its sign: at 9 MHz
  // X = -13.4 ohm, at 11.1 MHz X = +12.4 ohm.
  above.step(9);
  const int capacitive = above.bridge().b;
  above.step(11.1);
  const int inductive = above.bridge().b;
  EXPECT_GT(std::min(capacitive, inductive), 40);
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
  EXPECT_EQ(std::tuple(rig.bridge().a, rig.bridge().b), std::tuple(358, 256));
  rig.step(5);  // below the first point: the first value holds
  EXPECT_EQ(rig.bridge().a, 0);
}

// ---- The back end as the program opens it ----

TEST(SimPort, OpenedByNameWithItsConnectionsOrAClearError) {
  sim::registerSimulatorBackend();
  const sim::SimulatorOptions atten{"atten:60", "open"}, badLowpass{"lowpass:fc=abc,order=3"};
  auto opened = hw::openPort("sim", 0, &atten);
  ASSERT_TRUE(opened.port) << opened.error;
  EXPECT_EQ(std::tuple(opened.port->name(), opened.port->simulated(), opened.port->addressed()),
            std::tuple("sim", true, false));
  auto* s = sim::findSimulator(opened.port.get());
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(std::tuple(s->dut().text, s->load().kind),
            std::tuple("atten:60", sim::Load::Kind::Open));

  auto bad = hw::openPort("sim", 0, &badLowpass);
  EXPECT_FALSE(bad.port);
  EXPECT_NE(bad.error.find("fc=abc"), std::string::npos) << bad.error;

  // Under a tracing port, still found; a real back end is not a simulator.
  hw::TracingPort traced(std::move(opened.port), nullptr);
  EXPECT_EQ(sim::findSimulator(&traced), s);
  hw::NullPort null;
  EXPECT_EQ(sim::findSimulator(&null), nullptr);

  // A failed reconfiguration keeps what was connected.
  EXPECT_FALSE(s->configure({"through", "rlc:r=oops"}).empty());
  EXPECT_EQ(std::tuple(s->dut().text, s->load().kind),
            std::tuple("atten:60", sim::Load::Kind::Open));
}

TEST(SiNumber, SuffixesAndStrictness) {
  for (const auto& c : kolm::test::goldenRows("si_numbers.tsv", 2)) {
    if (c[1] == "none")
      EXPECT_FALSE(parseSiNumber(c[0]).has_value()) << c[0];
    else
      EXPECT_DOUBLE_EQ(parseSiNumber(c[0]).value_or(NAN), kolm::test::goldenNumber(c[1])) << c[0];
  }
}

namespace {
// What a text stands for; a text that does not parse fails the test.
template <typename T>
T parsed(const Parsed<T>& p) {
  EXPECT_TRUE(p.ok()) << p.error;
  return p.value.value_or(T{});
}
}  // namespace

// Each form read back through what it does to the signal or the reflection.
TEST(ConnectionTexts, EveryFormOfDutAndLoad) {
  EXPECT_DOUBLE_EQ(parsed(parseDut("through")).gainDb(10), 0);
  const Dut a = parsed(parseDut(" atten:60 "));
  EXPECT_EQ(a.text, "atten:60");
  EXPECT_NEAR(a.gainDb(10), -60, 1e-12);
  const Dut l = parsed(parseDut("lowpass:order=3, fc=1.8"));
  EXPECT_EQ(std::tuple(l.cutoffMHz, l.order), std::tuple(1.8, 3));
  // At the series resonance a crystal is its motional resistance; C0 may be left out.
  const Dut x = parsed(parseDut("crystal:fs=10,r=20,c=20f,c0=5p,r0=50"));
  EXPECT_DOUBLE_EQ(x.c0, 5e-12);
  EXPECT_NEAR(std::abs(x.transfer(10)), 50.0 / 70.0, 1e-4);
  const Dut noC0 = parsed(parseDut("CRYSTAL:FS=4,R=10,C=10f,R0=12.5"));
  EXPECT_NEAR(std::abs(noC0.transfer(4)), 12.5 / 22.5, 1e-9);

  EXPECT_NEAR(parsed(parseLoad("r=75")).gamma(10).real(), 0.2, 1e-12);
  EXPECT_NEAR(parsed(parseLoad("R = 1k")).r, 1000, 1e-12);
  EXPECT_EQ(parsed(parseLoad("open")).gamma(3), std::complex<double>(1.0));
  EXPECT_EQ(parsed(parseLoad("short")).gamma(3), std::complex<double>(-1.0));
  EXPECT_DOUBLE_EQ(parsed(parseLoad("rlc:r=50,l=1.5u,c=100p")).c, 100e-12);
  // Only R and L: an inductive load with no capacitor.
  EXPECT_GT(parsed(parseLoad("rlc:r=50,l=1u")).gamma(10).imag(), 0);
  kolm::test::InTempDir dir;
  ASSERT_TRUE(kolm::common::writeFileAtomic("a b.s1p", "# MHz S MA R 50\n1 0.5 90\n"));
  EXPECT_NEAR(parsed(parseLoad("s1p:a b.s1p")).gamma(1).imag(), 0.5, 1e-12);
}

TEST(ConnectionTexts, MalformedOnesNameTheBadPart) {
  for (const auto& c : kolm::test::goldenRows("connection_refusals.tsv", 3)) {
    const bool dut = c[0] == "dut";
    const std::string error = dut ? parseDut(c[1]).error : parseLoad(c[1]).error;
    EXPECT_THAT(error, HasSubstr(c[2])) << c[1];
    EXPECT_THAT(error, HasSubstr(dut ? "DUT '" : "load '")) << c[1];
  }
}

// The same reflection, 0.5 at +90 degrees, written three ways; a 75 ohm resistor
// in S, Z and Y against 75 ohm (0.2 against 50 ohm); an open in a 75 ohm file.
TEST(Touchstone, FormatsUnitsAndReferences) {
  for (const auto& [text, gamma, near] :
       {std::tuple{"# kHz S RI R 50\n1000 0 0.5\n", std::complex(0.0, 0.5), 1e-12},
        {"!c\n# MHz S DB R 50 ! trailing\n1 -6.0206 90\n", std::complex(0.0, 0.5), 1e-4},
        {"# GHz\n0.001 .5 90", std::complex(0.0, 0.5), 1e-12},
        {"# MHz S RI R 75\n1 0 0\n", std::complex(0.2, 0.0), 1e-12},
        {"# MHz Z RI R 75\n1 1 0\n", std::complex(0.2, 0.0), 1e-12},
        {"# MHz Y RI R 75\n1 1 0\n", std::complex(0.2, 0.0), 1e-12},
        {"# MHz S RI R 75\n1 1 0\n", std::complex(1.0, 0.0), 1e-12}}) {
    auto p = parseTouchstone(text);
    ASSERT_TRUE(p.ok()) << p.error;
    ASSERT_EQ(p.table.frequencyMHz.size(), 1u);
    EXPECT_NEAR(p.table.frequencyMHz[0], 1, 1e-12) << text;
    EXPECT_NEAR(std::abs(p.table.gamma[0] - gamma), 0, near) << text;
  }
  // CR LF lines; past the last point its value holds (the bridge test interpolates).
  auto t = parseTouchstone("# MHz S RI R 50\r\n1 0 0\r\n3 1 0\r\n");
  ASSERT_TRUE(t.ok());
  EXPECT_NEAR(t.table.at(9).real(), 1, 1e-12);
}

TEST(Touchstone, ErrorsGiveTheLine) {
  for (const auto& c : kolm::test::goldenRows("touchstone_refusals.tsv", 2)) {
    auto p = parseTouchstone(c[1]);
    EXPECT_FALSE(p.ok()) << c[1];
    EXPECT_THAT(p.error, HasSubstr(c[0])) << c[1];
  }
}

namespace {
// The four texts of what was loaded: DUT, load, board and quartz.
std::string loaded() {
  const auto o = loadPortOptions(kSimConfigFile);
  return o.dut + " | " + o.load + " | " + o.board + " | " + o.quartz;
}
}  // namespace

TEST(SimConfigFile, KeptBetweenRunsAndDamageFallsBackPartByPart) {
  kolm::test::InTempDir dir;
  kolm::common::SettingsKeeper keeper;
  EXPECT_EQ(loaded(), "through | r=50 | typical | ");
  EXPECT_FALSE(readPortOptions(kSimConfigFile).has_value());
  ASSERT_TRUE(
      savePortOptions({"crystal:fs=10,r=20,c=20f,c0=5p,r0=50", "rlc:r=50,l=1u", "ideal", "100"},
                      kSimConfigFile, keeper));
  EXPECT_EQ(*kolm::common::readTextFile("sim.cfg"),
            "\"crystal:fs=10,r=20,c=20f,c0=5p,r0=50\"\r\n\"rlc:r=50,l=1u\"\r\n\"ideal\"\r\n"
            "\"100\"\r\n");
  EXPECT_EQ(loaded(), "crystal:fs=10,r=20,c=20f,c0=5p,r0=50 | rlc:r=50,l=1u | ideal | 100");
  // A file of two records (kept before the board and quartz were): their defaults.
  ASSERT_TRUE(kolm::common::writeFileAtomic("sim.cfg", "\"atten:10\"\r\n\"open\"\r\n"));
  EXPECT_EQ(loaded(), "atten:10 | open | typical | ");
  // A bad board or quartz falls back alone.
  ASSERT_TRUE(savePortOptions({"atten:10", "open", "perfect", "-3"}, kSimConfigFile, keeper));
  EXPECT_EQ(loaded(), "atten:10 | open | typical | ");

  // An s1p file that has gone: the load falls back, the DUT stays, the text kept
  // is still there for the window to show.
  ASSERT_TRUE(savePortOptions({"atten:20", "s1p:gone.s1p"}, kSimConfigFile, keeper));
  EXPECT_EQ(loaded(), "atten:20 | r=50 | typical | ");
  EXPECT_EQ(readPortOptions(kSimConfigFile)->load, "s1p:gone.s1p");

  std::string error;
  EXPECT_FALSE(savePortOptions({"through", "s1p:a\"b"}, "sim.cfg", keeper, &error));
  EXPECT_THAT(error, HasSubstr("double quote"));
  EXPECT_EQ(readPortOptions(kSimConfigFile)->load, "s1p:gone.s1p");  // the old file stands
  // A file that is not whole names its line.
  for (const auto& [text, problem] :
       {std::pair{"\"atten:10\"\r\n", "line 1: the load is not there"},
        std::pair{"\"a\"\r\n\"open\"\r\n\"typical\"\r\n\"\"\r\n\"more\"\r\n",
                  "line 5: text after the four records"}}) {
    std::string said;
    parsePortOptions(text, &said);
    EXPECT_NE(said.find(problem), std::string::npos) << said;
  }
}

// The whole chain on the typical board, whose parts are not the read-out laws:
// the power meter's calibration has to earn its accuracy, and every flag shows
// where the parts run out of range (the analyzer's readings against the
// physics: ReadingsPromise).
using namespace kolm;
using sim::Board;
using test::SimRig;

namespace {

struct TypicalRig : SimRig {
  explicit TypicalRig(const std::string& dut = "through", const std::string& load = "r=50")
      : SimRig(dut, load, {}, Board::Typical) {}
  void connect(const std::string& dut, const std::string& load = "r=50") {
    ASSERT_EQ(sim->configure({dut, load, "typical"}), "");
  }

  // The two calibration commands at 10 MHz: 0 dBm straight through, -60 dBm
  // through a 60 dB attenuator.
  powermeter::Calibration calibrate() {
    common::ScriptedPrompter yes;
    powermeter::Calibration cal;
    connect("through");
    EXPECT_TRUE(calibrateLevel(powermeter::CalPoint::ZeroDbm, 10, instrument, yes, cal));
    connect("atten:60");
    EXPECT_TRUE(calibrateLevel(powermeter::CalPoint::Minus60Dbm, 10, instrument, yes, cal));
    return cal;
  }

  // One power meter pass; the levels and the true levels at the detector.
  struct Pass {
    std::vector<float> levels;
    std::vector<double> truth;
  };
  Pass sweep(double start, double stop, int points, const powermeter::Calibration& cal) {
    auto prepared =
        powermeter::prepareSweep({start, stop, static_cast<double>(points), 20, -80}, 400, cal);
    EXPECT_TRUE(prepared.plan) << prepared.error;
    Pass p;
    p.levels.assign(powermeter::kTraceSize, 0.f);
    powermeter::SweepJob job(
        instrument, *prepared.plan, cal, [] { return 0.0; }, p.levels);
    job.runToEnd();
    p.levels.resize(points + 1);
    const double dw = (prepared.plan->stopWord - prepared.plan->startWord) / points;
    for (int i = 0; i <= points; ++i) {
      hw::ddsSendWord(instrument,
                      static_cast<uint32_t>(std::nearbyint(prepared.plan->startWord + i * dw)));
      p.truth.push_back(sim->detectorDbm());
    }
    return p;
  }
};

double worst(const TypicalRig::Pass& p) {
  double e = 0;
  for (size_t i = 0; i < p.levels.size(); ++i) e = std::max(e, std::abs(p.levels[i] - p.truth[i]));
  return e;
}

}  // namespace

// Calibrated at 0 and -60 dBm, attenuators read within 1.5 dB of the truth from
// 1 to 30 MHz; with the default counts they do not.
TEST(TypicalBoard, CalibrationEarnsTheLevelAccuracyAndTheEndsAreFlagged) {
  TypicalRig rig;
  const powermeter::Calibration cal = rig.calibrate();
  EXPECT_GE(cal.countsAt0Dbm, 800);  // the advice the prompts give
  EXPECT_LE(cal.countsAt0Dbm, 900);
  EXPECT_NEAR(cal.countsAtMinus60Dbm, 200, 20);
  for (int atten : {10, 30, 50}) {
    rig.connect("atten:" + std::to_string(atten));
    const auto before = rig.sweep(1, 30, 29, powermeter::Calibration{});
    const auto after = rig.sweep(1, 30, 29, cal);
    EXPECT_LT(worst(after), 1.5) << atten;
    EXPECT_GT(worst(before), 1.5) << atten;  // the calibration visibly matters
    for (size_t i = 0; i < after.levels.size(); ++i)
      EXPECT_EQ(powermeter::levelLimits(cal).flag(after.levels[i]), powermeter::LevelFlag::Valid);
  }
  // The detector's two ends, flagged with either calibration: its noise floor
  // through a 90 dB attenuator and its top behind an amplifier.
  for (const powermeter::Calibration& c : {powermeter::Calibration{}, cal}) {
    const auto limits = powermeter::levelLimits(c);
    rig.connect("atten:90");
    for (float level : rig.sweep(1, 30, 10, c).levels)
      EXPECT_EQ(limits.flag(level), powermeter::LevelFlag::Floor) << level;
    rig.connect("amp:25");
    for (float level : rig.sweep(1, 30, 10, c).levels)
      EXPECT_EQ(limits.flag(level), powermeter::LevelFlag::Overload) << level;
  }
}
