#include "hw/readout.h"

namespace kolm::hw {

int16_t readDetector(Instrument& instrument) {
  int16_t a = 0;
  instrument.out(8);
  instrument.settle(1);
  for (int bit = 0; bit < 10; ++bit) {
    a = static_cast<int16_t>(a * 2);
    instrument.out(0);
    instrument.settle(1);
    if (instrument.in() & kDetectorBit) ++a;
    instrument.out(8);
    instrument.settle(1);
  }
  instrument.out(24);
  return a;
}

BridgeReading readBridge(Instrument& instrument) {
  BridgeReading r;
  instrument.out(24);
  instrument.settle(kBridgeSettle);
  for (int bit = 0; bit < 10; ++bit) {
    r.a = static_cast<int16_t>(r.a * 2);
    r.b = static_cast<int16_t>(r.b * 2);
    instrument.out(0);
    instrument.settle(kBridgeSettle);
    uint8_t status = instrument.in();
    if (status & kBridgeABit) ++r.a;
    if (status & kBridgeBBit) ++r.b;
    instrument.out(8);
    instrument.settle(kBridgeSettle);
  }
  instrument.out(24);
  return r;
}

}  // namespace kolm::hw
