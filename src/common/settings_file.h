// Settings files (dds.cfg, pow.ini, ant.ini, radio.ini, the VFO's memories and
// band buttons, sim.cfg, kolm.ini): read leniently where that is safe, and never
// written back over when they could not be read whole.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace kolm::common {

// A settings file's text as its readers take it: a UTF-8 byte-order mark at the
// start is dropped and CR CR LF (a text converted twice) is one line end. Lone CR
// and LF already are line ends for the record reader.
std::string lenientSettingsText(std::string_view raw);

struct SettingsRead {
  // The text (lenient, as above); nothing when the file is missing or unreadable.
  std::optional<std::string> content;
  // Why a file that is there could not be read at all, naming it (a folder, a
  // file beyond the size limit, no permission); empty otherwise.
  std::string problem;
};
SettingsRead readSettingsFile(const std::filesystem::path& path, uint64_t limit);

// "line 6: WHY", for the readers' problems (the field quoted in WHY shortened).
std::string lineProblem(int line, std::string_view why);
// "'pow.ini' could not be read whole (PROBLEM)."
std::string unreadableText(const std::filesystem::path& path, const std::string& problem);

// A settings file that could not be read whole, before the program writes there:
// the user's file is copied aside as "<name>.unreadable-YYYYMMDD-HHMMSS" (UTC; a
// number added when that name is taken). Done once per file and run: a second
// call for a file already kept gives no message.
struct KeptAside {
  // False when the copy could not be made: the program must not write there.
  bool mayWrite = true;
  // What to tell the user (the file, the line, where the copy is), once; empty
  // when there is nothing (more) to say.
  std::string message;
  std::filesystem::path copy;
};
KeptAside keepUnreadableSettings(const std::filesystem::path& path, const std::string& problem);

// A long text shortened for a message: its first `keep` characters, then "…"
// and how many more there were.
std::string shortened(std::string_view text, size_t keep = 60);

}  // namespace kolm::common
