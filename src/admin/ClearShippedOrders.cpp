#include "admin/ClearShippedOrders.h"

#include <QSet>
#include <vector>

#include "platform/Numbers.h"
#include "platform/Prompt.h"
#include "store/Database.h"
#include "store/Table.h"

namespace ClearShippedOrders {

bool isShipped(const QString& state) {
  if (state == QStringLiteral("已出貨")) return true;
  const QStringList parts = splitAtBlanks(state);
  return parts.size() >= 2 && parts[1] != QStringLiteral("未出貨");
}

int clear(Database& db, bool allOrders, const QString& from, const QString& to) {
  std::vector<int> orderRows;
  QSet<QString> numbers;
  for (int r = 1; r <= db.Order.count(); ++r) {
    if (!isShipped(db.Order.cell(r, OrderCell::ShippingState))) continue;
    if (!allOrders) {
      const QString& date = db.Order.cell(r, OrderCell::OrderDate);
      if (QString::compare(date, from) < 0 || QString::compare(date, to) > 0) continue;
    }
    orderRows.push_back(r);
    numbers.insert(db.Order.key(r));
  }
  if (orderRows.empty()) return 0;
  std::vector<int> lineRows;
  for (int r = 1; r <= db.Stock.count(); ++r)
    if (numbers.contains(db.Stock.key(r))) lineRows.push_back(r);
  db.Stock.removeRows(std::move(lineRows));
  const int removed = static_cast<int>(orderRows.size());
  db.Order.removeRows(std::move(orderRows));
  db.setDirty(true);
  return removed;
}

bool run(Database& db, Prompt& prompt, bool allOrders, QString& fromText, QString& toText) {
  if (!prompt.askYesNo(QStringLiteral("確定要清除訂單嗎？"), QStringLiteral("清除"))) return false;
  if (!allOrders) {
    for (const QString* t : {&fromText, &toText}) {
      if (!DateText::isDate(*t)) {
        prompt.warn(QStringLiteral("不是正確的日期格式"));
        return false;
      }
    }
    fromText = DateText::format(DateText::parse(fromText));
    toText = DateText::format(DateText::parse(toText));
    if (QString::compare(toText, fromText) < 0) std::swap(fromText, toText);
  }
  clear(db, allOrders, fromText, toText);
  prompt.message(QStringLiteral("清除完成!"), Prompt::Icon::Exclamation, Prompt::Buttons::Ok, QStringLiteral("注意"));
  return true;
}

}  // namespace ClearShippedOrders
