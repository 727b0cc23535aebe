#include "hw/readout.h"

#include <gtest/gtest.h>

#include "support/recording_port.h"

using namespace kolm::hw;

namespace {
struct Rig {
  explicit Rig(std::function<uint8_t(size_t)> status) {
    auto p = std::make_unique<RecordingPort>();
    p->status = std::move(status);
    port = p.get();
    instrument.setPort(std::move(p));
    instrument.setDelayer(std::make_unique<NoDelayer>());
  }
  Instrument instrument;
  RecordingPort* port;
};
}  // namespace

TEST(Detector, WireSequenceAndMsbFirst) {
  Rig all([](size_t) { return kDetectorBit; });
  EXPECT_EQ(readDetector(all.instrument), 1023);
  std::vector<uint8_t> expected{8};
  for (int i = 0; i < 10; ++i) {
    expected.push_back(0);
    expected.push_back(8);
  }
  expected.push_back(24);
  EXPECT_EQ(all.port->writes(), expected);
  EXPECT_EQ(all.port->readCount(), 10u);
  // The read happens while the clock is low: right after each 0.
  for (size_t i = 0; i + 1 < all.port->log.size(); ++i) {
    if (!all.port->log[i + 1].write) {
      EXPECT_EQ(all.port->log[i].value, 0);
    }
  }

  Rig first([](size_t n) { return n == 0 ? kDetectorBit : uint8_t{0}; });
  EXPECT_EQ(readDetector(first.instrument), 512);
  Rig none([](size_t) { return uint8_t{0xBF}; });  // every line high but bit 6
  EXPECT_EQ(readDetector(none.instrument), 0);
}

TEST(Bridge, BothChannelsFromTheSameReads) {
  Rig both([](size_t) { return uint8_t{kBridgeABit | kBridgeBBit}; });
  auto r = readBridge(both.instrument);
  EXPECT_EQ(r.a, 1023);
  EXPECT_EQ(r.b, 1023);
  EXPECT_EQ(both.port->writes().front(), 24);
  EXPECT_EQ(both.port->writes().back(), 24);
  EXPECT_EQ(both.port->writes().size(), 22u);
  EXPECT_EQ(both.port->readCount(), 10u);

  // Channel A 0b1000000001 = 513, channel B 0b0100000000 = 256.
  Rig mixed([](size_t n) {
    uint8_t s = 0;
    if (n == 0 || n == 9) s |= kBridgeABit;
    if (n == 1) s |= kBridgeBBit;
    return s;
  });
  r = readBridge(mixed.instrument);
  EXPECT_EQ(r.a, 513);
  EXPECT_EQ(r.b, 256);

  Rig none([](size_t) { return uint8_t{0x40}; });
  r = readBridge(none.instrument);
  EXPECT_EQ(r.a, 0);
  EXPECT_EQ(r.b, 0);
}
