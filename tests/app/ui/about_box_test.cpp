#include "common/ui/about_box.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>

using namespace kolm::common::ui;

// The boxes' own words, typos included, and one box per kind brought forward.
TEST(AboutBoxes, EachShowsItsTitleAndTheVersionAndOpensOnce) {
  EXPECT_EQ(versionLine(), "Kolm  Version : 1.0.9");
  EXPECT_EQ(aboutTexts(AboutKind::Vfo).title, "DIGITAL VFO FROM 0 TO 160 mHz");
  for (auto kind :
       {AboutKind::Kolm, AboutKind::Vfo, AboutKind::PowerMeter, AboutKind::AntennaAnalyzer}) {
    QDialog* box = showAboutBox(kind);
    EXPECT_EQ(box->windowTitle(), aboutTexts(kind).caption);
    EXPECT_EQ(box->findChild<QLabel*>("titleLabel")->text(), aboutTexts(kind).title);
    EXPECT_EQ(box->findChild<QLabel*>("versionLabel")->text(), versionLine());
    EXPECT_EQ(box->findChild<QLabel*>("disclaimerLabel")->text(),
              "( Pay attention Programme  on Beta Test !!)");
    EXPECT_EQ(box->findChild<QPushButton*>("systemInfoButton")->text(), "&System Info...");
    EXPECT_EQ(showAboutBox(kind), box);  // brought forward, not opened twice
    box->close();
  }
}
