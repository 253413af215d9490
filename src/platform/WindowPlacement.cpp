#include "platform/WindowPlacement.h"

#include <QApplication>
#include <QEvent>
#include <QMargins>
#include <QScreen>
#include <QVariant>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <optional>

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

struct LikelyFrame {
  QMargins margins;
  bool told = false;  // by the window manager, for this window
};

// The frame a window about to appear will have, while its own is not known
// yet: that of the window it belongs to or of the active window, when known;
// otherwise what the window manager says it will put around this window; zero
// when nothing is known (a window manager that draws no frames, or does not say).
LikelyFrame likelyFrame(QWidget* window) {
  const QWidget* owner = window->parentWidget() ? window->parentWidget()->window() : nullptr;
  for (const QWidget* other : {owner, static_cast<const QWidget*>(QApplication::activeWindow())}) {
    if (other && other != window && other->isVisible()) {
      const QMargins margins = frameMargins(other);
      if (!margins.isNull()) return {margins, false};
    }
  }
  if (const std::optional<QMargins> told = X11WindowFrame::askWindowManager(window->windowHandle()))
    return {*told, true};
  return {};
}

// Gives a window the frame rectangle frame, around a client area inside
// margins, noting the size it asked for when that changes it (a window still
// at the size given earlier keeps the size it asked for then). A shown window
// that the window manager positions by its frame (X11WindowFrame::
// positionPlacesFrame) gets its frame's position, any other window its client
// area's. A dialog is centred anew each time it is shown, as before.
void giveFrame(QWidget* window, const QRect& frame, const QMargins& margins, bool byFramePosition) {
  const QVariant given = window->property(kGivenSize);
  const QSize asked = given.isValid() && given.toSize() == window->size() ? window->property(kAskedSize).toSize()
                                                                           : window->size();
  const bool wasMoved = window->testAttribute(Qt::WA_Moved);
  const QRect inner = frame.marginsRemoved(margins);
  if (byFramePosition) {
    window->resize(inner.size());
    window->windowHandle()->setFramePosition(frame.topLeft());
  } else {
    window->setGeometry(inner);
  }
  if (window->inherits("QDialog")) window->setAttribute(Qt::WA_Moved, wasMoved);
  if (window->size() != asked) {
    window->setProperty(kAskedSize, asked);
    window->setProperty(kGivenSize, window->size());
  } else {
    window->setProperty(kAskedSize, QVariant());
    window->setProperty(kGivenSize, QVariant());
  }
}

// Looks again at a window placed with a frame that was only assumed, once the
// window manager has framed and mapped it, and brings the window inside the
// screen when its real frame turned out not to fit there; a window whose
// frame lies inside stays where it is. The frame and the window's place are
// read from the X server: what Qt knows of them lags behind just after
// mapping. Ends itself after that look, or when the window is hidden or
// maximised first.
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
        // Looked at once Qt has taken in the event.
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
    QWindow* handle = window_->windowHandle();
    const std::optional<QRect> client = X11WindowFrame::clientArea(handle);
    const std::optional<QMargins> margins = X11WindowFrame::frameExtents(handle);
    if (!client) return;  // not mapped yet
    // One look only, so that a window the seller moves later is left alone;
    // a window manager that has not told the frame by now leaves nothing to go by.
    deleteLater();
    if (!margins) return;
    const QRect frame = client->marginsAdded(*margins);
    QScreen* screen = QGuiApplication::screenAt(frame.center());
    if (!screen) screen = window_->screen();
    if (!screen) return;
    const QRect fitted = fitInside(frame, screen->availableGeometry());
    if (fitted != frame) giveFrame(window_, fitted, *margins, X11WindowFrame::positionPlacesFrame(handle));
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
  const LikelyFrame likely = frameKnown ? LikelyFrame{own, true} : likelyFrame(window);
  const QMargins& margins = likely.margins;
  // While Qt does not know the frame, the position a window asks for goes to
  // the window manager as it stands, and that of a window positioned before
  // it was created is read as its frame's. (Until it is shown, giving it a
  // new geometry makes the window manager read it as the client area's.)
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

  // A frame only assumed is looked at again once the real one is there.
  for (QObject* earlier :
       window->findChildren<QObject*>(QString::fromLatin1(FrameCheck::kName), Qt::FindDirectChildrenOnly))
    delete earlier;
  if (!likely.told && X11WindowFrame::available()) new FrameCheck(window);

  const QRect fitted = fitInside(frame, screen->availableGeometry());
  if (placed && fitted == frame) return;
  giveFrame(window, fitted, margins, false);
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
