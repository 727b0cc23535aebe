// The reflection coefficient on a disk: the Smith chart (circles of constant
// resistance and reactance, circles of constant SWR) and the polar chart (|Γ|
// circles and angle lines) of one-port measurements. The maths of the view,
// the grid, the traces in pixels and the zoom; the window paints what this
// gives. Γ is drawn with its real part to the right and its imaginary part up.
#pragma once

#include <complex>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "chart/marks.h"
#include "common/reflection.h"

namespace kolm::chart {

using Gamma = std::complex<double>;

// Γ of an impedance, the impedance of Γ and its SWR: the shared reflection maths.
using common::impedanceOf;
using common::reflectionOf;
using common::swrOf;

enum class DiskKind : uint8_t { Smith, Polar };

// The part of the Γ plane shown: a square of half-side `halfSide` about `centre`.
struct DiskView {
  Gamma centre{0, 0};
  double halfSide = 1.1;  // the whole disk with room for its labels
  bool operator==(const DiskView&) const = default;
};
inline constexpr double kMinHalfSide = 0.005;

// A view on a width x height area: the largest centred square.
struct DiskMap {
  DiskMap(const DiskView& view, double width, double height);
  double pixelsPerUnit = 1;
  double centreX = 0, centreY = 0;  // where the view's centre lands
  DiskView view;
  void toPixel(Gamma g, float& x, float& y) const;
  Gamma toGamma(double x, double y) const;
};

// The view that shows the pixel rectangle (x0, y0)-(x1, y1) (the larger of its
// sides), and the view scaled by `factor` (below 1 zooms in) about `about`
// staying where it is on the screen. Neither goes beyond the whole disk's view
// nor below kMinHalfSide.
DiskView zoomedTo(const DiskMap& map, double x0, double y0, double x1, double y1);
DiskView zoomedAbout(const DiskView& view, Gamma about, double factor);

// A line of the grid: an arc of the circle about `centre` from angle `from` by
// `span` (radians, counter-clockwise, Γ plane), or a segment from `centre` to
// `end` when `segment` is set.
struct DiskLine {
  Gamma centre;
  double radius = 0;
  double from = 0;
  double span = 0;
  bool segment = false;
  Gamma end;
  bool swr = false;  // an SWR circle (drawn dashed)
};
struct DiskLabel {
  Gamma at;
  std::string text;
};
struct DiskGrid {
  std::vector<DiskLine> lines;
  std::vector<DiskLabel> labels;
};
// The Smith chart's resistance and reactance circles labelled in ohms of `r0`,
// with the SWR circles 1.5, 2 and 3; or the polar chart's |Γ| circles and lines
// every 30 degrees.
DiskGrid diskGrid(DiskKind kind, double r0);

// A trace on the disk: one Γ per point with its mark. A point whose reactance
// sign is not known is drawn at both candidates, dimmed: as read (Γ as given)
// and at its mirror image (Γ conjugated), as either may be the load; the
// trace's line leaves it out, so it never joins a candidate to a point of
// known sign.
struct DiskTrace {
  std::vector<Gamma> points;
  std::vector<Mark> marks;
  std::vector<uint8_t> signUnknown;  // empty, or one per point
};

// Stretches of a trace in pixels, each drawn alike: flat x, y pairs.
struct DiskRun {
  uint32_t first = 0;  // into `xy`, in points
  uint32_t count = 0;
  bool flagged = false;
};
struct DiskPolyline {
  std::vector<float> xy;
  std::vector<DiskRun> runs;
};
// Which points a call draws: those of known sign, or the candidates of those
// of unknown sign as read or mirrored (always flagged).
enum class DiskPoints : uint8_t { KnownSign, CandidateAsRead, CandidateMirrored };
// The trace's lines in `map`'s pixels: a point is left out when it lies
// within `tolerance` pixels of the last one kept in its run (the last point
// of a run is always kept). Invalid points and points not drawn break the
// line (a lone point is a run of one); flagged points (and the segments into
// and out of them) form flagged runs.
void diskPolyline(const DiskTrace& trace, const DiskMap& map, DiskPoints which, DiskPolyline& out,
                  float tolerance = 0.5f);

}  // namespace kolm::chart
