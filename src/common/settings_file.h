// Settings files (dds.cfg, pow.ini, ant.ini, radio.ini, the VFO's memories and
// band buttons, sim.cfg, kolm.ini): read leniently where that is safe, and never
// written back over when they could not be read whole.
#pragma once

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "common/files.h"

namespace kolm::common {

// A settings file's text as its readers take it: a UTF-8 byte-order mark at the
// start is dropped and CR CR LF (a text converted twice) is one line end. Lone CR
// and LF already are line ends for the record reader.
std::string lenientSettingsText(std::string_view raw);

struct SettingsRead {
  // The text (lenient, as above) up to its last whole record; nothing when the
  // file is missing or unreadable.
  std::optional<std::string> content;
  // Why a file that is there could not be read whole, naming it (a folder, a
  // file beyond the size limit, no permission), or the line of a last record
  // the file ends inside; empty otherwise.
  std::string problem;
};
// How the last record of a file may end. A file whose records the program
// writes as bare numbers, each on its own line, ends with a line end: a last
// number without one was cut ("14.2" to "14"). Elsewhere a hand-written file
// may end without a line end, and only a quote left open marks a cut.
enum class LastRecord { MayEndFile, EndsWithLine };
// A file that ends inside a record has that record left out of `content`, and
// `problem` says so.
SettingsRead readSettingsFile(const std::filesystem::path& path, uint64_t limit,
                              LastRecord rule = LastRecord::MayEndFile);

// A settings file read with `parse(content, &problem)`: the file's own
// problem (unreadable, a record cut short) comes first, being the cause of
// what the parser then misses.
template <class Values, class Parse>
Values readSettings(const std::filesystem::path& path, uint64_t limit, Parse parse,
                    std::string* problem, LastRecord rule = LastRecord::MayEndFile) {
  const SettingsRead read = readSettingsFile(path, limit, rule);
  std::string found;
  Values values = read.content ? parse(*read.content, &found) : Values{};
  if (!read.problem.empty()) found = read.problem;
  if (problem) *problem = found;
  return values;
}

// "line 6: WHY", for the readers' problems (the field quoted in WHY shortened).
std::string lineProblem(int line, std::string_view why);
// "'pow.ini' could not be read whole (PROBLEM)."
std::string unreadableText(const std::filesystem::path& path, const std::string& problem);

// What keeping a settings file aside did (SettingsKeeper::keep).
struct KeptAside {
  // False when the copy could not be made: the program must not write there.
  bool mayWrite = true;
  // What to tell the user (the file, the line, where the copy is), once; empty
  // when there is nothing (more) to say.
  std::string message;
  std::filesystem::path copy;
};

// The settings files one run of a front end has copied aside. The windows and
// each kolm-cli run own one and hand it to whoever writes a settings file.
class SettingsKeeper {
 public:
  // A settings file that could not be read whole, before the program writes
  // there: the user's file is copied aside as "<name>.unreadable-YYYYMMDD-HHMMSS"
  // (UTC; a number added when that name is taken). Done once per file and
  // keeper: a second call for a file already kept, unchanged since, gives no
  // message; a file damaged anew is kept again.
  KeptAside keep(const std::filesystem::path& path, const std::string& problem);

 private:
  struct Kept {
    std::filesystem::path copy;
    uintmax_t size = 0;
    std::filesystem::file_time_type written{};
    bool operator==(const Kept&) const = default;
  };
  std::map<std::string, Kept> kept_;
};

// Where a front end keeps its settings files, fixed once at start (the windows:
// common::settingsFolder; kolm-cli: the folder it is run in), with the keeper
// of that run. Every settings file is named from here, never by a name
// relative to the process's working directory.
class SettingsFolder {
 public:
  explicit SettingsFolder(std::filesystem::path folder) : folder_(std::move(folder)) {}
  SettingsFolder(const SettingsFolder&) = delete;
  SettingsFolder& operator=(const SettingsFolder&) = delete;

  const std::filesystem::path& path() const { return folder_; }
  // The settings file `name` in the folder.
  std::filesystem::path file(std::string_view name) const { return folder_ / name; }
  SettingsKeeper& keeper() { return keeper_; }
  // Why the folder cannot be written, once a front end found out at start and
  // said so (common::settingsFolderProblem); empty otherwise. Saves that fail
  // there are not said again.
  const std::string& unwritable() const { return unwritable_; }
  void setUnwritable(std::string why) { unwritable_ = std::move(why); }

  // Held while a settings file is read, changed and written
  // (common::changeSettings), and by a caller that changes two files as one
  // (a calibration and the previous one): other programs on the folder wait
  // meanwhile. Holds nest within the program.
  class Hold {
   public:
    explicit Hold(SettingsFolder& folder);
    ~Hold();
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;

   private:
    SettingsFolder& folder_;
  };

 private:
  std::filesystem::path folder_;
  SettingsKeeper keeper_;
  std::unique_ptr<FolderLock> lock_;
  int holds_ = 0;
  std::string unwritable_;
};

// The time now, UTC, in calendar fields.
std::tm utcNow();

// A long text shortened for a message: its first `keep` characters, then "…"
// and how many more there were.
std::string shortened(std::string_view text, size_t keep = 60);

}  // namespace kolm::common
