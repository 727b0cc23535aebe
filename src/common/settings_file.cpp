#include "common/settings_file.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <system_error>

#include "common/files.h"
#include "common/tr.h"

namespace kolm::common {

std::string lenientSettingsText(std::string_view raw) {
  if (raw.substr(0, 3) == "\xEF\xBB\xBF") raw.remove_prefix(3);
  std::string text;
  text.reserve(raw.size());
  for (size_t i = 0; i < raw.size(); ++i) {
    // CR CR LF, and any run of CRs before an LF, is one line end.
    if (raw[i] == '\r') {
      size_t j = i;
      while (j < raw.size() && raw[j] == '\r') ++j;
      if (j < raw.size() && raw[j] == '\n') {
        text += "\r\n";
        i = j;
        continue;
      }
    }
    text += raw[i];
  }
  return text;
}

namespace {

// The line (from 1) of a last record `text` ends inside, with the length of
// the text before it; line 0 when every record is whole. A record is cut when
// a quote opened on the last line is not closed, and with `rule` EndsWithLine
// also when the last line has no line end after it.
std::pair<int, size_t> cutRecord(std::string_view text, LastRecord rule) {
  const size_t end = text.find_last_of("\r\n");
  const size_t from = end == std::string_view::npos ? 0 : end + 1;
  const std::string_view last = text.substr(from);
  const bool blank = last.find_first_not_of(" \t") == std::string_view::npos;
  const bool openQuote = std::count(last.begin(), last.end(), '"') % 2 != 0;
  if (blank || (!openQuote && rule == LastRecord::MayEndFile)) return {0, text.size()};
  int line = 1;
  for (size_t i = 0; i < from; ++i)
    if (text[i] == '\n' || (text[i] == '\r' && (i + 1 >= from || text[i + 1] != '\n'))) ++line;
  return {line, from};
}

}  // namespace

SettingsRead readSettingsFile(const std::filesystem::path& path, uint64_t limit, LastRecord rule) {
  SettingsRead r;
  FileRead file = readFile(path, limit);
  if (!file.content) {
    if (file.fault != ReadFault::Missing) r.problem = file.error;
    return r;
  }
  std::string text = lenientSettingsText(*file.content);
  if (const auto [line, whole] = cutRecord(text, rule); line > 0) {
    r.problem = lineProblem(
        line, arg(KOLM_TR("Settings", "the file ends inside the record '%1' (cut short)"),
                  {shortened(std::string_view(text).substr(whole))}));
    text.resize(whole);
  }
  r.content = std::move(text);
  return r;
}

SettingsFolder::Hold::Hold(SettingsFolder& folder) : folder_(folder) {
  if (folder_.holds_++ == 0)
    folder_.lock_ = std::make_unique<FolderLock>(folder_.file(".kolm-settings-lock"));
}

SettingsFolder::Hold::~Hold() {
  if (--folder_.holds_ == 0) folder_.lock_.reset();
}

std::string lineProblem(int line, std::string_view why) {
  return arg(KOLM_TR("Settings", "line %1: %2"), {std::to_string(line), std::string(why)});
}

std::string unreadableText(const std::filesystem::path& path, const std::string& problem) {
  std::string why = problem;
  if (!why.empty() && why.back() == '.') why.pop_back();
  return arg(KOLM_TR("Settings", "%1 could not be read whole (%2)."),
             {"'" + path.filename().string() + "'", why});
}

std::tm utcNow() {
  const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  std::tm t{};
#ifdef _WIN32
  gmtime_s(&t, &now);
#else
  gmtime_r(&now, &t);
#endif
  return t;
}

namespace {

// "20261207-130512", UTC: the same on every machine and locale.
std::string stamp() {
  const std::tm t = utcNow();
  auto two = [](int v) { return std::string(v < 10 ? "0" : "") + std::to_string(v); };
  return std::to_string(t.tm_year + 1900) + two(t.tm_mon + 1) + two(t.tm_mday) + "-" +
         two(t.tm_hour) + two(t.tm_min) + two(t.tm_sec);
}

}  // namespace

KeptAside SettingsKeeper::keep(const std::filesystem::path& path, const std::string& problem) {
  KeptAside r;
  if (problem.empty()) return r;
  std::error_code ec;
  const std::string key = std::filesystem::absolute(path, ec).lexically_normal().string();
  // The file as it is now, against the file as it was when copied.
  Kept now;
  now.size = std::filesystem::file_size(path, ec);
  if (ec) now.size = 0;
  now.written = std::filesystem::last_write_time(path, ec);
  if (auto it = kept_.find(key); it != kept_.end()) {
    now.copy = it->second.copy;
    if (it->second == now) {
      r.copy = now.copy;
      return r;
    }
  }
  const std::string unreadable = unreadableText(path, problem);
  if (!std::filesystem::is_regular_file(path, ec)) {
    // Nothing a save could replace (a folder, a device): saying so is all.
    r.message = unreadable;
    kept_[key] = now;
    return r;
  }
  const std::string base = path.string() + ".unreadable-" + stamp();
  std::filesystem::path copy = base;
  for (int n = 2; std::filesystem::exists(copy, ec) && n < 100; ++n)
    copy = base + "-" + std::to_string(n);
  if (!std::filesystem::copy_file(path, copy, std::filesystem::copy_options::none, ec)) {
    r.mayWrite = false;
    r.message =
        unreadable + " " +
        arg(KOLM_TR("Settings",
                    "It cannot be copied aside (%1), so it is left as it is and not written."),
            {ec.message()});
    return r;
  }
  now.copy = copy;
  kept_[key] = now;
  r.copy = copy;
  r.message = unreadable + " " +
              arg(KOLM_TR("Settings",
                          "The values from there on are the defaults; your file is kept as "
                          "'%1'."),
                  {copy.filename().string()});
  return r;
}

std::string shortened(std::string_view text, size_t keep) {
  if (text.size() <= keep + 20) return std::string(text);
  // Not inside a UTF-8 sequence.
  while (keep > 0 && (static_cast<unsigned char>(text[keep]) & 0xC0) == 0x80) --keep;
  return std::string(text.substr(0, keep)) + "… (" + std::to_string(text.size() - keep) +
         " more characters)";
}

}  // namespace kolm::common
