#pragma once

// The VFO window's class, for its two files: vfo_window.cpp (what it does) and
// vfo_window_parts.cpp (the controls it is built of).

#include <QCoreApplication>
#include <QMainWindow>
#include <array>
#include <optional>
#include <string>

#include "common/ui/qt_text.h"
#include "hw/ui/ui_context.h"
#include "vfo/vfo.h"

class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace kolm::vfo::ui {

using common::ui::q;
inline std::string s(const QString& q) { return q.toStdString(); }

// The program's own texts in the chosen language.
inline QString text(const char* source) { return QCoreApplication::translate("kolm", source); }

inline const char* const kBandTip = QT_TRANSLATE_NOOP(
    "kolm",
    "Left button=Transfer  frequency in to  display; Right button capture frequency from display");

class VfoWindow : public QMainWindow {
 public:
  explicit VfoWindow(hw::ui::UiContext& context);

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QLabel* buildTitle(QWidget* parent);
  QHBoxLayout* buildKeyboard(QWidget* parent);
  void buildMenus();
  QWidget* buildDisplay(QWidget* parent);
  QWidget* buildSteps(QWidget* parent);
  QWidget* buildModeAndIf(QWidget* parent);
  QGroupBox* buildIfGroup(QWidget* parent);
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

}  // namespace kolm::vfo::ui
