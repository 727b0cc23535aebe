// The simulated instrument as a port back end, and what it has connected as
// kept between runs (sim.cfg in the settings folder).
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "common/settings_file.h"
#include "hw/port_factory.h"
#include "sim/simulated_instrument.h"

namespace kolm::sim {

// A simulated instrument with `options` connected; an error names a bad part of
// the connection grammar.
hw::PortOpenResult makeSimulatorPort(const SimulatorOptions& options);

// Makes the simulated instrument the port back end "sim" (hw::openPort), its
// settings a SimulatorOptions (none: the defaults). Called once at start.
void registerSimulatorBackend();

inline constexpr const char* kSimConfigFile = "sim.cfg";

// What the simulator has connected, which board it models and its quartz, as
// kept between runs; the default for a part that is missing or can no longer be
// used (an s1p file that was removed), the defaults when nothing is kept.
// A file that is there but cannot be read whole (one record, text after the
// fourth, a file that cannot be read at all) sets `problem` (the line and why).
SimulatorOptions loadPortOptions(const std::filesystem::path& file, std::string* problem = nullptr);

// The texts exactly as kept (usable or not), or nothing when the file is
// missing or holds fewer than two records; a file of two records (written
// before the board and quartz were kept) gives their defaults.
std::optional<SimulatorOptions> readPortOptions(const std::filesystem::path& file,
                                                std::string* problem = nullptr);
std::optional<SimulatorOptions> parsePortOptions(std::string_view content,
                                                 std::string* problem = nullptr);

// Keeps the texts, written atomically: the DUT, the load, the board and the
// quartz, one quoted record each. A text holding a double quote or a line
// break is refused. A file there that cannot be read whole is copied aside by
// `keeper` first; when it cannot be, nothing is written.
bool savePortOptions(const SimulatorOptions& options, const std::filesystem::path& file,
                     common::SettingsKeeper& keeper, std::string* error = nullptr);
// The file's text, or empty when a text cannot be kept (the reason in `error`).
std::optional<std::string> portOptionsText(const SimulatorOptions& options,
                                           std::string* error = nullptr);

}  // namespace kolm::sim
