#include "analyzer/ui/matching_window.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cmath>

#include "analyzer/matching.h"
#include "analyzer/readouts.h"
#include "common/text.h"
#include "common/typed_number.h"
#include "common/ui/number_field.h"
#include "common/ui/qt_text.h"

namespace kolm::analyzer::ui {

namespace {

using common::ui::q;

// A coil or a capacitor drawn between a and b (along the line from a to b).
void drawPart(QPainter& p, QPointF a, QPointF b, MatchPart::Kind kind) {
  const QPointF d = (b - a) / std::hypot(b.x() - a.x(), b.y() - a.y());
  const QPointF n(-d.y(), d.x());
  const QPointF mid = (a + b) / 2;
  if (kind == MatchPart::Kind::Capacitor) {
    const double gap = 3, plate = 8;
    p.drawLine(a, mid - d * gap);
    p.drawLine(mid + d * gap, b);
    for (double side : {-gap, gap})
      p.drawLine(mid + d * side - n * plate, mid + d * side + n * plate);
    return;
  }
  // A coil: three bumps.
  const double bump = 5;
  p.drawLine(a, mid - d * (3 * bump));
  p.drawLine(mid + d * (3 * bump), b);
  QPainterPath coil(mid - d * (3 * bump));
  for (int k = 0; k < 3; ++k) {
    const QPointF from = mid + d * ((2 * k - 3) * bump);
    coil.cubicTo(from - n * (1.6 * bump), from + d * (2 * bump) - n * (1.6 * bump),
                 from + d * (2 * bump));
  }
  p.drawPath(coil);
}

// The network between the source (left) and the load (right): the series part
// along the top line, the shunt part down to the common line at the load's
// side or at the source's.
QPixmap schematic(const MatchNetwork& n, const QPalette& palette, qreal ratio) {
  const QSize size(150, 48);
  QPixmap out(size * ratio);
  out.setDevicePixelRatio(ratio);
  out.fill(Qt::transparent);
  QPainter p(&out);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(palette.color(QPalette::Text), 1.3));
  const double top = 8, bottom = 42, left = 4, right = 146;
  const double shuntX = n.shuntAtLoad ? 112 : 38;
  p.drawLine(QPointF(left, bottom), QPointF(right, bottom));
  const bool series = n.series.kind != MatchPart::Kind::None;
  if (series)
    drawPart(p, QPointF(left, top), QPointF(right, top), n.series.kind);
  else
    p.drawLine(QPointF(left, top), QPointF(right, top));
  if (n.shunt.kind != MatchPart::Kind::None) {
    drawPart(p, QPointF(shuntX, top), QPointF(shuntX, bottom), n.shunt.kind);
    p.setBrush(palette.color(QPalette::Text));
    for (double y : {top, bottom}) p.drawEllipse(QPointF(shuntX, y), 1.8, 1.8);
  }
  // The source's and the load's terminals.
  p.setBrush(Qt::NoBrush);
  for (double x : {left, right})
    for (double y : {top, bottom}) p.drawEllipse(QPointF(x, y), 2.2, 2.2);
  return out;
}

// The parts of a network from the source towards the load, in words.
QString networkWords(const MatchNetwork& n, int digits) {
  const QString series = q(partValueText(n.series, digits));
  const QString shunt = q(partValueText(n.shunt, digits));
  if (series.isEmpty() && shunt.isEmpty()) return MatchingWindow::tr("Nothing: the load matches");
  if (shunt.isEmpty()) return MatchingWindow::tr("Series %1").arg(series);
  if (series.isEmpty()) return MatchingWindow::tr("%1 across the load").arg(shunt);
  return n.shuntAtLoad
             ? MatchingWindow::tr("Series %1, then %2 across the load").arg(series, shunt)
             : MatchingWindow::tr("%1 across the input, then series %2").arg(shunt, series);
}

// The SWR the rounded parts give at the point, with its least and greatest
// over the point's interval; marked approximate where that is not known.
QString swrWords(const MatchSolution& s) {
  const double swr = s.roundedSwr;
  if (!std::isfinite(swr)) return MatchingWindow::tr("infinite");
  const QString value = q(common::formatPattern(swr, "0.00"));
  if (!s.roundedSwrSpan) return QString::fromUtf8("\u2248 ") + value;
  return MatchingWindow::tr("%1 (%2)").arg(value, q(swrSpanText(*s.roundedSwrSpan)));
}

QString bandWords(const MatchSolution& s) {
  if (!(s.roundedSwr <= 2)) return MatchingWindow::tr("above 2 at this frequency");
  // An edge not found is said as what stopped the walk: an end of the sweep,
  // or a point without a reading.
  if (s.swr2BelowToStart && s.swr2BelowToStop) return MatchingWindow::tr("the whole sweep");
  const auto edge = [](const std::optional<double>& mhz) {
    return q(common::formatPattern(*mhz, "0.000"));
  };
  const QString low = s.swr2Low            ? edge(s.swr2Low)
                      : s.swr2BelowToStart ? MatchingWindow::tr("the sweep's start")
                                           : MatchingWindow::tr("a point without a reading");
  if (s.swr2High) return MatchingWindow::tr("%1 to %2 MHz").arg(low, edge(s.swr2High));
  return MatchingWindow::tr("%1 to %2")
      .arg(s.swr2Low ? MatchingWindow::tr("%1 MHz").arg(low) : low,
           s.swr2BelowToStop ? MatchingWindow::tr("the sweep's end")
                             : MatchingWindow::tr("a point without a reading"));
}

}  // namespace

MatchingWindow::MatchingWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName("matchingWindow");
  setWindowTitle(tr("Matching network"));
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  frequency_ = new QLineEdit(this);
  frequency_->setObjectName("matchFrequency");
  frequency_->setPlaceholderText(tr("the active marker's"));
  target_ = new QLineEdit("50", this);
  target_->setObjectName("matchTarget");
  series_ = new QComboBox(this);
  series_->setObjectName("matchSeries");
  series_->addItems({"E12", "E24"});
  point_ = new QLabel(this);
  point_->setObjectName("matchPoint");
  point_->setWordWrap(true);
  point_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  form->addRow(tr("At (MHz)"), frequency_);
  form->addRow(tr("Match to (ohm)"), target_);
  form->addRow(tr("Parts"), series_);
  layout->addLayout(form);
  layout->addWidget(point_);
  table_ = new QTableWidget(this);
  table_->setObjectName("matchSolutions");
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->verticalHeader()->hide();
  table_->setIconSize(QSize(150, 48));
  // The networks in words share the width the window gives and wrap in it, so
  // that every column stays in view; the rows grow to their text.
  table_->setWordWrap(true);
  table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  table_->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  layout->addWidget(table_, 1);
  auto* note = new QLabel(
      tr("Each network from the transmitter towards the load. The parts are then rounded to the "
         "chosen series; the table gives the SWR those give at this frequency and the span "
         "where the SWR they give with the measured load stays below 2."),
      this);
  note->setWordWrap(true);
  layout->addWidget(note);
  common::ui::makeNumberField(target_);
  for (QLineEdit* box : {frequency_, target_})
    connect(box, &QLineEdit::textChanged, this, [this] { recompute(); });
  connect(series_, &QComboBox::currentIndexChanged, this, [this] { recompute(); });
  setMinimumSize(520, 320);
  resize(1180, 440);
}

void MatchingWindow::showTrace(std::shared_ptr<const TraceValues> trace,
                               std::optional<double> markerMHz) {
  trace_ = std::move(trace);
  if (markerMHz)
    frequency_->setPlaceholderText(
        tr("the active marker's: %1")
            .arg(QString::fromStdString(common::formatPattern(*markerMHz, "0.000###"))));
  markerMHz_ = markerMHz;
  recompute();
}

void MatchingWindow::recompute() {
  table_->clear();
  table_->setRowCount(0);
  table_->setColumnCount(0);
  if (!trace_) return;
  // The typed frequency, or the marker's when the box is empty.
  std::optional<double> mhz = markerMHz_;
  if (!frequency_->text().trimmed().isEmpty()) {
    const common::TypedNumber typed = common::typedNumber(frequency_->text().toStdString());
    if (!typed.value) {
      point_->setText(QString::fromStdString(typed.problem));
      return;
    }
    mhz = *typed.value;
  }
  const std::optional<double> target = common::ui::numberIn(target_);
  if (!mhz || !target || !(*target > 0)) {
    point_->setText(!mhz ? tr("Place a marker on the chart, or type a frequency.")
                         : tr("The resistance to match to is a number of ohms above 0."));
    return;
  }
  const circuit::ESeries series =
      series_->currentIndex() == 1 ? circuit::ESeries::E24 : circuit::ESeries::E12;
  solutions_ = matchPoint(*trace_, *mhz, *target, series);
  if (!solutions_.error.empty()) {
    point_->setText(tr("This frequency cannot be matched: %1.").arg(q(solutions_.error)));
    return;
  }
  const MatchPoint& m = solutions_;
  QString line = tr("At %1 MHz the load is R %2, X %3")
                     .arg(q(common::formatPattern(m.mhz, "0.000###")),
                          q(quantityText(*trace_, m.index, kResistance)),
                          q(quantityText(*trace_, m.index, kReactance)));
  line += m.signKnown ? tr(" (sign inferred).")
                      : tr(" (sign unknown: the networks for either sign are given).");
  point_->setText(line);
  const QString seriesName = series_->currentText();
  table_->setColumnCount(5);
  table_->setHorizontalHeaderLabels({tr("Schematic"), tr("Network"), tr("%1 parts").arg(seriesName),
                                     tr("SWR with them"), tr("SWR below 2")});
  for (int c : {1, 2}) table_->horizontalHeader()->setSectionResizeMode(c, QHeaderView::Stretch);
  table_->setRowCount(static_cast<int>(m.solutions.size()));
  const qreal ratio = devicePixelRatioF();
  for (int r = 0; r < table_->rowCount(); ++r) {
    const MatchSolution& s = m.solutions[static_cast<size_t>(r)];
    auto* picture = new QTableWidgetItem(QIcon(schematic(s.network, palette(), ratio)), {});
    QString words = networkWords(s.network, 3);
    if (!m.signKnown)
      words =
          (s.assumed == ReactanceSign::Inductive ? tr("If inductive: %1") : tr("If capacitive: %1"))
              .arg(words);
    const QStringList cells{words, networkWords(s.rounded, 2), swrWords(s), bandWords(s)};
    table_->setItem(r, 0, picture);
    for (int c = 0; c < cells.size(); ++c)
      table_->setItem(r, c + 1, new QTableWidgetItem(cells[c]));
  }
}

}  // namespace kolm::analyzer::ui
