// The box beside Points that says how many passes a sweep averages (1 to 100),
// with its label. The number is kept in the program's own settings (kolm.ini)
// under the window's key, so the instruments' specified files do not change.
#pragma once

#include <QString>
#include <optional>

#include "common/settings_file.h"

class QLabel;
class QLineEdit;
class QWidget;

namespace kolm::common::ui {

class AverageBox {
 public:
  // The label "Average" and the box (objectName "averageEdit") in `parent`,
  // holding what the kolm.ini of `settings` keeps under `key` (1 when nothing);
  // `status` is the status line that says why a number is refused.
  AverageBox(QWidget* parent, const SettingsFolder& settings, const QString& key, QLabel* status);

  QLabel* label() const { return label_; }
  QLineEdit* edit() const { return edit_; }
  // The passes a new sweep averages; empty, with the reason in the status
  // line, while the box holds no whole number from 1 to 100.
  std::optional<int> require() const;
  // The last number of passes accepted: what the next pass of a running sweep
  // goes on with.
  int passes() const;

 private:
  QLabel* label_;
  QLineEdit* edit_;
  QLabel* status_;
  const SettingsFolder& settings_;
  QString key_;
  int last_ = 1;
};

}  // namespace kolm::common::ui
