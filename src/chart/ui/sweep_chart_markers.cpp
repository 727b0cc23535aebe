// The markers of the sweep chart: placing, dragging and removing them, the
// extreme searches, the readout lines and their drawing.
#include <QMouseEvent>
#include <QPainter>
#include <cmath>

#include "chart/readout.h"
#include "chart/ui/sweep_chart.h"
#include "chart/ui/text_lines.h"
#include "common/ui/qt_text.h"

namespace kolm::chart::ui {

namespace {

constexpr int kReadoutPad = 4;  // the readout box's inner margin

// A press within this many pixels of a marker's line grabs it.
constexpr double kGrabPixels = 4;

TraceSamples samplesOf(const Trace& t) {
  return {t.y.data(), t.y.size(), t.x.empty() ? nullptr : t.x.data(), t.start, t.stop};
}

Reading readingOf(const Trace& t, double x) {
  if (!t.x.empty() && t.x.size() < t.y.size()) return {};
  return readingAt(samplesOf(t), t.marks.data(), t.marks.size(), x);
}

using common::ui::q;

}  // namespace

void SweepChart::markersEdited() {
  update();
  emit markersChanged();
}

std::optional<int> SweepChart::addMarker(double x) {
  auto n = markers_.add(x);
  if (n) markersEdited();
  return n;
}

bool SweepChart::moveMarker(int number, double x) {
  if (!markers_.move(number, x)) return false;
  markersEdited();
  return true;
}

bool SweepChart::removeMarker(int number) {
  if (!markers_.remove(number)) return false;
  if (dragged_ == number) dragged_.reset();
  markersEdited();
  return true;
}

void SweepChart::clearMarkers() {
  markers_.clear();
  dragged_.reset();
  markersEdited();
}

void SweepChart::setActiveMarker(int number) {
  markers_.setActive(number);
  markersEdited();
}

void SweepChart::setMarkerDelta(std::optional<std::pair<int, int>> fromTo) {
  markers_.setDelta(fromTo);
  markersEdited();
}

const Trace* SweepChart::markerTrace() const {
  if (traces_.empty()) return nullptr;
  const size_t i = markerTrace_ >= 0 && static_cast<size_t>(markerTrace_) < traces_.size()
                       ? static_cast<size_t>(markerTrace_)
                       : 0;
  return &traces_[i];
}

bool SweepChart::markerToExtreme(Extreme which) {
  const Trace* t = markerTrace();
  if (!t || (!t->x.empty() && t->x.size() < t->y.size())) return false;
  const TraceSamples samples = samplesOf(*t);
  auto run = extremeIndex(samples, t->marks.data(), t->marks.size(), which, scale_.left,
                          scale_.right(), t->boundsAreExtremes);
  if (!run) return false;
  const double x = runCentre(samples, *run);
  // A marker of its own, unless one stands there already; with four placed,
  // the active one goes there.
  for (const auto& m : markers_.markers())
    if (m.x == x) {
      setActiveMarker(m.number);
      return true;
    }
  if (!markers_.full()) return addMarker(x).has_value();
  if (auto active = markers_.active()) return moveMarker(*active, x);
  return false;
}

bool SweepChart::markerPress(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return false;
  auto u = toUser(event->position());
  if (!u) return false;
  if (event->modifiers() & Qt::ControlModifier) {
    // A fifth marker is refused; the press then does nothing else.
    if (auto n = addMarker(u->x())) dragged_ = n;
    return true;
  }
  const double tolerance = std::fabs(kGrabPixels / pixelMap().xScale());
  auto n = markers_.nearest(u->x(), tolerance);
  if (!n) return false;
  dragged_ = n;
  setActiveMarker(*n);
  return true;
}

void SweepChart::setMarkerFrequencyNote(std::function<std::string(double x)> note) {
  markerFrequencyNote_ = std::move(note);
  invalidateContent();
}

QStringList SweepChart::markerReadout() const {
  QStringList lines;
  std::vector<const Trace*> read;
  for (const auto* list : {&traces_, &memory_})
    for (const Trace& t : *list)
      if (!t.name.isEmpty()) read.push_back(&t);
  for (const MarkerSet::Marker& m : markers_.markers()) {
    QString line = QString("M%1  %2").arg(m.number).arg(q(withUnit(frequencyReadout(m.x), "MHz")));
    if (markerFrequencyNote_) line += q(markerFrequencyNote_(m.x));
    for (const Trace* t : read) {
      const Reading r = readingOf(*t, m.x);
      line += QString("   %1 %2")
                  .arg(t->name, q(t->describe && r.kind != Reading::Kind::Outside
                                      ? t->describe(m.x, r)
                                      : readingText(r, t->unit, t->pattern, *t->words)));
    }
    lines << line;
  }
  if (auto d = markers_.delta()) {
    const auto *from = markers_.find(d->first), *to = markers_.find(d->second);
    if (from && to) {
      QString line = QString("\u0394 M%1\u2212M%2  %3")
                         .arg(to->number)
                         .arg(from->number)
                         .arg(q(withUnit(frequencyReadout(to->x - from->x), "MHz")));
      for (const Trace* t : read)
        line += QString("   %1 %2")
                    .arg(t->name,
                         q(deltaText(readingOf(*t, from->x), readingOf(*t, to->x),
                                     t->deltaUnit.empty() ? t->unit : t->deltaUnit, t->pattern)));
      lines << line;
    }
  }
  return lines;
}

// Lines too long for the chart go on below, never past its edge.
QStringList SweepChart::readoutLines(int chartWidth) const {
  return wrappedLines(QFontMetrics(font()), markerReadout(), chartWidth - 12 - 2 * kReadoutPad);
}

// The readout box, top left below the row of frequency labels, and below the
// chart's note where the two would meet: the note is read whole.
Box SweepChart::readoutBox(const QSize& size) const {
  const QFontMetrics fm(font());
  const QStringList lines = readoutLines(size.width());
  int textWidth = 0;
  for (const QString& l : lines) textWidth = std::max(textWidth, fm.horizontalAdvance(l));
  const double w = textWidth + 2 * kReadoutPad,
               h = fm.height() * static_cast<int>(lines.size()) + 2 * kReadoutPad;
  const std::vector<Box> room = labelRoom(size);
  const Box place = clearOf({6, fm.height() + 6.0, w, h}, room, 4, 0, size.width() / 4);
  const auto note = noteBox(size, legendBox(size, room));
  if (!note || !place.intersects(*note)) return place;
  return clearOf({6, note->bottom() + 4, w, h}, room, 4, 0, size.width() / 4);
}

void SweepChart::paintMarkers(QPainter& p, const QSize& size) const {
  if (markers_.markers().empty()) return;
  const PixelMap map(scale_, size.width(), size.height());
  if (!map.valid()) return;
  p.save();
  p.setRenderHint(QPainter::Antialiasing, false);
  const Rgb amber{255, 213, 74};
  const Rgb bg{static_cast<uint8_t>(background_.red()), static_cast<uint8_t>(background_.green()),
               static_cast<uint8_t>(background_.blue())};
  const QColor colour = toQColor(legibleColour(amber, bg));
  p.setFont(font());
  const QFontMetrics fm(font());
  const Trace* searched = markerTrace();
  // Markers leave the axis labels and units readable: the line breaks across
  // them and the tag moves up past them.
  const std::vector<Box> room = labelRoom(size);
  for (const MarkerSet::Marker& m : markers_.markers()) {
    const double x = std::round(map.x(m.x));
    if (!(x >= 0 && x <= size.width() - 1)) continue;
    const bool active = markers_.active() == m.number;
    p.setPen(QPen(colour, active ? 2 : 1, active ? Qt::SolidLine : Qt::DashLine));
    for (const auto& [from, to] : openStretches(x, 0, size.height() - 1, room))
      p.drawLine(QPointF(x, from), QPointF(x, to));
    // The number in a tag near the bottom, clear of the labels along the top.
    const QString tag = QString::number(m.number);
    const int w = fm.horizontalAdvance(tag) + 6, h = fm.height();
    const Box place =
        clearOf({x - w / 2.0, size.height() - h - 4.0, double(w), double(h)}, room, 0, -(h + 2), 8);
    const QRectF box(place.left, place.top, w, h);
    p.fillRect(box, colour);
    p.setPen(background_);
    p.drawText(box, Qt::AlignCenter, tag);
    // A small triangle on the searched trace where it reads a number.
    if (searched) {
      const Reading r = readingOf(*searched, m.x);
      const PixelMap tm = searched->vertical ? map.withVertical(*searched->vertical) : map;
      const double y = tm.y(r.value);
      if (r.kind == Reading::Kind::Value && std::isfinite(y)) {
        const QPointF tri[3] = {{x, y - 1}, {x - 5, y - 9}, {x + 5, y - 9}};
        p.setPen(QPen(colour, 1));
        p.setBrush(colour);
        p.drawPolygon(tri, 3);
        p.setBrush(Qt::NoBrush);
      }
    }
  }
  constexpr int kPad = kReadoutPad;
  const QStringList lines = readoutLines(size.width());
  const Box place = readoutBox(size);
  const QRect box(static_cast<int>(place.left), static_cast<int>(place.top),
                  static_cast<int>(place.width), static_cast<int>(place.height));
  QColor veil = background_;
  veil.setAlpha(215);
  p.fillRect(box, veil);
  p.setPen(QPen(colour, 0));
  p.drawRect(box.adjusted(0, 0, -1, -1));
  int y = box.top() + kPad;
  for (const QString& l : lines) {
    p.drawText(QPoint(box.left() + kPad, y + fm.ascent()), l);
    y += fm.height();
  }
  p.restore();
}

}  // namespace kolm::chart::ui
