// The English translation: every text the program can show has one, and with it
// installed the windows speak English (Italian messages translated, typos mended).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAction>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include "common/tr.h"
#include "common/ui/language.h"
#include "powermeter/calibration.h"
#include "powermeter/ui/power_meter_rig.h"
#include "support/cli_run.h"
#include "support/temp_dir.h"

using namespace kolm;

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

  QFile f(ts);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  QXmlStreamReader xml(&f);
  QString source;
  QStringList missing;
  int texts = 0;
  while (!xml.atEnd()) {
    xml.readNext();
    if (!xml.isStartElement()) continue;
    if (xml.name() == u"source") source = xml.readElementText();
    if (xml.name() == u"translation") {
      ++texts;
      if (!xml.attributes().value("type").isEmpty() || xml.readElementText().isEmpty())
        missing << source;
    }
  }
  ASSERT_GT(texts, 250);
  EXPECT_TRUE(missing.isEmpty()) << "Not translated in i18n/kolm_en.ts (see update_translations):\n"
                                 << missing.join("\n").toStdString();
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
            " 854    If the number shown is between 800 and 900, accept it by pressing OK");
  common::ui::installLanguage(before);
}

TEST(Translation, StartLanguageFromTheCommandLineTheKeptChoiceOrTheSystem) {
  test::InTempDir here;
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
    common::ui::rememberLanguage(c.kept);
    QString error;
    EXPECT_EQ(common::ui::startLanguage(c.arguments, &error), c.language);
    EXPECT_TRUE(error.isEmpty());
  }
  QString error;
  common::ui::startLanguage({"kolm", "--lang", "fr"}, &error);
  EXPECT_EQ(error, "--lang takes original or en, not \"fr\".");
}

// The program refuses a language it does not know before it opens a window, and
// its help and manual page name the option.
TEST(Translation, TheProgramRefusesAnUnknownLanguageAndDocumentsTheOption) {
  for (const char* args : {"--lang klingon", "--lang=fr", "--lang"}) {
    SCOPED_TRACE(args);
    const auto r = test::runProgram(KOLM_APP_PATH, args);
    EXPECT_EQ(r.status, 2);
    EXPECT_THAT(r.err, ::testing::StartsWith("kolm: --lang takes original or en"));
  }
  EXPECT_THAT(test::runProgram(KOLM_APP_PATH, "--lang=fr").err, ::testing::HasSubstr("not \"fr\""));
  const auto help = test::runProgram(KOLM_APP_PATH, "--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_THAT(help.out, ::testing::HasSubstr("--lang original|en"));
  const auto man = common::readTextFile(std::string(KOLM_SOURCE_DIR) + "/docs/man/kolm.1");
  ASSERT_TRUE(man);
  EXPECT_THAT(*man, ::testing::HasSubstr("\\fB\\-\\-lang\\fR \\fIoriginal\\fR|\\fIen"));
}
