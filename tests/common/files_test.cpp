// Files: the record format, reading and writing safely, and where the program's
// own files are found.
#include "common/records.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/time.h>

#include <csignal>
#include <filesystem>
#include <map>
#include <thread>

#include "analyzer/files.h"
#include "common/files.h"
#include "common/paths.h"
#include "common/settings_change.h"
#include "common/settings_file.h"
#include "powermeter/settings.h"
#include "sim/sim_port.h"
#include "support/golden.h"
#include "support/temp_dir.h"
#include "vfo/vfo_files.h"

using namespace kolm::common;
namespace fs = std::filesystem;

TEST(RecordFiles, ReaderSplitsAtCommasAndLineEndsAndStripsQuotes) {
  using Fields = std::vector<std::string>;
  EXPECT_EQ(splitFields("\"20\",\"20\"\r\n400\n\"a,b\"\r888"),
            (Fields{"20", "20", "400", "a,b", "888"}));
  // Empty lines are empty fields, but the final line end is none.
  EXPECT_EQ(splitFields("1\r\n\r\n2\r\n"), (Fields{"1", "", "2"}));
  EXPECT_TRUE(splitFields("").empty());
  // Blanks around a bare field, text after a closing quote, a quote the line end closes.
  EXPECT_EQ(splitFields(" 1 ,\t\"a\" x,\"b\r\n2"), (Fields{"1", "a", "b", "2"}));
  // A field's own quotes and line ends cannot break the record it is written in.
  RecordWriter w;
  w.quoted("a\"b\r\nc");
  EXPECT_EQ(w.text(), "\"abc\"\r\n");
}

TEST(ReadFile, RefusesWhatNoReaderShouldWaitOnOrSwallow) {
  kolm::test::TempDir dir;
  const auto fifo = dir.path() / "pipe";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  ASSERT_TRUE(writeFileAtomic(dir.path() / "four", "1234"));
  struct Case {
    std::filesystem::path path;
    uint64_t limit;
    ReadFault fault;
    const char* says;
  };
  const Case cases[] = {
      {dir.path() / "four", 4, ReadFault::None, ""},
      {dir.path() / "four", 3, ReadFault::TooLarge, "is larger than 3 bytes"},
      {dir.path() / "none", 4, ReadFault::Missing, "cannot be opened"},
      {dir.path(), 4, ReadFault::NotRegular, "is a folder"},
      {fifo, 4, ReadFault::NotRegular, "is not a regular file"},
      {"/dev/zero", kChartFileLimit, ReadFault::NotRegular, "is not a regular file"},
  };
  for (const Case& c : cases) {
    const FileRead r = readFile(c.path, c.limit);
    EXPECT_EQ(r.fault, c.fault) << c.path;
    EXPECT_EQ(r.content.has_value(), c.fault == ReadFault::None) << c.path;
    EXPECT_NE(r.error.find(c.says), std::string::npos) << r.error;
    if (c.fault != ReadFault::None) {
      EXPECT_NE(r.error.find("'" + c.path.string() + "'"), std::string::npos) << r.error;
    }
  }
}

namespace {
size_t openFiles() {
  size_t n = 0;
  for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator("/proc/self/fd")) ++n;
  return n;
}
size_t entries(const std::filesystem::path& dir) {
  size_t n = 0;
  for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(dir)) ++n;
  return n;
}
}  // namespace

TEST(AtomicWrite, AFailedWriteClosesItsFileAndLeavesNothing) {
  kolm::test::TempDir dir;
  const auto path = dir.path() / "x.pwm";
  ASSERT_TRUE(writeFileAtomic(path, "old"));
  // A file size limit makes the write fail part-way, as a full disk would.
  struct rlimit before {};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &before), 0);
  auto* oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = before;
  small.rlim_cur = 1024;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const size_t open = openFiles();
  std::string error;
  const bool written = writeFileAtomic(path, std::string(4096, 'x'), &error);
  const size_t openAfter = openFiles();
  ::setrlimit(RLIMIT_FSIZE, &before);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_FALSE(written);
  EXPECT_NE(error.find("cannot write '" + path.string() + "'"), std::string::npos) << error;
  EXPECT_EQ(openAfter, open);
  EXPECT_EQ(readTextFile(path).value_or(""), "old");
  EXPECT_EQ(entries(dir.path()), 1u);
}

TEST(AtomicWrite, OnlyTheProgramsOwnTemporariesGoAtTheNextSave) {
  kolm::test::TempDir dir;
  const auto path = dir.path() / "pow.ini";
  const auto stale = dir.path() / ".pow.ini.kolm-save-Ab12Cd";   // left by a save that was killed
  const auto recent = dir.path() / ".pow.ini.kolm-save-Zz99Yy";  // a save in progress elsewhere
  const auto other = dir.path() / ".ant.ini.kolm-save-Ab12Cd";   // another file's
  // The user's own files of the same shape, old as they are.
  const auto userFiles = {dir.path() / ".pow.ini.saved1", dir.path() / ".pow.ini.backup",
                          dir.path() / ".pow.ini.kolm-save-Ab12Cd7"};
  for (const auto& p : {stale, recent, other}) ASSERT_TRUE(writeFileAtomic(p, "partial"));
  for (const auto& p : userFiles) ASSERT_TRUE(writeFileAtomic(p, "mine"));
  const struct timeval old[2] = {{1000000000, 0}, {1000000000, 0}};
  for (const auto& p : userFiles) ASSERT_EQ(::utimes(p.c_str(), old), 0);
  ASSERT_EQ(::utimes(stale.c_str(), old), 0);
  ASSERT_EQ(::utimes(other.c_str(), old), 0);
  ASSERT_TRUE(writeFileAtomic(path, "saved"));
  EXPECT_FALSE(std::filesystem::exists(stale));
  EXPECT_TRUE(std::filesystem::exists(recent));
  EXPECT_TRUE(std::filesystem::exists(other));
  for (const auto& p : userFiles) EXPECT_EQ(readTextFile(p).value_or(""), "mine") << p;
  EXPECT_EQ(entries(dir.path()), 6u);
  // A folder where the file should be: said, nothing copied, nothing to replace.
  std::filesystem::create_directory(dir.path() / "kolm.ini");
  SettingsKeeper keeper;
  const KeptAside folder = keeper.keep(dir.path() / "kolm.ini", "it is a folder");
  EXPECT_TRUE(folder.copy.empty());
  EXPECT_NE(folder.message.find("'kolm.ini'"), std::string::npos) << folder.message;
}

// A file named through links is written through them: the target takes the
// content, beside itself, and every link stays a link.
TEST(AtomicWrite, WritesThroughLinksToTheirTarget) {
  kolm::test::TempDir dir;
  fs::create_directory(dir.path() / "data");
  const struct {
    const char* link;
    const char* to;  // as the link holds it
    const char* target;
  } cases[] = {{"a.csv", "data/a.csv", "data/a.csv"},
               {"b.csv", "a.csv", "data/a.csv"},  // a chain of two links
               {"data/c.csv", "../c-real.csv", "c-real.csv"},
               {"d.csv", "data/new.csv", "data/new.csv"}};  // a target still to be made
  ASSERT_TRUE(writeFileAtomic(dir.path() / "data/a.csv", "old"));
  ASSERT_TRUE(writeFileAtomic(dir.path() / "c-real.csv", "old"));
  for (const auto& c : cases) fs::create_symlink(c.to, dir.path() / c.link);
  for (const auto& c : cases) {
    const auto link = dir.path() / c.link;
    EXPECT_EQ(outputTargetProblem(link, OutputKind::Replaced), "") << c.link;
    ASSERT_TRUE(writeFileAtomic(link, std::string("new ") + c.link)) << c.link;
    EXPECT_TRUE(fs::is_symlink(link)) << c.link;
    EXPECT_EQ(readTextFile(dir.path() / c.target).value_or(""), std::string("new ") + c.link);
  }
  // A loop of links and a name too long for the file system are refused before any work.
  fs::create_symlink("loop.csv", dir.path() / "loop.csv");
  for (const auto& name : {std::string("loop.csv"), std::string(300, 'x') + ".csv"})
    EXPECT_NE(outputTargetProblem(dir.path() / name, OutputKind::Replaced), "") << name.size();
}

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
  for (const auto& c : kolm::test::goldenRows("data_lookup.tsv", 4)) {
    kolm::test::TempDir root;
    const fs::path r = root.path();
    touch(r / c[1]);
    auto env = envOf({{"HOME", (r / "home").string()},
                      {"XDG_DATA_DIRS", (r / "sys1").string() + ":" + (r / "sys2").string()}});
    auto found = findDataFolder("RL.ico", r / c[2], env);
    EXPECT_EQ(found, c[3] == "-" ? std::nullopt : std::optional((r / c[3]).lexically_normal()))
        << c[0];
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

// Settings files damaged as editors and copies damage them, through a read and a
// save: read whole where that is safe, otherwise the user's file kept aside.
TEST(SettingsFiles, ReadLenientlyOrKeptAsideBeforeTheSave) {
  const std::string pow =
      "\" 3\"\r\n\" 30\"\r\n\"1000\"\r\n\"20\"\r\n\"-80\"\r\n\" 800\"\r\n\" 200\"\r\n\"0\"\r\n\" "
      "50\"\r\n";
  struct Case {
    std::string name;
    std::string content;
    bool whole;
  };
  auto replaced = [](std::string text, const std::string& with) {
    for (size_t at = 0; (at = text.find("\r\n", at)) != std::string::npos; at += with.size())
      text.replace(at, 2, with);
    return text;
  };
  const Case cases[] = {
      {"byte-order mark", "\xEF\xBB\xBF" + pow, true},
      {"CR CR LF", replaced(pow, "\r\r\n"), true},
      {"lone CR", replaced(pow, "\r"), true},
      {"over 64 kB", pow + std::string(70000, ' '), false},
      {"a count that is no number", std::string(pow).replace(pow.find("800"), 3, "8x0"), false},
      {"text after the ninth record", pow + "\"more\"\r\n", false},
      {"cut inside a record", pow.substr(0, 44), false},
      {"eight records", pow.substr(0, pow.rfind("\" ")), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    kolm::test::TempDir dir;
    const auto file = dir.path() / "pow.ini";
    ASSERT_TRUE(writeFileAtomic(file, c.content));
    std::string problem;
    const auto ini = kolm::powermeter::readPowIni(file, &problem);
    EXPECT_EQ(problem.empty(), c.whole) << problem;
    if (c.whole) {
      EXPECT_EQ(ini.calibration.countsAt0Dbm, 800);
      EXPECT_EQ(ini.calibration.countsAtMinus60Dbm, 200);
      EXPECT_EQ(ini.r0Ohm, 50);
    }
    SettingsKeeper keeper;
    const KeptAside first = keeper.keep(file, problem);
    EXPECT_TRUE(first.mayWrite);
    EXPECT_EQ(first.message.empty(), c.whole);
    EXPECT_TRUE(keeper.keep(file, problem).message.empty());  // told once
    EXPECT_TRUE(
        kolm::powermeter::savePowIni({"3", "30", "1000", "20", "-80", {}, "0", 0}, file, keeper));
    EXPECT_EQ(entries(dir.path()), c.whole ? 1u : 2u);
    if (c.whole) continue;
    // Told once, naming the file and (where it has one) the line; the copy is the
    // user's file byte for byte.
    EXPECT_NE(first.message.find("'pow.ini'"), std::string::npos) << first.message;
    EXPECT_NE(first.message.find(first.copy.filename().string()), std::string::npos);
    EXPECT_EQ(first.copy.filename().string().rfind("pow.ini.unreadable-", 0), 0u);
    EXPECT_EQ(readTextFile(first.copy).value_or(""), c.content);
  }
  // The other settings files through their own saves keep the user's copy too.
  kolm::test::TempDir dir;
  const std::string big(70000, ' ');
  ASSERT_TRUE(writeFileAtomic(dir.path() / "ant.ini", "\"3\"\r\n" + big));
  ASSERT_TRUE(writeFileAtomic(dir.path() / "radio.ini", "\"7\",\"10\",\"10\",\"x\""));
  ASSERT_TRUE(writeFileAtomic(dir.path() / "sim.cfg", "\"through\"," + big));
  SettingsKeeper keeper;
  EXPECT_TRUE(kolm::analyzer::saveAntIni({}, dir.path() / "ant.ini", keeper));
  EXPECT_TRUE(kolm::vfo::saveRadioIni({}, dir.path() / "radio.ini", keeper));
  EXPECT_TRUE(kolm::sim::savePortOptions({}, dir.path() / "sim.cfg", keeper));
  EXPECT_EQ(entries(dir.path()), 6u);
}

// A list of bare numbers, one a line, whose last number was cut short: the
// whole numbers are read, and the cut one is named.
TEST(SettingsFiles, ABareNumberCutShortIsNotAWholeRecord) {
  kolm::test::TempDir dir;
  const auto file = dir.path() / "VFO_FreqMem";
  for (const auto& [text, whole] :
       {std::pair{"7.05\r\n14.2\r\n", true}, {"7.05\r\n14", false}, {"7.05\r\n14.2\r", true}}) {
    ASSERT_TRUE(writeFileAtomic(file, text));
    std::string problem;
    const auto read = kolm::vfo::readMemories(file, &problem);
    EXPECT_EQ(problem.empty(), whole) << text;
    EXPECT_EQ(read.size(), whole ? 2u : 1u) << text;
    EXPECT_EQ(problem.find("line 2") != std::string::npos, !whole) << problem;
  }
}

// Programs changing one settings file at once: every change is made to what
// the file holds then, so none is lost.
TEST(SettingsChange, ProgramsAtOnceLoseNoChange) {
  kolm::test::TempDir dir;
  constexpr int kPrograms = 6, kChanges = 15;
  std::vector<std::thread> programs;
  for (int p = 0; p < kPrograms; ++p)
    programs.emplace_back([&dir, p] {
      SettingsFolder folder(dir.path());  // each its own lock, as another process has
      for (int k = 0; k < kChanges; ++k)
        changeSettingsText(folder, "list", [&](SettingsNow& now) {
          return std::optional(now.text.value_or("") + std::to_string(p * 100 + k) + "\r\n");
        });
    });
  for (auto& p : programs) p.join();
  const std::string text = readTextFile(dir.path() / "list").value_or("");
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), kPrograms * kChanges);
}

// What one run has kept aside is its own: another keeper (the windows and a
// kolm-cli run, or two runs) copies and tells once for itself.
TEST(SettingsKeeper, EachKeeperCopiesAndTellsOnceForItself) {
  kolm::test::TempDir dir;
  const auto file = dir.path() / "radio.ini";
  ASSERT_TRUE(writeFileAtomic(file, "\"7\",\"10\",\"10\",\"x\""));
  const std::string problem = "line 1: \"x\" is not a number";
  SettingsKeeper one;
  SettingsKeeper other;
  const KeptAside first = one.keep(file, problem);
  const KeptAside second = other.keep(file, problem);
  for (const KeptAside& k : {first, second}) {
    EXPECT_TRUE(k.mayWrite);
    EXPECT_NE(k.message.find("'radio.ini'"), std::string::npos) << k.message;
    EXPECT_EQ(readTextFile(k.copy).value_or(""), "\"7\",\"10\",\"10\",\"x\"");
  }
  EXPECT_NE(first.copy, second.copy);
  for (SettingsKeeper* k : {&one, &other, &one})
    EXPECT_TRUE(k->keep(file, problem).message.empty());
  EXPECT_EQ(entries(dir.path()), 3u);
}
