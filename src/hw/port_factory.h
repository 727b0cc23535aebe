// Opening a port back end by name.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "hw/portio.h"

namespace kolm::hw {

// What the simulated instrument has connected (see the simulator's grammar):
// between generator and detector, and on the bridge.
struct PortOptions {
  std::string simDut = "through";
  std::string simLoad = "r=50";
};

struct PortOpenResult {
  std::unique_ptr<PortIo> port;
  std::string error;  // plain words for the user when `port` is empty
};

// Back ends: "sim"; "ppdev" (the /dev/parportN whose base address is lptBase) or
// "ppdev:/dev/parportN"; "direct" (ioperm on lptBase) or "direct:0xADDR";
// "inpout32" (Windows only).
PortOpenResult openPort(const std::string& backend, int32_t lptBase,
                        const PortOptions& options = {});

// The ppdev device whose base address (from /proc/sys/dev/parport) is `base`,
// or empty when there is none. `procRoot` is for tests.
std::string ppdevDeviceForBase(int32_t base, const std::string& procRoot = "/proc/sys/dev/parport");

}  // namespace kolm::hw
