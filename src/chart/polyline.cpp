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
    if (!std::isfinite(v) || !std::isfinite(f)) continue;
    const double px = map.x(f);
    const double py = map.y(v);
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

}  // namespace kolm::chart
