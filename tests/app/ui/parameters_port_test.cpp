// The Parameters window's port test: of the port in use, or of another one.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>

#include "app/parameters_window.h"
#include "common/prompter.h"
#include "hw/port_factory.h"
#include "support/temp_dir.h"

using namespace kolm;

TEST(ParametersPortTest, ReportsEachCheckInTheWindow) {
  for (const char* backend : {"sim", "ppdev:/nonexistent/parport5"}) {
    SCOPED_TRACE(backend);
    const bool sim = std::string(backend) == "sim";
    test::InTempDir dir;
    hw::Instrument instrument;
    instrument.params = {20, 20, 400, hw::kLpt1, backend};
    if (sim)  // the ideal board: exact counts
      instrument.setPort(hw::openPort("sim", hw::kLpt1, {"through", "r=50", "ideal"}).port);
    common::ScriptedPrompter prompter;
    common::ui::UiContext context{instrument, prompter};
    app::ParametersWindow window(context, [] {});
    auto* report = window.findChild<QPlainTextEdit*>("portTestReport");
    EXPECT_TRUE(report->isHidden());
    window.findChild<QPushButton*>("portTestButton")->click();
    EXPECT_FALSE(report->isHidden());
    const std::string text = report->toPlainText().toStdString();
    EXPECT_EQ(text.find(sim ? "The port and the instrument answer." : "The port test failed."), 0u)
        << text;
    EXPECT_NE(text.find(sim ? "PASS  Detector: reads 826" : "FAIL  Port"), std::string::npos);
    EXPECT_TRUE(prompter.messages().empty());
  }
}

TEST(ParametersPortTest, UsesTheClockTypedInTheWindowBeforeOk) {
  // A first start: no clock accepted yet, 20 MHz x 20 typed, OK not pressed.
  test::InTempDir dir;
  hw::Instrument instrument;
  instrument.params = {0, 0, 0, hw::kLpt1, "sim"};
  instrument.setPort(hw::openPort("sim", hw::kLpt1, {"through", "r=50", "ideal"}).port);
  common::ScriptedPrompter prompter;
  common::ui::UiContext context{instrument, prompter};
  app::ParametersWindow window(context, [] {});
  window.findChild<QLineEdit*>("quartzEdit")->setText("20");
  window.findChild<QScrollBar*>("multiplierScroll")->setValue(20);
  window.findChild<QPushButton*>("portTestButton")->click();
  const std::string text =
      window.findChild<QPlainTextEdit*>("portTestReport")->toPlainText().toStdString();
  EXPECT_NE(text.find("with the generator at 10 MHz"), std::string::npos) << text;
  EXPECT_EQ(instrument.params.RefClkMHz, 0);  // still not accepted
}
