#pragma once
// Waiting on something another process does (the X server, the window
// manager): the events are processed until condition holds or the deadline
// passes. Never a fixed sleep.
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <functional>

inline bool waitUntil(const std::function<bool()>& condition, int timeoutMs = 5000) {
  QElapsedTimer clock;
  clock.start();
  while (!condition()) {
    if (clock.elapsed() > timeoutMs) return false;
    QEventLoop loop;  // events for a moment, without spinning
    QTimer::singleShot(10, &loop, &QEventLoop::quit);
    loop.exec();
  }
  return true;
}
