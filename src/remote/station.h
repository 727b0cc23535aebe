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
#include "common/settings_file.h"
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

// The passes of a sweep, stepped a point at a time: the seam between the
// sessions and the jobs that measure.
class Passes {
 public:
  virtual ~Passes() = default;
  // One point (or the rest of one held open). False once every pass is done.
  virtual bool step() = 0;
  virtual common::SteppedJob& job() = 0;
  // The passes done make `trace` (averaged as far as they go).
  virtual void collect(Trace& trace) = 0;
  // A continuous sweep starts its next pass.
  virtual void again() = 0;
};

class Station : public scpi::Device {
 public:
  using Clock = std::chrono::steady_clock;
  Station(hw::Instrument& instrument, common::SettingsFolder& settings)
      : instrument_(instrument), settings_(settings) {}
  ~Station() override;

  // scpi::Device
  std::string identity() const override;
  void reset() override;
  int selfTest(std::string& why) override;
  bool busy() const override { return operation_ != nullptr && !continuous_; }
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
  bool running() const { return operation_ != nullptr; }
  bool continuous() const { return continuous_; }
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
  std::optional<std::pair<int, std::string>> begin(int client, std::unique_ptr<Passes> passes,
                                                   std::function<void()> finish, bool continuous,
                                                   uint16_t condition);
  void end();

  hw::Instrument& instrument_;
  common::SettingsFolder& settings_;
  std::unique_ptr<Passes> operation_;
  std::function<void()> finish_;
  uint16_t condition_ = 0;
  bool continuous_ = false;
  int operationOwner_ = -1;
  int outputOwner_ = -1;
  Trace trace_;
  long sweepsDone_ = 0;
  std::string failure_;
};

}  // namespace kolm::remote
