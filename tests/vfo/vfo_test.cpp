#include "vfo/vfo.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "common/files.h"
#include "hw/dds.h"
#include "support/recording_port.h"
#include "support/temp_dir.h"
#include "vfo/dds_frames.h"

using namespace kolm;
using namespace kolm::vfo;
using ::testing::ElementsAre;

namespace {

struct Rig {
  explicit Rig(double clock = 400, int multiplier = 20) {
    auto p = std::make_unique<hw::RecordingPort>();
    port = p.get();
    instrument.setPort(std::move(p));
    instrument.setDelayer(std::make_unique<hw::NoDelayer>());
    instrument.params.RefClkMHz = clock;
    instrument.params.RefClkMultiplier = static_cast<int16_t>(multiplier);
  }
  std::vector<std::string> events() const { return test::ddsEvents(port->writes()); }
  // Events since the last call.
  std::vector<std::string> fresh() {
    auto all = events();
    std::vector<std::string> out(all.begin() + static_cast<long>(seen), all.end());
    seen = all.size();
    return out;
  }
  std::string read(const char* name) const {
    return common::readTextFile(dir.path() / name).value_or("<missing>");
  }
  void write(const char* name, const std::string& text) const {
    ASSERT_TRUE(common::writeFileAtomic(dir.path() / name, text));
  }

  test::TempDir dir;
  hw::Instrument instrument;
  hw::RecordingPort* port;
  common::ScriptedPrompter prompter;
  size_t seen = 0;
};

std::string wordFor(double mhz, double clock = 400) {
  return "word " + std::to_string(hw::checkedTuningWord(mhz, clock).word);
}

}  // namespace

TEST(VfoEngine, OpeningRestoresTheStateAndLoadsTheDds) {
  Rig rig;
  rig.write("radio.ini",
            "\"7.05\"\r\n\"10.000\"\r\n\"4.5\"\r\n\"1\"\r\n\"2\"\r\n\"14.1\"\r\n\"7.05\"\r\n");
  rig.write("VFO_FreqMem", "145.5\r\n3.5\r\n7.05\r\n");
  rig.write("VFO_FreqButton.txt", "1.84\r\n3.6\r\n");
  Vfo vfo(rig.instrument, rig.prompter, rig.dir.path());
  vfo.open();

  EXPECT_THAT(rig.events(), ElementsAre("reset", "reg1 166", wordFor(17.05)));
  ASSERT_TRUE(vfo.output());
  EXPECT_DOUBLE_EQ(vfo.output()->DdsFreq, 17.05);
  EXPECT_EQ(vfo.settings.mode, Mode::RTX);
  EXPECT_EQ(vfo.settings.keyboardText, "14.1");
  EXPECT_THAT(vfo.memories, ElementsAre("003.500000", "007.050000", "145.500000"));
  EXPECT_EQ(vfo.FreqButtons, (BandButtons{1.84, 3.6}));
  EXPECT_TRUE(rig.prompter.shown.empty());
}

TEST(VfoEngine, EverySendTakesTheModeAndIfAsTheyStand) {
  Rig rig;
  Vfo vfo(rig.instrument, rig.prompter, rig.dir.path());
  vfo.settings.keyboardText = "7.05";
  vfo.keyboardEnter();
  EXPECT_THAT(rig.fresh(), ElementsAre("word 75698799"));
  vfo.setMode(Mode::RTX2);
  EXPECT_THAT(rig.fresh(), ElementsAre(wordFor(34.1)));
  // Editing an IF text sends nothing; the next send uses it.
  vfo.settings.IF2 = "-10.7";
  EXPECT_TRUE(rig.fresh().empty());
  vfo.setIfChoice(IfChoice::IF2);
  EXPECT_EQ(vfo.IfOffset, -10.7);
  EXPECT_THAT(rig.fresh(), ElementsAre(wordFor(2 * std::fabs(7.05 - 10.7))));

  // RTX2, IF 10, working 75: the DDS is held at 160, the working frequency
  // moves back to 70, and the user is told.
  vfo.settings.IF1 = "10";
  vfo.settings.ifChoice = IfChoice::IF1;
  vfo.settings.WorkingFreq = 75;
  vfo.sendFrequency();
  EXPECT_EQ(vfo.settings.WorkingFreq, 70);
  EXPECT_THAT(rig.fresh(), ElementsAre("word 1717986918"));
  EXPECT_THAT(rig.prompter.messages(), ElementsAre("Frequency too High"));

  // Down from 0.5 MHz by 1 MHz stops at 0; a negative number typed in GEN mode
  // is held at 0 without a message.
  vfo.setMode(Mode::GEN);
  vfo.settings.WorkingFreq = 0.5;
  vfo.stepDown(6);
  EXPECT_EQ(vfo.settings.WorkingFreq, 0);
  vfo.settings.keyboardText = "-3.5";
  vfo.keyboardEnter();
  EXPECT_EQ(vfo.settings.WorkingFreq, 0);
  EXPECT_THAT(rig.fresh(), ElementsAre(wordFor(70), "word 0", "word 0"));
  EXPECT_EQ(rig.prompter.messages().size(), 1u);

  // "DDS Reset" loads the multiplier as it stands now, then the frequency.
  rig.instrument.params.RefClkMultiplier = 4;
  rig.instrument.params.RefClkMHz = 100;
  vfo.settings.WorkingFreq = 7.05;
  vfo.ddsReset();
  EXPECT_THAT(rig.fresh(), ElementsAre("reset", "reg1 38", wordFor(7.05, 100)));
}

TEST(VfoEngine, ClockOfZeroSendsNoFrequency) {
  Rig rig(0, 0);
  Vfo vfo(rig.instrument, rig.prompter, rig.dir.path());
  rig.write("radio.ini", "\"7.05\"\r\n");
  vfo.open();
  // Reset and multiplier go out; no word does. The frequency is kept as it was.
  EXPECT_THAT(rig.events(), ElementsAre("reset", "reg1 6"));
  EXPECT_THAT(rig.prompter.messages(), ElementsAre(hw::noClockMessage()));
  EXPECT_DOUBLE_EQ(vfo.settings.WorkingFreq, 7.05);
  EXPECT_FALSE(vfo.output()->sent);
  rig.fresh();
  vfo.stepUp(6);
  EXPECT_TRUE(rig.fresh().empty());
  EXPECT_DOUBLE_EQ(vfo.settings.WorkingFreq, 8.05);
  EXPECT_EQ(rig.prompter.messages().size(), 2u);

  // Closing still switches the output off.
  vfo.close();
  EXPECT_THAT(rig.fresh(), ElementsAre("word 0"));
}

TEST(VfoEngine, MemoriesStayInOrderAndAreWrittenOnClose) {
  Rig rig;
  Vfo vfo(rig.instrument, rig.prompter, rig.dir.path());
  vfo.open();
  vfo.settings.WorkingFreq = 7.05;
  EXPECT_EQ(vfo.addMemory(), 0);
  vfo.settings.WorkingFreq = 3.5;
  EXPECT_EQ(vfo.addMemory(), 0);
  vfo.settings.WorkingFreq = 145.0000004;  // kept to the hertz
  EXPECT_EQ(vfo.addMemory(), 2);
  EXPECT_THAT(vfo.memories, ElementsAre("003.500000", "007.050000", "145.000000"));

  EXPECT_FALSE(vfo.deleteMemory(-1));  // nothing selected
  EXPECT_EQ(vfo.memoryCount(), 3);
  EXPECT_TRUE(vfo.deleteMemory(2));
  vfo.close();
  EXPECT_EQ(rig.read("VFO_FreqMem"), "3.5\r\n7.05\r\n");

  // Clearing asks first; Cancel keeps the list.
  rig.prompter.confirms = {false, true};
  EXPECT_FALSE(vfo.clearMemories());
  EXPECT_EQ(vfo.memoryCount(), 2);
  EXPECT_TRUE(vfo.clearMemories());
  EXPECT_EQ(vfo.memoryCount(), 0);
  ASSERT_EQ(rig.prompter.shown.size(), 2u);
  EXPECT_EQ(rig.prompter.shown[0].kind, "confirm");
  EXPECT_EQ(rig.prompter.shown[0].text, "Do you want really clear all memories?");
  EXPECT_FALSE(vfo.deleteMemory(0));
  vfo.close();
  EXPECT_EQ(rig.read("VFO_FreqMem"), "");
}

TEST(VfoEngine, BandButtonsStoreAndRecall) {
  Rig rig;
  Vfo vfo(rig.instrument, rig.prompter, rig.dir.path());
  vfo.settings.WorkingFreq = 14.074;
  vfo.storeBand(4);  // right button on "Band 20"
  EXPECT_EQ(vfo.FreqButtons[4], 14.074);
  EXPECT_THAT(rig.fresh(), ElementsAre(wordFor(14.074)));  // the frequency is sent again
  vfo.settings.WorkingFreq = 3.5;
  vfo.recallBand(4);
  EXPECT_EQ(vfo.settings.WorkingFreq, 14.074);
  EXPECT_THAT(rig.fresh(), ElementsAre(wordFor(14.074)));
}

TEST(VfoEngine, ClosingWritesTheThreeFilesThenSendsWordZero) {
  Rig rig;
  Vfo vfo(rig.instrument, rig.prompter, rig.dir.path());
  vfo.open();
  vfo.settings.IF2 = "9";
  vfo.settings.keyboardText = "21.3";  // typed, never entered: still kept
  vfo.setIfChoice(IfChoice::IF2);
  vfo.setMode(Mode::RTX);
  vfo.settings.WorkingFreq = 21.25;
  vfo.addMemory();
  vfo.FreqButtons[11] = 144.3;
  rig.fresh();
  vfo.close();

  EXPECT_EQ(rig.read("radio.ini"),
            "\"21.25\"\r\n\"10.000\"\r\n\"9\"\r\n\"2\"\r\n\"2\"\r\n\"21.3\"\r\n\"21.25\"\r\n");
  EXPECT_EQ(rig.read("VFO_FreqMem"), "21.25\r\n");
  EXPECT_EQ(rig.read("VFO_FreqButton.txt"),
            "0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n144.3\r\n");
  EXPECT_THAT(rig.fresh(), ElementsAre("word 0"));
  EXPECT_EQ(rig.instrument.tunedWord(), 0u);
  EXPECT_TRUE(rig.prompter.shown.empty());
}

// A folder that is not there: nothing to read, and nothing can be written.
TEST(VfoEngine, WithoutItsFilesTheVfoStartsAtZeroAndAFailedSaveIsReported) {
  Rig rig;
  Vfo vfo(rig.instrument, rig.prompter, rig.dir.path() / "missing-folder");
  vfo.open();
  EXPECT_THAT(rig.fresh(), ElementsAre("reset", "reg1 166", "word 0"));
  EXPECT_EQ(vfo.memoryCount(), 0);
  EXPECT_EQ(vfo.FreqButtons, BandButtons{});
  EXPECT_EQ(vfo.settings.mode, Mode::GEN);
  vfo.close();
  EXPECT_THAT(rig.fresh(), ElementsAre("word 0"));
  ASSERT_EQ(rig.prompter.messages().size(), 1u);
  EXPECT_THAT(rig.prompter.messages()[0], ::testing::HasSubstr("could not be saved"));
  EXPECT_THAT(rig.prompter.messages()[0], ::testing::HasSubstr("radio.ini"));
}
