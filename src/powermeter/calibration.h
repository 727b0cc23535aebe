// The commands that set the detector's two calibration counts: the user feeds
// 0 dBm or -60 dBm to the detector input, the detector is read and the count
// proposed; and the default counts.
#pragma once

#include <string>

#include "common/prompter.h"
#include "hw/instrument.h"
#include "powermeter/level.h"

namespace kolm::powermeter {

enum class CalPoint { ZeroDbm, Minus60Dbm };

// Five read-outs 2 ms apart; only the last one counts (the first ones let the
// detector settle on the applied signal).
int readCalibrationCount(hw::Instrument& instrument);

// The two prompts of a calibration at `point`: the request to apply the signal,
// and the advice shown after the count's Str form.
std::string calibrationRequest(CalPoint point);
std::string calibrationAdvice(CalPoint point, int reading);

// Calibration at 0 dBm or -60 dBm: the request (Cancel ends), the five readings,
// the count with its advice (Cancel ends with nothing changed), then the count
// is taken. A count equal to the other point's would leave no slope to convert
// with: it is refused with a message and nothing changes. True when the count
// was taken (the window then runs one sweep).
bool calibrateLevel(CalPoint point, hw::Instrument& instrument, common::Prompter& prompter,
                    Calibration& calibration);

// The default calibration: on OK the counts become 826 and 235 (no sweep follows). True
// when they were set.
bool calibrateDefault(common::Prompter& prompter, Calibration& calibration);

}  // namespace kolm::powermeter
