// The one path to the instrument: byte writes to the parallel port's data
// register and byte reads of its status register.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kolm::hw {

struct HardwareParams;

class PortIo {
 public:
  virtual ~PortIo() = default;
  // Data register (base address + 0).
  virtual void writeData(uint8_t value) = 0;
  // Status register (base address + 1), bits as the lines stand, uninverted.
  virtual uint8_t readStatus() = 0;
  // The back end's name as chosen ("sim", "ppdev:/dev/parport0", ...).
  virtual std::string name() const = 0;
  // What instrument the port reaches, for what is measured on it once (the
  // bridge's calibration): the name, and for the simulator its board and quartz.
  virtual std::string setup() const { return name(); }
  // True for the simulated instrument: windows say so, nothing is measured.
  virtual bool simulated() const { return false; }
  // True when the back end reaches real I/O addresses: then nothing is sent
  // unless the configured base address is one of the parallel-port addresses.
  virtual bool addressed() const { return true; }
  // The hardware parameters of the instrument this port now serves, kept by
  // that instrument for as long as it holds the port. A simulated board takes
  // its quartz from them; real ports have nothing to take.
  virtual void attach(const HardwareParams* params) { (void)params; }
  // A data write made from a signal handler: no lock, no allocation, no stream.
  // False where the back end has no such write (then nothing was written).
  virtual bool writeDataFromSignal(uint8_t value) noexcept {
    (void)value;
    return false;
  }

  // Set once an access has failed (a USB or PCI card removed, the port taken
  // away); a failed port stays failed, and `failure` says why in plain words.
  bool failed() const { return !failure_.empty(); }
  const std::string& failure() const { return failure_; }

 protected:
  void fail(std::string why) {
    if (failure_.empty()) failure_ = why.empty() ? "the port failed" : std::move(why);
  }

 private:
  std::string failure_;
};

// Swallows writes and reads a status of 0.
class NullPort : public PortIo {
 public:
  void writeData(uint8_t) override {}
  bool writeDataFromSignal(uint8_t) noexcept override { return true; }
  uint8_t readStatus() override { return 0; }
  std::string name() const override { return "null"; }
  bool addressed() const override { return false; }
};

// Passes every access on to another back end and appends one line per access to
// a file: "W hh" for a data write, "R hh" for a status read. A line that cannot
// be written is remembered, so the caller can say the trace is incomplete.
class TracingPort : public PortIo {
 public:
  // Lines go out whole, in blocks of whole lines: a trace ended at any point
  // (a signal, the guard's last word) and two programs appending to one file
  // never cut a line.
  TracingPort(std::unique_ptr<PortIo> inner, std::FILE* out);
  ~TracingPort() override;
  // Flushes and closes the file: false, with the reason in `error`, when any
  // line was lost. Further accesses are passed on but no longer traced.
  bool finish(std::string* error = nullptr);
  void writeData(uint8_t value) override;
  // The lines not yet written go out first, then the write and its line, each
  // with one write(2) to the file.
  bool writeDataFromSignal(uint8_t value) noexcept override;
  uint8_t readStatus() override;
  std::string name() const override { return inner_->name(); }
  bool simulated() const override { return inner_->simulated(); }
  bool addressed() const override { return inner_->addressed(); }
  void attach(const HardwareParams* params) override { inner_->attach(params); }
  PortIo& inner() { return *inner_; }

 private:
  void line(char kind, uint8_t value);
  void writeOut();

  std::unique_ptr<PortIo> inner_;
  std::FILE* out_;
  int fd_ = -1;  // out_'s, for the writes made from a signal handler
  std::string buffer_;
  int failure_ = 0;  // errno of the first line that could not be written
};

}  // namespace kolm::hw
