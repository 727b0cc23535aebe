#include "chart/polyline.h"

#include <algorithm>
#include <cmath>

namespace kolm::chart {

namespace {
// Raster engines keep coordinates in fixed point: far-away points are pulled in
// to a distance where a line's visible part keeps its place.
constexpr double kFar = 1e5;
float clampPixel(double v) { return static_cast<float>(std::clamp(v, -kFar, kFar)); }
}  // namespace

PixelMap::PixelMap(const ChartScale& scale, int pixelWidth, int pixelHeight)
    : left_(scale.left), top_(scale.top), w_(pixelWidth), h_(pixelHeight) {
  valid_ = scale.valid() && pixelWidth > 0 && pixelHeight > 0;
  if (!valid_) return;
  width_ = scale.width;
  height_ = scale.height;
  spanX_ = std::max(1, pixelWidth - 1);
  spanY_ = std::max(1, pixelHeight - 1);
  kx_ = spanX_ / width_;
  ky_ = spanY_ / height_;
}

PixelMap PixelMap::withVertical(const VerticalScale& vertical) const {
  PixelMap m = *this;
  const double height = vertical.bottom - vertical.top;
  m.top_ = vertical.top;
  m.valid_ = valid_ && height != 0 && std::isfinite(height);
  if (m.valid_) {
    m.height_ = height;
    m.ky_ = m.spanY_ / height;
  }
  return m;
}

void tracePolyline(const TraceSamples& trace, const PixelMap& map, bool decimate,
                   std::vector<PixelPoint>& out) {
  out.clear();
  if (!map.valid() || !trace.y) return;
  const int width = map.pixelWidth();

  // The run being collected: its column and its first, lowest, highest and last
  // point, with the order of lowest and highest.
  bool open = false;
  long column = 0;
  PixelPoint first, low, high, last;
  size_t lowAt = 0, highAt = 0, count = 0;
  auto emit = [&](const PixelPoint& p) {
    if (out.empty() || !(out.back() == p)) out.push_back(p);
  };
  auto flush = [&] {
    if (!open) return;
    emit(first);
    if (count > 1) {
      if (lowAt <= highAt) {
        emit(low);
        emit(high);
      } else {
        emit(high);
        emit(low);
      }
      emit(last);
    }
    open = false;
  };

  for (size_t i = 0; i < trace.count; ++i) {
    const double v = trace.y[i];
    const double f = trace.xAt(i);
    if (std::isnan(v) || !std::isfinite(f)) continue;
    const double px = map.x(f);
    const double py = map.pinnedY(v);
    if (!std::isfinite(px) || !std::isfinite(py)) continue;
    const PixelPoint p{clampPixel(px), clampPixel(py)};
    if (!decimate) {
      out.push_back(p);
      continue;
    }
    const long c = px < 0 ? -1 : px >= width ? width : static_cast<long>(px);
    if (open && c == column) {
      // Pixel rows grow downwards: the lowest value is the largest y.
      if (p.y > low.y) {
        low = p;
        lowAt = count;
      }
      if (p.y < high.y) {
        high = p;
        highAt = count;
      }
      last = p;
      ++count;
      continue;
    }
    flush();
    open = true;
    column = c;
    first = low = high = last = p;
    lowAt = highAt = 0;
    count = 1;
  }
  flush();
}

void traceColumnRuns(const TraceSamples& trace, const PixelMap& map, std::vector<ColumnRun>& out) {
  ColumnScratch scratch;
  traceColumnRuns(trace, map, out, scratch);
}

namespace {

// The columns a line touched and where its two ends are.
struct LineSpan {
  long firstTouched, lastTouched;
  long firstColumn, lastColumn;
  int firstRow, lastRow;
  int height;
};

// The runs of the columns touched, from the rows covered in each (lo, hi),
// which are emptied again; the line's two ends keep their own pixels.
void emitColumns(const LineSpan& span, std::vector<double>& lo, std::vector<double>& hi,
                 std::vector<ColumnRun>& out) {
  for (long c = span.firstTouched; c <= span.lastTouched; ++c) {
    const auto k = static_cast<size_t>(c);
    const double low = lo[k], high = hi[k];
    lo[k] = INFINITY;
    hi[k] = -INFINITY;
    if (!(low <= high)) continue;
    if (high < 0 || low >= span.height) continue;
    // The rounding that matches the raster engine's aliased lines best: a
    // peak's row from its nearest pixel edge, a valley's row the one it is in.
    int top = static_cast<int>(std::floor(low + 0.5));
    int bottom = static_cast<int>(std::floor(high));
    if (c == span.firstColumn)
      top = std::min(top, span.firstRow), bottom = std::max(bottom, span.firstRow);
    if (c == span.lastColumn)
      top = std::min(top, span.lastRow), bottom = std::max(bottom, span.lastRow);
    if (top > bottom) top = bottom = static_cast<int>(std::floor((low + high) / 2));
    top = std::max(0, top);
    bottom = std::min(span.height - 1, bottom);
    if (top > bottom) continue;
    out.push_back({static_cast<int>(c), top, bottom});
  }
}

}  // namespace

void traceColumnRuns(const TraceSamples& trace, const PixelMap& map, std::vector<ColumnRun>& out,
                     ColumnScratch& scratch) {
  out.clear();
  if (!map.valid() || !trace.y || trace.count == 0) return;
  const int width = map.pixelWidth(), height = map.pixelHeight();
  std::vector<double>&lo = scratch.lo, &hi = scratch.hi;
  if (lo.size() < static_cast<size_t>(width) || hi.size() != lo.size()) {
    lo.assign(static_cast<size_t>(width), INFINITY);
    hi.assign(static_cast<size_t>(width), -INFINITY);
  }
  // The columns touched, emptied again on the way out.
  long touchedFirst = width, touchedLast = -1;
  auto cover = [&](long c, double a, double b) {
    if (c < 0 || c >= width) return;
    touchedFirst = std::min(touchedFirst, c);
    touchedLast = std::max(touchedLast, c);
    const auto k = static_cast<size_t>(c);
    lo[k] = std::min(lo[k], std::min(a, b));
    hi[k] = std::max(hi[k], std::max(a, b));
  };

  // Pixel coordinates: x linear in the index when evenly spaced.
  const double x0 = map.x(trace.start);
  const double dx =
      trace.count > 1 ? (map.x(trace.stop) - x0) / static_cast<double>(trace.count - 1) : 0;
  const double ky = map.yScale(), y0 = map.y(0);

  // The previous point, its column, and the rows the line has covered in that
  // column so far (kept here while the line stays in it).
  bool started = false;
  double px = 0, py = 0, runLo = 0, runHi = 0, firstY = 0;
  long pc = 0, firstColumn = -1;
  double index = 0;  // i as a double, counted rather than converted
  for (size_t i = 0; i < trace.count; ++i, index += 1) {
    const double v = trace.y[i];
    const double x = trace.pixelX ? trace.pixelX[i] : trace.x ? map.x(trace.x[i]) : x0 + dx * index;
    if (std::isnan(v) || !std::isfinite(x)) continue;
    const double y = std::isinf(v) ? map.pinnedY(v) : std::clamp(y0 + v * ky, -kFar, kFar);
    // Truncation of a positive number is its floor.
    const long c = static_cast<long>(std::clamp(x, -2.0, width + 1.0) + 2.0) - 2;
    if (started && c == pc) {
      runLo = std::min(runLo, y);
      runHi = std::max(runHi, y);
    } else {
      if (!started) {
        firstColumn = c;
        firstY = y;
        started = true;
      } else {
        // The segment crosses column edges: each column gets the part inside it.
        const double xa = std::min(px, x), xb = std::max(px, x);
        const double ya = px < x ? py : y, yb = px < x ? y : py;
        const double slope = (yb - ya) / (xb - xa);
        const long first = std::max(0L, std::min(pc, c)),
                   last = std::min<long>(width - 1, std::max(pc, c));
        for (long k = first; k <= last; ++k) {
          const double left = std::max(xa, static_cast<double>(k));
          const double right = std::min(xb, static_cast<double>(k + 1));
          cover(k, ya + (left - xa) * slope, ya + (right - xa) * slope);
        }
        cover(pc, runLo, runHi);
      }
      runLo = runHi = y;
    }
    px = x;
    py = y;
    pc = c;
  }
  if (!started) return;
  cover(pc, runLo, runHi);

  // The line's two ends keep their own pixels.
  emitColumns({touchedFirst, touchedLast, firstColumn, pc, static_cast<int>(std::floor(firstY)),
               static_cast<int>(std::floor(py)), height},
              lo, hi, out);
}

}  // namespace kolm::chart
