// The analyzer window on the power meter's rig: a recording simulated
// instrument, scripted dialogs, a fresh working directory.
#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLineEdit>
#include <QPointer>
#include <string>
#include <vector>

#include "analyzer/ui/analyzer_view.h"
#include "powermeter/ui/power_meter_rig.h"

namespace kolm::test {

using analyzer::ui::AnalyzerWindow;

class AnalyzerUi : public ::testing::Test, public Rig {
 protected:
  AnalyzerUi() : Rig("through") {
    context.dataDir = KOLM_ICON_DIR;
    busy = [this] { return window && window->sweeping(); };
    instrument.refreshReachable();
  }
  void TearDown() override {
    if (window) window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  // A simulator of its own, unrecorded, with `load` on the bridge: the ideal
  // board (exact counts) unless `board` says "typical" or "harsh".
  void useSimulator(const std::string& load, const std::string& board = "ideal") {
    auto opened = sim::makeSimulatorPort({"through", load, board});
    ASSERT_TRUE(opened.port) << opened.error;
    port = nullptr;
    instrument.setPort(std::move(opened.port));
  }
  AnalyzerWindow* open() {
    window = new AnalyzerWindow(context);
    driven = window.data();
    window->resize(1000, 760);
    window->show();
    QCoreApplication::processEvents();
    return window;
  }
  QLineEdit* box(const char* name) { return get<QLineEdit>(name); }
  std::vector<bool> active() const {
    const auto& a = window->selection().shownTraces;
    return std::vector<bool>(a.begin(), a.end());
  }

  QPointer<AnalyzerWindow> window;
};

}  // namespace kolm::test
