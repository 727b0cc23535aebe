// kolm-cli: the instruments without a display, on the same core as the windows.
#pragma once

#include <functional>
#include <initializer_list>
#include <iosfwd>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "analyzer/bridge_check.h"
#include "analyzer/sweep.h"
#include "analyzer/uncertainty.h"
#include "circuit/e_series.h"
#include "common/job.h"
#include "common/settings_file.h"
#include "hw/instrument.h"
#include "hw/port_factory.h"
#include "powermeter/reference.h"
#include "powermeter/settings.h"
#include "sim/sim_port.h"

namespace kolm::cli {

// Exit status for bad arguments, a clock of 0 or a value the hardware cannot take.
inline constexpr int kUsageError = 2;
// Exit status when a result or the trace could not be written.
inline constexpr int kWriteError = 1;
// Exit status when the port stopped working during the command.
inline constexpr int kPortFailed = 3;

// The physical range of a number option (for one command, or for every
// command that has no range of its own for it): a value outside is refused as
// the option is read, before any port access, and the help lists them all.
struct OptionRange {
  const char* command;  // nullptr: every command
  const char* option;
  double low, high;
  const char* unit;
};
std::span<const OptionRange> optionRanges();
// The range of `option` for `command`, or nothing when it has none.
const OptionRange* optionRange(std::string_view command, std::string_view option);
// The help's list of the ranges.
std::string optionRangesHelp();

// Command arguments: "--name value" options and bare words, in order.
class Args {
 public:
  Args(std::vector<std::string> words, std::string command = {})
      : words_(std::move(words)), command_(std::move(command)) {}
  // The value of --name, or empty when absent. Throws UsageError when the
  // option has no value.
  std::optional<std::string> option(const std::string& name);
  // Whether the switch --name (an option without a value) is given.
  bool flag(const std::string& name);
  // A number option; throws UsageError when it is not one number or lies
  // outside the option's range (optionRanges).
  std::optional<double> number(const std::string& name);
  // `value`, given to option `name` as `text`; throws UsageError when it lies
  // outside the option's range.
  double inRange(const std::string& name, double value, const std::string& text) const;
  // A whole-number option; throws UsageError when it is not a whole number.
  std::optional<double> wholeNumber(const std::string& name);
  // A number option `command` cannot do without (a whole one when `whole`);
  // throws UsageError "COMMAND needs NAME" when it is absent.
  double required(const char* command, const std::string& name, bool whole = false);
  // --average N: the passes to average, 1 (the default) to 100; throws
  // UsageError naming the option for anything else.
  int averagePasses();
  // Bare words not taken as options; they count as taken.
  std::vector<std::string> takePositional();
  // Throws UsageError naming any word that no call above has taken.
  void finish() const;

 private:
  std::vector<std::string> words_;
  std::string command_;
  std::vector<bool> used_ = std::vector<bool>(words_.size(), false);
};

struct UsageError {
  std::string message;
};

struct PortFailure {
  std::string message;
};

class JsonResults;

struct Context {
  hw::Instrument instrument;
  std::ostream* out;
  std::ostream* err;
  // The settings files (dds.cfg, pow.ini, level.rif, ...): in the working
  // directory the command is run in, fixed at start; and the files kept aside.
  common::SettingsFolder settings;
  // Set once the command has switched the generator off on its way out.
  bool outputOff = false;
  // Set when a stop signal ended a pass before its end.
  bool stopped = false;
  // The port as chosen (--backend, else dds.cfg) and what the simulator has connected.
  std::string backend{};
  sim::SimulatorOptions simulator{};
  // Set under --json: what `out` receives is given as JSON, one object per result.
  JsonResults* json = nullptr;
  // Opens the port as dds.cfg and the global options say (once; the trace
  // wraps it); throws UsageError when it cannot be opened or reached.
  std::function<void()> openPort{};
};

// The lines printed since the last result make one result (one JSON object
// under --json); a command that prints several results calls it after each.
void endResult(Context& ctx);
// Prints `lines`, a result ending before each line that begins with one of
// `starts` ("group=") and after the last.
void printResults(Context& ctx, const std::string& lines,
                  std::initializer_list<const char*> starts);

struct Command {
  const char* name;
  const char* usage;  // one or more lines for --help
  int (*run)(Context&, Args&);
  // When the port is opened: before the command runs (it measures or drives),
  // by the command when a step needs it (Context::openPort; the port test opens
  // its own and reports why it cannot), or never (a computation on files:
  // dds.cfg is not read either, and a --trace stays empty).
  enum class Port { BeforeRun, WhenNeeded, Never };
  Port port = Port::BeforeRun;
};

// What the words before the command say, and the command's own words.
struct CommandLine {
  bool help = false;
  bool version = false;
  bool json = false;    // results as JSON objects
  std::string backend;  // empty: the one dds.cfg names
  std::optional<std::string> trace;
  std::optional<std::string> dut;
  std::optional<std::string> load;
  std::optional<std::string> board;
  const Command* command = nullptr;
  std::vector<std::string> arguments;
};
// Throws UsageError for an unknown option or command, or an option without its
// value.
CommandLine parseCommandLine(const std::vector<std::string>& words);
// The words that give `line` again.
std::vector<std::string> commandLineWords(const CommandLine& line);

// The whole program: parse, open the port, run the command; the exit status.
int main(int argc, char** argv);

// Strict number from a text, for arguments: the whole text must be one number
// (no blanks between its digits, nothing after it).
double parseNumber(const std::string& text, const std::string& what);

// Resets the DDS, loads the multiplier and the word for `mhz`; throws UsageError
// when the clock is 0 or the word does not fit. Returns the word.
uint32_t tuneDds(Context& ctx, double mhz);

// Throws PortFailure, with the reason, when the port has stopped working: a
// command calls it before it prints or writes what it measured.
void requirePort(const Context& ctx);

// The one switch-off sequence on a command's way out (then `delayUnits`, and
// every data line low when `linesIdle`), then requirePort.
void switchOff(Context& ctx, double delayUnits = 0, bool linesIdle = false);

// The preferred-value series of --series (E12 or E24; E12 when absent) and
// the target resistance of --target (above 0; 50 ohm when absent).
circuit::ESeries seriesOption(Args& args);
double targetOption(Args& args);
// The IARU region of --region (1 when absent), and the span of the band
// preset --band names in it (empty when absent); a band the clock cannot
// reach is refused.
int regionOption(Args& args);
std::optional<std::pair<double, double>> bandOption(Args& args, int region, double clockMHz);

// `average` analyzer passes of `plan` into `channels` (their readings
// averaged), the generator off after them; false (and a line on standard
// error) when a stop signal ended them.
bool analyzerPass(Context& ctx, const analyzer::SweepPlan& plan, const char* command,
                  analyzer::Channels& channels, int average = 1);

// The bridge's figures for the analyzer's intervals: those bridge-check kept in
// bridge.cfg, else the published ones (a bridge.cfg that cannot be read is
// said on standard error); with `calibration`, the calibration kept by
// bridge-calibrate for this instrument, whose terms correct the readings (one
// that cannot be read or was measured on another instrument is said on
// standard error, and the readings are left uncorrected).
analyzer::BridgeFigures bridgeFigures(Context& ctx, bool calibration = true);
// The same with whether they were measured.
analyzer::BridgeFiguresInUse bridgeFiguresInUse(Context& ctx, bool calibration = true);

// Throws UsageError when `path` cannot take the command's output (see
// common::outputTargetProblem), before anything reaches the port.
void checkOutput(const std::string& option, const std::string& path);

// Throws UsageError when there is no file `path` to read (naming why: missing,
// a loop of links, no permission on its folder).
void requireInputFile(const std::string& path);

// pow.ini as the power meter keeps it; throws UsageError, naming the file and
// the line, when a pow.ini there cannot be read whole (nothing is measured or
// written with settings read in part). Counts the detector cannot give are
// said on standard error when `levels` (the command converts levels with them,
// which are then marked).
powermeter::PowIni readPowIniWhole(const Context& ctx, bool levels = true);

// The crystal fixture's through path, Quartz.rif of the working folder, whole;
// throws UsageError when there is none or it cannot be read whole (naming the
// file and the line).
powermeter::ReferenceTable throughReference(const Context& ctx);

// Writes a command's result file whole; false (and one message) when it cannot.
bool writeResult(Context& ctx, const std::string& path, const std::string& content);

// Runs a pass one atomic point at a time until it is done or a stop signal
// arrives, with a progress line on standard error every second ("COMMAND: N of
// M points (P%)"). False when a signal stopped it; PortFailure when the port
// stopped working.
bool runPass(Context& ctx, common::SteppedJob& job, const char* command, int totalPoints,
             const std::function<int()>& measured);

// SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGUSR1, SIGUSR2, SIGALRM and SIGXCPU ask
// the running command to stop (a long per-point delay is cut short, see
// Instrument::settle); SIGPIPE and SIGXFSZ are ignored, so that a closed pipe or a size
// limit shows as a write error instead of ending the program with the
// generator running.
void catchStopSignals();
// The signal that asked to stop, or 0.
int stopSignal();

}  // namespace kolm::cli
