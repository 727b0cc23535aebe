// The analyzer window's passes: a sweep planned from the boxes, its passes one
// after another, each averaged with the last ones on its counts.
#include <QButtonGroup>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QToolButton>
#include <algorithm>

#include "analyzer/ui/analyzer_view.h"
#include "common/status.h"
#include "common/ui/number_field.h"

namespace kolm::analyzer::ui {

// ---- sweeping ----

bool AnalyzerWindow::startSweep(bool continuous) {
  if (continuous)
    passes_.continuous();
  else
    passes_.single();
  return passes_.running();
}

std::optional<SweepPlan> AnalyzerWindow::planFromBoxes() {
  // A box whose text is not one number plans nothing; the status line says why.
  double typed[3];
  const QLineEdit* boxes[] = {startEdit_, stopEdit_, pointsEdit_};
  for (size_t k = 0; k < 3; ++k) {
    const auto n = common::ui::requireNumber(boxes[k]);
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

bool AnalyzerWindow::beginSweep(bool continuous) {
  const auto planned = planFromBoxes();
  const auto depth = planned ? average_->require() : std::nullopt;
  if (!depth) {
    uncheckSweepButtons();
    return false;
  }
  fileNameEdit_->clear();
  plan_ = *planned;
  firstPass_ = true;
  averaged_.restart(*depth);
  QToolButton* pressed = continuous ? continuousSweepButton_ : singleSweepButton_;
  if (!pressed->isChecked()) pressed->setChecked(true);
  stop_->setEnabled(true);
  startPass(true);
  return true;
}

void AnalyzerWindow::startPass(bool resetDds) {
  // Another depth typed during a continuous sweep averages afresh.
  if (average_->passes() != averaged_.depth()) averaged_.restart(average_->passes());
  job_ = std::make_unique<ReadWriteJob>(context_.instrument, plan_, m_.pass, resetDds);
  progress_->setValue(0);
  passClock_.start();
  runner_.start(job_.get());
}

void AnalyzerWindow::stopSweep() { passes_.stop(); }

void AnalyzerWindow::onPassFinished(bool completed) {
  const int stored = job_ ? job_->stored() : 0;
  job_.reset();
  if (!completed) {
    // A stopped pass is dropped: the chart keeps the last whole measurement.
    setStatus(common::stoppedAtText(std::min(stored, plan_.points + 1), plan_.points + 1));
    passes_.passFinished(false);
    return;
  }
  // The counts averaged before any point is computed from them.
  averageChannels(averaged_, m_.pass, plan_.points + 1);
  const std::string passes = common::averageText(averaged_.held(), averaged_.depth());
  setStatus(common::passDoneText(passClock_.elapsed() / 1000.0) +
            (passes.empty() ? "" : "  " + passes));
  m_.takePass(plan_.start, plan_.stop, plan_.points, firstPass_);
  chart_->setNote({});
  if (firstPass_) {
    newHome();
    layoutControls();
  }
  redraw();
  passes_.passFinished(true);
}

void AnalyzerWindow::uncheckSweepButtons() {
  sweepButtons_->setExclusive(false);
  singleSweepButton_->setChecked(false);
  continuousSweepButton_->setChecked(false);
  sweepButtons_->setExclusive(true);
}

void AnalyzerWindow::endSweep() {
  uncheckSweepButtons();
  stop_->setEnabled(false);
  progress_->setValue(0);
}

}  // namespace kolm::analyzer::ui
