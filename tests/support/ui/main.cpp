// Window tests run on the offscreen platform with one application object, on a
// 1920 x 1080 screen (KOLM_TEST_SCREEN=WIDTHxHEIGHT another; scaled by
// QT_SCALE_FACTOR when it is set), every window kept on it as the program keeps it. KOLM_LANG=en
// runs them with the English translation; by default the texts are untranslated.
// Each test starts on a main loop free of an exit an earlier one asked for.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include "common/ui/language.h"
#include "common/ui/screen_fit.h"
#include "sim/sim_port.h"

namespace {

// An exit asked of the application (the launcher's "EXIT PROGRAM") ends every
// event loop started after it at once, a dialog's or a menu's before it shows;
// one pass of the main loop clears it.
struct ClearAskedExit : testing::EmptyTestEventListener {
  void OnTestStart(const testing::TestInfo&) override {
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    QCoreApplication::exec();
  }
};

}  // namespace

int main(int argc, char** argv) {
  kolm::sim::registerSimulatorBackend();  // as the program does
  QTemporaryDir configDir;
  QByteArray platform = qgetenv("QT_QPA_PLATFORM");
  if (platform.isEmpty() || platform == "offscreen") {
    const QString config = configDir.path() + "/screen.json";
    const QStringList size = QString::fromLocal8Bit(qgetenv("KOLM_TEST_SCREEN")).split('x');
    const bool sized = size.size() == 2 && size[0].toInt() > 0 && size[1].toInt() > 0;
    QFile f(config);
    if (f.open(QIODevice::WriteOnly))
      f.write(QString(R"({"screens": [{"name": "screen", "x": 0, "y": 0, "width": %1,
                  "height": %2, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})")
                  .arg(sized ? size[0].toInt() : 1920)
                  .arg(sized ? size[1].toInt() : 1080)
                  .toUtf8());
    f.close();
    platform = "offscreen:configfile=" + config.toUtf8();
  }
  qputenv("QT_QPA_PLATFORM", platform);
  QApplication app(argc, argv);
  kolm::common::ui::keepWindowsOnScreen();
  if (qgetenv("KOLM_LANG") == "en")
    kolm::common::ui::installLanguage(kolm::common::ui::Language::English);
  testing::InitGoogleTest(&argc, argv);
  testing::UnitTest::GetInstance()->listeners().Append(new ClearAskedExit);
  return RUN_ALL_TESTS();
}
