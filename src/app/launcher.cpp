#include "app/launcher.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "analyzer/ui/analyzer_window.h"
#include "common/settings_change.h"
#include "common/settings_file.h"
#include "common/tr.h"
#include "common/ui/about_box.h"
#include "common/ui/language.h"
#include "common/ui/recent_files.h"
#include "hw/port_factory.h"
#include "hw/port_test.h"
#include "powermeter/ui/power_meter_window.h"
#include "sim/sim_port.h"
#include "sim/ui/sim_banner.h"
#include "sim/ui/simulator_window.h"
#include "vfo/ui/vfo_window.h"

namespace kolm::app {

namespace {

// Pictures for the instrument buttons, drawn rather than shipped.
QIcon drawIcon(int kind) {
  QPixmap pm(40, 40);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setBrush(QColor(20, 30, 50));
  p.setPen(QPen(QColor(120, 140, 170), 1.5));
  p.drawRoundedRect(QRectF(1.5, 1.5, 37, 37), 6, 6);
  QPen trace(QColor(80, 220, 255), 2.2);
  p.setPen(trace);
  p.setBrush(Qt::NoBrush);
  if (kind == 0) {  // an oscillator: a sine
    QPainterPath path;
    for (int x = 0; x <= 30; ++x) {
      double y = 20 - 10 * std::sin(x / 30.0 * 4 * M_PI);
      if (x == 0)
        path.moveTo(5 + x, y);
      else
        path.lineTo(5 + x, y);
    }
    p.drawPath(path);
  } else if (kind == 1) {  // a swept response with a peak
    QPainterPath path;
    for (int x = 0; x <= 30; ++x) {
      double d = (x - 15) / 4.0;
      double y = 32 - 22 / (1 + d * d);
      if (x == 0)
        path.moveTo(5 + x, y);
      else
        path.lineTo(5 + x, y);
    }
    p.drawPath(path);
  } else {  // an antenna mast with elements
    p.drawLine(QPointF(20, 8), QPointF(20, 34));
    for (int i = 0; i < 3; ++i) {
      double y = 10 + i * 7;
      double w = 14 - i * 3;
      p.drawLine(QPointF(20 - w, y), QPointF(20 + w, y));
    }
  }
  return QIcon(pm);
}

QPushButton* makeButton(const QString& name, const QString& caption, const QString& tip,
                        QWidget* parent) {
  auto* b = new QPushButton(caption, parent);
  b->setObjectName(name);
  b->setToolTip(tip);
  b->setMinimumHeight(52);
  b->setIconSize(QSize(40, 40));
  QFont f = b->font();
  f.setPointSize(f.pointSize() + 2);
  f.setBold(true);
  b->setFont(f);
  return b;
}

}  // namespace

Launcher::Launcher(hw::ui::UiContext& context, QWidget* parent)
    : QMainWindow(parent), context_(context) {
  portOpener = [this](const std::string& backend, int32_t lptBase) {
    const sim::SimulatorOptions simulator =
        sim::loadPortOptions(context_.settings.file(sim::kSimConfigFile));
    return hw::openPort(backend, lptBase, &simulator);
  };
  setObjectName("mainMenu");
  setWindowTitle(tr("MULTIFUNCTIONS INSTRUMENT"));
  context_.showParameters = [this](QWidget* owner) { showParameters(owner); };

  context_.exitProgram = [this] { exitProgram(); };
  auto* about = menuBar()->addAction(tr("About_KOLM"));
  about->setObjectName("aboutMenu");
  about->setShortcut(QKeySequence(Qt::Key_F1));
  connect(about, &QAction::triggered, this,
          [this] { context_.aboutBoxes.show(common::ui::AboutKind::Kolm); });
  auto* params = menuBar()->addAction(tr("Parameters"));
  params->setObjectName("parametersAction");
  connect(params, &QAction::triggered, this, [this] { showParameters(); });
  auto* simulatorMenu = menuBar()->addAction(tr("Simulator"));
  // The language of the texts, kept for the next start.
  auto* language = menuBar()->addMenu(tr("Language"));
  language->setObjectName("languageMenu");
  auto* languages = new QActionGroup(language);
  for (auto [name, choice] : {std::pair{tr("Original texts"), common::ui::Language::Original},
                              std::pair{tr("English"), common::ui::Language::English}}) {
    QAction* a = language->addAction(name);
    a->setObjectName(choice == common::ui::Language::English ? "languageEnglish"
                                                             : "languageOriginal");
    a->setCheckable(true);
    a->setChecked(common::ui::installedLanguage() == choice);
    languages->addAction(a);
    connect(a, &QAction::triggered, this, [this, lang = choice] { chooseLanguage(lang); });
  }
  simulatorMenu->setObjectName("simulatorMenu");
  connect(simulatorMenu, &QAction::triggered, this, [this] { openSimulator(); });

  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(24, 12, 24, 18);
  layout->setSpacing(10);
  layout->addWidget(sim::ui::makeSimBanner(context_, central));
  auto* titleLabel = new QLabel(tr("KOLM MAIN MENU"), central);
  titleLabel->setObjectName("titleLabel");
  titleLabel->setAlignment(Qt::AlignCenter);
  QFont mono("Lucida Console");
  mono.setStyleHint(QFont::Monospace);
  mono.setPointSize(18);
  mono.setBold(true);
  titleLabel->setFont(mono);
  layout->addWidget(titleLabel);

  auto* vfoButton = makeButton("vfoButton", tr("DIGITAL VFO"), tr("Launch Digital VFO"), central);
  vfoButton->setIcon(drawIcon(0));
  auto* powerMeterButton =
      makeButton("powerMeterButton", tr("Power Meter"), tr("Launch Power Meter"), central);
  powerMeterButton->setIcon(drawIcon(1));
  auto* analyzerButton =
      makeButton("analyzerButton", tr("Antenna Analyzer"), tr("Launch Antenna Analyzer"), central);
  analyzerButton->setIcon(drawIcon(2));
  auto* exitButton = makeButton("exitButton", tr("EXIT PROGRAM"), tr("Exit from Program"), central);
  for (auto* b : {vfoButton, powerMeterButton, analyzerButton, exitButton}) layout->addWidget(b);
  // Ctrl+Q ends the program from the launcher as from every instrument window.
  auto* exitAction = new QAction(this);
  exitAction->setObjectName("exitProgram");
  exitAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
  connect(exitAction, &QAction::triggered, this, &Launcher::exitProgram);
  addAction(exitAction);
  setCentralWidget(central);
  resize(380, 380);

  connect(vfoButton, &QPushButton::clicked, this, [this] { openVfo(); });
  connect(powerMeterButton, &QPushButton::clicked, this, [this] { openPowerMeter(); });
  connect(analyzerButton, &QPushButton::clicked, this, [this] { openAnalyzer(); });
  connect(exitButton, &QPushButton::clicked, this, &Launcher::exitProgram);
}

void Launcher::load(const hw::SecondsTimer& timer) {
  hw::calibrateDelayLoop(context_.instrument, timer);
  std::string problem;
  const auto hardwareFile = context_.settings.file(hw::kHardwareConfigFile);
  hw::readHardwareConfig(context_.instrument.params, hardwareFile, &problem);
  // Parameters says why dds.cfg was not used (it opens: the clock is unset).
  hardwareMessage_ = context_.settings.keeper().keep(hardwareFile, problem).message;
  checkSettingsFiles();
  if (exiting_) return;  // stopped while a message was open: nothing more is opened
  openConfiguredPort();
  sim::ui::refreshSimBanners(this);
  adjustSize();
  resize(size().expandedTo(QSize(380, 380)));
  if (context_.instrument.params.refClockMHz == 0) showParameters();
}

void Launcher::checkSettingsFiles() {
  std::string told;
  // A folder that cannot be written is said now, with what will not be kept;
  // saves that then fail are not said again, and never hold an exit up.
  if (std::string why = common::settingsFolderProblem(context_.settings); !why.empty()) {
    told += common::arg(KOLM_TR("kolm",
                                "The settings folder '%1' cannot be written (%2). Calibrations, "
                                "memories, band buttons and settings changed in this session "
                                "will not be kept."),
                        {context_.settings.path().string(), why}) +
            "\n";
    context_.settings.setUnwritable(std::move(why));
  }
  auto keep = [&](const std::filesystem::path& file, const std::string& problem) {
    const auto kept = context_.settings.keeper().keep(file, problem);
    if (!kept.message.empty()) told += kept.message + "\n";
  };
  std::string problem;
  const auto simFile = context_.settings.file(sim::kSimConfigFile);
  sim::readPortOptions(simFile, &problem);
  keep(simFile, problem);
  const QSettings ui = common::ui::uiSettings(context_.settings);
  if (ui.status() != QSettings::NoError)
    keep(context_.settings.file(common::ui::kUiSettingsFile),
         tr("it is not in the form of an INI file").toStdString());
  if (!told.empty()) context_.prompter.message(told, common::Icon::Warning);
}

void Launcher::openConfiguredPort() {
  hw::Instrument& instrument = context_.instrument;
  const std::string backend = instrument.params.portBackend;
  auto opened = portOpener(backend, instrument.params.portAddress);
  const bool failed = !opened.port;
  instrument.setPort(std::move(opened.port));
  if (!failed) return;
  portReport_ = hw::openingFailed(backend, opened.error).text();
  showParameters();
}

QWidget* Launcher::open(QPointer<QWidget>& slot, QWidget* (*create)(hw::ui::UiContext&),
                        const char* what) {
  if (!slot) {
    slot = create(context_);
    if (!slot) {
      context_.prompter.message(std::string("The ") + what + " is not available in this build.");
      return nullptr;
    }
  }
  slot->show();
  slot->raise();
  slot->activateWindow();
  return slot;
}

QWidget* Launcher::openVfo() { return open(vfo_, &vfo::ui::createVfoWindow, "digital VFO"); }

QWidget* Launcher::openPowerMeter() {
  QWidget* w = open(powerMeter_, &powermeter::ui::createPowerMeterWindow, "power meter");
  if (w) QMetaObject::invokeMethod(w, "redraw");
  return w;
}

QWidget* Launcher::openAnalyzer() {
  return open(analyzer_, &analyzer::ui::createAnalyzerWindow, "antenna analyzer");
}

QWidget* Launcher::openSimulator() {
  return open(simulator_, &sim::ui::createSimulatorWindow, "simulator panel");
}

void Launcher::showParameters(QWidget* modalOwner) {
  if (!parameters_) {
    parameters_ = new ParametersWindow(context_, [this] { openConfiguredPort(); });
    parameters_->setAttribute(Qt::WA_DeleteOnClose);
    parameters_->setFileProblem(hardwareMessage_);
    hardwareMessage_.clear();  // told once
    parameters_->adjustSize();
    parameters_->move(x() + width() + 16, y());
  } else {
    parameters_->load();
  }
  if (!portReport_.empty()) {
    parameters_->showPortReport(
        tr("The port could not be opened; nothing is sent to the instrument until a port that "
           "opens is chosen here (or the simulated instrument).") +
        "\n\n" + QString::fromStdString(portReport_));
    portReport_.clear();  // told once
  }
  if (modalOwner) {
    parameters_->setWindowModality(Qt::ApplicationModal);
    parameters_->exec();
    return;
  }
  parameters_->setWindowModality(Qt::NonModal);
  parameters_->show();
  parameters_->raise();
  parameters_->activateWindow();
}

void Launcher::closeInstrumentWindows() {
  for (QPointer<QWidget>* w : {&vfo_, &powerMeter_, &analyzer_, &simulator_})
    if (*w) (*w)->close();
  if (parameters_) parameters_->close();
}

void Launcher::chooseLanguage(common::ui::Language language) {
  common::ui::rememberLanguage(language, context_.settings);
  if (language == common::ui::installedLanguage()) return;
  // Windows build their texts when they open: the new language shows fully
  // from the next start.
  context_.prompter.message(
      tr("The language is kept and takes effect when the program is started again.").toStdString(),
      common::Icon::Information);
}

void Launcher::exitProgram() { close(); }

void Launcher::closeEvent(QCloseEvent* event) {
  event->accept();
  if (exiting_) return;
  exiting_ = true;
  closeInstrumentWindows();
  QApplication::exit(0);
}

}  // namespace kolm::app
