// A pass stepped by the window's runner, with its long waits held on a timer
// while the event loop runs, puts on the wire exactly what the same pass run
// straight through (each wait spun) puts there.
#include "common/ui/job_runner.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <memory>

#include "hw/instrument.h"
#include "powermeter/sweep.h"
#include "support/recording_port.h"

using namespace kolm;

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
  instrument.params.RefClkMHz = 100;
  instrument.params.RefClkMultiplier = 4;
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
