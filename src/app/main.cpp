#include <QApplication>

#include "app/launcher.h"
#include "app/stop_signals.h"
#include "common/ui/qt_prompter.h"
#include "hw/instrument.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Kolm");
  QApplication::setApplicationVersion(KOLM_VERSION);

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
