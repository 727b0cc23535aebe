#include "hw/readout.h"

#include "hw/wire.h"

namespace kolm::hw {

int16_t readDetector(Instrument& instrument) {
  Wire port(instrument);
  int16_t a = 0;
  port.out(wire::kConverterClock);
  instrument.settle(1);
  for (int bit = 0; bit < 10; ++bit) {
    a = static_cast<int16_t>(a * 2);
    port.out(wire::kLinesLow);
    instrument.settle(1);
    if (port.in() & wire::kDetectorBit) ++a;
    port.out(wire::kConverterClock);
    instrument.settle(1);
  }
  port.out(wire::kConvertersIdle);
  return a;
}

BridgeReading readBridge(Instrument& instrument) {
  Wire port(instrument);
  BridgeReading r;
  port.out(wire::kConvertersIdle);
  instrument.settle(kBridgeSettle);
  for (int bit = 0; bit < 10; ++bit) {
    r.a = static_cast<int16_t>(r.a * 2);
    r.b = static_cast<int16_t>(r.b * 2);
    port.out(wire::kLinesLow);
    instrument.settle(kBridgeSettle);
    const uint8_t status = port.in();
    if (status & wire::kBridgeABit) ++r.a;
    if (status & wire::kBridgeBBit) ++r.b;
    port.out(wire::kConverterClock);
    instrument.settle(kBridgeSettle);
  }
  port.out(wire::kConvertersIdle);
  return r;
}

}  // namespace kolm::hw
