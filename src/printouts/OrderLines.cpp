#include "printouts/OrderLines.h"

#include "models/OrderList.h"
#include "models/ProductLookup.h"
#include "platform/Numbers.h"
#include "store/Database.h"

namespace {
constexpr int kUnknown = -2;
constexpr char kUnknownAccount = 2;
}  // namespace

int orderRowOf(const Table& order, const QString& indexText) {
  const double index = Num::leading(indexText);
  return index >= 1 && index <= order.count() ? static_cast<int>(index) : 0;
}

std::vector<std::pair<QString, QString>> customersOf(const Table& order, const std::vector<int>& orderRows) {
  std::vector<std::pair<QString, QString>> out;
  out.reserve(orderRows.size());
  for (int o : orderRows)
    out.emplace_back(order.cell(o, OrderCell::BuyerAccount), order.cell(o, OrderCell::BuyerCategory));
  return out;
}

OrderLineIndex::OrderLineIndex(const Table& stock, const std::vector<QString>& orderNumbers) {
  slot_.reserve(static_cast<qsizetype>(orderNumbers.size()));
  for (const QString& no : orderNumbers) {
    if (!slot_.contains(no)) {
      slot_.insert(no, static_cast<int>(rows_.size()));
      rows_.emplace_back();
    }
  }
  if (rows_.empty()) return;
  // Each distinct key text is looked up once: its cells share a value number.
  std::vector<int> slotOfValue(stock.valueIdCount(), kUnknown);
  for (int r = 1, n = stock.count(); r <= n; ++r) {
    int& slot = slotOfValue[stock.valueId(r, 0)];
    if (slot == kUnknown) slot = slot_.value(stock.key(r), -1);
    if (slot >= 0) rows_[static_cast<size_t>(slot)].push_back(r);
  }
}

const std::vector<int>& OrderLineIndex::rows(const QString& orderNo) const {
  static const std::vector<int> none;
  const auto it = slot_.constFind(orderNo);
  return it == slot_.constEnd() ? none : rows_[static_cast<size_t>(*it)];
}

PictureIndex::PictureIndex(const Database& db) : db_(db) {
  const Table& t = db.Images;
  first_.reserve(t.count());
  for (int r = t.count(); r >= 1; --r)  // from the last, so the first row of a pair stays
    first_.insert({t.cell(r, ImagesCell::ImageProduct), t.cell(r, ImagesCell::ImageCategory)}, r);
}

QString PictureIndex::path(const QString& name, const QString& category) const {
  const int r = first_.value({name, category}, 0);
  if (r == 0) return {};
  return ProductLookup::picturePathFromStorage(db_, db_.Images.cell(r, ImagesCell::ImagePath));
}

WantedCustomers::WantedCustomers(const Table& guest, const std::vector<std::pair<QString, QString>>& customers) {
  QHash<QString, int> wanted;  // account -> how many of its categories are still unfound
  for (const auto& c : customers) {
    if (first_.contains(c)) continue;
    first_.insert(c, 0);
    ++wanted[c.first];
  }
  std::vector<char> isWanted(guest.valueIdCount(), kUnknownAccount);
  for (int r = 1, n = guest.count(); r <= n && !wanted.isEmpty(); ++r) {
    char& w = isWanted[guest.valueId(r, GuestCell::CustomerAccount)];
    if (w == kUnknownAccount) w = wanted.contains(guest.key(r)) ? 1 : 0;
    if (w == 0) continue;
    const auto it = first_.find({guest.key(r), guest.cell(r, GuestCell::CustomerCategory)});
    if (it == first_.end() || *it != 0) continue;
    *it = r;
    auto left = wanted.find(guest.key(r));
    if (left != wanted.end() && --*left == 0) wanted.erase(left);
  }
}

int WantedCustomers::row(const QString& account, const QString& category) const {
  return first_.value({account, category}, 0);
}

std::optional<PrintedOrders> PrintedOrders::of(const Database& db, const std::vector<QStringList>& listRows) {
  std::vector<QString> numbers;
  std::vector<int> orderRows;
  numbers.reserve(listRows.size());
  orderRows.reserve(listRows.size());
  for (const QStringList& r : listRows) {
    numbers.push_back(r.value(OrderListCol::OrderNo));
    orderRows.push_back(orderRowOf(db.Order, r.value(OrderListCol::OrderIndex)));
    if (orderRows.back() == 0) return std::nullopt;
  }
  OrderLineIndex lines(db.Stock, numbers);
  WantedCustomers customers(db.Guest, customersOf(db.Order, orderRows));
  return PrintedOrders{std::move(orderRows), std::move(lines), std::move(customers)};
}
