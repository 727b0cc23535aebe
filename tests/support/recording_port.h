// A port for tests that keeps every access: the status answered comes from
// `status` (called with the number of reads so far) or is 0. With `failAt`
// set, the access of that index (counting writes and reads from 0) and every
// later one fails, as a port whose card is pulled out.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "hw/portio.h"

namespace kolm::hw {

class RecordingPort : public PortIo {
 public:
  struct Access {
    bool write;
    uint8_t value;
    bool operator==(const Access&) const = default;
  };
  void writeData(uint8_t value) override {
    if (failing()) return;
    log.push_back({true, value});
  }
  uint8_t readStatus() override {
    if (failing()) return 0;
    uint8_t v = status ? status(reads++) : 0;
    log.push_back({false, v});
    return v;
  }
  std::string name() const override { return "recording"; }
  bool addressed() const override { return false; }

  std::vector<uint8_t> writes() const {
    std::vector<uint8_t> out;
    for (const auto& a : log)
      if (a.write) out.push_back(a.value);
    return out;
  }
  size_t writeCount() const { return writes().size(); }
  size_t readCount() const { return reads; }

  std::vector<Access> log;
  std::function<uint8_t(size_t)> status;
  size_t reads = 0;
  std::optional<size_t> failAt;

 private:
  bool failing() {
    if (failAt && log.size() >= *failAt) fail("the test port was unplugged");
    return failed();
  }
};

}  // namespace kolm::hw
