#include <QApplication>

#include "app/launcher.h"
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
  launcher.load();
  launcher.show();
  return app.exec();
}
