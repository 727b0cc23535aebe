// The sweep chart's zoom: the view history, the wheel, the rubber band and
// the mouse presses that drive them and the markers.
#include <QAction>
#include <QMouseEvent>
#include <QWheelEvent>
#include <cmath>

#include "chart/ui/sweep_chart.h"

namespace kolm::chart::ui {

void SweepChart::setHomeView(const View& home) {
  history_.reset(home);
  updateZoomActions();
}

void SweepChart::requestView(const View& view) {
  updateZoomActions();
  emit viewRequested(view);
}

void SweepChart::pushView(const View& view) {
  history_.push(view);
  requestView(history_.current());
}

void SweepChart::zoomBack() {
  if (auto v = history_.back()) requestView(*v);
}

void SweepChart::zoomForward() {
  if (auto v = history_.forward()) requestView(*v);
}

void SweepChart::resetZoom() {
  if (resetView_)
    resetView_();
  else
    pushView(history_.home());
}

void SweepChart::setResetView(std::function<void()> reset, const QString& caption) {
  resetView_ = std::move(reset);
  wholeAction_->setText(caption);
  updateZoomActions();
}

void SweepChart::updateZoomActions() {
  backAction_->setEnabled(history_.canGoBack());
  forwardAction_->setEnabled(history_.canGoForward());
  // The window's reset reads what it resets to when it is asked.
  wholeAction_->setEnabled(resetView_ || !(history_.current() == history_.home()));
}

void SweepChart::setZoomRule(const ZoomPolicy& policy, double traceStart, double traceStop,
                             double points) {
  zoomPolicy_ = policy;
  ruleStart_ = traceStart;
  ruleStop_ = traceStop;
  rulePoints_ = points;
}

void SweepChart::wheelEvent(QWheelEvent* event) {
  if (!(event->modifiers() & Qt::ControlModifier) || event->angleDelta().y() == 0) {
    event->ignore();
    return;
  }
  auto u = toUser(event->position());
  if (!u) return;
  // One notch narrows the span by a fifth, or widens it back.
  const double notches = event->angleDelta().y() / 120.0;
  const double factor = std::pow(0.8, notches);
  if (auto v = zoomAbout(history_.current(), u->x(), factor, ruleStart_, ruleStop_, rulePoints_,
                         zoomPolicy_))
    pushView(*v);
  event->accept();
}

void SweepChart::setBandZoom(std::function<View()> shownView) { shownView_ = std::move(shownView); }

void SweepChart::pressBand(double x, double y) {
  rubber_.press(x, y);
  setRubberBand(rubber_.rect());
}

void SweepChart::dragBand(double x, double y) {
  if (!rubber_.visible()) return;
  rubber_.drag(x, y);
  setRubberBand(rubber_.rect());
}

void SweepChart::releaseBand() {
  const auto rect = rubber_.release();
  setRubberBand(std::nullopt);
  if (!rect || !shownView_) return;
  // The points are counted on the span the trace was swept over: the boxes
  // follow the view, so after a zoom they would let the next one go finer.
  const auto zoomed = Zoom(shownView_(), *rect, ruleStart_, ruleStop_, rulePoints_, zoomPolicy_);
  if (zoomed.spanChanged || zoomed.levelChanged) pushView(zoomed.view);
}

void SweepChart::mousePressEvent(QMouseEvent* event) {
  setFocus(Qt::MouseFocusReason);
  if (markerPress(event)) return;
  if (!shownView_ || event->button() != Qt::LeftButton) return;
  if (auto u = toUser(event->position())) pressBand(u->x(), u->y());
}

void SweepChart::mouseMoveEvent(QMouseEvent* event) {
  if (auto u = toUser(event->position())) {
    if (dragged_) moveMarker(*dragged_, u->x());
    setCursorAt(u->x(), u->y());
    dragBand(u->x(), u->y());
  }
}

void SweepChart::mouseReleaseEvent(QMouseEvent* event) {
  if (dragged_ && event->button() == Qt::LeftButton) {
    dragged_.reset();
    return;
  }
  if (event->button() == Qt::LeftButton) releaseBand();
}

void SweepChart::mouseDoubleClickEvent(QMouseEvent*) {
  if (!shownView_) return;
  rubber_.hide();
  setRubberBand(std::nullopt);
  resetZoom();
}

}  // namespace kolm::chart::ui
