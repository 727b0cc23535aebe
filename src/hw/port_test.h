// The hardware check for people with the real instrument: does the chosen port
// open, do the status lines carry anything, and do the detector and both bridge
// channels answer a read-out with a value inside their range. Each failed check
// comes with what to do about it.
#pragma once

#include <string>
#include <vector>

#include "hw/instrument.h"
#include "hw/port_factory.h"

namespace kolm::hw {

struct PortCheck {
  std::string what;  // "Port", "Status lines", "Detector", ...
  bool passed = false;
  std::string detail;  // what was seen, in plain words
};

struct PortTestReport {
  std::vector<PortCheck> checks;
  // What to do, one hint per line; empty when every check passed.
  std::vector<std::string> advice;
  bool passed() const;
  // "PASS Port: ..." / "FAIL ..." lines, then the advice under "What to do:".
  std::string text() const;
};

// The generator frequency the check tunes to (MHz) when the DDS clock is set.
inline constexpr double kPortTestMHz = 10;

// Checks the port `instrument` has now: tunes the generator to kPortTestMHz
// (when the DDS clock is set), reads the detector and the bridge, then switches
// the generator off. `backend` is the name the port was chosen by, for advice.
PortTestReport runPortTest(Instrument& instrument, const std::string& backend);

// The report of a port that did not open (`error`), with what to do about it.
PortTestReport openingFailed(const std::string& backend, const std::string& error);

// Opens `backend` for `params` on its own, checks it and closes it again.
PortTestReport portTest(const std::string& backend, const HardwareParams& params,
                        const PortSettings* settings = nullptr);

}  // namespace kolm::hw
