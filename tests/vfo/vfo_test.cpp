#include "vfo/vfo.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "common/files.h"
#include "hw/dds.h"
#include "support/golden.h"
#include "support/port_rig.h"
#include "support/temp_dir.h"
#include "vfo/tuning.h"
#include "vfo/vfo_files.h"

using namespace kolm;
using namespace kolm::vfo;
using ::testing::ElementsAre;

using kolm::test::wordFor;

namespace {

struct Rig : test::PortRig {
  explicit Rig(double clock = 400, int16_t multiplier = 20) : PortRig(clock, multiplier) {}
  // The DDS events since the last call.
  std::vector<std::string> fresh() {
    auto all = test::ddsEvents(port->writes());
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
  common::SettingsFolder settings{dir.path()};
  common::ScriptedPrompter prompter;
  size_t seen = 0;
};

}  // namespace

// What open() reads and loads, what each confirmation writes at once, and what
// close() writes back before the word 0.
TEST(VfoEngine, OpenReadsTheFilesAndLoadsTheDdsCloseWritesThemThenSendsWordZero) {
  Rig rig;
  rig.write("radio.ini",
            "\"7.05\"\r\n\"10.000\"\r\n\"4.5\"\r\n\"1\"\r\n\"2\"\r\n\"14.1\"\r\n\"7.05\"\r\n");
  rig.write("VFO_FreqMem", "145.5\r\n3.5\r\n7.05\r\n");
  rig.write("VFO_FreqButton.txt", "1.84\r\n3.6\r\n");
  Vfo vfo(rig.instrument, rig.prompter, rig.settings);
  vfo.open();
  EXPECT_THAT(rig.fresh(), ElementsAre("reset", "reg1 166", wordFor(17.05)));
  EXPECT_DOUBLE_EQ(vfo.output()->ddsMHz, 17.05);
  EXPECT_EQ(vfo.settings.keyboardText, "14.1");
  EXPECT_THAT(vfo.memories, ElementsAre("003.500000", "007.050000", "145.500000"));
  EXPECT_EQ(vfo.bandButtons, (BandButtons{1.84, 3.6}));

  // Each confirmation is in its file at once: a kill -9 after it loses nothing.
  vfo.settings.IF2 = kolm::common::NumberText("9");
  vfo.settings.keyboardText = "21.3";  // typed, never entered: still kept
  vfo.setIfChoice(IfChoice::IF2);
  EXPECT_EQ(rig.read("radio.ini"),
            "\"7.05\"\r\n\"10.000\"\r\n\"9\"\r\n\"2\"\r\n\"2\"\r\n\"21.3\"\r\n\"7.05\"\r\n");
  vfo.settings.workingMHz = 21.25;
  vfo.addMemory();
  EXPECT_EQ(rig.read("VFO_FreqMem"), "3.5\r\n7.05\r\n21.25\r\n145.5\r\n");
  vfo.settings.workingMHz = 144.3;
  vfo.storeBand(11);
  EXPECT_EQ(rig.read("VFO_FreqButton.txt"),
            "1.84\r\n3.6\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n144.3\r\n");
  vfo.settings.workingMHz = 21.25;  // tuned by steps: kept at close
  rig.fresh();
  vfo.close();
  EXPECT_EQ(rig.read("radio.ini"),
            "\"21.25\"\r\n\"10.000\"\r\n\"9\"\r\n\"2\"\r\n\"2\"\r\n\"21.3\"\r\n\"21.25\"\r\n");
  EXPECT_THAT(rig.fresh(), ElementsAre("word 0"));
  EXPECT_EQ(rig.instrument.tunedWord(), 0u);
  EXPECT_TRUE(rig.prompter.shown.empty());
}

// Mode, IF and the limit themselves are the tuning tests'.
TEST(VfoEngine, EverySendTakesTheModeAndIfAsTheyStand) {
  Rig rig;
  Vfo vfo(rig.instrument, rig.prompter, rig.settings);
  vfo.keyboardEnter(7.05);
  EXPECT_THAT(rig.fresh(), ElementsAre("word 75698799"));
  vfo.setMode(Mode::RTX2);
  EXPECT_THAT(rig.fresh(), ElementsAre(wordFor(34.1)));
  // Editing an IF text sends nothing; the next send uses it.
  vfo.settings.IF2 = kolm::common::NumberText("-10.7");
  EXPECT_TRUE(rig.fresh().empty());
  vfo.setIfChoice(IfChoice::IF2);
  EXPECT_EQ(vfo.ifOffsetMHz, -10.7);
  EXPECT_THAT(rig.fresh(), ElementsAre(wordFor(2 * std::fabs(7.05 - 10.7))));

  // Above the limit the working frequency moves back and the user is told.
  vfo.settings.ifChoice = IfChoice::IF1;
  vfo.settings.workingMHz = 75;
  vfo.sendFrequency();
  EXPECT_EQ(vfo.settings.workingMHz, 70);
  EXPECT_THAT(rig.fresh(), ElementsAre("word 1717986918"));
  EXPECT_THAT(rig.prompter.messages(),
              ElementsAre("Frequency too High\n\nThe DDS would have to run at 170 MHz, above its "
                          "limit of 160 MHz (0.4 x the clock of 400 MHz): the working frequency "
                          "is held at 70 MHz."));

  // Down from 0.5 MHz by 1 MHz stops at 0.
  vfo.setMode(Mode::GEN);
  vfo.settings.workingMHz = 0.5;
  vfo.stepDown(6);
  EXPECT_EQ(vfo.settings.workingMHz, 0);
  EXPECT_THAT(rig.fresh(), ElementsAre(wordFor(70), "word 0"));

  // "DDS Reset" loads the multiplier as it stands now, then the frequency.
  rig.instrument.params.refClockMultiplier = 4;
  rig.instrument.params.refClockMHz = 100;
  vfo.settings.workingMHz = 7.05;
  vfo.ddsReset();
  EXPECT_THAT(rig.fresh(), ElementsAre("reset", "reg1 38", wordFor(7.05, 100)));
}

TEST(VfoEngine, ClockOfZeroSendsNoFrequency) {
  Rig rig(0, 0);
  Vfo vfo(rig.instrument, rig.prompter, rig.settings);
  rig.write("radio.ini", "\"7.05\"\r\n");
  vfo.open();
  // Reset and multiplier go out; no word does. The frequency is kept as it was.
  EXPECT_THAT(rig.fresh(), ElementsAre("reset", "reg1 6"));
  EXPECT_THAT(rig.prompter.messages(), ElementsAre(hw::noClockMessage()));
  EXPECT_FALSE(vfo.output()->sent);
  vfo.stepUp(6);
  EXPECT_TRUE(rig.fresh().empty());
  EXPECT_DOUBLE_EQ(vfo.settings.workingMHz, 8.05);
  EXPECT_EQ(rig.prompter.messages().size(), 2u);
  vfo.close();  // still switches the output off
  EXPECT_THAT(rig.fresh(), ElementsAre("word 0"));
}

TEST(VfoEngine, MemoriesInOrderClearedOnlyWhenConfirmedAndBandButtons) {
  Rig rig;
  Vfo vfo(rig.instrument, rig.prompter, rig.settings);
  // 145.0000004 is kept to the hertz.
  for (auto [mhz, at] : {std::pair{7.05, 0}, {3.5, 0}, {145.0000004, 2}}) {
    vfo.settings.workingMHz = mhz;
    EXPECT_EQ(vfo.addMemory(), at);
  }
  EXPECT_THAT(vfo.memories, ElementsAre("003.500000", "007.050000", "145.000000"));
  EXPECT_FALSE(vfo.deleteMemory(-1));  // nothing selected
  EXPECT_TRUE(vfo.deleteMemory(2));
  EXPECT_EQ(vfo.memoryCount(), 2);
  rig.prompter.confirms = {false, true};
  EXPECT_FALSE(vfo.clearMemories());
  EXPECT_EQ(vfo.memoryCount(), 2);
  EXPECT_TRUE(vfo.clearMemories());
  EXPECT_EQ(vfo.memoryCount(), 0);
  ASSERT_EQ(rig.prompter.shown.size(), 2u);
  EXPECT_EQ(rig.prompter.shown[0].text, "Do you want really clear all memories?");
  EXPECT_FALSE(vfo.deleteMemory(0));

  // The right button on "Band 20" stores the frequency (and sends it again); a click recalls it.
  rig.fresh();
  vfo.settings.workingMHz = 14.074;
  vfo.storeBand(4);
  EXPECT_EQ(vfo.bandButtons[4], 14.074);
  vfo.settings.workingMHz = 3.5;
  EXPECT_TRUE(vfo.recallBand(4));
  EXPECT_EQ(vfo.settings.workingMHz, 14.074);
  EXPECT_THAT(rig.fresh(), ElementsAre(wordFor(14.074), wordFor(14.074)));
  EXPECT_FALSE(vfo.recallBand(5));  // nothing stored there
}

// A folder that is not there: nothing to read, nothing can be written, and
// that is said once, never on the way out.
TEST(VfoEngine, WithoutItsFilesTheVfoStartsAtZeroAndAFailedSaveIsSaidOnce) {
  Rig rig;
  common::SettingsFolder missing(rig.dir.path() / "missing-folder");
  Vfo vfo(rig.instrument, rig.prompter, missing);
  vfo.open();
  EXPECT_THAT(rig.fresh(), ElementsAre("reset", "reg1 166", "word 0"));
  EXPECT_EQ(vfo.memoryCount(), 0);
  EXPECT_EQ(vfo.bandButtons, BandButtons{});
  EXPECT_EQ(vfo.settings.mode, Mode::GEN);
  vfo.setMode(Mode::RTX);
  vfo.settings.workingMHz = 7;
  EXPECT_EQ(vfo.addMemory(), 0);  // in use though not kept
  vfo.settings.workingMHz = 8;
  rig.fresh();
  vfo.close();
  EXPECT_THAT(rig.fresh(), ElementsAre("word 0"));
  ASSERT_EQ(rig.prompter.messages().size(), 1u);
  EXPECT_THAT(rig.prompter.messages()[0], ::testing::HasSubstr("'radio.ini' could not be saved"));
}

// Two programs on one folder: each change is made to what the files hold
// then, so neither undoes the other's.
TEST(VfoEngine, TwoProgramsOnOneFolderKeepEachOthersChanges) {
  Rig rig;
  Vfo first(rig.instrument, rig.prompter, rig.settings);
  Vfo second(rig.instrument, rig.prompter, rig.settings);
  first.open();
  second.open();
  first.settings.workingMHz = 7.05;
  first.addMemory();
  second.settings.workingMHz = 3.5;
  second.addMemory();
  EXPECT_EQ(rig.read("VFO_FreqMem"), "3.5\r\n7.05\r\n");
  EXPECT_EQ(second.memoryCount(), 2);  // the list is what the file holds
  first.deleteMemory(0);               // its 7.05, wherever the file has it
  EXPECT_EQ(rig.read("VFO_FreqMem"), "3.5\r\n");
  first.setMode(Mode::RTX2);
  second.keyboardEnter(14.2);
  first.close();
  second.close();
  Settings kept;
  readRadioIni(kept, rig.dir.path() / "radio.ini");
  EXPECT_EQ(kept.mode, Mode::RTX2);
  EXPECT_EQ(kept.workingMHz, 14.2);
}

// What reaches the DDS for a working frequency, mode, IF and clock; above 0.4 x
// the clock the DDS is held at the limit and the working frequency moves back.
TEST(VfoTuning, ModesIfOffsetAndTheLimit) {
  for (const auto& c : test::goldenRows("vfo_tuning.tsv", 8)) {
    SCOPED_TRACE(c[0]);
    const Mode mode = c[2] == "RTX" ? Mode::RTX : c[2] == "RTX2" ? Mode::RTX2 : Mode::GEN;
    const Tuning t =
        tune(test::goldenNumber(c[1]), mode, test::goldenNumber(c[3]), test::goldenNumber(c[4]));
    EXPECT_NEAR(t.ddsMHz, test::goldenNumber(c[5]), 1e-12);
    EXPECT_NEAR(t.workingMHz, test::goldenNumber(c[6]), 1e-12);
    EXPECT_EQ(t.tooHigh, c[7] == "too high");
    EXPECT_EQ(t.limitedAtZero, c[7] == "held at 0");
  }
}

TEST(VfoTuning, StepsAndDisplays) {
  EXPECT_EQ(stepMHz(8), 100);
  EXPECT_EQ(stepMHz(0), 0.000001);

  EXPECT_EQ(displayText(7.05), "007.050 000");
  EXPECT_EQ(displayText(0), "000.000 000");
  EXPECT_EQ(displayText(145.5000004), "145.500 000");  // to the hertz
  EXPECT_EQ(displayText(1234.5), "1234.500 000");
  EXPECT_EQ(memoryEntry(7.05), "007.050000");
  EXPECT_EQ(memoryEntry(3.5), "003.500000");
  EXPECT_EQ(memoryEntry(14.0000016), "014.000002");
}

TEST(VfoTuning, DigitUnderThePointerNamesItsStep) {
  const std::string d = "007.050 000";
  const std::optional<int> expected[] = {8, 7, 6, std::nullopt, 5, 4, 3, std::nullopt, 2, 1, 0};
  for (int i = 0; i < 11; ++i) EXPECT_EQ(stepAtDigit(d, i), expected[i]) << i;
  EXPECT_EQ(stepAtDigit("1234.567 890", 0), 8);  // above 100 MHz: the largest step
  EXPECT_EQ(stepAtDigit(d, 11), std::nullopt);
  EXPECT_EQ(stepAtDigit(d, -1), std::nullopt);
}

// radio.ini: reading stops at the first error.
TEST(RadioIni, ReadingStopsAtTheFirstError) {
  for (const auto& c : test::goldenRows("radio_ini.tsv", 4)) {
    Settings s;
    s.mode = c[1] == "RTX" ? Mode::RTX : Mode::GEN;
    readSettingsText(s, c[2]);
    EXPECT_EQ(settingsText(s), c[3]) << c[0];
  }
}

// The files' exact contents are pinned by the engine's closing test.
TEST(VfoMemoryFile, BlankLinesArePassedOverAndReadingStopsAtANonNumber) {
  EXPECT_EQ(parseMemories("3.5\r\n\r\n7.05\r\nxyz\r\n9\r\n"), (std::vector<double>{3.5, 7.05}));
}

TEST(VfoButtonFile, ShortOrDamagedFilesFillWithZeros) {
  BandButtons b{};
  b[3] = 1e-7;
  b[11] = 144.3000001;
  EXPECT_EQ(parseBandButtons(bandButtonsText(b)), b);
  BandButtons shortFile = parseBandButtons("1.8\r\n3.5\r\n7\r\n");
  EXPECT_EQ(std::pair(shortFile[2], shortFile[3]), std::pair(7.0, 0.0));
  BandButtons bad = parseBandButtons("1.8\r\nband\r\n7\r\n");
  EXPECT_EQ(std::pair(bad[0], bad[2]), std::pair(1.8, 0.0));
}
