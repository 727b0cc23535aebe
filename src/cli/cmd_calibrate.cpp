// calibrate: the power meter's two-point calibration without a display, one
// step per call, checked as the window checks it, kept in pow.ini; and the
// previous calibration brought back.
#include <ostream>

#include "cli/cli.h"
#include "common/text.h"
#include "powermeter/calibration.h"
#include "powermeter/settings.h"

namespace kolm::cli {

namespace {

const powermeter::CalibrationCommands kCalibrationCommands{"kolm-cli calibrate --level 0",
                                                           "kolm-cli calibrate --level -60",
                                                           "kolm-cli calibrate --default"};

void printCalibration(Context& ctx, const powermeter::Calibration& c) {
  *ctx.out << "cal0=" << c.countsAt0Dbm << " cal60=" << c.countsAtMinus60Dbm << " calibration="
           << (c.isDefault()                          ? "default"
               : powermeter::withinDetectorFigures(c) ? "stored"
                                                      : "suspect")
           << "\n";
}

// pow.ini's calibration as `change` makes it from the one pow.ini holds when
// it is stored, the calibration it replaces kept for --previous.
int store(Context& ctx, const powermeter::CalibrationChange& change) {
  powermeter::Calibration now;
  const common::SettingsChange stored = powermeter::storeCalibration(ctx.settings, change, &now);
  if (!stored.written) {
    if (!stored.message().empty()) *ctx.err << "kolm-cli: " << stored.message() << "\n";
    return kWriteError;
  }
  printCalibration(ctx, now);
  return 0;
}

int runCalibrate(Context& ctx, Args& args) {
  const auto level = args.number("--level");
  const auto freq = args.number("--freq");
  const bool previous = args.flag("--previous");
  const bool defaults = args.flag("--default");
  const bool external = args.flag("--external");
  const bool force = args.flag("--force");
  args.finish();
  if ((level ? 1 : 0) + previous + defaults != 1)
    throw UsageError{"calibrate needs one of --level 0, --level -60, --previous, --default"};
  if (freq && !level) throw UsageError{"--freq: the frequency of a --level step"};
  if ((external || force) && !level)
    throw UsageError{std::string(external ? "--external" : "--force") + ": for a --level step"};
  if (freq && external)
    throw UsageError{
        "--freq, --external: the generator runs at --freq, or stays off for an "
        "external signal; give one"};
  if (level && *level != 0 && *level != -60) throw UsageError{"--level: 0 or -60 (dBm)"};
  const auto previousFile = ctx.settings.file(powermeter::kPreviousCalibrationFile);
  checkOutput("pow.ini", ctx.settings.file(powermeter::kSettingsFile).string());
  checkOutput(powermeter::kPreviousCalibrationFile, previousFile.string());
  readPowIniWhole(ctx, false);  // a damaged pow.ini is refused before anything is measured

  if (previous) {
    std::string error;
    const auto restored = powermeter::bringBackPreviousCalibration(ctx.settings, &error);
    if (!restored) {
      *ctx.err << "kolm-cli: " << error << "\n";
      return kWriteError;
    }
    printCalibration(ctx, *restored);  // the one it replaced is the previous one now
    return 0;
  }
  if (defaults)
    return store(ctx, [](const powermeter::Calibration&) { return powermeter::Calibration{}; });

  const auto point = *level == 0 ? powermeter::CalPoint::ZeroDbm : powermeter::CalPoint::Minus60Dbm;
  const std::optional<double> mhz =
      external ? std::nullopt : std::optional<double>(freq.value_or(powermeter::kCalibrationMHz));
  const std::string wrong =
      mhz ? powermeter::calibrationFrequencyProblem(*mhz, ctx.instrument.params.refClockMHz)
          : std::string();
  if (!wrong.empty()) throw UsageError{"--freq: " + wrong};
  ctx.openPort();  // only a step at a level measures
  if (mhz)
    tuneDds(ctx, *mhz);
  else
    switchOff(ctx, 0);  // the user's own signal alone reaches the detector
  ctx.instrument.settle(hw::kSettleUnits);
  const int count = powermeter::readCalibrationCount(ctx.instrument);
  switchOff(ctx, 1);
  *ctx.out << "count=" << count << " level_dbm=" << (*level == 0 ? "0" : "-60");
  if (mhz)
    *ctx.out << " freq_mhz=" << common::shortestText(*mhz, 9) << "\n";
  else
    *ctx.out << " source=external\n";
  // Checked against the other point's count as pow.ini holds it when stored.
  std::string problem, overruled;
  const int status = store(ctx, [&](const powermeter::Calibration& now) {
    std::optional<powermeter::Calibration> after;
    const auto check =
        powermeter::calibrationCountWarning(point, count, now, mhz, kCalibrationCommands);
    problem.clear();
    overruled.clear();
    if (!check.problem.empty() && !(force && check.overrulable)) {
      problem = check.problem + " The calibration was not changed." +
                (check.overrulable ? " --force takes the count anyway." : "");
      return after;
    }
    overruled = check.problem;
    after = now;
    (point == powermeter::CalPoint::ZeroDbm ? after->countsAt0Dbm : after->countsAtMinus60Dbm) =
        static_cast<int16_t>(count);
    return after;
  });
  if (!problem.empty()) *ctx.err << "kolm-cli: " << problem << "\n";
  if (!overruled.empty() && status == 0)
    *ctx.err << "kolm-cli: warning: " << overruled << " Taken anyway (--force).\n";
  return status;
}

}  // namespace

extern const Command kCalibrateCommand{
    "calibrate",
    "calibrate --level 0|-60 [--freq MHZ | --external] [--force] | --previous |\n"
    "          --default\n"
    "    One step of the power meter's calibration, kept in pow.ini: the generator\n"
    "    set to MHZ (default 10), the detector read five times 2 ms apart, the\n"
    "    generator switched off; apply 0 dBm (output straight to the detector\n"
    "    input; on the simulator --dut through) or -60 dBm (through 60 dB, --dut\n"
    "    atten:60) before the call. --external leaves the generator off: apply your\n"
    "    own signal of that level instead. Prints count=N level_dbm=L freq_mhz=F\n"
    "    (source=external), then cal0=N cal60=M calibration=stored|default|suspect\n"
    "    (suspect: counts the detector cannot give, as a damaged pow.ini or --force\n"
    "    may leave). A count at the converter's floor or top, or one whose slope\n"
    "    with the other point's count lies outside what the detector can give (7.9\n"
    "    to 11.8 counts per dB), is refused: the reason on standard error, exit 1,\n"
    "    pow.ini unchanged; --force takes it anyway, with the warning (a count equal\n"
    "    to the other point's never: it gives no slope). The calibration a step\n"
    "    replaces is kept in pow-previous.ini; --previous brings it back (and keeps\n"
    "    the one it replaces there), --default sets the default counts 826 and 235.\n"
    "    Only --level opens the port.",
    runCalibrate, Command::Port::WhenNeeded};

}  // namespace kolm::cli
