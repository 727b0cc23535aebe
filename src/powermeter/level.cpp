#include "powermeter/level.h"

#include <limits>

#include "common/text.h"

namespace kolm::powermeter {

float readingToDbm(int reading, const Calibration& calibration) {
  const int d = calibration.Cal0 - calibration.Cal60;
  if (d == 0) return std::numeric_limits<float>::quiet_NaN();
  return static_cast<float>((-60.0 / d) * (calibration.Cal0 - reading));
}

std::string calibrationError(const Calibration& calibration) {
  if (calibration.usable()) return {};
  return "The 0 dBm and -60 dBm calibrations hold the same detector count (" +
         common::shortestText(calibration.Cal0) +
         "): no level can be computed from them. Calibrate again, or choose "
         "Calibrate > default.";
}

LevelLimits levelLimits(const Calibration& calibration) {
  LevelLimits limits;
  const int16_t d = static_cast<int16_t>(calibration.Cal0 - calibration.Cal60);  // as readingToDbm
  if (d == 0) return limits;                             // nothing converts with it
  const double level0 = (-60.0 / d) * calibration.Cal0;  // the level of count 0
  const double levelTop = (-60.0 / d) * (calibration.Cal0 - 1023);
  limits.rising = d > 0;
  const double towardsTop = limits.rising ? 1 : -1;
  limits.floorDbm = static_cast<float>(level0 + towardsTop * kFloorMarginDb);
  limits.overloadDbm = static_cast<float>(levelTop - towardsTop * kOverloadMarginDb);
  return limits;
}

LevelFlag LevelLimits::flag(float level) const {
  if (rising) {
    if (level <= floorDbm) return LevelFlag::Floor;
    if (level >= overloadDbm) return LevelFlag::Overload;
  } else {
    if (level >= floorDbm) return LevelFlag::Floor;
    if (level <= overloadDbm) return LevelFlag::Overload;
  }
  return LevelFlag::Valid;
}

chart::Mark levelMark(LevelFlag flag) {
  switch (flag) {
    case LevelFlag::Valid:
      return chart::Mark::Valid;
    case LevelFlag::Floor:
      return chart::Mark::AtMost;
    case LevelFlag::Overload:
      return chart::Mark::AtLeast;
  }
  return chart::Mark::Invalid;
}

std::vector<chart::Mark> levelMarks(const float* levels, size_t count, const LevelLimits& limits) {
  std::vector<chart::Mark> marks;
  for (size_t i = 0; i < count; ++i) {
    const LevelFlag f = limits.flag(levels[i]);
    if (f == LevelFlag::Valid) continue;
    if (marks.empty()) marks.assign(count, chart::Mark::Valid);
    marks[i] = levelMark(f);
  }
  return marks;
}

std::string levelText(float level, LevelFlag flag) {
  return chart::markedText(level, levelMark(flag), "0.0") + " dBm";
}

std::string_view flagWord(LevelFlag flag) {
  switch (flag) {
    case LevelFlag::Valid:
      return "";
    case LevelFlag::Floor:
      return "floor";
    case LevelFlag::Overload:
      return "overload";
  }
  return "";
}

const chart::MarkWords& levelMarkWords() {
  static const chart::MarkWords words{"",     "overload", "floor",    "approximate",
                                      "open", "invalid",  "uncertain"};
  return words;
}

}  // namespace kolm::powermeter
