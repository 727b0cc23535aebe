// One-port Touchstone files: a table that reads is written in its plainest form
// (MHz, reflection in RI against 50 ohm, every digit kept) and reads back the same.
#include <charconv>

#include "fuzz.h"
#include "sim/touchstone.h"

using namespace kolm;

namespace {
void put(std::string& out, double v) {
  char buf[32];
  out.append(buf, std::to_chars(buf, buf + sizeof buf, v).ptr);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto read = sim::parseTouchstone(fuzz::asText(data, size));
  if (!read.ok()) return 0;
  const sim::OnePortTable& t = read.table;
  FUZZ_CHECK(!t.frequencyMHz.empty() && t.frequencyMHz.size() == t.gamma.size());
  std::string text = "# MHz S RI R 50\n";
  for (size_t i = 0; i < t.gamma.size(); ++i) {
    FUZZ_CHECK(std::isfinite(t.frequencyMHz[i]) && t.frequencyMHz[i] >= 0);
    FUZZ_CHECK(i == 0 || t.frequencyMHz[i] > t.frequencyMHz[i - 1]);
    FUZZ_CHECK(std::isfinite(t.gamma[i].real()) && std::isfinite(t.gamma[i].imag()));
    put(text, t.frequencyMHz[i]);
    text += ' ';
    put(text, t.gamma[i].real());
    text += ' ';
    put(text, t.gamma[i].imag());
    text += '\n';
  }
  const auto back = sim::parseTouchstone(text);
  FUZZ_CHECK(back.ok());
  FUZZ_CHECK(back.table.frequencyMHz == t.frequencyMHz && back.table.gamma == t.gamma);
  const auto g =
      t.at(t.frequencyMHz.front() + (t.frequencyMHz.back() - t.frequencyMHz.front()) / 3);
  FUZZ_CHECK(std::isfinite(g.real()) && std::isfinite(g.imag()));
  return 0;
}
