#include "common/tr.h"

#include <atomic>
#include <vector>

namespace kolm::common {

namespace {
std::atomic<Translator> installed{nullptr};
}  // namespace

void setTranslator(Translator translator) { installed.store(translator); }

std::string tr(const char* context, const char* text) {
  Translator t = installed.load();
  return t ? t(context, text) : std::string(text);
}

std::string arg(const std::string& text, std::initializer_list<std::string> args) {
  const std::vector<std::string> values(args);
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9') {
      const size_t n = static_cast<size_t>(text[i + 1] - '1');
      if (n < values.size()) {
        out += values[n];
        ++i;
        continue;
      }
    }
    out += text[i];
  }
  return out;
}

}  // namespace kolm::common
