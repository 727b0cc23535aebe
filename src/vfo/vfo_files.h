// The VFO's three files in the settings folder: radio.ini (settings),
// VFO_FreqMem (memories) and VFO_FreqButton.txt (band buttons). Every file is
// written whole to a temporary file and renamed into place.
#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "common/settings_file.h"
#include "common/typed_number.h"
#include "vfo/tuning.h"

namespace kolm::vfo {

inline constexpr const char* kSettingsFile = "radio.ini";
inline constexpr const char* kMemoryFile = "VFO_FreqMem";
inline constexpr const char* kButtonFile = "VFO_FreqButton.txt";

inline constexpr int kBandButtonCount = 12;
using BandButtons = std::array<double, kBandButtonCount>;

// Which IF text box gives the offset.
enum class IfChoice { IF1 = 1, IF2 = 2 };

// What radio.ini keeps; the initial values are the window's own.
struct Settings {
  double workingMHz = 0;
  common::NumberText IF1{"10.000", 10};
  common::NumberText IF2{"10.000", 10};
  IfChoice ifChoice = IfChoice::IF1;
  Mode mode = Mode::GEN;
  std::string keyboardText = "7.050";  // the keyboard box as it stands, kept only
};

// radio.ini: seven quoted records, CR LF each: the working frequency, IF1, IF2,
// "1"/"2" for the IF option, "1"/"2"/"3" for GEN/RTX/RTX2, keyboardText, and the working
// frequency again.
std::string settingsText(const Settings& settings);

// Reads records 1 to 6 into `settings` in order. Reading stops silently at the
// first error (no file, too few records, an IF option or mode that is not a
// number): what was read stays, the rest keeps the value it had.
// A file that is there but cannot be read whole (such a record, text after the
// seventh, a file that cannot be read at all) sets `problem` (the line and why).
void readRadioIni(Settings& settings, const std::filesystem::path& file,
                  std::string* problem = nullptr);
void readSettingsText(Settings& settings, const std::string& content,
                      std::string* problem = nullptr);

// Writes radio.ini; false (and why, in `error`) when it cannot be written. A
// file there that cannot be read whole is kept aside by `keeper` first.
bool saveRadioIni(const Settings& settings, const std::filesystem::path& file,
                  common::SettingsKeeper& keeper, std::string* error = nullptr);

// VFO_FreqMem: one bare number per line. Reading takes numbers to the end of the
// file, skipping empty lines and stopping at the first field that is not a
// number; a missing file gives no memories. Such a field, or a file that cannot
// be read, sets `problem`.
std::vector<double> readMemories(const std::filesystem::path& file, std::string* problem = nullptr);
std::vector<double> parseMemories(const std::string& content, std::string* problem = nullptr);
std::string memoriesText(const std::vector<std::string>& entries);

// VFO_FreqButton.txt: twelve bare numbers, one per line. A missing file, a short
// one or a field that is not a number leaves the buttons not read at 0. Such a
// field, text after the twelfth or a file that cannot be read sets `problem`.
BandButtons readBandButtons(const std::filesystem::path& file, std::string* problem = nullptr);
BandButtons parseBandButtons(const std::string& content, std::string* problem = nullptr);
std::string bandButtonsText(const BandButtons& buttons);

}  // namespace kolm::vfo
