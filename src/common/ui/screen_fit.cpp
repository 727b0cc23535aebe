#include "common/ui/screen_fit.h"

#include <QApplication>
#include <QEvent>
#include <QFileDialog>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLayout>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QScrollArea>
#include <QSettings>
#include <QStatusBar>
#include <QVBoxLayout>
#include <QWidget>
#include <algorithm>

namespace kolm::common::ui {

namespace {

// The INI file window places are kept in; empty while they are not kept.
QString& placesFile() {
  static QString file;
  return file;
}

// A window of the program's own whose place is kept: a named window, not a
// dialog (those open over their owner), not a menu or a tool tip.
bool placeKept(const QWidget* w) {
  return !placesFile().isEmpty() && w->windowType() == Qt::Window && !w->objectName().isEmpty();
}

QString placeKey(const QWidget* w) { return "windowPlaces/" + w->objectName(); }

const char* const kPlaceTaken = "kolmPlaceTaken";

// The window's kept place, where it still fits; before its first show only.
void takeKeptPlace(QWidget* w) {
  if (w->property(kPlaceTaken).toBool()) return;
  w->setProperty(kPlaceTaken, true);
  const QRect kept = QSettings(placesFile(), QSettings::IniFormat).value(placeKey(w)).toRect();
  if (!kept.isValid()) return;
  QList<QRect> areas;
  for (const QScreen* screen : QGuiApplication::screens()) areas << screen->availableGeometry();
  if (const auto place = placeStillFitting(kept, frameMargins(w), w->minimumSize(), areas))
    w->setGeometry(*place);
}

void keepPlace(const QWidget* w) {
  if (!w->property(kPlaceTaken).toBool()) return;
  QSettings(placesFile(), QSettings::IniFormat)
      .setValue(placeKey(w),
                w->isMaximized() || w->isFullScreen() ? w->normalGeometry() : w->geometry());
}

class ScreenFitFilter : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    const bool show = event->type() == QEvent::Show, hide = event->type() == QEvent::Hide;
    if ((show || hide) && watched->isWidgetType()) {
      auto* w = static_cast<QWidget*>(watched);
      // Menus, tool tips and the like place themselves against the screen.
      const Qt::WindowType type = w->windowType();
      if (!w->isWindow() || type == Qt::Popup || type == Qt::ToolTip || type == Qt::SplashScreen ||
          type == Qt::Desktop)
        return false;
      if (show && placeKept(w)) takeKeptPlace(w);
      if (show) fitOnScreen(w);
      if (hide && placeKept(w)) keepPlace(w);
    }
    return false;
  }
};

const char* const kScrolled = "kolmScrolled";

// Where even its minimum size does not fit the screen (a small screen, or a
// large scale), the window's content goes into a scroll area: every control
// keeps its size and stays reachable, and the window fits. Qt's own dialogs
// lay themselves out.
void scrollWhereTooLarge(QWidget* window, QSize room) {
  if (window->property(kScrolled).toBool() || qobject_cast<QMessageBox*>(window) ||
      qobject_cast<QFileDialog*>(window) || qobject_cast<QInputDialog*>(window))
    return;
  if (QLayout* layout = window->layout()) layout->activate();
  const QSize minimum = window->minimumSize().expandedTo(window->minimumSizeHint());
  if (minimum.width() <= room.width() && minimum.height() <= room.height()) return;
  QWidget* content = nullptr;
  auto* scroll = new QScrollArea;
  scroll->setObjectName("screenScroll");
  scroll->setWidgetResizable(true);
  scroll->setFrameShape(QFrame::NoFrame);
  if (auto* main = qobject_cast<QMainWindow*>(window)) {
    content = main->takeCentralWidget();
    if (!content) return delete scroll;
    // The content keeps the room the window gave it, less its menu and status bars.
    int bars = 0;
    if (QWidget* menu = main->menuWidget()) bars += menu->sizeHint().height();
    if (auto* status = main->findChild<QStatusBar*>(QString(), Qt::FindDirectChildrenOnly))
      bars += status->sizeHint().height();
    content->setMinimumSize(
        (minimum - QSize(0, bars)).expandedTo(content->minimumSizeHint()).expandedTo({0, 0}));
    scroll->setWidget(content);
    main->setCentralWidget(scroll);
  } else if (QLayout* layout = window->layout()) {
    content = new QWidget;
    content->setLayout(layout);  // takes the layout and the widgets in it
    // The content is held at its layout's minimum as that changes (a longer
    // text, another mode of the dialog), not at the minimum it had now.
    layout->setSizeConstraint(QLayout::SetMinimumSize);
    scroll->setWidget(content);
    auto* outer = new QVBoxLayout(window);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroll);
  } else {
    return delete scroll;
  }
  window->setProperty(kScrolled, true);
  window->setMinimumSize(minimum.boundedTo(room));
}

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

bool scrolledToFit(const QWidget* window) { return window->property(kScrolled).toBool(); }

void fitOnScreen(QWidget* window) {
  QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect area = screen->availableGeometry();
  // A window without a place of its own is placed by the window manager: only
  // its size is held to the screen.
  const bool placed = window->testAttribute(Qt::WA_Moved);
  const QMargins frame = frameMargins(window);
  scrollWhereTooLarge(window, QSize(area.width() - frame.left() - frame.right(),
                                    area.height() - frame.top() - frame.bottom()));
  QRect place = window->geometry();
  if (!placed) place.moveTopLeft(area.topLeft() + QPoint(frame.left(), frame.top()));
  const QRect fitted = fittedGeometry(place, frame, window->minimumSize(), area);
  if (placed && fitted != window->geometry())
    window->setGeometry(fitted);
  else if (!placed && fitted.size() != window->size())
    window->resize(fitted.size());
}

std::optional<QRect> placeStillFitting(QRect kept, QMargins frame, QSize minimum,
                                       const QList<QRect>& areas) {
  if (!kept.isValid() || kept.width() < minimum.width() || kept.height() < minimum.height())
    return std::nullopt;
  const QRect whole = kept.marginsAdded(frame);
  for (const QRect& area : areas)
    if (area.contains(whole)) return kept;
  return std::nullopt;
}

void keepWindowPlaces(const QString& file) {
  placesFile() = file;
  keepWindowsOnScreen();
}

void keepWindowsOnScreen() {
  static ScreenFitFilter* filter = nullptr;
  if (filter || !qApp) return;
  filter = new ScreenFitFilter(qApp);
  qApp->installEventFilter(filter);
}

void openAtSize(QWidget* window, QSize preferred) {
  QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
  QSize room = screen ? screen->availableGeometry().size() : preferred;
  // Room for the frame the window manager adds (unknown before the first show).
  room -= QSize(16, 40);
  window->resize(preferred.boundedTo(room).expandedTo(window->minimumSize()));
}

}  // namespace kolm::common::ui
