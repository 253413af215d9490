#pragma once
// The program from its start to its end: one instance at a time, the main
// window started as main() starts it, and an exit that keeps the window on
// screen until the daily archive is written, stores the last settings,
// releases the instance lock last and then ends at once (the tables are not
// taken apart piece by piece).
#include <QString>
#include <functional>
#include <memory>

#include "mainwindow/SingleInstance.h"

class OrderForm;

class Program {
 public:
  explicit Program(const QString& lockPath = SingleInstance::defaultLockPath());
  ~Program();

  // The start: false when another instance runs (it was told; nothing else
  // was touched). Otherwise the main window is shown with its database.
  bool start();
  OrderForm* window() const { return window_.get(); }

  // Runs at the very end, just before the lock is released (benchmarks).
  std::function<void()> beforeRelease;

  // The start-up benchmark: when set before start(), runs once when the main
  // window's list was painted for the first time after its database was
  // loaded (the moment a user sees the filled list); the program then ends
  // there as it stands: nothing is saved, archived or stored, the lock is
  // released.
  std::function<void()> atFirstPaint;

 private:
  [[noreturn]] void end();
  // Watches the window's list for atFirstPaint.
  void watchFirstPaint();
  [[noreturn]] void endAtFirstPaint();

  SingleInstance instance_;
  std::unique_ptr<OrderForm> window_;
};
