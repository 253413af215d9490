#include "platform/WindowPlacement.h"

#include <QApplication>
#include <QEvent>
#include <QMargins>
#include <QScreen>
#include <QVariant>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace WindowPlacement {

namespace {

// Dynamic properties of a window place() shrank: the size it asked for and
// the size it was given.
constexpr const char* kAskedSize = "placementAskedSize";
constexpr const char* kGivenSize = "placementGivenSize";

QMargins frameMargins(const QWidget* w) {
  const QRect frame = w->frameGeometry();
  const QRect inner = w->geometry();
  return {inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
          frame.bottom() - inner.bottom()};
}

// The window's frame margins; before its first showing they are unknown
// (zero), and those of the window it belongs to, or of the active window,
// stand in for them.
QMargins likelyFrameMargins(const QWidget* window) {
  const QMargins own = frameMargins(window);
  if (!own.isNull()) return own;
  const QWidget* owner = window->parentWidget() ? window->parentWidget()->window() : nullptr;
  for (const QWidget* other : {owner, static_cast<const QWidget*>(QApplication::activeWindow())}) {
    if (other && other != window && other->isVisible()) return frameMargins(other);
  }
  return {};
}

bool isPlacedWindow(const QWidget* w) {
  switch (w->windowType()) {
    case Qt::Window:
    case Qt::Dialog:
    case Qt::Sheet:
    case Qt::Tool:
      return true;
    default:
      return false;
  }
}

class ShowWatcher : public QObject {
 public:
  using QObject::QObject;

 protected:
  // A window's own show event comes first (a dialog centres itself on its
  // parent there); its QWindow's follows just before it is mapped.
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show && !event->spontaneous() && watched->isWindowType()) {
      auto* handle = static_cast<QWindow*>(watched);
      for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->windowHandle() == handle) {
          place(w);
          break;
        }
      }
    }
    return QObject::eventFilter(watched, event);
  }
};

}  // namespace

QRect fitInside(const QRect& frame, const QRect& area) {
  QRect r = frame;
  if (r.width() > area.width()) r.setWidth(area.width());
  if (r.height() > area.height()) r.setHeight(area.height());
  r.moveLeft(std::clamp(r.left(), area.left(), area.right() + 1 - r.width()));
  r.moveTop(std::clamp(r.top(), area.top(), area.bottom() + 1 - r.height()));
  return r;
}

void place(QWidget* window) {
  if (!window || !window->isWindow() || !isPlacedWindow(window)) return;
  if (window->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized)) return;
  const QWidget* owner = window->parentWidget() ? window->parentWidget()->window() : nullptr;
  const QMargins margins = likelyFrameMargins(window);
  QRect frame = window->geometry().marginsAdded(margins);

  // Qt marks a window placed by the program as moved; a dialog has just
  // centred itself on its parent and cleared that mark again. Any other
  // window is centred here, where the window manager would be free to put it
  // anywhere.
  const bool dialog = window->inherits("QDialog");
  const bool placed = window->testAttribute(Qt::WA_Moved) || dialog;
  QScreen* screen = nullptr;
  if (!placed) {
    const QRect around = owner && owner->isVisible() ? owner->frameGeometry() : QRect();
    screen = around.isValid() ? owner->screen() : window->screen();
    if (!screen) return;
    frame.moveCenter(around.isValid() ? around.center() : screen->availableGeometry().center());
  } else {
    screen = QGuiApplication::screenAt(frame.center());
    if (!screen) screen = owner ? owner->screen() : window->screen();
    if (!screen) return;
  }

  const QRect fitted = fitInside(frame, screen->availableGeometry());
  const QRect inner = fitted.marginsRemoved(margins);
  if (placed && inner == window->geometry()) return;

  const QSize asked = window->size();
  const bool wasMoved = window->testAttribute(Qt::WA_Moved);
  window->setGeometry(inner);
  // A dialog is centred anew each time it is shown, as before.
  if (dialog) window->setAttribute(Qt::WA_Moved, wasMoved);
  if (window->size() != asked) {
    window->setProperty(kAskedSize, asked);
    window->setProperty(kGivenSize, window->size());
  }
}

QSize sizeToStore(const QWidget* window, const QSize& size) {
  const QVariant given = window->property(kGivenSize);
  if (given.isValid() && given.toSize() == size) return window->property(kAskedSize).toSize();
  return size;
}

QObject* keepWindowsOnScreen(QApplication& app) {
  auto* watcher = new ShowWatcher(&app);
  app.installEventFilter(watcher);
  return watcher;
}

}  // namespace WindowPlacement
