#include "printouts/PickingList.h"

#include <gtest/gtest.h>

#include "PrintoutFixture.h"

namespace PickingList {
void PrintTo(const Row& r, std::ostream* os) {
  *os << r.name.toStdString() << "/" << r.category.toStdString() << "/" << r.qty.toStdString() << "/"
      << r.note.toStdString();
}
}  // namespace PickingList

namespace {

using PickingList::Row;

struct PickingListTest : ::testing::Test, PrintoutFixture {
  PickingListTest() {
    db.Stock.clear();
    // Lines of three orders, stored out of order.
    line("A", "Tea", "茶葉", "2", "*2024/03/01 ");
    line("B", "Tea", "茶葉", "3", "");
    line("A", "Cup", "未分類", "1.5", "");
    line("C", "Tea", "禮盒", "02", "");
    line("B", "Cup", "未分類", "1", "");
    line("A", "Tea", "茶葉", "1", "");
  }
  void line(const char* order, const char* name, const char* category, const char* qty, const char* note) {
    addLine({QString::fromLatin1(order), QString::fromUtf8(name), QString::fromUtf8(category), QStringLiteral("1"),
             QString(), QString::fromLatin1(qty), QString::fromUtf8(note)});
  }
  std::vector<QString> orders(std::initializer_list<const char*> n) {
    std::vector<QString> out;
    for (const char* s : n) out.push_back(QString::fromLatin1(s));
    return out;
  }
};


TEST_F(PickingListTest, MergesTheSameProductAcrossOrders) {
  const std::vector<Row> rows = PickingList::merge(db, orders({"A", "B", "C"}), false);
  // In order of first appearance: order A's lines in table order, then B's, then C's.
  EXPECT_EQ(rows, (std::vector<Row>{{QStringLiteral("Tea"), QStringLiteral("茶葉"), QStringLiteral("6"), QString()},
                                    {QStringLiteral("Cup"), QStringLiteral("未分類"), QStringLiteral("2.5"), QString()},
                                    {QStringLiteral("Tea"), QStringLiteral("禮盒"), QStringLiteral("02"), QString()}}));
  EXPECT_EQ(PickingList::totalQty(rows), QStringLiteral("10.5"));
  EXPECT_EQ(PickingList::statusText({}), QStringLiteral("數量總計：0"));
  // Orders not selected give nothing.
  EXPECT_TRUE(PickingList::merge(db, {}, false).empty());
}

TEST_F(PickingListTest, NotesSplitRowsWhenShown) {
  const std::vector<Row> rows = PickingList::merge(db, orders({"A", "B"}), true);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0], (Row{QStringLiteral("Tea"), QStringLiteral("茶葉"), QStringLiteral("2"), QStringLiteral("*2024/03/01 ")}));
  EXPECT_EQ(rows[1], (Row{QStringLiteral("Cup"), QStringLiteral("未分類"), QStringLiteral("2.5"), QString()}));
  EXPECT_EQ(rows[2], (Row{QStringLiteral("Tea"), QStringLiteral("茶葉"), QStringLiteral("4"), QString()}));
}

TEST_F(PickingListTest, CategoryFilter) {
  const std::vector<Row> rows = PickingList::merge(db, orders({"A", "B", "C"}), false);
  const QStringList entries = PickingList::categoryEntries(rows);
  EXPECT_EQ(entries, (QStringList{QStringLiteral("全部"), QStringLiteral("茶葉"), QStringLiteral("禮盒"),
                                  QStringLiteral("未分類")}));
  EXPECT_EQ(PickingList::filtered(rows, 0, entries[0]).size(), 3u);
  const std::vector<Row> none = PickingList::filtered(rows, 3, QStringLiteral("未分類"));
  ASSERT_EQ(none.size(), 1u);
  EXPECT_EQ(none[0].name, QStringLiteral("Cup"));
  EXPECT_EQ(PickingList::statusText(PickingList::filtered(rows, 2, QStringLiteral("禮盒"))),
            QStringLiteral("數量總計：2"));
  // No rows: the filter still reads "全部" and "未分類".
  EXPECT_EQ(PickingList::categoryEntries({}), (QStringList{QStringLiteral("全部"), QStringLiteral("未分類")}));
}

}  // namespace
