// The crystal batch table's file and the matching of crystals into groups.
#include "powermeter/crystal_batch.h"

#include <gtest/gtest.h>

using namespace kolm::powermeter;

namespace {

CrystalRow crystal(int number, std::string label, double fsMHz, double r) {
  CrystalRow row;
  row.number = number;
  row.label = std::move(label);
  row.fsMHz = fsMHz;
  row.rOhm = r;
  return row;
}

std::vector<std::vector<std::string>> names(const std::vector<CrystalRow>& rows,
                                            const std::vector<CrystalGroup>& groups) {
  std::vector<std::vector<std::string>> out;
  for (const CrystalGroup& g : groups) {
    out.emplace_back();
    for (size_t m : g.members) out.back().push_back(crystalName(rows[m]));
  }
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
  EXPECT_EQ(old.rows[0].fsMHz, BatchValue(10.5));
  EXPECT_EQ(old.rows[0].lMilliHenry, BatchValue(13.1));
  EXPECT_EQ(old.rows[0].warnings, std::vector<std::string>{"w"});

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
  struct Case {
    const char* name;
    int size;
    double toleranceHz;
    std::optional<double> rPct;
    std::vector<std::vector<std::string>> groups;
    std::vector<double> spreadsHz;
  };
  const Case cases[] = {
      {"pairs",
       2,
       50,
       std::nullopt,
       {{"a3", "10"}, {"b3", "b4"}, {"b1", "b2"}, {"a1", "a2"}},
       {5, 10, 10, 40}},
      {"threes", 3, 100, std::nullopt, {{"b1", "b2", "b3"}, {"a2", "a3", "10"}}, {20, 45}},
      {"threes within 15 % of R", 3, 100, 15.0, {{"b1", "b3", "b4"}, {"a2", "a3", "10"}}, {30, 45}},
      {"too tight", 4, 20, std::nullopt, {}, {}},
      {"R too tight", 3, 2000, 1.0, {{"a1", "a2", "10"}, {"b1", "b3", "lone"}}, {85, 1500}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto groups = matchCrystals(rows, c.size, c.toleranceHz, c.rPct);
    EXPECT_EQ(names(rows, groups), c.groups);
    ASSERT_EQ(groups.size(), c.spreadsHz.size());
    for (size_t g = 0; g < groups.size(); ++g)
      EXPECT_NEAR(groups[g].fsSpreadHz, c.spreadsHz[g], 1e-3);
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
