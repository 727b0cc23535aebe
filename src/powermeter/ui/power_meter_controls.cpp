// The power meter window's controls: made once and laid out by Qt layouts in
// the proportions of the instrument's panel.
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QProgressBar>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "chart/ui/sweep_chart.h"
#include "common/ui/number_field.h"
#include "common/ui/row_fit.h"
#include "powermeter/ui/power_meter_window.h"

namespace kolm::powermeter::ui {

namespace {

constexpr int kSide = 8;  // the area's margin left and right of the rows

// The pictures of the two sweep buttons: one ramp for a single pass, three for
// passes back to back.
QIcon sweepIcon(int ramps) {
  QPixmap pm(32, 32);
  pm.fill(QColor(16, 22, 28));
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(70, 90, 110), 1));
  p.drawLine(4, 27, 28, 27);
  QPainterPath path;
  const double w = 24.0 / ramps;
  path.moveTo(4, 26);
  for (int r = 0; r < ramps; ++r) {
    path.lineTo(4 + w * (r + 1), 6);
    if (r + 1 < ramps) path.lineTo(4 + w * (r + 1), 26);
  }
  p.setPen(QPen(QColor(90, 230, 120), 2));
  p.drawPath(path);
  return QIcon(pm);
}

QLineEdit* lineEdit(QWidget* parent, const char* name, const QString& tip = {}) {
  auto* e = new QLineEdit(parent);
  e->setObjectName(name);
  if (!tip.isEmpty()) e->setToolTip(tip);
  return e;
}

QLabel* label(QWidget* parent, const char* name, const QString& text) {
  auto* l = new QLabel(text, parent);
  l->setObjectName(name);
  l->adjustSize();
  return l;
}

}  // namespace

void PowerMeterWindow::buildControls(QWidget* area) {
  titleLabel_ = label(area, "titleLabel", tr("POWER METER SWEEP"));
  QFont heading = titleLabel_->font();
  heading.setPointSize(16);
  heading.setBold(true);
  titleLabel_->setFont(heading);
  titleLabel_->adjustSize();

  chart_ = new chart::ui::SweepChart(area);
  chart_->setObjectName("chart");
  chart_->setColours(QColor(0, 0, 0), kForeground, chart::ui::paletteQColor(12));
  chart_->setBandZoom([this] { return view(); });
  // A double-click shows the span and levels of the boxes again.
  chart_->setResetView([this] { typedView(); }, tr("Span and levels as set (double-click)"));
  connect(chart_, &chart::ui::SweepChart::cursorChanged, this,
          [this](double x, double y) { showReadout(x, y); });
  connect(chart_, &chart::ui::SweepChart::viewRequested, this,
          [this](const chart::View& v) { applyView(v); });

  fileNameEdit_ = lineEdit(area, "fileNameEdit", tr("File name"));
  fileNameEdit_->setMinimumWidth(40);
  fileNameEdit_->setMaximumWidth(420);
  fileNameEdit_->setReadOnly(true);
  fileNameEdit_->setFrame(false);
  fileNameEdit_->setFixedHeight(fileNameEdit_->fontMetrics().height() + 2);
  fileNameEdit_->setStyleSheet("QLineEdit { background: transparent; }");

  compareCheck_ = new QCheckBox(tr("Compare"), area);
  compareCheck_->setObjectName("compareCheck");
  compareCheck_->adjustSize();
  connect(compareCheck_, &QCheckBox::toggled, this, [this] { redraw(); });

  delayLabel_ = label(area, "delayLabel", tr("Delay"));
  delayEdit_ = lineEdit(area, "delayEdit", tr("Delay in msec"));
  delayEdit_->setText(tr("0"));
  connect(delayEdit_, &QLineEdit::textChanged, this, [this] { onDelayChanged(); });

  pointsLabel_ = label(area, "pointsLabel", tr("Points"));
  pointsEdit_ = lineEdit(area, "pointsEdit", tr("Frequency Axsis Points"));
  connect(pointsEdit_, &QLineEdit::textChanged, this, [this] { onPointsChanged(); });

  topLevelEdit_ = lineEdit(area, "topLevelEdit", tr("Level at the top, dBm"));
  bottomLevelEdit_ = lineEdit(area, "bottomLevelEdit", tr("Level at the bottom, dBm"));
  for (QLineEdit* e : {topLevelEdit_, bottomLevelEdit_})
    connect(e, &QLineEdit::returnPressed, this, [this] { typedView(); });

  cursorReadout_ = lineEdit(area, "cursorReadout", tr("Cursor: MHz and dBm"));
  cursorReadout_->setReadOnly(true);
  QFont mono("Monospace");
  mono.setStyleHint(QFont::TypeWriter);
  cursorReadout_->setFont(mono);
  // Each box as wide as its font needs for the longest value it holds (the
  // most points, the longest delay, a level, a place on the chart), and wider
  // for a longer text typed or written into it.
  for (auto [box, widest] : {std::pair<QLineEdit*, const char*>{delayEdit_, "00000"},
                             {pointsEdit_, "00000"},
                             {topLevelEdit_, "-000"},
                             {bottomLevelEdit_, "-000"},
                             {cursorReadout_, "0000.000000 MHz   -000.00 dBm"}})
    common::ui::holdWholeValue(box, widest, true);
  levelReadout_ = lineEdit(area, "levelReadout", tr("The traces' levels at the cursor"));
  levelReadout_->setMinimumWidth(120);
  levelReadout_->setMaximumWidth(280);
  levelReadout_->setReadOnly(true);
  levelReadout_->setFont(mono);
  buildStatusLine(area);
  buildGenerator(area);
  for (QLineEdit* e :
       {startEdit_, stopEdit_, pointsEdit_, delayEdit_, topLevelEdit_, bottomLevelEdit_})
    common::ui::makeNumberField(e, status_);
  layOut(area);
}

// The status line: what the last command did, the progress of a pass and its
// Stop button; and the Average box, whose refusals it shows.
void PowerMeterWindow::buildStatusLine(QWidget* area) {
  status_ = new QLabel(this);
  status_->setObjectName("statusLine");
  // The passes a sweep averages, beside Points; kolm.ini keeps the number.
  average_ = std::make_unique<common::ui::AverageBox>(area, context_.settings, "PowerMeter/average",
                                                      status_);
  statusBar()->addWidget(status_, 1);
  sweepPanel_ = new QWidget(this);
  sweepPanel_->setObjectName("sweepPanel");
  auto* panel = new QHBoxLayout(sweepPanel_);
  panel->setContentsMargins(0, 0, 0, 0);
  progress_ = new QProgressBar(sweepPanel_);
  progress_->setObjectName("sweepProgress");
  progress_->setRange(0, 1000);
  progress_->setValue(0);
  progress_->setTextVisible(false);
  progress_->setFixedHeight(14);
  progress_->setFixedWidth(160);
  auto* stop = new QToolButton(sweepPanel_);
  stop->setObjectName("stopButton");
  stop->setDefaultAction(stopAction_);
  panel->addWidget(progress_, 1);
  panel->addWidget(stop);
  statusBar()->addPermanentWidget(sweepPanel_);
}

// The generator's frame: the span's boxes and the two sweep buttons.
void PowerMeterWindow::buildGenerator(QWidget* area) {
  generatorGroup_ = new QGroupBox(tr("Signal Generator"), area);
  generatorGroup_->setObjectName("generatorGroup");
  auto* gen = new QHBoxLayout(generatorGroup_);
  gen->setContentsMargins(6, 2, 6, 4);
  gen->setSpacing(4);
  startEdit_ = lineEdit(generatorGroup_, "startEdit", tr("Start frequency, MHz"));
  spanCaption_ = lineEdit(generatorGroup_, "spanCaption");
  spanCaption_->setText(tr("Start<----------MHz--------->Stop"));
  spanCaption_->setFixedWidth(spanCaption_->fontMetrics().horizontalAdvance(spanCaption_->text()) +
                              12);
  spanCaption_->setReadOnly(true);
  spanCaption_->setFocusPolicy(Qt::NoFocus);
  spanCaption_->setAlignment(Qt::AlignCenter);
  stopEdit_ = lineEdit(generatorGroup_, "stopEdit", tr("Stop frequency, MHz"));
  singleSweepButton_ = new QToolButton(generatorGroup_);
  singleSweepButton_->setObjectName("singleSweepButton");
  singleSweepButton_->setIcon(sweepIcon(1));
  singleSweepButton_->setToolTip(tr("Single sweep (F5)"));
  continuousSweepButton_ = new QToolButton(generatorGroup_);
  continuousSweepButton_->setObjectName("continuousSweepButton");
  continuousSweepButton_->setIcon(sweepIcon(3));
  continuousSweepButton_->setToolTip(tr("Continuous sweep (Shift+F5)"));
  for (QToolButton* b : {singleSweepButton_, continuousSweepButton_}) {
    b->setCheckable(true);
    b->setIconSize(QSize(28, 28));
    b->setFixedSize(32, 32);
  }
  connect(singleSweepButton_, &QToolButton::clicked, this, [this] { onSingleSweep(); });
  connect(continuousSweepButton_, &QToolButton::clicked, this, [this] { onContinuousSweep(); });
  // Each box shows the whole frequency it holds, as long as the window writes it.
  for (QLineEdit* box : {startEdit_, stopEdit_})
    common::ui::holdWholeValue(box, "000.000000", true);
  gen->addWidget(startEdit_);
  gen->addWidget(spanCaption_);
  gen->addWidget(stopEdit_);
  gen->addSpacing(4);
  gen->addWidget(singleSweepButton_);
  gen->addWidget(continuousSweepButton_);
}

// The panel's proportions as layouts: the heading over a row with the file
// name, Compare, Average, Delay and Points; the chart with the level boxes at
// its top and bottom edges in the margin beside it; under it the cursor
// readouts and the generator's frame. Every control keeps the room its text
// needs, whatever the size, scale or language; the chart takes the rest.
void PowerMeterWindow::layOut(QWidget* area) {
  auto* page = new QVBoxLayout(area);
  page->setContentsMargins(0, 0, 0, 4);
  page->setSpacing(3);
  page->addWidget(titleLabel_, 0, Qt::AlignHCenter);

  auto* top = new QHBoxLayout;
  top->setContentsMargins(kSide, 0, kSide, 0);
  top->addWidget(fileNameEdit_, 4);
  top->addStretch(1);
  top->addWidget(compareCheck_);
  for (auto [caption, box] : {std::pair<QWidget*, QWidget*>{average_->label(), average_->edit()},
                              {delayLabel_, delayEdit_},
                              {pointsLabel_, pointsEdit_}}) {
    top->addSpacing(8);
    top->addWidget(caption);
    top->addWidget(box);
    if (box == delayEdit_) top->addWidget(label(area, "delayUnitLabel", tr("ms")));
  }
  page->addLayout(top);

  // The chart 90.5 % of the width from 5 %, the level boxes in the margin.
  auto* middle = new QHBoxLayout;
  middle->setSpacing(0);
  auto* levels = new QVBoxLayout;
  levels->setContentsMargins(kSide, 0, 0, 0);
  levels->addWidget(topLevelEdit_, 0, Qt::AlignLeft);
  levels->addStretch(1);
  levels->addWidget(bottomLevelEdit_, 0, Qt::AlignLeft);
  middle->addLayout(levels, 50);
  middle->addWidget(chart_, 905);
  middle->addStretch(45);
  page->addLayout(middle, 1);

  auto* bottom = new QHBoxLayout;
  bottom->setContentsMargins(kSide, 0, kSide, 0);
  // Each readout says what it reads, one over the other beside the generator's
  // frame: the pointer's place on the chart, and the traces' levels at its
  // frequency.
  auto* readouts = new QGridLayout;
  readouts->setVerticalSpacing(2);
  readouts->addWidget(label(area, "pointerLabel", tr("Pointer")), 0, 0);
  readouts->addWidget(cursorReadout_, 0, 1, Qt::AlignLeft);
  readouts->addWidget(label(area, "traceAtPointerLabel", tr("Trace at pointer")), 1, 0);
  readouts->addWidget(levelReadout_, 1, 1);
  readouts->setColumnStretch(2, 1);  // each box beside its caption, whatever the width
  bottom->addLayout(readouts, 1);
  bottom->addWidget(generatorGroup_, 0, Qt::AlignRight);
  page->addLayout(bottom);
  // Too narrow for both side by side, the generator's frame goes under the
  // readouts rather than over them.
  common::ui::stackWhenNarrow(bottom, area);
}

}  // namespace kolm::powermeter::ui
