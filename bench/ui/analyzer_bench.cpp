// Redraw of the antenna analyzer chart at its largest: all six quantities and
// their six memory traces over 20001 points on a 1000 x 600 chart (target:
// 8 ms median).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCheckBox>
#include <filesystem>
#include <memory>

#include "analyzer/ui/analyzer_view.h"
#include "chart/ui/sweep_chart.h"
#include "common/prompter.h"
#include "hw/instrument.h"

using namespace kolm;

namespace {

struct Fixture {
  Fixture() {
    instrument.setPort(std::make_unique<hw::NullPort>());
    window = std::make_unique<analyzer::ui::AnalyzerWindow>(context);
    window->resize(1280, 960);
    window->show();
    QCoreApplication::processEvents();
    analyzer::Measurement& m = window->measurement();
    m.points = analyzer::kMaxPoints;
    m.traceStartMHz = static_cast<float>(m.viewStartMHz);
    m.traceStopMHz = static_cast<float>(m.viewStopMHz);
    window->showDemonstration();
    // A memory trace unlike the live one: the simulation shifted by a third.
    m.memoryPoints = m.points;
    m.memoryStartMHz = m.viewStartMHz;
    m.memoryStopMHz = m.viewStopMHz;
    for (int i = 0; i <= m.points; ++i) {
      const int j = (i + m.points / 3) % (m.points + 1);
      m.memory.returnLossCounts[i] = m.live.returnLossCounts[j];
      m.memory.phaseCounts[i] = m.live.phaseCounts[j];
      m.memory.frequencies[i] = m.live.frequencies[i];
    }
    window->compareBox()->setChecked(true);
    for (int q = 1; q < analyzer::kQuantities; ++q) window->selectQuantity(q);
    // The chart sits in the window's layout, which would undo a resize of the
    // chart alone: the window is grown or shrunk until the layout gives the
    // chart its size.
    for (int tries = 0; tries < 4; ++tries) {
      const QSize off = QSize(kChartWidth, kChartHeight) - window->chart()->size();
      if (off.isNull()) break;
      window->resize(window->size() + off);
      QCoreApplication::processEvents();
    }
  }
  static constexpr int kChartWidth = 1000, kChartHeight = 600;
  ~Fixture() { window->setAttribute(Qt::WA_DeleteOnClose, false); }

  hw::Instrument instrument;
  common::ScriptedPrompter prompter;
  hw::ui::UiContext context{instrument, prompter,
                            common::SettingsFolder(std::filesystem::current_path())};
  std::unique_ptr<analyzer::ui::AnalyzerWindow> window;
};

// redraw (the six quantities of both traces computed and handed to the
// chart) and the chart's picture painted from them; arg 0 without the values'
// intervals, uncertain marks and signs, arg 1 with them (as the program runs).
void BM_AnalyzerRedrawSixPlusSixMemory(benchmark::State& state) {
  Fixture f;
  f.window->setIntervalsComputed(state.range(0) != 0);
  f.window->redraw();
  chart::ui::SweepChart* chart = f.window->chart();
  if (chart->traces().size() != 6 || chart->memoryTraces().size() != 6) {
    state.SkipWithError("not six live and six memory traces");
    return;
  }
  for (auto _ : state) {
    f.window->redraw();
    chart->redrawContent();
  }
  if (chart->width() != Fixture::kChartWidth || chart->height() != Fixture::kChartHeight)
    state.SkipWithError("the chart did not keep its 1000 x 600 size");
  // The picture drawn, to compare one build's with another's:
  // KOLM_REDRAW_PICTURE=PREFIX writes PREFIX-ARG.png.
  const QString picture = qEnvironmentVariable("KOLM_REDRAW_PICTURE");
  if (!picture.isEmpty() &&
      !chart->grab().save(picture + "-" + QString::number(state.range(0)) + ".png"))
    state.SkipWithError("the picture could not be written");
  state.counters["points"] = analyzer::kMaxPoints + 1;
}
BENCHMARK(BM_AnalyzerRedrawSixPlusSixMemory)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

// The cursor readout of one mouse move over the same chart.
void BM_AnalyzerCursorMove(benchmark::State& state) {
  Fixture f;
  double x = 3;
  for (auto _ : state) {
    f.window->chart()->setCursorAt(x, 100);
    x = x < 29 ? x + 0.37 : 3;
  }
}
BENCHMARK(BM_AnalyzerCursorMove)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
