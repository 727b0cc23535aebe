#include "chart/session.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <utility>

#include "chart/trace_log.h"
#include "common/files.h"
#include "common/text.h"
#include "common/tr.h"

namespace kolm::chart {

namespace {

constexpr size_t kMostPoints = 1'000'000;  // per trace
constexpr size_t kMostTraces = 1000;

void appendNumber(std::string& out, double v) {
  if (std::isnan(v)) {
    out += "nan";
    return;
  }
  char buf[32];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  out.append(buf, r.ptr);
}

std::optional<double> readNumber(std::string_view w) {
  double v = 0;
  if (w.empty() || w.front() == '+') return std::nullopt;
  const auto r = std::from_chars(w.data(), w.data() + w.size(), v);
  if (r.ec != std::errc() || r.ptr != w.data() + w.size()) return std::nullopt;
  return v;
}

std::string escaped(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '\\')
      out += "\\\\";
    else if (c == '\n')
      out += "\\n";
    else if (c == '\r')
      out += "\\r";
    else
      out += c;
  }
  return out;
}

std::optional<std::string> unescaped(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      out += text[i];
      continue;
    }
    if (++i == text.size()) return std::nullopt;
    if (text[i] == '\\')
      out += '\\';
    else if (text[i] == 'n')
      out += '\n';
    else if (text[i] == 'r')
      out += '\r';
    else
      return std::nullopt;
  }
  return out;
}

constexpr Mark kMarks[] = {Mark::Valid, Mark::AtLeast, Mark::AtMost,   Mark::Approximate,
                           Mark::Open,  Mark::Invalid, Mark::Uncertain};

std::string_view sessionMarkWord(Mark m) { return m == Mark::Valid ? "valid" : markWord(m); }

std::optional<Mark> markOfWord(std::string_view w) {
  for (Mark m : kMarks)
    if (sessionMarkWord(m) == w) return m;
  return std::nullopt;
}

// The first `count` words separated by one blank, and the rest of the line.
bool splitWords(std::string_view line, size_t count, std::vector<std::string_view>& words,
                std::string_view& rest) {
  words.clear();
  size_t at = 0;
  while (words.size() < count) {
    const size_t end = std::min(line.find(' ', at), line.size());
    if (end == at) return false;
    words.push_back(line.substr(at, end - at));
    if (end == line.size()) {
      rest = {};
      return words.size() == count;
    }
    at = end + 1;
  }
  rest = line.substr(std::min(at, line.size()));
  return true;
}

}  // namespace

uint64_t fnv1a64(std::string_view bytes) {
  uint64_t h = 0xcbf29ce484222325ull;
  for (unsigned char c : bytes) {
    h ^= c;
    h *= 0x100000001b3ull;
  }
  return h;
}

std::string formatSession(const Session& s) {
  std::string out = "kolm-session " + std::to_string(kSessionVersion) + "\n";
  out += "instrument " + s.instrument + "\n";
  if (!s.note.empty()) out += "note " + escaped(s.note) + "\n";
  out += "sweep ";
  appendNumber(out, s.startMHz);
  out += ' ';
  appendNumber(out, s.stopMHz);
  out += " " + std::to_string(s.points) + " " + std::to_string(s.average) + "\n";
  if (s.calibration) {
    char hex[17];
    const auto r = std::to_chars(hex, hex + 16, s.calibration->checksum, 16);
    out += "calibration " + std::string(16 - static_cast<size_t>(r.ptr - hex), '0') +
           std::string(hex, r.ptr) + " " + escaped(s.calibration->file) + "\n";
  }
  if (!s.cable.empty()) out += "cable " + escaped(s.cable) + "\n";
  if (s.levels) {
    out += "levels ";
    appendNumber(out, s.levels->first);
    out += ' ';
    appendNumber(out, s.levels->second);
    out += '\n';
  }
  if (s.delayMs) {
    out += "delay ";
    appendNumber(out, *s.delayMs);
    out += '\n';
  }
  if (s.hold) out += "hold\n";
  if (s.log) out += (s.log->markerOnly ? "log 1 " : "log 0 ") + escaped(s.log->path) + "\n";
  for (double m : s.markers) {
    out += "marker ";
    appendNumber(out, m);
    out += '\n';
  }
  for (const LimitSegment& l : s.mask.segments) {
    out += "limit " + l.quantity + (l.upper ? " upper " : " lower ");
    for (double v : {l.fromMHz, l.toMHz, l.limitFrom, l.limitTo}) {
      appendNumber(out, v);
      out += ' ';
    }
    out.back() = '\n';
  }
  for (const StoredTrace& t : s.traces) {
    char colour[7];
    const auto r = std::to_chars(colour, colour + 6, t.colour & 0xffffffu, 16);
    out += "trace " + std::to_string(t.size()) + " " +
           std::string(6 - static_cast<size_t>(r.ptr - colour), '0') + std::string(colour, r.ptr) +
           (t.shown ? " 1 " : " 0 ") + t.quantity + " " + (t.unit.empty() ? "-" : t.unit) + " " +
           escaped(t.name) + "\n";
    for (size_t i = 0; i < t.size(); ++i) {
      for (double v : {t.x[i], t.value[i], t.low[i], t.high[i]}) {
        appendNumber(out, v);
        out += ' ';
      }
      out += sessionMarkWord(t.markAt(i));
      if (!t.reflection.empty()) {
        const ReflectionPoint& g = t.reflection[i];
        for (double v : {g.value.real(), g.value.imag(), g.radius}) {
          out += ' ';
          appendNumber(out, v);
        }
        out += ' ';
        out += sessionMarkWord(g.mark);
      }
      out += '\n';
    }
  }
  return out + "end\n";
}

namespace {

// The lines of a text, one at a time, counted from 1.
struct Lines {
  std::string_view text;
  size_t at = 0, number = 0;

  bool next(std::string_view& line) {
    if (at >= text.size()) return false;
    const size_t end = std::min(text.find('\n', at), text.size());
    line = text.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    at = end + 1;
    ++number;
    return true;
  }
};

// Each reader below takes one kind of line into `s` and says what is wrong
// with it, or nothing.

std::string readSweep(std::string_view line, Session& s) {
  std::vector<std::string_view> w;
  std::string_view rest;
  std::optional<double> v[4];
  if (!splitWords(line, 5, w, rest) || !rest.empty())
    return KOLM_TR("kolm", "a line the session does not hold");
  for (size_t k = 0; k < 4; ++k) v[k] = readNumber(w[k + 1]);
  if (!v[0] || !v[1] || !v[2] || !v[3] || !std::isfinite(*v[0]) || !std::isfinite(*v[1]) ||
      *v[2] != std::floor(*v[2]) || *v[2] < 1 || *v[2] > 20001 || *v[3] != std::floor(*v[3]) ||
      *v[3] < 1 || *v[3] > 100)
    return KOLM_TR("kolm", "sweep START_MHZ STOP_MHZ POINTS (1 to 20001) AVERAGE (1 to 100)");
  s.startMHz = *v[0], s.stopMHz = *v[1];
  s.points = static_cast<int>(*v[2]), s.average = static_cast<int>(*v[3]);
  return {};
}

std::string readCalibration(std::string_view line, Session& s) {
  std::vector<std::string_view> w;
  std::string_view rest;
  uint64_t sum = 0;
  if (!splitWords(line, 2, w, rest) || w[1].size() != 16 ||
      std::from_chars(w[1].data(), w[1].data() + 16, sum, 16).ptr != w[1].data() + 16)
    return KOLM_TR("kolm", "calibration CHECKSUM FILE");
  const auto file = unescaped(rest);
  if (!file || file->empty()) return KOLM_TR("kolm", "calibration CHECKSUM FILE");
  s.calibration = CalibrationRef{*file, sum};
  return {};
}

std::string readLevels(std::string_view line, Session& s) {
  std::vector<std::string_view> w;
  std::string_view rest;
  const std::string usage = KOLM_TR("kolm", "levels TOP_DBM BOTTOM_DBM");
  if (!splitWords(line, 3, w, rest) || !rest.empty()) return usage;
  const auto top = readNumber(w[1]), bottom = readNumber(w[2]);
  if (!top || !bottom || !std::isfinite(*top) || !std::isfinite(*bottom)) return usage;
  s.levels = std::pair(*top, *bottom);
  return {};
}

std::string readDelay(std::string_view line, Session& s) {
  const auto ms = readNumber(line.substr(std::min(line.size(), size_t{6})));
  if (!ms || !std::isfinite(*ms) || *ms < 0) return KOLM_TR("kolm", "delay MS (0 or more)");
  s.delayMs = *ms;
  return {};
}

std::string readLog(std::string_view line, Session& s) {
  // "log 0 " with no file: the marker tick alone.
  const std::string_view rest = line.substr(std::min(line.size(), size_t{6}));
  const auto path = unescaped(rest);
  if (line.size() < 6 || (line.substr(0, 6) != "log 0 " && line.substr(0, 6) != "log 1 ") || !path)
    return KOLM_TR("kolm", "log MARKER_ONLY (0 or 1) FILE");
  s.log = SessionLog{line[4] == '1', *path};
  return {};
}

std::string readLimit(std::string_view line, size_t lineNo, Session& s) {
  std::vector<std::string_view> w;
  std::string_view rest;
  if (!splitWords(line, 7, w, rest) || !rest.empty() || !quantityName(w[1]) ||
      (w[2] != "upper" && w[2] != "lower"))
    return KOLM_TR("kolm", "limit QUANTITY upper|lower FROM TO LIMIT LIMIT_AT_TO");
  std::optional<double> v[4];
  for (size_t k = 0; k < 4; ++k) v[k] = readNumber(w[k + 3]);
  if (!v[0] || !v[1] || !v[2] || !v[3])
    return KOLM_TR("kolm", "limit QUANTITY upper|lower FROM TO LIMIT LIMIT_AT_TO");
  LimitSegment seg{std::string(w[1]),       w[2] == "upper", *v[0], *v[1], *v[2], *v[3],
                   static_cast<int>(lineNo)};
  if (std::string why = segmentProblem(s.mask, seg); !why.empty()) return why;
  s.mask.segments.push_back(std::move(seg));
  return {};
}

// A point's reflection: "RE IM RADIUS MARK".
std::optional<ReflectionPoint> readReflection(std::string_view words) {
  std::vector<std::string_view> w;
  std::string_view rest;
  if (!splitWords(words, 3, w, rest)) return std::nullopt;
  const auto re = readNumber(w[0]), im = readNumber(w[1]), radius = readNumber(w[2]);
  const auto m = markOfWord(rest);
  if (!re || !im || !radius || !m) return std::nullopt;
  return ReflectionPoint{{*re, *im}, *radius, *m};
}

// A trace: its header `line` and as many lines of points as it says. A trace
// that is wrong as a whole is said at its header's line.
std::string readTrace(std::string_view line, Lines& lines, Session& s) {
  std::vector<std::string_view> w;
  std::string_view rest;
  if (s.traces.size() >= kMostTraces) return KOLM_TR("kolm", "more than 1000 traces");
  const auto count = splitWords(line, 6, w, rest) ? readNumber(w[1]) : std::nullopt;
  uint32_t colour = 0;
  if (!count || *count < 0 || *count > kMostPoints || *count != std::floor(*count) ||
      w[2].size() != 6 ||
      std::from_chars(w[2].data(), w[2].data() + 6, colour, 16).ptr != w[2].data() + 6 ||
      (w[3] != "0" && w[3] != "1") || !quantityName(w[4]) || !unescaped(rest))
    return KOLM_TR("kolm", "trace POINTS RRGGBB SHOWN QUANTITY UNIT NAME");
  const size_t headerLine = lines.number;
  StoredTrace t{*unescaped(rest), std::string(w[4]), w[5] == "-" ? "" : std::string(w[5])};
  t.colour = colour;
  t.shown = w[3] == "1";
  const size_t n = static_cast<size_t>(*count);
  std::vector<Mark> marks;
  for (size_t i = 0; i < n; ++i) {
    if (!lines.next(line)) return KOLM_TR("kolm", "the file ends inside a trace");
    std::optional<double> v[4];
    if (!splitWords(line, 4, w, rest)) return KOLM_TR("kolm", "MHZ VALUE LOW HIGH MARK");
    for (size_t k = 0; k < 4; ++k) v[k] = readNumber(w[k]);
    const size_t blank = std::min(rest.find(' '), rest.size());
    const auto m = markOfWord(rest.substr(0, blank));
    if (!v[0] || !v[1] || !v[2] || !v[3] || !m)
      return KOLM_TR("kolm", "MHZ VALUE LOW HIGH MARK [RE IM RADIUS MARK]");
    t.x.push_back(*v[0]), t.value.push_back(*v[1]), t.low.push_back(*v[2]);
    t.high.push_back(*v[3]), marks.push_back(*m);
    if (blank == rest.size()) continue;
    const auto g = readReflection(rest.substr(blank + 1));
    if (!g || t.reflection.size() + 1 != t.x.size())
      return KOLM_TR("kolm", "MHZ VALUE LOW HIGH MARK [RE IM RADIUS MARK], on every point or none");
    t.reflection.push_back(*g);
  }
  if (!t.reflection.empty() && t.reflection.size() != t.x.size())
    return KOLM_TR("kolm", "MHZ VALUE LOW HIGH MARK [RE IM RADIUS MARK], on every point or none");
  if (std::any_of(marks.begin(), marks.end(), [](Mark m) { return m != Mark::Valid; }))
    t.marks = std::move(marks);
  if (std::string why = traceProblem(t); !why.empty()) {
    lines.number = headerLine;
    return why;
  }
  s.traces.push_back(std::move(t));
  return {};
}

// Why the first line of a session is not one this program reads, or nothing.
std::string versionProblem(std::string_view line) {
  const std::string notOne =
      KOLM_TR("kolm", "not a session (its first line is not \"kolm-session\" and a version)");
  if (line.rfind("kolm-session ", 0) != 0) return notOne;
  const auto version = readNumber(line.substr(13));
  if (!version || *version < 1 || *version != std::floor(*version)) return notOne;
  if (*version > kSessionVersion)
    return common::arg(
        KOLM_TR("kolm",
                "a session of version %1, from a newer Kolm: this one reads versions 1 to 3"),
        {std::string(line.substr(13))});
  return {};
}

}  // namespace

SessionRead parseSession(std::string_view text, const std::string& name,
                         std::string_view instrument) {
  SessionRead read;
  Session s;
  s.instrument.clear();
  Lines lines{text};
  auto fail = [&](const std::string& why) {
    read.error = name + ":" + std::to_string(std::max<size_t>(lines.number, 1)) + ": " + why;
    return read;
  };
  std::string_view line;
  if (std::string why = versionProblem(lines.next(line) ? line : ""); !why.empty())
    return fail(why);
  bool ended = false;
  bool seen[9] = {};  // instrument, note, sweep, calibration, cable, levels, delay, hold, log
  auto once = [&](int k) { return !std::exchange(seen[k], true); };
  const std::string twice = KOLM_TR("kolm", "stated twice");
  while (lines.next(line)) {
    const std::string_view key = line.substr(0, std::min(line.find(' '), line.size()));
    std::string why;
    if (key == "instrument") {
      if (!once(0)) return fail(twice);
      if (line != "instrument power" && line != "instrument analyzer")
        return fail(KOLM_TR("kolm", "instrument power or instrument analyzer"));
      s.instrument = std::string(line.substr(11));
      if (!instrument.empty() && s.instrument != instrument)
        return fail(s.instrument == "power"
                        ? KOLM_TR("kolm", "a session of the power meter, not of the analyzer")
                        : KOLM_TR("kolm", "a session of the analyzer, not of the power meter"));
    } else if (key == "note" || key == "cable") {
      if (!once(key == "note" ? 1 : 4)) return fail(twice);
      const auto t = unescaped(line.substr(std::min(line.size(), key.size() + 1)));
      if (!t || t->empty())
        return fail(KOLM_TR("kolm", "an empty text, or one with a stray backslash"));
      (key == "note" ? s.note : s.cable) = *t;
    } else if (key == "sweep") {
      why = once(2) ? readSweep(line, s) : twice;
    } else if (key == "calibration") {
      why = once(3) ? readCalibration(line, s) : twice;
    } else if (key == "levels") {
      why = once(5) ? readLevels(line, s) : twice;
    } else if (key == "delay") {
      why = once(6) ? readDelay(line, s) : twice;
    } else if (line == "hold") {
      if (!once(7)) return fail(twice);
      s.hold = true;
    } else if (key == "log") {
      why = once(8) ? readLog(line, s) : twice;
    } else if (key == "marker") {
      const auto x = readNumber(line.substr(std::min(line.size(), size_t{7})));
      if (!x || !std::isfinite(*x)) return fail(KOLM_TR("kolm", "marker MHZ"));
      if (s.markers.size() >= 4) return fail(KOLM_TR("kolm", "more than four markers"));
      s.markers.push_back(*x);
    } else if (key == "limit") {
      why = readLimit(line, lines.number, s);
    } else if (key == "trace") {
      why = readTrace(line, lines, s);
    } else if (line == "end") {
      ended = true;
      break;
    } else if (!line.empty()) {
      return fail(KOLM_TR("kolm", "a line the session does not hold"));
    }
    if (!why.empty()) return fail(why);
  }
  while (ended && lines.next(line))
    if (!line.empty()) return fail(KOLM_TR("kolm", "a line after the session's end"));
  if (!ended) return fail(KOLM_TR("kolm", "the file ends before the session's end: it is cut"));
  if (s.instrument.empty())
    return fail(KOLM_TR("kolm", "the session names no instrument: the file is cut or damaged"));
  read.session = std::move(s);
  return read;
}

SessionRead readSession(const std::filesystem::path& path, std::string_view instrument) {
  const common::FileRead file = common::readFile(path, kSessionFileLimit);
  if (!file.content) return SessionRead{std::nullopt, file.error};
  return parseSession(*file.content, path.filename().string(), instrument);
}

std::string calibrationMismatch(const Session& s, const std::optional<std::string>& current) {
  if (!s.calibration && !current) return {};
  if (!s.calibration)
    return KOLM_TR("kolm", "the session was saved without a calibration; one is in use now");
  if (!current)
    return common::arg(KOLM_TR("kolm", "the session's calibration %1 is not there any more"),
                       {s.calibration->file});
  if (fnv1a64(*current) != s.calibration->checksum)
    return common::arg(
        KOLM_TR("kolm", "the calibration %1 has changed since the session was saved"),
        {s.calibration->file});
  return {};
}

}  // namespace kolm::chart
