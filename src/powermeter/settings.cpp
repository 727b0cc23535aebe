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
  // A file that ends before its nine records lost the rest (the calibration
  // among them): it is not whole.
  int records = 0;
  auto ended = [&] {
    if (why.empty())
      why =
          common::lineProblem(reader.line() + 1, "the file ends after " + std::to_string(records) +
                                                     " of the nine records of pow.ini");
    return false;
  };
  auto next = [&](auto assign, bool bare = false) {
    if (!number(assign, bare)) return false;
    ++records;
    return true;
  };
  const bool whole = [&] {
    if (!next(single(ini.viewStartMHz))) return ended();
    if (!next(single(ini.viewStopMHz))) return ended();
    if (!next(int16(ini.points))) return ended();
    if (!next(single(ini.topDbm))) return ended();
    if (!next(single(ini.bottomDbm))) return ended();
    if (!next(count(ini.calibration.countsAt0Dbm), true)) return ended();
    if (!next(count(ini.calibration.countsAtMinus60Dbm), true)) return ended();
    auto delay = reader.next();
    if (!delay) return ended();
    ++records;
    ini.delayMs = common::NumberText(*delay);
    if (!next(single(ini.r0Ohm), true)) return ended();
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
  return common::readSettings<PowIni>(path, common::kSettingsFileLimit, parsePowIni, problem);
}

PowIniTexts powIniTexts(const PowIni& ini) {
  auto text = [](double v) { return common::shortestText(v, 7); };
  return {text(ini.viewStartMHz), text(ini.viewStopMHz), text(ini.points), text(ini.topDbm),
          text(ini.bottomDbm),    ini.calibration,       ini.delayMs.text, ini.r0Ohm};
}

std::string formatPowIni(const PowIniTexts& t) {
  common::RecordWriter w;
  w.quoted(t.startMHz);
  w.quoted(t.stopMHz);
  w.quoted(t.points);
  w.quoted(t.topDbm);
  w.quoted(t.bottomDbm);
  w.quoted(common::strDouble(t.calibration.countsAt0Dbm));
  w.quoted(common::strDouble(t.calibration.countsAtMinus60Dbm));
  w.quoted(t.delayMs);
  w.quoted(common::strSingle(t.r0Ohm));
  return w.text();
}

std::string calibrationRecords(const Calibration& calibration) {
  common::RecordWriter w;
  w.quoted(common::strDouble(calibration.countsAt0Dbm));
  w.quoted(common::strDouble(calibration.countsAtMinus60Dbm));
  return w.text();
}

bool PowIniChange::empty() const {
  return !startMHz && !stopMHz && !points && !topDbm && !bottomDbm && !delayMs && !calibration &&
         !r0Ohm;
}

PowIniChange powIniChange(const PowIniTexts& before, const PowIniTexts& now) {
  PowIniChange c;
  auto text = [](std::optional<std::string>& item, const std::string& was, const std::string& is) {
    if (is != was) item = is;
  };
  text(c.startMHz, before.startMHz, now.startMHz);
  text(c.stopMHz, before.stopMHz, now.stopMHz);
  text(c.points, before.points, now.points);
  text(c.topDbm, before.topDbm, now.topDbm);
  text(c.bottomDbm, before.bottomDbm, now.bottomDbm);
  text(c.delayMs, before.delayMs, now.delayMs);
  if (!(now.calibration == before.calibration)) c.calibration = now.calibration;
  if (now.r0Ohm != before.r0Ohm) c.r0Ohm = now.r0Ohm;
  return c;
}

common::SettingsChange changePowIni(common::SettingsFolder& folder, const PowIniChange& change) {
  if (change.empty()) return common::SettingsChange::unchanged();
  return common::changeSettings(
      folder, kSettingsFile,
      [](std::string_view text, std::string* problem) {
        return powIniTexts(parsePowIni(text, problem));
      },
      formatPowIni,
      [&change](PowIniTexts& t) {
        auto put = [](std::string& item, const std::optional<std::string>& to) {
          if (to) item = *to;
        };
        put(t.startMHz, change.startMHz);
        put(t.stopMHz, change.stopMHz);
        put(t.points, change.points);
        put(t.topDbm, change.topDbm);
        put(t.bottomDbm, change.bottomDbm);
        put(t.delayMs, change.delayMs);
        if (change.calibration) t.calibration = *change.calibration;
        if (change.r0Ohm) t.r0Ohm = *change.r0Ohm;
      });
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
