// The analyzer window's controls: made once, laid out by Qt layouts in the
// proportions of the instrument's panel, and the quantity readouts fitted to
// their texts over their buttons.
#include <QButtonGroup>
#include <QCheckBox>
#include <QCoreApplication>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>
#include <utility>

#include "analyzer/readouts.h"
#include "analyzer/ui/analyzer_view.h"
#include "analyzer/ui/quantity_readout.h"
#include "analyzer/ui/quantity_style.h"
#include "common/text.h"
#include "common/ui/number_field.h"
#include "common/ui/row_fit.h"

namespace kolm::analyzer::ui {

void AnalyzerWindow::buildControls() {
  QWidget* c = canvas_;
  chartsGroup_ = new QGroupBox(tr("Charts"), c);
  chartsGroup_->setObjectName("chartsGroup");
  generatorGroup_ = new QGroupBox(tr("Signal Generator"), c);
  generatorGroup_->setObjectName("generatorGroup");

  buildChart();
  buildBoxes();
  buildQuantityButtons();
  buildSweepButtons();
  layOut();
}

// The chart and the cursor's line over it.
void AnalyzerWindow::buildChart() {
  chart_ = new chart::ui::SweepChart(canvas_);
  chart_->setObjectName("chart");
  chart_->setMemoryOnTop(true);
  chart_->setCursorLineShown(false);  // cursorLine_ is the cursor
  chart_->setColours(Qt::black, palette().color(QPalette::Window),
                     chart::ui::paletteQColor(kGridColor));
  chart_->setBandZoom([this] { return chart::View{m_.viewStartMHz, m_.viewStopMHz, 0, 0}; });
  connect(chart_, &chart::ui::SweepChart::cursorChanged, this,
          [this](double x, double y) { showReadout(x, y); });
  connect(chart_, &chart::ui::SweepChart::viewRequested, this,
          [this](const chart::View& v) { applyView(v); });
  cursorLine_ = new QFrame(chart_);
  cursorLine_->setObjectName("cursorLine");
  cursorLine_->setAttribute(Qt::WA_TransparentForMouseEvents);
  cursorLine_->setAutoFillBackground(true);
  setBackground(cursorLine_, QColor(192, 192, 192));
  cursorLine_->setStyleSheet("background: rgb(192, 192, 192);");
  cursorLine_->hide();
}

// The heading, the captions and the boxes.
void AnalyzerWindow::buildBoxes() {
  QWidget* c = canvas_;
  auto label = [c](const char* name, const QString& caption) {
    auto* l = new QLabel(caption, c);
    l->setObjectName(name);
    return l;
  };
  titleLabel_ = label("titleLabel", tr("ANTENNA ANALYZER"));
  QFont heading = titleLabel_->font();
  heading.setBold(true);
  heading.setPointSizeF(heading.pointSizeF() * 1.6);
  titleLabel_->setFont(heading);
  titleLabel_->setAlignment(Qt::AlignCenter);
  fileNameLabel_ = label("fileNameLabel", tr("File Name: "));
  pointsLabel_ = label("pointsLabel", tr("Points"));

  // The generator's boxes stand in its frame, the cursor frequency in the
  // charts' frame.
  struct Box {
    QLineEdit*& edit;
    const char* name;
    QWidget* parent;
  };
  for (const Box& b :
       {Box{startEdit_, "startEdit", generatorGroup_}, Box{stopEdit_, "stopEdit", generatorGroup_},
        Box{pointsEdit_, "pointsEdit", c},
        Box{cursorFrequencyEdit_, "cursorFrequencyEdit", chartsGroup_},
        Box{spanCaption_, "spanCaption", generatorGroup_}, Box{fileNameEdit_, "fileNameEdit", c},
        Box{cursorValueEdit_, "cursorValueEdit", c}}) {
    b.edit = new QLineEdit(b.parent);
    b.edit->setObjectName(b.name);
  }
  startEdit_->setToolTip(tr("Start Frequency"));
  stopEdit_->setToolTip(tr("End Frequency"));
  pointsEdit_->setToolTip(tr("Frequency Axsis Points"));
  cursorFrequencyEdit_->setReadOnly(true);
  cursorFrequencyEdit_->setToolTip(tr("Frequency MHz"));
  spanCaption_->setReadOnly(true);
  spanCaption_->setFrame(false);
  spanCaption_->setAlignment(Qt::AlignCenter);
  spanCaption_->setText("Start<----------MHz--------->Stop");
  fileNameEdit_->setReadOnly(true);
  fileNameEdit_->setToolTip(tr("File name"));
  cursorValueEdit_->setReadOnly(true);
  cursorValueEdit_->setAlignment(Qt::AlignCenter);
  // The small readout boxes: a compact font and no inner margins, so a
  // frequency such as 146.520 000 fits.
  for (QLineEdit* box : {cursorFrequencyEdit_, cursorValueEdit_}) {
    QFont f = box->font();
    f.setPointSizeF(f.pointSizeF() * 0.85);
    box->setFont(f);
    box->setTextMargins(0, 0, 0, 0);
  }
  cursorFrequencyEdit_->setAlignment(Qt::AlignRight);
  // Room for a frequency such as 146.520000 and for a readout such as -999.9 ohm.
  cursorFrequencyEdit_->setMinimumWidth(
      QFontMetrics(cursorFrequencyEdit_->font()).horizontalAdvance("0000.000000") + 6);
  cursorValueEdit_->setFixedWidth(
      QFontMetrics(cursorValueEdit_->font()).horizontalAdvance("-999.9 \u03a9") + 6);
  cursorFrequencyUnit_ = new QLabel(tr("MHz"), chartsGroup_);
  cursorFrequencyUnit_->setObjectName("cursorFrequencyUnit");
  cursorFrequencyUnit_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

  quantityIcon_ = new QLabel(c);
  quantityIcon_->setObjectName("quantityIcon");
  quantityIcon_->setAlignment(Qt::AlignCenter);

  compareCheck_ = new QCheckBox(tr("Compare"), c);
  compareCheck_->setObjectName("compareCheck");
  // Only the user's clicks: ticking it from the Compare menu must not copy the
  // screen over a memory just loaded.
  connect(compareCheck_, &QCheckBox::clicked, this, &AnalyzerWindow::onCompareClicked);
}

// The Single/Combine button, then per quantity its button and its readout.
void AnalyzerWindow::buildQuantityButtons() {
  combine_ = new QToolButton(chartsGroup_);
  combine_->setObjectName("combineButton");
  combine_->setCheckable(true);
  combine_->setText(tr("Single"));
  combine_->setToolTip(tr("Chart Single or Combine"));
  for (int q = 0; q < kQuantities; ++q) {
    auto* g = new QToolButton(chartsGroup_);
    g->setObjectName(QString("quantityButton%1").arg(q));
    g->setCheckable(true);
    g->setText(kQuantityCaptions[q]);
    g->setToolTip(QCoreApplication::translate("kolm", kQuantityTips[q]));
    QFont f = g->font();
    f.setBold(true);
    g->setFont(f);
    const QColor colour = traceColour(q);
    const QString text = ink(colour).name();
    g->setStyleSheet(QString("QToolButton { color: %2; background: %1; border: 2px outset %1; } "
                             "QToolButton:pressed { border-style: inset; }")
                         .arg(colour.name(), text));
    connect(g, &QToolButton::toggled, this, [this, q](bool on) {
      if (on) selectQuantity(q);
    });
    quantityButtons_[q] = g;
    // The width of the button's cell in the charts' frame, as its layout
    // places it.
    auto* calc = new QuantityReadout(
        [this, q] {
          const auto* grid = qobject_cast<const QGridLayout*>(chartsGroup_->layout());
          return grid ? grid->cellRect(1, 1 + q).width() : 0;
        },
        chartsGroup_);
    calc->setObjectName(QString("quantityReadout%1").arg(q));
    calc->setReadOnly(true);
    calc->setToolTip(QCoreApplication::translate("kolm", kReadoutTips[q]));
    calc->setAlignment(Qt::AlignRight);
    QFont small = calc->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    calc->setFont(small);
    calc->setTextMargins(0, 0, 0, 0);
    calc->setStyleSheet(
        QString("QLineEdit { color: %2; background: %1; padding: 0px; }").arg(colour.name(), text));
    calc->hide();
    quantityReadouts_[q] = calc;
  }
}

// The generator's sweep buttons, the progress and Stop.
void AnalyzerWindow::buildSweepButtons() {
  singleSweepButton_ = new QToolButton(generatorGroup_);
  singleSweepButton_->setObjectName("singleSweepButton");
  singleSweepButton_->setText(QString::fromUtf8("\u25B6 1"));
  singleSweepButton_->setToolTip(tr("Staring/Stop  Sweep"));  // (F5)
  continuousSweepButton_ = new QToolButton(generatorGroup_);
  continuousSweepButton_->setObjectName("continuousSweepButton");
  continuousSweepButton_->setText(QString::fromUtf8("\u21BB"));
  continuousSweepButton_->setToolTip(tr("Sweep continous"));
  sweepButtons_ = new QButtonGroup(this);
  for (QToolButton* b : {singleSweepButton_, continuousSweepButton_}) {
    b->setCheckable(true);
    sweepButtons_->addButton(b);
  }
  connect(singleSweepButton_, &QToolButton::clicked, this, [this] { sweep_.single(); });
  connect(continuousSweepButton_, &QToolButton::clicked, this, [this] { sweep_.continuous(); });
  progress_ = new QProgressBar(generatorGroup_);
  progress_->setObjectName("sweepProgress");
  progress_->setRange(0, 1000);
  progress_->setValue(0);
  progress_->setTextVisible(false);
  progress_->setToolTip(tr("Progress of the sweep"));
  stop_ = new QToolButton(generatorGroup_);
  stop_->setObjectName("stopButton");
  stop_->setText(tr("Stop"));
  stop_->setToolTip(tr("Stop the sweep (Esc)"));
  stop_->setEnabled(false);
  connect(stop_, &QToolButton::clicked, this, &AnalyzerWindow::stopSweep);
}

// The panel's proportions as layouts: the heading over a row with the file
// name and the sweep's boxes; the chart, with the selected quantity's box and
// icon in the margin at its left; under it the charts' frame and the
// generator's, about half the width each. Every control keeps the room its
// text needs, whatever the size, scale or language; the chart takes the rest.
void AnalyzerWindow::layOut() {
  constexpr int kSide = 8;  // the canvas' margin left and right of the rows
  auto* page = new QVBoxLayout(canvas_);
  page->setContentsMargins(0, 0, 0, 4);
  page->setSpacing(3);
  page->addWidget(titleLabel_, 0, Qt::AlignHCenter);

  auto* top = new QHBoxLayout;
  top->setContentsMargins(kSide, 0, kSide, 0);
  top->addWidget(fileNameLabel_);
  top->addWidget(fileNameEdit_, 4);
  top->addStretch(1);
  for (QWidget* w :
       std::initializer_list<QWidget*>{average_->label(), average_->edit(), nullptr, compareCheck_,
                                       nullptr, pointsLabel_, pointsEdit_}) {
    if (w)
      top->addWidget(w);
    else
      top->addSpacing(12);
  }
  page->addLayout(top);

  // The chart 90.5 % of the width from 5 % where the margin at its left has
  // room for the selected quantity's box.
  auto* middle = new QHBoxLayout;
  middle->setSpacing(0);
  auto* margin = new QVBoxLayout;
  margin->setContentsMargins(kSide, 0, 3, 0);
  margin->addStretch(1);
  margin->addWidget(cursorValueEdit_);
  margin->addWidget(quantityIcon_, 0, Qt::AlignHCenter);
  margin->addStretch(1);
  middle->addLayout(margin, 50);
  middle->addWidget(chart_, 905);
  middle->addStretch(45);
  page->addLayout(middle, 1);

  layOutChartsFrame();
  layOutGeneratorFrame();
  auto* bottom = new QHBoxLayout;
  bottom->setContentsMargins(kSide, 0, kSide, 0);
  bottom->addWidget(chartsGroup_, 49);
  bottom->addWidget(generatorGroup_, 45);
  page->addLayout(bottom);
  // Too narrow for both side by side, the generator's frame goes under the
  // charts' frame rather than over it.
  common::ui::stackWhenNarrow(bottom, canvas_);
}

// The charts' frame: the cursor's frequency, then the buttons; each
// quantity's readout shown stands over its button (fitReadouts), in a row kept
// as tall as a readout.
void AnalyzerWindow::layOutChartsFrame() {
  const int readoutHeight = QFontMetrics(quantityReadouts_[0]->font()).height() + 4;
  auto* charts = new QGridLayout(chartsGroup_);
  charts->setContentsMargins(6, 2, 6, 4);
  charts->setHorizontalSpacing(4);
  charts->setVerticalSpacing(2);
  auto* frequency = new QHBoxLayout;
  frequency->setSpacing(3);
  frequency->addWidget(cursorFrequencyUnit_);
  frequency->addWidget(cursorFrequencyEdit_);
  charts->addLayout(frequency, 0, 0);
  charts->setRowMinimumHeight(0, readoutHeight);
  charts->addWidget(combine_, 1, 0);
  const int buttonHeight = std::max(26, fontMetrics().height() + 10);
  for (int q = 0; q < kQuantities; ++q) {
    quantityReadouts_[q]->setFixedHeight(readoutHeight);
    quantityButtons_[q]->setMinimumHeight(buttonHeight);
    quantityButtons_[q]->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    charts->addWidget(quantityButtons_[q], 1, 1 + q);
    charts->setColumnStretch(1 + q, 1);
  }
  cursorFrequencyEdit_->setFixedHeight(readoutHeight);
  combine_->setMinimumHeight(buttonHeight);
  combine_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

// The generator's frame: the two sweep buttons, progress over Stop, the span's
// caption over its start and stop boxes.
void AnalyzerWindow::layOutGeneratorFrame() {
  const int readoutHeight = QFontMetrics(quantityReadouts_[0]->font()).height() + 4;
  auto* generator = new QGridLayout(generatorGroup_);
  generator->setContentsMargins(6, 2, 6, 4);
  generator->setHorizontalSpacing(6);
  generator->setVerticalSpacing(2);
  for (QToolButton* b : {singleSweepButton_, continuousSweepButton_}) {
    b->setMinimumWidth(std::max(36, b->sizeHint().width()));
    b->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
  }
  generator->addWidget(singleSweepButton_, 0, 0, 2, 1);
  generator->addWidget(continuousSweepButton_, 0, 1, 2, 1);
  progress_->setFixedHeight(readoutHeight);
  progress_->setMinimumWidth(60);
  generator->addWidget(progress_, 0, 2);
  generator->addWidget(stop_, 1, 2);
  spanCaption_->setFixedHeight(readoutHeight);
  spanCaption_->setMinimumWidth(
      QFontMetrics(spanCaption_->font()).horizontalAdvance(spanCaption_->text()) + 12);
  generator->addWidget(spanCaption_, 0, 3, 1, 2);
  for (QLineEdit* e : {startEdit_, stopEdit_}) {
    common::ui::holdWholeValue(e, "000.000000", false);
    e->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  }
  generator->addWidget(startEdit_, 1, 3);
  generator->addWidget(stopEdit_, 1, 4);
  generator->setColumnStretch(2, 2);
  generator->setColumnStretch(3, 2);
  generator->setColumnStretch(4, 2);
}

void AnalyzerWindow::fitReadouts() {
  // Each readout shown spans from its button's column up to the next one
  // shown, the hidden ones between giving their room, at the left of it.
  auto* grid = static_cast<QGridLayout*>(chartsGroup_->layout());
  for (int q = 0; q < kQuantities; ++q) {
    QLineEdit* box = quantityReadouts_[q];
    int next = q + 1;
    while (next < kQuantities && quantityReadouts_[next]->isHidden()) ++next;
    int row, column, rows, columns;
    const int at = grid->indexOf(box);
    if (at >= 0) grid->getItemPosition(at, &row, &column, &rows, &columns);
    if (box->isHidden()) {
      if (at >= 0) grid->removeWidget(box);
    } else if (at < 0 || column != 1 + q || columns != next - q) {
      if (at >= 0) grid->removeWidget(box);
      grid->addWidget(box, 0, 1 + q, 1, next - q, Qt::AlignLeft | Qt::AlignTop);
    } else {
      box->updateGeometry();  // its text is new: its width follows
    }
  }
  // Placed now, so that what reads them sees them where they are drawn.
  grid->activate();
}

// The boxes show the span and points of the measurement on the chart.
void AnalyzerWindow::showSweepBoxes() {
  startEdit_->setText(QString::fromStdString(common::shortestText(m_.viewStartMHz)));
  stopEdit_->setText(QString::fromStdString(common::shortestText(m_.viewStopMHz)));
  pointsEdit_->setText(QString::number(m_.points));
}

}  // namespace kolm::analyzer::ui
