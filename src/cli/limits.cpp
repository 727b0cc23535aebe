#include "cli/limits.h"

#include <algorithm>
#include <ostream>

#include "common/files.h"

namespace kolm::cli {

std::optional<chart::LimitMask> limitsOption(Args& args, const char* command,
                                             std::initializer_list<std::string_view> measured) {
  const auto path = args.option("--limits");
  if (!path) return std::nullopt;
  const common::FileRead file = common::readFile(*path, common::kTableFileLimit);
  if (!file.content) throw UsageError{"--limits: " + file.error};
  chart::MaskRead read = chart::parseLimitMask(*file.content, *path);
  if (!read.mask) throw UsageError{"--limits: " + read.error};
  for (const chart::LimitSegment& s : read.mask->segments)
    if (std::find(measured.begin(), measured.end(), s.quantity) == measured.end())
      throw UsageError{"--limits: " + *path + ":" + std::to_string(s.line) + ": " + command +
                       " does not measure '" + s.quantity + "'"};
  return std::move(read.mask);
}

int printVerdicts(Context& ctx, const chart::LimitMask& mask,
                  const std::vector<chart::StoredTrace>& traces) {
  using common::Verdict;
  Verdict overall = Verdict::Pass;
  const std::vector<std::string> limited = mask.quantities();
  for (const chart::StoredTrace& t : traces) {
    if (std::find(limited.begin(), limited.end(), t.quantity) == limited.end()) continue;
    const chart::MaskVerdict v = chart::judgeTrace(t, mask);
    overall = common::worseVerdict(overall, v.verdict);
    *ctx.out << "limits=" << t.quantity << " verdict=" << common::verdictName(v.verdict)
             << " pass=" << v.passed << " fail=" << v.failed << " indeterminate=" << v.indeterminate
             << "\n";
    for (const std::string& why : v.reasons) *ctx.out << "limit_note=" << why << "\n";
  }
  *ctx.out << "verdict=" << common::verdictName(overall) << "\n";
  return overall == Verdict::Fail            ? kVerdictFail
         : overall == Verdict::Indeterminate ? kVerdictIndeterminate
                                             : 0;
}

}  // namespace kolm::cli
