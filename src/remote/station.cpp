#include "remote/station.h"

#include <utility>

#include "analyzer/bridge_check.h"
#include "analyzer/files.h"
#include "common/pass_average.h"
#include "common/text.h"
#include "hw/dds.h"
#include "powermeter/averaging.h"
#include "powermeter/level.h"
#include "powermeter/reference.h"
#include "scpi/errors.h"

namespace kolm::remote {

namespace {

using Refusal = std::optional<std::pair<int, std::string>>;

// Analyzer passes of one plan, their readings averaged on the counts.
class AnalyzerPasses : public Passes {
 public:
  AnalyzerPasses(hw::Instrument& instrument, const analyzer::SweepPlan& plan, int average,
                 analyzer::BridgeFigures figures)
      : instrument_(instrument), plan_(plan), average_(average), ring_(average), figures_(figures) {
    again();
  }
  bool step() override {
    if (!job_->done()) {
      job_->step();
      return true;
    }
    // The counts averaged before any point is computed.
    if (average_ > 1) analyzer::averageChannels(ring_, channels_, plan_.points + 1);
    if (++pass_ >= average_) return false;
    job_ = std::make_unique<analyzer::ReadWriteJob>(instrument_, plan_, channels_, false);
    job_->setLongWaitsHeld(true);
    return true;
  }
  common::SteppedJob& job() override { return *job_; }
  void collect(Trace& trace) override {
    trace.mode = Mode::Analyzer;
    trace.startMHz = plan_.start;
    trace.stopMHz = plan_.stop;
    trace.steps = plan_.points;
    trace.passes = average_;
    trace.channels = channels_;
    trace.analyzer =
        analyzer::exportTrace(plan_.points, plan_.start, plan_.stop, channels_, figures_);
    trace.frequenciesHz.resize(trace.analyzer.frequencies.size());
    for (size_t i = 0; i < trace.frequenciesHz.size(); ++i)
      trace.frequenciesHz[i] = trace.analyzer.frequencies[i] * 1e6;
    trace.levels.clear();
  }
  void again() override {
    pass_ = 0;
    job_ = std::make_unique<analyzer::ReadWriteJob>(instrument_, plan_, channels_, true);
    job_->setLongWaitsHeld(true);
  }
  const analyzer::Channels& channels() const { return channels_; }

 private:
  hw::Instrument& instrument_;
  analyzer::SweepPlan plan_;
  int average_;
  common::PassAverage ring_;
  analyzer::BridgeFigures figures_;
  analyzer::Channels channels_;
  std::unique_ptr<analyzer::ReadWriteJob> job_;
  int pass_ = 0;
};

// Power meter passes, their levels averaged in linear power.
class LevelPasses : public Passes {
 public:
  LevelPasses(hw::Instrument& instrument, const powermeter::SweepPlan& plan,
              const powermeter::Calibration& calibration, double dwellMs, int average)
      : instrument_(instrument),
        plan_(plan),
        calibration_(calibration),
        dwellMs_(dwellMs),
        average_(average),
        ring_(average),
        levels_(powermeter::kTraceSize, 0.f) {
    again();
  }
  bool step() override {
    if (!job_->done()) {
      job_->step();
      return true;
    }
    powermeter::averageLevels(ring_, levels_, plan_.Points);
    if (++pass_ >= average_) return false;
    make();
    return true;
  }
  common::SteppedJob& job() override { return *job_; }
  void collect(Trace& trace) override {
    trace.mode = Mode::PowerMeter;
    trace.startMHz = plan_.ViewStart;
    trace.stopMHz = plan_.ViewStop;
    trace.steps = plan_.Points;
    trace.passes = average_;
    trace.levels.assign(levels_.begin(), levels_.begin() + plan_.Points + 1);
    trace.limits = powermeter::levelLimits(calibration_);
    trace.frequenciesHz.resize(trace.levels.size());
    const double step = (trace.stopMHz - trace.startMHz) / plan_.Points;
    for (size_t i = 0; i < trace.levels.size(); ++i)
      trace.frequenciesHz[i] = (trace.startMHz + static_cast<double>(i) * step) * 1e6;
    trace.analyzer = {};
  }
  void again() override {
    pass_ = 0;
    make();
  }
  const std::vector<float>& levels() const { return levels_; }
  const powermeter::SweepPlan& plan() const { return plan_; }

 private:
  void make() {
    const double dwell = dwellMs_;
    job_ = std::make_unique<powermeter::SweepJob>(
        instrument_, plan_, calibration_, [dwell] { return dwell; }, levels_);
    job_->setLongWaitsHeld(true);
  }
  hw::Instrument& instrument_;
  powermeter::SweepPlan plan_;
  powermeter::Calibration calibration_;
  double dwellMs_;
  int average_;
  common::PassAverage ring_;
  std::vector<float> levels_;
  std::unique_ptr<powermeter::SweepJob> job_;
  int pass_ = 0;
};

// The crystal fixture's through pass.
class TablePass : public Passes {
 public:
  TablePass(hw::Instrument& instrument, const powermeter::TableWords& words,
            const powermeter::Calibration& calibration)
      : job_(instrument, words, calibration) {
    job_.setLongWaitsHeld(true);
  }
  bool step() override { return !job_.done() && (job_.step(), true); }
  common::SteppedJob& job() override { return job_; }
  void collect(Trace&) override {}
  void again() override {}
  const powermeter::ReferenceTable& table() const { return job_.table(); }

 private:
  powermeter::QuartzReferenceJob job_;
};

}  // namespace

Station::~Station() {
  if (operation_ || outputOwner_ >= 0) abort();
}

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

uint16_t Station::operationCondition() const { return operation_ ? condition_ : 0; }

Refusal Station::begin(int client, std::unique_ptr<Passes> passes, std::function<void()> finish,
                       bool continuous, uint16_t condition) {
  operation_ = std::move(passes);
  finish_ = std::move(finish);
  continuous_ = continuous;
  condition_ = condition;
  operationOwner_ = client;
  // A sweep takes the generator over.
  outputOwner_ = -1;
  return std::nullopt;
}

Refusal Station::startSweep(int client, bool continuous) {
  if (running()) return std::make_pair(scpi::kInitIgnored, std::string("a pass is running"));
  const double clock = instrument_.params.refClockMHz;
  const double start = sweep.startHz / 1e6, stop = sweep.stopHz / 1e6;
  const int steps = sweep.points - 1;
  if (mode == Mode::Analyzer) {
    if (start <= 0 || stop <= 0)
      return std::make_pair(
          scpi::kSettingsConflict,
          std::string("at 0 Hz the generator gives no signal; sweep from above 0"));
    const auto planned = analyzer::planSweep(start, stop, steps, clock);
    if (!planned.ok()) return std::make_pair(scpi::kSettingsConflict, planned.error);
    auto passes = std::make_unique<AnalyzerPasses>(instrument_, planned.plan, sweep.average,
                                                   analyzer::bridgeFiguresIn(settings_).figures);
    return begin(client, std::move(passes), {}, continuous,
                 scpi::kSweepingBit | scpi::kMeasuringBit);
  }
  std::string problem;
  const powermeter::PowIni ini =
      powermeter::readPowIni(settings_.file(powermeter::kSettingsFile), &problem);
  if (!problem.empty())
    return std::make_pair(scpi::kExecutionError,
                          common::unreadableText(powermeter::kSettingsFile, problem));
  const auto prepared = powermeter::prepareSweep({start, stop, static_cast<double>(steps), 20, -80},
                                                 clock, ini.calibration);
  if (!prepared.plan) return std::make_pair(scpi::kSettingsConflict, prepared.error);
  auto passes = std::make_unique<LevelPasses>(instrument_, *prepared.plan, ini.calibration,
                                              sweep.dwellSeconds * 1e3, sweep.average);
  return begin(client, std::move(passes), {}, continuous, scpi::kSweepingBit | scpi::kMeasuringBit);
}

Refusal Station::startBridgeStandard(int client, int standard) {
  if (running()) return std::make_pair(scpi::kSettingsConflict, std::string("a pass is running"));
  const auto planned = analyzer::planSweep(sweep.startHz / 1e6, sweep.stopHz / 1e6,
                                           sweep.points - 1, instrument_.params.refClockMHz);
  if (!planned.ok()) return std::make_pair(scpi::kSettingsConflict, planned.error);
  if (planned.plan.start <= 0)
    return std::make_pair(scpi::kSettingsConflict,
                          std::string("at 0 Hz the generator gives no signal; check from above 0"));
  auto passes = std::make_unique<AnalyzerPasses>(instrument_, planned.plan, sweep.average,
                                                 analyzer::publishedBridge());
  AnalyzerPasses* pass = passes.get();
  const analyzer::SweepPlan plan = planned.plan;
  auto finish = [this, pass, plan, standard] {
    bool unreadable = false;
    analyzer::BridgeCheckRun run = analyzer::checkRunIn(settings_, &unreadable);
    const auto which = static_cast<analyzer::Standard>(standard);
    lastReport.clear();
    if (run.take(which, plan.start, plan.stop, plan.points,
                 analyzer::standardReadings(pass->channels(), plan.points)))
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
  };
  return begin(client, std::move(passes), finish, false,
               scpi::kCalibratingBit | scpi::kMeasuringBit);
}

Refusal Station::startCrystalCalibration(int client, double r0Ohm) {
  if (running()) return std::make_pair(scpi::kSettingsConflict, std::string("a pass is running"));
  std::string problem;
  const powermeter::PowIni ini =
      powermeter::readPowIni(settings_.file(powermeter::kSettingsFile), &problem);
  if (!problem.empty())
    return std::make_pair(scpi::kExecutionError,
                          common::unreadableText(powermeter::kSettingsFile, problem));
  powermeter::PowIni changed = ini;
  if (r0Ohm > 0) changed.R0 = static_cast<float>(r0Ohm);
  if (!(changed.R0 > 0))
    return std::make_pair(scpi::kSettingsConflict,
                          std::string("pow.ini holds no R0: give the fixture's resistance, "
                                      "CAL:CRYS OHM"));
  std::string error = powermeter::calibrationError(ini.calibration);
  const auto words =
      powermeter::tableWords(instrument_.params.refClockMHz, powermeter::kRifEntries, &error);
  if (!words || !error.empty()) return std::make_pair(scpi::kSettingsConflict, error);
  auto passes = std::make_unique<TablePass>(instrument_, *words, ini.calibration);
  TablePass* pass = passes.get();
  const powermeter::Calibration calibration = ini.calibration;
  auto finish = [this, pass, calibration, changed] {
    lastReport.clear();
    const std::string wrong = powermeter::throughTableProblem(
        pass->table(), powermeter::levelLimits(calibration), "The crystal fixture's through path");
    std::string why;
    if (!wrong.empty())
      failure_ = wrong + " Quartz.rif was not changed.";
    else if (!powermeter::writeRif(pass->table(), settings_.file(powermeter::kQuartzRifFile), &why))
      failure_ = why;
    else if (!powermeter::savePowIni(powermeter::powIniTexts(changed),
                                     settings_.file(powermeter::kSettingsFile), settings_.keeper()))
      failure_ = "pow.ini could not be written: R0 is not kept";
    else
      lastReport = std::string("file=") + powermeter::kQuartzRifFile +
                   " entries=" + std::to_string(powermeter::kRifEntries) +
                   " r0_ohm=" + common::shortestText(changed.R0, 7) + "\n";
  };
  return begin(client, std::move(passes), finish, false,
               scpi::kCalibratingBit | scpi::kMeasuringBit);
}

void Station::end() {
  if (operation_) operation_->job().abandonOpenPoint();
  operation_.reset();
  finish_ = {};
  continuous_ = false;
  condition_ = 0;
  operationOwner_ = -1;
}

void Station::abort() {
  end();
  outputOwner_ = -1;
  if (!instrument_.reachable()) return;
  // The generator off and every data line low.
  instrument_.switchOff();
  instrument_.out(0);
}

Refusal Station::setOutput(int client, bool on) {
  if (!on) {
    abort();
    return std::nullopt;
  }
  if (running()) return std::make_pair(scpi::kSettingsConflict, std::string("a pass is running"));
  const auto word = hw::checkedTuningWord(sourceHz / 1e6, instrument_.params.refClockMHz);
  if (!word.ok()) return std::make_pair(scpi::kSettingsConflict, word.error);
  instrument_.startGenerator(word.word);
  if (instrument_.portFailed()) {
    abort();
    return std::make_pair(scpi::kHardwareError, instrument_.portFailure());
  }
  outputOwner_ = client;
  return std::nullopt;
}

void Station::clientGone(int client) {
  if (keepOutput) return;
  const bool ownsOutput = outputOwner_ == client;
  const bool ownsEndlessSweep = continuous_ && operationOwner_ == client;
  if (ownsOutput || ownsEndlessSweep) abort();
}

std::optional<Station::Clock::time_point> Station::work(Clock::duration budget) {
  const auto until = Clock::now() + budget;
  while (operation_) {
    if (const auto at = operation_->job().resumeAt(); at && *at > Clock::now()) return *at;
    const bool more = operation_->step();
    if (instrument_.portFailed()) {
      failure_ = instrument_.portFailure();
      abort();
      return std::nullopt;
    }
    if (!more) {
      operation_->collect(trace_);
      if (finish_) finish_();
      ++sweepsDone_;
      if (continuous_) {
        operation_->again();
      } else {
        end();
        instrument_.switchOff();
        instrument_.out(0);
      }
    }
    if (Clock::now() >= until) return Clock::now();
  }
  return std::nullopt;
}

std::string Station::takeFailure() { return std::exchange(failure_, {}); }

}  // namespace kolm::remote
