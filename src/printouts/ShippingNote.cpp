#include "printouts/ShippingNote.h"

#include <QFileInfo>

#include "models/OrderList.h"
#include "models/OrderMoney.h"
#include "platform/Numbers.h"
#include "printouts/HtmlText.h"
#include "printouts/OrderLines.h"
#include "store/Database.h"
#include "store/Decimal.h"
#include "store/SharedRoutines.h"

namespace ShippingNote {

namespace {

using HtmlText::escape;

const QString kCrLf = QStringLiteral("\r\n");

// Labels of the buyer rows; the gaps are two ideographic blanks.
const char* const kRowLabels[18] = {"訂單編號",       "訂單日期",       "客戶帳號",       "客戶分類",
                                    "姓\u3000\u3000名", "性\u3000\u3000別", "電\u3000\u3000話", "手\u3000\u3000機",
                                    "電子郵件",       "帳號後5碼",      "匯款日期",       "出貨日期",
                                    "運\u3000\u3000費", "運費類別",       "運送方式",       "地\u3000\u3000址",
                                    "備\u3000\u3000註", "應收款項"};
constexpr int kNoteRow = 16;
constexpr int kMethodRow = 14;

// One product line as printed, values as they stand.
struct Line {
  QString name, category, price, cost, qty, note, url;
};

// What one page is made of; values as they stand, escaped on writing.
struct Page {
  std::array<std::optional<QString>, 18> rows;  // nullopt: the row is left out
  std::vector<Line> lines;
  std::optional<QString> percent;  // text whose leading number is P
  std::optional<QString> amount;   // a, written as it stands
  bool buyerPaysFee = false;
  QString fee;
};

// Product columns in printed order: the index k of NoteColPct.
constexpr int kColumnOrder[9] = {8, 1, 2, 3, 4, 5, 6, 9, 7};
enum : int { kName = 1, kCategory = 2, kPrice = 3, kCost = 4, kQty = 5, kLineNote = 6, kAmount = 7, kPicture = 8,
             kUrl = 9 };

const char* headerCell(int k) {
  switch (k) {
    case kPicture: return "%><b>圖片</b></td>";
    case kName: return "%><b>商品名稱</b></td>";
    case kCategory: return "%><b>商品分類</b></td>";
    case kPrice: return "% align=center><b>售價</b></td>";
    case kCost: return "% align=center><b>成本</b></td>";
    case kQty: return "% align=center><b>數量</b></td>";
    case kLineNote: return "%><b>備註</b></td>";
    case kUrl: return "%><b>網址</b></td>";
    default: return "% align=right><b>小計</b></td>";
  }
}

Decimal lineAmount(const Line& l) { return Decimal::leading(l.price) * Decimal::leading(l.qty); }

struct Totals {
  Decimal goods, qty, total;
  QString discountText, feeText;
};

Totals totalsOf(const Page& p) {
  Totals t;
  for (const Line& l : p.lines) {
    t.goods += lineAmount(l);
    t.qty += Decimal::leading(l.qty);
  }
  t.total = t.goods;
  if (p.percent) {
    const double paid = OrderMoney::percentPaid(t.goods.toDouble(), Num::leading(*p.percent));
    const Decimal d = t.goods - Decimal::fromDouble(paid);
    t.discountText += QStringLiteral(" - 折扣 ") + d.toText();
    t.total -= d;
  }
  if (p.amount) {
    t.discountText += QStringLiteral(" - 折扣 ") + escape(*p.amount);
    t.total -= Decimal::leading(*p.amount);
  }
  if (p.buyerPaysFee) {
    t.feeText = QStringLiteral(" + 運費 ") + escape(p.fee);
    t.total += Decimal::leading(p.fee);
  }
  return t;
}

class Writer {
 public:
  Writer(const Database& db, QString& out) : db_(db), s_(db.settings), out_(out), pictures_(db) {
    for (int k = 1; k <= 9; ++k)
      if (s_.NoteColPct[static_cast<size_t>(k)] != 0) ++shown_;
  }

  // Lines O1 to O8; O1 without its line start when it follows the head on one line.
  void page(const Page& p) {
    const QString pct = QString::number(s_.NoteShopPct);
    out_ += QStringLiteral("<table width=") + QString::number(s_.NoteWidth) +
            QStringLiteral("><tr><td colspan=3><center><b><u><font size=5>") + s_.NoteTitle +
            QStringLiteral("</font></u></b></center><br></td></tr><tr><td width=") + pct + QStringLiteral("%>") + kCrLf;

    out_ += QStringLiteral("<table border=0>");
    for (int i = 0; i < 18; ++i) {
      if (!s_.NoteFields[static_cast<size_t>(i)] || !p.rows[static_cast<size_t>(i)]) continue;
      const QString& v = *p.rows[static_cast<size_t>(i)];
      out_ += i == kMethodRow ? QStringLiteral("<tr><td><b>") : QStringLiteral("<tr><td nowrap><b>");
      out_ += QString::fromUtf8(kRowLabels[i]) + QStringLiteral("</b>：</td><td>");
      out_ += i == kNoteRow ? HtmlText::escapeNote(v) : escape(v);
      out_ += QStringLiteral("</td></tr>");
    }
    out_ += QStringLiteral("</table>") + kCrLf;

    out_ += QStringLiteral("</td><td width=3%><br></td><td width=") + QString::number(100 - s_.NoteShopPct) +
            QStringLiteral("% valign=top>") + kCrLf;
    // The untouched default is the settings dialog's hint to the seller,
    // not for the buyer: the seller's cell stays empty then.
    if (s_.NoteShopInfo != DatabaseSettings::defaultNoteShopInfo()) out_ += HtmlText::breaks(s_.NoteShopInfo);
    out_ += kCrLf;

    const QString rule = QStringLiteral("<tr><td colspan=") + QString::number(shown_) +
                         QStringLiteral("><hr size=1></td></tr>");
    out_ += QStringLiteral("</td></tr><tr><td colspan=3><br><table width=100%><tr>");
    for (int k : kColumnOrder) {
      const int w = s_.NoteColPct[static_cast<size_t>(k)];
      if (w != 0) out_ += QStringLiteral("<td width=") + QString::number(w) + QString::fromUtf8(headerCell(k));
    }
    out_ += QStringLiteral("</tr>") + rule + kCrLf;

    const bool separators = s_.NoteSeparators != 0;
    for (const Line& l : p.lines) {
      out_ += QStringLiteral("<tr>");
      for (int k : kColumnOrder) {
        const int w = s_.NoteColPct[static_cast<size_t>(k)];
        if (w != 0) lineCell(k, w, l);
      }
      out_ += QStringLiteral("</tr>");
      if (separators) out_ += rule;
      out_ += kCrLf;
    }
    if (!separators) out_ += rule + kCrLf;

    if (s_.NoteColPct[kAmount] != 0) {
      const Totals t = totalsOf(p);
      out_ += QStringLiteral("<tr>");
      out_ += s_.NoteColPct[kPicture] != 0 && s_.NoteColPct[kName] != 0 ? QStringLiteral("<td colspan=2><b>總計</b> ")
                                                                         : QStringLiteral("<td><b>總計</b> ");
      out_ += t.goods.toText() + u' ' + t.discountText + t.feeText + QStringLiteral("</td>");
      for (int k : {kCategory, kPrice, kCost, kQty, kLineNote, kUrl, kAmount}) {
        if (s_.NoteColPct[static_cast<size_t>(k)] == 0) continue;
        if (k == kQty)
          out_ += QStringLiteral("<td align=center>") + t.qty.toText() + QStringLiteral("</td>");
        else if (k == kAmount)
          out_ += QStringLiteral("<td align=right>") + t.total.toText() + QStringLiteral("</td>");
        else
          out_ += QStringLiteral("<td></td>");
      }
      out_ += QStringLiteral("</tr>") + kCrLf;
    }
  }

 private:
  void lineCell(int k, int w, const Line& l) {
    const QString open = QStringLiteral("<td width=") + QString::number(w);
    switch (k) {
      case kPicture: {
        QString path = pictures_.path(l.name, l.category);
        if (path.isEmpty()) {
          out_ += open + QStringLiteral("%></td>");
          return;
        }
        if (QFileInfo(path).isRelative()) path = db_.DataBasePath + path;
        const QString px = Num::format(static_cast<double>(w) / 100.0 * s_.NoteWidth);
        out_ += QStringLiteral("<td width=") + px + QStringLiteral("><img src='") + HtmlText::pictureSource(path) +
                QStringLiteral("' width=") + px + QStringLiteral("></td>");
        return;
      }
      case kName: out_ += open + QStringLiteral("%>") + escape(l.name); break;
      case kCategory: out_ += open + QStringLiteral("%>") + escape(l.category); break;
      case kPrice: out_ += open + QStringLiteral("% align=center>") + escape(l.price); break;
      case kCost: out_ += open + QStringLiteral("% align=center>") + escape(l.cost); break;
      case kQty: out_ += open + QStringLiteral("% align=center>") + escape(l.qty); break;
      case kLineNote: out_ += open + QStringLiteral("%>") + escape(l.note); break;
      case kUrl: out_ += open + QStringLiteral("%>") + escape(l.url); break;
      default: out_ += open + QStringLiteral("% align=right>") + lineAmount(l).toText(); break;
    }
    out_ += QStringLiteral("</td>");
  }

  const Database& db_;
  const DatabaseSettings& s_;
  QString& out_;
  PictureIndex pictures_;
  int shown_ = 0;
};

QString head(const DatabaseSettings& s) {
  return HtmlText::PageHead + s.NoteTitle + QStringLiteral("</title></head><body>");
}

}  // namespace

std::optional<QString> selectedOrders(const Database& db, const std::vector<QStringList>& listRows, bool maskPhone) {
  const Table& order = db.Order;
  const Table& guest = db.Guest;
  const Table& stock = db.Stock;
  const std::optional<PrintedOrders> printed = PrintedOrders::of(db, listRows);
  if (!printed) return std::nullopt;
  const std::vector<int>& orderRows = printed->orderRows;
  const OrderLineIndex& lines = printed->lines;
  const WantedCustomers& customers = printed->customers;

  QString out;
  out.reserve(static_cast<qsizetype>(listRows.size()) * 2400 + 256);
  out += head(db.settings) + kCrLf;
  Writer w(db, out);
  for (size_t k = 0; k < listRows.size(); ++k) {
    const QStringList& r = listRows[k];
    const int o = orderRows[k];
    Page p;
    const QString& account = order.cell(o, OrderCell::BuyerAccount);
    const QString& category = order.cell(o, OrderCell::BuyerCategory);
    p.rows[0] = r.value(OrderListCol::OrderNo);
    p.rows[1] = r.value(OrderListCol::OrderDate);
    p.rows[2] = account;
    p.rows[3] = category;
    if (const int g = customers.row(account, category)) {
      const QString& nameSex = guest.cell(g, GuestCell::CustomerNameSex);
      if (!nameSex.isEmpty()) {
        const qsizetype cut = nameSex.indexOf(QChar(1));
        p.rows[4] = cut < 0 ? nameSex : nameSex.left(cut);
        if (cut >= 0) p.rows[5] = nameSex.mid(cut + 1);
      }
      p.rows[6] = guest.cell(g, GuestCell::CustomerPhone);
      p.rows[7] = MaskPhoneNumber(guest.cell(g, GuestCell::CustomerMobile), maskPhone);
      p.rows[8] = guest.cell(g, GuestCell::CustomerEmail);
      p.rows[9] = guest.cell(g, GuestCell::BankLast5);
      p.rows[15] = guest.cell(g, GuestCell::CustomerAddress);
    }
    const QString pay = r.value(OrderListCol::PaymentDate);
    p.rows[10] = pay == QStringLiteral("未匯款") ? QString() : pay;
    const QString ship = r.value(OrderListCol::ShipDate);
    p.rows[11] = ship == QStringLiteral("未出貨") ? QString() : ship;
    p.fee = r.value(OrderListCol::ShippingFee);
    p.rows[12] = p.fee;
    const bool sellerPays = OrderList::sellerPaysShipping(order.cell(o, OrderCell::SellerPaysShipping));
    p.rows[13] = sellerPays ? QStringLiteral("賣方付運費") : QStringLiteral("買方付運費");
    p.rows[14] = r.value(OrderListCol::ShippingMethod);
    p.rows[16] = r.value(OrderListCol::OrderNote);
    p.rows[17] = r.value(OrderListCol::Receivable);

    const QString& percent = order.cell(o, OrderCell::DiscountPercent);
    if (!percent.isEmpty()) p.percent = percent;
    const QString& amount = order.cell(o, OrderCell::DiscountAmount);
    if (!amount.isEmpty()) p.amount = amount.section(u' ', 0, 0);
    p.buyerPaysFee = !sellerPays;

    const std::vector<int>& rows = lines.rows(p.rows[0].value());
    p.lines.reserve(rows.size());
    for (int s : rows)
      p.lines.push_back({stock.cell(s, StockCell::LineName), stock.cell(s, StockCell::LineCategory),
                         stock.cell(s, StockCell::LinePrice), stock.cell(s, StockCell::LineCost),
                         stock.cell(s, StockCell::LineQty), stock.cell(s, StockCell::LineNote),
                         stock.cell(s, StockCell::LineUrl)});
    w.page(p);
    out += QStringLiteral("</table></td></tr></table><p style='page-break-after:always'></p>") + kCrLf;
  }
  out += QStringLiteral("</body></html>") + kCrLf;
  return out;
}

std::vector<int> filterLines(const OrderLines& lines, const std::vector<bool>& selected,
                             const std::array<bool, 4>& filter) {
  std::vector<int> out;
  for (size_t i = 0; i < lines.size(); ++i) {
    const bool sel = i < selected.size() && selected[i];
    if (filter[0] || (filter[1] && lines[i].ticked) || (filter[2] && !lines[i].ticked) || (filter[3] && sel))
      out.push_back(static_cast<int>(i));
  }
  return out;
}

namespace {

Page editorPage(const EditorOrder& o) {
  Page p;
  for (const OrderLine& l : o.lines) p.lines.push_back({l.name, l.category, l.price, l.cost, l.qty, l.note, l.url});
  if (o.percentOn) p.percent = o.percent;
  if (o.amountOn) p.amount = o.amount;
  p.buyerPaysFee = !o.sellerPays;
  p.fee = o.fee;
  return p;
}

}  // namespace

QString editorReceivable(const EditorOrder& o) {
  // The same arithmetic as the total row: goods less the discounts plus a fee the buyer pays.
  return totalsOf(editorPage(o)).total.toText();
}

QString editorOrder(const Database& db, const EditorOrder& o, bool maskPhone) {
  Page p = editorPage(o);
  const QString values[18] = {o.number, o.date, o.account, o.category, o.name, o.sex, o.phone,
                              MaskPhoneNumber(o.mobile, maskPhone), o.email, o.bank, o.payDate, o.shipDate, o.fee,
                              o.sellerPays ? QStringLiteral("賣方付運費") : QStringLiteral("買方付運費"), o.method,
                              o.address, o.note, editorReceivable(o)};
  for (size_t i = 0; i < 18; ++i) p.rows[i] = values[i];

  QString out = head(db.settings);  // the head and the title stand on one line
  Writer w(db, out);
  w.page(p);
  out += QStringLiteral("</table></td></tr></table></body></html>") + kCrLf;
  return out;
}

}  // namespace ShippingNote
