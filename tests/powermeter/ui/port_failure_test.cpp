// A port that stops working in the middle of a power meter pass.
#include <QAction>
#include <QLabel>
#include <QToolButton>

#include "powermeter/ui/power_meter_rig.h"

using namespace kolm;
using test::Rig;

TEST(PowerMeterPortFailure, ThePassStopsWithAMessageAndTheBannerSaysSo) {
  Rig rig;
  rig.open();
  rig.type("Text3", "2000");
  // Reset, multiplier and first word are about 150 writes, a point about 104.
  rig.port->failAtWrite = 150 + 104 * 300;
  ASSERT_TRUE(rig.sweep());
  EXPECT_FALSE(rig.get<QToolButton>("Option1")->isChecked());
  EXPECT_NE(rig.lastMessage().find("stopped working: the adapter was unplugged"), std::string::npos)
      << rig.lastMessage();
  EXPECT_EQ(rig.port->writes.size(), *rig.port->failAtWrite);
  // Only what was measured before the failure is drawn.
  ASSERT_EQ(rig.chart()->traces().size(), 1u);
  EXPECT_LT(rig.chart()->traces()[0].y.size(), 400u);
  common::ui::refreshSimBanners(rig.window);
  auto* banner = rig.get<QLabel>("SimBanner");
  EXPECT_TRUE(banner->text().contains("STOPPED WORKING")) << banner->text().toStdString();

  // Further passes send nothing and say why again.
  const size_t messages = rig.prompter.messages().size();
  ASSERT_TRUE(rig.sweep());
  EXPECT_EQ(rig.prompter.messages().size(), messages + 1);
  EXPECT_EQ(rig.port->writes.size(), *rig.port->failAtWrite);
}
