// Passes stepped by the window's runner, with their long waits held on a timer
// while the event loop runs, put on the wire exactly what the same pass run
// straight through (each wait spun) puts there.
#include "common/ui/job_runner.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <functional>
#include <memory>

#include "analyzer/sweep.h"
#include "hw/instrument.h"
#include "powermeter/sweep.h"

using namespace kolm;

namespace {

// Runs a pass, held or spun, on a recording port with changing answers (so that
// read-outs land in the results) and real waits; gives the wire and a sum of
// what was measured.
using Result = std::function<float()>;
using Pass = std::function<std::unique_ptr<common::SteppedJob>(hw::Instrument&, Result&)>;

std::pair<std::vector<hw::RecordingPort::Access>, float> run(const Pass& pass, bool held) {
  hw::Instrument instrument;
  auto p = std::make_unique<hw::RecordingPort>();
  auto* port = p.get();
  port->status = [](size_t n) { return static_cast<uint8_t>((n * 37) & 0x70); };
  instrument.setPort(std::move(p));
  instrument.params.RefClkMHz = 100;
  instrument.params.RefClkMultiplier = 4;
  Result result;
  auto job = pass(instrument, result);
  if (!held) {
    job->runToEnd();
    return {port->log, result()};
  }
  common::ui::JobRunner runner;
  bool completed = false, over = false;
  QObject::connect(&runner, &common::ui::JobRunner::finished, [&](bool ok) {
    completed = ok;
    over = true;
  });
  // The event loop turns while a point is held open: the wait is not spun.
  int turnsWhileHeld = 0;
  QTimer ticker;
  QObject::connect(&ticker, &QTimer::timeout, [&] { turnsWhileHeld += !!job->resumeAt(); });
  ticker.start(1);
  runner.start(job.get());
  QElapsedTimer clock;
  clock.start();
  while (!over && clock.elapsed() < 20000)
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
  runner.stop();
  EXPECT_TRUE(completed);
  EXPECT_GT(turnsWhileHeld, 0);
  return {port->log, result()};
}

}  // namespace

TEST(JobRunner, HeldWaitsLeaveTheWireAsASpunPassDoes) {
  std::vector<float> trace(powermeter::kTraceSize);
  analyzer::Channels channels;
  const std::pair<const char*, Pass> passes[] = {
      {"power meter pass, 30 ms a point",
       [&](hw::Instrument& instrument, Result& result) -> std::unique_ptr<common::SteppedJob> {
         auto plan = powermeter::prepareSweep({"1", "2", "3", "20", "-80"}, 100, {}).plan.value();
         result = [&] { return trace[0] + trace[1] + trace[2] + trace[3]; };
         return std::make_unique<powermeter::SweepJob>(
             instrument, plan, powermeter::Calibration{}, [] { return 30.0; }, trace);
       }},
      {"analyzer pass with its 10 ms settling",
       [&](hw::Instrument& instrument, Result& result) -> std::unique_ptr<common::SteppedJob> {
         auto plan = analyzer::planSweep(3, 30, 20, 100).plan;
         result = [&] { return static_cast<float>(channels.CanaleA[5] + channels.CanaleB[21]); };
         return std::make_unique<analyzer::ReadWriteJob>(instrument, plan, channels, true);
       }},
  };
  for (const auto& [name, pass] : passes) {
    SCOPED_TRACE(name);
    const auto spun = run(pass, false);
    const auto held = run(pass, true);
    EXPECT_EQ(held.first, spun.first);
    EXPECT_EQ(held.second, spun.second);
  }
}
