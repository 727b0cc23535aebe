// The Parameters window's port test: of the port in use, or of another one.
#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QPushButton>

#include "app/parameters_window.h"
#include "common/prompter.h"
#include "hw/port_factory.h"
#include "support/temp_dir.h"

using namespace kolm;

TEST(ParametersPortTest, ReportsEachCheckInTheWindow) {
  const struct {
    const char* backend;
    const char* check;
    const char* summary;
  } cases[] = {
      {"sim", "PASS  Detector: reads 826", "The port and the instrument answer."},
      {"ppdev:/nonexistent/parport5", "FAIL  Port", "The port test failed."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.backend);
    test::InTempDir dir;
    hw::Instrument instrument;
    instrument.params = {20, 20, 400, hw::kLpt1, c.backend};
    if (std::string(c.backend) == "sim")  // the ideal board: exact counts
      instrument.setPort(hw::openPort("sim", hw::kLpt1, {"through", "r=50", "ideal"}).port);
    common::ScriptedPrompter prompter;
    common::ui::UiContext context{instrument, prompter};
    app::ParametersWindow window(context, [] {});
    auto* report = window.findChild<QPlainTextEdit*>("PortTestReport");
    EXPECT_TRUE(report->isHidden());
    window.findChild<QPushButton*>("PortTest")->click();
    EXPECT_FALSE(report->isHidden());
    const std::string text = report->toPlainText().toStdString();
    EXPECT_EQ(text.rfind(c.summary, 0), 0u) << text;
    EXPECT_NE(text.find(c.check), std::string::npos) << text;
    EXPECT_TRUE(prompter.messages().empty());
  }
}
