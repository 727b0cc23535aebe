// The instrument as the remote-control sessions share it: the settings a
// client sets (instrument, span, points, averaging, the generator), the
// operation under way (a sweep, single or continuous, a calibration pass),
// stepped a slice at a time between network events, and the last results.
// Who switched the generator on is kept, so that it goes off when that
// client leaves.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "analyzer/measurement.h"
#include "analyzer/sweep.h"
#include "analyzer/uncertainty.h"
#include "common/settings_file.h"
#include "common/sweep_control.h"
#include "hw/instrument.h"
#include "powermeter/settings.h"
#include "powermeter/sweep.h"
#include "scpi/session.h"

namespace kolm::remote {

enum class Mode { Analyzer, PowerMeter };

struct SweepSettings {
  double startHz = 3e6;
  double stopHz = 30e6;
  int points = 501;  // measured points: steps + 1
  int average = 1;
  double dwellSeconds = 0;  // the power meter's wait at each point
};

// One power meter or analyzer result: what a sweep measured.
struct Trace {
  Mode mode = Mode::Analyzer;
  std::vector<double> frequenciesHz;
  analyzer::TraceValues analyzer;  // Mode::Analyzer
  analyzer::Channels channels;     // the readings behind it
  std::vector<float> levels;       // Mode::PowerMeter: dBm
  powermeter::LevelLimits limits;
  double startMHz = 0, stopMHz = 0;
  int steps = 0;
  int passes = 1;
};

// A pass that is not a sweep (the crystal fixture's through table), stepped
// a point at a time.
class Passes {
 public:
  virtual ~Passes() = default;
  // One point (or the rest of one held open). False once the pass is done.
  virtual bool step() = 0;
  virtual common::SteppedJob& job() = 0;
};

class Station : public scpi::Device, private common::SweptInstrument, private common::PassRunner {
 public:
  using Clock = std::chrono::steady_clock;
  Station(hw::Instrument& instrument, common::SettingsFolder& settings)
      : instrument_(instrument), settings_(settings), control_(*this, *this) {}
  ~Station() override;

  // scpi::Device
  std::string identity() const override;
  void reset() override;
  int selfTest(std::string& why) override;
  bool busy() const override { return table_ != nullptr || (running() && !continuous()); }
  uint16_t operationCondition() const override;

  Mode mode = Mode::Analyzer;
  SweepSettings sweep;
  // The generator's own frequency (SOURce:FREQuency) and whether the output
  // stays on when the client that switched it on leaves.
  double sourceHz = 10e6;
  bool keepOutput = false;
  // The IARU region whose bands CALCulate:REPort? reports.
  int reportRegion = 1;

  // A sweep of `sweep` on the instrument `mode` names, for `client`; an error
  // (code and words) when it cannot start.
  std::optional<std::pair<int, std::string>> startSweep(int client, bool continuous);
  // The bridge standard (load, open, short) over the sweep settings.
  std::optional<std::pair<int, std::string>> startBridgeStandard(int client, int standard);
  // The crystal fixture's through calibration (1601 levels into Quartz.rif),
  // and R0 (`r0Ohm`, or the one pow.ini keeps when 0) into pow.ini.
  std::optional<std::pair<int, std::string>> startCrystalCalibration(int client, double r0Ohm);
  bool running() const { return table_ != nullptr || control_.running(); }
  bool continuous() const { return control_.mode() == common::SweepControl::Mode::Continuous; }
  // Ends whatever runs, the generator off.
  void abort();
  // The generator on at sourceHz (or off) for `client`.
  std::optional<std::pair<int, std::string>> setOutput(int client, bool on);
  bool outputOn() const { return outputOwner_ >= 0; }
  // A client left: what it started that would otherwise run on ends.
  void clientGone(int client);

  // Works for about `budget`; returns when to come back (empty: nothing to do).
  std::optional<Clock::time_point> work(Clock::duration budget);
  // What the last operation said when it ended badly (taken once).
  std::string takeFailure();

  const Trace& trace() const { return trace_; }
  bool hasTrace() const { return !trace_.frequenciesHz.empty(); }
  // Sweeps completed since start (a new one makes the data fresh).
  long sweepsDone() const { return sweepsDone_; }

  hw::Instrument& instrument() { return instrument_; }
  common::SettingsFolder& settings() { return settings_; }
  // The last operation's result lines (bridge check, crystal calibration).
  std::string lastReport;

 private:
  using Refusal = std::optional<std::pair<int, std::string>>;
  // What the sweep measures: the instrument chosen, or the bridge's standard.
  enum class Kind { Analyzer, PowerMeter, BridgeStandard };
  Refusal startSweeping(int client, Kind kind, bool continuous);
  void finishBridgeStandard();
  void finishTable();
  void leave();

  // common::SweptInstrument: the passes of a sweep, as every front end has them.
  std::optional<common::PassPlan> planPass(bool fresh) override;
  std::optional<common::PassPlan> plannedPass(bool fresh);
  common::SteppedJob& beginPass(bool firstOfSweep, bool newPlan) override;
  void passCompleted(common::PassAverage& average) override;
  void passStopped() override {}
  void sweepEnded(bool) override { leavePort(); }
  void leavePort() override;
  // common::PassRunner: the job is stepped by work().
  void start(common::SteppedJob& job) override { job_ = &job; }
  void stop() override;

  hw::Instrument& instrument_;
  common::SettingsFolder& settings_;
  common::SweepControl control_;
  Kind kind_ = Kind::Analyzer;
  int standard_ = 0;
  std::optional<std::pair<int, std::string>> refusal_;  // why planPass said no
  // The pass under way and what it fills.
  common::SteppedJob* job_ = nullptr;
  std::optional<analyzer::PassJob> analyzerJob_;
  std::optional<powermeter::SweepJob> levelJob_;
  analyzer::SweepPlan analyzerPlan_;
  powermeter::SweepPlan levelPlan_;
  powermeter::Calibration calibration_;
  analyzer::BridgeFigures figures_;
  analyzer::Channels channels_;
  std::vector<float> levels_ = std::vector<float>(powermeter::kTraceSize, 0.f);
  std::unique_ptr<Passes> table_;  // the crystal fixture's pass
  powermeter::PowIni tableIni_;
  int passesOfPlan_ = 0;  // passes completed since the average restarted
  int sweepOwner_ = -1;
  int outputOwner_ = -1;
  Trace trace_;
  long sweepsDone_ = 0;
  std::string failure_;
};

}  // namespace kolm::remote
