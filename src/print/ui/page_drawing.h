// What the Qt back end draws on a page itself, at the page's resolution: the
// window painted anew at the printer's pixels (a picture, as on screen), or a
// chart drawn as lines and text under its title line.
#pragma once

#include <QImage>
#include <QPainter>
#include <QPointer>
#include <QRect>
#include <QWidget>
#include <functional>
#include <memory>

#include "common/ui/print_chart.h"
#include "print/printer_backend.h"

namespace kolm::print::ui {

class QtPageDrawing : public PageDrawing {
 public:
  explicit QtPageDrawing(std::function<void(QPainter&, const QRect&)> paint)
      : paint_(std::move(paint)) {}
  // Draws into `target`, in the painter's device pixels.
  void draw(QPainter& painter, const QRect& target) const { paint_(painter, target); }

 private:
  std::function<void(QPainter&, const QRect&)> paint_;
};

// Draws `drawing` when it is one of ours, otherwise stretches `picture` there.
void drawOnPage(QPainter& painter, const PageDrawing* drawing, const QRect& target,
                const QImage& picture);

// The window (with its child widgets) painted at the target's own pixels, in
// bands of a bounded size; stretched as the kept bitmap would be.
std::shared_ptr<const PageDrawing> windowDrawing(QWidget* window);
// The chart as lines and text, laid out to the target's proportions at the
// width it has on the screen, then scaled to the target.
std::shared_ptr<const PageDrawing> chartDrawing(const common::ui::PrintChart& chart);
// The chart as a picture of its size on the screen (the print preview's).
QImage chartImage(const common::ui::PrintChart& chart);

}  // namespace kolm::print::ui
