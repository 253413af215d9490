#include "models/OrderCommands.h"

#include <QSet>
#include <algorithm>
#include <climits>

#include "platform/Numbers.h"
#include "platform/Prompt.h"
#include "platform/SettingsStore.h"
#include "store/Database.h"
#include "store/SharedRoutines.h"
#include "store/Table.h"

namespace OrderCommands {

const QString DeleteQuestion = QStringLiteral("確定刪除選擇的訂單嗎？");
const QString GiveBackQuestion = QStringLiteral("訂單內的商品需要回歸到庫存嗎？");

std::optional<QString> nextOrderNumber(Database& db, const QDate& today) {
  const QString month = today.toString(QStringLiteral("yyMM"));
  if (month != db.NumStr) {
    db.NumStr = month;
    db.num = 1;
  }
  long long num = db.num;
  const QString candidate = NextFreeOrderNumber(db.Order, db.NumStr, num);
  if (num > INT_MAX) {
    // Every number up to the largest counter is taken.
    db.num = INT_MAX;
    return std::nullopt;
  }
  db.num = static_cast<int>(num);
  return candidate;
}

std::optional<NewOrder> prepareNewOrder(Database& db, const QDate& today) {
  const auto number = nextOrderNumber(db, today);
  if (!number) return std::nullopt;
  const QString section = QStringLiteral("OrderInput");
  NewOrder n;
  n.number = *number;
  n.date = DateText::format(today);
  n.fee = QStringLiteral("0");
  if (SettingsStore::getBool(section, QStringLiteral("Set_1"), false))
    n.fee = SettingsStore::get(section, QStringLiteral("Set_1_Value"));
  n.setMethod = SettingsStore::getBool(section, QStringLiteral("Set_2"), false);
  if (n.setMethod) n.method = SettingsStore::get(section, QStringLiteral("Set_2_Value"));
  n.note = SettingsStore::get(section, QStringLiteral("Set_6_Value"));
  return n;
}

int deleteOrders(Database& db, const std::vector<int>& orderRows, bool giveBack) {
  std::vector<int> rows;
  for (int r : orderRows)
    if (r >= 1 && r <= db.Order.count()) rows.push_back(r);
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  if (rows.empty()) return 0;

  QSet<QString> numbers;
  for (int r : rows) numbers.insert(db.Order.key(r));

  // Every line of those numbers, wherever it lies in Stock.
  std::vector<int> lineRows;
  for (int r = 1; r <= db.Stock.count(); ++r)
    if (numbers.contains(db.Stock.key(r))) lineRows.push_back(r);

  if (giveBack && !lineRows.empty()) {
    const ProductIndex products(db.Manuf);
    for (int r : lineRows) {
      const int p =
          products.find(db.Stock.cell(r, StockCell::LineName), db.Stock.cell(r, StockCell::LineCategory));
      if (p == 0) continue;
      db.Manuf.setCell(p, ManufCell::ProductStock,
                       Num::format(Num::leading(db.Stock.cell(r, StockCell::LineQty)) +
                                   Num::leading(db.Manuf.cell(p, ManufCell::ProductStock))));
    }
  }
  db.Stock.removeRows(std::move(lineRows));
  const int removed = static_cast<int>(rows.size());
  db.Order.removeRows(std::move(rows));
  return removed;
}

bool deleteSelectedOrders(Database& db, Prompt& prompt, int listRows, const std::vector<int>& selectedIndexes) {
  if (listRows <= 0) return false;
  const QString title = QStringLiteral("刪除");
  if (!prompt.askYesNo(DeleteQuestion, title)) return false;
  const bool giveBack = prompt.askYesNo(GiveBackQuestion, title);
  deleteOrders(db, selectedIndexes, giveBack);
  db.setDirty(true);
  return true;
}

}  // namespace OrderCommands
