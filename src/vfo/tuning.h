// The VFO's tuning rule: from the working frequency, the mode and the IF offset
// to the frequency the DDS must generate, held within what the DDS can produce.
#pragma once

#include <optional>
#include <string>
#include "common/tr.h"

namespace kolm::vfo {

// How the DDS relates to the working frequency: a plain generator, or the local
// oscillator of a receiver/transmitter (at the working frequency plus the IF, or
// twice that for a doubling mixer). The values are those kept in radio.ini.
enum class Mode { GEN = 1, RTX = 2, RTX2 = 3 };

// The highest output as a share of the DDS clock: 160 MHz on a 400 MHz clock.
inline constexpr double kMaxOutputShare = 0.4;

inline constexpr const char* kTooHighMessage = KOLM_TR_NOOP("kolm", "Frequency too High");

struct Tuning {
  double workingMHz = 0;  // after the corrections below
  double ddsMHz = 0;
  double requestedDdsMHz = 0;  // what the mode asked for, before the limit
  // The DDS frequency was above 0.4 x clock: it was held at the limit and the
  // working frequency moved back to match ("Frequency too High").
  bool tooHigh = false;
  // A negative working frequency in GEN mode has no output: it is held at 0,
  // as a step down below 0 is.
  bool limitedAtZero = false;
};

// The DDS frequency for `workingFreq` in `mode` with `ifOffset` (MHz), limited to
// 0.4 x `refClkMHz`. With a clock of 0 there is no limit to apply (nothing can be
// sent anyway): the frequencies are worked out but not clamped.
Tuning tune(double workingFreq, Mode mode, double ifOffset, double refClkMHz);

// Step button i (0..8) moves by 10^(i - 6) MHz: 8 is 100 MHz, 0 is 1 Hz.
double stepMHz(int index);

// The frequency displays: "000.000 000" (7.05 shows as 007.050 000).
std::string displayText(double mhz);

// The step button whose step is the digit at `position` of a display text: the
// units of MHz are step 6, the digit before them 7, and so on up to 8; the first
// decimal is step 5 (100 kHz) down to the last, step 0 (1 Hz). Digits above
// 100 MHz give step 8. Empty for the point, the blank and positions outside.
std::optional<int> stepAtDigit(const std::string& display, int position);

// A memory entry: "000.000000" (7.05 is 007.050000).
std::string memoryEntry(double mhz);

}  // namespace kolm::vfo
