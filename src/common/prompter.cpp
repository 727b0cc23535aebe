#include "common/prompter.h"

namespace kolm::common {

void ScriptedPrompter::message(const std::string& text, Icon, const std::string& title) {
  shown.push_back({"message", text, title});
}

bool ScriptedPrompter::confirm(const std::string& text, const std::string& title) {
  shown.push_back({"confirm", text, title});
  if (confirms.empty()) return defaultConfirm;
  bool answer = confirms.front();
  confirms.pop_front();
  return answer;
}

std::optional<std::string> ScriptedPrompter::input(const std::string& title,
                                                   const std::string& prompt, const std::string&) {
  shown.push_back({"input", prompt, title});
  if (inputs.empty()) return std::nullopt;
  auto answer = inputs.front();
  inputs.pop_front();
  return answer;
}

std::string ScriptedPrompter::openFileName(const std::string& title, const std::string& filter) {
  shown.push_back({"open", "", title});
  filters.push_back(filter);
  if (files.empty()) return {};
  std::string answer = files.front();
  files.pop_front();
  return answer;
}

std::string ScriptedPrompter::saveFileName(const std::string& title, const std::string& filter) {
  shown.push_back({"save", "", title});
  filters.push_back(filter);
  if (files.empty()) return {};
  std::string answer = files.front();
  files.pop_front();
  return answer;
}

std::vector<std::string> ScriptedPrompter::messages() const {
  std::vector<std::string> out;
  for (const auto& s : shown)
    if (s.kind == "message") out.push_back(s.text);
  return out;
}

}  // namespace kolm::common
