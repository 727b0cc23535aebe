#include "analyzer/ui/analyzer_window.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPixmap>
#include <QProgressBar>
#include <QShortcut>
#include <QStatusBar>
#include <QToolButton>
#include <algorithm>
#include <cmath>

#include "analyzer/analysis.h"
#include "analyzer/bridge_check.h"
#include "analyzer/files.h"
#include "analyzer/readouts.h"
#include "analyzer/ui/analyzer_view.h"
#include "analyzer/validity.h"
#include "chart/ui/analysis_panel.h"
#include "chart/ui/markers_menu.h"
#include "chart/ui/sweep_chart.h"
#include "chart/ui/window_exports.h"
#include "common/files.h"
#include "common/settings_file.h"
#include "common/status.h"
#include "common/text.h"
#include "common/ui/about_box.h"
#include "common/ui/band_menu.h"
#include "common/ui/number_field.h"
#include "common/ui/recent_files.h"
#include "hw/dds.h"
#include "hw/readout.h"

namespace kolm::analyzer::ui {

namespace {

constexpr int kDefaultWidth = 1000;
constexpr int kDefaultHeight = 720;

// Short names on the quantity buttons.
constexpr std::array<const char*, kQuantities> kQuantityCaptions{"RL", "PH", "|Z|",
                                                                 "R",  "X",  "SWR"};

QColor traceColour(int quantity) { return chart::ui::paletteQColor(kColorTable[quantity]); }

QString qs(const std::string& s) { return QString::fromStdString(s); }

// Black or white, whichever reads better on `colour`.
QColor ink(const QColor& colour) {
  const double luminance = 0.299 * colour.red() + 0.587 * colour.green() + 0.114 * colour.blue();
  return luminance > 128 ? Qt::black : Qt::white;
}

void setBackground(QWidget* w, const QColor& colour) {
  QPalette p = w->palette();
  p.setColor(QPalette::Base, colour);
  p.setColor(QPalette::Button, colour);
  p.setColor(QPalette::Text, ink(colour));
  w->setPalette(p);
}

}  // namespace

AnalyzerWindow::AnalyzerWindow(common::ui::UiContext& context, QWidget* parent)
    : QMainWindow(parent), context_(context) {
  setObjectName("Antenna_Analyzer");
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(tr("Antenna_Analizer"));

  canvas_ = common::ui::makeBannerArea(context_, this, "Canvas");

  buildMenus();
  buildControls();
  chart::ui::addMarkersMenu(menuBar(), findChild<QMenu*>("printMenu")->menuAction(), chart_,
                            context_.prompter, tr("the selected quantity"));
  connect(chart_, &chart::ui::SweepChart::markersChanged, this,
          &AnalyzerWindow::updateAntennaWindows);
  common::ui::addBandsMenu(menuBar(), findChild<QMenu*>("printMenu")->menuAction(), startEdit_,
                           stopEdit_, [this] { return context_.instrument.params.refClockMHz; });
  // The measurement as the command line writes it; not the demonstration.
  auto exported = [this](bool touchstone) {
    return [this, touchstone](QString& why) -> std::optional<std::string> {
      if (!chart_->note().isEmpty() || runner_.running()) {
        why = tr("The chart shows no finished measurement to export: sweep or open one first.");
        return std::nullopt;
      }
      const TraceValues t = exportTrace(m_.Points, m_.TraceStart, m_.TraceStop, m_.live, figures_);
      return touchstone ? formatTouchstone(t, &m_.live, {}) : formatCsv(t);
    };
  };
  chart::ui::addExportItems(
      this, findChild<QMenu*>("fileMenu"), recent_->menu()->menuAction(), chart_, context_.prompter,
      {{"ExportCsv", tr("Export CSV..."), "CSV (*.csv)|*.csv", exported(false)},
       {"ExportS1p", tr("Export Touchstone .s1p..."), "Touchstone (*.s1p)|*.s1p", exported(true)}});

  connect(&runner_, &common::ui::JobRunner::progressed, this,
          [this](double f) { progress_->setValue(static_cast<int>(std::lround(f * 1000))); });
  connect(&runner_, &common::ui::JobRunner::finished, this,
          [this](bool completed) { sweep_.passFinished(completed); });
  connect(&runner_, &common::ui::JobRunner::failed, this, [this](const QString& why) {
    context_.prompter.message(why.toStdString(), common::Icon::Critical);
  });
  status_ = new QLabel(this);
  status_->setObjectName("StatusLine");
  statusBar()->addWidget(status_, 1);
  for (QLineEdit* e : {startEdit_, stopEdit_, pointsEdit_}) common::ui::makeNumberField(e, status_);
  // The bridge's figures as its last check found them.
  const BridgeFiguresInUse bridge = bridgeFiguresIn(context_.settings);
  figures_ = bridge.figures;
  if (!bridge.problem.empty()) setStatus(bridge.problem);
  // The passes a sweep averages, beside Points; kolm.ini keeps the number.
  average_ = std::make_unique<common::ui::AverageBox>(canvas_, context_.settings,
                                                      "Analyzer/average", status_);

  // Load: settings, boxes, scale and grid, then the simulated measurement.
  fileNameLabel_->hide();
  std::string problem;
  const auto settingsFile = context_.settings.file(kSettingsFile);
  const AntSettings s = readAntIni(settingsFile, &problem);
  // A file read in part is kept aside before the close writes ant.ini.
  if (const auto kept = context_.settings.keeper().keep(settingsFile, problem);
      !kept.message.empty())
    context_.prompter.message(kept.message, common::Icon::Warning);
  m_.ViewStart = s.start;
  m_.ViewStop = s.stop;
  m_.Points = s.points;
  m_.setTraceSpan(s.start, s.stop);
  startEdit_->setText(qs(common::shortestText(m_.ViewStart)));
  stopEdit_->setText(qs(common::shortestText(m_.ViewStop)));
  pointsEdit_->setText(QString::number(m_.Points));
  setMinimumSize(900, 480);
  common::ui::openAtSize(this,
                         QSize(kDefaultWidth, kDefaultHeight + menuBar()->sizeHint().height() +
                                                  statusBar()->sizeHint().height()));
  analysis_ = chart::ui::addAnalysisPanel(this, "swrAnalysis");
  setQuantityScale(kResistance);
  drawGrid();
  showDemonstration();
  canvas_->installEventFilter(this);
}

AnalyzerWindow::~AnalyzerWindow() = default;

void AnalyzerWindow::buildMenus() {
  QMenuBar* bar = menuBar();
  auto item = [](QMenu* menu, const char* name, const QString& caption) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(name);
    return a;
  };
  QMenu* file = bar->addMenu(tr("File"));
  file->setObjectName("fileMenu");
  QAction* openVnaItem = item(file, "openVnaAction", tr("Open Chart .vna"));
  openVnaItem->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  connect(openVnaItem, &QAction::triggered, this, &AnalyzerWindow::openVnaFile);
  connect(item(file, "openVecAction", tr("Open Chart .vec")), &QAction::triggered, this,
          &AnalyzerWindow::openVecFile);
  QAction* save = item(file, "Save", tr("Save Chart as"));
  save->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
  connect(save, &QAction::triggered, this, &AnalyzerWindow::saveChartAs);
  QAction* exit = item(file, "Exit", tr("Exit Antenna Analyzer"));
  connect(exit, &QAction::triggered, this, &QWidget::close);
  recent_ = new common::ui::RecentFiles(file, exit, context_.settings, "AntennaAnalyzer/recent",
                                        [this](const QString& path) { openRecent(path); });
  file->insertSeparator(exit);
  common::ui::addExitProgram(context_, file);
  QAction* params = bar->addAction(tr("Parameters"));
  params->setObjectName("parametersAction");
  connect(params, &QAction::triggered, this, [this] { context_.showParameters(this); });
  QMenu* comp = bar->addMenu(tr("Compare"));
  comp->setObjectName("compareMenu");
  connect(item(comp, "screenToMemoryAction", tr("This screen in Memory")), &QAction::triggered,
          this, &AnalyzerWindow::screenToMemory);
  connect(item(comp, "fileToMemoryAction", tr("File in Memory")), &QAction::triggered, this,
          &AnalyzerWindow::fileToMemory);
  QMenu* antenna = bar->addMenu(tr("Antenna"));
  antenna->setObjectName("antennaMenu");
  connect(item(antenna, "smithChartAction", tr("Smith chart...")), &QAction::triggered, this,
          &AnalyzerWindow::showSmithChart);
  connect(item(antenna, "matchingAction", tr("Matching network...")), &QAction::triggered, this,
          &AnalyzerWindow::showMatching);
  connect(item(antenna, "cableAction", tr("Cable taken out...")), &QAction::triggered, this,
          &AnalyzerWindow::chooseCable);
  connect(item(antenna, "stubAction", tr("Measure a stub...")), &QAction::triggered, this,
          &AnalyzerWindow::measureStub);
  antenna->addSeparator();
  connect(item(antenna, "checkBridgeAction", tr("Check the bridge...")), &QAction::triggered, this,
          &AnalyzerWindow::checkBridge);
  QMenu* print = bar->addMenu(tr("Print"));
  print->setObjectName("printMenu");
  QAction* printScreen = item(print, "printScreenAction", tr("PrintScreen"));
  printScreen->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
  connect(printScreen, &QAction::triggered, this, &AnalyzerWindow::printScreen);
  QAction* about = bar->addAction(tr("About Antenna Analyzer"));
  about->setObjectName("About");
  about->setShortcut(QKeySequence(Qt::Key_F1));
  // The sweep from the keyboard: F5 one pass, Shift+F5 back to back, Esc stops.
  auto* single = new QAction(tr("Single sweep"), this);
  single->setObjectName("SingleSweep");
  single->setShortcut(QKeySequence(Qt::Key_F5));
  connect(single, &QAction::triggered, this, [this] { sweep_.single(); });
  auto* continuous = new QAction(tr("Continuous sweep"), this);
  continuous->setObjectName("ContinuousSweep");
  continuous->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F5));
  connect(continuous, &QAction::triggered, this, [this] { sweep_.continuous(); });
  auto* stop = new QAction(tr("Stop"), this);
  stop->setObjectName("StopAction");
  stop->setShortcut(QKeySequence(Qt::Key_Escape));
  connect(stop, &QAction::triggered, this, &AnalyzerWindow::stopSweep);
  addActions({single, continuous, stop});
  connect(about, &QAction::triggered, this,
          [this] { context_.aboutBoxes.show(common::ui::AboutKind::AntennaAnalyzer); });
}

void AnalyzerWindow::buildControls() {
  QWidget* c = canvas_;
  // Frames first, so the controls placed over them stay on top.
  chartsGroup_ = new QGroupBox(tr("Charts"), c);
  chartsGroup_->setObjectName("chartsGroup");
  generatorGroup_ = new QGroupBox(tr("Signal Generator"), c);
  generatorGroup_->setObjectName("generatorGroup");

  chart_ = new chart::ui::SweepChart(c);
  chart_->setObjectName("chart");
  chart_->setMemoryOnTop(true);
  chart_->setCursorLineShown(false);  // cursorLine_ is the cursor
  chart_->setColours(Qt::black, palette().color(QPalette::Window),
                     chart::ui::paletteQColor(kGridColor));
  chart_->setBandZoom([this] { return chart::View{m_.ViewStart, m_.ViewStop, 0, 0}; });
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

  combine_ = new QToolButton(chartsGroup_);
  combine_->setObjectName("Combine");
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
    auto* calc = new QLineEdit(chartsGroup_);
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
  progress_->setObjectName("Progress");
  progress_->setRange(0, 1000);
  progress_->setValue(0);
  progress_->setTextVisible(false);
  progress_->setToolTip(tr("Progress of the sweep"));
  stop_ = new QToolButton(generatorGroup_);
  stop_->setObjectName("StopSweep");
  stop_->setText(tr("Stop"));
  stop_->setToolTip(tr("Stop the sweep (Esc)"));
  stop_->setEnabled(false);
  connect(stop_, &QToolButton::clicked, this, &AnalyzerWindow::stopSweep);
}

// ---- drawing ----

void AnalyzerWindow::setQuantityScale(int quantity) {
  auto scale = chart::analyzerQuantityScale(quantity);
  if (!scale) return;
  chart_->setScale(chart::analyzerScale(*scale, m_.ViewStart, m_.ViewStop));
}

void AnalyzerWindow::drawGrid() {
  auto scale = chart::analyzerQuantityScale(selection_.selectedQuantity);
  if (!scale) return;
  chart_->setGrid(chart::analyzerGrid(*scale, m_.ViewStart, m_.ViewStop));
}

void AnalyzerWindow::loadIcon() {
  const auto file = context_.dataDir / kIconFiles[selection_.selectedQuantity];
  QPixmap icon(QString::fromStdString(file.string()));
  if (icon.isNull())
    quantityIcon_->clear();
  else
    quantityIcon_->setPixmap(icon);
}

void AnalyzerWindow::paintCursorValue() {
  setBackground(cursorValueEdit_, traceColour(selection_.selectedQuantity));
}

namespace {

// The arrays of a redraw: the last redraw's, unless something besides this
// window still holds them.
TraceValues& reusable(std::shared_ptr<TraceValues>& values) {
  if (!values || values.use_count() > 1) values = std::make_shared<TraceValues>();
  return *values;
}

// A trace that shares the quantity's values and the frequencies (no copy).
chart::ui::Trace traceOf(const std::shared_ptr<TraceValues>& shared, int q, const QColor& colour,
                         const QString& name) {
  const TraceValues& values = *shared;
  chart::ui::Trace t;
  t.y = chart::ui::Series<float>(
      std::shared_ptr<const std::vector<float>>(shared, &values.values[static_cast<size_t>(q)]));
  t.x = chart::ui::Series<double>(
      std::shared_ptr<const std::vector<double>>(shared, &values.frequencies));
  t.colour = colour;
  t.name = name;
  // Flagged and uncertain values are drawn in the marked style.
  bool anyFlagged = false;
  for (size_t i = 0; i < values.flags.size() && !anyFlagged; ++i)
    anyFlagged = chart::flagged(values.mark(i, q));
  if (anyFlagged) {
    t.marks.resize(values.flags.size());
    for (size_t i = 0; i < values.flags.size(); ++i) t.marks[i] = values.mark(i, q);
  }
  // A stretch at the return-loss limit is the lowest SWR and the highest return
  // loss there is: a marker search lands on its centre.
  t.boundsAreExtremes = true;
  // Markers read the nearest point's marks and sign around the trace's value.
  std::weak_ptr<TraceValues> weak = shared;
  t.describe = [weak, q](double x, const chart::Reading& r) -> std::string {
    const auto values = weak.lock();
    if (!values) return {};
    const auto i = nearestPoint(*values, x);
    if (!i) return {};
    const std::optional<double> v =
        r.kind == chart::Reading::Kind::Value ? std::optional<double>(r.value) : std::nullopt;
    std::string text = quantityText(*values, *i, q, v, q == kSwr ? "0.00" : "0.0");
    if (q == kReactance) text += signNote(*values, *i);
    return text;
  };
  t.unit = kQuantityUnits[q];
  t.pattern = q == kSwr ? "0.00" : "0.0";
  const auto s = chart::analyzerQuantityScale(q);
  t.vertical = chart::VerticalScale{s->top, s->bottom, -s->step};
  return t;
}

}  // namespace

// The live trace of a quantity from the values computed for this redraw, in its
// colour-table entry, on its own vertical scale.
chart::ui::Trace AnalyzerWindow::liveTrace(int quantity) const {
  return traceOf(liveValues_, quantity, traceColour(quantity), kQuantityCaptions[quantity]);
}

// The memory trace of a quantity: points 0 to MemPoints at memoryFrequencies, in
// colour-table entry quantity + 6.
chart::ui::Trace AnalyzerWindow::memoryTrace(int quantity) const {
  chart::ui::Trace t = traceOf(memoryValues_, quantity,
                               chart::ui::paletteQColor(kColorTable[quantity + kQuantities]),
                               tr("%1 memory: %2").arg(kQuantityCaptions[quantity], memoryName_));
  t.dashed = true;
  return t;
}

// The memory traces of the quantities drawn; the chart puts them over the live ones.
std::vector<chart::ui::Trace> AnalyzerWindow::memoryTraces() {
  std::vector<chart::ui::Trace> memory;
  computeTraceValues(m_.memory, m_.MemPoints, reusable(memoryValues_), figures_,
                     intervalsComputed_);
  for (int q = 0; q < kQuantities; ++q)
    if (selection_.shownTraces[q]) memory.push_back(memoryTrace(q));
  return memory;
}

void AnalyzerWindow::redraw() {
  const int selected = selection_.selectedQuantity;
  loadIcon();
  setQuantityScale(selected);
  drawGrid();

  // The chart lets go of the last redraw's arrays, which are then written again.
  chart_->setTraces({});
  chart_->setMemoryTraces({});
  std::vector<chart::ui::Trace> live;
  // The marker searches look at the selected quantity.
  chart_->setMarkerTrace(static_cast<int>(
      std::count(selection_.shownTraces.begin(), selection_.shownTraces.begin() + selected, true)));
  const bool anyActive = std::any_of(selection_.shownTraces.begin(), selection_.shownTraces.end(),
                                     [](bool b) { return b; });
  // The values of every point, for the traces shown and the analysis panel;
  // with a cable, those of its far end.
  if (cable_) {
    computeTraceValues(m_.live, m_.Points, reusable(nearValues_), figures_, intervalsComputed_);
    liveValues_ = std::make_shared<TraceValues>(withoutCable(*nearValues_, *cable_));
  } else {
    computeTraceValues(m_.live, m_.Points, reusable(liveValues_), figures_, intervalsComputed_);
  }
  // The demonstration is no measurement: the panel says so instead of
  // analysing it.
  if (analysis_ && !chart_->note().isEmpty())
    analysis_->setRows({{tr("Demonstration:").toStdString(), tr("not analysed").toStdString()}});
  else if (analysis_) {
    auto rows = swrAnalysisRows(analyzeSwr(*liveValues_));
    if (cable_) rows.insert(rows.begin(), {tr("Far end of:").toStdString(), cableText(*cable_)});
    analysis_->setRows(rows);
  }
  for (int q = 0; q < kQuantities; ++q) {
    if (selection_.shownTraces[q]) {
      live.push_back(liveTrace(q));
      quantityReadouts_[q]->show();
    } else {
      quantityReadouts_[q]->hide();
    }
  }
  fitReadouts();
  paintCursorValue();

  std::vector<chart::ui::Trace> memory;
  if (compareCheck_->isChecked() && anyActive) memory = memoryTraces();
  chart_->setTraces(std::move(live));
  chart_->setMemoryTraces(std::move(memory));
  setQuantityScale(selected);
  updateAntennaWindows();
}

void AnalyzerWindow::showDemonstration() {
  m_.fillSyntheticMeasurement();
  selection_.shownTraces[kReturnLoss] = true;
  selection_.selectedQuantity = kReturnLoss;
  // Until the first sweep or file, the chart says what it shows.
  chart_->setNote(tr("DEMONSTRATION: a built-in simulated measurement, not a sweep"));
  newHome();
  redraw();
}

void AnalyzerWindow::selectQuantity(int index) {
  for (QLineEdit* c : quantityReadouts_) c->hide();
  selection_.select(static_cast<Quantity>(index), combine_->isChecked());
  paintCursorValue();
  cursorValueEdit_->show();
  quantityIcon_->show();
  if (combine_->isChecked()) quantityIcon_->clear();  // the redraw loads it again
  {
    QSignalBlocker quiet(quantityButtons_[index]);
    quantityButtons_[index]->setChecked(false);
  }
  redraw();
}

// ---- layout ----

// Each control stands at its fraction of the canvas (the chart at 5 % / 9 %,
// 90.5 % x 80 %; the two frames at 89 %, a tenth of the height). Boxes and
// buttons are never made lower than their text needs: on a small window the
// frames keep the height their rows need and the chart gives way.
void AnalyzerWindow::layoutControls() {
  const double W = canvas_->width(), H = canvas_->height();
  auto px = [](double v) { return static_cast<int>(std::lround(v)); };
  const int textH = fontMetrics().height();
  const int small = QFontMetrics(quantityReadouts_[0]->font()).height() + 4;  // a readout box
  const int box = textH + 8;                                                  // an edit box
  const int button = std::max(26, textH + 10);                                // a quantity button
  const int title = textH + 4;                                                // a frame's title
  // In canvas units, for a control inside `frame`.
  auto place = [&](QWidget* w, double left, int top, double width, int height,
                   QWidget* frame = nullptr) {
    QRect r(px(left * W), top, std::max(1, px(width * W)), std::max(1, height));
    if (frame) r.translate(-frame->pos());
    w->setGeometry(r);
  };

  // Top row: the heading, the file name, Points and Compare.
  place(titleLabel_, 0.325, 0, 0.35, std::max(px(0.045 * H), titleLabel_->sizeHint().height()));
  // The row stays under the heading where a large font makes it tall.
  const int rowTop = std::max(px(0.05 * H), titleLabel_->height() + 1);
  // Average, Compare and Points at their fractions, each as wide as its text
  // and clear of the one before; on a narrow window they give way leftwards
  // from the right edge, and the file name shortens to leave them room.
  struct Item {
    QWidget* widget;
    double at;
    int width;
  };
  const Item row[] = {{average_->label(), 0.6, average_->label()->sizeHint().width()},
                      {average_->edit(), 0, average_->edit()->width()},
                      {compareCheck_, 0.75, compareCheck_->sizeHint().width()},
                      {pointsLabel_, 0.86, pointsLabel_->sizeHint().width()},
                      {pointsEdit_, 0.915, std::max(48, px(0.07 * W))}};
  constexpr size_t kItems = std::size(row);
  int xs[kItems];
  int next = 0;
  for (size_t k = 0; k < kItems; ++k) {
    xs[k] = std::max(px(row[k].at * W), next);
    next = xs[k] + row[k].width + 6;
  }
  int limit = canvas_->width() - 2;
  for (size_t k = kItems; k-- > 0;) {
    xs[k] = std::min(xs[k], limit - row[k].width);
    limit = xs[k] - 6;
  }
  for (size_t k = 0; k < kItems; ++k) row[k].widget->setGeometry(xs[k], rowTop, row[k].width, box);
  const int nameTop = std::max(px(0.065 * H), titleLabel_->height());
  place(fileNameLabel_, 0.05, nameTop, 0.08, textH + 2);
  fileNameEdit_->setGeometry(px(0.13 * W), nameTop,
                             std::max(40, std::min(px(0.5 * W), xs[0] - px(0.13 * W) - 8)),
                             textH + 2);

  // The two frames at the bottom, as tall as their rows need.
  const int rows = title + small + 2 + button + 6;
  const int frameH = std::max(px(0.1 * H), rows);
  const int frameTop = std::min(px(0.89 * H), canvas_->height() - frameH - 1);
  place(chartsGroup_, 0.049, frameTop, 0.49, frameH);
  place(generatorGroup_, 0.54, frameTop, 0.45, frameH);
  const int bottom = frameTop + frameH - 4;
  const int row1 = std::clamp(px(0.9 * H), frameTop + title, bottom - small - 2 - button);
  const int row2 = std::clamp(px(0.925 * H), row1 + small + 2, bottom - button);
  place(cursorFrequencyUnit_, 0.055, row1, 0.045, small, chartsGroup_);
  place(cursorFrequencyEdit_, 0.105, row1, 0.073, small, chartsGroup_);
  const int buttonH = std::min(std::max(px(0.055 * H), button), bottom - row2);
  place(combine_, 0.065, row2, 0.1, buttonH, chartsGroup_);
  for (int q = 0; q < kQuantities; ++q) {
    place(quantityButtons_[q], 0.18 + 0.06 * q, row2, 0.055, buttonH, chartsGroup_);
    place(quantityReadouts_[q], 0.18 + 0.06 * q, row1, 0.055, small, chartsGroup_);
  }
  readoutWidth_ = quantityReadouts_[0]->width();
  fitReadouts();
  const int rowA = std::clamp(px(0.918 * H), frameTop + title, bottom - small - 2 - box);
  const int rowB = std::clamp(px(0.955 * H), rowA + small + 2, bottom - box);
  place(singleSweepButton_, 0.55, frameTop + title, 0.045, bottom - frameTop - title,
        generatorGroup_);
  place(continuousSweepButton_, 0.6, frameTop + title, 0.045, bottom - frameTop - title,
        generatorGroup_);
  place(progress_, 0.655, rowA, 0.11, small, generatorGroup_);
  place(stop_, 0.655, rowB, 0.11, box, generatorGroup_);
  place(spanCaption_, 0.778, rowA, 0.2, small, generatorGroup_);
  // The caption box needs its whole text; on a narrow window it starts further left.
  const int captionW =
      QFontMetrics(spanCaption_->font()).horizontalAdvance(spanCaption_->text()) + 10;
  if (spanCaption_->width() < captionW)
    spanCaption_->setGeometry(generatorGroup_->width() - captionW - 6, spanCaption_->y(), captionW,
                              spanCaption_->height());
  place(startEdit_, 0.77, rowB, 0.11, box, generatorGroup_);
  place(stopEdit_, 0.9, rowB, 0.085, box, generatorGroup_);

  // The chart between the rows; the selected quantity's box and icon in the
  // margin at its left, which widens when the box needs it.
  const int needed = QFontMetrics(cursorValueEdit_->font()).horizontalAdvance("-999.9 \u03a9") + 6;
  place(cursorValueEdit_, 0.01, px(0.5 * H), 0.037, small);
  if (cursorValueEdit_->width() < needed) cursorValueEdit_->resize(needed, small);
  place(quantityIcon_, 0.01, px(0.55 * H) + std::max(0, small - px(0.05 * H)), 0.037,
        std::max(px(0.05 * H), 24));
  const int chartLeft = std::max(px(0.05 * W), cursorValueEdit_->geometry().right() + 3);
  const int chartTop = std::max({px(0.09 * H), rowTop + box + 2, nameTop + textH + 4});
  const int chartBottom = std::min(px(0.89 * H), frameTop - 2);
  chart_->setGeometry(chartLeft, chartTop, px(0.955 * W) - chartLeft,
                      std::max(10, chartBottom - chartTop));
  cursorLine_->setGeometry(cursorLine_->x(), 0, 1, chart_->height());

  startEdit_->setText(qs(common::shortestText(m_.ViewStart)));
  stopEdit_->setText(qs(common::shortestText(m_.ViewStop)));
  pointsEdit_->setText(QString::number(m_.Points));
}

bool AnalyzerWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == canvas_ && event->type() == QEvent::Resize) {
    layoutControls();
    redraw();
  }
  return QMainWindow::eventFilter(watched, event);
}

void AnalyzerWindow::fitReadouts() {
  const int right = chartsGroup_->contentsRect().right();
  for (int q = 0; q < kQuantities; ++q) {
    QLineEdit* box = quantityReadouts_[q];
    if (box->isHidden()) continue;
    int room = right - box->x();
    for (int next = q + 1; next < kQuantities; ++next)
      if (!quantityReadouts_[next]->isHidden()) {
        room = quantityReadouts_[next]->x() - box->x() - 2;
        break;
      }
    const int needed = box->fontMetrics().horizontalAdvance(box->text()) + 8;
    box->resize(std::max(readoutWidth_, std::min(needed, room)), box->height());
  }
}

void AnalyzerWindow::showReadout(double x, double y) {
  cursorFrequencyEdit_->setText(qs(chart::frequencyReadout(x)));  // in MHz, as its label says
  const int i = chart::clampedCursorIndex(x, m_.TraceStart, m_.TraceStop, m_.Points);
  // Marked values say so in words ("≥ 30.0 dB", "open", ...), numbers with
  // their units.
  if (liveValues_ && i >= 0 && static_cast<size_t>(i) < liveValues_->flags.size()) {
    // A narrow box shows the number from its start; the whole text, with its
    // interval and marks, is on hover.
    for (int q = 0; q < kQuantities; ++q) {
      const QString text = qs(quantityText(*liveValues_, static_cast<size_t>(i), q));
      quantityReadouts_[q]->setText(text);
      quantityReadouts_[q]->setCursorPosition(0);
      quantityReadouts_[q]->setToolTip(
          QCoreApplication::translate("kolm", kReadoutTips[q]) + "\n" + text +
          (q == kReactance ? qs(signNote(*liveValues_, static_cast<size_t>(i))) : QString()) +
          (m_.live.averaged()
               ? "\n" + qs(common::averageText(m_.live.passes,
                                               std::max(m_.live.passes, sweep_.average().depth())))
               : QString()));
    }
  }
  fitReadouts();
  cursorValueEdit_->setText(
      qs(chart::withUnit(chart::valueReadout(y), kQuantityUnits[selection_.selectedQuantity])));
  const double px = chart_->pixelMap().x(x);
  if (std::isfinite(px)) {
    cursorLine_->setGeometry(static_cast<int>(std::lround(px)), 0, 1, chart_->height());
    cursorLine_->show();
  }
}

void AnalyzerWindow::applyView(const chart::View& v) {
  m_.ViewStart = v.start;
  m_.ViewStop = v.stop;
  // The boxes follow the view, to the digits a sweep of it resolves: the next
  // sweep covers what is shown.
  const double step = std::fabs(m_.ViewStop - m_.ViewStart) / std::max<int>(m_.Points, 1);
  startEdit_->setText(qs(chart::resolvedText(m_.ViewStart, step)));
  stopEdit_->setText(qs(chart::resolvedText(m_.ViewStop, step)));
  redraw();
}

void AnalyzerWindow::newHome() {
  const auto home =
      chart::analyzerReset({m_.ViewStart, m_.ViewStop, 0, 0}, m_.TraceStart, m_.TraceStop);
  chart_->setHomeView(home);
  chart_->setZoomRule(chart::kAnalyzerZoom, m_.TraceStart, m_.TraceStop, m_.Points);
}

void AnalyzerWindow::setStatus(const std::string& text) { status_->setText(qs(text)); }

// ---- closing ----

void AnalyzerWindow::closeEvent(QCloseEvent* event) {
  // The pass under way stops at its point boundary, any other job too; the
  // settings are kept, then the port is left idle.
  runner_.stop();
  // A box whose text is refused keeps its last number in the file.
  const auto kept = [](const QLineEdit* box) { return common::ui::numberText(box).toStdString(); };
  saveAntIni(kept(startEdit_), kept(stopEdit_), kept(pointsEdit_),
             context_.settings.file(kSettingsFile), context_.settings.keeper());
  sweep_.close();
  event->accept();
}

QWidget* createAnalyzerWindow(common::ui::UiContext& context) {
  return new AnalyzerWindow(context);
}

}  // namespace kolm::analyzer::ui
