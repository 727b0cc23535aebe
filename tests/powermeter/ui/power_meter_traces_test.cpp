// Stored traces in the power meter: kept from sweeps and from charts dropped on
// the chart, their difference with its interval, hidden by their box.
#include <QApplication>
#include <QComboBox>
#include <QDropEvent>
#include <QFileInfo>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>

#include "chart/ui/analysis_panel.h"
#include "chart/ui/pass_log.h"
#include "chart/ui/session_commands.h"
#include "chart/ui/trace_list.h"
#include "common/files.h"
#include "power_meter_rig.h"
#include "powermeter/chart_file.h"

using namespace kolm;
using kolm::test::Rig;

namespace {
// What the chart hands the window when a file is dropped on it.
void drop(chart::ui::SweepChart* chart, const QString& file) {
  emit chart->filesDropped({QFileInfo(file).absoluteFilePath()});
}
}  // namespace

TEST(PowerMeterTraces, StoredDroppedSubtractedAndHidden) {
  Rig rig("through");
  rig.open();
  rig.get<QAction>("storedTracesAction")->trigger();
  auto* list = rig.window->findChild<chart::ui::TraceList*>("traceList");
  ASSERT_TRUE(list && list->isVisible());
  EXPECT_FALSE(list->findChild<QPushButton*>("traceComplexDifferenceButton"));  // no reflections
  auto click = [&](const char* name) { list->findChild<QPushButton*>(name)->click(); };
  click("storeTraceButton");  // nothing swept yet: said, nothing kept
  EXPECT_NE(rig.lastMessage().find("no whole trace"), std::string::npos);
  EXPECT_TRUE(list->traces().empty());
  // The default counts leave every level approximate: calibrated first.
  ASSERT_TRUE(rig.run("calibrateZeroDbmAction"));
  rig.connect("atten:57");  // a count of its own: the default counts are the ideal board's
  ASSERT_TRUE(rig.run("calibrateMinus60DbmAction"));
  for (const char* dut : {"atten:20", "atten:30"}) {
    rig.connect(dut);
    ASSERT_TRUE(rig.sweep());
    click("storeTraceButton");
  }
  ASSERT_EQ(list->traces().size(), 2u);
  auto* items = list->findChild<QListWidget*>("storedTraceList");
  items->selectAll();
  click("traceDifferenceButton");
  ASSERT_EQ(list->traces().size(), 3u);
  const chart::StoredTrace& d = list->traces()[2];
  EXPECT_EQ(d.unit, "dB");
  // 10 dB more attenuation: within each point's interval, none of them marked.
  for (size_t i = 0; i < d.marks.size(); ++i)
    EXPECT_EQ(d.marks[i], chart::Mark::Valid)
        << i << " " << static_cast<int>(d.marks[i]) << " " << d.x[i];
  for (size_t i = 0; i < d.size(); ++i) {
    EXPECT_LE(d.low[i], 10.0) << i;
    EXPECT_GE(d.high[i], 10.0) << i;
  }
  EXPECT_EQ(rig.chart()->memoryTraces().size(), 3u);
  items->item(0)->setCheckState(Qt::Unchecked);
  EXPECT_EQ(rig.chart()->memoryTraces().size(), 2u);

  // Dropped files: a chart is added, anything else said and left out.
  powermeter::ChartFile c{10, 3, 30, std::vector<float>(11, -12.f), std::nullopt};
  ASSERT_TRUE(common::writeFileAtomic("c.pwm", powermeter::formatChartFile(c)));
  ASSERT_TRUE(common::writeFileAtomic("c.txt", "x"));
  drop(rig.chart(), "c.txt");
  EXPECT_NE(rig.lastMessage().find("c.txt was not added"), std::string::npos);
  drop(rig.chart(), "c.pwm");
  ASSERT_EQ(list->traces().size(), 4u);
  EXPECT_EQ(list->traces()[3].name, "c.pwm");
  EXPECT_EQ(rig.chart()->memoryTraces().size(), 3u);
  // Its CSV export too; one cut in a row is said by file and line, adding none.
  const std::string csv = powermeter::formatCsv(c, powermeter::LevelLimits{-75, 15});
  ASSERT_TRUE(common::writeFileAtomic("c.csv", csv));
  ASSERT_TRUE(common::writeFileAtomic("cut.csv", csv.substr(0, csv.size() - 6)));
  drop(rig.chart(), "cut.csv");
  EXPECT_NE(rig.lastMessage().find("cut.csv was not added: line 12:"), std::string::npos)
      << rig.lastMessage();
  drop(rig.chart(), "c.csv");
  ASSERT_EQ(list->traces().size(), 5u);
  EXPECT_EQ(list->traces()[4].value, list->traces()[3].value);

  // A limit mask: judged in the Analysis panel, its line in the verdict's colour.
  ASSERT_TRUE(common::writeFileAtomic("m.mask", "kolm-mask 1\nquantity level\nupper 3 30 -25\n"));
  ASSERT_TRUE(common::writeFileAtomic("bad.mask", "kolm-mask 1\nquantity level\nupper 3 30\n"));
  rig.prompter.files = {"bad.mask"};
  click("openMaskButton");
  EXPECT_NE(rig.lastMessage().find("bad.mask:3"), std::string::npos) << rig.lastMessage();
  EXPECT_FALSE(list->mask());
  rig.prompter.files = {"m.mask"};
  click("openMaskButton");
  ASSERT_TRUE(list->mask());
  auto* panel = rig.window->findChild<chart::ui::AnalysisPanel*>("levelAnalysis");
  auto verdictOf = [&] {
    for (int row = 0; !panel->caption(row).isEmpty(); ++row)
      if (panel->caption(row) == "Limits (level):") return panel->value(row);
    return QString();
  };
  EXPECT_EQ(verdictOf(), "pass");  // -30 dBm under -25
  EXPECT_EQ(rig.chart()->memoryTraces().back().colour, QColor(0, 170, 0));
  rig.connect("atten:20");
  ASSERT_TRUE(rig.sweep());
  EXPECT_TRUE(verdictOf().startsWith("fail")) << verdictOf().toStdString();
  EXPECT_EQ(rig.chart()->memoryTraces().back().colour, QColor(220, 0, 0));
}

// A session saved and opened into a fresh window gives the same setup (saved
// again, the same file), and a window opened with "Reopen last session at
// start" ticked opens it itself; one of the other instrument is refused whole,
// and a calibration changed since is said.
TEST(PowerMeterTraces, SessionSavedAndOpenedInAFreshWindow) {
  Rig rig("through");
  rig.open();
  ASSERT_TRUE(rig.run("calibrateZeroDbmAction"));
  rig.connect("atten:57");
  ASSERT_TRUE(rig.run("calibrateMinus60DbmAction"));
  rig.connect("atten:20");
  ASSERT_TRUE(rig.sweep());
  auto* list = rig.window->findChild<chart::ui::TraceList*>("traceList");
  list->storeCurrent();
  ASSERT_TRUE(common::writeFileAtomic("m.mask", "kolm-mask 1\nquantity level\nupper 3 30 -25\n"));
  ASSERT_TRUE(list->setMask("m.mask"));
  rig.chart()->addMarker(7.5);
  rig.chart()->addMarker(12.25);
  rig.get<QLineEdit>("averageEdit")->setText("3");
  rig.get<QLineEdit>("topLevelEdit")->setText("10");
  rig.get<QLineEdit>("bottomLevelEdit")->setText("-70.5");
  rig.get<QLineEdit>("delayEdit")->setText("2.5");
  rig.get<QAction>("holdAction")->trigger();
  rig.get<QAction>("logMarkerAction")->trigger();
  rig.withFile("logPassesAction", "levels.ndjson");
  rig.prompter.inputs = {std::string("after\nthe rain")};
  rig.withFile("saveSessionAction", "a.kolms");
  const auto saved = common::readTextFile("a.kolms");
  ASSERT_TRUE(saved);
  const std::vector<chart::StoredTrace> traces = list->traces();
  rig.window->close();

  rig.open();
  list = rig.window->findChild<chart::ui::TraceList*>("traceList");
  rig.withFile("openSessionAction", "a.kolms");
  EXPECT_EQ(list->traces(), traces);
  ASSERT_TRUE(list->mask());
  EXPECT_EQ(list->mask()->segments.size(), 1u);
  ASSERT_EQ(rig.chart()->markers().markers().size(), 2u);
  EXPECT_EQ(rig.chart()->markers().markers()[1].x, 12.25);
  EXPECT_EQ(rig.text("averageEdit"), "3");
  const auto kept = [&rig] {
    return rig.text("topLevelEdit") == "10" && rig.text("bottomLevelEdit") == "-70.5" &&
           rig.text("delayEdit") == "2.5" && rig.get<QAction>("holdAction")->isChecked() &&
           rig.get<QAction>("logMarkerAction")->isChecked() &&
           rig.window->findChild<chart::ui::PassLog*>()->path() == "levels.ndjson" &&
           rig.get<QAction>("logPassesAction")->isChecked();
  };
  EXPECT_TRUE(kept());
  rig.prompter.inputs = {std::nullopt};  // the note offered is the session's: kept as it is
  rig.withFile("saveSessionAction", "b.kolms");
  EXPECT_FALSE(common::readTextFile("b.kolms"));
  EXPECT_EQ(rig.window->findChild<chart::ui::SessionCommands*>()->note(), "after\nthe rain");
  rig.prompter.inputs = {std::string("after\nthe rain")};
  rig.withFile("saveSessionAction", "b.kolms");
  EXPECT_EQ(common::readTextFile("b.kolms"), saved);
  rig.get<QAction>("reopenSessionAction")->trigger();
  rig.window->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  rig.open();
  list = rig.window->findChild<chart::ui::TraceList*>("traceList");
  EXPECT_EQ(list->traces(), traces);
  EXPECT_TRUE(kept());

  // Another instrument's session, or a cut one: said with file and line, nothing used.
  std::string other = *saved;
  other.replace(other.find("instrument power"), 16, "instrument analyzer");
  const std::string cut = saved->substr(0, saved->size() - 4);
  ASSERT_TRUE(common::writeFileAtomic("other.kolms", other));
  ASSERT_TRUE(common::writeFileAtomic("cut.kolms", cut));
  list->replace({}, std::nullopt);
  for (const char* name : {"other.kolms:2", "cut.kolms:"}) {
    rig.withFile("openSessionAction", std::string(name).substr(0, std::string(name).find(':')));
    EXPECT_NE(rig.lastMessage().find(name), std::string::npos) << rig.lastMessage();
    EXPECT_TRUE(list->traces().empty());
  }
  // A calibration taken again since the session was saved.
  rig.connect("atten:50");
  ASSERT_TRUE(rig.run("calibrateMinus60DbmAction"));
  const size_t before = rig.prompter.messages().size();
  rig.withFile("openSessionAction", "a.kolms");
  EXPECT_EQ(list->traces(), traces);
  ASSERT_EQ(rig.prompter.messages().size(), before + 1);
  EXPECT_NE(rig.lastMessage().find("has changed"), std::string::npos) << rig.lastMessage();
}

// Min/max hold, the log and the strip chart over three passes: the held
// readings are the highest and lowest of them, every pass is in the log, and
// the strip chart has the marker's reading of each.
TEST(PowerMeterTraces, HoldLogAndStripChartOverPasses) {
  Rig rig("through");
  rig.open();
  rig.get<QAction>("holdAction")->trigger();
  rig.withFile("logPassesAction", "levels.csv");
  rig.chart()->addMarker(10);
  rig.get<QAction>("stripChartAction")->trigger();
  for (const char* dut : {"atten:25", "atten:20", "atten:30"}) {
    rig.connect(dut);
    ASSERT_TRUE(rig.sweep());
  }
  auto* list = rig.window->findChild<chart::ui::TraceList*>("traceList");
  const chart::TraceHold* hold = list->hold("level");
  ASSERT_TRUE(hold && hold->highest() && hold->lowest());
  EXPECT_EQ(hold->passes(), 3);
  const size_t n = hold->highest()->size();
  for (size_t i = 0; i < n; ++i) {
    EXPECT_NEAR(hold->highest()->value[i], -20, 0.5) << i;
    EXPECT_NEAR(hold->lowest()->value[i], -30, 0.5) << i;
  }
  bool drawn = false;
  for (const auto& t : rig.chart()->memoryTraces()) drawn |= t.name == "max hold level (3 passes)";
  EXPECT_TRUE(drawn);

  const auto log = common::readTextFile("levels.csv");
  ASSERT_TRUE(log);
  EXPECT_EQ(std::count(log->begin(), log->end(), '\n'), static_cast<long>(2 + 3 * n));
  auto* strip = rig.window->findChild<chart::ui::StripChart*>("stripChart");
  ASSERT_TRUE(strip);
  EXPECT_EQ(strip->strip().size(), 3u);
  // Unticked, the log stops: a further pass adds nothing.
  rig.get<QAction>("logPassesAction")->trigger();
  ASSERT_TRUE(rig.sweep());
  EXPECT_EQ(common::readTextFile("levels.csv"), log);

  // The strip follows the marker chosen above it, or else the active one.
  rig.chart()->addMarker(20);
  ASSERT_EQ(rig.chart()->markers().active(), 2);
  auto* marker = strip->findChild<QComboBox*>("stripMarkerBox");
  for (const auto& [choice, name] : {std::pair{1, "level at 10 MHz"}, {0, "level at 20 MHz"}}) {
    marker->setCurrentIndex(choice);
    ASSERT_TRUE(rig.sweep());
    EXPECT_EQ(strip->strip().size(), 1u);
    ASSERT_EQ(strip->chart()->traces().size(), 1u);
    EXPECT_EQ(strip->chart()->traces()[0].name, name);
  }
}
