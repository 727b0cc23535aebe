#include "powermeter/ui/power_meter_window.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPainterPath>
#include <QProgressBar>
#include <QStatusBar>
#include <QToolButton>

#include "chart/chart.h"
#include "chart/ui/analysis_panel.h"
#include "chart/ui/chart_export.h"
#include "chart/ui/markers_menu.h"
#include "chart/ui/session_commands.h"
#include "chart/ui/sweep_chart.h"
#include "chart/ui/trace_list.h"
#include "chart/ui/window_exports.h"
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
#include "powermeter/averaging.h"
#include "powermeter/chart_file.h"
#include "powermeter/settings.h"
#include "powermeter/ui/crystal_batch_window.h"
#include "sim/ui/sim_banner.h"

namespace kolm::powermeter::ui {

namespace {

using common::ui::q;

std::string s(const QString& q) { return q.toStdString(); }

// A menu's item, named for the tests.
QAction* menuItem(QMenu* menu, const char* name, const QString& caption) {
  QAction* a = menu->addAction(caption);
  a->setObjectName(name);
  return a;
}

}  // namespace

PowerMeterWindow::PowerMeterWindow(hw::ui::UiContext& context) : context_(context) {
  setObjectName("powerMeter");
  setWindowTitle(tr("Power Meter Sweep"));
  setAttribute(Qt::WA_DeleteOnClose);
  buildMenus();

  buildControls(sim::ui::makeBannerArea(context_, this, "chartArea"));
  chart_->insertAction(chart_->findChild<QAction*>("markerRemoveActive"),
                       action("sweepViewAction"));
  chart::ui::addMarkersMenu(menuBar(), findChild<QMenu*>("printMenu")->menuAction(), chart_,
                            context_.prompter, tr("level"));
  common::ui::addBandsMenu(menuBar(), findChild<QMenu*>("printMenu")->menuAction(), startEdit_,
                           stopEdit_, [this] { return context_.instrument.params.refClockMHz; });
  addExports();

  connect(&runner_, &common::ui::JobRunner::progressed, this, [this](double fraction) {
    progress_->setValue(static_cast<int>(fraction * 1000));
    if (activeJob_ != Job::Sweep) return;
    if (job_) {
      showAveragedPass();
      m_.measured(job_->measured());
    }
    showTrace();
  });
  connect(&runner_, &common::ui::JobRunner::finished, this,
          [this](bool completed) { jobFinished(completed); });
  connect(&runner_, &common::ui::JobRunner::failed, this, [this](const QString& why) {
    context_.prompter.message(why.toStdString(), common::Icon::Critical);
  });

  // Settings, boxes and reference tables.
  readSettings();
  startEdit_->setText(q(common::strSingle(m_.viewStartMHz)));
  stopEdit_->setText(q(common::strSingle(m_.viewStopMHz)));
  pointsEdit_->setText(QString::number(m_.points));
  topLevelEdit_->setText(q(common::shortestText(m_.topDbm, 7)));
  bottomLevelEdit_->setText(q(common::shortestText(m_.bottomDbm, 7)));
  m_.traceStartMHz = m_.viewStartMHz;
  m_.traceStopMHz = m_.viewStartMHz;
  stored_ = shownSettings();
  // A box left with a new value is kept at once.
  for (QLineEdit* box :
       {startEdit_, stopEdit_, pointsEdit_, topLevelEdit_, bottomLevelEdit_, delayEdit_})
    connect(box, &QLineEdit::editingFinished, this, [this] { saveSettings(); });
  // A reference table is used whole or not at all, and one that is there but
  // cannot be used is said.
  std::string levelProblem, quartzProblem;
  levelReferenceEntries_ =
      readLevelRif(levelReference_, context_.settings.file(kLevelRifFile), &levelProblem);
  readQuartzRif(quartzReference_, context_.settings.path(), &quartzProblem);
  for (const std::string& problem : {levelProblem, quartzProblem})
    if (!problem.empty()) context_.prompter.message(problem, common::Icon::Warning);
  chart::guardSpan(m_.viewStartMHz, m_.viewStopMHz);
  chart::guardLevels(m_.topDbm, m_.bottomDbm);
  setMinimumSize(900, 480);
  common::ui::openAtSize(this, QSize(1000, 720));
  if (levelReferenceEntries_ > 0 &&
      common::ui::uiSettings(context_.settings).value("PowerMeter/normalised", false).toBool())
    action("normaliseAction")->setChecked(true);
  analysis_ = chart::ui::addAnalysisPanel(this, "levelAnalysis");
  setUpStoredTraces();
  setUpSessions();
  newHome();
  redraw();
  updateActions();
  sessions_->reopenAtStart();
}

PowerMeterWindow::~PowerMeterWindow() {
  closed_ = true;
  runner_.stop();
}

// The CSV export in the File menu.
void PowerMeterWindow::addExports() {
  // A CSV of the whole trace as measured (absolute levels, flags under the
  // calibration it was converted with).
  chart::ui::addExportItems(
      this, findChild<QMenu*>("fileMenu"), recent_->menu()->menuAction(), chart_, context_.prompter,
      {{"exportCsv", tr("Export CSV..."), "CSV (*.csv)|*.csv",
        [this](QString& why) -> std::optional<std::string> {
          if (runner_.running() || !m_.whole()) {
            why = tr("There is no whole trace to export yet.");
            return std::nullopt;
          }
          ChartFile c{m_.points,
                      m_.traceStartMHz,
                      m_.traceStopMHz,
                      std::vector<float>(m_.levels.begin(), m_.levels.begin() + m_.points + 1),
                      {}};
          return formatCsv(c, m_.limits, simulatedData_);
        }}},
      [this] { return chart::ui::simulatedNote(simulatedData_); });
}

void PowerMeterWindow::buildMenus() {
  auto* file = menuBar()->addMenu(tr("File"));
  file->setObjectName("fileMenu");
  QAction* open = menuItem(file, "openAction", tr("Open Chart"));
  open->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  connect(open, &QAction::triggered, this, [this] { openChartFile(); });
  QAction* saveas = menuItem(file, "saveAsAction", tr("Save Chart as"));
  saveas->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
  connect(saveas, &QAction::triggered, this, [this] { saveChartAs(); });
  QAction* exit = menuItem(file, "exitAction", tr("Exi Power Meter"));
  connect(exit, &QAction::triggered, this, [this] { close(); });
  recent_ = new common::ui::RecentFiles(file, exit, context_.settings, "PowerMeter/recent",
                                        [this](const QString& path) { openChart(s(path)); });
  file->insertSeparator(exit);
  hw::ui::addExitProgram(context_, file);

  QAction* parameters = menuBar()->addAction(tr("Parameters"));
  parameters->setObjectName("parametersAction");
  connect(parameters, &QAction::triggered, this, [this] { context_.showParameters(this); });

  buildCompareMenu();
  buildCalibrateMenu();
  buildCrystalMenu();
  buildPrintAndSweepItems();
}

// Compare: the memory trace, levels relative to level.rif (the stored traces'
// items are added with them).
void PowerMeterWindow::buildCompareMenu() {
  auto* compare = menuBar()->addMenu(tr("Compare"));
  compare->setObjectName("compareMenu");
  QAction* scrMem = menuItem(compare, "screenToMemoryAction", tr("This Chart in memory"));
  connect(scrMem, &QAction::triggered, this, [this] { screenToMemory(); });
  QAction* fileToMemoryItem = menuItem(compare, "fileToMemoryAction", tr("File in memory"));
  connect(fileToMemoryItem, &QAction::triggered, this, [this] { fileToMemory(); });
  compare->addSeparator();
  QAction* normalise = menuItem(compare, "normaliseAction", tr("Levels relative to level.rif"));
  normalise->setCheckable(true);
  connect(normalise, &QAction::triggered, this, [this](bool on) { setNormalised(on); });
}

// Calibrate: the two levels, the default and the previous calibration, and
// what it is made with.
void PowerMeterWindow::buildCalibrateMenu() {
  // Captions that messages name as menu paths (powermeter::menuPath) are the core's texts.
  auto* calibrate = menuBar()->addMenu(QCoreApplication::translate("kolm", "Calibrate"));
  calibrate->setObjectName("calibrateMenu");
  QAction* cal0 =
      menuItem(calibrate, "calibrateZeroDbmAction", QCoreApplication::translate("kolm", "0 dBm"));
  connect(cal0, &QAction::triggered, this, [this] { calibrateAtZeroDbm(); });
  QAction* cal60 = menuItem(calibrate, "calibrateMinus60DbmAction",
                            QCoreApplication::translate("kolm", "-60 dBm"));
  connect(cal60, &QAction::triggered, this, [this] { calibrateAtMinus60Dbm(); });
  QAction* calDef = menuItem(calibrate, "defaultCalibrationAction",
                             QCoreApplication::translate("kolm", "default"));
  connect(calDef, &QAction::triggered, this, [this] { restoreDefaultCalibration(); });
  QAction* calPrev = menuItem(calibrate, "previousCalibrationAction", tr("Previous calibration"));
  connect(calPrev, &QAction::triggered, this, [this] { restorePreviousCalibration(); });
  calibrate->addSeparator();
  QAction* calFreq =
      menuItem(calibrate, "calibrationFrequencyAction", tr("Calibration frequency..."));
  connect(calFreq, &QAction::triggered, this, [this] { chooseCalibrationFrequency(); });
  QAction* external =
      menuItem(calibrate, "externalSignalAction", tr("External signal (generator off)"));
  external->setCheckable(true);
  external->setChecked(calibratesWithExternalSignal());
  connect(external, &QAction::toggled, this, [this](bool on) {
    common::ui::uiSettings(context_.settings).setValue("PowerMeter/calibrationExternal", on);
  });
}

// Reference_Level, and the crystal meter's menu.
void PowerMeterWindow::buildCrystalMenu() {
  QAction* refer = menuBar()->addAction(tr("Reference_Level"));
  refer->setObjectName("levelReferenceAction");
  connect(refer, &QAction::triggered, this, [this] { measureLevelReference(); });

  auto* crystal = menuBar()->addMenu(QCoreApplication::translate("kolm", "CrystalMeter"));
  crystal->setObjectName("crystalMenu");
  QAction* crystalItem =
      menuItem(crystal, "crystalAction", QCoreApplication::translate("kolm", "Quarzo"));
  connect(crystalItem, &QAction::triggered, this, [this] { measureCrystal(); });
  QAction* quartzReference =
      menuItem(crystal, "quartzReferenceAction", QCoreApplication::translate("kolm", "calQuarz"));
  connect(quartzReference, &QAction::triggered, this, [this] { measureQuartzReference(); });
  QAction* load = menuItem(crystal, "crystalLoadAction", tr("Load capacitance..."));
  connect(load, &QAction::triggered, this, [this] { chooseCrystalLoad(); });
  QAction* lossStep =
      menuItem(crystal, "lossStepAction", QCoreApplication::translate("kolm", "Loss step"));
  connect(lossStep, &QAction::triggered, this, [this] { measureLossStep(); });
  QAction* forgetSteps = menuItem(crystal, "forgetLossStepsAction", tr("Forget the loss steps"));
  connect(forgetSteps, &QAction::triggered, this, [this] { forgetLossSteps(); });
  QAction* batch = menuItem(crystal, "crystalBatchAction", tr("Crystal batch"));
  connect(batch, &QAction::triggered, this, [this] { crystalBatch(); });
  QAction* ladder = menuItem(crystal, "ladderFilterAction", tr("Ladder filter"));
  connect(ladder, &QAction::triggered, this, [this] { ladderFilter(); });
}

// Print, About, and the sweep's keys: Stop (Esc), F5 and Shift+F5.
void PowerMeterWindow::buildPrintAndSweepItems() {
  auto* print = menuBar()->addMenu(tr("Print"));
  print->setObjectName("printMenu");
  QAction* printScreenItem = menuItem(print, "printScreenAction", tr("Print_Screen"));
  printScreenItem->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
  connect(printScreenItem, &QAction::triggered, this, [this] { printScreen(); });

  QAction* about = menuBar()->addAction(tr("About_Power_Meter"));
  about->setObjectName("aboutAction");
  about->setShortcut(QKeySequence(Qt::Key_F1));
  connect(about, &QAction::triggered, this,
          [this] { context_.aboutBoxes.show(common::ui::AboutKind::PowerMeter); });

  // Stop a running pass: the button beside the sweep buttons, or Esc.
  stopAction_ = new QAction(tr("Stop"), this);
  stopAction_->setObjectName("stopAction");
  stopAction_->setShortcut(QKeySequence(Qt::Key_Escape));
  stopAction_->setShortcutContext(Qt::WindowShortcut);
  stopAction_->setToolTip(tr("Stop the sweep or the reference measurement (Esc)"));
  stopAction_->setEnabled(false);
  addAction(stopAction_);
  connect(stopAction_, &QAction::triggered, this, [this] { stopSweep(); });
  // The sweep buttons from the keyboard: F5 one pass, Shift+F5 passes back to back.
  auto* single = new QAction(tr("Single sweep"), this);
  single->setObjectName("singleSweepAction");
  single->setShortcut(QKeySequence(Qt::Key_F5));
  connect(single, &QAction::triggered, this, [this] { onSingleSweep(); });
  auto* continuous = new QAction(tr("Continuous sweep"), this);
  continuous->setObjectName("continuousSweepAction");
  continuous->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F5));
  connect(continuous, &QAction::triggered, this, [this] { onContinuousSweep(); });
  // A zoom moves only the view; this sweeps it (the chart's right-click menu
  // too, and Ctrl+F5).
  auto* sweepView = new QAction(tr("Sweep this view"), this);
  sweepView->setObjectName("sweepViewAction");
  sweepView->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F5));
  sweepView->setToolTip(tr("The span and levels shown become the sweep's, and it runs"));
  connect(sweepView, &QAction::triggered, this, [this] { sweepThisView(); });
  addActions({single, continuous, sweepView});
}

void PowerMeterWindow::readSettings() {
  std::string problem;
  const auto settingsFile = context_.settings.file(powermeter::kSettingsFile);
  const PowIni ini = powermeter::readPowIni(settingsFile, &problem);
  // A file read in part is kept aside before the close writes pow.ini.
  const auto kept = context_.settings.keeper().keep(settingsFile, problem);
  if (!kept.message.empty()) context_.prompter.message(kept.message, common::Icon::Warning);
  m_.viewStartMHz = ini.viewStartMHz;
  m_.viewStopMHz = ini.viewStopMHz;
  m_.points = ini.points;
  m_.topDbm = ini.topDbm;
  m_.bottomDbm = ini.bottomDbm;
  calibration_ = ini.calibration;
  r0Ohm_ = ini.r0Ohm;
  // The delay box is filled as the file holds it, without the time warning.
  QSignalBlocker quiet(delayEdit_);
  delayEdit_->setText(q(ini.delayMs.text));
  delayMs_ = ini.delayMs.value;
}

PowIniTexts PowerMeterWindow::shownSettings() const {
  // A box whose text is refused keeps its last number in the file.
  const auto text = [](const QLineEdit* box) { return s(common::ui::numberText(box)); };
  return {text(startEdit_),       text(stopEdit_), text(pointsEdit_), text(topLevelEdit_),
          text(bottomLevelEdit_), calibration_,    text(delayEdit_),  r0Ohm_};
}

void PowerMeterWindow::saveSettings(bool tell) {
  const PowIniTexts now = shownSettings();
  const auto saved = powermeter::changePowIni(context_.settings, powIniChange(stored_, now));
  if (saved.written) stored_ = now;
  // A damaged file kept aside is said, a folder that takes no file once.
  if (const std::string notice = common::changeNotice(context_.settings, saved);
      tell && !notice.empty())
    context_.prompter.message(notice, common::Icon::Warning);
}

void PowerMeterWindow::onPointsChanged() {
  const auto points = common::ui::numberIn(pointsEdit_);
  if (!points) return;
  if (auto limited = limitPoints(*points)) pointsEdit_->setText(QString::number(*limited));
}

void PowerMeterWindow::onDelayChanged() {
  // A text that is not one number leaves the last delay in use.
  const auto delay = common::ui::numberIn(delayEdit_);
  if (!delay) return;
  delayMs_ = *delay;
  if (auto limit = powermeter::delayLimitMessage(delayMs_)) {
    // The box keeps the longest delay; the message says why.
    delayMs_ = powermeter::kMaxDelayMs;
    QSignalBlocker quiet(delayEdit_);
    delayEdit_->setText(QString::number(powermeter::kMaxDelayMs));
    context_.prompter.message(*limit, common::Icon::Warning);
    return;
  }
  if (auto warning = sweepTimeWarning(common::ui::lastNumberIn(pointsEdit_), delayMs_))
    context_.prompter.message(*warning, common::Icon::None);
}

void PowerMeterWindow::printScreen() {
  // The window is printed as it looks: nothing may change it under the dialog
  // (the item waits for a running job, like the other commands).
  if (runner_.running()) return;
  // On paper the chart stands on the button-face colour, its labels in black.
  chart_->setColours(palette().color(QPalette::Button), Qt::black, chart::ui::paletteQColor(12));
  redraw();
  QCoreApplication::processEvents();
  fileNameEdit_->setText(tr("Screen"));
  const common::ui::PrintChart alone = chart::ui::printChart(
      {chart_->size(), chart_->font(), chart_->background(), chart_->foreground(),
       [this](QPainter& p, const QSize& size) { chart_->paintChart(p, size); },
       chart::ui::simulatedNote(simulatedData_)},
      printHeading());
  const QString written =
      context_.printWindow(context_.prompter, this, fileNameEdit_->text(), &alone);
  if (!written.isEmpty()) status_->setText(q(common::pdfWrittenText(s(written))));
  chart_->setColours(QColor(0, 0, 0), kForeground, chart::ui::paletteQColor(12));
  redraw();
}

QString PowerMeterWindow::printHeading() const {
  QString text =
      tr("Power meter, %1 to %2 MHz, %3 points")
          .arg(q(common::shortestText(m_.traceStartMHz)), q(common::shortestText(m_.traceStopMHz)))
          .arg(m_.points);
  if (calibration_.isDefault()) return text + tr(", default calibration (levels approximate)");
  return text + tr(", calibrated: count %1 at 0 dBm, %2 at -60 dBm")
                    .arg(calibration_.countsAt0Dbm)
                    .arg(calibration_.countsAtMinus60Dbm);
}

void PowerMeterWindow::updateActions() {
  const bool busy = runner_.running();
  stopAction_->setEnabled(busy);
  // Commands that send to the instrument or replace the trace wait for the job.
  for (const char* name :
       {"openAction", "saveAsAction", "calibrateZeroDbmAction", "calibrateMinus60DbmAction",
        "levelReferenceAction", "crystalAction", "quartzReferenceAction", "lossStepAction",
        "forgetLossStepsAction", "printScreenAction"})
    action(name)->setEnabled(!busy);
  const bool table = activeJob_ == Job::LevelReference || activeJob_ == Job::QuartzReference ||
                     activeJob_ == Job::LossStep;
  singleSweepButton_->setEnabled(!table);
  continuousSweepButton_->setEnabled(!table);
  action("sweepViewAction")->setEnabled(!table);
}

QAction* PowerMeterWindow::action(const char* name) const {
  return findChild<QAction*>(QString::fromLatin1(name));
}

void PowerMeterWindow::typedView() {
  double typed[4];
  const QLineEdit* boxes[] = {startEdit_, stopEdit_, topLevelEdit_, bottomLevelEdit_};
  for (size_t k = 0; k < 4; ++k) {
    const auto n = common::ui::requireNumber(boxes[k]);
    if (!n) return;  // the view stays; the status line says why
    typed[k] = *n;
  }
  chart_->pushView(chart::powerMeterReset(typed[0], typed[1], typed[2], typed[3]));
}

void PowerMeterWindow::applyView(const chart::View& v) {
  // Only the view moves: the boxes keep the sweep (and pow.ini keeps the boxes).
  m_.viewStartMHz = static_cast<float>(v.start);
  m_.viewStopMHz = static_cast<float>(v.stop);
  m_.topDbm = static_cast<float>(v.top);
  m_.bottomDbm = static_cast<float>(v.bottom);
  redraw();
}

void PowerMeterWindow::sweepThisView() {
  if (activeJob_ == Job::LevelReference || activeJob_ == Job::QuartzReference) return;
  // The view into the boxes, to the digits a sweep of it with the boxes'
  // points resolves.
  const double points = std::max(common::ui::lastNumberIn(pointsEdit_), 1.0);
  const double step = std::fabs(double(m_.viewStopMHz) - m_.viewStartMHz) / points;
  // Frequencies keep the Str form's leading blank for a value that is not negative.
  auto frequencyText = [step](float f) {
    const std::string t = chart::resolvedText(f, step);
    return q(t[0] == '-' ? t : " " + t);
  };
  startEdit_->setText(frequencyText(m_.viewStartMHz));
  stopEdit_->setText(frequencyText(m_.viewStopMHz));
  topLevelEdit_->setText(q(chart::resolvedText(m_.topDbm, chart::kLevelResolutionDb)));
  bottomLevelEdit_->setText(q(chart::resolvedText(m_.bottomDbm, chart::kLevelResolutionDb)));
  // A continuous sweep takes the boxes at its next pass; otherwise one sweep
  // (which keeps them in pow.ini as it starts).
  if (sweep_.mode() == common::SweepControl::Mode::Continuous)
    saveSettings();
  else
    onSingleSweep();
}

void PowerMeterWindow::newHome() {
  chart_->setHomeView(view());
  chart_->setZoomRule(chart::kPowerMeterZoom, m_.traceStartMHz, m_.traceStopMHz, m_.points);
}

void PowerMeterWindow::closeEvent(QCloseEvent* event) {
  // The batch goes first: it may hold crystals not saved yet.
  if (!closed_ && batch_ && !batch_->close()) {
    event->ignore();
    return;
  }
  if (!closed_) {
    closed_ = true;
    // A reference table ends at its point boundary too, unsaved; a sweep's
    // pass too, then the port is left idle.
    runner_.stop();
    saveSettings(false);  // nothing is asked on the way out
    sweep_.close();
    job_.reset();
    levelJob_.reset();
    quartzJob_.reset();
  }
  event->accept();
}

CrystalBatchWindow* PowerMeterWindow::crystalBatch() {
  if (!batch_) batch_ = new CrystalBatchWindow(*this, context_.prompter);
  batch_->show();
  batch_->raise();
  batch_->activateWindow();
  return batch_;
}

QWidget* createPowerMeterWindow(hw::ui::UiContext& context) {
  return new PowerMeterWindow(context);
}

}  // namespace kolm::powermeter::ui
