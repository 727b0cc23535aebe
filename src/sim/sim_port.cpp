#include "sim/sim_port.h"

#include "common/files.h"
#include "common/records.h"
#include "common/settings_file.h"

namespace kolm::sim {

hw::PortOpenResult makeSimulatorPort(const hw::PortOptions& options) {
  hw::PortOpenResult r;
  auto simulator = std::make_unique<SimulatedInstrument>();
  r.error = simulator->configure(options);
  if (r.error.empty()) r.port = std::move(simulator);
  return r;
}

std::optional<hw::PortOptions> readPortOptions(const std::filesystem::path& file,
                                               std::string* problem) {
  return common::readSettings<std::optional<hw::PortOptions>>(file, common::kSettingsFileLimit,
                                                              parsePortOptions, problem);
}

std::optional<hw::PortOptions> parsePortOptions(std::string_view content, std::string* problem) {
  common::RecordReader reader(content);
  auto dut = reader.next();
  auto load = reader.next();
  if (dut && !load && problem)
    *problem = common::lineProblem(reader.line(), "the load is not there");
  if (!dut || !load) return std::nullopt;
  hw::PortOptions options;
  options.simDut = *dut;
  options.simLoad = *load;
  // Files written before the board and the quartz were kept end here.
  if (auto board = reader.next()) {
    options.simBoard = *board;
    if (auto quartz = reader.next()) options.simQuartz = *quartz;
  }
  if (reader.moreText() && problem)
    *problem = common::lineProblem(reader.line() + 1, "text after the four records of sim.cfg");
  return options;
}

hw::PortOptions loadPortOptions(const std::filesystem::path& file, std::string* problem) {
  hw::PortOptions options;
  auto kept = readPortOptions(file, problem);
  if (!kept) return options;
  if (parseDut(kept->simDut).ok()) options.simDut = kept->simDut;
  if (parseLoad(kept->simLoad).ok()) options.simLoad = kept->simLoad;
  if (parseBoard(kept->simBoard)) options.simBoard = kept->simBoard;
  if (parseQuartz(kept->simQuartz).ok()) options.simQuartz = kept->simQuartz;
  return options;
}

bool savePortOptions(const hw::PortOptions& options, const std::filesystem::path& file,
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

std::optional<std::string> portOptionsText(const hw::PortOptions& options, std::string* error) {
  for (const std::string* text :
       {&options.simDut, &options.simLoad, &options.simBoard, &options.simQuartz}) {
    if (text->find_first_of("\"\r\n") != std::string::npos) {
      if (error)
        *error = "'" + *text + "' holds a double quote or a line break, which " +
                 std::string(kSimConfigFile) + " cannot keep.";
      return std::nullopt;
    }
  }
  common::RecordWriter w;
  w.quoted(options.simDut);
  w.quoted(options.simLoad);
  w.quoted(options.simBoard);
  w.quoted(options.simQuartz);
  return w.text();
}

}  // namespace kolm::sim
