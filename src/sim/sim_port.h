// The simulated instrument as a port back end.
#pragma once

#include "hw/port_factory.h"

namespace kolm::sim {

// A simulated instrument with `options` connected; an error names a bad part of
// the connection grammar.
hw::PortOpenResult makeSimulatorPort(const hw::PortOptions& options);

}  // namespace kolm::sim

namespace kolm::sim {
// What the simulator has connected, as kept between runs (sim.cfg in the working
// directory); the defaults when nothing is kept.
hw::PortOptions loadPortOptions();
}  // namespace kolm::sim
