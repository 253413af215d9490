// Benchmarks on a synthetic database (or the user's own, --db DIR).
// Every figure is printed with a ratio against a baseline measured in the
// same run, so the figures hold on a noisy machine.
//   kestrin_bench [--scale F] [--db DIR] [--out DIR] [--repeat N]
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>
#include <unistd.h>

#include "BenchCase.h"
#include "SyntheticDatabase.h"
#include "platform/AppPaths.h"
#include "platform/Codec.h"
#include "platform/Prompt.h"
#include "store/DataStore.h"
#include "store/Progress.h"
#include "store/SaveTransaction.h"
#include "mainwindow/OrderCommands.h"
#include "mainwindow/OrderList.h"
#include "platform/ListView.h"
#include "store/StockShortage.h"
#include <QApplication>
#include <QDate>

namespace {

class QuietPrompt : public Prompt {
 public:
  Answer message(const QString& text, Icon, Buttons b, const QString&) override {
    std::fprintf(stderr, "  (message) %s\n", text.toLocal8Bit().constData());
    return b == Buttons::Ok ? Answer::Ok : Answer::No;
  }
  std::optional<QString> input(const QString&, const QString&, const QString&, bool) override { return std::nullopt; }
  QString openFile(const QString&, const QString&, const QString&) override { return {}; }
  QString saveFile(const QString&, const QString&, const QString&, const QString&) override { return {}; }
  QString pickFolder(const QString&, const QString&) override { return {}; }
};

double bestMs(int repeat, const std::function<void()>& f) {
  double best = 1e300;
  for (int i = 0; i < repeat; ++i) {
    QElapsedTimer t;
    t.start();
    f();
    best = std::min(best, t.nsecsElapsed() / 1e6);
  }
  return best;
}

long peakRssMb() {
  QFile f(QStringLiteral("/proc/self/status"));
  if (!f.open(QIODevice::ReadOnly)) return -1;
  for (const QByteArray& line : f.readAll().split('\n')) {
    if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').value(0).toLong() / 1024;
  }
  return -1;
}

QStringList tableFiles(const QString& dir) {
  return QDir(dir).entryList({QStringLiteral("*.kdt"), QStringLiteral("*.KDT")}, QDir::Files);
}

// Baseline of loading: read, decode and split every table file into fields.
size_t readDecodeSplit(const QString& dir) {
  size_t fields = 0;
  for (const QString& n : tableFiles(dir)) {
    QFile f(dir + n);
    if (!f.open(QIODevice::ReadOnly)) continue;
    const QString text = Codec::decode(f.readAll());
    for (const auto& line : QStringView(text).split(QStringLiteral("\r\n")))
      for (const auto& field : line.split(QStringLiteral("\",\""))) fields += field.toString().size() > 0 ? 1 : 0;
  }
  return fields;
}

// Baseline of saving: write the same bytes, each file flushed to disk.
void rawWrite(const QString& from, const QString& to) {
  for (const QString& n : tableFiles(from)) {
    QFile in(from + n);
    in.open(QIODevice::ReadOnly);
    const QByteArray bytes = in.readAll();
    QFile out(to + n);
    out.open(QIODevice::WriteOnly | QIODevice::Truncate);
    out.write(bytes);
    out.flush();
    ::fsync(out.handle());
  }
  syncPath(to);
}

void row(const char* name, double ms, double baseMs, const char* baseName) {
  std::printf("%-34s %9.1f ms   %5.2fx %s\n", name, ms, baseMs > 0 ? ms / baseMs : 0.0, baseName);
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  double scale = 1.0;
  int repeat = 3;
  QString dbDir, outDir, only;
  const QStringList args = app.arguments();
  for (int i = 1; i < args.size(); ++i) {
    if (args[i] == QStringLiteral("--scale") && i + 1 < args.size()) scale = args[++i].toDouble();
    else if (args[i] == QStringLiteral("--db") && i + 1 < args.size()) dbDir = AppPaths::withSlash(args[++i]);
    else if (args[i] == QStringLiteral("--out") && i + 1 < args.size()) outDir = AppPaths::withSlash(args[++i]);
    else if (args[i] == QStringLiteral("--repeat") && i + 1 < args.size()) repeat = std::max(1, args[++i].toInt());
    else if (args[i] == QStringLiteral("--only") && i + 1 < args.size()) only = args[++i];
    else {
      std::fprintf(stderr, "usage: kestrin_bench [--scale F] [--db DIR] [--out DIR] [--repeat N] [--only NAME]\n");
      return 2;
    }
  }

  QuietPrompt prompt;
  SilentProgress progress;
  QTemporaryDir work;
  if (dbDir.isEmpty()) {
    dbDir = AppPaths::withSlash(work.path()) + QStringLiteral("db/");
    QDir().mkpath(dbDir);
    Database gen;
    gen.DataBasePath = dbDir;
    SyntheticSize size = SyntheticSize().scaled(scale);
    std::printf("synthetic database: %d orders, %d lines, %d products, %d customers, %d purchases, %d expenses\n",
                size.orders, size.orders * size.linesPerOrder, size.products, size.customers, size.purchases,
                size.expenses);
    buildSyntheticDatabase(gen, size);
    DataStore genStore(gen, prompt, progress);
    if (!genStore.saveAttempt()) {
      std::fprintf(stderr, "could not write the synthetic database\n");
      return 1;
    }
  }
  if (outDir.isEmpty()) {
    outDir = AppPaths::withSlash(work.path()) + QStringLiteral("out/");
  }
  QDir().mkpath(outDir);
  const QString rawDir = AppPaths::withSlash(work.path()) + QStringLiteral("raw/");
  QDir().mkpath(rawDir);

  Database db;
  db.DataBasePath = dbDir;
  DataStore store(db, prompt, progress);

  const double base = bestMs(repeat, [&] { readDecodeSplit(dbDir); });
  const double load = bestMs(repeat, [&] { store.loadDatabase(); });
  std::printf("loaded: %d orders, %d lines, %d products, %d customers\n", db.Order.count(), db.Stock.count(),
              db.Manuf.count(), db.Guest.count());
  row("baseline read+decode+split", base, base, "");
  row("load (DataBaseLoad tables)", load, base, "of baseline (target <= 2x)");

  const double rawMs = bestMs(repeat, [&] { rawWrite(dbDir, rawDir); });
  db.DataBasePath = outDir;
  db.ExpendDirty = true;
  bool saved = true;
  const double save = bestMs(repeat, [&] { saved = store.saveAttempt() && saved; });
  row("baseline raw write + fsync", rawMs, rawMs, "");
  row("save (all tables, atomic)", save, rawMs, "of baseline (target <= 2x)");
  // Commands on the loaded database. Each figure is also given against
  // the time of one pass that reads every cell of Order once.
  db.DataBasePath = dbDir;
  store.loadDatabase();
  const double scan = bestMs(repeat, [&] {
    qsizetype n = 0;
    for (int r = 1; r <= db.Order.count(); ++r)
      for (int c = 0; c <= OrderCell::Count; ++c) n += db.Order.cell(r, c).size();
    if (n < 0) std::puts("");
  });
  row("baseline one pass over Order", scan, scan, "");
  OrderList::OrderFilter shipped{QStringLiteral("全部"), QStringLiteral("全部"), QString(), false, true};
  OrderList::OrderFilter unshipped{QStringLiteral("全部"), QStringLiteral("全部"), QString(), true, false};
  OrderList::OrderListView names{true, true};
  size_t listed = 0;
  const double all = bestMs(repeat, [&] { listed = OrderList::OrderShow(db, shipped, names).rows.size(); });
  std::printf("  (%zu shipped orders listed)\n", listed);
  row("order list, shipped, with totals", all, scan, "of one pass (target < 100 ms)");
  db.CheckLacks = true;
  const double open = bestMs(repeat, [&] { listed = OrderList::OrderShow(db, unshipped, names).rows.size(); });
  std::printf("  (%zu unshipped orders listed)\n", listed);
  row("order list, unshipped + shortage", open, scan, "of one pass (target < 100 ms)");
  const OrderList::OrderListRows rows = OrderList::OrderShow(db, unshipped, names).rows;
  const double shortage = bestMs(repeat, [&] {
    (void)CheckStockShortage(db, static_cast<int>(rows.size()),
                             [&](int r, int c) { return rows.cell(static_cast<size_t>(r), c); });
  });
  row("shortage check", shortage, scan, "of one pass (target < 100 ms)");
  const double search = bestMs(repeat, [&] {
    listed = OrderList::CustomerSearch(db, shipped, names, QStringLiteral("buyer123")).list.rows.size();
  });
  row("customer search", search, scan, "of one pass (target < 100 ms)");
  const double number = bestMs(repeat, [&] { (void)OrderCommands::nextOrderNumber(db, QDate::currentDate()); });
  row("new order number", number, scan, "of one pass (target < 100 ms)");
  ListView list;
  list.setColumns(OrderList::orderListCaptions());
  const auto result = OrderList::OrderShow(db, shipped, names);
  const double fill = bestMs(repeat, [&] {
    list.setRowSource(result.source());
  });
  row("list fill with colours (widget)", fill, scan, "of one pass (target < 100 ms)");
  db.DataBasePath = dbDir;
  store.loadDatabase();
  BenchContext ctx{db, prompt, dbDir, AppPaths::withSlash(work.path()), scale, repeat, scan};
  runRegisteredBenches(ctx, only);
  std::printf("peak memory: %ld MiB\n", peakRssMb());
  if (!saved) {
    std::fprintf(stderr, "save failed\n");
    return 1;
  }
  return 0;
}
