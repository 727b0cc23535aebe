// The power meter's analysis panel.
#include <algorithm>
#include <span>

#include "chart/ui/analysis_panel.h"
#include "powermeter/analysis.h"
#include "powermeter/ui/power_meter_window.h"

namespace kolm::powermeter::ui {

void PowerMeterWindow::showAnalysis() {
  if (!analysis_) return;
  const bool whole = validLevels_ == Points + 1;
  const std::span<const float> levels(trace_.data(), whole ? validLevels_ : 0);
  // The through reference: a loaded chart's stored level, else level.rif once measured.
  std::optional<ReferenceTable> through;
  if (chartFromFile_) {
    if (storedReference_ != 0) through.emplace().fill(storedReference_);
  } else if (std::any_of(levelReference_.begin(), levelReference_.end(),
                         [](float v) { return v != 0; })) {
    through = levelReference_;
  }
  analysis_->setRows(levelAnalysisRows(
      analyzeLevels(levels, TraceStart, TraceStop, traceLimits_, through ? &*through : nullptr)));
}

}  // namespace kolm::powermeter::ui
