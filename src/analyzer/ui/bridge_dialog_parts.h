// The parts the bridge's two dialogs (the check and the calibration) are made
// of alike: the progress row of their passes and the area that says what came
// of them.
#pragma once

#include <QString>

class QDialog;
class QHBoxLayout;
class QLabel;
class QProgressBar;
class QPushButton;
class QScrollArea;
class QWidget;

namespace kolm::analyzer::ui {

// A progress bar over 0 to 1000 beside a Stop button captioned `stopCaption`,
// named `prefix` + "Progress" and `prefix` + "Stop".
struct ProgressRow {
  QHBoxLayout* layout;
  QProgressBar* progress;
  QPushButton* stop;
};
ProgressRow progressRow(QWidget* owner, const QString& prefix, const QString& stopCaption);

// What the dialog has to say, wrapped, selectable and held to the top left, in
// a scroll area without a frame (a small dialog scrolls it): named `prefix` +
// "Result" and `prefix` + "ResultArea".
struct ResultArea {
  QLabel* label;
  QScrollArea* scroll;
};
ResultArea resultArea(QWidget* owner, const QString& prefix);

// A frequency in MHz as both dialogs write it: six significant digits.
QString mhzText(double mhz);

// `text` said in `result`, the dialog grown with it as far as the screen lets it.
void showResult(QDialog& dialog, QLabel& result, const QString& text);

}  // namespace kolm::analyzer::ui
