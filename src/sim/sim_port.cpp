#include "sim/sim_port.h"

namespace kolm::sim {

namespace {
// Stand-in until the instrument model lands: answers like an unpowered board.
class IdleSimulator : public hw::NullPort {
 public:
  std::string name() const override { return "sim"; }
  bool simulated() const override { return true; }
};
}  // namespace

hw::PortOpenResult makeSimulatorPort(const hw::PortOptions&) {
  hw::PortOpenResult r;
  r.port = std::make_unique<IdleSimulator>();
  return r;
}

}  // namespace kolm::sim

namespace kolm::sim {
hw::PortOptions loadPortOptions() { return {}; }
}  // namespace kolm::sim
