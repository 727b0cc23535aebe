#include <QApplication>
#include <cstdio>
#include <filesystem>
#include <string_view>

#include "app/launcher.h"
#include "app/stop_signals.h"
#include "common/paths.h"
#include "common/ui/language.h"
#include "common/ui/qt_prompter.h"
#include "hw/instrument.h"

namespace {

// --version and --help are answered before Qt starts, so they work without a display.
bool answeredWithoutDisplay(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view a = argv[i];
    if (a == "--version" || a == "-v") {
      std::printf("kolm %s\n", KOLM_VERSION);
      return true;
    }
    if (a == "--help" || a == "-h") {
      std::printf(
          "Usage: kolm [Qt options]\n"
          "\n"
          "Opens the launcher of the digital VFO, the power meter and the antenna analyzer.\n"
          "Settings files (dds.cfg, radio.ini, pow.ini, ant.ini, ...) are kept in the folder\n"
          "named by KOLM_WORKDIR, or in ~/kolm; it is created when missing.\n"
          "\n"
          "  --version   print the version and exit\n"
          "  --help      this text\n");
      return true;
    }
  }
  return false;
}

// Makes the settings folder the working directory, where every window reads and
// writes its files.
void enterSettingsFolder() {
  auto folder = kolm::common::settingsFolder();
  if (!folder) return;  // no home: the working directory as started
  std::error_code ec;
  std::filesystem::create_directories(*folder, ec);
  std::filesystem::current_path(*folder, ec);
  if (ec)
    std::fprintf(stderr, "kolm: cannot use %s for the settings (%s); using %s\n",
                 folder->string().c_str(), ec.message().c_str(),
                 std::filesystem::current_path().string().c_str());
}

}  // namespace

int main(int argc, char** argv) {
  if (answeredWithoutDisplay(argc, argv)) return 0;
  QApplication app(argc, argv);
  QApplication::setApplicationName("Kolm");
  QApplication::setApplicationVersion(KOLM_VERSION);
  enterSettingsFolder();

  // The language: --lang original|en, else the launcher's kept choice, else
  // English unless the system speaks Italian.
  QString languageError;
  kolm::common::ui::installLanguage(
      kolm::common::ui::startLanguage(QCoreApplication::arguments(), &languageError));
  if (!languageError.isEmpty()) qWarning("%s", qPrintable(languageError));

  kolm::hw::Instrument instrument;
  kolm::common::ui::QtPrompter prompter;
  kolm::common::ui::UiContext context{instrument, prompter};
  const std::filesystem::path programDir = QCoreApplication::applicationDirPath().toStdString();
  context.dataDir = kolm::common::findDataFolder("RL.ico", programDir).value_or(programDir);

  kolm::app::Launcher launcher(context);
  // A stop signal closes the program as "EXIT PROGRAM" does.
  kolm::app::StopSignals stopSignals;
  QObject::connect(&stopSignals, &kolm::app::StopSignals::stopRequested, &launcher,
                   &kolm::app::Launcher::exitProgram);
  launcher.load();
  launcher.show();
  return app.exec();
}
