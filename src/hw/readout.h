// Serial 10-bit read-outs of the instrument's converters on the status lines:
// the level detector (status bit 6) and the bridge's two channels (bits 5 and 4).
// Each runs to the end without yielding. Jobs and front ends read through the
// Instrument (readDetector, readBridge).
#pragma once

#include <cstdint>

#include "hw/instrument.h"

namespace kolm::hw {

inline constexpr uint8_t kDetectorBit = 0x40;
inline constexpr uint8_t kBridgeABit = 0x20;
inline constexpr uint8_t kBridgeBBit = 0x10;
// The analyzer keeps no settle time between its converter clock edges.
inline constexpr double kBridgeSettle = 0;

// The level detector: write 8; ten times (0, read, 8); then 24. MSB first.
int16_t readDetector(Instrument& instrument);

// The bridge: write 24; ten times (0, read, 8); then 24. MSB first, both channels
// from the same status reads.
BridgeReading readBridge(Instrument& instrument);

}  // namespace kolm::hw
