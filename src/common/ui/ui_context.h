// What every instrument window gets from the program: the shared instrument, the
// dialogs, the settings folder, the About boxes, the print command and the way to open the windows
// they share.
#pragma once

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QPainter>
#include <QSize>
#include <QString>
#include <QWidget>
#include <filesystem>
#include <functional>

#include "common/prompter.h"
#include "common/settings_file.h"
#include "common/ui/about_box.h"
#include "hw/instrument.h"

namespace kolm::common::ui {

// A window's chart as the print dialog's "Chart only" prints it: its size on the
// screen with its title line, and how it paints itself whole (title line and
// chart) into a size in the same units.
struct PrintChart {
  QSize size;
  std::function<void(QPainter&, const QSize&)> paint;
};

struct UiContext {
  hw::Instrument& instrument;
  Prompter& prompter;
  // Where the windows read and write their settings files (each one
  // `settings.file(name)`), fixed when the program starts, and the files kept
  // aside this run.
  SettingsFolder settings;
  // Shows the Parameters window (modeless, or modal when `modalOwner` is given).
  std::function<void(QWidget* modalOwner)> showParameters = [](QWidget*) {};
  // The folder of the pictures the windows read at run time: the program's own
  // folder in a build tree, share/kolm when installed (common::findDataFolder).
  std::filesystem::path dataDir = ".";
  // "EXIT PROGRAM" (Ctrl+Q in every window): every window closes, the program ends.
  std::function<void()> exitProgram = [] {};
  // The About boxes of the launcher and the instruments.
  AboutBoxes aboutBoxes{};
  // The measuring windows' print command on the program's print dialog object:
  // `window` under `title` (its `chart` offered alone, when given), its messages
  // through `prompter`; the PDF file written when it printed to the file
  // printer. By default nothing prints.
  std::function<QString(Prompter& prompter, QWidget* window, const QString& title,
                        const PrintChart* chart)>
      printWindow =
          [](Prompter&, QWidget*, const QString&, const PrintChart*) { return QString(); };
};

// Sizes a window to `preferred`, but never larger than the screen it opens on
// (at any display scale) nor smaller than its minimum size.
void openAtSize(QWidget* window, QSize preferred);

// The "Exit program" item (Ctrl+Q) at the end of a window's File menu.
QAction* addExitProgram(UiContext& context, QMenu* fileMenu);

// A thin line that says, at all times, that the window is running on the
// simulated instrument; hidden when a real port is in use. objectName "simBanner".
QWidget* makeSimBanner(UiContext& context, QWidget* parent);
// The swept instruments' central widget: the banner over an area named
// `areaName` that takes the rest of the window, where the controls are placed
// by hand. Returns the area.
QWidget* makeBannerArea(UiContext& context, QMainWindow* window, const char* areaName);
// Brings the banners under `root` up to date at once (they also follow the port
// on their own, twice a second).
void refreshSimBanners(QWidget* root);

}  // namespace kolm::common::ui
