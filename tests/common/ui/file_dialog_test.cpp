// The real file dialogs: the filter text and the extension a save adds.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QTimer>

#include "common/ui/qt_prompter.h"
#include "support/temp_dir.h"

using kolm::common::ui::QtPrompter;

namespace {

// Types `name` into the next file dialog and accepts it; records its filters.
void answerNextDialog(const QString& name, QStringList* filters) {
  QTimer::singleShot(10, [=] {
    QFileDialog* dialog = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* d = qobject_cast<QFileDialog*>(w); d && d->isVisible()) dialog = d;
    if (!dialog) return answerNextDialog(name, filters);
    *filters = dialog->nameFilters();
    dialog->findChild<QLineEdit*>("fileNameEdit")->setText(name);
    QMetaObject::invokeMethod(dialog, "accept");
  });
}

}  // namespace

TEST(FileDialogTest, FilterTextsShowEachPatternOnce) {
  using kolm::common::ui::qtFilter;
  EXPECT_EQ(qtFilter("file pwm(*.pwm)|*.pwm"), "file pwm(*.pwm)");
  EXPECT_EQ(qtFilter("Charts|*.pwm;*.csv"), "Charts (*.pwm *.csv)");
}

TEST(FileDialogTest, SaveAddsTheFilterExtensionToANameWithoutOne) {
  // An earlier test may have asked the application to exit, which would end
  // every dialog's loop at once; one pass of the main loop clears that.
  QTimer::singleShot(0, qApp, &QCoreApplication::quit);
  QCoreApplication::exec();
  kolm::test::InTempDir here;
  QtPrompter prompter;
  const QString dir = QString::fromStdString(here.path().string());
  struct Case {
    const char* filter;
    const char* typed;
    const char* saved;
  } cases[] = {
      {"file pwm(*.pwm)|*.pwm", "lp30", "lp30.pwm"},
      {"file pwm(*.pwm)|*.pwm", "kept.pwm", "kept.pwm"},
  };
  for (const Case& c : cases) {
    QStringList filters;
    answerNextDialog(c.typed, &filters);
    const std::string name = prompter.saveFileName("Save File ", c.filter);
    EXPECT_EQ(QString::fromStdString(name), dir + "/" + c.saved) << c.typed;
    EXPECT_EQ(filters, QStringList{kolm::common::ui::qtFilter(c.filter)});
  }
  // Opening offers every file too, so a chart saved under another name is found.
  QStringList filters;
  answerNextDialog("kept.pwm", &filters);
  QFile(dir + "/kept.pwm").open(QIODevice::WriteOnly);
  EXPECT_EQ(QString::fromStdString(prompter.openFileName("Load File", "file pwm(*.pwm)|*.pwm")),
            dir + "/kept.pwm");
  ASSERT_EQ(filters.size(), 2);
  EXPECT_EQ(filters[0], "file pwm(*.pwm)");
}
