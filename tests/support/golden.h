// Golden tables kept in tests/golden/: one case a line, its fields split by
// tabs, "\n", "\r", "\t" and "\\" written as escapes, any other byte as "\xHH". Blank lines and
// lines starting with "#" are notes.
#pragma once

#include <gtest/gtest.h>

#include <charconv>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "common/files.h"

namespace kolm::test {

inline std::string unescaped(const std::string& field) {
  std::string out;
  for (size_t i = 0; i < field.size(); ++i) {
    if (field[i] != '\\' || i + 1 == field.size()) {
      out += field[i];
      continue;
    }
    const char c = field[++i];
    if (c == 'x' && i + 2 < field.size()) {  // \xHH, a byte by its two hex digits
      out += static_cast<char>(std::stoi(field.substr(i + 1, 2), nullptr, 16));
      i += 2;
      continue;
    }
    out += c == 'n' ? '\n' : c == 'r' ? '\r' : c == 't' ? '\t' : c;
  }
  return out;
}

// The rows of a table, each of `fields` fields; a missing or empty table, or a
// row of another width, fails the test.
inline std::vector<std::vector<std::string>> goldenRows(const std::string& name, size_t fields) {
  std::vector<std::vector<std::string>> rows;
  const auto text = common::readTextFile(std::string(KOLM_GOLDEN_DIR) + "/" + name);
  std::istringstream in(text.value_or(""));
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> row;
    size_t from = 0;
    for (size_t tab; (tab = line.find('\t', from)) != std::string::npos; from = tab + 1)
      row.push_back(unescaped(line.substr(from, tab - from)));
    row.push_back(unescaped(line.substr(from)));
    EXPECT_EQ(row.size(), fields) << name << ": " << line;
    if (row.size() == fields) rows.push_back(std::move(row));
  }
  EXPECT_FALSE(rows.empty()) << name << " holds no cases";
  return rows;
}

// A number written in a table, read whatever the process locale.
inline double goldenNumber(const std::string& field) {
  double v = 0;
  const auto r = std::from_chars(field.data(), field.data() + field.size(), v);
  EXPECT_TRUE(r.ec == std::errc() && r.ptr == field.data() + field.size()) << field;
  return v;
}

// The numbers of a field, split at blanks.
inline std::vector<double> goldenNumbers(const std::string& field) {
  std::vector<double> out;
  std::istringstream in(field);
  for (std::string word; in >> word;) out.push_back(goldenNumber(word));
  return out;
}

// A text against a golden file of tests/golden/. When they differ the text is
// written to the temporary folder, to compare (and to take, when it is right).
inline void expectGolden(const std::string& name, const std::string& actual) {
  if (common::readTextFile(std::string(KOLM_GOLDEN_DIR) + "/" + name) == actual) return;
  const auto kept = std::filesystem::temp_directory_path() / name;
  common::writeFileAtomic(kept, actual);
  ADD_FAILURE() << name << " differs from the golden file; the text is in " << kept;
}

}  // namespace kolm::test
