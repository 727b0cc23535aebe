// --limits FILE of the sweeping commands: the mask read before the port is
// touched, and the verdict of the measured traces against it.
#pragma once

#include <initializer_list>
#include <optional>
#include <string_view>
#include <vector>

#include "chart/limit_mask.h"
#include "cli/cli.h"

namespace kolm::cli {

// Exit statuses of a measurement judged against limits (0 when it passes).
inline constexpr int kVerdictFail = 4;
inline constexpr int kVerdictIndeterminate = 5;

// The mask of --limits, empty when absent; throws UsageError naming the file
// and line when it cannot be read whole, or when it limits a quantity not in
// `measured`.
std::optional<chart::LimitMask> limitsOption(Args& args, const char* command,
                                             std::initializer_list<std::string_view> measured);

// Prints "limits=QUANTITY verdict=WORD pass=N fail=N indeterminate=N" for each
// trace of a quantity the mask limits, a "limit_note=" line for each reason,
// and the overall "verdict=WORD"; returns the exit status that verdict gives.
int printVerdicts(Context& ctx, const chart::LimitMask& mask,
                  const std::vector<chart::StoredTrace>& traces);

}  // namespace kolm::cli
