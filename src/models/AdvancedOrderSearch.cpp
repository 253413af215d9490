#include "models/AdvancedOrderSearch.h"

#include <algorithm>

#include "models/CustomerIndex.h"
#include "models/OrderList.h"
#include "models/OrderRowIndex.h"
#include "models/SearchFields.h"
#include "store/CaselessSearch.h"
#include "store/Database.h"
#include "store/Parallel.h"
#include "store/SharedRoutines.h"

namespace AdvancedOrderSearch {

namespace {

const QString kUnshipped = QStringLiteral("未出貨");
const QString kShipped = QStringLiteral("已出貨");
const QString kUnpaid = QStringLiteral("未匯款");

QString* boxes(Fields& f, int i) {
  QString* all[] = {&f.orderNo,      &f.dateFrom,    &f.account,   &f.note,      &f.dateTo,
                    &f.shipDateFrom, &f.payDateFrom, &f.payDateTo, &f.shipDateTo};
  return all[i];
}

// Criterion 2: the state the options ask for.
bool passesState(const Fields& f, const QString& shipping, const QString& payment) {
  if (f.unpaid) return payment == kUnpaid;
  if (!f.unshipped && !f.shipped) return false;
  if (shipping == kUnshipped) return f.unshipped;
  if (shipping == kShipped) return f.shipped;
  bool two = false;
  const QStringView t2 = SearchFields::token(shipping, 1, &two);
  if (!two) return false;
  return t2 == kUnshipped ? f.unshipped : f.shipped;
}

}  // namespace

void prepare(Fields& f) {
  for (int i = 0; i < 9; ++i) {
    QString* box = boxes(f, i);
    *box = FirstLine(SearchFields::trimBlanks(*box));
  }
}

QString dateMessage(const Fields& f) {
  const std::pair<const QString*, const QString*> checks[] = {
      {&f.dateFrom, &DateMessage},       {&f.dateTo, &DateMessage},         {&f.shipDateFrom, &ShipDateMessage},
      {&f.shipDateTo, &ShipDateMessage}, {&f.payDateFrom, &PayDateMessage}, {&f.payDateTo, &PayDateMessage}};
  for (const auto& [box, message] : checks)
    if (!SearchFields::isDateBox(*box)) return *message;
  return {};
}

void orderRanges(Fields& f) {
  SearchFields::orderRange(f.dateFrom, f.dateTo);
  SearchFields::orderRange(f.shipDateFrom, f.shipDateTo);
  SearchFields::orderRange(f.payDateFrom, f.payDateTo);
}

std::vector<int> find(const Database& db, const Fields& f, bool username) {
  using SearchFields::DateKey;
  using SearchFields::inRange;
  using SearchFields::openRange;
  const Table& order = db.Order;
  const bool allCategories = f.category == OrderList::AllText;
  const bool anyDate = openRange(f.dateFrom, f.dateTo);
  const bool anyShipDate = openRange(f.shipDateFrom, f.shipDateTo);
  const bool anyPayDate = openRange(f.payDateFrom, f.payDateTo);
  const CaselessSearch inNo(f.orderNo), inAccount(f.account), inNote(f.note);
  const bool byName = username && !f.account.isEmpty();

  // Every criterion but the customer's name. An order whose account does not
  // hold the text waits for its customer's name (kept as -row).
  std::vector<int> rows = collectInSlices<int>(order.count(), [&](int i, OrderRowIndex::Hint&, std::vector<int>& found) {
    SearchFields::DateKeyBuffer key;
    if (!allCategories && order.cell(i, OrderCell::BuyerCategory) != f.category) return;
    const QString& shipping = order.cell(i, OrderCell::ShippingState);
    const QString& payment = order.cell(i, OrderCell::PaymentState);
    if (!passesState(f, shipping, payment)) return;
    if (!inNo.isEmpty() && !inNo(order.key(i))) return;
    if (!anyDate && !inRange(DateKey(order.cell(i, OrderCell::OrderDate), key), f.dateFrom, f.dateTo)) return;
    bool waits = false;
    if (!inAccount.isEmpty() && !inAccount(order.cell(i, OrderCell::BuyerAccount))) {
      if (!byName) return;
      waits = true;
    }
    if (!inNote.isEmpty() && !inNote(order.cell(i, OrderCell::OrderNote))) return;
    if (!anyShipDate) {
      bool two = false;
      const QStringView t2 = SearchFields::token(shipping, 1, &two);
      if (!two || t2 == kUnshipped || t2 == kShipped || !inRange(DateKey(t2, key), f.shipDateFrom, f.shipDateTo))
        return;
    }
    if (!anyPayDate && !inRange(DateKey(SearchFields::token(payment, 0), key), f.payDateFrom, f.payDateTo)) return;
    found.push_back(waits ? -i : i);
  });
  if (!byName) return rows;

  // The names: the customer's CustomerNameSex before the character 1, of the
  // first customer of the order's account and category.
  std::vector<int> waiting;
  for (const int r : rows)
    if (r < 0) waiting.push_back(-r);
  if (!waiting.empty()) {
    const Table& guest = db.Guest;
    const CustomerIndex customers(guest);
    const std::vector<char> nameHolds = markRows(guest.count(), [&](int g) {
      const QString& nameSex = guest.cell(g, GuestCell::CustomerNameSex);
      const qsizetype end = nameSex.indexOf(QChar(1));
      return inAccount(QStringView(nameSex).left(end < 0 ? nameSex.size() : end));
    });
    std::vector<char> hit(waiting.size(), 0);
    forEachSlice(waiting.size(), 4096, [&](size_t from, size_t to) {
      CustomerIndex::Memo memo;
      std::vector<int> g(to - from);
      customers.rows(order, waiting.data() + from, to - from, OrderCell::BuyerAccount, OrderCell::BuyerCategory, memo,
                     g.data());
      for (size_t k = from; k < to; ++k) hit[k] = g[k - from] != 0 && nameHolds[static_cast<size_t>(g[k - from])];
    });
    size_t k = 0;
    for (int& r : rows)
      if (r < 0) r = hit[k++] ? -r : 0;
  }
  rows.erase(std::remove(rows.begin(), rows.end(), 0), rows.end());
  return rows;
}

}  // namespace AdvancedOrderSearch
