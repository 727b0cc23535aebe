// The digital VFO: the window's state and every action on it, with
// sendFrequency as the one path from a frequency to the DDS. The window
// only wires its controls to these calls and shows the results.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "common/prompter.h"
#include "common/settings_change.h"
#include "common/tr.h"
#include "hw/instrument.h"
#include "vfo/tuning.h"
#include "vfo/vfo_files.h"

namespace kolm::vfo {

inline constexpr const char* kClearMemoriesQuestion =
    KOLM_TR_NOOP("kolm", "Do you want really clear all memories?");
// A memory recalled above this is tuned here.
inline constexpr double kMemoryRecallLimitMHz = 160;

extern const char* const kBandCaptions[kBandButtonCount];

class Vfo {
 public:
  // The files live in `settings` (its keeper copies aside what cannot be read).
  Vfo(hw::Instrument& instrument, common::Prompter& prompter, common::SettingsFolder& settings);

  // Settings as radio.ini keeps them: the working frequency, the IF boxes and
  // option, the mode and the keyboard text. The window keeps the boxes here as
  // they are edited (each IF with the number it accepted).
  Settings settings;
  // The memory list, ascending: "000.000000" entries.
  std::vector<std::string> memories;
  BandButtons bandButtons{};
  // The offset in use, taken from the selected IF at every sendFrequency.
  double ifOffsetMHz = 0;

  int memoryCount() const { return static_cast<int>(memories.size()); }

  // What the last sendFrequency worked out and whether it reached the DDS:
  // empty before the first call.
  struct Output {
    double ddsMHz = 0;
    uint32_t word = 0;
    bool sent = false;
  };
  const std::optional<Output>& output() const { return output_; }

  // Works out the DDS frequency from the working frequency, the mode and the
  // selected IF, limits it (with "Frequency too High"), and sends its tuning
  // word. With a DDS clock of 0 nothing is sent and the user is told why.
  void sendFrequency();

  // Step button i (0..8) up or down by 10^(i - 6) MHz; down stops at 0.
  void stepUp(int index);
  void stepDown(int index);
  // Enter in the keyboard box with the number it accepted: tune to `mhz` and
  // keep the settings (settings.keyboardText the box's text).
  void keyboardEnter(double mhz);
  // Mode or IF option changed (the window has set `settings`).
  void setMode(Mode mode);
  void setIfChoice(IfChoice choice);
  // "DDS Reset": reset, multiplier, then the frequency again.
  void ddsReset();

  // Memories and band buttons are kept the moment they change: VFO_FreqMem
  // and VFO_FreqButton.txt are read again and only this change is made in
  // them (another program's memories stay), and the list then is what the
  // file holds.
  // "Freq Add ": the working frequency into the list at its sorted place; returns
  // the new entry's index.
  int addMemory();
  // "Freq Del.": removes entry `selected`; false when there is none to remove
  // (no entry selected, or an empty list).
  bool deleteMemory(int selected);
  // Clear button: asks first; true when the list was emptied.
  bool clearMemories();
  // A click on entry `index`: tune to it (at most 160 MHz).
  void recallMemory(int index);
  // Band button i: the left button recalls its frequency, the right one stores
  // the working frequency in it; either way the DDS is loaded again. An empty
  // button (0 Hz, never stored) recalls nothing: the frequency stays and false
  // is returned, so the window can say how to store one.
  bool recallBand(int index);
  void storeBand(int index);

  // Opening: settings, DDS reset and load, memories, band buttons. A file that
  // cannot be read whole is copied aside and reported (common/settings_file.h).
  void open();
  // Writes to radio.ini what was changed since it was last read or written
  // (the mode, the IF, the working frequency): the window calls it when the
  // user confirms a setting, and close() does.
  void saveSettings();

  // Closing: radio.ini's changes kept, then the output switched off (word 0).
  // Nothing is asked or said on the way out; the output goes off anyway.
  void close();

 private:
  int insertMemory(double mhz);
  // `change` made to the memory list as VFO_FreqMem holds it now.
  void changeMemories(const std::function<void()>& change);
  // radio.ini's changes written, nothing said.
  common::SettingsChange writeSettings();
  // What a change of a file leaves to say.
  void report(const common::SettingsChange& change);
  std::filesystem::path file(const char* name) const { return settings_.file(name); }

  hw::Instrument& instrument_;
  common::Prompter& prompter_;
  common::SettingsFolder& settings_;
  std::optional<Output> output_;
  Settings stored_;  // radio.ini as last read or written
};

}  // namespace kolm::vfo
