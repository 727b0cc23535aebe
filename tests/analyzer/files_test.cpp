#include "analyzer/files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <complex>
#include <fstream>
#include <limits>
#include <string>
#include <tuple>

#include "analyzer/analysis.h"
#include "analyzer/vec_bytes.h"
#include "common/files.h"
#include "common/records.h"
#include "sim/touchstone.h"
#include "support/cli_run.h"
#include "support/golden.h"
#include "support/temp_dir.h"

using namespace kolm::analyzer;
using kolm::common::readTextFile;
using kolm::common::writeFileAtomic;

TEST(AntIni, WritesTheBoxTextsInTheWorkingDirectoryAndReadsTheirNumbers) {
  kolm::test::InTempDir here;
  kolm::common::SettingsKeeper keeper;
  using kolm::common::NumberText;
  ASSERT_TRUE(saveAntIni({NumberText("3.5"), NumberText("28 MHz"), NumberText("1000")},
                         kSettingsFile, keeper));
  const auto file = here.path() / "ant.ini";
  EXPECT_EQ(readTextFile(file).value(), "\"3.5\"\r\n\"28 MHz\"\r\n\"1000\"\r\n");
  auto s = readAntIni(kSettingsFile);
  EXPECT_EQ(std::tuple(s.start, s.stop, s.points), std::tuple(3.5, 28, 1000));

  ASSERT_TRUE(writeFileAtomic(file, "\"1\"\r\n\"2\"\r\n\"100.5\"\r\n"));
  EXPECT_EQ(readAntIni(file).points, 100);
  ASSERT_TRUE(writeFileAtomic(file, "1,2,101.5"));
  EXPECT_EQ(readAntIni(file).points, 102);
}

TEST(AntIni, DefaultsWhenMissingShortOrUnusable) {
  kolm::test::TempDir dir;
  auto file = dir.path() / "ant.ini";
  auto check = [&](const char* what) {
    auto s = readAntIni(file);
    EXPECT_EQ(std::tuple(s.start, s.stop, s.points), std::tuple(3, 30, 500)) << what;
  };
  check("no file");
  for (const char* text :
       {"\"7\"\r\n\"9\"\r\n", "\"7\"\r\n\"9\"\r\n\"0\"\r\n", "\"7\"\r\n\"9\"\r\n\"20002\"\r\n",
        "\"7\"\r\n\"9\"\r\n\"40000\"\r\n", "\"7\"\r\n\"7\"\r\n\"100\"\r\n"}) {
    ASSERT_TRUE(writeFileAtomic(file, text));
    check(text);
  }
}

TEST(Vna, FiveHundredPointsGive1005LinesAndReadBack) {
  Measurement m;
  m.fillSyntheticMeasurement();
  const std::string text = formatVna(500, 3, 30, m.live);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\r'), 1005);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1005);

  auto r = parseVna(text);
  ASSERT_TRUE(r.ok()) << r.error;
  EXPECT_EQ(std::tuple(r.chart.points, r.chart.start, r.chart.stop), std::tuple(500, 3, 30));
  ASSERT_EQ(r.chart.returnLossCounts.size(), 501u);
  EXPECT_TRUE(std::equal(r.chart.returnLossCounts.begin(), r.chart.returnLossCounts.end(),
                         m.live.returnLossCounts.begin()));
  EXPECT_TRUE(std::equal(r.chart.phaseCounts.begin(), r.chart.phaseCounts.end(),
                         m.live.phaseCounts.begin()));
  std::vector<float> f(kFrequencyEntries, -1.0f);
  rebuildFrequencies(f, r.chart.points, r.chart.start, r.chart.stop);
  for (int i = 0; i <= 500; ++i) EXPECT_EQ(f[i], m.live.frequencies[i]) << i;
  EXPECT_EQ(f[501], -1.0f);
}

TEST(Vna, SmallFileOnDiskAndTheOtherFormsItIsReadIn) {
  kolm::test::TempDir dir;
  Channels c;
  c.returnLossCounts[0] = 5;
  c.returnLossCounts[1] = 6;
  c.phaseCounts[0] = 7;
  c.phaseCounts[1] = 8;
  const auto file = dir.path() / "a.vna";
  ASSERT_TRUE(writeFileAtomic(file, formatVna(1, 0.5, 0.75, c)));
  EXPECT_EQ(readTextFile(file).value(), "1\r\n0.5\r\n0.75\r\n5\r\n6\r\n7\r\n8\r\n");
  auto r = readVna(file);
  ASSERT_TRUE(r.ok()) << r.error;
  EXPECT_EQ(r.chart.start, 0.5);
  EXPECT_EQ(r.chart.phaseCounts, (std::vector<int16_t>{7, 8}));
  EXPECT_NE(readVna(dir.path() / "none.vna").error.find("cannot be opened"), std::string::npos);
  // Quoted, without the leading zero, two values on a line, blank lines at the end.
  auto other = parseVna("\"1\"\r\n.5\r\n.75\r\n5,6\r\n7\r\n8\r\n\r\n");
  ASSERT_TRUE(other.ok()) << other.error;
  EXPECT_EQ(other.chart.stop, 0.75);
  EXPECT_EQ(other.chart.phaseCounts[1], 8);
}

TEST(Vna, RefusesFilesThatDoNotFitWithTheReason) {
  for (const auto& c : kolm::test::goldenRows("vna_refusals.tsv", 2)) {
    const auto r = parseVna(c[1]);
    EXPECT_FALSE(r.ok()) << c[1];
    EXPECT_NE(r.error.find(c[0]), std::string::npos) << c[1] << ": " << r.error;
  }
}

TEST(Csv, HeaderOneRowPerPointAndTheFlag) {
  Channels c;                   // readings of 0: a matched load at the return-loss limit
  c.returnLossCounts[1] = 512;  // open circuit: no finite impedance
  c.returnLossCounts[2] = 256;
  c.phaseCounts[2] = 512;
  // Infinite values are "inf", never the SWR of rho 0.999; each value's
  // half-width follows the values (none for a value that is not a number);
  // flag words are separated by a blank, and a lone point's reactance has no
  // sign.
  const std::string csv = formatCsv(2, 10, 12, c);
  const size_t head = csv.find("freq_mhz");  // after what the values stand for
  EXPECT_EQ(csv.substr(head, csv.find('\r', head) - head),
            "freq_mhz,rl_db,phase_deg,z_ohm,r_ohm,x_ohm,swr,rl_db_pm,phase_deg_pm,z_ohm_pm,"
            "r_ohm_pm,x_ohm_pm,swr_pm,flag");
  const kolm::common::CsvTable table = kolm::common::readCsvTable(csv);
  ASSERT_EQ(table.error, "");
  const auto& rows = table.rows;
  ASSERT_EQ(rows.size(), 3u);
  using Row = std::vector<std::string>;
  // At the bottom of channel A's range: bounds, the directivity taken in.
  EXPECT_EQ(Row(rows[0].begin(), rows[0].begin() + 7),
            (Row{"10", "23.33998", "0", "53.26554", "53.26554", "0", "1.1461"}));
  EXPECT_EQ(rows[0][7], "");
  EXPECT_EQ(rows[0][12], "");
  EXPECT_EQ(rows[0][13], "rl_limit sign_unknown");
  EXPECT_EQ(Row(rows[1].begin(), rows[1].begin() + 7),
            (Row{"11", "0", "0", "inf", "inf", "inf", "inf"}));
  EXPECT_EQ(Row(rows[1].begin() + 9, rows[1].end() - 1), (Row{"", "", "", ""}));
  EXPECT_EQ(rows[1][13].substr(0, 4), "open");
  EXPECT_EQ(Row(rows[2].begin(), rows[2].begin() + 7),
            (Row{"12", "15", "90", "50.01373", "46.94755", "17.24242", "1.432581"}));
  // 15 dB at 90 degrees read through a 30 dB bridge: every value within its
  // mark's limits; alone, no sign.
  EXPECT_EQ(rows[2][13], "sign_unknown");
  for (const Row& row : rows) {
    ASSERT_EQ(row.size(), 14u);
    for (size_t q : {7u, 8u}) {
      if (&row == &rows[0] && q == 7) continue;                  // a bound
      EXPECT_GT(kolm::test::goldenNumber(row[q]), 0) << row[0];  // "inf" too
    }
  }
}

TEST(Touchstone, OnePortFileThatRebuildsTheImpedance) {
  Measurement m;
  m.points = 300;
  m.fillSyntheticMeasurement();
  m.live.returnLossCounts[7] = 512;  // an open circuit among them
  m.live.phaseCounts[7] = 0;
  m.live.returnLossCounts[8] = 513;  // one count of noise beyond a total reflection
  m.live.phaseCounts[8] = 0;
  ExportSource keep;
  keep.keepUnknownSigns = true;
  const std::string text = formatTouchstone(exportTrace(300, 3, 30, m.live), &m.live, keep);
  EXPECT_EQ(text.find("# MHz S RI R 50\r\n"), text.find('#'));
  // Flagged frequencies in runs, before the option line.
  const size_t flagged = text.find("\r\n! flagged (MHz): 3 ");
  ASSERT_NE(flagged, std::string::npos) << text.substr(0, 300);
  EXPECT_LT(flagged, text.find('#'));
  EXPECT_NE(text.find(", 3.63 open"), std::string::npos);
  EXPECT_NE(text.find(", 3.72 invalid"), std::string::npos);
  // Read back as the simulator reads a load.
  const auto back = kolm::sim::parseTouchstone(text);
  ASSERT_TRUE(back.ok()) << back.error;
  const auto& f = back.table.frequencyMHz;
  const auto& s11 = back.table.gamma;
  ASSERT_EQ(f.size(), 301u);
  EXPECT_EQ(f.back(), 30);
  EXPECT_EQ(s11[7], std::complex<double>(1, 0));
  EXPECT_NEAR(std::abs(s11[8]), 1, 1e-9);
  for (int i = 0; i <= 300; i += 13) {
    const PointResult p = evaluatePoint(m.live.returnLossCounts[i], m.live.phaseCounts[i]);
    ASSERT_TRUE(p.finite);
    const PointValues& v = p.values;
    const auto z = 50.0 * (1.0 + s11[i]) / (1.0 - s11[i]);
    EXPECT_NEAR(z.real(), v[kResistance], 1e-3 * std::max(1.0f, std::fabs(v[kResistance])));
    EXPECT_NEAR(std::fabs(z.imag()), v[kReactance],
                1e-3 * std::max(1.0f, std::fabs(v[kReactance])));
  }

  // A span swept downwards is written in increasing frequency.
  const auto down =
      kolm::sim::parseTouchstone(formatTouchstone(exportTrace(300, 30, 3, m.live), &m.live, keep));
  ASSERT_TRUE(down.ok()) << down.error;
  EXPECT_EQ(down.table.frequencyMHz.front(), 3);
  // The same readings the other way round are a load whose |X| changes the
  // other way: the sign of the reactance follows the frequency.
  EXPECT_EQ(down.table.gamma.front().real(), s11.back().real());
  EXPECT_EQ(std::fabs(down.table.gamma.front().imag()), std::fabs(s11.back().imag()));
}

// Every export says what its values stand for before its data, and a .s1p
// leaves out the points whose reactance's sign is unknown, listing them,
// unless told to keep them.
TEST(Exports, SayWhatTheyHoldAndLeaveUnknownSignsOut) {
  Measurement m;
  m.points = 300;
  m.fillSyntheticMeasurement();
  const TraceValues t = exportTrace(300, 3, 30, m.live);
  // Points of unknown sign, and whether zero lies inside their reactance's
  // interval (they are then written with X = 0).
  std::vector<std::pair<double, bool>> unknown;
  for (size_t i = 0; i < t.flags.size(); ++i)
    if (flagWords(t, i).find("sign_unknown") != std::string::npos)
      unknown.emplace_back(t.frequencies[i],
                           t.flags[i] == PointFlag::RlLimit ||
                               t.values[kReactance][i] <= t.halfWidths[kReactance][i]);
  const auto zero = std::count_if(unknown.begin(), unknown.end(), [](auto u) { return u.second; });
  ASSERT_GT(zero, 0);
  ASSERT_LT(zero, static_cast<long>(unknown.size()));
  const ExportSource far{parseCable("RG58:10", nullptr), "", true};
  const struct {
    ExportSource source;
    std::vector<std::string> says;
  } cases[] = {
      {{},
       {"no cable", "uncorrected", "never checked",
        "end=bridge correction=none figures=published"}},
      {far,
       {"far end of the cable taken out: RG58, 10 m, VF 0.66, 16.1 dB per 100 m at 100 MHz, 50 ohm",
        "end=far cable_length_m=10 cable_vf=0.66 cable_loss_db_per_100m=16.1 "
        "cable_loss_at_mhz=100 cable_z0_ohm=50 correction=none figures=measured"}},
      {{far.cable, "", true, true}, {"end=far"}},
      {{{}, "", false, false, true}, {"Simulated instrument", "instrument=simulated end=bridge"}},
  };
  for (const auto& c : cases) {
    const std::string csv = formatCsv(t, c.source);
    const std::string s1p = formatTouchstone(t, &m.live, c.source);
    const size_t header = csv.find("freq_mhz,");
    for (const std::string& words : c.says) {
      EXPECT_LT(csv.find(words), header) << words;
      EXPECT_LT(s1p.find(words), s1p.find("\n#")) << words;
    }
    for (size_t at = 0; at < header; at = csv.find('\n', at) + 1)
      EXPECT_EQ(csv.substr(at, 2), "# ");
    const auto back = kolm::sim::parseTouchstone(s1p);
    ASSERT_TRUE(back.ok()) << back.error;
    const auto& f = back.table.frequencyMHz;
    const bool keep = c.source.keepUnknownSigns;
    EXPECT_EQ(f.size(), 301 - (keep ? 0 : unknown.size() - static_cast<size_t>(zero)));
    EXPECT_EQ(s1p.find("left out, sign unknown") == std::string::npos, keep);
    EXPECT_EQ(s1p.find("written inductive and flagged sign_unknown") != std::string::npos, keep);
    for (auto [mhz, mayBeZero] : unknown) {
      const auto at =
          std::find_if(f.begin(), f.end(), [&](double g) { return std::fabs(g - mhz) < 1e-9; });
      ASSERT_EQ(at != f.end(), keep || mayBeZero) << mhz;
      if (!keep && mayBeZero) {
        EXPECT_EQ(back.table.gamma[static_cast<size_t>(at - f.begin())].imag(), 0);
      }
    }
    // Every point is written or lies in a run listed as left out ("10.02 to 10.1, 12.5").
    std::vector<std::pair<double, double>> runs;
    if (const size_t listed = s1p.find("sign unknown (MHz): "); listed != std::string::npos) {
      const std::string rest = s1p.substr(listed + 20, s1p.find('\r', listed) - listed - 20) + ", ";
      for (size_t at = 0, comma; (comma = rest.find(", ", at)) != std::string::npos;
           at = comma + 2) {
        const std::string run = rest.substr(at, comma - at);
        const size_t to = run.find(" to ");
        runs.emplace_back(
            kolm::test::goldenNumber(run.substr(0, to)),
            kolm::test::goldenNumber(to == std::string::npos ? run : run.substr(to + 4)));
      }
    }
    for (double mhz : t.frequencies)
      EXPECT_NE(
          std::any_of(f.begin(), f.end(), [&](double g) { return std::fabs(g - mhz) < 1e-9; }),
          std::any_of(runs.begin(), runs.end(),
                      [&](auto r) { return mhz > r.first - 1e-9 && mhz < r.second + 1e-9; }))
          << mhz;
    EXPECT_EQ(touchstonePoints(t, c.source), f.size());
  }
}

// The .vec reader: binary, little-endian, n from the file's length, the five
// blocks, the 877 - M conversion and every way a file is refused.
using kolm::test::ramp;
using kolm::test::vec;

TEST(Vec, ThousandPointsConvertedWithTheFirstRepeatingTheSecond) {
  const std::string bytes = ramp(1000, 1.8f, 30.5f);
  ASSERT_EQ(bytes.size(), 16024u);
  const auto r = parseVec(bytes);
  ASSERT_TRUE(r.ok()) << r.message();
  const ChartData& c = r.chart;
  EXPECT_EQ(c.points, 1000);
  ASSERT_EQ(c.returnLossCounts.size(), 1001u);
  // 877 - M: M = 365 + i gives 512 - i.
  EXPECT_EQ(std::tuple(c.returnLossCounts[1], c.returnLossCounts[499], c.phaseCounts[7]),
            std::tuple(511, 13, 14));
  EXPECT_EQ(std::pair(c.returnLossCounts[0], c.phaseCounts[0]),
            std::pair(c.returnLossCounts[1], c.phaseCounts[1]));
  // The single-precision span as the decimals it stands for.
  EXPECT_EQ(std::pair(c.start, c.stop), std::pair(1.8, 30.5));
}

TEST(Vec, MagnitudeAndPhaseConversion) {
  // M = 365 is a return loss of 0 dB (512), M = 877 is 30 dB (0); halves go to
  // the even integer. Bytes after the stop that make no whole step are ignored.
  const auto r =
      parseVec(vec({0, 365, 877, 364.5f, 363.5f, 1000}, {0, 90, 10.5f, 11.5f, -3, 0}, 10, 20) +
               std::string(7, '\x7f'));
  ASSERT_TRUE(r.ok()) << r.message();
  EXPECT_EQ(r.chart.points, 5);
  EXPECT_EQ(r.chart.returnLossCounts, (std::vector<int16_t>{512, 512, 0, 512, 514, -123}));
  EXPECT_EQ(r.chart.phaseCounts, (std::vector<int16_t>{90, 90, 10, 12, -3, 0}));
}

// An equal span is "ERRORE!" and is found before values that would not fit;
// every other fault is "ERRORE" with its reason.
TEST(Vec, RefusedFilesAreErroreWithTheReason) {
  auto refused = [](const std::string& bytes, const char* words,
                    VecFault fault = VecFault::Invalid) {
    const auto r = parseVec(bytes);
    EXPECT_EQ(r.fault, fault) << words;
    EXPECT_EQ(r.message().rfind(fault == VecFault::Invalid ? "ERRORE\n" : "ERRORE!\n", 0), 0u)
        << r.message();
    EXPECT_NE(r.reason.find(words), std::string::npos) << r.reason;
    EXPECT_TRUE(r.chart.returnLossCounts.empty());
  };
  // 24 bytes: n = 0, one value from each block.
  refused(vec({365}, {0}, 14, 14), "", VecFault::EqualSpan);
  refused(vec({365}, {0}, 14, 15), "n = 0");
  refused(vec({1e9f, 0}, {0, 0}, 7, 7), "", VecFault::EqualSpan);
  // One float step apart is the same decimal span: refused alike, so no chart
  // with a span of 0 is opened (or saved as a .vna that cannot be read back).
  refused(vec({365, 365}, {0, 0}, 3.1f, std::nextafter(3.1f, 4.0f)), "", VecFault::EqualSpan);
  const auto apart = parseVec(vec({365, 365}, {0, 0}, 3.1f, 3.100001f));
  ASSERT_TRUE(apart.ok()) << apart.reason;
  EXPECT_TRUE(parseVna(formatVna(apart.chart)).ok());

  refused("", "0 bytes");
  refused(std::string(23, '\0'), "at least 24");
  // The step count from the length rounds halves to even: 32 bytes are n = 0.5.
  refused(vec({365}, {0}, 1, 2) + std::string(8, '\0'), "n = 0");
  // 33 bytes: n rounds to 1, which needs 40.
  refused(vec({365}, {0}, 1, 2) + std::string(9, '\0'), "n = 1 needs 40");
  // 80 bytes: 3.5 rounds to 4 steps, which need 88.
  refused(vec({1, 2, 3, 4}, {1, 2, 3, 4}, 1, 2) + std::string(8, '\0'), "n = 4 needs 88");
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  refused(vec({365, 365}, {0, 0}, nan, 2), "not a finite number");
  refused(vec({365, 365}, {0, 0}, 1, inf), "not a finite number");
  refused(vec({365, nan}, {0, 0}, 1, 2), "Magnitude value 1");
  refused(vec({365, -40000}, {0, 0}, 1, 2), "Magnitude value 1");
  refused(vec({365, 365, 365}, {0, 0, inf}, 1, 2), "Phase value 2");
  refused(vec({365, 365}, {40000, 0}, 1, 2), "Phase value 0");
  // More steps than the arrays take.
  refused(ramp(kMaxPoints + 1, 1, 2), "at most 20001");
}

TEST(Vec, LargestFileReadsAndFilesOnDisk) {
  kolm::test::TempDir dir;
  const auto largest = dir.path() / "largest.vec";
  {
    std::ofstream out(largest, std::ios::binary);
    out << ramp(kMaxPoints, 0.1f, 60);
  }
  const auto r = readVec(largest);
  ASSERT_TRUE(r.ok()) << r.message();
  EXPECT_EQ(std::pair(r.chart.points, r.chart.stop), std::pair(int16_t{kMaxPoints}, 60.0));

  const auto missing = readVec(dir.path() / "none.vec");
  EXPECT_EQ(missing.fault, VecFault::Invalid);
  EXPECT_NE(missing.reason.find("cannot be opened"), std::string::npos);
  EXPECT_EQ(readVec(dir.path()).fault, VecFault::Invalid);  // a folder

  // Far too large: refused from its length alone.
  const auto huge = dir.path() / "huge.vec";
  { std::ofstream out(huge, std::ios::binary); }
  std::filesystem::resize_file(huge, 100u << 20);
  const auto big = readVec(huge);
  EXPECT_EQ(big.fault, VecFault::Invalid);
  EXPECT_NE(big.reason.find("at most 20001"), std::string::npos);
}

namespace {

class CliAnalyze : public kolm::test::CliTest {
 protected:
  int run(const std::string& arguments) {
    last = kolm::test::runCli(arguments);
    return last.status;
  }
  std::string file(const std::string& name) { return readTextFile(name).value_or("<missing>"); }
  kolm::test::CliResult last;
};

}  // namespace

// Each format, and the generator left off: the last frame loads word 0
// (instruction 4, then 32 zero bits, then the update), the data lines end low.
TEST_F(CliAnalyze, WritesEachFormatAndLeavesTheGeneratorOff) {
  ASSERT_EQ(run("--trace t.txt analyze --start 3 --stop 30 --points 500 --out a.vna"), 0)
      << last.err;
  EXPECT_EQ(last.out, "points=501 file=a.vna\n");
  EXPECT_EQ(file("a.vna").substr(0, 12), "500\r\n3\r\n30\r\n");
  const std::string trace = file("t.txt");
  std::string tail;
  for (int i = 0; i < 32; ++i) tail += "W 10\nW 12\n";
  tail += "W 14\nW 10\nW 00\n";
  ASSERT_GT(trace.size(), tail.size());
  EXPECT_EQ(trace.substr(trace.size() - tail.size()), tail);

  ASSERT_EQ(run("analyze --start 1 --stop 2 --points 10 --out b.csv"), 0) << last.err;
  const std::string csv = file("b.csv");
  EXPECT_EQ(csv.substr(csv.find("freq_mhz"))
                .rfind("freq_mhz,rl_db,phase_deg,z_ohm,r_ohm,x_ohm,swr,rl_db_pm,phase_deg_pm,"
                       "z_ohm_pm,r_ohm_pm,x_ohm_pm,swr_pm,flag\r\n",
                       0),
            0u);
  EXPECT_NE(csv.find("\r\n1.5,"), std::string::npos);

  ASSERT_EQ(run("analyze --start 14 --stop 14.35 --points 35 --out c.S1P --s1p-unknown keep"), 0)
      << last.err;
  const auto back = kolm::sim::parseTouchstone(file("c.S1P"));
  ASSERT_TRUE(back.ok()) << back.error;
  ASSERT_EQ(back.table.frequencyMHz.size(), 36u);
}

TEST_F(CliAnalyze, ReportOfASeriesRlcLoad) {
  // 40 ohm, 2 uH, 100 pF: resonance at 11.254 MHz, SWR 1.25; SWR 2 where
  // |X| = 30 ohm (10.117 and 12.518 MHz).
  ASSERT_EQ(
      run("--backend sim --board ideal --load rlc:r=40,l=2u,c=100p analyze --start 5 --stop 20 "
          "--points 1500 --out a.s1p --report"),
      0)
      << last.err;
  // The figures in use, then the analysis's report (its layout is the analysis tests').
  std::vector<std::string> keys, report{"figures"};
  for (const auto& kv : kolm::test::keyValues(last.out)) keys.push_back(kv.first);
  for (const auto& kv : kolm::test::keyValues(swrReport(analyzeSwr({}))))
    report.push_back(kv.first);
  keys.resize(std::min(keys.size(), report.size()));  // each band's widths follow
  EXPECT_EQ(keys, report);
  EXPECT_NE(last.out.find("figures=published\n"), std::string::npos);
  // The report names the correction as the file's key line does.
  const std::string s1p = file("a.s1p");
  const size_t word = s1p.find(" correction=");
  ASSERT_NE(word, std::string::npos);
  EXPECT_NE(last.out.find(s1p.substr(word + 1, s1p.find(' ', word + 1) - word - 1) + "\n"),
            std::string::npos);
  EXPECT_NE(last.out.find("correction=none\n"), std::string::npos);
  using kolm::test::reportedNumber;
  EXPECT_NEAR(reportedNumber(last.out, "swr_min_mhz"), 11.254, 0.02);
  EXPECT_NEAR(reportedNumber(last.out, "res_mhz"), 11.254, 0.02);
  EXPECT_NEAR(reportedNumber(last.out, "swr2_high_mhz"), 12.518, 0.02);
}
