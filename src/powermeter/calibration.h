// The commands that set the detector's two calibration counts: the generator
// is set to a stated frequency, the user feeds 0 dBm or -60 dBm from it to the
// detector input, the detector is read, the count checked against what such a
// detector can give and proposed; the default counts; and the previous
// calibration, kept in a file of its own so that a change can be undone.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "common/prompt_help.h"
#include "common/prompter.h"
#include "common/settings_change.h"
#include "hw/instrument.h"
#include "powermeter/level.h"

namespace kolm::powermeter {

enum class CalPoint { ZeroDbm, Minus60Dbm };

// The generator's frequency for a calibration unless the user chooses another:
// low enough that the output filter and the DAC's droop take nothing, high
// enough to be clear of the detector's low-frequency ripple.
inline constexpr double kCalibrationMHz = 10;

// What the level detector can give, as data: the slope of the default counts
// (826 at 0 dBm, 235 at -60 dBm: 9.85 counts per dB) and how far a built
// detector's slope may lie from it (the log amplifier's slope spread, the
// converter's reference and the gain resistors, together within 20 %).
struct DetectorFigures {
  double countsPerDb = (kDefaultCountsAt0Dbm - kDefaultCountsAtMinus60Dbm) / 60.0;
  double slopeTolerance = 0.20;
  // How far the slope of a two-point calibration may lie from the detector's
  // own: the two signals' levels known within 0.3 dB each (1 % of the 60 dB
  // between them), a count at either end (0.3 %), and the slope's drift
  // between the calibration's frequency and one some 30 MHz away (0.7 %).
  double calibratedSlopeTolerance = 0.02;
  // The detector's own noise reads at most this far above count 0: a reading
  // near it holds the noise's power besides the signal's (a logarithmic
  // detector's output flattens over its last few dB).
  double noiseAboveZeroDb = 6;
  // A count at or below this one is the detector's floor, at or above the top
  // one its overload (the margins of the level flags, with the nominal slope).
  int floorCount() const;
  int topCount() const;
};
const DetectorFigures& detectorFigures();

// Whether a calibration's counts are ones this detector can give: each clear of
// the converter's floor and top, rising with the level, at a slope within the
// detector's figures (what a calibration checks of each count it takes). The
// default counts are. Counts read from a damaged pow.ini, or taken past the
// checks, may not be: levels read with them are marked (levelLimits).
bool withinDetectorFigures(const Calibration& calibration);
// Why they are not, naming the counts and what the detector gives; empty when
// they are.
std::string detectorFiguresProblem(const Calibration& calibration);
// How far a level difference read with `calibration` may lie from the true one,
// as a fraction of it, when all that is known of the detector's slope is its
// figures: the nominal slope's tolerance for the default counts, more the
// further the calibration's slope lies from the nominal.
double slopeErrorFromFigures(const Calibration& calibration);

// How a front end names its commands in a refusal: the window its menus as
// they read in the language in use, the command line its options.
struct CalibrationCommands {
  std::string zeroDbm, minus60Dbm, defaults;
};
CalibrationCommands windowCalibrationCommands();

// Why a calibration cannot be taken at `mhz` with a clock of `refClkMHz`
// (0 Hz gives no signal, a frequency the DDS cannot make); empty when it can.
std::string calibrationFrequencyProblem(double mhz, double refClkMHz);

// Why `count`, read at `point` and `mhz`, cannot be taken with the other
// point's count in `current`; empty when it can. Refused: a count at the
// converter's floor or top, and a count whose slope with the other one lies
// outside what the detector can give (equal counts among them). The message
// says what to check and that nothing was changed.
std::string calibrationCountProblem(CalPoint point, int count, const Calibration& current,
                                    double mhz, const CalibrationCommands& commands);
// The same check as a warning the user may overrule ("Use anyway", --force):
// the problem without its last sentence, and whether a calibration can be made
// of the count at all (not one equal to the other point's: no slope). `mhz`
// empty for an external signal (the generator off).
struct CountWarning {
  std::string problem;  // empty when the count fits
  bool overrulable = true;
};
CountWarning calibrationCountWarning(CalPoint point, int count, const Calibration& current,
                                     std::optional<double> mhz,
                                     const CalibrationCommands& commands);

// Five read-outs 2 ms apart; only the last one counts (the first ones let the
// detector settle on the applied signal).
int readCalibrationCount(hw::Instrument& instrument);

// The two prompts of a calibration at `point`: the request to apply the signal
// (naming the generator's frequency), and the advice shown after the count's
// Str form.
// With `simulated`, the request also says what to connect on the simulated
// instrument (simulatorConnection) and that the prompt's button connects it.
std::string calibrationRequest(CalPoint point, std::optional<double> mhz, bool simulated = false);
// What the simulated instrument has between generator and detector for a
// calibration at `point`: "through" or "atten:60".
std::string simulatorConnection(CalPoint point);
// What a prompt says on the simulated instrument: `connection` to be made in the
// Simulator window, or by the prompt's button.
std::string simulatorConnectionHint(const std::string& connection);
std::string calibrationAdvice(CalPoint point, int reading);

// Calibration at 0 dBm or -60 dBm at `mhz`: the generator started there (or
// left off when `mhz` is empty: the user applies an external signal), the
// request (Cancel ends), the five readings, the checks (a count that does not
// fit is a warning with "Use anyway"; equal counts are refused), the count with
// its advice (Cancel ends with nothing changed), then the count is taken. The
// generator is switched off on every way out. True when the count was taken
// (the window then runs one sweep).
// `connect`, when it has a step, is offered with the request: it connects
// simulatorConnection(point) on the simulated instrument (not offered for an
// external signal: the generator is off).
bool calibrateLevel(CalPoint point, std::optional<double> mhz, hw::Instrument& instrument,
                    common::Prompter& prompter, Calibration& calibration,
                    const common::PromptHelp& connect = {});

// The default calibration: on OK the counts become 826 and 235 (no sweep follows). True
// when they were set.
bool calibrateDefault(common::Prompter& prompter, Calibration& calibration);

// ---- The previous calibration ----

// Beside pow.ini, whose format does not change: the two counts a change
// replaced, as pow.ini's items 6 and 7 (two quoted numbers, CR LF).
inline constexpr const char* kPreviousCalibrationFile = "pow-previous.ini";

std::string formatPreviousCalibration(const Calibration& calibration);
// Nothing when the file is missing; nothing with `problem` set when it holds
// anything but two counts 0 to 1023 that differ.
std::optional<Calibration> readPreviousCalibration(const std::filesystem::path& path,
                                                   std::string* problem = nullptr);

// Why there is no previous calibration to restore: none kept yet (`problem`
// empty) or the file's problem.
std::string noPreviousCalibrationText(const std::filesystem::path& path,
                                      const std::string& problem);

// A calibration the user accepted, stored at once: under the settings
// folder's lock `change` makes it from the calibration pow.ini holds now (a
// step at one level changes that level's count only), or gives nothing to
// leave it; the one pow.ini held is kept in pow-previous.ini (when it
// differs), then the new one goes into pow.ini, the rest of pow.ini as it is.
// Not written (and `error` says why, the previous one as it was) when either
// cannot be. `stored` receives what pow.ini then holds.
using CalibrationChange = std::function<std::optional<Calibration>(const Calibration& now)>;
common::SettingsChange storeCalibration(common::SettingsFolder& folder,
                                        const CalibrationChange& change,
                                        Calibration* stored = nullptr);

// "Previous calibration": under the lock, the kept calibration goes into
// pow.ini and the one pow.ini held is kept in its place (a second restore
// undoes the first). The calibration now in pow.ini; nothing, with `error`,
// when there is none to restore or a file cannot be read or written.
std::optional<Calibration> bringBackPreviousCalibration(common::SettingsFolder& folder,
                                                        std::string* error);

}  // namespace kolm::powermeter
