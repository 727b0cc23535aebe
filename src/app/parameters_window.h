// The hardware parameters window: port address, quartz, multiplier, the clock's
// tolerance, and how the port is reached. Edits are working copies until OK.
#pragma once

#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <functional>

#include "hw/ui/ui_context.h"

namespace kolm::app {

class ParametersWindow : public QDialog {
  Q_OBJECT
 public:
  // `portChanged` runs after OK when the back end or the address changed.
  ParametersWindow(hw::ui::UiContext& context, std::function<void()> portChanged,
                   QWidget* parent = nullptr);

  // Window load: working copies from the shared values; a clock the shared
  // values cannot have had (hw::clockProblem) is shown with the file's problem.
  void load();
  // Why dds.cfg could not be used, shown until OK stores the parameters.
  void setFileProblem(const std::string& problem);
  // Shows a port report (the port test's, or why the chosen port did not open).
  void showPortReport(const QString& text);

 private:
  // The reference clock's quartz, multiplier and tolerance.
  QGroupBox* buildClockGroup();
  // The port's back end and its test.
  QGroupBox* buildPortGroup();
  void onMultiplierChanged(int value);
  void onQuartzChanged();
  hw::HardwareParams typedParameters() const;
  void acceptParameters();
  // "Port test": checks the port and address chosen in the window.
  void runPortTest();
  void showClock();

  hw::ui::UiContext& context_;
  std::function<void()> portChanged_;
  int multiplier_ = 0;
  double quartz_ = 0;
  double clock_ = 0;

  QRadioButton* lpt1Option_;
  QRadioButton* lpt2Option_;
  QRadioButton* lpt3Option_;
  QLineEdit* quartzEdit_;
  QScrollBar* multiplierScroll_;
  QLabel* multiplierValue_;
  QLabel* clockValue_;
  QLineEdit* toleranceEdit_;
  QLabel* offsetValue_;
  QComboBox* backend_;
  QPlainTextEdit* portReport_;
  QLabel* configProblem_;
  QLabel* firstStartNote_;  // a suggestion, not a fault: in the usual colour
  std::string fileProblem_;
};

}  // namespace kolm::app
