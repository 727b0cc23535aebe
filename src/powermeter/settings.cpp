#include "powermeter/settings.h"

#include "common/files.h"
#include "common/records.h"
#include "common/text.h"

namespace kolm::powermeter {

PowIni parsePowIni(std::string_view content) {
  PowIni ini;
  common::RecordReader reader(content);
  auto number = [&](auto assign) {
    auto field = reader.next();
    if (!field) return false;
    return assign(common::numericValue(*field));
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
  if (!number(single(ini.ViewStart))) return ini;
  if (!number(single(ini.ViewStop))) return ini;
  if (!number(int16(ini.Points))) return ini;
  if (!number(single(ini.LevelTop))) return ini;
  if (!number(single(ini.LevelBottom))) return ini;
  if (!number(count(ini.calibration.Cal0))) return ini;
  if (!number(count(ini.calibration.Cal60))) return ini;
  auto delay = reader.next();
  if (!delay) return ini;
  ini.delayText = *delay;
  number(single(ini.R0));
  return ini;
}

PowIni readPowIni(const std::filesystem::path& path) {
  auto content = common::readTextFile(path, common::kSettingsFileLimit);
  if (!content) return PowIni{};
  return parsePowIni(*content);
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

bool savePowIni(const PowIniTexts& texts, const std::filesystem::path& path) {
  return common::writeFileAtomic(path, formatPowIni(texts));
}

}  // namespace kolm::powermeter
