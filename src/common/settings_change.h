// The one way a settings file changes: when the user confirms a change (an
// accepted calibration, a stored memory, a box left with a new value), not when
// a window closes. The change is one read-change-write under the settings
// folder's lock: the file is read again, only what this program changed is
// changed in what it holds now (another program's changes meanwhile stay), and
// the result is written atomically. A file there that cannot be read whole is
// kept aside first (SettingsKeeper), and left alone when it cannot be.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "common/files.h"
#include "common/settings_file.h"

namespace kolm::common {

struct SettingsChange {
  bool written = false;
  // Why it was not written, naming the file; empty when it was.
  std::string error;
  // A damaged file kept aside on the way: what to tell the user (once).
  std::string keptMessage;
  // The folder refused the write (read-only, missing, full).
  bool folderRefused = false;
  // Both, for a message box: empty when there is nothing to say.
  std::string message() const;
  // Nothing to change: nothing written, nothing wrong.
  static SettingsChange unchanged() {
    SettingsChange c;
    c.written = true;
    return c;
  }
};

// The text of the file as read under the lock (nothing when it is missing),
// and why it could not be read whole (empty when it could).
struct SettingsNow {
  std::optional<std::string> text;
  std::string problem;
};

// Reads `name` in `folder` under the folder's lock and writes what `edit`
// makes of it. `edit` may add to `problem` (its own reader's complaint: the
// file is then kept aside before it is replaced); returning nothing leaves the
// file as it is (nothing to change).
SettingsChange changeSettingsText(
    SettingsFolder& folder, std::string_view name,
    const std::function<std::optional<std::string>(SettingsNow& now)>& edit,
    uint64_t limit = kSettingsFileLimit, LastRecord rule = LastRecord::MayEndFile);

// The same for a file with a reader and a writer of its values: `change` edits
// the values read now (the defaults when the file is missing) and `format`
// writes them. `parse(text, &problem)` reads a file's text.
template <class Parse, class Format, class Change>
SettingsChange changeSettings(SettingsFolder& folder, std::string_view name, Parse parse,
                              Format format, Change change, uint64_t limit = kSettingsFileLimit,
                              LastRecord rule = LastRecord::MayEndFile) {
  return changeSettingsText(
      folder, name,
      [&](SettingsNow& now) -> std::optional<std::string> {
        std::string problem;
        auto values = now.text ? parse(*now.text, &problem) : parse(std::string_view{}, nullptr);
        if (now.problem.empty()) now.problem = problem;
        change(values);
        return format(values);
      },
      limit, rule);
}

// What a window tells the user after `change`: a damaged file kept aside, and
// a failed write once: the first folder refusal is said and marks the folder
// (SettingsFolder::setUnwritable), later ones, like those after the start-up
// warning, are not said again. Empty when there is nothing to say.
std::string changeNotice(SettingsFolder& folder, const SettingsChange& change);

// Whether the settings folder can take new files: empty when it can, otherwise
// why not (naming the folder), for the start-up warning.
std::string settingsFolderProblem(const SettingsFolder& folder);

}  // namespace kolm::common
