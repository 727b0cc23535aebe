#include "common/ui/about_box.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>

using namespace kolm::common::ui;

TEST(AboutBoxes, EachShowsItsTitleAndTheVersionAndOpensOnce) {
  EXPECT_EQ(versionLine(), "Kolm  Version : 1.0.9");
  for (auto kind :
       {AboutKind::Kolm, AboutKind::Vfo, AboutKind::PowerMeter, AboutKind::AntennaAnalyzer}) {
    QDialog* box = showAboutBox(kind);
    AboutTexts texts = aboutTexts(kind);
    EXPECT_EQ(box->objectName(), texts.objectName);
    EXPECT_EQ(box->windowTitle(), texts.caption);
    EXPECT_EQ(box->findChild<QLabel*>("lblTitle")->text(), texts.title);
    EXPECT_EQ(box->findChild<QLabel*>("lblVersion")->text(), versionLine());
    EXPECT_EQ(box->findChild<QLabel*>("lblDisclaimer")->text(),
              "( Pay attention Programme  on Beta Test !!)");
    EXPECT_EQ(box->findChild<QPushButton*>("cmdOK")->toolTip(), texts.okTip);
    EXPECT_EQ(box->findChild<QPushButton*>("cmdSysInfo")->text(), "&System Info...");
    EXPECT_EQ(showAboutBox(kind), box);  // brought forward, not opened twice
    box->close();
  }
  EXPECT_EQ(aboutTexts(AboutKind::PowerMeter).okTip, "");
  EXPECT_EQ(aboutTexts(AboutKind::Vfo).title, "DIGITAL VFO FROM 0 TO 160 mHz");
}
