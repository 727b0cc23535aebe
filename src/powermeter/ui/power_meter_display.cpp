// The power meter window's drawing: the trace, the memory and the reference
// lines, the levels relative to level.rif, and the cursor readout.
#include <QAction>
#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>

#include "chart/chart.h"
#include "chart/markers.h"
#include "chart/readout.h"
#include "chart/ui/sweep_chart.h"
#include "chart/ui/trace_list.h"
#include "common/tr.h"
#include "common/ui/recent_files.h"
#include "hw/ui/ui_context.h"
#include "powermeter/normalise.h"
#include "powermeter/ui/power_meter_window.h"

namespace kolm::powermeter::ui {

namespace {

// Levels read by markers in dBm, their differences in dB; with the default
// calibration each reading says it is approximate, and a flagged one its flag.
void levelUnits(chart::ui::Trace& t, const LevelLimits& limits) {
  t.unit = "dBm";
  t.deltaUnit = "dB";
  t.words = &levelMarkWords();
  if (limits.calibrated) return;
  const int points = static_cast<int>(t.y.size()) - 1;
  t.describe = [limits, points, start = t.start, stop = t.stop, y = t.y](double x,
                                                                         const chart::Reading& r) {
    if (r.kind == chart::Reading::Kind::Value)
      return levelText(static_cast<float>(r.value), LevelFlag::Valid, false);
    const auto i = chart::cursorIndex(x, start, stop, points);
    const LevelFlag flag =
        i && *i >= 0 && *i <= points ? limits.flag(y[static_cast<size_t>(*i)]) : LevelFlag::Valid;
    const std::string word = flag != LevelFlag::Valid
                                 ? std::string(flagWord(flag))
                                 : chart::readingText(r, "dBm", "0.0", levelMarkWords());
    return word + ", " + KOLM_TR("kolm", "not calibrated");
  };
}

}  // namespace

void PowerMeterWindow::showTrace() {
  showAnalysis();
  if (m_.validLevels < 1) {
    chart_->setTraces({});
    chart_->setNote({});
    return;
  }
  chart_->setNote(QString::fromStdString(uncalibratedNote(m_.limits)));
  // Level i at traceStartMHz + i x (traceStopMHz - traceStartMHz) / points.
  chart::ui::Trace t;
  t.colour = chart::ui::paletteQColor(9);
  t.name =
      m_.fromFile ? tr("trace: %1").arg(QFileInfo(fileNameEdit_->text()).fileName()) : tr("trace");
  t.start = m_.traceStartMHz;
  t.stop = m_.whole() ? m_.traceStopMHz
                      : chart::pointFrequency(m_.traceStartMHz, m_.traceStopMHz, m_.points,
                                              m_.validLevels - 1);
  t.y = std::vector<float>(m_.levels.begin(), m_.levels.begin() + m_.validLevels);
  t.marks = levelMarks(t.y.data(), t.y.size(), m_.limits);
  levelUnits(t, m_.limits);
  if (normalised()) relativeTrace(t, m_.limits);
  chart_->setTraces({std::move(t)});
}

void PowerMeterWindow::redraw() {
  chart::guardSpan(m_.viewStartMHz, m_.viewStopMHz);
  chart::guardLevels(m_.topDbm, m_.bottomDbm);
  chart_->setScale(
      chart::powerMeterScale(m_.viewStartMHz, m_.viewStopMHz, m_.topDbm, m_.bottomDbm));
  chart::GridSpec grid =
      chart::powerMeterGrid(m_.viewStartMHz, m_.viewStopMHz, m_.topDbm, m_.bottomDbm);
  if (normalised()) grid.yUnit = "dB";
  chart_->setGrid(std::move(grid));
  std::vector<chart::ui::Trace> memory;
  if (compareCheck_->isChecked() && m_.memoryPoints >= 1) {
    chart::ui::Trace m;
    m.colour = chart::ui::paletteQColor(13);
    m.name = tr("memory: %1").arg(memoryName_);
    m.dashed = true;
    m.start = m_.memoryStartMHz;
    m.stop = m_.memoryStopMHz;
    m.y =
        std::vector<float>(m_.memoryLevels.begin(), m_.memoryLevels.begin() + m_.memoryPoints + 1);
    if (memoryBand_.low.size() == m.y.size() && memoryBand_.high.size() == m.y.size()) {
      m.bandLow = memoryBand_.low;
      m.bandHigh = memoryBand_.high;
    }
    m.marks = levelMarks(m.y.data(), m.y.size(), m_.memoryLimits);
    levelUnits(m, m_.memoryLimits);
    if (normalised()) relativeTrace(m, m_.memoryLimits);
    memory.push_back(std::move(m));
  }
  // Stored traces hold levels, not levels relative to level.rif: drawn on the
  // levels' scale only.
  if (storedTraces_ && !normalised()) {
    for (chart::ui::Trace& t : storedTraces_->chartTraces()) memory.push_back(std::move(t));
    for (chart::ui::Trace& t : storedTraces_->maskTraces(liveStoredTraces()))
      memory.push_back(std::move(t));
  }
  chart_->setMemoryTraces(std::move(memory));
  showReferences();
  showTrace();
}

void PowerMeterWindow::showReferences() {
  std::vector<chart::ui::Trace> refs;
  auto polyline = [&refs](const std::vector<RefPoint>& points, const QColor& colour,
                          const QString& name) {
    if (points.empty()) return;
    chart::ui::Trace t;
    t.colour = colour;
    t.name = name;
    std::vector<double> x;
    std::vector<float> y;
    for (const RefPoint& p : points) {
      x.push_back(p.x);
      y.push_back(p.y);
    }
    t.x = std::move(x);
    t.y = std::move(y);
    refs.push_back(std::move(t));
  };
  if (normalised()) {  // the reference is the 0 dB line now
    chart_->setReferenceTraces({});
    return;
  }
  const LevelReferenceDrawing level = levelReferenceDrawing(
      m_.viewStartMHz, m_.viewStopMHz, m_.fromFile, m_.storedReference, levelReference_);
  polyline(level.curve, chart::ui::paletteQColor(2), tr("reference level (level.rif)"));
  if (level.flatLevel)
    polyline({{m_.viewStartMHz, *level.flatLevel}, {m_.viewStopMHz, *level.flatLevel}}, kForeground,
             tr("stored reference level"));
  if (showQuartzReference_)
    polyline(quartzReferenceLine(m_.viewStartMHz, m_.viewStopMHz, quartzReference_),
             chart::ui::paletteQColor(3), tr("crystal through path (Quartz.rif)"));
  chart_->setReferenceTraces(std::move(refs));
}

void PowerMeterWindow::screenToMemory() {
  if (!m_.copyToMemory()) return;  // no whole trace yet
  memoryBand_ = {};
  memoryName_ = m_.fromFile ? QFileInfo(fileNameEdit_->text()).fileName() : tr("this chart");
  if (compareCheck_->isChecked())
    redraw();
  else
    compareCheck_->setChecked(true);  // redraws
}

void PowerMeterWindow::showInMemory(const std::vector<float>& levels, float start, float stop,
                                    const QString& name, chart::BandEdges band) {
  if (levels.size() < 2 || levels.size() > m_.memoryLevels.size()) return;
  memoryBand_ = std::move(band);
  // Computed, not read: nothing to flag.
  m_.loadMemory({static_cast<int16_t>(levels.size() - 1), start, stop, levels, {}}, {});
  memoryName_ = name;
  if (compareCheck_->isChecked())
    redraw();
  else
    compareCheck_->setChecked(true);  // redraws
}

bool PowerMeterWindow::normalised() const { return action("normaliseAction")->isChecked(); }

void PowerMeterWindow::setNormalised(bool on) {
  if (on && levelReferenceEntries_ < 1) {
    context_.prompter.message(
        tr("There is no level reference (level.rif) yet: measure it with Reference_Level first.")
            .toStdString(),
        common::Icon::Warning);
    on = false;
  }
  action("normaliseAction")->setChecked(on);
  common::ui::uiSettings(context_.settings).setValue("PowerMeter/normalised", on);
  redraw();
}

// The levels of `t` (absolute, as measured) minus the reference at each point.
void PowerMeterWindow::relativeTrace(chart::ui::Trace& t, const LevelLimits& limits) const {
  RelativeLevels r = relativeLevels(t.y.data(), t.y.size(), t.start, t.stop, limits,
                                    {levelReference_, levelReferenceEntries_});
  t.y = std::move(r.levels);
  t.marks = std::move(r.marks);
  // A band moves with its trace.
  for (chart::ui::Series<float>* edge : {&t.bandLow, &t.bandHigh})
    if (!edge->empty())
      *edge = relativeLevels(edge->data(), edge->size(), t.start, t.stop, limits,
                             {levelReference_, levelReferenceEntries_})
                  .levels;
  t.unit = "dB";
  t.describe = {};  // relative levels: read as numbers in dB
  t.name += tr(" (relative)");
}

void PowerMeterWindow::showReadout(double x, double y) {
  std::string readout = chart::cursorReadout(x, y);
  if (normalised()) readout.pop_back();  // dB, not dBm
  cursorReadout_->setText(QString::fromStdString(readout));
  // The traces at the cursor's frequency, bounds and flags in words.
  QStringList parts;
  auto level = [&](const char* what, const std::vector<float>& levels, int points, int valid,
                   float start, float stop, const LevelLimits& limits) {
    auto i = chart::cursorIndex(x, start, stop, points);
    if (!i || *i >= valid) return;
    const float value = levels[static_cast<size_t>(*i)];
    const LevelFlag flag = limits.flag(value);
    std::string text = what + (" " + levelText(value, flag, limits.calibrated));
    if (flag != LevelFlag::Valid) text += " (" + std::string(flagWord(flag)) + ")";
    parts << QString::fromStdString(text);
  };
  level("level", m_.levels, m_.points, m_.validLevels, m_.traceStartMHz, m_.traceStopMHz,
        m_.limits);
  // How many passes the trace's levels hold.
  if (!parts.isEmpty() && !passesText().empty())
    parts.back() += QString::fromStdString(", " + passesText());
  if (compareCheck_->isChecked() && m_.memoryPoints >= 1)
    level("memory", m_.memoryLevels, m_.memoryPoints, m_.memoryPoints + 1, m_.memoryStartMHz,
          m_.memoryStopMHz, m_.memoryLimits);
  levelReadout_->setText(parts.join("  "));
  levelReadout_->setCursorPosition(0);  // a narrow box shows the level, not the text's tail
}

}  // namespace kolm::powermeter::ui
