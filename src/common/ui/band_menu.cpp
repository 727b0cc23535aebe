#include "common/ui/band_menu.h"

#include <QActionGroup>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>

#include "common/bands.h"
#include "common/text.h"
#include "common/ui/recent_files.h"

namespace kolm::common::ui {

namespace {

constexpr const char* kRegionKey = "Bands/region";

int keptRegion() {
  const int region = uiSettings().value(kRegionKey, 1).toInt();
  return region >= 1 && region <= 3 ? region : 1;
}

// The bands of the kept region, after the region's three choices.
void fill(QMenu* menu, QLineEdit* start, QLineEdit* stop, const std::function<double()>& maxMHz,
          const std::function<void()>& chosen) {
  menu->clear();
  const int region = keptRegion();
  auto* regions = new QActionGroup(menu);
  for (int r = 1; r <= 3; ++r) {
    QAction* a = menu->addAction(QObject::tr("IARU region %1").arg(r));
    a->setObjectName(QString("bandRegion%1").arg(r));
    a->setCheckable(true);
    a->setChecked(r == region);
    regions->addAction(a);
    // The menu shows the region's bands when it opens next.
    QObject::connect(a, &QAction::triggered, menu, [r] { uiSettings().setValue(kRegionKey, r); });
  }
  menu->addSeparator();
  const double max = maxMHz ? maxMHz() : 0;
  for (const AmateurBand& band : amateurBands(region)) {
    const auto [low, high] = bandSpan(band);
    QAction* a = menu->addAction(QObject::tr("%1  (%2 to %3 MHz)")
                                     .arg(band.name)
                                     .arg(QString::fromStdString(shortestText(band.lowMHz)))
                                     .arg(QString::fromStdString(shortestText(band.highMHz))));
    a->setObjectName(QString("band_") + band.name);
    a->setEnabled(max <= 0 || bandFits(band, max));
    QObject::connect(a, &QAction::triggered, menu, [=, low = low, high = high] {
      start->setText(QString::fromStdString(shortestText(low)));
      stop->setText(QString::fromStdString(shortestText(high)));
      if (chosen) chosen();
    });
  }
}

}  // namespace

QMenu* addBandMenu(QMenuBar* bar, QAction* before, QLineEdit* start, QLineEdit* stop,
                   std::function<double()> maxMHz, std::function<void()> chosen) {
  auto* menu = new QMenu(QObject::tr("Bands"), bar);
  bar->insertMenu(before, menu);
  menu->setObjectName("bandMenu");
  // Filled as it opens, so the clock and the region are those of the moment.
  QObject::connect(menu, &QMenu::aboutToShow, menu,
                   [=] { fill(menu, start, stop, maxMHz, chosen); });
  fill(menu, start, stop, maxMHz, chosen);
  return menu;
}

}  // namespace kolm::common::ui
