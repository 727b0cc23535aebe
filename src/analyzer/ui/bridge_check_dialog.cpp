#include "analyzer/ui/bridge_check_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include "analyzer/ui/bridge_dialog_parts.h"
#include "common/text.h"
#include "common/ui/qt_text.h"
#include "hw/readout.h"

namespace kolm::analyzer::ui {

namespace {

using common::ui::q;

QString db(double v) { return q(common::shortestText(v, 3)); }

// The figures in words, with what they mean for the readings.
QString resultText(const BridgeCheckResult& r, bool stored) {
  QString text =
      (r.directivityMinAtLimit
           ? QObject::tr("Directivity: at least %1 dB everywhere (the load reads at the bottom of "
                         "the bridge's range).")
                 .arg(db(r.directivityMinDb))
           : QObject::tr("Directivity: %1 dB at worst (at %2 MHz), %3 dB in the middle.")
                 .arg(db(r.directivityMinDb), mhzText(r.directivityMinMHz),
                      db(r.directivityMedianDb))) +
      "\n" +
      QObject::tr("Tracking: the open and the short within %1 dB of a total reflection.")
          .arg(db(r.trackingMaxDb));
  for (const std::string& w : r.warnings) text += "\n\n" + q(w);
  text += "\n\n";
  text += stored ? QObject::tr(
                       "Kept: the readings' intervals now take the directivity as %1 dB "
                       "and the tracking as %2 dB, the worst the readings allow once their "
                       "noise and the detector's slope are counted.")
                       .arg(db(r.figures.directivityDb), db(r.figures.trackingDb))
                 : QObject::tr("Not kept: measure the standard named above again.");
  return text;
}

}  // namespace

BridgeCheckDialog::BridgeCheckDialog(QWidget* parent, hw::Instrument& instrument,
                                     const SweepPlan& plan, common::SettingsFolder& settings,
                                     std::function<void(const BridgeFigures&)> figuresChanged)
    : QDialog(parent),
      instrument_(instrument),
      plan_(plan),
      folder_(settings),
      figuresChanged_(std::move(figuresChanged)) {
  setObjectName("bridgeCheckDialog");
  setWindowTitle(tr("Check the bridge"));
  // Only the analyzer waits: the Simulator window stays at hand.
  setWindowModality(Qt::WindowModal);
  setMinimumWidth(420);
  run_ = checkRunIn(folder_, &runUnreadable_);
  auto* layout = new QVBoxLayout(this);
  auto* intro = new QLabel(
      tr("Connect each standard to the bridge's output and measure it, in any order. The check "
         "sweeps %1 to %2 MHz in %3 steps, as the analyzer is set.")
          .arg(mhzText(plan_.start), mhzText(plan_.stop))
          .arg(plan_.points),
      this);
  if (instrument_.params.portBackend == "sim")
    intro->setText(intro->text() + " " +
                   tr("On the simulated instrument, connect them in the Simulator window "
                      "(load r=50, open, short)."));
  intro->setObjectName("bridgeCheckIntro");
  intro->setWordWrap(true);
  layout->addWidget(intro);
  layout->addLayout(buildStandards());
  layout->addLayout(buildProgressRow());
  const ResultArea area = resultArea(this, "bridgeCheck");
  result_ = area.label;
  layout->addWidget(area.scroll, 1);
  auto* bottom = new QHBoxLayout;
  forget_ = new QPushButton(tr("Use the published figures"), this);
  forget_->setObjectName("forgetFiguresButton");
  forget_->setAutoDefault(false);
  auto* close = new QPushButton(tr("Close"), this);
  close->setObjectName("bridgeCheckClose");
  bottom->addWidget(forget_);
  bottom->addStretch(1);
  bottom->addWidget(close);
  layout->addLayout(bottom);
  connect(stop_, &QPushButton::clicked, this, [this] { endPass(); });
  connect(forget_, &QPushButton::clicked, this, &BridgeCheckDialog::forget);
  connect(close, &QPushButton::clicked, this, &BridgeCheckDialog::reject);
  connect(&runner_, &common::ui::JobRunner::progressed, this,
          [this](double f) { progress_->setValue(static_cast<int>(f * 1000)); });
  connect(&runner_, &common::ui::JobRunner::finished, this, &BridgeCheckDialog::onPassFinished);
  connect(&runner_, &common::ui::JobRunner::failed, this,
          [this](const QString& why) { setResult(why); });
  const BridgeFiguresInUse inUse = bridgeFiguresIn(folder_);
  setResult(
      !inUse.problem.empty() ? q(inUse.problem)
      : inUse.measured
          ? tr("The readings' intervals use the figures of the last check: directivity %1 dB, "
               "tracking %2 dB.")
                .arg(db(inUse.figures.directivityDb), db(inUse.figures.trackingDb))
          : tr("The readings' intervals use the published figures of such a bridge."));
  showState();
}

QGridLayout* BridgeCheckDialog::buildStandards() {
  auto* grid = new QGridLayout;
  const QString captions[kStandards] = {tr("Measure the 50 \u03a9 load"), tr("Measure the open"),
                                        tr("Measure the short")};
  const char* names[kStandards] = {"measureLoadButton", "measureOpenButton", "measureShortButton"};
  for (int k = 0; k < kStandards; ++k) {
    buttons_[k] = new QPushButton(captions[k], this);
    buttons_[k]->setObjectName(names[k]);
    buttons_[k]->setAutoDefault(false);
    states_[k] = new QLabel(this);
    states_[k]->setObjectName(QString(names[k]).replace("Button", "State"));
    grid->addWidget(buttons_[k], k, 0);
    grid->addWidget(states_[k], k, 1);
    connect(buttons_[k], &QPushButton::clicked, this,
            [this, k] { measure(static_cast<Standard>(k)); });
  }
  return grid;
}

QHBoxLayout* BridgeCheckDialog::buildProgressRow() {
  const ProgressRow row = progressRow(this, "bridgeCheck", tr("Stop"));
  progress_ = row.progress;
  stop_ = row.stop;
  return row.layout;
}

BridgeCheckDialog::~BridgeCheckDialog() { endPass(); }

void BridgeCheckDialog::endPass() {
  if (!runner_.running()) return;
  runner_.stop();
  // The generator off and every data line low, whenever the stop is reported.
  instrument_.switchOffAndIdle(hw::kBridgeSettle);
}

void BridgeCheckDialog::showState() {
  const bool busy = runner_.running();
  const bool sameSweep = run_.over(plan_.start, plan_.stop, plan_.points);
  for (int k = 0; k < kStandards; ++k) {
    buttons_[k]->setEnabled(!busy);
    const bool measured = sameSweep && run_.readings[static_cast<size_t>(k)].has_value();
    states_[k]->setText(measuring_ && static_cast<int>(*measuring_) == k ? tr("measuring...")
                        : measured                                       ? tr("measured")
                                                                         : tr("not measured"));
  }
  stop_->setEnabled(busy);
  forget_->setEnabled(!busy);
}

void BridgeCheckDialog::measure(Standard standard) {
  if (stored_) run_ = {};  // that check is done: this one starts afresh
  stored_ = false;
  measuring_ = standard;
  job_ = std::make_unique<PassJob>(instrument_, plan_, channels_, true);
  progress_->setValue(0);
  runner_.start(job_.get());
  showState();
}

void BridgeCheckDialog::onPassFinished(bool completed) {
  job_.reset();
  // The generator off and every data line low between the standards.
  instrument_.switchOffAndIdle(hw::kBridgeSettle);
  const Standard standard = *measuring_;
  measuring_.reset();
  // A whole pass shows whole; a stopped one starts again from nothing.
  progress_->setValue(completed ? progress_->maximum() : 0);
  if (!completed) {
    setResult(tr("Stopped: what the %1 read is not kept.").arg(standardName(standard)));
    showState();
    return;
  }
  // The standard joins what the check's file holds now (another program may
  // have measured one meanwhile), under the settings folder's lock.
  const common::SettingsFolder::Hold hold(folder_);
  run_ = checkRunIn(folder_, &runUnreadable_);
  run_.take(standard, plan_.start, plan_.stop, plan_.points,
            standardReadings(channels_, plan_.points));
  std::optional<BridgeCheckResult> result;
  if (run_.complete()) result = evaluateBridgeCheck(run_);
  const CheckKept kept = keepCheck(folder_, run_, result ? &*result : nullptr, runUnreadable_);
  runUnreadable_ = false;
  QString text = result ? resultText(*result, kept.figuresStored) : QString();
  if (!kept.message.empty()) text += (text.isEmpty() ? "" : "\n\n") + q(kept.message);
  if (!result)
    text += (text.isEmpty() ? "" : "\n\n") + tr("The %1 is measured.").arg(standardName(standard));
  setResult(text);
  stored_ = kept.figuresStored;
  if (stored_) figuresChanged_(result->figures);
  showState();
}

void BridgeCheckDialog::setResult(const QString& text) { showResult(*this, *result_, text); }

void BridgeCheckDialog::forget() {
  std::string why;
  if (!forgetBridgeFigures(folder_, &why)) {
    setResult(q(why));
    return;
  }
  run_ = {};
  stored_ = false;
  figuresChanged_(publishedBridge());
  setResult(tr("The readings' intervals use the published figures of such a bridge."));
  showState();
}

void BridgeCheckDialog::reject() {
  endPass();
  QDialog::reject();
}

}  // namespace kolm::analyzer::ui
