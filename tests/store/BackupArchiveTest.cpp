#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <map>

#include "PeakMemory.h"
#include "ScopedSaveFaults.h"
#include "TestDir.h"
#include "store/BackupArchive.h"

namespace {

const QString kGolden = QStringLiteral(KESTRIN_TEST_DATA "/backup/");

QByteArray readFile(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void copyFolder(const QString& from, const TestDir& to) {
  const QStringList names = QDir(from).entryList(QDir::Files | QDir::Hidden);
  for (const QString& n : names) to.put(n, readFile(from + u'/' + n));
}

// Every file of a folder (and its sub-folders) with its bytes.
std::map<QString, QByteArray> snapshot(const QString& folder) {
  std::map<QString, QByteArray> out;
  QDir dir(folder);
  const QFileInfoList all = dir.entryInfoList(QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
  for (const QFileInfo& fi : all) {
    if (fi.isDir()) {
      for (auto& [k, v] : snapshot(fi.absoluteFilePath())) out[fi.fileName() + u'/' + k] = v;
    } else {
      out[fi.fileName()] = readFile(fi.absoluteFilePath());
    }
  }
  return out;
}

// A small archive built by hand: list, then contents.
QByteArray archiveOf(const QByteArray& list, const QByteArray& contents) {
  return QByteArray::number(list.size()).leftJustified(10, ' ') + list + contents;
}

// A file of `size` bytes starting with head, the rest a hole that takes no
// room on disk; false where the file system cannot make one.
bool sparseFile(const QString& path, const QByteArray& head, qint64 size) {
  QFile f(path);
  return f.open(QIODevice::WriteOnly) && f.write(head) == head.size() && f.resize(size);
}

constexpr qint64 kMB = 1024 * 1024;

// The type and mode of what is at path itself (a link is not followed).
mode_t lmode(const QString& path) {
  struct stat st {};
  return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode : 0;
}

mode_t modeOf(const QString& path) {
  struct stat st {};
  return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 0777 : 0;
}

}  // namespace

TEST(BackupArchive, GoldenFolderPacksToExpectedBytes) {
  TestDir db, out;
  copyFolder(kGolden + QStringLiteral("folder"), db);
  ASSERT_TRUE(WriteBackupArchive(db.path(), out.file(QStringLiteral("a.kbk"))));
  EXPECT_EQ(out.get(QStringLiteral("a.kbk")), readFile(kGolden + QStringLiteral("expected.kbk")));
  // Nothing left behind in either folder.
  EXPECT_EQ(out.names(), QStringList{QStringLiteral("a.kbk")});
  EXPECT_FALSE(db.has(QStringLiteral("~Backup.kbk")));
}

TEST(BackupArchive, DefaultTargetIsScratchArchiveInFolder) {
  TestDir db;
  db.put(QStringLiteral("Import.kdt"), "\"x\"\r\n");
  ASSERT_TRUE(WriteBackupArchive(db.path()));
  EXPECT_EQ(db.get(QStringLiteral("~Backup.kbk")), archiveOf("Import.kdt\x01" "5\r\n", "\"x\"\r\n"));
}

TEST(BackupArchive, WriteThenRestoreIntoEmptyFolderGivesSameFiles) {
  TestDir db, target;
  copyFolder(kGolden + QStringLiteral("folder"), db);
  const QByteArray archive = readFile(kGolden + QStringLiteral("expected.kbk"));
  ASSERT_EQ(RestoreBackupArchive(target.path(), archive), RestoreResult::Done);
  const auto restored = snapshot(target.path());
  std::map<QString, QByteArray> expected;
  for (const char* n : {"DataBase.pwd", "Empty.kdt", "Order1.kdt", "SETTING.PWD"})
    expected[QString::fromLatin1(n)] = db.get(QString::fromLatin1(n));
  expected[QStringLiteral("備註.kdt")] = db.get(QStringLiteral("備註.kdt"));
  EXPECT_EQ(restored, expected);
  // And the restored folder packs to the same archive again.
  TestDir again;
  ASSERT_TRUE(WriteBackupArchive(target.path(), again.file(QStringLiteral("b.kbk"))));
  EXPECT_EQ(again.get(QStringLiteral("b.kbk")), archive);
}

TEST(BackupArchive, ParseGivesOffsetsOfEveryMember) {
  const QByteArray list = "A.kdt\x01" "3\r\nB.pwd\x01" "0\r\nC.kdt\x01" "2\r\n";
  const QByteArray a = archiveOf(list, "abcde");
  std::vector<BackupArchive::Entry> e;
  ASSERT_TRUE(BackupArchive::parse(a, &e));
  ASSERT_EQ(e.size(), 3u);
  const qint64 start = 10 + list.size();
  EXPECT_EQ(e[0].name, QStringLiteral("A.kdt"));
  EXPECT_EQ(e[0].offset, start);
  EXPECT_EQ(e[0].length, 3);
  EXPECT_EQ(e[1].length, 0);
  EXPECT_EQ(e[2].offset, start + 3);
  EXPECT_EQ(a.mid(e[2].offset, e[2].length), QByteArray("de"));
}

// Every damaged archive is refused before any file of the folder changes.
TEST(BackupArchive, DamagedArchivesAreRefusedAndChangeNothing) {
  const QByteArray good = archiveOf("Order1.kdt\x01" "3\r\nDataBase.pwd\x01" "2\r\n", "newpw");
  struct Case {
    const char* what;
    QByteArray bytes;
  };
  const std::vector<Case> cases = {
      {"empty file", QByteArray()},
      {"shorter than the header", QByteArray("12  ")},
      {"truncated contents", good.left(good.size() - 1)},
      {"truncated list", good.left(20)},
      {"bytes after the last member", good + "x"},
      {"parent folder in a name", archiveOf("../x.kdt\x01" "1\r\n", "a")},
      {"two dots alone", archiveOf("..\x01" "1\r\n", "a")},
      {"bare parent name", archiveOf("..kdt\x01" "1\r\n", "a")},
      {"slash in a name", archiveOf("sub/x.kdt\x01" "1\r\n", "a")},
      {"backslash in a name", archiveOf("sub\\x.kdt\x01" "1\r\n", "a")},
      {"absolute name", archiveOf("/tmp/x.kdt\x01" "1\r\n", "a")},
      {"other extension", archiveOf("run.sh\x01" "1\r\n", "a")},
      {"length past the end", archiveOf("Order1.kdt\x01" "999\r\n", "abc")},
      {"huge length", archiveOf("Order1.kdt\x01" "99999999999999999999\r\n", "abc")},
      {"negative length", archiveOf("Order1.kdt\x01-3\r\n", "abc")},
      {"line without separator", archiveOf("Order1.kdt 3\r\n", "abc")},
      {"two separators", archiveOf("Order1.kdt\x01" "3\x01" "3\r\n", "abc")},
      {"empty name", archiveOf("\x01" "3\r\n", "abc")},
      {"empty line", archiveOf("\r\nOrder1.kdt\x01" "3\r\n", "abc")},
      {"list without final line end", archiveOf("Order1.kdt\x01" "3", "abc")},
      {"same name twice", archiveOf("A.kdt\x01" "1\r\na.KDT\x01" "1\r\n", "ab")},
      {"list length zero", QByteArray("0         ")},
      {"header not a number", QByteArray("abc       Order1.kdt\x01" "1\r\nz")},
      {"header with digits after blanks", QByteArray("1 2       ")},
      {"header longer than the file", QByteArray("500       x")},
      {"name not code page 950", archiveOf("\xa4.kdt\x01" "1\r\n", "a")},
      {"drive letter in a name", archiveOf("C:Order1.kdt\x01" "1\r\n", "a")},
      {"colon in a name", archiveOf("Order1.kdt:x.kdt\x01" "1\r\n", "a")},
      {"device name", archiveOf("NUL.kdt\x01" "1\r\n", "a")},
      {"device name in small letters", archiveOf("con.KDT\x01" "1\r\n", "a")},
      {"numbered device", archiveOf("COM1.kdt\x01" "1\r\n", "a")},
      {"device before a second dot", archiveOf("AUX.old.pwd\x01" "1\r\n", "a")},
      {"bar in a name", archiveOf("a|b.kdt\x01" "1\r\n", "a")},
      {"list longer than any folder's", [] {
         QByteArray list;
         for (int i = 0; list.size() <= BackupArchive::kMaxListLength; ++i)
           list += "M" + QByteArray::number(i) + ".kdt\x01" "0\r\n";
         return archiveOf(list, {});
       }()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TestDir db;
    db.put(QStringLiteral("Order1.kdt"), "old orders");
    db.put(QStringLiteral("DataBase.pwd"), "oldpw");
    db.put(QStringLiteral("Setting.pwd"), "setpw");
    const auto before = snapshot(db.path());
    std::vector<BackupArchive::Entry> e;
    EXPECT_FALSE(BackupArchive::parse(c.bytes, &e));
    EXPECT_EQ(RestoreBackupArchive(db.path(), c.bytes), RestoreResult::BadArchive);
    EXPECT_EQ(snapshot(db.path()), before);
  }
  // The good one of the same shape goes through.
  TestDir db;
  db.put(QStringLiteral("Order1.kdt"), "old orders");
  ASSERT_EQ(RestoreBackupArchive(db.path(), good), RestoreResult::Done);
  EXPECT_EQ(db.get(QStringLiteral("Order1.kdt")), QByteArray("new"));
  EXPECT_EQ(db.get(QStringLiteral("DataBase.pwd")), QByteArray("pw"));
}

TEST(BackupArchive, MemberNamesAreNamesAFileCanHaveOnEitherSystem) {
  const std::pair<const char*, bool> names[] = {
      {"Order1.kdt", true},    {"ORDER1.KDT", true},    {"Setting.pwd", true}, {"CONSOLE.kdt", true},
      {"NULL.kdt", true},      {"COM.kdt", true},       {"COM10.kdt", true},   {"LPT.pwd", true},
      {"a.CON.kdt", true},     {"CON.kdt", false},      {"Nul.kdt", false},    {"prn.pwd", false},
      {"CON .kdt", false},     {"com9.kdt", false},     {"LPT0.kdt", false},   {"AUX.tar.kdt", false},
      {"a:b.kdt", false},      {"a<b.kdt", false},      {"a>b.kdt", false},    {"a\"b.kdt", false},
      {"a?b.kdt", false},      {"a*b.kdt", false},      {"a|b.kdt", false},    {"Order1.txt", false},
  };
  for (const auto& [name, member] : names) EXPECT_EQ(BackupArchive::isMemberName(QString::fromLatin1(name)), member) << name;
  EXPECT_TRUE(BackupArchive::isMemberName(QStringLiteral("備註.kdt")));

  // Files of such names are never packed, so every archive written restores.
  TestDir db, out, target;
  db.put(QStringLiteral("Order1.kdt"), "orders");
  db.put(QStringLiteral("NUL.kdt"), "n");
  db.put(QStringLiteral("a:b.kdt"), "c");
  ASSERT_TRUE(WriteBackupArchive(db.path(), out.file(QStringLiteral("a.kbk"))));
  EXPECT_EQ(out.get(QStringLiteral("a.kbk")), archiveOf("Order1.kdt\x01" "6\r\n", "orders"));
  EXPECT_EQ(RestoreBackupArchive(target.path(), out.get(QStringLiteral("a.kbk"))), RestoreResult::Done);
}

TEST(BackupArchive, HeaderMayBeShortOrFillAllTenBytes) {
  std::vector<BackupArchive::Entry> e;
  QByteArray list = "A.kdt\x01" "0\r\n";
  EXPECT_TRUE(BackupArchive::parse(QByteArray::number(list.size()).leftJustified(10, ' ') + list, &e));
  // Ten digits with no blank: the list length is read from all of them.
  QByteArray padded = QByteArray("0000000009") + list;
  EXPECT_TRUE(BackupArchive::parse(padded, &e));
}

TEST(BackupArchive, RestoreReplacesFilesWhateverTheirLetterCase) {
  TestDir db;
  db.put(QStringLiteral("ORDER1.KDT"), "old");
  db.put(QStringLiteral("Expend.kdt"), "expenses stay");
  ASSERT_EQ(RestoreBackupArchive(db.path(), archiveOf("Order1.kdt\x01" "3\r\nEmpty.kdt\x01" "0\r\n", "new")),
            RestoreResult::Done);
  EXPECT_EQ(db.names(), (QStringList{QStringLiteral("Empty.kdt"), QStringLiteral("Expend.kdt"),
                                     QStringLiteral("ORDER1.KDT")}));
  EXPECT_EQ(db.get(QStringLiteral("ORDER1.KDT")), QByteArray("new"));
  EXPECT_EQ(db.get(QStringLiteral("Empty.kdt")), QByteArray());
  EXPECT_EQ(db.get(QStringLiteral("Expend.kdt")), QByteArray("expenses stay"));
}

TEST(BackupArchive, PasswordFilesAreRemovedOnlyWhenTheArchiveLacksThem) {
  {
    TestDir db;
    db.put(QStringLiteral("database.PWD"), "old");
    db.put(QStringLiteral("Setting.pwd"), "old");
    ASSERT_EQ(RestoreBackupArchive(db.path(), archiveOf("Order1.kdt\x01" "1\r\n", "x")), RestoreResult::Done);
    EXPECT_EQ(db.names(), QStringList{QStringLiteral("Order1.kdt")});
  }
  {
    TestDir db;
    db.put(QStringLiteral("DataBase.pwd"), "old");
    db.put(QStringLiteral("Setting.pwd"), "keep");
    ASSERT_EQ(RestoreBackupArchive(db.path(), archiveOf("DATABASE.PWD\x01" "3\r\nSetting.pwd\x01" "4\r\n", "newkeep")),
              RestoreResult::Done);
    EXPECT_EQ(db.get(QStringLiteral("DataBase.pwd")), QByteArray("new"));
    EXPECT_EQ(db.get(QStringLiteral("Setting.pwd")), QByteArray("keep"));
  }
}

TEST(BackupArchive, ScratchArchiveMissingChangesNothing) {
  TestDir db;
  db.put(QStringLiteral("DataBase.pwd"), "pw");
  EXPECT_EQ(RestoreBackupArchive(db.path()), RestoreResult::Missing);
  EXPECT_TRUE(db.has(QStringLiteral("DataBase.pwd")));
  db.put(QStringLiteral("~Backup.kbk"), archiveOf("Order1.kdt\x01" "1\r\n", "x"));
  EXPECT_EQ(RestoreBackupArchive(db.path()), RestoreResult::Done);
  EXPECT_FALSE(db.has(QStringLiteral("DataBase.pwd")));
  EXPECT_TRUE(db.has(QStringLiteral("~Backup.kbk")));  // left for the caller
}

TEST(BackupArchive, FailedWriteKeepsTheArchiveAlreadyThere) {
  ScopedSaveFaults faults;
  TestDir db, out;
  db.put(QStringLiteral("Order1.kdt"), QByteArray(5000, 'o'));
  out.put(QStringLiteral("good.kbk"), "good archive");
  faults.failArchiveAfterBytes(100);
  EXPECT_FALSE(WriteBackupArchive(db.path(), out.file(QStringLiteral("good.kbk"))));
  faults.failArchiveAfterBytes(-1);
  EXPECT_EQ(out.names(), QStringList{QStringLiteral("good.kbk")});
  EXPECT_EQ(out.get(QStringLiteral("good.kbk")), QByteArray("good archive"));
  // A folder with nothing to pack writes no archive at all.
  TestDir empty;
  EXPECT_FALSE(WriteBackupArchive(empty.path(), out.file(QStringLiteral("good.kbk"))));
  EXPECT_EQ(out.get(QStringLiteral("good.kbk")), QByteArray("good archive"));
}

TEST(BackupArchive, MemberThatCannotBeReadWholeGivesUpTheBackup) {
  TestDir db, out;
  db.put(QStringLiteral("Order1.kdt"), "orders");
  // A file that lists as a regular file but fails on reading.
  if (!QFile::link(QStringLiteral("/proc/self/mem"), db.file(QStringLiteral("Stock1.kdt"))))
    GTEST_SKIP() << "no /proc/self/mem";
  out.put(QStringLiteral("x.kbk"), "previous");
  EXPECT_FALSE(WriteBackupArchive(db.path(), out.file(QStringLiteral("x.kbk"))));
  EXPECT_EQ(out.get(QStringLiteral("x.kbk")), QByteArray("previous"));
}

TEST(BackupArchive, DailyBackupGoesToBackupFolderUnderTodaysDate) {
  TestDir db;
  db.put(QStringLiteral("Import.kdt"), "i");
  db.put(QStringLiteral("~Backup.kbk"), "left over");
  QString written;
  ASSERT_TRUE(AutoBackup(db.path(), QString(), &written, QDate(2024, 1, 31)));
  EXPECT_EQ(written, db.path() + QStringLiteral("Backup/20240131.kbk"));
  EXPECT_EQ(readFile(written), archiveOf("Import.kdt\x01" "1\r\n", "i"));
  EXPECT_FALSE(db.has(QStringLiteral("~Backup.kbk")));
  // A second backup the same day replaces the first.
  db.put(QStringLiteral("Import.kdt"), "ii");
  ASSERT_TRUE(AutoBackup(db.path(), QString(), nullptr, QDate(2024, 1, 31)));
  EXPECT_EQ(readFile(written), archiveOf("Import.kdt\x01" "2\r\n", "ii"));
  EXPECT_EQ(QDir(db.path() + QStringLiteral("Backup")).entryList(QDir::Files),
            QStringList{QStringLiteral("20240131.kbk")});
}

TEST(BackupArchive, DailyBackupUsesAutomaticFolderOnlyWhileItExists) {
  TestDir db, autoDir;
  db.put(QStringLiteral("Import.kdt"), "i");
  QDir().mkpath(db.path() + QStringLiteral("Backup"));
  for (int d = 1; d <= 16; ++d)
    QFile(db.path() + QStringLiteral("Backup/202301%1.kbk").arg(d, 2, 10, QChar(u'0'))).open(QIODevice::WriteOnly);
  for (int d = 1; d <= 20; ++d)
    autoDir.put(QStringLiteral("202302%1.kbk").arg(d, 2, 10, QChar(u'0')), "a");
  QString written;
  ASSERT_TRUE(AutoBackup(db.path(), autoDir.path(), &written, QDate(2024, 3, 1)));
  EXPECT_EQ(written, autoDir.file(QStringLiteral("20240301.kbk")));
  // The automatic folder is never pruned; the Backup folder is.
  EXPECT_EQ(autoDir.names().size(), 21);
  const QStringList left = QDir(db.path() + QStringLiteral("Backup")).entryList(QDir::Files);
  EXPECT_EQ(left.size(), 15);
  EXPECT_FALSE(left.contains(QStringLiteral("20230101.kbk")));
  // A folder that is gone sends the archive to the Backup folder.
  ASSERT_TRUE(AutoBackup(db.path(), db.path() + QStringLiteral("gone/"), &written, QDate(2024, 3, 2)));
  EXPECT_EQ(written, db.path() + QStringLiteral("Backup/20240302.kbk"));
}

TEST(BackupArchive, PruningKeepsTheFifteenHighestNames) {
  struct Case {
    int dated;
    bool mydata;
    int deleted;  // oldest dated archives expected gone
  };
  for (const Case c : {Case{15, false, 0}, Case{16, false, 1}, Case{20, false, 5}, Case{15, true, 1}}) {
    SCOPED_TRACE(c.dated);
    TestDir b;
    for (int d = 1; d <= c.dated; ++d) b.put(QStringLiteral("202401%1.kbk").arg(d, 2, 10, QChar(u'0')), "x");
    if (c.mydata) b.put(QStringLiteral("mydata.kbk"), "x");
    b.put(QStringLiteral("notes.txt"), "x");
    b.put(QStringLiteral("20000101.KBK.bak"), "x");
    PruneBackups(b.path());
    const QStringList left = b.names();
    for (int d = 1; d <= c.dated; ++d) {
      EXPECT_EQ(left.contains(QStringLiteral("202401%1.kbk").arg(d, 2, 10, QChar(u'0'))), d > c.deleted) << d;
    }
    if (c.mydata) {
      EXPECT_TRUE(left.contains(QStringLiteral("mydata.kbk")));
    }
    EXPECT_TRUE(left.contains(QStringLiteral("notes.txt")));
    EXPECT_TRUE(left.contains(QStringLiteral("20000101.KBK.bak")));
  }
}

TEST(BackupArchive, PruningCountsCapitalisedNamesAndSparesTodaysArchive) {
  TestDir b;
  for (int d = 1; d <= 16; ++d) b.put(QStringLiteral("MY%1.KBK").arg(d, 2, 10, QChar(u'0')), "x");
  b.put(QStringLiteral("20240101.kbk"), "today");
  PruneBackups(b.path(), 15, QStringLiteral("20240101.kbk"));
  const QStringList left = b.names();
  EXPECT_TRUE(left.contains(QStringLiteral("20240101.kbk")));
  EXPECT_FALSE(left.contains(QStringLiteral("MY01.KBK")));
  EXPECT_EQ(left.size(), 16);
}

TEST(BackupArchive, DailyBackupOfAFolderWithNothingToPackWritesNothing) {
  TestDir db;
  db.put(QStringLiteral("notes.txt"), "x");
  QString written;
  EXPECT_TRUE(AutoBackup(db.path(), QString(), &written, QDate(2024, 1, 31)));
  EXPECT_TRUE(written.isEmpty());
  EXPECT_TRUE(QDir(db.path() + QStringLiteral("Backup")).entryList(QDir::Files).isEmpty());
}

TEST(BackupArchive, DailyBackupOfAMissingDatabaseFolderCreatesNothing) {
  TestDir parent;
  const QString gone = parent.path() + QStringLiteral("gone/");
  QString written;
  EXPECT_TRUE(AutoBackup(gone, QString(), &written, QDate(2024, 1, 31)));
  EXPECT_TRUE(written.isEmpty());
  EXPECT_FALSE(QFileInfo::exists(gone));
}

// A file chosen as an archive is judged by its header and list against its
// size: one of hundreds of megabytes is refused without being read.
TEST(BackupArchive, HugeFilesAreRefusedFromTheirHeaderAndList) {
  const qint64 size = 600 * kMB;
  const QByteArray list = "Order1.kdt\x01" + QByteArray::number(size - 10 - 22) + "\r\n";
  ASSERT_EQ(list.size(), 22);
  const QByteArray longer = "Order1.kdt\x01" + QByteArray::number(size - 10 - 22 + 1) + "\r\n";
  const QByteArray past = "Order1.kdt\x01" + QByteArray::number(BackupArchive::kMaxMemberLength + 1) + "\r\n";
  struct Case {
    const char* what;
    QByteArray head;
    qint64 size;
  };
  const Case cases[] = {
      {"no archive at all", QByteArray(), size},
      {"a list as long as the file", QByteArray::number(size - 10).leftJustified(10, ' '), size},
      {"lengths adding up to more than the file",
       QByteArray::number(longer.size()).leftJustified(10, ' ') + longer, size},
      {"a member longer than any table file",
       QByteArray::number(past.size()).leftJustified(10, ' ') + past, 10 + past.size() + BackupArchive::kMaxMemberLength + 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TestDir files, db;
    db.put(QStringLiteral("Order1.kdt"), "old orders");
    db.put(QStringLiteral("DataBase.pwd"), "pw");
    const auto before = snapshot(db.path());
    if (!sparseFile(files.file(QStringLiteral("big.kbk")), c.head, c.size)) GTEST_SKIP() << "no sparse files here";
    PeakMemory::reset();
    const qint64 peak = PeakMemory::bytes();
    const auto archive = BackupArchive::Source::open(files.file(QStringLiteral("big.kbk")));
    EXPECT_EQ(archive.state(), BackupArchive::Source::State::Damaged);
    EXPECT_EQ(RestoreBackupArchive(db.path(), archive), RestoreResult::BadArchive);
    EXPECT_LT(PeakMemory::bytes() - peak, 64 * kMB);
    EXPECT_EQ(snapshot(db.path()), before);
  }
  // The same file with lengths that add up is an archive: what refused the
  // others was their header and list.
  TestDir files;
  ASSERT_TRUE(sparseFile(files.file(QStringLiteral("big.kbk")), QByteArray::number(list.size()).leftJustified(10, ' ') + list, size));
  const auto archive = BackupArchive::Source::open(files.file(QStringLiteral("big.kbk")));
  ASSERT_EQ(archive.state(), BackupArchive::Source::State::Good);
  EXPECT_EQ(archive.entries().front().length, size - 32);
  // Nor is such an archive ever written: a backup that could not be
  // restored fails.
  TestDir db;
  ASSERT_TRUE(sparseFile(db.file(QStringLiteral("Order1.kdt")), QByteArray(), BackupArchive::kMaxMemberLength + 1));
  EXPECT_FALSE(WriteBackupArchive(db.path(), files.file(QStringLiteral("out.kbk"))));
  EXPECT_FALSE(files.has(QStringLiteral("out.kbk")));
}

// A pipe or a folder chosen in place of a file is no archive, and is never
// waited on.
TEST(BackupArchive, OnlyARegularFileIsReadAsAnArchive) {
  TestDir files;
  ASSERT_EQ(::mkfifo(QFile::encodeName(files.file(QStringLiteral("pipe.kbk"))).constData(), 0600), 0);
  ASSERT_TRUE(QDir().mkpath(files.file(QStringLiteral("folder.kbk"))));
  for (const char* name : {"pipe.kbk", "folder.kbk"})
    EXPECT_EQ(BackupArchive::Source::open(files.file(QString::fromLatin1(name))).state(),
              BackupArchive::Source::State::Damaged)
        << name;
  EXPECT_EQ(BackupArchive::Source::open(files.file(QStringLiteral("gone.kbk"))).state(),
            BackupArchive::Source::State::Unreadable);
}

// A large member goes to its file a piece at a time.
TEST(BackupArchive, RestoreNeverHoldsAMemberWhole) {
  const qint64 length = 64 * kMB;
  const QByteArray list = "Order1.kdt\x01" + QByteArray::number(length) + "\r\nImport.kdt\x01" "3\r\n";
  const QByteArray head = QByteArray::number(list.size()).leftJustified(10, ' ') + list;
  TestDir files, db;
  db.put(QStringLiteral("Order1.kdt"), "old orders");
  const QString path = files.file(QStringLiteral("a.kbk"));
  ASSERT_TRUE(sparseFile(path, head + "first", head.size() + length + 3));
  {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.seek(head.size() + length - 4));
    f.write("lastimp");
  }
  PeakMemory::reset();
  const qint64 peak = PeakMemory::bytes();
  ASSERT_EQ(RestoreBackupArchive(db.path(), BackupArchive::Source::open(path)), RestoreResult::Done);
  EXPECT_LT(PeakMemory::bytes() - peak, 32 * kMB);
  QFile restored(db.file(QStringLiteral("Order1.kdt")));
  ASSERT_TRUE(restored.open(QIODevice::ReadOnly));
  EXPECT_EQ(restored.size(), length);
  EXPECT_EQ(restored.read(5), QByteArray("first"));
  ASSERT_TRUE(restored.seek(length - 4));
  EXPECT_EQ(restored.readAll(), QByteArray("last"));
  EXPECT_EQ(db.get(QStringLiteral("Import.kdt")), QByteArray("imp"));
}

// The password files and the archives that carry them are readable by their
// owner only; the other files keep the usual permissions.
TEST(BackupArchive, PasswordsStayWithTheirOwner) {
  const mode_t mask = ::umask(022);
  TestDir db, out, target;
  db.put(QStringLiteral("Order1.kdt"), "orders");
  ASSERT_TRUE(WriteBackupArchive(db.path(), out.file(QStringLiteral("plain.kbk"))));
  EXPECT_EQ(modeOf(out.file(QStringLiteral("plain.kbk"))), 0644u);
  // One that replaces an archive keeps that archive's mode.
  ASSERT_EQ(::chmod(QFile::encodeName(out.file(QStringLiteral("plain.kbk"))).constData(), 0640), 0);
  ASSERT_TRUE(WriteBackupArchive(db.path(), out.file(QStringLiteral("plain.kbk"))));
  EXPECT_EQ(modeOf(out.file(QStringLiteral("plain.kbk"))), 0640u);
  db.put(QStringLiteral("DataBase.pwd"), "0041\r\n");
  out.put(QStringLiteral("a.kbk"), "an older archive of the same name");
  ASSERT_TRUE(WriteBackupArchive(db.path(), out.file(QStringLiteral("a.kbk"))));
  EXPECT_EQ(modeOf(out.file(QStringLiteral("a.kbk"))), 0600u);

  // Restored: the password file is its owner's from the start, even where a
  // temporary file of its name was left readable by all.
  target.put(QStringLiteral("~DataBase.pwd.tmp"), "left");
  target.put(QStringLiteral("DataBase.pwd"), "old");
  ASSERT_EQ(RestoreBackupArchive(target.path(), out.get(QStringLiteral("a.kbk"))), RestoreResult::Done);
  EXPECT_EQ(target.get(QStringLiteral("DataBase.pwd")), QByteArray("0041\r\n"));
  EXPECT_EQ(modeOf(target.file(QStringLiteral("DataBase.pwd"))), 0600u);
  EXPECT_EQ(modeOf(target.file(QStringLiteral("Order1.kdt"))), 0644u);
  EXPECT_FALSE(target.has(QStringLiteral("~DataBase.pwd.tmp")));
  ::umask(mask);
}

// An archive write killed before its rename leaves "<name>.XXXXXX", a whole
// copy of the database: the next daily archive removes such leftovers of any
// day, and only those.
TEST(BackupArchive, TheNextArchiveRemovesWhatAKilledWriteLeft) {
  TestDir db, elsewhere;
  db.put(QStringLiteral("Order1.kdt"), "orders");
  QDir(db.path()).mkdir(QStringLiteral("Backup"));
  const QStringList leftovers = {QStringLiteral("Backup/20240131.kbk.Ab3dEf"), QStringLiteral("Backup/20240130.kbk.QWERTY")};
  const QStringList foreign = {QStringLiteral("Backup/20240130.kbk.Ab3dE"), QStringLiteral("Backup/notes.kbk.Ab3dEf"),
                               QStringLiteral("Backup/20240130.kbk.Ab3dEf.txt"), QStringLiteral("Backup/20240130.kbk.Ab-dEf"),
                               QStringLiteral("Order1.kdt.Ab3dEf")};
  for (const QString& n : leftovers + foreign) db.put(n, "a copy of the database");
  // A link of that name is nobody's leftover of ours: neither removed nor followed.
  elsewhere.put(QStringLiteral("victim"), "not yours");
  ASSERT_TRUE(QFile::link(elsewhere.file(QStringLiteral("victim")), db.file(QStringLiteral("Backup/20240129.kbk.Zz9zZz"))));
  ASSERT_TRUE(AutoBackup(db.path(), QString(), nullptr, QDate(2024, 2, 1)));
  for (const QString& n : leftovers) EXPECT_FALSE(db.has(n)) << n.toStdString();
  for (const QString& n : foreign) EXPECT_TRUE(db.has(n)) << n.toStdString();
  EXPECT_TRUE(S_ISLNK(lmode(db.file(QStringLiteral("Backup/20240129.kbk.Zz9zZz")))));
  EXPECT_EQ(elsewhere.get(QStringLiteral("victim")), QByteArray("not yours"));
  EXPECT_TRUE(db.has(QStringLiteral("Backup/20240201.kbk")));

  // A backup to a file of the seller's choosing removes only what a write of
  // that very archive left.
  elsewhere.put(QStringLiteral("mine.kbk.Ab3dEf"), "left");
  elsewhere.put(QStringLiteral("other.kbk.Ab3dEf"), "someone else's");
  ASSERT_TRUE(WriteBackupArchive(db.path(), elsewhere.file(QStringLiteral("mine.kbk"))));
  EXPECT_FALSE(elsewhere.has(QStringLiteral("mine.kbk.Ab3dEf")));
  EXPECT_TRUE(elsewhere.has(QStringLiteral("other.kbk.Ab3dEf")));
}
