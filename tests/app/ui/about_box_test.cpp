#include "common/ui/about_box.h"

#include <gtest/gtest.h>

#include <QLabel>

using namespace kolm::common::ui;

TEST(AboutBoxes, EachShowsItsTitleAndTheVersionAndOpensOnce) {
  for (auto kind :
       {AboutKind::Kolm, AboutKind::Vfo, AboutKind::PowerMeter, AboutKind::AntennaAnalyzer}) {
    QDialog* box = showAboutBox(kind);
    EXPECT_EQ(box->windowTitle(), aboutTexts(kind).caption);
    EXPECT_EQ(box->findChild<QLabel*>("lblTitle")->text(), aboutTexts(kind).title);
    EXPECT_EQ(box->findChild<QLabel*>("lblVersion")->text(), "Kolm  Version : 1.0.9");
    EXPECT_EQ(showAboutBox(kind), box);  // brought forward, not opened twice
    box->close();
  }
}
