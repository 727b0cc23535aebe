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
#include <utility>

#include "analyzer/analysis.h"
#include "analyzer/bridge_check.h"
#include "analyzer/files.h"
#include "analyzer/readouts.h"
#include "analyzer/ui/analyzer_view.h"
#include "analyzer/ui/quantity_readout.h"
#include "analyzer/ui/quantity_style.h"
#include "analyzer/validity.h"
#include "chart/ui/analysis_panel.h"
#include "chart/ui/chart_export.h"
#include "chart/ui/markers_menu.h"
#include "chart/ui/session_commands.h"
#include "chart/ui/sweep_chart.h"
#include "chart/ui/trace_list.h"
#include "chart/ui/window_exports.h"
#include "common/files.h"
#include "common/settings_file.h"
#include "common/status.h"
#include "common/text.h"
#include "common/ui/about_box.h"
#include "common/ui/band_menu.h"
#include "common/ui/number_field.h"
#include "common/ui/qt_text.h"
#include "common/ui/recent_files.h"
#include "common/ui/screen_fit.h"
#include "hw/dds.h"
#include "hw/readout.h"
#include "sim/ui/sim_banner.h"

namespace kolm::analyzer::ui {

namespace {

constexpr int kDefaultWidth = 1000;
constexpr int kDefaultHeight = 720;

using common::ui::q;

}  // namespace

AnalyzerWindow::AnalyzerWindow(hw::ui::UiContext& context, QWidget* parent)
    : QMainWindow(parent), context_(context) {
  setObjectName("antennaAnalyzer");
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(tr("Antenna_Analizer"));

  canvas_ = sim::ui::makeBannerArea(context_, this, "canvas");
  status_ = new QLabel(this);
  status_->setObjectName("statusLine");
  statusBar()->addWidget(status_, 1);
  // The passes a sweep averages, beside Points; kolm.ini keeps the number.
  average_ = std::make_unique<common::ui::AverageBox>(canvas_, context_.settings,
                                                      "Analyzer/average", status_);

  buildMenus();
  buildControls();
  setUpMarkers();
  common::ui::addBandsMenu(menuBar(), findChild<QMenu*>("printMenu")->menuAction(), startEdit_,
                           stopEdit_, [this] { return context_.instrument.params.refClockMHz; });
  addExports();
  connect(&runner_, &common::ui::JobRunner::progressed, this,
          [this](double f) { progress_->setValue(static_cast<int>(std::lround(f * 1000))); });
  connect(&runner_, &common::ui::JobRunner::finished, this,
          [this](bool completed) { sweep_.passFinished(completed); });
  connect(&runner_, &common::ui::JobRunner::failed, this, [this](const QString& why) {
    context_.prompter.message(why.toStdString(), common::Icon::Critical);
  });
  for (QLineEdit* e : {startEdit_, stopEdit_, pointsEdit_}) common::ui::makeNumberField(e, status_);
  // The bridge's figures as its last check found them.
  const BridgeFiguresInUse bridge = bridgeFiguresIn(context_.settings);
  figures_ = bridge.figures;
  figuresMeasured_ = bridge.measured;
  if (!bridge.problem.empty()) setStatus(bridge.problem);
  loadCalibration();
  fileNameLabel_->hide();
  readSettings();
  setMinimumSize(900, 480);
  common::ui::openAtSize(this,
                         QSize(kDefaultWidth, kDefaultHeight + menuBar()->sizeHint().height() +
                                                  statusBar()->sizeHint().height()));
  analysis_ = chart::ui::addAnalysisPanel(this, "swrAnalysis");
  setUpStoredTraces();
  setUpSessions();
  setQuantityScale(kResistance);
  drawGrid();
  showDemonstration();
  sessions_->reopenAtStart();
}

AnalyzerWindow::~AnalyzerWindow() = default;

// The markers' menu; a marker on a frequency the analysis found gives its
// interval, one on a reading outside the calibration's span says so.
void AnalyzerWindow::setUpMarkers() {
  chart::ui::addMarkersMenu(menuBar(), findChild<QMenu*>("printMenu")->menuAction(), chart_,
                            context_.prompter, tr("the selected quantity"));
  connect(chart_, &chart::ui::SweepChart::markersChanged, this,
          &AnalyzerWindow::updateAntennaWindows);
  chart_->setMarkerFrequencyNote([this](double x) {
    std::string note;
    if (lastAnalysis_ && m_.points > 0)
      note = markerFrequencyNote(*lastAnalysis_, x,
                                 (m_.traceStopMHz - m_.traceStartMHz) / m_.points / 2);
    const auto i = liveValues_ ? nearestPoint(*liveValues_, x) : std::nullopt;
    if (i && *i < liveValues_->correction.size() &&
        liveValues_->correction[*i] == Correction::Uncorrected)
      note += ", " + tr("uncorrected").toStdString();
    return note;
  });
}

// The CSV and Touchstone exports in the File menu.
void AnalyzerWindow::addExports() {
  // The measurement as the command line writes it; not the demonstration.
  auto exported = [this](bool touchstone) {
    return [this, touchstone](QString& why) -> std::optional<std::string> {
      if (!chart_->note().isEmpty() || runner_.running()) {
        why = tr("The chart shows no finished measurement to export: sweep or open one first.");
        return std::nullopt;
      }
      // With a cable taken out, the load at its far end, as the window shows it.
      TraceValues t = exportTrace(m_.points, m_.traceStartMHz, m_.traceStopMHz, m_.live, figures_);
      ExportSource source;
      source.figuresMeasured = figuresMeasured_;
      source.calibration = t.calibration;
      source.simulated = simulatedData_;
      if (cable_) {
        t = withoutCable(t, *cable_);
        source.cable = *cable_;
      }
      if (touchstone && touchstonePoints(t, source) == 0) {
        why =
            tr("The sign of every point's reactance is unknown: a Touchstone file would hold "
               "no point.");
        return std::nullopt;
      }
      return touchstone ? formatTouchstone(t, cable_ ? nullptr : &m_.live, source)
                        : formatCsv(t, source);
    };
  };
  chart::ui::addExportItems(
      this, findChild<QMenu*>("fileMenu"), recent_->menu()->menuAction(), chart_, context_.prompter,
      {{"exportCsv", tr("Export CSV..."), "CSV (*.csv)|*.csv", exported(false)},
       {"exportS1p", tr("Export Touchstone .s1p..."), "Touchstone (*.s1p)|*.s1p", exported(true)}},
      [this] { return chart::ui::simulatedNote(simulatedData_); });
}

// ant.ini into the measurement and the boxes: the span and points of the next
// sweep.
void AnalyzerWindow::readSettings() {
  std::string problem;
  const auto settingsFile = context_.settings.file(kSettingsFile);
  const AntSettings s = readAntIni(settingsFile, &problem);
  // A file read in part is kept aside before the close writes ant.ini.
  if (const auto kept = context_.settings.keeper().keep(settingsFile, problem);
      !kept.message.empty())
    context_.prompter.message(kept.message, common::Icon::Warning);
  m_.viewStartMHz = s.start;
  m_.viewStopMHz = s.stop;
  m_.points = s.points;
  m_.setTraceSpan(s.start, s.stop);
  startEdit_->setText(q(common::shortestText(m_.viewStartMHz)));
  stopEdit_->setText(q(common::shortestText(m_.viewStopMHz)));
  pointsEdit_->setText(QString::number(m_.points));
  stored_ = shownSettings();
  // A box left with a new value is kept at once.
  for (QLineEdit* box : {startEdit_, stopEdit_, pointsEdit_})
    connect(box, &QLineEdit::editingFinished, this, [this] { saveSettings(); });
}

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
  QAction* save = item(file, "saveAsAction", tr("Save Chart as"));
  save->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
  connect(save, &QAction::triggered, this, &AnalyzerWindow::saveChartAs);
  QAction* exit = item(file, "exitAction", tr("Exit Antenna Analyzer"));
  connect(exit, &QAction::triggered, this, &QWidget::close);
  recent_ = new common::ui::RecentFiles(file, exit, context_.settings, "AntennaAnalyzer/recent",
                                        [this](const QString& path) { openRecent(path); });
  file->insertSeparator(exit);
  hw::ui::addExitProgram(context_, file);
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
  connect(item(antenna, "calibrateBridgeAction", tr("Calibrate the bridge...")),
          &QAction::triggered, this, &AnalyzerWindow::calibrateBridge);
  QMenu* print = bar->addMenu(tr("Print"));
  print->setObjectName("printMenu");
  QAction* printScreen = item(print, "printScreenAction", tr("PrintScreen"));
  printScreen->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
  connect(printScreen, &QAction::triggered, this, &AnalyzerWindow::printScreen);
  QAction* about = bar->addAction(tr("About Antenna Analyzer"));
  about->setObjectName("aboutAction");
  about->setShortcut(QKeySequence(Qt::Key_F1));
  // The sweep from the keyboard: F5 one pass, Shift+F5 back to back, Esc stops.
  auto* single = new QAction(tr("Single sweep"), this);
  single->setObjectName("singleSweepAction");
  single->setShortcut(QKeySequence(Qt::Key_F5));
  connect(single, &QAction::triggered, this, [this] { sweep_.single(); });
  auto* continuous = new QAction(tr("Continuous sweep"), this);
  continuous->setObjectName("continuousSweepAction");
  continuous->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F5));
  connect(continuous, &QAction::triggered, this, [this] { sweep_.continuous(); });
  auto* stop = new QAction(tr("Stop"), this);
  stop->setObjectName("stopAction");
  stop->setShortcut(QKeySequence(Qt::Key_Escape));
  connect(stop, &QAction::triggered, this, &AnalyzerWindow::stopSweep);
  addActions({single, continuous, stop});
  connect(about, &QAction::triggered, this,
          [this] { context_.aboutBoxes.show(common::ui::AboutKind::AntennaAnalyzer); });
}

// ---- drawing ----

void AnalyzerWindow::setQuantityScale(int quantity) {
  auto scale = chart::analyzerQuantityScale(quantity);
  if (!scale) return;
  chart_->setScale(chart::analyzerScale(*scale, m_.viewStartMHz, m_.viewStopMHz));
}

void AnalyzerWindow::drawGrid() {
  auto scale = chart::analyzerQuantityScale(selection_.selectedQuantity);
  if (!scale) return;
  chart_->setGrid(chart::analyzerGrid(*scale, m_.viewStartMHz, m_.viewStopMHz));
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
  const size_t n = values.flags.size();
  t.marks.resize(n);
  bool anyFlagged = false;
  for (size_t i = 0; i < n; ++i) {
    t.marks[i] = values.mark(i, q);
    anyFlagged |= t.marks[i] != chart::Mark::Valid;
  }
  if (!anyFlagged) t.marks.clear();
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

// The memory trace of a quantity: points 0 to memoryPoints at the memory's frequencies, in
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
  computeTraceValues(m_.memory, m_.memoryPoints, reusable(memoryValues_), figures_,
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
    computeTraceValues(m_.live, m_.points, reusable(nearValues_), figures_, intervalsComputed_);
    liveValues_ = std::make_shared<TraceValues>(withoutCable(*nearValues_, *cable_));
  } else {
    computeTraceValues(m_.live, m_.points, reusable(liveValues_), figures_, intervalsComputed_);
  }
  // The demonstration is no measurement: the panel says so instead of
  // analysing it.
  const bool demonstration = !chart_->note().isEmpty();
  lastAnalysis_.reset();
  if (!demonstration) lastAnalysis_ = analyzeSwr(*liveValues_);
  // Where the readings are not corrected, the legend says so.
  const std::string uncorrected = demonstration ? std::string() : uncorrectedNote(*liveValues_);
  chart_->setLegendNotes(uncorrected.empty() ? QStringList() : QStringList{q(uncorrected)});
  if (analysis_ && demonstration)
    analysis_->setRows({{tr("Demonstration:").toStdString(), tr("not analysed").toStdString()}});
  else if (analysis_) {
    auto rows = swrAnalysisRows(*lastAnalysis_);
    if (cable_) rows.insert(rows.begin(), {tr("Far end of:").toStdString(), cableText(*cable_)});
    // The bridge figures the intervals rest on: published ones that nothing
    // checked on this board, or those its check measured.
    rows.push_back({tr("Figures:").toStdString(),
                    (figuresMeasured_ ? tr("checked") : tr("unchecked")).toStdString()});
    for (auto& row : storedVerdictRows()) rows.push_back(row);
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

  if (std::exchange(passShown_, false)) takeShownPass();
  std::vector<chart::ui::Trace> memory;
  if (compareCheck_->isChecked() && anyActive) memory = memoryTraces();
  for (chart::ui::Trace& t : storedChartTraces()) memory.push_back(std::move(t));
  chart_->setTraces(std::move(live));
  chart_->setMemoryTraces(std::move(memory));
  setQuantityScale(selected);
  updateAntennaWindows();
}

void AnalyzerWindow::showDemonstration() {
  // Drawn over a span of its own, the default 3 to 30 MHz, so that it does not
  // pass for a measurement of the band the boxes hold; they keep the next
  // sweep's span.
  m_.viewStartMHz = kDefaultStartMHz;
  m_.viewStopMHz = kDefaultStopMHz;
  m_.setTraceSpan(kDefaultStartMHz, kDefaultStopMHz);
  m_.fillSyntheticMeasurement();
  simulatedData_ = true;
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

void AnalyzerWindow::showReadout(double x, double y) {
  cursorFrequencyEdit_->setText(q(chart::frequencyReadout(x)));  // in MHz, as its label says
  const int i = chart::clampedCursorIndex(x, m_.traceStartMHz, m_.traceStopMHz, m_.points);
  // Marked values say so in words ("≥ 30.0 dB", "open", ...), numbers with
  // their units.
  if (liveValues_ && i >= 0 && static_cast<size_t>(i) < liveValues_->flags.size()) {
    // A narrow box shows the reading with fewer digits, or the words that
    // fit; the whole text, with its interval and marks, is on hover.
    for (int q = 0; q < kQuantities; ++q) {
      const auto at = static_cast<size_t>(i);
      const QString text = common::ui::q(quantityText(*liveValues_, at, q));
      // An SWR in whole numbers says next to nothing ("1 ± 1"): its words instead.
      quantityReadouts_[q]->setTexts(
          text,
          q == kSwr ? text : common::ui::q(quantityText(*liveValues_, at, q, std::nullopt, "0")));
      quantityReadouts_[q]->setToolTip(
          QCoreApplication::translate("kolm", kReadoutTips[q]) + "\n" + text +
          (q == kReactance ? common::ui::q(signNote(*liveValues_, static_cast<size_t>(i)))
                           : QString()) +
          (m_.live.averaged()
               ? "\n" + common::ui::q(common::averageText(
                            m_.live.passes, std::max(m_.live.passes, sweep_.average().depth())))
               : QString()));
    }
  }
  fitReadouts();
  cursorValueEdit_->setText(
      q(chart::withUnit(chart::valueReadout(y), kQuantityUnits[selection_.selectedQuantity])));
  const double px = chart_->pixelMap().x(x);
  if (std::isfinite(px)) {
    cursorLine_->setGeometry(static_cast<int>(std::lround(px)), 0, 1, chart_->height());
    cursorLine_->show();
  }
}

void AnalyzerWindow::applyView(const chart::View& v) {
  m_.viewStartMHz = v.start;
  m_.viewStopMHz = v.stop;
  // The boxes follow the view, to the digits a sweep of it resolves: the next
  // sweep covers what is shown.
  const double step = std::fabs(m_.viewStopMHz - m_.viewStartMHz) / std::max<int>(m_.points, 1);
  startEdit_->setText(q(chart::resolvedText(m_.viewStartMHz, step)));
  stopEdit_->setText(q(chart::resolvedText(m_.viewStopMHz, step)));
  redraw();
}

void AnalyzerWindow::newHome() {
  const auto home = chart::analyzerReset({m_.viewStartMHz, m_.viewStopMHz, 0, 0}, m_.traceStartMHz,
                                         m_.traceStopMHz);
  chart_->setHomeView(home);
  chart_->setZoomRule(chart::kAnalyzerZoom, m_.traceStartMHz, m_.traceStopMHz, m_.points);
}

void AnalyzerWindow::setStatus(const std::string& text) { status_->setText(q(text)); }

// ---- settings and closing ----

AntIniBoxes AnalyzerWindow::shownSettings() const {
  // A box whose text is refused keeps its last number in the file.
  using common::ui::keptNumber;
  return {keptNumber(startEdit_), keptNumber(stopEdit_), keptNumber(pointsEdit_)};
}

void AnalyzerWindow::saveSettings(bool tell) {
  const AntIniBoxes now = shownSettings();
  const auto saved = changeAntIni(context_.settings, stored_, now);
  if (saved.written) stored_ = now;
  // A damaged file kept aside is said, a folder that takes no file once.
  if (const std::string notice = common::changeNotice(context_.settings, saved);
      tell && !notice.empty())
    context_.prompter.message(notice, common::Icon::Warning);
}

void AnalyzerWindow::closeEvent(QCloseEvent* event) {
  // The pass under way stops at its point boundary, any other job too; the
  // settings are kept, then the port is left idle.
  runner_.stop();
  saveSettings(false);  // nothing is asked on the way out
  sweep_.close();
  event->accept();
}

QWidget* createAnalyzerWindow(hw::ui::UiContext& context) { return new AnalyzerWindow(context); }

}  // namespace kolm::analyzer::ui
