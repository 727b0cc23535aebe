// The Parameters window's port test.
#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QPushButton>

#include "app/parameters_window.h"
#include "common/prompter.h"
#include "hw/port_factory.h"
#include "support/temp_dir.h"

using namespace kolm;

namespace {

struct ParametersRig {
  explicit ParametersRig(const std::string& backend) : context{instrument, prompter} {
    instrument.params.RefClkMultiplier = 20;
    instrument.params.QuartzMHz = 20;
    instrument.params.RefClkMHz = 400;
    instrument.params.LptBase = hw::kLpt1;
    instrument.params.portBackend = backend;
    if (backend == "sim")  // the ideal board: exact counts
      instrument.setPort(hw::openPort("sim", hw::kLpt1, {"through", "r=50", "ideal"}).port);
    window = std::make_unique<app::ParametersWindow>(context, [] {});
  }
  std::string runTest() {
    window->findChild<QPushButton*>("PortTest")->click();
    auto* report = window->findChild<QPlainTextEdit*>("PortTestReport");
    EXPECT_FALSE(report->isHidden());
    return report->toPlainText().toStdString();
  }
  test::InTempDir dir;
  hw::Instrument instrument;
  common::ScriptedPrompter prompter;
  common::ui::UiContext context;
  std::unique_ptr<app::ParametersWindow> window;
};

}  // namespace

TEST(ParametersPortTest, ReportsEachCheckInTheWindow) {
  struct Case {
    const char* backend;
    std::vector<const char*> expected;
  };
  const Case cases[] = {
      {"sim",
       {"PASS  Port: sim is open", "PASS  Detector: reads 826", "PASS  Bridge channel B",
        "The port and the instrument answer."}},
      {"ppdev:/nonexistent/parport5",
       {"FAIL  Port: There is no parallel port /nonexistent/parport5", "sudo adduser $USER lp",
        "The port test failed."}},
  };
  for (const Case& c : cases) {
    ParametersRig rig(c.backend);
    EXPECT_TRUE(rig.window->findChild<QPlainTextEdit*>("PortTestReport")->isHidden());
    const std::string text = rig.runTest();
    for (const char* part : c.expected)
      EXPECT_NE(text.find(part), std::string::npos) << c.backend << ": " << part << "\n" << text;
    EXPECT_TRUE(rig.prompter.messages().empty());
  }
}
