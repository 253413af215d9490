#include "mainwindow/SingleInstance.h"

#include <QDir>
#include <QStandardPaths>

#include "platform/Prompt.h"

SingleInstance::SingleInstance(const QString& lockPath) : lock_(lockPath) { lock_.setStaleLockTime(0); }

QString SingleInstance::defaultLockPath() {
  QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (folder.isEmpty()) folder = QDir::tempPath();
  QDir().mkpath(folder);
  return folder + QStringLiteral("/Kestrin.lock");
}

bool SingleInstance::tryLock() { return lock_.isLocked() || lock_.tryLock(0); }

bool SingleInstance::acquire(Prompt& prompt) {
  if (tryLock()) return true;
  prompt.message(QStringLiteral("此程式已經在執行中"), Prompt::Icon::Exclamation);
  return false;
}
