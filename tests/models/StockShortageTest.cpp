#include <gtest/gtest.h>

#include "models/StockShortage.h"
#include "store/Database.h"

namespace {

const QString kUnshipped = QStringLiteral("未出貨");
const QString kShort = QStringLiteral("缺貨");

int addOrder(Database& db, const QString& no, const QString& shippingState) {
  const int r = db.Order.append(no);
  db.Order.setCell(r, OrderCell::ShippingState, shippingState);
  return r;
}

void addLine(Database& db, const QString& no, const QString& name, const QString& qty,
             const QString& category = QStringLiteral("文具")) {
  const int r = db.Stock.append(no);
  db.Stock.setCell(r, StockCell::LineName, name);
  db.Stock.setCell(r, StockCell::LineCategory, category);
  db.Stock.setCell(r, StockCell::LineQty, qty);
}

void addProduct(Database& db, const QString& name, const QString& stock,
                const QString& category = QStringLiteral("文具")) {
  const int r = db.Manuf.append(name);
  db.Manuf.setCell(r, ManufCell::ProductCategory, category);
  db.Manuf.setCell(r, ManufCell::ProductStock, stock);
}

// A row of the order list as the check reads it: number, ship date, Index.
QStringList orderListRow(const QString& no, const QString& shipDate, int index) {
  QStringList cells(13);
  cells[0] = no;
  cells[8] = shipDate;
  cells[12] = QString::number(index);
  return cells;
}

std::vector<QStringList> rows(std::initializer_list<std::array<const char*, 5>> list) {
  std::vector<QStringList> out;
  for (const auto& r : list)
    out.push_back({QString::fromUtf8(r[0]), QString::fromUtf8(r[1]), QString::fromUtf8(r[2]),
                   QString::fromUtf8(r[3]), QString::fromUtf8(r[4])});
  return out;
}

QStringList shipColumn(const std::vector<QStringList>& listRows) {
  QStringList out;
  for (const auto& r : listRows) out << r[8];
  return out;
}

}  // namespace

TEST(StockShortage, WorkedExampleWithRunsOutOfOrderOrder) {
  Database db;
  db.CheckLacks = true;
  addProduct(db, "A", "-3");
  addProduct(db, "B", "5");
  // Order 2 was created first, order 1 later; order 2 was edited last, so
  // its run lies after order 1's in Stock.
  const int o2 = addOrder(db, "2", kUnshipped);
  const int o1 = addOrder(db, "1", QStringLiteral("寄郵局 未出貨"));
  addLine(db, "1", "A", "2");
  addLine(db, "2", "B", "1");
  addLine(db, "2", "A", "2");

  std::vector<QStringList> listRows{orderListRow("2", kUnshipped, o2), orderListRow("1", kUnshipped, o1)};
  const ShortageResult r = CheckStockShortage(db, listRows);
  EXPECT_FALSE(r.failed);
  EXPECT_EQ(r.rows, rows({{"1", "", "A", "2", "1"}, {"2", "", "B", "1", "0"}, {"2", "", "A", "2", "2"}}));
  EXPECT_EQ(shipColumn(listRows), (QStringList{kShort, kShort}));
}

TEST(StockShortage, ProductChargedAcrossSeveralOrders) {
  Database db;
  db.CheckLacks = true;
  addProduct(db, "Pen", "-5");
  const int o10 = addOrder(db, "10", kUnshipped);
  const int o11 = addOrder(db, "11", kUnshipped);
  addOrder(db, "12", QStringLiteral("寄宅配 未出貨"));  // not listed: still takes its share
  const int o13 = addOrder(db, "13", QStringLiteral("寄郵局 2024/01/02"));
  addLine(db, "11", "Pen", "2");
  addLine(db, "11", "Pen", "0");  // a line of quantity 0 leaves the deficit alone
  addLine(db, "12", "Pen", "2");
  addLine(db, "13", "Pen", "4");  // shipped: no rows
  addLine(db, "10", "Ink", "1");  // order 10 was edited last: its run is at the end
  addLine(db, "10", "Pen", "2");

  std::vector<QStringList> listRows{orderListRow("13", "2024/01/02", o13), orderListRow("11", kShort, o11),
                                    orderListRow("10", kUnshipped, o10)};
  const ShortageResult r = CheckStockShortage(db, listRows);
  EXPECT_EQ(r.rows, rows({{"10", "", "Ink", "1", "0"},
                          {"10", "", "Pen", "2", "1"},
                          {"11", "", "Pen", "2", "2"},
                          {"11", "", "Pen", "0", "0"},
                          {"12", "", "Pen", "2", "2"}}));
  EXPECT_EQ(shipColumn(listRows), (QStringList{"2024/01/02", kShort, kShort}));
}

TEST(StockShortage, AllocationEdgeCases) {
  struct Case {
    const char* what;
    std::vector<std::pair<QString, QString>> products;  // name, stock (category differs per entry)
    std::vector<QString> qty;                           // lines of "X", one order each, ascending
    QStringList expected;                               // ShortageQty per line
  };
  const std::vector<Case> cases = {
      {"deficit equal to the last line stops there", {{"X", "-2"}}, {"2", "2"}, {"0", "2"}},
      {"deficit larger than every line", {{"X", "-9"}}, {"2", "3"}, {"2", "3"}},
      {"decimal quantities", {{"X", "-1.5"}}, {"1", "1"}, {"0.5", "1"}},
      {"stock not negative", {{"X", "0"}}, {"4"}, {"0"}},
      {"same name twice: the later walk charges again", {{"X", "-1"}, {"X", "-3"}}, {"2", "2"}, {"1", "2"}},
  };
  for (const Case& c : cases) {
    Database db;
    db.CheckLacks = true;
    int cat = 0;
    for (const auto& [name, stock] : c.products) addProduct(db, name, stock, QString::number(++cat));
    for (size_t i = 0; i < c.qty.size(); ++i) {
      const QString no = QString::number(100 + i);
      addOrder(db, no, kUnshipped);
      addLine(db, no, "X", c.qty[i]);
    }
    std::vector<QStringList> listRows;
    const ShortageResult r = CheckStockShortage(db, listRows);
    QStringList got;
    for (const auto& row : r.rows) got << row[4];
    EXPECT_EQ(got, c.expected) << c.what;
  }
}

TEST(StockShortage, MarksResetAndOrdering) {
  Database db;
  db.CheckLacks = true;
  addProduct(db, "A", "-1");
  const int shortOrder = addOrder(db, "2", kUnshipped);
  const int coveredOrder = addOrder(db, "1", kUnshipped);
  addLine(db, "2", "A", "1");
  addLine(db, "1", "B", "1");
  // Order 2 listed twice (after a sort, say): only its first row is marked.
  // Order 1 carries an old mark whose shortfall has gone.
  std::vector<QStringList> listRows{orderListRow("1", kShort, coveredOrder), orderListRow("2", kUnshipped, shortOrder),
                                    orderListRow("2", kUnshipped, shortOrder)};
  const ShortageResult r = CheckStockShortage(db, listRows);
  EXPECT_EQ(shipColumn(listRows), (QStringList{kUnshipped, kShort, kUnshipped}));
  // The first order number in text order comes first in the shortage list.
  ASSERT_EQ(r.rows.size(), 2u);
  EXPECT_EQ(r.rows[0][0], "1");
}

TEST(StockShortage, SwitchedOffOrNothingUnshipped) {
  Database db;
  addProduct(db, "A", "-1");
  const int o = addOrder(db, "1", kUnshipped);
  addLine(db, "1", "A", "1");
  std::vector<QStringList> listRows{orderListRow("1", kShort, o)};

  db.CheckLacks = false;  // the shortage list empty, the old mark stays
  ShortageResult r = CheckStockShortage(db, listRows);
  EXPECT_TRUE(r.rows.empty());
  EXPECT_TRUE(r.shipDates.empty());
  EXPECT_EQ(listRows[0][8], kShort);

  db.CheckLacks = true;
  db.Order.setCell(o, OrderCell::ShippingState, QStringLiteral("已出貨"));
  listRows[0][8] = QStringLiteral("已出貨");
  r = CheckStockShortage(db, listRows);
  EXPECT_TRUE(r.rows.empty());
  EXPECT_EQ(listRows[0][8], "已出貨");
}

TEST(StockShortage, StaleIndexFailsAfterBuildingTheList) {
  Database db;
  db.CheckLacks = true;
  addProduct(db, "A", "-1");
  const int o = addOrder(db, "1", kUnshipped);
  addLine(db, "1", "A", "1");
  std::vector<QStringList> listRows{orderListRow("1", kUnshipped, o), orderListRow("9", kUnshipped, 7)};
  const ShortageResult r = CheckStockShortage(db, listRows);
  EXPECT_TRUE(r.failed);
  EXPECT_EQ(r.rows, rows({{"1", "", "A", "1", "1"}}));
  EXPECT_EQ(listRows[0][8], kUnshipped);  // the marks were not reached
}

TEST(StockShortage, UnshippedStateTest) {
  EXPECT_TRUE(isUnshippedState("未出貨"));
  EXPECT_TRUE(isUnshippedState("寄郵局 未出貨"));
  EXPECT_TRUE(isUnshippedState(" 未出貨"));
  EXPECT_TRUE(isUnshippedState("寄郵局 未出貨 x"));
  EXPECT_FALSE(isUnshippedState("寄郵局  未出貨"));  // token 2 is empty
  EXPECT_FALSE(isUnshippedState("寄郵局"));
  EXPECT_FALSE(isUnshippedState(""));
  EXPECT_FALSE(isUnshippedState("寄郵局 2024/01/01"));
}
