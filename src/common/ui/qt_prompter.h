// Real dialogs for the Prompter interface.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include "common/prompt_help.h"
#include "common/prompter.h"

namespace kolm::common::ui {

class QtPrompter : public Prompter, public HelpingPrompter {
 public:
  // File dialogs start in `startFolder` (the settings folder, where the
  // program keeps its files; the working directory when empty), then in the
  // folder of the last file chosen through this prompter.
  explicit QtPrompter(QWidget* parent = nullptr, QString startFolder = {})
      : parent_(parent), folder_(std::move(startFolder)) {}
  void message(const std::string& text, Icon icon, const std::string& title) override;
  bool confirm(const std::string& text, const std::string& title) override;
  bool confirmWithHelp(const std::string& text, const PromptHelp& help,
                       const std::string& title) override;
  bool confirmAs(const std::string& text, const std::string& accept) override;
  std::optional<std::string> input(const std::string& title, const std::string& prompt,
                                   const std::string& defaultText) override;
  std::string openFileName(const std::string& title, const std::string& filter) override;
  std::string saveFileName(const std::string& title, const std::string& filter) override;

 private:
  std::string runFileDialog(const std::string& title, const std::string& filter, bool save);

  QPointer<QWidget> parent_;
  QString folder_;
};

// A filter as Qt's file dialogs take it, each pattern shown once:
// "file pwm(*.pwm)|*.pwm" gives "file pwm(*.pwm)", "Touchstone|*.s1p" gives
// "Touchstone (*.s1p)".
QString qtFilter(const std::string& filter);
// The extension a save dialog adds to a name typed without one: "pwm" for
// "file pwm(*.pwm)|*.pwm"; empty when the first pattern names none.
std::string filterExtension(const std::string& filter);

}  // namespace kolm::common::ui
