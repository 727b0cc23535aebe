// Key filters of the print dialog's number fields. A key is a typed character;
// keys that are not characters (arrows, Delete) never reach the filters.
#pragma once

#include <string>
#include <string_view>

namespace kolm::print {

inline constexpr char32_t kBackspace = 8;

// The text box a key is typed into.
struct KeyContext {
  std::u32string_view text;
  int cursor = 0;            // characters before the cursor
  bool allSelected = false;  // the whole (non-empty) text is selected
};

// Whole numbers: digits and backspace; a minus only when allowed, at the start,
// and when the text has none yet (or is wholly selected).
bool filterIntegerKey(char32_t key, const KeyContext& box, bool minusAllowed);

// The scale: digits and backspace; the locale's decimal separator once; after the
// first character an "E" (letters are taken in upper case) and a minus right
// after it. Returns the character to type, or 0 when the key is dropped.
char32_t filterDecimalKey(char32_t key, const KeyContext& box, char32_t decimalSeparator);

}  // namespace kolm::print
