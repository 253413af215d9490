#pragma once
// Only one instance of the program runs: a lock file in the runtime folder,
// held for the whole run and never taken as stale while its owner lives.
// An instance that is ending marks itself so; a second start then waits for
// it to finish (its daily archive may take a while) instead of refusing.
#include <QLockFile>
#include <QString>
#include <functional>

class Prompt;

class SingleInstance {
 public:
  explicit SingleInstance(const QString& lockPath = defaultLockPath());

  // True when this instance holds the lock.
  bool tryLock();
  // tryLock; while another instance holds the lock, wait for it: as long as
  // exitingWaitMs while it is ending, else shortWaitMs (a start made the
  // moment the first was closed). Then "此程式已經在執行中".
  bool acquire(Prompt& prompt, int shortWaitMs = 1500, int exitingWaitMs = 120000);
  // This instance is ending: from now on a second start waits for it.
  void markExiting();
  // Removes the mark, then releases the lock.
  void unlock();

  // Called at each short wait of acquire in place of sleeping (tests).
  std::function<void()> onWait;

  static QString defaultLockPath();

 private:
  QString markPath() const { return path_ + QStringLiteral(".exiting"); }
  // The instance holding the lock marked itself as ending.
  bool holderIsEnding() const;

  QString path_;
  QLockFile lock_;
};
