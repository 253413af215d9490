#include "reports/AdvancedOrderSearch.h"

#include <optional>

#include "mainwindow/OrderList.h"
#include "reports/SearchFields.h"
#include "store/Database.h"
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
  std::optional<OrderList::CustomerLookup> customers;
  if (username && !f.Text3.isEmpty()) customers.emplace(db.Guest);

  std::vector<int> found;
  for (int i = 1, n = order.count(); i <= n; ++i) {
    if (!allCategories && order.cell(i, OrderCell::BuyerCategory) != f.category) continue;
    const QString& shipping = order.cell(i, OrderCell::ShippingState);
    const QString& payment = order.cell(i, OrderCell::PaymentState);
    if (!passesState(f, shipping, payment)) continue;
    if (!f.Text1.isEmpty() && !order.key(i).contains(f.Text1, Qt::CaseInsensitive)) continue;
    if (!anyDate && !inRange(DateKey(order.cell(i, OrderCell::OrderDate)), f.Text2, f.Text5)) continue;
    if (!f.Text3.isEmpty()) {
      const QString& account = order.cell(i, OrderCell::BuyerAccount);
      bool hit = account.contains(f.Text3, Qt::CaseInsensitive);
      if (!hit && customers) {
        const QString name = customers->name(account, order.cell(i, OrderCell::BuyerCategory));
        hit = !name.isEmpty() && name.contains(f.Text3, Qt::CaseInsensitive);
      }
      if (!hit) continue;
    }
    if (!f.Text4.isEmpty() && !order.cell(i, OrderCell::OrderNote).contains(f.Text4, Qt::CaseInsensitive)) continue;
    if (!anyShipDate) {
      bool two = false;
      const QStringView t2 = SearchFields::token(shipping, 1, &two);
      if (!two || t2 == kUnshipped || t2 == kShipped || !inRange(DateKey(t2), f.Text6, f.Text9)) continue;
    }
    if (!anyPayDate && !inRange(DateKey(SearchFields::token(payment, 0)), f.Text7, f.Text8)) continue;
    found.push_back(i);
  }
  return found;
}

}  // namespace AdvancedOrderSearch
