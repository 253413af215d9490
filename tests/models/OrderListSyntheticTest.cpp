// The order list built from the tables when it is shown, compared with the
// list as it was built before (every row's texts made at once, then sorted
// by the collation library), on the benchmarks' synthetic database at a
// small scale with every kind of cell mixed in.
#include <QCollator>
#include <QLocale>
#include <QSet>
#include <gtest/gtest.h>

#include <functional>
#include <numeric>
#include <random>

#include "SyntheticDatabase.h"
#include "models/OrderList.h"
#include "models/StockShortage.h"
#include "platform/ListView.h"
#include "platform/Numbers.h"
#include "store/Database.h"

using namespace OrderList;

namespace {

void vary(Database& db) {
  std::mt19937 rng(3);
  const char* pays[] = {"未匯款", "已匯款", "未匯款 已給", "2021/03/04 已給", "", "2021/03/05"};
  const char* ships[] = {"未出貨", "已出貨", "寄宅配 未出貨", "寄郵局 2021/01/02", "寄郵局", " 2021/05/06", ""};
  const char* percents[] = {"", "", "95", "90"};
  const char* amounts[] = {"", "", "30 2", "-25 x", "0"};
  const char* notes[] = {"", "", "請小心包裝,謝謝", "Fragile", "易碎\r\n第二行"};
  for (int r = 1; r <= db.Order.count(); ++r) {
    if (rng() % 3 == 0) db.Order.setCell(r, OrderCell::PaymentState, QString::fromUtf8(pays[rng() % 6]));
    if (rng() % 3 == 0) db.Order.setCell(r, OrderCell::ShippingState, QString::fromUtf8(ships[rng() % 7]));
    db.Order.setCell(r, OrderCell::DiscountPercent, QString::fromUtf8(percents[rng() % 4]));
    db.Order.setCell(r, OrderCell::DiscountAmount, QString::fromUtf8(amounts[rng() % 5]));
    db.Order.setCell(r, OrderCell::OrderNote, QString::fromUtf8(notes[rng() % 5]));
    db.Order.setCell(r, OrderCell::SellerPaysShipping, rng() % 4 == 0 ? QStringLiteral("1") : QStringLiteral("0"));
    if (rng() % 5 == 0) db.Order.setCell(r, OrderCell::ShippingFee, QStringLiteral("65.5"));
  }
  // A customer stored twice and one without a name.
  db.Guest.append(db.Guest.key(1));
  db.Guest.setCell(db.Guest.count(), GuestCell::CustomerCategory, db.Guest.cell(1, GuestCell::CustomerCategory));
  db.Guest.setCell(db.Guest.count(), GuestCell::CustomerNameSex, QStringLiteral("Second"));
  db.Guest.setCell(2, GuestCell::CustomerNameSex, QString());
}

struct OldList {
  std::vector<QStringList> rows;
  std::vector<RowColors> colors;
  OrderTotals totals;
  ShortageResult shortage;
};

// The shortage check written plainly (lines found by walking Stock, each
// short product walking every shortage-list row), on rows held in memory.
ShortageResult plainShortage(const Database& db, std::vector<QStringList>& rows) {
  ShortageResult r;
  QSet<QString> unshipped;
  std::vector<QString> numbers;
  for (int i = 1; i <= db.Order.count(); ++i) {
    if (!isUnshippedState(db.Order.cell(i, OrderCell::ShippingState)) || unshipped.contains(db.Order.key(i))) continue;
    unshipped.insert(db.Order.key(i));
    numbers.push_back(db.Order.key(i));
  }
  std::stable_sort(numbers.begin(), numbers.end(), [](const QString& a, const QString& b) {
    const int c = QString::compare(a, b, Qt::CaseInsensitive);
    return c != 0 ? c < 0 : QString::compare(a, b) < 0;
  });
  for (const QString& no : numbers)
    for (int s = 1; s <= db.Stock.count(); ++s)
      if (db.Stock.key(s) == no)
        r.rows.push_back(
            {no, QString(), db.Stock.cell(s, StockCell::LineName), db.Stock.cell(s, StockCell::LineQty), "0"});
  std::vector<double> shortage(r.rows.size(), 0.0);
  for (int m = 1; m <= db.Manuf.count(); ++m) {
    double d = -Num::leading(db.Manuf.cell(m, ManufCell::ProductStock));
    if (!(d > 0)) continue;
    for (size_t k = r.rows.size(); k-- > 0;) {
      if (r.rows[k][ShortageCol::LineName] != db.Manuf.key(m)) continue;
      const double q = Num::leading(r.rows[k][ShortageCol::LineQty]);
      shortage[k] = std::min(q, d);
      r.rows[k][ShortageCol::ShortageQty] = Num::format(shortage[k]);
      if (q > d) break;
      d -= q;
      if (d == 0) break;
    }
  }
  for (size_t row = 0; row < rows.size(); ++row) {
    if (!isUnshippedState(db.Order.cell(rows[row][OrderListCol::OrderIndex].toInt(), OrderCell::ShippingState))) continue;
    r.shipDates.emplace_back(static_cast<int>(row), UnshippedText);
    rows[row][OrderListCol::ShipDate] = UnshippedText;
  }
  for (size_t k = 0; k < r.rows.size(); ++k) {
    if (!(shortage[k] > 0)) continue;
    for (size_t row = 0; row < rows.size(); ++row) {
      if (rows[row][OrderListCol::OrderNo] != r.rows[k][ShortageCol::OrderNo]) continue;
      if (rows[row][OrderListCol::ShipDate] == UnshippedText) {
        r.shipDates.emplace_back(static_cast<int>(row), ShortageMark);
        rows[row][OrderListCol::ShipDate] = ShortageMark;
      }
      break;
    }
  }
  return r;
}

// The list as it was built: every row's cells made at once, names found by
// walking the customers, totals added order by order.
OldList oldOrderShow(const Database& db, const OrderFilter& f, bool username) {
  OldList out;
  for (int i = 1; i <= db.Order.count(); ++i) {
    if (!f.passes(db.Order, i)) continue;
    out.rows.push_back(orderListRow(db.Order, i));
    out.colors.push_back(orderRowColors(out.rows.back()));
    out.totals.addOrder(db.Order, i);
  }
  if (username) {
    for (QStringList& row : out.rows) {
      for (int g = 1; g <= db.Guest.count(); ++g) {
        if (db.Guest.key(g) != row[OrderListCol::BuyerAccount] ||
            db.Guest.cell(g, GuestCell::CustomerCategory) != row[OrderListCol::BuyerCategory])
          continue;
        const QString name = db.Guest.cell(g, GuestCell::CustomerNameSex).section(QChar(1), 0, 0);
        if (!name.isEmpty()) row[OrderListCol::BuyerAccount] += QStringLiteral(" (") + name + u')';
        break;
      }
    }
  }
  if (f.unshipped) {
    std::vector<QStringList> rows = out.rows;
    out.shortage = plainShortage(db, rows);
    EXPECT_EQ(CheckStockShortage(db, out.rows).shipDates, out.shortage.shipDates);
    EXPECT_EQ(out.rows, rows);  // the marks written into the rows
  }
  return out;
}

OrderFilter filter(const char* category, const char* period, const char* year, bool unshipped, bool shipped) {
  return OrderFilter{QString::fromUtf8(category), QString::fromUtf8(period), QString::fromUtf8(year), unshipped, shipped};
}

// A built list shown in a list view as the main window shows it.
void show(ListView& list, const OrderListResult& r) {
  list.setColumns(orderListCaptions());
  list.setIndexColumn(OrderListCol::OrderIndex);
  list.setRowSource(r.source());
}

}  // namespace

TEST(OrderListSynthetic, SameRowsColoursTotalsAndSortOrderAsBefore) {
  Database db;
  buildSyntheticDatabase(db, SyntheticSize().scaled(0.02));
  vary(db);
  db.CheckLacks = true;
  QCollator collator(QLocale(QLocale::Chinese, QLocale::TraditionalChineseScript, QLocale::Taiwan));
  collator.setCaseSensitivity(Qt::CaseInsensitive);

  const std::vector<std::pair<OrderFilter, bool>> cases = {
      {filter("全部", "全部", "", true, false), false},
      {filter("全部", "全部", "", false, true), true},
      {filter("露天拍賣", "整年", "2020", false, true), false},
      {filter("蝦皮拍賣", "全部", "", true, false), true},
  };
  for (size_t c = 0; c < cases.size(); ++c) {
    const auto& [f, username] = cases[c];
    const OldList old = oldOrderShow(db, f, username);
    const OrderListResult now = OrderShow(db, f, {username, false});
    ASSERT_EQ(now.rows.size(), old.rows.size()) << "case " << c;
    ASSERT_GT(old.rows.size(), 10u) << "case " << c;
    for (size_t i = 0; i < old.rows.size(); ++i) {
      ASSERT_EQ(now.rows[i], old.rows[i]) << "case " << c << " row " << i;
      for (int col = 0; col < OrderListCol::Count; ++col)
        ASSERT_EQ(now.colors[i].color(col), old.colors[i].color(col)) << "case " << c << " row " << i;
    }
    EXPECT_EQ(now.panels.mid(0, 6), moneyPanels(old.totals, {}).mid(0, 6)) << "case " << c;
    EXPECT_EQ(now.shortage.rows, old.shortage.rows) << "case " << c;
    EXPECT_EQ(now.shortage.shipDates, old.shortage.shipDates) << "case " << c;
    if (f.unshipped) {
      EXPECT_GT(old.shortage.rows.size(), 100u) << "case " << c;
      EXPECT_TRUE(std::any_of(old.shortage.shipDates.begin(), old.shortage.shipDates.end(),
                              [](const auto& d) { return d.second == ShortageMark; }))
          << "case " << c;
    }

    // Shown in a list and sorted by every column both ways: the order of
    // a stable sort by the collation library.
    ListView list;
    show(list, now);
    for (int col = 0; col < OrderListCol::Count; ++col) {
      for (Qt::SortOrder order : {Qt::AscendingOrder, Qt::DescendingOrder}) {
        std::vector<int> current(old.rows.size());
        for (int r = 0; r < list.rowCount(); ++r) current[static_cast<size_t>(r)] = list.sourceRow(r);
        // The list sorts the rows as they stand, so the reference does too.
        std::vector<int> ref = current;
        std::stable_sort(ref.begin(), ref.end(), [&](int a, int b) {
          const int v = collator.compare(old.rows[static_cast<size_t>(a)][col], old.rows[static_cast<size_t>(b)][col]);
          return order == Qt::AscendingOrder ? v < 0 : v > 0;
        });
        list.sortRows(col, order);
        for (int r = 0; r < list.rowCount(); ++r) {
          ASSERT_EQ(list.sourceRow(r), ref[static_cast<size_t>(r)]) << "case " << c << " column " << col;
          ASSERT_EQ(list.tableIndex(r), old.rows[static_cast<size_t>(ref[static_cast<size_t>(r)])][OrderListCol::OrderIndex].toInt());
        }
      }
    }
  }
}

// Sorting by customer with names shown, when some orders' accounts have no
// customer: accounts equal to another customer's shown text, sharing its
// beginning, differing only in letter case, empty, or holding characters the
// collation library itself compares. Then again after a customer changed
// while the list stays as it was built.
TEST(OrderListSynthetic, SortByCustomerWithNamesPlacesAccountsWithoutCustomer) {
  Database db;
  buildSyntheticDatabase(db, SyntheticSize().scaled(0.02));
  vary(db);
  const QString shown = db.Guest.key(3) + QStringLiteral(" (") +
                        db.Guest.cell(3, GuestCell::CustomerNameSex).section(QChar(1), 0, 0) + u')';
  const QString accounts[] = {shown,
                              db.Guest.key(5).left(db.Guest.key(5).size() - 1),
                              db.Guest.key(7).toUpper(),
                              QString(),
                              QStringLiteral("買家々"),
                              QStringLiteral("zzz"),
                              QStringLiteral("   "),
                              db.Guest.key(9) + QStringLiteral(" ("),
                              QStringLiteral("Émile")};
  for (int r = 1, k = 0; r <= db.Order.count(); r += 17, ++k)
    db.Order.setCell(r, OrderCell::BuyerAccount, accounts[k % std::size(accounts)]);
  QCollator collator(QLocale(QLocale::Chinese, QLocale::TraditionalChineseScript, QLocale::Taiwan));
  collator.setCaseSensitivity(Qt::CaseInsensitive);

  const OrderListResult now = OrderShow(db, filter("全部", "全部", "", false, true), {true, false});
  ListView list;
  show(list, now);
  const int n = list.rowCount();
  ASSERT_GT(n, 100);
  std::vector<QString> texts(static_cast<size_t>(n));
  for (int r = 0; r < n; ++r) texts[static_cast<size_t>(list.sourceRow(r))] = list.text(r, OrderListCol::BuyerAccount);
  ASSERT_TRUE(std::find(texts.begin(), texts.end(), shown) != texts.end());
  for (const bool customerChanged : {false, true}) {
    if (customerChanged) db.Guest.setCell(11, GuestCell::CustomerNote, QStringLiteral("改過"));
    for (Qt::SortOrder order : {Qt::AscendingOrder, Qt::DescendingOrder, Qt::AscendingOrder}) {
      std::vector<int> ref(static_cast<size_t>(n));
      for (int r = 0; r < n; ++r) ref[static_cast<size_t>(r)] = list.sourceRow(r);
      std::stable_sort(ref.begin(), ref.end(), [&](int a, int b) {
        const int v = collator.compare(texts[static_cast<size_t>(a)], texts[static_cast<size_t>(b)]);
        return order == Qt::AscendingOrder ? v < 0 : v > 0;
      });
      list.sortRows(OrderListCol::BuyerAccount, order);
      for (int r = 0; r < n; ++r)
        ASSERT_EQ(list.sourceRow(r), ref[static_cast<size_t>(r)]) << "row " << r << " changed " << customerChanged;
    }
  }
}

// The orders kept for sorting, brought up to date after orders and
// customers were added or changed, sort as the collation library does.
TEST(OrderListSynthetic, SortsStayRightAfterOrdersAndCustomersChange) {
  Database db;
  buildSyntheticDatabase(db, SyntheticSize().scaled(0.02));
  vary(db);
  QCollator collator(QLocale(QLocale::Chinese, QLocale::TraditionalChineseScript, QLocale::Taiwan));
  collator.setCaseSensitivity(Qt::CaseInsensitive);
  const auto addOrder = [&db](const QString& no, const QString& account, const QString& category) {
    const int r = db.Order.append(no);
    for (int c = 1; c <= OrderCell::Count; ++c) db.Order.setCell(r, c, db.Order.cell(1, c));
    db.Order.setCell(r, OrderCell::BuyerAccount, account);
    db.Order.setCell(r, OrderCell::BuyerCategory, category);
    db.Order.setCell(r, OrderCell::ShippingState, QStringLiteral("已出貨"));
  };
  const std::vector<std::function<void()>> edits = {
      [] {},
      [&] { addOrder(QStringLiteral("0000000001"), db.Guest.key(4), db.Guest.cell(4, GuestCell::CustomerCategory)); },
      [&] {
        const int g = db.Guest.append(QStringLiteral("新買家"));
        db.Guest.setCell(g, GuestCell::CustomerCategory, QStringLiteral("露天拍賣"));
        db.Guest.setCell(g, GuestCell::CustomerNameSex, QStringLiteral("林小華"));
        addOrder(QStringLiteral("9999999999"), QStringLiteral("新買家"), QStringLiteral("露天拍賣"));
      },
      [&] {
        db.Order.setCell(3, OrderCell::BuyerAccount, db.Guest.key(8));
        db.Order.setCell(3, OrderCell::BuyerCategory, db.Guest.cell(8, GuestCell::CustomerCategory));
        db.Order.setKey(5, QStringLiteral("0000000000"));
        db.Guest.setCell(8, GuestCell::CustomerNameSex, QStringLiteral("Aaron"));
      },
      [&] { addOrder(QStringLiteral("5"), QStringLiteral("沒有這位客戶"), QString()); },
  };
  for (size_t e = 0; e < edits.size(); ++e) {
    edits[e]();
    for (const bool names : {true, false}) {
      const OrderListResult now = OrderShow(db, filter("全部", "全部", "", false, true), {names, false});
      ListView list;
      show(list, now);
      const int n = list.rowCount();
      ASSERT_GT(n * 2, db.Order.count());
      for (const int col : {OrderListCol::BuyerAccount, OrderListCol::OrderNo}) {
        std::vector<QString> texts(static_cast<size_t>(n));
        for (int r = 0; r < n; ++r) texts[static_cast<size_t>(list.sourceRow(r))] = list.text(r, col);
        std::vector<int> ref(static_cast<size_t>(n));
        for (int r = 0; r < n; ++r) ref[static_cast<size_t>(r)] = list.sourceRow(r);
        std::stable_sort(ref.begin(), ref.end(), [&](int a, int b) {
          return collator.compare(texts[static_cast<size_t>(a)], texts[static_cast<size_t>(b)]) < 0;
        });
        list.sortRows(col, Qt::AscendingOrder);
        for (int r = 0; r < n; ++r)
          ASSERT_EQ(list.sourceRow(r), ref[static_cast<size_t>(r)]) << "edit " << e << " names " << names << " column " << col;
      }
    }
  }
}
