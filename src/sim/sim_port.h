// The simulated instrument as a port back end, and what it has connected as
// kept between runs (sim.cfg in the working directory).
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "hw/port_factory.h"
#include "sim/simulated_instrument.h"

namespace kolm::sim {

// A simulated instrument with `options` connected; an error names a bad part of
// the connection grammar.
hw::PortOpenResult makeSimulatorPort(const hw::PortOptions& options);

inline constexpr const char* kSimConfigFile = "sim.cfg";

// What the simulator has connected, which board it models and its quartz, as
// kept between runs; the default for a part that is missing or can no longer be
// used (an s1p file that was removed), the defaults when nothing is kept.
hw::PortOptions loadPortOptions();
hw::PortOptions loadPortOptions(const std::filesystem::path& file);

// The texts exactly as kept (usable or not), or nothing when the file is
// missing or holds fewer than two records; a file of two records (written
// before the board and quartz were kept) gives their defaults.
std::optional<hw::PortOptions> readPortOptions(const std::filesystem::path& file = kSimConfigFile);
std::optional<hw::PortOptions> parsePortOptions(std::string_view content);

// Keeps the texts, written atomically: the DUT, the load, the board and the
// quartz, one quoted record each. A text holding a double quote or a line
// break is refused.
bool savePortOptions(const hw::PortOptions& options,
                     const std::filesystem::path& file = kSimConfigFile,
                     std::string* error = nullptr);
// The file's text, or empty when a text cannot be kept (the reason in `error`).
std::optional<std::string> portOptionsText(const hw::PortOptions& options,
                                           std::string* error = nullptr);

}  // namespace kolm::sim
