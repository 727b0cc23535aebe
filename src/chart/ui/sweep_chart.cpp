#include "chart/ui/sweep_chart.h"

#include <QMouseEvent>
#include <QPainter>
#include <cmath>

namespace kolm::chart::ui {

QColor toQColor(const Rgb& rgb) { return QColor(rgb.r, rgb.g, rgb.b); }

QColor paletteQColor(int index) { return toQColor(paletteColour(index)); }

SweepChart::SweepChart(QWidget* parent) : QWidget(parent) {
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setCursor(Qt::CrossCursor);
  QFont f = font();
  f.setFamily("Sans Serif");
  f.setPointSize(8);
  setFont(f);
}

void SweepChart::setScale(const ChartScale& scale) {
  if (scale == scale_) return;
  scale_ = scale;
  invalidateGrid();
}

void SweepChart::setGrid(GridSpec grid) {
  if (grid == grid_) return;
  grid_ = std::move(grid);
  invalidateGrid();
}

void SweepChart::setReferenceTraces(std::vector<Trace> traces) {
  reference_ = std::move(traces);
  invalidateContent();
}

void SweepChart::setMemoryTraces(std::vector<Trace> traces) {
  memory_ = std::move(traces);
  invalidateContent();
}

void SweepChart::setTraces(std::vector<Trace> traces) {
  traces_ = std::move(traces);
  invalidateContent();
}

void SweepChart::setMemoryOnTop(bool onTop) {
  if (onTop == memoryOnTop_) return;
  memoryOnTop_ = onTop;
  invalidateContent();
}

void SweepChart::setCursorLine(std::optional<double> x) {
  if (x == cursorX_) return;
  cursorX_ = x;
  update();
}

void SweepChart::setCursorColour(const QColor& colour) {
  cursorColour_ = colour;
  update();
}

void SweepChart::setRubberBand(std::optional<ZoomRect> rect) {
  if (rect == band_) return;
  band_ = rect;
  update();
}

void SweepChart::setColours(const QColor& background, const QColor& foreground,
                            const QColor& grid) {
  background_ = background;
  foreground_ = foreground;
  gridColour_ = grid;
  invalidateGrid();
}

void SweepChart::setDecimation(bool on) {
  if (on == decimate_) return;
  decimate_ = on;
  invalidateContent();
}

void SweepChart::invalidateGrid() {
  gridDirty_ = true;
  invalidateContent();
}

void SweepChart::invalidateContent() {
  contentDirty_ = true;
  update();
}

std::optional<QPointF> SweepChart::toUser(const QPointF& pixel) const {
  PixelMap m = pixelMap();
  if (!m.valid()) return std::nullopt;
  return QPointF(m.userX(pixel.x()), m.userY(pixel.y()));
}

void SweepChart::paintGrid(QPainter& p, const QSize& size) const {
  p.fillRect(QRect(QPoint(0, 0), size), background_);
  PixelMap m(scale_, size.width(), size.height());
  if (!m.valid()) return;
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setPen(QPen(gridColour_, 0));
  const double w = size.width() - 1, h = size.height() - 1;
  auto visibleRow = [&](double y) { return y >= -0.5 && y <= h + 0.5; };
  // Lines on the nearest pixel row or column.
  for (const auto& line : grid_.horizontal) {
    double y = m.y(line.value);
    if (visibleRow(y)) p.drawLine(QPointF(0, std::round(y)), QPointF(w, std::round(y)));
  }
  for (const auto& line : grid_.vertical) {
    double x = m.x(line.value);
    if (x >= -0.5 && x <= w + 0.5) p.drawLine(QPointF(std::round(x), 0), QPointF(std::round(x), h));
  }
  p.setPen(foreground_);
  p.setFont(font());
  const double ascent = p.fontMetrics().ascent();
  auto label = [&](const GridLine& line) {
    double x = m.x(line.labelX) + 2, y = m.y(line.labelY);
    if (x > w || y > h || y + ascent * 2 < 0) return;
    p.drawText(QPointF(x, y + ascent), QString::fromStdString(line.label));
  };
  for (const auto& line : grid_.horizontal) label(line);
  for (const auto& line : grid_.vertical) label(line);
}

QColor flaggedColour(const QColor& colour, const QColor& background) {
  return QColor((colour.red() + background.red()) / 2, (colour.green() + background.green()) / 2,
                (colour.blue() + background.blue()) / 2);
}

void SweepChart::paintSamples(QPainter& p, const PixelMap& m, const TraceSamples& samples,
                              const QPen& pen) const {
  if (decimate_ && denseTrace(samples.count, m.pixelWidth())) {
    traceColumnRuns(samples, m, runs_);
    // One vertical line per column (a lone pixel for a line of no length).
    lines_.resize(runs_.size());
    for (size_t i = 0; i < runs_.size(); ++i)
      lines_[i] = QLine(runs_[i].x, runs_[i].top, runs_[i].x, runs_[i].bottom);
    QPen solid = pen;
    solid.setStyle(Qt::SolidLine);  // a dash pattern means nothing on one-pixel columns
    p.setPen(solid);
    p.drawLines(lines_.data(), static_cast<int>(lines_.size()));
    return;
  }
  tracePolyline(samples, m, decimate_, pixels_);
  if (pixels_.empty()) return;
  p.setPen(pen);
  points_.resize(pixels_.size());
  for (size_t i = 0; i < pixels_.size(); ++i) points_[i] = QPointF(pixels_[i].x, pixels_[i].y);
  if (points_.size() == 1)
    p.drawPoint(points_[0]);
  else
    p.drawPolyline(points_.data(), static_cast<int>(points_.size()));
}

void SweepChart::paintTrace(QPainter& p, const PixelMap& map, const Trace& trace) const {
  if (trace.y.empty()) return;
  if (!trace.x.empty() && trace.x.size() < trace.y.size()) return;
  const PixelMap m = trace.vertical ? map.withVertical(*trace.vertical) : map;
  TraceSamples all{trace.y.data(), trace.y.size(), trace.x.empty() ? nullptr : trace.x.data(),
                   trace.start, trace.stop};
  const QPen pen(trace.colour, 0);
  if (trace.marks.empty()) {
    paintSamples(p, m, all, pen);
    return;
  }
  // Plain stretches first, then the marked ones over their joins.
  markRuns(trace.marks.data(), trace.marks.size(), all.count, markRuns_);
  const std::vector<MarkRun> runs = markRuns_;
  QPen dimmed(flaggedColour(trace.colour, background_), 0, Qt::DashLine);
  for (bool flaggedPass : {false, true}) {
    for (const MarkRun& run : runs) {
      if (run.flagged != flaggedPass) continue;
      TraceSamples part{all.y + run.first, run.last - run.first + 1,
                        all.x ? all.x + run.first : nullptr, all.xAt(run.first), all.xAt(run.last)};
      paintSamples(p, m, part, flaggedPass ? dimmed : pen);
    }
  }
}

void SweepChart::paintTraces(QPainter& p, const QSize& size) const {
  PixelMap m(scale_, size.width(), size.height());
  if (!m.valid()) return;
  p.setRenderHint(QPainter::Antialiasing, false);
  for (const auto& t : reference_) paintTrace(p, m, t);
  if (!memoryOnTop_)
    for (const auto& t : memory_) paintTrace(p, m, t);
  for (const auto& t : traces_) paintTrace(p, m, t);
  if (memoryOnTop_)
    for (const auto& t : memory_) paintTrace(p, m, t);
}

void SweepChart::paintChart(QPainter& painter, const QSize& size) const {
  painter.save();
  painter.setClipRect(QRect(QPoint(0, 0), size));
  paintGrid(painter, size);
  paintTraces(painter, size);
  painter.restore();
}

QPixmap SweepChart::makePixmap() const {
  const qreal dpr = devicePixelRatioF();
  QPixmap pm(size() * dpr);
  pm.setDevicePixelRatio(dpr);
  return pm;
}

void SweepChart::redrawContent() {
  if (gridDirty_ || gridCache_.size() != size() * devicePixelRatioF()) {
    gridCache_ = makePixmap();
    QPainter p(&gridCache_);
    paintGrid(p, size());
    gridDirty_ = false;
  }
  contentCache_ = gridCache_;  // shared until painted on
  contentCache_.detach();
  {
    QPainter p(&contentCache_);
    p.setClipRect(rect());
    paintTraces(p, size());
  }
  contentDirty_ = false;
}

void SweepChart::paintEvent(QPaintEvent*) {
  if (contentDirty_ || contentCache_.size() != size() * devicePixelRatioF()) redrawContent();
  QPainter p(this);
  p.drawPixmap(0, 0, contentCache_);
  PixelMap m = pixelMap();
  if (!m.valid()) return;
  if (cursorX_) {
    double x = m.x(*cursorX_);
    p.setPen(QPen(cursorColour_, 0));
    p.drawLine(QPointF(x, 0), QPointF(x, height() - 1));
  }
  if (band_) {
    const double x = m.x(band_->left), y = m.y(band_->top);
    const double w = std::fabs(band_->width * m.xScale());
    const double h = std::fabs(band_->height * m.yScale());
    p.setPen(QPen(foreground_, 0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(x, y, w, h));
  }
}

void SweepChart::resizeEvent(QResizeEvent*) { invalidateGrid(); }

void SweepChart::mousePressEvent(QMouseEvent* event) {
  if (auto u = toUser(event->position())) emit mousePressed(u->x(), u->y(), event->button());
}

void SweepChart::mouseMoveEvent(QMouseEvent* event) {
  if (auto u = toUser(event->position())) emit mouseMoved(u->x(), u->y(), event->buttons());
}

void SweepChart::mouseReleaseEvent(QMouseEvent* event) {
  if (auto u = toUser(event->position())) emit mouseReleased(u->x(), u->y(), event->button());
}

void SweepChart::mouseDoubleClickEvent(QMouseEvent* event) {
  if (auto u = toUser(event->position())) emit doubleClicked(u->x(), u->y());
}

}  // namespace kolm::chart::ui
