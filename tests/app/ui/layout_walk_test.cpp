// Every window at its default size and at its minimum size (in the runs with
// QT_SCALE_FACTOR=2 and KOLM_TEST_SCREEN, on a scaled or a smaller screen): it
// lies whole on the available screen, even when placed past its edge, no two
// controls it shows overlap wherever they sit in it (nor enter a group box's
// title), no widget sticks out of its parent and no text is wider or taller
// than its widget.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDockWidget>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyleOptionComboBox>
#include <QStyleOptionGroupBox>
#include <QTabBar>
#include <QTableView>
#include <QTest>
#include <QTextDocument>
#include <QTimer>
#include <QToolButton>
#include <QWindow>
#include <functional>

#include "analyzer/ui/analyzer_view.h"
#include "analyzer/ui/analyzer_window.h"
#include "analyzer/ui/bridge_calibration_dialog.h"
#include "analyzer/ui/bridge_check_dialog.h"
#include "analyzer/ui/cable_dialog.h"
#include "analyzer/ui/matching_window.h"
#include "analyzer/ui/smith_window.h"
#include "app/launcher.h"
#include "app/parameters_window.h"
#include "chart/ui/analysis_panel.h"
#include "common/prompter.h"
#include "common/ui/about_box.h"
#include "powermeter/ui/crystal_batch_window.h"
#include "powermeter/ui/ladder_window.h"
#include "powermeter/ui/power_meter_rig.h"
#include "powermeter/ui/power_meter_window.h"
#include "print/fake_printer.h"
#include "print/ui/print_dialog.h"
#include "print/ui/print_service.h"
#include "print/ui/printer_properties.h"
#include "sim/sim_port.h"
#include "sim/ui/simulator_window.h"
#include "vfo/ui/vfo_window.h"

using namespace kolm;

namespace {

QString where(const QWidget* w) {
  QString path;
  for (const QWidget* p = w; p && !p->isWindow(); p = p->parentWidget())
    path = (p->objectName().isEmpty() ? QString(p->metaObject()->className()) : p->objectName()) +
           (path.isEmpty() ? "" : "/" + path);
  return path;
}

bool shown(const QWidget* w) { return !w->isHidden() && !w->isWindow() && w->width() > 0; }

QList<QWidget*> shownChildren(const QWidget* w) {
  QList<QWidget*> children;
  for (QObject* o : w->children())
    if (auto* c = qobject_cast<QWidget*>(o); c && shown(c)) children << c;
  return children;
}

// Drawings laid under or over other widgets (a sheet outline, a cursor line)
// take no input and may cover their siblings.
bool drawing(const QWidget* w) { return w->testAttribute(Qt::WA_TransparentForMouseEvents); }

// The content a scroll area shows (ours), when `w` is it.
const QScrollArea* scrolledBy(const QWidget* w) {
  const QWidget* viewport = w->parentWidget();
  auto* area = viewport ? qobject_cast<const QScrollArea*>(viewport->parentWidget()) : nullptr;
  return area && area->widget() == w ? area : nullptr;
}

// Parts that Qt's own widgets lay out inside themselves are theirs to mind;
// what a scroll area shows is ours.
bool qtInternal(const QWidget* parent) {
  for (const QWidget* p = parent; p; p = p->parentWidget()) {
    if (const QScrollArea* area = scrolledBy(p)) {
      p = area;
      continue;
    }
    if (qobject_cast<const QAbstractScrollArea*>(p) || qobject_cast<const QComboBox*>(p) ||
        qobject_cast<const QAbstractSpinBox*>(p))
      return true;
  }
  return false;
}

// Where a widget is seen, in its window's coordinates: its rectangle cut by
// each of its parents'.
QRect seenRect(const QWidget* w) {
  const QWidget* window = w->window();
  QRect r(w->mapTo(window, QPoint(0, 0)), w->size());
  for (const QWidget* p = w->parentWidget(); p && p != window; p = p->parentWidget())
    r &= QRect(p->mapTo(window, QPoint(0, 0)), p->size());
  return r;
}

// The title a group box draws over its frame, in window coordinates.
QRect groupTitle(const QGroupBox* g) {
  QStyleOptionGroupBox option;
  option.initFrom(g);
  option.text = g->title();
  option.lineWidth = 1;
  option.textAlignment = g->alignment();
  option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
  if (g->isCheckable()) option.subControls |= QStyle::SC_GroupBoxCheckBox;
  if (g->isFlat()) option.features |= QStyleOptionFrame::Flat;
  QRect title =
      g->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, g);
  if (g->isCheckable())
    title |=
        g->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxCheckBox, g);
  return QRect(g->mapTo(g->window(), title.topLeft()), title.size()) & seenRect(g);
}

// What a person sees as one control: a widget without shown children, or one
// of Qt's own composite widgets (a table, a combo box, a spin box); and the
// titles of group boxes, which no control may enter.
struct Seen {
  QString name;
  QRect rect;
};

void seenControls(QWidget* w, QList<Seen>& out) {
  const QList<QWidget*> children = shownChildren(w);
  const bool composite =
      (qobject_cast<QAbstractScrollArea*>(w) && !qobject_cast<QScrollArea*>(w)) ||
      qobject_cast<QComboBox*>(w) || qobject_cast<QAbstractSpinBox*>(w) ||
      qobject_cast<QMenuBar*>(w) || qobject_cast<QTabBar*>(w);
  if (auto* g = qobject_cast<QGroupBox*>(w); g && !g->title().isEmpty())
    out << Seen{where(g) + " (its title)", groupTitle(g)};
  if (auto* area = qobject_cast<QScrollArea*>(w); area && area->widget()) {
    seenControls(area->widget(), out);
    for (QScrollBar* bar : {area->horizontalScrollBar(), area->verticalScrollBar()})
      if (bar->isVisible()) out << Seen{where(area) + " scroll bar", seenRect(bar)};
    return;
  }
  if (w->parentWidget() && (composite || children.isEmpty())) {
    if (!drawing(w) && !seenRect(w).isEmpty()) out << Seen{where(w), seenRect(w)};
    return;
  }
  for (QWidget* c : children) seenControls(c, out);
}

// Any two controls seen in one place, wherever they sit in the window.
void overlapFaults(QWidget* window, QStringList& faults) {
  QList<Seen> seen;
  seenControls(window, seen);
  for (int i = 0; i < seen.size(); ++i)
    for (int j = i + 1; j < seen.size(); ++j)
      if (seen[i].rect.intersects(seen[j].rect))
        faults << QString("%1 overlaps %2 (%3 x %4 px)")
                      .arg(seen[i].name, seen[j].name)
                      .arg((seen[i].rect & seen[j].rect).width())
                      .arg((seen[i].rect & seen[j].rect).height());
}

// How wide a text is drawn, line by line.
int textWidth(const QFontMetrics& fm, const QString& text) {
  int w = 0;
  for (const QString& line : text.split('\n')) w = std::max(w, fm.horizontalAdvance(line));
  return w;
}

void textFaults(const QWidget* w, QStringList& faults) {
  const QFontMetrics fm(w->font());
  auto tooWide = [&](int needed, int room, const QString& text) {
    if (needed > room + 1)
      faults << QString("%1: \"%2\" needs %3 px, has %4").arg(where(w), text).arg(needed).arg(room);
  };
  if (auto* l = qobject_cast<const QLabel*>(w)) {
    if (l->text().isEmpty() || l->wordWrap() || Qt::mightBeRichText(l->text())) return;
    // A label with a buddy shows its '&' as the underlined letter.
    QString shown = l->text();
    if (l->buddy()) shown.replace("&&", QChar(1)).remove('&').replace(QChar(1), "&");
    const QRect r = l->contentsRect();
    tooWide(textWidth(fm, shown), r.width() - 2 * l->margin() - 2 * l->indent(), shown);
    const int lines = static_cast<int>(l->text().count('\n')) + 1;
    if (fm.height() * lines > r.height() + 2)
      faults << QString("%1: \"%2\" is cut off at the bottom").arg(where(w), l->text());
  } else if (auto* e = qobject_cast<const QLineEdit*>(w)) {
    if (e->text().isEmpty() || qtInternal(w->parentWidget())) return;
    const QMargins m = e->textMargins();
    tooWide(fm.horizontalAdvance(e->text()) + m.left() + m.right(),
            e->contentsRect().width() - (e->hasFrame() ? 4 : 0), e->text());
  } else if (qobject_cast<const QCheckBox*>(w) || qobject_cast<const QRadioButton*>(w)) {
    auto* b = static_cast<const QAbstractButton*>(w);
    tooWide(b->sizeHint().width(), b->width(), b->text());
  } else if (auto* b = qobject_cast<const QAbstractButton*>(w)) {
    QString text = b->text();
    text.remove('&');
    if (text.isEmpty()) return;
    const bool besideIcon =
        !b->icon().isNull() &&
        !(qobject_cast<const QToolButton*>(w) &&
          static_cast<const QToolButton*>(w)->toolButtonStyle() == Qt::ToolButtonIconOnly);
    if (qobject_cast<const QToolButton*>(w) && !besideIcon && !b->icon().isNull()) return;
    tooWide(fm.horizontalAdvance(text) + (besideIcon ? b->iconSize().width() + 4 : 0) + 6,
            b->width(), text);
  } else if (auto* c = qobject_cast<const QComboBox*>(w)) {
    QStyleOptionComboBox option;
    option.initFrom(c);
    option.editable = c->isEditable();
    const QRect field =
        c->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, c);
    tooWide(fm.horizontalAdvance(c->currentText()), field.width(), c->currentText());
  } else if (auto* g = qobject_cast<const QGroupBox*>(w)) {
    if (!g->title().isEmpty())
      tooWide(fm.horizontalAdvance(g->title()) + 14, g->width(), g->title());
  }
}

QStringList layoutFaults(QWidget* window) {
  QStringList faults;
  const QRect screen = window->screen()->availableGeometry();
  if (const QRect frame = window->frameGeometry(); !screen.contains(frame))
    faults << QString("the window (%1 x %2 at %3, %4) is not whole on the screen (%5 x %6)")
                  .arg(frame.width())
                  .arg(frame.height())
                  .arg(frame.x())
                  .arg(frame.y())
                  .arg(screen.width())
                  .arg(screen.height());
  std::function<void(QWidget*)> walk = [&](QWidget* parent) {
    const bool internal = qtInternal(parent);
    for (QWidget* c : shownChildren(parent)) {
      if (!internal) {
        textFaults(c, faults);
        if (!parent->rect().contains(c->geometry()))
          faults << where(c) + " sticks out of its parent";
      }
      walk(c);
    }
  };
  walk(window);
  overlapFaults(window, faults);
  return faults;
}

// Shows the window, then checks it as it opens and at its minimum size.
void walkWindow(QWidget* window, const QString& name) {
  SCOPED_TRACE(name.toStdString());
  // Placed past the screen's corner (as a place kept from a larger screen would
  // be), it opens whole all the same.
  const QRect area = window->screen()->availableGeometry();
  window->hide();
  window->move(area.right() - 40, area.bottom() - 40);
  window->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
  // Docks (the analysis panel, the stored traces) are walked shown: docked,
  // they take their room from the window.
  for (auto* dock : window->findChildren<QDockWidget*>()) {
    dock->show();
    EXPECT_FALSE(dock->isFloating()) << dock->objectName().toStdString() << " floats";
  }
  // Every object is named in camelCase, as the tests and lookups find it (Qt's own
  // parts aside).
  static const QRegularExpression camelCase("^[a-z][A-Za-z0-9]*$");
  QStringList badNames;
  QObjectList named = window->findChildren<QObject*>();
  named << window;
  for (const QObject* o : named)
    if (const QString n = o->objectName(); !n.isEmpty() && !n.startsWith("qt_") &&
                                           !n.startsWith("_") && !camelCase.match(n).hasMatch())
      badNames << n;
  EXPECT_TRUE(badNames.isEmpty()) << badNames.join(", ").toStdString();
  // As it opens, held at its minimum, and squeezed past it by a docked panel:
  // the panel adds its width to the window's minimum, and a window manager
  // that ignores the minimum (a tiling one, or none) may still hold the window
  // at the size it had without the panel. Its controls give way all the same.
  for (const std::string size : {"default", "minimum", "squeezed with its panel"}) {
    if (size == "minimum") window->resize(1, 1);
    if (size != "default" && size != "minimum") {
      int panels = 0;
      if (auto* main = qobject_cast<QMainWindow*>(window))
        for (auto* panel : window->findChildren<chart::ui::AnalysisPanel*>())
          if (panel->isVisible() && main->dockWidgetArea(panel) == Qt::RightDockWidgetArea)
            panels += panel->width();
      if (panels == 0) break;
      window->windowHandle()->resize(window->minimumSize() - QSize(panels, 0));
    }
    QTest::qWait(10);
    QApplication::processEvents();
    QStringList faults = layoutFaults(window);
    // As it opens, a table whose columns share its width shows them all.
    if (size == "default")
      for (auto* table : window->findChildren<QTableView*>()) {
        const QHeaderView* header = table->horizontalHeader();
        bool shared = false;
        for (int c = 0; c < header->count(); ++c)
          shared |= header->sectionResizeMode(c) == QHeaderView::Stretch;
        if (shared && table->isVisible() && table->horizontalScrollBar()->maximum() > 0)
          faults << where(table) + ": columns cut off at the right";
      }
    EXPECT_TRUE(faults.isEmpty()) << size << " size " << window->width() << " x "
                                  << window->height() << ":\n"
                                  << faults.join("\n").toStdString();
  }
}

}  // namespace

TEST(LayoutWalk, InstrumentWindowsLauncherParametersAndAboutBoxes) {
  test::Rig rig;  // on the simulated instrument
  for (auto create : {&vfo::ui::createVfoWindow, &powermeter::ui::createPowerMeterWindow,
                      &analyzer::ui::createAnalyzerWindow, &sim::ui::createSimulatorWindow}) {
    QWidget* w = create(rig.context);
    walkWindow(w, w->objectName());
    w->close();
    QApplication::processEvents();
  }
  // The analyzer's own windows: the Smith chart and the matching networks.
  {
    auto* analyzer =
        static_cast<analyzer::ui::AnalyzerWindow*>(analyzer::ui::createAnalyzerWindow(rig.context));
    analyzer->show();
    for (const char* action : {"smithChartAction", "matchingAction"}) {
      analyzer->findChild<QAction*>(action)->trigger();
      QWidget* w = std::string(action) == "smithChartAction"
                       ? static_cast<QWidget*>(analyzer->smithWindow())
                       : static_cast<QWidget*>(analyzer->matchingWindow());
      // The networks at a point of the demonstration, in words.
      if (auto* at = w->findChild<QLineEdit*>("matchFrequency")) at->setText("14");
      walkWindow(w, action);
    }
    analyzer->close();
    QApplication::processEvents();
  }
  // The analyzer's dialogs: the bridge check and the bridge calibration.
  {
    const analyzer::SweepPlan plan = analyzer::planSweep(1, 30, 40, 400).plan;
    analyzer::ui::BridgeCheckDialog check(nullptr, rig.instrument, plan, rig.context.settings,
                                          [](const analyzer::BridgeFigures&) {});
    walkWindow(&check, "bridge check");
    analyzer::ui::BridgeCalibrationDialog calibration(
        nullptr, rig.instrument, plan, 4, rig.context.settings, analyzer::publishedBridge(), [] {});
    walkWindow(&calibration, "bridge calibration");
    // The cable dialog, walked while it waits for its answer.
    bool walked = false;
    QTimer::singleShot(0, [&walked] {
      if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
        walkWindow(dialog, "cable");
        walked = true;
        dialog->reject();
      }
    });
    analyzer::ui::askCable(nullptr, std::nullopt);
    EXPECT_TRUE(walked);
  }
  // The power meter's own windows: the crystal batch and the ladder filter.
  {
    auto* meter = static_cast<powermeter::ui::PowerMeterWindow*>(
        powermeter::ui::createPowerMeterWindow(rig.context));
    walkWindow(meter->crystalBatch(), "crystal batch");
    walkWindow(meter->ladderFilter(), "ladder filter");
    meter->close();
    QApplication::processEvents();
  }
  // With a real port in use the simulator window says so in a longer status line.
  rig.instrument.setPort(std::make_unique<hw::NullPort>());
  QWidget* simulator = sim::ui::createSimulatorWindow(rig.context);
  walkWindow(simulator, "simulator with a real port");
  simulator->close();
  {
    app::Launcher launcher(rig.context);
    launcher.portOpener = [](const std::string&, int32_t) {
      return sim::makeSimulatorPort({"through", "r=50"});
    };
    launcher.load([] { return 100.0f; });
    walkWindow(&launcher, "launcher");
    app::ParametersWindow parameters(rig.context, {});
    walkWindow(&parameters, "parameters");
  }
  for (auto kind : {common::ui::AboutKind::Kolm, common::ui::AboutKind::Vfo,
                    common::ui::AboutKind::PowerMeter, common::ui::AboutKind::AntennaAnalyzer}) {
    QDialog* box = rig.context.aboutBoxes.show(kind);
    walkWindow(box, box->objectName());
    box->close();
  }
}

TEST(LayoutWalk, PrinterProperties) {
  print::ui::PrinterPropertiesDialog dialog(
      "A printer with a long name", {1, 9, 1, 2},
      {QPageSize(QPageSize::A4), QPageSize(QPageSize::Letter)}, true);
  walkWindow(&dialog, "printer properties");
}

TEST(LayoutWalk, PrintDialogInBothModes) {
  common::ScriptedPrompter prompter;
  print::ui::PrintService service(
      std::make_unique<test::FakePrinterBackend>(), prompter,
      [](const std::string&, const std::string&) { return print::Answer::Cancel; });
  QWidget chart;
  chart.setObjectName("chart");
  chart.resize(400, 300);
  chart.show();
  QString mode;
  service.runModal = [&](print::ui::PrintDialog& dialog) {
    walkWindow(&dialog, "print-" + mode);
    dialog.reject();
  };
  mode = "dialog";
  service.printWindow(&chart, "Screen");
  mode = "settings";
  service.openDialog(nullptr, 0, 0, 0, 0, 0, {}, 0);
}

// A span written into the power meter's boxes (as the ladder filter's
// prediction writes it) is shown whole, however many digits it takes; so are
// the other boxes' longest values, and a level typed with decimals.
TEST(LayoutWalk, SweepBoxesShowTheWholeSpanTheyAreGiven) {
  test::Rig rig;
  auto* meter = rig.open();
  auto faults = [&](const char* name) {
    QApplication::processEvents();
    QStringList found;
    textFaults(rig.get<QLineEdit>(name), found);
    return found.join("\n").toStdString();
  };
  for (const auto& [start, stop] :
       std::vector<std::pair<double, double>>{{10, 10.00758},
                                              {9.99241877, 10.0075812},
                                              {0.000123456789, 0.98765432},
                                              {145.123457, 199.999999},
                                              {1, 2}}) {
    meter->setSweepSpan(start, stop);
    EXPECT_EQ(faults("startEdit") + faults("stopEdit"), "");
  }
  for (const auto& [name, text] : std::vector<std::pair<const char*, QString>>{
           {"delayEdit", "60000"},
           {"pointsEdit", "20001"},
           {"topLevelEdit", "-37.125"},
           {"bottomLevelEdit", "-120.5"},
           {"cursorReadout", "146.520000 MHz   -100.00 dBm"}}) {
    rig.get<QLineEdit>(name)->setText(text);
    EXPECT_EQ(faults(name), "");
  }
}
