#include "vfo/vfo.h"

#include <algorithm>

#include "common/files.h"
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

Vfo::Vfo(hw::Instrument& instrument, common::Prompter& prompter, std::filesystem::path folder)
    : instrument_(instrument), prompter_(prompter), folder_(std::move(folder)) {}

void Vfo::DDS_Send_Commands() {
  IfOffset = common::numericValue(settings.ifChoice == IfChoice::IF1 ? settings.IF1 : settings.IF2);
  const double clock = instrument_.params.RefClkMHz;
  Tuning t = tune(settings.WorkingFreq, settings.mode, IfOffset, clock);
  if (t.tooHigh) prompter_.message(kTooHighMessage);
  settings.WorkingFreq = t.WorkingFreq;

  Output out;
  out.DdsFreq = t.DdsFreq;
  auto word = hw::checkedTuningWord(t.DdsFreq, clock);
  if (word.ok()) {
    out.word = word.word;
    out.sent = true;
    instrument_.LastTuningWord = word.word;
    hw::DdsSendWord(instrument_, word.word);
  }
  output_ = out;
  if (!word.ok()) prompter_.message(word.error);
}

void Vfo::stepUp(int index) {
  settings.WorkingFreq += stepMHz(index);
  DDS_Send_Commands();
}

void Vfo::stepDown(int index) {
  settings.WorkingFreq -= stepMHz(index);
  if (settings.WorkingFreq < 0) settings.WorkingFreq = 0;
  DDS_Send_Commands();
}

void Vfo::keyboardEnter() {
  settings.WorkingFreq = common::numericValue(settings.Text3);
  DDS_Send_Commands();
}

void Vfo::setMode(Mode mode) {
  settings.mode = mode;
  DDS_Send_Commands();
}

void Vfo::setIfChoice(IfChoice choice) {
  settings.ifChoice = choice;
  DDS_Send_Commands();
}

void Vfo::ddsReset() {
  hw::DdsReset(instrument_);
  hw::DdsSetMultiplier(instrument_);
  DDS_Send_Commands();
}

int Vfo::insertMemory(double mhz) {
  std::string entry = memoryEntry(mhz);
  // Ascending by value; for the frequencies a VFO holds (0 to 999 MHz) that is
  // also the order of the texts. An equal entry goes after the ones there.
  const double value = common::numericValue(entry);
  auto at = std::upper_bound(List1.begin(), List1.end(), value, [](double v, const std::string& e) {
    return v < common::numericValue(e);
  });
  auto inserted = List1.insert(at, std::move(entry));
  return static_cast<int>(inserted - List1.begin());
}

int Vfo::addMemory() { return insertMemory(settings.WorkingFreq); }

bool Vfo::deleteMemory(int selected) {
  if (MemoryCount() == 0 || selected < 0 || selected >= MemoryCount()) return false;
  List1.erase(List1.begin() + selected);
  return true;
}

bool Vfo::clearMemories() {
  if (!prompter_.confirm(kClearMemoriesQuestion)) return false;
  if (MemoryCount() == 0) return false;
  List1.clear();
  return true;
}

void Vfo::recallMemory(int index) {
  if (index < 0 || index >= MemoryCount()) return;
  settings.WorkingFreq = common::numericValue(List1[static_cast<size_t>(index)]);
  if (settings.WorkingFreq > kMemoryRecallLimitMHz) settings.WorkingFreq = kMemoryRecallLimitMHz;
  DDS_Send_Commands();
}

bool Vfo::recallBand(int index) {
  if (index < 0 || index >= kBandButtonCount) return false;
  const double stored = FreqButtons[static_cast<size_t>(index)];
  if (stored == 0) return false;
  settings.WorkingFreq = stored;
  DDS_Send_Commands();
  return true;
}

void Vfo::storeBand(int index) {
  if (index < 0 || index >= kBandButtonCount) return;
  FreqButtons[static_cast<size_t>(index)] = settings.WorkingFreq;
  DDS_Send_Commands();
}

void Vfo::open() {
  IfOffset = common::numericValue(settings.IF1);
  Read_ini(settings, file(kSettingsFile));
  ddsReset();
  List1.clear();
  for (double mhz : readMemories(file(kMemoryFile))) insertMemory(mhz);
  FreqButtons = readBandButtons(file(kButtonFile));
}

void Vfo::close() {
  std::string failures;
  std::string why;
  auto note = [&](const char* name) { failures += std::string(name) + ": " + why + "\n"; };
  if (!SaveVar(settings, file(kSettingsFile), &why)) note(kSettingsFile);
  if (!common::writeFileAtomic(file(kMemoryFile), memoriesText(List1), &why)) note(kMemoryFile);
  if (!common::writeFileAtomic(file(kButtonFile), bandButtonsText(FreqButtons), &why))
    note(kButtonFile);

  hw::DdsOutputOff(instrument_, 1);

  if (!failures.empty())
    prompter_.message("The VFO settings could not be saved:\n" + failures, common::Icon::Warning);
}

}  // namespace kolm::vfo
