// A power meter window on a recording simulated instrument, with scripted
// dialogs, in a fresh working directory. The other windows' tests drive theirs
// through the same helpers (`driven`, `busy`).
#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QToolButton>
#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "chart/ui/sweep_chart.h"
#include "common/prompter.h"
#include "hw/ui/ui_context.h"
#include "powermeter/ui/power_meter_window.h"
#include "sim/sim_port.h"
#include "sim/simulated_instrument.h"
#include "support/temp_dir.h"
#include "support/ui/widgets.h"

namespace kolm::test {

using powermeter::ui::PowerMeterWindow;

// Records every byte and answers as the simulator would.
struct RecordingSim : hw::PortIo {
  RecordingSim(const std::string& dut, const std::string& board) : board(board) {
    inner = std::move(sim::makeSimulatorPort({dut, "r=50", board}).port);
  }
  void writeData(uint8_t v) override {
    if (failAtWrite && writes.size() >= *failAtWrite) fail("the adapter was unplugged");
    if (failed()) return;
    writes.push_back(v);
    inner->writeData(v);
  }
  uint8_t readStatus() override { return failed() ? 0 : inner->readStatus(); }
  std::string name() const override { return "sim"; }
  bool simulated() const override { return true; }
  bool addressed() const override { return false; }
  void attach(const hw::HardwareParams* params) override { inner->attach(params); }
  std::string board;
  std::unique_ptr<hw::PortIo> inner;
  std::vector<uint8_t> writes;
  std::optional<size_t> failAtWrite;  // that write and every later access fail
};

struct Rig {
  // Without `realDelays` a pass of a few thousand points takes milliseconds. The
  // simulator is the ideal board (exact counts) unless `board` says "typical".
  explicit Rig(const std::string& dut = "atten:20", bool realDelays = false,
               const std::string& board = "ideal")
      : context{instrument, prompter, common::SettingsFolder(dir.path())} {
    auto p = std::make_unique<RecordingSim>(dut, board);
    port = p.get();
    instrument.setPort(std::move(p));
    if (!realDelays) instrument.setDelayer(std::make_unique<hw::NoDelayer>());
    instrument.params = {20, 20, 400, hw::kLpt1, "sim"};  // 20 MHz x 20
    context.showParameters = [this](QWidget* owner) { parameterOwners.push_back(owner); };
  }
  // The windows closed meanwhile go before the context they hold.
  ~Rig() {
    if (window) window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  PowerMeterWindow* open() {
    window = static_cast<PowerMeterWindow*>(powermeter::ui::createPowerMeterWindow(context));
    driven = window.data();
    window->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window.data()));
    return window;
  }
  template <typename T>
  T* get(const char* name) {
    return child<T>(driven, name);
  }
  QString text(const char* name) { return get<QLineEdit>(name)->text(); }
  // Runs a menu command with the file dialog answering `file`.
  void withFile(const char* action, const std::string& file) {
    prompter.files = {file};
    get<QAction>(action)->trigger();
  }
  void type(const char* name, const QString& value) {
    auto* e = get<QLineEdit>(name);
    e->selectAll();
    QTest::keyClicks(e, value);
  }
  chart::ui::SweepChart* chart() { return get<chart::ui::SweepChart>("chart"); }
  bool waitIdle(int ms = 10000) {
    return QTest::qWaitFor([this] { return !busy(); }, ms);
  }
  // One sweep from the Single button, to its end.
  bool sweep() {
    get<QToolButton>("singleSweepButton")->click();
    return waitIdle();
  }
  // A menu command that measures, to its end.
  bool run(const char* action) {
    get<QAction>(action)->trigger();
    return waitIdle();
  }
  int resets() const {
    return static_cast<int>(std::count(port->writes.begin(), port->writes.end(), 144));
  }
  // The simulated instrument behind the recording port.
  sim::SimulatedInstrument& simulator() { return *sim::findSimulator(port->inner.get()); }
  // Connects another device between generator and detector.
  void connect(const std::string& dut) {
    ASSERT_EQ(simulator().configure({dut, "r=50", port->board}), "");
  }
  std::string lastMessage() const {
    auto m = prompter.messages();
    return m.empty() ? std::string() : m.back();
  }
  // The pixel of the chart at user units (x, y).
  QPoint pixel(double x, double y) {
    auto m = chart()->pixelMap();
    return QPoint(static_cast<int>(std::lround(m.x(x))), static_cast<int>(std::lround(m.y(y))));
  }

  test::InTempDir dir;
  hw::Instrument instrument;
  common::ScriptedPrompter prompter;
  hw::ui::UiContext context;
  RecordingSim* port = nullptr;
  QPointer<PowerMeterWindow> window;
  // The window the helpers above drive, and whether it sweeps: the power meter
  // open() opened, unless a test shows another.
  QPointer<QWidget> driven;
  std::function<bool()> busy = [this] { return window && window->sweeping(); };
  std::vector<QWidget*> parameterOwners;
};

}  // namespace kolm::test
