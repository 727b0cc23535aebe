// From a trace in user units to the polyline a chart draws in pixels, with the
// points that share a pixel column reduced to the ones that can show.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

#include "chart/scale.h"

namespace kolm::chart {

// User units to pixels of an area `pixelWidth` x `pixelHeight`: the left edge of
// the scale on pixel 0, the right edge on the last pixel column, likewise up.
class PixelMap {
 public:
  PixelMap(const ChartScale& scale, int pixelWidth, int pixelHeight);
  // The same horizontal mapping with another vertical extent (a trace drawn on
  // its own scale).
  PixelMap withVertical(const VerticalScale& vertical) const;

  // Division first, so that both edges land exactly on their pixels.
  double x(double user) const { return (user - left_) / width_ * spanX_; }
  double y(double user) const { return (user - top_) / height_ * spanY_; }
  // y of a value, with an infinite one pinned inside the edge it runs to (the
  // top for +infinity on a scale that grows upwards): a sixtieth of the height,
  // at least two rows, so that it shows clear of the frame and its grid line.
  double pinnedY(double user) const {
    if (!std::isinf(user)) return y(user);
    const double inset = h_ > 8 ? std::max(2.0, std::round(h_ / 60.0)) : 0;
    return (user > 0) == (ky_ > 0) ? h_ - 1 - inset : inset;
  }
  double userX(double pixel) const { return left_ + pixel / kx_; }
  double userY(double pixel) const { return top_ + pixel / ky_; }
  // Pixels per user unit (signed).
  double xScale() const { return kx_; }
  double yScale() const { return ky_; }
  int pixelWidth() const { return w_; }
  int pixelHeight() const { return h_; }
  bool valid() const { return valid_; }

 private:
  double left_ = 0, top_ = 0, width_ = 1, height_ = 1, spanX_ = 1, spanY_ = 1, kx_ = 1, ky_ = 1;
  int w_ = 0, h_ = 0;
  bool valid_ = false;
};

struct PixelPoint {
  float x = 0;
  float y = 0;
  bool operator==(const PixelPoint&) const = default;
};

// The points of a trace: level (or value) i at x[i] when x is given, otherwise
// evenly from start (i = 0) to stop (i = count - 1). traceColumnRuns takes
// pixelX[i] for map.x(x[i]) when given (worked out once for the traces that
// share their x).
struct TraceSamples {
  const float* y = nullptr;
  size_t count = 0;
  const double* x = nullptr;
  double start = 0;
  double stop = 0;
  const double* pixelX = nullptr;
  double xAt(size_t i) const {
    if (x) return x[i];
    if (count < 2) return start;
    return start + static_cast<double>(i) * ((stop - start) / static_cast<double>(count - 1));
  }
};

// The polyline through the trace's points in pixels. An infinite value is drawn
// on the edge of the area it runs to; points whose value is NaN or whose
// frequency is not finite are skipped (the line goes on from the last point
// drawn). With `decimate`, a run of consecutive points in one pixel column (or
// all beyond one side of the area) keeps only its first, lowest, highest and
// last point, in their order, so the drawing covers the same pixels while a
// 20001-point trace becomes at most four points per column.
void tracePolyline(const TraceSamples& trace, const PixelMap& map, bool decimate,
                   std::vector<PixelPoint>& out);

// One pixel column of a dense trace: the rows top to bottom (inclusive) that the
// line through the points covers in column x.
struct ColumnRun {
  int x = 0;
  int top = 0;
  int bottom = 0;
  bool operator==(const ColumnRun&) const = default;
};

// For traces with many points per pixel column: the part of the line through
// the points that falls in each column is one unbroken vertical run (the line
// goes left to right), so the whole trace is at most one run per column. Runs
// are clipped to the area; infinite values are pinned and NaN points skipped
// as above.
//
// The scratch holds the rows covered per column between calls (all empty again
// when a call returns), so that a redraw of many traces allocates nothing once
// it has been through the widest area; a call visits only the columns its
// trace reaches.
struct ColumnScratch {
  std::vector<double> lo, hi;
  std::vector<ColumnRun> edges[2];  // a band's two edges (bandColumns)
};
void traceColumnRuns(const TraceSamples& trace, const PixelMap& map, std::vector<ColumnRun>& out,
                     ColumnScratch& scratch);
void traceColumnRuns(const TraceSamples& trace, const PixelMap& map, std::vector<ColumnRun>& out);

// True when a trace of `count` points is better drawn as column runs.
inline bool denseTrace(size_t count, int pixelWidth) {
  return count >= 3 * static_cast<size_t>(pixelWidth > 0 ? pixelWidth : 0) && count > 0;
}

}  // namespace kolm::chart
