#include <QApplication>

#include "app/launcher.h"
#include "app/stop_signals.h"
#include "common/ui/language.h"
#include "common/ui/qt_prompter.h"
#include "hw/instrument.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Kolm");
  QApplication::setApplicationVersion(KOLM_VERSION);

  // The language: --lang original|en, else the launcher's kept choice, else
  // English unless the system speaks Italian.
  QString languageError;
  kolm::common::ui::installLanguage(
      kolm::common::ui::startLanguage(QCoreApplication::arguments(), &languageError));
  if (!languageError.isEmpty()) qWarning("%s", qPrintable(languageError));

  kolm::hw::Instrument instrument;
  kolm::common::ui::QtPrompter prompter;
  kolm::common::ui::UiContext context{instrument, prompter};
  context.programDir = QCoreApplication::applicationDirPath().toStdString();

  kolm::app::Launcher launcher(context);
  // A stop signal closes the program as "EXIT PROGRAM" does.
  kolm::app::StopSignals stopSignals;
  QObject::connect(&stopSignals, &kolm::app::StopSignals::stopRequested, &launcher,
                   &kolm::app::Launcher::exitProgram);
  launcher.load();
  launcher.show();
  return app.exec();
}
