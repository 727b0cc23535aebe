#include "hw/portio.h"

#include <cerrno>
#include <system_error>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace kolm::hw {

namespace {
constexpr size_t kTraceBlock = 4000;  // bytes of whole lines written at once
}  // namespace

TracingPort::TracingPort(std::unique_ptr<PortIo> inner, std::FILE* out)
    : inner_(std::move(inner)), out_(out) {
  // The stream's own buffer would cut lines at its size: the lines are kept here.
  if (out_) std::setvbuf(out_, nullptr, _IONBF, 0);
  if (out_) fd_ = fileno(out_);
  buffer_.reserve(kTraceBlock + 8);
}

TracingPort::~TracingPort() { finish(); }

void TracingPort::line(char kind, uint8_t value) {
  if (!out_) return;
  static constexpr char kHex[] = "0123456789abcdef";
  const char text[5] = {kind, ' ', kHex[value >> 4], kHex[value & 15], '\n'};
  buffer_.append(text, sizeof text);
  if (buffer_.size() >= kTraceBlock) writeOut();
}

void TracingPort::writeOut() {
  if (buffer_.empty()) return;
  if (std::fwrite(buffer_.data(), 1, buffer_.size(), out_) != buffer_.size() && failure_ == 0)
    failure_ = errno ? errno : EIO;
  buffer_.clear();
}

bool TracingPort::finish(std::string* error) {
  if (out_) {
    writeOut();
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

bool TracingPort::writeDataFromSignal(uint8_t value) noexcept {
  const bool written = inner_->writeDataFromSignal(value);
#ifdef _WIN32
  return written;  // no signal handler writes there
#else
  if (fd_ < 0 || !written) return written;
  const auto put = [this](const char* text, size_t size) {
    for (ssize_t n = 0; size > 0; text += n, size -= static_cast<size_t>(n))
      if ((n = ::write(fd_, text, size)) <= 0) return;
  };
  put(buffer_.data(), buffer_.size());
  buffer_.clear();  // keeps its storage: nothing is allocated
  static constexpr char kHex[] = "0123456789abcdef";
  const char text[5] = {'W', ' ', kHex[value >> 4], kHex[value & 15], '\n'};
  put(text, sizeof text);
  return true;
#endif
}

uint8_t TracingPort::readStatus() {
  uint8_t v = inner_->readStatus();
  line('R', v);
  if (inner_->failed()) fail(inner_->failure());
  return v;
}

}  // namespace kolm::hw
