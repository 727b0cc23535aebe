#include "hw/params.h"
#include "hw/port_factory.h"

#include <gtest/gtest.h>

#include <tuple>

#include "common/files.h"
#include "support/golden.h"
#include "support/temp_dir.h"

using namespace kolm::hw;
using kolm::common::readTextFile;
using kolm::common::writeFileAtomic;

TEST(SystemClock, MultiplierIsBypassedBelowFourAndTheClockValidated) {
  EXPECT_EQ(systemClockMHz(3, 100), 100);
  EXPECT_EQ(systemClockMHz(4, 100), 400);
  EXPECT_EQ(systemClockMHz(0, 20), 20);
  EXPECT_EQ(systemClockMHz(20, 30), 600);
  // Above 501 MHz the clock is over the maximum; a zero is refused.
  HardwareParams p;
  p.refClockMultiplier = 20;
  p.quartzMHz = 30;
  p.refClockMHz = 600;
  EXPECT_EQ(validateParameters(p).value(), "Ref Frequency over the maximum!");
  p.refClockMHz = 501;
  p.quartzMHz = 25.05;
  EXPECT_FALSE(validateParameters(p).has_value());
  p.quartzMHz = 0;  // refused even beside a clock left from before
  EXPECT_TRUE(validateParameters(p).has_value());
  p.refClockMHz = 0;
  EXPECT_TRUE(validateParameters(p).has_value());
}

TEST(DdsCfg, WritesFourQuotedRecordsPlusThePortAndReadsThemBack) {
  kolm::test::TempDir dir;
  auto file = dir.path() / "dds.cfg";
  ASSERT_TRUE(writeHardwareConfig({20, 20, 400, kLpt2, "ppdev:/dev/parport0"}, file));
  EXPECT_EQ(readTextFile(file).value(),
            "\"20\"\r\n\"20\"\r\n\"400\"\r\n\"632\"\r\n\"ppdev:/dev/parport0\"\r\n");
  HardwareParams q;
  EXPECT_TRUE(readHardwareConfig(q, file));
  EXPECT_EQ(q.portAddress, 632);
  EXPECT_EQ(q.portBackend, "ppdev:/dev/parport0");
}

TEST(DdsCfg, StopsAtTheFirstFailureKeepingWhatWasRead) {
  kolm::test::TempDir dir;
  const auto file = dir.path() / "dds.cfg";
  for (const auto& c : kolm::test::goldenRows("dds_cfg.tsv", 7)) {
    SCOPED_TRACE(c[0]);
    std::filesystem::remove(file);
    if (c[1] != "-") {
      ASSERT_TRUE(writeFileAtomic(file, c[1]));
    }
    HardwareParams q{4, 50, 200, 956, "sim"};
    EXPECT_EQ(readHardwareConfig(q, file), c[2] == "ok");
    EXPECT_EQ(std::tuple(q.refClockMultiplier, q.quartzMHz, q.refClockMHz, q.portAddress),
              std::tuple(std::stoi(c[3]), kolm::test::goldenNumber(c[4]),
                         kolm::test::goldenNumber(c[5]), std::stoi(c[6])));
  }
}

TEST(Ppdev, DeviceIsMatchedByItsBaseAddress) {
  kolm::test::TempDir dir;
  std::filesystem::create_directories(dir.path() / "parport0");
  std::filesystem::create_directories(dir.path() / "parport1");
  ASSERT_TRUE(writeFileAtomic(dir.path() / "parport0" / "base-addr", "53504\t53512\n"));
  ASSERT_TRUE(writeFileAtomic(dir.path() / "parport1" / "base-addr", "888\t1912\n"));
  EXPECT_EQ(kolm::hw::ppdevDeviceForBase(888, dir.path().string()), "/dev/parport1");
  EXPECT_EQ(kolm::hw::ppdevDeviceForBase(53504, dir.path().string()), "/dev/parport0");
  EXPECT_EQ(kolm::hw::ppdevDeviceForBase(632, dir.path().string()), "");
}
