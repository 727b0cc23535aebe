// The analyzer's cable commands: the cable to take out of the readings (a
// type from the list with its length, or figures by hand), and a stub's
// figures measured from the sweep on the chart.
#pragma once

#include <optional>

#include "analyzer/cable.h"
#include "analyzer/measurement.h"
#include "common/prompter.h"

class QWidget;

namespace kolm::analyzer::ui {

struct CableChoice {
  bool cancelled = true;
  std::optional<Cable> cable;  // none: the readings as measured
};
// Asks for the cable, starting from `current`; a choice the core refuses is
// said in the dialog and not taken.
CableChoice askCable(QWidget* parent, const std::optional<Cable>& current);

// Asks for the stub's length and far end, and says its figures as measured on
// `trace` (or why they cannot be found) through `prompter`.
void measureStubOn(QWidget* parent, const TraceValues& trace, common::Prompter& prompter);

}  // namespace kolm::analyzer::ui
