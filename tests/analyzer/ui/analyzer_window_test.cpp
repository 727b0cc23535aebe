#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <cmath>
#include <tuple>

#include "analyzer/files.h"
#include "analyzer/ui/analyzer_fixture.h"
#include "analyzer/ui/analyzer_view.h"
#include "analyzer/ui/analyzer_window.h"
#include "analyzer/ui/cable_dialog.h"
#include "analyzer/ui/matching_window.h"
#include "analyzer/ui/quantity_readout.h"
#include "analyzer/ui/smith_window.h"
#include "analyzer/validity.h"
#include "analyzer/vec_bytes.h"
#include "chart/ui/disk_chart.h"
#include "chart/ui/sweep_chart.h"
#include "common/files.h"
#include "common/text.h"
#include "hw/dds.h"

using namespace kolm;
using namespace kolm::analyzer;
using kolm::test::AnalyzerUi;
using testing::HasSubstr;
using testing::Not;
using testing::StartsWith;

TEST_F(AnalyzerUi, OpensOnTheSimulatedMeasurementWithoutTouchingThePortThenShowsQuantities) {
  open();
  EXPECT_EQ(window->windowTitle(), "Antenna_Analizer");
  EXPECT_TRUE(get<QWidget>("simBanner")->isVisible());

  // No ant.ini: 3 to 30 MHz, 500 points, the simulated return loss alone.
  EXPECT_EQ(box("pointsEdit")->text(), "500");
  EXPECT_EQ(active(), (std::vector<bool>{true, false, false, false, false, false}));
  EXPECT_FALSE(box("quantityReadout1")->isVisible());
  ASSERT_EQ(window->chart()->traces().size(), 1u);
  ASSERT_EQ(window->chart()->traces()[0].y.size(), 501u);
  EXPECT_NEAR(window->chart()->traces()[0].y[0], 0.70, 0.01);
  EXPECT_FALSE(get<QLabel>("quantityIcon")->pixmap().isNull());
  // A band preset sets the span boxes to the band with its margin; a band the
  // clock cannot reach is greyed out.
  get<QAction>("region1Band20m")->trigger();
  EXPECT_EQ(box("startEdit")->text() + " " + box("stopEdit")->text(), "13.9125 14.4375");
  instrument.params.refClockMHz = 100;
  emit get<QMenu>("region2Menu")->aboutToShow();
  EXPECT_FALSE(get<QAction>("region2Band6m")->isEnabled());
  EXPECT_TRUE(get<QAction>("region2Band10m")->isEnabled());
  EXPECT_TRUE(port->writes.empty());

  get<QAction>("parametersAction")->trigger();
  EXPECT_EQ(parameterOwners.size(), 1u);

  // The quantity buttons toggle their traces, or show one chart.
  auto click = [&](int q) {
    QTest::mouseClick(get<QToolButton>(("quantityButton" + std::to_string(q)).c_str()),
                      Qt::LeftButton);
  };
  click(1);
  EXPECT_EQ(active(), (std::vector<bool>{true, true, false, false, false, false}));
  EXPECT_TRUE(box("quantityReadout1")->isVisible());
  EXPECT_FLOAT_EQ(static_cast<float>(window->chart()->scale().top), 180.0f);  // phase
  // Hiding the selected trace selects the highest one still drawn.
  click(3);
  click(5);
  click(5);
  EXPECT_EQ(active(), (std::vector<bool>{true, true, false, true, false, false}));
  EXPECT_EQ(window->selection().selectedQuantity, 3);
  click(1);
  click(3);
  click(0);
  // Nothing left: the selection stays where it was and nothing is drawn.
  EXPECT_EQ(active(), (std::vector<bool>(6, false)));
  EXPECT_EQ(window->selection().selectedQuantity, 0);
  EXPECT_TRUE(window->chart()->traces().empty());

  // Single-chart mode: each click shows that quantity alone.
  QTest::mouseClick(get<QToolButton>("combineButton"), Qt::LeftButton);
  click(2);
  click(4);
  EXPECT_EQ(active(), (std::vector<bool>{false, false, false, false, true, false}));
  ASSERT_EQ(window->chart()->traces().size(), 1u);
  EXPECT_EQ(window->chart()->traces()[0].colour, QColor(255, 0, 255));
}

TEST_F(AnalyzerUi, CursorReadoutAndZoomFollowTheMouse) {
  open();
  window->selectQuantity(2);
  window->chart()->setCursorAt(3.0, 250);
  EXPECT_EQ(box("cursorFrequencyEdit")->text(), "3.000 000");
  // The phase at its 180-degree end, with its interval.
  EXPECT_THAT(box("quantityReadout1")->text().toStdString(), StartsWith("≈ 180.0 \u00b1 "));
  auto* line = get<QWidget>("cursorLine");

  window->chart()->setCursorAt(30.0, 0);
  const PointResult last = evaluatePoint(window->measurement().live.returnLossCounts[500],
                                         window->measurement().live.phaseCounts[500]);
  const std::string lastZ = chart::valueReadout(last.values[kImpedance]) + " \u00b1 ";
  EXPECT_EQ(box("quantityReadout2")->text().toStdString().substr(0, lastZ.size()), lastZ);
  EXPECT_EQ(line->x(), window->chart()->width() - 1);
  // Readouts, each over its button: whole text, fewer digits, or whole words and "…", never a
  // number cut, in the box.
  for (int k = 0, q = 0; k < 30 * kQuantities; q = ++k % kQuantities) {
    window->chart()->setCursorAt(3 + k / kQuantities * 0.9, 0);
    auto* r = window->findChild<ui::QuantityReadout*>(QString("quantityReadout%1").arg(q));
    const QString shown = r->text(), h = shown.chopped(shown.endsWith(u'…')).trimmed() + ' ';
    EXPECT_LE(r->fontMetrics().horizontalAdvance(shown), r->contentsRect().width());
    EXPECT_TRUE((r->wholeText() + ' ').startsWith(h) || (r->coarseText() + ' ').startsWith(h));
  }
  std::vector<QLineEdit*> s;
  for (int q = 0; q < kQuantities; ++q)
    if (QLineEdit* b = box(("quantityReadout" + std::to_string(q)).c_str()); b->isVisible()) {
      s.push_back(b);
      const QRect button =
          get<QToolButton>(("quantityButton" + std::to_string(q)).c_str())->geometry();
      EXPECT_EQ(b->x(), button.x());
      EXPECT_GE(b->width(), button.width());
    }
  ASSERT_GE(s.size(), 2u);
  for (size_t k = 0; k < s.size(); ++k) {
    const int end = s[k]->x() + s[k]->width(),
              edge = k + 1 < s.size() ? s[k + 1]->x() - 2
                                      : s[k]->parentWidget()->contentsRect().right();
    EXPECT_LE(end, edge);
  }

  // A drag across a third of the chart zooms to it; a double-click undoes it.
  auto* plot = window->chart();
  const auto map = plot->pixelMap();
  const int y = plot->height() / 2;
  QTest::mousePress(plot, Qt::LeftButton, {}, QPoint(static_cast<int>(map.x(12)), y));
  QTest::mouseMove(plot, QPoint(static_cast<int>(map.x(21)), y + 40));
  QTest::mouseRelease(plot, Qt::LeftButton, {}, QPoint(static_cast<int>(map.x(21)), y + 40));
  EXPECT_NEAR(window->measurement().viewStopMHz, 21, 0.05);
  EXPECT_NEAR(plot->scale().left, 12, 0.05);
  // The boxes follow the view at once (the next sweep covers it).
  EXPECT_NEAR(box("startEdit")->text().toDouble(), 12, 0.05);
  QTest::mouseDClick(plot, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(window->measurement().viewStopMHz, 30);
  EXPECT_EQ(box("startEdit")->text(), "3");
}

TEST_F(AnalyzerUi, BadBoxesAreRefusedBeforeAnythingIsSent) {
  open();
  const auto before = window->measurement().live.returnLossCounts;
  // The plan's rules are its own: one refusal reaches the user.
  box("pointsEdit")->setText("20002");
  QTest::mouseClick(get<QToolButton>("singleSweepButton"), Qt::LeftButton);
  EXPECT_FALSE(window->sweeping());
  ASSERT_EQ(prompter.messages().size(), 1u);
  EXPECT_NE(prompter.messages()[0].find("20001"), std::string::npos);
  instrument.params.refClockMHz = 0;
  box("pointsEdit")->setText("500");
  QTest::mouseClick(get<QToolButton>("continuousSweepButton"), Qt::LeftButton);
  EXPECT_EQ(prompter.messages().back(), hw::noClockMessage());
  EXPECT_FALSE(get<QToolButton>("continuousSweepButton")->isChecked());
  EXPECT_TRUE(port->writes.empty());
  EXPECT_EQ(window->measurement().live.returnLossCounts, before);
}

// The analyzer window's chart files and memory trace: Open Chart .vna / .vec,
// Save Chart as, This screen in Memory, File in Memory and the Compare box.
namespace {

class AnalyzerFiles : public test::AnalyzerUi {
 protected:
  std::string path(const char* name) const { return (dir.path() / name).string(); }
  void write(const char* name, const std::string& bytes) {
    ASSERT_TRUE(common::writeFileAtomic(path(name), bytes));
  }
  QCheckBox* compareCheck() { return get<QCheckBox>("compareCheck"); }
};

}  // namespace

// Saved after a zoom with the whole span, other charts (.vna, .vec) shown whole,
// then the saved one again: every reading back at its own frequency.
TEST_F(AnalyzerFiles, SavedAfterAZoomAndOpenedAgainExactly) {
  write("two metres.vna", formatVna(test::chartOf(400, 144, 146, 100, 0)));
  write("meas.vec", test::ramp(1000, 6.5f, 7.5f));
  open();
  const Measurement& m = window->measurement();
  const Channels before = m.live;
  window->chart()->pressBand(10, 10);
  window->chart()->dragBand(14, 20);
  window->chart()->releaseBand();
  ASSERT_DOUBLE_EQ(m.viewStartMHz, 10);
  // The memory copy lies on the live trace in the zoomed view too.
  get<QAction>("screenToMemoryAction")->trigger();
  ASSERT_EQ(window->chart()->memoryTraces().size(), 1u);
  EXPECT_EQ(window->chart()->memoryTraces()[0].x, window->chart()->traces()[0].x);
  withFile("saveAsAction", path("sim.vna"));
  EXPECT_EQ(prompter.shown.back().title, "Save File ");
  EXPECT_EQ(box("fileNameEdit")->text().toStdString(), path("sim.vna"));
  const std::string text = common::readTextFile(path("sim.vna")).value();
  EXPECT_EQ(text.substr(0, 12), "500\r\n3\r\n30\r\n");

  withFile("openVnaAction", path("two metres.vna"));
  EXPECT_EQ(prompter.shown.back().title, "Load File");
  EXPECT_EQ(m.live.returnLossCounts[399], 100 + 199);
  EXPECT_FLOAT_EQ(static_cast<float>(window->chart()->scale().left), 144.0f);

  withFile("openVecAction", path("meas.vec"));
  EXPECT_EQ(prompter.filters.back(), "file vec(*.vec)|*.vec");
  EXPECT_EQ(m.live.returnLossCounts[1], 511);  // 877 - M with M = 365 + i % 500
  EXPECT_EQ(window->chart()->traces()[0].y.size(), 1001u);

  withFile("openVnaAction", path("sim.vna"));
  EXPECT_EQ(box("pointsEdit")->text(), "500");
  EXPECT_EQ(m.live.returnLossCounts, before.returnLossCounts);
  EXPECT_EQ(m.live.frequencies, before.frequencies);
  EXPECT_TRUE(prompter.messages().empty());
}

// Cancelled dialogs, then files that cannot be written or read: nothing changes.
TEST_F(AnalyzerFiles, CancelledOrFailedFilesChangeNothing) {
  open();
  box("fileNameEdit")->setText("kept.vna");
  const auto a = window->measurement().live.returnLossCounts;
  for (const char* action : {"openVnaAction", "openVecAction", "fileToMemoryAction"}) {
    withFile(action, "");
    EXPECT_EQ(box("fileNameEdit")->text(), "kept.vna") << action;
  }
  EXPECT_EQ(window->measurement().live.returnLossCounts, a);
  EXPECT_TRUE(window->measurement().memoryEmpty());
  // A cancelled save empties the file name and writes nothing.
  withFile("saveAsAction", "");
  EXPECT_EQ(box("fileNameEdit")->text(), "");
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
  EXPECT_TRUE(prompter.messages().empty());

  window->screenToMemory();
  const Measurement& m = window->measurement();
  const Channels live = m.live, memory = m.memory;
  const int16_t memPoints = m.memoryPoints;
  // Cut off within the phase readings.
  std::string text = formatVna(test::chartOf(300, 50, 54, 10, 10));
  text.resize(text.size() - 40);
  write("short.vna", text);
  write("bad.vec", test::ramp(200, 7, 7).substr(0, 23));
  write("equal.vec", test::ramp(500, 3, 3));
  const QString oldBoxes =
      box("startEdit")->text() + box("stopEdit")->text() + box("pointsEdit")->text();

  withFile("saveAsAction", (dir.path() / "no such folder" / "x.vna").string());
  withFile("openVnaAction", path("short.vna"));
  withFile("fileToMemoryAction", path("short.vna"));
  withFile("openVecAction", path("bad.vec"));
  withFile("openVecAction", path("equal.vec"));
  // One message each (their texts are the readers' own).
  const auto shown = prompter.messages();
  ASSERT_EQ(shown.size(), 5u);
  EXPECT_EQ(shown[0].rfind("The chart file cannot be written.\n", 0), 0u);
  EXPECT_NE(shown[1].find("phase reading"), std::string::npos);
  EXPECT_EQ(shown[4].rfind("ERRORE!\n", 0), 0u);

  EXPECT_EQ(std::tuple(m.live.returnLossCounts, m.live.frequencies, m.memoryPoints),
            std::tuple(live.returnLossCounts, live.frequencies, memPoints));
  EXPECT_EQ(m.memory.returnLossCounts, memory.returnLossCounts);
  EXPECT_EQ(box("startEdit")->text() + box("stopEdit")->text() + box("pointsEdit")->text(),
            oldBoxes);
}

// Compare with an empty memory copies the screen once; File in Memory leaves the
// live chart alone.
TEST_F(AnalyzerFiles, CompareAndFileInMemory) {
  // A file whose test entries 20 and 30 are 0: it stays in memory all the same.
  ChartData file = test::chartOf(250, 10, 20, 0, 100);
  file.returnLossCounts[20] = file.returnLossCounts[30] = 0;
  write("memory.vna", formatVna(file));
  open();
  window->selectQuantity(kSwr);
  auto* chart = window->chart();
  QTest::mouseClick(compareCheck(), Qt::LeftButton);
  ASSERT_TRUE(compareCheck()->isChecked());
  EXPECT_FALSE(window->measurement().memoryEmpty());
  // The memory traces lie exactly on the live ones, in the memory colours.
  ASSERT_EQ(chart->memoryTraces().size(), 2u);
  EXPECT_EQ(chart->memoryTraces()[1].y, chart->traces()[1].y);
  EXPECT_EQ(chart->memoryTraces()[1].colour, QColor(128, 128, 0));  // SWR

  // Cleared: no memory traces, the memory stays.
  QTest::mouseClick(compareCheck(), Qt::LeftButton);
  EXPECT_TRUE(chart->memoryTraces().empty());
  EXPECT_FALSE(window->measurement().memoryEmpty());
  // Something else on the screen; ticking again shows the memory kept.
  write("other.vna", formatVna(test::chartOf(500, 3, 30, 200, 0)));
  withFile("openVnaAction", path("other.vna"));
  QTest::mouseClick(compareCheck(), Qt::LeftButton);
  ASSERT_EQ(chart->memoryTraces().size(), 2u);
  EXPECT_NE(chart->memoryTraces()[0].y, chart->traces()[0].y);
  EXPECT_EQ(window->measurement().memory.returnLossCounts[0], 500);  // the simulation's

  const auto a = window->measurement().live.returnLossCounts;
  withFile("fileToMemoryAction", path("memory.vna"));
  EXPECT_EQ(box("fileNameEdit")->text().toStdString(), path("memory.vna"));
  EXPECT_EQ(window->measurement().live.returnLossCounts, a);
  EXPECT_EQ(box("startEdit")->text(), "3");
  ASSERT_EQ(chart->memoryTraces().size(), 2u);
  EXPECT_EQ(chart->memoryTraces()[0].y.size(), 251u);
  EXPECT_EQ(chart->memoryTraces()[0].x.back(), 20.0);
}

TEST_F(AnalyzerFiles, OpeningAFileOrClosingStopsASweepFirst) {
  write("file.vna", formatVna(test::chartOf(100, 5, 6, 300, 0)));
  open();
  box("pointsEdit")->setText("20001");
  QTest::mouseClick(get<QToolButton>("continuousSweepButton"), Qt::LeftButton);
  ASSERT_TRUE(window->sweeping());
  withFile("openVnaAction", path("file.vna"));
  EXPECT_FALSE(window->sweeping());
  QTest::qWait(30);
  EXPECT_EQ(window->measurement().live.returnLossCounts[100], 400);

  // The boxes are kept (a comma as the point), Exit takes the lines low (the
  // rest of closing during a sweep: SweptWindows).
  box("stopEdit")->setText("6,0");
  box("pointsEdit")->setText("20001");
  QTest::mouseClick(get<QToolButton>("continuousSweepButton"), Qt::LeftButton);
  ASSERT_TRUE(window->sweeping());
  // Kept as the sweep starts: a kill -9 now loses nothing.
  EXPECT_EQ(common::readTextFile("ant.ini").value(), "\"5\"\r\n\"6.0\"\r\n\"20001\"\r\n");
  QTest::qWait(30);
  get<QAction>("exitAction")->trigger();
  EXPECT_EQ(port->writes.back(), 0);
  // The same settings on the way out; a pass drawn meanwhile has the boxes
  // follow its view ("6" for "6.0"), so the numbers are compared, not the text.
  const AntSettings kept = readAntIni("ant.ini");
  EXPECT_EQ(std::tuple(kept.start, kept.stop, kept.points), std::tuple(5.0, 6.0, 20001));
}

// The typical board's limits on the analyzer's charts and readouts: a matched
// load at the bridge's range, an open right after it drawn as an open.
TEST_F(AnalyzerUi, MatchedThenOpenOnTheTypicalBoard) {
  useSimulator("r=50", "typical");
  open();
  for (int q = 1; q < kQuantities; ++q) window->selectQuantity(q);  // all six traces
  box("pointsEdit")->setText("300");
  ASSERT_TRUE(sweep());
  const auto& matched = window->chart()->traces();
  ASSERT_EQ(matched.size(), 6u);
  ASSERT_EQ(matched[kReturnLoss].marks.size(), 301u);
  for (chart::Mark m : matched[kReturnLoss].marks) EXPECT_EQ(m, chart::Mark::AtLeast);
  window->chart()->setCursorAt(16.5, 0);
  // The bound takes in the directivity: 30 dB read is at least 23.3 dB.
  EXPECT_THAT(box("quantityReadout0")->text().toStdString(), StartsWith("≥ 23"));
  EXPECT_THAT(box("quantityReadout5")->text().toStdString(), StartsWith("≤ 1.2"));  // 1.15 up

  // An open after the matched pass: never the previous point's values.
  useSimulator("open", "typical");
  ASSERT_TRUE(sweep());
  const auto& open = window->chart()->traces();
  // The phase output rounds off towards 0 degrees, so few points reach the
  // open's flag; the rest are marked by their intervals. None is plain.
  for (size_t i = 0; i < open[kResistance].y.size(); ++i) {
    EXPECT_NE(open[kResistance].marks.at(i), chart::Mark::Valid) << i;
    EXPECT_NEAR(open[kReturnLoss].y[i], 0, 0.2);  // measured, not 30 dB
  }
}

// A cable the core refuses is said as a sentence at the box it is about, for
// each figure typed by hand, and nothing is taken.
TEST(CableDialog, ARefusedFigureIsSaidAtItsBox) {
  for (const auto& [name, value] : std::vector<std::pair<const char*, const char*>>{
           {"cableLength", "-1"}, {"cableVf", "1.5"}, {"cableLoss", "-2"}, {"cableZ0", "0"}}) {
    QString said;
    bool marked = false;
    QTimer::singleShot(0, [&, name = name, value = value] {
      QWidget* dialog = QApplication::activeModalWidget();
      auto* type = dialog->findChild<QComboBox*>("cableType");
      type->setCurrentIndex(type->count() - 1);  // figures by hand
      auto* box = dialog->findChild<QLineEdit*>(name);
      box->setText(value);
      dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
      said = dialog->findChild<QLabel*>("cableProblem")->text();
      marked = !box->styleSheet().isEmpty();
      static_cast<QDialog*>(dialog)->reject();
    });
    EXPECT_TRUE(analyzer::ui::askCable(nullptr, std::nullopt).cancelled) << name;
    EXPECT_TRUE(!said.isEmpty() && said[0].isUpper()) << name << ": " << said.toStdString();
    EXPECT_TRUE(marked) << name;
  }
}

TEST_F(AnalyzerUi, SmithChartFollowsTheSweepTheMemoryAndTheMarkers) {
  useSimulator("rlc:r=30,l=1e-6,c=1.3e-10");
  open();
  ASSERT_TRUE(sweep());
  window->screenToMemory();
  get<QAction>("smithChartAction")->trigger();
  auto* smith = window->smithWindow();
  ASSERT_TRUE(smith && smith->isVisible());
  const auto* disk = smith->chart();
  ASSERT_EQ(disk->liveTraces().size(), 1u);
  ASSERT_EQ(disk->memoryTraces().size(), 1u);
  // The series circuit's circle crosses the real axis at R = 30 ohm (Γ = -0.25),
  // below it (capacitive) at the start and above it at the end.
  const auto& points = disk->liveTraces()[0].trace.points;
  ASSERT_EQ(points.size(), 501u);
  EXPECT_LT(points.front().imag(), 0);
  EXPECT_GT(points.back().imag(), 0);
  const auto crossing = std::min_element(points.begin(), points.end(), [](auto a, auto b) {
    return std::abs(a.imag()) < std::abs(b.imag());
  });
  EXPECT_NEAR(crossing->real(), -0.25, 0.02);
  // A marker on the analyzer's chart stands on the disk with its reading.
  window->chart()->addMarker(13.96);
  ASSERT_EQ(disk->markerReadout().size(), 2);  // the marker, then R and X
  EXPECT_THAT(disk->markerReadout()[0].toStdString(), StartsWith("1: 13.9"));
  prompter.files.push_back((std::filesystem::current_path() / "smith.png").string());
  smith->exportPicture();
  EXPECT_GT(std::filesystem::file_size("smith.png"), 1000u);
}

TEST_F(AnalyzerUi, MatchingNetworkAtTheMarkerAndBandPresets) {
  useSimulator("rlc:r=25,l=1e-6,c=1.3e-10");
  open();
  get<QAction>("region1Band20m")->trigger();  // 13.9125 to 14.4375 MHz
  ASSERT_TRUE(sweep());
  window->chart()->addMarker(14.1);
  get<QAction>("matchingAction")->trigger();
  auto* matching = window->matchingWindow();
  ASSERT_TRUE(matching && matching->isVisible());
  EXPECT_THAT(matching->pointLine()->text().toStdString(), HasSubstr("14.1"));
  // One row per network, each said with its parts' values and units; the
  // rounded parts bring the SWR at the marker close to 1.
  const MatchPoint& point = matching->solutions();
  auto* table = matching->table();
  ASSERT_GE(point.solutions.size(), 2u);
  ASSERT_EQ(static_cast<size_t>(table->rowCount()), point.solutions.size());
  for (int r = 0; r < table->rowCount(); ++r) {
    const MatchSolution& s = point.solutions[static_cast<size_t>(r)];
    EXPECT_LT(s.roundedSwr, 1.5) << r;
    for (const MatchPart& part : {s.rounded.series, s.rounded.shunt}) {
      if (part.kind == MatchPart::Kind::None) continue;
      EXPECT_THAT(table->item(r, 2)->text().toStdString(), HasSubstr(partValueText(part, 2)));
    }
    EXPECT_THAT(table->item(r, 1)->text().toStdString(), Not(HasSubstr("_")));
  }
}

TEST_F(AnalyzerUi, ACableTakenOutShowsTheLoadAtItsFarEnd) {
  useSimulator("line:z0=50,len=10,vf=0.66,loss=16.1@100,load=r=25");
  open();
  box("startEdit")->setText("10");
  box("stopEdit")->setText("20");
  ASSERT_TRUE(sweep());
  std::string error;
  // Through the line the resistance swings far from 25 ohm; the far end reads
  // 25 ohm within each point's interval.
  const auto farEndError = [&] {
    const TraceValues& t = *window->liveValues();
    double worst = 0;
    for (size_t i = 0; i < t.flags.size(); ++i)
      if (t.mark(i, kResistance) != chart::Mark::Invalid)
        worst = std::max<double>(
            worst, std::fabs(t.values[kResistance][i] - 25) - t.halfWidths[kResistance][i]);
    return worst;
  };
  EXPECT_GT(farEndError(), 5);
  window->setCable(parseCable("RG58:10", &error));
  EXPECT_LE(farEndError(), 0.01);
  window->setCable(std::nullopt);
  EXPECT_GT(farEndError(), 5);
}
