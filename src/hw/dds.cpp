#include "hw/dds.h"

#include <cmath>

#include "common/text.h"

namespace kolm::hw {

void PortDelay(Instrument& instrument, double units) { instrument.delay(units); }

void DdsSendBit(Instrument& instrument, int bit) {
  const uint8_t b = bit ? 1 : 0;
  instrument.out(static_cast<uint8_t>(16 + b));
  instrument.delay(1);
  instrument.out(static_cast<uint8_t>(18 + b));
  instrument.delay(1);
}

void DdsSendByte(Instrument& instrument, int value) {
  for (int mask = 128; mask >= 1; mask /= 2) DdsSendBit(instrument, (value & mask) ? 1 : 0);
}

void DdsUpdate(Instrument& instrument) {
  instrument.delay(1);
  instrument.out(kUpdate);
  instrument.delay(1);
  instrument.delay(1);
  instrument.out(kIdle);
  instrument.delay(1);
}

void DdsReset(Instrument& instrument) {
  instrument.out(kReset);
  instrument.delay(1);
  instrument.out(kIdle);
  instrument.delay(1);
}

void DdsSetMultiplier(Instrument& instrument) {
  DdsSendByte(instrument, 1);
  DdsSendByte(instrument, 0);
  DdsSendByte(instrument, 0);
  DdsSendByte(instrument, (instrument.params.RefClkMultiplier * 8 + 6) & 0xFF);
  DdsUpdate(instrument);
}

void DdsSendWord(Instrument& instrument, uint32_t word) {
  DdsSendByte(instrument, 4);
  DdsSendByte(instrument, (word >> 24) & 0xFF);
  DdsSendByte(instrument, (word >> 16) & 0xFF);
  DdsSendByte(instrument, (word >> 8) & 0xFF);
  DdsSendByte(instrument, word & 0xFF);
  DdsUpdate(instrument);
}

void DdsOutputOff(Instrument& instrument, double delayUnits) {
  instrument.LastTuningWord = 0;
  DdsSendWord(instrument, 0);
  instrument.delay(delayUnits);
}

double DdsTuningWord(double frequencyMHz, double refClkMHz) {
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
  if (!std::isfinite(frequencyMHz) || frequencyMHz < 0) {
    t.error = "A frequency below 0 MHz cannot be generated.";
    return t;
  }
  double w = DdsTuningWord(frequencyMHz, refClkMHz);
  if (w >= 2147483648.0) {
    t.error = "The frequency " + common::shortestText(frequencyMHz) +
              " MHz is at or above half the DDS clock (" + common::shortestText(refClkMHz / 2) +
              " MHz): the DDS cannot generate it.";
    return t;
  }
  t.word = static_cast<uint32_t>(w);
  return t;
}

}  // namespace kolm::hw
