// The measuring windows' print command: the window, repainted for paper, goes to
// the print dialog under the title "Screen", and comes back to its screen colours.
#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "analyzer/ui/analyzer_window.h"
#include "common/prompter.h"
#include "hw/instrument.h"
#include "powermeter/ui/power_meter_window.h"
#include "print/ui/print_dialog.h"
#include "print/ui/print_service.h"
#include "support/temp_dir.h"

using namespace kolm;

namespace {

// A pixel of the plot away from grid lines and traces.
QColor plotColour(QWidget* window) {
  const QImage shot = window->findChild<QWidget*>("chart")->grab().toImage();
  return shot.pixelColor(shot.width() / 2 + 3, shot.height() / 2 + 3);
}

}  // namespace

TEST(WindowPrint, EachMeasuringWindowHandsItselfToTheDialogAsScreen) {
  struct Case {
    const char* item;
    QWidget* (*create)(common::ui::UiContext&);
  } cases[] = {{"printScreenAction", &powermeter::ui::createPowerMeterWindow},
               {"printScreenAction", &analyzer::ui::createAnalyzerWindow}};
  auto& service = print::ui::PrintService::instance();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.item);
    test::InTempDir dir;
    hw::Instrument instrument;
    instrument.params = {20, 20, 400, hw::kLpt1, "sim"};
    instrument.setDelayer(std::make_unique<hw::NoDelayer>());
    common::ScriptedPrompter prompter;
    common::ui::UiContext context{instrument, prompter};
    QWidget* w = c.create(context);
    w->resize(1000, 700);
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
    std::vector<QString> titles;
    bool usedWindowPrompter = false;
    QColor duringPrint;
    service.runModal = [&](print::ui::PrintDialog& dlg) {
      dlg.show();
      titles.push_back(dlg.windowTitle());
      usedWindowPrompter = &service.session().prompter() == &prompter;
      duringPrint = plotColour(w);
      QTest::mouseClick(dlg.findChild<QPushButton*>("exitButton"), Qt::LeftButton);
    };
    w->findChild<QAction*>(c.item)->trigger();
    ASSERT_EQ(titles, std::vector<QString>{"  Print of: Screen"});
    EXPECT_TRUE(usedWindowPrompter);  // for the call only
    EXPECT_NE(&service.session().prompter(), &prompter);
    EXPECT_NE(duringPrint, QColor(Qt::black));
    EXPECT_EQ(w->findChild<QLineEdit*>("fileNameEdit")->text(), "Screen");
    EXPECT_EQ(plotColour(w), QColor(Qt::black));  // back on black
    w->close();
  }
  service.runModal = nullptr;
}
