// The power meter window's crystal meter: a crystal fitted as kolm-cli fits
// it, found and swept narrowly when the sweep shows it too coarsely, and the
// loss steps through the fixture that narrow its intervals.
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QString>

#include "common/files.h"
#include "common/settings_file.h"
#include "common/text.h"
#include "common/tr.h"
#include "common/typed_number.h"
#include "common/ui/qt_text.h"
#include "common/ui/recent_files.h"
#include "powermeter/crystal_batch.h"
#include "powermeter/crystal_find.h"
#include "powermeter/ui/crystal_batch_window.h"
#include "powermeter/ui/power_meter_window.h"

namespace kolm::powermeter::ui {

namespace {

using common::ui::q;

std::string mhz(double value) { return common::shortestText(value, 8); }

constexpr const char* kLoadKey = "PowerMeter/crystalLoadPf";

}  // namespace

std::optional<double> PowerMeterWindow::crystalLoadPf() const {
  bool ok = false;
  const double pf = common::ui::uiSettings(context_.settings).value(kLoadKey).toDouble(&ok);
  if (!ok || !loadProblem(pf).empty()) return std::nullopt;
  return pf;
}

bool PowerMeterWindow::setCrystalLoad(const std::string& text) {
  const std::string typed(common::trimBlanks(text));
  std::optional<double> pf;
  if (!typed.empty()) {
    const common::TypedNumber n = common::typedNumber(typed);
    const std::string problem = n.value ? loadProblem(*n.value) : n.problem;
    if (!problem.empty()) {
      context_.prompter.message(
          problem + " " + KOLM_TR("kolm", "The load capacitance was not changed."),
          common::Icon::Warning);
      return false;
    }
    pf = n.value;
  }
  auto settings = common::ui::uiSettings(context_.settings);
  if (pf)
    settings.setValue(kLoadKey, *pf);
  else
    settings.remove(kLoadKey);
  if (batch_) batch_->showLoad();
  return true;
}

void PowerMeterWindow::chooseCrystalLoad() {
  const std::optional<double> now = crystalLoadPf();
  const auto answer = context_.prompter.input(
      KOLM_TR("kolm", "Load capacitance"),
      KOLM_TR("kolm",
              "The load capacitance the crystal is to oscillate with, pF: the crystal meter and "
              "the batch then give the frequency Fl it oscillates at. Empty: no load."),
      now ? common::shortestText(*now) : std::string());
  if (answer) setCrystalLoad(*answer);
}

CrystalFitInput PowerMeterWindow::crystalInput(const CrystalSweep& sweep) const {
  const hw::HardwareParams& params = context_.instrument.params;
  return {.sweep = sweep,
          .through = quartzReference_,
          .r0Ohm = r0Ohm_,
          .calibration = calibration_,
          .clockMHz = clockMHz(),
          .fixture = &fixture_,
          .clockOffsetPpm = params.clockOffsetPpm,
          .clockTolerancePpm = params.clockTolerancePpm,
          .loadPf = crystalLoadPf()};
}

bool PowerMeterWindow::readFixture() {
  std::string error;
  auto record = readFixtureRecord(context_.settings.file(kFixtureRecordFile), &error);
  if (!record) {
    context_.prompter.message(
        common::arg(KOLM_TR("kolm",
                            "%1 The crystal meter measures nothing until the fixture is "
                            "calibrated again (calQuarz) or Quartz.cfg is removed."),
                    {error}),
        common::Icon::Warning);
    return false;
  }
  fixture_ = std::move(*record);
  return true;
}

bool PowerMeterWindow::writeFixture() {
  std::string error;
  if (common::writeFileAtomic(context_.settings.file(kFixtureRecordFile),
                              formatFixtureRecord(fixture_), &error))
    return true;
  context_.prompter.message(error, common::Icon::Warning);
  return false;
}

std::vector<std::string> PowerMeterWindow::crystalWarnings(const CrystalParameters& p,
                                                           const CrystalSweep& sweep) const {
  // As the command line keeps them in a batch: how to narrow the intervals
  // (this window's menu items) and the record's notes too.
  std::vector<std::string> out = crystalFitWarnings(p, sweep);
  const std::string advice =
      slopeAdvice(p.slope, menuPath({"Calibrate"}), menuPath({"CrystalMeter", "Loss step"}));
  if (!advice.empty()) out.push_back(advice);
  out.insert(out.end(), p.notes.begin(), p.notes.end());
  return out;
}

void PowerMeterWindow::crystalSweepFinished(int sweepsDone) {
  const CrystalSweep sweep{m_.levels, m_.points, m_.traceStartMHz, m_.traceStopMHz};
  const CrystalFitInput input = crystalInput(sweep);
  const FindStep next = nextFindStep(input, sweepsDone, pointsToSweep());
  std::string declined;
  if (next.kind == FindStep::Kind::Sweep) {
    const std::string span =
        common::arg(KOLM_TR("kolm", "%1 to %2 MHz, %3 points"),
                    {mhz(next.startMHz), mhz(next.stopMHz), std::to_string(next.points)});
    // Asked once: the sweeps that follow the first go on by themselves.
    const bool go =
        sweepsDone > 1 ||
        context_.prompter.confirm(common::arg(
            KOLM_TR("kolm",
                    "The sweep shows the crystal's resonance too coarsely for its values. Find "
                    "it: sweep again around it by itself, narrowly, in at most %1 more sweeps "
                    "(the next: %2)? Cancel shows what this sweep gives."),
            {std::to_string(kFindSweeps - sweepsDone), span}));
    if (go) {
      status_->setText(q(common::arg(KOLM_TR("kolm",
                                             "Finding the crystal: sweep %1 of at most %2 (%3), "
                                             "%4."),
                                     {std::to_string(sweepsDone + 1), std::to_string(kFindSweeps),
                                      findStageText(next.stage), span})));
      pointsEdit_->setText(QString::number(next.points));
      setSweepSpan(next.startMHz, next.stopMHz);
      // The next sweep once this one's window events are done.
      QMetaObject::invokeMethod(
          this,
          [this, sweepsDone] {
            startSingleSweep([this, sweepsDone](bool completed) {
              if (completed) crystalSweepFinished(sweepsDone + 1);
            });
          },
          Qt::QueuedConnection);
      return;
    }
    declined = common::arg(
        KOLM_TR("kolm",
                "This sweep resolves the resonance too coarsely: sweep %1 (%2 offers it), "
                "or narrow the sweep there yourself."),
        {span, menuPath({"CrystalMeter", "Quarzo"})});
  } else if (next.kind == FindStep::Kind::NotFound && sweepsDone > 1) {
    context_.prompter.message(KOLM_TR("kolm", "errore") + "\n" + next.error, common::Icon::Warning);
    return;
  }
  const CrystalParameters p = fitCrystal(input);
  if (!p.ok()) {
    context_.prompter.message(KOLM_TR("kolm", "errore") + "\n" + p.error, common::Icon::Warning);
    return;
  }
  showCrystal(p, sweep, declined);
}

void PowerMeterWindow::showCrystal(const CrystalParameters& p, const CrystalSweep& sweep,
                                   const std::string& extra) {
  showQuartzReference_ = true;
  showReferences();
  // The specified lines with the fitted values and their intervals, then how
  // they were found and why they may not be trusted (if so).
  std::string text = crystalParametersReport(p);  // with the advice and notes
  for (const std::string& w : crystalFitWarnings(p, sweep))
    if (w != p.fallback) text += "\n" + w;
  if (!extra.empty()) text += "\n" + extra;
  context_.prompter.message(text);
}

// ---- Loss steps through the fixture ----

void PowerMeterWindow::measureLossStep() {
  if (runner_.running()) return;
  if (findQuartzRif(context_.settings.path()).empty()) {
    context_.prompter.message(
        KOLM_TR("kolm",
                "A loss step is read against the fixture's through path: measure it "
                "first (calQuarz)."),
        common::Icon::Warning);
    return;
  }
  if (!readFixture()) return;
  const std::string title = tr("Loss step").toStdString();
  auto number = [&](const std::string& prompt, const std::string& initial, double low,
                    double high) -> std::optional<double> {
    const auto answer = context_.prompter.input(title, prompt, initial);
    if (!answer) return std::nullopt;
    const auto v = common::typedNumber(*answer).value;
    if (v && *v >= low && *v <= high) return v;
    context_.prompter.message(
        common::arg(
            KOLM_TR("kolm", "'%1' is not a number from %2 to %3 dB: nothing was measured."),
            {common::shortened(*answer), common::shortestText(low), common::shortestText(high)}),
        common::Icon::Warning);
    return std::nullopt;
  };
  const auto db = number(
      KOLM_TR("kolm",
              "Put an attenuator of known loss in the crystal's place. Its loss, dB (0.5 to 60):"),
      "10", kMinStepDb, kMaxStepDb);
  if (!db) return;
  const auto pm = number(KOLM_TR("kolm", "How far its loss may be off, dB (its stated tolerance):"),
                         common::shortestText(kDefaultStepPmDb), 0, 9.99);
  if (!pm) return;
  lossStep_ = {*db, *pm, calibration_, {}};
  startThroughPass(Job::LossStep);
}

void PowerMeterWindow::lossStepFinished(bool completed) {
  const auto job = endThroughPass(
      completed,
      KOLM_TR("kolm", "The loss step was stopped before its end: Quartz.cfg was not changed."));
  if (!job || !readFixture()) return;
  lossStep_.levels = job->table();
  const std::string wrong = keepStep(fixture_, lossStep_, quartzReference_);
  if (!wrong.empty()) {
    context_.prompter.message(wrong, common::Icon::Warning);  // it says nothing was kept
    return;
  }
  if (!writeFixture()) return;
  context_.prompter.message(common::arg(
      KOLM_TR("kolm",
              "The loss step of %1 dB is kept in Quartz.cfg (%2 steps): the crystal meter reads "
              "losses through them, and the detector's slope no longer widens its intervals."),
      {common::shortestText(lossStep_.lossDb), std::to_string(fixture_.steps.size())}));
}

void PowerMeterWindow::forgetLossSteps() {
  if (runner_.running() || !readFixture()) return;
  if (fixture_.steps.empty()) {
    context_.prompter.message(KOLM_TR("kolm", "Quartz.cfg holds no loss steps."));
    return;
  }
  if (!context_.prompter.confirm(
          common::arg(KOLM_TR("kolm", "Forget the %1 loss steps kept in Quartz.cfg?"),
                      {std::to_string(fixture_.steps.size())})))
    return;
  fixture_.steps.clear();
  writeFixture();
}

}  // namespace kolm::powermeter::ui
