// bridge-calibrate: the bridge's error terms measured with standards of known
// value, one standard per call in any order; once all are in, the calibration
// is kept in bridge-cal.cfg and every reading inside its span is corrected.
#include <optional>
#include <ostream>

#include "analyzer/calibration.h"
#include "analyzer/sweep.h"
#include "cli/cli.h"
#include "common/text.h"

namespace kolm::cli {

namespace {

constexpr double kCalibrationStartMHz = 1, kCalibrationStopMHz = 60;
constexpr double kCalibrationSteps = 200;

std::string names() {
  std::string out;
  for (const auto& s : analyzer::calibrationStandards())
    out += std::string(out.empty() ? "" : ", ") + s.name;
  return out;
}

// --previous (`previous`) or --forget: the calibration swapped with the
// previous one, or forgotten.
int swapOrForget(Context& ctx, bool previous) {
  std::string why;
  checkOutput("bridge-cal.cfg", analyzer::kCalibrationFile);
  const bool done = previous ? analyzer::swapPreviousCalibration(ctx.settings, &why)
                             : analyzer::forgetCalibration(ctx.settings, &why);
  if (!why.empty()) *ctx.err << "kolm-cli: " << why << "\n";
  if (!done) return kWriteError;
  *ctx.out << (previous ? "calibration=previous\n" : "calibration=none\n");
  return 0;
}

int runBridgeCalibrate(Context& ctx, Args& args) {
  const bool list = args.flag("--standards");
  const bool previous = args.flag("--previous");
  const bool forget = args.flag("--forget");
  const auto with = args.option("--with");
  const auto value = args.option("--value");
  const auto start = args.number("--start");
  const auto stop = args.number("--stop");
  const auto points = args.wholeNumber("--points");
  const int average = args.averagePasses();
  args.finish();
  if (list + previous + forget + with.has_value() != 1)
    throw UsageError{
        "bridge-calibrate needs one of --with NAME, --standards, --previous and --forget"};
  if (list) {
    *ctx.out << analyzer::standardsList();
    return 0;
  }
  if (previous || forget) return swapOrForget(ctx, previous);
  std::string why;
  const analyzer::CalibrationStandard* standard = analyzer::calibrationStandard(*with);
  if (!standard) throw UsageError{"--with: one of " + names()};
  analyzer::MeasuredStandard measured;
  measured.value = standard->nominal;
  if (value) {
    const auto stated = analyzer::parseStandardValue(*value, standard->nominal.open, &why);
    if (!stated) throw UsageError{"--value: " + why};
    measured.value = *stated;
  }
  measured.passes = average;
  checkOutput("bridge-cal-run.cfg", analyzer::kCalibrationRunFile);
  checkOutput("bridge-cal.cfg", analyzer::kCalibrationFile);
  auto planned =
      analyzer::planSweep(start.value_or(kCalibrationStartMHz), stop.value_or(kCalibrationStopMHz),
                          points.value_or(kCalibrationSteps), ctx.instrument.params.refClockMHz);
  if (!planned.ok()) throw UsageError{planned.error};
  const analyzer::SweepPlan& plan = planned.plan;
  if (plan.start == 0 || plan.stop == 0)
    throw UsageError{
        "--start, --stop: at 0 MHz the generator gives no signal; calibrate from above 0"};

  bool runUnreadable = false;
  analyzer::CalibrationRun run = analyzer::calibrationRunIn(ctx.settings, &runUnreadable);
  analyzer::Channels channels;
  ctx.openPort();  // only a standard measured needs it
  if (!analyzerPass(ctx, plan, "bridge-calibrate", channels, average)) return 0;
  measured.readings = analyzer::standardReadings(channels, plan.points);
  const size_t index = static_cast<size_t>(standard - analyzer::calibrationStandards().data());
  if (run.take(index, plan.start, plan.stop, plan.points, measured))
    *ctx.out << "note=the standards measured over another sweep were dropped\n";
  *ctx.out << "measured=" << standard->name
           << " value=" << analyzer::standardValueText(measured.value);
  const auto missing = run.missing();
  for (size_t k = 0; k < missing.size(); ++k)
    *ctx.out << (k ? "," : " still_to_measure=") << missing[k];
  *ctx.out << "\n";
  std::optional<analyzer::CalibrationResult> result;
  if (missing.empty()) {
    result = analyzer::solveCalibration(run, analyzer::instrumentSetup(ctx.instrument),
                                        bridgeFigures(ctx, false));
    *ctx.out << analyzer::calibrationReport(*result);
  }
  const analyzer::CalibrationKept kept =
      analyzer::keepCalibration(ctx.settings, run, result ? &*result : nullptr, runUnreadable);
  if (!kept.message.empty()) *ctx.err << "kolm-cli: " << kept.message << "\n";
  if (!kept.ok) return kWriteError;
  if (!result) return 0;
  if (!kept.stored) {
    // The readings are kept, so that the standard at fault can be measured
    // again alone; the calibration in use stays.
    *ctx.err << "kolm-cli: " << result->fault << "\n";
    *ctx.out << "calibration=not_stored\n";
    return kWriteError;
  }
  *ctx.out << "calibration=stored file=" << analyzer::kCalibrationFile << "\n";
  return 0;
}

}  // namespace

extern const Command kBridgeCalibrateCommand{
    "bridge-calibrate",
    "bridge-calibrate (--with NAME [--value VALUE] [--start MHZ --stop MHZ --points N]\n"
    "        [--average N] | --standards | --previous | --forget)\n"
    "    Measures one standard on the bridge over the sweep (default 1 to 60 MHz in\n"
    "    200 steps), connected before the call. --standards lists the standards,\n"
    "    one per line as NAME VALUE SIMULATOR-LOAD (the last the simulator's --load\n"
    "    that presents it): an open, a short, a 50 ohm load, 75 and 33.3 ohm made\n"
    "    of 50 ohm resistors, and 50 ohm in series with 100 pF and with 1 nF.\n"
    "    --value states the standard's actual value (r=, l=, c= with p n u m k; an\n"
    "    open's stray capacitance as c=), default the nominal one; resistors are\n"
    "    taken as known to 1 %, capacitors to 2 % and 0.5 pF, inductances to 2 nH.\n"
    "    What earlier calls measured over the same sweep is kept in\n"
    "    bridge-cal-run.cfg; a call over another sweep starts again. Prints\n"
    "    measured=NAME value=VALUE and still_to_measure=. Once all are in, the\n"
    "    error terms are fitted at every frequency (calibration=, and the largest\n"
    "    remaining errors: directivity_pm_max=, tracking_pm_max=,\n"
    "    source_match_pm_max=, slope_pm_max=), kept in bridge-cal.cfg\n"
    "    (calibration=stored), the one they replace kept for --previous; analyze,\n"
    "    match and cable-measure then correct every reading inside the span. A\n"
    "    standard that does not read as what it was said to be (swapped, another\n"
    "    value, badly connected) is named, nothing is stored (exit 1) and its\n"
    "    readings can be measured again alone. --previous brings the previous\n"
    "    calibration back (a second call undoes it); --forget reads uncorrected\n"
    "    again (the calibration kept as the previous one).",
    runBridgeCalibrate, Command::Port::WhenNeeded};

}  // namespace kolm::cli
