// A packaged kolm-cli's manual page says what --help says (the version is the
// install check's).
#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "common/files.h"
#include "support/cli_run.h"

using kolm::test::runCli;

namespace {

std::set<std::string> matches(const std::string& text, const std::regex& re, int group = 0) {
  std::set<std::string> out;
  for (auto it = std::sregex_iterator(text.begin(), text.end(), re); it != std::sregex_iterator();
       ++it)
    out.insert((*it)[group].str());
  return out;
}

}  // namespace

// Every option of --help and no other is in the manual page, and every command has
// its entry there.
TEST(CliInstall, TheManPageDocumentsEveryCommandAndOptionOfTheHelp) {
  auto help = runCli("--help");
  ASSERT_EQ(help.status, 0);
  auto roff = kolm::common::readTextFile(std::string(KOLM_MAN_DIR) + "/kolm-cli.1");
  ASSERT_TRUE(roff);
  const std::string man = std::regex_replace(*roff, std::regex(R"(\\-)"), "-");
  EXPECT_NE(man.find(std::string("kolm ") + KOLM_VERSION), std::string::npos);
  const std::regex option(R"(--[a-z][a-z-]*)");
  EXPECT_EQ(matches(man, option), matches(help.out, option));
  const auto commands = matches(help.out, std::regex(R"(\n  ([a-z][a-z-]+)[ \n])"), 1);
  EXPECT_EQ(commands.size(), 11u);
  for (const auto& c : commands)
    EXPECT_TRUE(std::regex_search(man, std::regex("\n\\.BI? \"?" + c + "[ \"\n]")))
        << c << " has no entry in the man page";
}
