#include "hw/portio.h"

#include <cerrno>
#include <system_error>

namespace kolm::hw {

TracingPort::~TracingPort() { finish(); }

void TracingPort::line(char kind, uint8_t value) {
  if (!out_) return;
  static constexpr char kHex[] = "0123456789abcdef";
  const char text[5] = {kind, ' ', kHex[value >> 4], kHex[value & 15], '\n'};
  if (std::fwrite(text, 1, sizeof text, out_) != sizeof text && failure_ == 0)
    failure_ = errno ? errno : EIO;
}

bool TracingPort::finish(std::string* error) {
  if (out_) {
    if (std::fflush(out_) != 0 && failure_ == 0) failure_ = errno ? errno : EIO;
    if (std::ferror(out_) && failure_ == 0) failure_ = EIO;
    if (std::fclose(out_) != 0 && failure_ == 0) failure_ = errno ? errno : EIO;
    out_ = nullptr;
  }
  if (failure_ != 0 && error) *error = std::generic_category().message(failure_);
  return failure_ == 0;
}

void TracingPort::writeData(uint8_t value) {
  line('W', value);
  inner_->writeData(value);
  if (inner_->failed()) fail(inner_->failure());
}

uint8_t TracingPort::readStatus() {
  uint8_t v = inner_->readStatus();
  line('R', v);
  if (inner_->failed()) fail(inner_->failure());
  return v;
}

}  // namespace kolm::hw
