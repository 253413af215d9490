#include "customers/GuestFind.h"

#include <algorithm>
#include <mutex>
#include <utility>

#include "models/CustomerFields.h"
#include "store/Database.h"
#include "store/HashedRows.h"
#include "store/Parallel.h"

namespace GuestFind {

namespace {
// The cells of Conditions::text, in its order (the name is handled apart).
constexpr int kCells[] = {GuestCell::CustomerAccount, GuestCell::CustomerNameSex, GuestCell::CustomerPhone,
                          GuestCell::CustomerMobile,  GuestCell::CustomerEmail,   GuestCell::CustomerAddress,
                          GuestCell::BankLast5,       GuestCell::CustomerNote};
// The rows 1..count for which keep(row) holds, in row order, tested in
// slices on several threads.
template <typename Keep>
std::vector<int> rowsWhere(int count, Keep&& keep) {
  std::mutex m;
  std::vector<std::pair<int, std::vector<int>>> parts;
  forEachSlice(static_cast<size_t>(count), 20000, [&](size_t from, size_t to) {
    std::vector<int> part;
    for (int r = static_cast<int>(from) + 1; r <= static_cast<int>(to); ++r)
      if (keep(r)) part.push_back(r);
    const std::lock_guard<std::mutex> lock(m);
    parts.emplace_back(static_cast<int>(from), std::move(part));
  });
  std::sort(parts.begin(), parts.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<int> all;
  for (const auto& p : parts) all.insert(all.end(), p.second.begin(), p.second.end());
  return all;
}

// The name part of a name-and-sex cell, without a copy.
QStringView nameOf(const QString& cell) {
  const qsizetype i = cell.indexOf(NameSex::Separator);
  return i < 0 ? QStringView(cell) : QStringView(cell).left(i);
}
}  // namespace

bool holds(QStringView text, QStringView what) { return text.contains(what, foldingNeeded(what)); }

std::vector<int> fieldSearch(const Table& guest, const Conditions& c) {
  const std::array<QString, 8>& text = c.text;
  const bool all = c.category == QStringLiteral("全部");
  std::vector<std::pair<size_t, Holds>> tests;  // the filled boxes
  for (size_t i = 0; i < 8; ++i)
    if (!text[i].isEmpty()) tests.emplace_back(i, Holds(text[i]));
  const Holds holdsSex(c.sex);

  return rowsWhere(guest.count(), [&](int r) {
    if (!all && guest.cell(r, GuestCell::CustomerCategory) != c.category) return false;
    const QString& ns = guest.cell(r, GuestCell::CustomerNameSex);
    for (const auto& [i, holdsText] : tests) {
      const bool ok = i == 1 ? !ns.isEmpty() && holdsText(nameOf(ns)) : holdsText(guest.cell(r, kCells[i]));
      if (!ok) return false;
    }
    return c.sex.isEmpty() || (NameSex::hasSeparator(ns) && holdsSex(NameSex::sex(ns)));
  });
}

std::vector<int> productSearch(const Database& db, const QString& text) {
  const Table& stock = db.Stock;
  const Table& order = db.Order;
  const Table& guest = db.Guest;
  // The order numbers of the matching lines, wherever the lines lie in Stock.
  // Names repeat all through the lines: each distinct name is looked at once.
  const CellSearch holdsText(stock, text);
  const std::vector<int> lines = rowsWhere(stock.count(), [&](int s) {
    return stock.valueId(s, StockCell::LineName) != 0 && holdsText(s, StockCell::LineName);
  });
  if (lines.empty()) return {};
  HashedRows numbers(lines.size());
  for (const int s : lines) {
    const QString& no = stock.key(s);
    numbers.insert(keyHash(no), s, [&](int t) { return stock.key(t) == no; });
  }
  // Every order of those numbers: its customer key.
  const std::vector<int> orders = rowsWhere(order.count(), [&](int o) {
    const QString& no = order.key(o);
    return numbers.find(keyHash(no), [&](int t) { return stock.key(t) == no; }) != 0;
  });
  HashedRows buyers(orders.size());
  auto sameBuyer = [&](int o, const QString& account, const QString& category) {
    return order.cell(o, OrderCell::BuyerAccount) == account && order.cell(o, OrderCell::BuyerCategory) == category;
  };
  for (const int o : orders) {
    const QString& account = order.cell(o, OrderCell::BuyerAccount);
    const QString& category = order.cell(o, OrderCell::BuyerCategory);
    buyers.insert(keyHash(account, category), o, [&](int b) { return sameBuyer(b, account, category); });
  }
  // The customers of those keys, in Guest order.
  return rowsWhere(guest.count(), [&](int r) {
    const QString& account = guest.key(r);
    const QString& category = guest.cell(r, GuestCell::CustomerCategory);
    return buyers.find(keyHash(account, category), [&](int b) { return sameBuyer(b, account, category); }) != 0;
  });
}

}  // namespace GuestFind
