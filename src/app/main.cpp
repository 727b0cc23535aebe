#include <QApplication>

#include "app/launcher.h"
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
  launcher.load();
  launcher.show();
  return app.exec();
}
