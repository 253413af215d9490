// The figures kept between reports, brought up to date after every kind of
// change, compared with figures made anew; and the sales ranking, the
// products-in-orders list and its search on the benchmarks' synthetic book
// at a small scale, compared with the reports worked out plainly from the
// cells, before and after orders were edited, added and deleted.
#include <gtest/gtest.h>

#include <random>

#include "../reports/ReportsFixture.h"
#include "SyntheticDatabase.h"
#include "models/LineFigures.h"

namespace {

const QStringList kQtys = {"1", "2", "3", "0", "-1", "2.5", "", "x", "1.0000001", " 4", "1e2", "99999999999"};
const QStringList kPrices = {"10", "0.1", "1234567890.12345", "99.99", "", "-5", "35", "12.5"};

QString pick(std::mt19937& rng, const QStringList& from) { return from[static_cast<int>(rng() % from.size())]; }

void addRandomLine(Database& db, std::mt19937& rng, const QString& no) {
  addLine(db, {no, QStringLiteral("品%1").arg(rng() % 40), QStringLiteral("類%1").arg(rng() % 4), pick(rng, kPrices),
               pick(rng, kPrices), pick(rng, kQtys)});
}

QString someNumber(std::mt19937& rng, int orders) { return QString::number(1000 + rng() % (orders + 5)); }

void expectSameFigures(const LineFigures& kept, const LineFigures& made, const char* what) {
  ASSERT_EQ(kept.lineCount(), made.lineCount()) << what;
  const LineFigures::Joins& joins = *kept.joins();
  ASSERT_EQ(joins.size(), static_cast<size_t>(kept.lineCount())) << what;
  for (int l = 1; l <= kept.lineCount(); ++l) {
    const LineFigures::Line& a = kept.line(l);
    const LineFigures::Line& b = made.line(l);
    EXPECT_EQ(a.order, b.order) << what << " line " << l;
    EXPECT_EQ(joins[static_cast<size_t>(l - 1)], b.order) << what << " line " << l;
    EXPECT_EQ(a.place, b.place) << what << " line " << l;
    EXPECT_EQ(a.exact, b.exact) << what << " line " << l;
    if (b.exact) {
      EXPECT_EQ(a.qty, b.qty) << what << " line " << l;
      EXPECT_EQ(a.sales, b.sales) << what << " line " << l;
      EXPECT_EQ(a.cost, b.cost) << what << " line " << l;
    }
    const LineFigures::Product& p = kept.product(a.product);
    EXPECT_EQ(p.name, made.product(b.product).name) << what << " line " << l;
    EXPECT_EQ(p.category, made.product(b.product).category) << what << " line " << l;
    EXPECT_EQ(p.categoryNumber, kept.categoryNumber(p.category)) << what << " line " << l;
  }
}

}  // namespace

// Lines and orders set, added and removed in every mix (also an order
// number changed, the tables reordered, lines whose order comes later):
// the kept figures equal figures made anew after each round.
TEST(LineFigures, KeptFiguresFollowEveryKindOfChange) {
  std::mt19937 rng(7);
  Database db;
  int orders = 0;
  const auto addRandomOrder = [&](const QString& no) {
    const char* amounts[] = {"", "", "100 3", "-30 2", "50", "10 0"};
    addOrder(db, {no, "2024/05/10", "a", "露天拍賣", "0", "0", "未匯款", "未出貨", "", "0", "0",
                  rng() % 3 ? "" : "95", amounts[rng() % 6]});
  };
  for (; orders < 60; ++orders) addRandomOrder(QString::number(1000 + orders));
  for (int i = 0; i < 200; ++i) addRandomLine(db, rng, someNumber(rng, orders));
  expectSameFigures(*LineFigures::of(db), *LineFigures::madeAnew(db), "made");

  for (int round = 0; round < 80; ++round) {
    for (int step = static_cast<int>(rng() % 5); step >= 0; --step) {
      const int lines = db.Stock.count();
      switch (rng() % 10) {
        case 0:  // a line's figures or product changed in place
          if (lines) {
            const int l = 1 + static_cast<int>(rng() % lines);
            const int cell = 1 + static_cast<int>(rng() % 5);
            db.Stock.setCell(l, cell, cell <= 2 ? QStringLiteral("品%1").arg(rng() % 40) : pick(rng, kQtys));
          }
          break;
        case 1:  // a line moved to another number
          if (lines) db.Stock.setKey(1 + static_cast<int>(rng() % lines), someNumber(rng, orders));
          break;
        case 2:  // an order edited: its lines removed and added again
        case 3: {
          const QString no = someNumber(rng, orders);
          std::vector<int> run;
          for (int l = 1; l <= lines; ++l)
            if (db.Stock.key(l) == no) run.push_back(l);
          db.Stock.removeRows(run);
          for (int k = static_cast<int>(rng() % 4); k > 0; --k) addRandomLine(db, rng, no);
          break;
        }
        case 4:  // a new order, sometimes of a number some lines had without one
          addRandomOrder(QString::number(1000 + orders++));
          if (rng() % 2) addRandomLine(db, rng, QString::number(1000 + orders - 1));
          break;
        case 5:  // an order's cells set, now and then its number
          if (db.Order.count()) {
            const int o = 1 + static_cast<int>(rng() % db.Order.count());
            if (rng() % 4) db.Order.setCell(o, OrderCell::DiscountAmount, "20 3");
            else db.Order.setKey(o, someNumber(rng, orders));
          }
          break;
        case 6:  // orders deleted with their lines
          if (db.Order.count()) {
            const int o = 1 + static_cast<int>(rng() % db.Order.count());
            const QString no = db.Order.key(o);
            std::vector<int> run;
            for (int l = 1; l <= lines; ++l)
              if (db.Stock.key(l) == no) run.push_back(l);
            db.Stock.removeRows(run);
            db.Order.remove(o);
          }
          break;
        case 7:
          if (rng() % 8 == 0) db.Stock.sortBy(StockCell::LineOrderNo);
          break;
        case 8:  // a few lines removed, the others of their orders stay
          if (lines) db.Stock.removeRows({1 + static_cast<int>(rng() % lines), 1 + static_cast<int>(rng() % lines)});
          break;
        default:
          addRandomLine(db, rng, someNumber(rng, orders));
      }
    }
    expectSameFigures(*LineFigures::of(db), *LineFigures::madeAnew(db), QByteArray::number(round).constData());
  }
}

namespace {

// The synthetic book with every kind of discount, a number used twice, a
// line without an order and lines whose cells are no plain numbers.
void vary(Database& db) {
  std::mt19937 rng(3);
  const char* percents[] = {"", "", "", "95", "90"};
  const char* amounts[] = {"", "", "", "100 3", "-30 3", "50 x", "0 3", "10 0", "100 7"};
  for (int r = 1; r <= db.Order.count(); ++r) {
    db.Order.setCell(r, OrderCell::DiscountPercent, QString::fromUtf8(percents[rng() % 5]));
    db.Order.setCell(r, OrderCell::DiscountAmount, QString::fromUtf8(amounts[rng() % 9]));
    if (rng() % 5 == 0) db.Order.setCell(r, OrderCell::ShippingState, QStringLiteral("寄宅配 未出貨"));
  }
  const char* odd[] = {" 4", "2.5", "1.0000001", "123456789012345678901234", "0.000001"};
  const int cells[] = {StockCell::LinePrice, StockCell::LineCost, StockCell::LineQty};
  for (int l = 1; l <= db.Stock.count(); l += 97) {
    const int cell = cells[rng() % 3];
    db.Stock.setCell(l, cell, QString::fromUtf8(odd[rng() % (cell == StockCell::LineQty ? 3 : 5)]));
  }
  const int twice = db.Order.append(db.Order.key(5));
  for (int c = 1; c <= OrderCell::Count; ++c) db.Order.setCell(twice, c, db.Order.cell(5, c));
  db.Order.setCell(twice, OrderCell::BuyerCategory, QStringLiteral("Yahoo拍賣"));
  db.Order.setCell(5, OrderCell::BuyerCategory, QStringLiteral("蝦皮拍賣"));
  addLine(db, {"no such order", "品", "分類1", "1", "1", "1"});
}

// Every row, read first to last or last to first.
std::vector<QStringList> allRows(const StockList::ListedRows& rows, bool backwards = false) {
  std::vector<QStringList> out(rows.size());
  for (size_t k = 0; k < rows.size(); ++k) {
    const size_t i = backwards ? rows.size() - 1 - k : k;
    out[i] = rows[i];
  }
  return out;
}

void expectReportsAsPlain(const Database& db, const char* when) {
  for (const char* period : {"全部", "整年"})
    for (const char* category : {"全部", "分類3", "未分類"}) {
      const SalesRanking::Filter f{QStringLiteral("2021"), QString::fromUtf8(period), QString::fromUtf8(category)};
      const SalesRanking::Ranking r = SalesRanking::ManufTopShow(db, f);
      const PlainRanking plain = plainRanking(db, f);
      EXPECT_EQ(r.products.rows(), plain.products) << when << " " << period << " " << category;
      EXPECT_EQ(r.categories, plain.categories) << when << " " << period << " " << category;
    }
  for (const char* customers : {"全部", "蝦皮拍賣", "Yahoo拍賣"})
    for (const auto& [unshipped, shipped] : {std::pair{true, false}, std::pair{false, true}})
      for (const char* products : {"全部", "分類7"}) {
        StockList::Filter f;
        f.allCustomers = QString::fromUtf8(customers) == "全部";
        f.customerCategory = QString::fromUtf8(customers);
        f.productCategory = QString::fromUtf8(products);
        f.unshipped = unshipped;
        f.shipped = shipped;
        const StockList::Listing l = StockList::StockShow(db, f);
        const PlainListing plain = plainStockShow(db, f);
        EXPECT_EQ(allRows(l.rows), plain.rows) << when << " " << customers << " " << unshipped << " " << products;
        EXPECT_TRUE(l.totals.qty == plain.totals.qty && l.totals.price == plain.totals.price &&
                    l.totals.cost == plain.totals.cost)
            << when << " " << customers << " " << unshipped << " " << products << ": "
            << StockList::StockTotalsText(0, l.totals, true, true).toStdString() << " / "
            << StockList::StockTotalsText(0, plain.totals, true, true).toStdString();
      }
  // The search: every shipped line of a product name, whatever the customer.
  StockList::SearchBoxes b;
  b.productName = QStringLiteral("茶杯");
  b.shipped = true;
  StockList::Filter shipped;
  shipped.unshipped = false;
  shipped.shipped = true;
  const PlainListing plain = plainStockShow(db, shipped, [&](int line) {
    return db.Stock.cell(line, StockCell::LineName).contains(QStringLiteral("茶杯"));
  });
  const StockList::Listing found = StockList::StockSearch(db, b);
  EXPECT_EQ(allRows(found.rows, true), plain.rows) << when;
  EXPECT_TRUE(found.totals.qty == plain.totals.qty && found.totals.price == plain.totals.price &&
              found.totals.cost == plain.totals.cost)
      << when;
}

}  // namespace

TEST(LineFigures, ReportsOnTheSyntheticBookAsPlainAlsoAfterEdits) {
  Database db;
  buildSyntheticDatabase(db, SyntheticSize().scaled(0.03));
  vary(db);
  expectReportsAsPlain(db, "first");
  expectReportsAsPlain(db, "again");  // the kept figures

  // An order edited as the editor saves it: its lines removed, new ones
  // added at the end, its discount changed.
  const QString edited = db.Order.key(40);
  std::vector<int> run;
  for (int l = 1; l <= db.Stock.count(); ++l)
    if (db.Stock.key(l) == edited) run.push_back(l);
  db.Stock.removeRows(run);
  addLine(db, {edited, "復古茶杯1", "分類1", "350", "120.5", "2"});
  addLine(db, {edited, "手工茶杯2", "分類2", "99.9", "40", "1"});
  db.Order.setCell(40, OrderCell::DiscountAmount, QStringLiteral("100 2"));
  // The first line of an order with an amount removed: the others move up a place.
  for (int o = 1; o <= db.Order.count(); ++o) {
    if (db.Order.cell(o, OrderCell::DiscountAmount) != "100 3") continue;
    for (int l = 1; l <= db.Stock.count(); ++l)
      if (db.Stock.key(l) == db.Order.key(o)) {
        db.Stock.remove(l);
        break;
      }
    break;
  }
  // Lines changed in place.
  db.Stock.setCell(7, StockCell::LineQty, QStringLiteral("5"));
  db.Stock.setCell(8, StockCell::LineName, QStringLiteral("陶瓷茶杯"));
  expectReportsAsPlain(db, "after lines were edited");
  expectSameFigures(*LineFigures::of(db), *LineFigures::madeAnew(db), "after lines were edited");

  // A new order with its lines, an order deleted.
  const int added = addOrder(db, {"9912000001", "2021/06/01", "buyer1", "露天拍賣", "60", "0", "未匯款", "寄郵局 2021/06/02",
                                  "", "0", "0", "95", "100 3"});
  for (int k = 0; k < 3; ++k) addLine(db, {db.Order.key(added), "玻璃茶杯", "分類3", "250", "100", "1"});
  const QString gone = db.Order.key(60);
  run.clear();
  for (int l = 1; l <= db.Stock.count(); ++l)
    if (db.Stock.key(l) == gone) run.push_back(l);
  db.Stock.removeRows(run);
  db.Order.remove(60);
  expectReportsAsPlain(db, "after orders were added and deleted");
  expectSameFigures(*LineFigures::of(db), *LineFigures::madeAnew(db), "after orders were added and deleted");
}
