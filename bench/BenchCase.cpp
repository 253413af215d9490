#include "BenchCase.h"

#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
struct Entry {
  const char* name;
  BenchFunction f;
};
std::vector<Entry>& entries() {
  static std::vector<Entry> e;
  return e;
}
}  // namespace

BenchRegistration::BenchRegistration(const char* name, BenchFunction f) { entries().push_back({name, f}); }

double BenchContext::bestMs(const std::function<void()>& f) const {
  double best = 1e300;
  for (int i = 0; i < std::max(1, repeat); ++i) {
    QElapsedTimer t;
    t.start();
    f();
    best = std::min(best, t.nsecsElapsed() / 1e6);
  }
  return best;
}

void BenchContext::report(const QString& name, double ms, double baseMs, const QString& baseName,
                          double targetMs) const {
  QString line = QStringLiteral("%1 %2 ms %3x of %4").arg(name).arg(ms, 0, 'f', 1).arg(baseMs > 0 ? ms / baseMs : 0.0, 0, 'f', 2).arg(baseName);
  if (targetMs > 0) line += QStringLiteral(" (target < %1 ms%2)").arg(targetMs).arg(scale != 1 ? QStringLiteral(" at 1x") : QString());
  std::printf("%s\n", line.toUtf8().constData());
  std::fflush(stdout);
}

void runRegisteredBenches(BenchContext& ctx, const QString& only) {
  for (const Entry& e : entries()) {
    if (!only.isEmpty() && !QString::fromLatin1(e.name).contains(only, Qt::CaseInsensitive)) continue;
    e.f(ctx);
  }
}
