#pragma once
// What an X11 window manager tells about a window's frame before the window
// is mapped (Qt learns the frame only once the window is on the screen). On
// any other platform nothing is known.
#include <QMargins>
#include <optional>

class QWindow;

namespace X11WindowFrame {

// The frame the window manager will put around the window (left, top,
// right, bottom), asked through _NET_REQUEST_FRAME_EXTENTS; nothing when not
// on X11, when the window manager does not offer that request, or when it did
// not answer within a moment.
std::optional<QMargins> askWindowManager(QWindow* window);

// Whether the window manager takes the position the window asks for as that
// of its frame's top-left corner (the window's gravity is north-west, what
// Qt gives a window positioned before it was created) rather than as that of
// its client area (static gravity). False when not on X11.
bool positionPlacesFrame(QWindow* window);

}  // namespace X11WindowFrame
