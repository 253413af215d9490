#include <gtest/gtest.h>

#include <QHash>
#include <algorithm>
#include <random>

#include "../reports/ReportsFixture.h"
#include "TestDir.h"
#include "models/ProductList.h"
#include "models/SalesRanking.h"
#include "platform/Numbers.h"
#include "store/CsvFile.h"
#include "store/Decimal.h"

namespace {

struct Line {
  const char* name;
  const char* category;
  const char* price;
  const char* cost;
  const char* qty;
};

// One order of 2024/05/10 holding the lines, in this order.
Database withLines(std::initializer_list<Line> lines) {
  Database db;
  addOrder(db, {"1", "2024/05/10"});
  for (const Line& l : lines) addLine(db, {"1", l.name, l.category, l.price, l.cost, l.qty});
  return db;
}

SalesRanking::Filter all() { return {}; }

}  // namespace

// How lines of one product merge into ranked rows.
TEST(SalesRanking, MergeTable) {
  const struct {
    const char* what;
    Database db;
    std::vector<QStringList> expected;
  } cases[] = {
      {"positive first takes every later line",
       withLines({{"P", "a", "10", "6", "2"}, {"Q", "a", "5", "1", "1"}, {"P", "a", "12", "6", "3"}}),
       {{"P", "a", "5", "56", "30"}, {"Q", "a", "1", "5", "1"}}},
      {"earlier lines of 0 or less stay apart; rows of 0 go",
       withLines({{"P", "a", "10", "1", "-1"}, {"P", "a", "10", "1", "0"}, {"P", "a", "10", "1", "2"}, {"P", "a", "10", "1", "-4"}}),
       // negatives after the rest, in the descending text order of their keys
       {{"P", "a", "-2", "-20", "-2"}, {"P", "a", "-1", "-10", "-1"}}},
      {"a product adding up to 0 has no row", withLines({{"P", "a", "10", "1", "2"}, {"P", "a", "10", "1", "-2"}}), {}},
      {"one product in two categories gives two rows",
       withLines({{"P", "a", "1", "1", "1"}, {"P", "b", "1", "1", "4"}}),
       {{"P", "b", "4", "4", "4"}, {"P", "a", "1", "1", "1"}}},
      {"whole quantities rounded half away from zero, money exact",
       withLines({{"P", "a", "1.1", "0.1", "2.5"}, {"R", "a", "0.1", "0", "0.1"}, {"R", "a", "0.2", "0", "0.2"},
                  {"S", "a", "1", "1", "-0.5"}}),
       {{"P", "a", "3", "2.75", "0.25"}, {"R", "a", "0", "0.05", "0"}, {"S", "a", "-1", "-0.5", "-0.5"}}},
      {"keys of more than ten digits rank by their text",
       withLines({{"Q", "a", "1", "0", "12345678901"}, {"P", "a", "1", "0", "9999999999"}, {"R", "a", "1", "0", "-5"}}),
       {{"P", "a", "9999999999", "9999999999", "0"}, {"Q", "a", "12345678901", "12345678901", "0"},
        {"R", "a", "-5", "-5", "0"}}},
      {"running sums keep 15 significant digits",
       withLines({{"P", "a", "1234567890.12345", "0", "1"}, {"P", "a", "0.000004", "0", "1"},
                  {"P", "a", "0.000004", "0", "1"}, {"P", "a", "0.000004", "0", "1"}}),
       {{"P", "a", "4", "1234567890.12345", "0"}}},
  };
  for (const auto& c : cases) EXPECT_EQ(SalesRanking::ManufTopShow(c.db, all()).products.rows(), c.expected) << c.what;

  // The ranking window stays open while orders change: its rows hold their texts.
  Database db = withLines({{"P", "a", "10", "6", "2"}, {"Q", "a", "5", "1", "1"}});
  const SalesRanking::RankedRows rows = SalesRanking::ManufTopShow(db, all()).products;
  const auto source = rows.source();
  db.Stock.remove(1);
  db.Stock.setCell(1, StockCell::LineName, "Z");
  EXPECT_EQ(rows.rows(), (std::vector<QStringList>{{"P", "a", "2", "20", "12"}, {"Q", "a", "1", "5", "1"}}));
  EXPECT_EQ(source->text(1, SalesRanking::Name), "Q");
}

// The ranking of a long book equals the plain one-pass merge and sort,
// whatever the lines hold and however many threads share the work.
TEST(SalesRanking, LongBookRanksAsOnePass) {
  Database db;
  addOrder(db, {"1", "2024/05/10"});
  std::mt19937 rng(11);
  const QStringList qtys = {"1", "2", "3", "0", "-1", "2.5", "", "x", "1.000001", " 4"};
  // Keys of more than ten digits stand by their text: 12345678902 below 9999999999.
  const QStringList huge = {"10000000000000", "12345678901.5", "-98765432109", "9999999999"};
  const QStringList prices = {"10", "0.1", "1234567890.12345", "99.99", "", "-5", "3e2"};
  for (int i = 0; i < 140000; ++i) {
    const int p = static_cast<int>(rng() % 3000);
    addLine(db, {"1", QStringLiteral("品%1").arg(p % 1000), QStringLiteral("類%1").arg(p / 1000),
                 prices[static_cast<int>(rng() % prices.size())], prices[static_cast<int>(rng() % prices.size())],
                 rng() % 400 ? qtys[static_cast<int>(rng() % qtys.size())] : huge[static_cast<int>(rng() % huge.size())]});
  }
  const std::vector<QStringList> expected = plainRanking(db, all()).products;
  ASSERT_GT(expected.size(), 3000u);
  EXPECT_EQ(SalesRanking::ManufTopShow(db, all()).products.rows(), expected);
}

TEST(SalesRanking, CategoryRankingAndShares) {
  Database db = withLines({{"P", "a", "1", "1", "1"}, {"Q", "b", "1", "1", "2"}, {"R", "a", "1", "1", "2"},
                           {"T", "總計", "1", "1", "3"}});
  const auto r = SalesRanking::ManufTopShow(db, all());
  // Categories stand as their first product does (T, Q, R, P), then rank;
  // a category named like the total row gets no share.
  EXPECT_EQ(r.categories, (std::vector<QStringList>{
                              {"總計", "3", ""}, {"a", "3", "37.5%"}, {"b", "2", "25.0%"}, {"總計", "8", ""}}));

  // A total of 0 or less writes no shares; no row at all leaves both lists empty.
  db = withLines({{"P", "a", "1", "1", "2"}, {"Q", "b", "1", "1", "-2"}});
  EXPECT_EQ(SalesRanking::ManufTopShow(db, all()).categories,
            (std::vector<QStringList>{{"a", "2", ""}, {"b", "-2", ""}, {"總計", "0", ""}}));
  db = withLines({{"P", "a", "1", "1", "0"}});
  const auto empty = SalesRanking::ManufTopShow(db, all());
  EXPECT_TRUE(empty.products.empty());
  EXPECT_TRUE(empty.categories.empty());
  EXPECT_EQ(SalesRanking::shareText(1, 3), "33.3%");
  EXPECT_EQ(SalesRanking::shareText(3, 3), "100.0%");
}

TEST(SalesRanking, PeriodAndCategorySelection) {
  Database db;
  const char* dates[] = {"2023/12/31", "2024/01/01", "2024/01/31", "2024/02/01", "2024/12/31", "2025/01/01"};
  int n = 0;
  for (const char* d : dates) {
    const QString no = QString::number(++n);
    addOrder(db, {no, d});
    addLine(db, {no, "P" + no, n % 2 ? "a" : "b", "1", "1", "1"});
  }
  addLine(db, {"99", "gone", "a", "1", "1", "1"});  // its order is gone
  auto lines = [&](const char* year, const char* period, const char* category = "全部") {
    std::vector<int> out = SalesRanking::selectLines(db, {year, period, category});
    return out;
  };
  EXPECT_EQ(lines("2024", "全部"), (std::vector<int>{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(lines("2024", "整年"), (std::vector<int>{2, 3, 4, 5}));
  EXPECT_EQ(lines("2024", "01月"), (std::vector<int>{2, 3}));
  EXPECT_EQ(lines("2024", "12月"), (std::vector<int>{5}));
  EXPECT_EQ(lines("2025", "01月"), (std::vector<int>{6}));
  EXPECT_EQ(lines("", "整年"), std::vector<int>{});
  EXPECT_EQ(lines(" 2024", "整年"), std::vector<int>{});
  EXPECT_EQ(lines("2024", "整年", "a"), (std::vector<int>{3, 5}));
  EXPECT_EQ(lines("2024", "全部", "未分類"), std::vector<int>{});
}

TEST(SalesRanking, ManufCountSumsEveryLineOfTheProduct) {
  Database db = withLines({{"P", "a", "1", "1", "-1"}, {"P", "a", "1", "1", "2"}, {"P", "a", "1", "1", "1.5"},
                           {"P", "b", "1", "1", "7"}});
  EXPECT_EQ(SalesRanking::ManufCount(db, all(), "P", "a"), 2);  // 2.5 to the even neighbour
  EXPECT_EQ(SalesRanking::ManufCount(db, all(), "P", "b"), 7);
  EXPECT_EQ(SalesRanking::ManufCount(db, all(), "Z", "a"), 0);
  SalesRanking::Filter other;
  other.period = "整年";
  other.year = "2023";
  EXPECT_EQ(SalesRanking::ManufCount(db, other, "P", "b"), 0);
  db = withLines({{"P", "a", "1", "1", "3000000000"}});
  EXPECT_EQ(SalesRanking::ManufCount(db, all(), "P", "a"), std::nullopt);
}

// The bytes of both export files for a small ranking.
TEST(SalesRanking, CsvBytes) {
  Database db = withLines({{"筆,記本", "文具", "35", "20", "3"}, {"髮夾\r\n大", "飾品", "12.5", "5", "2"}});
  const auto r = SalesRanking::ManufTopShow(db, all());
  TestDir dir;
  ASSERT_TRUE(Csv::writeFile(dir.file("p.csv"), SalesRanking::csvText(r.products.rows())));
  ASSERT_TRUE(Csv::writeFile(dir.file("c.csv"), SalesRanking::csvText(r.categories)));
  EXPECT_EQ(dir.get("p.csv"), big5("\"筆,記本\",文具,3,105,60\r\n髮夾大,飾品,2,25,10\r\n"));
  EXPECT_EQ(dir.get("c.csv"), big5("文具,3,60.0%\r\n飾品,2,40.0%\r\n總計,5,\r\n"));
  EXPECT_EQ(SalesRanking::csvText({}), "");
  EXPECT_EQ(SalesRanking::exportFileName("2023", "05月", true), "2023年05月分類排行");
  EXPECT_EQ(SalesRanking::exportFileName("2024", "整年", false), "2024年整年商品排行");
}

TEST(SalesRanking, ProductDataAndProductWindowRows) {
  Database db;
  const int p = db.Manuf.append("P");
  for (int c = 1; c <= 7; ++c) db.Manuf.setCell(p, c, QString::number(c));
  db.Manuf.setCell(p, ManufCell::ProductCategory, "a");
  db.Manuf.setCell(p, ManufCell::SafetyStock, "5");
  db.Manuf.setCell(p, ManufCell::ProductStock, "5");
  db.Manuf.append("Q");
  const int p2 = db.Manuf.append("P");
  db.Manuf.setCell(p2, ManufCell::ProductCategory, "a");
  db.Manuf.setCell(p2, ManufCell::SafetyStock, "5");
  db.Manuf.setCell(p2, ManufCell::ProductStock, "4");
  EXPECT_EQ(SalesRanking::productRows(db.Manuf, "P", "a"), (std::vector<int>{1, 3}));
  EXPECT_EQ(SalesRanking::productDataText(db.Manuf, 1),
            "名稱：P\n分類：a\n售價：2\n成本：3\n庫存：5\n備註：5\n安全存量：5");

  ProductList::Options view;
  auto rows = SalesRanking::productWindowRows(db.Manuf, {1, 3}, view);
  EXPECT_EQ(rows.rows[0], (QStringList{"P", "a", "2", "3", "5", "5", "5", "7", "1"}));
  EXPECT_EQ(rows.redRows, std::vector<int>{1});  // stock 4 under 5; stock 5 is not
  view.showPrice = false;
  view.showStock = false;  // an empty stock cell counts 0: both red
  rows = SalesRanking::productWindowRows(db.Manuf, {1, 3}, view);
  EXPECT_EQ(rows.rows[0][ProductList::Price], "");
  EXPECT_EQ(rows.redRows, (std::vector<int>{0, 1}));
  view.safeRed = false;
  EXPECT_TRUE(SalesRanking::productWindowRows(db.Manuf, {1, 3}, view).redRows.empty());
}
