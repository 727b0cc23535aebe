#include "app/launcher.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>

#include <QAction>
#include <QDirIterator>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>
#include <csignal>
#include <filesystem>
#include <optional>

#include "app/parameters_window.h"
#include "app/stop_signals.h"
#include "common/files.h"
#include "common/prompter.h"
#include "common/tr.h"
#include "common/ui/language.h"
#include "hw/output_guard.h"
#include "hw/params.h"
#include "powermeter/calibration.h"
#include "powermeter/ui/power_meter_rig.h"
#include "sim/sim_port.h"
#include "support/cli_run.h"
#include "support/dds_frames.h"
#include "support/recording_port.h"
#include "support/temp_dir.h"
#include "support/ui/widgets.h"

using namespace kolm;

namespace {

// Notes, for every write, whether the VFO's settings and memories were in place by then.
struct FileWatchingPort : hw::RecordingPort {
  void writeData(uint8_t value) override {
    filesThere.push_back(std::filesystem::exists("radio.ini") &&
                         std::filesystem::exists("VFO_FreqMem"));
    hw::RecordingPort::writeData(value);
  }
  std::vector<bool> filesThere;
};

struct LauncherRig {
  // The settings folder is the working directory unless `folder` names another.
  explicit LauncherRig(const std::optional<std::filesystem::path>& folder = {})
      : context{instrument, prompter, common::SettingsFolder(folder.value_or(dir.path()))},
        launcher(context) {
    launcher.portOpener = [this](const std::string& backend, int32_t) {
      openedBackends.push_back(backend);
      hw::PortOpenResult r;
      if (backend == "ppdev:/dev/parport9") {
        r.error = "There is no parallel port /dev/parport9 on this computer.";
        return r;
      }
      if (backend == "sim") {
        r.port = std::make_unique<test::SimRecordingPort>();
      } else {
        auto p = std::make_unique<FileWatchingPort>();
        port = p.get();
        r.port = std::move(p);
      }
      return r;
    };
  }
  // The windows the launcher closed go before the context they hold.
  ~LauncherRig() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
  static float steadyTimer() { return 100.0f; }

  test::InTempDir dir;
  hw::Instrument instrument;
  common::ScriptedPrompter prompter;
  hw::ui::UiContext context;
  app::Launcher launcher;
  FileWatchingPort* port = nullptr;
  std::vector<std::string> openedBackends;
};

using test::child;

// The translations in a .ts file, each form of a plural one of its own: the
// text translated, the translation, and whether it is finished.
struct Translated {
  QString source, text;
  bool finished;
};
std::vector<Translated> translationsIn(const QString& path) {
  std::vector<Translated> out;
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return out;
  QXmlStreamReader xml(&f);
  QString source;
  bool numerus = false, finished = true;
  while (!xml.atEnd()) {
    xml.readNext();
    if (!xml.isStartElement()) continue;
    if (xml.name() == u"message") numerus = xml.attributes().value("numerus") == u"yes";
    if (xml.name() == u"source") source = xml.readElementText();
    if (xml.name() == u"translation") finished = xml.attributes().value("type").isEmpty();
    if (xml.name() == (numerus ? u"numerusform" : u"translation"))
      out.push_back({source, xml.readElementText(), finished});
  }
  EXPECT_FALSE(xml.hasError()) << path.toStdString() << ": " << xml.errorString().toStdString();
  return out;
}

}  // namespace

// What the launcher makes of dds.cfg: Parameters without a clock, the stored
// port, the port at the address for a file without the port choice, and
// Parameters with the port test's advice when the port cannot be opened.
TEST(LauncherStartUp, ClockAndPortFromDdsCfg) {
  const std::string missing = "20\r\n20\r\n400\r\n888\r\n\"ppdev:/dev/parport9\"\r\n";
  struct Case {
    const char* name;
    std::string config;
    bool parameters;
    std::string port;
  } cases[] = {
      {"no dds.cfg", "", true, "sim"},
      {"the chosen port", "20\r\n20\r\n400\r\n632\r\n\"ppdev:/dev/parport0\"\r\n", false,
       "ppdev:/dev/parport0"},
      {"four records: the port at the address", "\"20\"\r\n\"20\"\r\n\"400\"\r\n\"632\"\r\n", false,
       hw::portAtAddress(632)},
      {"a missing port", missing, true, "ppdev:/dev/parport9"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LauncherRig rig;
    if (!c.config.empty()) {
      ASSERT_TRUE(common::writeFileAtomic("dds.cfg", c.config));
    }
    rig.launcher.load(&LauncherRig::steadyTimer);
    auto* parameters = rig.launcher.parametersWindow();
    EXPECT_EQ(parameters && parameters->isVisible(), c.parameters);
    EXPECT_TRUE(rig.prompter.shown.empty());
    EXPECT_EQ(rig.openedBackends, std::vector<std::string>{c.port});  // never the simulator instead
    if (c.config == missing) {
      EXPECT_EQ(rig.instrument.port()->name(), "null");
      const QString report = child<QPlainTextEdit>(parameters, "portTestReport")->toPlainText();
      EXPECT_TRUE(report.contains("no parallel port /dev/parport9")) << report.toStdString();
      EXPECT_TRUE(report.contains("modprobe parport_pc ppdev"));
      continue;
    }
    EXPECT_TRUE(static_cast<hw::RecordingPort*>(rig.instrument.port())->log.empty());
  }
}

// Parameters shows the shared values; Close drops the edits; OK stores only a
// clock up to the maximum. The clock's tolerance: shown, a measured offset
// said and kept while the tolerance is left alone, replaced by a tolerance
// typed anew; one out of range is refused with its reason.
TEST(ParametersWindowTest, LoadsTheSharedValuesAndStoresOnlyASoundClock) {
  LauncherRig rig;
  rig.instrument.params = {4, 50, 200, 956, "sim"};
  rig.instrument.params.clockTolerancePpm = 0.4;
  rig.instrument.params.clockOffsetPpm = -12.5;
  rig.launcher.showParameters();
  auto* w = rig.launcher.parametersWindow();
  auto* clock = child<QLabel>(w, "clockValue");
  auto* quartz = child<QLineEdit>(w, "quartzEdit");
  auto* tolerance = child<QLineEdit>(w, "clockToleranceEdit");
  EXPECT_EQ(quartz->text(), "50");
  EXPECT_EQ(clock->text(), "200");
  EXPECT_EQ(tolerance->text(), "0.4");
  EXPECT_THAT(child<QLabel>(w, "clockOffsetValue")->text().toStdString(),
              testing::HasSubstr("-12.5 ppm"));
  EXPECT_TRUE(child<QRadioButton>(w, "lpt3Option")->isChecked());
  quartz->setText("10");
  child<QScrollBar>(w, "multiplierScroll")->setValue(6);
  EXPECT_EQ(clock->text(), "60");
  w->close();  // not OK: the edits are dropped
  EXPECT_EQ(rig.instrument.params.quartzMHz, 50);

  rig.launcher.showParameters();
  quartz->setText("30");
  child<QScrollBar>(w, "multiplierScroll")->setValue(20);
  child<QRadioButton>(w, "lpt2Option")->setChecked(true);
  child<QPushButton>(w, "okButton")->click();
  EXPECT_THAT(rig.prompter.messages(), testing::ElementsAre("Ref Frequency over the maximum!"));
  EXPECT_TRUE(w->isVisible());
  EXPECT_EQ(rig.instrument.params.refClockMHz, 200);
  EXPECT_FALSE(common::readTextFile("dds.cfg").has_value());
  quartz->setText("25.05");  // exactly the maximum
  child<QPushButton>(w, "okButton")->click();
  EXPECT_FALSE(w->isVisible());
  EXPECT_EQ(rig.instrument.params.refClockMHz, 501);
  EXPECT_EQ(rig.instrument.params.portAddress, 632);  // LPT2
  hw::HardwareParams stored;                          // and kept in dds.cfg
  ASSERT_TRUE(hw::readHardwareConfig(stored, hw::kHardwareConfigFile));
  EXPECT_EQ(stored.refClockMHz, 501);
  // The tolerance left alone: the measurement stays.
  EXPECT_EQ(std::pair(stored.clockOffsetPpm, stored.clockTolerancePpm), std::pair(-12.5, 0.4));

  rig.launcher.showParameters();
  tolerance->setText("20000");
  child<QPushButton>(w, "okButton")->click();
  EXPECT_THAT(rig.prompter.messages().back(), testing::HasSubstr("0 to 10000 ppm"));
  EXPECT_TRUE(w->isVisible());
  tolerance->setText("25");
  child<QPushButton>(w, "okButton")->click();
  EXPECT_FALSE(w->isVisible());
  ASSERT_TRUE(hw::readHardwareConfig(stored, hw::kHardwareConfigFile));
  EXPECT_EQ(std::pair(stored.clockOffsetPpm, stored.clockTolerancePpm), std::pair(0.0, 25.0));
}

// The windows read and write their settings in the folder the program gives
// them, wherever the working directory is: that is left as it was, and empty.
TEST(SettingsFolder, TheWindowsKeepTheirFilesInTheGivenFolderNotTheWorkingDirectory) {
  LauncherRig rig;  // the settings folder: rig.dir
  const std::filesystem::path folder = rig.dir.path();
  test::TempDir elsewhere;
  std::filesystem::current_path(elsewhere.path());
  const std::pair<const char*, const char*> kept[] = {
      {"dds.cfg", "20\r\n20\r\n400\r\n888\r\n\"sim\"\r\n"},
      {"radio.ini", "\"7.05\"\r\n\"10\"\r\n\"10\"\r\n\"1\"\r\n\"1\"\r\n\"14.1\"\r\n\"7.05\"\r\n"},
      {"pow.ini",
       "\"7\"\r\n\"30\"\r\n\"100\"\r\n\"0\"\r\n\"-"
       "80\"\r\n\"826\"\r\n\"235\"\r\n\"0\"\r\n\"50\"\r\n"},
      {"ant.ini", "\"5\"\r\n\"30\"\r\n\"100\"\r\n"},
      {"kolm.ini", "[Analyzer]\naverage=4\n"}};
  for (const auto& [name, content] : kept)
    ASSERT_TRUE(common::writeFileAtomic(folder / name, content));
  rig.instrument.setDelayer(std::make_unique<hw::NoDelayer>());
  rig.launcher.load(&LauncherRig::steadyTimer);
  EXPECT_EQ(rig.instrument.params.refClockMHz, 400);
  QWidget* vfo = rig.launcher.openVfo();
  QWidget* meter = rig.launcher.openPowerMeter();
  QWidget* analyzer = rig.launcher.openAnalyzer();
  const struct {
    QWidget* window;
    const char* box;
    const char* shown;
  } read[] = {{vfo, "keyboardEdit", "14.1"},
              {meter, "startEdit", "7"},
              {analyzer, "startEdit", "5"},
              {analyzer, "averageEdit", "4"}};
  for (const auto& r : read)
    EXPECT_EQ(child<QLineEdit>(r.window, r.box)->text().trimmed(), r.shown) << r.box;
  child<QLineEdit>(meter, "startEdit")->setText("8");
  child<QPushButton>(&rig.launcher, "exitButton")->click();
  EXPECT_EQ(common::readTextFile(folder / "pow.ini").value_or("").substr(0, 5), "\"8\"\r\n");
  EXPECT_TRUE(rig.prompter.shown.empty());
  EXPECT_EQ(std::filesystem::current_path(), elsewhere.path());
  EXPECT_TRUE(std::filesystem::is_empty(elsewhere.path()));
  std::filesystem::current_path(folder);
}

// A stop signal while the start-up message about a damaged sim.cfg is open
// ends the program there (it ran on, the message closed, until a second one).
TEST(LauncherStartUp, AStopSignalWhileTheStartUpMessageIsOpenEndsTheProgram) {
  test::InTempDir here;
  ASSERT_TRUE(common::writeFileAtomic("sim.cfg", "\"through\"\r\n"));  // no load record
  QProcess kolm;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("KOLM_WORKDIR", QString::fromStdString(here.path().string()));
  env.insert("QT_QPA_PLATFORM", "offscreen");
  kolm.setProcessEnvironment(env);
  kolm.start(KOLM_APP_PATH, {});
  ASSERT_TRUE(kolm.waitForStarted(10000));
  // The damaged file is copied aside just before the message opens.
  auto keptAside = [&] {
    for (const auto& e : std::filesystem::directory_iterator(here.path()))
      if (e.path().filename().string().starts_with("sim.cfg.unreadable-")) return true;
    return false;
  };
  const bool opened = QTest::qWaitFor(keptAside, 30000);
  QTest::qWait(300);
  ::kill(static_cast<pid_t>(kolm.processId()), SIGTERM);
  const bool ended = kolm.waitForFinished(15000);
  if (!ended) kolm.kill();
  ASSERT_TRUE(opened);
  EXPECT_TRUE(ended);
  EXPECT_EQ(kolm.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(kolm.exitCode(), 0) << kolm.readAllStandardError().toStdString();
}

// "EXIT PROGRAM", and the stop signals that end the program the same way: the
// windows' files are written and the DDS set to 0 Hz before the program ends.
// A settings folder that takes no file (here one that is not there) is said
// once at start, with what will not be kept; the instruments work as usual,
// and their failed saves neither speak again nor hold the exit up.
TEST(LauncherExit, ExitProgramClosesEveryWindowAndSwitchesTheOutputOff) {
  std::vector<std::pair<int, const char*>> ends = {{0, nullptr}, {0, "not-there"}};
  for (int s : hw::stopSignals()) ends.emplace_back(s, nullptr);
  for (const auto& [signal, folder] : ends) {
    SCOPED_TRACE((signal ? "signal " + std::to_string(signal) : std::string("EXIT PROGRAM")) +
                 (folder ? std::string(" into ") + folder : std::string()));
    LauncherRig rig(folder ? std::optional(std::filesystem::path(folder)) : std::nullopt);
    ASSERT_TRUE(common::writeFileAtomic("dds.cfg", "20\r\n20\r\n400\r\n888\r\n\"direct\"\r\n"));
    rig.instrument.params = {20, 20, 400, hw::kLpt1, "direct"};  // where dds.cfg is not read
    rig.instrument.setDelayer(std::make_unique<hw::NoDelayer>());
    app::StopSignals stopSignals;
    QObject::connect(&stopSignals, &app::StopSignals::stopRequested, &rig.launcher,
                     &app::Launcher::exitProgram);
    rig.launcher.load(&LauncherRig::steadyTimer);
    const size_t said = folder ? 1 : 0;
    ASSERT_EQ(rig.prompter.shown.size(), said);
    if (folder) {
      EXPECT_THAT(rig.prompter.shown[0].text,
                  testing::AllOf(testing::HasSubstr("'not-there' cannot be written"),
                                 testing::HasSubstr("will not be kept")));
    }
    ASSERT_NE(rig.port, nullptr);
    rig.launcher.show();
    child<QPushButton>(&rig.launcher, "vfoButton")->click();  // DIGITAL VFO
    QPointer<QWidget> vfo = rig.launcher.openVfo();
    auto* keyboard = child<QLineEdit>(vfo, "keyboardEdit");
    keyboard->clear();
    QTest::keyClicks(keyboard, "14.2");
    QTest::keyClick(keyboard, Qt::Key_Return);
    child<QPushButton>(vfo, "addMemoryButton")->click();
    // The other instruments open too, one window of each kind.
    QPointer<QWidget> meter = rig.launcher.openPowerMeter();
    EXPECT_EQ(rig.launcher.openPowerMeter(), meter.data());
    auto* start = child<QLineEdit>(meter, "startEdit");
    start->setText("8");
    emit start->editingFinished();  // kept at once, or would be
    QPointer<QWidget> analyzer = rig.launcher.openAnalyzer();
    const size_t before = rig.port->writes().size();

    if (signal == 0) {
      child<QPushButton>(&rig.launcher, "exitButton")->click();  // EXIT PROGRAM
    } else {
      std::raise(signal);
      EXPECT_TRUE(QTest::qWaitFor([&] { return !rig.launcher.isVisible(); }, 5000));
    }
    for (QWidget* w :
         {vfo.data(), meter.data(), analyzer.data(), static_cast<QWidget*>(&rig.launcher)})
      EXPECT_FALSE(w && w->isVisible());
    auto writes = rig.port->writes();
    // Nothing but the word 0 (the analyzer then takes every data line low).
    using testing::Eq;
    EXPECT_THAT(test::ddsEvents({writes.begin() + static_cast<long>(before), writes.end()}),
                testing::AllOf(testing::Contains("word 0"),
                               testing::Each(testing::AnyOf(Eq("word 0"), Eq("bad 0")))));
    // Every write of that last frame came after the files were in place.
    for (size_t i = before; !folder && i < rig.port->filesThere.size(); ++i)
      EXPECT_TRUE(rig.port->filesThere[i]);
    EXPECT_EQ(common::readTextFile("VFO_FreqMem").value_or(""), folder ? "" : "14.2\r\n");
    EXPECT_EQ(rig.prompter.shown.size(), said);
    EXPECT_FALSE(std::filesystem::exists("not-there"));
  }
}

// A first start on the simulator offers its board's values, which one OK
// keeps; the multiplier follows the arrow keys.
TEST(ParametersWindowTest, AFirstStartOnTheSimulatorIsOneOkFromAWorkingInstrument) {
  LauncherRig rig;
  rig.instrument.params = {0, 0, 0, hw::kLpt1, "sim"};
  rig.launcher.showParameters();
  auto* w = rig.launcher.parametersWindow();
  EXPECT_EQ(child<QLabel>(w, "clockValue")->text(), "400");
  // The suggestion is said in the usual colour, apart from the problems.
  auto* note = child<QLabel>(w, "firstStartNote");
  EXPECT_FALSE(note->isHidden());
  EXPECT_EQ(note->palette().color(QPalette::WindowText), w->palette().color(QPalette::WindowText));
  EXPECT_FALSE(child<QLabel>(w, "configProblemLabel")->text().contains(note->text()));
  auto* multiplier = child<QScrollBar>(w, "multiplierScroll");
  multiplier->setFocus();
  QTest::keyClick(multiplier, Qt::Key_Left);
  EXPECT_EQ(child<QLabel>(w, "multiplierValue")->text(), "19");
  QTest::keyClick(multiplier, Qt::Key_Right);
  child<QPushButton>(w, "okButton")->click();
  EXPECT_EQ(rig.instrument.params.refClockMHz, 400);
}

// The Parameters window's port test: of the port in use, or of another one; on a
// first start (no clock accepted yet) with the clock typed in the window.
TEST(ParametersPortTest, ReportsEachCheckInTheWindow) {
  for (const char* backend : {"sim", "ppdev:/nonexistent/parport5", "first start"}) {
    SCOPED_TRACE(backend);
    const std::string b = backend;
    test::InTempDir dir;
    hw::Instrument instrument;
    instrument.params = {20, 20, 400, hw::kLpt1, b == "first start" ? "sim" : backend};
    if (b != "sim") instrument.params.refClockMHz = 0;
    if (b != "ppdev:/nonexistent/parport5")  // the ideal board: exact counts
      instrument.setPort(sim::makeSimulatorPort({"through", "r=50", "ideal"}).port);
    common::ScriptedPrompter prompter;
    hw::ui::UiContext context{instrument, prompter, common::SettingsFolder(dir.path())};
    app::ParametersWindow window(context, [] {});
    window.findChild<QLineEdit*>("quartzEdit")->setText("20");  // typed, OK not pressed
    window.findChild<QScrollBar*>("multiplierScroll")->setValue(20);
    auto* report = window.findChild<QPlainTextEdit*>("portTestReport");
    EXPECT_TRUE(report->isHidden());
    window.findChild<QPushButton*>("portTestButton")->click();
    EXPECT_FALSE(report->isHidden());
    const std::string text = report->toPlainText().toStdString();
    const bool fails = b == "ppdev:/nonexistent/parport5";
    EXPECT_EQ(text.find(fails ? "The port test failed." : "The port and the instrument answer."),
              0u)
        << text;
    EXPECT_NE(text.find(fails ? "FAIL  Port" : "PASS  Detector: reads 826"), std::string::npos);
    EXPECT_NE(text.find(fails ? "" : "with the generator at 10 MHz"), std::string::npos) << text;
    EXPECT_EQ(instrument.params.refClockMHz, b == "sim" ? 400 : 0);  // typed is not accepted
    EXPECT_TRUE(prompter.messages().empty());
  }
}

// The English translation: every text the program can show has one, and with it
// installed the windows speak English (Italian messages translated, typos mended).
TEST(Translation, EveryTranslatableTextHasAnEnglishTranslation) {
  // The translation tool merges what the sources hold now into a copy of the
  // English file: a text without a finished translation comes out unfinished.
  QTemporaryDir dir;
  const QString ts = dir.path() + "/kolm_en.ts";
  ASSERT_TRUE(QFile::copy(QString(KOLM_SOURCE_DIR) + "/i18n/kolm_en.ts", ts));
  QFile::setPermissions(ts, QFile::ReadOwner | QFile::WriteOwner);
  QStringList args = QString(KOLM_LUPDATE_OPTIONS).split(' ', Qt::SkipEmptyParts);
  args << "-I" << QString(KOLM_SOURCE_DIR) + "/src";
  QDirIterator it(QString(KOLM_SOURCE_DIR) + "/src", {"*.cpp", "*.h"}, QDir::Files,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString file = it.next();
    if (!file.contains("/src/cli/")) args << file;
  }
  args << "-ts" << ts;
  QProcess lupdate;
  lupdate.start(KOLM_LUPDATE, args);
  ASSERT_TRUE(lupdate.waitForFinished(120000));
  ASSERT_EQ(lupdate.exitCode(), 0) << lupdate.readAllStandardError().toStdString();

  const std::vector<Translated> texts = translationsIn(ts);
  QStringList missing;
  for (const Translated& t : texts)
    if (!t.finished || t.text.isEmpty()) missing << t.source;
  ASSERT_GT(texts.size(), 900u);
  EXPECT_TRUE(missing.isEmpty()) << "Not translated in i18n/kolm_en.ts (see update_translations):\n"
                                 << missing.join("\n").toStdString();
}

// Every English text reads as English: no words joined by underscores (a
// caption written as an identifier; keys and placeholders such as fs_min and
// FROM_MHZ are what the user types), no Italian, units as SI writes them, no
// run of blanks.
TEST(Translation, TheEnglishTextsAreEnglishWithSiUnits) {
  const QRegularExpression caption(R"(\b[A-Za-z]*[A-Z][a-z]+_\w+|\b\w+_[A-Z][a-z]+|(^|\s)_(\s|$))");
  const QRegularExpression unit(
      R"(\b(Mhz|mhz|mHz|Khz|KHz|khz|KHZ|Ghz|ghz|GHZ|hz|HZ|Dbm|DBm|dbm|Db|db)\b|\d ?(MHZ|DBM|DB)\b)");
  const QRegularExpression italian(
      R"(\b(il|di|della|delle|sono|poi|premere|premendo|ingresso|segnale|errore|stampa|posso|)"
      R"(quarzo|foglio|vuoi|attenzione|scala|accettare|visualizzato|margini|imposta|confermare|)"
      R"(tutto|stampante|funziona|errato|può|potrebbe|superare|secondi|livello|riferimento|)"
      R"(uscita|memorizzare|applicare|valori|interrotta|dimensioni|larghezza|altezza|codice|)"
      R"(funzione|cambiare|calibrazione|intorno|generatore|rivelatore|collegare|finestra|oppure|)"
      R"(pulsante|resistenza|circuito|spento|tra|è)\b)",
      QRegularExpression::CaseInsensitiveOption | QRegularExpression::UseUnicodePropertiesOption);
  QStringList wrong;
  const std::vector<Translated> texts =
      translationsIn(QString(KOLM_SOURCE_DIR) + "/i18n/kolm_en.ts");
  for (const Translated& t : texts) {
    const QString text = QString(t.text).remove('&');  // accelerator marks are no part of a word
    for (const auto& [rule, why] :
         {std::pair{&caption, "underscore"}, {&unit, "unit"}, {&italian, "Italian"}})
      if (auto m = rule->match(text); m.hasMatch())
        wrong << QString("%1 (%2): %3").arg(why, m.captured(), text);
    if (text.contains("  ")) wrong << "blanks: " + text;
  }
  EXPECT_GT(texts.size(), 900u);
  EXPECT_TRUE(wrong.isEmpty()) << wrong.join("\n").toStdString();
}

// In the original texts, what follows one of the specified Italian prompts in
// its box is Italian too: no English sentence in any of them.
TEST(Translation, TheOriginalPromptsAreItalianThroughout) {
  const common::ui::Language before = common::ui::installedLanguage();
  common::ui::installLanguage(common::ui::Language::Original);
  const QRegularExpression english(R"(\b(the|and|is|of|to|at|or|between|connect|below)\b)",
                                   QRegularExpression::CaseInsensitiveOption);
  std::vector<std::string> prompts = {powermeter::simulatorConnectionHint("through")};
  for (auto point : {powermeter::CalPoint::ZeroDbm, powermeter::CalPoint::Minus60Dbm})
    for (std::optional<double> mhz : {std::optional<double>(), std::optional<double>(10.0)})
      for (bool simulated : {false, true})
        prompts.push_back(powermeter::calibrationRequest(point, mhz, simulated));
  for (const std::string& p : prompts)
    EXPECT_FALSE(english.match(QString::fromStdString(p)).hasMatch()) << p;
  common::ui::installLanguage(before);
}

TEST(Translation, EnglishMendsTheItalianAndTheTypos) {
  const common::ui::Language before = common::ui::installedLanguage();
  common::ui::installLanguage(common::ui::Language::English);
  {
    test::Rig rig;
    rig.open();
    EXPECT_EQ(rig.get<QAction>("exitAction")->text(), "Exit Power Meter");
  }
  // Texts the core composes follow the language too.
  EXPECT_EQ(powermeter::calibrationAdvice(powermeter::CalPoint::ZeroDbm, 854),
            " 854: if the number shown is between 800 and 900, accept it by pressing OK");
  // Messages name the menus as the window shows them.
  EXPECT_EQ(powermeter::menuPath({"CrystalMeter", "calQuarz"}),
            "Crystal Meter > Calibrate crystal fixture");
  common::ui::installLanguage(before);
}

TEST(Translation, StartLanguageFromTheCommandLineTheKeptChoiceOrTheSystem) {
  test::InTempDir here;
  const common::SettingsFolder settings(here.path());
  using common::ui::Language;
  const struct {
    Language kept;  // the launcher's choice of the last run
    QStringList arguments;
    Language language;
  } cases[] = {{Language::Original, {"kolm", "--lang", "en"}, Language::English},
               {Language::Original, {"kolm", "--lang=en"}, Language::English},
               {Language::English, {"kolm", "--lang", "original"}, Language::Original},
               {Language::English, {"kolm"}, Language::English},
               {Language::Original, {"kolm"}, Language::Original}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments.join(' ').toStdString());
    common::ui::rememberLanguage(c.kept, settings);
    QString error;
    EXPECT_EQ(common::ui::startLanguage(c.arguments, settings, &error), c.language);
    EXPECT_TRUE(error.isEmpty());
  }
}

// The program refuses a language it does not know before it opens a window, and
// its help and manual page name the option.
TEST(Translation, TheProgramRefusesAnUnknownLanguageAndDocumentsTheOption) {
  for (const char* args : {"--lang klingon", "--lang=fr", "--lang"}) {
    SCOPED_TRACE(args);
    const auto r = test::runProgram(KOLM_APP_PATH, args);
    EXPECT_EQ(r.status, 2);
    EXPECT_THAT(r.err, ::testing::StartsWith("kolm: --lang takes original or en"));
    if (std::string(args) == "--lang=fr") {
      EXPECT_THAT(r.err, ::testing::HasSubstr("original or en, not \"fr\"."));
    }
  }
  const auto help = test::runProgram(KOLM_APP_PATH, "--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_THAT(help.out, ::testing::HasSubstr("--lang original|en"));
  const auto man = common::readTextFile(std::string(KOLM_SOURCE_DIR) + "/docs/man/kolm.1");
  ASSERT_TRUE(man);
  EXPECT_THAT(*man, ::testing::HasSubstr("\\fB\\-\\-lang\\fR \\fIoriginal\\fR|\\fIen"));
}
