#include "print/keys.h"

namespace kolm::print {

namespace {
bool isDigit(char32_t c) { return c >= U'0' && c <= U'9'; }
bool isLetter(char32_t c) { return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z'); }
char32_t upper(char32_t c) { return (c >= U'a' && c <= U'z') ? c - 32 : c; }
}  // namespace

bool filterIntegerKey(char32_t key, const KeyContext& box, bool minusAllowed) {
  if (isDigit(key) || key == kBackspace) return true;
  if (key != U'-' || !minusAllowed || box.cursor != 0) return false;
  return box.text.empty() || box.text.front() != U'-' || box.allSelected;
}

char32_t filterDecimalKey(char32_t key, const KeyContext& box, char32_t decimalSeparator) {
  if (isDigit(key) || key == kBackspace) return key;
  const auto& t = box.text;
  if (key == decimalSeparator) {
    bool hasOne = t.find(decimalSeparator) != std::u32string_view::npos;
    bool beforeMinus = box.cursor == 0 && !t.empty() && t.front() == U'-';
    return ((!hasOne || box.allSelected) && !beforeMinus) ? key : 0;
  }
  char32_t before = box.cursor > 0 && box.cursor <= int(t.size()) ? t[box.cursor - 1] : 0;
  if (key == U'-') return (before == U'E' || before == U'e') ? key : 0;
  if (box.cursor >= 1 && isLetter(key)) {
    key = upper(key);
    bool hasE =
        t.find(U'E') != std::u32string_view::npos || t.find(U'e') != std::u32string_view::npos;
    if (key == U'E' && before != U'-' && !hasE && !box.allSelected) return key;
  }
  return 0;
}

}  // namespace kolm::print
