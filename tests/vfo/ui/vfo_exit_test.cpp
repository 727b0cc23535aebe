// The launcher's exit with the VFO open, by its button or by a stop signal: the
// VFO's files are written and the DDS set to 0 Hz before the program ends.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <csignal>
#include <filesystem>

#include "app/launcher.h"
#include "app/stop_signals.h"
#include "common/files.h"
#include "common/prompter.h"
#include "support/temp_dir.h"
#include "vfo/dds_frames.h"

using namespace kolm;
using ::testing::ElementsAre;

namespace {

// Notes, for every write, whether the VFO's three files were in place by then.
struct FileWatchingPort : hw::RecordingPort {
  void writeData(uint8_t value) override {
    filesThere.push_back(std::filesystem::exists("radio.ini") &&
                         std::filesystem::exists("VFO_FreqMem") &&
                         std::filesystem::exists("VFO_FreqButton.txt"));
    hw::RecordingPort::writeData(value);
  }
  std::vector<bool> filesThere;
};

QWidget* topLevel(const char* name) {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->objectName() == name && w->isVisible()) return w;
  return nullptr;
}

}  // namespace

// "EXIT PROGRAM", and the stop signals that end the program the same way.
TEST(VfoWithLauncher, ExitProgramSavesTheVfoAndSwitchesTheOutputOff) {
  for (int signal : {0, SIGTERM, SIGHUP, SIGINT}) {
    SCOPED_TRACE(signal ? "signal " + std::to_string(signal) : std::string("EXIT PROGRAM"));
    test::InTempDir dir;
    ASSERT_TRUE(common::writeFileAtomic("dds.cfg", "\"20\"\r\n\"20\"\r\n\"400\"\r\n\"888\"\r\n"));
    hw::Instrument instrument;
    instrument.setDelayer(std::make_unique<hw::NoDelayer>());
    common::ScriptedPrompter prompter;
    common::ui::UiContext context{instrument, prompter};
    FileWatchingPort* port = nullptr;
    {
      app::Launcher launcher(context);
      app::StopSignals stopSignals;
      QObject::connect(&stopSignals, &app::StopSignals::stopRequested, &launcher,
                       &app::Launcher::exitProgram);
      launcher.portOpener = [&port](const std::string&, int32_t) {
        hw::PortOpenResult r;
        auto p = std::make_unique<FileWatchingPort>();
        port = p.get();
        r.port = std::move(p);
        return r;
      };
      launcher.load([] { return 100.0f; });
      launcher.show();
      ASSERT_NE(port, nullptr);

      launcher.findChild<QPushButton*>("Command1")->click();  // DIGITAL VFO
      QWidget* vfo = topLevel("VFO");
      ASSERT_NE(vfo, nullptr);
      auto* text3 = vfo->findChild<QLineEdit*>("Text3");
      text3->clear();
      QTest::keyClicks(text3, "14.2");
      QTest::keyClick(text3, Qt::Key_Return);
      vfo->findChild<QPushButton*>("Mem")->click();
      QTest::mousePress(vfo->findChild<QPushButton*>("Freq_Fissa_4"), Qt::RightButton);
      const size_t before = port->writes().size();
      EXPECT_FALSE(std::filesystem::exists("radio.ini"));

      if (signal == 0) {
        launcher.findChild<QPushButton*>("Command2")->click();  // EXIT PROGRAM
      } else {
        std::raise(signal);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !launcher.isVisible(); }, 5000));
      }
      EXPECT_EQ(topLevel("VFO"), nullptr);
      EXPECT_FALSE(launcher.isVisible());

      auto writes = port->writes();
      std::vector<uint8_t> last(writes.begin() + static_cast<long>(before), writes.end());
      EXPECT_THAT(test::ddsEvents(last), ElementsAre("word 0"));
      EXPECT_EQ(instrument.LastTuningWord, 0);
      // Every write of that last frame came after the files were in place.
      for (size_t i = before; i < port->filesThere.size(); ++i) EXPECT_TRUE(port->filesThere[i]);
    }
    // What the window held (the files' layout is pinned with the VFO's engine).
    EXPECT_EQ(common::readTextFile("VFO_FreqMem").value_or(""), "14.2\r\n");
    EXPECT_EQ(common::readTextFile("VFO_FreqButton.txt").value_or(""),
              "0\r\n0\r\n0\r\n0\r\n14.2\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n");
    EXPECT_TRUE(prompter.shown.empty());
  }
}
