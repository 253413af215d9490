#pragma once
// Only one instance of the program runs: a lock file in the runtime folder,
// held for the whole run and never taken as stale while its owner lives.
#include <QLockFile>
#include <QString>

class Prompt;

class SingleInstance {
 public:
  explicit SingleInstance(const QString& lockPath = defaultLockPath());

  // True when this instance holds the lock.
  bool tryLock();
  // tryLock, and when another instance runs, "此程式已經在執行中".
  bool acquire(Prompt& prompt);
  void unlock() { lock_.unlock(); }

  static QString defaultLockPath();

 private:
  QLockFile lock_;
};
