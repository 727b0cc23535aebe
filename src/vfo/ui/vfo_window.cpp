#include "vfo/ui/vfo_window.h"

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

  outer->addWidget(buildTitle(central));

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
  tuning->addLayout(buildKeyboard(central));
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
    const auto mhz = common::ui::requireNumber(keyboardEdit_);
    if (!mhz) return;
    vfo_.keyboardEnter(*mhz);
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
  if1Edit_->setText(q(st.IF1.text));
  if2Edit_->setText(q(st.IF2.text));
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

QWidget* createVfoWindow(hw::ui::UiContext& context) { return new VfoWindow(context); }

}  // namespace kolm::vfo::ui
