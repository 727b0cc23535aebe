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

struct Bench {
  Bench() {
    auto p = std::make_unique<hw::RecordingPort>();
    port = p.get();
    // Changing answers, so that read-outs land in the results.
    port->status = [](size_t n) { return static_cast<uint8_t>((n * 37) & 0x70); };
    instrument.setPort(std::move(p));
    instrument.params.RefClkMHz = 100;
    instrument.params.RefClkMultiplier = 4;
  }
  hw::Instrument instrument;  // real waits (BusyWaitDelayer)
  hw::RecordingPort* port = nullptr;
};

struct Case {
  const char* name;
  // A job on `bench`'s instrument; `result` reads what it measured.
  std::function<std::unique_ptr<common::SteppedJob>(Bench& bench, std::function<float()>& result)>
      make;
};

std::vector<float> gTrace(powermeter::kTraceSize);
analyzer::Channels gChannels;

const Case kCases[] = {
    {"power meter pass, 30 ms a point",
     [](Bench& b, std::function<float()>& result) -> std::unique_ptr<common::SteppedJob> {
       auto plan = powermeter::prepareSweep({"1", "2", "3", "20", "-80"}, 100, {}).plan.value();
       result = [] { return gTrace[0] + gTrace[1] + gTrace[2] + gTrace[3]; };
       return std::make_unique<powermeter::SweepJob>(
           b.instrument, plan, powermeter::Calibration{}, [] { return 30.0; }, gTrace);
     }},
    {"analyzer pass with its 10 ms settling",
     [](Bench& b, std::function<float()>& result) -> std::unique_ptr<common::SteppedJob> {
       auto plan = analyzer::planSweep(3, 30, 20, 100).plan;
       result = [] { return static_cast<float>(gChannels.CanaleA[5] + gChannels.CanaleB[21]); };
       return std::make_unique<analyzer::ReadWriteJob>(b.instrument, plan, gChannels, true);
     }},
};

TEST(JobRunner, HeldWaitsLeaveTheWireAsASpunPassDoes) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    Bench spun;
    std::function<float()> spunResult;
    auto job = c.make(spun, spunResult);
    job->runToEnd();
    const float expected = spunResult();

    Bench held;
    std::function<float()> heldResult;
    job = c.make(held, heldResult);
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
    EXPECT_EQ(held.port->log, spun.port->log);
    EXPECT_EQ(heldResult(), expected);
  }
}

}  // namespace
