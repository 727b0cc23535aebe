#include "sim/sim_port.h"

#include "common/files.h"
#include "common/records.h"
#include "common/settings_file.h"

namespace kolm::sim {

hw::PortOpenResult makeSimulatorPort(const SimulatorOptions& options) {
  hw::PortOpenResult r;
  auto simulator = std::make_unique<SimulatedInstrument>();
  r.error = simulator->configure(options);
  if (r.error.empty()) r.port = std::move(simulator);
  return r;
}

void registerSimulatorBackend() {
  hw::registerPortBackend("sim", [](const std::string&, int32_t, const hw::PortSettings* settings) {
    const auto* options = dynamic_cast<const SimulatorOptions*>(settings);
    return makeSimulatorPort(options ? *options : SimulatorOptions{});
  });
}

std::optional<SimulatorOptions> readPortOptions(const std::filesystem::path& file,
                                                std::string* problem) {
  return common::readSettings<std::optional<SimulatorOptions>>(file, common::kSettingsFileLimit,
                                                               parsePortOptions, problem);
}

std::optional<SimulatorOptions> parsePortOptions(std::string_view content, std::string* problem) {
  common::RecordReader reader(content);
  auto dut = reader.next();
  auto load = reader.next();
  if (dut && !load && problem)
    *problem = common::lineProblem(reader.line(), "the load is not there");
  if (!dut || !load) return std::nullopt;
  SimulatorOptions options;
  options.dut = *dut;
  options.load = *load;
  // Files written before the board and the quartz were kept end here.
  if (auto board = reader.next()) {
    options.board = *board;
    if (auto quartz = reader.next()) options.quartz = *quartz;
  }
  if (reader.moreText() && problem)
    *problem = common::lineProblem(reader.line() + 1, "text after the four records of sim.cfg");
  return options;
}

SimulatorOptions loadPortOptions(const std::filesystem::path& file, std::string* problem) {
  SimulatorOptions options;
  auto kept = readPortOptions(file, problem);
  if (!kept) return options;
  if (parseDut(kept->dut).ok()) options.dut = kept->dut;
  if (parseLoad(kept->load).ok()) options.load = kept->load;
  if (parseBoard(kept->board)) options.board = kept->board;
  if (parseQuartz(kept->quartz).ok()) options.quartz = kept->quartz;
  return options;
}

bool savePortOptions(const SimulatorOptions& options, const std::filesystem::path& file,
                     common::SettingsKeeper& keeper, std::string* error) {
  const auto text = portOptionsText(options, error);
  if (!text) return false;
  std::string problem;
  readPortOptions(file, &problem);
  const common::KeptAside kept = keeper.keep(file, problem);
  if (!kept.mayWrite) {
    if (error) *error = kept.message;
    return false;
  }
  return common::writeFileAtomic(file, *text, error);
}

std::optional<std::string> portOptionsText(const SimulatorOptions& options, std::string* error) {
  for (const std::string* text : {&options.dut, &options.load, &options.board, &options.quartz}) {
    if (text->find_first_of("\"\r\n") != std::string::npos) {
      if (error)
        *error = "'" + *text + "' holds a double quote or a line break, which " +
                 std::string(kSimConfigFile) + " cannot keep.";
      return std::nullopt;
    }
  }
  common::RecordWriter w;
  w.quoted(options.dut);
  w.quoted(options.load);
  w.quoted(options.board);
  w.quoted(options.quartz);
  return w.text();
}

}  // namespace kolm::sim
