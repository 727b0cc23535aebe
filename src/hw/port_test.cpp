#include "hw/port_test.h"

#include "hw/wire.h"

#include "common/text.h"
#include "hw/dds.h"
#include "hw/readout.h"

namespace kolm::hw {

namespace {

constexpr int kTop = 1023;  // a converter's 10 bits all ones: a line that stays high

bool startsWith(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

std::string hex(int v) { return "0x" + common::hexText(static_cast<uint32_t>(v)); }

void adviseOnOpening(const std::string& backend, std::vector<std::string>& advice) {
  if (startsWith(backend, "ppdev")) {
    advice.push_back("Load the parallel-port drivers: sudo modprobe parport_pc ppdev");
    advice.push_back("Use the port as yourself: sudo adduser $USER lp, then log out and in again");
    advice.push_back(
        "Check the address in Parameters against the port's own "
        "(cat /proc/sys/dev/parport/parport*/base-addr), or choose /dev/parportN directly");
    advice.push_back("If the printer driver holds the port: sudo modprobe -r lp");
  } else if (startsWith(backend, "direct")) {
    advice.push_back("Direct I/O needs root and an x86 computer; the ppdev back end does not");
#ifdef __linux__
    advice.push_back(
        "For ppdev, load the parallel-port drivers (sudo modprobe parport_pc ppdev), then choose "
        "the port in Parameters");
#endif
  } else if (backend == "inpout32") {
    advice.push_back(
        "Put inpoutx64.dll (64-bit Windows) or inpout32.dll beside the program and start it "
        "once as administrator, so that the library installs its driver");
  }
}

std::string countText(int count) {
  if (count == 0) return std::to_string(count) + " (every bit low)";
  if (count == kTop) return std::to_string(count) + " (every bit high)";
  return std::to_string(count);
}

}  // namespace

bool PortTestReport::passed() const {
  if (checks.empty()) return false;
  for (const auto& c : checks)
    if (!c.passed) return false;
  return true;
}

std::string PortTestReport::text() const {
  std::string out;
  for (const auto& c : checks)
    out += std::string(c.passed ? "PASS  " : "FAIL  ") + c.what + ": " + c.detail + "\n";
  if (!advice.empty()) {
    out += "\nWhat to do:\n";
    for (const auto& a : advice) out += "  - " + a + "\n";
  }
  return out;
}

PortTestReport openingFailed(const std::string& backend, const std::string& error) {
  PortTestReport report;
  report.checks.push_back({"Port", false, error});
  adviseOnOpening(backend, report.advice);
  return report;
}

namespace {

// What to do about a test that failed: the clock, the simulator's
// connection, or the cable, power, address and a shorted bridge.
void adviseOnFailure(bool tuned, bool simulated, const BridgeReading& bridge,
                     std::vector<std::string>& advice) {
  if (!tuned)
    advice.push_back(
        "Enter the DDS quartz and multiplier in Parameters: without its clock the generator "
        "cannot run");
  if (simulated) {
    advice.push_back(
        "The simulator answers as what it has connected: connect a cable (through) in its "
        "Simulator menu");
  } else {
    advice.push_back(
        "Check the cable: data pins 2 to 9, status pins 10, 12 and 13, and ground (pins 18 "
        "to 25)");
    advice.push_back("Check that the instrument is powered");
    advice.push_back("Check that the address in Parameters is the port the cable is plugged into");
    if (bridge.b == kTop || bridge.a == kTop)
      advice.push_back(
          "A short on the bridge also reads at the top: test with the bridge open or on 50 "
          "ohm");
  }
}

}  // namespace

PortTestReport runPortTest(Instrument& instrument, const std::string& backend) {
  PortTestReport report;
  const PortIo* port = instrument.port();
  if (!instrument.reachable() || instrument.portFailed()) {
    std::string why = instrument.portFailed()
                          ? instrument.portFailure()
                          : "the address " + std::to_string(instrument.params.portAddress) + " (" +
                                hex(instrument.params.portAddress) +
                                ") is not a parallel-port address, so nothing is sent";
    report.checks.push_back({"Port", false, why});
    adviseOnOpening(backend, report.advice);
    if (!instrument.portFailed())
      report.advice.push_back("Choose LPT1, LPT2 or LPT3 in Parameters and press OK");
    return report;
  }
  report.checks.push_back({"Port", true, port->name() + " is open"});

  const bool tuned = instrument.params.refClockMHz > 0;
  if (tuned) {
    const auto word = checkedTuningWord(kPortTestMHz, instrument.params.refClockMHz);
    instrument.startGenerator(word.ok() ? word.word : 0);
    instrument.settle(kSettleUnits);
  }
  instrument.readDetector();  // settles the converter, as a sweep does
  const int detector = instrument.readDetector();
  const BridgeReading bridge = instrument.readBridge();
  instrument.switchOff();
  Wire(instrument).out(wire::kConvertersIdle);

  if (instrument.portFailed()) {
    report.checks[0] = {"Port", false, instrument.portFailure()};
    adviseOnOpening(backend, report.advice);
    return report;
  }

  // The instrument's three status lines (pins 10, 12 and 13), as the read-outs saw them.
  const bool allHigh = detector == kTop && bridge.a == kTop && bridge.b == kTop;
  const bool allLow = detector == 0 && bridge.a == 0 && bridge.b == 0;
  if (allHigh)
    report.checks.push_back(
        {"Status lines", false,
         "pins 10, 12 and 13 read 1 at every bit: nothing drives them (cable, power, address)"});
  else if (allLow)
    report.checks.push_back(
        {"Status lines", false, "pins 10, 12 and 13 read 0 at every bit: nothing answers"});
  else
    report.checks.push_back({"Status lines", true, "pins 10, 12 and 13 carry data"});

  const std::string generator = tuned ? " with the generator at 10 MHz"
                                      : " with the generator stopped (no DDS clock in Parameters)";
  report.checks.push_back(
      {"Detector", detector > 0 && detector < kTop,
       "reads " + countText(detector) + generator + "; a working detector reads from 1 to 1022"});
  report.checks.push_back({"Bridge channel A (return loss)", bridge.a < kTop,
                           "reads " + countText(bridge.a) + "; from 0 to 1022 expected"});
  report.checks.push_back({"Bridge channel B (phase)", bridge.b < kTop,
                           "reads " + countText(bridge.b) + "; from 0 to 1022 expected"});

  if (!report.passed()) adviseOnFailure(tuned, port->simulated(), bridge, report.advice);
  return report;
}

PortTestReport portTest(const std::string& backend, const HardwareParams& params,
                        const PortSettings* settings) {
  auto opened = openPort(backend, params.portAddress, settings);
  if (!opened.port) return openingFailed(backend, opened.error);
  Instrument instrument(std::move(opened.port));
  instrument.params = params;
  instrument.params.portBackend = backend;
  instrument.refreshReachable();
  calibrateDelayLoop(instrument);
  return runPortTest(instrument, backend);
}

}  // namespace kolm::hw
