// The launcher: first and last window of the program.
#pragma once

#include <QMainWindow>
#include <QPointer>

#include "app/parameters_window.h"
#include "common/ui/language.h"
#include "hw/instrument.h"
#include "hw/port_factory.h"
#include "hw/ui/ui_context.h"

#include <functional>

namespace kolm::app {

class Launcher : public QMainWindow {
  Q_OBJECT
 public:
  explicit Launcher(hw::ui::UiContext& context, QWidget* parent = nullptr);

  // Start-up, before the window shows: calibrate the delay, read dds.cfg, open
  // the configured port (offering the simulator when it cannot be opened) and
  // show the Parameters window when no DDS clock is stored. Nothing is written
  // to the port.
  void load(const hw::SecondsTimer& timer = hw::secondsSinceMidnight);

  // The instrument buttons: show the window (created on first show) and bring it
  // to the front. The power meter also redraws its chart each time.
  QWidget* openVfo();
  QWidget* openPowerMeter();
  QWidget* openAnalyzer();
  QWidget* openSimulator();
  // Modeless, or modal over `modalOwner`.
  void showParameters(QWidget* modalOwner = nullptr);
  ParametersWindow* parametersWindow() const { return parameters_; }

  // The launcher's Language menu: the choice is kept in kolm.ini for the next start.
  void chooseLanguage(common::ui::Language language);

  // "EXIT PROGRAM": every open window closes through its own close handler,
  // the launcher last, then the program ends.
  void exitProgram();
  // True once the program is ending (EXIT PROGRAM, a stop signal): a start-up
  // interrupted by one does not go on to show the launcher.
  bool exiting() const { return exiting_; }

  // Opens a port back end by name; tests put a recording port here.
  std::function<hw::PortOpenResult(const std::string& backend, int32_t lptBase)> portOpener;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  QWidget* open(QPointer<QWidget>& slot, QWidget* (*create)(hw::ui::UiContext&), const char* what);
  // Opens the port dds.cfg or Parameters chose. One that does not open leaves
  // the program without an instrument (nothing is sent) and opens Parameters
  // with the port test's advice: the simulator runs only when chosen.
  void openConfiguredPort();
  // sim.cfg and kolm.ini found unreadable are kept aside before anything is
  // written there, and the user is told.
  void checkSettingsFiles();
  // Why dds.cfg was not used at start, for the Parameters window.
  std::string hardwareMessage_;
  // Why the chosen port did not open, with advice, for the Parameters window.
  std::string portReport_;
  void closeInstrumentWindows();

  hw::ui::UiContext& context_;
  QPointer<QWidget> vfo_;
  QPointer<QWidget> powerMeter_;
  QPointer<QWidget> analyzer_;
  QPointer<QWidget> simulator_;
  QPointer<ParametersWindow> parameters_;
  bool exiting_ = false;
};

}  // namespace kolm::app
