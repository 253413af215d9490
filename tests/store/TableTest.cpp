#include "store/Table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>

#include "store/TableFileParse.h"

namespace {

Table threeRows() {
  Table t(2);
  for (const char* k : {"b", "a", "c"}) {
    const int r = t.append(QString::fromUtf8(k));
    t.setCell(r, 1, QStringLiteral("分類"));
    t.setCell(r, 2, QString::number(r));
  }
  return t;
}

}  // namespace

TEST(Table, CellsReadBackAndOutOfRangeReadsEmpty) {
  Table t = threeRows();
  EXPECT_EQ(t.count(), 3);
  EXPECT_EQ(t.key(2), "a");
  EXPECT_EQ(t.cell(3, 2), "3");
  EXPECT_TRUE(t.cell(0, 1).isEmpty());
  EXPECT_TRUE(t.cell(4, 1).isEmpty());
  EXPECT_TRUE(t.cell(1, 3).isEmpty());
  t.setCell(4, 1, QStringLiteral("x"));  // ignored
  EXPECT_EQ(t.count(), 3);
  t.setCell(1, 1, QString());
  EXPECT_TRUE(t.cell(1, 1).isEmpty());
  EXPECT_EQ(t.valueId(1, 1), 0u);
}

TEST(Table, ReferencesToCellsSurviveSettingOtherCells) {
  Table t = threeRows();
  const QString& held = t.cell(2, 1);
  for (int i = 0; i < 20000; ++i) t.setCell(1, 2, QString::number(i));
  EXPECT_EQ(held, "分類");
  EXPECT_EQ(t.cell(1, 2), "19999");
  // A cell set from another cell of the same table.
  t.setCell(3, 2, t.cell(1, 2));
  EXPECT_EQ(t.cell(3, 2), "19999");
}

TEST(Table, ManyChangesKeepEveryValueThroughCompaction) {
  Table t(1);
  for (int r = 1; r <= 1000; ++r) t.append(QStringLiteral("k%1").arg(r));
  for (int round = 0; round < 200; ++round)
    for (int r = 1; r <= 1000; ++r) t.setCell(r, 1, QStringLiteral("v%1-%2").arg(r).arg(round));
  t.append(QStringLiteral("last"));  // may compact
  for (int r = 1; r <= 1000; ++r) {
    ASSERT_EQ(t.key(r), QStringLiteral("k%1").arg(r));
    ASSERT_EQ(t.cell(r, 1), QStringLiteral("v%1-199").arg(r));
  }
  EXPECT_LT(t.valueIdCount(), 100000u);
}

TEST(Table, RemoveSortReorderAndCompare) {
  Table t = threeRows();
  Table copy = t;
  EXPECT_TRUE(copy == t);
  copy.setCell(2, 2, QStringLiteral("changed"));
  EXPECT_FALSE(copy == t);
  copy.setCell(2, 2, QStringLiteral("2"));  // equal texts, other value numbers
  EXPECT_TRUE(copy == t);

  t.sortBy(0);
  EXPECT_EQ(t.key(1), "a");
  EXPECT_EQ(t.cell(1, 2), "2");
  EXPECT_EQ(t.key(3), "c");
  t.reorder({3, 1, 2});
  EXPECT_EQ(t.key(1), "c");
  EXPECT_EQ(t.key(2), "a");
  t.removeRows({3, 1, 3});
  ASSERT_EQ(t.count(), 1);
  EXPECT_EQ(t.key(1), "a");
  t.remove(1);
  EXPECT_TRUE(t.isEmpty());

  Table moved = std::move(copy);
  EXPECT_EQ(moved.count(), 3);
  EXPECT_EQ(copy.count(), 0);  // NOLINT(bugprone-use-after-move): left empty and usable
  copy.append(QStringLiteral("again"));
  EXPECT_EQ(copy.key(1), "again");
}

// Results kept beside a table (sort orders) trust its version: every change
// gives a new one, reading or setting a cell to the text it holds does not,
// and no two tables share one.
TEST(Table, VersionChangesWithEveryChangeAndDiffersBetweenTables) {
  const std::vector<std::pair<const char*, std::function<void(Table&)>>> changes = {
      {"append", [](Table& t) { t.append(QStringLiteral("d")); }},
      {"setCell", [](Table& t) { t.setCell(2, 2, QStringLiteral("9")); }},
      {"setKey", [](Table& t) { t.setKey(1, QStringLiteral("z")); }},
      {"remove", [](Table& t) { t.remove(2); }},
      {"removeRows", [](Table& t) { t.removeRows({1, 3}); }},
      {"clear", [](Table& t) { t.clear(); }},
      {"sortBy", [](Table& t) { t.sortBy(0); }},
      {"reorder", [](Table& t) { t.reorder({3, 1, 2}); }},
      {"assign", [](Table& t) { t = threeRows(); }},
      {"move from", [](Table& t) { Table other(std::move(t)); }},
  };
  for (const auto& [what, change] : changes) {
    Table t = threeRows();
    const uint64_t before = t.version();
    const uint64_t column[] = {t.columnVersion(0), t.columnVersion(1), t.columnVersion(2)};
    (void)t.cell(1, 1);
    t.setCell(1, 1, QStringLiteral("分類"));
    EXPECT_EQ(t.version(), before) << what;
    change(t);
    EXPECT_NE(t.version(), before) << what;
    // Setting a cell changes its own column's version alone; any other
    // change every column's.
    const std::string how = what;
    for (int c = 0; c < 3; ++c) {
      const bool set = how == "setCell" || how == "setKey";
      const bool changed = !set || (how == "setCell" && c == 2) || (how == "setKey" && c == 0);
      EXPECT_EQ(t.columnVersion(c) != column[c], changed) << what << " column " << c;
    }
  }
  const Table a = threeRows();
  const Table b = a;
  EXPECT_NE(a.version(), b.version());
  EXPECT_NE(a.columnVersion(1), b.columnVersion(1));

  Table loaded(2);
  const uint64_t before = loaded.version();
  const QByteArray bytes = QByteArrayLiteral("\"k\",\"1\",\"2\"\r\n");
  TableLoad::appendRows(loaded, parseTableBytes(bytes.constData(), static_cast<size_t>(bytes.size()), 3));
  EXPECT_EQ(loaded.count(), 1);
  EXPECT_NE(loaded.version(), before);
}

// The rows set since a version: what a kept result needs to be brought up
// to date, and when it cannot be.
TEST(Table, RowsSetSinceAVersion) {
  Table t = threeRows();
  const uint64_t v = t.version();
  std::vector<int> rows;
  ASSERT_TRUE(t.rowsSetSince(v, rows));
  EXPECT_TRUE(rows.empty());
  t.setCell(2, 1, QStringLiteral("別類"));
  t.setCell(2, 1, QStringLiteral("別類"));  // the same text: nothing set
  const int added = t.append(QStringLiteral("d"));
  t.setCell(added, 2, QStringLiteral("9"));
  t.setKey(1, QStringLiteral("z"));
  ASSERT_TRUE(t.rowsSetSince(v, rows));
  EXPECT_EQ(rows, (std::vector<int>{2, 4, 1}));
  rows.clear();
  const uint64_t w = t.version();
  t.setCell(3, 2, QStringLiteral("8"));
  ASSERT_TRUE(t.rowsSetSince(w, rows));
  EXPECT_EQ(rows, std::vector<int>{3});

  // Rows removed or reordered, a copy, a file read in: from then on only.
  const std::vector<std::pair<const char*, std::function<void(Table&)>>> breaks = {
      {"remove", [](Table& x) { x.remove(1); }},
      {"reorder", [](Table& x) { x.reorder({3, 2, 1, 4}); }},
      {"clear", [](Table& x) { x.clear(); }},
      {"assign", [](Table& x) { x = threeRows(); }},
      {"load", [](Table& x) {
         const QByteArray bytes = QByteArrayLiteral("\"k\",\"1\",\"2\"\r\n");
         TableLoad::appendRows(x, parseTableBytes(bytes.constData(), static_cast<size_t>(bytes.size()), 3));
       }},
  };
  for (const auto& [what, change] : breaks) {
    Table x = t;
    const uint64_t before = x.version();
    ASSERT_TRUE(x.rowsSetSince(before, rows)) << what;
    change(x);
    EXPECT_FALSE(x.rowsSetSince(before, rows)) << what;
    rows.clear();
    EXPECT_TRUE(x.rowsSetSince(x.version(), rows)) << what;
    EXPECT_TRUE(rows.empty()) << what;
  }
  // Too many cells set to keep them all.
  Table many = threeRows();
  const uint64_t start = many.version();
  for (int i = 0; i < 70000; ++i) many.setCell(1 + i % 3, 2, QString::number(i));
  EXPECT_FALSE(many.rowsSetSince(start, rows));
}

// Rows removed, set and added in any mix since a version: which rows of
// then are gone, and which rows now were set, as a kept result needs them.
TEST(Table, ChangesSinceAVersionAcrossRemovedRows) {
  std::mt19937 rng(5);
  Table t(2);  // cell 1: a value; cell 2: the row's own tag
  int tags = 0;
  const auto addRow = [&] {
    const int r = t.append(QStringLiteral("k"));
    t.setCell(r, 1, QStringLiteral("v"));
    t.setCell(r, 2, QString::number(++tags));
  };
  for (int i = 0; i < 40; ++i) addRow();
  for (int round = 0; round < 60; ++round) {
    const uint64_t v = t.version();
    std::vector<std::pair<QString, QString>> then;  // (tag, value) of each row
    for (int r = 1; r <= t.count(); ++r) then.emplace_back(t.cell(r, 2), t.cell(r, 1));
    for (int step = static_cast<int>(rng() % 6); step >= 0; --step) {
      const int n = t.count();
      switch (rng() % 4) {
        case 0:
          if (n) t.setCell(1 + static_cast<int>(rng() % n), 1, QString::number(rng() % 5));
          break;
        case 1:
          addRow();
          break;
        case 2:
          if (n) t.remove(1 + static_cast<int>(rng() % n));
          break;
        default: {
          std::vector<int> rows;  // repeats and rows out of range too
          for (int k = static_cast<int>(rng() % 4); k >= 0; --k) rows.push_back(static_cast<int>(rng() % (n + 3)));
          t.removeRows(rows);
        }
      }
    }
    std::vector<int> removed, set;
    ASSERT_TRUE(t.changesSince(v, static_cast<int>(then.size()), removed, set)) << round;
    std::vector<int> gone;
    std::vector<std::pair<QString, QString>> stayed;
    for (size_t i = 0; i < then.size(); ++i) {
      bool found = false;
      for (int r = 1; r <= t.count() && !found; ++r) found = t.cell(r, 2) == then[i].first;
      if (found) stayed.push_back(then[i]);
      else gone.push_back(static_cast<int>(i) + 1);
    }
    EXPECT_EQ(removed, gone) << round;
    // The rows of then that stay come first, in their order; every one of
    // them whose value changed is among the rows set.
    ASSERT_GE(t.count(), static_cast<int>(stayed.size()));
    for (size_t i = 0; i < stayed.size(); ++i) {
      const int r = static_cast<int>(i) + 1;
      ASSERT_EQ(t.cell(r, 2), stayed[i].first) << round;
      if (t.cell(r, 1) != stayed[i].second) {
        EXPECT_NE(std::find(set.begin(), set.end(), r), set.end()) << round << " row " << r;
      }
    }
    for (const int r : set) EXPECT_TRUE(r >= 1 && r <= t.count()) << round;
  }
  // A reorder cannot be told.
  const uint64_t v = t.version();
  std::vector<int> order(static_cast<size_t>(t.count()));
  for (int r = 1; r <= t.count(); ++r) order[static_cast<size_t>(r - 1)] = t.count() + 1 - r;
  t.reorder(order);
  std::vector<int> removed, set;
  EXPECT_FALSE(t.changesSince(v, t.count(), removed, set));
}
