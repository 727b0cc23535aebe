#include "app/parameters_window.h"

#include <QDir>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/text.h"
#include "common/ui/number_field.h"
#include "hw/params.h"
#include "hw/port_test.h"
#include "sim/sim_port.h"
#include "sim/simulated_instrument.h"

namespace kolm::app {

namespace {
QString shortest(double v) { return QString::fromStdString(common::shortestText(v)); }
// Offered on a first start on the simulator: x 20 on its 20 MHz quartz, the
// 400 MHz clock the DDS is specified for.
constexpr int kSimulatedMultiplier = 20;
}  // namespace

ParametersWindow::ParametersWindow(hw::ui::UiContext& context, std::function<void()> portChanged,
                                   QWidget* parent)
    : QDialog(parent), context_(context), portChanged_(std::move(portChanged)) {
  setObjectName("parametersWindow");
  setWindowTitle(tr("DDS_VFO & Power_Meter & Antenna_Analyzer Parameters"));

  auto* portAddressGroup = new QGroupBox(tr("LPT Port Command Address"), this);
  portAddressGroup->setObjectName("portAddressGroup");
  lpt1Option_ = new QRadioButton(tr("LPT1 : HEX378"), portAddressGroup);
  lpt1Option_->setObjectName("lpt1Option");
  lpt2Option_ = new QRadioButton(tr("LPT2 : HEX278"), portAddressGroup);
  lpt2Option_->setObjectName("lpt2Option");
  lpt3Option_ = new QRadioButton(tr("LPT3 : HEX3BC"), portAddressGroup);
  lpt3Option_->setObjectName("lpt3Option");
  lpt1Option_->setChecked(true);
  auto* f1 = new QVBoxLayout(portAddressGroup);
  f1->addWidget(lpt1Option_);
  f1->addWidget(lpt2Option_);
  f1->addWidget(lpt3Option_);

  QGroupBox* clockGroup = buildClockGroup();
  QGroupBox* portGroup = buildPortGroup();

  configProblem_ = new QLabel(this);
  configProblem_->setObjectName("configProblemLabel");
  configProblem_->setWordWrap(true);
  configProblem_->setStyleSheet("color: #b00000");
  configProblem_->hide();
  firstStartNote_ = new QLabel(this);
  firstStartNote_->setObjectName("firstStartNote");
  firstStartNote_->setWordWrap(true);
  firstStartNote_->hide();

  auto* okButton = new QPushButton(tr("OK"), this);
  okButton->setObjectName("okButton");
  okButton->setDefault(true);

  auto* layout = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  top->addWidget(portAddressGroup);
  top->addWidget(clockGroup, 1);
  layout->addLayout(top);
  layout->addWidget(portGroup);
  layout->addWidget(configProblem_);
  layout->addWidget(firstStartNote_);
  layout->addWidget(okButton, 0, Qt::AlignRight);

  connect(multiplierScroll_, &QScrollBar::valueChanged, this,
          &ParametersWindow::onMultiplierChanged);
  common::ui::makeNumberField(quartzEdit_);
  common::ui::makeNumberField(toleranceEdit_);
  connect(quartzEdit_, &QLineEdit::textChanged, this, &ParametersWindow::onQuartzChanged);
  connect(okButton, &QPushButton::clicked, this, &ParametersWindow::acceptParameters);
  load();
}

QGroupBox* ParametersWindow::buildClockGroup() {
  auto* clockGroup = new QGroupBox(tr("RefClk Multiplier"), this);
  clockGroup->setObjectName("clockGroup");
  auto* quartzLabel = new QLabel(tr("Fr Quartz in MHz"), clockGroup);
  quartzLabel->setObjectName("quartzLabel");
  quartzEdit_ = new QLineEdit(clockGroup);
  quartzEdit_->setObjectName("quartzEdit");
  auto* multiplierLabel = new QLabel(tr("Multiply factor"), clockGroup);
  multiplierLabel->setObjectName("multiplierLabel");
  multiplierScroll_ = new QScrollBar(Qt::Horizontal, clockGroup);
  multiplierScroll_->setObjectName("multiplierScroll");
  multiplierScroll_->setRange(0, 20);
  multiplierScroll_->setSingleStep(1);
  multiplierScroll_->setPageStep(4);
  // The arrow keys move it, right and up for more.
  multiplierScroll_->setFocusPolicy(Qt::StrongFocus);
  multiplierScroll_->setInvertedControls(false);
  multiplierScroll_->setMinimumWidth(160);
  multiplierValue_ = new QLabel(clockGroup);
  multiplierValue_->setObjectName("multiplierValue");
  multiplierValue_->setMinimumWidth(30);
  auto* clockLabel = new QLabel(tr("ref Clock"), clockGroup);
  clockLabel->setObjectName("clockLabel");
  clockValue_ = new QLabel(clockGroup);
  clockValue_->setObjectName("clockValue");
  auto* f2 = new QGridLayout(clockGroup);
  f2->addWidget(quartzLabel, 0, 0);
  f2->addWidget(quartzEdit_, 0, 1, 1, 2);
  f2->addWidget(multiplierLabel, 1, 0);
  f2->addWidget(multiplierScroll_, 1, 1);
  f2->addWidget(multiplierValue_, 1, 2);
  f2->addWidget(clockLabel, 2, 0);
  f2->addWidget(clockValue_, 2, 1);
  auto* clockUnit = new QLabel(tr("MHz"), clockGroup);
  clockUnit->setObjectName("clockUnit");
  f2->addWidget(clockUnit, 2, 2);
  // How far the clock may be off: every absolute crystal frequency carries it.
  auto* toleranceLabel = new QLabel(tr("Clock tolerance"), clockGroup);
  toleranceLabel->setObjectName("clockToleranceLabel");
  toleranceEdit_ = new QLineEdit(clockGroup);
  toleranceEdit_->setObjectName("clockToleranceEdit");
  toleranceEdit_->setToolTip(
      tr("How far the DDS clock may lie from its nominal frequency, in ppm (0 to %1): every "
         "crystal frequency measured carries it. A clock measured against a counter or a known "
         "crystal (kolm-cli clock) states its own.")
          .arg(hw::kMaxClockPpm));
  auto* toleranceUnit = new QLabel(tr("ppm"), clockGroup);
  toleranceUnit->setObjectName("clockToleranceUnit");
  offsetValue_ = new QLabel(clockGroup);
  offsetValue_->setObjectName("clockOffsetValue");
  offsetValue_->setWordWrap(true);
  f2->addWidget(toleranceLabel, 3, 0);
  f2->addWidget(toleranceEdit_, 3, 1);
  f2->addWidget(toleranceUnit, 3, 2);
  f2->addWidget(offsetValue_, 4, 0, 1, 3);
  return clockGroup;
}

QGroupBox* ParametersWindow::buildPortGroup() {
  auto* portGroup = new QGroupBox(tr("Port access"), this);
  portGroup->setObjectName("portGroup");
  backend_ = new QComboBox(portGroup);
  backend_->setObjectName("portBackendCombo");
  backend_->addItem("Simulated instrument (no hardware)", "sim");
#ifdef _WIN32
  backend_->addItem("Parallel port at the address above (inpout32 library)", "inpout32");
#else
  backend_->addItem("Parallel port at the address above (Linux ppdev)", "ppdev");
  for (const QString& dev : QDir("/dev").entryList({"parport*"}, QDir::System))
    backend_->addItem("Parallel port /dev/" + dev + " (Linux ppdev)", "ppdev:/dev/" + dev);
  backend_->addItem("Direct I/O at the address above (x86, needs root)", "direct");
#endif
  auto* portTest = new QPushButton(tr("Port test"), portGroup);
  portTest->setObjectName("portTestButton");
  portTest->setToolTip(
      tr("Checks that the port opens and that the detector and the bridge answer"));
  portReport_ = new QPlainTextEdit(portGroup);
  portReport_->setObjectName("portTestReport");
  portReport_->setReadOnly(true);
  portReport_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  portReport_->setMinimumHeight(portReport_->fontMetrics().lineSpacing() * 12);
  portReport_->hide();
  auto* f3 = new QGridLayout(portGroup);
  f3->addWidget(backend_, 0, 0);
  f3->addWidget(portTest, 0, 1);
  f3->addWidget(portReport_, 1, 0, 1, 2);
  f3->setColumnStretch(0, 1);
  connect(portTest, &QPushButton::clicked, this, &ParametersWindow::runPortTest);
  return portGroup;
}

void ParametersWindow::setFileProblem(const std::string& problem) {
  fileProblem_ = problem;
  load();
}

void ParametersWindow::load() {
  const hw::HardwareParams& p = context_.instrument.params;
  std::string problems = fileProblem_;
  if (auto wrong = hw::clockProblem(p)) problems += (problems.empty() ? "" : "\n") + *wrong;
  configProblem_->setText(QString::fromStdString(problems));
  configProblem_->setVisible(!problems.empty());
  multiplier_ = p.refClockMultiplier;
  quartz_ = p.quartzMHz;
  clock_ = p.refClockMHz;
  // No clock yet on the simulated instrument: its board's values are offered,
  // so that OK makes a working instrument.
  if (!(p.refClockMHz > 0) && p.portBackend == "sim") {
    multiplier_ = kSimulatedMultiplier;
    quartz_ = sim::SimSettings{}.quartzMHz;
    firstStartNote_->setText(
        tr("Filled in with the simulated board's values (%1 MHz x %2): OK makes it ready.")
            .arg(shortest(quartz_))
            .arg(multiplier_));
  }
  firstStartNote_->setVisible(!(p.refClockMHz > 0) && p.portBackend == "sim");
  // A multiplier outside the bar's range is shown at the nearest end of it.
  const QSignalBlocker block(multiplierScroll_);
  multiplierScroll_->setValue(std::clamp(multiplier_, 0, 20));
  multiplier_ = multiplierScroll_->value();
  multiplierValue_->setText(QString::number(multiplier_));
  quartzEdit_->setText(shortest(quartz_));  // recomputes the clock copy
  clock_ = hw::systemClockMHz(multiplier_, quartz_);
  showClock();
  toleranceEdit_->setText(shortest(p.clockTolerancePpm));
  offsetValue_->setText(
      p.clockOffsetPpm == 0
          ? QString()
          : tr("Measured: the clock runs %1 ppm off its nominal frequency (taken into account); "
               "a tolerance typed here replaces the measurement.")
                .arg(QString::fromStdString(common::shortestText(p.clockOffsetPpm, 6))));
  offsetValue_->setVisible(p.clockOffsetPpm != 0);
  lpt1Option_->setChecked(true);
  lpt2Option_->setChecked(p.portAddress == hw::kLpt2);
  lpt3Option_->setChecked(p.portAddress == hw::kLpt3);
  int index = backend_->findData(QString::fromStdString(p.portBackend));
  if (index < 0) {
    backend_->addItem(QString::fromStdString(p.portBackend), QString::fromStdString(p.portBackend));
    index = backend_->count() - 1;
  }
  backend_->setCurrentIndex(index);
}

void ParametersWindow::onMultiplierChanged(int value) {
  multiplier_ = value;
  clock_ = hw::systemClockMHz(multiplier_, quartz_);
  multiplierValue_->setText(QString::number(multiplier_));
  showClock();
}

void ParametersWindow::onQuartzChanged() {
  // A text that is not one number leaves the last quartz frequency (and clock).
  const auto typed = common::ui::numberIn(quartzEdit_);
  if (!typed) return;
  quartz_ = *typed;
  clock_ = hw::systemClockMHz(multiplier_, quartz_);
  showClock();
}

void ParametersWindow::showClock() { clockValue_->setText(shortest(clock_)); }

hw::HardwareParams ParametersWindow::typedParameters() const {
  hw::HardwareParams p = context_.instrument.params;
  p.refClockMultiplier = static_cast<int16_t>(multiplier_);
  p.quartzMHz = quartz_;
  p.refClockMHz = clock_;
  p.portAddress = lpt2Option_->isChecked()   ? hw::kLpt2
                  : lpt3Option_->isChecked() ? hw::kLpt3
                                             : hw::kLpt1;
  p.portBackend = backend_->currentData().toString().toStdString();
  // A tolerance typed anew states the clock: a measured offset gives way.
  if (const auto tolerance = common::ui::numberIn(toleranceEdit_);
      tolerance && *tolerance != p.clockTolerancePpm) {
    p.clockTolerancePpm = *tolerance;
    p.clockOffsetPpm = 0;
  }
  return p;
}

void ParametersWindow::acceptParameters() {
  if (const QString why = common::ui::numberProblem(quartzEdit_); !why.isEmpty()) {
    context_.prompter.message(why.toStdString(), common::Icon::Warning);
    return;
  }
  if (const QString why = common::ui::numberProblem(toleranceEdit_); !why.isEmpty()) {
    context_.prompter.message(why.toStdString(), common::Icon::Warning);
    return;
  }
  const hw::HardwareParams p = typedParameters();
  if (const std::string why = hw::clockPpmProblem(p.clockTolerancePpm, p.clockOffsetPpm);
      !why.empty()) {
    context_.prompter.message(why, common::Icon::Warning);
    return;
  }
  if (auto problem = hw::validateParameters(p)) {
    context_.prompter.message(*problem, common::Icon::Warning);
    return;
  }
  hw::HardwareParams& shared = context_.instrument.params;
  // A port that stopped working is opened again.
  bool portDiffers = shared.portBackend != p.portBackend || shared.portAddress != p.portAddress ||
                     context_.instrument.portFailed();
  shared = p;
  context_.instrument.refreshReachable();
  std::string error;
  const common::SettingsFolder::Hold hold(context_.settings);
  if (!hw::writeHardwareConfig(shared, context_.settings.file(hw::kHardwareConfigFile),
                               context_.settings.keeper(), &error))
    context_.prompter.message(
        "The parameters are in use but could not be saved in dds.cfg (" + error + ").",
        common::Icon::Warning);
  fileProblem_.clear();  // dds.cfg now holds what the window shows
  accept();
  if (portDiffers && portChanged_) portChanged_();
}

void ParametersWindow::runPortTest() {
  // The test uses what the window shows, accepted or not.
  const hw::HardwareParams p = typedParameters();
  hw::Instrument& instrument = context_.instrument;
  const hw::PortIo* inUse = instrument.port();
  hw::PortTestReport report;
  if (p.portBackend == instrument.params.portBackend &&
      p.portAddress == instrument.params.portAddress && inUse && inUse->name() != "null" &&
      !instrument.portFailed()) {
    // The port in use is checked as it is (a second claim of it would be
    // refused), with the typed clock for the test's duration.
    const hw::HardwareParams kept = instrument.params;
    instrument.params = p;
    report = hw::runPortTest(instrument, p.portBackend);
    instrument.params = kept;
  } else {
    const sim::SimulatorOptions simulator =
        sim::loadPortOptions(context_.settings.file(sim::kSimConfigFile));
    report = hw::portTest(p.portBackend, p, &simulator);
  }
  const std::string summary =
      report.passed() ? "The port and the instrument answer." : "The port test failed.";
  showPortReport(QString::fromStdString(summary + "\n\n" + report.text()));
}

void ParametersWindow::showPortReport(const QString& text) {
  portReport_->setPlainText(text);
  portReport_->show();
}

}  // namespace kolm::app
