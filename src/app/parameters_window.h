// The hardware parameters window: port address, quartz, multiplier, and how the
// port is reached. Edits are working copies until OK.
#pragma once

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <functional>

#include "common/ui/ui_context.h"

namespace kolm::app {

class ParametersWindow : public QDialog {
  Q_OBJECT
 public:
  // `portChanged` runs after OK when the back end or the address changed.
  ParametersWindow(common::ui::UiContext& context, std::function<void()> portChanged,
                   QWidget* parent = nullptr);

  // Window load: working copies from the shared values.
  void load();
  double clockCopy() const { return clock_; }

 private:
  void HScroll1_Change(int value);
  void Text2_Change(const QString& text);
  void Command1_Click();
  // "Port test": checks the port and address chosen in the window.
  void PortTest_Click();
  void showClock();

  common::ui::UiContext& context_;
  std::function<void()> portChanged_;
  int multiplier_ = 0;
  double quartz_ = 0;
  double clock_ = 0;

  QRadioButton* option9_;
  QRadioButton* option10_;
  QRadioButton* option11_;
  QLineEdit* text2_;
  QScrollBar* hscroll1_;
  QLabel* label10_;
  QLabel* label4_;
  QComboBox* backend_;
  QPlainTextEdit* portReport_;
};

}  // namespace kolm::app
