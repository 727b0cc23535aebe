// The parts every window shares: the file dialogs, the runner that steps a
// pass, and the About boxes.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>
#include <QTextLayout>
#include <QTimer>
#include <memory>
#include <string>

#include "common/ui/about_box.h"
#include "common/ui/job_runner.h"
#include "common/ui/qt_prompter.h"
#include "common/ui/screen_fit.h"
#include "hw/instrument.h"
#include "powermeter/sweep.h"
#include "support/recording_port.h"
#include "support/temp_dir.h"

using namespace kolm;
using namespace kolm::common::ui;

namespace {

// Types `name` into the next file dialog and accepts it; records its filters.
void answerNextDialog(const QString& name, QStringList* filters) {
  QTimer::singleShot(10, [=] {
    QFileDialog* dialog = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* d = qobject_cast<QFileDialog*>(w); d && d->isVisible()) dialog = d;
    if (!dialog) return answerNextDialog(name, filters);
    *filters = dialog->nameFilters();
    dialog->findChild<QLineEdit*>("fileNameEdit")->setText(name);
    QMetaObject::invokeMethod(dialog, "accept");
  });
}

}  // namespace

TEST(FileDialogTest, FilterTextsShowEachPatternOnce) {
  using kolm::common::ui::qtFilter;
  EXPECT_EQ(qtFilter("file pwm(*.pwm)|*.pwm"), "file pwm(*.pwm)");
  EXPECT_EQ(qtFilter("Charts|*.pwm;*.csv"), "Charts (*.pwm *.csv)");
}

TEST(FileDialogTest, SaveAddsTheFilterExtensionToANameWithoutOne) {
  kolm::test::InTempDir here;
  QtPrompter prompter;
  const QString dir = QString::fromStdString(here.path().string());
  struct Case {
    const char* filter;
    const char* typed;
    const char* saved;
  } cases[] = {
      {"file pwm(*.pwm)|*.pwm", "lp30", "lp30.pwm"},
      {"file pwm(*.pwm)|*.pwm", "kept.pwm", "kept.pwm"},
  };
  for (const Case& c : cases) {
    QStringList filters;
    answerNextDialog(c.typed, &filters);
    const std::string name = prompter.saveFileName("Save File ", c.filter);
    EXPECT_EQ(QString::fromStdString(name), dir + "/" + c.saved) << c.typed;
    EXPECT_EQ(filters, QStringList{kolm::common::ui::qtFilter(c.filter)});
  }
  // Opening offers every file too, so a chart saved under another name is found.
  QStringList filters;
  answerNextDialog("kept.pwm", &filters);
  QFile(dir + "/kept.pwm").open(QIODevice::WriteOnly);
  EXPECT_EQ(QString::fromStdString(prompter.openFileName("Load File", "file pwm(*.pwm)|*.pwm")),
            dir + "/kept.pwm");
  ASSERT_EQ(filters.size(), 2);
  EXPECT_EQ(filters[0], "file pwm(*.pwm)");
}

// A pass stepped by the window's runner, with its long waits held on a timer
// while the event loop runs, puts on the wire exactly what the same pass run
// straight through (each wait spun) puts there.
namespace {

// A power meter pass of 30 ms a point, held or spun, on a recording port with
// changing answers (so that read-outs land in the trace) and real waits: the
// wire, and the sum of the first levels.
std::pair<std::vector<hw::RecordingPort::Access>, float> pass(bool held) {
  hw::Instrument instrument;
  auto p = std::make_unique<hw::RecordingPort>();
  auto* port = p.get();
  port->status = [](size_t n) { return static_cast<uint8_t>((n * 37) & 0x70); };
  instrument.setPort(std::move(p));
  instrument.params.refClockMHz = 100;
  instrument.params.refClockMultiplier = 4;
  std::vector<float> trace(powermeter::kTraceSize);
  auto plan = powermeter::prepareSweep({1, 2, 3, 20, -80}, 100, {}).plan.value();
  powermeter::SweepJob job(
      instrument, plan, powermeter::Calibration{}, [] { return 30.0; }, trace);
  if (held) {
    common::ui::JobRunner runner;
    bool completed = false, over = false;
    QObject::connect(&runner, &common::ui::JobRunner::finished, [&](bool ok) {
      completed = ok;
      over = true;
    });
    // The event loop turns while a point is held open: the wait is not spun.
    int turnsWhileHeld = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { turnsWhileHeld += !!job.resumeAt(); });
    ticker.start(1);
    runner.start(&job);
    QElapsedTimer clock;
    clock.start();
    while (!over && clock.elapsed() < 20000)
      QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    runner.stop();
    EXPECT_TRUE(completed);
    EXPECT_GT(turnsWhileHeld, 0);
  } else {
    job.runToEnd();
  }
  return {port->log, trace[0] + trace[1] + trace[2] + trace[3]};
}

}  // namespace

TEST(JobRunner, HeldWaitsLeaveTheWireAsASpunPassDoes) {
  const auto spun = pass(false);
  const auto held = pass(true);
  EXPECT_EQ(held.first, spun.first);
  EXPECT_EQ(held.second, spun.second);
}

// The boxes' own words, typos included, and one box per kind brought forward.
TEST(AboutBoxes, EachShowsItsTitleAndTheVersionAndOpensOnce) {
  EXPECT_EQ(versionLine(), "Kolm  Version : 1.0.9");
  EXPECT_EQ(aboutTexts(AboutKind::Vfo).title, "DIGITAL VFO FROM 0 TO 160 mHz");
  AboutBoxes boxes;
  for (auto kind :
       {AboutKind::Kolm, AboutKind::Vfo, AboutKind::PowerMeter, AboutKind::AntennaAnalyzer}) {
    QDialog* box = boxes.show(kind);
    EXPECT_EQ(box->windowTitle(), aboutTexts(kind).caption);
    EXPECT_EQ(box->findChild<QLabel*>("titleLabel")->text(), aboutTexts(kind).title);
    EXPECT_EQ(box->findChild<QLabel*>("versionLabel")->text(), versionLine());
    EXPECT_EQ(box->findChild<QLabel*>("disclaimerLabel")->text(),
              "( Pay attention Programme  on Beta Test !!)");
    EXPECT_EQ(box->findChild<QPushButton*>("systemInfoButton")->text(), "&System Info...");
    EXPECT_EQ(boxes.show(kind), box);  // brought forward, not opened twice
    box->close();
  }
}

// A place kept from a window is given back only where the window lies whole
// on a screen at no less than its minimum size; the window that closed there
// opens there again, one kept past the screen opens on it.
TEST(WindowPlaces, KeptOnlyWhereTheyStillFit) {
  const QList<QRect> screens{{0, 0, 1920, 1040}, {1920, 0, 1366, 728}};
  const QMargins frame(4, 30, 4, 4);
  struct Case {
    QRect kept;
    bool taken;
  };
  for (const auto& [kept, taken] : std::vector<Case>{{{100, 100, 800, 600}, true},
                                                     {{2000, 40, 1000, 600}, true},
                                                     {{1800, 100, 800, 600}, false},  // across both
                                                     {{100, 10, 800, 600}, false},    // title off
                                                     {{2000, 40, 1400, 600}, false},
                                                     {{100, 100, 500, 600}, false},  // too small
                                                     {{-900, 100, 800, 600}, false}})
    EXPECT_EQ(common::ui::placeStillFitting(kept, frame, {600, 400}, screens).has_value(), taken)
        << kept.x() << "," << kept.y() << " " << kept.width() << "x" << kept.height();

  test::TempDir dir;
  const QString file = QString::fromStdString((dir.path() / "kolm.ini").string());
  common::ui::keepWindowPlaces(file);
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  const QRect inside(area.left() + 120, area.top() + 90, 420, 300);
  for (const QRect& kept : {inside, QRect(area.right() + 50, area.top() + 90, 420, 300)}) {
    {
      QWidget first;
      first.setObjectName("placedWindow");
      first.show();
      first.setGeometry(kept);
      first.close();
    }
    QWidget again;
    again.setObjectName("placedWindow");
    again.show();
    EXPECT_EQ(again.geometry() == kept, kept == inside);
    EXPECT_TRUE(area.contains(again.geometry()));
  }
  common::ui::keepWindowPlaces({});
}

// A message box never leaves one word alone on its last line, however its text
// wraps: the calibration's advice ends "premendo OK". Texts of every length
// from one line to several, each ended by the short word.
TEST(MessageBoxes, NoWordAloneOnTheLastLine) {
  QtPrompter prompter;
  QString text = " 712    Se il numero visualizzato";
  for (int words = 0; words < 40; ++words) {
    text += words % 3 ? " accettare" : " tra 800 e 900";
    QString lastLine;
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      auto* label = box->findChild<QLabel*>("qt_msgbox_label");
      QTextLayout layout(label->text(), label->font());
      layout.beginLayout();
      for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(label->contentsRect().width());
        lastLine = label->text().mid(line.textStart(), line.textLength());
      }
      layout.endLayout();
      box->accept();
    });
    prompter.message((text + " OK").toStdString(), kolm::common::Icon::None, "Kolm");
    EXPECT_TRUE(lastLine.trimmed().contains(QRegularExpression("[\\s\\x{00a0}]")))
        << words << ": " << lastLine.toStdString();
  }
}

// While a window's prompt waits, another window takes its own typing: what is
// typed there goes there, not into the prompt's field.
TEST(MessageBoxes, TypingInAnotherWindowStaysThere) {
  QWidget asking, other;
  auto* otherField = new QLineEdit(&other);
  for (QWidget* w : {&asking, &other}) {
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
  }
  QtPrompter prompter(&asking);
  QString prompted;
  QTimer::singleShot(10, [&] {
    auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    // As the window system delivers keys: a window a prompt blocks gets none.
    otherField->setFocus();
    for (char c : std::string("through")) QTest::keyClick(other.windowHandle(), c);
    prompted = dialog->textValue();
    dialog->accept();
  });
  const auto answer = prompter.input("Kolm", "R0, ohm:", "50");
  EXPECT_EQ(otherField->text(), "through");
  EXPECT_EQ(prompted, "50");
  EXPECT_EQ(answer, std::optional<std::string>("50"));
}
