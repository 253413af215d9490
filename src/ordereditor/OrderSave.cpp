#include "ordereditor/OrderSave.h"

#include <climits>
#include <cmath>

#include "platform/Numbers.h"
#include "platform/Prompt.h"
#include "platform/SettingsStore.h"
#include "store/Database.h"
#include "store/Table.h"
#include "store/TextEntry.h"

namespace OrderSave {

namespace {

const QString kSection = QStringLiteral("OrderInput");

void removeQuotes(QString& s) {
  s.remove(u'"');
  s.remove(QChar(0x201D));  // ”
}

QString paymentState(const OrderBoxes& b) {
  QString s = b.paid ? (b.payDate.isEmpty() ? QStringLiteral("已匯款") : b.payDate) : QStringLiteral("未匯款");
  if (b.rated) s += QStringLiteral(" 已給");
  return s;
}

QString shippingState(const OrderBoxes& b) {
  if (b.shipped) {
    if (b.method.isEmpty() && b.shipDate.isEmpty()) return QStringLiteral("已出貨");
    if (!b.shipDate.isEmpty()) return b.method + u' ' + b.shipDate;
    return b.method + QStringLiteral(" 已出貨");
  }
  return b.method.isEmpty() ? QStringLiteral("未出貨") : b.method + QStringLiteral(" 未出貨");
}

}  // namespace

bool check(OrderBoxes& b, Prompt& prompt) {
  if (b.date.isEmpty()) {
    prompt.warn(QStringLiteral("請輸入日期"));
    return false;
  }
  if (b.account.isEmpty()) {
    prompt.warn(QStringLiteral("請輸入客戶帳號"));
    return false;
  }
  if (!Num::isNumeric(b.fee)) b.fee = QStringLiteral("0");
  if (!DateText::isDate(b.date)) {
    prompt.warn(QStringLiteral("不是正確的日期格式"));
    return false;
  }
  // A percent box holding text is refused whether or not it is ticked; a
  // ticked discount box must hold a number, or the totals could not be
  // computed and the order would be stored with stale ones.
  if ((!b.percent.isEmpty() && !Num::isNumeric(b.percent)) || (b.percentOn && !Num::isNumeric(b.percent)) ||
      (b.amountOn && !Num::isNumeric(b.amount))) {
    prompt.warn(QStringLiteral("折扣欄不是數值格式"));
    return false;
  }
  // The money boxes are stored without the blanks around their numbers: a
  // stored amount " 50" would reopen as an empty amount (its text before the
  // first blank), and a number behind an ideographic blank reads as 0.
  for (QString* s : {&b.fee, &b.percent, &b.amount}) *s = s->trimmed();
  return true;
}

void tidy(OrderBoxes& b) {
  const QDate d = DateText::parse(b.date);
  if (d.isValid()) b.date = DateText::format(d);
  for (QString* s : {&b.date, &b.note, &b.account, &b.category, &b.percent, &b.shipDate, &b.payDate, &b.method})
    removeQuotes(*s);
  for (QString* s : {&b.shipDate, &b.payDate, &b.method}) s->remove(u' ');
}

QStringList orderCells(const OrderBoxes& b, const MoneyFigures& money, int lineCount) {
  const double receivable =
      b.sellerPays ? Num::leading(money.netGoodsText) : Num::leading(money.netGoodsText) + Num::leading(b.fee);
  QStringList c(OrderCell::Count + 1);
  c[OrderCell::OrderNo] = b.number;
  c[OrderCell::OrderDate] = b.date;
  c[OrderCell::BuyerAccount] = b.account;
  c[OrderCell::BuyerCategory] = b.category;
  c[OrderCell::ShippingFee] = b.fee;
  c[OrderCell::Receivable] = Num::format(receivable);
  c[OrderCell::PaymentState] = paymentState(b);
  c[OrderCell::ShippingState] = shippingState(b);
  c[OrderCell::OrderNote] = b.note;
  c[OrderCell::OrderCost] = money.costText;
  c[OrderCell::SellerPaysShipping] = b.sellerPays ? QStringLiteral("1") : QStringLiteral("0");
  c[OrderCell::DiscountPercent] = b.percentOn ? b.percent : QString();
  c[OrderCell::DiscountAmount] = b.amountOn ? b.amount + u' ' + QString::number(lineCount) : QString();
  return c;
}

QStringList stockCells(const QString& orderNo, const OrderLine& l) {
  QStringList c(StockCell::Count + 1);
  c[StockCell::LineOrderNo] = orderNo;
  c[StockCell::LineName] = l.name;
  c[StockCell::LineCategory] = l.category;
  c[StockCell::LinePrice] = l.price;
  c[StockCell::LineCost] = l.cost;
  c[StockCell::LineQty] = l.qty;
  c[StockCell::LineNote] = l.note;
  c[StockCell::LineUrl] = l.url;
  c[StockCell::LineWeight] = l.weight;
  return c;
}

OrderListRow listRow(const OrderBoxes& b, const QString& receivable, bool viewUsername) {
  OrderListRow row;
  QString discount;
  if (b.percentOn) {
    discount = b.percent + u'%';
  } else if (b.amountOn) {
    const double v = Num::leading(b.amount);
    discount = v >= 0 ? u'-' + b.amount : u'+' + Num::format(std::fabs(v));
  }
  QString account = b.account;
  if (viewUsername && !b.name.isEmpty()) account += QStringLiteral(" (") + b.name + u')';
  row.unpaid = !b.paid;
  row.unshipped = !b.shipped;
  row.cells = {b.number,
               b.date,
               account,
               b.category,
               b.fee,
               receivable,
               discount,
               b.paid ? (b.payDate.isEmpty() ? QStringLiteral("已匯款") : b.payDate) : QStringLiteral("未匯款"),
               b.shipped ? (b.shipDate.isEmpty() ? QStringLiteral("已出貨") : b.shipDate) : QStringLiteral("未出貨"),
               b.method,
               b.rated ? QStringLiteral("已給") : QString(),
               b.note};
  return row;
}

Result save(Database& db, Prompt& prompt, OrderBoxes& boxes, OrderLines& lines, Mode mode, int orderRow,
            const Options& options) {
  Result result;
  // Text code page 950 cannot hold is refused before anything changes.
  if (!TextEntry::acceptable(prompt, {{QStringLiteral("日期"), boxes.date},
                                      {QStringLiteral("客戶帳號"), boxes.account},
                                      {QStringLiteral("客戶分類"), boxes.category},
                                      {QStringLiteral("匯款日期"), boxes.payDate},
                                      {QStringLiteral("出貨日期"), boxes.shipDate},
                                      {QStringLiteral("運送方式"), boxes.method},
                                      {QStringLiteral("備註"), boxes.note}}))
    return result;
  if (!check(boxes, prompt)) return result;

  result.money = OrderMoney::compute(lines, boxes.money());
  if (!result.money.ok()) {
    // The checks leave every ticked box numeric, so only an overflow gets here.
    result.status = Result::Status::Failed;
    prompt.error();
    return result;
  }
  for (size_t i = 0; i < lines.size(); ++i) lines[i].subtotal = result.money.subtotals[i];

  tidy(boxes);

  // Everything that could fail is settled before the tables change.
  if (mode == Mode::New) {
    if (db.num >= INT_MAX) {
      result.status = Result::Status::Failed;
      prompt.error();
      return result;
    }
  } else if (orderRow < 1 || orderRow > db.Order.count() || db.Order.key(orderRow) != boxes.number) {
    // The list row no longer names this order: writing would overwrite another.
    result.status = Result::Status::Failed;
    prompt.error();
    return result;
  }

  const QStringList cells = orderCells(boxes, result.money, static_cast<int>(lines.size()));
  if (mode == Mode::New) {
    orderRow = db.Order.append(boxes.number);
  } else {
    std::vector<int> oldRun;
    for (int r = 1; r <= db.Stock.count(); ++r)
      if (db.Stock.key(r) == boxes.number) oldRun.push_back(r);
    db.Stock.removeRows(std::move(oldRun));
  }
  for (int c = 0; c <= OrderCell::Count; ++c) db.Order.setCell(orderRow, c, cells[c]);
  db.Stock.reserve(db.Stock.count() + static_cast<int>(lines.size()));
  for (const OrderLine& l : lines) {
    const QStringList sc = stockCells(boxes.number, l);
    const int r = db.Stock.append(boxes.number);
    for (int c = 1; c <= StockCell::Count; ++c) db.Stock.setCell(r, c, sc[c]);
  }
  if (mode == Mode::New) ++db.num;
  result.orderRow = orderRow;
  if (mode == Mode::Edited)
    result.listRow = listRow(boxes, cells[OrderCell::Receivable], options.viewUsername);

  if (options.rememberFee) SettingsStore::set(kSection, QStringLiteral("Set_1_Value"), boxes.fee);
  if (options.rememberMethod) SettingsStore::set(kSection, QStringLiteral("Set_2_Value"), boxes.method);
  db.setDirty(true);
  result.status = Result::Status::Saved;
  return result;
}

}  // namespace OrderSave
