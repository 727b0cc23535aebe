// The DDS serial link: reset, multiplier register, frequency tuning word, and the
// rule that turns a frequency into a tuning word. Every frame runs to the end
// without yielding. Jobs and front ends send them through the Instrument's
// operations (startGenerator, tune, switchOff).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "hw/instrument.h"
#include "hw/wire.h"

namespace kolm::hw {

void ddsSendBit(Instrument& instrument, int bit);
void ddsSendByte(Instrument& instrument, int value);
void ddsUpdate(Instrument& instrument);
void ddsReset(Instrument& instrument);
// Register 1: instruction 1, then 0, 0, refClockMultiplier x 8 + 6, then the update.
void ddsSetMultiplier(Instrument& instrument);
// Register 4: instruction 4, then the word most significant byte first, then the update.
void ddsSendWord(Instrument& instrument, uint32_t word);

// The data-register writes a signal handler sends to switch the output off,
// without delays: an update strobe that ends whatever frame the program was
// sending (the DDS counts 40 bits from the last strobe), then ddsSendWord(0).
inline constexpr std::array<uint8_t, 84> kDdsWordZeroFrame = [] {
  std::array<uint8_t, 84> frame{};
  size_t n = 0;
  frame[n++] = wire::kDdsUpdate;
  frame[n++] = wire::kDdsIdle;
  for (int byte : {4, 0, 0, 0, 0})
    for (int mask = 128; mask >= 1; mask /= 2) {
      frame[n++] = wire::ddsBit(byte & mask);
      frame[n++] = wire::ddsBitClocked(byte & mask);
    }
  frame[n++] = wire::kDdsUpdate;
  frame[n++] = wire::kDdsIdle;
  return frame;
}();

// f x (2^32 / clock), rounded to the nearest integer with ties to even. No range
// check: use checkedTuningWord before anything is sent.
double ddsTuningWord(double frequencyMHz, double refClkMHz);

// The tuning word for a frequency, or why there is none: a clock of 0 (no
// parameters stored), a negative frequency, or a word that does not fit below
// 2^31 (at or above half the clock).
struct TuningWord {
  uint32_t word = 0;
  std::string error;  // empty when `word` is valid
  bool ok() const { return error.empty(); }
};
TuningWord checkedTuningWord(double frequencyMHz, double refClkMHz);

// The message shown when no frequency may reach the DDS because the clock is 0.
std::string noClockMessage();

}  // namespace kolm::hw
