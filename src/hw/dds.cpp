#include "hw/dds.h"

#include <cmath>

#include "common/text.h"
#include "hw/wire.h"

namespace kolm::hw {

void ddsSendBit(Instrument& instrument, int bit) {
  Wire port(instrument);
  port.out(wire::ddsBit(bit));
  instrument.settle(1);
  port.out(wire::ddsBitClocked(bit));
  instrument.settle(1);
}

void ddsSendByte(Instrument& instrument, int value) {
  for (int mask = 128; mask >= 1; mask /= 2) ddsSendBit(instrument, (value & mask) ? 1 : 0);
}

void ddsUpdate(Instrument& instrument) {
  Wire port(instrument);
  instrument.settle(1);
  port.out(wire::kDdsUpdate);
  instrument.settle(1);
  instrument.settle(1);
  port.out(wire::kDdsIdle);
  instrument.settle(1);
}

void ddsReset(Instrument& instrument) {
  Wire port(instrument);
  port.out(wire::kDdsReset);
  instrument.settle(1);
  port.out(wire::kDdsIdle);
  instrument.settle(1);
}

void ddsSetMultiplier(Instrument& instrument) {
  ddsSendByte(instrument, 1);
  ddsSendByte(instrument, 0);
  ddsSendByte(instrument, 0);
  ddsSendByte(instrument, (instrument.params.refClockMultiplier * 8 + 6) & 0xFF);
  ddsUpdate(instrument);
}

void ddsSendWord(Instrument& instrument, uint32_t word) {
  ddsSendByte(instrument, 4);
  ddsSendByte(instrument, (word >> 24) & 0xFF);
  ddsSendByte(instrument, (word >> 16) & 0xFF);
  ddsSendByte(instrument, (word >> 8) & 0xFF);
  ddsSendByte(instrument, word & 0xFF);
  ddsUpdate(instrument);
}

double ddsTuningWord(double frequencyMHz, double refClkMHz) {
  return common::roundHalfEven(frequencyMHz * (4294967296.0 / refClkMHz));
}

std::string noClockMessage() {
  return "The DDS clock is 0 MHz: no frequency can be sent. Enter the quartz frequency "
         "and the multiplier in the Parameters window first.";
}

TuningWord checkedTuningWord(double frequencyMHz, double refClkMHz) {
  TuningWord t;
  if (!(refClkMHz > 0) || !std::isfinite(refClkMHz)) {
    t.error = noClockMessage();
    return t;
  }
  if (std::isnan(frequencyMHz)) {
    t.error = "The frequency is not a number.";
    return t;
  }
  if (frequencyMHz < 0) {
    t.error = "A frequency below 0 MHz cannot be generated.";
    return t;
  }
  double w = ddsTuningWord(frequencyMHz, refClkMHz);
  if (!(w < 2147483648.0)) {
    // A frequency beyond any number the program keeps is not repeated.
    const std::string given = std::isfinite(frequencyMHz)
                                  ? common::shortestText(frequencyMHz) + " MHz"
                                  : std::string("given");
    t.error = "The frequency " + given + " is at or above half the DDS clock (" +
              common::shortestText(refClkMHz / 2) + " MHz): the DDS cannot generate it.";
    return t;
  }
  t.word = static_cast<uint32_t>(w);
  return t;
}

}  // namespace kolm::hw
