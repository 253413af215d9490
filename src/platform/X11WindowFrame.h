#pragma once
// What the X server and its window manager tell about a window's frame and
// place: before the window is mapped, when Qt does not know its frame yet,
// and just after, when what Qt knows still lags behind. On any other
// platform nothing is told.
#include <QMargins>
#include <QRect>
#include <optional>

class QWindow;

namespace X11WindowFrame {

// The frame the window manager will put around the window (left, top,
// right, bottom), asked through _NET_REQUEST_FRAME_EXTENTS; nothing when not
// on X11, when the window manager does not offer that request, or when it did
// not answer within a moment.
std::optional<QMargins> askWindowManager(QWindow* window);

// The frame the window manager has put around the window as it says now
// (_NET_FRAME_EXTENTS); nothing when it has not said, or not on X11.
std::optional<QMargins> frameExtents(QWindow* window);

// Where the window's client area is on the screen now, as the X server has
// it (Qt hears of it only a little later); nothing while the window is not
// mapped, or not on X11.
std::optional<QRect> clientArea(QWindow* window);

// Whether the window manager still manages the X window id (lists it in
// _NET_CLIENT_LIST): a window just hidden is off the screen, its frame
// included, once it is not. False when not on X11 or without such a window
// manager.
bool managed(unsigned long id);

// Whether the platform is X11, where these tell something.
bool available();

// Whether the window manager takes the position the window asks for as that
// of its frame's top-left corner (north-west gravity) rather than as that of
// its client area (static gravity). Qt settles this when it shows the
// window: by its frame for a window positioned before it was created and not
// given a geometry since. False when not on X11.
bool positionPlacesFrame(QWindow* window);

}  // namespace X11WindowFrame
