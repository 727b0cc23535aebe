// The crystal's circuit fitted to curves the simulated instrument sweeps: its
// values land within their intervals, and a sweep too coarse for a fit falls
// back to the -3 dB points and says so.
#include "powermeter/crystal_fit.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <tuple>

#include "common/files.h"
#include "common/text.h"
#include "powermeter/crystal_batch.h"
#include "powermeter/crystal_promise.h"
#include "powermeter/ladder_filter.h"
#include "sim/ladder_network.h"
#include "support/golden.h"
#include "support/temp_dir.h"

using ::testing::Contains;
using ::testing::HasSubstr;
using namespace kolm;
using namespace kolm::powermeter;

namespace {

using Truth = test::GeneratedCrystal;

// The through path, then the crystal swept on the ideal board over
// `bandwidths` either side of `offset` bandwidths above its resonance in
// `points` steps, the span's ends as a box would hold them.
CrystalParameters measure(const Truth& t, double r0, int points, double bandwidths,
                          double offset = 0) {
  test::CrystalFixture fixture(sim::Board::Ideal, test::PromiseCalibration::Default, r0);
  const double half = bandwidths * t.bwHz(r0) / 1e6;
  const double centre = t.fsMHz + offset * t.bwHz(r0) / 1e6;
  auto typed = [](double mhz) { return common::numericValue(common::shortestText(mhz, 10)); };
  return fixture.measure(t, typed(centre - half), typed(centre + half), points);
}

}  // namespace

TEST(CrystalFit, ValuesLieWithinTheirIntervalsAndTheGoals) {
  // Low and high frequency, low and high R, a large and a small C0; the last
  // in a fixture of 100 ohm, where a low R loses only a few counts.
  const struct {
    Truth t;
    double r0;
  } cases[] = {{{4.9152, 12, 15e-15, 4e-12}, 50},
               {{27.79, 80, 25e-15, 6.5e-12}, 50},
               {{1.8, 40, 28e-15, 2.2e-12}, 50},
               {{10.7, 6, 10e-15, 5e-12}, 100}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.t.fsMHz);
    const CrystalParameters p = measure(c.t, c.r0, 1000, 3);
    ASSERT_TRUE(p.ok()) << p.error;
    ASSERT_EQ(p.method, CrystalMethod::Fit) << p.fallback;
    ASSERT_TRUE(p.lMilliHenry && p.csFemtoFarad && p.c0PicoFarad && p.fpMHz && p.q);
    const CrystalModel truth = c.t.model();
    const struct {
      const char* name;
      Measured m;
      double truth, goal;  // the goal as a fraction of the true value
    } values[] = {{"Fs", p.fsMHz, c.t.fsMHz, 0.5e-6},
                  {"R", p.rOhm, c.t.rOhm, 0.02},
                  {"L", *p.lMilliHenry, truth.lHenry * 1e3, 0.02},
                  {"Cs", *p.csFemtoFarad, c.t.csFarad * 1e15, 0.02},
                  {"C0", *p.c0PicoFarad, c.t.c0Farad * 1e12, 0.1},
                  // Fp - Fs follows C0: the goal is C0's.
                  {"Fp", *p.fpMHz, truth.fpHz() / 1e6, 0.1 * (1 - truth.fsHz / truth.fpHz())},
                  {"Q", *p.q, truth.q(), 0.04}};
    for (const auto& v : values) {
      const double error = std::fabs(v.m.value - v.truth);
      EXPECT_LE(error, v.m.pm) << v.name;
      // The goals hold for a fixture of 50 ohm on the ideal board.
      if (c.r0 == 50) {
        EXPECT_LE(error, v.goal * v.truth) << v.name;
      }
    }
    EXPECT_LT(p.rmsDb, 0.05);
  }
}

// The result box keeps its lines and their order; each value carries its interval.
TEST(CrystalFit, TheReportKeepsItsLines) {
  const CrystalParameters p = measure({4.9152, 12, 15e-15, 4e-12}, 50, 1000, 3);
  const std::string text = crystalParametersReport(p);
  size_t at = 0;
  for (const char* line :
       {"Fs  4.915", " MHz \u00b1 ", " Hz\nFp  4.92", "\nQ:  ", "\n\nR: ", " \u03a9 \u00b1 ",
        "\nL(mH): ", "\nCs(fF): ", "\nC0(pF): ", "\n\nFitted to 1001 levels"}) {
    const size_t next = text.find(line, at);
    ASSERT_NE(next, std::string::npos) << line << " in\n" << text;
    at = next;
  }
  // L in mH at any size (as the batch keeps it), Cs in the unit its size
  // reads best in, blank when not known; the passes averaged.
  CrystalParameters q = p;
  q.repeats = 4;
  struct Sized {
    double lMilliHenry, csFemtoFarad;  // 0: not known
    std::vector<std::string> lines;
  };
  for (const Sized& c : {Sized{0.5, 2000, {"\nL(mH): 0.500", "\nCs(pF): 2.00", "of 4 passes"}},
                         Sized{0, 0, {"\nL(mH):  \nCs(fF):  \n"}}}) {
    q.lMilliHenry = c.lMilliHenry > 0 ? std::optional(Measured{c.lMilliHenry}) : std::nullopt;
    q.csFemtoFarad = c.csFemtoFarad > 0 ? std::optional(Measured{c.csFemtoFarad}) : std::nullopt;
    const std::string report = crystalParametersReport(q);
    for (const std::string& want : c.lines)
      EXPECT_NE(report.find(want), std::string::npos) << want << " in\n" << report;
  }
}

TEST(CrystalFit, ACoarseSweepFallsBackToTheEdgesAndSaysSo) {
  const Truth t{10, 25, 20e-15, 5e-12};
  // 60 steps over 20 bandwidths either side: the -3 dB width spans 1.5 steps.
  const CrystalParameters p = measure(t, 50, 60, 20);
  ASSERT_TRUE(p.ok()) << p.error;
  EXPECT_EQ(p.method, CrystalMethod::Edges);
  EXPECT_NE(p.fallback.find("sweep steps"), std::string::npos) << p.fallback;
  EXPECT_NE(crystalParametersReport(p).find(p.fallback), std::string::npos);
  // The wider intervals of the estimate still hold the crystal.
  EXPECT_LE(std::fabs(p.fsMHz.value - t.fsMHz), p.fsMHz.pm);
  EXPECT_LE(std::fabs(p.rOhm.value - t.rOhm), p.rOhm.pm);
  ASSERT_TRUE(p.lMilliHenry);
  EXPECT_LE(std::fabs(p.lMilliHenry->value - t.model().lHenry * 1e3), p.lMilliHenry->pm);
  // A span that does not hold both -3 dB points is refused with the reason:
  // the level never falls 3 dB, falls on one side only, or peaks at an end.
  const struct {
    double bandwidths, offset;
    const char* cause;
  } cut[] = {{0.3, 0, "No resonance in the sweep"},
             {2.7, 2.3, "reaches beyond the sweep's start"},
             {1, 1.2, "at the sweep's start"},
             {1, -1.2, "at the sweep's end"}};
  for (const auto& c : cut)
    EXPECT_THAT(measure(t, 50, 400, c.bandwidths, c.offset).error, HasSubstr(c.cause)) << c.cause;
}

// The checks every fit passes before it is believed, on a sweep from below Fs
// to beyond Fp on the typical board with the default counts: the crystal
// itself passes them, each way a fit can go wrong is named; the fit of that
// sweep (once C0 1.70 pF, L 45 mH, printed as a fit) is right.
TEST(CrystalFit, ChecksNameWhatIsWrongWithABadFit) {
  test::CrystalFixture fixture(sim::Board::Typical, test::PromiseCalibration::Default);
  const Truth t{5.445065, 9.3, 21.44e-15, 2.77e-12};
  fixture.connect(t.dut(50));
  fixture.sweep(5.4387554, 5.4724066, 4000);
  const CrystalFitInput in = fixture.input();
  const CrystalModel truth = t.model();
  auto changed = [&](auto change) {
    CrystalModel m = truth;
    change(m);
    return m;
  };
  const struct {
    CrystalModel model;
    const char* problem;  // "": none
  } cases[] = {
      {truth, ""},
      {changed([](CrystalModel& m) { m.c0Farad = 1.70e-12; }), "its notch"},
      {changed([](CrystalModel& m) { m.fsHz = 5.43e6; }), "outside the sweep"},
      {changed([](CrystalModel& m) { m.c0Farad = 0.005e-12; }), "no crystal's"},
      {changed([](CrystalModel& m) { m.rOhm *= 4; }), "its level at the peak"},
      {changed([&](CrystalModel& m) { m.fsHz += 2 * t.bwHz(50); }), "its level at the peak"},
      {changed([](CrystalModel& m) { m.lHenry *= 1.1; }), "its notch"},
  };
  for (const auto& c : cases) {
    const std::string problem = fitProblem(in, c.model);
    if (*c.problem) {
      EXPECT_THAT(problem, HasSubstr(c.problem));
    } else {
      EXPECT_EQ(problem, "");
    }
  }
  const CrystalParameters p = fitCrystal(in);
  ASSERT_TRUE(p.ok() && p.c0PicoFarad && p.lMilliHenry) << p.error;
  EXPECT_EQ(p.method, CrystalMethod::Fit) << p.fallback;
  EXPECT_LE(std::fabs(p.c0PicoFarad->value - 2.77), p.c0PicoFarad->pm);
  EXPECT_LE(std::fabs(p.lMilliHenry->value - t.model().lHenry * 1e3), p.lMilliHenry->pm);
}

// A sweep that cannot hold a crystal is refused with its cause, before any fit.
TEST(CrystalFit, RefusalsNameTheirCause) {
  const ReferenceTable through{};
  std::vector<float> floor(kTraceSize, -95.f), peaked(kTraceSize, -95.f);
  peaked[50] = -10;
  const struct {
    const std::vector<float>& trace;
    int16_t points;
    float stopMHz;
    Calibration calibration;
    const char* cause;
    double r0Ohm = 50;
  } cases[] = {
      {peaked, 3, 11, {}, "at least 7 points"},
      {peaked, 100, 10, {}, "no span"},
      {peaked, 100, 11, {500, 500}, "counts are equal"},
      {floor, 100, 11, {}, "above the detector's floor"},
      {peaked, 100, 11, {}, "R0 is 0 ohm", 0},
  };
  for (const auto& c : cases)
    EXPECT_THAT(fitCrystal({.sweep = {c.trace, c.points, 10, c.stopMHz},
                            .through = through,
                            .r0Ohm = c.r0Ohm,
                            .calibration = c.calibration})
                    .error,
                HasSubstr(c.cause));
}

TEST(CrystalFit, DigitsFollowTheInterval) {
  for (const auto& c : test::goldenRows("deserved_digits.tsv", 4)) {
    const DeservedText t = deservedText(test::goldenNumber(c[0]), test::goldenNumber(c[1]), 2);
    EXPECT_EQ(std::pair(t.value, t.pm), std::pair(c[2], c[3])) << c[0];
  }
  // Whatever the digits, the interval shown holds the one computed.
  std::mt19937 random(7);
  std::uniform_real_distribution<double> decade(-4, 6), share(-9, 0);
  for (int i = 0; i < 2000; ++i) {
    const double value = std::pow(10.0, decade(random)), pm = value * std::pow(10.0, share(random));
    const DeservedText t = deservedText(value, pm, 2);
    const double shown = test::goldenNumber(t.value), shownPm = test::goldenNumber(t.pm);
    const double slack = 1e-13 * value;
    ASSERT_LE(shown - shownPm, value - pm + slack) << t.value << " +- " << t.pm;
    ASSERT_GE(shown + shownPm, value + pm - slack) << t.value << " +- " << t.pm;
    ASSERT_GE(test::goldenNumber(halfWidthText(pm, 2)), pm * (1 - 1e-12)) << pm;
  }
}

// What repeats did not spread over (the same levels read again) does not
// average down; a spread beyond the fits' own noise does, over the square
// root of the passes.
TEST(CrystalFit, RepeatsAverageOnlyWhatTheySpreadOver) {
  auto pass = [](double fs) {
    CrystalParameters p;
    p.fsMHz = {fs, 2e-6, 0.5e-6, 1e-6, 0};
    p.rOhm = {20, 0.7, 0.1, 0.5, 0};
    return p;
  };
  const CrystalParameters same = combineRepeats(std::vector(10, pass(10.000010)));
  EXPECT_EQ(same.repeats, 10);
  EXPECT_NEAR(same.fsMHz.pm, pass(0).fsMHz.pm, 1e-15);
  EXPECT_NEAR(same.rOhm.pm, pass(0).rOhm.pm, 1e-15);
  std::vector<CrystalParameters> spread;
  for (int k = 0; k < 4; ++k) spread.push_back(pass(10.000010 + (k % 2 ? 3e-6 : -3e-6)));
  const CrystalParameters m = combineRepeats(spread);
  EXPECT_NEAR(m.fsMHz.value, 10.000010, 1e-12);
  EXPECT_NEAR(m.fsMHz.sd, std::sqrt(4.0 / 3) * 3e-6, 1e-12);
  EXPECT_NEAR(m.fsMHz.pm, 2 * m.fsMHz.sd / 2 + 1e-6, 1e-12);
}

// The crystal batch table's file and the matching of crystals into groups.
namespace {

CrystalRow crystal(int number, std::string label, double fsMHz, double r) {
  CrystalRow row;
  row.number = number;
  row.label = std::move(label);
  row.fsMHz = fsMHz;
  row.rOhm = r;
  return row;
}

// The groups' members by name, "," between members and ";" between groups.
std::string names(const std::vector<CrystalRow>& rows, const std::vector<CrystalGroup>& groups) {
  std::string out;
  for (const CrystalGroup& g : groups)
    for (size_t k = 0; k < g.members.size(); ++k)
      out += (k ? "," : out.empty() ? "" : ";") + crystalName(rows[g.members[k]]);
  return out;
}

}  // namespace

TEST(CrystalBatch, CsvRoundTripAndRefusals) {
  CrystalRow full = crystal(1, "X 1", 9.999987, 21.5);
  full.fsMHz.pm = 0.8e-6;
  full.fsMHz.sd = 0.3e-6;
  full.fsRelPmMHz = 0.2e-6;
  full.fpMHz = 10.019912;
  full.lMilliHenry = {12.665, 0.4};
  full.csFemtoFarad = 20.01;
  full.c0PicoFarad = 5.02;
  full.q = 37150;
  full.repeats = 4;
  full.stepHz = 6.25;
  full.method = "fit";
  full.group = 2;
  full.warnings = {"The level does not fall, honestly.", "Second \"quoted\" one."};
  const std::vector<CrystalRow> rows = {full, crystal(7, "", 10.0001, 30)};
  const std::string csv = formatBatchCsv(rows);
  const BatchRead back = parseBatchCsv(csv);
  ASSERT_TRUE(back.ok()) << back.error;
  EXPECT_EQ(back.rows, rows);
  // A table written before intervals were kept is read as it was.
  const std::string header = "number,label,fs_mhz,fp_mhz,r_ohm,l_mh,cs_ff,c0_pf,q,warnings\r\n";
  const BatchRead old = parseBatchCsv(header + "3,\"A\",10.5,,22,13.1,18,,40000,\"w\"\r\n");
  ASSERT_TRUE(old.ok()) << old.error;
  EXPECT_EQ(std::tuple(old.rows[0].fsMHz, old.rows[0].lMilliHenry, old.rows[0].warnings),
            std::tuple(BatchValue(10.5), BatchValue(13.1), std::vector<std::string>{"w"}));

  for (const std::string& bad :
       {std::string(""), std::string("freq_mhz,level_dbm,flag\n"), header + "1,a,10,,20,,,,\n",
        header + "1,a,ten,,20,,,,,\n", header + "1.5,a,10,,20,,,,,\n",
        header + "1,\"a,10,,20,,,,,\n", header + "1,a,10,x,20,,,,,\n",
        std::string("number,label,fs_mhz,r_ohm,colour,warnings\n")}) {
    const BatchRead r = parseBatchCsv(bad);
    EXPECT_FALSE(r.ok()) << bad;
    EXPECT_TRUE(r.rows.empty());
  }
  EXPECT_TRUE(labelProblem("Y-3 (HC49)").empty());
  for (const std::string& bad :
       std::vector<std::string>{"a,b", "a\"b", "a\nb", std::string(41, 'x')})
    EXPECT_FALSE(labelProblem(bad).empty()) << bad;
}

TEST(CrystalBatch, MatchingTakesTheTightestGroupsFirst) {
  // Fs offsets in Hz from 10 MHz, and R.
  const std::vector<CrystalRow> rows = {
      crystal(1, "a1", 10.000000, 20),  crystal(2, "a2", 10.000040, 20),
      crystal(3, "a3", 10.000080, 21),  crystal(4, "b1", 10.000500, 20),
      crystal(5, "b2", 10.000510, 40),  crystal(6, "b3", 10.000520, 20),
      crystal(7, "b4", 10.000530, 22),  crystal(8, "lone", 10.002000, 20),
      crystal(9, "neg", 10.000505, -3), crystal(10, "", 10.000085, 20),
  };
  for (const auto& c : test::goldenRows("crystal_matching.tsv", 6)) {
    SCOPED_TRACE(c[0]);
    const auto groups =
        matchCrystals(rows, std::stoi(c[1]), test::goldenNumber(c[2]),
                      c[3] == "-" ? std::nullopt : std::optional(test::goldenNumber(c[3])));
    EXPECT_EQ(names(rows, groups), c[4]);
    const auto spreads = test::goldenNumbers(c[5]);
    ASSERT_EQ(groups.size(), spreads.size());
    for (size_t g = 0; g < groups.size(); ++g) EXPECT_NEAR(groups[g].fsSpreadHz, spreads[g], 1e-3);
  }
  EXPECT_EQ(matchReport(rows, matchCrystals(rows, 3, 100, 15.0)),
            "group=1 fs_spread_hz=30 fs_spread_hz_pm=0 members=b1,b3,b4\n"
            "group=2 fs_spread_hz=45 fs_spread_hz_pm=0 members=a2,a3,10\n");
  EXPECT_EQ(matchReport(rows, {}), "group=none\n");
}

// Six crystals 10 Hz apart (50 Hz in all), each known within 10 Hz: their
// intervals reach over 70 Hz, so a 50 Hz tolerance groups none of them and
// says it lies below what the measurement resolves; 80 Hz groups all six.
TEST(CrystalBatch, GroupsAreFormedOnIntervals) {
  std::vector<CrystalRow> rows;
  for (int i = 0; i < 6; ++i) {
    rows.push_back(crystal(i + 1, "c" + std::to_string(i + 1), 10 + i * 10e-6, 20));
    rows.back().fsMHz.pm = 25e-6;  // the absolute interval, wider
    rows.back().fsRelPmMHz = 10e-6;
    rows.back().stepHz = 5;
  }
  EXPECT_TRUE(matchCrystals(rows, 6, 50).empty());
  int below = 0;
  EXPECT_EQ(toleranceWarning(rows, 50, &below), "");
  EXPECT_EQ(below, 0);  // 50 Hz is above 2 x 10 Hz and the 5 Hz step
  EXPECT_EQ(toleranceWarning(rows, 15, &below), "tolerance below resolution");
  EXPECT_EQ(below, 6);
  EXPECT_EQ(toleranceWarning(rows, 4), "tolerance below resolution");
  const auto groups = matchCrystals(rows, 6, 80);
  ASSERT_EQ(groups.size(), 1u);
  EXPECT_NEAR(groups[0].fsSpreadHz, 50, 1e-6);
  EXPECT_NEAR(groups[0].fsSpreadPmHz, 20, 1e-6);
  setGroups(rows, groups);
  for (const CrystalRow& r : rows) EXPECT_EQ(r.group, 1);
  setGroups(rows, {});
  EXPECT_FALSE(rows[0].group);
}

// Ladder filters designed from measured crystals: the published coefficients,
// a design's prediction against the simulator's own solution of the built
// circuit and against a sweep of it, and the design file.
namespace {

// Four 4.9152 MHz crystals a few hertz apart, as a matched group measures.
std::vector<LadderCrystal> group() {
  std::vector<LadderCrystal> xs;
  const double offsets[] = {0, 11, 4, 17}, rs[] = {14, 11, 18, 12}, c0s[] = {3.8, 4.2, 4.0, 3.6};
  for (int i = 0; i < 4; ++i)
    xs.push_back({"X" + std::to_string(i + 1),
                  {4.9152e6 + offsets[i], rs[i], 0.0703 * (1 + 0.01 * i), c0s[i] * 1e-12}});
  return xs;
}

}  // namespace

TEST(LadderFilter, CoefficientsAreThePublishedOnes) {
  // Butterworth n = 4 and Chebyshev 0.5 dB n = 3, as tabulated for coupled
  // resonators; Cohn's are equal couplings with q k = 1.
  const LadderCoefficients b = ladderCoefficients({LadderShape::Butterworth, 0}, 4);
  EXPECT_NEAR(b.q1, 0.7654, 1e-4);
  ASSERT_EQ(b.k.size(), 3u);
  EXPECT_NEAR(b.k[0], 0.8409, 1e-4);
  EXPECT_NEAR(b.k[1], 0.5412, 1e-4);
  const LadderCoefficients c = ladderCoefficients({LadderShape::Chebyshev, 0.5}, 3);
  EXPECT_NEAR(c.q1, 1.5963, 1e-3);
  EXPECT_NEAR(c.qK, 1.5963, 1e-3);
  EXPECT_NEAR(c.k[0], 0.7558, 1e-3);
  const LadderCoefficients even = ladderCoefficients({LadderShape::Chebyshev, 0.5}, 4);
  EXPECT_NEAR(even.qK, even.q1, 1e-9);  // equal terminations
  for (int n = 2; n <= 8; ++n) {
    const LadderCoefficients cohn = ladderCoefficients({LadderShape::Cohn, 0}, n);
    for (double k : cohn.k) EXPECT_NEAR(k * cohn.q1, 1, 1e-9) << n;
  }
  EXPECT_NEAR(ladderCoefficients({LadderShape::Cohn, 0}, 2).q1, std::sqrt(2.0), 1e-3);
}

TEST(LadderFilter, PreferredValues) {
  const struct {
    double value, e12, e24;
  } cases[] = {{33.6e-12, 33e-12, 33e-12}, {948, 1000, 910}, {8.7, 8.2, 9.1}, {97, 100, 100}};
  for (const auto& c : cases) {
    EXPECT_NEAR(preferredValue(c.value, ESeries::E12), c.e12, c.e12 * 1e-9) << c.value;
    EXPECT_NEAR(preferredValue(c.value, ESeries::E24), c.e24, c.e24 * 1e-9) << c.value;
  }
}

// The worked design: a 4-pole Cohn filter of 2.4 kHz. Its prediction meets the
// goals; the simulator's nodal solution of the same parts agrees; a sweep of
// the built filter through the simulated instrument agrees within 0.5 dB
// across the passband.
TEST(LadderFilter, CohnDesignPredictedSolvedAndSwept) {
  const LadderDesign d = designLadder(group(), {4, 2400, {LadderShape::Cohn, 0}, std::nullopt});
  ASSERT_TRUE(d.ok()) << d.error;
  ASSERT_TRUE(d.predicted.bw3Hz);
  EXPECT_NEAR(*d.predicted.bw3Hz, 2400, 0.05 * 2400);
  EXPECT_NEAR(d.predicted.rippleDb, d.shapeRippleDb, 0.3);
  for (size_t i = 1; i < d.network.shunt.size(); ++i)  // alike but for the crystals' own Cs
    EXPECT_NEAR(d.network.shunt[i], d.network.shunt[0], 0.02 * d.network.shunt[0]);
  const double f0 = d.predicted.centreHz, bw = *d.predicted.bw3Hz;
  for (const LadderNetwork* n : {&d.network, &d.e12, &d.e24})
    for (double f = f0 - 3 * bw; f <= f0 + 3 * bw; f += bw / 40)
      EXPECT_NEAR(ladderGainDb(*n, f), 20 * std::log10(std::abs(sim::ladderNodalTransfer(*n, f))),
                  1e-6);

  test::InTempDir dir;
  std::string error;
  ASSERT_TRUE(common::writeFileAtomic("design.txt", formatLadderFile(d.network), &error)) << error;
  test::CrystalFixture fixture(sim::Board::Ideal, test::PromiseCalibration::Default);
  fixture.connect("ladder:design.txt");
  fixture.sweep((f0 - bw / 2) / 1e6, (f0 + bw / 2) / 1e6, 200);
  const SweepPlan& plan = fixture.plan();
  const double through = throughLevel(fixture.through(), f0 / 1e6, 60.0 / 591).levelDb;
  for (int i = 0; i <= 200; ++i) {
    const double f = (plan.viewStartMHz + i * (plan.viewStopMHz - plan.viewStartMHz) / 200.0) * 1e6;
    EXPECT_NEAR(fixture.trace()[i] - through, ladderGainDb(d.network, f), 0.5) << f;
  }
}

TEST(LadderFilter, DesignFileRoundTripAndRefusals) {
  const LadderDesign d =
      designLadder(group(), {4, 2400, {LadderShape::Chebyshev, 0.2}, std::nullopt});
  ASSERT_TRUE(d.ok()) << d.error;
  std::string error;
  const auto back = parseLadderFile(formatLadderFile(d.network), &error);
  ASSERT_TRUE(back) << error;
  ASSERT_EQ(back->crystals.size(), 4u);
  for (double f : {4.9150e6, 4.9162e6, 4.9171e6})
    EXPECT_NEAR(ladderGainDb(*back, f), ladderGainDb(d.network, f), 1e-3);
  for (const auto& c : test::goldenRows("ladder_refusals.tsv", 2)) {
    EXPECT_FALSE(parseLadderFile(c[0], &error)) << c[0];
    EXPECT_THAT(error, HasSubstr(c[1])) << c[0];
  }
  for (const char* shape : {"chebyshev:5", "chebyshev:x", "elliptic"})
    EXPECT_FALSE(parseLadderShape(shape, &error)) << shape;
  EXPECT_EQ(parseLadderShape(" Chebyshev:0.5 ", &error)->rippleDb, 0.5);

  // Each refusal and warning names its cause.
  std::vector<LadderCrystal> unmeasured = group(), lossy = group();
  unmeasured[2].model.lHenry = 0;
  for (LadderCrystal& x : lossy) x.model.rOhm = 5000;
  const struct {
    std::vector<LadderCrystal> crystals;
    LadderSpec spec;
    const char* error;    // or, when empty,
    const char* warning;  // a warning of a design made
  } cases[] = {
      {{group()[0]}, {1, 2400, {}, std::nullopt}, "2 to 8 crystals", ""},
      {group(), {9, 2400, {}, std::nullopt}, "2 to 8 crystals", ""},
      {{group()[0]}, {4, 2400, {}, std::nullopt}, "needs 4 crystals; 1 were", ""},
      {unmeasured, {4, 2400, {}, std::nullopt}, "Crystal X3 has no measured", ""},
      {group(), {4, 1e6, {}, std::nullopt}, "at most 1 %", ""},
      {group(), {4, 2400, {}, 0.0}, "termination must be above 0", ""},
      {lossy, {4, 300, {}, std::nullopt}, "lose too much for this bandwidth", ""},
      {group(), {4, 2400, {}, 5000.0}, "", "with 5000.0 ohm the response differs"},
  };
  for (const auto& c : cases) {
    const LadderDesign d = designLadder(c.crystals, c.spec);
    if (*c.error)
      EXPECT_THAT(d.error, HasSubstr(c.error));
    else
      EXPECT_THAT(d.warnings, Contains(HasSubstr(c.warning))) << d.error;
  }
}

// A row's crystal as a circuit: MHz, mH and pF back in SI units; no L, no circuit.
TEST(CrystalBatch, ARowGivesItsCircuitInSiUnits) {
  CrystalRow row = crystal(1, "X1", 4.9152, 12.5);
  EXPECT_FALSE(crystalModel(row));
  row.lMilliHenry = BatchValue(85.25, 0.4);
  for (double c0PicoFarad : {0.0, 4.5}) {
    if (c0PicoFarad > 0) row.c0PicoFarad = BatchValue(c0PicoFarad);
    const auto m = crystalModel(row);
    ASSERT_TRUE(m);
    EXPECT_DOUBLE_EQ(m->fsHz, 4.9152e6);
    EXPECT_DOUBLE_EQ(m->rOhm, 12.5);
    EXPECT_DOUBLE_EQ(m->lHenry, 85.25e-3);
    EXPECT_DOUBLE_EQ(m->c0Farad, c0PicoFarad * 1e-12);
  }
}
