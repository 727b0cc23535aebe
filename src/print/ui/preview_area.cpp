#include "print/ui/preview_area.h"

#include <QMouseEvent>
#include <QPainter>
#include <QToolButton>
#include <QVBoxLayout>

namespace kolm::print::ui {

PreviewArea::PreviewArea(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void PreviewArea::setPicture(const QImage& picture) {
  if (picture.cacheKey() == picture_.cacheKey() && picture.isNull() == picture_.isNull()) return;
  picture_ = picture;
  scaled_ = QImage();
  update();
}

void PreviewArea::setTarget(const QRect& target) {
  if (target == target_) return;
  if (target.size() != target_.size()) scaled_ = QImage();
  target_ = target;
  update();
}

void PreviewArea::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), Qt::white);
  if (picture_.isNull() || target_.width() <= 0 || target_.height() <= 0) return;
  if (scaled_.isNull())
    scaled_ = picture_.scaled(target_.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  p.drawImage(target_.topLeft(), scaled_);
}

void PreviewArea::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
    emit clicked();
}

UpDown::UpDown(QWidget* parent) : QWidget(parent) {
  auto* box = new QVBoxLayout(this);
  box->setContentsMargins(0, 0, 0, 0);
  box->setSpacing(0);
  for (int delta : {1, -1}) {
    auto* b = new QToolButton(this);
    b->setArrowType(delta > 0 ? Qt::UpArrow : Qt::DownArrow);
    b->setObjectName(delta > 0 ? "up" : "down");
    b->setAutoRepeat(true);
    b->setFocusPolicy(Qt::NoFocus);
    b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    b->setIconSize(QSize(7, 7));
    connect(b, &QToolButton::clicked, this, [this, delta] { emit stepped(delta); });
    box->addWidget(b);
  }
}

}  // namespace kolm::print::ui
