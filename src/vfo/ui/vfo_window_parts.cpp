#include "vfo/ui/vfo_window_class.h"

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

// What one step button moves by, for its tooltip.
QString stepName(int index) {
  static const char* const names[] = {"1 Hz",    "10 Hz", "100 Hz", "1 kHz",  "10 kHz",
                                      "100 kHz", "1 MHz", "10 MHz", "100 MHz"};
  return names[index];
}

}  // namespace

QLabel* VfoWindow::buildTitle(QWidget* parent) {
  auto* titleLabel = new QLabel(QCoreApplication::translate("kolm", "DIGITAL VFO"), parent);
  titleLabel->setObjectName("titleLabel");
  titleLabel->setAlignment(Qt::AlignCenter);
  QFont title("Lucida Console");
  title.setStyleHint(QFont::Monospace);
  title.setPointSize(16);
  title.setBold(true);
  titleLabel->setFont(title);
  return titleLabel;
}

QHBoxLayout* VfoWindow::buildKeyboard(QWidget* parent) {
  auto* keyboard = new QHBoxLayout;
  auto* keyboardLabel =
      new QLabel(QCoreApplication::translate("kolm", "Keyboard input in MHz"), parent);
  keyboardLabel->setObjectName("keyboardLabel");
  keyboardEdit_ = new QLineEdit(parent);
  keyboardEdit_->setObjectName("keyboardEdit");
  keyboardEdit_->setMaximumWidth(160);
  QFont entry = keyboardEdit_->font();
  entry.setPointSize(entry.pointSize() + 3);
  keyboardEdit_->setFont(entry);
  keyboard->addWidget(keyboardLabel);
  keyboard->addWidget(keyboardEdit_);
  keyboard->addStretch();
  return keyboard;
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
      "#displayPanel { background: #10161c; border: 2px solid #3a4652; border-radius: 6px; }"
      "#displayPanel QLabel { color: #9fb3c4; background: transparent; }"
      "#displayPanel QLabel#workingFrequencyLabel { color: #ffc23a; }"
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

  auto* ifGroup = buildIfGroup(column);

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

QGroupBox* VfoWindow::buildIfGroup(QWidget* parent) {
  auto* ifGroup = new QGroupBox(parent);
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
          [this] { vfo_.settings.IF1 = common::ui::keptNumber(if1Edit_); });
  connect(if2Edit_, &QLineEdit::textChanged, this,
          [this] { vfo_.settings.IF2 = common::ui::keptNumber(if2Edit_); });
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
  return ifGroup;
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

}  // namespace kolm::vfo::ui
