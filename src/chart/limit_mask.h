// Limit masks: upper and lower limit lines per quantity, each a straight
// segment over a span of frequencies, and the verdict of a trace against them
// per point and per sweep by its intervals (common/verdict.h): pass, fail, or
// indeterminate where an interval straddles a limit.
//
// A mask file is text, one statement a line, '#' starting a comment:
//   kolm-mask 1
//   quantity swr
//   upper 3.5 3.8 2            # from_mhz to_mhz limit: at most 2 over 3.5-3.8 MHz
//   lower 7 7.2 1.1 1.3        # ... limit_at_from limit_at_to: a sloping line
// The version line comes first; a file of a later version is refused. Every
// limit belongs to the quantity named last above it. Two limits of one kind
// and quantity may meet but not overlap, and an upper limit may nowhere lie
// below a lower one.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "chart/stored_trace.h"
#include "common/verdict.h"

namespace kolm::chart {

inline constexpr int kMaskVersion = 1;

struct LimitSegment {
  std::string quantity;
  bool upper = true;
  double fromMHz = 0, toMHz = 0;
  double limitFrom = 0, limitTo = 0;  // the limit at either end
  int line = 0;                       // where the file states it
  double limitAt(double x) const;
  bool operator==(const LimitSegment&) const = default;
};

struct LimitMask {
  std::vector<LimitSegment> segments;
  // The quantities the mask limits, in the order they first appear.
  std::vector<std::string> quantities() const;
  bool operator==(const LimitMask&) const = default;
};

// Why `segment` cannot join `mask`: a span that does not rise, a limit of the
// same kind it overlaps, a limit of the other kind it crosses (naming that
// one's line); empty when it can.
std::string segmentProblem(const LimitMask& mask, const LimitSegment& segment);
// A quantity's name as masks and sessions write it: small letters, digits, _,
// - and /, at most 32.
bool quantityName(std::string_view name);

struct MaskRead {
  std::optional<LimitMask> mask;
  std::string error;  // "NAME:LINE: why", nothing read
};
// `name` is what messages call the file.
MaskRead parseLimitMask(std::string_view text, const std::string& name);
// The file as parseLimitMask reads it back.
std::string formatLimitMask(const LimitMask& mask);

struct MaskVerdict {
  common::Verdict verdict = common::Verdict::Indeterminate;
  // Per point of the trace: its verdict, or none where no limit covers it.
  std::vector<std::optional<common::Verdict>> points;
  int passed = 0, failed = 0, indeterminate = 0;
  // The first points that failed or could not be told, and spans of the mask
  // the trace does not reach, in words.
  std::vector<std::string> reasons;
};
// The trace against the mask's limits of its quantity. A point is judged by
// each limit whose span holds it, through its interval as its mark leaves it
// (markedInterval); the sweep fails when a point fails, and is indeterminate
// when a point cannot be told, when a limit's span reaches beyond the trace
// or when the mask holds no limit of the trace's quantity.
MaskVerdict judgeTrace(const StoredTrace& trace, const LimitMask& mask);

}  // namespace kolm::chart
