#include "analyzer/ui/bridge_calibration_dialog.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>
#include <algorithm>

#include "analyzer/bridge_check.h"
#include "analyzer/measurement.h"
#include "analyzer/ui/bridge_dialog_parts.h"
#include "common/text.h"
#include "common/ui/qt_text.h"
#include "hw/readout.h"
#include "sim/simulated_instrument.h"

namespace kolm::analyzer::ui {

namespace {

using common::ui::q;
QString small(double v) { return q(common::shortestText(v, 2)); }

// "openButton", "r75Value", ...: a standard's widgets by its name.
QString widgetName(const CalibrationStandard& s, const char* what) {
  return QString::fromLatin1(s.name) + what;
}

QString inUseText(const common::SettingsFolder& folder, const hw::Instrument& instrument) {
  const CalibrationInUse inUse = calibrationIn(folder, instrumentSetup(instrument));
  if (inUse.calibration)
    return QObject::tr("In use: the calibration of %1; readings inside its span are corrected.")
        .arg(q(inUse.calibration->name()));
  if (!inUse.problem.empty()) return q(inUse.problem);
  return QObject::tr("No calibration in use: the readings are uncorrected.");
}

}  // namespace

BridgeCalibrationDialog::BridgeCalibrationDialog(QWidget* parent, hw::Instrument& instrument,
                                                 const SweepPlan& plan, int passes,
                                                 common::SettingsFolder& settings,
                                                 const BridgeFigures& stated,
                                                 std::function<void()> calibrationChanged)
    : QDialog(parent),
      instrument_(instrument),
      plan_(plan),
      passes_(std::clamp(passes, 1, 100)),
      folder_(settings),
      stated_(stated),
      calibrationChanged_(std::move(calibrationChanged)) {
  stated_.calibration.reset();  // the fit starts from the figures alone
  setObjectName("bridgeCalibrationDialog");
  setWindowTitle(tr("Calibrate the bridge"));
  // Only the analyzer waits: the Simulator window stays at hand.
  setWindowModality(Qt::WindowModal);
  // Room for each standard's words on a line or two beside its value.
  setMinimumWidth(640);
  bool unreadable = false;
  run_ = calibrationRunIn(folder_, &unreadable);
  const bool simulated = sim::findSimulator(instrument_.port()) != nullptr;
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(buildIntro(simulated));
  QGridLayout* grid = buildStandards(simulated);
  layout->addLayout(grid);
  const int wide = standardsWidth(grid, layout->contentsMargins());
  layout->addLayout(buildProgressRow());
  inUse_ = new QLabel(this);
  inUse_->setObjectName("bridgeCalibrationInUse");
  inUse_->setWordWrap(true);
  layout->addWidget(inUse_);
  const ResultArea area = resultArea(this, "bridgeCalibration");
  result_ = area.label;
  QScrollArea* scroll = area.scroll;
  // It takes the room the standards leave, a few lines at least: on a short
  // screen the standards' rows keep their lines before it grows.
  scroll->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Ignored);
  scroll->setMinimumHeight(fontMetrics().lineSpacing() * 4);
  layout->addWidget(scroll, 1);
  layout->addLayout(buildBottomRow());
  connect(stop_, &QPushButton::clicked, this, [this] { endPass(); });
  connect(previous_, &QPushButton::clicked, this, &BridgeCalibrationDialog::usePrevious);
  connect(forget_, &QPushButton::clicked, this, &BridgeCalibrationDialog::forget);
  connect(&runner_, &common::ui::JobRunner::progressed, this, [this](double f) {
    progress_->setValue(static_cast<int>((passesDone_ + f) / passes_ * 1000));
  });
  connect(&runner_, &common::ui::JobRunner::finished, this,
          &BridgeCalibrationDialog::onPassFinished);
  connect(&runner_, &common::ui::JobRunner::failed, this,
          [this](const QString& why) { setResult(why); });
  showState();
  // At its least width the standards' words wrap: its least height is what
  // they then take, and a few lines of what it has to say.
  setMinimumHeight(layout->totalHeightForWidth(minimumWidth()) + scroll->minimumHeight());
  const int width = std::max(wide, minimumWidth());
  resize(width,
         std::max(minimumHeight(), layout->totalHeightForWidth(width) + scroll->minimumHeight()));
  if (unreadable)
    setResult(
        tr("The standards measured earlier cannot be read: measure them again (the file "
           "is kept aside when the next one is stored)."));
}

QLabel* BridgeCalibrationDialog::buildIntro(bool simulated) {
  auto* intro = new QLabel(
      tr("Connect each standard to the bridge's output and measure it, in any order, with the "
         "value it actually has. The calibration sweeps %1 to %2 MHz in %3 steps, as the "
         "analyzer is set; standards measured over another sweep are measured again.")
          .arg(mhzText(plan_.start), mhzText(plan_.stop))
          .arg(plan_.points),
      this);
  if (passes_ > 1)
    intro->setText(intro->text() + " " +
                   tr("Each standard is averaged over %1 passes, as the analyzer's Average is "
                      "set.")
                       .arg(passes_));
  if (simulated)
    intro->setText(intro->text() + " " +
                   tr("On the simulated instrument each button connects its standard first; "
                      "the load connected before comes back when the dialog closes."));
  intro->setObjectName("bridgeCalibrationIntro");
  intro->setWordWrap(true);
  return intro;
}

QGridLayout* BridgeCalibrationDialog::buildStandards(bool simulated) {
  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel(tr("Standard"), this), 0, 0);
  grid->addWidget(new QLabel(tr("Value"), this), 0, 1);
  const auto& standards = calibrationStandards();
  for (size_t k = 0; k < standards.size(); ++k) {
    const CalibrationStandard& s = standards[k];
    const int row = static_cast<int>(k) + 1;
    auto* caption = new QLabel(
        QString("<b>%1</b>: %2").arg(QString::fromLatin1(s.name), QString::fromLatin1(s.what)),
        this);
    caption->setWordWrap(true);
    auto* value = new QLineEdit(q(standardValueText(s.nominal)), this);
    value->setObjectName(widgetName(s, "Value"));
    value->setMaximumWidth(fontMetrics().horizontalAdvance("r=33.3333,c=100p") + 16);
    value->setToolTip(tr("The value it actually has: r=, l=, c= with p n u m k"));
    auto* button = new QPushButton(simulated ? tr("Connect and measure") : tr("Measure"), this);
    button->setObjectName(widgetName(s, "Button"));
    button->setAutoDefault(false);
    auto* state = new QLabel(this);
    state->setObjectName(widgetName(s, "State"));
    grid->addWidget(caption, row, 0);
    grid->addWidget(value, row, 1);
    grid->addWidget(button, row, 2);
    grid->addWidget(state, row, 3);
    values_.push_back(value);
    buttons_.push_back(button);
    states_.push_back(state);
    connect(button, &QPushButton::clicked, this, [this, k] { measure(k); });
  }
  grid->setColumnStretch(0, 1);
  return grid;
}

int BridgeCalibrationDialog::standardsWidth(const QGridLayout* grid,
                                            const QMargins& margins) const {
  const auto& standards = calibrationStandards();
  // Wide enough, where the screen allows, for each standard's words on one line.
  QFont bold = font();
  bold.setBold(true);
  int words = 0;
  for (const CalibrationStandard& s : standards)
    words =
        std::max(words, QFontMetrics(bold).horizontalAdvance(QString::fromLatin1(s.name)) +
                            fontMetrics().horizontalAdvance(": " + QString::fromLatin1(s.what)));
  int stateWidth = 0;
  for (const QString& state : {tr("measuring..."), tr("measured"), tr("not measured")})
    stateWidth = std::max(stateWidth, fontMetrics().horizontalAdvance(state));
  return words + values_[0]->maximumWidth() + buttons_[0]->sizeHint().width() + stateWidth +
         3 * std::max(grid->horizontalSpacing(), 0) + margins.left() + margins.right() +
         fontMetrics().averageCharWidth() * 2;
}

QHBoxLayout* BridgeCalibrationDialog::buildProgressRow() {
  const ProgressRow row = progressRow(this, "bridgeCalibration", tr("Stop"));
  progress_ = row.progress;
  stop_ = row.stop;
  return row.layout;
}

QHBoxLayout* BridgeCalibrationDialog::buildBottomRow() {
  auto* bottom = new QHBoxLayout;
  previous_ = new QPushButton(tr("Previous calibration"), this);
  previous_->setObjectName("previousCalibrationButton");
  previous_->setAutoDefault(false);
  forget_ = new QPushButton(tr("Forget"), this);
  forget_->setObjectName("forgetCalibrationButton");
  forget_->setAutoDefault(false);
  auto* close = new QPushButton(tr("Close"), this);
  close->setObjectName("bridgeCalibrationClose");
  bottom->addWidget(previous_);
  bottom->addWidget(forget_);
  bottom->addStretch(1);
  bottom->addWidget(close);
  connect(close, &QPushButton::clicked, this, &BridgeCalibrationDialog::reject);
  return bottom;
}

BridgeCalibrationDialog::~BridgeCalibrationDialog() {
  endPass();
  reconnectLoad();
}

void BridgeCalibrationDialog::endPass() {
  if (!runner_.running()) return;
  runner_.stop();
  // The generator off and every data line low, whenever the stop is reported.
  instrument_.switchOffAndIdle(hw::kBridgeSettle);
}

void BridgeCalibrationDialog::reconnectLoad() {
  if (!simulatorLoad_) return;
  if (sim::SimulatedInstrument* s = sim::findSimulator(instrument_.port()))
    s->connectLoad(*simulatorLoad_);
  simulatorLoad_.reset();
}

void BridgeCalibrationDialog::showState() {
  const bool busy = runner_.running();
  const bool sameSweep = run_.over(plan_.start, plan_.stop, plan_.points);
  for (size_t k = 0; k < buttons_.size(); ++k) {
    buttons_[k]->setEnabled(!busy);
    values_[k]->setEnabled(!busy);
    const bool measured = sameSweep && run_.standards[k].has_value();
    states_[k]->setText(measuring_ == k ? tr("measuring...")
                        : measured      ? tr("measured")
                                        : tr("not measured"));
  }
  stop_->setEnabled(busy);
  previous_->setEnabled(!busy);
  forget_->setEnabled(!busy);
  inUse_->setText(inUseText(folder_, instrument_));
}

void BridgeCalibrationDialog::measure(size_t standard) {
  if (runner_.running()) return;
  const CalibrationStandard& s = calibrationStandards()[standard];
  std::string why;
  const auto value =
      parseStandardValue(values_[standard]->text().toStdString(), s.nominal.open, &why);
  if (!value) {
    setResult(tr("The value of the %1 is not one: %2. Nothing was measured.")
                  .arg(QString::fromLatin1(s.name), q(why)));
    values_[standard]->setFocus();
    return;
  }
  if (sim::SimulatedInstrument* sim = sim::findSimulator(instrument_.port())) {
    if (!simulatorLoad_) simulatorLoad_ = sim->load().text;
    sim->connectLoad(s.simLoad);
  }
  measuring_ = standard;
  measuringValue_ = *value;
  average_.restart(passes_);
  passesDone_ = 0;
  channels_.forgetMeans();
  progress_->setValue(0);
  setResult(tr("Measuring the %1...").arg(s.name));
  startPass();
  showState();
}

void BridgeCalibrationDialog::startPass() {
  job_ = std::make_unique<PassJob>(instrument_, plan_, channels_, true);
  runner_.start(job_.get());
}

void BridgeCalibrationDialog::onPassFinished(bool completed) {
  job_.reset();
  // The passes averaged as bridge-calibrate --average averages them.
  if (completed) {
    if (passes_ > 1) averageChannels(average_, channels_, plan_.points + 1);
    if (++passesDone_ < passes_) return startPass();
  }
  // The generator off and every data line low between the standards.
  instrument_.switchOffAndIdle(hw::kBridgeSettle);
  const size_t standard = *measuring_;
  const CalibrationStandard& s = calibrationStandards()[standard];
  measuring_.reset();
  // Whole passes show whole; a stopped one starts again from nothing.
  progress_->setValue(completed ? progress_->maximum() : 0);
  if (!completed) {
    setResult(tr("Stopped: what the %1 read is not kept.").arg(s.name));
    showState();
    return;
  }
  MeasuredStandard measured;
  measured.value = *measuringValue_;
  measured.passes = passes_;
  measured.readings = standardReadings(channels_, plan_.points);
  setResult(keepMeasured(standard, measured));
  showState();
}

QString BridgeCalibrationDialog::keepMeasured(size_t standard, const MeasuredStandard& measured) {
  const CalibrationStandard& s = calibrationStandards()[standard];
  // The standard joins what the run's file holds now (another program may have
  // measured one meanwhile), under the settings folder's lock.
  std::optional<CalibrationResult> result;
  CalibrationKept kept;
  bool dropped = false;
  {
    const common::SettingsFolder::Hold hold(folder_);
    bool unreadable = false;
    run_ = calibrationRunIn(folder_, &unreadable);
    dropped = run_.take(standard, plan_.start, plan_.stop, plan_.points, measured);
    if (run_.missing().empty()) {
      QApplication::setOverrideCursor(Qt::WaitCursor);
      result = solveCalibration(run_, instrumentSetup(instrument_), stated_);
      QApplication::restoreOverrideCursor();
    }
    kept = keepCalibration(folder_, run_, result ? &*result : nullptr, unreadable);
  }
  QStringList text;
  if (dropped) text << tr("The standards measured over another sweep were dropped.");
  text << tr("The %1 is measured as %2.")
              .arg(QString::fromLatin1(s.name), q(standardValueText(measured.value)));
  const auto missing = run_.missing();
  if (!missing.empty()) {
    QStringList names;
    for (const std::string& n : missing) names << q(n);
    text << tr("Still to measure: %1.").arg(names.join(", "));
  }
  if (!kept.message.empty()) text << q(kept.message);
  if (result && kept.stored) {
    text << tr("Kept: the calibration of %1. The readings inside its span are corrected from "
               "now on. The largest errors left: directivity %2, tracking %3, source match %4, "
               "channel A's slope %5 counts per dB.")
                .arg(q(result->calibration->name()), small(result->directivityPmMax),
                     small(result->trackingPmMax), small(result->sourceMatchPmMax),
                     small(result->countsPerDbPmMax));
    run_ = {};
    calibrationChanged_();
  } else if (result && kept.ok) {
    // The readings stay in the run, so that the standard at fault can be
    // measured again alone; the calibration in use stays.
    text << q(result->fault) << tr("Nothing was stored: the calibration in use is kept.");
  }
  return text.join("\n\n");
}

void BridgeCalibrationDialog::usePrevious() {
  std::string why;
  if (!swapPreviousCalibration(folder_, &why)) {
    setResult(q(why));
    return;
  }
  calibrationChanged_();
  setResult(tr("The previous calibration is in use again; the one it replaced is kept as the "
               "previous one (Previous calibration again undoes this).") +
            (why.empty() ? QString() : "\n\n" + q(why)));
  showState();
}

void BridgeCalibrationDialog::forget() {
  std::string why;
  if (!forgetCalibration(folder_, &why)) {
    setResult(q(why));
    return;
  }
  run_ = {};
  calibrationChanged_();
  setResult(tr("Forgotten: the readings are uncorrected. The calibration is kept as the previous "
               "one (Previous calibration brings it back).") +
            (why.empty() ? QString() : "\n\n" + q(why)));
  showState();
}

void BridgeCalibrationDialog::setResult(const QString& text) { showResult(*this, *result_, text); }

void BridgeCalibrationDialog::reject() {
  endPass();
  reconnectLoad();
  QDialog::reject();
}

}  // namespace kolm::analyzer::ui
