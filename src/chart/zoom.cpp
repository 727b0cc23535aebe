#include "chart/zoom.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

#include "chart/scale.h"
#include "common/text.h"

namespace kolm::chart {

void RubberBand::press(double x, double y) {
  visible_ = true;
  rect_ = {x, y, 0, 0};
}

void RubberBand::drag(double x, double y) {
  if (!visible_) return;
  rect_.width = std::fabs(x - rect_.left);
  rect_.height = std::fabs(y - rect_.top);
}

std::optional<ZoomRect> RubberBand::release() {
  if (!visible_) return std::nullopt;
  visible_ = false;
  return rect_;
}

ZoomOutcome Zoom(const View& view, const ZoomRect& rect, double boxStart, double boxStop,
                 double boxPoints, const ZoomPolicy& policy) {
  ZoomOutcome out;
  out.view = view;
  const float minWidth = static_cast<float>((view.stop - view.start) / 100.0);
  if (!(rect.width >= minWidth) || !std::isfinite(rect.width)) return out;
  out.accepted = true;

  const double left = rect.left;
  double right = left + rect.width;
  if (right > view.stop) right = view.stop;
  // Sweep points under the rectangle. An empty span in the boxes was swept as
  // 0.1 MHz.
  double boxSpan = boxStop - boxStart;
  if (boxSpan == 0) boxSpan = 0.1;
  const double points = (right - left) / boxSpan * boxPoints;
  const bool enough = policy.atLeast ? points >= policy.minPoints : points > policy.minPoints;
  if (enough && right > left) {
    out.view.start = left;
    out.view.stop = right;
    out.spanChanged = true;
  }

  if (policy.changesLevel && rect.height > 1) {
    float top = static_cast<float>(rect.top);
    float bottom = static_cast<float>(view.bottom);
    const float h = static_cast<float>(rect.height);
    if (top < bottom)
      bottom = h + top;
    else
      bottom = top - h;
    guardLevels(top, bottom);
    out.view.top = top;
    out.view.bottom = bottom;
    out.levelChanged = true;
  }
  return out;
}

View powerMeterReset(double boxStart, double boxStop, double boxTop, double boxBottom) {
  float start = static_cast<float>(boxStart), stop = static_cast<float>(boxStop);
  float top = static_cast<float>(boxTop), bottom = static_cast<float>(boxBottom);
  guardSpan(start, stop);
  guardLevels(top, bottom);
  return {start, stop, top, bottom};
}

View analyzerReset(const View& view, double traceStart, double traceStop) {
  View v = view;
  // The trace span is kept in single precision: take the decimals it stands for,
  // so that the boxes show 3.1 and not 3.09999990463257.
  v.start = common::decimalOfSingle(static_cast<float>(traceStart));
  v.stop = common::decimalOfSingle(static_cast<float>(traceStop));
  return v;
}

void ZoomHistory::reset(const View& home) {
  views_.assign(1, home);
  at_ = 0;
}

void ZoomHistory::push(const View& view) {
  if (view == views_[at_]) return;
  views_.resize(at_ + 1);
  views_.push_back(view);
  // The home view stays; the oldest zooms after it go first.
  if (views_.size() > kMaxViews) views_.erase(views_.begin() + 1);
  at_ = views_.size() - 1;
}

std::optional<View> ZoomHistory::back() {
  if (!canGoBack()) return std::nullopt;
  return views_[--at_];
}

std::optional<View> ZoomHistory::forward() {
  if (!canGoForward()) return std::nullopt;
  return views_[++at_];
}

std::optional<View> zoomAbout(const View& view, double x, double factor, double traceStart,
                              double traceStop, double points, const ZoomPolicy& policy) {
  const double span = view.stop - view.start;
  if (!(factor > 0) || !std::isfinite(factor) || !(span > 0) || !std::isfinite(x)) return {};
  double newSpan = span * factor;
  if (factor < 1) {
    // The narrowest span the rubber band would accept, from the trace's points.
    const double traceSpan = std::fabs(traceStop - traceStart);
    if (points > 0 && traceSpan > 0) {
      const double narrowest = traceSpan * policy.minPoints / points * (policy.atLeast ? 1 : 1.01);
      if (newSpan < narrowest) newSpan = std::min(span, narrowest);
    }
  }
  if (newSpan == span) return {};
  const double t = (x - view.start) / span;  // where x stands across the chart
  View out = view;
  out.start = x - t * newSpan;
  out.stop = out.start + newSpan;
  return out;
}

std::string resolvedText(double value, double resolution) {
  if (!std::isfinite(resolution) || resolution <= 0 || !std::isfinite(value))
    return common::shortestText(value);
  const int decimals = std::clamp(static_cast<int>(std::ceil(-std::log10(resolution))), 0, 12);
  std::array<char, 64> buffer{};
  const auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                       std::chars_format::fixed, decimals);
  if (ec != std::errc()) return common::shortestText(value);
  std::string text(buffer.data(), end);
  if (text.find('.') != std::string::npos) {
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.') text.pop_back();
  }
  if (text == "-0") text = "0";
  return text;
}

}  // namespace kolm::chart
