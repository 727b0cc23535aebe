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
  size_t i = 0;
  const size_t n = content.size();
  while (i < n) {
    while (i < n && (content[i] == ' ' || content[i] == '\t')) ++i;
    std::string field;
    if (i < n && content[i] == '"') {
      ++i;
      while (i < n && content[i] != '"' && content[i] != '\n' && content[i] != '\r')
        field += content[i++];
      if (i < n && content[i] == '"') ++i;
      while (i < n && content[i] != ',' && content[i] != '\n' && content[i] != '\r') ++i;
    } else {
      while (i < n && content[i] != ',' && content[i] != '\n' && content[i] != '\r')
        field += content[i++];
      while (!field.empty() && (field.back() == ' ' || field.back() == '\t')) field.pop_back();
    }
    fields.push_back(std::move(field));
    if (i < n) {
      if (content[i] == '\r' && i + 1 < n && content[i + 1] == '\n')
        i += 2;
      else
        ++i;
    }
  }
  return fields;
}

std::optional<std::string> RecordReader::next() {
  if (pos_ >= fields_.size()) return std::nullopt;
  return fields_[pos_++];
}

}  // namespace kolm::common
