#include "chart/trace_log.h"

#include <cmath>
#include <ctime>

#include "common/text.h"

namespace kolm::chart {

namespace {

constexpr int kValueDigits = 7;
constexpr int kPmDigits = 4;

struct Row {
  double x;
  TracePoint p;
};

// The value and the half-width the row writes ("" when there is none).
std::pair<std::string, std::string> valueTexts(const TracePoint& p) {
  if (!std::isfinite(p.value)) return {p.mark == Mark::Open ? "inf" : "", ""};
  const std::string value = common::shortestText(p.value, kValueDigits);
  if (!numeric(p.mark)) return {value, ""};
  const double pm = std::max(p.value - p.low, p.high - p.value);
  if (!std::isfinite(pm)) return {value, "inf"};
  return {value, common::shortestText(
                     common::outwardHalfWidthSignificant(p.value, kValueDigits, pm, kPmDigits),
                     kPmDigits)};
}

void appendCsv(std::string& out, const std::string& time, long pass, const Row& r) {
  const auto [value, pm] = valueTexts(r.p);
  out += time;
  out += ',' + std::to_string(pass) + ',' + common::shortestText(r.x, 10) + ',' + value + ',' + pm +
         ',' + std::string(markWord(r.p.mark)) + '\n';
}

std::string jsonNumber(const std::string& text) {
  return text.empty() || text == "inf" ? std::string("null") : text;
}

}  // namespace

std::string_view markWord(Mark mark) {
  switch (mark) {
    case Mark::AtLeast:
      return "at_least";
    case Mark::AtMost:
      return "at_most";
    case Mark::Approximate:
      return "approximate";
    case Mark::Open:
      return "open";
    case Mark::Invalid:
      return "invalid";
    case Mark::Uncertain:
      return "uncertain";
    case Mark::Valid:
      break;
  }
  return "";
}

std::string logHeader(const StoredTrace& trace, LogFormat format) {
  if (format == LogFormat::Ndjson) return {};
  return "# quantity=" + trace.quantity + " unit=" + trace.unit +
         "\ntime_utc,pass,freq_mhz,value,pm,mark\n";
}

std::string utcText(std::chrono::system_clock::time_point time) {
  using namespace std::chrono;
  const auto ms = duration_cast<milliseconds>(time.time_since_epoch()).count();
  const std::time_t seconds = static_cast<std::time_t>(ms >= 0 ? ms / 1000 : (ms - 999) / 1000);
  std::tm t{};
#ifdef _WIN32
  gmtime_s(&t, &seconds);
#else
  gmtime_r(&seconds, &t);
#endif
  const long rest = static_cast<long>(ms - static_cast<long long>(seconds) * 1000);
  auto digits = [](long v, int width) {
    std::string d = std::to_string(v);
    return std::string(
               d.size() < static_cast<size_t>(width) ? static_cast<size_t>(width) - d.size() : 0,
               '0') +
           d;
  };
  return digits(t.tm_year + 1900, 4) + "-" + digits(t.tm_mon + 1, 2) + "-" + digits(t.tm_mday, 2) +
         "T" + digits(t.tm_hour, 2) + ":" + digits(t.tm_min, 2) + ":" + digits(t.tm_sec, 2) + "." +
         digits(rest, 3) + "Z";
}

void appendLogRows(std::string& out, const StoredTrace& trace, long pass,
                   std::chrono::system_clock::time_point time, LogFormat format,
                   std::optional<double> atMHz) {
  const std::string when = utcText(time);
  auto rowAt = [&](size_t i) {
    return Row{trace.x[i], {trace.value[i], trace.low[i], trace.high[i], trace.markAt(i)}};
  };
  auto rowAtMHz = [&](double x) {
    const auto p = pointAt(trace, x);
    return Row{x, p ? *p : TracePoint{NAN, -HUGE_VAL, HUGE_VAL, Mark::Invalid}};
  };
  if (format == LogFormat::Csv) {
    if (atMHz) {
      appendCsv(out, when, pass, rowAtMHz(*atMHz));
    } else {
      for (size_t i = 0; i < trace.size(); ++i) appendCsv(out, when, pass, rowAt(i));
    }
    return;
  }
  // One object per pass: scalars at a frequency, arrays for the whole trace.
  std::string freq, value, pm, mark;
  auto add = [&](const Row& r, bool first) {
    const auto [v, h] = valueTexts(r.p);
    const char* sep = first ? "" : ",";
    freq += sep + common::shortestText(r.x, 10);
    value += sep + jsonNumber(v);
    pm += sep + jsonNumber(h);
    mark += std::string(sep) + '"' + std::string(markWord(r.p.mark)) + '"';
  };
  if (atMHz) {
    add(rowAtMHz(*atMHz), true);
  } else {
    for (size_t i = 0; i < trace.size(); ++i) add(rowAt(i), i == 0);
  }
  const char* open = atMHz ? "" : "[";
  const char* close = atMHz ? "" : "]";
  out += "{\"time_utc\":\"" + when + "\",\"pass\":" + std::to_string(pass) + ",\"quantity\":\"" +
         trace.quantity + "\",\"unit\":\"" + trace.unit + "\",\"freq_mhz\":" + open + freq + close +
         ",\"value\":" + open + value + close + ",\"pm\":" + open + pm + close +
         ",\"mark\":" + open + mark + close + "}\n";
}

}  // namespace kolm::chart
