// Window tests run on the offscreen platform with one application object, on a
// 1920 x 1080 screen (scaled by QT_SCALE_FACTOR when it is set). KOLM_LANG=en
// runs them with the English translation; by default the texts are untranslated.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include "common/ui/language.h"

int main(int argc, char** argv) {
  QTemporaryDir configDir;
  QByteArray platform = qgetenv("QT_QPA_PLATFORM");
  if (platform.isEmpty() || platform == "offscreen") {
    const QString config = configDir.path() + "/screen.json";
    QFile f(config);
    if (f.open(QIODevice::WriteOnly))
      f.write(R"({"screens": [{"name": "screen", "x": 0, "y": 0, "width": 1920, "height": 1080,
                  "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    f.close();
    platform = "offscreen:configfile=" + config.toUtf8();
  }
  qputenv("QT_QPA_PLATFORM", platform);
  QApplication app(argc, argv);
  if (qgetenv("KOLM_LANG") == "en")
    kolm::common::ui::installLanguage(kolm::common::ui::Language::English);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
