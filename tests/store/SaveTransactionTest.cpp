// The temporary files of the save, the restore and the archive writer in a
// folder someone else may reach, and the save's commit on a disk that stops
// taking writes in the middle of it.
#include <QDate>
#include <QDir>
#include <QFile>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "LoadedDatabase.h"
#include "ScopedSaveFaults.h"
#include "store/BackupArchive.h"
#include "store/SaveTransaction.h"

namespace {

// The golden database with a counter of this month.
void copyGoldenNow(const TestDir& d) {
  copyGolden(d);
  d.put(QStringLiteral("Num.kdt"), big5(QDate::currentDate().toString(QStringLiteral("yyMM")) + QStringLiteral(",3\r\n")));
}

bool isLink(const QString& path) {
  struct stat st {};
  return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISLNK(st.st_mode);
}

bool isRegularFile(const QString& path) {
  struct stat st {};
  return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

// A change to orders, customers, order lines and the counter, so that the
// save writes each of their files.
void changeEveryTable(Database& db) {
  db.Order.setCell(1, OrderCell::OrderNote, QStringLiteral("changed"));
  db.Guest.setCell(1, GuestCell::CustomerNote, QStringLiteral("changed"));
  db.Stock.setCell(1, StockCell::LineNote, QStringLiteral("changed"));
  ++db.num;
}

}  // namespace

// A link planted at a temporary name (or the journal's, or the archive's)
// pointing outside the folder: the writer replaces it with a file of its
// own, the file outside keeps its bytes, and what ends in the folder is a
// regular file with the new data.
TEST(PlantedLinks, NoWriterWritesThroughALinkAtItsNames) {
  struct Case {
    const char* name;      // where the link is planted
    const char* writer;    // save, restore or archive
    const char* written;   // a file that must end up a regular file with new bytes
  };
  const Case cases[] = {
      {"~Order1.kdt.tmp", "save", "Order1.kdt"},   {"~Member.kdt.tmp", "save", "Member.kdt"},
      {"~Stock1.kdt.tmp", "save", "Stock1.kdt"},   {"~Num.kdt.tmp", "save", "Num.kdt"},
      {"~Save.lst", "save", "Order1.kdt"},         {"~Order1.kdt.old", "save", "Order1.kdt"},
      {"~Order1.kdt.tmp", "restore", "Order1.kdt"}, {"~DataBase.pwd.tmp", "restore", "DataBase.pwd"},
      {"~Save.lst", "restore", "Order1.kdt"},       {"Backup/20240131.kbk", "archive", "Backup/20240131.kbk"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.writer) + " " + c.name);
    TestDir d, outside, source;
    copyGoldenNow(d);
    QDir(d.path()).mkdir(QStringLiteral("Backup"));
    outside.put(QStringLiteral("victim"), "not yours");
    const QString planted = d.file(QString::fromLatin1(c.name));
    const QString written = d.file(QString::fromLatin1(c.written));
    const auto plant = [&] { ASSERT_TRUE(QFile::link(outside.file(QStringLiteral("victim")), planted)); };
    const std::string writer = c.writer;
    QByteArray expected;
    if (writer == "save") {
      Loaded l(d.path());
      plant();  // while the program runs: the load cleared what it found
      changeEveryTable(l.db);
      ASSERT_TRUE(l.store.DataBaseSave());
      Loaded again(d.path());
      EXPECT_EQ(again.db.Order.cell(1, OrderCell::OrderNote), QStringLiteral("changed"));
      EXPECT_EQ(again.db.Guest.cell(1, GuestCell::CustomerNote), QStringLiteral("changed"));
      EXPECT_EQ(again.db.Stock.cell(1, StockCell::LineNote), QStringLiteral("changed"));
    } else if (writer == "restore") {
      plant();
      source.put(QStringLiteral("Order1.kdt"), "restored orders");
      source.put(QStringLiteral("DataBase.pwd"), "0041\r\n");
      ASSERT_TRUE(WriteBackupArchive(source.path()));
      ASSERT_EQ(RestoreBackupArchive(d.path(), source.get(QString::fromLatin1(BackupArchive::kScratchName))),
                RestoreResult::Done);
      expected = written.endsWith(QStringLiteral(".pwd")) ? QByteArray("0041\r\n") : QByteArray("restored orders");
    } else {
      plant();
      ASSERT_TRUE(AutoBackup(d.path(), QString(), nullptr, QDate(2024, 1, 31)));
      ASSERT_TRUE(WriteBackupArchive(d.path(), outside.file(QStringLiteral("expected.kbk"))));
      expected = outside.get(QStringLiteral("expected.kbk"));
    }
    EXPECT_EQ(outside.get(QStringLiteral("victim")), QByteArray("not yours"));
    EXPECT_TRUE(isRegularFile(written));
    if (!expected.isEmpty()) {
      EXPECT_EQ(d.get(QString::fromLatin1(c.written)), expected);
    }
    if (writer != "archive") {
      EXPECT_FALSE(isLink(planted));
    }
    EXPECT_FALSE(d.has(QString::fromLatin1(SaveTransaction::kJournal)));
  }
}

// The disk stops taking writes in the middle of a commit: renames fail from
// the k-th on, and the journal cannot be switched either. The user is told
// the save failed, and the next load finds the old files, whatever k.
TEST(SaveCommit, ASaveToldFailedNeverTakesEffectLater) {
  ScopedSaveFaults faults;
  // 0: the first rename fails; 26: every rename succeeded (eleven files kept
  // aside and replaced, four made new) and only the switch fails.
  for (const int k : {0, 1, 2, 5, 6, 13, 25, 26}) {
    SCOPED_TRACE(k);
    TestDir d;
    copyGoldenNow(d);
    Loaded l(d.path());
    const auto before = d.contents();
    changeEveryTable(l.db);
    l.db.ExpendDirty = true;
    faults.failRenames(k, 1000);
    faults.failJournalSwitch();
    l.prompt.answer(Prompt::Answer::No);
    EXPECT_FALSE(l.store.DataBaseSave());
    EXPECT_EQ(l.prompt.texts(), QStringList{QStringLiteral("儲存失敗，請按「是(Y)」再試一次")});
    faults.failRenames(-1);
    faults.failJournalSwitch(false);
    // A commit that could not even be undone left its journal, undoing.
    if (d.has(QString::fromLatin1(SaveTransaction::kJournal))) {
      EXPECT_EQ(d.get(QString::fromLatin1(SaveTransaction::kJournal)).left(1), QByteArray("-"));
    }
    Loaded again(d.path());
    EXPECT_NE(again.db.Order.cell(1, OrderCell::OrderNote), QStringLiteral("changed"));
    EXPECT_EQ(d.contents(), before);
  }
}

// How many files the commit of the tables puts in place: the most a commit
// reports to the seam.
struct PlacedCounter : ScopedSaveFaults {
  int most = 0;
  bool crashesAfter(int placed) override {
    most = std::max(most, placed);
    return ScopedSaveFaults::crashesAfter(placed);
  }
};

// Adds an order with a line, the change every case below saves.
void addOrder(Database& db) {
  const int r = db.Order.append(QStringLiteral("2403000003"));
  db.Order.setCell(r, OrderCell::OrderDate, QStringLiteral("2024/03/10"));
  db.Stock.append(QStringLiteral("2403000003"));
}

// A kill before the journal's switch leaves the old files at the next load,
// also when every new file was already in place; one after it (the save
// was done) the new files.
TEST(SaveCommit, AKillEndsWithTheOldFilesBeforeTheSwitchAndTheNewAfterIt) {
  int files = 0;
  {
    PlacedCounter counter;
    TestDir d;
    copyGoldenNow(d);
    Loaded l(d.path());
    addOrder(l.db);
    ASSERT_TRUE(l.store.saveAttempt());
    files = counter.most;
    ASSERT_GT(files, 3);
  }
  struct Case {
    int crashAfterRenames;  // -1: none
    bool crashAfterSwitch;
    bool saved;
  };
  for (const Case c : {Case{0, false, false}, Case{1, false, false}, Case{3, false, false}, Case{files, false, false},
                       Case{-1, true, true}}) {
    SCOPED_TRACE(c.crashAfterRenames);
    ScopedSaveFaults faults;
    TestDir d;
    copyGoldenNow(d);
    std::map<QString, QByteArray> before;
    {
      Loaded l(d.path());
      before = d.contents();
      addOrder(l.db);
      faults.crashAfterRenames(c.crashAfterRenames);
      faults.crashAfterCommitPoint(c.crashAfterSwitch);
      EXPECT_EQ(l.store.saveAttempt(), c.saved);
      faults.crashAfterRenames(-1);
      faults.crashAfterCommitPoint(false);
    }
    EXPECT_TRUE(d.has(QString::fromLatin1(SaveTransaction::kJournal)));
    Loaded again(d.path());
    EXPECT_FALSE(d.has(QString::fromLatin1(SaveTransaction::kJournal)));
    EXPECT_EQ(again.db.Order.count(), c.saved ? 3 : 2);
    EXPECT_EQ(again.db.Stock.count(), c.saved ? 3 : 2);
    if (!c.saved) {
      EXPECT_EQ(d.contents(), before);
    }
    for (const QString& n : d.names()) {
      EXPECT_FALSE(n.endsWith(QStringLiteral(".tmp"))) << n.toStdString();
      EXPECT_FALSE(n.endsWith(QStringLiteral(".old"))) << n.toStdString();
    }
  }
}
