// pow.ini: the power meter's settings in the settings folder, nine quoted
// texts read when the window opens and written when it closes.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "common/settings_file.h"
#include "powermeter/level.h"

namespace kolm::powermeter {

inline constexpr const char* kSettingsFile = "pow.ini";

// What readPowIni gives the window: the numeric values of items 1 to 7 and 9, and
// item 8 as it stands.
struct PowIni {
  float ViewStart = 3;
  float ViewStop = 30;
  int16_t Points = 1000;
  float LevelTop = 20;
  float LevelBottom = -80;
  Calibration calibration;
  std::string delayText = "0";  // the delay box, ms, as typed
  float R0 = 0;
  bool operator==(const PowIni&) const = default;
};

// The defaults, then the items of the file in order; a missing or short file,
// or an item that does not fit (a value beyond single precision, points beyond
// 16 bits, a calibration count or R0 that is no number, a count outside
// 0..1023), stops the reading and keeps the defaults for the rest. A file that
// was there but could not be read whole (such an item, text after the ninth, a
// file that cannot be read at all) sets `problem` (the line and why); a missing
// or short file does not.
PowIni readPowIni(const std::filesystem::path& path, std::string* problem = nullptr);
PowIni parsePowIni(std::string_view content, std::string* problem = nullptr);

// What savePowIni writes: the texts of the boxes as they stand, and the values.
struct PowIniTexts {
  std::string startMHz, stopMHz, points, topDbm, bottomDbm;
  Calibration calibration;
  std::string delayMs;
  float R0 = 0;
};

// The texts of settings read from pow.ini, to write them back as they were
// (numbers in their shortest form, the delay as read).
PowIniTexts powIniTexts(const PowIni& ini);

// Nine lines, each text in double quotes, CR LF.
std::string formatPowIni(const PowIniTexts& texts);
// Written atomically; false (and nothing changed) on an error. A pow.ini there
// that cannot be read whole is copied aside by `keeper` first, and left alone
// when it cannot be.
bool savePowIni(const PowIniTexts& texts, const std::filesystem::path& path,
                common::SettingsKeeper& keeper);

}  // namespace kolm::powermeter
