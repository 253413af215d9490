#pragma once
// Every window and dialog opens wholly inside the available area of its
// screen (the screen without panels and docks): moved in, and shrunk only
// where it is larger than that area. A window placed by the program or by
// its dialog's centring stays where it was put when it fits; one left to the
// window manager is centred on the window it belongs to (on the screen when
// it belongs to none), as Qt itself would, so a window manager never puts
// it beyond the screen's edge.
//
// The frame (title bar and borders) counts: it lies inside the area too. Qt
// learns a window's frame only once the window is on the screen, so before
// the first showing the frame is taken from the window it belongs to or the
// active window, or else asked of the window manager; and once the real frame
// is known the window is looked at again and brought inside if it does not
// fit after all (a window that fits is not moved).
#include <QRect>
#include <QSize>

class QApplication;
class QObject;
class QWidget;

namespace WindowPlacement {

// The frame rectangle moved, and shrunk where it is larger, to lie wholly
// inside area; a frame already inside comes back unchanged.
QRect fitInside(const QRect& frame, const QRect& area);

// Places a top-level window that is about to appear (while its own frame
// margins are not known yet, they are taken as told above).
// Maximised and full-screen windows, menus and tooltips are left alone.
void place(QWidget* window);

// What is stored of a window's (normal) size: the size it asked for when
// place() shrank it to fit the screen and it still has the size place()
// gave it; size otherwise. So a small screen does not shrink it for good.
QSize sizeToStore(const QWidget* window, const QSize& size);

// From now on place() runs for every window and dialog the application
// shows, just before it appears. Returns the watcher doing it (owned by the
// application; deleting it stops the placing).
QObject* keepWindowsOnScreen(QApplication& app);

}  // namespace WindowPlacement
