#include "platform/WindowPlacement.h"

#include <QApplication>
#include <QEvent>
#include <QMargins>
#include <QScreen>
#include <QVariant>
#include <QWidget>
#include <QWindow>
#include <algorithm>

#include "platform/X11WindowFrame.h"

namespace WindowPlacement {

namespace {

// Dynamic properties of a window place() shrank: the size it asked for and
// the size it was given.
constexpr const char* kAskedSize = "placementAskedSize";
constexpr const char* kGivenSize = "placementGivenSize";

// A window's frame margins as Qt knows them: zero before the window was
// first put on the screen (its frame is known only then).
QMargins frameMargins(const QWidget* w) {
  return w->windowHandle() ? w->windowHandle()->frameMargins() : QMargins();
}

// The frame a window about to appear will have, while its own is not known
// yet: that of the window it belongs to or of the active window, when known;
// otherwise what the window manager says it will put around this window; zero
// when nothing is known (a window manager that draws no frames, or does not say).
QMargins likelyFrameMargins(QWidget* window) {
  const QWidget* owner = window->parentWidget() ? window->parentWidget()->window() : nullptr;
  for (const QWidget* other : {owner, static_cast<const QWidget*>(QApplication::activeWindow())}) {
    if (other && other != window && other->isVisible()) {
      const QMargins margins = frameMargins(other);
      if (!margins.isNull()) return margins;
    }
  }
  return X11WindowFrame::askWindowManager(window->windowHandle()).value_or(QMargins());
}

// Gives a window a new geometry, noting the size it asked for when that
// changes it. A window still at the size given earlier keeps the size it
// asked for then. A dialog is centred anew each time it is shown, as before.
void giveGeometry(QWidget* window, const QRect& geometry) {
  const QVariant given = window->property(kGivenSize);
  const QSize asked = given.isValid() && given.toSize() == window->size() ? window->property(kAskedSize).toSize()
                                                                           : window->size();
  const bool wasMoved = window->testAttribute(Qt::WA_Moved);
  window->setGeometry(geometry);
  if (window->inherits("QDialog")) window->setAttribute(Qt::WA_Moved, wasMoved);
  if (window->size() != asked) {
    window->setProperty(kAskedSize, asked);
    window->setProperty(kGivenSize, window->size());
  } else {
    window->setProperty(kAskedSize, QVariant());
    window->setProperty(kGivenSize, QVariant());
  }
}

// Looks at a window placed before its frame was known once the frame is
// known (just after the window was mapped), and brings the window inside the
// screen when the real frame turned out not to fit there. A window whose
// frame lies inside stays where it is. Ends itself after that look, or when
// the window is hidden or maximised first.
class FrameCheck : public QObject {
 public:
  static constexpr const char* kName = "placementFrameCheck";

  explicit FrameCheck(QWidget* window) : QObject(window), window_(window) {
    setObjectName(QString::fromLatin1(kName));
    window->windowHandle()->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    switch (event->type()) {
      case QEvent::Expose:
      case QEvent::Move:
      case QEvent::Resize:
      case QEvent::WindowStateChange:
        // After Qt has taken in the event, and only once.
        if (!pending_) {
          pending_ = true;
          QMetaObject::invokeMethod(this, [this] { check(); }, Qt::QueuedConnection);
        }
        break;
      case QEvent::Hide:
        deleteLater();
        break;
      default:
        break;
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  void check() {
    pending_ = false;
    if (!window_->isVisible() ||
        (window_->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized))) {
      deleteLater();
      return;
    }
    const QMargins margins = window_->windowHandle()->frameMargins();
    if (margins.isNull()) return;  // not framed yet
    deleteLater();
    const QRect frame = window_->geometry().marginsAdded(margins);
    QScreen* screen = QGuiApplication::screenAt(frame.center());
    if (!screen) screen = window_->screen();
    if (!screen) return;
    const QRect fitted = fitInside(frame, screen->availableGeometry());
    if (fitted != frame) giveGeometry(window_, fitted.marginsRemoved(margins));
  }

  QWidget* window_;
  bool pending_ = false;
};

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
  const QMargins own = frameMargins(window);
  const bool frameKnown = !own.isNull();
  const QMargins margins = frameKnown ? own : likelyFrameMargins(window);
  // While Qt does not know the frame, the position a window asks for goes to
  // the window manager as it stands, and a window positioned before it was
  // created has it read as that of its frame.
  const bool positionIsFrame = !frameKnown && X11WindowFrame::positionPlacesFrame(window->windowHandle());
  const QRect asked = window->geometry();
  QRect frame = positionIsFrame ? QRect(asked.topLeft(), asked.size().grownBy(margins)) : asked.marginsAdded(margins);

  // Qt marks a window placed by the program as moved; a dialog has just
  // centred itself on its parent and cleared that mark again. Any other
  // window is centred here, where the window manager would be free to put it
  // anywhere.
  const bool placed = window->testAttribute(Qt::WA_Moved) || window->inherits("QDialog");
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

  // Where the frame was not known, it is looked at again once it is.
  if (!frameKnown && window->windowHandle()) {
    for (QObject* earlier : window->findChildren<QObject*>(QString::fromLatin1(FrameCheck::kName),
                                                           Qt::FindDirectChildrenOnly))
      delete earlier;
    new FrameCheck(window);
  }

  const QRect fitted = fitInside(frame, screen->availableGeometry());
  if (placed && fitted == frame) return;
  const QRect inner = fitted.marginsRemoved(margins);
  giveGeometry(window, positionIsFrame ? QRect(fitted.topLeft(), inner.size()) : inner);
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
