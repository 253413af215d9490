#include "mainwindow/SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QThread>
#include <csignal>
#include <unistd.h>

#include "platform/Prompt.h"

namespace {
constexpr int kStepMs = 50;
}

SingleInstance::SingleInstance(const QString& lockPath) : path_(lockPath), lock_(lockPath) {
  lock_.setStaleLockTime(0);
}

QString SingleInstance::defaultLockPath() {
  QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (folder.isEmpty()) folder = QDir::tempPath();
  QDir().mkpath(folder);
  return folder + QStringLiteral("/Kestrin.lock");
}

bool SingleInstance::tryLock() { return lock_.isLocked() || lock_.tryLock(0); }

bool SingleInstance::holderIsEnding() const {
  QFile mark(markPath());
  if (!mark.open(QIODevice::ReadOnly)) return false;
  bool ok = false;
  const qint64 marked = mark.readAll().trimmed().toLongLong(&ok);
  qint64 holder = 0;
  QString host, app;
  if (!ok || !lock_.getLockInfo(&holder, &host, &app) || holder != marked) return false;
  return ::kill(static_cast<pid_t>(holder), 0) == 0;
}

bool SingleInstance::acquire(Prompt& prompt, int shortWaitMs, int exitingWaitMs) {
  int waited = 0;
  while (!tryLock()) {
    const int limit = holderIsEnding() ? exitingWaitMs : shortWaitMs;
    if (waited >= limit) {
      prompt.message(QStringLiteral("此程式已經在執行中"), Prompt::Icon::Exclamation);
      return false;
    }
    if (onWait) onWait();
    else QThread::msleep(kStepMs);
    waited += kStepMs;
  }
  return true;
}

void SingleInstance::markExiting() {
  if (!lock_.isLocked()) return;
  QFile mark(markPath());
  if (mark.open(QIODevice::WriteOnly | QIODevice::Truncate)) mark.write(QByteArray::number(qint64(::getpid())));
}

void SingleInstance::unlock() {
  if (lock_.isLocked()) QFile::remove(markPath());
  lock_.unlock();
}
