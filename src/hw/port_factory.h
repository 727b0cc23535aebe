// Opening a port back end by name.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>

#include "hw/portio.h"

namespace kolm::hw {

// What the simulated instrument has connected (see the simulator's grammar):
// between generator and detector, and on the bridge; which board it models
// ("typical" parts or the "ideal" read-out laws); and its own quartz in MHz when
// it is set apart from the hardware parameters (empty: it follows them).
struct PortOptions {
  PortOptions(std::string dut = "through", std::string load = "r=50", std::string board = "typical",
              std::string quartz = "")
      : simDut(std::move(dut)),
        simLoad(std::move(load)),
        simBoard(std::move(board)),
        simQuartz(std::move(quartz)) {}
  std::string simDut;
  std::string simLoad;
  std::string simBoard;
  std::string simQuartz;
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

// The back end that reaches the real port at `lptBase`: "ppdev" where a
// /dev/parportN has that base address, otherwise "direct" ("inpout32" on
// Windows). `procRoot` is for tests.
std::string portAtAddress(int32_t lptBase, const std::string& procRoot = "/proc/sys/dev/parport");

// The ppdev device whose base address (from /proc/sys/dev/parport) is `base`,
// or empty when there is none. `procRoot` is for tests.
std::string ppdevDeviceForBase(int32_t base, const std::string& procRoot = "/proc/sys/dev/parport");

}  // namespace kolm::hw
