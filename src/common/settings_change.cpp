#include "common/settings_change.h"

#include <system_error>

#include "common/tr.h"

namespace kolm::common {

std::string SettingsChange::message() const {
  if (keptMessage.empty()) return error;
  return error.empty() ? keptMessage : keptMessage + "\n" + error;
}

SettingsChange changeSettingsText(
    SettingsFolder& folder, std::string_view name,
    const std::function<std::optional<std::string>(SettingsNow& now)>& edit, uint64_t limit,
    LastRecord rule) {
  SettingsChange out;
  const std::filesystem::path path = folder.file(name);
  const SettingsFolder::Hold hold(folder);
  const SettingsRead read = readSettingsFile(path, limit, rule);
  SettingsNow now{read.content, read.problem};
  const std::optional<std::string> text = edit(now);
  if (!text) return out;
  if (!now.problem.empty()) {
    const KeptAside kept = folder.keeper().keep(path, now.problem);
    out.keptMessage = kept.message;
    if (!kept.mayWrite) {
      out.error = arg(KOLM_TR("Settings", "'%1' was not changed."), {std::string(name)});
      return out;
    }
  }
  std::string error;
  out.written = writeFileAtomic(path, *text, &error);
  if (!out.written) {
    out.folderRefused = true;
    out.error = arg(KOLM_TR("Settings", "'%1' could not be saved: %2"), {std::string(name), error});
  }
  return out;
}

std::string changeNotice(SettingsFolder& folder, const SettingsChange& change) {
  std::string out = change.keptMessage;
  if (change.error.empty() || (change.folderRefused && !folder.unwritable().empty())) return out;
  if (change.folderRefused) folder.setUnwritable(change.error);
  return out.empty() ? change.error : out + "\n" + change.error;
}

std::string settingsFolderProblem(const SettingsFolder& folder) {
  // What a save does, tried on a name of its own.
  const std::filesystem::path probe = folder.file(".kolm-write-check");
  std::string error;
  if (!writeFileAtomic(probe, "", &error)) return error;
  std::error_code ec;
  std::filesystem::remove(probe, ec);
  return {};
}

}  // namespace kolm::common
