#include "powermeter/level.h"

#include <limits>

#include "common/text.h"
#include "common/tr.h"
#include "powermeter/calibration.h"

namespace kolm::powermeter {

float readingToDbm(int reading, const Calibration& calibration) {
  const int d = calibration.countsAt0Dbm - calibration.countsAtMinus60Dbm;
  if (d == 0) return std::numeric_limits<float>::quiet_NaN();
  return static_cast<float>((-60.0 / d) * (calibration.countsAt0Dbm - reading));
}

std::string calibrationError(const Calibration& calibration) {
  if (calibration.usable()) return {};
  return common::arg(
      KOLM_TR("kolm",
              "The 0 dBm and -60 dBm calibrations hold the same detector count "
              "(%1): no level can be computed from them. Calibrate again, or "
              "choose %2."),
      {common::shortestText(calibration.countsAt0Dbm), menuPath({"Calibrate", "default"})});
}

LevelLimits levelLimits(const Calibration& calibration) {
  LevelLimits limits;
  const int16_t d = static_cast<int16_t>(calibration.countsAt0Dbm -
                                         calibration.countsAtMinus60Dbm);  // as readingToDbm
  if (d == 0) return limits;                                     // nothing converts with it
  const double level0 = (-60.0 / d) * calibration.countsAt0Dbm;  // the level of count 0
  const double levelTop = (-60.0 / d) * (calibration.countsAt0Dbm - 1023);
  limits.rising = d > 0;
  limits.withinFigures = withinDetectorFigures(calibration);
  limits.calibrated = !calibration.isDefault() && limits.withinFigures;
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

chart::Mark LevelLimits::mark(float level) const {
  const LevelFlag f = flag(level);
  if (f != LevelFlag::Valid && !calibrated) return chart::Mark::Approximate;
  return levelMark(f);
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
    const chart::Mark m = limits.mark(levels[i]);
    if (m == chart::Mark::Valid) continue;
    if (marks.empty()) marks.assign(count, chart::Mark::Valid);
    marks[i] = m;
  }
  return marks;
}

std::string levelText(float level, LevelFlag flag, bool calibrated) {
  if (!calibrated)
    return chart::markedText(level, chart::Mark::Approximate, "0.0") + " dBm, " +
           KOLM_TR("kolm", "not calibrated");
  return chart::markedText(level, levelMark(flag), "0.0") + " dBm";
}

std::string uncalibratedNote(const LevelLimits& limits) {
  if (limits.calibrated) return {};
  if (!limits.withinFigures)
    return common::arg(KOLM_TR("kolm",
                               "Calibration counts outside the detector's figures: levels may be "
                               "far off (see %1)"),
                       {menuPath({"Calibrate"})});
  return common::arg(KOLM_TR("kolm", "Not calibrated: levels may be a few dB off (see %1)"),
                     {menuPath({"Calibrate"})});
}

std::string menuPath(std::initializer_list<const char*> captions) {
  // The window's menus take these captions from the same context.
  std::string (*const lookUp)(const char*, const char*) = common::tr;
  std::string path;
  for (const char* c : captions) {
    if (!path.empty()) path += " > ";
    path += lookUp("kolm", c);
  }
  return path;
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

std::string flagWords(float level, const LevelLimits& limits) {
  std::string words(flagWord(limits.flag(level)));
  if (!limits.calibrated) words += words.empty() ? "uncalibrated" : " uncalibrated";
  return words;
}

const chart::MarkWords& levelMarkWords() {
  static const chart::MarkWords words{"",     "overload", "floor",    "approximate",
                                      "open", "invalid",  "uncertain"};
  return words;
}

}  // namespace kolm::powermeter
