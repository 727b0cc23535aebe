// The power meter's levels relative to level.rif, on the simulated instrument.
#include <gtest/gtest.h>

#include <QAction>
#include <QToolButton>

#include "common/ui/recent_files.h"
#include "powermeter/chart_file.h"
#include "powermeter/ui/power_meter_rig.h"

using namespace kolm;
using test::Rig;

TEST(PowerMeterNormalised, RelativeLevelsAgainstTheMeasuredReference) {
  Rig rig("atten:3");
  rig.open();
  auto normalise = [&rig] { return rig.get<QAction>("Normalise"); };
  // No level.rif yet: refused with a message, and not kept.
  normalise()->trigger();
  EXPECT_NE(rig.lastMessage().find("There is no level reference (level.rif)"), std::string::npos);
  EXPECT_FALSE(normalise()->isChecked());

  // The reference through 3 dB, then a sweep through 20 dB: -20 dBm, -17 dB relative.
  rig.get<QAction>("refer")->trigger();
  ASSERT_TRUE(rig.waitIdle());
  rig.connect("atten:20");
  rig.get<QToolButton>("Option1")->click();  // 3 to 30 MHz, 1000 points
  ASSERT_TRUE(rig.waitIdle());
  ASSERT_EQ(rig.chart()->traces().size(), 1u);
  EXPECT_NEAR(rig.chart()->traces()[0].y[500], -20, 0.2);
  normalise()->trigger();
  ASSERT_TRUE(normalise()->isChecked());
  const auto& relative = rig.chart()->traces()[0];
  EXPECT_EQ(relative.unit, "dB");
  for (size_t i : {0u, 500u, 1000u}) EXPECT_NEAR(relative.y[i], -17, 0.25) << i;
  EXPECT_TRUE(rig.chart()->referenceTraces().empty());  // the reference is the 0 dB line

  // A saved chart keeps the absolute levels.
  const std::string path = (rig.dir.path() / "n.pwm").string();
  rig.prompter.files = {path};
  rig.get<QAction>("saveas")->trigger();
  const auto saved = powermeter::readChartFile(path);
  ASSERT_TRUE(saved.chart) << saved.error;
  EXPECT_NEAR(saved.chart->levels[500], -20, 0.2);

  // The next window opens normalised (kolm.ini), and a switch-off is kept too.
  rig.window->close();
  rig.open();
  EXPECT_TRUE(normalise()->isChecked());
  normalise()->trigger();
  EXPECT_FALSE(normalise()->isChecked());
  EXPECT_FALSE(common::ui::uiSettings().value("PowerMeter/normalised").toBool());
}
