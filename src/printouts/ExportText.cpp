#include "printouts/ExportText.h"

#include <algorithm>

#include "models/OrderList.h"
#include "platform/Numbers.h"
#include "platform/SettingsStore.h"
#include "printouts/OrderLines.h"
#include "store/Database.h"
#include "store/TextEntry.h"

namespace ExportText {

std::vector<ExportOffer> orderListOffers() {
  std::vector<ExportOffer> out;
  auto add = [&out](const char* caption, int code) { out.push_back({QString::fromUtf8(caption), code}); };
  // The order list's columns 1 to 12, the customer's fields before "運費".
  add("訂單編號", 0);
  add("日期", 1);
  add("客戶帳號", 2);
  add("客戶分類", 3);
  const char* customer[] = {"姓名", "電話", "手機", "Email", "地址", "帳號末5碼", "備註"};
  for (int j = 3; j <= 9; ++j) out.push_back({QStringLiteral("客戶") + QString::fromUtf8(customer[j - 3]), 200 + j});
  add("運費", 4);
  add("應收款項", 5);
  add("折扣", 6);
  add("匯款日", 7);
  add("出貨日", 8);
  add("運送方式", 9);
  add("評價", 10);
  add("備註", 11);
  // The order editor's line columns 1 to 8 but "缺貨", then the fee bearer.
  add("商品名稱", 100);
  add("商品分類", 101);
  add("商品售價", 102);
  add("商品成本", 103);
  add("商品數量", 104);
  add("商品備註", 105);
  add("商品網址", 106);
  add("運費類別", OrderCode::FeeBearer);
  return out;
}

std::vector<Field> restoreChoice(const QString& section, const std::vector<ExportOffer>& offers) {
  std::vector<Field> fields;
  fields.reserve(offers.size());
  for (size_t i = 0; i < offers.size(); ++i) {
    Field f{offers[i].caption, offers[i].code, false};
    const QString n = QString::number(i);
    const QString caption = SettingsStore::get(section, QStringLiteral("L1_") + n);
    if (!caption.isEmpty()) {
      f.caption = caption;
      f.code = static_cast<int>(Num::leading(SettingsStore::get(section, QStringLiteral("L2_") + n)));
      f.ticked = SettingsStore::getBool(section, QStringLiteral("L1Selected_") + n, true);
    }
    fields.push_back(f);
  }
  return fields;
}

void saveChoice(const QString& section, const std::vector<Field>& fields) {
  for (size_t i = 0; i < fields.size(); ++i) {
    const QString n = QString::number(i);
    SettingsStore::set(section, QStringLiteral("L1_") + n, fields[i].caption);
    SettingsStore::set(section, QStringLiteral("L2_") + n, QString::number(fields[i].code));
    SettingsStore::setBool(section, QStringLiteral("L1Selected_") + n, fields[i].ticked);
  }
}

namespace {
int lineNameRow(const std::vector<Field>& fields) {
  for (size_t i = 0; i < fields.size(); ++i)
    if (fields[i].code == OrderCode::LineName) return static_cast<int>(i);
  return -1;
}
}  // namespace

std::vector<int> applyLineRule(std::vector<Field>& fields, int row) {
  std::vector<int> changed;
  if (row < 0 || row >= static_cast<int>(fields.size())) return changed;
  const Field& f = fields[static_cast<size_t>(row)];
  if (f.code == OrderCode::LineName) {
    for (size_t i = 0; i < fields.size(); ++i) {
      if (isLineField(fields[i].code) && fields[i].ticked != f.ticked) {
        fields[i].ticked = f.ticked;
        changed.push_back(static_cast<int>(i));
      }
    }
  } else if (isLineField(f.code) && f.ticked) {
    const int master = lineNameRow(fields);
    if (master >= 0 && !fields[static_cast<size_t>(master)].ticked) {
      fields[static_cast<size_t>(row)].ticked = false;
      changed.push_back(row);
    }
  }
  return changed;
}

int move(std::vector<Field>& fields, int row, int step) {
  const int to = row + step;
  if (row < 0 || row >= static_cast<int>(fields.size()) || to < 0 || to >= static_cast<int>(fields.size()))
    return -1;
  std::swap(fields[static_cast<size_t>(row)], fields[static_cast<size_t>(to)]);
  return to;
}

bool selectedRowsOnly(int ex) { return ex >= 1 && ex <= 4; }

namespace {

void appendLine(QString& out, const std::vector<const Field*>& ticked, QChar sep,
                const std::function<QString(int)>& value) {
  for (size_t i = 0; i < ticked.size(); ++i) {
    if (i) out += sep;
    out += TextEntry::withoutCrLf(value(ticked[i]->code));
  }
  out += QLatin1String("\r\n");
}

}  // namespace

std::optional<QString> text(const Database& db, int ex, const Source& source, const std::vector<Field>& fields,
                            QChar sep) {
  std::vector<const Field*> ticked;
  for (const Field& f : fields)
    if (f.ticked) ticked.push_back(&f);
  const bool selectedOnly = selectedRowsOnly(ex);
  QString out;
  if (ex != 1) {
    for (int r = 0; r < source.rowCount; ++r) {
      if (selectedOnly && !source.selected(r)) continue;
      appendLine(out, ticked, sep, [&](int code) { return code >= 0 ? source.text(r, code) : QString(); });
    }
    return out;
  }

  // The order list: order, customer and line fields.
  const Table& order = db.Order;
  const Table& guest = db.Guest;
  const Table& stock = db.Stock;
  const int master = lineNameRow(fields);
  const bool perLine = master >= 0 && fields[static_cast<size_t>(master)].ticked;
  std::vector<int> rows, orderRows;
  std::vector<QString> numbers;
  for (int r = 0; r < source.rowCount; ++r) {
    if (!source.selected(r)) continue;
    rows.push_back(r);
    orderRows.push_back(orderRowOf(order, source.text(r, OrderListCol::OrderIndex)));
    if (orderRows.back() == 0) return std::nullopt;
    if (perLine) numbers.push_back(source.text(r, OrderListCol::OrderNo));
  }
  const OrderLineIndex lines(stock, numbers);
  const WantedCustomers customers(guest, customersOf(order, orderRows));
  for (size_t k = 0; k < rows.size(); ++k) {
    const int r = rows[k];
    const int o = orderRows[k];
    const int g = customers.row(order.cell(o, OrderCell::BuyerAccount), order.cell(o, OrderCell::BuyerCategory));
    auto orderValue = [&](int code, int s) -> QString {
      if (code == OrderCode::Account) return order.cell(o, OrderCell::BuyerAccount);
      if (code == OrderCode::FeeBearer)
        return OrderList::sellerPaysShipping(order.cell(o, OrderCell::SellerPaysShipping))
                   ? QStringLiteral("賣方付運費")
                   : QStringLiteral("買方付運費");
      if (code >= 0 && code < OrderCode::FeeBearer) return source.text(r, code);
      if (code >= OrderCode::LineName && code <= OrderCode::LineLast)
        return s > 0 && code - 99 <= StockCell::Count ? stock.cell(s, code - 99) : QString();
      if (code == OrderCode::CustomerName) return g ? OrderList::CustomerLookup::nameOf(guest.cell(g, GuestCell::CustomerNameSex)) : QString();
      if (code >= OrderCode::CustomerFirst && code <= OrderCode::CustomerLast)
        return g && code - 201 <= GuestCell::Count ? guest.cell(g, code - 201) : QString();
      return QString();
    };
    if (!perLine) {
      appendLine(out, ticked, sep, [&](int code) { return orderValue(code, 0); });
      continue;
    }
    for (int s : lines.rows(source.text(r, OrderListCol::OrderNo)))
      appendLine(out, ticked, sep, [&](int code) { return orderValue(code, s); });
  }
  return out;
}

}  // namespace ExportText
