// The power meter's analysis panel.
#include <algorithm>
#include <span>

#include "chart/ui/analysis_panel.h"
#include "chart/ui/trace_list.h"
#include "powermeter/analysis.h"
#include "powermeter/ui/power_meter_window.h"

namespace kolm::powermeter::ui {

void PowerMeterWindow::showAnalysis() {
  if (!analysis_) return;
  const bool whole = m_.whole();
  const std::span<const float> levels(m_.levels.data(), whole ? m_.validLevels : 0);
  // The through reference: a loaded chart's stored level, else level.rif once measured.
  std::optional<ReferenceTable> through;
  if (m_.fromFile) {
    if (m_.storedReference != 0) through.emplace().fill(m_.storedReference);
  } else if (std::any_of(levelReference_.begin(), levelReference_.end(),
                         [](float v) { return v != 0; })) {
    through = levelReference_;
  }
  auto rows = levelAnalysisRows(analyzeLevels(levels, m_.traceStartMHz, m_.traceStopMHz, m_.limits,
                                              through ? &*through : nullptr));
  if (storedTraces_)
    for (auto& row : storedTraces_->verdictRows(liveStoredTraces())) rows.push_back(row);
  analysis_->setRows(rows);
}

}  // namespace kolm::powermeter::ui
