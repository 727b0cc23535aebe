// Exports from both swept instruments' windows, each file read back.
#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <QToolButton>
#include <algorithm>
#include <cmath>
#include <complex>

#include "analyzer/ui/analyzer_fixture.h"
#include "common/files.h"
#include "powermeter/ui/power_meter_rig.h"
#include "sim/touchstone.h"

using namespace kolm;
using kolm::test::Rig;

namespace {

// The lines of a text file (none when it cannot be read).
long lines(const std::string& path) {
  const std::string text = common::readTextFile(path).value_or("");
  return std::count(text.begin(), text.end(), '\n');
}

QByteArray contents(const char* path) {
  return QByteArray::fromStdString(common::readTextFile(path).value_or(""));
}

}  // namespace

TEST(WindowExports, PowerMeterCsvAndPicturesReadBack) {
  Rig rig("atten:90");
  rig.open();
  rig.get<QAction>("ExportCsv")->trigger();  // nothing measured yet
  EXPECT_EQ(rig.lastMessage(), "There is no whole trace to export yet.");
  rig.type("pointsEdit", "200");
  ASSERT_TRUE(rig.sweep());
  rig.prompter.files = {"floor.csv"};
  rig.get<QAction>("ExportCsv")->trigger();
  EXPECT_EQ(lines("floor.csv"), 202);  // the format is the file writers'
  EXPECT_TRUE(contents("floor.csv").endsWith(",floor\r\n"));
  EXPECT_EQ(rig.get<QLabel>("StatusLine")->text(), "Saved to floor.csv");

  // Pictures with two markers, vector where the format allows.
  rig.chart()->addMarker(10);
  rig.chart()->addMarker(20);
  rig.prompter.files = {"chart.svg", "chart.pdf", "chart.png", "chart.bmp"};
  for (int i = 0; i < 4; ++i) rig.get<QAction>("ExportPicture")->trigger();
  const QByteArray svg = contents("chart.svg");
  EXPECT_TRUE(QSvgRenderer(svg).isValid());
  EXPECT_TRUE(svg.contains("Power Meter Sweep"));
  EXPECT_TRUE(svg.contains("M2\u2212M1") || svg.contains("M2&#x2212;M1")) << "delta readout";
  EXPECT_FALSE(svg.contains("<image"));  // drawn, not a bitmap
  const QByteArray pdf = contents("chart.pdf");
  EXPECT_FALSE(pdf.contains("/Subtype /Image"));
  const QImage png("chart.png");
  EXPECT_GT(png.height(), rig.chart()->height());  // the title line above it
  EXPECT_EQ(rig.lastMessage(), "A picture is saved as .png, .svg or .pdf.");
  EXPECT_FALSE(QFile::exists("chart.bmp"));
}

class AnalyzerExports : public test::AnalyzerUi {};

// 1 uH and 129.2 pF resonate at 14.00 MHz, where the load is 30 ohm: SWR 1.67.
TEST_F(AnalyzerExports, SwrMinimumMarkerThenCsvAndTouchstoneOfTheSweep) {
  useSimulator("rlc:r=30,l=1u,c=129.2p");
  open();
  find<QAction>("ExportS1p")->trigger();
  EXPECT_EQ(prompter.messages().back(),
            "The chart shows no finished measurement to export: sweep or open one first.");
  box("startEdit")->setText("10");
  box("stopEdit")->setText("18");
  box("pointsEdit")->setText("400");
  QTest::mouseClick(find<QToolButton>("singleSweepButton"), Qt::LeftButton);
  waitIdle();
  window->selectQuantity(analyzer::kSwr);
  find<QAction>("MarkerToMin")->trigger();
  const auto& markers = window->chart()->markers().markers();
  ASSERT_EQ(markers.size(), 1u);
  EXPECT_NEAR(markers[0].x, 14.0, 0.03);
  const QString line = window->chart()->markerReadout().at(0);
  const QRegularExpression swr("SWR ?([0-9.]+)");
  EXPECT_NEAR(swr.match(line).captured(1).toDouble(), 50.0 / 30, 0.02) << line.toStdString();
  window->chart()->addMarker(15);

  prompter.files = {"load.csv", "load.s1p"};
  find<QAction>("ExportCsv")->trigger();
  find<QAction>("ExportS1p")->trigger();
  EXPECT_EQ(lines("load.csv"), 402);
  const auto back = sim::parseTouchstone(common::readTextFile("load.s1p").value());
  ASSERT_TRUE(back.ok()) << back.error;
  const auto& s11 = back.table.gamma;
  ASSERT_EQ(s11.size(), 401u);
  // The best match at resonance: 30 ohm against 50, |S11| = 0.25.
  const auto best = std::min_element(s11.begin(), s11.end(), [](const auto& a, const auto& b) {
    return std::abs(a) < std::abs(b);
  });
  EXPECT_NEAR(back.table.frequencyMHz[static_cast<size_t>(best - s11.begin())], 14.0, 0.05);
  EXPECT_NEAR(std::abs(*best), 0.25, 0.02);
}
