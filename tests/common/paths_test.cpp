#include "common/paths.h"

#include <gtest/gtest.h>

#include <map>

#include "common/files.h"
#include "support/temp_dir.h"

using namespace kolm::common;
namespace fs = std::filesystem;

namespace {

EnvLookup envOf(std::map<std::string, std::string> vars) {
  return [vars](const std::string& name) -> std::optional<std::string> {
    auto it = vars.find(name);
    if (it == vars.end()) return std::nullopt;
    return it->second;
  };
}

void touch(const fs::path& file) {
  fs::create_directories(file.parent_path());
  ASSERT_TRUE(writeFileAtomic(file, "x"));
}

}  // namespace

TEST(DataLookup, FindsTheIconsWhereEachLayoutPutsThem) {
  struct Case {
    const char* name;
    const char* iconAt;      // where RL.ico lies, under the scratch root
    const char* programDir;  // the program's folder, under the scratch root
    const char* expected;    // the folder found, under the scratch root ("" = none)
  };
  const Case cases[] = {
      {"build tree", "build/RL.ico", "build", "build"},
      {"installed under a prefix", "opt/kolm/share/kolm/RL.ico", "opt/kolm/bin",
       "opt/kolm/share/kolm"},
      {"system data folder", "sys2/kolm/RL.ico", "opt/kolm/bin", "sys2/kolm"},
      {"nowhere", "elsewhere/RL.ico", "opt/kolm/bin", ""},
  };
  for (const Case& c : cases) {
    kolm::test::TempDir root;
    const fs::path r = root.path();
    touch(r / c.iconAt);
    auto env = envOf({{"HOME", (r / "home").string()},
                      {"XDG_DATA_DIRS", (r / "sys1").string() + ":" + (r / "sys2").string()}});
    auto found = findDataFolder("RL.ico", r / c.programDir, env);
    if (*c.expected)
      EXPECT_EQ(found, (r / c.expected).lexically_normal()) << c.name;
    else
      EXPECT_FALSE(found) << c.name;
  }
}

TEST(DataLookup, ThePlaceBesideTheProgramComesFirstThenTheUsersThenTheSystems) {
  kolm::test::TempDir root;
  const fs::path r = root.path();
  for (const char* at : {"usr/share/kolm/RL.ico", "usr/bin/RL.ico"}) touch(r / at);
  EXPECT_EQ(findDataFolder("RL.ico", r / "usr" / "bin", envOf({})), r / "usr" / "bin");
  auto folders = dataFolders("/opt/k/bin", envOf({{"HOME", "/home/u"}}));
  std::vector<fs::path> expected{"/opt/k/bin", "/opt/k/share/kolm", "/home/u/.local/share/kolm",
                                 "/usr/local/share/kolm", "/usr/share/kolm"};
  EXPECT_EQ(folders, expected);
  EXPECT_EQ(dataFolders("/b", envOf({{"HOME", "/h"}, {"XDG_DATA_HOME", "/x"}}))[2], "/x/kolm");
}

TEST(SettingsFolder, WorkdirOverridesTheHomeFolder) {
  EXPECT_EQ(settingsFolder(envOf({{"HOME", "/home/u"}})), fs::path("/home/u/kolm"));
  EXPECT_EQ(settingsFolder(envOf({{"HOME", "/home/u"}, {"KOLM_WORKDIR", "/data/k"}})),
            fs::path("/data/k"));
  EXPECT_EQ(settingsFolder(envOf({{"USERPROFILE", "C:/Users/u"}})), fs::path("C:/Users/u/kolm"));
  EXPECT_FALSE(settingsFolder(envOf({})));
}
