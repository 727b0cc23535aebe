// What both swept instruments' windows share, on each of them as a user meets
// it: stored traces kept from sweeps and from dropped files, the exports,
// sessions, the min/max hold with the pass log and the strip chart.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSvgRenderer>
#include <array>
#include <cmath>

#include "analyzer/calibration.h"
#include "analyzer/files.h"
#include "analyzer/ui/analyzer_view.h"
#include "analyzer/ui/analyzer_window.h"
#include "chart/ui/analysis_panel.h"
#include "chart/ui/pass_log.h"
#include "chart/ui/session_commands.h"
#include "chart/ui/trace_list.h"
#include "common/files.h"
#include "powermeter/ui/power_meter_rig.h"
#include "support/dds_frames.h"

using namespace kolm;
using testing::HasSubstr;

namespace {

struct SweptWindows;

// One of the two windows, and what it reads on the simulator.
struct Swept {
  const char* name;
  QWidget* (*create)(hw::ui::UiContext&);
  bool (*sweeping)(QWidget*);
  std::string quantity;  // of its stored traces
  // Three settings of the simulator (its device and its load), and what the
  // quantity is on each.
  std::array<std::pair<const char*, const char*>, 3> devices;
  std::array<double, 3> truth;
  const char* chartFile;  // in the window's own format
  const char* mask;       // a limit the quantity meets on devices[2], not on devices[1]
  std::vector<std::pair<const char*, const char*>> boxes;  // typed, kept by a session
  // Calibrated, where readings need it to be whole (not approximate).
  void (*calibrate)(SweptWindows&);
  // Made different from what a session was saved with, and what opening it then says.
  void (*recalibrate)(SweptWindows&);
  const char* recalibrated;
  // A stopped pass shows what it measured (or the last whole measurement
  // stays); the DDS is reset at every pass (or at every sweep).
  bool stopShowsWhatWasMeasured, resetEveryPass;
};

void PrintTo(const Swept& s, std::ostream* os) { *os << s.name; }

// A window on the power meter's rig, which its helpers drive.
struct SweptWindows : testing::TestWithParam<Swept>, test::Rig {
  SweptWindows() : Rig("through") {
    busy = [this] { return GetParam().sweeping(window); };
  }
  void SetUp() override { open(); }
  void TearDown() override { close(); }
  void open() {
    window = GetParam().create(context);
    driven = window.data();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.data()));
  }
  void close() {
    if (window) window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  using Rig::connect;
  void connect(int k) {
    const auto& [device, load] = GetParam().devices[k];
    ASSERT_EQ(simulator().configure({device, load, "ideal"}), "");
  }
  chart::ui::TraceList* list() { return get<chart::ui::TraceList>("traceList"); }
  void drop(const char* file) { emit chart()->filesDropped({QFileInfo(file).absoluteFilePath()}); }

  QPointer<QWidget> window;
};

const Swept kPowerMeter{
    "powerMeter",
    &powermeter::ui::createPowerMeterWindow,
    [](QWidget* w) { return static_cast<powermeter::ui::PowerMeterWindow*>(w)->sweeping(); },
    "level",
    {{{"atten:25", "r=50"}, {"atten:20", "r=50"}, {"atten:30", "r=50"}}},
    {-25, -20, -30},
    "c.pwm",
    "kolm-mask 1\nquantity level\nupper 3 30 -25\n",
    {{"averageEdit", "3"},
     {"topLevelEdit", "10"},
     {"bottomLevelEdit", "-70.5"},
     {"delayEdit", "2.5"}},
    [](SweptWindows& t) {  // the default counts leave every level approximate
      ASSERT_TRUE(t.run("calibrateZeroDbmAction"));
      t.connect("atten:57");  // a count of its own: the default counts are the ideal board's
      ASSERT_TRUE(t.run("calibrateMinus60DbmAction"));
    },
    [](SweptWindows& t) {
      t.connect("atten:50");
      ASSERT_TRUE(t.run("calibrateMinus60DbmAction"));
    },
    "has changed",
    true,
    true};

// Return loss of 25, 20 and 30 ohm against 50.
const Swept kAnalyzer{
    "analyzer",
    &analyzer::ui::createAnalyzerWindow,
    [](QWidget* w) { return static_cast<analyzer::ui::AnalyzerWindow*>(w)->sweeping(); },
    "rl",
    {{{"through", "r=25"}, {"through", "r=20"}, {"through", "r=30"}}},
    {20 * std::log10(3.0), 20 * std::log10(70.0 / 30), 20 * std::log10(4.0)},
    "c.vna",
    "kolm-mask 1\nquantity rl\nlower 3 30 10\n",
    {{"averageEdit", "2"}, {"startEdit", "3.5"}},
    [](SweptWindows&) {},
    [](SweptWindows& t) {  // saved without a calibration, opened where one is in use
      analyzer::BridgeCalibration cal;
      cal.measured = "2026-12-09 03:00 UTC";
      cal.setup = analyzer::instrumentSetup(t.instrument);
      cal.startMHz = 1, cal.stopMHz = 60, cal.points = 2;
      cal.terms.assign(3, analyzer::ErrorTerms{});
      ASSERT_TRUE(common::writeFileAtomic(t.context.settings.file(analyzer::kCalibrationFile),
                                          analyzer::formatCalibration(cal)));
      t.close();
      t.open();
    },
    "saved without a calibration",
    false,
    false};

}  // namespace

INSTANTIATE_TEST_SUITE_P(BothInstruments, SweptWindows, testing::Values(kPowerMeter, kAnalyzer),
                         [](const auto& info) { return std::string(info.param.name); });

// Traces kept from two sweeps, the last one's chart file and CSV export
// dropped back (the same values), anything else dropped said and left out;
// the difference of the two sweeps holds the truth in every point's
// interval, a trace unticked is drawn no more. Nothing is stored or exported
// before a measurement.
TEST_P(SweptWindows, StoredTracesFromSweepsAndDroppedFiles) {
  const Swept& p = GetParam();
  get<QAction>("storedTracesAction")->trigger();
  chart::ui::TraceList* list = this->list();
  ASSERT_TRUE(list->isVisible());
  auto click = [&](const char* name) { test::child<QPushButton>(list, name)->click(); };
  click("storeTraceButton");
  withFile("exportCsv", "none.csv");
  EXPECT_TRUE(list->traces().empty());
  EXPECT_FALSE(QFile::exists("none.csv"));
  EXPECT_EQ(prompter.messages().size(), 2u);  // each says why
  p.calibrate(*this);
  get<QLineEdit>("pointsEdit")->setText("50");
  for (int k : {1, 2}) {
    connect(k);
    ASSERT_TRUE(sweep());
    click("storeTraceButton");
  }
  ASSERT_EQ(list->traces().size(), 2u);
  get<QAction>("storedTracesAction")->trigger();  // hidden; a drop shows it again
  withFile("saveAsAction", p.chartFile);
  withFile("exportCsv", "c.csv");
  EXPECT_EQ(get<QLabel>("statusLine")->text(), "Saved to c.csv");
  const std::string csv = common::readTextFile("c.csv").value_or("");
  ASSERT_TRUE(common::writeFileAtomic("cut.csv", csv.substr(0, csv.size() - 6)));
  ASSERT_TRUE(common::writeFileAtomic("c.txt", "x"));
  for (const char* file : {"c.txt", "cut.csv"}) {
    drop(file);
    EXPECT_THAT(prompter.messages().back(), HasSubstr(std::string(file) + " was not added"));
  }
  EXPECT_NE(prompter.messages().back().find(": line "), std::string::npos);
  drop(p.chartFile);
  EXPECT_TRUE(list->isVisible());
  drop("c.csv");
  const auto& t = list->traces();
  ASSERT_EQ(t.size(), 4u);
  for (size_t k : {2u, 3u}) {
    ASSERT_EQ(t[k].size(), t[1].size()) << k;
    EXPECT_EQ(t[k].marks, t[1].marks) << k;
    for (size_t i = 0; i < t[1].size(); ++i)
      EXPECT_NEAR(t[k].value[i], t[1].value[i], 1e-4 * (1 + std::fabs(t[1].value[i]))) << k;
  }

  auto* items = list->findChild<QListWidget*>("storedTraceList");
  items->item(0)->setSelected(true);
  items->item(1)->setSelected(true);
  click("traceDifferenceButton");
  ASSERT_EQ(t.size(), 5u);
  const chart::StoredTrace& d = t[4];
  EXPECT_EQ(d.unit, "dB");
  const double truth = p.truth[1] - p.truth[2];
  for (size_t i = 0; i < d.size(); ++i) {
    EXPECT_EQ(d.markAt(i), chart::Mark::Valid) << i << " at " << d.x[i];
    EXPECT_TRUE(d.low[i] <= truth && truth <= d.high[i])
        << d.low[i] << " to " << d.high[i] << " at " << d.x[i];
  }
  const size_t drawn = chart()->memoryTraces().size();
  items->item(0)->setCheckState(Qt::Unchecked);
  EXPECT_EQ(chart()->memoryTraces().size(), drawn - 1);
}

// Pictures under the window's title with two markers' readout, drawn (not a
// bitmap) where the format allows; another format is said and not written.
// The CSV keeps the readings' marks (here the uncalibrated levels, the
// matched load's bounded return loss).
TEST_P(SweptWindows, PicturesOfTheChartAndTheMarksInTheCsv) {
  get<QLineEdit>("pointsEdit")->setText("50");
  ASSERT_TRUE(sweep());
  list()->storeCurrent();
  withFile("exportCsv", "m.csv");
  drop("m.csv");
  ASSERT_EQ(list()->traces().size(), 2u);
  const std::vector<chart::Mark>& marks = list()->traces()[0].marks;
  EXPECT_EQ(list()->traces()[1].marks, marks);
  EXPECT_EQ(std::count(marks.begin(), marks.end(), chart::Mark::Valid), 0);
  chart()->addMarker(10);
  chart()->addMarker(20);
  prompter.files = {"c.svg", "c.pdf", "c.png", "c.bmp"};
  for (int i = 0; i < 4; ++i) get<QAction>("exportPicture")->trigger();
  const QByteArray svg = QByteArray::fromStdString(common::readTextFile("c.svg").value_or(""));
  EXPECT_TRUE(QSvgRenderer(svg).isValid());
  EXPECT_TRUE(svg.contains(window->windowTitle().toUtf8()));
  EXPECT_TRUE(svg.contains("M2\u2212M1") || svg.contains("M2&#x2212;M1")) << "delta readout";
  EXPECT_FALSE(svg.contains("<image"));
  EXPECT_EQ(common::readTextFile("c.pdf").value_or("/Subtype /Image").find("/Subtype /Image"),
            std::string::npos);
  EXPECT_GT(QImage("c.png").height(), chart()->height());  // the title line above it
  EXPECT_EQ(prompter.messages().back(), "A picture is saved as .png, .svg or .pdf.");
  EXPECT_FALSE(QFile::exists("c.bmp"));
}

// A session saved and opened into a fresh window gives the same setup (saved
// again, the same file), and a window opened with "Reopen last session at
// start" ticked opens it itself; one of the other instrument is refused whole
// and said with its file and line (a cut one: the session's own test), and a
// calibration changed since is said.
TEST_P(SweptWindows, SessionSavedAndOpenedInAFreshWindow) {
  const Swept& p = GetParam();
  p.calibrate(*this);
  get<QLineEdit>("pointsEdit")->setText("50");
  connect(1);
  ASSERT_TRUE(sweep());
  list()->storeCurrent();
  ASSERT_TRUE(common::writeFileAtomic("m.mask", p.mask));
  ASSERT_TRUE(list()->setMask("m.mask"));
  chart()->addMarker(7.5);
  chart()->addMarker(12.25);
  for (const auto& [box, text] : p.boxes) get<QLineEdit>(box)->setText(text);
  std::string why;
  if (auto* a = dynamic_cast<analyzer::ui::AnalyzerWindow*>(window.data()))
    a->setCable(analyzer::parseCable("RG58:10", &why));
  // The list hidden the first time; shown, it is shown in the next window.
  EXPECT_FALSE(get<QAction>("storedTracesAction")->isChecked());
  get<QAction>("storedTracesAction")->trigger();
  get<QAction>("holdAction")->trigger();
  get<QAction>("logMarkerAction")->trigger();
  withFile("logPassesAction", "passes.ndjson");
  prompter.inputs = {std::string("after\nthe rain")};
  withFile("saveSessionAction", "a.kolms");
  const auto saved = common::readTextFile("a.kolms");
  ASSERT_TRUE(saved);
  const std::vector<chart::StoredTrace> traces = list()->traces();
  const auto kept = [&] {
    bool same =
        list()->traces() == traces && list()->mask() && list()->mask()->segments.size() == 1 &&
        chart()->markers().markers().size() == 2 && chart()->markers().markers()[1].x == 12.25 &&
        get<QAction>("holdAction")->isChecked() && get<QAction>("logMarkerAction")->isChecked() &&
        window->findChild<chart::ui::PassLog*>()->path() == "passes.ndjson";
    for (const auto& [box, text] : p.boxes) same &= get<QLineEdit>(box)->text() == text;
    if (auto* a = dynamic_cast<analyzer::ui::AnalyzerWindow*>(window.data()))
      same &= a->cable() && cableSpec(*a->cable()) == "RG58:10";
    return same;
  };
  close();

  open();
  EXPECT_TRUE(list()->isVisible());
  withFile("openSessionAction", "a.kolms");
  EXPECT_TRUE(kept());
  prompter.inputs = {std::nullopt};  // the note offered is the session's: kept as it is
  withFile("saveSessionAction", "b.kolms");
  EXPECT_FALSE(common::readTextFile("b.kolms"));
  EXPECT_EQ(window->findChild<chart::ui::SessionCommands*>()->note(), "after\nthe rain");
  prompter.inputs = {std::string("after\nthe rain")};
  withFile("saveSessionAction", "b.kolms");
  EXPECT_EQ(common::readTextFile("b.kolms"), saved);
  get<QAction>("reopenSessionAction")->trigger();
  close();
  open();
  EXPECT_TRUE(kept());

  std::string other = *saved;  // the other instrument's
  const size_t at = other.find("instrument ") + 11, end = other.find('\n', at);
  other.replace(at, end - at, other.substr(at, end - at) == "power" ? "analyzer" : "power");
  ASSERT_TRUE(common::writeFileAtomic("other.kolms", other));
  list()->replace({}, std::nullopt);
  withFile("openSessionAction", "other.kolms");
  EXPECT_THAT(prompter.messages().back(), HasSubstr("other.kolms:2"));
  EXPECT_TRUE(list()->traces().empty());
  p.recalibrate(*this);
  const size_t before = prompter.messages().size();
  withFile("openSessionAction", "a.kolms");
  EXPECT_EQ(list()->traces(), traces);
  ASSERT_EQ(prompter.messages().size(), before + 1);
  EXPECT_THAT(prompter.messages().back(), HasSubstr(p.recalibrated));
}

// A limit mask judged in the Analysis panel, its line in the verdict's colour;
// one that cannot be read whole is said by file and line, and the mask in use
// stays.
TEST_P(SweptWindows, ALimitMaskJudgedInTheAnalysisPanel) {
  const Swept& p = GetParam();
  p.calibrate(*this);  // an approximate reading is judged neither way
  get<QLineEdit>("pointsEdit")->setText("50");
  connect(2);
  ASSERT_TRUE(sweep());
  const std::string mask = p.mask, cut = mask.substr(0, mask.rfind(' ')) + "\n";  // no limit
  ASSERT_TRUE(common::writeFileAtomic("m.mask", mask) && common::writeFileAtomic("bad.mask", cut));
  for (const char* file : {"m.mask", "bad.mask"}) {
    prompter.files = {file};
    test::child<QPushButton>(list(), "openMaskButton")->click();
  }
  EXPECT_THAT(lastMessage(), HasSubstr("bad.mask:3"));
  auto* panel = window->findChild<chart::ui::AnalysisPanel*>();
  const auto verdict = [&] {
    for (int row = 0; !panel->caption(row).isEmpty(); ++row)
      if (panel->caption(row).toStdString() == "Limits (" + p.quantity + "):")
        return panel->value(row);
    return QString();
  };
  const auto lineIn = [&](const QColor& colour) {
    const auto& drawn = chart()->memoryTraces();
    return std::any_of(drawn.begin(), drawn.end(),
                       [&](const auto& t) { return t.colour == colour; });
  };
  EXPECT_EQ(verdict(), "pass");
  EXPECT_TRUE(lineIn(QColor(0, 170, 0)));
  connect(1);
  ASSERT_TRUE(sweep());
  EXPECT_THAT(verdict().toStdString(), testing::StartsWith("fail"));
  EXPECT_TRUE(lineIn(QColor(220, 0, 0)));
}

// Min/max hold, the log and the strip chart over three passes: the held
// readings are the highest and lowest of them, every pass is in the log, and
// the strip chart has the marker's reading of each; unticked, the log stops;
// the strip follows the marker chosen above it, or else the active one.
TEST_P(SweptWindows, HoldLogAndStripChartOverPasses) {
  const Swept& p = GetParam();
  get<QLineEdit>("pointsEdit")->setText("50");
  get<QAction>("holdAction")->trigger();
  withFile("logPassesAction", "passes.csv");
  chart()->addMarker(10);
  get<QAction>("stripChartAction")->trigger();
  for (int k : {0, 1, 2}) {
    connect(k);
    ASSERT_TRUE(sweep());
  }
  const chart::TraceHold* hold = list()->hold(p.quantity);
  ASSERT_TRUE(hold && hold->highest() && hold->lowest());
  EXPECT_EQ(hold->passes(), 3);
  const size_t n = hold->highest()->size();
  for (size_t i = 0; i < n; ++i) {
    EXPECT_NEAR(hold->highest()->value[i], std::max(p.truth[1], p.truth[2]), 0.5) << i;
    EXPECT_NEAR(hold->lowest()->value[i], std::min(p.truth[1], p.truth[2]), 0.5) << i;
  }
  bool drawn = false;
  for (const auto& t : chart()->memoryTraces())
    drawn |= t.name.startsWith("max hold ") && t.name.endsWith(" (3 passes)");
  EXPECT_TRUE(drawn);

  const auto log = common::readTextFile("passes.csv");
  ASSERT_TRUE(log);
  EXPECT_EQ(std::count(log->begin(), log->end(), '\n'), static_cast<long>(2 + 3 * n));
  auto* strip = window->findChild<chart::ui::StripChart*>("stripChart");
  ASSERT_TRUE(strip);
  EXPECT_EQ(strip->strip().size(), 3u);
  get<QAction>("logPassesAction")->trigger();
  ASSERT_TRUE(sweep());
  EXPECT_EQ(common::readTextFile("passes.csv"), log);

  chart()->addMarker(20);
  ASSERT_EQ(chart()->markers().active(), 2);
  auto* marker = strip->findChild<QComboBox*>("stripMarkerBox");
  for (const auto& [choice, at] : {std::pair{1, " at 10 MHz"}, {0, " at 20 MHz"}}) {
    marker->setCurrentIndex(choice);
    ASSERT_TRUE(sweep());
    EXPECT_EQ(strip->strip().size(), 1u);
    ASSERT_EQ(strip->chart()->traces().size(), 1u);
    EXPECT_THAT(strip->chart()->traces()[0].name.toStdString(), testing::EndsWith(at));
  }
}

// Single clicked during continuous passes ends them after the pass under way
// and one more; Escape stops a pass between two points (the wire rests after
// a whole detector read-out) and says where; closing during a sweep leaves the generator off
// with nothing after it, and the next window opens on the boxes as they were.
TEST_P(SweptWindows, SingleEscapeAndClosingEndTheSweep) {
  const Swept& p = GetParam();
  get<QLineEdit>("pointsEdit")->setText("50");
  get<QAction>("holdAction")->trigger();  // the hold counts the passes
  const auto passes = [&] {
    return list()->hold(p.quantity) ? list()->hold(p.quantity)->passes() : 0;
  };
  auto* continuous = get<QToolButton>("continuousSweepButton");
  continuous->click();
  ASSERT_TRUE(QTest::qWaitFor([&] { return passes() >= 2; }, 10000));
  int done = passes();
  get<QToolButton>("singleSweepButton")->click();
  EXPECT_FALSE(continuous->isChecked());
  ASSERT_TRUE(waitIdle());
  EXPECT_EQ(passes(), done + 2);
  EXPECT_EQ(resets(), p.resetEveryPass ? done + 2 : 2);  // or one a sweep

  // A long pass, stopped at its first shown progress.
  get<QLineEdit>("pointsEdit")->setText("20000");
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window));
  const auto before = chart()->traces().at(0).y;
  bool stopped = false;
  QObject::connect(get<QProgressBar>("sweepProgress"), &QProgressBar::valueChanged, window,
                   [&](int v) {
                     if (!stopped && v > 0 && v < 1000 && (stopped = true))
                       QTest::keyClick(window, Qt::Key_Escape);
                   });
  done = passes();
  continuous->click();
  ASSERT_TRUE(waitIdle());
  EXPECT_TRUE(stopped);
  EXPECT_TRUE(get<QLabel>("statusLine")->text().startsWith("Sweep stopped at point "));
  EXPECT_FALSE(continuous->isChecked());
  EXPECT_EQ(passes(), done);
  EXPECT_EQ(port->writes.back(), 24);
  if (p.stopShowsWhatWasMeasured)
    EXPECT_LT(chart()->traces().at(0).y.size(), 20001u);
  else
    EXPECT_EQ(chart()->traces().at(0).y, before);

  continuous->click();
  ASSERT_TRUE(QTest::qWaitFor([&] { return get<QProgressBar>("sweepProgress")->value() > 0; }));
  get<QAction>("exitAction")->trigger();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(window.isNull());
  std::vector<std::string> events = test::ddsEvents(port->writes);
  while (events.back() == "bad 0") events.pop_back();  // every data line low after it
  EXPECT_EQ(events.back(), "word 0");
  EXPECT_EQ(simulator().tuningWord(), 0u);
  const size_t sent = port->writes.size();
  QTest::qWait(50);
  EXPECT_EQ(port->writes.size(), sent);  // nothing runs on
  open();
  EXPECT_EQ(get<QLineEdit>("pointsEdit")->text(), "20000");
}
