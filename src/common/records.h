// Text record files: one value per line ending with CR LF, texts in double quotes,
// numbers bare. Readers split fields at commas and line ends and strip the quotes.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kolm::common {

class RecordWriter {
 public:
  // A text record: "text" CR LF. A double quote or a line break in the text
  // would end the record early: they are left out.
  void quoted(std::string_view text);
  // A bare number in its shortest form with at most `digits` significant digits.
  void number(double value, int digits = 15);
  // A line as given, CR LF appended.
  void line(std::string_view text);
  const std::string& text() const { return text_; }

 private:
  std::string text_;
};

// All fields of a record file, split at commas and line ends (CR LF, LF or CR);
// a quoted field may hold commas; surrounding quotes and blanks are removed.
std::vector<std::string> splitFields(std::string_view content);

// Reads the fields of a text one at a time, as splitFields splits them. The
// text must outlive the reader.
class RecordReader {
 public:
  explicit RecordReader(std::string_view content) : content_(content) {}
  RecordReader(std::string&&) = delete;  // the text would be gone before it is read
  std::optional<std::string> next();
  bool atEnd() const { return pos_ >= content_.size(); }

 private:
  std::string_view content_;
  size_t pos_ = 0;
};

}  // namespace kolm::common
