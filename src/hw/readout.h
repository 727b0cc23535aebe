// Serial 10-bit read-outs of the instrument's converters on the status lines:
// the level detector (status bit 6) and the bridge's two channels (bits 5 and 4).
// Each runs to the end without yielding. Jobs and front ends read through the
// Instrument (readDetector, readBridge).
#pragma once

#include <cstdint>

#include "hw/instrument.h"

namespace kolm::hw {

// The nominal level detector: its counts at 0 dBm and at -60 dBm, linear in dBm
// between (the read-out law the program calibrates from until one is measured).
inline constexpr int16_t kNominalCountsAt0Dbm = 826;
inline constexpr int16_t kNominalCountsAtMinus60Dbm = 235;

// The analyzer keeps no settle time between its converter clock edges.
inline constexpr double kBridgeSettle = 0;

// The level detector: the converter clock high; ten times (every line low,
// read, clock high); then the converters idle. MSB first (hw/wire.h).
int16_t readDetector(Instrument& instrument);

// The bridge: the converters idle; ten times (every line low, read, clock
// high); then idle again. MSB first, both channels from the same status reads.
BridgeReading readBridge(Instrument& instrument);

}  // namespace kolm::hw
