// The parts every window shares: the file dialogs, the runner that steps a
// pass, and the About boxes.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <memory>

#include "common/ui/about_box.h"
#include "common/ui/job_runner.h"
#include "common/ui/qt_prompter.h"
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
  // An earlier test may have asked the application to exit, which would end
  // every dialog's loop at once; one pass of the main loop clears that.
  QTimer::singleShot(0, qApp, &QCoreApplication::quit);
  QCoreApplication::exec();
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
