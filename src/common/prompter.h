// Message boxes, input boxes and file dialogs as the engines and windows see them.
// The Qt implementation shows real dialogs; tests and the command line script the
// answers. Titles default to the program's title "Kolm".
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace kolm::common {

inline constexpr const char* kTitle = "Kolm";

enum class Icon { None, Information, Warning, Critical };

class Prompter {
 public:
  virtual ~Prompter() = default;
  // A message with an OK button.
  virtual void message(const std::string& text, Icon icon = Icon::None,
                       const std::string& title = kTitle) = 0;
  // OK / Cancel: true for OK.
  virtual bool confirm(const std::string& text, const std::string& title = kTitle) = 0;
  // A warning whose OK button reads `accept` ("Use anyway") / Cancel: true for
  // `accept`.
  virtual bool confirmAs(const std::string& text, const std::string& accept) {
    (void)accept;
    return confirm(text);
  }
  // An input box; empty optional for Cancel.
  virtual std::optional<std::string> input(const std::string& title, const std::string& prompt,
                                           const std::string& defaultText) = 0;
  // File dialogs: `filter` in the form "file pwm(*.pwm)|*.pwm"; empty text for Cancel.
  virtual std::string openFileName(const std::string& title, const std::string& filter) = 0;
  virtual std::string saveFileName(const std::string& title, const std::string& filter) = 0;
};

// Answers from a script and remembers every message shown: for tests and for the
// command line (where it answers OK and Cancel as told).
class ScriptedPrompter : public Prompter {
 public:
  struct Shown {
    std::string kind;  // "message", "confirm", "input", "open", "save"
    std::string text;
    std::string title;
  };

  void message(const std::string& text, Icon icon, const std::string& title) override;
  bool confirm(const std::string& text, const std::string& title) override;
  std::optional<std::string> input(const std::string& title, const std::string& prompt,
                                   const std::string& defaultText) override;
  std::string openFileName(const std::string& title, const std::string& filter) override;
  std::string saveFileName(const std::string& title, const std::string& filter) override;

  // Queued answers, used in order; when a queue is empty confirm answers
  // `defaultConfirm`, input answers Cancel and file dialogs answer Cancel.
  std::deque<bool> confirms;
  std::deque<std::optional<std::string>> inputs;
  std::deque<std::string> files;
  bool defaultConfirm = true;

  std::vector<Shown> shown;
  // Filters of the file dialogs shown, in order.
  std::vector<std::string> filters;
  // Texts of the messages (OK-only boxes) shown so far.
  std::vector<std::string> messages() const;
};

}  // namespace kolm::common
