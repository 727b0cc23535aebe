#include "common/records.h"

#include "common/text.h"

namespace kolm::common {

void RecordWriter::quoted(std::string_view text) {
  text_ += '"';
  for (char c : text)
    if (c != '"' && c != '\r' && c != '\n') text_ += c;
  text_ += "\"\r\n";
}

void RecordWriter::number(double value, int digits) {
  appendShortest(text_, value, digits);
  text_ += "\r\n";
}

void RecordWriter::line(std::string_view text) {
  text_ += text;
  text_ += "\r\n";
}

std::vector<std::string> splitFields(std::string_view content) {
  std::vector<std::string> fields;
  RecordReader reader(content);
  while (auto field = reader.next()) fields.push_back(std::move(*field));
  return fields;
}

std::optional<std::string> RecordReader::next() {
  const std::string_view c = content_;
  const size_t n = c.size();
  size_t i = pos_;
  if (i >= n) return std::nullopt;
  auto endsField = [](char ch) { return ch == ',' || ch == '\n' || ch == '\r'; };
  std::string field;
  while (i < n && (c[i] == ' ' || c[i] == '\t')) ++i;
  if (i < n && c[i] == '"') {
    const size_t begin = ++i;
    while (i < n && c[i] != '"' && c[i] != '\n' && c[i] != '\r') ++i;
    field.assign(c.substr(begin, i - begin));
    while (i < n && !endsField(c[i])) ++i;  // the closing quote and anything after it
  } else {
    const size_t begin = i;
    while (i < n && !endsField(c[i])) ++i;
    size_t end = i;
    while (end > begin && (c[end - 1] == ' ' || c[end - 1] == '\t')) --end;
    field.assign(c.substr(begin, end - begin));
  }
  if (i < n) i += c[i] == '\r' && i + 1 < n && c[i + 1] == '\n' ? 2 : 1;
  pos_ = i;
  return field;
}

}  // namespace kolm::common
