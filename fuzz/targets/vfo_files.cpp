// The VFO's files: radio.ini, the memories and the band buttons, each read,
// written and read back.
#include "vfo/vfo_files.h"
#include "common/text.h"
#include "fuzz.h"
#include "vfo/tuning.h"

using namespace kolm;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(fuzz::asText(data, size));

  vfo::Settings read;
  vfo::readSettingsText(read, text);
  vfo::Settings back;
  vfo::readSettingsText(back, vfo::settingsText(read));
  FUZZ_CHECK(fuzz::sameDouble(read.workingMHz, back.workingMHz));
  FUZZ_CHECK(back.IF1.text == fuzz::recordKeeps(read.IF1.text));
  FUZZ_CHECK(back.IF2.text == fuzz::recordKeeps(read.IF2.text));
  FUZZ_CHECK(back.ifChoice == read.ifChoice && back.mode == read.mode);
  FUZZ_CHECK(back.keyboardText == fuzz::recordKeeps(read.keyboardText));

  std::vector<std::string> entries;
  for (double m : vfo::parseMemories(text)) entries.push_back(vfo::memoryEntry(m));
  const auto memories = vfo::parseMemories(vfo::memoriesText(entries));
  FUZZ_CHECK(memories.size() == entries.size());
  for (size_t i = 0; i < entries.size(); ++i)
    FUZZ_CHECK(fuzz::sameDouble(common::numericValue(entries[i]), memories[i]));

  const auto buttons = vfo::parseBandButtons(text);
  const auto buttonsBack = vfo::parseBandButtons(vfo::bandButtonsText(buttons));
  for (size_t i = 0; i < buttons.size(); ++i)
    FUZZ_CHECK(fuzz::sameDouble(buttons[i], buttonsBack[i]));
  return 0;
}
