#include <chrono>
#ifndef _WIN32
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif
#include <clocale>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>
#include <utility>

#include "cli/cli.h"
#include "cli/json_output.h"
#include "common/files.h"
#include "common/pass_average.h"
#include "common/settings_file.h"
#include "common/text.h"
#include "hw/dds.h"
#include "hw/output_guard.h"
#include "powermeter/calibration.h"
#include "sim/connection.h"

namespace kolm::cli {

extern const Command kDdsCommand;
extern const Command kTuneCommand;
extern const Command kReadDetectorCommand;
extern const Command kReadBridgeCommand;
extern const Command kPowerSweepCommand;
extern const Command kCalibrateCommand;
extern const Command kAnalyzeCommand;
extern const Command kPortTestCommand;
extern const Command kCrystalCalibrateCommand;
extern const Command kCrystalCommand;
extern const Command kCrystalMatchCommand;
extern const Command kClockCommand;
extern const Command kLadderDesignCommand;
extern const Command kMatchCommand;
extern const Command kCableMeasureCommand;
extern const Command kBridgeCheckCommand;
extern const Command kBridgeForgetCommand;
extern const Command kServeCommand;
extern const Command kBridgeCalibrateCommand;
extern const Command kLogCommand;

namespace {

const Command* const kCommands[] = {
    &kDdsCommand,
    &kTuneCommand,
    &kReadDetectorCommand,
    &kReadBridgeCommand,
    &kPowerSweepCommand,
    &kCalibrateCommand,
    &kAnalyzeCommand,
    &kPortTestCommand,
    &kCrystalCalibrateCommand,
    &kCrystalCommand,
    &kCrystalMatchCommand,
    &kClockCommand,
    &kLadderDesignCommand,
    &kMatchCommand,
    &kCableMeasureCommand,
    &kBridgeCheckCommand,
    &kBridgeForgetCommand,
    &kServeCommand,
    &kBridgeCalibrateCommand,
    &kLogCommand,
};

void printHelp(std::ostream& out) {
  out << "Usage: kolm-cli [GLOBAL OPTIONS] COMMAND [ARGUMENTS]\n"
         "\n"
         "Drives the instrument (or its simulator) without a display. The hardware\n"
         "parameters are read from dds.cfg in the working directory, as the program does.\n"
         "\n"
         "Global options (before the command):\n"
         "  --backend NAME   how the port is reached: sim, ppdev, ppdev:/dev/parportN,\n"
         "                   direct, direct:0xADDR, inpout32 (Windows) (default: the\n"
         "                   back end dds.cfg names, the simulator when it names none)\n"
         "  --trace FILE     append one line per port access: W hh (data write),\n"
         "                   R hh (status read)\n"
         "  --dut DUT        what the simulator has between generator and detector\n"
         "                   (default through; forms below)\n"
         "  --load LOAD      what the simulator's bridge sees (default r=50)\n"
         "  --board BOARD    the simulated board: typical (parts as they come: detector\n"
         "                   and bridge errors, noise; the default), ideal (the\n"
         "                   read-out laws exactly) or harsh (typical with a worse\n"
         "                   bridge: 24 dB directivity, phase ends rounded over 25\n"
         "                   degrees). Its quartz follows dds.cfg.\n"
         "  --json           print each result as one JSON object on a line of its\n"
         "                   own: the keys of the key=value lines, numbers as\n"
         "                   numbers, none as null, a repeated key (warning) as an\n"
         "                   array, other lines in \"text\"\n"
         "  --version        print the version and exit\n"
         "  --help           this text\n"
         "\n"
         "Commands:\n";
  for (const Command* c : kCommands) out << "  " << c->usage << "\n";
  out << "\nWhat the simulator has connected:\n";
  std::string grammar = sim::connectionGrammar();
  for (size_t pos = 0; pos < grammar.size();) {
    size_t end = grammar.find('\n', pos);
    if (end == std::string::npos) end = grammar.size();
    out << "  " << grammar.substr(pos, end - pos) << "\n";
    pos = end + 1;
  }
  out << "\n" << optionRangesHelp();
  out << "\nA stop signal (Ctrl-C, SIGTERM, SIGHUP, SIGQUIT, and every other signal whose\n"
         "default ends the program, real-time signals included) ends a pass at once (a long\n"
         "per-point delay is cut short): the generator is switched off, the trace is written\n"
         "whole and no output file is written. SIGPIPE and SIGXFSZ are ignored. A fault\n"
         "(SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGTRAP, SIGSYS) switches the generator\n"
         "off and ends the program by the signal. Only SIGKILL and a power loss end the\n"
         "program with the generator as it was.\n"
         "\nExit status: 0 done, 1 a result or the trace could not be written or a port\n"
         "test failed, 2 bad arguments or a value the hardware cannot take, 3 the port\n"
         "stopped working (nothing measured is written), 4 and 5 a crystal sorted by\n"
         "crystal --limits, or a sweep judged by --limits, failed or could not be told,\n"
         "128 + N stopped by signal N.\n";
}

// A message with every long run of characters without a blank (an argument of
// 100 000 characters repeated in it) shortened.
std::string shortenedWords(const std::string& message) {
  constexpr size_t kLongest = 120;
  std::string out;
  for (size_t pos = 0; pos < message.size();) {
    size_t end = pos;
    while (end < message.size() && !common::isBlank(message[end])) ++end;
    out += common::shortened(std::string_view(message).substr(pos, end - pos), kLongest - 20);
    for (pos = end; pos < message.size() && common::isBlank(message[pos]); ++pos)
      out += message[pos];
  }
  return out;
}

// The trace, opened to append. A pipe no program reads is refused at once
// (nothing waits for a reader), and a file another program is tracing into is
// refused as well: two passes would cut each other's lines.
std::FILE* openTrace(const std::string& path) {
#ifdef _WIN32
  std::FILE* f = std::fopen(path.c_str(), "a");
  if (!f) throw UsageError{"--trace: cannot open '" + path + "': " + std::strerror(errno)};
  return f;
#else
  const std::string name = "'" + common::shortened(path) + "'";
  const int fd =
      ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0644);
  if (fd < 0 && errno == ENXIO)
    throw UsageError{"--trace: " + name + " is a pipe that no program reads"};
  if (fd < 0) throw UsageError{"--trace: cannot open " + name + ": " + std::strerror(errno)};
  // Writes to a pipe with a reader may wait for it again.
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
    ::close(fd);
    throw UsageError{"--trace: " + name +
                     " is being written by another program; give another file"};
  }
  std::FILE* f = ::fdopen(fd, "a");
  if (!f) {
    ::close(fd);
    throw UsageError{"--trace: cannot open " + name + ": " + std::strerror(errno)};
  }
  return f;
#endif
}

}  // namespace

CommandLine parseCommandLine(const std::vector<std::string>& words) {
  CommandLine line;
  size_t i = 0;
  auto value = [&](const std::string& opt) -> std::string {
    if (i + 1 >= words.size()) throw UsageError{opt + " needs a value"};
    return words[++i];
  };
  for (; i < words.size() && words[i].rfind("--", 0) == 0; ++i) {
    const std::string& w = words[i];
    if (w == "--help") {
      line.help = true;
      return line;
    } else if (w == "--version") {
      line.version = true;
      return line;
    } else if (w == "--json") {
      line.json = true;
    } else if (w == "--backend") {
      line.backend = value(w);
    } else if (w == "--trace") {
      line.trace = value(w);
    } else if (w == "--dut") {
      line.dut = value(w);
    } else if (w == "--load") {
      line.load = value(w);
    } else if (w == "--board") {
      line.board = value(w);
    } else {
      throw UsageError{"unknown option " + w};
    }
  }
  if (i >= words.size()) throw UsageError{"no command given (see kolm-cli --help)"};
  const std::string& name = words[i++];
  for (const Command* c : kCommands)
    if (name == c->name) line.command = c;
  if (!line.command) throw UsageError{"unknown command " + name + " (see kolm-cli --help)"};
  line.arguments.assign(words.begin() + static_cast<long>(i), words.end());
  return line;
}

std::vector<std::string> commandLineWords(const CommandLine& line) {
  if (line.help) return {"--help"};
  if (line.version) return {"--version"};
  std::vector<std::string> words;
  if (line.json) words.push_back("--json");
  auto put = [&](const char* option, const std::optional<std::string>& value) {
    if (!value) return;
    words.push_back(option);
    words.push_back(*value);
  };
  if (!line.backend.empty()) put("--backend", line.backend);
  put("--trace", line.trace);
  put("--dut", line.dut);
  put("--load", line.load);
  put("--board", line.board);
  if (line.command) words.push_back(line.command->name);
  words.insert(words.end(), line.arguments.begin(), line.arguments.end());
  return words;
}

namespace {

// Checks dds.cfg and the back end for a command that uses the port, and
// gives `ctx` the opening of the port (traced into `traceFile`, if open) for
// when the command first needs it.
void preparePort(Context& ctx, const CommandLine& line, std::FILE*& traceFile,
                 hw::TracingPort*& tracing) {
  // dds.cfg whole or not at all, and a clock that can be right: else nothing
  // is sent.
  std::string problem;
  hw::readHardwareConfig(ctx.instrument.params, ctx.settings.file(hw::kHardwareConfigFile),
                         &problem);
  if (!problem.empty())
    throw UsageError{common::unreadableText(hw::kHardwareConfigFile, problem) +
                     " Nothing was sent."};
  if (auto wrong = hw::clockProblem(ctx.instrument.params))
    throw UsageError{*wrong + " Nothing was sent; correct it in the Parameters window."};
  const std::string backend =
      line.backend.empty() ? ctx.instrument.params.portBackend : line.backend;
  if ((line.dut || line.load || line.board) && backend != "sim")
    throw UsageError{"--dut, --load and --board describe the simulator; use --backend sim"};
  sim::SimulatorOptions options;
  if (line.dut) options.dut = *line.dut;
  if (line.load) options.load = *line.load;
  if (line.board) options.board = *line.board;
  ctx.backend = backend;
  ctx.simulator = options;
  // The lambda outlives this call: it holds main's variables by address.
  ctx.openPort = [c = &ctx, file = &traceFile, tracer = &tracing, opened = false]() mutable {
    if (std::exchange(opened, true)) return;
    hw::calibrateDelayLoop(c->instrument);
    auto made = hw::openPort(c->backend, c->instrument.params.portAddress, &c->simulator);
    if (!made.port) throw UsageError{made.error};
    if (*file) {
      auto port = std::make_unique<hw::TracingPort>(std::move(made.port), *file);
      *file = nullptr;
      *tracer = port.get();
      made.port = std::move(port);
    }
    c->instrument.setPort(std::move(made.port));
    if (!c->instrument.reachable())
      throw UsageError{"LptBase in dds.cfg is not a parallel-port address (888, 632 or 956)"};
  };
}

// The trace written whole (or, opened and never used, closed) and standard
// output flushed; a failure of either is the exit status where `status` is 0.
int closeOutputs(int status, std::FILE* traceFile, hw::TracingPort* tracing,
                 const std::optional<std::string>& trace) {
  if (traceFile) std::fclose(traceFile);  // opened, never used
  std::string why;
  if (tracing && !tracing->finish(&why)) {
    std::cerr << "kolm-cli: the trace '" << *trace << "' is incomplete: " << why << "\n";
    if (status == 0) status = kWriteError;
  }
  if (!std::cout.flush()) {
    std::cerr << "kolm-cli: the results could not be written to standard output\n";
    if (status == 0) status = kWriteError;
  }
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  catchStopSignals();
  sim::registerSimulatorBackend();
  // System messages in the user's language; numbers are read and written with
  // "." whatever the locale says.
  std::setlocale(LC_ALL, "");
  std::error_code here;
  Context ctx{hw::Instrument{}, &std::cout, &std::cerr,
              common::SettingsFolder(std::filesystem::current_path(here))};
  std::optional<std::string> trace;
  hw::TracingPort* tracing = nullptr;
  std::FILE* traceFile = nullptr;
  // An end that passes the code below by (std::terminate) still switches the
  // generator off and writes the trace whole.
  hw::OutputGuard guard(ctx.instrument, [&tracing] {
    if (tracing) tracing->finish();
  });
  // A stop signal also cuts a long per-point delay short.
  ctx.instrument.setStopRequest([] { return stopSignal() != 0; });
  int status = 0;
  JsonResults json(std::cout);
  std::ostream jsonOut(&json);
  bool finished = false;  // the command ran to its end, stopped or not
  try {
    const CommandLine line = parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (line.json) {
      ctx.json = &json;
      ctx.out = &jsonOut;
    }
    if (line.help) {
      printHelp(std::cout);
      return 0;
    }
    if (line.version) {
      std::cout << "kolm-cli " << KOLM_VERSION << "\n";
      return 0;
    }
    trace = line.trace;
    if (trace) {
      const std::string problem = common::outputTargetProblem(*trace, common::OutputKind::Appended);
      if (!problem.empty()) throw UsageError{"--trace: " + problem};
      traceFile = openTrace(*trace);
    }

    Args args(line.arguments, line.command->name);
    if (line.command->port == Command::Port::Never) {
      // A computation on files: dds.cfg and the port play no part.
      status = line.command->run(ctx, args);
      finished = true;
    } else {
      preparePort(ctx, line, traceFile, tracing);
      if (line.command->port == Command::Port::BeforeRun) ctx.openPort();
      if (!stopSignal()) {
        status = line.command->run(ctx, args);
        finished = true;
      }
    }
  } catch (const UsageError& e) {
    std::cerr << "kolm-cli: " << shortenedWords(e.message) << "\n";
    status = kUsageError;
  } catch (const PortFailure& e) {
    std::cerr << "kolm-cli: " << shortenedWords(e.message) << "\n";
    status = kPortFailed;
  }
  // A stop signal: the generator off (the command may have left it running, or
  // not have started), whatever the command did. The exit status is the
  // signal's when it stopped something; a signal that came after the command
  // had done its whole work (printed and written everything) leaves its status.
  if (const int signal = stopSignal()) {
    if (!ctx.outputOff && ctx.instrument.reachable()) ctx.instrument.switchOff();
    if (!finished || ctx.stopped) status = 128 + signal;
  }
  // What the command printed after its last result is one more.
  if (ctx.json) json.endResult();
  return closeOutputs(status, traceFile, tracing, trace);
}

std::optional<std::string> Args::option(const std::string& name) {
  for (size_t k = 0; k < words_.size(); ++k) {
    if (words_[k] != name) continue;
    if (k + 1 >= words_.size()) throw UsageError{name + " needs a value"};
    used_[k] = used_[k + 1] = true;
    return words_[k + 1];
  }
  return std::nullopt;
}

bool Args::flag(const std::string& name) {
  bool found = false;
  for (size_t k = 0; k < words_.size(); ++k)
    if (words_[k] == name) found = used_[k] = true;
  return found;
}

std::optional<double> Args::number(const std::string& name) {
  auto text = option(name);
  if (!text) return std::nullopt;
  return inRange(name, parseNumber(*text, name), *text);
}

double Args::inRange(const std::string& name, double value, const std::string& text) const {
  const OptionRange* range = optionRange(command_, name);
  if (range && !(value >= range->low && value <= range->high))
    throw UsageError{name + ": '" + text + "' lies outside " + common::shortestText(range->low) +
                     " to " + common::shortestText(range->high) + " " + range->unit};
  return value;
}

std::optional<double> Args::wholeNumber(const std::string& name) {
  auto v = number(name);
  if (v && *v != common::roundHalfEven(*v))
    throw UsageError{name + ": '" + *option(name) + "' is not a whole number"};
  return v;
}

int Args::averagePasses() {
  const auto text = option("--average");
  if (!text) return 1;
  const std::string problem = common::averagePassesProblem(parseNumber(*text, "--average"));
  if (!problem.empty()) throw UsageError{"--average: '" + *text + "': " + problem};
  return static_cast<int>(parseNumber(*text, "--average"));
}

double Args::required(const char* command, const std::string& name, bool whole) {
  auto v = whole ? wholeNumber(name) : number(name);
  if (!v) throw UsageError{std::string(command) + " needs " + name};
  return *v;
}

std::vector<std::string> Args::takePositional() {
  std::vector<std::string> out;
  for (size_t k = 0; k < words_.size(); ++k)
    if (!used_[k] && words_[k].rfind("--", 0) != 0) {
      used_[k] = true;
      out.push_back(words_[k]);
    }
  return out;
}

void Args::finish() const {
  for (size_t k = 0; k < words_.size(); ++k)
    if (!used_[k]) throw UsageError{"unexpected argument " + words_[k]};
}

double parseNumber(const std::string& text, const std::string& what) {
  const auto v = common::argumentNumber(text);
  if (!v) throw UsageError{what + ": '" + text + "' is not a number"};
  return *v;
}

void endResult(Context& ctx) {
  if (ctx.json) ctx.json->endResult();
}

void printResults(Context& ctx, const std::string& lines,
                  std::initializer_list<const char*> starts) {
  for (size_t at = 0; at < lines.size();) {
    size_t end = lines.find('\n', at);
    end = end == std::string::npos ? lines.size() : end + 1;
    for (const char* start : starts)
      if (at > 0 && lines.compare(at, std::strlen(start), start) == 0) endResult(ctx);
    *ctx.out << lines.substr(at, end - at);
    at = end;
  }
  endResult(ctx);
}

void requirePort(const Context& ctx) {
  // A port that fails mid-way ends the command before anything measured is
  // printed or written.
  if (ctx.instrument.portFailed()) throw PortFailure{ctx.instrument.portFailure()};
}

void switchOff(Context& ctx, double delayUnits, bool linesIdle) {
  if (linesIdle)
    ctx.instrument.switchOffAndIdle(delayUnits);
  else
    ctx.instrument.switchOff(delayUnits);
  ctx.outputOff = true;
  requirePort(ctx);
}

void checkOutput(const std::string& option, const std::string& path) {
  const std::string problem = common::outputTargetProblem(path, common::OutputKind::Replaced);
  if (!problem.empty()) throw UsageError{option + ": " + problem};
}

void requireInputFile(const std::string& path) {
  std::error_code ec;
  if (!std::filesystem::exists(path, ec))
    throw UsageError{common::shortened(path) + ": " + (ec ? ec.message() : "no such file")};
}

powermeter::PowIni readPowIniWhole(const Context& ctx, bool levels) {
  std::string problem;
  powermeter::PowIni ini =
      powermeter::readPowIni(ctx.settings.file(powermeter::kSettingsFile), &problem);
  if (!problem.empty())
    throw UsageError{common::unreadableText(powermeter::kSettingsFile, problem) +
                     " Nothing was changed."};
  const std::string outside = powermeter::detectorFiguresProblem(ini.calibration);
  if (levels && !outside.empty())
    *ctx.err << "kolm-cli: warning: " << powermeter::kSettingsFile << ": " << outside << "\n";
  return ini;
}

powermeter::ReferenceTable throughReference(const Context& ctx) {
  powermeter::ReferenceTable through{};
  std::string problem;
  if (powermeter::readQuartzRif(through, ctx.settings.path(), &problem)) return through;
  if (!problem.empty()) throw UsageError{problem + " Run crystal-calibrate again."};
  throw UsageError{"no Quartz.rif in the working folder: run crystal-calibrate first"};
}

bool writeResult(Context& ctx, const std::string& path, const std::string& content) {
  std::string error;
  if (common::writeFileAtomic(path, content, &error)) return true;
  *ctx.err << "kolm-cli: " << error << "\n";
  return false;
}

bool runPass(Context& ctx, common::SteppedJob& job, const char* command, int totalPoints,
             const std::function<int()>& measured) {
  using clock = std::chrono::steady_clock;
  auto nextReport = clock::now() + std::chrono::seconds(1);
  while (!job.done() && !stopSignal()) {
    job.step();
    requirePort(ctx);
    if (clock::now() >= nextReport) {
      *ctx.err << command << ": " << measured() << " of " << totalPoints << " points ("
               << static_cast<int>(job.progress() * 100) << "%)\n";
      nextReport += std::chrono::seconds(1);
    }
  }
  if (!job.done()) ctx.stopped = true;
  return job.done();
}

}  // namespace kolm::cli
