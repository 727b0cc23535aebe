#include "common/paths.h"

#include <cstdlib>

namespace kolm::common {

namespace fs = std::filesystem;

std::optional<std::string> processEnv(const std::string& name) {
  const char* value = std::getenv(name.c_str());
  if (!value || !*value) return std::nullopt;
  return std::string(value);
}

namespace {

std::optional<fs::path> home(const EnvLookup& env) {
  if (auto h = env("HOME")) return fs::path(*h);
  if (auto h = env("USERPROFILE")) return fs::path(*h);
  return std::nullopt;
}

}  // namespace

std::vector<fs::path> dataFolders(const fs::path& programDir, const EnvLookup& env) {
  std::vector<fs::path> out{programDir, programDir / ".." / "share" / "kolm"};
  if (auto xdg = env("XDG_DATA_HOME"))
    out.push_back(fs::path(*xdg) / "kolm");
  else if (auto h = home(env))
    out.push_back(*h / ".local" / "share" / "kolm");
  const std::string dirs = env("XDG_DATA_DIRS").value_or("/usr/local/share:/usr/share");
  for (size_t pos = 0; pos <= dirs.size();) {
    size_t end = dirs.find(':', pos);
    if (end == std::string::npos) end = dirs.size();
    if (end > pos) out.push_back(fs::path(dirs.substr(pos, end - pos)) / "kolm");
    pos = end + 1;
  }
  for (auto& p : out) p = p.lexically_normal();
  return out;
}

std::optional<fs::path> findDataFolder(const fs::path& file, const fs::path& programDir,
                                       const EnvLookup& env) {
  std::error_code ec;
  for (const auto& folder : dataFolders(programDir, env))
    if (fs::is_regular_file(folder / file, ec)) return folder;
  return std::nullopt;
}

std::optional<fs::path> settingsFolder(const EnvLookup& env) {
  if (auto w = env("KOLM_WORKDIR")) return fs::path(*w);
  if (auto h = home(env)) return *h / "kolm";
  return std::nullopt;
}

}  // namespace kolm::common
