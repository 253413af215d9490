#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "models/OrderRowIndex.h"
#include "store/Table.h"

namespace {

// Every row of each number, in row order, by a plain scan.
QHash<QString, std::vector<int>> rowsByNumber(const Table& t) {
  QHash<QString, std::vector<int>> out;
  for (int r = 1; r <= t.count(); ++r) out[t.key(r)].push_back(r);
  return out;
}

std::vector<int> chain(const OrderRowIndex& index, const QString& no, OrderRowIndex::Hint& hint) {
  std::vector<int> out;
  for (int r = index.first(no, hint); r; r = index.next(r)) out.push_back(r);
  return out;
}

}  // namespace

// Sorted tables are searched in place, others through a hash; both give
// every row of a number in row order, starting with the first.
TEST(OrderRowIndex, FindsTheRowsOfANumberWhateverTheOrder) {
  std::mt19937 rng(7);
  std::vector<QString> keys;
  for (int i = 0; i < 8000; ++i) {
    keys.push_back(QStringLiteral("24%1").arg(i, 6, 10, QLatin1Char('0')));
    if (i % 97 == 0) keys.push_back(keys.back());  // a number twice
  }
  for (bool sorted : {true, false}) {
    std::vector<QString> order = keys;
    if (!sorted) std::shuffle(order.begin(), order.end(), rng);
    Table t(1);
    for (const QString& k : order) t.append(k);
    const OrderRowIndex index(t);
    const auto expected = rowsByNumber(t);
    auto rowsOf = [&](const Table&, const QString& no) { return expected.value(no); };
    EXPECT_EQ(index.searchesInPlace(), sorted);
    OrderRowIndex::Hint hint;
    // Lines in runs of one order, a jump back, numbers that are not there.
    std::vector<QString> lines;
    for (int i = 0; i < 3000; ++i) lines.push_back(keys[static_cast<size_t>(i / 3 * 5)]);
    lines.push_back(keys[10]);
    lines.push_back(QStringLiteral("24999999"));
    lines.push_back(QStringLiteral("0"));
    lines.push_back(QString());
    lines.push_back(keys[97]);
    // A search that skips lines: small and large steps forward and back.
    for (int i = 0; i < 8000; i += 1 + i % 13) lines.push_back(keys[static_cast<size_t>(i)]);
    for (int i = 7999; i >= 0; i -= 1 + i % 211) lines.push_back(keys[static_cast<size_t>(i)]);
    lines.push_back(keys.back());
    lines.push_back(keys.front());
    lines.push_back(QStringLiteral("24003000x"));  // between two numbers
    for (const QString& no : lines) ASSERT_EQ(chain(index, no, hint), rowsOf(t, no)) << no.toStdString() << sorted;
    // A test on the row picks the first row of the number that passes it.
    const QString twice = keys[0];
    const std::vector<int> both = rowsOf(t, twice);
    ASSERT_EQ(both.size(), 2u);
    EXPECT_EQ(index.firstWhere(twice, hint, [&](int r) { return r == both[1]; }), both[1]);
    EXPECT_EQ(index.firstWhere(twice, hint, [](int) { return false; }), 0);
  }
  Table empty(1);
  EXPECT_EQ(OrderRowIndex(empty).first(QStringLiteral("1")), 0);
}

TEST(OrderRowIndex, SlicesCollectInRowOrder) {
  const auto rows = collectInSlices<int>(100000, [](int row, OrderRowIndex::Hint&, std::vector<int>& out) {
    if (row % 7 == 0) out.push_back(row);
  });
  ASSERT_EQ(rows.size(), 100000u / 7);
  EXPECT_TRUE(std::is_sorted(rows.begin(), rows.end()));
  const auto marks = markRows(50000, [](int row) { return row % 3 == 0; });
  EXPECT_EQ(std::count(marks.begin(), marks.end(), 1), 50000 / 3);
  EXPECT_EQ(marks[3], 1);
  EXPECT_EQ(marks[0], 0);
}
