// The whole database load: a folder of table, one-column, settings, list,
// counter, journal and older-layout files built from the input, loaded by
// the real loader, then written back by every writer. Asserts: nothing
// crashes; a file that did not load whole is never replaced without a kept
// copy of its bytes; a settings or list file that was not reported reads
// whole; whatever the writers wrote loads again without a report.
//
// Input: files separated by a NUL byte; the first byte of each picks its
// name from kNames.
#include <QByteArray>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <map>

#include "FileOracle.h"
#include "FuzzSupport.h"
#include "platform/Codec.h"
#include "store/DataStore.h"
#include "store/Database.h"
#include "store/DatabaseList.h"
#include "store/Progress.h"
#include "store/SaveTransaction.h"
#include "store/SettingsFiles.h"

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

bool readWhole(const QString& name, const QByteArray& bytes, const Database& db) {
  const auto written = writtenText(name);
  if (!written) return true;  // no oracle of its own: only the report counts
  bool clean = true;
  const QString text = Codec::decode(bytes, &clean);
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
  QTemporaryDir dir;
  if (!dir.isValid()) return 0;
  const QString folder = dir.path() + u'/';
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
  for (const QString& n : QDir(folder).entryList(QDir::Files | QDir::Hidden))
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
  for (const auto& [name, bytes] : before)
    if (FuzzSupport::kept(folder, name, bytes)) reported << name;
  // A settings or list file read only in part is reported.
  for (const auto& [name, bytes] : before)
    if (!reported.contains(name) && !readWhole(name, bytes, db)) abort();

  writeEverything(db, prompt, store);

  // Nothing that did not load whole was replaced without a kept copy.
  const bool images1 = before.count(QStringLiteral("Images1.kdt")) > 0;
  QStringList rewritten;
  for (const auto& [name, bytes] : before) {
    const QString path = folder + name;
    const bool same = QFileInfo::exists(path) && FuzzSupport::bytesOf(path) == bytes;
    if (same) continue;
    rewritten << name;
    if (FuzzSupport::kept(folder, name, bytes)) continue;
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
