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

namespace {
bool endsField(char c) { return c == ',' || c == '\n' || c == '\r'; }
}  // namespace

std::optional<std::string_view> RecordReader::nextView() {
  const std::string_view t = content_;
  const size_t n = t.size();
  size_t i = pos_;
  if (i >= n) return std::nullopt;
  while (i < n && (t[i] == ' ' || t[i] == '\t')) ++i;
  std::string_view field;
  if (i < n && t[i] == '"') {
    const size_t begin = ++i;
    while (i < n && t[i] != '"' && t[i] != '\n' && t[i] != '\r') ++i;
    field = t.substr(begin, i - begin);
    if (i < n && t[i] == '"') ++i;
    while (i < n && !endsField(t[i])) ++i;  // anything after the closing quote
  } else {
    const size_t begin = i;
    while (i < n && !endsField(t[i])) ++i;
    size_t end = i;
    while (end > begin && (t[end - 1] == ' ' || t[end - 1] == '\t')) --end;
    field = t.substr(begin, end - begin);
  }
  fieldLine_ = line_;
  if (i < n) {
    if (t[i] != ',') ++line_;
    i += t[i] == '\r' && i + 1 < n && t[i + 1] == '\n' ? 2 : 1;
  }
  pos_ = i;
  return field;
}

bool RecordReader::moreText() const {
  for (size_t i = pos_; i < content_.size(); ++i)
    if (!isBlank(content_[i]) && content_[i] != ',') return true;
  return false;
}

std::vector<std::string> splitFields(std::string_view content) {
  std::vector<std::string> fields;
  RecordReader reader(content);
  while (auto field = reader.nextView()) fields.emplace_back(*field);
  return fields;
}

std::optional<size_t> CsvTable::column(std::string_view name) const {
  for (size_t k = 0; k < header.size(); ++k)
    if (header[k] == name) return k;
  return std::nullopt;
}

CsvTable readCsvTable(std::string_view text) {
  CsvTable table;
  int line = 0;
  for (size_t pos = 0; pos < text.size();) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view row = text.substr(pos, end - pos);
    pos = end + 1;
    ++line;
    if (!row.empty() && row.back() == '\r') row.remove_suffix(1);
    if (row.find_first_not_of(" \t") == std::string_view::npos || row.front() == '#') continue;
    std::vector<std::string> fields = splitFields(row);
    if (row.back() == ',') fields.emplace_back();  // an empty last field
    if (table.header.empty()) {
      table.header = std::move(fields);
      continue;
    }
    if (fields.size() != table.header.size()) {
      CsvTable refused;
      refused.error = "line " + std::to_string(line) + ": " + std::to_string(fields.size()) +
                      " fields where the header has " + std::to_string(table.header.size());
      return refused;
    }
    table.rows.push_back(std::move(fields));
    table.rowLines.push_back(line);
  }
  if (table.header.empty()) table.error = "no header row";
  return table;
}

}  // namespace kolm::common
