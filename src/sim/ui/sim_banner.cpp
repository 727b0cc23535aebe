#include "sim/ui/sim_banner.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include "common/text.h"
#include "sim/simulated_instrument.h"

namespace kolm::sim::ui {

namespace {

// Follows the instrument's port: the back end can change while windows are open
// (Parameters, the Simulator window).
class SimBanner : public QLabel {
 public:
  SimBanner(hw::ui::UiContext& context, QWidget* parent) : QLabel(parent), context_(context) {
    setObjectName("simBanner");
    setAlignment(Qt::AlignCenter);
    setWordWrap(true);  // the simulator's details do not widen a narrow window
    refresh();
    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, [this] { refresh(); });
    timer->start(500);
  }

  void refresh() {
    hw::PortIo* port = context_.instrument.port();
    int state = !port || port->name() == "null"    ? 2
                : context_.instrument.portFailed() ? 3
                : context_.instrument.simulated()  ? 1
                                                   : 0;
    QString detail;
    if (const SimulatedInstrument* s = state == 1 ? findSimulator(port) : nullptr) {
      if (s->settings().board == Board::Ideal)
        detail += QCoreApplication::translate("kolm", " (ideal board)");
      if (s->quartzSetApart())
        detail +=
            QCoreApplication::translate("kolm", " - its quartz is %1 MHz, Parameters say %2 MHz")
                .arg(QString::fromStdString(common::shortestText(s->quartzMHz())),
                     QString::fromStdString(
                         common::shortestText(context_.instrument.params.quartzMHz)));
    }
    if (state == state_ && detail == detail_) return;
    state_ = state;
    detail_ = detail;
    if (state == 1) {
      setText(QCoreApplication::translate("kolm",
                                          "SIMULATED INSTRUMENT: no hardware is being measured") +
              detail);
      setStyleSheet(
          "QLabel { background: #ffd54a; color: black; font-weight: bold; padding: 2px; }");
    } else if (state == 2 || state == 3) {
      setText(
          state == 2
              ? QCoreApplication::translate("kolm", "NO INSTRUMENT: choose the port in Parameters")
              : QCoreApplication::translate("kolm",
                                            "THE PORT STOPPED WORKING: nothing is measured; "
                                            "choose the port again in Parameters"));
      setToolTip(state == 3 ? QString::fromStdString(context_.instrument.portFailure())
                            : QString());
      setStyleSheet(
          "QLabel { background: #d84040; color: white; font-weight: bold; padding: 2px; }");
    }
    setVisible(state != 0);
  }

 private:
  hw::ui::UiContext& context_;
  int state_ = -1;
  QString detail_;
};

}  // namespace

QWidget* makeSimBanner(hw::ui::UiContext& context, QWidget* parent) {
  return new SimBanner(context, parent);
}

QWidget* makeBannerArea(hw::ui::UiContext& context, QMainWindow* window, const char* areaName) {
  auto* central = new QWidget(window);
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(makeSimBanner(context, central));
  auto* area = new QWidget(central);
  area->setObjectName(areaName);
  layout->addWidget(area, 1);
  window->setCentralWidget(central);
  return area;
}

void refreshSimBanners(QWidget* root) {
  for (QLabel* label : root->findChildren<QLabel*>("simBanner"))
    if (auto* banner = dynamic_cast<SimBanner*>(label)) banner->refresh();
}

}  // namespace kolm::sim::ui
