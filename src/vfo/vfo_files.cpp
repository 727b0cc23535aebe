#include "vfo/vfo_files.h"

#include "common/files.h"
#include "common/records.h"
#include "common/settings_file.h"
#include "common/text.h"
#include "common/typed_number.h"

namespace kolm::vfo {

std::string settingsText(const Settings& settings) {
  common::RecordWriter w;
  const std::string freq = common::shortestText(settings.workingMHz);
  w.quoted(freq);
  w.quoted(settings.IF1.text);
  w.quoted(settings.IF2.text);
  w.quoted(settings.ifChoice == IfChoice::IF1 ? "1" : "2");
  w.quoted(std::to_string(static_cast<int>(settings.mode)));
  w.quoted(settings.keyboardText);
  w.quoted(freq);
  return w.text();
}

namespace {
std::string notANumber(const common::RecordReader& r, std::string_view field) {
  return common::lineProblem(r.line(), "'" + common::shortened(field) + "' is not a number");
}
std::string textAfter(const common::RecordReader& r, const char* file) {
  return common::lineProblem(r.line() + 1, std::string("text after the records of ") + file);
}
}  // namespace

void readSettingsText(Settings& settings, const std::string& content, std::string* problem) {
  common::RecordReader r(content);
  auto fail = [&](std::string why) {
    if (problem) *problem = std::move(why);
  };
  auto record = r.next();
  if (!record) return;
  settings.workingMHz = common::numericValue(*record);

  if (!(record = r.next())) return;
  settings.IF1 = common::NumberText(*record);
  if (!(record = r.next())) return;
  settings.IF2 = common::NumberText(*record);

  std::optional<double> number;
  if (!(record = r.next())) return;
  if (!(number = common::fieldNumber(*record))) return fail(notANumber(r, *record));
  settings.ifChoice = *number == 1 ? IfChoice::IF1 : IfChoice::IF2;

  if (!(record = r.next())) return;
  if (!(number = common::fieldNumber(*record))) return fail(notANumber(r, *record));
  const double mode = *number;
  if (mode == 1)
    settings.mode = Mode::GEN;
  else if (mode == 2)
    settings.mode = Mode::RTX;
  else if (mode == 3)
    settings.mode = Mode::RTX2;

  if (!(record = r.next())) return;
  settings.keyboardText = *record;
  r.next();  // the working frequency again
  if (r.moreText()) fail(textAfter(r, kSettingsFile));
}

void readRadioIni(Settings& settings, const std::filesystem::path& file, std::string* problem) {
  const common::SettingsRead read = common::readSettingsFile(file, common::kSettingsFileLimit);
  std::string found;
  if (read.content) readSettingsText(settings, *read.content, &found);
  if (problem) *problem = found.empty() ? read.problem : found;
}

bool saveRadioIni(const Settings& settings, const std::filesystem::path& file,
                  common::SettingsKeeper& keeper, std::string* error) {
  // The user's file that could not be read whole is kept aside first.
  std::string problem;
  Settings ignored;
  readRadioIni(ignored, file, &problem);
  if (const auto kept = keeper.keep(file, problem); !kept.mayWrite) {
    if (error) *error = kept.message;
    return false;
  }
  return common::writeFileAtomic(file, settingsText(settings), error);
}

std::vector<double> parseMemories(const std::string& content, std::string* problem) {
  std::vector<double> values;
  common::RecordReader r(content);
  while (auto field = r.nextView()) {
    if (field->find_first_not_of(" \t") == std::string::npos) continue;
    const auto value = common::fieldNumber(*field);
    if (!value) {
      if (problem) *problem = notANumber(r, *field);
      break;
    }
    values.push_back(*value);
  }
  return values;
}

std::vector<double> readMemories(const std::filesystem::path& file, std::string* problem) {
  return common::readSettings<std::vector<double>>(
      file, common::kTableFileLimit,
      [](std::string_view text, std::string* p) { return parseMemories(std::string(text), p); },
      problem, common::LastRecord::EndsWithLine);
}

std::string memoriesText(const std::vector<std::string>& entries) {
  common::RecordWriter w;
  for (const std::string& entry : entries) w.number(common::numericValue(entry));
  return w.text();
}

BandButtons parseBandButtons(const std::string& content, std::string* problem) {
  BandButtons buttons{};
  common::RecordReader r(content);
  for (double& button : buttons) {
    auto field = r.next();
    if (!field) return buttons;
    const auto value = common::fieldNumber(*field);
    if (!value) {
      if (problem) *problem = notANumber(r, *field);
      return buttons;
    }
    button = *value;
  }
  if (r.moreText() && problem) *problem = textAfter(r, kButtonFile);
  return buttons;
}

BandButtons readBandButtons(const std::filesystem::path& file, std::string* problem) {
  return common::readSettings<BandButtons>(
      file, common::kSettingsFileLimit,
      [](std::string_view text, std::string* p) { return parseBandButtons(std::string(text), p); },
      problem, common::LastRecord::EndsWithLine);
}

std::string bandButtonsText(const BandButtons& buttons) {
  common::RecordWriter w;
  for (double b : buttons) w.number(b);
  return w.text();
}

}  // namespace kolm::vfo
