#include "common/prompt_help.h"

namespace kolm::common {

bool confirmWithHelp(Prompter& prompter, const std::string& text, const PromptHelp& help,
                     const std::string& title) {
  if (auto* helping = dynamic_cast<HelpingPrompter*>(&prompter); helping && help.act)
    return helping->confirmWithHelp(text, help, title);
  return prompter.confirm(text, title);
}

bool ScriptedHelpingPrompter::confirmWithHelp(const std::string& text, const PromptHelp& help,
                                              const std::string& title) {
  const bool take = !helps.empty() && helps.front();
  if (!helps.empty()) helps.pop_front();
  const bool answer = confirm(text + " [" + help.caption + "]", title);
  if (take) shown.push_back({"help", help.act(), title});
  return answer;
}

}  // namespace kolm::common
