// Opening a port back end by name.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "hw/portio.h"

namespace kolm::hw {

struct PortOpenResult {
  std::unique_ptr<PortIo> port;
  std::string error;  // plain words for the user when `port` is empty
};

// Settings of a back end that the factory hands on without reading them (the
// simulated instrument's: what it has connected); each back end knows its own.
struct PortSettings {
  PortSettings() = default;
  PortSettings(const PortSettings&) = default;
  PortSettings& operator=(const PortSettings&) = default;
  virtual ~PortSettings() = default;
};

// Opens a back end: the name as given ("ppdev:/dev/parport1" whole), the port's
// base address, and the settings given to openPort (null when none were).
using PortMaker = std::function<PortOpenResult(const std::string& backend, int32_t lptBase,
                                               const PortSettings* settings)>;

// Makes `maker` open the back end `name`; a name ending in ':' takes every name
// that begins with it. A name registered again is replaced. The real ports are there from the
// start: "ppdev" (the /dev/parportN whose base address is lptBase) or "ppdev:/dev/parportN";
// "direct" (ioperm on lptBase) or "direct:0xADDR"; "inpout32" (Windows only).
// The simulated instrument registers itself as "sim".
void registerPortBackend(const std::string& name, PortMaker maker);

// The back end `backend` names (an empty name is "sim"), given `settings`.
PortOpenResult openPort(const std::string& backend, int32_t lptBase,
                        const PortSettings* settings = nullptr);

// The back end that reaches the real port at `lptBase`: "ppdev" where a
// /dev/parportN has that base address, otherwise "direct" ("inpout32" on
// Windows). `procRoot` is for tests.
std::string portAtAddress(int32_t lptBase, const std::string& procRoot = "/proc/sys/dev/parport");

// The ppdev device whose base address (from /proc/sys/dev/parport) is `base`,
// or empty when there is none. `procRoot` is for tests.
std::string ppdevDeviceForBase(int32_t base, const std::string& procRoot = "/proc/sys/dev/parport");

}  // namespace kolm::hw
