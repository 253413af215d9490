// Benchmarks on a synthetic database (or a copy of the user's own, --db DIR).
//
// Every figure is one line "<name> <time> ms <ratio>x of <baseline>", its
// baseline measured in the same run, so the figures hold on a noisy machine
// and a script can read them. Figures a user waits for in a fresh program
// run a fresh process for every try, interleaved with their baselines, and
// print the best and the median try:
//   - start-up: the real program, the build's kestrin (cmake --install
//     copies this very file, and it names no run path into the build, so it
//     loads the same system libraries as an installed one), launched with
//     --time-first-paint on the
//     real window system of an Xvfb of this run (offscreen where Xvfb is not
//     installed), timed from its launch to the first paint of the filled
//     list; against one thread reading the table files with plain reads,
//     decoding them and copying every field out (what the loader must do at
//     least);
//   - the first load in this program, against the same baseline;
//   - the first save, against write + fsync of the same bytes;
//   - the exit with the daily archive, against a raw copy of its bytes.
// The user's actions run through the real windows, offscreen. Then the
// cases of bench/<Area>Bench.cpp (KESTRIN_BENCH) run on the loaded
// database. The end lists the targets and, at their scale, which were met.
//
//   kestrin_bench [--scale F] [--db DIR] [--repeat N] [--only NAME] [--windows-only | --fresh-only]
//                 [--program PATH]
//   kestrin_bench --scale F --make-db DIR     (writes the synthetic database and ends)
//
// --program times another build of the program (an installed one); given
// more than once, the builds' start-ups are tried in turn in the same rounds
// (an old and a new build compared on a noisy machine). Settings,
// the database list and the instance lock go to a scratch home folder of
// the run, and --db is copied there first: the user's own settings and
// database folder are never written.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QAction>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

#include "BenchCase.h"
#include "FreshProcess.h"
#include "SyntheticDatabase.h"
#include "customers/GuestForm.h"
#include "mainwindow/OrderForm.h"
#include "mainwindow/Program.h"
#include "models/OrderCommands.h"
#include "models/OrderList.h"
#include "models/StockShortage.h"
#include "platform/AppPaths.h"
#include "platform/Codec.h"
#include "platform/ListView.h"
#include "platform/ProcessMemory.h"
#include "platform/Prompt.h"
#include "platform/SettingsStore.h"
#include "products/ManufForm.h"
#include "store/DataStore.h"
#include "store/DatabaseList.h"
#include "store/Progress.h"
#include "store/SaveTransaction.h"

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

// The files of a database folder copied into another (not its subfolders:
// the daily archives and pictures are not read here).
bool copyDatabase(const QString& from, const QString& to) {
  for (const QString& n : QDir(from).entryList(QDir::Files | QDir::Hidden, QDir::Name)) {
    QFile::remove(to + n);
    if (!QFile::copy(from + n, to + n)) return false;
  }
  return true;
}

void line(const QString& name, double ms, double baseMs, const QString& baseName) {
  std::printf("%s %.1f ms %.2fx of %s\n", name.toUtf8().constData(), ms, baseMs > 0 ? ms / baseMs : 0.0,
              baseName.toUtf8().constData());
  std::fflush(stdout);
}

// "<name> <best> ms <ratio>x of <baseline> (median <ms> ms <ratio>x)", best
// against best and median against median.
void freshLine(const QString& name, const Samples& s, const Samples& base, const QString& baseName) {
  if (s.empty() || base.empty()) {
    std::printf("%s: no figure (a try failed)\n", name.toUtf8().constData());
    return;
  }
  std::printf("%s %.1f ms %.2fx of %s (median %.1f ms %.2fx, %zu tries)\n", name.toUtf8().constData(), s.min(),
              s.min() / base.min(), baseName.toUtf8().constData(), s.median(), s.median() / base.median(), s.ms.size());
  std::fflush(stdout);
}

// ---- child processes of this program: each prints "RESULT <ms>" and its peak ----

void result(double ms) {
  std::printf("RESULT %.3f\npeak %ld\n", ms, peakResidentKiB());
  std::fflush(stdout);
}

// A whole file read with plain read() calls into memory of its size.
bool readWhole(const QString& path, QByteArray* bytes) {
  const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    ::close(fd);
    return false;
  }
  bytes->resize(static_cast<qsizetype>(st.st_size));
  qsizetype done = 0;
  while (done < bytes->size()) {
    const ssize_t n = ::read(fd, bytes->data() + done, static_cast<size_t>(bytes->size() - done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += n;
  }
  ::close(fd);
  bytes->truncate(done);
  return true;
}

// Baseline of loading: one thread reads every table file, decodes it,
// splits it into fields and copies each field's characters out of the
// decoded text into a store of the fields (one block of characters and
// where each field ends): the least a loader must do to keep them.
int childSplit(const QString& dir) {
  struct FieldStore {
    std::vector<char16_t> chars;
    std::vector<uint32_t> ends;
  };
  std::vector<FieldStore> stores;
  QElapsedTimer t;
  t.start();
  for (const QString& n : tableFiles(dir)) {
    QByteArray bytes;
    if (!readWhole(dir + n, &bytes)) continue;
    const QString text = Codec::decode(bytes);
    bytes = QByteArray();
    FieldStore& store = stores.emplace_back();
    store.chars.reserve(static_cast<size_t>(text.size()));
    const char16_t* p = reinterpret_cast<const char16_t*>(text.constData());
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
      if (p[i] != u'"') continue;
      const qsizetype close = text.indexOf(u'"', i + 1);
      if (close < 0) break;
      store.chars.insert(store.chars.end(), p + i + 1, p + close);
      store.ends.push_back(static_cast<uint32_t>(store.chars.size()));
      i = close;
    }
  }
  result(msSince(t));
  size_t fields = 0;
  for (const FieldStore& s : stores) fields += s.ends.size();
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

// The program's own start-up (main.cpp's steps), offscreen, then its exit
// with the daily archive, timed from the close to the moment the instance
// lock is released.
int childExit(int argc, char** argv) {
  QApplication app(argc, argv);
  QCoreApplication::setOrganizationName(QStringLiteral("Kestrin"));
  QCoreApplication::setApplicationName(QStringLiteral("Kestrin"));
  QApplication::setQuitOnLastWindowClosed(false);
  Program program;
  if (!program.start()) return 1;
  QCoreApplication::processEvents();  // the filled list painted
  QElapsedTimer t;
  program.beforeRelease = [&t] { result(msSince(t)); };
  t.start();
  program.window()->close();  // ends the process
  return 1;
}

// ---- the parent -----------------------------------------------------------------

struct Run {
  QString self;      // this program, for the children above
  QString dbDir;
  QString outDir;
  QStringList screen;  // the environment that gives the program its window system
};

// One try of a child of this program; false when it failed.
bool tryChild(const Run& run, const QString& kind, Samples& s) {
  const ChildRun c = runChild(run.self, {QStringLiteral("--child"), kind, QStringLiteral("--db"), run.dbDir,
                                         QStringLiteral("--out"), run.outDir},
                              {});
  for (const QByteArray& l : c.out.split('\n')) {
    if (!l.startsWith("RESULT ")) continue;
    s.add(l.mid(7).toDouble());
    s.peakKiB = std::max(s.peakKiB, c.peakKiB);
    return c.finished;
  }
  std::fprintf(stderr, "child %s did not finish (a message box of the program waits?)\n", kind.toUtf8().constData());
  return false;
}

// One start of the real program, from its launch to the first paint of the
// filled list; false when it failed.
bool tryProgramStart(const Run& run, const QString& program, Samples& s) {
  const ChildRun c = runChild(program, {QStringLiteral("--time-first-paint")}, run.screen, 120000);
  for (const QByteArray& l : c.out.split('\n')) {
    if (!l.startsWith("first paint ")) continue;
    s.add((l.mid(12).toLongLong() - c.launchNs) / 1e6);
    s.peakKiB = std::max(s.peakKiB, c.peakKiB);
    return c.finished;
  }
  std::fprintf(stderr, "the program did not report its first paint (a message box waits? another instance?)\n");
  return false;
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

// Times of `repeat` tries.
Samples tries(int repeat, const std::function<double()>& once) {
  Samples s;
  for (int i = 0; i < repeat; ++i) s.add(once());
  return s;
}

// A user's wait in a window: best and median, with the target of every list,
// sort, filter switch and search in a window (below 100 ms at --scale 4,
// the median).
void windowLine(const QString& name, const Samples& s, double scan, const QString& scanName, double scale) {
  const BenchTarget t{name + QStringLiteral(", median"), s.median(), kWindowTargetMs, QStringLiteral("ms"), 4};
  std::printf("%s %.1f ms %.2fx of %s (median %.1f ms, target < %g ms at --scale 4%s)\n", name.toUtf8().constData(),
              s.min(), scan > 0 ? s.min() / scan : 0.0, scanName.toUtf8().constData(), s.median(), t.limit,
              t.verdict(scale).toUtf8().constData());
  std::fflush(stdout);
  noteTarget(t);
}

double bestMs(int repeat, const std::function<void()>& f) {
  return tries(repeat, [&] {
    QElapsedTimer t;
    t.start();
    f();
    return msSince(t);
  }).min();
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
  double scale = 1.0;
  int repeat = 3;
  QString dbDir, outDir, only, child, makeDb;
  QStringList programs;
  bool windowsOnly = false, freshOnly = false;
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
    else if (a == QStringLiteral("--fresh-only")) freshOnly = true;
    else if (a == QStringLiteral("--make-db") && i + 1 < argc) makeDb = AppPaths::withSlash(next), ++i;
    else if (a == QStringLiteral("--program") && i + 1 < argc) programs << QFileInfo(next).absoluteFilePath(), ++i;
    else {
      std::fprintf(stderr,
                   "usage: kestrin_bench [--scale F] [--db DIR] [--repeat N] [--only NAME] [--windows-only | --fresh-only] "
                   "[--program PATH]\n       kestrin_bench --scale F --make-db DIR\n");
      return 2;
    }
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");

  if (!child.isEmpty()) {
    if (child == QStringLiteral("exit")) return childExit(argc, argv);
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

  if (!dbDir.isEmpty()) {
    // The program writes into the folder it opens (its Backup folder, the
    // daily archive at the exit, settings files): it opens a copy.
    const QString copy = root + QStringLiteral("db/");
    if (!AppPaths::folderExists(dbDir) || !copyDatabase(dbDir, copy)) {
      std::fprintf(stderr, "could not copy the database folder %s\n", dbDir.toLocal8Bit().constData());
      return 1;
    }
    std::printf("database: a copy of %s\n", dbDir.toUtf8().constData());
    dbDir = copy;
  } else {
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

  if (only.isEmpty() && !windowsOnly) {
    // ---- fresh processes, each figure's tries interleaved with its baseline's ----
    Run run{QCoreApplication::applicationFilePath(), dbDir, outDir, {}};
    if (programs.isEmpty()) programs << QString::fromUtf8(KESTRIN_PROGRAM);
    VirtualScreen screen;
    QString where;
    if (screen.start()) {
      run.screen = {QStringLiteral("QT_QPA_PLATFORM=xcb"), QStringLiteral("DISPLAY=") + screen.display()};
      where = QStringLiteral("Xvfb");
    } else {
      run.screen = {QStringLiteral("QT_QPA_PLATFORM=offscreen")};
      where = QStringLiteral("offscreen, Xvfb not found");
    }
    for (const QString& program : programs)
      if (!QFileInfo(program).isExecutable())
        std::fprintf(stderr, "no program at %s: no start-up figure\n", program.toLocal8Bit().constData());

    Samples split, load;
    std::vector<Samples> startups(static_cast<size_t>(programs.size()));
    for (int i = 0; i < repeat; ++i) {
      tryChild(run, QStringLiteral("split"), split);
      tryChild(run, QStringLiteral("load"), load);
      // In turn, starting with another each round: a program started right
      // after another waits while the window system clears up after it.
      for (qsizetype j = 0; j < programs.size(); ++j) {
        const qsizetype k = (i + j) % programs.size();
        if (QFileInfo(programs[k]).isExecutable()) tryProgramStart(run, programs[k], startups[static_cast<size_t>(k)]);
      }
    }
    screen.stop();
    const QString splitName = QStringLiteral("read+decode+split+copy, 1 thread");
    freshLine(QStringLiteral("baseline ") + splitName, split, split, splitName);
    freshLine(QStringLiteral("first load, fresh process"), load, split, splitName);
    for (qsizetype k = 0; k < programs.size(); ++k) {
      const QString name = programs.size() == 1 ? QFileInfo(programs[k]).fileName() : programs[k];
      freshLine(QStringLiteral("start-up, launch of %1 to the first paint of the filled list (%2)").arg(name, where),
                startups[static_cast<size_t>(k)], split, splitName);
    }
    const Samples& startup = startups.front();
    const double peakMiB = startup.peakKiB / 1024.0;
    const double peakRatio = dbBytes > 0 ? startup.peakKiB * 1024.0 / static_cast<double>(dbBytes) : 0.0;
    std::printf("peak memory at start-up %.0f MiB %.2fx of database on disk (the highest of the tries)\n", peakMiB,
                peakRatio);

    Samples write, save;
    for (int i = 0; i < repeat; ++i) {
      tryChild(run, QStringLiteral("write"), write);
      tryChild(run, QStringLiteral("save"), save);
    }
    const QString writeName = QStringLiteral("write+fsync of the same bytes");
    freshLine(QStringLiteral("baseline ") + writeName, write, write, writeName);
    freshLine(QStringLiteral("first save, fresh process"), save, write, writeName);

    Samples copy, exit;
    for (int i = 0; i < repeat; ++i) {
      tryChild(run, QStringLiteral("copy"), copy);
      tryChild(run, QStringLiteral("exit"), exit);
    }
    const QString copyName = QStringLiteral("raw copy of the archive's bytes");
    freshLine(QStringLiteral("baseline ") + copyName, copy, copy, copyName);
    freshLine(QStringLiteral("exit with daily archive"), exit, copy, copyName);

    // The targets of these figures, on their medians.
    const auto ratio = [](const Samples& s, const Samples& base) {
      return s.empty() || base.empty() ? 1e9 : s.median() / base.median();
    };
    noteTarget({QStringLiteral("start-up to the painted, filled list, median"), ratio(startup, split), 1.2,
                QStringLiteral("x"), 1});
    noteTarget({QStringLiteral("start-up to the painted, filled list, median"), ratio(startup, split), 1.5,
                QStringLiteral("x"), 0});
    noteTarget({QStringLiteral("first load, median"), ratio(load, split), 1.0, QStringLiteral("x"), 0});
    noteTarget({QStringLiteral("first save, median"), ratio(save, write), 1.5, QStringLiteral("x"), 0});
    noteTarget({QStringLiteral("peak memory at start-up, of the database on disk"), peakRatio, 4, QStringLiteral("x"), 0});
    if (freshOnly) {
      printTargets(scale);
      return 0;
    }
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
    ListView* list = window.orderList;
    const auto act = [&](const QString& name, const std::function<void()>& before, const std::function<void()>& action) {
      const Samples s = tries(repeat, [&] {
        if (before) before();
        return actionMs(action, list);
      });
      windowLine(name + QStringLiteral(" (%1 rows)").arg(list->rowCount()), s, scan, scanName, scale);
    };
    act(QStringLiteral("list: switch to 已出貨"), [&] { window.unshippedOption->click(); },
        [&] { window.shippedOption->click(); });
    act(QStringLiteral("list: sort by date"), {}, [&] { Q_EMIT list->header()->sectionClicked(1); });
    act(QStringLiteral("list: sort by order number"), {}, [&] { Q_EMIT list->header()->sectionClicked(0); });
    act(QStringLiteral("list: sort by customer"), {}, [&] { Q_EMIT list->header()->sectionClicked(2); });
    act(QStringLiteral("list: switch to 未出貨"), [&] { window.shippedOption->click(); },
        [&] { window.unshippedOption->click(); });
    window.shippedOption->click();
    act(QStringLiteral("list: category filter"), [&] { choose(window.categoryCombo, 0); },
        [&] { choose(window.categoryCombo, indexOf(window.categoryCombo, QStringLiteral("露天拍賣"))); });
    // The whole of a year that has orders (the middle order's).
    const QString year = db.Order.cell(std::max(1, db.Order.count() / 2), OrderCell::OrderDate).left(4);
    const QString thisYear = window.yearEdit->text();
    window.yearEdit->setText(year);
    act(QStringLiteral("list: period filter, the year %1").arg(year), [&] { choose(window.periodCombo, 0); },
        [&] { choose(window.periodCombo, indexOf(window.periodCombo, QStringLiteral("整年"))); });
    choose(window.categoryCombo, 0);
    choose(window.periodCombo, 0);
    window.yearEdit->setText(thisYear);
    act(QStringLiteral("list: customer search"), {}, [&] {
      window.customerSearchEdit->setText(QStringLiteral("buyer12"));
      window.customerSearchButton->click();
    });
    window.shippedOption->click();
    act(QStringLiteral("list: recount"), {}, [&] { window.recountButton->click(); });
    act(QStringLiteral("list: select all + selection totals"), {}, [&] {
      window.popupSelectAllAction->trigger();
      window.selectedTotalsAction->trigger();
    });
    window.showNamesAction->trigger();
    act(QStringLiteral("list: 已出貨 with customer names"), [&] { window.unshippedOption->click(); },
        [&] { window.shippedOption->click(); });
    // As the list comes back after an order was edited: nothing worked out
    // from the tables before the change can be used.
    int edits = 0;
    const auto editAnOrder = [&] {
      window.unshippedOption->click();
      db.Order.setCell(1, OrderCell::OrderNote, QStringLiteral("bench %1").arg(++edits));
    };
    act(QStringLiteral("list: 已出貨 with customer names, an order edited before"), editAnOrder,
        [&] { window.shippedOption->click(); });
    // After a new order: every row-wise result is worked out again.
    std::vector<QString> added;
    const auto addAnOrder = [&] {
      window.unshippedOption->click();
      added.push_back(QStringLiteral("bench-new-%1").arg(added.size()));
      const int from = db.Order.count();
      const int r = db.Order.append(added.back());
      for (int c = 1; c <= OrderCell::Count; ++c) db.Order.setCell(r, c, db.Order.cell(from, c));
    };
    act(QStringLiteral("list: 已出貨 with customer names, an order added before"), addAnOrder,
        [&] { window.shippedOption->click(); });
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
        [&] { window.shippedOption->click(); });
    while (!newCustomers.empty()) {
      db.Guest.remove(newCustomers.back());
      newCustomers.pop_back();
    }
    window.showNamesAction->trigger();
    act(QStringLiteral("list: 已出貨, an order edited before"), editAnOrder, [&] { window.shippedOption->click(); });
    act(QStringLiteral("list: 已出貨, an order added before"), addAnOrder, [&] { window.shippedOption->click(); });
    for (int r = db.Order.count(); r >= 1 && !added.empty() && db.Order.key(r) == added.back(); --r) {
      db.Order.remove(r);
      added.pop_back();
    }
    window.shippedOption->click();

    // The product window: opened with every product listed, sorted by name.
    {
      const Samples open = tries(repeat, [&] {
        const double ms = actionMs([&] { window.onProducts(); }, list);
        if (ManufForm* m = window.manufWindow()) {
          QCoreApplication::processEvents();
          m->close();
          QCoreApplication::processEvents();
        }
        return ms;
      });
      windowLine(QStringLiteral("products: open the window"), open, scan, scanName, scale);
      window.onProducts();
      if (ManufForm* m = window.manufWindow()) {
        QCoreApplication::processEvents();
        const Samples sort = tries(repeat, [&] { return actionMs([&] { m->onColumnClicked(0); }, m->productList); });
        windowLine(QStringLiteral("products: sort by name (%1 rows)").arg(m->productList->rowCount()), sort, scan, scanName, scale);
        m->close();
        QCoreApplication::processEvents();
      }
    }
    // The customer window: opened with every customer listed, searched, sorted.
    {
      const Samples open = tries(repeat, [&] {
        const double ms = actionMs([&] { window.onCustomers(); }, list);
        if (GuestForm* g = window.guestWindow()) {
          QCoreApplication::processEvents();
          g->close();
          QCoreApplication::processEvents();
        }
        return ms;
      });
      windowLine(QStringLiteral("customers: open the window (and the order list)"), open, scan, scanName, scale);
      window.onCustomers();
      if (GuestForm* g = window.guestWindow()) {
        QCoreApplication::processEvents();
        const Samples search = tries(repeat, [&] {
          return actionMs([&] {
            g->searchEdit->setText(QStringLiteral("buyer12"));
            g->searchButton->click();
          }, g->customerList);
        });
        windowLine(QStringLiteral("customers: search (%1 rows)").arg(g->customerList->rowCount()), search, scan, scanName, scale);
        choose(g->categoryCombo, 0);
        const Samples sort = tries(repeat, [&] { return actionMs([&] { Q_EMIT g->customerList->header()->sectionClicked(2); }, g->customerList); });
        windowLine(QStringLiteral("customers: sort by name (%1 rows)").arg(g->customerList->rowCount()), sort, scan, scanName, scale);
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
  printTargets(scale);
  std::fflush(stdout);
  // The window and its tables are not taken apart piece by piece.
  std::_Exit(0);
}
