// What a packaged kolm-cli shows its user besides the commands: the port test,
// and a manual page that says what --help says (the version is the install check's).
#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <sstream>

#include "common/files.h"
#include "support/cli_run.h"
#include "support/temp_dir.h"

using kolm::test::runCli;

namespace {

// The text of a man page as a reader sees it: macros dropped, font changes and
// escapes undone, the arguments of the font macros joined as roff joins them.
std::string manText(const std::string& roff) {
  std::istringstream in(roff);
  std::string out, line;
  const std::regex fontMacro(R"(^\.(B|I|BI|IB|BR|RB|IR|RI)\s+(.*)$)");
  const std::regex arg(R"re("([^"]*)"|(\S+))re");
  while (std::getline(in, line)) {
    std::smatch m;
    if (std::regex_match(line, m, fontMacro)) {
      const bool alternating = m[1].length() == 2;
      std::string joined;
      const std::string args = m[2];
      for (auto it = std::sregex_iterator(args.begin(), args.end(), arg);
           it != std::sregex_iterator(); ++it) {
        if (!alternating && !joined.empty()) joined += ' ';
        joined += (*it)[1].matched ? (*it)[1].str() : (*it)[2].str();
      }
      line = joined;
    } else if (!line.empty() && line[0] == '.') {
      line = line.find(' ') == std::string::npos ? "" : line.substr(line.find(' ') + 1);
    }
    out += line + "\n";
  }
  out = std::regex_replace(out, std::regex(R"(\\f[BIRP])"), "");
  out = std::regex_replace(out, std::regex(R"(\\-)"), "-");
  return std::regex_replace(out, std::regex(R"(\s+)"), " ");
}

std::set<std::string> options(const std::string& text) {
  std::set<std::string> out;
  const std::regex option(R"(--[a-z][a-z-]*)");
  for (auto it = std::sregex_iterator(text.begin(), text.end(), option);
       it != std::sregex_iterator(); ++it)
    out.insert(it->str());
  return out;
}

}  // namespace

TEST(CliInstall, TheManPageDocumentsEveryCommandAndOptionOfTheHelp) {
  auto help = runCli("--help");
  ASSERT_EQ(help.status, 0);
  auto roff = kolm::common::readTextFile(std::string(KOLM_MAN_DIR) + "/kolm-cli.1");
  ASSERT_TRUE(roff);
  const std::string man = manText(*roff);
  EXPECT_NE(man.find(std::string("kolm ") + KOLM_VERSION), std::string::npos);
  // Every global option line and every command's synopsis line of --help.
  std::istringstream in(help.out);
  std::string line, section;
  int synopses = 0;
  while (std::getline(in, line)) {
    if (!line.empty() && line[0] != ' ') section = line;
    std::smatch m;
    std::string synopsis;
    if (section.rfind("Global options", 0) == 0 &&
        std::regex_search(line, m, std::regex(R"(^  (--[a-z]+( [A-Z]+)?))")))
      synopsis = m[1];
    else if (section == "Commands:" && line.rfind("  ", 0) == 0 && line[2] != ' ')
      synopsis = line.substr(2);
    if (synopsis.empty()) continue;
    EXPECT_NE(man.find(" " + synopsis + " "), std::string::npos)
        << "not in the man page: " << synopsis;
    ++synopses;
  }
  EXPECT_EQ(synopses, 17);  // 7 global options, 10 commands
  // And no option the program does not know.
  const auto known = options(help.out);
  for (const auto& o : options(man)) EXPECT_TRUE(known.count(o)) << o << " is not in --help";
}

TEST(CliPortTest, PassesOnTheSimulatorAndExplainsAPortThatCannotBeOpened) {
  kolm::test::InTempDir dir;
  ASSERT_TRUE(kolm::test::writeSimulatorConfig());
  auto r = runCli("--backend sim port-test");
  EXPECT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_NE(r.out.find("PASS  Bridge channel B"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("The port and the instrument answer."), std::string::npos) << r.out;

  r = runCli("--backend ppdev:/nonexistent/parport3 port-test");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("FAIL  Port: There is no parallel port /nonexistent/parport3"),
            std::string::npos)
      << r.out;

  // Before any command, an unopenable port stops the others with the same words.
  r = runCli("--backend ppdev:/nonexistent/parport3 dds --freq 7");
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("There is no parallel port"), std::string::npos) << r.err;
}
