#include "printouts/MailingLabels.h"

#include <algorithm>

#include "models/GuestList.h"
#include "models/OrderList.h"
#include "platform/Numbers.h"
#include "printouts/HtmlText.h"
#include "printouts/OrderLines.h"
#include "store/Database.h"
#include "store/Decimal.h"
#include "store/SharedRoutines.h"

namespace MailingLabels {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

QString htmlHead() { return HtmlText::PageHead + QStringLiteral("郵寄名條</title></head><body>"); }
const QString kHtmlEnd = QStringLiteral("</body></html>");

// Blanks off both ends (line breaks stay).
QString trimBlanks(const QString& s) {
  qsizetype b = 0, e = s.size();
  while (b < e && s.at(b) == u' ') ++b;
  while (e > b && s.at(e - 1) == u' ') --e;
  return s.mid(b, e - b);
}

// A label being filled: each value escaped when the label is HTML.
class Label {
 public:
  Label(QString text, bool html) : text_(std::move(text)), html_(html) {}
  void fill(const QString& placeholder, const QString& value) {
    if (text_.contains(placeholder)) text_.replace(placeholder, html_ ? HtmlText::escape(value) : value);
  }
  const QString& text() const { return text_; }

 private:
  QString text_;
  bool html_;
};

QString lineText(const QString& name, const QString& qty) { return name + u'x' + qty; }
QString pricedLineText(const QString& name, const QString& price, const QString& qty) {
  return lineText(name, qty) + QStringLiteral(" $") + (Decimal::leading(price) * Decimal::leading(qty)).toText();
}
QString lineHolder(int n) { return QStringLiteral("$M") + QString::number(n); }

// "$Name" and "$Sex" from a CustomerNameSex cell.
void fillNameSex(Label& l, const QString& nameSex) {
  if (nameSex.isEmpty()) return;
  const qsizetype cut = nameSex.indexOf(QChar(1));
  l.fill(QStringLiteral("$Name"), cut < 0 ? nameSex : nameSex.left(cut));
  if (cut < 0) return;
  if (const auto s = salutation(nameSex.mid(cut + 1))) l.fill(QStringLiteral("$Sex"), *s);
}

}  // namespace

bool isHtml(const QString& addrFileExt) { return addrFileExt == QStringLiteral("htm"); }

QString fileName(const QString& addrFileExt) {
  return isHtml(addrFileExt) ? QStringLiteral("temp.htm") : QStringLiteral("temp.txt");
}

std::optional<QString> salutation(const QString& sex) {
  if (sex.isEmpty() || sex == QStringLiteral("男")) return QStringLiteral("先生");
  if (sex == QStringLiteral("女")) return QStringLiteral("小姐");
  return std::nullopt;
}

std::optional<QString> orderListLabels(const Database& db, const std::vector<QStringList>& listRows, bool maskPhone) {
  const bool html = isHtml(db.settings.AddrFileExt);
  const QString templ = trimBlanks(db.settings.AddrTemplate);
  const Table& order = db.Order;
  const Table& guest = db.Guest;
  const Table& stock = db.Stock;
  const std::optional<PrintedOrders> printed = PrintedOrders::of(db, listRows);
  if (!printed) return std::nullopt;
  const std::vector<int>& orderRows = printed->orderRows;
  const OrderLineIndex& lines = printed->lines;
  const WantedCustomers& customers = printed->customers;

  QString out;
  if (html) out += htmlHead() + kCrLf;
  for (size_t i = 0; i < listRows.size(); ++i) {
    const QStringList& r = listRows[i];
    const int o = orderRows[i];
    const QString& account = order.cell(o, OrderCell::BuyerAccount);
    const QString& category = order.cell(o, OrderCell::BuyerCategory);

    Label l(templ, html);
    if (const int g = customers.row(account, category)) {
      l.fill(QStringLiteral("$User"), guest.key(g));
      fillNameSex(l, guest.cell(g, GuestCell::CustomerNameSex));
      l.fill(QStringLiteral("$Tel"), guest.cell(g, GuestCell::CustomerPhone));
      l.fill(QStringLiteral("$Phone"), MaskPhoneNumber(guest.cell(g, GuestCell::CustomerMobile), maskPhone));
      l.fill(QStringLiteral("$Email"), guest.cell(g, GuestCell::CustomerEmail));
      l.fill(QStringLiteral("$Addr"), guest.cell(g, GuestCell::CustomerAddress));
      l.fill(QStringLiteral("$Bank"), guest.cell(g, GuestCell::BankLast5));
    }
    l.fill(QStringLiteral("$Num"), r.value(OrderListCol::OrderNo));
    l.fill(QStringLiteral("$Web"), r.value(OrderListCol::BuyerCategory));
    l.fill(QStringLiteral("$Note"), r.value(OrderListCol::OrderNote));
    l.fill(QStringLiteral("$Shipping"), r.value(OrderListCol::ShippingMethod));
    l.fill(QStringLiteral("$Receivables"), r.value(OrderListCol::Receivable));
    l.fill(QStringLiteral("$oDate"), r.value(OrderListCol::OrderDate));
    l.fill(QStringLiteral("$pDate"), r.value(OrderListCol::PaymentDate));
    l.fill(QStringLiteral("$sDate"), r.value(OrderListCol::ShipDate));

    // Placeholders of two-digit lines go before those of one digit ("$M1"
    // is the front of "$M10"), "$ManufPrice" before "$Manuf".
    const std::vector<int>& rows = lines.rows(r.value(OrderListCol::OrderNo));
    QString manuf, manufPrice;
    Decimal total;
    int k = 0;
    for (int s : rows) {
      ++k;
      const QString& name = stock.cell(s, StockCell::LineName);
      const QString& qty = stock.cell(s, StockCell::LineQty);
      if (k >= 10) l.fill(lineHolder(k), lineText(name, qty));
      manuf += lineText(name, qty) + kCrLf;
      manufPrice += pricedLineText(name, stock.cell(s, StockCell::LinePrice), qty) + kCrLf;
      total += Decimal::leading(qty);
    }
    for (int n = 50; n > k; --n) l.fill(lineHolder(n), QString());
    l.fill(QStringLiteral("$ManufPrice"), manufPrice);
    l.fill(QStringLiteral("$Manuf"), manuf);
    l.fill(QStringLiteral("$Total"), total.toText());
    for (int j = 1; j <= std::min(k, 9); ++j) {
      const int s = rows[static_cast<size_t>(j - 1)];
      l.fill(lineHolder(j), lineText(stock.cell(s, StockCell::LineName), stock.cell(s, StockCell::LineQty)));
    }
    out += l.text() + kCrLf;
    if (html) out += QStringLiteral("<br>") + kCrLf;
  }
  if (html) out += kHtmlEnd + kCrLf;
  return out;
}

std::optional<QString> customerLabels(const Database& db, const std::vector<QStringList>& guestRows) {
  const QString templ = trimBlanks(db.settings.AddrTemplate);
  const Table& guest = db.Guest;
  QString out;
  for (const QStringList& r : guestRows) {
    const double index = Num::leading(r.value(GuestList::Index));
    if (index < 1 || index > guest.count()) return std::nullopt;
    const int g = static_cast<int>(index);
    Label l(templ, false);
    l.fill(QStringLiteral("$User"), r.value(GuestList::Account));
    fillNameSex(l, guest.cell(g, GuestCell::CustomerNameSex));
    l.fill(QStringLiteral("$Web"), r.value(GuestList::Category));
    l.fill(QStringLiteral("$Tel"), r.value(GuestList::Phone));
    l.fill(QStringLiteral("$Phone"), r.value(GuestList::Mobile));
    l.fill(QStringLiteral("$Email"), guest.cell(g, GuestCell::CustomerEmail));
    l.fill(QStringLiteral("$Addr"), r.value(GuestList::Address));
    l.fill(QStringLiteral("$Bank"), r.value(GuestList::BankLast5));
    l.fill(QStringLiteral("$Note"), r.value(GuestList::Note));
    out += l.text() + kCrLf + kCrLf;
  }
  return out;
}

QString editorLabel(const Database& db, const EditorLabel& e, bool maskPhone) {
  const bool html = isHtml(db.settings.AddrFileExt);
  Label l(html ? htmlHead() + db.settings.AddrTemplate + kHtmlEnd : db.settings.AddrTemplate, html);
  l.fill(QStringLiteral("$Num"), e.number);
  l.fill(QStringLiteral("$User"), e.account);
  l.fill(QStringLiteral("$Name"), e.name);
  l.fill(QStringLiteral("$Tel"), e.phone);
  l.fill(QStringLiteral("$Phone"), MaskPhoneNumber(e.mobile, maskPhone));
  l.fill(QStringLiteral("$Bank"), e.bank);
  l.fill(QStringLiteral("$Addr"), e.address);
  l.fill(QStringLiteral("$Web"), e.category);
  l.fill(QStringLiteral("$Note"), e.note);
  l.fill(QStringLiteral("$Email"), e.email);
  l.fill(QStringLiteral("$Shipping"), e.method);
  l.fill(QStringLiteral("$Total"), e.totalQty);
  l.fill(QStringLiteral("$Receivables"), e.receivable);
  l.fill(QStringLiteral("$oDate"), e.date);
  l.fill(QStringLiteral("$pDate"), e.payDate);
  l.fill(QStringLiteral("$sDate"), e.shipDate);
  if (const auto s = salutation(e.sex)) l.fill(QStringLiteral("$Sex"), *s);
  const int count = static_cast<int>(e.lines.size());
  for (int n = 50; n >= 1; --n) {
    const OrderLine* line = n <= count ? &e.lines[static_cast<size_t>(n - 1)] : nullptr;
    l.fill(lineHolder(n), line ? lineText(line->name, line->qty) : QString());
  }
  QString manuf, manufPrice;
  for (const OrderLine& line : e.lines) {
    manuf += lineText(line.name, line.qty) + kCrLf;
    manufPrice += pricedLineText(line.name, line.price, line.qty) + kCrLf;
  }
  l.fill(QStringLiteral("$ManufPrice"), manufPrice);
  l.fill(QStringLiteral("$Manuf"), manuf);
  return l.text() + kCrLf;
}

}  // namespace MailingLabels
