#include "chart/ui/sweep_chart.h"

#include <QAction>
#include <QPainter>
#include <QTimer>
#include <cmath>

#include "chart/band.h"

namespace kolm::chart::ui {

QColor toQColor(const Rgb& rgb) { return QColor(rgb.r, rgb.g, rgb.b); }

QColor paletteQColor(int index) { return toQColor(paletteColour(index)); }

Rgb toRgb(const QColor& c) {
  return {static_cast<uint8_t>(c.red()), static_cast<uint8_t>(c.green()),
          static_cast<uint8_t>(c.blue())};
}

namespace {
// Dashes of memory traces: 6 pixels on, 4 off.
constexpr int kDashOn = 6, kDashPeriod = 10;

// The pixels of `picture` where painter `p` would put an opaque colour's
// pixels of an area of `size` unchanged (a 32-bit picture drawn on without
// transformation, opacity or a clip inside the area), so that dense columns
// are written there rather than stroked; null where not.
uchar* columnPixels(QPainter& p, QImage& picture, const QSize& size, qsizetype& stride) {
  const QImage::Format f = picture.format();
  const bool rgb32 = f == QImage::Format_RGB32 || f == QImage::Format_ARGB32 ||
                     f == QImage::Format_ARGB32_Premultiplied;
  const QRect area(QPoint(0, 0), size);
  if (!rgb32 || p.device() != &picture || !p.deviceTransform().isIdentity() || p.opacity() != 1 ||
      p.compositionMode() != QPainter::CompositionMode_SourceOver ||
      !picture.rect().contains(area) ||
      (p.hasClipping() && !QRegion(area).subtracted(p.clipRegion()).isEmpty()))
    return nullptr;
  stride = picture.bytesPerLine();
  return picture.bits();
}
}  // namespace

SweepChart::SweepChart(QWidget* parent) : QWidget(parent) {
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setCursor(Qt::CrossCursor);
  QFont f = font();
  f.setFamily("Sans Serif");
  f.setPointSize(8);
  setFont(f);

  // The chart's keys act only while it has the focus, which a click gives it:
  // editing keys in a text box beside it stay the box's.
  setFocusPolicy(Qt::StrongFocus);

  // The zoom history, on the right-click menu and the keyboard.
  auto action = [this](const char* name, const QString& text, QList<QKeySequence> keys,
                       void (SweepChart::*slot)()) {
    auto* a = new QAction(text, this);
    a->setObjectName(name);
    a->setShortcuts(keys);
    a->setShortcutContext(Qt::WidgetShortcut);
    if (slot) connect(a, &QAction::triggered, this, slot);
    addAction(a);
    return a;
  };
  backAction_ = action("zoomBack", tr("Zoom back"),
                       {QKeySequence(Qt::Key_Backspace), QKeySequence(Qt::ALT | Qt::Key_Left)},
                       &SweepChart::zoomBack);
  forwardAction_ =
      action("zoomForward", tr("Zoom forward"),
             {QKeySequence(Qt::SHIFT | Qt::Key_Backspace), QKeySequence(Qt::ALT | Qt::Key_Right)},
             &SweepChart::zoomForward);
  wholeAction_ = action("zoomWhole", tr("Whole span (double-click)"), {}, &SweepChart::resetZoom);
  auto* removeMarker = action("markerRemoveActive", tr("Remove the active marker"),
                              {QKeySequence(Qt::Key_Delete)}, nullptr);
  connect(removeMarker, &QAction::triggered, this, [this] {
    if (auto n = markers_.active()) this->removeMarker(*n);
  });
  setContextMenuPolicy(Qt::ActionsContextMenu);
  updateZoomActions();
}

QColor SweepChart::paintedColour(const Trace& trace) const {
  return toQColor(traceColour(toRgb(trace.colour), toRgb(gridColour_), toRgb(background_)));
}

void SweepChart::setCursorLineShown(bool shown) {
  cursorLineShown_ = shown;
  update();
}

void SweepChart::setCursorAt(double x, double y) {
  PixelMap m = pixelMap();
  const double fraction = m.valid() && height() > 1 ? m.y(y) / (height() - 1) : 0;
  const bool moved = !cursorSet_ || !cursorX_ || *cursorX_ != x || fraction != cursorYFraction_;
  cursorSet_ = true;
  cursorYFraction_ = std::isfinite(fraction) ? fraction : 0;
  if (cursorX_ != x) {
    cursorX_ = x;
    update();
  }
  if (moved) emit cursorChanged(x, y);
}

std::optional<QPointF> SweepChart::cursorPosition() const {
  if (!cursorSet_ || !cursorX_) return std::nullopt;
  PixelMap m = pixelMap();
  const double y = m.valid() ? m.userY(cursorYFraction_ * (height() - 1)) : 0;
  return QPointF(*cursorX_, y);
}

void SweepChart::scheduleReadout() {
  if (!cursorSet_ || readoutPending_) return;
  readoutPending_ = true;
  QTimer::singleShot(0, this, [this] {
    readoutPending_ = false;
    if (auto c = cursorPosition()) emit cursorChanged(c->x(), c->y());
  });
}

void SweepChart::setLegendNotes(QStringList notes) {
  if (notes == legendNotes_) return;
  legendNotes_ = std::move(notes);
  invalidateContent();
}

void SweepChart::setNote(const QString& note) {
  if (note == note_) return;
  note_ = note;
  invalidateContent();
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
  scheduleReadout();
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
  for (const ChartLabel& label : gridLabels(size)) paintLabel(p, label);
}

QColor flaggedColour(const QColor& colour, const QColor&) {
  // Halfway to grey: paler than the trace on a dark or a light background.
  return QColor((colour.red() + 128) / 2, (colour.green() + 128) / 2, (colour.blue() + 128) / 2);
}

void SweepChart::paintSamples(QPainter& p, const PixelMap& m, const TraceSamples& samples,
                              const QPen& pen, bool columns, bool dashedColumns) const {
  if (columns) {
    traceColumnRuns(samples, m, runs_, columnScratch_);
    // One vertical line per column (a lone pixel for a line of no length); a
    // dashed trace leaves columns out in its pattern. In the chart's own
    // picture the lines' pixels are written straight in (columnPixels): the
    // same pixels, many times faster than stroked.
    if (columnBits_ && pen.color().alpha() == 255) {
      const QRgb colour = pen.color().rgba();
      for (const ColumnRun& r : runs_) {
        if (dashedColumns && r.x % kDashPeriod >= kDashOn) continue;
        uchar* row = columnBits_ + columnStride_ * r.top;
        for (int y = r.top; y <= r.bottom; ++y, row += columnStride_)
          reinterpret_cast<QRgb*>(row)[r.x] = colour;
      }
      return;
    }
    lines_.clear();
    lines_.reserve(runs_.size());
    for (const ColumnRun& r : runs_)
      if (!dashedColumns || r.x % kDashPeriod < kDashOn)
        lines_.emplace_back(r.x, r.top, r.x, r.bottom);
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

void SweepChart::paintBand(QPainter& p, const PixelMap& m, const Trace& trace,
                           const QColor& colour) const {
  const double* x = trace.x.empty() ? nullptr : trace.x.data();
  const size_t n = trace.y.size();
  const TraceSamples low{trace.bandLow.data(), n, x, trace.start, trace.stop};
  const TraceSamples high{trace.bandHigh.data(), n, x, trace.start, trace.stop};
  QColor tint = colour;
  tint.setAlpha(70);
  p.save();
  p.setPen(Qt::NoPen);
  p.setBrush(tint);
  if (decimate_ && denseTrace(n, m.pixelWidth())) {
    // A dense band column by column: its outline would be a polygon of up to
    // eight corners a column, many times slower to fill.
    bandColumns(low, high, m, runs_, columnScratch_);
    rects_.clear();
    rects_.reserve(runs_.size());
    for (const ColumnRun& r : runs_) rects_.emplace_back(r.x, r.top, 1, r.bottom - r.top + 1);
    p.drawRects(rects_.data(), static_cast<int>(rects_.size()));
  } else {
    bandOutline(low, high, m, pixels_);
    if (pixels_.size() >= 3) {
      points_.resize(pixels_.size());
      for (size_t i = 0; i < pixels_.size(); ++i) points_[i] = QPointF(pixels_[i].x, pixels_[i].y);
      p.drawPolygon(points_.data(), static_cast<int>(points_.size()));
    }
  }
  p.restore();
}

const double* SweepChart::pixelXOf(const PixelMap& map, const double* x, size_t count) const {
  for (size_t k = 0; k < pixelXsUsed_; ++k)
    if (pixelXs_[k].x == x && pixelXs_[k].count == count) return pixelXs_[k].pixels.data();
  if (pixelXsUsed_ == pixelXs_.size()) pixelXs_.emplace_back();
  PixelXs& made = pixelXs_[pixelXsUsed_++];
  made.x = x;
  made.count = count;
  made.pixels.resize(count);
  for (size_t i = 0; i < count; ++i) made.pixels[i] = map.x(x[i]);
  return made.pixels.data();
}

void SweepChart::paintTrace(QPainter& p, const PixelMap& map, const Trace& trace) const {
  if (trace.y.empty()) return;
  if (!trace.x.empty() && trace.x.size() < trace.y.size()) return;
  const PixelMap m = trace.vertical ? map.withVertical(*trace.vertical) : map;
  TraceSamples all{trace.y.data(), trace.y.size(), trace.x.empty() ? nullptr : trace.x.data(),
                   trace.start, trace.stop};
  const QColor colour = paintedColour(trace);
  if (trace.bandLow.size() == all.count && trace.bandHigh.size() == all.count)
    paintBand(p, m, trace, colour);
  QPen pen(colour, 0);
  if (trace.dashed) pen.setDashPattern({kDashOn, kDashPeriod - kDashOn});
  // A dense trace is drawn in columns throughout, its marked stretches too.
  const bool columns = decimate_ && denseTrace(all.count, m.pixelWidth());
  if (columns && all.x) all.pixelX = pixelXOf(m, all.x, all.count);
  if (trace.marks.empty()) {
    paintSamples(p, m, all, pen, columns, trace.dashed);
    return;
  }
  // Plain stretches first, then the marked ones over their joins.
  markRuns(trace.marks.data(), trace.marks.size(), all.count, markRuns_);
  QPen dimmed(flaggedColour(colour, background_), 0, Qt::DashLine);
  for (bool flaggedPass : {false, true}) {
    for (const MarkRun& run : markRuns_) {
      if (run.flagged != flaggedPass) continue;
      TraceSamples part{all.y + run.first,
                        run.last - run.first + 1,
                        all.x ? all.x + run.first : nullptr,
                        all.xAt(run.first),
                        all.xAt(run.last),
                        all.pixelX ? all.pixelX + run.first : nullptr};
      paintSamples(p, m, part, flaggedPass ? dimmed : pen, columns, trace.dashed && !flaggedPass);
    }
  }
}

void SweepChart::paintTraces(QPainter& p, const QSize& size) const {
  PixelMap m(scale_, size.width(), size.height());
  if (!m.valid()) return;
  p.setRenderHint(QPainter::Antialiasing, false);
  pixelXsUsed_ = 0;  // the arrays may have been written again since the last painting
  for (const auto& t : reference_) paintTrace(p, m, t);
  if (!memoryOnTop_)
    for (const auto& t : memory_) paintTrace(p, m, t);
  for (const auto& t : traces_) paintTrace(p, m, t);
  if (memoryOnTop_)
    for (const auto& t : memory_) paintTrace(p, m, t);
  // The labels are laid out once: drawn here, and kept clear of by the legend.
  const std::vector<ChartLabel> grid = gridLabels(size);
  const std::vector<ChartLabel> columns = ownScaleColumns(size, grid);
  for (const ChartLabel& label : columns) paintLabel(p, label);
  const std::optional<Box> legend = legendBox(size, labelRoom(grid, columns));
  if (legend) paintLegend(p, *legend);
  if (const std::optional<Box> place = noteBox(size, legend)) {
    QFont f = font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.4);
    p.setFont(f);
    const QRect veiled(static_cast<int>(place->left), static_cast<int>(place->top),
                       static_cast<int>(place->width), static_cast<int>(place->height));
    QColor veil = background_;
    veil.setAlpha(200);
    p.fillRect(veiled, veil);
    p.setPen(QColor(255, 213, 74));
    p.drawText(veiled, Qt::AlignCenter, note_);
  }
}

std::optional<Box> SweepChart::noteBox(const QSize& size, const std::optional<Box>& legend) const {
  if (note_.isEmpty()) return std::nullopt;
  QFont f = font();
  f.setBold(true);
  f.setPointSizeF(f.pointSizeF() * 1.4);
  const QFontMetrics fm(f);
  const int width = fm.horizontalAdvance(note_) + 16, height = fm.height() + 8;
  const Box place{double(size.width() - width) / 2, double(fm.height() + 6), double(width),
                  double(height)};
  return legend ? clearOf(place, {*legend}, 0, 4, size.height() / 8) : place;
}

// What is drawn, top right: a short sample of each named trace (dashed as it
// is drawn) and its name, then the notes, on a veil of the background.
namespace {
constexpr int kLegendSample = 22, kLegendPad = 4;
}  // namespace

std::vector<const Trace*> SweepChart::namedTraces() const {
  std::vector<const Trace*> named;
  for (const auto* list : {&traces_, &memory_, &reference_})
    for (const Trace& t : *list)
      if (!t.name.isEmpty()) named.push_back(&t);
  return named;
}

std::optional<Box> SweepChart::legendBox(const QSize& size, const std::vector<Box>& room) const {
  const std::vector<const Trace*> named = namedTraces();
  if (named.empty() && legendNotes_.isEmpty()) return std::nullopt;
  const QFontMetrics fm(font());
  int textWidth = 0;
  for (const Trace* t : named) textWidth = std::max(textWidth, fm.horizontalAdvance(t->name));
  const int sampled = named.empty() ? 0 : kLegendPad + kLegendSample;
  for (const QString& n : legendNotes_)
    textWidth = std::max(textWidth, fm.horizontalAdvance(n) - sampled);
  const int rowH = fm.height();
  const int w = kLegendPad * 2 + sampled + textWidth;
  const int h = kLegendPad * 2 + rowH * static_cast<int>(named.size() + legendNotes_.size());
  // Below the row of frequency labels along the top edge, moved left of any
  // column of labels at the right edge.
  return clearOf({double(size.width() - w - 6), double(rowH + 6), double(w), double(h)}, room, -4,
                 0, size.width() / 4);
}

void SweepChart::paintLegend(QPainter& p, const Box& place) const {
  constexpr int kSample = kLegendSample, kPad = kLegendPad;
  const std::vector<const Trace*> named = namedTraces();
  p.setFont(font());
  const QFontMetrics fm(font());
  const int rowH = fm.height();
  const QRect box(static_cast<int>(place.left), static_cast<int>(place.top),
                  static_cast<int>(place.width), static_cast<int>(place.height));
  QColor veil = background_;
  veil.setAlpha(215);
  p.fillRect(box, veil);
  p.setPen(QPen(foreground_, 0));
  p.drawRect(box.adjusted(0, 0, -1, -1));
  int y = box.top() + kPad;
  for (const Trace* t : named) {
    QPen pen(paintedColour(*t), 2);
    if (t->dashed) pen.setDashPattern({kDashOn / 2.0, (kDashPeriod - kDashOn) / 2.0});
    p.setPen(pen);
    const int mid = y + rowH / 2;
    p.drawLine(box.left() + kPad, mid, box.left() + kPad + kSample, mid);
    p.setPen(foreground_);
    p.drawText(QPoint(box.left() + kPad * 2 + kSample, y + fm.ascent()), t->name);
    y += rowH;
  }
  p.setPen(foreground_);
  for (const QString& n : legendNotes_) {
    p.drawText(QPoint(box.left() + kPad, y + fm.ascent()), n);
    y += rowH;
  }
}

void SweepChart::paintChart(QPainter& painter, const QSize& size) const {
  painter.save();
  painter.setClipRect(QRect(QPoint(0, 0), size));
  paintGrid(painter, size);
  paintTraces(painter, size);
  paintMarkers(painter, size);
  painter.restore();
}

QImage SweepChart::makePicture() const {
  const qreal dpr = devicePixelRatioF();
  QImage picture = QPixmap(size() * dpr).toImage();
  picture.setDevicePixelRatio(dpr);
  picture.setDotsPerMeterX(std::lround(logicalDpiX() / 0.0254));
  picture.setDotsPerMeterY(std::lround(logicalDpiY() / 0.0254));
  return picture;
}

void SweepChart::redrawContent() {
  if (gridDirty_ || gridCache_.size() != size() * devicePixelRatioF()) {
    gridCache_ = makePicture();
    QPainter p(&gridCache_);
    paintGrid(p, size());
    gridDirty_ = false;
  }
  // The picture's memory is kept from one redraw to the next; the grid is
  // copied into it.
  if (contentCache_.size() != gridCache_.size()) contentCache_ = makePicture();
  {
    QPainter p(&contentCache_);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(0, 0, gridCache_);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.setClipRect(rect());
    columnBits_ = columnPixels(p, contentCache_, size(), columnStride_);
    paintTraces(p, size());
    columnBits_ = nullptr;
  }
  contentDirty_ = false;
}

void SweepChart::paintEvent(QPaintEvent*) {
  QPainter p(this);
  // The cached picture has the screen's pixels; painted at others (a window
  // printed at the printer's), the chart is drawn afresh.
  const QTransform device = p.deviceTransform();
  const qreal dpr = devicePixelRatioF();
  if (device.isRotating() || std::fabs(device.m11() - dpr) > 1e-6 ||
      std::fabs(device.m22() - dpr) > 1e-6) {
    p.setClipRect(rect());
    paintGrid(p, size());
    paintTraces(p, size());
  } else {
    if (contentDirty_ || contentCache_.size() != size() * dpr) redrawContent();
    p.drawImage(0, 0, contentCache_);
  }
  PixelMap m = pixelMap();
  if (!m.valid()) return;
  if (cursorX_ && cursorLineShown_) {
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
  paintMarkers(p, size());
  if (hasFocus()) {  // where the chart's keys go
    p.setPen(QPen(palette().color(QPalette::Highlight), 0, Qt::DotLine));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, width() - 1.0, height() - 1.0));
  }
}

void SweepChart::resizeEvent(QResizeEvent*) { invalidateGrid(); }

}  // namespace kolm::chart::ui
