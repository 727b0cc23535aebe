#include "remote/station.h"

#include <utility>

#include "analyzer/bridge_check.h"
#include "analyzer/files.h"
#include "common/text.h"
#include "hw/dds.h"
#include "powermeter/averaging.h"
#include "powermeter/level.h"
#include "powermeter/reference.h"
#include "scpi/errors.h"

namespace kolm::remote {

namespace {

using Refusal = std::optional<std::pair<int, std::string>>;

Refusal refusal(int code, std::string why) { return std::make_pair(code, std::move(why)); }

// The crystal fixture's through pass.
class TablePass : public Passes {
 public:
  TablePass(hw::Instrument& instrument, const powermeter::TableWords& words,
            const powermeter::Calibration& calibration)
      : job_(instrument, words, calibration), calibration_(calibration) {
    job_.setLongWaitsHeld(true);
  }
  bool step() override { return !job_.done() && (job_.step(), true); }
  common::SteppedJob& job() override { return job_; }
  const powermeter::ReferenceTable& table() const { return job_.table(); }
  const powermeter::Calibration& calibration() const { return calibration_; }

 private:
  powermeter::QuartzReferenceJob job_;
  powermeter::Calibration calibration_;
};

}  // namespace

Station::~Station() { abort(); }

std::string Station::identity() const {
  return std::string("Kolm,Kolm RF instrument,0,") + KOLM_VERSION;
}

void Station::reset() {
  abort();
  mode = Mode::Analyzer;
  sweep = SweepSettings{};
  sourceHz = 10e6;
  keepOutput = false;
  reportRegion = 1;
}

int Station::selfTest(std::string& why) {
  if (instrument_.portFailed()) {
    why = instrument_.portFailure();
    return 1;
  }
  if (!(instrument_.params.refClockMHz > 0)) {
    why = hw::noClockMessage();
    return 2;
  }
  return 0;
}

uint16_t Station::operationCondition() const {
  if (table_ || (control_.running() && kind_ == Kind::BridgeStandard))
    return scpi::kCalibratingBit | scpi::kMeasuringBit;
  return control_.running() ? scpi::kSweepingBit | scpi::kMeasuringBit : 0;
}

// ---- sweeps, through the sweep controller ----

Refusal Station::startSweeping(int client, Kind kind, bool continuous) {
  if (running()) return refusal(scpi::kInitIgnored, "a pass is running");
  kind_ = kind;
  refusal_.reset();
  if (continuous)
    control_.continuous();
  else
    control_.single();
  if (!control_.running())
    return refusal_ ? refusal_ : refusal(scpi::kExecutionError, "the sweep did not start");
  sweepOwner_ = client;
  outputOwner_ = -1;  // a sweep takes the generator over
  return std::nullopt;
}

Refusal Station::startSweep(int client, bool continuous) {
  return startSweeping(client, mode == Mode::Analyzer ? Kind::Analyzer : Kind::PowerMeter,
                       continuous);
}

Refusal Station::startBridgeStandard(int client, int standard) {
  standard_ = standard;
  return startSweeping(client, Kind::BridgeStandard, false);
}

std::optional<common::PassPlan> Station::planPass(bool fresh) {
  const auto plan = plannedPass(fresh);
  // A continuous sweep that can go on no more says why to every client.
  if (!plan && !fresh && refusal_) failure_ = refusal_->second;
  return plan;
}

std::optional<common::PassPlan> Station::plannedPass(bool fresh) {
  const double clock = instrument_.params.refClockMHz;
  const double start = sweep.startHz / 1e6, stop = sweep.stopHz / 1e6;
  const int steps = sweep.points - 1;
  if (kind_ != Kind::PowerMeter) {
    if (start <= 0 || stop <= 0) {
      refusal_ = refusal(scpi::kSettingsConflict,
                         "at 0 Hz the generator gives no signal; sweep from above 0");
      return std::nullopt;
    }
    const auto planned = analyzer::planSweep(start, stop, steps, clock);
    if (!planned.ok()) {
      refusal_ = refusal(scpi::kSettingsConflict, planned.error);
      return std::nullopt;
    }
    analyzerPlan_ = planned.plan;
    // A bridge standard is read against the published figures, which it checks.
    if (fresh)
      figures_ = kind_ == Kind::BridgeStandard ? analyzer::publishedBridge()
                                               : analyzer::bridgeFiguresIn(settings_).figures;
    return common::PassPlan{analyzerPlan_.start, analyzerPlan_.stop, analyzerPlan_.points,
                            sweep.average};
  }
  if (fresh) {
    std::string problem;
    const powermeter::PowIni ini =
        powermeter::readPowIni(settings_.file(powermeter::kSettingsFile), &problem);
    if (!problem.empty()) {
      refusal_ = refusal(scpi::kExecutionError,
                         common::unreadableText(powermeter::kSettingsFile, problem));
      return std::nullopt;
    }
    calibration_ = ini.calibration;
  }
  const auto prepared = powermeter::prepareSweep({start, stop, static_cast<double>(steps), 20, -80},
                                                 clock, calibration_);
  if (!prepared.plan) {
    refusal_ = refusal(scpi::kSettingsConflict, prepared.error);
    return std::nullopt;
  }
  levelPlan_ = *prepared.plan;
  return common::PassPlan{levelPlan_.viewStartMHz, levelPlan_.viewStopMHz, levelPlan_.points,
                          sweep.average};
}

common::SteppedJob& Station::beginPass(bool firstOfSweep, bool newPlan) {
  if (newPlan) passesOfPlan_ = 0;
  analyzerJob_.reset();
  levelJob_.reset();
  if (kind_ != Kind::PowerMeter) {
    analyzerJob_.emplace(instrument_, analyzerPlan_, channels_, firstOfSweep);
    analyzerJob_->setLongWaitsHeld(true);
    return *analyzerJob_;
  }
  const double dwellMs = sweep.dwellSeconds * 1e3;
  levelJob_.emplace(
      instrument_, levelPlan_, calibration_, [dwellMs] { return dwellMs; }, levels_);
  levelJob_->setLongWaitsHeld(true);
  return *levelJob_;
}

void Station::passCompleted(common::PassAverage& average) {
  Trace& t = trace_;
  if (kind_ != Kind::PowerMeter) {
    // The counts averaged before any point is computed.
    if (average.depth() > 1)
      analyzer::averageChannels(average, channels_, analyzerPlan_.points + 1);
    t.mode = Mode::Analyzer;
    t.startMHz = analyzerPlan_.start;
    t.stopMHz = analyzerPlan_.stop;
    t.steps = analyzerPlan_.points;
    t.channels = channels_;
    t.analyzer = analyzer::exportTrace(analyzerPlan_.points, analyzerPlan_.start,
                                       analyzerPlan_.stop, channels_, figures_);
    t.frequenciesHz.resize(t.analyzer.frequencies.size());
    for (size_t i = 0; i < t.frequenciesHz.size(); ++i)
      t.frequenciesHz[i] = t.analyzer.frequencies[i] * 1e6;
    t.levels.clear();
  } else {
    powermeter::averageLevels(average, levels_, levelPlan_.points);
    t.mode = Mode::PowerMeter;
    t.startMHz = levelPlan_.viewStartMHz;
    t.stopMHz = levelPlan_.viewStopMHz;
    t.steps = levelPlan_.points;
    t.levels.assign(levels_.begin(), levels_.begin() + levelPlan_.points + 1);
    t.limits = powermeter::levelLimits(calibration_);
    t.frequenciesHz.resize(t.levels.size());
    const double step = (t.stopMHz - t.startMHz) / levelPlan_.points;
    for (size_t i = 0; i < t.levels.size(); ++i)
      t.frequenciesHz[i] = (t.startMHz + static_cast<double>(i) * step) * 1e6;
    t.analyzer = {};
  }
  // A single sweep's result is whole once every pass it averages is in.
  const bool whole = ++passesOfPlan_ >= average.depth();
  t.passes = std::min(passesOfPlan_, average.depth());
  if (whole || continuous()) ++sweepsDone_;
  if (kind_ == Kind::BridgeStandard && whole) finishBridgeStandard();
}

void Station::finishBridgeStandard() {
  bool unreadable = false;
  analyzer::BridgeCheckRun run = analyzer::checkRunIn(settings_, &unreadable);
  const auto which = static_cast<analyzer::Standard>(standard_);
  lastReport.clear();
  if (run.take(which, analyzerPlan_.start, analyzerPlan_.stop, analyzerPlan_.points,
               analyzer::standardReadings(channels_, analyzerPlan_.points)))
    lastReport += "note=the standards measured over another sweep were dropped\n";
  lastReport += std::string("measured=") + analyzer::standardName(which) + "\n";
  std::optional<analyzer::BridgeCheckResult> result;
  if (run.complete()) {
    result = analyzer::evaluateBridgeCheck(run);
    lastReport += analyzer::bridgeCheckReport(*result);
  }
  const analyzer::CheckKept kept =
      analyzer::keepCheck(settings_, run, result ? &*result : nullptr, unreadable);
  if (!kept.ok)
    failure_ = kept.message;
  else if (result && !kept.figuresStored)
    failure_ = "the standards disagree: figures not stored";
  if (result && kept.figuresStored) lastReport += "figures=stored\n";
}

void Station::stop() {
  // The pass ends at its point boundary; a point held across its wait is
  // dropped unread.
  if (!job_) return;
  std::exchange(job_, nullptr)->abandonOpenPoint();
  control_.passFinished(false);
}

void Station::leavePort() {
  if (!instrument_.reachable()) return;
  instrument_.switchOffAndIdle();
}

// ---- the crystal fixture's pass ----

Refusal Station::startCrystalCalibration(int client, double r0Ohm) {
  if (running()) return refusal(scpi::kSettingsConflict, "a pass is running");
  std::string problem;
  const powermeter::PowIni ini =
      powermeter::readPowIni(settings_.file(powermeter::kSettingsFile), &problem);
  if (!problem.empty())
    return refusal(scpi::kExecutionError,
                   common::unreadableText(powermeter::kSettingsFile, problem));
  tableIni_ = ini;
  if (r0Ohm > 0) tableIni_.r0Ohm = static_cast<float>(r0Ohm);
  if (!(tableIni_.r0Ohm > 0))
    return refusal(scpi::kSettingsConflict,
                   "pow.ini holds no R0: give the fixture's resistance, CAL:CRYS OHM");
  std::string error = powermeter::calibrationError(ini.calibration);
  const auto words =
      powermeter::tableWords(instrument_.params.refClockMHz, powermeter::kRifEntries, &error);
  if (!words || !error.empty()) return refusal(scpi::kSettingsConflict, error);
  table_ = std::make_unique<TablePass>(instrument_, *words, ini.calibration);
  sweepOwner_ = client;
  outputOwner_ = -1;
  return std::nullopt;
}

namespace {
bool changeR0(common::SettingsFolder& folder, float r0) {
  powermeter::PowIniChange change;
  change.r0Ohm = r0;
  return powermeter::changePowIni(folder, change).written;
}
}  // namespace

void Station::finishTable() {
  const auto& pass = static_cast<const TablePass&>(*table_);
  lastReport.clear();
  const std::string wrong =
      powermeter::throughTableProblem(pass.table(), powermeter::levelLimits(pass.calibration()),
                                      "The crystal fixture's through path");
  std::string why;
  if (!wrong.empty())
    failure_ = wrong + " Quartz.rif was not changed.";
  else if (!powermeter::writeRif(pass.table(), settings_.file(powermeter::kQuartzRifFile), &why))
    failure_ = why;
  else if (!changeR0(settings_, tableIni_.r0Ohm))
    failure_ = "pow.ini could not be written: R0 is not kept";
  else
    lastReport = std::string("file=") + powermeter::kQuartzRifFile +
                 " entries=" + std::to_string(powermeter::kRifEntries) +
                 " r0_ohm=" + common::shortestText(tableIni_.r0Ohm, 7) + "\n";
}

// ---- ways out ----

void Station::leave() {
  if (table_) table_->job().abandonOpenPoint();
  table_.reset();
  control_.stop();
  stop();
  sweepOwner_ = -1;
}

void Station::abort() {
  leave();
  outputOwner_ = -1;
  leavePort();
}

Refusal Station::setOutput(int client, bool on) {
  if (!on) {
    abort();
    return std::nullopt;
  }
  if (running()) return refusal(scpi::kSettingsConflict, "a pass is running");
  const auto word = hw::checkedTuningWord(sourceHz / 1e6, instrument_.params.refClockMHz);
  if (!word.ok()) return refusal(scpi::kSettingsConflict, word.error);
  instrument_.startGenerator(word.word);
  if (instrument_.portFailed()) {
    abort();
    return refusal(scpi::kHardwareError, instrument_.portFailure());
  }
  outputOwner_ = client;
  return std::nullopt;
}

void Station::clientGone(int client) {
  if (keepOutput) return;
  const bool ownsOutput = outputOwner_ == client;
  const bool ownsEndlessSweep = continuous() && sweepOwner_ == client;
  if (ownsOutput || ownsEndlessSweep) abort();
}

std::optional<Station::Clock::time_point> Station::work(Clock::duration budget) {
  const auto until = Clock::now() + budget;
  for (;;) {
    common::SteppedJob* job = table_ ? &table_->job() : job_;
    if (!job) return std::nullopt;
    if (const auto at = job->resumeAt(); at && *at > Clock::now()) return *at;
    const bool more = table_ ? table_->step() : (job->step(), !job->done());
    if (instrument_.portFailed()) {
      failure_ = instrument_.portFailure();
      abort();
      return std::nullopt;
    }
    if (!more) {
      if (table_) {
        finishTable();
        table_.reset();
        leavePort();
      } else {
        // The next pass (averaging, continuous) begins through start().
        job_ = nullptr;
        control_.passFinished(true);
      }
      if (!running()) sweepOwner_ = -1;
    }
    if (Clock::now() >= until) return Clock::now();
  }
}

std::string Station::takeFailure() { return std::exchange(failure_, {}); }

}  // namespace kolm::remote
