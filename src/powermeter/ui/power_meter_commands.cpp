// The power meter window's commands beyond the sweep: calibration, the level
// reference, the crystal meter and the chart files.
#include <QAction>
#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <algorithm>

#include "common/settings_file.h"
#include "common/status.h"
#include "common/text.h"
#include "common/tr.h"
#include "common/typed_number.h"
#include "common/ui/number_field.h"
#include "common/ui/qt_text.h"
#include "common/ui/recent_files.h"
#include "powermeter/calibration.h"
#include "powermeter/chart_file.h"
#include "powermeter/crystal_batch.h"
#include "powermeter/crystal_fit.h"
#include "powermeter/ui/ladder_window.h"
#include "powermeter/ui/power_meter_window.h"
#include "sim/ui/simulator_window.h"

namespace kolm::powermeter::ui {

namespace {

using common::ui::q;

constexpr const char* kChartFilter = KOLM_TR_NOOP("kolm", "file pwm(*.pwm)|*.pwm");
constexpr const char* kLoadTitle = KOLM_TR_NOOP("kolm", "Load File");
constexpr const char* kSaveTitle = KOLM_TR_NOOP("kolm", "Save File ");

}  // namespace

// ---- Calibration and the level reference ----

void PowerMeterWindow::calibrateAtZeroDbm() { calibrateAt(CalPoint::ZeroDbm); }

void PowerMeterWindow::calibrateAtMinus60Dbm() { calibrateAt(CalPoint::Minus60Dbm); }

void PowerMeterWindow::calibrateAt(CalPoint point) {
  if (runner_.running()) return;
  Calibration after = calibration_;
  const std::optional<double> mhz =
      calibratesWithExternalSignal() ? std::nullopt : std::optional<double>(calibrationMHz());
  if (!calibrateLevel(point, mhz, context_.instrument, context_.prompter, after,
                      connectOnSimulator(simulatorConnection(point))))
    return;
  // The count taken at this level; the other one as pow.ini holds it.
  changeCalibration([point, after](Calibration now) -> std::optional<Calibration> {
    (point == CalPoint::ZeroDbm ? now.countsAt0Dbm : now.countsAtMinus60Dbm) =
        point == CalPoint::ZeroDbm ? after.countsAt0Dbm : after.countsAtMinus60Dbm;
    return now;
  });
  startSingleSweep();  // the chart shows the new calibration
}

common::PromptHelp PowerMeterWindow::connectOnSimulator(const std::string& dut) {
  if (!context_.instrument.simulated()) return {};
  return {sim::ui::connectOnSimulatorCaption().toStdString(),
          [this, dut] { return sim::ui::connectOnSimulator(context_, dut); }};
}

void PowerMeterWindow::restoreDefaultCalibration() {
  Calibration after = calibration_;
  if (calibrateDefault(context_.prompter, after))
    changeCalibration([after](const Calibration&) { return std::optional<Calibration>(after); });
}

void PowerMeterWindow::changeCalibration(const CalibrationChange& change) {
  Calibration stored = calibration_;
  const common::SettingsChange kept = storeCalibration(context_.settings, change, &stored);
  if (kept.written) {
    calibration_ = stored;
    stored_.calibration = stored;
    return;
  }
  // Accepted but not kept: in use until the window closes, and said.
  if (const auto made = change(calibration_)) calibration_ = *made;
  context_.prompter.message(
      tr("The new calibration is in use in this window, but it could not be kept: %1")
          .arg(q(kept.message()))
          .toStdString(),
      common::Icon::Warning);
}

void PowerMeterWindow::restorePreviousCalibration() {
  if (runner_.running()) return;
  std::string error;
  const auto previous =
      readPreviousCalibration(context_.settings.file(kPreviousCalibrationFile), &error);
  if (!previous) {
    context_.prompter.message(noPreviousCalibrationText(kPreviousCalibrationFile, error),
                              common::Icon::Information);
    return;
  }
  if (!context_.prompter.confirm(
          tr("Restore the previous calibration (%1 counts at 0 dBm, %2 at -60 dBm)? The one in "
             "use (%3 and %4) is kept in its place.")
              .arg(previous->countsAt0Dbm)
              .arg(previous->countsAtMinus60Dbm)
              .arg(calibration_.countsAt0Dbm)
              .arg(calibration_.countsAtMinus60Dbm)
              .toStdString()))
    return;
  const auto restored = bringBackPreviousCalibration(context_.settings, &error);
  if (!restored) {
    context_.prompter.message(error, common::Icon::Warning);
    return;
  }
  calibration_ = *restored;
  stored_.calibration = *restored;
}

double PowerMeterWindow::calibrationMHz() const {
  bool ok = false;
  const double mhz = common::ui::uiSettings(context_.settings)
                         .value("PowerMeter/calibrationMHz", kCalibrationMHz)
                         .toDouble(&ok);
  return ok && mhz > 0 ? mhz : kCalibrationMHz;
}

bool PowerMeterWindow::calibratesWithExternalSignal() const {
  return common::ui::uiSettings(context_.settings)
      .value("PowerMeter/calibrationExternal", false)
      .toBool();
}

void PowerMeterWindow::chooseCalibrationFrequency() {
  auto answer = context_.prompter.input(
      tr("Calibration frequency").toStdString(),
      tr("The generator's frequency for the 0 dBm and -60 dBm calibrations, MHz (10 MHz unless "
         "you choose another):")
          .toStdString(),
      common::shortestText(calibrationMHz(), 9));
  if (!answer) return;
  const common::TypedNumber typed = common::typedNumber(*answer);
  const auto mhz = typed.value;
  const std::string problem = mhz ? calibrationFrequencyProblem(*mhz, clockMHz()) : typed.problem;
  if (!problem.empty()) {
    context_.prompter.message(
        problem + " " + tr("The calibration frequency was not changed.").toStdString(),
        common::Icon::Warning);
    return;
  }
  common::ui::uiSettings(context_.settings).setValue("PowerMeter/calibrationMHz", *mhz);
}

std::optional<TableWords> PowerMeterWindow::tablePass(int lastIndex) {
  std::string error;
  auto words = tableWords(context_.instrument.params.refClockMHz, lastIndex, &error);
  if (words) error = calibrationError(calibration_);
  if (!error.empty()) {
    context_.prompter.message(error, common::Icon::Warning);
    return std::nullopt;
  }
  return words;
}

void PowerMeterWindow::measureLevelReference() {
  if (runner_.running()) return;
  auto words = tablePass(kRifEntries - 1);
  if (!words) return;
  if (!context_.prompter.confirm(
          KOLM_TR_NOOP("kolm",
                       "Per memorizzare il livello di riferimento unire direttamente "
                       "uscita e ingresso")))
    return;
  levelJob_ = std::make_unique<LevelReferenceJob>(context_.instrument, *words, calibration_);
  activeJob_ = Job::LevelReference;
  progress_->setValue(0);
  runner_.start(levelJob_.get());
  updateActions();
}

void PowerMeterWindow::levelReferenceFinished(bool completed) {
  auto job = std::move(levelJob_);
  if (closed_ || !job) return;
  if (!completed) {
    // Nothing half-measured replaces the reference in use or its file.
    context_.prompter.message(
        tr("The reference level was stopped before its end: level.rif and the reference in use "
           "were not changed.")
            .toStdString(),
        common::Icon::Information);
    return;
  }
  progress_->setValue(1000);
  const std::string wrong = throughTableProblem(job->table(), levelLimits(calibration_),
                                                KOLM_TR("kolm", "The level reference"));
  if (!wrong.empty()) {
    context_.prompter.message(wrong, common::Icon::Warning);
    return;
  }
  levelReference_ = job->table();
  levelReferenceEntries_ = kRifEntries;
  std::string error;
  if (!writeRif(levelReference_, context_.settings.file(kLevelRifFile), &error)) {
    context_.prompter.message(
        tr("The reference level was measured but level.rif could not be written: %1")
            .arg(q(error))
            .toStdString(),
        common::Icon::Warning);
  } else {
    context_.prompter.message(tr("Reference level stored in level.rif.").toStdString());
  }
  redraw();
}

// ---- Crystal meter ----

void PowerMeterWindow::measureCrystal() {
  if (runner_.running() || !readFixture()) return;
  // The through-path reference over the chart while the crystal is swept.
  startSingleSweep([this](bool completed) {
    if (completed) crystalSweepFinished(1);
  });
  if (!runner_.running()) return;  // refused: the sweep said why
  showQuartzReference_ = true;
  showReferences();
}

LadderWindow* PowerMeterWindow::ladderFilter() {
  if (!ladder_) ladder_ = new LadderWindow(*this, context_.prompter);
  ladder_->show();
  ladder_->raise();
  ladder_->activateWindow();
  return ladder_;
}

void PowerMeterWindow::setSweepSpan(double startMHz, double stopMHz) {
  startEdit_->setText(q(common::shortestText(startMHz, 9)));
  stopEdit_->setText(q(common::shortestText(stopMHz, 9)));
  typedView();
}

int PowerMeterWindow::pointsToSweep() const {
  const double n = common::ui::lastNumberIn(pointsEdit_);
  return std::clamp(static_cast<int>(common::roundHalfEven(n)), 1, kMaxPoints);
}

double PowerMeterWindow::clockMHz() const { return context_.instrument.params.refClockMHz; }

void PowerMeterWindow::measureQuartzReference() {
  if (runner_.running()) return;
  // R0 with its unit and what it is; 50 ohm until one is stored.
  auto answer = context_.prompter.input(
      KOLM_TR_NOOP("kolm", "Calibrazione Crystal Meter"),
      KOLM_TR("kolm", "Bypassare il quarzo\n(si può cambiare R0)") + "\n\n" +
          KOLM_TR("kolm",
                  "R0 in ohm: la resistenza che chiude il circuito di prova, sorgente e carico "
                  "insieme (50 ohm nel circuito di prova usuale)."),
      common::shortestText(r0Ohm_ > 0 ? r0Ohm_ : kDefaultR0, 7));
  if (!answer || answer->empty()) return;
  const auto r0 = r0FromText(*answer);
  if (!r0) {
    context_.prompter.message(
        common::arg(KOLM_TR("kolm",
                            "'%1' is no resistance above 0 ohm: R0 and Quartz.rif were "
                            "not changed."),
                    {common::shortened(*answer)}),
        common::Icon::Warning);
    return;
  }
  r0Ohm_ = *r0;
  // On the simulator the through path is the crystal bypassed.
  const common::PromptHelp bypass = connectOnSimulator("through");
  std::string request = KOLM_TR_NOOP("kolm", " Bypassare il quarzo");
  if (bypass.act)
    request = KOLM_TR("kolm", " Bypassare il quarzo") + "\n\n" + simulatorConnectionHint("through");
  if (!common::confirmWithHelp(context_.prompter, request, bypass)) return;
  startThroughPass(Job::QuartzReference);
}

void PowerMeterWindow::startThroughPass(Job kind) {
  auto words = tablePass(kRifEntries);  // one word beyond the last entry is sent
  if (!words) return;
  quartzJob_ = std::make_unique<QuartzReferenceJob>(context_.instrument, *words, calibration_);
  activeJob_ = kind;
  progress_->setValue(0);
  runner_.start(quartzJob_.get());
  updateActions();
}

std::unique_ptr<QuartzReferenceJob> PowerMeterWindow::endThroughPass(bool completed,
                                                                     const std::string& stopped) {
  auto job = std::move(quartzJob_);
  if (closed_ || !job) return nullptr;
  if (!completed) {
    context_.prompter.message(stopped, common::Icon::Information);
    return nullptr;
  }
  progress_->setValue(1000);
  return job;
}

void PowerMeterWindow::quartzReferenceFinished(bool completed) {
  const auto job = endThroughPass(
      completed, tr("The crystal calibration was stopped before its end: Quartz.rif and the "
                    "reference in use were not changed.")
                     .toStdString());
  if (!job) return;
  const std::string wrong =
      throughTableProblem(job->table(), levelLimits(calibration_),
                          KOLM_TR("kolm", "The crystal fixture's through path"));
  if (!wrong.empty()) {
    context_.prompter.message(wrong, common::Icon::Warning);
    return;
  }
  quartzReference_ = job->table();
  std::string error;
  if (!writeRif(quartzReference_, context_.settings.file(kQuartzRifFile), &error))
    context_.prompter.message(
        tr("The crystal fixture was measured but Quartz.rif could not be written: %1")
            .arg(q(error))
            .toStdString(),
        common::Icon::Warning);
  saveSettings();  // R0 with the table it belongs to
  // The counts the table was read with, beside it, so that a later
  // calibration reads it right; the loss steps stay.
  if (readFixture()) {
    fixture_.through = calibration_;
    writeFixture();
  }
  showQuartzReference_ = true;
  showReferences();
  // The end notice says what was done (its title is the specified one).
  context_.prompter.message(
      common::arg(KOLM_TR("kolm",
                          "The crystal fixture's through path was measured at 1601 points from "
                          "0.1 to 160 MHz and stored in Quartz.rif; R0 is %1 ohm."),
                  {common::shortestText(r0Ohm_, 7)}),
      common::Icon::None, KOLM_TR_NOOP("kolm", "CalQuartz"));
}

// ---- Chart files and the memory trace ----

void PowerMeterWindow::openChartFile() {
  if (runner_.running()) return;
  const std::string name = context_.prompter.openFileName(kLoadTitle, kChartFilter);
  if (name.empty()) return;
  openChart(name);
}

void PowerMeterWindow::openChart(const std::string& name) {
  if (runner_.running()) return;
  const ChartFileRead read = readChartFile(name);
  if (!read.chart) {
    context_.prompter.message(tr("The chart %1 was not opened: %2 Nothing was changed.")
                                  .arg(q(name), q(read.error))
                                  .toStdString(),
                              common::Icon::Warning);
    return;
  }
  const ChartFile& chart = *read.chart;
  recent_->add(q(name));
  fileNameEdit_->setText(q(name));
  m_.openChart(chart, levelLimits(calibration_));
  simulatedData_ = false;
  startEdit_->setText(q(common::strSingle(m_.viewStartMHz)));
  stopEdit_->setText(q(common::strSingle(m_.viewStopMHz)));
  pointsEdit_->setText(QString::number(m_.points));
  // The level range is the window's, not the file's.
  m_.topDbm = static_cast<float>(common::ui::lastNumberIn(topLevelEdit_));
  m_.bottomDbm = static_cast<float>(common::ui::lastNumberIn(bottomLevelEdit_));
  showQuartzReference_ = false;
  newHome();
  redraw();
}

void PowerMeterWindow::saveChartAs() {
  if (runner_.running()) return;
  if (!m_.whole()) {
    context_.prompter.message(
        tr("There is no chart to save yet: run a sweep or open a chart first.").toStdString(),
        common::Icon::Information);
    return;
  }
  const std::string name = context_.prompter.saveFileName(kSaveTitle, kChartFilter);
  if (name.empty()) return;
  const ChartFile chart = m_.savedChart(levelReference_);
  std::string error;
  if (!writeChartFile(name, chart, &error)) {
    context_.prompter.message(
        tr("The chart could not be saved as %1: %2 An earlier file of that name is left as it was.")
            .arg(q(name), q(error))
            .toStdString(),
        common::Icon::Warning);
    return;
  }
  recent_->add(q(name));
  fileNameEdit_->setText(q(name));
  status_->setText(q(common::savedToText(name)));
}

void PowerMeterWindow::fileToMemory() {
  const std::string name = context_.prompter.openFileName(kLoadTitle, kChartFilter);
  if (name.empty()) return;
  const ChartFileRead read = readChartFile(name);
  if (!read.chart) {
    context_.prompter.message(tr("The chart %1 was not put in memory: %2 The memory trace was "
                                 "not changed.")
                                  .arg(q(name), q(read.error))
                                  .toStdString(),
                              common::Icon::Warning);
    return;
  }
  m_.loadMemory(*read.chart, levelLimits(calibration_));
  memoryBand_ = {};
  memoryName_ = QFileInfo(q(name)).fileName();
  if (compareCheck_->isChecked())
    redraw();
  else
    compareCheck_->setChecked(true);  // redraws
}

}  // namespace kolm::powermeter::ui
