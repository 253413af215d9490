// A save killed at any moment leaves, after the next load, the whole old or
// the whole new database. A child process (this test program again) saves
// generation after generation of a database, every third save failing at a
// rename and being undone; it is killed while it works, and the folder is
// loaded and checked: every row of every table carries the same generation,
// never one whose save was reported failed, nothing is damaged, nothing is
// left over.
#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QProcess>
#include <gtest/gtest.h>
#include <set>

#include "ScopedSaveFaults.h"
#include "ScriptedPrompt.h"
#include "TestDir.h"
#include "store/DataStore.h"
#include "store/Database.h"
#include "store/Progress.h"
#include "store/SaveTransaction.h"

namespace {

constexpr const char* kChildDir = "KESTRIN_SAVE_KILL_DIR";
constexpr const char* kChildFirst = "KESTRIN_SAVE_KILL_FIRST";  // the child's first generation
constexpr int kOrders = 12000;

struct Marked {
  const char* name;
  Table Database::*table;
  int column;
  int rows;
};
const Marked kMarked[] = {
    {"Order", &Database::Order, OrderCell::OrderNote, kOrders},
    {"Stock", &Database::Stock, StockCell::LineNote, kOrders * 2},
    {"Guest", &Database::Guest, GuestCell::CustomerNote, kOrders / 2},
    {"Manuf", &Database::Manuf, ManufCell::ProductNote, 2000},
};

QString mark(int generation, int row) { return QStringLiteral("g%1 r%2").arg(generation).arg(row); }

void markAll(Database& db, int generation) {
  for (const Marked& m : kMarked) {
    Table& t = db.*m.table;
    for (int r = 1; r <= t.count(); ++r) t.setCell(r, m.column, mark(generation, r));
  }
}

bool failsAtARename(int generation) { return generation % 3 == 0; }

// The child: saves generation after generation until it is killed.
TEST(SaveKill, ChildSavesUntilKilled) {
  const QString dir = qEnvironmentVariable(kChildDir);
  if (dir.isEmpty()) GTEST_SKIP() << "run by SaveKill.AnyMomentLeavesTheWholeOldOrTheWholeNewDatabase";
  ScopedSaveFaults faults;
  ScriptedPrompt prompt;
  SilentProgress progress;
  Database db;
  db.DataBasePath = dir;
  DataStore store(db, prompt, progress);
  store.loadDatabase();
  for (int generation = qEnvironmentVariableIntValue(kChildFirst);; ++generation) {
    markAll(db, generation);
    std::printf("saving %d\n", generation);
    std::fflush(stdout);
    if (failsAtARename(generation)) {
      faults.failRenames((generation * 7) % 20);
      ASSERT_FALSE(store.saveAttempt());
      std::printf("failed %d\n", generation);
    } else {
      ASSERT_TRUE(store.saveAttempt());
      std::printf("saved %d\n", generation);
    }
    std::fflush(stdout);
  }
}

TEST(SaveKill, AnyMomentLeavesTheWholeOldOrTheWholeNewDatabase) {
  TestDir d;
  {
    ScriptedPrompt prompt;
    SilentProgress progress;
    Database db;
    db.DataBasePath = d.path();
    DataStore store(db, prompt, progress);
    for (const Marked& m : kMarked) {
      Table& t = db.*m.table;
      for (int r = 1; r <= m.rows; ++r) t.append(QStringLiteral("%1%2").arg(QString::fromLatin1(m.name)).arg(r, 6, 10, QChar(u'0')));
    }
    db.NumStr = QDate::currentDate().toString(QStringLiteral("yyMM"));
    db.num = 1;
    markAll(db, 1);
    ASSERT_TRUE(store.saveAttempt());
  }

  int onDisk = 1;
  // The kill lands at a different moment of the child's saves each round;
  // the outcome must hold whatever the moment.
  for (int round = 0; round < 12; ++round) {
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(kChildDir), d.path());
    // Generations of one child are never those of another.
    env.insert(QString::fromLatin1(kChildFirst), QString::number(1000 * (round + 1)));
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--gtest_filter=SaveKill.ChildSavesUntilKilled")});
    ASSERT_TRUE(child.waitForStarted());
    // Up to three saves finished, then a little way into the next one.
    QByteArray out;
    while (out.count("saving ") < 1 + round % 4) {
      ASSERT_TRUE(child.waitForReadyRead(60000)) << "the child began no save";
      out += child.readAllStandardOutput();
    }
    child.waitForFinished(1 + (round * 7) % 40);
    ASSERT_EQ(child.state(), QProcess::Running) << child.readAllStandardOutput().toStdString();
    child.kill();
    child.waitForFinished();
    out += child.readAllStandardOutput();
    std::set<int> failed;
    int lastSaved = onDisk;
    for (const QByteArray& l : out.split('\n')) {
      if (l.startsWith("failed ")) failed.insert(l.mid(7).toInt());
      if (l.startsWith("saved ")) lastSaved = std::max(lastSaved, l.mid(6).toInt());
    }

    ScriptedPrompt prompt;
    SilentProgress progress;
    Database db;
    db.DataBasePath = d.path();
    DataStore store(db, prompt, progress);
    store.loadDatabase();
    EXPECT_TRUE(prompt.texts().isEmpty()) << prompt.texts().join(u'|').toStdString();
    EXPECT_TRUE(db.damagedFiles.isEmpty()) << db.damagedFiles.join(u'|').toStdString();
    const QString first = db.Order.cell(1, OrderCell::OrderNote);
    const int generation = first.section(u' ', 0, 0).mid(1).toInt();
    ASSERT_GE(generation, lastSaved) << first.toStdString();
    EXPECT_FALSE(failed.count(generation)) << "a save reported failed is on disk: " << generation;
    for (const Marked& m : kMarked) {
      const Table& t = db.*m.table;
      ASSERT_EQ(t.count(), m.rows) << m.name;
      for (int r = 1; r <= t.count(); ++r)
        ASSERT_EQ(t.cell(r, m.column), mark(generation, r)) << m.name << " row " << r << " round " << round;
    }
    for (const QString& n : QDir(d.path()).entryList(QDir::Files | QDir::Hidden))
      EXPECT_FALSE(n.startsWith(u'~')) << n.toStdString();
    onDisk = generation;
  }
  EXPECT_GT(onDisk, 1);  // saves did complete between the kills
}

}  // namespace
