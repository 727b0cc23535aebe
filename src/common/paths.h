// Where the program finds its read-only data (pictures, translations) and where
// the windowed program keeps its settings files.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kolm::common {

// An environment variable's value, or nothing when it is unset or empty.
using EnvLookup = std::function<std::optional<std::string>(const std::string& name)>;
std::optional<std::string> processEnv(const std::string& name);

// The folders searched for read-only data, in this order: the program's own
// folder (a build tree, or everything unpacked in one folder), share/kolm beside
// the program's bin folder (an installed layout under any prefix),
// $XDG_DATA_HOME/kolm (default ~/.local/share/kolm), then kolm under each folder
// of $XDG_DATA_DIRS (default /usr/local/share:/usr/share).
std::vector<std::filesystem::path> dataFolders(const std::filesystem::path& programDir,
                                               const EnvLookup& env = processEnv);

// The first of `dataFolders` that holds `file` (a name relative to the data
// folder), or nothing.
std::optional<std::filesystem::path> findDataFolder(const std::filesystem::path& file,
                                                    const std::filesystem::path& programDir,
                                                    const EnvLookup& env = processEnv);

// The settings folder of the windowed program: $KOLM_WORKDIR when set, else the
// folder kolm in the user's home ($HOME, or %USERPROFILE% on Windows); nothing
// when neither tells where home is.
std::optional<std::filesystem::path> settingsFolder(const EnvLookup& env = processEnv);

}  // namespace kolm::common
