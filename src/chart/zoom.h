// Rubber-band zoom and the double-click reset of a sweep chart.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace kolm::chart {

// What a chart shows: the frequency span across, the range up.
struct View {
  double start = 0;
  double stop = 0;
  double top = 0;
  double bottom = 0;
  bool operator==(const View&) const = default;
};

// The dragged rectangle in user units: its corner stays at the press point and
// it grows rightwards and downwards (on the screen) by the distances dragged.
struct ZoomRect {
  double left = 0;
  double top = 0;
  double width = 0;
  double height = 0;
  bool operator==(const ZoomRect&) const = default;
};

// The rubber band as the mouse handlers drive it.
class RubberBand {
 public:
  // Left button down: shown at (x, y) with no size.
  void press(double x, double y);
  // Any move: while shown, width := |x - left|, height := |y - top|.
  void drag(double x, double y);
  // Left button up: hides it; the rectangle when it was shown.
  std::optional<ZoomRect> release();
  void hide() { visible_ = false; }
  bool visible() const { return visible_; }
  const ZoomRect& rect() const { return rect_; }

 private:
  bool visible_ = false;
  ZoomRect rect_;
};

// The rules that differ between the instruments.
struct ZoomPolicy {
  // The zoomed span must hold more than (or, with atLeast, at least) this many
  // sweep points, counted on the span and points of the settings boxes.
  double minPoints = 5;
  bool atLeast = false;
  // The power meter also narrows the level range; the analyzer's vertical
  // scales are fixed.
  bool changesLevel = true;
};
inline constexpr ZoomPolicy kPowerMeterZoom{5, false, true};
inline constexpr ZoomPolicy kAnalyzerZoom{10, true, false};

struct ZoomOutcome {
  // False when the rectangle is narrower than 1 % of the span: nothing changes
  // and nothing is redrawn.
  bool accepted = false;
  bool spanChanged = false;
  bool levelChanged = false;
  View view;
};

// Applies the rectangle to `view`. boxStart, boxStop and boxPoints are the
// numeric values of the start, stop and points boxes.
ZoomOutcome Zoom(const View& view, const ZoomRect& rect, double boxStart, double boxStop,
                 double boxPoints, const ZoomPolicy& policy);

// Double click on the power meter chart: span and levels from the boxes; an
// empty span becomes 0.1 MHz wide (start above stop is kept, mirrored), equal
// levels move the bottom 1 dB down.
View powerMeterReset(double boxStart, double boxStop, double boxTop, double boxBottom);

// Double click on the analyzer chart: the span of the stored trace; the
// vertical range stays.
View analyzerReset(const View& view, double traceStart, double traceStop);

// The views a chart has shown since its data was set, to go back and forward
// through zooms. The first entry is the home view (the whole measurement as it
// was swept or opened): the double-click reset returns there, as a new entry,
// so that a reset can itself be gone back on.
class ZoomHistory {
 public:
  static constexpr size_t kMaxViews = 64;

  // New data: the history is only `home`.
  void reset(const View& home);
  // A new view after the current one; the views ahead of the current one are
  // dropped. A view equal to the current one adds nothing.
  void push(const View& view);
  // Steps back or forward; empty at either end.
  std::optional<View> back();
  std::optional<View> forward();
  bool canGoBack() const { return at_ > 0; }
  bool canGoForward() const { return at_ + 1 < views_.size(); }
  const View& current() const { return views_[at_]; }
  const View& home() const { return views_.front(); }
  size_t size() const { return views_.size(); }

 private:
  std::vector<View> views_{View{}};
  size_t at_ = 0;
};

// Zoom about the frequency x by `factor` (below 1 narrows the span, above 1
// widens it), keeping x at the same place across the chart; levels unchanged.
// A narrower span stops where the zoom rule of `policy` would refuse it: the
// span keeps at least minPoints of the `points` steps over [traceStart,
// traceStop]. Empty when nothing would change.
std::optional<View> zoomAbout(const View& view, double x, double factor, double traceStart,
                              double traceStop, double points, const ZoomPolicy& policy);

// The text a zoom writes into a box: `value` to the digit `resolution` resolves
// (a step of the sweep for a frequency, kLevelResolutionDb for a level), without
// trailing zeros and never "-0", so that a narrow box shows the number whole.
// A resolution that is not positive and finite gives the shortest form.
inline constexpr double kLevelResolutionDb = 0.1;
std::string resolvedText(double value, double resolution);

}  // namespace kolm::chart
