// The instrument's wire: what each line of the parallel port means to the
// hardware, the values written to the data register, and the one raw access
// to the port (Wire). The DDS serial link, the converters' read-outs, the
// simulator and the tests' decoders speak these names; everything above hw/
// goes through the Instrument's operations instead.
#pragma once

#include <cstdint>

#include "hw/instrument.h"

namespace kolm::hw {

namespace wire {

// Data register (pins 2 to 9).
inline constexpr uint8_t kSerialData = 0x01;       // DDS serial data
inline constexpr uint8_t kSerialClock = 0x02;      // DDS serial clock, rising edge shifts
inline constexpr uint8_t kUpdateLine = 0x04;       // DDS frequency update, rising edge loads
inline constexpr uint8_t kConverterClock = 0x08;   // the converters' clock
inline constexpr uint8_t kConverterSelect = 0x10;  // the converters' select, low selects
inline constexpr uint8_t kResetLine = 0x80;        // DDS reset, held while high

// Status register: the converters' serial outputs.
inline constexpr uint8_t kDetectorBit = 0x40;  // the level detector (pin 10)
inline constexpr uint8_t kBridgeABit = 0x20;   // the bridge's return-loss channel
inline constexpr uint8_t kBridgeBBit = 0x10;   // the bridge's phase channel

// What is written. The converters stay deselected while the DDS is spoken to.
inline constexpr uint8_t kLinesLow = 0;  // every line low: a converter clock low
inline constexpr uint8_t kDdsIdle = kConverterSelect;
inline constexpr uint8_t kDdsUpdate = kConverterSelect | kUpdateLine;
inline constexpr uint8_t kDdsReset = kResetLine | kConverterSelect;
inline constexpr uint8_t kConvertersIdle = kConverterSelect | kConverterClock;
// A DDS bit: first with the serial clock low, then high.
constexpr uint8_t ddsBit(int bit) { return kConverterSelect | (bit ? kSerialData : 0); }
constexpr uint8_t ddsBitClocked(int bit) { return ddsBit(bit) | kSerialClock; }

static_assert(kDdsIdle == 16 && kDdsUpdate == 20 && kDdsReset == 144 && kConvertersIdle == 24);
static_assert(ddsBit(1) == 17 && ddsBitClocked(0) == 18 && ddsBitClocked(1) == 19);

}  // namespace wire

// The raw data-register writes and status reads of hw's own frames and
// read-outs (and of tests that play another program on the port).
class Wire {
 public:
  explicit Wire(Instrument& instrument) : instrument_(instrument) {}
  void out(uint8_t value) { instrument_.out(value); }
  uint8_t in() { return instrument_.in(); }

 private:
  Instrument& instrument_;
};

}  // namespace kolm::hw
