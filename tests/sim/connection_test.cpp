#include "sim/connection.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

#include "common/files.h"
#include "sim/sim_port.h"
#include "sim/touchstone.h"
#include "support/temp_dir.h"

using namespace kolm::sim;
using ::testing::HasSubstr;

TEST(SiNumber, SuffixesAndStrictness) {
  struct Case {
    const char* text;
    double value;
  };
  const Case cases[] = {
      {"20f", 20e-15}, {"5p", 5e-12},    {"3.3n", 3.3e-9}, {"1.5u", 1.5e-6}, {"2m", 2e-3},  // milli
      {"2.2k", 2200},  {"2M", 2e6},                                                         // mega
      {"1G", 1e9},     {"1e-12", 1e-12}, {" +50 ", 50},    {"-3", -3},
  };
  for (const Case& c : cases)
    EXPECT_DOUBLE_EQ(parseSiNumber(c.text).value_or(NAN), c.value) << c.text;
  for (const char* bad :
       {"", "abc", "5x", "5pF", "1e", "++5", "inf", "nan", "1,5", "5 k", "1e300G", "-1e306k"})
    EXPECT_FALSE(parseSiNumber(bad).has_value()) << bad;
}

namespace {
// What a text stands for; a text that does not parse fails the test.
template <typename T>
T parsed(const Parsed<T>& p) {
  EXPECT_TRUE(p.ok()) << p.error;
  return p.value.value_or(T{});
}
}  // namespace

// Each form read back through what it does to the signal or the reflection.
TEST(ConnectionTexts, EveryFormOfDutAndLoad) {
  EXPECT_DOUBLE_EQ(parsed(parseDut("through")).gainDb(10), 0);
  const Dut a = parsed(parseDut(" atten:60 "));
  EXPECT_EQ(a.text, "atten:60");
  EXPECT_NEAR(a.gainDb(10), -60, 1e-12);
  const Dut l = parsed(parseDut("lowpass:order=3, fc=1.8"));
  EXPECT_EQ(std::pair(l.cutoffMHz, l.order), std::pair(1.8, 3));
  // At the series resonance a crystal is its motional resistance; C0 may be left out.
  const Dut x = parsed(parseDut("crystal:fs=10,r=20,c=20f,c0=5p,r0=50"));
  EXPECT_DOUBLE_EQ(x.c0, 5e-12);
  EXPECT_NEAR(std::abs(x.transfer(10)), 50.0 / 70.0, 1e-4);
  const Dut noC0 = parsed(parseDut("CRYSTAL:FS=4,R=10,C=10f,R0=12.5"));
  EXPECT_NEAR(std::abs(noC0.transfer(4)), 12.5 / 22.5, 1e-9);

  EXPECT_NEAR(parsed(parseLoad("r=75")).gamma(10).real(), 0.2, 1e-12);
  EXPECT_NEAR(parsed(parseLoad("R = 1k")).r, 1000, 1e-12);
  EXPECT_EQ(parsed(parseLoad("open")).gamma(3), std::complex<double>(1.0));
  EXPECT_EQ(parsed(parseLoad("short")).gamma(3), std::complex<double>(-1.0));
  EXPECT_DOUBLE_EQ(parsed(parseLoad("rlc:r=50,l=1.5u,c=100p")).c, 100e-12);
  // Only R and L: an inductive load with no capacitor.
  EXPECT_GT(parsed(parseLoad("rlc:r=50,l=1u")).gamma(10).imag(), 0);
  kolm::test::InTempDir dir;
  ASSERT_TRUE(kolm::common::writeFileAtomic("a b.s1p", "# MHz S MA R 50\n1 0.5 90\n"));
  EXPECT_NEAR(parsed(parseLoad("s1p:a b.s1p")).gamma(1).imag(), 0.5, 1e-12);
}

TEST(ConnectionTexts, MalformedOnesNameTheBadPart) {
  struct Case {
    const char* text;
    const char* mentions;
  };
  auto refused = [](const auto& p, const Case& c, const char* what) {
    EXPECT_FALSE(p.ok()) << c.text;
    EXPECT_THAT(p.error, HasSubstr(c.mentions)) << c.text;
    EXPECT_THAT(p.error, HasSubstr(what)) << c.text;
  };
  for (Case c :
       {Case{"", "nothing given"}, Case{"thru", "unknown kind 'thru'"},
        Case{"through:3", "through takes no parameters"}, Case{"atten:", "atten:DB"},
        Case{"atten:six", "'six' is not a number"}, Case{"atten:-3", "below 0"},
        Case{"lowpass:fc=abc,order=3", "fc=abc"}, Case{"lowpass:fc=10", "needs order="},
        Case{"lowpass:fc=10,order=2.5", "order=2.5"},
        Case{"lowpass:fc=10,order=3,q=2", "unknown parameter 'q'"},
        Case{"lowpass:fc=10,fc=20,order=3", "'fc' is given twice"},
        Case{"lowpass:fc=10,,order=3", "empty parameter"},
        Case{"lowpass:fc", "'fc' is not name=value"}, Case{"crystal:fs=10,r=20,c=0,r0=50", "c=0"},
        Case{"crystal:fs=10,r=20,c=20f", "needs r0="}})
    refused(parseDut(c.text), c, "DUT '");
  for (Case c : {Case{"r=", "r= needs a resistance"}, Case{"r=50ohm", "'50ohm'"},
                 Case{"r=-5", "below 0"}, Case{"load", "unknown kind 'load'"},
                 Case{"open:1", "open takes no parameters"}, Case{"rlc:", "rlc needs"},
                 Case{"rlc:r=50,c=0", "c=0"}, Case{"rlc:x=1", "unknown parameter 'x'"},
                 Case{"s1p:", "s1p needs"}, Case{"s1p:/no/such/file.s1p", "cannot be opened"},
                 Case{"s1p:/dev/zero", "'/dev/zero' is not a regular file"},
                 Case{"s1p:/", "'/' is a folder"}})
    refused(parseLoad(c.text), c, "load '");
}

TEST(Touchstone, FormatsUnitsAndReferences) {
  // The same reflection, 0.5 at +90 degrees, written three ways.
  for (const char* text :
       {"# kHz S RI R 50\n1000 0 0.5\n", "!c\n# MHz S DB R 50 ! trailing\n1 -6.0206 90\n",
        "# GHz\n0.001 .5 90"}) {
    auto p = parseTouchstone(text);
    ASSERT_TRUE(p.ok()) << p.error;
    ASSERT_EQ(p.table.frequencyMHz.size(), 1u);
    EXPECT_NEAR(p.table.frequencyMHz[0], 1, 1e-12) << text;
    EXPECT_NEAR(p.table.gamma[0].real(), 0, 1e-4) << text;
    EXPECT_NEAR(p.table.gamma[0].imag(), 0.5, 1e-4) << text;
  }
  // 75 ohm resistive: S against 75 ohm is 0, Z normalised is 1, Y normalised 1.
  for (const char* text :
       {"# MHz S RI R 75\n1 0 0\n", "# MHz Z RI R 75\n1 1 0\n", "# MHz Y RI R 75\n1 1 0\n"}) {
    auto p = parseTouchstone(text);
    ASSERT_TRUE(p.ok()) << p.error;
    EXPECT_NEAR(p.table.gamma[0].real(), 0.2, 1e-12) << text;
    EXPECT_NEAR(p.table.gamma[0].imag(), 0, 1e-12) << text;
  }
  // Open in a 75 ohm file is still open.
  EXPECT_NEAR(parseTouchstone("# MHz S RI R 75\n1 1 0\n").table.gamma[0].real(), 1, 1e-12);
  // CR LF lines; past the last point its value holds (the bridge test interpolates).
  auto t = parseTouchstone("# MHz S RI R 50\r\n1 0 0\r\n3 1 0\r\n");
  ASSERT_TRUE(t.ok());
  EXPECT_NEAR(t.table.at(9).real(), 1, 1e-12);
}

TEST(Touchstone, ErrorsGiveTheLine) {
  struct Case {
    const char* text;
    const char* mentions;
  };
  for (Case c : {Case{"", "no data"}, Case{"# MHz S RI\n1 0 0\n1 0 0\n", "line 3: the frequencies"},
                 Case{"# MHz S RI\n1 0\n", "line 2: a one-port data line has 3"},
                 Case{"1 0 0 0 0 0 0 0 0\n", "found 9"}, Case{"# MHz H RI\n", "'h'"},
                 Case{"# MHz S RI R\n", "R in the option line"},
                 Case{"1 0 0\n# MHz\n", "line 2: the option line"},
                 Case{"[Version] 2.0\n", "line 1: keyword"}, Case{"1 x 0\n", "'x'"},
                 Case{"# MHz S DB\n1 -3 0\n2 1e308 0\n", "line 3: no finite reflection"},
                 Case{"1e308 0.4 -60\n", "line 1: a frequency beyond"}}) {
    auto p = parseTouchstone(c.text);
    EXPECT_FALSE(p.ok()) << c.text;
    EXPECT_THAT(p.error, HasSubstr(c.mentions)) << c.text;
  }
}

namespace {
// The four texts of what was loaded: DUT, load, board and quartz.
std::string loaded() {
  const auto o = loadPortOptions();
  return o.simDut + " | " + o.simLoad + " | " + o.simBoard + " | " + o.simQuartz;
}
}  // namespace

TEST(SimConfigFile, KeptBetweenRunsAndDamageFallsBackPartByPart) {
  kolm::test::InTempDir dir;
  EXPECT_EQ(loaded(), "through | r=50 | typical | ");
  EXPECT_FALSE(readPortOptions().has_value());
  ASSERT_TRUE(
      savePortOptions({"crystal:fs=10,r=20,c=20f,c0=5p,r0=50", "rlc:r=50,l=1u", "ideal", "100"}));
  EXPECT_EQ(*kolm::common::readTextFile("sim.cfg"),
            "\"crystal:fs=10,r=20,c=20f,c0=5p,r0=50\"\r\n\"rlc:r=50,l=1u\"\r\n\"ideal\"\r\n"
            "\"100\"\r\n");
  EXPECT_EQ(loaded(), "crystal:fs=10,r=20,c=20f,c0=5p,r0=50 | rlc:r=50,l=1u | ideal | 100");
  // A file of two records (kept before the board and quartz were): their defaults.
  ASSERT_TRUE(kolm::common::writeFileAtomic("sim.cfg", "\"atten:10\"\r\n\"open\"\r\n"));
  EXPECT_EQ(loaded(), "atten:10 | open | typical | ");
  // A bad board or quartz falls back alone.
  ASSERT_TRUE(savePortOptions({"atten:10", "open", "perfect", "-3"}));
  EXPECT_EQ(loaded(), "atten:10 | open | typical | ");

  // An s1p file that has gone: the load falls back, the DUT stays, the text kept
  // is still there for the window to show.
  ASSERT_TRUE(savePortOptions({"atten:20", "s1p:gone.s1p"}));
  EXPECT_EQ(loaded(), "atten:20 | r=50 | typical | ");
  EXPECT_EQ(readPortOptions()->simLoad, "s1p:gone.s1p");

  std::string error;
  EXPECT_FALSE(savePortOptions({"through", "s1p:a\"b"}, "sim.cfg", &error));
  EXPECT_THAT(error, HasSubstr("double quote"));
  EXPECT_EQ(readPortOptions()->simLoad, "s1p:gone.s1p");  // the old file stands
}
