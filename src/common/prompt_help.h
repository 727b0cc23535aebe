// A step the program can take for the user while a prompt waits for it (on the
// simulated instrument: connecting what the prompt asks for), offered as a
// further button beside OK and Cancel by the prompters that can show one.
#pragma once

#include <deque>
#include <functional>
#include <string>

#include "common/prompter.h"

namespace kolm::common {

// The button's caption and the step, which says in words what it did.
struct PromptHelp {
  std::string caption;
  std::function<std::string()> act;
};

// A prompter that can offer such a step.
class HelpingPrompter {
 public:
  virtual ~HelpingPrompter() = default;
  // As Prompter::confirm, with a button that takes the step and leaves the
  // prompt open, saying what was done.
  virtual bool confirmWithHelp(const std::string& text, const PromptHelp& help,
                               const std::string& title) = 0;
};

// A confirm with `help` offered where `prompter` can offer it; a plain confirm
// elsewhere, or when `help` has no step.
bool confirmWithHelp(Prompter& prompter, const std::string& text, const PromptHelp& help,
                     const std::string& title = kTitle);

// The scripted prompter with steps: each prompt with a step is shown as a
// confirm whose text ends with the step's caption in brackets, and the step
// is taken when `helps` says so (its words shown as a "help" entry).
class ScriptedHelpingPrompter : public ScriptedPrompter, public HelpingPrompter {
 public:
  bool confirmWithHelp(const std::string& text, const PromptHelp& help,
                       const std::string& title) override;
  // Whether each prompt with a step has it taken (none when the queue is empty).
  std::deque<bool> helps;
};

}  // namespace kolm::common
