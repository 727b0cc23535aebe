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
#include "print/ui/frm_stampa_fcpb.h"
#include "print/ui/stampa.h"
#include "support/temp_dir.h"

using namespace kolm;

namespace {

struct Rig {
  Rig() : context{instrument, prompter} {
    instrument.params = {20, 20, 400, hw::kLpt1, "sim"};
    instrument.setDelayer(std::make_unique<hw::NoDelayer>());
  }
  ~Rig() { print::ui::PrintService::instance().runModal = nullptr; }

  // Runs the window's print item; returns the titles of the dialogs it opened and
  // the colour at the chart's centre while the dialog was up.
  void printFrom(QWidget* window, const char* item) {
    auto& service = print::ui::PrintService::instance();
    service.runModal = [this, window, &service](print::ui::frmStampaFCPB& dlg) {
      dlg.show();
      titles.push_back(dlg.windowTitle());
      usedWindowPrompter = &service.session().prompter() == &prompter;
      QWidget* chart = window->findChild<QWidget*>("Pc1");
      QImage shot = chart->grab().toImage();
      duringPrint = shot.pixelColor(shot.width() / 2 + 3, shot.height() / 2 + 3);
      QTest::mouseClick(dlg.findChild<QPushButton*>("cmdChiudi"), Qt::LeftButton);
      EXPECT_FALSE(dlg.isVisible());
    };
    QAction* action = window->findChild<QAction*>(item);
    ASSERT_NE(action, nullptr) << item;
    EXPECT_TRUE(action->isEnabled());
    action->trigger();
  }

  test::InTempDir dir;
  hw::Instrument instrument;
  common::ScriptedPrompter prompter;
  common::ui::UiContext context;
  std::vector<QString> titles;
  bool usedWindowPrompter = false;
  QColor duringPrint;
};

}  // namespace

TEST(WindowPrint, EachMeasuringWindowHandsItselfToTheDialogAsScreen) {
  struct Case {
    const char* item;
    QWidget* (*create)(common::ui::UiContext&);
  } cases[] = {{"Print_Screen", &powermeter::ui::createPowerMeterWindow},
               {"PrintScreen", &analyzer::ui::createAnalyzerWindow}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.item);
    Rig rig;
    QWidget* w = c.create(rig.context);
    w->resize(1000, 700);
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
    rig.printFrom(w, c.item);
    ASSERT_EQ(rig.titles, std::vector<QString>{"  Print of: Screen"});
    EXPECT_TRUE(rig.usedWindowPrompter);  // for the call only
    EXPECT_NE(&print::ui::PrintService::instance().session().prompter(), &rig.prompter);
    EXPECT_TRUE(rig.prompter.shown.empty());
    EXPECT_NE(rig.duringPrint, QColor(Qt::black));
    EXPECT_EQ(w->findChild<QLineEdit*>("Text6")->text(), "Screen");
    // Back on black (away from grid lines and traces, a corner pixel of the plot).
    QImage shot = w->findChild<QWidget*>("Pc1")->grab().toImage();
    EXPECT_EQ(shot.pixelColor(shot.width() / 2 + 3, shot.height() / 2 + 3), QColor(Qt::black));
    w->close();
  }
}
