// The kolm-cli command line: one word per line of the input. A command line
// that parses gives the same again from its words; each command then checks its
// own arguments on an instrument with no clock and no port, so nothing is sent
// (commands that open the port only for some steps, or never, are not run).
#include <filesystem>
#include <sstream>

#include "cli/cli.h"
#include "fuzz.h"

using namespace kolm;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> words;
  const std::string_view text = fuzz::asText(data, size);
  for (size_t at = 0; at <= text.size();) {
    size_t end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    words.emplace_back(text.substr(at, end - at));
    at = end + 1;
  }
  cli::CommandLine line;
  try {
    line = cli::parseCommandLine(words);
  } catch (const cli::UsageError& e) {
    FUZZ_CHECK(!e.message.empty());
    return 0;
  }
  const cli::CommandLine again = cli::parseCommandLine(cli::commandLineWords(line));
  FUZZ_CHECK(again.help == line.help && again.version == line.version);
  if (line.help || line.version) return 0;
  FUZZ_CHECK(again.backend == line.backend && again.trace == line.trace && again.dut == line.dut &&
             again.load == line.load && again.command == line.command &&
             again.arguments == line.arguments);
  // Only commands that measure from their first step: the others compute on
  // files or open the port themselves.
  if (line.command->port != cli::Command::Port::BeforeRun) return 0;
  std::ostringstream out, err;
  // The settings in the working directory, as kolm-cli has them.
  cli::Context ctx{hw::Instrument{}, &out, &err,
                   common::SettingsFolder(std::filesystem::current_path())};
  cli::Args args(line.arguments);
  try {
    line.command->run(ctx, args);
    FUZZ_CHECK(!"a command ran without a DDS clock");
  } catch (const cli::UsageError& e) {
    FUZZ_CHECK(!e.message.empty());
  }
  FUZZ_CHECK(out.str().empty());
  return 0;
}
