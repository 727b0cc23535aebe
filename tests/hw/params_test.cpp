#include "hw/params.h"
#include "hw/port_factory.h"

#include <gtest/gtest.h>

#include "common/files.h"
#include "support/temp_dir.h"

using namespace kolm::hw;
using kolm::common::readTextFile;
using kolm::common::writeFileAtomic;

TEST(SystemClock, MultiplierIsBypassedBelowFour) {
  EXPECT_EQ(systemClockMHz(3, 100), 100);
  EXPECT_EQ(systemClockMHz(4, 100), 400);
  EXPECT_EQ(systemClockMHz(0, 20), 20);
  EXPECT_EQ(systemClockMHz(20, 30), 600);
}

TEST(Validation, ClockAbove501IsOverTheMaximumAndZeroIsRefused) {
  HardwareParams p;
  p.RefClkMultiplier = 20;
  p.QuartzMHz = 30;
  p.RefClkMHz = 600;
  EXPECT_EQ(validateParameters(p).value(), "Ref Frequency over the maximum!");
  p.RefClkMHz = 501;
  p.QuartzMHz = 25.05;
  EXPECT_FALSE(validateParameters(p).has_value());
  p.QuartzMHz = 0;
  p.RefClkMHz = 0;
  EXPECT_TRUE(validateParameters(p).has_value());
}

TEST(DdsCfg, WritesFourQuotedRecordsPlusThePortAndReadsThemBack) {
  kolm::test::TempDir dir;
  auto file = dir.path() / "dds.cfg";
  HardwareParams p;
  p.RefClkMultiplier = 20;
  p.QuartzMHz = 20;
  p.RefClkMHz = 400;
  p.LptBase = kLpt2;
  p.portBackend = "ppdev:/dev/parport0";
  ASSERT_TRUE(WriteHardwareConfig(p, file));
  EXPECT_EQ(readTextFile(file).value(),
            "\"20\"\r\n\"20\"\r\n\"400\"\r\n\"632\"\r\n\"ppdev:/dev/parport0\"\r\n");
  HardwareParams q;
  EXPECT_TRUE(ReadHardwareConfig(q, file));
  EXPECT_EQ(q.RefClkMultiplier, 20);
  EXPECT_EQ(q.QuartzMHz, 20);
  EXPECT_EQ(q.RefClkMHz, 400);
  EXPECT_EQ(q.LptBase, 632);
  EXPECT_EQ(q.portBackend, "ppdev:/dev/parport0");
}

TEST(DdsCfg, UnquotedAndCommaSeparatedFormsReadTheSame) {
  kolm::test::TempDir dir;
  for (const char* text :
       {"20\r\n20\r\n400\r\n888\r\n", "\"20\",\"20\",\"400\",\"888\"\r\n", "20\n20\n400\n888"}) {
    auto file = dir.path() / "dds.cfg";
    ASSERT_TRUE(writeFileAtomic(file, text));
    HardwareParams q;
    EXPECT_TRUE(ReadHardwareConfig(q, file)) << text;
    EXPECT_EQ(q.RefClkMultiplier, 20);
    EXPECT_EQ(q.QuartzMHz, 20);
    EXPECT_EQ(q.RefClkMHz, 400);
    EXPECT_EQ(q.LptBase, 888);
    EXPECT_EQ(q.portBackend, "sim");  // an older four-record file: the simulator
  }
}

TEST(DdsCfg, StopsAtTheFirstFailureKeepingWhatWasRead) {
  kolm::test::TempDir dir;
  auto file = dir.path() / "dds.cfg";
  HardwareParams before;
  before.RefClkMultiplier = 4;
  before.QuartzMHz = 50;
  before.RefClkMHz = 200;
  before.LptBase = 956;

  // A first record that is not a number leaves all four unchanged.
  ASSERT_TRUE(writeFileAtomic(file, "\"abc\"\r\n\"20\"\r\n\"400\"\r\n\"888\"\r\n"));
  HardwareParams q = before;
  EXPECT_FALSE(ReadHardwareConfig(q, file));
  EXPECT_EQ(q.RefClkMultiplier, 4);
  EXPECT_EQ(q.QuartzMHz, 50);
  EXPECT_EQ(q.RefClkMHz, 200);
  EXPECT_EQ(q.LptBase, 956);

  // Two records: the first two are taken.
  ASSERT_TRUE(writeFileAtomic(file, "\"10\"\r\n\"30\"\r\n"));
  q = before;
  EXPECT_FALSE(ReadHardwareConfig(q, file));
  EXPECT_EQ(q.RefClkMultiplier, 10);
  EXPECT_EQ(q.QuartzMHz, 30);
  EXPECT_EQ(q.RefClkMHz, 200);

  // A base address out of 16-bit range stops at the fourth field.
  ASSERT_TRUE(writeFileAtomic(file, "20\r\n20\r\n400\r\n70000\r\n"));
  q = before;
  EXPECT_FALSE(ReadHardwareConfig(q, file));
  EXPECT_EQ(q.RefClkMHz, 400);
  EXPECT_EQ(q.LptBase, 956);

  // No file at all.
  q = before;
  EXPECT_FALSE(ReadHardwareConfig(q, dir.path() / "none.cfg"));
  EXPECT_EQ(q.RefClkMHz, 200);

  // A third field of "0" gives a clock of 0, like a missing file.
  ASSERT_TRUE(writeFileAtomic(file, "\"20\"\r\n\"20\"\r\n\"0\"\r\n\"888\"\r\n"));
  q = HardwareParams{};
  EXPECT_TRUE(ReadHardwareConfig(q, file));
  EXPECT_EQ(q.RefClkMHz, 0);
}

TEST(DdsCfg, BaseAddressIsRoundedHalvesToEven) {
  kolm::test::TempDir dir;
  auto file = dir.path() / "dds.cfg";
  ASSERT_TRUE(writeFileAtomic(file, "20\r\n20\r\n400\r\n888.5\r\n"));
  HardwareParams q;
  EXPECT_TRUE(ReadHardwareConfig(q, file));
  EXPECT_EQ(q.LptBase, 888);
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
