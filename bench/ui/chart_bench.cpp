// The chart's redraw after new data (grid cached, traces drawn) of one and of
// six 20001-point traces at 1000 x 600 pixels, with and without the reduction
// to pixel columns; the cursor readout as the power meter window does it; and
// 20 stored traces of 20001 points, redrawn and held.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <complex>
#include <filesystem>
#include <memory>
#include <random>

#include "chart/chart.h"
#include "chart/ui/disk_chart.h"
#include "chart/ui/sweep_chart.h"
#include "chart/ui/trace_list.h"
#include "common/prompter.h"
#include "powermeter/ui/power_meter_window.h"
#include "sim/sim_port.h"

namespace {

using namespace kolm;
using chart::ui::SweepChart;
using chart::ui::Trace;

Trace noisy(unsigned seed, double offset) {
  std::mt19937 rng(seed);
  std::normal_distribution<float> noise(0, 2);
  Trace t;
  t.start = 3;
  t.stop = 30;
  t.colour = chart::ui::paletteQColor(9 + static_cast<int>(seed % 6));
  std::vector<float> y(20001);
  for (size_t i = 0; i < y.size(); ++i)
    y[i] = static_cast<float>(offset + 15 * std::sin(i / 700.0) + noise(rng));
  t.y = std::move(y);
  return t;
}

// Shows a window and waits until the platform has exposed it (a repaint of an
// unexposed window paints nothing).
void showExposed(QWidget* w) {
  w->show();
  QElapsedTimer t;
  t.start();
  while ((!w->windowHandle() || !w->windowHandle()->isExposed()) && t.elapsed() < 5000)
    QApplication::processEvents();
  QApplication::processEvents();
}

// Runs `body` once per iteration and reports the median in milliseconds.
template <typename F>
void timed(benchmark::State& state, F body) {
  std::vector<double> ms;
  for (auto _ : state) {
    QElapsedTimer t;
    t.start();
    body();
    ms.push_back(t.nsecsElapsed() / 1e6);
  }
  std::nth_element(ms.begin(), ms.begin() + ms.size() / 2, ms.end());
  state.counters["median_ms"] = ms[ms.size() / 2];
}

void setUp(SweepChart& chart, int traces) {
  chart.resize(1000, 600);
  chart.setScale(chart::powerMeterScale(3, 30, 20, -80));
  chart.setGrid(chart::powerMeterGrid(3, 30, 20, -80));
  std::vector<Trace> all;
  for (int k = 0; k < traces; ++k) {
    Trace t = noisy(static_cast<unsigned>(k + 1), -60 + 10 * k);
    // The analyzer's traces each have their own vertical scale.
    if (k > 0) t.vertical = chart::VerticalScale{20.0 + k, -80.0 - k};
    all.push_back(std::move(t));
  }
  chart.setTraces(std::move(all));
  chart.redrawContent();  // grid cached
}

// Arg 0: traces; arg 1: 1 reduced to pixel columns, 0 every point drawn.
void BM_Redraw(benchmark::State& state) {
  SweepChart chart;
  chart.setDecimation(state.range(1) != 0);
  setUp(chart, static_cast<int>(state.range(0)));
  timed(state, [&] { chart.redrawContent(); });
}
BENCHMARK(BM_Redraw)
    ->ArgNames({"traces", "decimated"})
    ->Args({0, 1})
    ->Args({1, 1})
    ->Args({1, 0})
    ->Args({6, 1})
    ->Args({6, 0})
    ->Unit(benchmark::kMillisecond);

// The Smith chart of a 20001-point trace (a resonance's circle, with noise)
// and its memory, at 700 x 700 pixels: every layer painted into a picture.
void BM_SmithRedraw(benchmark::State& state) {
  chart::ui::DiskChart chart;
  chart.resize(700, 700);
  std::vector<chart::ui::DiskTraceView> live(1), memory(1);
  std::mt19937 rng(1);
  std::normal_distribution<double> noise(0, 0.003);
  for (auto* t : {&live[0], &memory[0]}) {
    for (int i = 0; i < 20001; ++i) {
      const double x = (i - 10000) / 2000.0;  // a series circuit's reactance over R
      const std::complex<double> z(1, x);
      t->trace.points.push_back((z - 1.6) / (z + 1.6) +
                                std::complex<double>(noise(rng), noise(rng)));
    }
    t->trace.signUnknown.assign(20001, 0);
    std::fill(t->trace.signUnknown.begin() + 9800, t->trace.signUnknown.begin() + 10200, 1);
    t->colour = Qt::cyan;
    t->dashed = t == &memory[0];
  }
  chart.setTraces(std::move(live), std::move(memory));
  QImage image(chart.size(), QImage::Format_RGB32);
  timed(state, [&] {
    QPainter p(&image);
    chart.paintChart(p, chart.size());
  });
}
BENCHMARK(BM_SmithRedraw)->Unit(benchmark::kMillisecond);

// A redraw after a zoom: the grid is drawn again too.
void BM_RedrawAfterZoom(benchmark::State& state) {
  SweepChart chart;
  setUp(chart, static_cast<int>(state.range(0)));
  bool flip = false;
  timed(state, [&] {
    flip = !flip;
    float stop = flip ? 20.0f : 30.0f;
    chart.setScale(chart::powerMeterScale(3, stop, 20, -80));
    chart.setGrid(chart::powerMeterGrid(3, stop, 20, -80));
    chart.redrawContent();
  });
}
BENCHMARK(BM_RedrawAfterZoom)->ArgName("traces")->Arg(1)->Arg(6)->Unit(benchmark::kMillisecond);

// The power meter window after a 20000-point pass: a mouse move over the chart
// sets the readout box, which paints itself.
void BM_CursorReadout(benchmark::State& state) {
  hw::Instrument instrument(std::move(sim::makeSimulatorPort({"atten:20", "r=50"}).port));
  instrument.setDelayer(std::make_unique<hw::NoDelayer>());
  instrument.params.quartzMHz = 20;
  instrument.params.refClockMultiplier = 20;
  instrument.params.refClockMHz = 400;
  common::ScriptedPrompter prompter;
  hw::ui::UiContext context{instrument, prompter,
                            common::SettingsFolder(std::filesystem::current_path())};
  auto* window = new powermeter::ui::PowerMeterWindow(context);
  showExposed(window);
  auto* pointsEdit = window->findChild<QLineEdit*>("pointsEdit");
  pointsEdit->setText("20000");
  QMetaObject::invokeMethod(window->findChild<QWidget*>("singleSweepButton"), "click");
  while (window->sweeping()) QApplication::processEvents();
  auto* sweepChart = window->findChild<SweepChart*>("chart");
  auto* cursorReadout = window->findChild<QLineEdit*>("cursorReadout");
  sweepChart->repaint();
  int x = 10;
  timed(state, [&] {
    x = x >= sweepChart->width() - 10 ? 10 : x + 7;
    QPointF at(x, sweepChart->height() / 2.0);
    QMouseEvent move(QEvent::MouseMove, at, sweepChart->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(sweepChart, &move);
    cursorReadout->repaint();
  });
  state.SetLabel(cursorReadout->text().toStdString());
  window->close();
  QApplication::processEvents();
}
BENCHMARK(BM_CursorReadout)->Unit(benchmark::kMicrosecond);

// A cursor line over six cached 20001-point traces: the chart repaints only
// its top layer.
void BM_CursorLine(benchmark::State& state) {
  SweepChart chart;
  setUp(chart, 6);
  showExposed(&chart);
  chart.repaint();
  double x = 3;
  timed(state, [&] {
    x = x >= 29 ? 3 : x + 0.1;
    chart.setCursorLine(x);
    chart.repaint();
  });
}
BENCHMARK(BM_CursorLine)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // The power meter window reads and writes pow.ini in this folder (its settings
  // folder: the working directory when the window opens).
  auto dir = std::filesystem::temp_directory_path() / "kolm-chart-bench";
  std::filesystem::create_directories(dir);
  std::filesystem::current_path(dir);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
namespace {
// The reduction alone: 20001 points to one run per pixel column.
void BM_ColumnRuns(benchmark::State& state) {
  Trace t = noisy(1, -30);
  chart::PixelMap m(chart::powerMeterScale(3, 30, 20, -80), 905, 540);
  std::vector<chart::ColumnRun> out;
  chart::TraceSamples s{t.y.data(), t.y.size(), nullptr, t.start, t.stop};
  for (auto _ : state) {
    chart::traceColumnRuns(s, m, out);
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["runs"] = static_cast<double>(out.size());
}
BENCHMARK(BM_ColumnRuns)->Unit(benchmark::kMicrosecond);
}  // namespace
namespace {
// Stored traces at their largest: 20 traces of 20001 points, each with its
// interval band, kept in the trace list and drawn on a 1000 x 600 chart. The
// redraw is what the window does after a pass (the list's traces handed to
// the chart, then drawn; target 16 ms); the memory is the heap the 20 hold
// beyond what one holds (target 100 MB).
// Without `banded`, every interval unbounded: no band is drawn.
chart::StoredTrace noisyTrace(int k, bool banded) {
  std::mt19937 rng(static_cast<unsigned>(k + 1));
  std::normal_distribution<double> noise(0, 0.3);
  chart::StoredTrace t{"trace", "level", "dBm"};
  const double from = 3 + 0.001 * k, to = 30 - 0.002 * k;  // each on a grid of its own
  for (int i = 0; i < 20001; ++i) {
    const double x = from + (to - from) * i / 20000;
    const double v = -60 + 2 * k + 15 * std::sin(i / 700.0) + noise(rng);
    t.x.push_back(x);
    t.value.push_back(v);
    t.low.push_back(banded ? v - 0.5 : -INFINITY);
    t.high.push_back(banded ? v + 0.5 : INFINITY);
  }
  return t;
}

size_t heapBytes() { return mallinfo2().uordblks; }

struct StoredChart {
  common::ScriptedPrompter prompter;
  chart::ui::TraceList list{prompter, [](std::string*) { return std::nullopt; }};
  chart::ui::SweepChart chart;
  StoredChart(int traces, bool banded) {
    chart.resize(1000, 600);
    chart.setScale(chart::powerMeterScale(3, 30, 20, -80));
    chart.setGrid(chart::powerMeterGrid(3, 30, 20, -80));
    for (int k = 0; k < traces; ++k) list.add(noisyTrace(k, banded));
    redraw();
  }
  void redraw() {
    chart.setMemoryTraces(list.chartTraces());
    chart.redrawContent();
  }
};

void BM_StoredTracesRedraw(benchmark::State& state) {
  const size_t before = heapBytes();
  const bool banded = state.range(1) != 0;
  auto one = std::make_unique<StoredChart>(1, banded);
  const double oneMb = static_cast<double>(heapBytes() - before) / 1e6;
  one.reset();
  const size_t again = heapBytes();
  StoredChart all(static_cast<int>(state.range(0)), banded);
  const double allMb = static_cast<double>(heapBytes() - again) / 1e6;
  // The redraw, and of it the traces made from the list (the rest is drawing).
  std::vector<double> ms, made;
  for (auto _ : state) {
    QElapsedTimer t;
    t.start();
    std::vector<chart::ui::Trace> traces = all.list.chartTraces();
    made.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
    all.chart.setMemoryTraces(std::move(traces));
    all.chart.redrawContent();
    ms.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
  }
  auto median = [](std::vector<double>& v) {
    std::nth_element(v.begin(), v.begin() + static_cast<long>(v.size() / 2), v.end());
    return v[v.size() / 2];
  };
  state.counters["median_ms"] = median(ms);
  state.counters["traces_made_ms"] = median(made);
  state.counters["target_ms"] = 16;
  state.counters["mb_one"] = oneMb;
  state.counters["mb_over_one"] = allMb - oneMb;
  state.counters["target_mb_over_one"] = 100;
}
// Arg 0: traces; arg 1: 1 with their interval bands, 0 without.
BENCHMARK(BM_StoredTracesRedraw)
    ->ArgNames({"traces", "banded"})
    ->Args({1, 1})
    ->Args({20, 1})
    ->Args({20, 0})
    ->Unit(benchmark::kMillisecond);

}  // namespace
