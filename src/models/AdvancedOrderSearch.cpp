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
  QString* all[] = {&f.Text1, &f.Text2, &f.Text3, &f.Text4, &f.Text5, &f.Text6, &f.Text7, &f.Text8, &f.Text9};
  return all[i];
}

// Criterion 2: the state the options ask for.
bool passesState(const Fields& f, const QString& shipping, const QString& payment) {
  if (f.Option3) return payment == kUnpaid;
  if (!f.Option1 && !f.Option2) return false;
  if (shipping == kUnshipped) return f.Option1;
  if (shipping == kShipped) return f.Option2;
  bool two = false;
  const QStringView t2 = SearchFields::token(shipping, 1, &two);
  if (!two) return false;
  return t2 == kUnshipped ? f.Option1 : f.Option2;
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
      {&f.Text2, &DateMessage},    {&f.Text5, &DateMessage},    {&f.Text6, &ShipDateMessage},
      {&f.Text9, &ShipDateMessage}, {&f.Text7, &PayDateMessage}, {&f.Text8, &PayDateMessage}};
  for (const auto& [box, message] : checks)
    if (!SearchFields::isDateBox(*box)) return *message;
  return {};
}

void orderRanges(Fields& f) {
  SearchFields::orderRange(f.Text2, f.Text5);
  SearchFields::orderRange(f.Text6, f.Text9);
  SearchFields::orderRange(f.Text7, f.Text8);
}

std::vector<int> find(const Database& db, const Fields& f, bool username) {
  using SearchFields::DateKey;
  using SearchFields::inRange;
  using SearchFields::openRange;
  const Table& order = db.Order;
  const bool allCategories = f.category == OrderList::AllText;
  const bool anyDate = openRange(f.Text2, f.Text5);
  const bool anyShipDate = openRange(f.Text6, f.Text9);
  const bool anyPayDate = openRange(f.Text7, f.Text8);
  const CaselessSearch inNo(f.Text1), inAccount(f.Text3), inNote(f.Text4);
  const bool byName = username && !f.Text3.isEmpty();

  // Every criterion but the customer's name. An order whose account does not
  // hold the text waits for its customer's name (kept as -row).
  std::vector<int> rows = collectInSlices<int>(order.count(), [&](int i, OrderRowIndex::Hint&, std::vector<int>& found) {
    SearchFields::DateKeyBuffer key;
    if (!allCategories && order.cell(i, OrderCell::BuyerCategory) != f.category) return;
    const QString& shipping = order.cell(i, OrderCell::ShippingState);
    const QString& payment = order.cell(i, OrderCell::PaymentState);
    if (!passesState(f, shipping, payment)) return;
    if (!inNo.isEmpty() && !inNo(order.key(i))) return;
    if (!anyDate && !inRange(DateKey(order.cell(i, OrderCell::OrderDate), key), f.Text2, f.Text5)) return;
    bool waits = false;
    if (!inAccount.isEmpty() && !inAccount(order.cell(i, OrderCell::BuyerAccount))) {
      if (!byName) return;
      waits = true;
    }
    if (!inNote.isEmpty() && !inNote(order.cell(i, OrderCell::OrderNote))) return;
    if (!anyShipDate) {
      bool two = false;
      const QStringView t2 = SearchFields::token(shipping, 1, &two);
      if (!two || t2 == kUnshipped || t2 == kShipped || !inRange(DateKey(t2, key), f.Text6, f.Text9)) return;
    }
    if (!anyPayDate && !inRange(DateKey(SearchFields::token(payment, 0), key), f.Text7, f.Text8)) return;
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
