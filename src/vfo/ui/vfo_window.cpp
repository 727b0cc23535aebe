#include "vfo/ui/vfo_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QStyle>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <array>
#include <optional>

#include "common/text.h"
#include "common/ui/about_box.h"
#include "common/ui/number_field.h"
#include "sim/ui/sim_banner.h"
#include "vfo/vfo.h"

namespace kolm::vfo::ui {

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }
std::string s(const QString& q) { return q.toStdString(); }

// The program's own texts in the chosen language.
QString text(const char* source) { return QCoreApplication::translate("kolm", source); }

const char* const kBandTip = QT_TRANSLATE_NOOP(
    "kolm",
    "Left button=Transfer  frequency in to  display; Right button capture frequency from display");

// What one step button moves by, for its tooltip.
QString stepName(int index) {
  static const char* const names[] = {"1 Hz",    "10 Hz", "100 Hz", "1 kHz",  "10 kHz",
                                      "100 kHz", "1 MHz", "10 MHz", "100 MHz"};
  return names[index];
}

class VfoWindow : public QMainWindow {
 public:
  explicit VfoWindow(hw::ui::UiContext& context);

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void buildMenus();
  QWidget* buildDisplay(QWidget* parent);
  QWidget* buildSteps(QWidget* parent);
  QWidget* buildModeAndIf(QWidget* parent);
  QWidget* buildMemories(QWidget* parent);
  QWidget* buildBandButtons(QWidget* parent);
  void showSettings();
  void showFrequencies();
  void showMemories();
  void alignSteps();
  // Tunes by one step of button `index` (0..8) up or down, and remembers it as
  // the step of the arrow keys.
  void stepBy(int index, int notches);
  // The step of the digit under `x` (pixels in the working frequency), if any.
  std::optional<int> stepUnder(int x) const;

  hw::ui::UiContext& context_;
  Vfo vfo_;
  bool closed_ = false;

  QLabel* workingFrequencyLabel_ = nullptr;
  QLineEdit* outputFrequencyEdit_ = nullptr;
  QLineEdit* keyboardEdit_ = nullptr;
  QRadioButton* gen_ = nullptr;
  QRadioButton* rtx_ = nullptr;
  QRadioButton* rtx2_ = nullptr;
  QRadioButton* if1Option_ = nullptr;
  QRadioButton* if2Option_ = nullptr;
  QLineEdit* if1Edit_ = nullptr;
  QLineEdit* if2Edit_ = nullptr;
  QListWidget* memoryList_ = nullptr;
  QWidget* steps_ = nullptr;
  std::array<QPushButton*, kBandButtonCount> bandButtons_{};
  std::array<QPushButton*, 18> stepButtons_{};
  int lastStep_ = 3;  // 1 kHz until a step is used
  QLabel* status_ = nullptr;
};

VfoWindow::VfoWindow(hw::ui::UiContext& context)
    : context_(context), vfo_(context.instrument, context.prompter, context.settings) {
  setObjectName("vfo");
  setWindowTitle(QCoreApplication::translate("kolm", "Digital VFO"));
  setAttribute(Qt::WA_DeleteOnClose);
  buildMenus();

  auto* central = new QWidget(this);
  auto* outer = new QVBoxLayout(central);
  outer->setContentsMargins(10, 4, 10, 6);
  outer->setSpacing(4);
  outer->addWidget(sim::ui::makeSimBanner(context_, central));

  auto* titleLabel = new QLabel(QCoreApplication::translate("kolm", "DIGITAL VFO"), central);
  titleLabel->setObjectName("titleLabel");
  titleLabel->setAlignment(Qt::AlignCenter);
  QFont title("Lucida Console");
  title.setStyleHint(QFont::Monospace);
  title.setPointSize(16);
  title.setBold(true);
  titleLabel->setFont(title);
  outer->addWidget(titleLabel);

  // Display and tuning on the left, mode and IF on the right.
  auto* top = new QHBoxLayout;
  auto* tuning = new QVBoxLayout;
  tuning->addWidget(buildDisplay(central));
  auto* stepsRow = new QHBoxLayout;
  steps_ = buildSteps(central);
  stepsRow->addStretch();
  stepsRow->addWidget(steps_);
  stepsRow->addStretch();
  tuning->addLayout(stepsRow);
  auto* keyboard = new QHBoxLayout;
  auto* keyboardLabel =
      new QLabel(QCoreApplication::translate("kolm", "Keyboard input in MHz"), central);
  keyboardLabel->setObjectName("keyboardLabel");
  keyboardEdit_ = new QLineEdit(central);
  keyboardEdit_->setObjectName("keyboardEdit");
  keyboardEdit_->setMaximumWidth(160);
  QFont entry = keyboardEdit_->font();
  entry.setPointSize(entry.pointSize() + 3);
  keyboardEdit_->setFont(entry);
  keyboard->addWidget(keyboardLabel);
  keyboard->addWidget(keyboardEdit_);
  keyboard->addStretch();
  tuning->addLayout(keyboard);
  top->addLayout(tuning, 1);
  top->addWidget(buildModeAndIf(central));
  outer->addLayout(top);

  auto* bottom = new QHBoxLayout;
  bottom->addWidget(buildMemories(central), 2);
  bottom->addWidget(buildBandButtons(central), 3);
  outer->addLayout(bottom, 1);
  setCentralWidget(central);

  connect(keyboardEdit_, &QLineEdit::textChanged, this,
          [this](const QString& t) { vfo_.settings.keyboardText = s(t); });
  connect(keyboardEdit_, &QLineEdit::returnPressed, this, [this] {
    vfo_.settings.keyboardText = s(keyboardEdit_->text());
    // A text that is not one number tunes nothing; the status line says why.
    if (!common::ui::requireNumber(keyboardEdit_) || !vfo_.keyboardEnter()) return;
    status_->clear();
    showFrequencies();
  });

  // The status line, and the arrow keys tuning by the last step used.
  status_ = new QLabel(this);
  status_->setObjectName("statusLine");
  statusBar()->addWidget(status_, 1);
  for (QLineEdit* e : {keyboardEdit_, if1Edit_, if2Edit_}) common::ui::makeNumberField(e, status_);
  auto* up = new QAction(QCoreApplication::translate("kolm", "Tune up"), this);
  up->setObjectName("tuneUp");
  up->setShortcut(QKeySequence(Qt::Key_Up));
  connect(up, &QAction::triggered, this, [this] { stepBy(lastStep_, 1); });
  auto* down = new QAction(QCoreApplication::translate("kolm", "Tune down"), this);
  down->setObjectName("tuneDown");
  down->setShortcut(QKeySequence(Qt::Key_Down));
  connect(down, &QAction::triggered, this, [this] { stepBy(lastStep_, -1); });
  addActions({up, down});
  workingFrequencyLabel_->installEventFilter(this);
  workingFrequencyLabel_->setToolTip(QCoreApplication::translate(
      "kolm", "Wheel over a digit, or Up and Down: tune by that digit's step"));

  vfo_.open();
  showSettings();
  showFrequencies();
  showMemories();
}

void VfoWindow::stepBy(int index, int notches) {
  lastStep_ = index;
  for (int n = 0; n < std::abs(notches); ++n) {
    if (notches > 0)
      vfo_.stepUp(index);
    else
      vfo_.stepDown(index);
  }
  showFrequencies();
}

std::optional<int> VfoWindow::stepUnder(int x) const {
  const QString text = workingFrequencyLabel_->text();
  const QFontMetrics fm(workingFrequencyLabel_->font());
  const QRect r = workingFrequencyLabel_->contentsRect();
  int left = r.left() + (r.width() - fm.horizontalAdvance(text)) / 2;
  for (int i = 0; i < text.size(); ++i) {
    const int w = fm.horizontalAdvance(text.at(i));
    if (x >= left && x < left + w) return stepAtDigit(text.toStdString(), i);
    left += w;
  }
  return std::nullopt;
}

void VfoWindow::buildMenus() {
  auto* fileMenu = menuBar()->addMenu(QCoreApplication::translate("kolm", "End_Program"));
  fileMenu->setObjectName("fileMenu");
  auto* endProgram = fileMenu->addAction(QCoreApplication::translate("kolm", "Exit Digital VFO"));
  endProgram->setObjectName("endProgramAction");
  connect(endProgram, &QAction::triggered, this, [this] { close(); });
  hw::ui::addExitProgram(context_, fileMenu);

  // The hardware parameters, modeless: a new clock acts from the next send.
  auto* parameters = menuBar()->addAction(QCoreApplication::translate("kolm", "Parameters"));
  parameters->setObjectName("parametersAction");
  connect(parameters, &QAction::triggered, this, [this] { context_.showParameters(nullptr); });

  auto* about = menuBar()->addAction(QCoreApplication::translate("kolm", "About_VFO"));
  about->setObjectName("aboutVfo");
  about->setShortcut(QKeySequence(Qt::Key_F1));
  connect(about, &QAction::triggered, this,
          [this] { context_.aboutBoxes.show(common::ui::AboutKind::Vfo); });
}

QWidget* VfoWindow::buildDisplay(QWidget* parent) {
  auto* panel = new QFrame(parent);
  panel->setObjectName("displayPanel");
  panel->setFrameShape(QFrame::StyledPanel);
  panel->setStyleSheet(
      "#DisplayPanel { background: #10161c; border: 2px solid #3a4652; border-radius: 6px; }"
      "#DisplayPanel QLabel { color: #9fb3c4; background: transparent; }"
      "#DisplayPanel QLabel#workingFrequencyLabel { color: #ffc23a; }"
      "#outputFrequencyEdit { color: #62e38a; background: #0b0f13; border: 1px solid #3a4652; }");
  auto* grid = new QGridLayout(panel);
  grid->setContentsMargins(14, 6, 14, 8);
  grid->setHorizontalSpacing(12);

  auto* workingFrequencyCaption =
      new QLabel(QCoreApplication::translate("kolm", "Working Frequency"), panel);
  workingFrequencyCaption->setObjectName("workingFrequencyCaption");
  workingFrequencyLabel_ = new QLabel(QCoreApplication::translate("kolm", "000.000 000"), panel);
  workingFrequencyLabel_->setObjectName("workingFrequencyLabel");
  QFont digits("Arial");
  digits.setStyleHint(QFont::SansSerif);
  digits.setPointSize(38);
  digits.setBold(true);
  workingFrequencyLabel_->setFont(digits);
  auto* unit1 = new QLabel(QCoreApplication::translate("kolm", "MHz"), panel);
  QFont unitFont = unit1->font();
  unitFont.setPointSize(14);
  unitFont.setBold(true);
  unit1->setFont(unitFont);

  auto* outputFrequencyCaption =
      new QLabel(QCoreApplication::translate("kolm", "Freq Output"), panel);
  outputFrequencyCaption->setObjectName("outputFrequencyCaption");
  outputFrequencyEdit_ = new QLineEdit(panel);
  outputFrequencyEdit_->setObjectName("outputFrequencyEdit");
  outputFrequencyEdit_->setReadOnly(true);
  outputFrequencyEdit_->setFocusPolicy(Qt::NoFocus);
  outputFrequencyEdit_->setAlignment(Qt::AlignRight);
  QFont out("Arial");
  out.setStyleHint(QFont::SansSerif);
  out.setPointSize(18);
  out.setBold(true);
  outputFrequencyEdit_->setFont(out);
  outputFrequencyEdit_->setMaximumWidth(220);
  auto* unit2 = new QLabel(QCoreApplication::translate("kolm", "MHz"), panel);
  unit2->setFont(unitFont);

  // The digits stand centred over the three step frames below them: MHz, kHz, Hz.
  workingFrequencyLabel_->setAlignment(Qt::AlignCenter);
  grid->addWidget(workingFrequencyCaption, 0, 0);
  grid->addWidget(unit1, 0, 2, Qt::AlignRight);
  grid->addWidget(workingFrequencyLabel_, 1, 0, 1, 3);
  grid->addWidget(outputFrequencyCaption, 2, 0, Qt::AlignRight);
  grid->addWidget(outputFrequencyEdit_, 2, 1);
  grid->addWidget(unit2, 2, 2);
  grid->setColumnStretch(0, 1);
  return panel;
}

QWidget* VfoWindow::buildSteps(QWidget* parent) {
  auto* row = new QWidget(parent);
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  const char* stepGroupNames[] = {"mhzStepGroup", "khzStepGroup", "hzStepGroup"};
  const char* captions[] = {QT_TRANSLATE_NOOP("kolm", "Mhz"), QT_TRANSLATE_NOOP("kolm", "Khz"),
                            QT_TRANSLATE_NOOP("kolm", "Hz")};
  QFont big = row->font();
  big.setPointSize(big.pointSize() + 4);
  big.setBold(true);
  for (int f = 0; f < 3; ++f) {
    auto* frame = new QGroupBox(text(captions[f]), row);
    frame->setObjectName(stepGroupNames[f]);
    auto* grid = new QGridLayout(frame);
    grid->setContentsMargins(6, 4, 6, 6);
    grid->setSpacing(4);
    for (int col = 0; col < 3; ++col) {
      const int index = 8 - (f * 3 + col);  // left to right: 8 down to 0
      auto* up = new QPushButton(QCoreApplication::translate("kolm", "+"), frame);
      up->setObjectName(QString("stepUp%1").arg(index));
      up->setToolTip(QCoreApplication::translate("kolm", "Up ") + stepName(index));
      auto* down = new QPushButton(QCoreApplication::translate("kolm", "_"), frame);
      down->setObjectName(QString("stepDown%1").arg(index));
      down->setToolTip(QCoreApplication::translate("kolm", "Down ") + stepName(index));
      for (auto* b : {up, down}) {
        b->setFont(big);
        b->setMinimumSize(38, 30);
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoRepeat(true);
      }
      grid->addWidget(up, 0, col);
      grid->addWidget(down, 1, col);
      connect(up, &QPushButton::clicked, this, [this, index] { stepBy(index, 1); });
      connect(down, &QPushButton::clicked, this, [this, index] { stepBy(index, -1); });
      // The wheel over a step button tunes by its step.
      up->installEventFilter(this);
      down->installEventFilter(this);
      stepButtons_[static_cast<size_t>(2 * index)] = up;
      stepButtons_[static_cast<size_t>(2 * index + 1)] = down;
    }
    layout->addWidget(frame, 1);
  }
  return row;
}

QWidget* VfoWindow::buildModeAndIf(QWidget* parent) {
  auto* column = new QWidget(parent);
  auto* layout = new QVBoxLayout(column);
  layout->setContentsMargins(0, 0, 0, 0);

  auto* modeGroup = new QGroupBox(QCoreApplication::translate("kolm", "Mode"), column);
  modeGroup->setObjectName("modeGroup");
  auto* modes = new QVBoxLayout(modeGroup);
  rtx2_ = new QRadioButton(QCoreApplication::translate("kolm", "RTX2"), modeGroup);
  rtx2_->setObjectName("rtx2Option");
  gen_ = new QRadioButton(QCoreApplication::translate("kolm", "GEN"), modeGroup);
  gen_->setObjectName("generatorOption");
  rtx_ = new QRadioButton(QCoreApplication::translate("kolm", "RTX"), modeGroup);
  rtx_->setObjectName("rtxOption");
  for (auto* b : {rtx2_, gen_, rtx_}) modes->addWidget(b);
  connect(gen_, &QRadioButton::clicked, this, [this] {
    vfo_.setMode(Mode::GEN);
    showFrequencies();
  });
  connect(rtx_, &QRadioButton::clicked, this, [this] {
    vfo_.setMode(Mode::RTX);
    showFrequencies();
  });
  connect(rtx2_, &QRadioButton::clicked, this, [this] {
    vfo_.setMode(Mode::RTX2);
    showFrequencies();
  });

  auto* ifGroup = new QGroupBox(column);
  ifGroup->setObjectName("ifGroup");
  ifGroup->setToolTip(QCoreApplication::translate("kolm", "Intermediate frequency in MHz"));
  auto* ifs = new QGridLayout(ifGroup);
  if1Option_ = new QRadioButton(QCoreApplication::translate("kolm", "IF1"), ifGroup);
  if1Option_->setObjectName("if1Option");
  if2Option_ = new QRadioButton(QCoreApplication::translate("kolm", "IF2"), ifGroup);
  if2Option_->setObjectName("if2Option");
  if1Edit_ = new QLineEdit(ifGroup);
  if1Edit_->setObjectName("if1Edit");
  if2Edit_ = new QLineEdit(ifGroup);
  if2Edit_->setObjectName("if2Edit");
  for (auto* e : {if1Edit_, if2Edit_}) e->setMaximumWidth(90);
  ifs->addWidget(if1Option_, 0, 0);
  ifs->addWidget(if1Edit_, 0, 1);
  ifs->addWidget(if2Option_, 1, 0);
  ifs->addWidget(if2Edit_, 1, 1);
  connect(if1Option_, &QRadioButton::clicked, this, [this] {
    vfo_.setIfChoice(IfChoice::IF1);
    showFrequencies();
  });
  connect(if2Option_, &QRadioButton::clicked, this, [this] {
    vfo_.setIfChoice(IfChoice::IF2);
    showFrequencies();
  });
  // An edited IF acts from the next send; while its text is refused the last
  // accepted offset stays in use (and in radio.ini).
  connect(if1Edit_, &QLineEdit::textChanged, this,
          [this] { vfo_.settings.IF1 = s(common::ui::numberText(if1Edit_)); });
  connect(if2Edit_, &QLineEdit::textChanged, this,
          [this] { vfo_.settings.IF2 = s(common::ui::numberText(if2Edit_)); });
  // An IF box left with a new value is kept at once.
  for (auto* e : {if1Edit_, if2Edit_})
    connect(e, &QLineEdit::editingFinished, this, [this] { vfo_.saveSettings(); });
  // Enter in an IF box applies it at once.
  for (auto* e : {if1Edit_, if2Edit_})
    connect(e, &QLineEdit::returnPressed, this, [this, e] {
      if (!common::ui::requireNumber(e)) return;
      vfo_.sendFrequency();
      showFrequencies();
    });

  auto* ddsResetButton = new QPushButton(QCoreApplication::translate("kolm", "DDS Reset"), column);
  ddsResetButton->setObjectName("ddsResetButton");
  ddsResetButton->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
  ddsResetButton->setIconSize(QSize(24, 24));
  ddsResetButton->setMinimumHeight(40);
  connect(ddsResetButton, &QPushButton::clicked, this, [this] {
    vfo_.ddsReset();
    showFrequencies();
  });

  layout->addWidget(modeGroup);
  layout->addWidget(ifGroup);
  layout->addWidget(ddsResetButton);
  layout->addStretch();
  return column;
}

QWidget* VfoWindow::buildMemories(QWidget* parent) {
  auto* memoriesGroup =
      new QGroupBox(QCoreApplication::translate("kolm", "Stored frequencies in MHz"), parent);
  memoriesGroup->setObjectName("memoriesGroup");
  auto* layout = new QVBoxLayout(memoriesGroup);
  memoryList_ = new QListWidget(memoriesGroup);
  memoryList_->setObjectName("memoryList");
  QFont mono("Courier New");
  mono.setStyleHint(QFont::Monospace);
  mono.setPointSize(mono.pointSize() + 1);
  memoryList_->setFont(mono);
  layout->addWidget(memoryList_);
  connect(memoryList_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
    vfo_.recallMemory(memoryList_->row(item));
    showFrequencies();
  });

  auto* buttons = new QHBoxLayout;
  auto* addMemoryButton =
      new QPushButton(QCoreApplication::translate("kolm", "Freq Add "), memoriesGroup);
  addMemoryButton->setObjectName("addMemoryButton");
  addMemoryButton->setToolTip(QCoreApplication::translate("kolm", "Insert in memory from Display"));
  auto* deleteMemoryButton =
      new QPushButton(QCoreApplication::translate("kolm", "Freq Del."), memoriesGroup);
  deleteMemoryButton->setObjectName("deleteMemoryButton");
  deleteMemoryButton->setToolTip(
      QCoreApplication::translate("kolm", "Delete selected frequency from memory"));
  auto* clearMemoriesButton = new QPushButton(memoriesGroup);
  clearMemoriesButton->setObjectName("clearMemoriesButton");
  clearMemoriesButton->setToolTip(QCoreApplication::translate("kolm", "Clear all stored memories"));
  clearMemoriesButton->setIcon(style()->standardIcon(QStyle::SP_TrashIcon));
  clearMemoriesButton->setIconSize(QSize(20, 20));
  buttons->addWidget(addMemoryButton);
  buttons->addWidget(deleteMemoryButton);
  buttons->addWidget(clearMemoriesButton);
  layout->addLayout(buttons);

  connect(addMemoryButton, &QPushButton::clicked, this, [this] {
    vfo_.addMemory();
    showMemories();
  });
  connect(deleteMemoryButton, &QPushButton::clicked, this, [this] {
    const auto selected = memoryList_->selectedItems();
    if (vfo_.deleteMemory(selected.isEmpty() ? -1 : memoryList_->row(selected.first())))
      showMemories();
  });
  connect(clearMemoriesButton, &QPushButton::clicked, this, [this] {
    if (vfo_.clearMemories()) showMemories();
  });
  return memoriesGroup;
}

QWidget* VfoWindow::buildBandButtons(QWidget* parent) {
  auto* bandButtonsGroup =
      new QGroupBox(QCoreApplication::translate("kolm", "Frequencies Buttons"), parent);
  bandButtonsGroup->setObjectName("bandButtonsGroup");
  auto* grid = new QGridLayout(bandButtonsGroup);
  grid->setSpacing(6);
  for (int i = 0; i < kBandButtonCount; ++i) {
    auto* b = new QPushButton(text(kBandCaptions[i]), bandButtonsGroup);
    b->setObjectName(QString("bandButton%1").arg(i));
    b->setToolTip(text(kBandTip));
    b->setMinimumHeight(28);
    b->setFocusPolicy(Qt::NoFocus);
    b->installEventFilter(this);
    grid->addWidget(b, i / 4, i % 4);
    bandButtons_[static_cast<size_t>(i)] = b;
  }
  return bandButtonsGroup;
}

// Band buttons act on the mouse button going down: left recalls, right stores.
// The wheel tunes by the step of the digit or step button under the pointer.
bool VfoWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Wheel) {
    auto* wheel = static_cast<QWheelEvent*>(event);
    const int notches = wheel->angleDelta().y() / 120;
    std::optional<int> step;
    if (watched == workingFrequencyLabel_)
      step = stepUnder(static_cast<int>(wheel->position().x()));
    for (size_t b = 0; b < stepButtons_.size(); ++b)
      if (watched == stepButtons_[b]) step = static_cast<int>(b / 2);
    if (notches != 0 && (watched == workingFrequencyLabel_ || step)) {
      stepBy(step.value_or(lastStep_), notches);
      return true;
    }
  }
  if (event->type() == QEvent::MouseButtonPress) {
    for (int i = 0; i < kBandButtonCount; ++i) {
      if (watched != bandButtons_[static_cast<size_t>(i)]) continue;
      auto* mouse = static_cast<QMouseEvent*>(event);
      if (mouse->button() == Qt::LeftButton) {
        if (!vfo_.recallBand(i)) {
          // An empty button offers to be filled.
          QMenu menu(this);
          menu.addAction(QCoreApplication::translate("kolm", "Store the current frequency here"))
              ->setObjectName("storeBandHere");
          if (!menu.exec(mouse->globalPosition().toPoint())) return true;
          vfo_.storeBand(i);
        }
        status_->clear();
      } else if (mouse->button() == Qt::RightButton) {
        vfo_.storeBand(i);
        status_->setText(QCoreApplication::translate("kolm", "%1 holds %2 MHz.")
                             .arg(bandButtons_[static_cast<size_t>(i)]->text().simplified(),
                                  q(displayText(vfo_.settings.workingMHz))));
      } else {
        break;
      }
      showFrequencies();
      break;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void VfoWindow::showSettings() {
  const Settings& st = vfo_.settings;
  if1Edit_->setText(q(st.IF1));
  if2Edit_->setText(q(st.IF2));
  keyboardEdit_->setText(q(st.keyboardText));
  (st.ifChoice == IfChoice::IF1 ? if1Option_ : if2Option_)->setChecked(true);
  switch (st.mode) {
    case Mode::GEN:
      gen_->setChecked(true);
      break;
    case Mode::RTX:
      rtx_->setChecked(true);
      break;
    case Mode::RTX2:
      rtx2_->setChecked(true);
      break;
  }
}

void VfoWindow::showFrequencies() {
  workingFrequencyLabel_->setText(q(displayText(vfo_.settings.workingMHz)));
  for (size_t i = 0; i < bandButtons_.size(); ++i)
    bandButtons_[i]->setToolTip(
        vfo_.bandButtons[i] > 0
            ? text(kBandTip)
            : QCoreApplication::translate("kolm",
                                          "Empty: right-click it, or click it and choose \"Store "
                                          "the current frequency here\", to keep the working "
                                          "frequency in it."));
  alignSteps();
  const auto& out = vfo_.output();
  if (out && out->sent) {
    outputFrequencyEdit_->setText(q(displayText(out->ddsMHz)));
    outputFrequencyEdit_->setPlaceholderText(QString());
  } else {
    // Nothing reached the DDS (no clock): show no output frequency.
    outputFrequencyEdit_->clear();
    outputFrequencyEdit_->setPlaceholderText(out ? QCoreApplication::translate("kolm", "not sent")
                                                 : QString());
  }
}

// The step frames span the digits above them: Mhz under the megahertz, Khz under
// the kilohertz, Hz under the hertz.
void VfoWindow::alignSteps() {
  const int digits =
      workingFrequencyLabel_->fontMetrics().horizontalAdvance(workingFrequencyLabel_->text());
  steps_->setFixedWidth(std::max(steps_->minimumSizeHint().width(), digits + 16));
}

void VfoWindow::showMemories() {
  memoryList_->clear();
  for (const std::string& entry : vfo_.memories) memoryList_->addItem(q(entry));
}

void VfoWindow::closeEvent(QCloseEvent* event) {
  if (!closed_) {
    closed_ = true;
    memoryList_->hide();
    vfo_.close();
  }
  event->accept();
}

}  // namespace

QWidget* createVfoWindow(hw::ui::UiContext& context) { return new VfoWindow(context); }

}  // namespace kolm::vfo::ui
