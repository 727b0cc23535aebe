// The analyzer window on its own recording instrument, in a fresh working
// directory, with scripted dialogs.
#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QToolButton>
#include <string>
#include <vector>

#include "analyzer/ui/analyzer_view.h"
#include "common/prompter.h"
#include "hw/dds.h"
#include "sim/sim_port.h"
#include "support/recording_port.h"
#include "support/temp_dir.h"
#include "support/ui/widgets.h"

namespace kolm::test {

using analyzer::ui::AnalyzerWindow;

// A window on its own instrument, in a fresh working directory.
class AnalyzerUi : public ::testing::Test {
 protected:
  void SetUp() override {
    auto p = std::make_unique<SimRecordingPort>();
    port = p.get();
    instrument.setPort(std::move(p));
    instrument.setDelayer(std::make_unique<hw::NoDelayer>());
    instrument.params = {20, 20, 400, hw::kLpt1, "sim"};  // 20 MHz x 20
    instrument.refreshReachable();
  }
  void TearDown() override {
    if (window) window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  // The ideal board (exact counts) unless `board` says "typical".
  void useSimulator(const std::string& load, const std::string& board = "ideal") {
    auto opened = sim::makeSimulatorPort({"through", load, board});
    ASSERT_TRUE(opened.port) << opened.error;
    port = nullptr;
    instrument.setPort(std::move(opened.port));
  }
  AnalyzerWindow* open() {
    window = new AnalyzerWindow(context);
    window->resize(1000, 760);
    window->show();
    QCoreApplication::processEvents();
    return window;
  }
  template <typename T>
  T* find(const char* name) {
    return child<T>(window, name);
  }
  QLineEdit* box(const char* name) { return find<QLineEdit>(name); }
  void waitIdle() {
    for (int i = 0; i < 2000 && window->sweeping(); ++i) QTest::qWait(5);
    ASSERT_FALSE(window->sweeping());
  }
  // One sweep from the Single button, to its end.
  void sweepOnce() {
    QTest::mouseClick(find<QToolButton>("singleSweepButton"), Qt::LeftButton);
    waitIdle();
  }
  // Runs a menu command with the file dialog answering `file` (empty: Cancel).
  void command(const char* action, const std::string& file) {
    prompter.files.push_back(file);
    find<QAction>(action)->trigger();
  }
  std::vector<bool> active() const {
    const auto& a = window->selection().shownTraces;
    return std::vector<bool>(a.begin(), a.end());
  }

  test::InTempDir here;
  hw::Instrument instrument;
  hw::RecordingPort* port = nullptr;
  common::ScriptedPrompter prompter;
  int parametersShown = 0;
  hw::ui::UiContext context{instrument, prompter, common::SettingsFolder(here.path()),
                            [this](QWidget*) { ++parametersShown; }, KOLM_ICON_DIR};
  QPointer<AnalyzerWindow> window;
};

}  // namespace kolm::test
