#include "powermeter/settings.h"

#include "common/files.h"
#include "common/records.h"
#include "common/settings_file.h"
#include "common/text.h"

namespace kolm::powermeter {

PowIni parsePowIni(std::string_view content, std::string* problem) {
  PowIni ini;
  common::RecordReader reader(content);
  std::string why;
  // Takes the next field into `assign`; false, with why, when it cannot be used.
  auto number = [&](auto assign, bool bare = false) {
    auto field = reader.next();
    if (!field) return false;
    const auto value =
        bare ? common::fieldNumber(*field) : std::optional<double>(common::numericValue(*field));
    if (value && assign(*value)) return true;
    why = common::lineProblem(reader.line(), "'" + common::shortened(*field) + "' " +
                                                 (value ? "is out of range" : "is not a number"));
    return false;
  };
  // A value beyond single precision is an unusable record, as is a count the
  // 10-bit detector cannot give.
  auto single = [](float& target) {
    return [&target](double v) {
      if (!common::fitsSingle(v)) return false;
      target = static_cast<float>(v);
      return true;
    };
  };
  auto int16 = [](int16_t& target, int lowest = INT16_MIN, int highest = INT16_MAX) {
    return [&target, lowest, highest](double v) {
      auto r = common::toInt16(v);
      if (!r || *r < lowest || *r > highest) return false;
      target = *r;
      return true;
    };
  };
  auto count = [&](int16_t& target) { return int16(target, 0, kMaxDetectorCount); };
  const bool whole = [&] {
    if (!number(single(ini.ViewStart))) return why.empty();
    if (!number(single(ini.ViewStop))) return why.empty();
    if (!number(int16(ini.Points))) return why.empty();
    if (!number(single(ini.LevelTop))) return why.empty();
    if (!number(single(ini.LevelBottom))) return why.empty();
    if (!number(count(ini.calibration.Cal0), true)) return why.empty();
    if (!number(count(ini.calibration.Cal60), true)) return why.empty();
    auto delay = reader.next();
    if (!delay) return true;
    ini.delayText = *delay;
    if (!number(single(ini.R0), true)) return why.empty();
    if (reader.moreText()) {
      why = common::lineProblem(reader.line() + 1, "text after the nine records of pow.ini");
      return false;
    }
    return true;
  }();
  if (!whole && problem) *problem = why;
  return ini;
}

PowIni readPowIni(const std::filesystem::path& path, std::string* problem) {
  const common::SettingsRead file = common::readSettingsFile(path, common::kSettingsFileLimit);
  if (!file.content) {
    if (problem) *problem = file.problem;
    return PowIni{};
  }
  return parsePowIni(*file.content, problem);
}

PowIniTexts powIniTexts(const PowIni& ini) {
  auto text = [](double v) { return common::shortestText(v, 7); };
  return {text(ini.ViewStart),   text(ini.ViewStop), text(ini.Points), text(ini.LevelTop),
          text(ini.LevelBottom), ini.calibration,    ini.delayText,    ini.R0};
}

std::string formatPowIni(const PowIniTexts& t) {
  common::RecordWriter w;
  w.quoted(t.startMHz);
  w.quoted(t.stopMHz);
  w.quoted(t.points);
  w.quoted(t.topDbm);
  w.quoted(t.bottomDbm);
  w.quoted(common::strDouble(t.calibration.Cal0));
  w.quoted(common::strDouble(t.calibration.Cal60));
  w.quoted(t.delayMs);
  w.quoted(common::strSingle(t.R0));
  return w.text();
}

bool savePowIni(const PowIniTexts& texts, const std::filesystem::path& path,
                common::SettingsKeeper& keeper) {
  // The user's file that could not be read whole is kept aside first.
  std::string problem;
  readPowIni(path, &problem);
  if (!keeper.keep(path, problem).mayWrite) return false;
  return common::writeFileAtomic(path, formatPowIni(texts));
}

}  // namespace kolm::powermeter
