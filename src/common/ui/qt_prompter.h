// Real dialogs for the Prompter interface.
#pragma once

#include <QPointer>
#include <QWidget>

#include "common/prompter.h"

namespace kolm::common::ui {

class QtPrompter : public Prompter {
 public:
  explicit QtPrompter(QWidget* parent = nullptr) : parent_(parent) {}
  void message(const std::string& text, Icon icon, const std::string& title) override;
  bool confirm(const std::string& text, const std::string& title) override;
  std::optional<std::string> input(const std::string& title, const std::string& prompt,
                                   const std::string& defaultText) override;
  std::string openFileName(const std::string& title, const std::string& filter) override;
  std::string saveFileName(const std::string& title, const std::string& filter) override;

 private:
  QPointer<QWidget> parent_;
};

// "file pwm(*.pwm)|*.pwm" -> "file pwm(*.pwm) (*.pwm)" for Qt's file dialogs.
QString qtFilter(const std::string& filter);

}  // namespace kolm::common::ui
