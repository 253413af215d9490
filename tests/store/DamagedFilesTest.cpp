// Damaged files: every file a load reads, cut, broken and padded in the ways
// disks and crashes do it. Each variant either reads whole, or the user is
// told and its original is kept beside it before anything rewrites it.
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <functional>
#include <gtest/gtest.h>

#include "../fuzz/FileOracle.h"
#include "ScriptedPrompt.h"
#include "TestDir.h"
#include "platform/Codec.h"
#include "store/DamagedFiles.h"
#include "store/DataStore.h"
#include "store/Database.h"
#include "store/DatabaseList.h"
#include "store/Progress.h"
#include "store/SettingsFiles.h"

namespace {

QByteArray fileBytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString currentMonth() { return QDate::currentDate().toString(QStringLiteral("yyMM")); }

// A whole database folder as the program writes it.
void putGoodFolder(const TestDir& d, const QString& backupFolder) {
  for (const char* folder : {"/golden-db", "/settings/golden"}) {
    const QDir src(QString::fromUtf8(KESTRIN_TEST_DATA) + QString::fromLatin1(folder));
    for (const QString& n : src.entryList(QDir::Files)) d.put(n, fileBytes(src.filePath(n)));
  }
  d.put(QStringLiteral("Num.kdt"), big5(currentMonth() + QStringLiteral(",17\r\n")));
  d.put(QStringLiteral("AutoBackup.kdt"), big5(u'"' + backupFolder + QStringLiteral("\"\r\n")));
}

QByteArray goodListDat(const QString& appPath) {
  const QChar k1(1);
  return big5(QStringLiteral("預設資料庫") + k1 + appPath + QStringLiteral("\r\n店A") + k1 +
              QStringLiteral("/data/a/\r\n店B, \"二\"") + k1 + QStringLiteral("/data/b/\r\n"));
}

// ---- the damage ------------------------------------------------------------

struct Variant {
  const char* what;
  std::function<QByteArray(const QByteArray&)> make;  // empty result with a non-empty original = not applicable
};

QByteArray notApplicable() { return QByteArray("\x01n/a"); }

const std::vector<Variant>& variants() {
  static const std::vector<Variant> v = {
      {"cut inside the last record", [](const QByteArray& b) { return b.size() > 3 ? b.left(b.size() - 3) : notApplicable(); }},
      {"cut at half", [](const QByteArray& b) { return b.size() > 1 ? b.left(b.size() / 2) : notApplicable(); }},
      {"bad byte",
       [](const QByteArray& b) {
         // A lead byte followed by a byte no trail can be, put where a
         // character ends (before a line end, which no trail byte is).
         qsizetype at = b.indexOf('\r', b.size() / 2);
         if (at < 0) at = b.size();
         QByteArray out = b;
         return out.insert(at, "\xa4\x20", 2);
       }},
      {"dropped quote",
       [](const QByteArray& b) {
         qsizetype at = b.indexOf('"', b.size() / 2);
         if (at < 0) at = b.lastIndexOf('"');
         if (at < 0) return notApplicable();
         QByteArray out = b;
         return out.remove(at, 1);
       }},
      {"extra field",
       [](const QByteArray& b) {
         QByteArray out = b;
         const qsizetype at = b.indexOf('\r');
         return out.insert(at < 0 ? b.size() : at, ",\"x\"");
       }},
      {"empty", [](const QByteArray&) { return QByteArray(); }},
      {"blank inside the last line end",
       [](const QByteArray& b) {
         const qsizetype at = b.lastIndexOf('\n');
         if (at < 1 || b[at - 1] != '\r') return notApplicable();
         QByteArray out = b;
         return out.insert(at, ' ');
       }},
  };
  return v;
}

// ---- what "read whole" means for each kind of file (FileOracle) ------------

using FileOracle::lines;

enum class Kind { Items, Lines, Counter, ListFile, Table, OneColumn };

struct FileCase {
  QString name;
  Kind kind;
  // The text the loaded values give back, as the file's writer writes it.
  std::function<QString(const Database&)> written;
};

std::vector<FileCase> fileCases() {
  using namespace SettingsFiles;
  std::vector<FileCase> c;
  c.push_back({QStringLiteral("Num.kdt"), Kind::Counter,
               [](const Database& db) { return db.NumStr + u',' + QString::number(db.num) + QStringLiteral("\r\n"); }});
  c.push_back({QStringLiteral("AutoBackup.kdt"), Kind::Items,
               [](const Database& db) { return u'"' + db.settings.AutoBackupPath + QStringLiteral("\"\r\n"); }});
  c.push_back({QStringLiteral("Addr.kdt"), Kind::Items, [](const Database& db) { return addrText(db.settings); }});
  for (int n = 0; n <= 6; ++n)
    c.push_back({shopFile(n), Kind::Items, [n](const Database& db) { return shopText(n, db.settings); }});
  c.push_back({QStringLiteral("Carry.kdt"), Kind::Items, [](const Database& db) { return carryText(db.settings); }});
  c.push_back({QStringLiteral("Import.kdt"), Kind::Lines, [](const Database& db) { return importText(db.settings); }});
  for (int n = 1; n <= 4; ++n)
    c.push_back({cateFile(n), Kind::Items, [n](const Database& db) { return cateText(n, db.settings); }});
  // The table files, as the save writes them.
  const auto table = [&c](const char* name, Table Database::*t, int first, int columns) {
    c.push_back({QString::fromLatin1(name), columns == 1 ? Kind::OneColumn : Kind::Table,
                 [t, first, columns](const Database& db) { return DataStore::tableText(db.*t, first, columns); }});
  };
  table("Order1.kdt", &Database::Order, 0, 13);
  table("Stock1.kdt", &Database::Stock, 0, 8);
  table("Stock2.kdt", &Database::Stock, StockCell::LineWeight, 1);
  table("Member.kdt", &Database::Guest, 0, 9);
  table("Manuf1.kdt", &Database::Manuf, 0, 6);
  table("Manuf2.kdt", &Database::Manuf, ManufCell::SafetyStock, 1);
  table("Manuf3.kdt", &Database::Manuf, ManufCell::ProductWeight, 1);
  table("ManufStock.kdt", &Database::ManufStock, 0, 10);
  table("Expend.kdt", &Database::Expend, 0, 5);
  table("Images1.kdt", &Database::Images, 0, 3);
  c.push_back({QStringLiteral("List.dat"), Kind::ListFile, [](const Database& db) {
                 return db.DataBaseList.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
               }});
  return c;
}

bool readWhole(const FileCase& c, const QByteArray& bytes, const Database& db) {
  // The counter holds nothing the next order number needs: it skips the
  // numbers in use.
  if (c.kind == Kind::Counter) return true;
  bool clean = true;
  const QString text = Codec::decode(bytes, &clean);
  if (!clean) return false;
  const QString back = c.written(db);
  if (c.kind == Kind::Table || c.kind == Kind::OneColumn)
    return FileOracle::tableReadWhole(text, back, c.kind == Kind::OneColumn);
  return FileOracle::readWhole(c.name, text, back);
}

// Every file the program writes into the folder: the database save, then
// each settings file through its own writer.
void writeEverything(Database& db, ScriptedPrompt& prompt, DataStore& store) {
  using namespace SettingsFiles;
  EXPECT_TRUE(store.DataBaseSave());
  AddrClose(db, prompt);
  for (int n = 0; n <= 6; ++n) ShopClose(n, db, prompt);
  CarryClose(db, prompt);
  ImportClose(db, prompt);
  DatabaseList::write(db.AppPath, db.DataBaseList);
}

QStringList keptCopies(const TestDir& d, const QString& name) {
  QStringList out;
  for (const QString& n : d.names())
    if (n.startsWith(name + QStringLiteral(".damaged-"))) out << n;
  return out;
}

// Hundreds of saves, each syncing every file to disk: the scratch folders go
// to memory where the machine has a memory file system.
struct MemoryScratch {
  QByteArray before = qgetenv("TMPDIR");
  MemoryScratch() {
    if (QFileInfo(QStringLiteral("/dev/shm")).isWritable()) qputenv("TMPDIR", "/dev/shm");
  }
  ~MemoryScratch() {
    if (before.isEmpty()) qunsetenv("TMPDIR");
    else qputenv("TMPDIR", before);
  }
};

TEST(DamagedFiles, EveryFileEitherReadsWholeOrIsKeptAsideAndToldOnce) {
  MemoryScratch scratch;
  TestDir backup;
  int damagedSeen = 0;
  for (const FileCase& c : fileCases()) {
    for (const Variant& v : variants()) {
      TestDir d;
      putGoodFolder(d, backup.path());
      d.put(QStringLiteral("List.dat"), goodListDat(d.path()));
      const QByteArray original = v.make(d.get(c.name));
      if (original == notApplicable()) continue;
      SCOPED_TRACE(c.name.toStdString() + ": " + v.what);
      d.put(c.name, original);

      Database db;
      db.AppPath = d.path();
      db.DataBasePath = d.path();
      ScriptedPrompt prompt;
      SilentProgress progress;
      DataStore store(db, prompt, progress);
      DatabaseList::DataBaseInit(db, prompt);
      store.loadDatabase();
      const std::vector<ScriptedPrompt::Shown> atLoad = prompt.shown;
      const bool whole = readWhole(c, original, db);
      const bool flagged = db.damagedFiles.contains(c.name) || !keptCopies(d, c.name).isEmpty() ||
                           (c.name == QStringLiteral("AutoBackup.kdt") && !d.has(c.name));
      if (c.kind == Kind::Counter) {
        EXPECT_FALSE(flagged) << "a counter file is never damage";
      }
      if (!whole) {
        ++damagedSeen;
        EXPECT_TRUE(flagged) << "read in part without a word";
        EXPECT_FALSE(atLoad.empty());
      }

      // Two rounds of every writer: the original is kept before the first
      // rewrite, and the user hears of the kept copy once.
      prompt.clear();
      writeEverything(db, prompt, store);
      writeEverything(db, prompt, store);
      const QStringList kept = keptCopies(d, c.name);
      int toldKept = 0;
      for (const auto& s : prompt.shown) toldKept += s.text.contains(c.name + QStringLiteral(".damaged-")) ? 1 : 0;
      for (const auto& s : atLoad) toldKept += s.text.contains(c.name + QStringLiteral(".damaged-")) ? 1 : 0;
      const bool rewritten = !d.has(c.name) || d.get(c.name) != original;
      if (flagged && rewritten) {
        ASSERT_EQ(kept.size(), 1) << "no kept copy";
        EXPECT_EQ(d.get(kept[0]), original);
        EXPECT_EQ(toldKept, 1);
      } else if (!flagged) {
        EXPECT_TRUE(kept.isEmpty());
      }
      // No rewrite ever lost what the file held without a kept copy.
      if (!whole && kept.isEmpty()) {
        EXPECT_EQ(d.get(c.name), original);
      }
    }
  }
  EXPECT_GT(damagedSeen, 40);  // the variants really damage the files
}

// Small folders, one file changed: a file that loses nothing when read
// loads without a word and is simply rewritten by the next save; one that
// loses something is told once and kept before the save replaces it.
TEST(DamagedFiles, QuietWhereNothingIsLostToldAndKeptWhereSomethingIs) {
  const QByteArray month = currentMonth().toLatin1();
  struct Case {
    const char* what;
    const char* name;
    QByteArray bytes;
    bool told;
    QByteArray after;  // the file after the next save (the settings dialog's for Carry.kdt)
  };
  const Case cases[] = {
      // The counter: the next order number skips the numbers in use.
      {"counter without a comma", "Num.kdt", month, false, month + ",1\r\n"},
      {"counter that is no number", "Num.kdt", month + ",abc\r\n", false, month + ",1\r\n"},
      {"counter of 0", "Num.kdt", month + ",0\r\n", false, month + ",1\r\n"},
      {"counter with a bad byte", "Num.kdt", month + ",5\x81\r\n", false, month + ",5\r\n"},
      // One-column files shorter than their table: rows beyond keep "0".
      {"safety stock shorter", "Manuf2.kdt", "\"5\"\r\n", false, "\"5\"\r\n\"0\"\r\n\"0\"\r\n"},
      {"safety stock empty", "Manuf2.kdt", "", false, "\"0\"\r\n\"0\"\r\n\"0\"\r\n"},
      {"weights as plain numbers", "Manuf3.kdt", "\"007\"\r\n\"1.50\"\r\n\"\"\r\n", false,
       "\"7\"\r\n\"1.5\"\r\n\"0\"\r\n"},
      {"line weights empty", "Stock2.kdt", "", false, "\"0\"\r\n\"0\"\r\n"},
      // Lost in the reading: records beyond the table, values that are no clean number.
      {"safety stock longer", "Manuf2.kdt", "\"1\"\r\n\"2\"\r\n\"3\"\r\n\"4\"\r\n", true, "\"1\"\r\n\"2\"\r\n\"3\"\r\n"},
      {"weight with a stray byte", "Manuf3.kdt", "\"1.\x80" "799\"\r\n\"2\"\r\n\"3\"\r\n", true,
       "\"1\"\r\n\"2\"\r\n\"3\"\r\n"},
      {"weight with a unit", "Manuf3.kdt", "\"1\"\r\n\"12 kg\"\r\n\"3\"\r\n", true, "\"1\"\r\n\"12\"\r\n\"3\"\r\n"},
      {"safety stock with a comma", "Manuf2.kdt", "\"1,5\"\r\n\"2\"\r\n\"3\"\r\n", true, "\"1\"\r\n\"2\"\r\n\"3\"\r\n"},
      {"safety stock past 15 digits", "Manuf2.kdt", "\"1234567890123456789\"\r\n\"2\"\r\n\"3\"\r\n", true,
       "\"1234567890123460000\"\r\n\"2\"\r\n\"3\"\r\n"},
      {"line weight with a bad byte", "Stock2.kdt", "\"2\"\r\n\"3\xa4\"\r\n", true, "\"2\"\r\n\"3\"\r\n"},
      {"shipping method of one blank in quotes", "Carry.kdt", "\" \"", true, "\r\n"},
  };
  const QByteArray manuf = big5(QStringLiteral("\"茶杯\",\"杯\",\"100\",\"60\",\"5\",\"\"\r\n"
                                               "\"茶壺\",\"壺\",\"300\",\"200\",\"2\",\"\"\r\n"
                                               "\"茶葉\",\"茶\",\"250\",\"150\",\"9\",\"\"\r\n"));
  const QByteArray stock = big5(QStringLiteral("\"2403000001\",\"茶杯\",\"杯\",\"100\",\"60\",\"1\",\"\",\"未出貨\"\r\n"
                                               "\"2403000001\",\"茶葉\",\"茶\",\"250\",\"150\",\"2\",\"\",\"未出貨\"\r\n"));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const QString name = QString::fromLatin1(c.name);
    TestDir d;
    d.put(QStringLiteral("Manuf1.kdt"), manuf);
    d.put(QStringLiteral("Stock1.kdt"), stock);
    d.put(name, c.bytes);
    Database db;
    db.DataBasePath = d.path();
    ScriptedPrompt prompt;
    SilentProgress progress;
    DataStore store(db, prompt, progress);
    store.loadDatabase();
    if (c.told) {
      EXPECT_EQ(prompt.shown.size(), 1u);
      for (const auto& shown : prompt.shown) EXPECT_TRUE(shown.text.startsWith(QStringLiteral("載入 ")));
    } else {
      EXPECT_TRUE(prompt.shown.empty()) << prompt.texts().join(u'|').toStdString();
    }

    prompt.clear();
    EXPECT_TRUE(store.DataBaseSave());
    EXPECT_TRUE(SettingsFiles::CarryClose(db, prompt));
    EXPECT_EQ(d.get(name), c.after);
    const QStringList kept = keptCopies(d, name);
    if (c.told) {
      EXPECT_EQ(kept.size(), 1);
      if (kept.size() != 1) continue;
      EXPECT_EQ(d.get(kept[0]), c.bytes);
      EXPECT_EQ(prompt.texts(), QStringList{DamagedFiles::keptText({kept[0]})});
    } else {
      EXPECT_TRUE(kept.isEmpty());
      EXPECT_TRUE(prompt.shown.empty()) << prompt.texts().join(u'|').toStdString();
    }
  }
}

}  // namespace
