#include "chart/ui/disk_chart.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWheelEvent>
#include <cmath>

#include "chart/ui/sweep_chart.h"
#include "chart/ui/text_lines.h"
#include "common/constants.h"

namespace kolm::chart::ui {

namespace {

QPointF pixel(const DiskMap& map, Gamma g) {
  float x = 0, y = 0;
  map.toPixel(g, x, y);
  return {x, y};
}

}  // namespace

DiskChart::DiskChart(QWidget* parent) : QWidget(parent) {
  setObjectName("diskChart");
  setMouseTracking(true);
  setMinimumSize(240, 240);
  grid_ = diskGrid(kind_, common::kReferenceOhm);
}

void DiskChart::setKind(DiskKind kind) {
  kind_ = kind;
  grid_ = diskGrid(kind_, common::kReferenceOhm);
  update();
}

void DiskChart::setTraces(std::vector<DiskTraceView> live, std::vector<DiskTraceView> memory) {
  live_ = std::move(live);
  memory_ = std::move(memory);
  update();
}

void DiskChart::setMarkers(std::vector<DiskMarker> markers, QStringList readout) {
  markers_ = std::move(markers);
  readout_ = std::move(readout);
  update();
}

void DiskChart::setView(const DiskView& view) {
  view_ = view;
  update();
}

QColor DiskChart::shownColour(const QColor& c) const {
  return toQColor(legibleColour(toRgb(c), toRgb(background_)));
}

void DiskChart::paintTrace(QPainter& p, const DiskMap& map, const DiskTraceView& t,
                           DiskPoints which) const {
  const QColor colour = shownColour(t.colour);
  QPen plain(colour, 0, t.dashed ? Qt::DashLine : Qt::SolidLine);
  QPen dimmed(flaggedColour(colour, background_), 0, t.dashed ? Qt::DotLine : Qt::DashLine);
  diskPolyline(t.trace, map, which, scratch_);
  for (const DiskRun& run : scratch_.runs) {
    p.setPen(run.flagged ? dimmed : plain);
    // Flat x, y pairs: the layout of QPointF's two doubles is not theirs, so
    // the points are copied in groups.
    QPointF pts[256];
    uint32_t done = 0;
    if (run.count == 1) {  // a lone point: a dot
      p.drawEllipse(QPointF(scratch_.xy[2 * run.first], scratch_.xy[2 * run.first + 1]), 1, 1);
      continue;
    }
    while (done + 1 < run.count) {
      const uint32_t take = std::min<uint32_t>(256, run.count - done);
      for (uint32_t k = 0; k < take; ++k) {
        const size_t at = 2 * (run.first + done + k);
        pts[k] = QPointF(scratch_.xy[at], scratch_.xy[at + 1]);
      }
      p.drawPolyline(pts, static_cast<int>(take));
      done += take - 1;  // the next group starts at this one's last point
    }
  }
}

QStringList DiskChart::legend() const {
  QStringList lines;
  for (const auto* list : {&live_, &memory_})
    for (const DiskTraceView& t : *list)
      if (!t.name.isEmpty()) lines << t.name;
  lines << tr(
      "dimmed: a marked or uncertain point; a point of unknown reactance sign is drawn "
      "at both signs");
  return lines;
}

DiskMap DiskChart::mapFor(const QSize& size, const QFontMetrics& fm) const {
  // The legend's lines stand below the disk: the named traces and the note,
  // each wrapped to the width.
  const auto lines = static_cast<int>(wrappedLines(fm, legend(), size.width() - 12).size());
  const int legendHeight = fm.height() * lines + 6;
  return DiskMap(view_, size.width(), std::max(1, size.height() - legendHeight));
}

void DiskChart::paintChart(QPainter& p, const QSize& size) const {
  const DiskMap map = mapFor(size, QFontMetrics(p.font()));
  p.fillRect(QRect(QPoint(0, 0), size), background_);
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setClipRect(QRect(0, 0, size.width(), static_cast<int>(2 * map.centreY)));
  // The grid.
  const double s = map.pixelsPerUnit;
  for (const DiskLine& line : grid_.lines) {
    p.setPen(QPen(gridColour_, line.swr ? 1 : 0.8, line.swr ? Qt::DashLine : Qt::SolidLine));
    if (line.segment) {
      p.drawLine(pixel(map, line.centre), pixel(map, line.end));
      continue;
    }
    const QPointF c = pixel(map, line.centre);
    const QRectF box(c.x() - line.radius * s, c.y() - line.radius * s, 2 * line.radius * s,
                     2 * line.radius * s);
    // Qt's angles: sixteenths of a degree, counter-clockwise, y up on the screen.
    p.drawArc(box, static_cast<int>(std::lround(line.from * kDegreesPerRadian * 16)),
              static_cast<int>(std::lround(line.span * kDegreesPerRadian * 16)));
  }
  p.setPen(foreground_);
  const QFontMetrics fm(p.font());
  for (const DiskLabel& label : grid_.labels) {
    const QPointF at = pixel(map, label.at);
    const QString text = QString::fromStdString(label.text);
    p.drawText(QPointF(at.x() - fm.horizontalAdvance(text) / 2.0, at.y() + fm.ascent() / 2.0 - 1),
               text);
  }
  // The traces as the sweep charts draw theirs: without antialiasing, which
  // would cost many times the drawing of a long trace.
  p.setRenderHint(QPainter::Antialiasing, false);
  for (const auto* list : {&memory_, &live_})
    for (const DiskTraceView& t : *list)
      for (DiskPoints which :
           {DiskPoints::KnownSign, DiskPoints::CandidateAsRead, DiskPoints::CandidateMirrored})
        paintTrace(p, map, t, which);
  p.setRenderHint(QPainter::Antialiasing, true);
  // Markers: a ring and the number.
  for (const DiskMarker& m : markers_) {
    const QPointF at = pixel(map, m.at);
    p.setPen(QPen(foreground_, 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(at, 5, 5);
    p.drawText(at + QPointF(7, -7), QString::number(m.number));
  }
  // The legend (below the disk, each trace's name in its colour) and the
  // markers' readout box (top left).
  p.setClipRect(QRect(QPoint(0, 0), size));
  paintLegend(p, size, fm);
  if (pressed_ && dragged_) {
    p.setPen(QPen(foreground_, 1, Qt::DotLine));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(*pressed_, *dragged_).normalized());
  }
}

void DiskChart::paintLegend(QPainter& p, const QSize& size, const QFontMetrics& fm) const {
  const QStringList entries = legend();
  std::vector<QColor> colours;  // of the named traces, in the legend's order
  for (const auto* list : {&live_, &memory_})
    for (const DiskTraceView& t : *list)
      if (!t.name.isEmpty()) colours.push_back(shownColour(t.colour));
  std::vector<std::pair<QString, QColor>> legendLines;
  for (size_t k = 0; k < static_cast<size_t>(entries.size()); ++k)
    for (const QString& line :
         wrappedLines(fm, entries[static_cast<qsizetype>(k)], size.width() - 12))
      legendLines.emplace_back(line, k < colours.size() ? colours[k] : foreground_);
  int y = size.height() - 6 - fm.height() * static_cast<int>(legendLines.size() - 1);
  for (const auto& [line, colour] : legendLines) {
    p.setPen(colour);
    p.drawText(6, y, line);
    y += fm.height();
  }
  p.setPen(foreground_);
  if (!readout_.isEmpty()) {
    // Lines too long for the chart go on below, never cut.
    const QStringList lines = wrappedLines(fm, readout_, size.width() - 18);
    int w = 0;
    for (const QString& line : lines) w = std::max(w, fm.horizontalAdvance(line));
    const QRect box(4, 4, std::min(w + 10, size.width() - 8),
                    fm.height() * static_cast<int>(lines.size()) + 6);
    p.fillRect(box, background_);
    p.drawRect(box);
    for (int i = 0; i < lines.size(); ++i)
      p.drawText(box.left() + 5, box.top() + 3 + fm.ascent() + i * fm.height(), lines[i]);
  }
}

void DiskChart::paintEvent(QPaintEvent*) {
  QPainter p(this);
  paintChart(p, size());
}

void DiskChart::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) pressed_ = event->position();
}

void DiskChart::mouseMoveEvent(QMouseEvent* event) {
  emit cursorMoved(map().toGamma(event->position().x(), event->position().y()));
  if (pressed_) {
    dragged_ = event->position();
    update();
  }
}

void DiskChart::mouseReleaseEvent(QMouseEvent* event) {
  if (pressed_ && dragged_ && event->button() == Qt::LeftButton) {
    const QPointF a = *pressed_, b = *dragged_;
    // A click or a small drag is no zoom.
    if (std::abs(a.x() - b.x()) > 4 && std::abs(a.y() - b.y()) > 4)
      view_ = zoomedTo(map(), a.x(), a.y(), b.x(), b.y());
  }
  pressed_.reset();
  dragged_.reset();
  update();
}

void DiskChart::mouseDoubleClickEvent(QMouseEvent*) { setView(DiskView{}); }

void DiskChart::wheelEvent(QWheelEvent* event) {
  const double steps = event->angleDelta().y() / 120.0;
  if (steps == 0) return;
  const Gamma about = map().toGamma(event->position().x(), event->position().y());
  setView(zoomedAbout(view_, about, std::pow(0.8, steps)));
}

}  // namespace kolm::chart::ui
