#include "analyzer/calibration.h"

#include <filesystem>

#include "common/files.h"

// The calibration and the run under way as files in the settings folder.

namespace kolm::analyzer {

namespace {

// A calibration of 20001 points of seven standards is about 4 MB.
constexpr uint64_t kRunLimitBytes = 8 << 20;
constexpr uint64_t kCalibrationLimitBytes = 8 << 20;

}  // namespace

CalibrationInUse calibrationIn(const common::SettingsFolder& folder, const std::string& setup) {
  CalibrationInUse out;
  const auto path = folder.file(kCalibrationFile);
  const common::SettingsRead read = common::readSettingsFile(path, kCalibrationLimitBytes);
  if (!read.content) {
    if (!read.problem.empty())
      out.problem = common::unreadableText(path, read.problem) + " Readings are uncorrected.";
    return out;
  }
  std::string why;
  auto c = parseCalibration(*read.content, &why);
  if (!c) {
    out.problem = common::unreadableText(path, why) + " Readings are uncorrected.";
    return out;
  }
  if (c->setup != setup) {
    out.problem = "The bridge was calibrated on " + c->setup + "; the analyzer now runs on " +
                  setup + ". Readings are uncorrected until the bridge is calibrated again.";
    return out;
  }
  out.calibration = std::make_shared<const BridgeCalibration>(std::move(*c));
  return out;
}

CalibrationRun calibrationRunIn(const common::SettingsFolder& folder, bool* unreadable) {
  const auto read = common::readSettingsFile(folder.file(kCalibrationRunFile), kRunLimitBytes);
  *unreadable = !read.problem.empty();
  if (!read.content) return {};
  std::string why;
  if (auto run = parseCalibrationRun(*read.content, &why)) return *run;
  *unreadable = true;
  return {};
}

namespace {

bool writeAside(common::SettingsFolder& folder, const std::filesystem::path& file,
                const std::string& content, bool unreadable, std::string& message) {
  if (unreadable) {
    const auto kept = folder.keeper().keep(file, "its text is not what it should be");
    message += kept.message;
    if (!kept.mayWrite) return false;
  }
  std::string error;
  if (common::writeFileAtomic(file, content, &error)) return true;
  message += (message.empty() ? "" : "\n") + file.string() + " could not be written: " + error;
  return false;
}

std::optional<std::string> textOf(const std::filesystem::path& path) {
  const auto read = common::readSettingsFile(path, kCalibrationLimitBytes);
  return read.content;
}

// A calibration file (`name`) that is there but cannot be read whole is copied
// aside before it is written over or removed; false when the copy could not be
// made (nothing may be written there then). `message` gets what to tell.
bool keepUnreadableCalibration(common::SettingsFolder& folder, const char* name,
                               std::string& message) {
  const auto path = folder.file(name);
  const common::SettingsRead read = common::readSettingsFile(path, kCalibrationLimitBytes);
  std::string why = read.problem;
  if (why.empty() && (!read.content || parseCalibration(*read.content, &why))) return true;
  const auto kept = folder.keeper().keep(path, why);
  message += (message.empty() || kept.message.empty() ? "" : "\n") + kept.message;
  return kept.mayWrite;
}

}  // namespace

CalibrationKept keepCalibration(common::SettingsFolder& folder, const CalibrationRun& run,
                                const CalibrationResult* result, bool runUnreadable) {
  CalibrationKept out;
  if (!result || !result->calibration) {
    out.ok = writeAside(folder, folder.file(kCalibrationRunFile), formatCalibrationRun(run),
                        runUnreadable, out.message);
    return out;
  }
  // The calibration it replaces becomes the previous one.
  if (!keepUnreadableCalibration(folder, kCalibrationFile, out.message) ||
      !keepUnreadableCalibration(folder, kPreviousCalibrationFile, out.message)) {
    out.ok = false;
    return out;
  }
  if (const auto current = textOf(folder.file(kCalibrationFile));
      current && parseCalibration(*current, nullptr)) {
    std::string error;
    if (!common::writeFileAtomic(folder.file(kPreviousCalibrationFile), *current, &error)) {
      out.ok = false;
      out.message = folder.file(kPreviousCalibrationFile).string() +
                    " could not be written: " + error + " The calibration in use is kept.";
      return out;
    }
  }
  out.ok = writeAside(folder, folder.file(kCalibrationFile),
                      formatCalibration(*result->calibration), false, out.message);
  out.stored = out.ok;
  std::error_code ec;
  if (out.ok) std::filesystem::remove(folder.file(kCalibrationRunFile), ec);
  return out;
}

bool swapPreviousCalibration(common::SettingsFolder& folder, std::string* why) {
  const auto previous = textOf(folder.file(kPreviousCalibrationFile));
  std::string problem;
  if (!previous || !parseCalibration(*previous, &problem)) {
    *why = previous ? "The previous calibration cannot be read (" + problem + ")."
                    : "There is no previous calibration: one is kept each time a calibration "
                      "replaces another.";
    return false;
  }
  why->clear();
  if (!keepUnreadableCalibration(folder, kCalibrationFile, *why)) return false;
  const auto current = textOf(folder.file(kCalibrationFile));
  std::string error;
  if (current && parseCalibration(*current, nullptr)) {
    if (!common::writeFileAtomic(folder.file(kPreviousCalibrationFile), *current, &error)) {
      *why = error;
      return false;
    }
  } else {
    std::error_code ec;
    std::filesystem::remove(folder.file(kPreviousCalibrationFile), ec);
  }
  if (!common::writeFileAtomic(folder.file(kCalibrationFile), *previous, &error)) {
    *why = error;
    return false;
  }
  return true;
}

bool forgetCalibration(common::SettingsFolder& folder, std::string* why) {
  why->clear();
  if (!keepUnreadableCalibration(folder, kCalibrationFile, *why)) return false;
  const auto current = textOf(folder.file(kCalibrationFile));
  std::string error;
  if (current && parseCalibration(*current, nullptr) &&
      !common::writeFileAtomic(folder.file(kPreviousCalibrationFile), *current, &error)) {
    *why = error;
    return false;
  }
  std::error_code ec;
  for (const char* name : {kCalibrationFile, kCalibrationRunFile}) {
    std::filesystem::remove(folder.file(name), ec);
    if (ec) {
      *why = std::string(name) + " could not be removed: " + ec.message();
      return false;
    }
  }
  return true;
}
}  // namespace kolm::analyzer
