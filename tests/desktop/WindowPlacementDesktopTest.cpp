// Windows on a real X server with a window manager: the whole frame, title
// bar and borders, opens inside the screen, also for the first window shown,
// whose frame nobody knows before it is mapped.
#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QScreen>
#include <QSettings>
#include <QWindow>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

#include "ScriptedPrompt.h"
#include "WaitUntil.h"
#include "mainwindow/OrderForm.h"
#include "platform/AppPaths.h"
#include "platform/SettingsStore.h"
#include "platform/WindowPlacement.h"
#include "platform/WindowTweaks.h"
#include "platform/X11WindowFrame.h"

// Rectangles as the tests print them.
inline void PrintTo(const QRect& r, std::ostream* os) {
  *os << r.x() << "," << r.y() << " " << r.width() << "x" << r.height();
}

namespace {

// Whether the program moved or resized a window after it first appeared
// (what the window manager does comes as spontaneous events, what the
// program does as its own).
class MovedAfterAppearing : public QObject {
 public:
  explicit MovedAfterAppearing(const QWidget& window) : window_(window) { qApp->installEventFilter(this); }
  bool appeared = false;
  bool moved = false;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Expose && watched == window_.windowHandle() && window_.windowHandle()->isExposed())
      appeared = true;
    if (appeared && watched == &window_ && !event->spontaneous() &&
        (event->type() == QEvent::Move || event->type() == QEvent::Resize))
      moved = true;
    return QObject::eventFilter(watched, event);
  }

 private:
  const QWidget& window_;
};

// For as long as it lives, the window manager does not offer to tell a
// window's frame before mapping it (as some do not): the request is taken
// out of the list of what it supports.
class WithoutFrameRequest {
 public:
  WithoutFrameRequest() {
    saved_ = xprop({QStringLiteral("-notype"), QStringLiteral("_NET_SUPPORTED")})
                 .section(u'=', 1)
                 .remove(u' ')
                 .trimmed();
    QStringList without = saved_.split(u',');
    without.removeAll(QStringLiteral("_NET_REQUEST_FRAME_EXTENTS"));
    set(without.join(u','));
  }
  ~WithoutFrameRequest() { set(saved_); }

 private:
  static QString xprop(QStringList arguments) {
    QProcess p;
    p.start(QStringLiteral("xprop"), QStringList{QStringLiteral("-root")} + arguments);
    p.waitForFinished();
    return QString::fromLatin1(p.readAllStandardOutput());
  }
  static void set(const QString& atoms) {
    xprop({QStringLiteral("-format"), QStringLiteral("_NET_SUPPORTED"), QStringLiteral("32a"), QStringLiteral("-set"),
           QStringLiteral("_NET_SUPPORTED"), atoms});
  }
  QString saved_;
};

QString text(const QRect& r) {
  return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

struct WindowsOnTheDesktop : ::testing::Test {
  QObject* watcher = nullptr;
  QRect area;

  void SetUp() override {
    QSettings s(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Kestrin"), QStringLiteral("Kestrin"));
    s.clear();
    s.sync();
    QDir(AppPaths::appPath()).removeRecursively();
    QDir().mkpath(AppPaths::appPath());
    watcher = WindowPlacement::keepWindowsOnScreen(*qApp);
    area = QGuiApplication::primaryScreen()->availableGeometry();
  }
  void TearDown() override { delete watcher; }

  // The window's frame as the X server has it: the window mapped, framed by
  // the window manager, and Qt caught up with where its client area is.
  // (Qt's own idea of the frame may stay behind until the window moves.)
  static std::optional<QRect> frameOnScreen(const QWidget& w) {
    QWindow* handle = w.windowHandle();
    if (!handle || !handle->isExposed()) return std::nullopt;
    const std::optional<QRect> client = X11WindowFrame::clientArea(handle);
    const std::optional<QMargins> margins = X11WindowFrame::frameExtents(handle);
    if (!client || !margins || margins->isNull() || *client != w.geometry()) return std::nullopt;
    return client->marginsAdded(*margins);
  }

  // The window's frame once it lies inside the available area; nothing, and
  // a failure telling where it is, when that never comes.
  std::optional<QRect> frameWhenInside(const QWidget& w) const {
    if (waitUntil([&] { return frameOnScreen(w) && area.contains(*frameOnScreen(w)); })) return frameOnScreen(w);
    const std::optional<QRect> frame = frameOnScreen(w);
    ADD_FAILURE() << "frame " << (frame ? text(*frame) : QStringLiteral("not known")).toStdString() << ", screen "
                  << text(area).toStdString();
    return std::nullopt;
  }
};

// The main window with the size and state stored from another screen, and a
// position it may have been given before it opens: its frame, title bar
// included, lies inside the screen from the moment it appears; sizes larger
// than the screen fill it, sizes that fit are kept, and a position inside
// the screen is kept too.
TEST_F(WindowsOnTheDesktop, TheMainWindowOpensWithItsWholeFrameInsideTheScreen) {
  const QPoint beyond = area.bottomRight() + QPoint(400, 300);
  const QPoint nearTheTop = area.topLeft() + QPoint(40, 8);  // less than a title bar below the edge
  const QPoint clientToTheBottom(area.left() + 40, area.bottom() + 1 - WindowTweaks::pixelsFromTwips(9030));
  const struct {
    const char* what;
    const char* width;
    const char* height;
    const char* state;
    std::optional<QPoint> at;
    bool stays;  // its frame where it was put
  } cases[] = {
      {"larger than any screen", "99999", "99999", "0", {}, false},
      {"wider than the screen", "99999", "9030", "0", {}, false},
      {"taller than the screen", "13530", "99999", "0", {}, false},
      {"the designed size", "13530", "9030", "0", {}, false},
      {"larger, put beyond the screen", "99999", "99999", "0", beyond, false},
      {"larger, put above and left of it", "99999", "99999", "0", QPoint(-3000, -2000), false},
      {"fits, put beyond the screen", "13530", "9030", "0", beyond, false},
      {"fits, put near the top edge", "13530", "9030", "0", nearTheTop, true},
      {"fits, its client area put to end at the bottom edge", "13530", "9030", "0", clientToTheBottom, false},
      {"larger and maximised", "99999", "99999", "2", {}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    SettingsStore::set(QStringLiteral("OrderForm"), QStringLiteral("Width"), QString::fromLatin1(c.width));
    SettingsStore::set(QStringLiteral("OrderForm"), QStringLiteral("Height"), QString::fromLatin1(c.height));
    SettingsStore::set(QStringLiteral("OrderForm"), QStringLiteral("WinState"), QString::fromLatin1(c.state));
    ScriptedPrompt prompt;
    auto form = std::make_unique<OrderForm>(prompt);
    form->endProgram = [] {};
    form->quitProgram = [] {};
    if (c.at) form->move(*c.at);
    MovedAfterAppearing watch(*form);
    form->Form_Load();

    const std::optional<QRect> frame = frameWhenInside(*form);
    if (!frame) continue;
    const QSize storedSize(WindowTweaks::pixelsFromTwips(QString::fromLatin1(c.width).toInt()),
                           WindowTweaks::pixelsFromTwips(QString::fromLatin1(c.height).toInt()));
    if (QString::fromLatin1(c.state) == QStringLiteral("2")) {
      EXPECT_TRUE(form->isMaximized());
      continue;
    }
    // Seen where it stays: not moved or resized after it appeared.
    EXPECT_TRUE(watch.appeared);
    EXPECT_FALSE(watch.moved);
    // Larger than the screen: as large as the screen; otherwise the size kept.
    const bool wider = storedSize.width() >= area.width();
    const bool taller = storedSize.height() >= area.height();
    EXPECT_EQ(wider ? frame->width() : form->width(), wider ? area.width() : storedSize.width());
    EXPECT_EQ(taller ? frame->height() : form->height(), taller ? area.height() : storedSize.height());
    // A small screen does not shrink the size kept for the next start.
    EXPECT_EQ(WindowPlacement::sizeToStore(form.get(), form->size()), storedSize);
    if (c.stays) {
      EXPECT_EQ(frame->topLeft(), *c.at);
    }
  }
}

// Where the window manager cannot tell the frame before a window is mapped
// and no other window shows one, a window whose frame does not fit is
// brought inside as soon as its frame is known, whether centred or put by
// the program (which the window manager places by its frame); windows that
// fit with their frame are not moved.
TEST_F(WindowsOnTheDesktop, AWindowIsBroughtInsideOnceItsFrameIsKnown) {
  WithoutFrameRequest withoutRequest;
  const QSize small(300, 200);
  const QPoint middle = area.center();
  const QPoint clientToTheBottom(area.left() + 40, area.bottom() + 1 - small.height());
  const struct {
    const char* what;
    QSize size;
    std::optional<QPoint> at;
    bool fits;
  } cases[] = {
      {"larger than the screen, centred", area.size() + QSize(200, 200), {}, false},
      {"its client area put to end at the bottom edge", small, clientToTheBottom, false},
      {"fits, centred", small, {}, true},
      {"fits, put by the program", small, middle, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    QWidget window;
    window.resize(c.size);
    if (c.at) window.move(*c.at);
    MovedAfterAppearing watch(window);
    window.show();
    const std::optional<QRect> frame = frameWhenInside(window);
    if (!frame) continue;
    if (c.fits) {
      EXPECT_FALSE(watch.moved);
      EXPECT_EQ(window.size(), c.size);
      if (c.at) {
        EXPECT_EQ(frame->topLeft(), *c.at);
      }
    } else if (c.size.width() > area.width()) {
      EXPECT_EQ(*frame, area);
    } else {
      EXPECT_EQ(window.size(), c.size);
      EXPECT_EQ(frame->left(), c.at->x());
    }
  }
}

}  // namespace
