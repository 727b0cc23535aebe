#include "chart/markers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "chart/label_room.h"

using namespace kolm::chart;

namespace {

using Kind = Reading::Kind;
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

// Five evenly spaced levels over 10..14 MHz, point 3 flagged at most (a floor).
const std::vector<float> kLevels{-20, -10, -4, -80, -30};
const std::vector<Mark> kFloorAt3{Mark::Valid, Mark::Valid, Mark::Valid, Mark::AtMost, Mark::Valid};
TraceSamples evenly() { return {kLevels.data(), kLevels.size(), nullptr, 10, 14}; }

}  // namespace

TEST(MarkerReading, InterpolatesBetweenPlainPointsAndNeverThroughFlaggedOnes) {
  struct Case {
    double x;
    Kind kind;
    double value;
    Mark mark;
  };
  const Case cases[] = {
      {10, Kind::Value, -20, Mark::Valid},     // first point
      {11.5, Kind::Value, -7, Mark::Valid},    // halfway between -10 and -4
      {14, Kind::Value, -30, Mark::Valid},     // last point
      {13, Kind::Flagged, 0, Mark::AtMost},    // on the flagged point
      {12.9, Kind::Flagged, 0, Mark::AtMost},  // beside it, from either side
      {13.6, Kind::Flagged, 0, Mark::AtMost},
      {9.99, Kind::Outside, 0, Mark::Valid},  // beyond the trace
      {14.01, Kind::Outside, 0, Mark::Valid},
  };
  for (const Case& c : cases) {
    const Reading r = readingAt(evenly(), kFloorAt3.data(), kFloorAt3.size(), c.x);
    EXPECT_EQ(r.kind, c.kind) << c.x;
    if (c.kind == Kind::Value) {
      EXPECT_NEAR(r.value, c.value, 1e-6) << c.x;
    }
    if (c.kind == Kind::Flagged) {
      EXPECT_EQ(r.mark, c.mark) << c.x;
    }
  }
}

TEST(MarkerReading, UnevenFrequenciesAndValuesThatAreNotNumbers) {
  // Frequencies given point by point; an open point (+infinity) and an invalid
  // one (NaN) without marks still never read as numbers.
  const std::vector<double> f{1, 2, 4, 8};
  const std::vector<float> v{1, 3, kInf, kNaN};
  const TraceSamples t{v.data(), v.size(), f.data(), 0, 0};
  EXPECT_NEAR(readingAt(t, nullptr, 0, 1.5).value, 2, 1e-9);
  EXPECT_EQ(readingAt(t, nullptr, 0, 3).kind, Kind::Flagged);
  EXPECT_EQ(readingAt(t, nullptr, 0, 3).mark, Mark::Invalid);
  const std::vector<Mark> marks{Mark::Valid, Mark::Valid, Mark::Open, Mark::Invalid};
  EXPECT_EQ(readingAt(t, marks.data(), marks.size(), 4.5).mark, Mark::Open);  // nearer: 4
  EXPECT_EQ(readingAt(t, marks.data(), marks.size(), 7.5).mark, Mark::Invalid);
  EXPECT_EQ(readingAt(t, nullptr, 0, 9).kind, Kind::Outside);
}

TEST(MarkerExtremes, SkipFlaggedPointsAndKeepToTheRange) {
  struct Case {
    Extreme which;
    double from, to;
    std::optional<size_t> index;
  };
  const Case cases[] = {
      {Extreme::Maximum, 10, 14, 2},
      {Extreme::Minimum, 10, 14, 4},                 // -80 is a floor: never the minimum
      {Extreme::Minimum, 10, 12.5, 0},               // within the range only
      {Extreme::Maximum, 14, 11, 2},                 // a range given backwards
      {Extreme::Minimum, 12.5, 13.5, std::nullopt},  // only the floor point there
  };
  for (const Case& c : cases) {
    const auto run =
        extremeIndex(evenly(), kFloorAt3.data(), kFloorAt3.size(), c.which, c.from, c.to);
    EXPECT_EQ(run ? std::optional<size_t>(run->centre()) : std::nullopt, c.index)
        << c.from << ".." << c.to;
  }
  // A flat extreme: the marker goes to the centre of the longest run (the first
  // of equally long ones), between the middle points of an even run; a bound in
  // the search's direction takes part when the trace says so.
  struct Flat {
    std::vector<float> y;
    std::vector<Mark> marks;
    Extreme which;
    bool bounds;
    double x;
  };
  const Mark v = Mark::Valid, most = Mark::AtMost;
  const Flat flats[] = {
      {{-10, -3, -20, -3, -30}, {}, Extreme::Maximum, false, 11},
      {{-3, -20, -3, -3, -3}, {}, Extreme::Maximum, false, 13},
      {{5, 1, 1, 1, 1}, {}, Extreme::Minimum, false, 12.5},
      {{5, 1, 1, 2, 0}, {v, v, v, v, most}, Extreme::Minimum, false, 11.5},
      {{5, 1, 1, 0, 0}, {v, v, v, most, most}, Extreme::Minimum, true, 13.5},
  };
  for (const Flat& f : flats) {
    const TraceSamples t{f.y.data(), f.y.size(), nullptr, 10, 14};
    const auto run = extremeIndex(t, f.marks.data(), f.marks.size(), f.which, 10, 14, f.bounds);
    ASSERT_TRUE(run);
    EXPECT_DOUBLE_EQ(runCentre(t, *run), f.x);
  }
}

TEST(MarkerText, NumbersWithUnitsFlagsInWords) {
  const MarkWords& w = defaultMarkWords();
  EXPECT_EQ(readingText({Kind::Value, -12.34, Mark::Valid}, "dBm", "0.0", w), "-12.3 dBm");
  EXPECT_EQ(readingText({Kind::Value, 1.234, Mark::Valid}, "", "0.00", w), "1.23");
  EXPECT_EQ(readingText({Kind::Flagged, 0, Mark::AtLeast}, "dB", "0.0", w), "at least");
  EXPECT_EQ(readingText({}, "dB", "0.0", w), "outside the sweep");
  EXPECT_EQ(deltaText({Kind::Value, -20, Mark::Valid}, {Kind::Value, -4, Mark::Valid}, "dB", "0.0"),
            "16.0 dB");
  EXPECT_EQ(
      deltaText({Kind::Value, -20, Mark::Valid}, {Kind::Flagged, 0, Mark::AtMost}, "dB", "0.0"),
      "not measurable");
}

TEST(MarkerSetTest, NumbersActiveMarkerAndDelta) {
  MarkerSet s;
  EXPECT_TRUE(s.add(5.0));
  EXPECT_FALSE(s.delta());
  EXPECT_TRUE(s.add(6.0));
  EXPECT_EQ(s.delta(), (std::pair{1, 2}));  // started by the second marker
  for (double x : {7.0, 8.0}) EXPECT_TRUE(s.add(x));
  EXPECT_FALSE(s.add(9));  // four at most
  EXPECT_FALSE(MarkerSet().add(std::nan("")));
  EXPECT_EQ(s.delta(), (std::pair{1, 2}));
  EXPECT_EQ(s.active(), 4);
  EXPECT_TRUE(s.remove(2));
  EXPECT_FALSE(s.delta());   // its marker went
  EXPECT_EQ(s.add(9.5), 2);  // the lowest free number, kept in order
  EXPECT_EQ(s.markers()[1].x, 9.5);
  EXPECT_TRUE(s.move(3, 7.25));
  EXPECT_EQ(s.active(), 3);
  EXPECT_EQ(s.nearest(7.3, 0.1), 3);
  EXPECT_FALSE(s.nearest(7.5, 0.1));
  s.setDelta(std::pair{3, 3});  // a marker against itself is refused
  EXPECT_FALSE(s.delta());
  s.setDelta(std::pair{4, 1});
  EXPECT_EQ(s.delta(), (std::pair{4, 1}));
}

// What is drawn over a chart finds room beside the labels, or stays where it
// was asked for when there is none within reach.
TEST(LabelRoom, BoxesMoveClearAndLinesBreakAcrossLabels) {
  const std::vector<Box> labels{{0, 90, 30, 12}, {0, 70, 30, 12}, {200, 95, 40, 12}};
  struct Case {
    Box asked;
    double dx, dy;
    int steps;
    Box expected;
  } cases[] = {
      {{100, 90, 10, 12}, 0, -14, 8, {100, 90, 10, 12}},   // already clear
      {{10, 90, 10, 12}, 0, -14, 8, {10, 48, 10, 12}},     // up past two labels
      {{10, 90, 10, 12}, 4, 0, 20, {30, 90, 10, 12}},      // right, touching is clear
      {{10, 90, 10, 12}, 0, -14, 1, {10, 90, 10, 12}},     // no room within reach
      {{205, 100, 10, 12}, 0, -14, 8, {205, 72, 10, 12}},  // off the x unit
  };
  for (const Case& c : cases)
    EXPECT_EQ(clearOf(c.asked, labels, c.dx, c.dy, c.steps), c.expected)
        << c.asked.left << "," << c.asked.top;
  using Stretches = std::vector<std::pair<double, double>>;
  EXPECT_EQ(openStretches(10, 0, 120, labels), (Stretches{{0, 70}, {82, 90}, {102, 120}}));
  EXPECT_EQ(openStretches(35, 0, 120, labels), (Stretches{{0, 120}}));
  EXPECT_EQ(openStretches(220, 0, 100, labels), (Stretches{{0, 95}}));
}
