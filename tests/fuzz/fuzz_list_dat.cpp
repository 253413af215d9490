// List.dat: any bytes read without crashing; a list not reported reads whole
// (every line of the file is an entry, in order); when the list was read in
// part, the original is kept beside it before the manager rewrites it; the
// rewritten list reads back to the same entries with nothing to report.
#include <QByteArray>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>

#include "FileOracle.h"
#include "FuzzSupport.h"
#include "platform/Codec.h"
#include "store/Database.h"
#include "store/DatabaseList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzSupport::start();
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  QTemporaryDir dir;
  if (!dir.isValid()) return 0;
  const QString folder = dir.path() + u'/';
  const QString name = QStringLiteral("List.dat");
  FuzzSupport::put(folder + name, bytes);
  Database db;
  db.AppPath = folder;
  FuzzPrompt prompt;
  DatabaseList::DataBaseInit(db, prompt);
  if (db.DataBaseList.size() > 100) abort();
  const bool keptNow = FuzzSupport::kept(folder, name, bytes);
  bool clean = true;
  const QString text = Codec::decode(bytes, &clean);
  const QString back = db.DataBaseList.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
  const bool whole = clean && FileOracle::prefixOf(FileOracle::lines(text), FileOracle::lines(back));
  if (!whole && !keptNow) abort();

  // The manager writes the list back when it closes.
  if (!DatabaseList::write(folder, db.DataBaseList)) return 0;
  if (!whole && !FuzzSupport::kept(folder, name, bytes)) abort();
  bool lossless = true;
  Codec::encode(back, &lossless);
  if (!lossless) return 0;  // entries the file cannot hold never enter (refused where typed)
  Database again;
  again.AppPath = folder;
  FuzzPrompt quiet;
  DatabaseList::DataBaseInit(again, quiet);
  if (again.DataBaseList != db.DataBaseList || !quiet.texts.isEmpty()) abort();
  return 0;
}
