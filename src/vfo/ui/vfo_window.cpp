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
  explicit VfoWindow(common::ui::UiContext& context);

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
  // The step of the digit under `x` (pixels in Label1), if any.
  std::optional<int> stepUnder(int x) const;

  common::ui::UiContext& context_;
  Vfo vfo_;
  bool closed_ = false;

  QLabel* label1_ = nullptr;
  QLineEdit* text2_ = nullptr;
  QLineEdit* text3_ = nullptr;
  QRadioButton* gen_ = nullptr;
  QRadioButton* rtx_ = nullptr;
  QRadioButton* rtx2_ = nullptr;
  QRadioButton* obIf1_ = nullptr;
  QRadioButton* obIf2_ = nullptr;
  QLineEdit* if1_ = nullptr;
  QLineEdit* if2_ = nullptr;
  QListWidget* list1_ = nullptr;
  QWidget* steps_ = nullptr;
  std::array<QPushButton*, kBandButtonCount> freqFissa_{};
  std::array<QPushButton*, 18> stepButtons_{};
  int lastStep_ = 3;  // 1 kHz until a step is used
  QLabel* status_ = nullptr;
};

VfoWindow::VfoWindow(common::ui::UiContext& context)
    : context_(context), vfo_(context.instrument, context.prompter) {
  setObjectName("VFO");
  setWindowTitle(QCoreApplication::translate("kolm", "Digital VFO"));
  setAttribute(Qt::WA_DeleteOnClose);
  buildMenus();

  auto* central = new QWidget(this);
  auto* outer = new QVBoxLayout(central);
  outer->setContentsMargins(10, 4, 10, 6);
  outer->setSpacing(4);
  outer->addWidget(common::ui::makeSimBanner(context_, central));

  auto* label4 = new QLabel(QCoreApplication::translate("kolm", "DIGITAL VFO"), central);
  label4->setObjectName("Label4");
  label4->setAlignment(Qt::AlignCenter);
  QFont title("Lucida Console");
  title.setStyleHint(QFont::Monospace);
  title.setPointSize(16);
  title.setBold(true);
  label4->setFont(title);
  outer->addWidget(label4);

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
  auto* label3 = new QLabel(QCoreApplication::translate("kolm", "Keyboard input in MHz"), central);
  label3->setObjectName("Label3");
  text3_ = new QLineEdit(central);
  text3_->setObjectName("Text3");
  text3_->setMaximumWidth(160);
  QFont entry = text3_->font();
  entry.setPointSize(entry.pointSize() + 3);
  text3_->setFont(entry);
  keyboard->addWidget(label3);
  keyboard->addWidget(text3_);
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

  connect(text3_, &QLineEdit::textChanged, this,
          [this](const QString& t) { vfo_.settings.keyboardText = s(t); });
  connect(text3_, &QLineEdit::returnPressed, this, [this] {
    vfo_.settings.keyboardText = s(text3_->text());
    vfo_.settings.WorkingFreq = common::numericValue(vfo_.settings.keyboardText);
    label1_->setText(q(displayText(vfo_.settings.WorkingFreq)));
    vfo_.keyboardEnter();
    showFrequencies();
  });

  // The status line, and the arrow keys tuning by the last step used.
  status_ = new QLabel(this);
  status_->setObjectName("StatusLine");
  statusBar()->addWidget(status_, 1);
  auto* up = new QAction(QCoreApplication::translate("kolm", "Tune up"), this);
  up->setObjectName("TuneUp");
  up->setShortcut(QKeySequence(Qt::Key_Up));
  connect(up, &QAction::triggered, this, [this] { stepBy(lastStep_, 1); });
  auto* down = new QAction(QCoreApplication::translate("kolm", "Tune down"), this);
  down->setObjectName("TuneDown");
  down->setShortcut(QKeySequence(Qt::Key_Down));
  connect(down, &QAction::triggered, this, [this] { stepBy(lastStep_, -1); });
  addActions({up, down});
  label1_->installEventFilter(this);
  label1_->setToolTip(QCoreApplication::translate(
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
  const QString text = label1_->text();
  const QFontMetrics fm(label1_->font());
  const QRect r = label1_->contentsRect();
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
  fileMenu->setObjectName("File_menu");
  auto* finePgm = fileMenu->addAction(QCoreApplication::translate("kolm", "Exit Digital VFO"));
  finePgm->setObjectName("Fine_pgm");
  connect(finePgm, &QAction::triggered, this, [this] { close(); });
  common::ui::addExitProgram(context_, fileMenu);

  // The hardware parameters, modeless: a new clock acts from the next send.
  auto* parametri = menuBar()->addAction(QCoreApplication::translate("kolm", "Parameters"));
  parametri->setObjectName("Parametri");
  connect(parametri, &QAction::triggered, this, [this] { context_.showParameters(nullptr); });

  auto* about = menuBar()->addAction(QCoreApplication::translate("kolm", "About_VFO"));
  about->setObjectName("AboutVFO");
  about->setShortcut(QKeySequence(Qt::Key_F1));
  connect(about, &QAction::triggered, this,
          [] { common::ui::showAboutBox(common::ui::AboutKind::Vfo); });
}

QWidget* VfoWindow::buildDisplay(QWidget* parent) {
  auto* panel = new QFrame(parent);
  panel->setObjectName("DisplayPanel");
  panel->setFrameShape(QFrame::StyledPanel);
  panel->setStyleSheet(
      "#DisplayPanel { background: #10161c; border: 2px solid #3a4652; border-radius: 6px; }"
      "#DisplayPanel QLabel { color: #9fb3c4; background: transparent; }"
      "#DisplayPanel QLabel#Label1 { color: #ffc23a; }"
      "#Text2 { color: #62e38a; background: #0b0f13; border: 1px solid #3a4652; }");
  auto* grid = new QGridLayout(panel);
  grid->setContentsMargins(14, 6, 14, 8);
  grid->setHorizontalSpacing(12);

  auto* label8 = new QLabel(QCoreApplication::translate("kolm", "Working Frequency"), panel);
  label8->setObjectName("Label8");
  label1_ = new QLabel(QCoreApplication::translate("kolm", "000.000 000"), panel);
  label1_->setObjectName("Label1");
  QFont digits("Arial");
  digits.setStyleHint(QFont::SansSerif);
  digits.setPointSize(38);
  digits.setBold(true);
  label1_->setFont(digits);
  auto* unit1 = new QLabel(QCoreApplication::translate("kolm", "MHz"), panel);
  QFont unitFont = unit1->font();
  unitFont.setPointSize(14);
  unitFont.setBold(true);
  unit1->setFont(unitFont);

  auto* label2 = new QLabel(QCoreApplication::translate("kolm", "Freq Output"), panel);
  label2->setObjectName("Label2");
  text2_ = new QLineEdit(panel);
  text2_->setObjectName("Text2");
  text2_->setReadOnly(true);
  text2_->setFocusPolicy(Qt::NoFocus);
  text2_->setAlignment(Qt::AlignRight);
  QFont out("Arial");
  out.setStyleHint(QFont::SansSerif);
  out.setPointSize(18);
  out.setBold(true);
  text2_->setFont(out);
  text2_->setMaximumWidth(220);
  auto* unit2 = new QLabel(QCoreApplication::translate("kolm", "MHz"), panel);
  unit2->setFont(unitFont);

  // The digits stand centred over the three step frames below them: MHz, kHz, Hz.
  label1_->setAlignment(Qt::AlignCenter);
  grid->addWidget(label8, 0, 0);
  grid->addWidget(unit1, 0, 2, Qt::AlignRight);
  grid->addWidget(label1_, 1, 0, 1, 3);
  grid->addWidget(label2, 2, 0, Qt::AlignRight);
  grid->addWidget(text2_, 2, 1);
  grid->addWidget(unit2, 2, 2);
  grid->setColumnStretch(0, 1);
  return panel;
}

QWidget* VfoWindow::buildSteps(QWidget* parent) {
  auto* row = new QWidget(parent);
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  const char* frameNames[] = {"Frame3", "Frame4", "Frame5"};
  const char* captions[] = {QT_TRANSLATE_NOOP("kolm", "Mhz"), QT_TRANSLATE_NOOP("kolm", "Khz"),
                            QT_TRANSLATE_NOOP("kolm", "Hz")};
  QFont big = row->font();
  big.setPointSize(big.pointSize() + 4);
  big.setBold(true);
  for (int f = 0; f < 3; ++f) {
    auto* frame = new QGroupBox(text(captions[f]), row);
    frame->setObjectName(frameNames[f]);
    auto* grid = new QGridLayout(frame);
    grid->setContentsMargins(6, 4, 6, 6);
    grid->setSpacing(4);
    for (int col = 0; col < 3; ++col) {
      const int index = 8 - (f * 3 + col);  // left to right: 8 down to 0
      auto* up = new QPushButton(QCoreApplication::translate("kolm", "+"), frame);
      up->setObjectName(QString("Command1_%1").arg(index));
      up->setToolTip(QCoreApplication::translate("kolm", "Up ") + stepName(index));
      auto* down = new QPushButton(QCoreApplication::translate("kolm", "_"), frame);
      down->setObjectName(QString("Command2_%1").arg(index));
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

  auto* frame1 = new QGroupBox(QCoreApplication::translate("kolm", "Mode"), column);
  frame1->setObjectName("Frame1");
  auto* modes = new QVBoxLayout(frame1);
  rtx2_ = new QRadioButton(QCoreApplication::translate("kolm", "RTX2"), frame1);
  rtx2_->setObjectName("rtx2");
  gen_ = new QRadioButton(QCoreApplication::translate("kolm", "GEN"), frame1);
  gen_->setObjectName("Gen");
  rtx_ = new QRadioButton(QCoreApplication::translate("kolm", "RTX"), frame1);
  rtx_->setObjectName("rtx");
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

  auto* frame2 = new QGroupBox(column);
  frame2->setObjectName("Frame2");
  frame2->setToolTip(QCoreApplication::translate("kolm", "Intermediate frequency in MHz"));
  auto* ifs = new QGridLayout(frame2);
  obIf1_ = new QRadioButton(QCoreApplication::translate("kolm", "IF1"), frame2);
  obIf1_->setObjectName("ObIF1");
  obIf2_ = new QRadioButton(QCoreApplication::translate("kolm", "IF2"), frame2);
  obIf2_->setObjectName("ObIF2");
  if1_ = new QLineEdit(frame2);
  if1_->setObjectName("IF1");
  if2_ = new QLineEdit(frame2);
  if2_->setObjectName("IF2");
  for (auto* e : {if1_, if2_}) e->setMaximumWidth(90);
  ifs->addWidget(obIf1_, 0, 0);
  ifs->addWidget(if1_, 0, 1);
  ifs->addWidget(obIf2_, 1, 0);
  ifs->addWidget(if2_, 1, 1);
  connect(obIf1_, &QRadioButton::clicked, this, [this] {
    vfo_.setIfChoice(IfChoice::IF1);
    showFrequencies();
  });
  connect(obIf2_, &QRadioButton::clicked, this, [this] {
    vfo_.setIfChoice(IfChoice::IF2);
    showFrequencies();
  });
  // An edited IF acts from the next send.
  connect(if1_, &QLineEdit::textChanged, this,
          [this](const QString& t) { vfo_.settings.IF1 = s(t); });
  connect(if2_, &QLineEdit::textChanged, this,
          [this](const QString& t) { vfo_.settings.IF2 = s(t); });

  auto* command4 = new QPushButton(QCoreApplication::translate("kolm", "DDS Reset"), column);
  command4->setObjectName("Command4");
  command4->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
  command4->setIconSize(QSize(24, 24));
  command4->setMinimumHeight(40);
  connect(command4, &QPushButton::clicked, this, [this] {
    vfo_.ddsReset();
    showFrequencies();
  });

  layout->addWidget(frame1);
  layout->addWidget(frame2);
  layout->addWidget(command4);
  layout->addStretch();
  return column;
}

QWidget* VfoWindow::buildMemories(QWidget* parent) {
  auto* frame6 =
      new QGroupBox(QCoreApplication::translate("kolm", "Stored frequencies in MHz"), parent);
  frame6->setObjectName("Frame6");
  auto* layout = new QVBoxLayout(frame6);
  list1_ = new QListWidget(frame6);
  list1_->setObjectName("List1");
  QFont mono("Courier New");
  mono.setStyleHint(QFont::Monospace);
  mono.setPointSize(mono.pointSize() + 1);
  list1_->setFont(mono);
  layout->addWidget(list1_);
  connect(list1_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
    vfo_.recallMemory(list1_->row(item));
    showFrequencies();
  });

  auto* buttons = new QHBoxLayout;
  auto* mem = new QPushButton(QCoreApplication::translate("kolm", "Freq Add "), frame6);
  mem->setObjectName("Mem");
  mem->setToolTip(QCoreApplication::translate("kolm", "Insert in memory from Display"));
  auto* command6 = new QPushButton(QCoreApplication::translate("kolm", "Freq Del."), frame6);
  command6->setObjectName("Command6");
  command6->setToolTip(
      QCoreApplication::translate("kolm", "Delete selected frequency from memory"));
  auto* command7 = new QPushButton(frame6);
  command7->setObjectName("Command7");
  command7->setToolTip(QCoreApplication::translate("kolm", "Clear all stored memories"));
  command7->setIcon(style()->standardIcon(QStyle::SP_TrashIcon));
  command7->setIconSize(QSize(20, 20));
  buttons->addWidget(mem);
  buttons->addWidget(command6);
  buttons->addWidget(command7);
  layout->addLayout(buttons);

  connect(mem, &QPushButton::clicked, this, [this] {
    vfo_.addMemory();
    showMemories();
  });
  connect(command6, &QPushButton::clicked, this, [this] {
    const auto selected = list1_->selectedItems();
    if (vfo_.deleteMemory(selected.isEmpty() ? -1 : list1_->row(selected.first()))) showMemories();
  });
  connect(command7, &QPushButton::clicked, this, [this] {
    if (vfo_.clearMemories()) showMemories();
  });
  return frame6;
}

QWidget* VfoWindow::buildBandButtons(QWidget* parent) {
  auto* frame7 = new QGroupBox(QCoreApplication::translate("kolm", "Frequencies Buttons"), parent);
  frame7->setObjectName("Frame7");
  auto* grid = new QGridLayout(frame7);
  grid->setSpacing(6);
  for (int i = 0; i < kBandButtonCount; ++i) {
    auto* b = new QPushButton(text(kBandCaptions[i]), frame7);
    b->setObjectName(QString("Freq_Fissa_%1").arg(i));
    b->setToolTip(text(kBandTip));
    b->setMinimumHeight(28);
    b->setFocusPolicy(Qt::NoFocus);
    b->installEventFilter(this);
    grid->addWidget(b, i / 4, i % 4);
    freqFissa_[static_cast<size_t>(i)] = b;
  }
  return frame7;
}

// Band buttons act on the mouse button going down: left recalls, right stores.
// The wheel tunes by the step of the digit or step button under the pointer.
bool VfoWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Wheel) {
    auto* wheel = static_cast<QWheelEvent*>(event);
    const int notches = wheel->angleDelta().y() / 120;
    std::optional<int> step;
    if (watched == label1_) step = stepUnder(static_cast<int>(wheel->position().x()));
    for (size_t b = 0; b < stepButtons_.size(); ++b)
      if (watched == stepButtons_[b]) step = static_cast<int>(b / 2);
    if (notches != 0 && (watched == label1_ || step)) {
      stepBy(step.value_or(lastStep_), notches);
      return true;
    }
  }
  if (event->type() == QEvent::MouseButtonPress) {
    for (int i = 0; i < kBandButtonCount; ++i) {
      if (watched != freqFissa_[static_cast<size_t>(i)]) continue;
      auto* mouse = static_cast<QMouseEvent*>(event);
      if (mouse->button() == Qt::LeftButton) {
        if (!vfo_.recallBand(i)) {
          status_->setText(
              QCoreApplication::translate(
                  "kolm", "%1 is empty: right-click it to store the working frequency in it.")
                  .arg(freqFissa_[static_cast<size_t>(i)]->text().simplified()));
          break;
        }
        status_->clear();
      } else if (mouse->button() == Qt::RightButton) {
        vfo_.storeBand(i);
        status_->setText(QCoreApplication::translate("kolm", "%1 holds %2 MHz.")
                             .arg(freqFissa_[static_cast<size_t>(i)]->text().simplified(),
                                  q(displayText(vfo_.settings.WorkingFreq))));
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
  if1_->setText(q(st.IF1));
  if2_->setText(q(st.IF2));
  text3_->setText(q(st.keyboardText));
  (st.ifChoice == IfChoice::IF1 ? obIf1_ : obIf2_)->setChecked(true);
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
  label1_->setText(q(displayText(vfo_.settings.WorkingFreq)));
  alignSteps();
  const auto& out = vfo_.output();
  if (out && out->sent) {
    text2_->setText(q(displayText(out->DdsFreq)));
    text2_->setPlaceholderText(QString());
  } else {
    // Nothing reached the DDS (no clock): show no output frequency.
    text2_->clear();
    text2_->setPlaceholderText(out ? QCoreApplication::translate("kolm", "not sent") : QString());
  }
}

// The step frames span the digits above them: Mhz under the megahertz, Khz under
// the kilohertz, Hz under the hertz.
void VfoWindow::alignSteps() {
  const int digits = label1_->fontMetrics().horizontalAdvance(label1_->text());
  steps_->setFixedWidth(std::max(steps_->minimumSizeHint().width(), digits + 16));
}

void VfoWindow::showMemories() {
  list1_->clear();
  for (const std::string& entry : vfo_.memories) list1_->addItem(q(entry));
}

void VfoWindow::closeEvent(QCloseEvent* event) {
  if (!closed_) {
    closed_ = true;
    list1_->hide();
    vfo_.close();
  }
  event->accept();
}

}  // namespace

QWidget* createVfoWindow(common::ui::UiContext& context) { return new VfoWindow(context); }

}  // namespace kolm::vfo::ui
