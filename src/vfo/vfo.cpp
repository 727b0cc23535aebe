#include "vfo/vfo.h"

#include <algorithm>

#include "common/files.h"
#include "common/settings_file.h"
#include "common/text.h"
#include "common/tr.h"
#include "common/typed_number.h"
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
  IfOffset = common::numericValue(settings.ifChoice == IfChoice::IF1 ? settings.IF1 : settings.IF2);
  const double clock = instrument_.params.refClockMHz;
  Tuning t = tune(settings.WorkingFreq, settings.mode, IfOffset, clock);
  if (t.tooHigh) prompter_.message(kTooHighMessage);
  settings.WorkingFreq = t.WorkingFreq;

  Output out;
  out.DdsFreq = t.DdsFreq;
  auto word = hw::checkedTuningWord(t.DdsFreq, clock);
  if (word.ok()) {
    out.word = word.word;
    out.sent = true;
    instrument_.tune(word.word);
  }
  output_ = out;
  if (!word.ok()) prompter_.message(word.error);
}

void Vfo::stepUp(int index) {
  settings.WorkingFreq += stepMHz(index);
  sendFrequency();
}

void Vfo::stepDown(int index) {
  settings.WorkingFreq -= stepMHz(index);
  if (settings.WorkingFreq < 0) settings.WorkingFreq = 0;
  sendFrequency();
}

bool Vfo::keyboardEnter() {
  const auto typed = common::typedNumber(settings.keyboardText).value;
  if (!typed) return false;
  settings.WorkingFreq = *typed;
  sendFrequency();
  return true;
}

void Vfo::setMode(Mode mode) {
  settings.mode = mode;
  sendFrequency();
}

void Vfo::setIfChoice(IfChoice choice) {
  settings.ifChoice = choice;
  sendFrequency();
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

int Vfo::addMemory() { return insertMemory(settings.WorkingFreq); }

bool Vfo::deleteMemory(int selected) {
  if (memoryCount() == 0 || selected < 0 || selected >= memoryCount()) return false;
  memories.erase(memories.begin() + selected);
  return true;
}

bool Vfo::clearMemories() {
  if (!prompter_.confirm(kClearMemoriesQuestion)) return false;
  if (memoryCount() == 0) return false;
  memories.clear();
  return true;
}

void Vfo::recallMemory(int index) {
  if (index < 0 || index >= memoryCount()) return;
  settings.WorkingFreq = common::numericValue(memories[static_cast<size_t>(index)]);
  if (settings.WorkingFreq > kMemoryRecallLimitMHz) settings.WorkingFreq = kMemoryRecallLimitMHz;
  sendFrequency();
}

bool Vfo::recallBand(int index) {
  if (index < 0 || index >= kBandButtonCount) return false;
  const double stored = FreqButtons[static_cast<size_t>(index)];
  if (stored == 0) return false;
  settings.WorkingFreq = stored;
  sendFrequency();
  return true;
}

void Vfo::storeBand(int index) {
  if (index < 0 || index >= kBandButtonCount) return;
  FreqButtons[static_cast<size_t>(index)] = settings.WorkingFreq;
  sendFrequency();
}

void Vfo::open() {
  IfOffset = common::numericValue(settings.IF1);
  std::string problems[3];
  readRadioIni(settings, file(kSettingsFile), &problems[0]);
  ddsReset();
  memories.clear();
  for (double mhz : readMemories(file(kMemoryFile), &problems[1])) insertMemory(mhz);
  FreqButtons = readBandButtons(file(kButtonFile), &problems[2]);
  keep_.clear();
  std::string told;
  const char* names[] = {kSettingsFile, kMemoryFile, kButtonFile};
  for (int k = 0; k < 3; ++k) {
    const auto kept = settings_.keeper().keep(file(names[k]), problems[k]);
    if (!kept.mayWrite) keep_.push_back(names[k]);
    if (!kept.message.empty()) told += kept.message + "\n";
  }
  if (!told.empty()) prompter_.message(told, common::Icon::Warning);
}

void Vfo::close() {
  std::string failures;
  std::string why;
  auto note = [&](const char* name) { failures += std::string(name) + ": " + why + "\n"; };
  auto mayWrite = [&](const char* name) {
    return std::find(keep_.begin(), keep_.end(), name) == keep_.end();
  };
  if (mayWrite(kSettingsFile) &&
      !saveRadioIni(settings, file(kSettingsFile), settings_.keeper(), &why))
    note(kSettingsFile);
  if (mayWrite(kMemoryFile) &&
      !common::writeFileAtomic(file(kMemoryFile), memoriesText(memories), &why))
    note(kMemoryFile);
  if (mayWrite(kButtonFile) &&
      !common::writeFileAtomic(file(kButtonFile), bandButtonsText(FreqButtons), &why))
    note(kButtonFile);

  instrument_.switchOff(1);

  if (!failures.empty())
    prompter_.message("The VFO settings could not be saved:\n" + failures, common::Icon::Warning);
}

}  // namespace kolm::vfo
