// The words a chart writes itself: the grid's labels and the axes' units, and in
// a combined chart the scale of each further quantity in its trace's colour.
// What is drawn over the chart (markers, the readout box, the legend) keeps
// clear of them.
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <optional>

#include "chart/ui/sweep_chart.h"

namespace kolm::chart::ui {

namespace {

QFont boldOf(QFont f) {
  f.setBold(true);
  return f;
}

Box boxOf(const QRectF& r) { return {r.left(), r.top(), r.width(), r.height()}; }

// A vertical scale equal to the chart's own, to a millionth of its range.
bool sameVertical(const VerticalScale& v, const ChartScale& s) {
  const double tolerance = 1e-6 * std::fabs(s.height);
  return std::fabs(v.top - s.top) <= tolerance && std::fabs(v.bottom - s.bottom()) <= tolerance;
}

}  // namespace

void SweepChart::paintLabel(QPainter& p, const ChartLabel& label) const {
  const QFont f = label.bold ? boldOf(font()) : font();
  p.setFont(f);
  p.setPen(label.colour);
  p.drawText(QPointF(label.box.left(), label.box.top() + QFontMetricsF(f).ascent()), label.text);
}

std::vector<SweepChart::ChartLabel> SweepChart::gridLabels(const QSize& size) const {
  std::vector<ChartLabel> labels;
  const PixelMap m(scale_, size.width(), size.height());
  if (!m.valid()) return labels;
  const QFontMetricsF fm(font());
  const double w = size.width() - 1, h = size.height() - 1;
  // A value is written whole or not at all: one the chart's edge would cut
  // ("-5" over the top, "45" under the foot) is left out, and so is a level
  // that would sit among the frequencies along the top.
  auto whole = [&](const GridLine& line) -> std::optional<ChartLabel> {
    const double x = m.x(line.labelX) + 2, y = m.y(line.labelY);
    const QString text = QString::fromStdString(line.label);
    const QRectF box(x, y, fm.horizontalAdvance(text), fm.height());
    if (box.left() < 0 || box.right() > w + 1 || box.top() < 0 || box.bottom() > h + 1) return {};
    return ChartLabel{text, box, foreground_};
  };
  for (const auto& line : grid_.vertical)
    if (auto l = whole(line)) labels.push_back(*l);
  const size_t frequencies = labels.size();
  for (const auto& line : grid_.horizontal) {
    const auto l = whole(line);
    if (l && std::none_of(labels.begin(), labels.begin() + static_cast<std::ptrdiff_t>(frequencies),
                          [&](const ChartLabel& f) { return f.box.intersects(l->box); }))
      labels.push_back(*l);
  }
  // The units, at the far ends of the axes: across at the bottom right, up at
  // the bottom left.
  const QFontMetricsF bold(boldOf(font()));
  auto unit = [&](const std::string& u, bool across) {
    if (u.empty()) return;
    const QString text = QString::fromStdString(u);
    const double width = bold.horizontalAdvance(text);
    const double baseline = h - 3 - bold.descent() - (across ? 0 : bold.height());
    const double x = across ? w - 3 - width : 3;
    const QRectF box(x, baseline - bold.ascent(), width, bold.height());
    // A value the unit would be written over (on a low chart) is left out.
    std::erase_if(labels, [&](const ChartLabel& l) { return !l.bold && l.box.intersects(box); });
    labels.push_back({text, box, foreground_, true});
  };
  unit(grid_.xUnit, true);
  unit(grid_.yUnit, false);
  return labels;
}

std::vector<SweepChart::ChartLabel> SweepChart::ownScaleColumns(
    const QSize& size, const std::vector<ChartLabel>& grid) const {
  std::vector<ChartLabel> labels;
  const PixelMap m(scale_, size.width(), size.height());
  if (!m.valid()) return labels;
  // One column per further vertical scale, in the order the traces come, from
  // the right edge inwards; each holds the values at the grid's lines and the
  // unit at the foot, right-aligned, in the first such trace's colour.
  std::vector<VerticalScale> seen;
  const QFontMetricsF fm(font()), bold(boldOf(font()));
  const double h = size.height() - 1;
  double right = size.width() - 4;
  for (const auto* list : {&traces_, &memory_})
    for (const Trace& t : *list) {
      if (!t.vertical || sameVertical(*t.vertical, scale_) ||
          std::find(seen.begin(), seen.end(), *t.vertical) != seen.end())
        continue;
      seen.push_back(*t.vertical);
      const QColor colour = paintedColour(t);
      const QString unit = QString::fromStdString(t.unit);
      std::vector<ChartLabel> column;
      double width = bold.horizontalAdvance(unit);
      for (const GridLine& line : chart::ownScaleLabels(*t.vertical, scale_)) {
        const double y = m.y(line.labelY);
        if (y > h || y + fm.ascent() * 2 < 0) continue;
        const QString text = QString::fromStdString(line.label);
        width = std::max(width, fm.horizontalAdvance(text));
        column.push_back({text, QRectF(0, y, fm.horizontalAdvance(text), fm.height()), colour});
      }
      if (!unit.isEmpty()) {
        const double baseline = h - 3 - bold.descent() - bold.height();
        column.push_back(
            {unit, QRectF(0, baseline - bold.ascent(), bold.horizontalAdvance(unit), bold.height()),
             colour, true});
      }
      // A value that would run into the grid's own words (the frequency unit
      // in the corner) is left out.
      for (ChartLabel& l : column) {
        l.box.moveLeft(right - l.box.width());
        const bool clear = std::none_of(
            grid.begin(), grid.end(), [&](const ChartLabel& g) { return g.box.intersects(l.box); });
        if (clear) labels.push_back(l);
      }
      right -= width + 8;
    }
  return labels;
}

std::vector<Box> SweepChart::labelRoom(const QSize& size) const {
  const std::vector<ChartLabel> grid = gridLabels(size);
  return labelRoom(grid, ownScaleColumns(size, grid));
}

std::vector<Box> SweepChart::labelRoom(const std::vector<ChartLabel>& grid,
                                       const std::vector<ChartLabel>& columns) {
  std::vector<Box> room;
  for (const auto* labels : {&grid, &columns})
    for (const ChartLabel& l : *labels) room.push_back(boxOf(l.box.adjusted(-1, 0, 1, 0)));
  return room;
}

}  // namespace kolm::chart::ui
