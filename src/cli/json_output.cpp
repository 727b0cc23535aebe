#include "cli/json_output.h"

#include <ostream>
#include <utility>
#include <vector>

namespace kolm::cli {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// JSON's number grammar: -?(0|[1-9][0-9]*)(.[0-9]+)?([eE][+-]?[0-9]+)?
bool isJsonNumber(const std::string& s) {
  size_t i = 0;
  if (i < s.size() && s[i] == '-') ++i;
  if (i >= s.size() || !isDigit(s[i])) return false;
  if (s[i] == '0')
    ++i;
  else
    while (i < s.size() && isDigit(s[i])) ++i;
  if (i < s.size() && s[i] == '.') {
    if (++i >= s.size() || !isDigit(s[i])) return false;
    while (i < s.size() && isDigit(s[i])) ++i;
  }
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    if (i >= s.size() || !isDigit(s[i])) return false;
    while (i < s.size() && isDigit(s[i])) ++i;
  }
  return i == s.size();
}

std::string jsonString(const std::string& s) {
  std::string out = "\"";
  for (char c : s) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (u < 0x20) {
      static const char hex[] = "0123456789abcdef";
      out += "\\u00";
      out += hex[u >> 4];
      out += hex[u & 15];
    } else {
      out += c;
    }
  }
  return out + "\"";
}

// Values that are always text, whatever they look like (a file named 12).
bool textKey(const std::string& key) {
  return key == "file" || key == "label" || key == "members" || key == "warning" || key == "note" ||
         key == "marks" || key == "topology";
}

std::string jsonValue(const std::string& key, const std::string& value) {
  if (!textKey(key) && isJsonNumber(value)) return value;
  if (value == "none") return "null";
  return jsonString(value);
}

bool isKeyStart(const std::string& token, size_t& equals) {
  equals = token.find('=');
  if (equals == std::string::npos || equals == 0) return false;
  for (size_t k = 0; k < equals; ++k) {
    const char c = token[k];
    if (!((c >= 'a' && c <= 'z') || c == '_' || (k > 0 && isDigit(c)))) return false;
  }
  return true;
}

// The key=value fields of a line; false when it is not such a line.
bool fields(const std::string& line, std::vector<std::pair<std::string, std::string>>& out) {
  size_t equals = 0;
  for (const std::string free : {"warning=", "note="})
    if (line.rfind(free, 0) == 0) {  // the rest of the line is the words
      out.emplace_back(free.substr(0, free.size() - 1), line.substr(free.size()));
      return true;
    }
  size_t at = 0;
  bool any = false;
  while (at < line.size()) {
    size_t end = line.find(' ', at);
    if (end == std::string::npos) end = line.size();
    const std::string token = line.substr(at, end - at);
    if (isKeyStart(token, equals)) {
      out.emplace_back(token.substr(0, equals), token.substr(equals + 1));
      any = true;
    } else if (any) {
      out.back().second += ' ' + token;  // a value with blanks in it
    } else {
      return false;
    }
    at = end + 1;
  }
  return any;
}

}  // namespace

std::string jsonObject(const std::string& lines) {
  // Keys in the order they first come, each with its values.
  std::vector<std::pair<std::string, std::vector<std::string>>> keys;
  std::vector<std::string> text;
  for (size_t at = 0; at < lines.size();) {
    size_t end = lines.find('\n', at);
    if (end == std::string::npos) end = lines.size();
    std::string line = lines.substr(at, end - at);
    at = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    std::vector<std::pair<std::string, std::string>> found;
    if (!fields(line, found)) {
      text.push_back(line);
      continue;
    }
    for (auto& [key, value] : found) {
      auto it = keys.begin();
      while (it != keys.end() && it->first != key) ++it;
      if (it == keys.end()) {
        keys.push_back({key, {}});
        it = keys.end() - 1;
      }
      it->second.push_back(jsonValue(key, value));
    }
  }
  std::string out = "{";
  for (const auto& [key, values] : keys) {
    if (out.size() > 1) out += ",";
    out += jsonString(key) + ":";
    if (values.size() == 1) {
      out += values.front();
    } else {
      out += "[";
      for (size_t k = 0; k < values.size(); ++k) out += (k ? "," : "") + values[k];
      out += "]";
    }
  }
  if (!text.empty()) {
    if (out.size() > 1) out += ",";
    out += "\"text\":[";
    for (size_t k = 0; k < text.size(); ++k) out += (k ? "," : "") + jsonString(text[k]);
    out += "]";
  }
  return out + "}";
}

void JsonResults::endResult() {
  if (pending_.find_first_not_of("\r\n") == std::string::npos) {
    pending_.clear();
    return;
  }
  target_ << jsonObject(pending_) << '\n' << std::flush;
  pending_.clear();
}

JsonResults::int_type JsonResults::overflow(int_type c) {
  if (!traits_type::eq_int_type(c, traits_type::eof())) pending_ += traits_type::to_char_type(c);
  return traits_type::not_eof(c);
}

std::streamsize JsonResults::xsputn(const char* s, std::streamsize n) {
  pending_.append(s, static_cast<size_t>(n));
  return n;
}

}  // namespace kolm::cli
