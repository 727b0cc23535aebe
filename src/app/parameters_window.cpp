#include "app/parameters_window.h"

#include <QDir>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/text.h"
#include "hw/params.h"
#include "hw/port_test.h"
#include "sim/sim_port.h"

namespace kolm::app {

namespace {
QString shortest(double v) { return QString::fromStdString(common::shortestText(v)); }
}  // namespace

ParametersWindow::ParametersWindow(common::ui::UiContext& context,
                                   std::function<void()> portChanged, QWidget* parent)
    : QDialog(parent), context_(context), portChanged_(std::move(portChanged)) {
  setObjectName("Parameters");
  setWindowTitle(tr("DDS_VFO & Power_Meter & Antenna_Analyzer Parameters"));

  auto* frame1 = new QGroupBox(tr("LPT Port Command Address"), this);
  frame1->setObjectName("Frame1");
  option9_ = new QRadioButton(tr("LPT1 : HEX378"), frame1);
  option9_->setObjectName("Option9");
  option10_ = new QRadioButton(tr("LPT2 : HEX278"), frame1);
  option10_->setObjectName("Option10");
  option11_ = new QRadioButton(tr("LPT3 : HEX3BC"), frame1);
  option11_->setObjectName("Option11");
  option9_->setChecked(true);
  auto* f1 = new QVBoxLayout(frame1);
  f1->addWidget(option9_);
  f1->addWidget(option10_);
  f1->addWidget(option11_);

  auto* frame2 = new QGroupBox(tr("RefClk Multiplier"), this);
  frame2->setObjectName("Frame2");
  auto* label5 = new QLabel(tr("Fr Quartz in MHz"), frame2);
  label5->setObjectName("Label5");
  text2_ = new QLineEdit(frame2);
  text2_->setObjectName("Text2");
  auto* label9 = new QLabel(tr("Multiply factor"), frame2);
  label9->setObjectName("Label9");
  hscroll1_ = new QScrollBar(Qt::Horizontal, frame2);
  hscroll1_->setObjectName("HScroll1");
  hscroll1_->setRange(0, 20);
  hscroll1_->setSingleStep(1);
  hscroll1_->setPageStep(4);
  hscroll1_->setMinimumWidth(160);
  label10_ = new QLabel(frame2);
  label10_->setObjectName("Label10");
  label10_->setMinimumWidth(30);
  auto* label6 = new QLabel(tr("ref Clock"), frame2);
  label6->setObjectName("Label6");
  label4_ = new QLabel(frame2);
  label4_->setObjectName("Label4");
  auto* f2 = new QGridLayout(frame2);
  f2->addWidget(label5, 0, 0);
  f2->addWidget(text2_, 0, 1, 1, 2);
  f2->addWidget(label9, 1, 0);
  f2->addWidget(hscroll1_, 1, 1);
  f2->addWidget(label10_, 1, 2);
  f2->addWidget(label6, 2, 0);
  f2->addWidget(label4_, 2, 1);
  auto* clockUnit = new QLabel(tr("MHz"), frame2);
  clockUnit->setObjectName("Label4Unit");
  f2->addWidget(clockUnit, 2, 2);

  auto* frame3 = new QGroupBox(tr("Port access"), this);
  frame3->setObjectName("FramePort");
  backend_ = new QComboBox(frame3);
  backend_->setObjectName("PortBackend");
  backend_->addItem("Simulated instrument (no hardware)", "sim");
#ifdef _WIN32
  backend_->addItem("Parallel port at the address above (inpout32 library)", "inpout32");
#else
  backend_->addItem("Parallel port at the address above (Linux ppdev)", "ppdev");
  for (const QString& dev : QDir("/dev").entryList({"parport*"}, QDir::System))
    backend_->addItem("Parallel port /dev/" + dev + " (Linux ppdev)", "ppdev:/dev/" + dev);
  backend_->addItem("Direct I/O at the address above (x86, needs root)", "direct");
#endif
  auto* portTest = new QPushButton(tr("Port test"), frame3);
  portTest->setObjectName("PortTest");
  portTest->setToolTip(
      tr("Checks that the port opens and that the detector and the bridge answer"));
  portReport_ = new QPlainTextEdit(frame3);
  portReport_->setObjectName("PortTestReport");
  portReport_->setReadOnly(true);
  portReport_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  portReport_->setMinimumHeight(portReport_->fontMetrics().lineSpacing() * 12);
  portReport_->hide();
  auto* f3 = new QGridLayout(frame3);
  f3->addWidget(backend_, 0, 0);
  f3->addWidget(portTest, 0, 1);
  f3->addWidget(portReport_, 1, 0, 1, 2);
  f3->setColumnStretch(0, 1);

  auto* command1 = new QPushButton(tr("OK"), this);
  command1->setObjectName("Command1");
  command1->setDefault(true);

  auto* layout = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  top->addWidget(frame1);
  top->addWidget(frame2, 1);
  layout->addLayout(top);
  layout->addWidget(frame3);
  layout->addWidget(command1, 0, Qt::AlignRight);

  connect(hscroll1_, &QScrollBar::valueChanged, this, &ParametersWindow::HScroll1_Change);
  connect(text2_, &QLineEdit::textChanged, this, &ParametersWindow::Text2_Change);
  connect(command1, &QPushButton::clicked, this, &ParametersWindow::Command1_Click);
  connect(portTest, &QPushButton::clicked, this, &ParametersWindow::PortTest_Click);
  load();
}

void ParametersWindow::load() {
  const hw::HardwareParams& p = context_.instrument.params;
  multiplier_ = p.RefClkMultiplier;
  quartz_ = p.QuartzMHz;
  clock_ = p.RefClkMHz;
  // A multiplier outside the bar's range is shown at the nearest end of it.
  const QSignalBlocker block(hscroll1_);
  hscroll1_->setValue(std::clamp(multiplier_, 0, 20));
  multiplier_ = hscroll1_->value();
  label10_->setText(QString::number(multiplier_));
  text2_->setText(shortest(quartz_));  // recomputes the clock copy
  clock_ = hw::systemClockMHz(multiplier_, quartz_);
  showClock();
  option9_->setChecked(true);
  option10_->setChecked(p.LptBase == hw::kLpt2);
  option11_->setChecked(p.LptBase == hw::kLpt3);
  int index = backend_->findData(QString::fromStdString(p.portBackend));
  if (index < 0) {
    backend_->addItem(QString::fromStdString(p.portBackend), QString::fromStdString(p.portBackend));
    index = backend_->count() - 1;
  }
  backend_->setCurrentIndex(index);
}

void ParametersWindow::HScroll1_Change(int value) {
  multiplier_ = value;
  clock_ = hw::systemClockMHz(multiplier_, quartz_);
  label10_->setText(QString::number(multiplier_));
  showClock();
}

void ParametersWindow::Text2_Change(const QString& text) {
  quartz_ = common::numericValue(text.toStdString());
  clock_ = hw::systemClockMHz(multiplier_, quartz_);
  showClock();
}

void ParametersWindow::showClock() { label4_->setText(shortest(clock_)); }

void ParametersWindow::Command1_Click() {
  hw::HardwareParams p = context_.instrument.params;
  p.RefClkMultiplier = static_cast<int16_t>(multiplier_);
  p.QuartzMHz = quartz_;
  p.RefClkMHz = clock_;
  p.LptBase = option10_->isChecked() ? hw::kLpt2 : option11_->isChecked() ? hw::kLpt3 : hw::kLpt1;
  p.portBackend = backend_->currentData().toString().toStdString();
  if (auto problem = hw::validateParameters(p)) {
    context_.prompter.message(*problem, common::Icon::Warning);
    return;
  }
  hw::HardwareParams& shared = context_.instrument.params;
  // A port that stopped working is opened again.
  bool portDiffers = shared.portBackend != p.portBackend || shared.LptBase != p.LptBase ||
                     context_.instrument.portFailed();
  shared = p;
  context_.instrument.refreshReachable();
  std::string error;
  if (!hw::WriteHardwareConfig(shared, "dds.cfg", &error))
    context_.prompter.message(
        "The parameters are in use but could not be saved in dds.cfg (" + error + ").",
        common::Icon::Warning);
  accept();
  if (portDiffers && portChanged_) portChanged_();
}

void ParametersWindow::PortTest_Click() {
  hw::HardwareParams p = context_.instrument.params;
  p.LptBase = option10_->isChecked() ? hw::kLpt2 : option11_->isChecked() ? hw::kLpt3 : hw::kLpt1;
  p.portBackend = backend_->currentData().toString().toStdString();
  hw::Instrument& instrument = context_.instrument;
  const hw::PortIo* inUse = instrument.port();
  hw::PortTestReport report;
  if (p.portBackend == instrument.params.portBackend && p.LptBase == instrument.params.LptBase &&
      inUse && inUse->name() != "null" && !instrument.portFailed()) {
    // The port in use is checked as it is: a second claim of it would be refused.
    report = hw::runPortTest(instrument, p.portBackend);
  } else {
    report = hw::portTest(p.portBackend, p, sim::loadPortOptions());
  }
  const std::string summary =
      report.passed() ? "The port and the instrument answer." : "The port test failed.";
  portReport_->setPlainText(QString::fromStdString(summary + "\n\n" + report.text()));
  portReport_->show();
}

}  // namespace kolm::app
