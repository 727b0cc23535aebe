#include "vfo/vfo_files.h"

#include "common/files.h"
#include "common/records.h"
#include "common/text.h"

namespace kolm::vfo {

std::string settingsText(const Settings& settings) {
  common::RecordWriter w;
  const std::string freq = common::shortestText(settings.WorkingFreq);
  w.quoted(freq);
  w.quoted(settings.IF1);
  w.quoted(settings.IF2);
  w.quoted(settings.ifChoice == IfChoice::IF1 ? "1" : "2");
  w.quoted(std::to_string(static_cast<int>(settings.mode)));
  w.quoted(settings.keyboardText);
  w.quoted(freq);
  return w.text();
}

void readSettingsText(Settings& settings, const std::string& content) {
  common::RecordReader r(content);
  auto record = r.next();
  if (!record) return;
  settings.WorkingFreq = common::numericValue(*record);

  if (!(record = r.next())) return;
  settings.IF1 = *record;
  if (!(record = r.next())) return;
  settings.IF2 = *record;

  std::optional<double> number;
  if (!(record = r.next()) || !(number = common::fieldNumber(*record))) return;
  settings.ifChoice = *number == 1 ? IfChoice::IF1 : IfChoice::IF2;

  if (!(record = r.next()) || !(number = common::fieldNumber(*record))) return;
  const double mode = *number;
  if (mode == 1)
    settings.mode = Mode::GEN;
  else if (mode == 2)
    settings.mode = Mode::RTX;
  else if (mode == 3)
    settings.mode = Mode::RTX2;

  if (!(record = r.next())) return;
  settings.keyboardText = *record;
}

void readRadioIni(Settings& settings, const std::filesystem::path& file) {
  auto content = common::readTextFile(file, common::kSettingsFileLimit);
  if (content) readSettingsText(settings, *content);
}

bool saveRadioIni(const Settings& settings, const std::filesystem::path& file, std::string* error) {
  return common::writeFileAtomic(file, settingsText(settings), error);
}

std::vector<double> parseMemories(const std::string& content) {
  std::vector<double> values;
  for (const std::string& field : common::splitFields(content)) {
    if (field.find_first_not_of(" \t") == std::string::npos) continue;
    const auto value = common::fieldNumber(field);
    if (!value) break;
    values.push_back(*value);
  }
  return values;
}

std::vector<double> readMemories(const std::filesystem::path& file) {
  auto content = common::readTextFile(file, common::kTableFileLimit);
  return content ? parseMemories(*content) : std::vector<double>{};
}

std::string memoriesText(const std::vector<std::string>& entries) {
  common::RecordWriter w;
  for (const std::string& entry : entries) w.number(common::numericValue(entry));
  return w.text();
}

BandButtons parseBandButtons(const std::string& content) {
  BandButtons buttons{};
  common::RecordReader r(content);
  for (double& button : buttons) {
    auto field = r.next();
    const auto value = field ? common::fieldNumber(*field) : std::nullopt;
    if (!value) break;
    button = *value;
  }
  return buttons;
}

BandButtons readBandButtons(const std::filesystem::path& file) {
  auto content = common::readTextFile(file, common::kSettingsFileLimit);
  return content ? parseBandButtons(*content) : BandButtons{};
}

std::string bandButtonsText(const BandButtons& buttons) {
  common::RecordWriter w;
  for (double b : buttons) w.number(b);
  return w.text();
}

}  // namespace kolm::vfo
