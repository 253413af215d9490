#pragma once
// Long work that does not yield leaves the screen as it was: a box just
// answered stays drawn over the windows, a window just shown stays an empty
// frame with the windows beneath showing through. Right before such work the
// screen is brought up to date once. On a real window system that takes a
// moment: the window manager first takes the box's frame away (and hands the
// focus back) or frames and maps the new window, and only then are the
// windows concerned told to paint.
#include <functional>

namespace PendingPaint {

// The longest wait for the window system, in milliseconds.
inline constexpr int kMaxWaitMs = 250;

// Waits until `done` holds (the window system did what it was asked: the
// focus is back at the window that asked, the new window is exposed), at
// most kMaxWaitMs, then processes the pending events once. User input is
// never processed here; it waits for the program to be ready.
void process(const std::function<bool()>& done);

}  // namespace PendingPaint
