// The crystal fixture's record and the losses read through its steps.
#include "powermeter/fixture_steps.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using ::testing::HasSubstr;
using namespace kolm::powermeter;

namespace {

// A through table and a step table `db` lower, as a detector whose reading of
// a loss l is l + error(l) reads them.
template <class Error>
FixtureStep stepOf(double db, const ReferenceTable& through, Error error) {
  FixtureStep s{db, 0.05, {800, 200}, through};
  for (float& v : s.levels) v -= static_cast<float>(db + error(db));
  return s;
}

}  // namespace

TEST(FixtureRecord, RoundTripAndRefusals) {
  ReferenceTable through;
  for (size_t i = 0; i < through.size(); ++i) through[i] = -0.5f - 0.001f * static_cast<float>(i);
  FixtureRecord record;
  record.through = Calibration{810, 205};
  putStep(record, stepOf(20, through, [](double) { return 0.0; }));
  putStep(record, stepOf(6, through, [](double) { return 0.0; }));
  putStep(record, stepOf(20, through, [](double l) { return 0.01 * l; }));  // replaces the first
  ASSERT_EQ(record.steps.size(), 2u);
  EXPECT_EQ(record.steps[0].lossDb, 6);
  std::string error;
  const auto back = parseFixtureRecord(formatFixtureRecord(record), &error);
  ASSERT_TRUE(back) << error;
  EXPECT_EQ(*back, record);
  const std::string text = formatFixtureRecord(record);
  const size_t levels = text.find("\r\n", text.find("step loss_db=6")) + 2;
  for (const auto& [bad, cause] :
       {std::pair<std::string, const char*>{"", "not a crystal fixture's record"},
        {"kolm crystal fixture 1\r\nthrough cal0=800 cal60=800\r\n", "two counts"},
        {"kolm crystal fixture 1\r\nstep loss_db=100 pm_db=0.1 cal0=800 cal60=200\r\n1\r\n",
         "out of range"},
        {"kolm crystal fixture 1\r\nstep loss_db=10 pm_db=0.1 cal0=800 cal60=200\r\n",
         "levels are missing"},
        {text.substr(0, levels) + "1 2 3\r\n", "1601 levels"},
        {text + text.substr(text.find("step loss_db=6")), "same loss"}}) {
    EXPECT_FALSE(parseFixtureRecord(bad, &error)) << bad.substr(0, 80);
    EXPECT_THAT(error, HasSubstr(cause));
  }
  EXPECT_EQ(parseFixtureRecord("kolm crystal fixture 1\r\n", &error), FixtureRecord{});
}

// A table read with other counts reads as the present counts would have read
// the same detector counts.
TEST(FixtureRecord, TablesFollowTheCalibration) {
  ReferenceTable t{};
  t[0] = 0, t[1] = -60, t[2] = -30;
  const ReferenceTable u = inCalibration(t, {826, 235}, {814, 206});
  EXPECT_NEAR(u[0], readingToDbm(826, {814, 206}), 1e-4);
  EXPECT_NEAR(u[1], readingToDbm(235, {814, 206}), 1e-4);
}

// Losses read through steps are within the correction's bound of the truth
// for any detector whose error stays within the stated conformance, at every
// loss from the through path to beyond the last step.
TEST(FixtureRecord, CorrectedLossesLieWithinTheirBound) {
  ReferenceTable through;
  through.fill(-1);
  const double conformance = 0.03;
  // A slope 15 % off (the steps take it out), a ripple of 0.06 dB per 14 dB
  // and a bow: what is left bends within the stated conformance.
  auto error = [](double l) {
    return 0.15 * l + 0.06 * std::sin(2 * std::numbers::pi * l / 14) - 0.001 * l * l;
  };
  for (const std::vector<double>& steps : {std::vector<double>{10}, {3, 10, 20}}) {
    FixtureRecord record;
    for (double db : steps) putStep(record, stepOf(db, through, error));
    const auto correction = lossCorrection(record, through, {800, 200}, 10, conformance);
    ASSERT_TRUE(correction);
    for (double l = 0; l <= 40; l += 0.25) {
      const double read = l + error(l);
      EXPECT_LE(std::fabs(correction->corrected(read) - l), correction->bound(l) + 1e-9)
          << steps.size() << " steps, " << l << " dB";
    }
  }
  // Steps that read less for more loss say nothing: not used.
  FixtureRecord wrong;
  putStep(wrong, stepOf(10, through, [](double) { return 0.0; }));
  putStep(wrong, stepOf(20, through, [](double) { return -12.0; }));
  EXPECT_FALSE(lossCorrection(wrong, through, {800, 200}, 10, conformance));
}
