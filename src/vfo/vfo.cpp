#include "vfo/vfo.h"

#include <algorithm>

#include "common/files.h"
#include "common/settings_file.h"
#include "common/text.h"
#include "common/tr.h"
#include "hw/dds.h"

namespace kolm::vfo {

const char* const kBandCaptions[kBandButtonCount] = {
    KOLM_TR_NOOP("kolm", "Band 160"),  KOLM_TR_NOOP("kolm", "Band 80"),
    KOLM_TR_NOOP("kolm", "Band 40"),   KOLM_TR_NOOP("kolm", "Band 30"),
    KOLM_TR_NOOP("kolm", "Band 20"),   KOLM_TR_NOOP("kolm", "Band 17"),
    KOLM_TR_NOOP("kolm", "Band  15"),  KOLM_TR_NOOP("kolm", "Band 12"),
    KOLM_TR_NOOP("kolm", "Band 10 A"), KOLM_TR_NOOP("kolm", "Band 10 B"),
    KOLM_TR_NOOP("kolm", "Band 6m"),   KOLM_TR_NOOP("kolm", "Band 2m")};

Vfo::Vfo(hw::Instrument& instrument, common::Prompter& prompter, common::SettingsFolder& settings)
    : instrument_(instrument), prompter_(prompter), settings_(settings) {}

void Vfo::sendFrequency() {
  ifOffsetMHz = (settings.ifChoice == IfChoice::IF1 ? settings.IF1 : settings.IF2).value;
  const double clock = instrument_.params.refClockMHz;
  Tuning t = tune(settings.workingMHz, settings.mode, ifOffsetMHz, clock);
  // The message names the limit and where the frequency is held.
  if (t.tooHigh)
    prompter_.message(
        KOLM_TR("kolm", kTooHighMessage) + "\n\n" +
        common::arg(
            KOLM_TR("kolm",
                    "The DDS would have to run at %1 MHz, above its limit of %2 MHz "
                    "(0.4 x the clock of %3 MHz): the working frequency is held at %4 MHz."),
            {common::shortestText(t.requestedDdsMHz, 9),
             common::shortestText(kMaxOutputShare * clock, 9), common::shortestText(clock, 9),
             common::shortestText(t.workingMHz, 9)}));
  settings.workingMHz = t.workingMHz;

  Output out;
  out.ddsMHz = t.ddsMHz;
  auto word = hw::checkedTuningWord(t.ddsMHz, clock);
  if (word.ok()) {
    out.word = word.word;
    out.sent = true;
    instrument_.tune(word.word);
  }
  output_ = out;
  if (!word.ok()) prompter_.message(word.error);
}

void Vfo::stepUp(int index) {
  settings.workingMHz += stepMHz(index);
  sendFrequency();
}

void Vfo::stepDown(int index) {
  settings.workingMHz -= stepMHz(index);
  if (settings.workingMHz < 0) settings.workingMHz = 0;
  sendFrequency();
}

void Vfo::keyboardEnter(double mhz) {
  settings.workingMHz = mhz;
  sendFrequency();
  saveSettings();
}

void Vfo::setMode(Mode mode) {
  settings.mode = mode;
  sendFrequency();
  saveSettings();
}

void Vfo::setIfChoice(IfChoice choice) {
  settings.ifChoice = choice;
  sendFrequency();
  saveSettings();
}

void Vfo::ddsReset() {
  instrument_.resetGenerator();
  sendFrequency();
}

int Vfo::insertMemory(double mhz) {
  std::string entry = memoryEntry(mhz);
  // Ascending by value; for the frequencies a VFO holds (0 to 999 MHz) that is
  // also the order of the texts. An equal entry goes after the ones there.
  const double value = common::numericValue(entry);
  auto at =
      std::upper_bound(memories.begin(), memories.end(), value,
                       [](double v, const std::string& e) { return v < common::numericValue(e); });
  auto inserted = memories.insert(at, std::move(entry));
  return static_cast<int>(inserted - memories.begin());
}

void Vfo::report(const common::SettingsChange& change) {
  if (const std::string notice = common::changeNotice(settings_, change); !notice.empty())
    prompter_.message(notice, common::Icon::Warning);
}

void Vfo::changeMemories(const std::function<void()>& change) {
  report(common::changeSettings(
      settings_, kMemoryFile,
      [this](std::string_view text, std::string* problem) {
        memories.clear();
        for (double mhz : parseMemories(std::string(text), problem)) insertMemory(mhz);
        return 0;
      },
      [this](int) { return memoriesText(memories); }, [&change](int) { change(); },
      common::kTableFileLimit));
}

int Vfo::addMemory() {
  int added = 0;
  changeMemories([&] { added = insertMemory(settings.workingMHz); });
  return added;
}

bool Vfo::deleteMemory(int selected) {
  if (memoryCount() == 0 || selected < 0 || selected >= memoryCount()) return false;
  // The entry chosen, wherever the file has it now.
  const std::string entry = memories[static_cast<size_t>(selected)];
  changeMemories([&] {
    if (auto at = std::find(memories.begin(), memories.end(), entry); at != memories.end())
      memories.erase(at);
  });
  return true;
}

bool Vfo::clearMemories() {
  if (!prompter_.confirm(kClearMemoriesQuestion)) return false;
  if (memoryCount() == 0) return false;
  changeMemories([this] { memories.clear(); });
  return true;
}

void Vfo::recallMemory(int index) {
  if (index < 0 || index >= memoryCount()) return;
  settings.workingMHz = common::numericValue(memories[static_cast<size_t>(index)]);
  if (settings.workingMHz > kMemoryRecallLimitMHz) settings.workingMHz = kMemoryRecallLimitMHz;
  sendFrequency();
  saveSettings();
}

bool Vfo::recallBand(int index) {
  if (index < 0 || index >= kBandButtonCount) return false;
  const double stored = bandButtons[static_cast<size_t>(index)];
  if (stored == 0) return false;
  settings.workingMHz = stored;
  sendFrequency();
  saveSettings();
  return true;
}

void Vfo::storeBand(int index) {
  if (index < 0 || index >= kBandButtonCount) return;
  const double mhz = settings.workingMHz;
  report(common::changeSettings(
      settings_, kButtonFile,
      [this](std::string_view text, std::string* problem) {
        return bandButtons = parseBandButtons(std::string(text), problem);
      },
      bandButtonsText,
      [this, index, mhz](BandButtons& buttons) {
        buttons[static_cast<size_t>(index)] = mhz;
        bandButtons = buttons;
      }));
  bandButtons[static_cast<size_t>(index)] = mhz;
  sendFrequency();
}

void Vfo::open() {
  ifOffsetMHz = settings.IF1.value;
  std::string problems[3];
  readRadioIni(settings, file(kSettingsFile), &problems[0]);
  stored_ = settings;
  ddsReset();
  memories.clear();
  for (double mhz : readMemories(file(kMemoryFile), &problems[1])) insertMemory(mhz);
  bandButtons = readBandButtons(file(kButtonFile), &problems[2]);
  std::string told;
  const char* names[] = {kSettingsFile, kMemoryFile, kButtonFile};
  for (int k = 0; k < 3; ++k) {
    const auto kept = settings_.keeper().keep(file(names[k]), problems[k]);
    if (!kept.message.empty()) told += kept.message + "\n";
  }
  if (!told.empty()) prompter_.message(told, common::Icon::Warning);
}

common::SettingsChange Vfo::writeSettings() {
  const Settings now = settings;
  const Settings before = stored_;
  const auto changed = [&](auto member) { return now.*member != before.*member; };
  if (!changed(&Settings::workingMHz) && !changed(&Settings::IF1) && !changed(&Settings::IF2) &&
      !changed(&Settings::ifChoice) && !changed(&Settings::mode) &&
      !changed(&Settings::keyboardText))
    return common::SettingsChange::unchanged();
  const auto saved = common::changeSettings(
      settings_, kSettingsFile,
      [](std::string_view text, std::string* problem) {
        Settings read;
        readSettingsText(read, std::string(text), problem);
        return read;
      },
      settingsText,
      [&](Settings& file) {
        const auto take = [&](auto member) {
          if (changed(member)) file.*member = now.*member;
        };
        take(&Settings::workingMHz);
        take(&Settings::IF1);
        take(&Settings::IF2);
        take(&Settings::ifChoice);
        take(&Settings::mode);
        take(&Settings::keyboardText);
      });
  if (saved.written) stored_ = now;
  return saved;
}

void Vfo::saveSettings() { report(writeSettings()); }

void Vfo::close() {
  // Nothing is asked or told on the way out: what could not be kept was said
  // when it was confirmed.
  writeSettings();
  instrument_.switchOff(1);
}

}  // namespace kolm::vfo
