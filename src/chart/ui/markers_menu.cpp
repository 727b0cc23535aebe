#include "chart/ui/markers_menu.h"

#include <QMenu>
#include <QMenuBar>

#include "chart/readout.h"
#include "chart/ui/sweep_chart.h"
#include "common/prompter.h"
#include "common/text.h"
#include "common/typed_number.h"

namespace kolm::chart::ui {

namespace {

QAction* item(QMenu* menu, const char* name, const QString& text) {
  QAction* a = menu->addAction(text);
  a->setObjectName(name);
  return a;
}

void addAtTypedFrequency(SweepChart* chart, common::Prompter& prompter) {
  if (chart->markers().full()) {
    prompter.message(QObject::tr("Four markers are placed: remove one first.").toStdString(),
                     common::Icon::Warning);
    return;
  }
  const ChartScale& s = chart->scale();
  const double centre = s.left + s.width / 2;
  auto typed = prompter.input(QObject::tr("Markers").toStdString(),
                              QObject::tr("Marker frequency (MHz):").toStdString(),
                              common::shortestText(centre, 9));
  if (!typed) return;
  const auto mhz = common::typedNumber(*typed).value;  // a comma reads as the point
  if (!mhz || !(*mhz > 0)) {
    prompter.message(QObject::tr("\"%1\" is not a frequency in MHz.")
                         .arg(QString::fromStdString(*typed))
                         .toStdString(),
                     common::Icon::Warning);
    return;
  }
  chart->addMarker(*mhz);
}

void toExtreme(SweepChart* chart, common::Prompter& prompter, Extreme which) {
  if (!chart->markerToExtreme(which))
    prompter.message(QObject::tr("No measured value in view to put the marker on.").toStdString(),
                     common::Icon::Information);
}

// The delta pairs and the markers to remove, as they are when the menu opens.
void fillDelta(QMenu* menu, SweepChart* chart) {
  menu->clear();
  const auto& markers = chart->markers().markers();
  QAction* none = item(menu, "markerDeltaNone", QObject::tr("No delta"));
  none->setCheckable(true);
  none->setChecked(!chart->markers().delta());
  QObject::connect(none, &QAction::triggered, chart, [chart] { chart->setMarkerDelta({}); });
  for (const auto& to : markers)
    for (const auto& from : markers) {
      if (from.number == to.number) continue;
      QAction* a = menu->addAction(QString("M%1 \u2212 M%2").arg(to.number).arg(from.number));
      a->setObjectName(QString("markerDelta%1To%2").arg(to.number).arg(from.number));
      a->setCheckable(true);
      a->setChecked(chart->markers().delta() == std::pair{from.number, to.number});
      QObject::connect(a, &QAction::triggered, chart, [chart, f = from.number, t = to.number] {
        chart->setMarkerDelta(std::pair{f, t});
      });
    }
}

void fillRemove(QMenu* menu, SweepChart* chart) {
  menu->clear();
  for (const auto& m : chart->markers().markers()) {
    QAction* a = menu->addAction(QString("M%1  %2").arg(m.number).arg(
        QString::fromStdString(withUnit(frequencyReadout(m.x), "MHz"))));
    a->setObjectName(QString("markerRemove%1").arg(m.number));
    QObject::connect(a, &QAction::triggered, chart,
                     [chart, n = m.number] { chart->removeMarker(n); });
  }
  menu->addSeparator();
  QObject::connect(item(menu, "markersClear", QObject::tr("Remove all markers")),
                   &QAction::triggered, chart, [chart] { chart->clearMarkers(); });
}

}  // namespace

QMenu* addMarkersMenu(QMenuBar* bar, QAction* before, SweepChart* chart, common::Prompter& prompter,
                      const QString& searched) {
  auto* menu = new QMenu(QObject::tr("Markers"), bar);
  if (before)
    bar->insertMenu(before, menu);
  else
    bar->addMenu(menu);
  menu->setObjectName("markersMenu");
  QAction* add = item(menu, "markerAdd", QObject::tr("Marker at frequency..."));
  add->setToolTip(QObject::tr("Ctrl+click on the chart places one too"));
  QObject::connect(add, &QAction::triggered, chart,
                   [chart, &prompter] { addAtTypedFrequency(chart, prompter); });
  QObject::connect(item(menu, "markerToMax", QObject::tr("Marker to maximum of %1").arg(searched)),
                   &QAction::triggered, chart,
                   [chart, &prompter] { toExtreme(chart, prompter, Extreme::Maximum); });
  QObject::connect(item(menu, "markerToMin", QObject::tr("Marker to minimum of %1").arg(searched)),
                   &QAction::triggered, chart,
                   [chart, &prompter] { toExtreme(chart, prompter, Extreme::Minimum); });
  QMenu* delta = menu->addMenu(QObject::tr("Delta"));
  delta->setObjectName("markerDelta");
  QObject::connect(delta, &QMenu::aboutToShow, chart, [delta, chart] { fillDelta(delta, chart); });
  QMenu* remove = menu->addMenu(QObject::tr("Remove marker"));
  remove->setObjectName("markerRemove");
  QObject::connect(remove, &QMenu::aboutToShow, chart,
                   [remove, chart] { fillRemove(remove, chart); });
  return menu;
}

}  // namespace kolm::chart::ui
