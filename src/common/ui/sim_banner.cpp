#include <QLabel>

#include "common/ui/ui_context.h"

namespace kolm::common::ui {

QWidget* makeSimBanner(UiContext& context, QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setObjectName("SimBanner");
  label->setText(QObject::tr("SIMULATED INSTRUMENT: no hardware is being measured"));
  label->setAlignment(Qt::AlignCenter);
  label->setStyleSheet(
      "QLabel { background: #ffd54a; color: black; font-weight: bold; padding: 2px; }");
  label->setVisible(context.instrument.simulated());
  return label;
}

}  // namespace kolm::common::ui
