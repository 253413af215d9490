// The database save on the loaded database, as the user waits for it: a
// save of every file (as the first save after a load writes them), and a
// save after an order with its lines was added (the common case), which
// writes only the files whose bytes change. Each try is paired with its
// baseline, writing the same bytes with fsync, so the ratios hold on a noisy
// machine; min and median of the tries are printed.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <cstdio>
#include <map>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "BenchCase.h"
#include "store/DataStore.h"
#include "store/Database.h"
#include "store/Progress.h"
#include "store/SaveTransaction.h"

namespace {

// Every file a save writes (Expend.kdt too: it is marked changed).
const QStringList& savedFiles() {
  static const QStringList names = {"Num.kdt",     "Order1.kdt", "Stock1.kdt",     "Stock2.kdt", "Member.kdt",
                                    "Manuf1.kdt",  "Manuf2.kdt", "Manuf3.kdt",     "ManufStock.kdt",
                                    "Images1.kdt", "Expend.kdt", "Cate1.kdt",      "Cate2.kdt",  "Cate3.kdt",
                                    "Cate4.kdt"};
  return names;
}

using Files = std::vector<std::pair<QString, QByteArray>>;

double msSince(const QElapsedTimer& t) { return t.nsecsElapsed() / 1e6; }

// Writes each file to dir and flushes it to disk, as a plain program would:
// the baseline of a save.
double writeAndSync(const QString& dir, const Files& files) {
  QElapsedTimer t;
  t.start();
  for (const auto& [name, bytes] : files) {
    QFile f(dir + name);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return -1;
    f.write(bytes);
    f.flush();
    ::fsync(f.handle());
  }
  syncPath(dir);
  return msSince(t);
}

Files readFiles(const QString& dir, const QStringList& names) {
  Files files;
  for (const QString& n : names) {
    QFile f(dir + n);
    if (f.open(QIODevice::ReadOnly)) files.emplace_back(n, f.readAll());
  }
  return files;
}

qint64 bytesOf(const Files& files) {
  qint64 n = 0;
  for (const auto& f : files) n += f.second.size();
  return n;
}

std::map<QString, ino_t> inodes(const QString& dir) {
  std::map<QString, ino_t> out;
  for (const QString& n : savedFiles()) {
    struct stat st{};
    if (::stat(QFile::encodeName(dir + n).constData(), &st) == 0) out[n] = st.st_ino;
  }
  return out;
}

void reportSpread(const BenchContext& ctx, const QString& name, std::vector<double> ms, std::vector<double> base,
                  const QString& baseName) {
  std::sort(ms.begin(), ms.end());
  std::sort(base.begin(), base.end());
  ctx.report(name + QStringLiteral(", min"), ms.front(), base.front(), baseName);
  ctx.report(name + QStringLiteral(", median"), ms[ms.size() / 2], base[base.size() / 2], baseName);
}

QString baselineName(const Files& files) {
  return QStringLiteral("write+fsync of the same bytes (%1 files, %2 MiB)")
      .arg(files.size())
      .arg(bytesOf(files) / 1048576.0, 0, 'f', 1);
}

// Saves the loaded database into folder, leaving its own folder as it was.
double timedSave(BenchContext& ctx, const QString& folder) {
  const QString own = ctx.db.DataBasePath;
  ctx.db.DataBasePath = folder;
  SilentProgress progress;
  DataStore store(ctx.db, ctx.prompt, progress);
  QElapsedTimer t;
  t.start();
  const bool ok = store.saveAttempt();
  const double ms = msSince(t);
  ctx.db.DataBasePath = own;
  if (!ok) std::fprintf(stderr, "save into %s failed\n", folder.toUtf8().constData());
  return ok ? ms : -1;
}

}  // namespace

KESTRIN_BENCH(Save) {
  // Two folders saved into by turns: every save replaces the files of an
  // earlier one, and none finds its own files there (so it writes them all).
  const QString a = ctx.workDir + QStringLiteral("save-a/");
  const QString b = ctx.workDir + QStringLiteral("save-b/");
  const QString plain = ctx.workDir + QStringLiteral("save-plain/");
  for (const QString& d : {a, b, plain}) QDir().mkpath(d);
  Database& db = ctx.db;
  const bool expendDirty = db.ExpendDirty;
  db.ExpendDirty = true;
  timedSave(ctx, a);
  timedSave(ctx, b);
  const Files every = readFiles(a, savedFiles());

  const int tries = std::max(3, ctx.repeat);
  std::vector<double> full, fullBase;
  for (int i = 0; i < tries; ++i) {
    fullBase.push_back(writeAndSync(plain, every));
    full.push_back(timedSave(ctx, i % 2 ? b : a));
  }
  reportSpread(ctx, QStringLiteral("save: every file (the first save after a load)"), full, fullBase,
               baselineName(every));

  // The common case: an order and its lines were added since the last
  // save, and the stock of a product changed with them.
  timedSave(ctx, a);
  std::vector<double> changed, changedBase, changedEvery;
  Files written;
  std::vector<QString> added;
  for (int i = 0; i < tries; ++i) {
    const int from = db.Order.count();
    const QString key = QStringLiteral("bench-save-%1").arg(i);
    const int r = db.Order.append(key);
    for (int c = 1; c <= OrderCell::Count; ++c) db.Order.setCell(r, c, db.Order.cell(from, c));
    for (int k = 0; k < 3; ++k) {
      const int l = db.Stock.append(key);
      for (int c = 1; c <= StockCell::Count; ++c) db.Stock.setCell(l, c, db.Stock.cell(k + 1, c));
    }
    if (db.Manuf.count() > 0)
      db.Manuf.setCell(1, ManufCell::ProductStock,
                       QString::number(db.Manuf.cell(1, ManufCell::ProductStock).toInt() - 1));
    added.push_back(key);
    const auto before = inodes(a);
    changed.push_back(timedSave(ctx, a));
    QStringList names;
    for (const auto& [name, ino] : inodes(a))
      if (!before.count(name) || before.at(name) != ino) names << name;
    written = readFiles(a, names);
    changedBase.push_back(writeAndSync(plain, written));
    changedEvery.push_back(writeAndSync(plain, every));
  }
  const QString name = QStringLiteral("save: after an order with 3 lines was added");
  reportSpread(ctx, name, changed, changedBase, baselineName(written));
  reportSpread(ctx, name, changed, changedEvery, baselineName(every));

  // The rows added here go again (the other cases read the database).
  for (int r = db.Order.count(); r >= 1 && db.Order.key(r).startsWith(QStringLiteral("bench-save-")); --r)
    db.Order.remove(r);
  for (int r = db.Stock.count(); r >= 1 && db.Stock.key(r).startsWith(QStringLiteral("bench-save-")); --r)
    db.Stock.remove(r);
  db.ExpendDirty = expendDirty;
  for (const QString& d : {a, b, plain}) QDir(d).removeRecursively();
}
