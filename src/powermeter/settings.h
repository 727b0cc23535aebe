// pow.ini: the power meter's settings in the settings folder, nine quoted
// texts read when the window opens and written when it closes.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include <optional>

#include "common/settings_change.h"
#include "common/settings_file.h"
#include "common/typed_number.h"
#include "powermeter/level.h"

namespace kolm::powermeter {

inline constexpr const char* kSettingsFile = "pow.ini";

// What readPowIni gives the window: the numeric values of items 1 to 7 and 9, and
// item 8, the delay box, as it stands with the number it reads as.
struct PowIni {
  float viewStartMHz = 3;
  float viewStopMHz = 30;
  int16_t points = 1000;
  float topDbm = 20;
  float bottomDbm = -80;
  Calibration calibration;
  common::NumberText delayMs{"0", 0};  // the delay box, ms
  float r0Ohm = 0;
  bool operator==(const PowIni&) const = default;
};

// The defaults, then the items of the file in order; a short file, or an item
// that does not fit (a value beyond single precision, points beyond 16 bits, a
// calibration count or R0 that is no number, a count outside 0..1023), stops
// the reading and keeps the defaults for the rest. A file that was there but
// could not be read whole (fewer than nine records, such an item, a record cut
// short, text after the ninth, a file that cannot be read at all) sets
// `problem` (the line and why); a missing file does not.
PowIni readPowIni(const std::filesystem::path& path, std::string* problem = nullptr);
PowIni parsePowIni(std::string_view content, std::string* problem = nullptr);

// What savePowIni writes: the texts of the boxes as they stand, and the values.
struct PowIniTexts {
  std::string startMHz, stopMHz, points, topDbm, bottomDbm;
  Calibration calibration;
  std::string delayMs;
  float r0Ohm = 0;
};

// The texts of settings read from pow.ini, to write them back as they were
// (numbers in their shortest form, the delay as read).
PowIniTexts powIniTexts(const PowIni& ini);

// Nine lines, each text in double quotes, CR LF.
std::string formatPowIni(const PowIniTexts& texts);
// The calibration's two lines (items 6 and 7) as formatPowIni writes them: what
// a session's checksum of the power meter's calibration is taken over.
std::string calibrationRecords(const Calibration& calibration);
// A whole pow.ini, written atomically (a fresh file, a test's); false (and
// nothing changed) on an error. A pow.ini there that cannot be read whole is
// copied aside by `keeper` first, and left alone when it cannot be.
bool savePowIni(const PowIniTexts& texts, const std::filesystem::path& path,
                common::SettingsKeeper& keeper);

// What a program changes in pow.ini: the items it sets; every other item keeps
// what the file holds when the change is made.
struct PowIniChange {
  std::optional<std::string> startMHz, stopMHz, points, topDbm, bottomDbm, delayMs;
  std::optional<Calibration> calibration;
  std::optional<float> r0Ohm;
  bool empty() const;
};
// The items of `now` that differ from `before` (what a window last read or
// wrote): the change a window makes without writing back what it did not change.
PowIniChange powIniChange(const PowIniTexts& before, const PowIniTexts& now);
// pow.ini changed as every settings file is (common::changeSettings): read
// again under the folder's lock, `change` applied, written atomically.
common::SettingsChange changePowIni(common::SettingsFolder& folder, const PowIniChange& change);

}  // namespace kolm::powermeter
