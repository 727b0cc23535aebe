#include <QApplication>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string_view>
#include <system_error>

#include "app/launcher.h"
#include "app/stop_signals.h"
#include "common/paths.h"
#include "common/settings_file.h"
#include "common/ui/language.h"
#include "common/ui/qt_prompter.h"
#include "common/ui/recent_files.h"
#include "common/ui/screen_fit.h"
#include "hw/instrument.h"
#include "hw/output_guard.h"
#include "print/ui/print_service.h"
#include "sim/sim_port.h"

namespace {

// --version, --help and a --lang the program does not know are answered before
// Qt starts, so they work without a display. Returns the exit status then.
std::optional<int> answeredWithoutDisplay(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view a = argv[i];
    if (a == "--version" || a == "-v") {
      std::printf("kolm %s\n", KOLM_VERSION);
      return 0;
    }
    if (a == "--help" || a == "-h") {
      std::printf(
          "Usage: kolm [--lang original|en] [Qt options]\n"
          "\n"
          "Opens the launcher of the digital VFO, the power meter and the antenna analyzer.\n"
          "Settings files (dds.cfg, radio.ini, pow.ini, ant.ini, ...) are kept in the folder\n"
          "named by KOLM_WORKDIR, or in ~/kolm; it is created when missing.\n"
          "\n"
          "  --lang original|en  the language of the windows: the original texts or\n"
          "                      English (without it, the launcher's last choice)\n"
          "  --version           print the version and exit\n"
          "  --help              this text\n");
      return 0;
    }
    if (a == "--lang" || a.starts_with("--lang=")) {
      const bool joined = a.starts_with("--lang=");
      if (!joined && i + 1 >= argc) {
        std::fprintf(stderr, "kolm: --lang takes original or en.\n");
        return 2;
      }
      const std::string_view value = joined ? a.substr(7) : std::string_view(argv[++i]);
      if (!kolm::common::ui::languageNamed(
              QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size())))) {
        std::fprintf(stderr, "kolm: --lang takes original or en, not \"%.*s\".\n",
                     static_cast<int>(value.size()), value.data());
        return 2;
      }
    }
  }
  return std::nullopt;
}

// The folder every window reads and writes its settings files in, made when
// missing; the working directory as started when there is no home or the
// folder cannot be made. Fixed here, as an absolute path: the working directory
// itself is left as the shell gave it.
std::filesystem::path chooseSettingsFolder() {
  std::error_code ec;
  const std::filesystem::path started = std::filesystem::current_path(ec);
  auto folder = kolm::common::settingsFolder();
  if (!folder) return started;  // no home
  std::filesystem::create_directories(*folder, ec);
  if (!ec && !std::filesystem::is_directory(*folder, ec))
    ec = std::make_error_code(std::errc::not_a_directory);
  if (ec) {
    std::fprintf(stderr, "kolm: cannot use %s for the settings (%s); using %s\n",
                 folder->string().c_str(), ec.message().c_str(), started.string().c_str());
    return started;
  }
  return std::filesystem::absolute(*folder, ec);
}

}  // namespace

int main(int argc, char** argv) {
  kolm::sim::registerSimulatorBackend();
  if (auto status = answeredWithoutDisplay(argc, argv)) return *status;
  QApplication app(argc, argv);
  // Every window opens whole on the screen it opens on.
  kolm::common::ui::keepWindowsOnScreen();
  QApplication::setApplicationName("Kolm");
  QApplication::setApplicationVersion(KOLM_VERSION);

  kolm::hw::Instrument instrument;
  // The windowed library ends the program with exit(1) when the display is
  // lost, past every window's close: the output still goes off then, and on
  // std::terminate.
  kolm::hw::OutputGuard outputGuard(instrument);
  // File dialogs start in the settings folder, where the program keeps its files.
  const std::filesystem::path settingsFolder = chooseSettingsFolder();
  const QString settingsPath = QString::fromStdU16String(settingsFolder.u16string());
  // Windows open where they were closed, where that still lies on a screen.
  kolm::common::ui::keepWindowPlaces(
      QString::fromStdU16String((settingsFolder / kolm::common::ui::kUiSettingsFile).u16string()));
  kolm::common::ui::QtPrompter prompter(nullptr, settingsPath);
  const std::unique_ptr<kolm::print::ui::PrintService> printService =
      kolm::print::ui::PrintService::create(settingsPath);
  kolm::hw::ui::UiContext context{instrument, prompter,
                                  kolm::common::SettingsFolder(settingsFolder)};
  // The language: --lang original|en, else the launcher's kept choice, else
  // English unless the system speaks Italian.
  QString languageError;
  kolm::common::ui::installLanguage(kolm::common::ui::startLanguage(
      QCoreApplication::arguments(), context.settings, &languageError));
  if (!languageError.isEmpty()) qWarning("%s", qPrintable(languageError));

  context.printWindow = [&printService](kolm::common::Prompter& windowPrompter, QWidget* window,
                                        const QString& title,
                                        const kolm::common::ui::PrintChart* chart) {
    return kolm::print::ui::printWindow(*printService, windowPrompter, window, title, chart);
  };
  const std::filesystem::path programDir = QCoreApplication::applicationDirPath().toStdString();
  context.dataDir = kolm::common::findDataFolder("RL.ico", programDir).value_or(programDir);

  kolm::app::Launcher launcher(context);
  // A stop signal closes the program as "EXIT PROGRAM" does.
  kolm::app::StopSignals stopSignals;
  QObject::connect(&stopSignals, &kolm::app::StopSignals::stopRequested, &launcher,
                   &kolm::app::Launcher::exitProgram);
  launcher.load();
  // A stop signal while a start-up message was open ended the program there.
  if (launcher.exiting()) return 0;
  launcher.show();
  return app.exec();
}
