#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>

#include "cli/cli.h"
#include "common/text.h"
#include "hw/dds.h"
#include "sim/connection.h"

namespace kolm::cli {

extern const Command kDdsCommand;
extern const Command kTuneCommand;
extern const Command kReadDetectorCommand;
extern const Command kReadBridgeCommand;
extern const Command kPowerSweepCommand;
extern const Command kAnalyzeCommand;
extern const Command kPortTestCommand;

namespace {

const Command* const kCommands[] = {
    &kDdsCommand,        &kTuneCommand,    &kReadDetectorCommand, &kReadBridgeCommand,
    &kPowerSweepCommand, &kAnalyzeCommand, &kPortTestCommand,
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
  out << "\nExit status: 0 done, 1 a file could not be written or a port test failed,\n"
         "2 bad arguments or a value the hardware cannot take, 3 the port stopped working.\n";
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> words(argv + 1, argv + argc);
  std::string backend;
  std::string trace;
  hw::PortOptions options;
  bool dutGiven = false;
  bool loadGiven = false;
  size_t i = 0;
  auto value = [&](const std::string& opt) -> std::string {
    if (i + 1 >= words.size()) throw UsageError{opt + " needs a value"};
    return words[++i];
  };
  try {
    for (; i < words.size() && words[i].rfind("--", 0) == 0; ++i) {
      const std::string& w = words[i];
      if (w == "--help") {
        printHelp(std::cout);
        return 0;
      } else if (w == "--version") {
        std::cout << "kolm-cli " << KOLM_VERSION << "\n";
        return 0;
      } else if (w == "--backend") {
        backend = value(w);
      } else if (w == "--trace") {
        trace = value(w);
      } else if (w == "--dut") {
        options.simDut = value(w);
        dutGiven = true;
      } else if (w == "--load") {
        options.simLoad = value(w);
        loadGiven = true;
      } else {
        throw UsageError{"unknown option " + w};
      }
    }
    if (i >= words.size()) throw UsageError{"no command given (see kolm-cli --help)"};
    std::string name = words[i++];
    const Command* command = nullptr;
    for (const Command* c : kCommands)
      if (name == c->name) command = c;
    if (!command) throw UsageError{"unknown command " + name + " (see kolm-cli --help)"};

    Context ctx{hw::Instrument{}, &std::cout, &std::cerr, {}, options};
    hw::ReadHardwareConfig(ctx.instrument.params);
    if (backend.empty()) backend = ctx.instrument.params.portBackend;
    if ((dutGiven || loadGiven) && backend != "sim")
      throw UsageError{"--dut and --load describe the simulator; use --backend sim"};
    ctx.backend = backend;
    Args args(std::vector<std::string>(words.begin() + static_cast<long>(i), words.end()));
    if (!command->opensPort) return command->run(ctx, args);
    hw::Orologio(ctx.instrument);
    auto opened = hw::openPort(backend, ctx.instrument.params.LptBase, options);
    if (!opened.port) throw UsageError{opened.error};
    if (!trace.empty()) {
      std::FILE* f = std::fopen(trace.c_str(), "a");
      if (!f) throw UsageError{"cannot open the trace file " + trace + ": " + std::strerror(errno)};
      opened.port = std::make_unique<hw::TracingPort>(std::move(opened.port), f);
    }
    ctx.instrument.setPort(std::move(opened.port));
    if (!ctx.instrument.reachable())
      throw UsageError{"LptBase in dds.cfg is not a parallel-port address (888, 632 or 956)"};
    // A port that fails mid-way ends the command before anything measured is
    // printed or written.
    ctx.instrument.onPortFailure = [](const std::string& why) { throw PortFailure{why}; };
    return command->run(ctx, args);
  } catch (const UsageError& e) {
    std::cerr << "kolm-cli: " << e.message << "\n";
    return kUsageError;
  } catch (const PortFailure& e) {
    std::cerr << "kolm-cli: " << e.message << "\n";
    return kPortFailed;
  }
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

std::optional<double> Args::number(const std::string& name) {
  auto text = option(name);
  if (!text) return std::nullopt;
  return parseNumber(*text, name);
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
  if (!common::isNumeric(text)) throw UsageError{what + ": '" + text + "' is not a number"};
  return common::numericValue(text);
}

}  // namespace kolm::cli

int main(int argc, char** argv) { return kolm::cli::main(argc, argv); }
