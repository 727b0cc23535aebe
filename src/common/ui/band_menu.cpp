#include "common/ui/band_menu.h"

#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>

#include "common/bands.h"
#include "common/text.h"

namespace kolm::common::ui {

QMenu* addBandsMenu(QMenuBar* bar, QAction* before, QLineEdit* start, QLineEdit* stop,
                    std::function<double()> clockMHz, std::function<void()> chosen) {
  auto* menu = new QMenu(QObject::tr("Bands"), bar);
  menu->setObjectName("bandsMenu");
  for (int region : {1, 2, 3}) {
    QMenu* sub = menu->addMenu(QObject::tr("IARU Region %1").arg(region));
    sub->setObjectName(QString("region%1Menu").arg(region));
    for (const AmateurBand& band : amateurBands(region)) {
      const auto [low, high] = bandSpan(band);
      QAction* a = sub->addAction(QObject::tr("%1  (%2 to %3 MHz)")
                                      .arg(QString(band.name).replace("m", " m"))
                                      .arg(QString::fromStdString(shortestText(band.lowMHz)))
                                      .arg(QString::fromStdString(shortestText(band.highMHz))));
      a->setObjectName(QString("region%1Band%2").arg(region).arg(band.name));
      a->setToolTip(QObject::tr("Sweeps %1 to %2 MHz")
                        .arg(QString::fromStdString(shortestText(low)))
                        .arg(QString::fromStdString(shortestText(high))));
      QObject::connect(a, &QAction::triggered, menu, [=, lowMHz = low, highMHz = high] {
        start->setText(QString::fromStdString(shortestText(lowMHz)));
        stop->setText(QString::fromStdString(shortestText(highMHz)));
        if (chosen) chosen();
      });
    }
    // The clock may have changed in the Parameters window since.
    QObject::connect(sub, &QMenu::aboutToShow, sub, [sub, region, clockMHz] {
      const double clock = clockMHz();
      const auto bands = amateurBands(region);
      const auto actions = sub->actions();
      for (qsizetype k = 0; k < actions.size() && k < static_cast<qsizetype>(bands.size()); ++k)
        actions[k]->setEnabled(clock <= 0 || bandFits(bands[static_cast<size_t>(k)], clock / 2));
    });
  }
  bar->insertMenu(before, menu);
  return menu;
}

}  // namespace kolm::common::ui
