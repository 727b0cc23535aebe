#include "chart/session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

using namespace kolm::chart;

namespace {

Session generated(std::mt19937& rng) {
  std::uniform_real_distribution<double> u(0, 1);
  auto pick = [&](int n) { return static_cast<int>(u(rng) * n); };
  Session s;
  s.instrument = pick(2) ? "power" : "analyzer";
  const char* notes[] = {"", "Dipole 40 m\nafter the rain", "a\\b \\n", "  blanks  "};
  s.note = notes[pick(4)];
  s.startMHz = 1 + 10 * u(rng), s.stopMHz = s.startMHz + 1 / (1 + u(rng) * 1e6);
  s.points = 1 + pick(20001), s.average = 1 + pick(100);
  if (pick(2)) s.calibration = CalibrationRef{"bridge cal.cfg", rng() * 0x9e3779b97f4a7c15ull};
  if (pick(2)) s.cable = "RG58:10";
  if (pick(2)) s.levels = std::pair(20 * u(rng), -100 * u(rng));
  if (pick(2)) s.delayMs = pick(2) ? 0 : 1000 * u(rng);
  s.hold = pick(2);
  const char* logs[] = {"", "/tmp/a log.csv", "C:\\logs\\x.ndjson"};
  if (pick(2)) s.log = SessionLog{pick(2) == 1, logs[pick(3)]};
  for (int m = pick(5); m > 0; --m) s.markers.push_back(u(rng) * 30);
  double at = 1;
  for (int k = pick(4); k > 0; --k, at += 5)
    s.mask.segments.push_back({"swr", true, at, at + 1 + u(rng), 1 + u(rng), 2 + u(rng), 0});
  for (int k = pick(4); k > 0; --k) {
    StoredTrace t{"trace " + std::to_string(k), pick(2) ? "level" : "x", pick(2) ? "dBm" : ""};
    t.colour = rng() & 0xffffff;
    t.shown = pick(2);
    const int n = pick(50);
    const bool marked = pick(2);
    for (int i = 0; i < n; ++i) {
      const double v = (u(rng) - 0.5) * std::pow(10, pick(30) - 15);
      t.x.push_back(i + u(rng) * 0.5);
      const Mark m = marked ? static_cast<Mark>(pick(7)) : Mark::Valid;
      const bool none = m == Mark::Invalid && pick(2);
      t.value.push_back(none ? std::numeric_limits<double>::quiet_NaN() : v);
      t.low.push_back(pick(5) ? v - u(rng) : -HUGE_VAL);
      t.high.push_back(pick(5) ? v + u(rng) : HUGE_VAL);
      if (marked) t.marks.push_back(m);
    }
    // Some hold the load's reflection: every mark a reflection takes.
    constexpr Mark kReflectionMarks[] = {Mark::Valid, Mark::Uncertain, Mark::Approximate,
                                         Mark::Invalid};
    if (pick(2))
      for (int i = 0; i < n; ++i)
        t.reflection.push_back({{u(rng) - 0.5, u(rng) - 0.5},
                                pick(5) ? u(rng) * 1e-3 : HUGE_VAL,
                                kReflectionMarks[pick(4)]});
    if (!t.marks.empty() &&
        std::all_of(t.marks.begin(), t.marks.end(), [](Mark m) { return m == Mark::Valid; }))
      t.marks.clear();
    s.traces.push_back(std::move(t));
  }
  return s;
}

}  // namespace

// Saved, opened and saved again: the same file, the same values to the last
// bit; and the file cut anywhere before its end opens as nothing.
TEST(Session, RoundTripsExactlyAndACutFileIsRefused) {
  std::mt19937 rng(44);
  for (int round = 0; round < 300; ++round) {
    const Session s = generated(rng);
    const std::string file = formatSession(s);
    const SessionRead back = parseSession(file, "s.kolms");
    ASSERT_TRUE(back.session) << back.error << "\n" << file;
    EXPECT_EQ(formatSession(*back.session), file);
    // NaN is no value of its own: compare the rest where no NaN stands.
    Session a = *back.session, b = s;
    for (Session* x : {&a, &b})
      for (StoredTrace& t : x->traces)
        for (double& v : t.value)
          if (std::isnan(v)) v = 0;
    for (LimitSegment& l : a.mask.segments) l.line = 0;
    EXPECT_EQ(a, b);
    const size_t cut = static_cast<size_t>(rng() % (file.size() - 1));
    const SessionRead part = parseSession(file.substr(0, cut), "s.kolms");
    EXPECT_FALSE(part.session) << cut;
    EXPECT_EQ(part.error.rfind("s.kolms:", 0), 0u);
  }
}

TEST(Session, VersionsAndCalibrationMatch) {
  Session s;
  s.calibration = CalibrationRef{"bridge-cal.cfg", fnv1a64("terms")};
  std::string file = formatSession(s);
  EXPECT_TRUE(parseSession(file, "s").session);
  file.replace(file.find(" 3\n"), 2, " 4");
  const SessionRead newer = parseSession(file, "s");
  EXPECT_FALSE(newer.session);
  EXPECT_NE(newer.error.find("newer"), std::string::npos) << newer.error;
  EXPECT_EQ(calibrationMismatch(s, std::string("terms")), "");
  EXPECT_NE(calibrationMismatch(s, std::string("terms2")), "");
  EXPECT_NE(calibrationMismatch(s, std::nullopt), "");
  EXPECT_NE(calibrationMismatch(Session{}, std::string("terms")), "");
  EXPECT_EQ(calibrationMismatch(Session{}, std::nullopt), "");
  // A session of version 1 (no levels, delay, hold or log) opens as it was.
  const SessionRead old =
      parseSession("kolm-session 1\ninstrument power\nsweep 1 30 100 2\nmarker 7\nend\n", "s");
  ASSERT_TRUE(old.session) << old.error;
  EXPECT_EQ(old.session->markers, std::vector<double>{7});
  EXPECT_FALSE(old.session->levels || old.session->delayMs || old.session->hold ||
               old.session->log);
  // Limits that cross are refused at their line, as in a mask file.
  const SessionRead crossing = parseSession(
      "kolm-session 1\ninstrument power\nlimit level upper 3 5 -10 -10\n"
      "limit level lower 4 6 -5 -5\nend\n",
      "s");
  EXPECT_EQ(crossing.error.rfind("s:4: ", 0), 0u) << crossing.error;
}
