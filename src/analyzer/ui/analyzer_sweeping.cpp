// The analyzer window's part of its sweep: a pass planned from the boxes, its
// job, and what a finished pass shows. The passes, their averaging and the
// ways out are the sweep controller's.
#include <QButtonGroup>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QToolButton>
#include <algorithm>

#include "analyzer/ui/analyzer_view.h"
#include "common/status.h"
#include "common/ui/number_field.h"
#include "hw/readout.h"

namespace kolm::analyzer::ui {

bool AnalyzerWindow::startSweep(bool continuous) {
  if (continuous)
    sweep_.continuous();
  else
    sweep_.single();
  return sweep_.running();
}

void AnalyzerWindow::stopSweep() { sweep_.stop(); }

std::optional<SweepPlan> AnalyzerWindow::planFromBoxes(bool fresh) {
  // A box whose text is not one number plans no new sweep; the status line
  // says why. The next pass of a running sweep goes on with its last number.
  double typed[3];
  const QLineEdit* boxes[] = {startEdit_, stopEdit_, pointsEdit_};
  for (size_t k = 0; k < 3; ++k) {
    const auto n = fresh ? common::ui::requireNumber(boxes[k])
                         : std::optional(common::ui::lastNumberIn(boxes[k]));
    if (!n) return std::nullopt;
    typed[k] = *n;
  }
  const auto planned =
      planSweep(typed[0], typed[1], typed[2], context_.instrument.params.refClockMHz);
  if (!planned.ok()) {
    context_.prompter.message(planned.error, common::Icon::Warning);
    return std::nullopt;
  }
  return planned.plan;
}

std::optional<common::PassPlan> AnalyzerWindow::planPass(bool fresh) {
  const auto planned = planFromBoxes(fresh);
  const auto depth = !planned ? std::nullopt
                     : fresh  ? average_->require()
                              : std::optional(average_->passes());
  if (!depth) return std::nullopt;
  plan_ = *planned;
  if (fresh) {
    saveSettings();  // the settings a sweep starts with are kept
    // The calibration of the instrument as it is now (the simulator's board
    // or the clock may have changed since).
    loadCalibration();
  }
  return common::PassPlan{plan_.start, plan_.stop, plan_.points, *depth};
}

common::SteppedJob& AnalyzerWindow::beginPass(bool firstOfSweep, bool newPlan) {
  if (firstOfSweep) fileNameEdit_->clear();
  newPlan_ = newPlan;
  job_ = std::make_unique<PassJob>(context_.instrument, plan_, m_.pass, firstOfSweep);
  progress_->setValue(0);
  return *job_;
}

void AnalyzerWindow::passStopped() {
  const int stored = job_ ? job_->stored() : 0;
  job_.reset();
  // A stopped pass is dropped: the chart keeps the last whole measurement.
  setStatus(common::stoppedAtText(std::min(stored, plan_.points + 1), plan_.points + 1));
}

void AnalyzerWindow::passCompleted(common::PassAverage& average) {
  job_.reset();
  // The counts averaged before any point is computed from them.
  averageChannels(average, m_.pass, plan_.points + 1);
  m_.takePass(plan_.start, plan_.stop, plan_.points, newPlan_);
  simulatedData_ = context_.instrument.simulated();
  setStatus(sweep_.passDoneText());
  chart_->setNote({});
  if (newPlan_) {
    newHome();
    showSweepBoxes();
  }
  passShown_ = true;
  redraw();
}

void AnalyzerWindow::sweepEnded(bool) { progress_->setValue(0); }

void AnalyzerWindow::showState() {
  const auto mode = sweep_.mode();
  sweepButtons_->setExclusive(false);
  singleSweepButton_->setChecked(mode == common::SweepControl::Mode::Single);
  continuousSweepButton_->setChecked(mode == common::SweepControl::Mode::Continuous);
  sweepButtons_->setExclusive(true);
  stop_->setEnabled(sweep_.running());
}

void AnalyzerWindow::leavePort() { context_.instrument.switchOffAndIdle(hw::kBridgeSettle); }

}  // namespace kolm::analyzer::ui
