// The whole database load: a folder of table, one-column, settings, list,
// counter, journal and older-layout files built from the input, loaded by
// the real loader, then written back by every writer. Asserts: nothing
// crashes; a file that did not load whole is never replaced without a kept
// copy of its bytes; a settings or list file that was not reported reads
// whole; a file that loses nothing is not reported; whatever the writers
// wrote loads again without a report.
//
// Input: files separated by a NUL byte; the first byte of each picks its
// name from kNames.
//
// The writers do not flush to disk here (what they write, rename and keep
// aside is the same; that it would outlive a power cut is not checked), and
// one scratch folder, in memory where there is a memory file system, is
// emptied for each input.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <map>

#include "FileOracle.h"
#include "FuzzSupport.h"
#include "ScopedSaveFaults.h"
#include "platform/Codec.h"
#include "store/DataStore.h"
#include "store/Database.h"
#include "store/DatabaseList.h"
#include "store/Progress.h"
#include "store/SaveTransaction.h"
#include "store/SettingsFiles.h"

using namespace Qt::StringLiterals;

namespace {

const char* const kNames[] = {
    "Num.kdt",     "AutoBackup.kdt", "Addr.kdt",    "Shop0.kdt",      "Shop1.kdt",   "Shop2.kdt",    "Shop3.kdt",
    "Shop4.kdt",   "Shop5.kdt",      "Shop6.kdt",   "Carry.kdt",      "Import.kdt",  "Cate1.kdt",    "Cate2.kdt",
    "Cate3.kdt",   "Cate4.kdt",      "Images1.kdt", "Expend.kdt",     "Manuf1.kdt",  "Manuf2.kdt",   "Manuf3.kdt",
    "Stock1.kdt",  "Stock2.kdt",     "Member.kdt",  "Order1.kdt",     "ManufStock.kdt", "Order.kdt", "Stock.kdt",
    "Guest.kdt",   "Manuf.kdt",      "Images.kdt",  "List.dat",       "~Save.lst",   "~Order1.kdt.tmp", "~Member.kdt.tmp"};
constexpr size_t kNameCount = sizeof(kNames) / sizeof(kNames[0]);

// The text a settings or list file's writer makes of the values loaded.
std::function<QString(const Database&)> writtenText(const QString& name) {
  using namespace SettingsFiles;
  if (name == u"Addr.kdt") return [](const Database& db) { return addrText(db.settings); };
  for (int n = 0; n <= 6; ++n)
    if (name == shopFile(n)) return [n](const Database& db) { return shopText(n, db.settings); };
  for (int n = 1; n <= 4; ++n)
    if (name == cateFile(n)) return [n](const Database& db) { return cateText(n, db.settings); };
  if (name == u"Carry.kdt") return [](const Database& db) { return carryText(db.settings); };
  if (name == u"Import.kdt") return [](const Database& db) { return importText(db.settings); };
  if (name == u"List.dat")
    return [](const Database& db) { return db.DataBaseList.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"); };
  return {};
}

// The table files: table, first column written, columns.
struct TableFile {
  const char* name;
  Table Database::*table;
  int first;
  int columns;
};
const TableFile kTables[] = {
    {"Order1.kdt", &Database::Order, 0, 13},      {"Stock1.kdt", &Database::Stock, 0, 8},
    {"Stock2.kdt", &Database::Stock, 8, 1},       {"Member.kdt", &Database::Guest, 0, 9},
    {"Manuf1.kdt", &Database::Manuf, 0, 6},       {"Manuf2.kdt", &Database::Manuf, 6, 1},
    {"Manuf3.kdt", &Database::Manuf, 7, 1},       {"ManufStock.kdt", &Database::ManufStock, 0, 10},
    {"Expend.kdt", &Database::Expend, 0, 5},      {"Images1.kdt", &Database::Images, 0, 3},
};

bool readWhole(const QString& name, const QByteArray& bytes, const Database& db) {
  bool clean = true;
  const QString text = Codec::decode(bytes, &clean);
  for (const TableFile& t : kTables) {
    if (name != QLatin1String(t.name)) continue;
    return clean && FileOracle::tableReadWhole(text, DataStore::tableText(db.*t.table, t.first, t.columns), t.columns == 1);
  }
  const auto written = writtenText(name);
  if (!written) return true;  // no oracle of its own: only the report counts
  return clean && FileOracle::readWhole(name, text, written(db));
}

void writeEverything(Database& db, FuzzPrompt& prompt, DataStore& store) {
  using namespace SettingsFiles;
  store.DataBaseSave();
  AddrClose(db, prompt);
  for (int n = 0; n <= 6; ++n) ShopClose(n, db, prompt);
  CarryClose(db, prompt);
  ImportClose(db, prompt);
  DatabaseList::write(db.AppPath, db.DataBaseList);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzSupport::start();
  static ScopedSaveFaults* const noFlush = [] {
    auto* f = new ScopedSaveFaults;
    f->withoutDiskFlush();
    return f;
  }();
  (void)noFlush;
  static QTemporaryDir dir;
  if (!dir.isValid()) return 0;
  const QString folder = dir.path() + u'/';
  // The previous input's files and folders go (the folder itself stays).
  FuzzSupport::empty(dir.path());
  const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  for (const QByteArray& chunk : input.split('\0')) {
    if (chunk.isEmpty()) continue;
    const QString name = QString::fromLatin1(kNames[static_cast<uint8_t>(chunk[0]) % kNameCount]);
    FuzzSupport::put(folder + name, chunk.mid(1));
  }
  // The load first finishes an interrupted save; what it leaves is the
  // folder the readers see.
  SaveTransaction::recover(folder);
  std::map<QString, QByteArray> before;
  for (const QString& n : FuzzSupport::listing(dir.path()))
    if (!n.startsWith(u'~')) before[n] = FuzzSupport::bytesOf(folder + n);

  Database db;
  db.AppPath = folder;
  db.DataBasePath = folder;
  FuzzPrompt prompt;
  SilentProgress progress;
  DataStore store(db, prompt, progress);
  DatabaseList::DataBaseInit(db, prompt);
  store.loadDatabase();

  QStringList reported = db.damagedFiles;
  const QStringList loaded = FuzzSupport::listing(folder);
  for (const auto& [name, bytes] : before)
    if (FuzzSupport::kept(folder, loaded, name, bytes)) reported << name;
  // A file read only in part is reported. (A table file is judged only when
  // its table was filled by it alone: a one-column file also needs its main
  // file whole, and an older file converted in its place fills it instead.)
  const auto present = [&](const char* n) { return before.count(QString::fromLatin1(n)) > 0; };
  for (const auto& [name, bytes] : before) {
    if (reported.contains(name)) continue;
    const bool oneColumn = name == u"Stock2.kdt" || name.startsWith(u"Manuf2") || name.startsWith(u"Manuf3");
    if (oneColumn && (reported.contains(name.startsWith(u"Stock") ? u"Stock1.kdt"_s : u"Manuf1.kdt"_s) ||
                      !present(name.startsWith(u"Stock") ? "Stock1.kdt" : "Manuf1.kdt")))
      continue;
    if (!readWhole(name, bytes, db)) abort();
  }
  // A file that loses nothing when read loads quietly: the counter always
  // (the next order number skips the numbers in use), a one-column file in
  // the writers' layout whenever it reads whole.
  if (reported.contains(u"Num.kdt"_s)) abort();
  static const QRegularExpression writersLayout(QStringLiteral("^(\"[^\"]*\"\r\n)*$"));
  for (const char* n : {"Manuf2.kdt", "Manuf3.kdt", "Stock2.kdt"}) {
    const QString name = QString::fromLatin1(n);
    if (!present(n) || !reported.contains(name)) continue;
    bool clean = true;
    const QString text = Codec::decode(before[name], &clean);
    if (clean && writersLayout.match(text).hasMatch() && readWhole(name, before[name], db)) abort();
  }

  writeEverything(db, prompt, store);

  // Nothing that did not load whole was replaced without a kept copy.
  const bool images1 = before.count(QStringLiteral("Images1.kdt")) > 0;
  QStringList rewritten;
  const QStringList written = FuzzSupport::listing(folder);
  for (const auto& [name, bytes] : before) {
    const QString path = folder + name;
    const bool same = QFileInfo::exists(path) && FuzzSupport::bytesOf(path) == bytes;
    if (same) continue;
    rewritten << name;
    if (FuzzSupport::kept(folder, written, name, bytes)) continue;
    // Set aside as the program always has: a converted older file or a lapsed
    // backup folder as "<base>.123"; an older picture file the newer one replaced.
    const QString aside = folder + QFileInfo(name).completeBaseName() + QStringLiteral(".123");
    if (QFileInfo::exists(aside) && FuzzSupport::bytesOf(aside) == bytes) continue;
    if (name == u"Images.kdt" && images1) continue;
    if (reported.contains(name)) abort();
  }

  // What the writers wrote loads again without a report.
  Database again;
  again.AppPath = folder;
  again.DataBasePath = folder;
  FuzzPrompt quiet;
  DataStore second(again, quiet, progress);
  DatabaseList::DataBaseInit(again, quiet);
  second.loadDatabase();
  for (const QString& name : rewritten)
    if (again.damagedFiles.contains(name, Qt::CaseInsensitive) && QFileInfo::exists(folder + name)) abort();
  return 0;
}
