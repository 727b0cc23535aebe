#include "chart/smith.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "common/constants.h"
#include "common/reflection.h"
#include "common/text.h"

namespace kolm::chart {

namespace {

// The whole disk's view is the widest one.
DiskView clampedView(Gamma centre, double halfSide) {
  const DiskView whole;
  if (!(halfSide < whole.halfSide)) return whole;
  halfSide = std::max(halfSide, kMinHalfSide);
  // The view stays over the whole view's square.
  const double room = whole.halfSide - halfSide;
  return {Gamma(std::clamp(centre.real(), -room, room), std::clamp(centre.imag(), -room, room)),
          halfSide};
}

DiskLine arc(Gamma centre, double radius, double from = 0, double span = 2 * kPi) {
  DiskLine line;
  line.centre = centre;
  line.radius = radius;
  line.from = from;
  line.span = span;
  return line;
}

DiskLine segment(Gamma from, Gamma to) {
  DiskLine line;
  line.centre = from;
  line.end = to;
  line.segment = true;
  return line;
}

// The arc of the circle (centre, radius) that lies inside the unit circle,
// between the two points where it meets it.
DiskLine arcInsideDisk(Gamma centre, double radius, Gamma a, Gamma b) {
  const double fa = std::arg(a - centre), fb = std::arg(b - centre);
  double span = std::fmod(fb - fa + 4 * kPi, 2 * kPi);
  const Gamma mid = centre + std::polar(radius, fa + span / 2);
  if (std::abs(mid) > 1) return arc(centre, radius, fb, 2 * kPi - span);
  return arc(centre, radius, fa, span);
}

std::string ohms(double value) { return common::formatPattern(value, "0.#"); }

}  // namespace

DiskMap::DiskMap(const DiskView& v, double width, double height) : view(v) {
  pixelsPerUnit = std::max(1.0, std::min(width, height)) / (2 * v.halfSide);
  centreX = width / 2;
  centreY = height / 2;
}

void DiskMap::toPixel(Gamma g, float& x, float& y) const {
  x = static_cast<float>(centreX + (g.real() - view.centre.real()) * pixelsPerUnit);
  y = static_cast<float>(centreY - (g.imag() - view.centre.imag()) * pixelsPerUnit);
}

Gamma DiskMap::toGamma(double x, double y) const {
  return view.centre + Gamma((x - centreX) / pixelsPerUnit, (centreY - y) / pixelsPerUnit);
}

DiskView zoomedTo(const DiskMap& map, double x0, double y0, double x1, double y1) {
  const Gamma a = map.toGamma(x0, y0), b = map.toGamma(x1, y1);
  const double half = std::max(std::abs(a.real() - b.real()), std::abs(a.imag() - b.imag())) / 2;
  return clampedView((a + b) / 2.0, half);
}

DiskView zoomedAbout(const DiskView& view, Gamma about, double factor) {
  // `about` keeps its place: its offset from the centre scales with the view.
  return clampedView(about + (view.centre - about) * factor, view.halfSide * factor);
}

DiskGrid diskGrid(DiskKind kind, double r0) {
  DiskGrid grid;
  grid.lines.push_back(arc(0.0, 1));  // the rim: |Γ| = 1
  if (kind == DiskKind::Polar) {
    for (int i = 1; i < 5; ++i) {
      grid.lines.push_back(arc(0.0, i / 5.0));
      grid.labels.push_back({Gamma(i / 5.0, 0), common::formatPattern(i / 5.0, "0.0")});
    }
    for (int deg = 0; deg < 360; deg += 30) {
      const Gamma rim = std::polar(1.0, deg * kPi / 180);
      grid.lines.push_back(segment(0.0, rim));
      grid.labels.push_back(
          {rim * 1.06, common::formatPattern(deg > 180 ? deg - 360 : deg, "0") + "\u00b0"});
    }
    return grid;
  }
  grid.lines.push_back(segment(-1.0, 1.0));  // the real axis: X = 0
  for (const double r : {0.2, 0.5, 1.0, 2.0, 5.0}) {
    // Resistance r (normalised): the circle about r / (1 + r) of radius 1 / (1 + r).
    grid.lines.push_back(arc(Gamma(r / (1 + r), 0), 1 / (1 + r)));
    grid.labels.push_back({Gamma((r - 1) / (r + 1), 0), ohms(r * r0)});
  }
  for (const double x : {0.2, 0.5, 1.0, 2.0, 5.0}) {
    for (const double sx : {x, -x}) {
      // Reactance sx: the circle about 1 + j/sx of radius 1/x, inside the disk
      // from Γ = 1 to where jsx lands on the rim.
      const Gamma rim = common::reflectionOf({0, sx * r0}, r0);
      grid.lines.push_back(arcInsideDisk(Gamma(1, 1 / sx), 1 / x, 1.0, rim));
      grid.labels.push_back({rim * 1.07, (sx > 0 ? "+j" : "-j") + ohms(x * r0)});
    }
  }
  for (const double s : {1.5, 2.0, 3.0}) {
    DiskLine circle = arc(0.0, (s - 1) / (s + 1));
    circle.swr = true;
    grid.lines.push_back(circle);
    grid.labels.push_back({std::polar(circle.radius, -kPi / 4), "SWR " + ohms(s)});
  }
  return grid;
}

void diskPolyline(const DiskTrace& trace, const DiskMap& map, DiskPoints which, DiskPolyline& out,
                  float tolerance) {
  const bool candidates = which != DiskPoints::KnownSign;
  const bool mirror = which == DiskPoints::CandidateMirrored;
  out.xy.clear();
  out.runs.clear();
  const size_t n = trace.points.size();
  // The marks the lines are drawn by: a point not drawn is invalid, every
  // candidate is drawn in the marked style.
  std::vector<Mark> marks(n, Mark::Valid);
  for (size_t i = 0; i < n; ++i) {
    const bool unknown = i < trace.signUnknown.size() && trace.signUnknown[i];
    const Mark m = i < trace.marks.size() ? trace.marks[i] : Mark::Valid;
    const Gamma g = trace.points[i];
    if (m == Mark::Invalid || !std::isfinite(g.real()) || !std::isfinite(g.imag()) ||
        candidates != unknown)
      marks[i] = Mark::Invalid;
    else if (candidates && m == Mark::Valid)
      marks[i] = Mark::Approximate;
    else
      marks[i] = m;
  }
  std::vector<MarkRun> runs;
  markRuns(marks.data(), n, n, runs);
  const float tol2 = tolerance * tolerance;
  for (const MarkRun& r : runs) {
    DiskRun run{static_cast<uint32_t>(out.xy.size() / 2), 0, r.flagged};
    float lastX = 0, lastY = 0;
    size_t lastIndex = 0;
    // Whether point k is drawn (not invalid).
    const auto shown = [&](size_t k) { return k < n && marks[k] != Mark::Invalid; };
    const auto close = [&] {
      // A run of one point is a dot where the point stands alone; beside a
      // shown neighbour it is the end of that neighbour's run already.
      const bool alone =
          run.count == 1 && !(lastIndex > 0 && shown(lastIndex - 1)) && !shown(lastIndex + 1);
      if (run.count > 1 || alone) {
        out.runs.push_back(run);
      } else {
        out.xy.resize(run.first * 2);
      }
      run = {static_cast<uint32_t>(out.xy.size() / 2), 0, r.flagged};
    };
    for (size_t k = r.first; k <= r.last; ++k) {
      if (marks[k] == Mark::Invalid) {
        close();
        continue;
      }
      float x = 0, y = 0;
      map.toPixel(mirror ? std::conj(trace.points[k]) : trace.points[k], x, y);
      // The last point before a break or the run's end is always kept.
      const bool last = k == r.last || marks[k + 1] == Mark::Invalid;
      const float dx = x - lastX, dy = y - lastY;
      if (run.count > 0 && !last && dx * dx + dy * dy < tol2) continue;
      out.xy.push_back(x);
      out.xy.push_back(y);
      lastX = x;
      lastY = y;
      lastIndex = k;
      ++run.count;
    }
    close();
  }
}

}  // namespace kolm::chart
