// The line that says, at all times, that a window runs on the simulated
// instrument (or on no port, or on one that stopped working).
#pragma once

#include <QMainWindow>
#include <QWidget>

#include "hw/ui/ui_context.h"

namespace kolm::sim::ui {

// The banner, hidden when a working real port is in use. objectName "simBanner".
QWidget* makeSimBanner(hw::ui::UiContext& context, QWidget* parent);
// The swept instruments' central widget: the banner over an area named
// `areaName` that takes the rest of the window. Returns the area.
QWidget* makeBannerArea(hw::ui::UiContext& context, QMainWindow* window, const char* areaName);
// Brings the banners under `root` up to date at once (they also follow the port
// on their own, twice a second).
void refreshSimBanners(QWidget* root);

}  // namespace kolm::sim::ui
