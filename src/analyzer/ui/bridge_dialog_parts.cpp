#include "analyzer/ui/bridge_dialog_parts.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <algorithm>

#include "common/text.h"

namespace kolm::analyzer::ui {

ProgressRow progressRow(QWidget* owner, const QString& prefix, const QString& stopCaption) {
  ProgressRow out{new QHBoxLayout, new QProgressBar(owner), new QPushButton(stopCaption, owner)};
  out.progress->setObjectName(prefix + "Progress");
  out.progress->setRange(0, 1000);
  out.progress->setValue(0);
  out.stop->setObjectName(prefix + "Stop");
  out.stop->setAutoDefault(false);
  out.layout->addWidget(out.progress, 1);
  out.layout->addWidget(out.stop);
  return out;
}

ResultArea resultArea(QWidget* owner, const QString& prefix) {
  ResultArea out{new QLabel(owner), new QScrollArea(owner)};
  out.label->setObjectName(prefix + "Result");
  out.label->setWordWrap(true);
  out.label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  out.label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  out.scroll->setObjectName(prefix + "ResultArea");
  out.scroll->setFrameShape(QFrame::NoFrame);
  out.scroll->setWidgetResizable(true);
  out.scroll->setWidget(out.label);
  return out;
}

void showResult(QDialog& dialog, QLabel& result, const QString& text) {
  result.setText(text);
  dialog.resize(dialog.width(),
                std::max(dialog.height(), dialog.sizeHint().height() + result.sizeHint().height()));
}

QString mhzText(double mhz) { return QString::fromStdString(common::shortestText(mhz, 6)); }

}  // namespace kolm::analyzer::ui
