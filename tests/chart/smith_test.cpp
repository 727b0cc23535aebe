// The Smith and polar charts: the grid lies where its labels say, the view maps
// and zooms back and forth, and a trace's lines break, dim and mirror as marked.
#include "chart/smith.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "common/text.h"

using namespace kolm::chart;

TEST(SmithGrid, EveryLineHoldsTheResistanceReactanceOrSwrItStandsFor) {
  const DiskGrid grid = diskGrid(DiskKind::Smith, 50);
  int r = 0, x = 0, swr = 0;
  for (const DiskLine& line : grid.lines) {
    if (line.segment || (line.radius == 1 && line.centre == 0.0)) continue;  // axis, rim
    const Gamma a = line.centre + std::polar(line.radius, line.from);
    const Gamma b = line.centre + std::polar(line.radius, line.from + line.span * 0.37);
    const Gamma c = line.centre + std::polar(line.radius, line.from + line.span * 0.91);
    const auto za = impedanceOf(a, 50), zb = impedanceOf(b, 50), zc = impedanceOf(c, 50);
    EXPECT_LE(std::abs(b), 1 + 1e-9);
    EXPECT_LE(std::abs(c), 1 + 1e-9);
    if (line.swr) {
      ++swr;
      EXPECT_NEAR(swrOf(b), swrOf(c), 1e-9);
    } else if (std::abs(line.centre.imag()) < 1e-12) {
      ++r;  // a resistance circle
      EXPECT_NEAR(zb.real(), zc.real(), 1e-6 * zb.real());
    } else {
      ++x;  // a reactance arc, from where it meets the rim to the open
      const Gamma e = line.centre + std::polar(line.radius, line.from + line.span);
      EXPECT_LT(std::min(std::abs(a - 1.0), std::abs(e - 1.0)), 1e-9);
      EXPECT_LT(std::min(std::abs(za.real()), std::abs(impedanceOf(e, 50).real())), 1e-6);
      EXPECT_NEAR(zb.imag(), zc.imag(), 1e-6 * std::abs(zb.imag()));
    }
  }
  EXPECT_EQ(std::tuple(r, x, swr), std::tuple(5, 10, 3));
  EXPECT_TRUE(std::isinf(swrOf(1.0)) && std::isinf(impedanceOf(1.0, 50).real()));  // the open
  for (const DiskLabel& label : grid.labels) {  // the resistance labels read in ohms
    if (label.at.imag() == 0 && label.text.find_first_of("jS") == std::string::npos) {
      EXPECT_NEAR(impedanceOf(label.at, 50).real(), kolm::common::numericValue(label.text), 1e-9);
    }
  }
}

TEST(SmithGrid, ThePolarChartsCirclesAndAngleLines) {
  int circles = 0, lines = 0;
  for (const DiskLine& line : diskGrid(DiskKind::Polar, 50).lines) {
    EXPECT_LT(std::abs(line.centre), 1e-12);  // every line about, or from, the centre
    if (line.segment) {
      EXPECT_NEAR(std::abs(line.end), 1, 1e-12);
      ++lines;
    } else {
      ++circles;
    }
  }
  EXPECT_EQ(std::tuple(circles, lines), std::tuple(5, 12));
}

TEST(SmithView, PixelsMapBackAndZoomsKeepTheirPoint) {
  const DiskMap whole(DiskView{}, 500, 400);
  for (const Gamma g : {Gamma(0, 0), Gamma(0.5, -0.3), Gamma(-1, 0), Gamma(0.2, 0.9)}) {
    float px = 0, py = 0;
    whole.toPixel(g, px, py);
    EXPECT_LT(std::abs(whole.toGamma(px, py) - g), 1e-5);
    // A wheel zoom keeps the point under the pointer where it was.
    const DiskMap zoomed(zoomedAbout(whole.view, g, 0.5), 500, 400);
    float zx = 0, zy = 0;
    zoomed.toPixel(g, zx, zy);
    if (std::abs(g) < 0.6) {
      EXPECT_LT(std::hypot(zx - px, zy - py), 1e-3) << g;
    }
  }
  // A rectangle becomes the view; a zoom never goes past the whole disk or
  // below the smallest view.
  const DiskView box = zoomedTo(whole, 250, 200, 300, 180);
  EXPECT_NEAR(box.halfSide, 50 / whole.pixelsPerUnit / 2, 1e-9);
  EXPECT_EQ(zoomedAbout(DiskView{}, Gamma(0.9, 0.9), 3), DiskView{});
  EXPECT_EQ(zoomedAbout(box, 0.0, 1e-9).halfSide, kMinHalfSide);
}

TEST(SmithTrace, InvalidPointsBreakMarkedOnesDimAndUnknownSignsMirror) {
  DiskTrace t;
  for (int i = 0; i < 12; ++i) t.points.push_back(std::polar(0.5, 0.2 * i));
  t.marks.assign(12, Mark::Valid);
  t.marks[4] = Mark::Invalid;
  t.marks[8] = Mark::Uncertain;
  t.signUnknown.assign(12, 0);
  t.signUnknown[10] = t.signUnknown[11] = 1;
  const DiskMap map(DiskView{}, 400, 400);
  DiskPolyline out;
  const auto runs = [&](DiskPoints which) {
    diskPolyline(t, map, which, out);
    std::vector<std::tuple<uint32_t, bool>> shape;
    for (const DiskRun& r : out.runs) shape.emplace_back(r.count, r.flagged);
    return shape;
  };
  using Runs = std::vector<std::tuple<uint32_t, bool>>;
  // 0-3 plain; 5-7 plain; 7-9 dimmed (into and out of 8); 10-11 left to the candidates.
  EXPECT_EQ(runs(DiskPoints::KnownSign), (Runs{{4, false}, {3, false}, {3, true}}));
  EXPECT_EQ(runs(DiskPoints::CandidateAsRead), (Runs{{2, true}}));
  EXPECT_LT(std::abs(map.toGamma(out.xy[0], out.xy[1]) - t.points[10]), 1e-5);
  EXPECT_EQ(runs(DiskPoints::CandidateMirrored), (Runs{{2, true}}));
  EXPECT_LT(std::abs(map.toGamma(out.xy[0], out.xy[1]) - std::conj(t.points[10])), 1e-5);
  // Points closer than the tolerance are dropped, the last kept.
  diskPolyline(t, map, DiskPoints::KnownSign, out, 1000);
  EXPECT_EQ(out.runs[0].count, 2u);
  EXPECT_LT(std::abs(map.toGamma(out.xy[2], out.xy[3]) - t.points[3]), 1e-5);
}
