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
  full.fpMHz = 10.019912;
  full.lMilliHenry = 12.665;
  full.csFemtoFarad = 20.01;
  full.c0PicoFarad = 5.02;
  full.q = 37150;
  full.warnings = {"The level does not fall, honestly.", "Second \"quoted\" one."};
  const std::vector<CrystalRow> rows = {full, crystal(7, "", 10.0001, 30)};
  const std::string csv = formatBatchCsv(rows);
  const std::string header = "number,label,fs_mhz,fp_mhz,r_ohm,l_mh,cs_ff,c0_pf,q,warnings\r\n";
  EXPECT_EQ(csv.substr(0, header.size()), header);
  const BatchRead back = parseBatchCsv(csv);
  ASSERT_TRUE(back.ok()) << back.error;
  EXPECT_EQ(back.rows, rows);

  for (const std::string& bad :
       {std::string(""), std::string("freq_mhz,level_dbm,flag\n"), header + "1,a,10,,20,,,,\n",
        header + "1,a,ten,,20,,,,,\n", header + "1.5,a,10,,20,,,,,\n",
        header + "1,\"a,10,,20,,,,,\n", header + "1,a,10,x,20,,,,,\n"}) {
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
            "group=1 fs_spread_hz=30 members=b1,b3,b4\ngroup=2 fs_spread_hz=45 members=a2,a3,10\n");
  EXPECT_EQ(matchReport(rows, {}), "group=none\n");
}
