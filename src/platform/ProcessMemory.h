#pragma once
// The peak resident memory of this process so far, in KiB (VmHWM of
// /proc/self/status); -1 where the system does not tell.
//
// Used where a process reports its own peak: a parent's wait4() figure is no
// use for a child started by posix_spawn, since the child's count starts at
// the parent's peak (the address space is shared until the exec).
#include <QByteArray>
#include <QFile>

inline long peakResidentKiB() {
  QFile status(QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly)) return -1;
  for (const QByteArray& line : status.readAll().split('\n')) {
    if (!line.startsWith("VmHWM:")) continue;
    bool ok = false;
    const long kib = line.mid(6).trimmed().split(' ').value(0).toLong(&ok);
    return ok ? kib : -1;
  }
  return -1;
}
