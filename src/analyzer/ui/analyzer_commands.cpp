// The analyzer window's file, memory and print commands.
#include <QCheckBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>

#include "analyzer/calibration.h"
#include "analyzer/files.h"
#include "analyzer/ui/analyzer_view.h"
#include "analyzer/ui/bridge_calibration_dialog.h"
#include "analyzer/ui/bridge_check_dialog.h"
#include "analyzer/ui/cable_dialog.h"
#include "analyzer/ui/matching_window.h"
#include "analyzer/ui/smith_window.h"
#include "chart/ui/chart_export.h"
#include "common/files.h"
#include "common/status.h"
#include "common/text.h"
#include "common/tr.h"
#include "common/ui/number_field.h"
#include "common/ui/qt_text.h"
#include "common/ui/recent_files.h"

namespace kolm::analyzer::ui {

namespace {
using common::ui::q;
}  // namespace

// ---- the Smith chart ----

// A window of the Antenna menu, brought up with the traces as they are now.
void AnalyzerWindow::showSmithChart() {
  if (!smith_) smith_ = new SmithWindow(context_, this);
  raiseAntennaWindow(smith_);
}

void AnalyzerWindow::showMatching() {
  if (!matching_) matching_ = new MatchingWindow(this);
  raiseAntennaWindow(matching_);
}

void AnalyzerWindow::raiseAntennaWindow(QWidget* window) {
  window->show();
  window->raise();
  window->activateWindow();
  updateAntennaWindows();
}

void AnalyzerWindow::chooseCable() {
  const CableChoice choice = askCable(this, cable_);
  if (!choice.cancelled) setCable(choice.cable);
}

void AnalyzerWindow::setCable(std::optional<Cable> cable) {
  cable_ = std::move(cable);
  // The last redraw's values may be the far end's: computed afresh.
  liveValues_.reset();
  setStatus(
      cable_ ? tr("The readings show the far end of: %1").arg(q(cableText(*cable_))).toStdString()
             : tr("The readings are shown as measured.").toStdString());
  redraw();
}

void AnalyzerWindow::measureStub() {
  if (!liveValues_) return;
  // The stub is measured on its readings as the bridge took them.
  measureStubOn(this, cable_ && nearValues_ ? *nearValues_ : *liveValues_, context_.prompter);
}

std::optional<SweepPlan> AnalyzerWindow::planForBridge(const QString& busy,
                                                       const QString& zeroSpan) {
  if (runner_.running()) {
    context_.prompter.message(busy.toStdString(), common::Icon::Warning);
    return std::nullopt;
  }
  const auto planned = planFromBoxes();
  if (!planned) return std::nullopt;
  if (planned->start == 0 || planned->stop == 0) {
    context_.prompter.message(zeroSpan.toStdString(), common::Icon::Warning);
    return std::nullopt;
  }
  return planned;
}

void AnalyzerWindow::checkBridge() {
  const auto planned = planForBridge(
      tr("The check needs the bridge: stop the sweep first."),
      tr("At 0 MHz the generator gives no signal: check the bridge over a span above 0."));
  if (!planned) return;
  BridgeCheckDialog dialog(this, context_.instrument, *planned, context_.settings,
                           [this](const BridgeFigures& figures) {
                             const auto calibration = figures_.calibration;
                             figures_ = figures;
                             figures_.calibration = calibration;
                             figuresMeasured_ = bridgeFiguresIn(context_.settings).measured;
                             redraw();
                           });
  dialog.exec();
}

void AnalyzerWindow::calibrateBridge() {
  const auto planned = planForBridge(
      tr("The calibration needs the bridge: stop the sweep first."),
      tr("At 0 MHz the generator gives no signal: calibrate the bridge over a span above 0."));
  if (!planned) return;
  const auto passes = average_->require();
  if (!passes) return;
  BridgeCalibrationDialog dialog(this, context_.instrument, *planned, *passes, context_.settings,
                                 figures_, [this] {
                                   loadCalibration();
                                   liveValues_.reset();
                                   redraw();
                                 });
  dialog.exec();
}

void AnalyzerWindow::loadCalibration() {
  const CalibrationInUse inUse =
      calibrationIn(context_.settings, instrumentSetup(context_.instrument));
  figures_.calibration = inUse.calibration;
  if (!inUse.problem.empty()) setStatus(inUse.problem);
}

void AnalyzerWindow::updateAntennaWindows() {
  // A closed window is brought up to date when it opens again.
  if (matching_ && matching_->isVisible() && liveValues_) {
    std::optional<double> marker;
    if (const auto active = chart_->markers().active())
      if (const auto* m = chart_->markers().find(*active)) marker = m->x;
    matching_->showTrace(liveValues_, marker);
  }
  if (!smith_ || !smith_->isVisible() || !liveValues_) return;
  const TraceValues* memory = nullptr;
  if (!m_.memoryEmpty()) {
    // Values the chart holds are this redraw's; others may be older.
    if (!memoryValues_ || memoryValues_.use_count() == 1) {
      if (!memoryValues_) memoryValues_ = std::make_shared<TraceValues>();
      computeTraceValues(m_.memory, m_.memoryPoints, *memoryValues_, figures_, intervalsComputed_);
    }
    memory = memoryValues_.get();
  }
  smith_->setHeading(printHeading(), simulatedData_);
  smith_->showTraces(*liveValues_, m_.points, memory, m_.memoryPoints, chart_->markers());
}

// ---- printing ----

void AnalyzerWindow::printScreen() {
  // The window is printed as it looks: a pass must not change it under the dialog.
  stopSweep();
  // On paper the chart stands on the button-face colour, its labels in black.
  chart_->setColours(palette().color(QPalette::Button), Qt::black,
                     chart::ui::paletteQColor(kGridColor));
  redraw();
  QCoreApplication::processEvents();
  fileNameEdit_->setText("Screen");
  const common::ui::PrintChart alone = chart::ui::printChart(
      {chart_->size(), chart_->font(), chart_->background(), chart_->foreground(),
       [this](QPainter& p, const QSize& size) { chart_->paintChart(p, size); },
       chart::ui::simulatedNote(simulatedData_)},
      printHeading());
  const QString written =
      context_.printWindow(context_.prompter, this, fileNameEdit_->text(), &alone);
  if (!written.isEmpty()) setStatus(common::pdfWrittenText(written.toStdString()));
  chart_->setColours(Qt::black, palette().color(QPalette::Window),
                     chart::ui::paletteQColor(kGridColor));
  showSweepBoxes();
  drawGrid();
  redraw();
}

QString AnalyzerWindow::printHeading() const {
  QString text =
      tr("Antenna analyzer, %1 to %2 MHz, %3 points")
          .arg(q(common::shortestText(m_.traceStartMHz)), q(common::shortestText(m_.traceStopMHz)))
          .arg(m_.points);
  text += figuresMeasured_ ? tr(", bridge figures as checked") : tr(", published bridge figures");
  if (cable_) text += tr(", far end of %1").arg(q(cableText(*cable_)));
  return text;
}

// ---- files and the memory trace ----

void AnalyzerWindow::showFileName(const std::string& name) {
  fileNameLabel_->show();
  fileNameEdit_->setText(q(name));
}

// A chart just read becomes the live measurement, shown whole. A pass under way
// would overwrite it, so it is stopped first.
void AnalyzerWindow::showOpenedChart(const ChartData& chart) {
  stopSweep();
  m_.openChart(chart);
  simulatedData_ = false;
  chart_->setNote({});
  newHome();
  startEdit_->setText(q(common::shortestText(m_.viewStartMHz)));
  stopEdit_->setText(q(common::shortestText(m_.viewStopMHz)));
  pointsEdit_->setText(QString::number(m_.points));
  redraw();
}

void AnalyzerWindow::openVnaFile() {
  const std::string name =
      context_.prompter.openFileName(KOLM_TR_NOOP("kolm", "Load File"), kVnaFilter);
  if (!name.empty()) openVna(name);
}

void AnalyzerWindow::openVna(const std::string& name) {
  showFileName(name);
  const VnaReadResult read = readVna(name);
  if (!read.ok()) {
    context_.prompter.message(
        tr("The chart file cannot be read.\n%1").arg(q(read.error)).toStdString(),
        common::Icon::Warning);
    return;
  }
  recent_->add(q(name));
  showOpenedChart(read.chart);
}

void AnalyzerWindow::openVecFile() {
  const std::string name =
      context_.prompter.openFileName(KOLM_TR_NOOP("kolm", "Load File"), kVecFilter);
  if (!name.empty()) openVec(name);
}

void AnalyzerWindow::openVec(const std::string& name) {
  showFileName(name);
  const VecReadResult read = readVec(name);
  if (!read.ok()) {
    context_.prompter.message(read.message(), common::Icon::Warning);
    return;
  }
  recent_->add(q(name));
  showOpenedChart(read.chart);
}

void AnalyzerWindow::openRecent(const QString& path) {
  if (path.endsWith(".vec", Qt::CaseInsensitive))
    openVec(path.toStdString());
  else
    openVna(path.toStdString());
}

void AnalyzerWindow::saveChartAs() {
  const std::string name =
      context_.prompter.saveFileName(KOLM_TR_NOOP("kolm", "Save File "), kVnaFilter);
  showFileName(name);
  if (name.empty()) return;
  std::string error;
  if (!common::writeFileAtomic(name, formatVna(m_.savedChart()), &error)) {
    context_.prompter.message(
        tr("The chart file cannot be written.\n%1").arg(q(error)).toStdString(),
        common::Icon::Warning);
    return;
  }
  recent_->add(q(name));
  setStatus(common::savedToText(name));
}

void AnalyzerWindow::screenToMemory() {
  m_.copyLiveToMemory();
  memoryName_ = tr("this screen");
  compareCheck_->setChecked(true);
  redraw();
}

void AnalyzerWindow::fileToMemory() {
  const std::string name =
      context_.prompter.openFileName(KOLM_TR_NOOP("kolm", "Load File"), kVnaFilter);
  if (name.empty()) return;
  showFileName(name);
  const VnaReadResult read = readVna(name);
  if (!read.ok()) {
    context_.prompter.message(
        tr("The chart file cannot be read.\n%1").arg(q(read.error)).toStdString(),
        common::Icon::Warning);
    return;
  }
  m_.loadMemory(read.chart);
  memoryName_ = QFileInfo(q(name)).fileName();
  compareCheck_->setChecked(true);
  redraw();
}

void AnalyzerWindow::onCompareClicked() {
  // Ticked with nothing in memory: the screen goes there first, so the memory
  // traces start out on the live ones. Clearing the box never refills it.
  if (compareCheck_->isChecked() && m_.memoryEmpty()) {
    screenToMemory();
    return;
  }
  redraw();
}

}  // namespace kolm::analyzer::ui
