#include "common/ui/screen_fit.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace kolm::common::ui {

namespace {

class ScreenFitFilter : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
      auto* w = static_cast<QWidget*>(watched);
      // Menus, tool tips and the like place themselves against the screen.
      const Qt::WindowType type = w->windowType();
      if (w->isWindow() && type != Qt::Popup && type != Qt::ToolTip && type != Qt::SplashScreen &&
          type != Qt::Desktop)
        fitOnScreen(w);
    }
    return false;
  }
};

// Keeps [start, start + length) inside [low, high), the start first.
int clampSpan(int start, int length, int low, int high) {
  return std::max(low, std::min(start, high - length));
}

}  // namespace

QMargins frameMargins(const QWidget* window) {
  const QRect frame = window->frameGeometry(), client = window->geometry();
  if (frame != client)
    return {client.left() - frame.left(), client.top() - frame.top(),
            frame.right() - client.right(), frame.bottom() - client.bottom()};
  // Not shown yet, or a platform without frames: a title bar and a thin border.
  if (window->testAttribute(Qt::WA_WState_Created) ||
      window->windowFlags() & Qt::FramelessWindowHint)
    return {};
  return {4, 30, 4, 4};
}

QRect fittedGeometry(QRect place, QMargins frame, QSize minimum, QRect area) {
  const QSize room(area.width() - frame.left() - frame.right(),
                   area.height() - frame.top() - frame.bottom());
  const QSize size = place.size().boundedTo(room).expandedTo(minimum);
  const int x = clampSpan(place.x() - frame.left(), size.width() + frame.left() + frame.right(),
                          area.left(), area.right() + 1);
  const int y = clampSpan(place.y() - frame.top(), size.height() + frame.top() + frame.bottom(),
                          area.top(), area.bottom() + 1);
  return {QPoint(x + frame.left(), y + frame.top()), size};
}

void fitOnScreen(QWidget* window) {
  QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect area = screen->availableGeometry();
  // A window without a place of its own is placed by the window manager: only
  // its size is held to the screen.
  const bool placed = window->testAttribute(Qt::WA_Moved);
  const QMargins frame = frameMargins(window);
  QRect place = window->geometry();
  if (!placed) place.moveTopLeft(area.topLeft() + QPoint(frame.left(), frame.top()));
  const QRect fitted = fittedGeometry(place, frame, window->minimumSize(), area);
  if (placed && fitted != window->geometry())
    window->setGeometry(fitted);
  else if (!placed && fitted.size() != window->size())
    window->resize(fitted.size());
}

void keepWindowsOnScreen() {
  static ScreenFitFilter* filter = nullptr;
  if (filter || !qApp) return;
  filter = new ScreenFitFilter(qApp);
  qApp->installEventFilter(filter);
}

}  // namespace kolm::common::ui
