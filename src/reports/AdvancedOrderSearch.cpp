#include "reports/AdvancedOrderSearch.h"

#include <optional>

#include "mainwindow/OrderList.h"
#include "reports/OrderRowIndex.h"
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

  return collectInSlices<int>(order.count(), [&](int i, OrderRowIndex::Hint&, std::vector<int>& found) {
    SearchFields::DateKeyBuffer key;
    if (!allCategories && order.cell(i, OrderCell::BuyerCategory) != f.category) return;
    const QString& shipping = order.cell(i, OrderCell::ShippingState);
    const QString& payment = order.cell(i, OrderCell::PaymentState);
    if (!passesState(f, shipping, payment)) return;
    if (!f.Text1.isEmpty() && !order.key(i).contains(f.Text1, Qt::CaseInsensitive)) return;
    if (!anyDate && !inRange(DateKey(order.cell(i, OrderCell::OrderDate), key), f.Text2, f.Text5)) return;
    if (!f.Text3.isEmpty()) {
      const QString& account = order.cell(i, OrderCell::BuyerAccount);
      bool hit = account.contains(f.Text3, Qt::CaseInsensitive);
      if (!hit && customers) {
        // The name: the customer's CustomerNameSex before the character 1.
        if (const int g = customers->row(account, order.cell(i, OrderCell::BuyerCategory))) {
          const QString& nameSex = db.Guest.cell(g, GuestCell::CustomerNameSex);
          const qsizetype end = nameSex.indexOf(QChar(1));
          hit = QStringView(nameSex).left(end < 0 ? nameSex.size() : end).contains(f.Text3, Qt::CaseInsensitive);
        }
      }
      if (!hit) return;
    }
    if (!f.Text4.isEmpty() && !order.cell(i, OrderCell::OrderNote).contains(f.Text4, Qt::CaseInsensitive)) return;
    if (!anyShipDate) {
      bool two = false;
      const QStringView t2 = SearchFields::token(shipping, 1, &two);
      if (!two || t2 == kUnshipped || t2 == kShipped || !inRange(DateKey(t2, key), f.Text6, f.Text9)) return;
    }
    if (!anyPayDate && !inRange(DateKey(SearchFields::token(payment, 0), key), f.Text7, f.Text8)) return;
    found.push_back(i);
  });
}

}  // namespace AdvancedOrderSearch
