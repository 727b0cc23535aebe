#include "hw/portio.h"

namespace kolm::hw {

std::vector<uint8_t> RecordingPort::writes() const {
  std::vector<uint8_t> out;
  for (const auto& a : log)
    if (a.write) out.push_back(a.value);
  return out;
}

size_t RecordingPort::writeCount() const {
  size_t n = 0;
  for (const auto& a : log) n += a.write ? 1 : 0;
  return n;
}

TracingPort::~TracingPort() {
  if (out_) std::fclose(out_);
}

void TracingPort::writeData(uint8_t value) {
  if (out_) std::fprintf(out_, "W %02x\n", value);
  inner_->writeData(value);
  if (inner_->failed()) fail(inner_->failure());
}

uint8_t TracingPort::readStatus() {
  uint8_t v = inner_->readStatus();
  if (out_) std::fprintf(out_, "R %02x\n", v);
  if (inner_->failed()) fail(inner_->failure());
  return v;
}

}  // namespace kolm::hw
