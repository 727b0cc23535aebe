// The power meter window's part of its sweep: a pass planned from the boxes,
// its job, and the levels shown as the average will hold them. The passes,
// their averaging ring and the ways out are the sweep controller's.
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QToolButton>
#include <algorithm>

#include "chart/ui/pass_log.h"
#include "chart/ui/trace_list.h"
#include "common/status.h"
#include "common/text.h"
#include "common/ui/number_field.h"
#include "common/ui/qt_text.h"
#include "powermeter/averaging.h"
#include "powermeter/ui/power_meter_window.h"

namespace kolm::powermeter::ui {

namespace {
using common::ui::q;
}  // namespace

void PowerMeterWindow::onSingleSweep() {
  // A reference table being measured keeps the sweep buttons off.
  if (activeJob_ == Job::None || activeJob_ == Job::Sweep) sweep_.single();
  showState();
}

void PowerMeterWindow::onContinuousSweep() {
  if (activeJob_ == Job::None || activeJob_ == Job::Sweep) sweep_.continuous();
  showState();
}

bool PowerMeterWindow::startSingleSweep(std::function<void(bool)> whenDone) {
  if (runner_.running() || closed_) return false;
  sweep_.single(std::move(whenDone));
  return true;
}

void PowerMeterWindow::stopSweep() {
  sweep_.stop();
  runner_.stop();  // a reference table
}

std::optional<common::PassPlan> PowerMeterWindow::planPass(bool fresh) {
  const QLineEdit* boxes[] = {startEdit_, stopEdit_, pointsEdit_, topLevelEdit_, bottomLevelEdit_};
  double typed[5];
  for (size_t k = 0; k < 5; ++k) {
    const auto n = fresh ? common::ui::requireNumber(boxes[k])
                         : std::optional(common::ui::lastNumberIn(boxes[k]));
    if (!n) return std::nullopt;  // the status line says why; nothing is swept
    typed[k] = *n;
  }
  const auto depth = fresh ? average_->require() : std::optional(average_->passes());
  if (!depth) return std::nullopt;
  fileNameEdit_->clear();
  m_.fromFile = false;
  showQuartzReference_ = false;
  SweepPreparation prepared = prepareSweep({typed[0], typed[1], typed[2], typed[3], typed[4]},
                                           context_.instrument.params.refClockMHz, calibration_);
  if (prepared.startMHz) startEdit_->setText(q(*prepared.startMHz));
  if (prepared.stopMHz) stopEdit_->setText(q(*prepared.stopMHz));
  if (!prepared.plan) {
    context_.prompter.message(prepared.error, common::Icon::Warning);
    return std::nullopt;
  }
  plan_ = *prepared.plan;
  if (fresh) saveSettings();  // the settings a sweep starts with are kept
  return common::PassPlan{plan_.viewStartMHz, plan_.viewStopMHz, plan_.points, *depth};
}

common::SteppedJob& PowerMeterWindow::beginPass(bool, bool newPlan) {
  shownPassLevels_ = 0;
  // A sweep starts on the view of its boxes; the further passes of the same
  // plan keep the view a zoom chose meanwhile, and its history.
  m_.beginPass(plan_, levelLimits(calibration_), !newPlan);
  if (newPlan) newHome();
  job_ = std::make_unique<SweepJob>(
      context_.instrument, plan_, calibration_, [this] { return delayMs_; },
      sweep_.plan().depth > 1 ? passLevels_ : m_.levels);
  activeJob_ = Job::Sweep;
  progress_->setValue(0);
  redraw();
  return *job_;
}

void PowerMeterWindow::jobFinished(bool completed) {
  const Job finished = activeJob_;
  activeJob_ = Job::None;
  switch (finished) {
    case Job::Sweep:
      sweep_.passFinished(completed);
      break;
    case Job::LevelReference:
      levelReferenceFinished(completed);
      break;
    case Job::QuartzReference:
      quartzReferenceFinished(completed);
      break;
    case Job::LossStep:
      lossStepFinished(completed);
      break;
    case Job::None:
      break;
  }
  if (!closed_) updateActions();
}

void PowerMeterWindow::showAveragedPass() {
  const common::PassAverage& average = sweep_.average();
  if (!job_ || average.depth() <= 1) return;
  const int measured = job_->measured();
  for (int i = shownPassLevels_; i < measured; ++i)
    m_.levels[static_cast<size_t>(i)] =
        averagedLevel(average, static_cast<size_t>(i), passLevels_[static_cast<size_t>(i)]);
  shownPassLevels_ = std::max(shownPassLevels_, measured);
}

std::string PowerMeterWindow::passesText() const {
  if (m_.fromFile) return {};
  // The pass under way counts once its levels are shown.
  const common::PassAverage& average = sweep_.average();
  const int held = average.held() + (activeJob_ == Job::Sweep && !average.full() ? 1 : 0);
  return common::averageText(held, average.depth());
}

void PowerMeterWindow::passCompleted(common::PassAverage& average) {
  progress_->setValue(1000);
  if (job_) {
    showAveragedPass();
    m_.measured(job_->measured());
    simulatedData_ = context_.instrument.simulated();
    if (average.depth() > 1) {
      averageLevels(average, passLevels_, job_->plan().points);
      std::copy_n(passLevels_.begin(), job_->plan().points + 1, m_.levels.begin());
    }
  }
  status_->setText(q(sweep_.passDoneText()));
  const std::vector<chart::StoredTrace> live = liveStoredTraces();
  storedTraces_->takePass(live);
  if (!live.empty()) passLog_->takePass(live.front());
  redraw();
}

void PowerMeterWindow::passStopped() {
  if (job_) {
    showAveragedPass();
    m_.measured(job_->measured());
    simulatedData_ = context_.instrument.simulated();
  }
  status_->setText(q(common::stoppedAtText(job_ ? job_->measured() : 0, m_.points + 1)));
  progress_->setValue(0);
  redraw();
}

void PowerMeterWindow::sweepEnded(bool) {
  job_.reset();
  updateActions();
}

void PowerMeterWindow::showState() {
  const auto mode = sweep_.mode();
  singleSweepButton_->setChecked(mode == common::SweepControl::Mode::Single);
  continuousSweepButton_->setChecked(mode == common::SweepControl::Mode::Continuous);
  updateActions();
}

void PowerMeterWindow::leavePort() { context_.instrument.switchOff(); }

}  // namespace kolm::powermeter::ui
