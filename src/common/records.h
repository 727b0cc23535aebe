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
  // Room for about `bytes` of text, so that a long file is built without copying.
  void reserve(size_t bytes) { text_.reserve(bytes); }
  // A text record: "text" CR LF. A double quote or a line break in the text
  // would end the record early: they are left out.
  void quoted(std::string_view text);
  // A bare number in its shortest form with at most `digits` significant digits.
  void number(double value, int digits = 15);
  // A line as given, CR LF appended.
  void line(std::string_view text);
  const std::string& text() const& { return text_; }
  std::string text() && { return std::move(text_); }

 private:
  std::string text_;
};

// Reads the fields of a record file one at a time, in one pass over the text:
// fields end at a comma or a line end (CR LF, LF or CR); a quoted field may hold
// commas; surrounding quotes and blanks are removed. A line end at the very end
// of the text does not start another field.
class RecordReader {
 public:
  // The reader keeps a view of `content`, which must outlive it.
  explicit RecordReader(std::string_view content) : content_(content) {}
  RecordReader(std::string&&) = delete;  // the text would be gone before it is read
  // The next field as a view into the content; nothing after the last one.
  std::optional<std::string_view> nextView();
  std::optional<std::string> next() {
    auto field = nextView();
    if (!field) return std::nullopt;
    return std::string(*field);
  }
  bool atEnd() const { return pos_ >= content_.size(); }
  // The line (from 1) on which the field last returned stands.
  int line() const { return fieldLine_; }
  // Whether a field holding more than blanks is still to come: a file whose
  // records were all taken has nothing but empty lines left.
  bool moreText() const;

 private:
  std::string_view content_;
  size_t pos_ = 0;
  int line_ = 1;
  int fieldLine_ = 0;
};

// All fields of a record file (as RecordReader reads them).
std::vector<std::string> splitFields(std::string_view content);

// A table as the CSV exports write it: comment lines led by '#', a header row,
// then one row a line with as many fields (a quoted field may hold commas),
// blank lines aside. `error` names the line of the first fault ("line 9: 3
// fields where the header has 14"); then nothing else is kept.
struct CsvTable {
  std::vector<std::string> header;
  std::vector<std::vector<std::string>> rows;
  std::vector<int> rowLines;  // the line each row stands on, from 1
  std::string error;
  // The column named `name`, or none.
  std::optional<size_t> column(std::string_view name) const;
};
CsvTable readCsvTable(std::string_view text);

}  // namespace kolm::common
