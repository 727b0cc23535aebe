#include "sim/ui/simulator_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <cmath>

#include "common/text.h"
#include "sim/connection.h"
#include "sim/sim_port.h"

namespace kolm::sim::ui {

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

struct Choice {
  const char* text;
  const char* what;
};

const Choice kDutChoices[] = {
    {"through", "a plain cable"},
    {"atten:10", "a 10 dB attenuator"},
    {"atten:60", "a 60 dB attenuator: the detector's -60 dBm point"},
    {"atten:90", "a 90 dB attenuator: below what the detector can resolve"},
    {"amp:25", "a 25 dB amplifier: beyond the top of the detector"},
    {"lowpass:fc=10,order=5", "a 10 MHz low-pass filter, 5th order"},
    {"lowpass:fc=30,order=7", "a 30 MHz low-pass filter, 7th order"},
    {"crystal:fs=10,r=20,c=20f,c0=5p,r0=50", "a 10 MHz crystal in a 50 ohm fixture"},
    {"crystal:fs=4.433619,r=40,c=15f,c0=4p,r0=12.5", "a 4.43 MHz crystal in a 12.5 ohm fixture"},
};

const Choice kLoadChoices[] = {
    {"r=50", "a matched 50 ohm load"},
    {"r=100", "100 ohm: SWR 2"},
    {"r=25", "25 ohm: SWR 2"},
    {"open", "nothing connected"},
    {"short", "a short circuit"},
    {"rlc:r=50,l=1u,c=253.3p", "an antenna resonant at 10 MHz"},
    {"rlc:r=35,l=2.2u,c=46.1p", "a short dipole resonant near 15.8 MHz"},
};

const char* const kKeptFile = kSimConfigFile;

class SimulatorWindow : public QWidget {
 public:
  explicit SimulatorWindow(common::ui::UiContext& context) : context_(context) {
    setObjectName("Simulator");
    setWindowTitle(tr("Simulator"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto* layout = new QVBoxLayout(this);

    status_ = new QLabel(this);
    status_->setObjectName("SimStatus");
    status_->setWordWrap(true);
    layout->addWidget(status_);

    auto* dutBox = new QGroupBox(tr("Between generator and detector (DUT)"), this);
    auto* dutLayout = new QVBoxLayout(dutBox);
    dut_ = makeCombo("DutText", kDutChoices, dutBox);
    dutLayout->addWidget(dut_);
    layout->addWidget(dutBox);

    auto* loadBox = new QGroupBox(tr("On the bridge (load)"), this);
    auto* loadLayout = new QHBoxLayout(loadBox);
    load_ = makeCombo("LoadText", kLoadChoices, loadBox);
    loadLayout->addWidget(load_, 1);
    auto* browse = new QPushButton(tr("Touchstone file..."), loadBox);
    browse->setObjectName("BrowseS1p");
    loadLayout->addWidget(browse);
    layout->addWidget(loadBox);

    auto* boardBox = new QGroupBox(tr("Board"), this);
    auto* boardLayout = new QHBoxLayout(boardBox);
    board_ = new QComboBox(boardBox);
    board_->setObjectName("BoardChoice");
    board_->addItem("typical");
    board_->setItemData(0, tr("parts as they come: detector and bridge errors, noise"),
                        Qt::ToolTipRole);
    board_->addItem("ideal");
    board_->setItemData(1, tr("the read-out laws exactly"), Qt::ToolTipRole);
    board_->setToolTip(
        tr("typical: the parts' own errors and noise, so calibration matters;\n"
           "ideal: the laws the program reads with, exactly"));
    boardLayout->addWidget(board_);
    boardLayout->addSpacing(16);
    quartzApart_ = new QCheckBox(tr("Own quartz, MHz:"), boardBox);
    quartzApart_->setObjectName("QuartzApart");
    quartzApart_->setToolTip(
        tr("Unticked, the board's quartz is the one Parameters (dds.cfg) names.\n"
           "Ticked, the board runs from this quartz instead: a wrong setting to rehearse."));
    quartz_ = new QLineEdit(boardBox);
    quartz_->setObjectName("QuartzText");
    quartz_->setFixedWidth(90);
    boardLayout->addWidget(quartzApart_);
    boardLayout->addWidget(quartz_);
    boardLayout->addStretch(1);
    layout->addWidget(boardBox);

    error_ = new QLabel(this);
    error_->setObjectName("SimError");
    error_->setWordWrap(true);
    error_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    error_->setStyleSheet("QLabel { color: #b00000; font-weight: bold; }");
    error_->hide();
    layout->addWidget(error_);

    auto* formsBox = new QGroupBox(tr("Forms"), this);
    auto* formsLayout = new QVBoxLayout(formsBox);
    auto* forms = new QLabel(q(connectionGrammar()), formsBox);
    forms->setObjectName("SimForms");
    forms->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    forms->setTextInteractionFlags(Qt::TextSelectableByMouse);
    formsLayout->addWidget(forms);
    layout->addWidget(formsBox);

    monitor_ = new QLabel(this);
    monitor_->setObjectName("SimMonitor");
    monitor_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    layout->addWidget(monitor_);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto* apply = new QPushButton(tr("Apply"), this);
    apply->setObjectName("Apply");
    apply->setDefault(true);
    auto* close = new QPushButton(tr("Close"), this);
    close->setObjectName("Close");
    buttons->addWidget(apply);
    buttons->addWidget(close);
    layout->addLayout(buttons);

    connect(apply, &QPushButton::clicked, this, [this] { applyChoice(); });
    connect(close, &QPushButton::clicked, this, [this] { this->close(); });
    connect(browse, &QPushButton::clicked, this, [this] { chooseTouchstone(); });
    for (QComboBox* box : {dut_, load_}) {
      connect(box->lineEdit(), &QLineEdit::returnPressed, this, [this] { applyChoice(); });
      connect(box, &QComboBox::currentTextChanged, this, [this] { refreshStatus(); });
    }
    connect(board_, &QComboBox::currentTextChanged, this, [this] { refreshStatus(); });
    connect(quartzApart_, &QCheckBox::toggled, this, [this](bool on) {
      quartz_->setEnabled(on);
      refreshStatus();
    });
    connect(quartz_, &QLineEdit::textChanged, this, [this] { refreshStatus(); });
    connect(quartz_, &QLineEdit::returnPressed, this, [this] { applyChoice(); });

    showKeptChoice();
    refreshStatus();
    refreshMonitor();
    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, [this] {
      refreshStatus();
      refreshMonitor();
    });
    timer->start(300);
  }

 protected:
  void closeEvent(QCloseEvent* event) override {
    if (pending() &&
        !context_.prompter.confirm("The changed connections have not been applied. Close the "
                                   "Simulator window and drop them?")) {
      event->ignore();
      return;
    }
    event->accept();
  }

 private:
  template <size_t N>
  QComboBox* makeCombo(const char* name, const Choice (&choices)[N], QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setMinimumContentsLength(36);
    for (const Choice& c : choices) {
      box->addItem(QString::fromUtf8(c.text));
      box->setItemData(box->count() - 1, tr(c.what), Qt::ToolTipRole);
    }
    return box;
  }

  SimulatedInstrument* simulator() { return findSimulator(context_.instrument.port()); }

  // The choice kept in sim.cfg (as typed, usable or not), or what the running
  // simulator has, or the defaults.
  void showKeptChoice() {
    hw::PortOptions shown;
    if (auto kept = readPortOptions(kKeptFile)) {
      shown = *kept;
    } else if (SimulatedInstrument* s = simulator()) {
      shown = runningChoice(*s);
    }
    show(shown);
    applied_ = shown;
    auto dut = parseDut(shown.simDut);
    auto load = parseLoad(shown.simLoad);
    auto quartz = parseQuartz(shown.simQuartz);
    std::string other = quartz.error;
    if (!parseBoard(shown.simBoard)) other += "board '" + shown.simBoard + "': typical or ideal";
    if (!dut.ok() || !load.ok() || !other.empty()) {
      applied_ = {};  // what loadPortOptions falls back to for a bad part
      showError(tr("The kept choice cannot be used, the simulator has the default in its place:"),
                dut.error, load.error, other);
    }
    if (SimulatedInstrument* s = simulator()) applied_ = runningChoice(*s);
  }

  static hw::PortOptions runningChoice(const SimulatedInstrument& s) {
    const SimSettings& set = s.settings();
    return {s.dut().text, s.load().text, std::string(boardName(set.board)),
            set.quartzFollowsParams ? std::string() : common::shortestText(set.quartzMHz)};
  }

  void show(const hw::PortOptions& o) {
    dut_->setEditText(q(o.simDut));
    load_->setEditText(q(o.simLoad));
    const int board = board_->findText(q(o.simBoard).trimmed().toLower());
    board_->setCurrentIndex(board >= 0 ? board : 0);
    quartzApart_->setChecked(!QString::fromStdString(o.simQuartz).trimmed().isEmpty() &&
                             QString::fromStdString(o.simQuartz).trimmed() != "follow");
    quartz_->setText(quartzApart_->isChecked() ? q(o.simQuartz) : QString());
    quartz_->setEnabled(quartzApart_->isChecked());
  }

  hw::PortOptions typed() const {
    return {dut_->currentText().trimmed().toStdString(),
            load_->currentText().trimmed().toStdString(), board_->currentText().toStdString(),
            quartzApart_->isChecked() ? quartz_->text().trimmed().toStdString() : std::string()};
  }

  bool pending() const {
    hw::PortOptions t = typed();
    return t.simDut != applied_.simDut || t.simLoad != applied_.simLoad ||
           t.simBoard != applied_.simBoard || t.simQuartz != applied_.simQuartz;
  }

  void showError(const QString& lead, const std::string& dutError, const std::string& loadError,
                 const std::string& otherError = {}) {
    QString text = lead;
    for (const std::string* e : {&dutError, &loadError, &otherError})
      if (!e->empty()) text += "\n" + q(*e);
    error_->setText(text);
    error_->show();
    markBad(dut_, !dutError.empty());
    markBad(load_, !loadError.empty());
    quartz_->setStyleSheet(otherError.empty() ? "" : "QLineEdit { background: #ffd8d8; }");
  }

  static void markBad(QComboBox* box, bool bad) {
    box->lineEdit()->setStyleSheet(bad ? "QLineEdit { background: #ffd8d8; }" : "");
  }

  void clearError() {
    error_->clear();
    error_->hide();
    markBad(dut_, false);
    markBad(load_, false);
    quartz_->setStyleSheet("");
  }

  // Checks both texts; when both are good connects them to the running simulator
  // and keeps them in sim.cfg. A bad text changes nothing and stays in its box.
  bool applyChoice() {
    hw::PortOptions t = typed();
    auto dut = parseDut(t.simDut);
    auto load = parseLoad(t.simLoad);
    auto quartz = parseQuartz(t.simQuartz);
    if (!dut.ok() || !load.ok() || !quartz.ok()) {
      showError(tr("Nothing was changed:"), dut.error, load.error, quartz.error);
      return false;
    }
    clearError();
    if (SimulatedInstrument* s = simulator()) s->configure(t);
    applied_ = t;
    std::string why;
    if (!savePortOptions(t, kKeptFile, &why))
      showError(tr("Connected, but not kept for the next run:"), why, "");
    refreshStatus();
    refreshMonitor();
    return true;
  }

  void chooseTouchstone() {
    std::string path =
        context_.prompter.openFileName("Touchstone file", "Touchstone one-port (*.s1p)|*.s1p");
    if (path.empty()) return;
    load_->setEditText(q("s1p:" + path));
  }

  void refreshStatus() {
    const hw::PortIo* port = context_.instrument.port();
    QString text;
    if (simulator()) {
      text = tr("The instrument in use is the simulator.");
    } else {
      text = tr("The instrument in use is the real port %1: these connections are kept for when "
                "the simulator is chosen.")
                 .arg(q(port ? port->name() : std::string("none")));
    }
    if (pending()) text += " " + tr("Changes not applied yet.");
    status_->setText(text);
  }

  void refreshMonitor() {
    SimulatedInstrument* s = simulator();
    if (!s) {
      monitor_->setText(tr("Simulated DDS: not in use"));
      return;
    }
    QString clock = tr("quartz %1 MHz").arg(s->quartzMHz());
    if (s->multiplier() > 3) clock += QString(" x %1").arg(s->multiplier());
    const double said = context_.instrument.params.QuartzMHz;
    if (s->quartzSetApart())
      clock += tr("; set apart: Parameters say %1 MHz").arg(said);
    else if (!s->settings().quartzFollowsParams || !(said > 0))
      clock += tr("; its own");
    else
      clock += tr("; as Parameters");
    QString line1 =
        tr("Simulated DDS: clock %1 MHz (%2), output ").arg(s->systemClockMHz()).arg(clock);
    line1 += s->outputOn() ? QString::number(s->outputMHz(), 'f', 6) + " MHz" : tr("off");
    QString level = std::isfinite(s->detectorDbm())
                        ? QString::number(s->detectorDbm(), 'f', 2) + " dBm"
                        : tr("no signal");
    QString line2 = tr("%1 board: detector %2 (%3)   bridge A %4, B %5")
                        .arg(s->settings().board == Board::Ideal ? tr("Ideal") : tr("Typical"))
                        .arg(s->detectorCounts())
                        .arg(level)
                        .arg(s->bridgeA())
                        .arg(s->bridgeB());
    monitor_->setText(line1 + "\n" + line2);
  }

  common::ui::UiContext& context_;
  QComboBox* dut_ = nullptr;
  QComboBox* load_ = nullptr;
  QComboBox* board_ = nullptr;
  QCheckBox* quartzApart_ = nullptr;
  QLineEdit* quartz_ = nullptr;
  QLabel* status_ = nullptr;
  QLabel* error_ = nullptr;
  QLabel* monitor_ = nullptr;
  hw::PortOptions applied_;
};

}  // namespace

QWidget* createSimulatorWindow(common::ui::UiContext& context) {
  return new SimulatorWindow(context);
}

}  // namespace kolm::sim::ui
