#include "print/ui/page_drawing.h"

#include <QPicture>
#include <algorithm>

namespace kolm::print::ui {

namespace {

// Pixels of one band of a window painted for a page (64 MB at 32 bits).
constexpr qint64 kBandPixels = 16 * 1024 * 1024;

void paintChartInto(QPainter& painter, const common::ui::PrintChart& chart, const QRect& target) {
  if (target.isEmpty() || chart.size.isEmpty()) return;
  // The chart keeps its on-screen width, so its text keeps its proportion to it;
  // its height follows the target's shape.
  const double scale = double(target.width()) / chart.size.width();
  const QSize logical(chart.size.width(),
                      std::max(1, static_cast<int>(std::lround(target.height() / scale))));
  // Recorded first: played back, the picture keeps its text the size it has
  // beside the lines, whatever the page's pixels per inch.
  QPicture picture;
  {
    QPainter recorder(&picture);
    chart.paint(recorder, logical);
  }
  painter.save();
  painter.setClipRect(target);
  painter.translate(target.topLeft());
  // Played on a device of other pixels per inch, the picture grows by their ratio.
  const double dpi = painter.device() ? painter.device()->logicalDpiX() : picture.logicalDpiX();
  const double played = scale * picture.logicalDpiX() / dpi;
  painter.scale(played, played);
  painter.drawPicture(0, 0, picture);
  painter.restore();
}

}  // namespace

void drawOnPage(QPainter& painter, const PageDrawing* drawing, const QRect& target,
                const QImage& picture) {
  if (const auto* ours = dynamic_cast<const QtPageDrawing*>(drawing)) {
    ours->draw(painter, target);
    return;
  }
  painter.drawImage(target, picture);
}

std::shared_ptr<const PageDrawing> windowDrawing(QWidget* window) {
  QPointer<QWidget> guarded(window);
  return std::make_shared<QtPageDrawing>([guarded](QPainter& page, const QRect& target) {
    if (!guarded || target.isEmpty() || guarded->width() <= 0 || guarded->height() <= 0) return;
    const double sx = double(target.width()) / guarded->width();
    const double sy = double(target.height()) / guarded->height();
    const int bandRows =
        static_cast<int>(std::clamp<qint64>(kBandPixels / target.width(), 1, target.height()));
    for (int top = 0; top < target.height(); top += bandRows) {
      QImage band(target.width(), std::min(bandRows, target.height() - top), QImage::Format_RGB32);
      band.fill(guarded->palette().color(QPalette::Window));
      {
        QPainter p(&band);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        p.translate(0, -top);
        p.scale(sx, sy);
        guarded->render(&p, QPoint(), QRegion(),
                        QWidget::DrawWindowBackground | QWidget::DrawChildren);
      }
      page.drawImage(QPoint(target.x(), target.y() + top), band);
    }
  });
}

std::shared_ptr<const PageDrawing> chartDrawing(const common::ui::PrintChart& chart) {
  return std::make_shared<QtPageDrawing>(
      [chart](QPainter& page, const QRect& target) { paintChartInto(page, chart, target); });
}

QImage chartImage(const common::ui::PrintChart& chart) {
  if (chart.size.isEmpty()) return {};
  QImage image(chart.size, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter p(&image);
  chart.paint(p, chart.size);
  return image;
}

}  // namespace kolm::print::ui
