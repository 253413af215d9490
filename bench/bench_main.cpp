// Benchmarks on a synthetic database (or the user's own, --db DIR).
//
// Every figure is one line "<name> <time> ms <ratio>x of <baseline>", its
// baseline measured in the same run, so the figures hold on a noisy machine
// and a script can read them. Figures a user waits for in a fresh program
// (first load, start-up to the filled list, the first save, exit with the
// daily archive) run this program again as a child process for every try,
// and so do their baselines (a single-thread read + decode + split of the
// same files; write + fsync of the same bytes; a raw copy of the archive's
// bytes). The user's actions run through the real windows, offscreen. Then
// the cases of bench/<Area>Bench.cpp (KESTRIN_BENCH) run on the loaded
// database.
//
//   kestrin_bench [--scale F] [--db DIR] [--repeat N] [--only NAME] [--windows-only]
//   kestrin_bench --scale F --make-db DIR     (writes the synthetic database and ends)
//
// Settings, the database list and the instance lock go to a scratch home
// folder of the run; the user's own are never touched.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QAction>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <sys/resource.h>
#include <unistd.h>

#include "BenchCase.h"
#include "SyntheticDatabase.h"
#include "customers/GuestForm.h"
#include "mainwindow/OrderCommands.h"
#include "mainwindow/OrderForm.h"
#include "mainwindow/OrderList.h"
#include "mainwindow/Program.h"
#include "platform/AppPaths.h"
#include "platform/Codec.h"
#include "platform/ListView.h"
#include "platform/Prompt.h"
#include "platform/SettingsStore.h"
#include "products/ManufForm.h"
#include "store/DataStore.h"
#include "store/DatabaseList.h"
#include "store/Progress.h"
#include "store/SaveTransaction.h"
#include "store/StockShortage.h"

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

double msSince(const QElapsedTimer& t) { return t.nsecsElapsed() / 1e6; }

long peakRssMb() {
  QFile f(QStringLiteral("/proc/self/status"));
  if (!f.open(QIODevice::ReadOnly)) return -1;
  for (const QByteArray& line : f.readAll().split('\n')) {
    if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').value(0).toLong() / 1024;
  }
  return -1;
}

QStringList filesOf(const QString& dir, const QStringList& patterns) {
  return QDir(dir).entryList(patterns, QDir::Files, QDir::Name);
}
QStringList tableFiles(const QString& dir) { return filesOf(dir, {QStringLiteral("*.kdt"), QStringLiteral("*.KDT")}); }
QStringList archiveMembers(const QString& dir) {
  return filesOf(dir, {QStringLiteral("*.kdt"), QStringLiteral("*.KDT"), QStringLiteral("*.pwd"), QStringLiteral("*.PWD")});
}

qint64 bytesOf(const QString& dir, const QStringList& names) {
  qint64 n = 0;
  for (const QString& f : names) n += QFileInfo(dir + f).size();
  return n;
}

void line(const QString& name, double ms, double baseMs, const QString& baseName) {
  std::printf("%s %.1f ms %.2fx of %s\n", name.toUtf8().constData(), ms, baseMs > 0 ? ms / baseMs : 0.0,
              baseName.toUtf8().constData());
  std::fflush(stdout);
}

// ---- child processes: each prints "RESULT <ms> <peak MiB>" --------------------

double cpuMs() {
  struct rusage u {};
  ::getrusage(RUSAGE_SELF, &u);
  return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3 + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3;
}

// The time, the peak memory, and the processor time of the whole process.
void result(double ms) {
  std::printf("RESULT %.3f %ld %.1f\n", ms, peakRssMb(), cpuMs());
  std::fflush(stdout);
}

// Baseline of loading: one thread reads every table file, decodes it and
// splits it into fields (the fields found, nothing kept).
int childSplit(const QString& dir) {
  QElapsedTimer t;
  t.start();
  size_t fields = 0;
  for (const QString& n : tableFiles(dir)) {
    QFile f(dir + n);
    if (!f.open(QIODevice::ReadOnly)) continue;
    const QString text = Codec::decode(f.readAll());
    const QChar* p = text.constData();
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
      if (p[i] != u'"') continue;
      const qsizetype close = text.indexOf(u'"', i + 1);
      if (close < 0) break;
      ++fields;
      i = close;
    }
  }
  result(msSince(t));
  return fields > 0 ? 0 : 1;
}

int childLoad(const QString& dir) {
  QuietPrompt prompt;
  SilentProgress progress;
  Database db;
  db.DataBasePath = dir;
  DataStore store(db, prompt, progress);
  QElapsedTimer t;
  t.start();
  store.loadDatabase();
  result(msSince(t));
  return db.Order.isEmpty() ? 1 : 0;
}

// Baseline of saving: the same bytes written and flushed to disk, nothing else.
int childWrite(const QString& dir, const QString& out) {
  std::vector<std::pair<QString, QByteArray>> files;
  for (const QString& n : tableFiles(dir)) {
    QFile f(dir + n);
    f.open(QIODevice::ReadOnly);
    files.emplace_back(n, f.readAll());
  }
  QElapsedTimer t;
  t.start();
  for (const auto& [n, bytes] : files) {
    QFile f(out + n);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 1;
    f.write(bytes);
    f.flush();
    ::fsync(f.handle());
  }
  syncPath(out);
  result(msSince(t));
  return 0;
}

int childSave(const QString& dir, const QString& out) {
  QuietPrompt prompt;
  SilentProgress progress;
  Database db;
  db.DataBasePath = dir;
  DataStore store(db, prompt, progress);
  store.loadDatabase();
  db.DataBasePath = out;
  db.ExpendDirty = true;
  QElapsedTimer t;
  t.start();
  const bool ok = store.saveAttempt();
  result(msSince(t));
  return ok ? 0 : 1;
}

// Baseline of the exit: the archive's bytes copied raw into one file.
int childCopy(const QString& dir, const QString& out) {
  QElapsedTimer t;
  t.start();
  QFile target(out + QStringLiteral("copy.bin"));
  if (!target.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 1;
  for (const QString& n : archiveMembers(dir)) {
    QFile f(dir + n);
    if (!f.open(QIODevice::ReadOnly)) return 1;
    target.write(f.readAll());
  }
  target.flush();
  ::fsync(target.handle());
  target.close();
  syncPath(out);
  result(msSince(t));
  return 0;
}

// The program's own start-up (main.cpp's steps), offscreen, up to the
// filled list; with `exit`, then the exit with its daily archive, timed from
// the close to the moment the instance lock is released.
int childProgram(int argc, char** argv, bool exit, const QElapsedTimer& sinceMain) {
  QApplication app(argc, argv);
  QCoreApplication::setOrganizationName(QStringLiteral("Kestrin"));
  QCoreApplication::setApplicationName(QStringLiteral("Kestrin"));
  QApplication::setQuitOnLastWindowClosed(false);
  Program program;
  if (!program.start()) return 1;
  QCoreApplication::processEvents();  // the filled list painted
  if (!exit) {
    result(msSince(sinceMain));
    std::_Exit(0);
  }
  QElapsedTimer t;
  program.beforeRelease = [&t] { result(msSince(t)); };
  t.start();
  program.window()->close();  // ends the process
  return 1;
}

// ---- the parent -----------------------------------------------------------------

struct Run {
  QString self;
  QString dbDir;
  QString outDir;
  int repeat = 3;
};

// Best of `repeat` fresh processes; *peak gets the lowest peak memory seen.
double bestChild(const Run& run, const QString& kind, long* peak = nullptr) {
  double best = 1e300;
  long lowPeak = -1;
  for (int i = 0; i < run.repeat; ++i) {
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(run.self, {QStringLiteral("--child"), kind, QStringLiteral("--db"), run.dbDir, QStringLiteral("--out"), run.outDir});
    if (!p.waitForFinished(300000)) {
      p.kill();
      p.waitForFinished();
      std::fprintf(stderr, "child %s did not finish (a message box of the program waits?)\n", kind.toUtf8().constData());
      return -1;
    }
    for (const QByteArray& l : p.readAllStandardOutput().split('\n')) {
      if (!l.startsWith("RESULT ")) continue;
      const QList<QByteArray> parts = l.split(' ');
      best = std::min(best, parts.value(1).toDouble());
      const long pk = parts.value(2).toLong();
      if (lowPeak < 0 || pk < lowPeak) lowPeak = pk;
    }
  }
  if (peak) *peak = lowPeak;
  return best >= 1e300 ? -1 : best;
}

// Time of an action in the real window: the action, its events, and a paint of
// the list.
double actionMs(const std::function<void()>& act, ListView* list) {
  QCoreApplication::processEvents();
  QElapsedTimer t;
  t.start();
  act();
  QCoreApplication::processEvents();
  list->viewport()->repaint();
  return msSince(t);
}

double best(int repeat, const std::function<double()>& once) {
  double b = 1e300;
  for (int i = 0; i < repeat; ++i) b = std::min(b, once());
  return b;
}

double bestMs(int repeat, const std::function<void()>& f) {
  return best(repeat, [&] {
    QElapsedTimer t;
    t.start();
    f();
    return msSince(t);
  });
}

int indexOf(QComboBox* box, const QString& text) {
  const int i = box->findText(text);
  return i < 0 ? 0 : i;
}

void choose(QComboBox* box, int index) {
  box->setCurrentIndex(index);
  Q_EMIT box->activated(index);
}

}  // namespace

int main(int argc, char** argv) {
  QElapsedTimer sinceMain;
  sinceMain.start();
  double scale = 1.0;
  int repeat = 3;
  QString dbDir, outDir, only, child, makeDb;
  bool windowsOnly = false;
  for (int i = 1; i < argc; ++i) {
    const QString a = QString::fromLocal8Bit(argv[i]);
    const QString next = i + 1 < argc ? QString::fromLocal8Bit(argv[i + 1]) : QString();
    if (a == QStringLiteral("--scale") && i + 1 < argc) scale = next.toDouble(), ++i;
    else if (a == QStringLiteral("--db") && i + 1 < argc) dbDir = AppPaths::withSlash(next), ++i;
    else if (a == QStringLiteral("--out") && i + 1 < argc) outDir = AppPaths::withSlash(next), ++i;
    else if (a == QStringLiteral("--repeat") && i + 1 < argc) repeat = std::max(1, next.toInt()), ++i;
    else if (a == QStringLiteral("--only") && i + 1 < argc) only = next, ++i;
    else if (a == QStringLiteral("--child") && i + 1 < argc) child = next, ++i;
    else if (a == QStringLiteral("--windows-only")) windowsOnly = true;
    else if (a == QStringLiteral("--make-db") && i + 1 < argc) makeDb = AppPaths::withSlash(next), ++i;
    else {
      std::fprintf(stderr, "usage: kestrin_bench [--scale F] [--db DIR] [--repeat N] [--only NAME] [--windows-only]\n");
      return 2;
    }
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");

  if (!child.isEmpty()) {
    if (child == QStringLiteral("startup") || child == QStringLiteral("exit"))
      return childProgram(argc, argv, child == QStringLiteral("exit"), sinceMain);
    QCoreApplication app(argc, argv);
    if (child == QStringLiteral("split")) return childSplit(dbDir);
    if (child == QStringLiteral("load")) return childLoad(dbDir);
    if (child == QStringLiteral("write")) return childWrite(dbDir, outDir);
    if (child == QStringLiteral("save")) return childSave(dbDir, outDir);
    if (child == QStringLiteral("copy")) return childCopy(dbDir, outDir);
    return 2;
  }

  // A scratch home for settings, the database list and the lock, inherited
  // by the children.
  QTemporaryDir work;
  const QString root = AppPaths::withSlash(work.path());
  for (const char* sub : {"home", "config", "data", "runtime", "out", "db"}) QDir().mkpath(root + QString::fromLatin1(sub));
  qputenv("HOME", (root + QStringLiteral("home")).toLocal8Bit());
  qputenv("XDG_CONFIG_HOME", (root + QStringLiteral("config")).toLocal8Bit());
  qputenv("XDG_DATA_HOME", (root + QStringLiteral("data")).toLocal8Bit());
  qputenv("XDG_RUNTIME_DIR", (root + QStringLiteral("runtime")).toLocal8Bit());
  QFile::setPermissions(root + QStringLiteral("runtime"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

  QApplication app(argc, argv);
  QCoreApplication::setOrganizationName(QStringLiteral("Kestrin"));
  QCoreApplication::setApplicationName(QStringLiteral("Kestrin"));
  QApplication::setQuitOnLastWindowClosed(false);
  QuietPrompt prompt;

  if (dbDir.isEmpty()) {
    dbDir = makeDb.isEmpty() ? root + QStringLiteral("db/") : makeDb;
    QDir().mkpath(dbDir);
    Database gen;
    gen.DataBasePath = dbDir;
    const SyntheticSize size = SyntheticSize().scaled(scale);
    std::printf("synthetic database x%g: %d orders, %d lines, %d products, %d customers, %d purchases, %d expenses\n",
                scale, size.orders, size.orders * size.linesPerOrder, size.products, size.customers, size.purchases,
                size.expenses);
    buildSyntheticDatabase(gen, size);
    SilentProgress progress;
    DataStore genStore(gen, prompt, progress);
    if (!genStore.saveAttempt()) {
      std::fprintf(stderr, "could not write the synthetic database\n");
      return 1;
    }
    if (!makeDb.isEmpty()) return 0;
  }
  if (outDir.isEmpty()) outDir = root + QStringLiteral("out/");
  QDir().mkpath(outDir);
  const qint64 dbBytes = bytesOf(dbDir, archiveMembers(dbDir));
  std::printf("database on disk: %.1f MiB\n", dbBytes / 1048576.0);

  // The program opens this database at start-up without asking.
  SettingsStore::set(QStringLiteral("Setting"), QStringLiteral("DataBaseName"), QStringLiteral("bench"));
  SettingsStore::set(QStringLiteral("Setting"), QStringLiteral("DataBasePath"), dbDir);
  SettingsStore::sync();
  DatabaseList::write(AppPaths::appPath(), {DatabaseList::entry(QStringLiteral("bench"), dbDir)});

  const Run run{QCoreApplication::applicationFilePath(), dbDir, outDir, repeat};
  if (only.isEmpty() && !windowsOnly) {
    // ---- fresh processes -------------------------------------------------------
    const QString splitName = QStringLiteral("read+decode+split, 1 thread");
    const double split = bestChild(run, QStringLiteral("split"));
    line(QStringLiteral("baseline ") + splitName, split, split, splitName);
    const double load = bestChild(run, QStringLiteral("load"));
    line(QStringLiteral("first load, fresh process"), load, split, splitName);
    long peak = -1;
    const double startup = bestChild(run, QStringLiteral("startup"), &peak);
    line(QStringLiteral("start-up to filled list, fresh process"), startup, split, splitName);
    std::printf("peak memory at start-up %ld MiB %.2fx of database on disk\n", peak,
                dbBytes > 0 ? peak * 1048576.0 / static_cast<double>(dbBytes) : 0.0);
    const QString writeName = QStringLiteral("write+fsync of the same bytes");
    const double write = bestChild(run, QStringLiteral("write"));
    line(QStringLiteral("baseline ") + writeName, write, write, writeName);
    const double save = bestChild(run, QStringLiteral("save"));
    line(QStringLiteral("first save, fresh process"), save, write, writeName);
    const QString copyName = QStringLiteral("raw copy of the archive's bytes");
    const double copy = bestChild(run, QStringLiteral("copy"));
    line(QStringLiteral("baseline ") + copyName, copy, copy, copyName);
    const double exit = bestChild(run, QStringLiteral("exit"));
    line(QStringLiteral("exit with daily archive"), exit, copy, copyName);
  }

  // ---- the real window, offscreen --------------------------------------------------
  OrderForm window(prompt);
  window.Form_Load();
  QCoreApplication::processEvents();
  Database& db = window.db();
  std::printf("loaded: %d orders, %d lines, %d products, %d customers\n", db.Order.count(), db.Stock.count(),
              db.Manuf.count(), db.Guest.count());
  const QString scanName = QStringLiteral("one pass over Order");
  const double scan = bestMs(repeat, [&] {
    qsizetype n = 0;
    for (int r = 1; r <= db.Order.count(); ++r)
      for (int c = 0; c <= OrderCell::Count; ++c) n += db.Order.cell(r, c).size();
    if (n < 0) std::puts("");
  });
  if (only.isEmpty()) {
    line(QStringLiteral("baseline ") + scanName, scan, scan, scanName);
    ListView* list = window.Liv1;
    const auto act = [&](const QString& name, const std::function<void()>& before, const std::function<void()>& action) {
      const double ms = best(repeat, [&] {
        if (before) before();
        return actionMs(action, list);
      });
      line(name + QStringLiteral(" (%1 rows)").arg(list->rowCount()), ms, scan, scanName);
    };
    act(QStringLiteral("list: switch to 已出貨"), [&] { window.Option1->click(); }, [&] { window.Option2->click(); });
    act(QStringLiteral("list: sort by date"), {}, [&] { Q_EMIT list->header()->sectionClicked(1); });
    act(QStringLiteral("list: sort by order number"), {}, [&] { Q_EMIT list->header()->sectionClicked(0); });
    act(QStringLiteral("list: sort by customer"), {}, [&] { Q_EMIT list->header()->sectionClicked(2); });
    act(QStringLiteral("list: switch to 未出貨"), [&] { window.Option2->click(); }, [&] { window.Option1->click(); });
    window.Option2->click();
    act(QStringLiteral("list: category filter"), [&] { choose(window.Combo1, 0); },
        [&] { choose(window.Combo1, indexOf(window.Combo1, QStringLiteral("露天拍賣"))); });
    act(QStringLiteral("list: period filter"), [&] { choose(window.Combo2, 0); },
        [&] { choose(window.Combo2, indexOf(window.Combo2, QStringLiteral("整年"))); });
    choose(window.Combo1, 0);
    choose(window.Combo2, 0);
    act(QStringLiteral("list: customer search"), {}, [&] {
      window.Text1->setText(QStringLiteral("buyer12"));
      window.Command6->click();
    });
    window.Option2->click();
    act(QStringLiteral("list: recount"), {}, [&] { window.Command3->click(); });
    act(QStringLiteral("list: select all + selection totals"), {}, [&] {
      window.OrderTools_SelAll->trigger();
      window.Sel_Cal->trigger();
    });
    window.View_Username->trigger();
    act(QStringLiteral("list: 已出貨 with customer names"), [&] { window.Option1->click(); }, [&] { window.Option2->click(); });
    // As the list comes back after an order was edited: nothing worked out
    // from the tables before the change can be used.
    int edits = 0;
    const auto editAnOrder = [&] {
      window.Option1->click();
      db.Order.setCell(1, OrderCell::OrderNote, QStringLiteral("bench %1").arg(++edits));
    };
    act(QStringLiteral("list: 已出貨 with customer names, an order edited before"), editAnOrder,
        [&] { window.Option2->click(); });
    // After a new order: every row-wise result is worked out again.
    std::vector<QString> added;
    const auto addAnOrder = [&] {
      window.Option1->click();
      added.push_back(QStringLiteral("bench-new-%1").arg(added.size()));
      const int from = db.Order.count();
      const int r = db.Order.append(added.back());
      for (int c = 1; c <= OrderCell::Count; ++c) db.Order.setCell(r, c, db.Order.cell(from, c));
    };
    act(QStringLiteral("list: 已出貨 with customer names, an order added before"), addAnOrder,
        [&] { window.Option2->click(); });
    // The same for a buyer met for the first time: a customer is added too.
    std::vector<int> newCustomers;
    const auto addAnOrderAndCustomer = [&] {
      addAnOrder();
      const int r = db.Order.count();
      const QString account = QStringLiteral("bench-buyer-%1").arg(added.size());
      db.Order.setCell(r, OrderCell::BuyerAccount, account);
      const int g = db.Guest.append(account);
      db.Guest.setCell(g, GuestCell::CustomerCategory, db.Order.cell(r, OrderCell::BuyerCategory));
      db.Guest.setCell(g, GuestCell::CustomerNameSex, QStringLiteral("新客戶"));
      newCustomers.push_back(g);
    };
    act(QStringLiteral("list: 已出貨 with customer names, an order of a new customer added before"), addAnOrderAndCustomer,
        [&] { window.Option2->click(); });
    while (!newCustomers.empty()) {
      db.Guest.remove(newCustomers.back());
      newCustomers.pop_back();
    }
    window.View_Username->trigger();
    act(QStringLiteral("list: 已出貨, an order edited before"), editAnOrder, [&] { window.Option2->click(); });
    act(QStringLiteral("list: 已出貨, an order added before"), addAnOrder, [&] { window.Option2->click(); });
    for (int r = db.Order.count(); r >= 1 && !added.empty() && db.Order.key(r) == added.back(); --r) {
      db.Order.remove(r);
      added.pop_back();
    }
    window.Option2->click();

    // The product window: opened with every product listed, sorted by name.
    {
      const double open = best(repeat, [&] {
        const double ms = actionMs([&] { window.Data_Manuf_Click(); }, list);
        if (ManufForm* m = window.manufWindow()) {
          QCoreApplication::processEvents();
          m->close();
          QCoreApplication::processEvents();
        }
        return ms;
      });
      line(QStringLiteral("products: open the window"), open, scan, scanName);
      window.Data_Manuf_Click();
      if (ManufForm* m = window.manufWindow()) {
        QCoreApplication::processEvents();
        const double sort = best(repeat, [&] { return actionMs([&] { m->Liv1_ColumnClick(0); }, m->Liv1); });
        line(QStringLiteral("products: sort by name (%1 rows)").arg(m->Liv1->rowCount()), sort, scan, scanName);
        m->close();
        QCoreApplication::processEvents();
      }
    }
    // The customer window: opened with every customer listed, searched, sorted.
    {
      const double open = best(repeat, [&] {
        const double ms = actionMs([&] { window.Data_Guest_Click(); }, list);
        if (GuestForm* g = window.guestWindow()) {
          QCoreApplication::processEvents();
          g->close();
          QCoreApplication::processEvents();
        }
        return ms;
      });
      line(QStringLiteral("customers: open the window (and the order list)"), open, scan, scanName);
      window.Data_Guest_Click();
      if (GuestForm* g = window.guestWindow()) {
        QCoreApplication::processEvents();
        const double search = best(repeat, [&] {
          return actionMs([&] {
            g->Text1->setText(QStringLiteral("buyer12"));
            g->Command6->click();
          }, g->Liv1);
        });
        line(QStringLiteral("customers: search (%1 rows)").arg(g->Liv1->rowCount()), search, scan, scanName);
        choose(g->Combo1, 0);
        const double sort = best(repeat, [&] { return actionMs([&] { Q_EMIT g->Liv1->header()->sectionClicked(2); }, g->Liv1); });
        line(QStringLiteral("customers: sort by name (%1 rows)").arg(g->Liv1->rowCount()), sort, scan, scanName);
        g->close();
        QCoreApplication::processEvents();
      }
    }

    // The same work without a window.
    const OrderList::OrderFilter unshipped{QStringLiteral("全部"), QStringLiteral("全部"), QString(), true, false};
    db.CheckLacks = true;
    const double shortage = bestMs(repeat, [&] { (void)OrderList::OrderShow(db, unshipped, {false, false}); });
    line(QStringLiteral("order list, unshipped + shortage check (no window)"), shortage, scan, scanName);
    db.CheckLacks = false;
    const double number = bestMs(repeat, [&] { (void)OrderCommands::nextOrderNumber(db, QDate::currentDate()); });
    line(QStringLiteral("new order number"), number, scan, scanName);
  }

  BenchContext ctx{db, prompt, dbDir, root, scale, repeat, scan};
  runRegisteredBenches(ctx, only);
  std::fflush(stdout);
  // The window and its tables are not taken apart piece by piece.
  std::_Exit(0);
}
