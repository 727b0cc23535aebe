// Setting the detector's calibration counts from the readings of an applied
// signal, and the default counts.
#include "powermeter/calibration.h"

#include <gtest/gtest.h>

#include "common/prompter.h"
#include "powermeter/port_rig.h"

using namespace kolm;
using namespace kolm::powermeter;

TEST(LevelCalibration, LastOfFiveReadingsIsProposedAndTaken) {
  test::PortRig rig;
  rig.answer([](size_t k) { return 850 + static_cast<int>(k); });  // 850 .. 854
  common::ScriptedPrompter prompter;
  Calibration cal;
  EXPECT_TRUE(calibrateLevel(CalPoint::ZeroDbm, rig.instrument, prompter, cal));
  EXPECT_EQ(cal, (Calibration{854, 235}));
  ASSERT_EQ(prompter.shown.size(), 2u);
  EXPECT_EQ(prompter.shown[0].text, "Applicare in ingresso un segnale di 0 dBm poi premere OK");
  EXPECT_EQ(prompter.shown[1].text,
            " 854    Se il numero visualizzato è tra 800 e 900 accettare premendo OK");
  EXPECT_EQ(prompter.shown[1].title, "Kolm");
  // Five read-outs 2 ms apart, and nothing else: the generator is not touched.
  EXPECT_EQ(rig.port->readCount(), 50u);
  EXPECT_EQ(rig.port->writeCount(), 5u * 22u);
  EXPECT_EQ(rig.waits, std::vector<double>(5, 20000));
}

TEST(LevelCalibration, MinusSixtyCancelAtEitherPromptAndACountEqualToTheOther) {
  test::PortRig rig;
  rig.answer([](size_t) { return 201; });
  common::ScriptedPrompter prompter;
  Calibration cal;
  prompter.confirms = {false};
  EXPECT_FALSE(calibrateLevel(CalPoint::Minus60Dbm, rig.instrument, prompter, cal));
  EXPECT_EQ(rig.port->readCount(), 0u);  // nothing read before OK
  prompter.confirms = {true, false};
  EXPECT_FALSE(calibrateLevel(CalPoint::Minus60Dbm, rig.instrument, prompter, cal));
  EXPECT_EQ(cal, Calibration{});
  prompter.confirms = {true, true};
  EXPECT_TRUE(calibrateLevel(CalPoint::Minus60Dbm, rig.instrument, prompter, cal));
  EXPECT_EQ(cal, (Calibration{826, 201}));
  EXPECT_EQ(prompter.shown.back().text,
            " 201    Se il numero visualizzato è intorno a 200 accettare premendo OK");
  EXPECT_EQ(prompter.shown[1].text, "Applicare in ingresso un segnale di -60 dBm poi premere OK");

  // A count equal to the other point's is refused, with no proposal offered.
  const size_t shown = prompter.shown.size();
  EXPECT_FALSE(calibrateLevel(CalPoint::ZeroDbm, rig.instrument, prompter, cal));
  EXPECT_EQ(cal, (Calibration{826, 201}));
  ASSERT_EQ(prompter.messages().size(), 1u);
  EXPECT_NE(prompter.messages()[0].find("reads 201"), std::string::npos);
  EXPECT_NE(prompter.messages()[0].find("not changed"), std::string::npos);
  EXPECT_EQ(prompter.shown.size(), shown + 2);  // the request and the refusal
}

TEST(LevelCalibration, DefaultCountsReadZeroAt826) {
  common::ScriptedPrompter prompter;
  Calibration cal{900, 300};
  prompter.confirms = {false};
  EXPECT_FALSE(calibrateDefault(prompter, cal));
  EXPECT_EQ(cal, (Calibration{900, 300}));
  EXPECT_TRUE(calibrateDefault(prompter, cal));
  EXPECT_EQ(prompter.shown.back().text, "Vuoi applicare i valori di DEFAULT?");
  EXPECT_EQ(cal, (Calibration{826, 235}));
  EXPECT_EQ(readingToDbm(826, cal), 0.0f);
  EXPECT_EQ(readingToDbm(235, cal), -60.0f);
}

// Levels within 10 dB of count 0 are floor, within 3 dB of count 1023 overload,
// whatever the calibration's slope and sense.
TEST(LevelFlags, TheConverterEndsThroughTheCalibration) {
  struct Case {
    Calibration cal;
    int reading;
    LevelFlag flag;
  };
  const Case cases[] = {
      {{826, 235}, 0, LevelFlag::Floor},       {{826, 235}, 98, LevelFlag::Floor},
      {{826, 235}, 99, LevelFlag::Valid},      {{826, 235}, 235, LevelFlag::Valid},
      {{826, 235}, 993, LevelFlag::Valid},     {{826, 235}, 994, LevelFlag::Overload},
      {{826, 235}, 1023, LevelFlag::Overload}, {{870, 200}, 111, LevelFlag::Floor},
      {{870, 200}, 112, LevelFlag::Valid},     {{235, 826}, 0, LevelFlag::Floor},  // reversed
      {{235, 826}, 1023, LevelFlag::Overload}, {{235, 826}, 500, LevelFlag::Valid},
      {{500, 500}, 0, LevelFlag::Valid},  // no level at all: nothing to flag
  };
  for (const Case& c : cases)
    EXPECT_EQ(levelLimits(c.cal).flag(readingToDbm(c.reading, c.cal)), c.flag)
        << c.cal.Cal0 << "/" << c.cal.Cal60 << " count " << c.reading;
  const LevelLimits limits = levelLimits({});  // each limit itself is flagged
  EXPECT_EQ(limits.flag(limits.floorDbm), LevelFlag::Floor);
  EXPECT_EQ(limits.flag(limits.overloadDbm), LevelFlag::Overload);
  EXPECT_EQ(LevelLimits{}.flag(-200), LevelFlag::Valid);
  EXPECT_EQ(levelText(readingToDbm(0, {}), LevelFlag::Floor), "≤ -83.9 dBm");
  EXPECT_EQ(levelText(readingToDbm(1023, {}), LevelFlag::Overload), "≥ 20.0 dBm");
  EXPECT_EQ(levelText(-12.34f, LevelFlag::Valid), "-12.3 dBm");
  const float levels[] = {-80, -20, 18};
  EXPECT_EQ(
      levelMarks(levels, 3, levelLimits({})),
      (std::vector<chart::Mark>{chart::Mark::AtMost, chart::Mark::Valid, chart::Mark::AtLeast}));
  EXPECT_TRUE(levelMarks(levels + 1, 1, levelLimits({})).empty());
}
