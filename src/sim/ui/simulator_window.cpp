#include "sim/ui/simulator_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>
#include <cmath>

#include "common/text.h"
#include "common/ui/qt_text.h"
#include "common/ui/screen_fit.h"
#include "sim/connection.h"
#include "sim/sim_port.h"

namespace kolm::sim::ui {

namespace {

using common::ui::q;

// A frequency as its shortest exact text, the same in every language.
QString mhz(double value) { return q(common::shortestText(value)); }

struct Choice {
  const char* text;
  const char* what;
};

const Choice kDutChoices[] = {
    {"through", QT_TRANSLATE_NOOP("kolm", "a plain cable")},
    {"atten:10", QT_TRANSLATE_NOOP("kolm", "a 10 dB attenuator")},
    {"atten:60", QT_TRANSLATE_NOOP("kolm", "a 60 dB attenuator: the detector's -60 dBm point")},
    {"atten:90",
     QT_TRANSLATE_NOOP("kolm", "a 90 dB attenuator: below what the detector can resolve")},
    {"amp:25", QT_TRANSLATE_NOOP("kolm", "a 25 dB amplifier: beyond the top of the detector")},
    {"lowpass:fc=10,order=5", QT_TRANSLATE_NOOP("kolm", "a 10 MHz low-pass filter, 5th order")},
    {"lowpass:fc=30,order=7", QT_TRANSLATE_NOOP("kolm", "a 30 MHz low-pass filter, 7th order")},
    {"crystal:fs=10,r=20,c=20f,c0=5p,r0=50",
     QT_TRANSLATE_NOOP("kolm", "a 10 MHz crystal in a 50 ohm fixture")},
    {"crystal:fs=4.433619,r=40,c=15f,c0=4p,r0=12.5",
     QT_TRANSLATE_NOOP("kolm", "a 4.43 MHz crystal in a 12.5 ohm fixture")},
};

const Choice kLoadChoices[] = {
    {"r=50", QT_TRANSLATE_NOOP("kolm", "a matched 50 ohm load")},
    {"r=100", QT_TRANSLATE_NOOP("kolm", "100 ohm: SWR 2")},
    {"r=25", QT_TRANSLATE_NOOP("kolm", "25 ohm: SWR 2")},
    {"open", QT_TRANSLATE_NOOP("kolm", "nothing connected")},
    {"short", QT_TRANSLATE_NOOP("kolm", "a short circuit")},
    {"rlc:r=50,l=1u,c=253.3p", QT_TRANSLATE_NOOP("kolm", "an antenna resonant at 10 MHz")},
    {"rlc:r=35,l=2.2u,c=46.1p", QT_TRANSLATE_NOOP("kolm", "a short dipole resonant near 15.8 MHz")},
};

class SimulatorWindow : public QWidget {
 public:
  explicit SimulatorWindow(hw::ui::UiContext& context) : context_(context) {
    setObjectName("simulatorWindow");
    setWindowTitle(QCoreApplication::translate("kolm", "Simulator"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto* layout = new QVBoxLayout(this);

    status_ = new QLabel(this);
    status_->setObjectName("simStatus");
    status_->setWordWrap(true);
    layout->addWidget(status_);

    auto* dutBox = new QGroupBox(
        QCoreApplication::translate("kolm", "Between generator and detector (DUT)"), this);
    auto* dutLayout = new QVBoxLayout(dutBox);
    dut_ = makeCombo("dutText", kDutChoices, dutBox);
    dutLayout->addWidget(dut_);
    layout->addWidget(dutBox);

    auto* loadBox =
        new QGroupBox(QCoreApplication::translate("kolm", "On the bridge (load)"), this);
    auto* loadLayout = new QHBoxLayout(loadBox);
    load_ = makeCombo("loadText", kLoadChoices, loadBox);
    loadLayout->addWidget(load_, 1);
    auto* browse =
        new QPushButton(QCoreApplication::translate("kolm", "Touchstone file..."), loadBox);
    browse->setObjectName("browseS1p");
    loadLayout->addWidget(browse);
    layout->addWidget(loadBox);

    layout->addWidget(buildBoardBox());

    error_ = new QLabel(this);
    error_->setObjectName("simError");
    error_->setWordWrap(true);
    error_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    error_->setStyleSheet("QLabel { color: #b00000; font-weight: bold; }");
    error_->hide();
    layout->addWidget(error_);

    layout->addWidget(buildFormsBox(), 1);

    applied_label_ = new QLabel(this);
    applied_label_->setObjectName("simApplied");
    applied_label_->setWordWrap(true);
    applied_label_->setStyleSheet("QLabel { color: #006000; font-weight: bold; }");
    applied_label_->hide();
    layout->addWidget(applied_label_);

    monitor_ = new QLabel(this);
    monitor_->setObjectName("simMonitor");
    monitor_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    layout->addWidget(monitor_);

    layout->addLayout(buildButtons(browse));

    showKeptChoice();
    refreshStatus();
    refreshMonitor();
    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, [this] {
      followRunningChoice();
      refreshStatus();
      refreshMonitor();
    });
    timer->start(300);
    // The whole reference in view where the screen has room for it.
    common::ui::openAtSize(this, sizeHint());
  }

 private:
  // Apply and Close, and what applies or refreshes the choices.
  QHBoxLayout* buildButtons(QPushButton* browse) {
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto* apply = new QPushButton(QCoreApplication::translate("kolm", "Apply"), this);
    apply->setObjectName("applyButton");
    apply->setDefault(true);
    auto* close = new QPushButton(QCoreApplication::translate("kolm", "Close"), this);
    close->setObjectName("closeButton");
    buttons->addWidget(apply);
    buttons->addWidget(close);

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
    return buttons;
  }

  // The board's kind and, if it runs from a quartz of its own, that quartz.
  QGroupBox* buildBoardBox() {
    auto* boardBox = new QGroupBox(QCoreApplication::translate("kolm", "Board"), this);
    auto* boardLayout = new QHBoxLayout(boardBox);
    board_ = new QComboBox(boardBox);
    board_->setObjectName("boardChoice");
    board_->addItem("typical");
    board_->setItemData(0,
                        QCoreApplication::translate(
                            "kolm", "parts as they come: detector and bridge errors, noise"),
                        Qt::ToolTipRole);
    board_->addItem("ideal");
    board_->setItemData(1, QCoreApplication::translate("kolm", "the read-out laws exactly"),
                        Qt::ToolTipRole);
    board_->setToolTip(QCoreApplication::translate(
        "kolm",
        "typical: the parts' own errors and noise, so calibration matters;\n"
        "ideal: the laws the program reads with, exactly"));
    boardLayout->addWidget(board_);
    boardLayout->addSpacing(16);
    quartzApart_ = new QCheckBox(QCoreApplication::translate("kolm", "Own quartz, MHz:"), boardBox);
    quartzApart_->setObjectName("quartzApart");
    quartzApart_->setToolTip(QCoreApplication::translate(
        "kolm",
        "Unticked, the board's quartz is the one Parameters (dds.cfg) names.\n"
        "Ticked, the board runs from this quartz instead: a wrong setting to rehearse."));
    quartz_ = new QLineEdit(boardBox);
    quartz_->setObjectName("quartzText");
    quartz_->setFixedWidth(90);
    boardLayout->addWidget(quartzApart_);
    boardLayout->addWidget(quartz_);
    boardLayout->addStretch(1);
    return boardBox;
  }

  // The connections' forms, for reference.
  QGroupBox* buildFormsBox() {
    auto* formsBox = new QGroupBox(QCoreApplication::translate("kolm", "Forms"), this);
    auto* formsLayout = new QVBoxLayout(formsBox);
    // The reference scrolls on a small screen; the controls above and below stay in view.
    auto* formsScroll = new QScrollArea(formsBox);
    formsScroll->setObjectName("simFormsScroll");
    formsScroll->setFrameShape(QFrame::NoFrame);
    formsScroll->setWidgetResizable(true);
    auto* forms = new QLabel(q(connectionGrammar()));
    forms->setObjectName("simForms");
    forms->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    forms->setTextInteractionFlags(Qt::TextSelectableByMouse);
    formsScroll->setWidget(forms);
    // Scrolled up and down only: every line is read whole.
    formsScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    formsScroll->setMinimumSize(
        forms->sizeHint().width() + style()->pixelMetric(QStyle::PM_ScrollBarExtent),
        4 * forms->fontMetrics().height());
    formsLayout->addWidget(formsScroll);
    return formsBox;
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
      box->setItemData(box->count() - 1, QCoreApplication::translate("kolm", c.what),
                       Qt::ToolTipRole);
    }
    return box;
  }

  SimulatedInstrument* simulator() { return findSimulator(context_.instrument.port()); }
  // sim.cfg in the settings folder.
  std::filesystem::path keptFile() const { return context_.settings.file(kSimConfigFile); }

  // The choice kept in sim.cfg (as typed, usable or not), or what the running
  // simulator has, or the defaults.
  void showKeptChoice() {
    sim::SimulatorOptions shown;
    if (auto kept = readPortOptions(keptFile())) {
      shown = *kept;
    } else if (SimulatedInstrument* s = simulator()) {
      shown = runningChoice(*s);
    }
    show(shown);
    applied_ = shown;
    auto dut = parseDut(shown.dut);
    auto load = parseLoad(shown.load);
    auto quartz = parseQuartz(shown.quartz);
    std::string other = quartz.error;
    if (!parseBoard(shown.board))
      other += QCoreApplication::translate("kolm", "board '%1': typical or ideal")
                   .arg(q(shown.board))
                   .toStdString();
    if (!dut.ok() || !load.ok() || !other.empty()) {
      applied_ = {};  // what loadPortOptions falls back to for a bad part
      showError(QCoreApplication::translate(
                    "kolm",
                    "The kept choice cannot be used, the simulator has the default in its place:"),
                dut.error, load.error, other);
    }
    if (SimulatedInstrument* s = simulator()) applied_ = runningChoice(*s);
  }

  // A connection made from a prompt shows here, unless the boxes hold changes
  // of their own not applied yet.
  void followRunningChoice() {
    SimulatedInstrument* s = simulator();
    if (!s || pending()) return;
    const sim::SimulatorOptions running = runningChoice(*s);
    if (running.dut == applied_.dut && running.load == applied_.load) return;
    applied_.dut = running.dut;
    applied_.load = running.load;
    show(applied_);
  }

 public:
  static sim::SimulatorOptions runningChoice(const SimulatedInstrument& s) {
    const SimSettings& set = s.settings();
    return {s.dut().text, s.load().text, std::string(boardName(set.board)),
            set.quartzFollowsParams ? std::string() : common::shortestText(set.quartzMHz)};
  }

 private:
  void show(const sim::SimulatorOptions& o) {
    dut_->setEditText(q(o.dut));
    load_->setEditText(q(o.load));
    const int board = board_->findText(q(o.board).trimmed().toLower());
    board_->setCurrentIndex(board >= 0 ? board : 0);
    quartzApart_->setChecked(!QString::fromStdString(o.quartz).trimmed().isEmpty() &&
                             QString::fromStdString(o.quartz).trimmed() != "follow");
    quartz_->setText(quartzApart_->isChecked() ? q(o.quartz) : QString());
    quartz_->setEnabled(quartzApart_->isChecked());
  }

  sim::SimulatorOptions typed() const {
    return {dut_->currentText().trimmed().toStdString(),
            load_->currentText().trimmed().toStdString(), board_->currentText().toStdString(),
            quartzApart_->isChecked() ? quartz_->text().trimmed().toStdString() : std::string()};
  }

  bool pending() const {
    sim::SimulatorOptions t = typed();
    return t.dut != applied_.dut || t.load != applied_.load || t.board != applied_.board ||
           t.quartz != applied_.quartz;
  }

  void showError(const QString& lead, const std::string& dutError, const std::string& loadError,
                 const std::string& otherError = {}) {
    QString text = lead;
    for (const std::string* e : {&dutError, &loadError, &otherError})
      if (!e->empty()) text += "\n" + q(*e);
    error_->setText(text);
    error_->show();
    fitWrapped();
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
    sim::SimulatorOptions t = typed();
    auto dut = parseDut(t.dut);
    auto load = parseLoad(t.load);
    auto quartz = parseQuartz(t.quartz);
    if (!dut.ok() || !load.ok() || !quartz.ok()) {
      showError(QCoreApplication::translate("kolm", "Nothing was changed:"), dut.error, load.error,
                quartz.error);
      return false;
    }
    clearError();
    const bool running = simulator() != nullptr;
    if (SimulatedInstrument* s = simulator()) s->configure(t);
    applied_ = t;
    // Apply says what is now connected.
    applied_label_->setText(
        (running ? QCoreApplication::translate(
                       "kolm", "Applied: now %1 between generator and detector, %2 on the bridge.")
                 : QCoreApplication::translate(
                       "kolm",
                       "Applied for when the simulator is chosen: %1 between generator and "
                       "detector, %2 on the bridge."))
            .arg(q(t.dut), q(t.load)) +
        " " +
        (t.quartz.empty() ? QCoreApplication::translate("kolm", "Board: %1.").arg(q(t.board))
                          : QCoreApplication::translate("kolm", "Board: %1, its own quartz %2 MHz.")
                                .arg(q(t.board), q(t.quartz))));
    applied_label_->show();
    fitWrapped();
    std::string why;
    const common::SettingsFolder::Hold hold(context_.settings);
    if (!savePortOptions(t, keptFile(), context_.settings.keeper(), &why))
      showError(QCoreApplication::translate("kolm", "Connected, but not kept for the next run:"),
                why, "");
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
      text = QCoreApplication::translate("kolm", "The instrument in use is the simulator.");
    } else {
      text = QCoreApplication::translate(
                 "kolm",
                 "The instrument in use is the real port %1: these connections are kept for when "
                 "the simulator is chosen.")
                 .arg(q(port ? port->name() : std::string("none")));
    }
    if (pending()) text += " " + QCoreApplication::translate("kolm", "Changes not applied yet.");
    if (text == status_->text()) return;  // the timer asks again every 300 ms
    status_->setText(text);
    fitWrapped();
  }

  // Each wrapped line is given the height it takes at the window's narrowest,
  // so the window's minimum size keeps the reference below them in view (a
  // real port's name makes the status two or three lines long).
  void fitWrapped() {
    const QMargins m = layout()->contentsMargins();
    const int width = layout()->minimumSize().width() - m.left() - m.right();
    for (QLabel* label : {status_, error_, applied_label_})
      label->setMinimumHeight(label->text().isEmpty() ? 0 : label->heightForWidth(width));
  }

  void refreshMonitor() {
    SimulatedInstrument* s = simulator();
    if (!s) {
      monitor_->setText(QCoreApplication::translate("kolm", "Simulated DDS: not in use"));
      return;
    }
    QString clock = QCoreApplication::translate("kolm", "quartz %1 MHz").arg(mhz(s->quartzMHz()));
    if (s->multiplier() > 3) clock += QString(" x %1").arg(s->multiplier());
    const double said = context_.instrument.params.quartzMHz;
    if (s->quartzSetApart())
      clock +=
          QCoreApplication::translate("kolm", "; set apart: Parameters say %1 MHz").arg(mhz(said));
    else if (!s->settings().quartzFollowsParams || !(said > 0))
      clock += QCoreApplication::translate("kolm", "; its own");
    else
      clock += QCoreApplication::translate("kolm", "; as Parameters");
    QString line1 = QCoreApplication::translate("kolm", "Simulated DDS: clock %1 MHz (%2), output ")
                        .arg(mhz(s->systemClockMHz()), clock);
    line1 += s->outputOn() ? QString::number(s->outputMHz(), 'f', 6) + " MHz"
                           : QCoreApplication::translate("kolm", "off");
    QString level = std::isfinite(s->detectorDbm())
                        ? QString::number(s->detectorDbm(), 'f', 2) + " dBm"
                        : QCoreApplication::translate("kolm", "no signal");
    QString line2 =
        QCoreApplication::translate("kolm", "%1 board: Detector %2 (%3)   Bridge A %4, B %5")
            .arg(s->settings().board == Board::Ideal
                     ? QCoreApplication::translate("kolm", "Ideal")
                     : QCoreApplication::translate("kolm", "Typical"))
            .arg(s->detectorCounts())
            .arg(level)
            .arg(s->bridgeA())
            .arg(s->bridgeB());
    monitor_->setText(line1 + "\n" + line2);
  }

  hw::ui::UiContext& context_;
  QComboBox* dut_ = nullptr;
  QComboBox* load_ = nullptr;
  QComboBox* board_ = nullptr;
  QCheckBox* quartzApart_ = nullptr;
  QLineEdit* quartz_ = nullptr;
  QLabel* status_ = nullptr;
  QLabel* error_ = nullptr;
  QLabel* monitor_ = nullptr;
  QLabel* applied_label_ = nullptr;
  sim::SimulatorOptions applied_;
};

}  // namespace

QWidget* createSimulatorWindow(hw::ui::UiContext& context) { return new SimulatorWindow(context); }

QString connectOnSimulatorCaption() {
  return QCoreApplication::translate("kolm", "Connect it on the simulator");
}

std::string connectOnSimulator(hw::ui::UiContext& context, const std::string& dut) {
  SimulatedInstrument* s = findSimulator(context.instrument.port());
  if (!s)
    return QCoreApplication::translate("kolm",
                                       "The simulator is not in use: nothing was connected.")
        .toStdString();
  sim::SimulatorOptions options = SimulatorWindow::runningChoice(*s);
  options.dut = dut;
  if (const std::string problem = s->configure(options); !problem.empty()) return problem;
  std::string why;
  const common::SettingsFolder::Hold hold(context.settings);
  const bool kept = savePortOptions(options, context.settings.file(kSimConfigFile),
                                    context.settings.keeper(), &why);
  QString done = QCoreApplication::translate(
                     "kolm", "Connected on the simulator: %1 between generator and detector.")
                     .arg(q(dut));
  if (!kept)
    done += " " + QCoreApplication::translate("kolm", "Not kept for the next run: %1").arg(q(why));
  return done.toStdString();
}

}  // namespace kolm::sim::ui
