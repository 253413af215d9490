// List.dat and the order-number counter Num.kdt.
#include <QDate>
#include <gtest/gtest.h>

#include "ScriptedPrompt.h"
#include "TestDir.h"
#include "store/DataStore.h"
#include "store/Database.h"
#include "store/DatabaseList.h"
#include "store/Progress.h"

namespace {

const QChar k1(1);

TEST(DatabaseList, MissingFileIsCreatedWithTheDefaultEntry) {
  TestDir d;
  Database db;
  db.AppPath = d.path();
  ScriptedPrompt p;
  DatabaseList::DataBaseInit(db, p);
  const QString entry = QStringLiteral("預設資料庫") + k1 + d.path();
  EXPECT_EQ(db.DataBaseList, QStringList{entry});
  EXPECT_EQ(d.get(QStringLiteral("List.dat")), big5(entry + QStringLiteral("\r\n")));
  EXPECT_TRUE(p.shown.empty());
}

TEST(DatabaseList, LinesReadBackExactlyAndEmptyFileGivesEmptyList) {
  TestDir d;
  Database db;
  db.AppPath = d.path();
  ScriptedPrompt p;
  const QStringList lines = {QStringLiteral("店A") + k1 + QStringLiteral("/data/a/"),
                             QStringLiteral("  \"b,c\"") + k1 + QStringLiteral("/data/b,c/"),
                             QStringLiteral("許功蓋") + k1 + QStringLiteral("/data/x/")};
  d.put(QStringLiteral("List.dat"), big5(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")));
  DatabaseList::DataBaseInit(db, p);
  EXPECT_EQ(db.DataBaseList, lines);
  EXPECT_EQ(DatabaseList::nameOf(db.DataBaseList[1]), QStringLiteral("  \"b,c\""));
  EXPECT_EQ(DatabaseList::folderOf(db.DataBaseList[1]), QStringLiteral("/data/b,c/"));

  d.put(QStringLiteral("List.dat"), QByteArray());
  DatabaseList::DataBaseInit(db, p);
  EXPECT_TRUE(db.DataBaseList.isEmpty());
  EXPECT_TRUE(p.shown.empty());
}

TEST(DatabaseList, OverFullFileKeepsTheFirstHundredAndTheOriginal) {
  TestDir d;
  Database db;
  db.AppPath = d.path();
  ScriptedPrompt p;
  QByteArray bytes;
  for (int i = 1; i <= 101; ++i) bytes += big5(QStringLiteral("db%1").arg(i) + k1 + QStringLiteral("/d%1/\r\n").arg(i));
  d.put(QStringLiteral("List.dat"), bytes);
  DatabaseList::DataBaseInit(db, p);
  ASSERT_EQ(db.DataBaseList.size(), 100);
  EXPECT_EQ(DatabaseList::nameOf(db.DataBaseList.last()), QStringLiteral("db100"));
  ASSERT_EQ(p.shown.size(), 1u);
  bool kept = false;
  for (const QString& n : d.names()) kept = kept || (n.startsWith(QStringLiteral("List.dat.damaged-")) && d.get(n) == bytes);
  EXPECT_TRUE(kept);
}

struct CounterCase {
  QByteArray file;  // null = no Num.kdt
  int expected;
};

// The counter only tells where the month's numbering goes on (the next
// number skips the ones in use): whatever the file holds, it loads quietly.
TEST(Counter, NumInitTakesTheCounterOnlyInTheSameMonthAndNeverComplains) {
  const QByteArray month = QDate::currentDate().toString(QStringLiteral("yyMM")).toLatin1();
  const QByteArray other = QDate::currentDate().addMonths(-1).toString(QStringLiteral("yyMM")).toLatin1();
  const std::vector<CounterCase> cases = {
      {QByteArray(), 1},
      {"", 1},
      {month + ",17\r\n", 17},
      {month + ",17", 17},
      {" " + month + " , 17 \r\n", 17},
      {month + ",16.5\r\n", 16},
      {other + ",17\r\n", 1},
      {month + "\r\n", 1},
      {month + ",abc\r\n", 1},
      {month + ",17x\r\n", 17},
      {month + ",0\r\n", 1},
      {month + ",-5\r\n", 1},
      {month + ",99999999999\r\n", 1},
      {"\r\n", 1},
      {month + ",1\xa4\r\n", 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file.toStdString());
    TestDir d;
    if (!c.file.isNull()) d.put(QStringLiteral("Num.kdt"), c.file);
    Database db;
    db.DataBasePath = d.path();
    ScriptedPrompt p;
    SilentProgress pr;
    DataStore s(db, p, pr);
    s.NumInit();
    EXPECT_EQ(db.NumStr, QString::fromLatin1(month));
    EXPECT_EQ(db.num, c.expected);
    EXPECT_TRUE(p.shown.empty());
    EXPECT_TRUE(db.damagedFiles.isEmpty());
  }
}

}  // namespace
