#include "printouts/ShippingNote.h"

#include <QFile>
#include <gtest/gtest.h>

#include "PrintoutFixture.h"
#include "TestDir.h"
#include "printouts/HtmlText.h"

namespace {

const QString kHead = QStringLiteral(
    "<html><head><meta http-equiv='Content-Type' content='text/html; charset=big5'><title>出貨單</title></head>"
    "<body>");

QByteArray goldenBytes(const char* name) {
  QFile f(QStringLiteral(KESTRIN_TEST_DATA "/printouts/") + QString::fromLatin1(name));
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct ShippingNotes : ::testing::Test, PrintoutFixture {
  void goldenSettings() {
    DatabaseSettings& s = db.settings;
    s.NoteShopInfo = QStringLiteral("<b>青鳥小舖</b>\r\n電話 02-0000");
    s.NoteFields.fill(true);
    // name 40, category 10, price 10, cost 0, quantity 10, note 10, amount 10, picture 10, URL 0
    s.NoteColPct = {0, 40, 10, 10, 0, 10, 10, 10, 10, 0};
    s.NoteShopPct = 60;
    s.NoteWidth = 700;
  }
  QString page(bool mask = false) { return ShippingNote::selectedOrders(db, listRows({1, 2}), mask).value(); }
};

// Two orders on their pages, byte for byte: every buyer row, a picture
// whose path holds the database folder, a blank and an apostrophe, lines of
// one order stored apart, a percent discount with the buyer's fee, an
// amount discount with the seller's fee, a customer missing from Guest.
TEST_F(ShippingNotes, TwoOrdersMatchTheGoldenPage) {
  goldenSettings();
  const QByteArray bytes = HtmlText::encodePage(page(true));
  const QByteArray golden = goldenBytes("shipping-notes.htm");
  ASSERT_FALSE(golden.isEmpty());
  EXPECT_EQ(bytes, golden);
}

TEST_F(ShippingNotes, TableValuesAreEscapedAndTheSellersOwnHtmlIsNot) {
  goldenSettings();
  db.settings.NoteTitle = QStringLiteral("<i>出貨</i>");
  db.settings.NoteColPct[9] = 10;  // the URL column
  db.Order.setCell(2, OrderCell::OrderNote, QStringLiteral("a<b>\r\n'c'"));
  const std::vector<QStringList> rows = listRows({1, 2});
  const QString p = ShippingNote::selectedOrders(db, rows, false).value();
  EXPECT_TRUE(p.contains(QStringLiteral("<td>台北市&lt;script&gt;&amp;</td>")));
  EXPECT_FALSE(p.contains(QStringLiteral("<script>")));
  EXPECT_TRUE(p.contains(QStringLiteral("<td>a&lt;b&gt;<br>&#39;c&#39;</td>")));
  EXPECT_TRUE(p.contains(QStringLiteral("<title><i>出貨</i></title>")));
  EXPECT_TRUE(p.contains(QStringLiteral("<b>青鳥小舖</b><br>電話 02-0000")));
  EXPECT_TRUE(p.contains(QStringLiteral("http://x.tw/?a=1&amp;b=2")));
}

TEST_F(ShippingNotes, DefaultLayoutWithoutSpecialCharactersIsThePlainForm) {
  // Default settings: name, price, quantity and amount; no picture, no colspan.
  const QString p = ShippingNote::selectedOrders(db, listRows({1}), false).value();
  const QStringList lines = p.split(QStringLiteral("\r\n"));
  ASSERT_EQ(lines.size(), 13);  // head, O1 to O6 (two lines), O7, O8, O9, the end, and the empty rest
  EXPECT_EQ(lines[0], kHead);
  EXPECT_EQ(lines[1], QStringLiteral("<table width=650><tr><td colspan=3><center><b><u><font size=5>出貨單</font></u>"
                                     "</b></center><br></td></tr><tr><td width=50%>"));
  EXPECT_EQ(lines[2], QStringLiteral("<table border=0>"
                                     "<tr><td nowrap><b>訂單編號</b>：</td><td>2403000001</td></tr>"
                                     "<tr><td nowrap><b>客戶帳號</b>：</td><td>amy</td></tr>"
                                     "<tr><td nowrap><b>客戶分類</b>：</td><td>露天拍賣</td></tr>"
                                     "<tr><td nowrap><b>姓　　名</b>：</td><td>王小美</td></tr>"
                                     "<tr><td nowrap><b>電　　話</b>：</td><td>02-1234</td></tr>"
                                     "<tr><td nowrap><b>手　　機</b>：</td><td>0912345678</td></tr>"
                                     "<tr><td nowrap><b>運費類別</b>：</td><td>買方付運費</td></tr>"
                                     "<tr><td><b>運送方式</b>：</td><td>寄郵局</td></tr>"
                                     "<tr><td nowrap><b>地　　址</b>：</td><td>台北市&lt;script&gt;&amp;</td></tr>"
                                     "</table>"));
  EXPECT_EQ(lines[3], QStringLiteral("</td><td width=3%><br></td><td width=50% valign=top>"));
  EXPECT_EQ(lines[5], QStringLiteral("</td></tr><tr><td colspan=3><br><table width=100%><tr>"
                                     "<td width=60%><b>商品名稱</b></td><td width=15% align=center><b>售價</b></td>"
                                     "<td width=10% align=center><b>數量</b></td><td width=15% align=right><b>小計</b>"
                                     "</td></tr><tr><td colspan=4><hr size=1></td></tr>"));
  EXPECT_EQ(lines[6], QStringLiteral("<tr><td width=60%>Tea</td><td width=15% align=center>500</td>"
                                     "<td width=10% align=center>2</td><td width=15% align=right>1000</td></tr>"));
  EXPECT_EQ(lines[8], QStringLiteral("<tr><td colspan=4><hr size=1></td></tr>"));
  // Goods 1200 at 95 %: 60 off, plus the buyer's fee of 60.
  EXPECT_EQ(lines[9], QStringLiteral("<tr><td><b>總計</b> 1200  - 折扣 60 + 運費 60</td><td></td>"
                                     "<td align=center>3</td><td align=right>1200</td></tr>"));
  EXPECT_EQ(lines[10], QStringLiteral("</table></td></tr></table><p style='page-break-after:always'></p>"));
  EXPECT_EQ(lines[11], QStringLiteral("</body></html>"));
  EXPECT_EQ(lines[12], QString());
}

TEST_F(ShippingNotes, TotalRowFollowsTheDiscountsAndTheFee) {
  struct Case {
    const char* goodsPrice;  // one line of quantity 1
    const char* percent;
    const char* amount;
    const char* sellerPays;
    const char* fee;
    const char* expected;  // the first cell of the total row after "總計</b> "
    const char* total;
  } cases[] = {
      {"30", "95", "", "1", "0", "30  - 折扣 1", "29"},         // 28.5 rounds up
      {"-30", "95", "", "1", "0", "-30  - 折扣 -1", "-29"},     // -28.5 rounds away from zero
      {"1001", "95", "", "1", "0", "1001  - 折扣 50", "951"},
      {"100", "", "-20 1", "1", "0", "100  - 折扣 -20", "120"},  // a surcharge raises the total
      {"100", "90", "5 1", "0", "60", "100  - 折扣 10 - 折扣 5 + 運費 60", "145"},
      {"100", "", "", "", "60", "100  + 運費 60", "160"},          // an empty bearer cell: the buyer pays
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expected);
    PrintoutFixture f;
    f.db.Stock.clear();
    f.addLine({QStringLiteral("2403000001"), QStringLiteral("P"), QString(), QString::fromLatin1(c.goodsPrice),
               QString(), QStringLiteral("1")});
    f.db.Order.setCell(1, OrderCell::DiscountPercent, QString::fromLatin1(c.percent));
    f.db.Order.setCell(1, OrderCell::DiscountAmount, QString::fromLatin1(c.amount));
    f.db.Order.setCell(1, OrderCell::SellerPaysShipping, QString::fromLatin1(c.sellerPays));
    f.db.Order.setCell(1, OrderCell::ShippingFee, QString::fromLatin1(c.fee));
    const QString p = ShippingNote::selectedOrders(f.db, f.listRows({1}), false).value();
    EXPECT_TRUE(p.contains(QStringLiteral("<td><b>總計</b> ") + QString::fromUtf8(c.expected) +
                           QStringLiteral("</td><td></td><td align=center>1</td><td align=right>") +
                           QString::fromLatin1(c.total) + QStringLiteral("</td></tr>")))
        << p.toStdString();
  }
}

TEST_F(ShippingNotes, ColumnAndSeparatorEdges) {
  // Separators on: a rule after every line and no closing rule.
  db.settings.NoteSeparators = 1;
  QString p = ShippingNote::selectedOrders(db, listRows({1}), false).value();
  EXPECT_EQ(p.count(QStringLiteral("<hr size=1>")), 3);
  EXPECT_TRUE(p.contains(QStringLiteral("1000</td></tr><tr><td colspan=4><hr size=1></td></tr>\r\n")));
  // No amount column: no total row.
  db.settings.NoteSeparators = 0;
  db.settings.NoteColPct[7] = 0;
  p = ShippingNote::selectedOrders(db, listRows({1}), false).value();
  EXPECT_FALSE(p.contains(QStringLiteral("總計")));
  // Every column off: empty rows spanning 0 columns.
  db.settings.NoteColPct.fill(0);
  p = ShippingNote::selectedOrders(db, listRows({1}), false).value();
  EXPECT_TRUE(p.contains(QStringLiteral("<table width=100%><tr></tr><tr><td colspan=0><hr size=1></td></tr>\r\n"
                                        "<tr></tr>\r\n<tr></tr>\r\n<tr><td colspan=0>")));
  // Only the amount column: the 總計 cell still comes first.
  db.settings.NoteColPct[7] = 15;
  p = ShippingNote::selectedOrders(db, listRows({1}), false).value();
  EXPECT_TRUE(p.contains(QStringLiteral("<tr><td><b>總計</b> 1200  - 折扣 60 + 運費 60</td><td align=right>1200</td></tr>")));
}

TEST_F(ShippingNotes, EmptySelectionMissingRowsAndTheMask) {
  EXPECT_EQ(ShippingNote::selectedOrders(db, {}, false).value(), kHead + QStringLiteral("\r\n</body></html>\r\n"));

  std::vector<QStringList> rows = listRows({1});
  rows[0][OrderListCol::OrderIndex] = QStringLiteral("3");  // past the end of Order
  EXPECT_FALSE(ShippingNote::selectedOrders(db, rows, false).has_value());

  // The mobile number is masked on the page and stays untouched in Guest.
  const QString p = ShippingNote::selectedOrders(db, listRows({1}), true).value();
  EXPECT_TRUE(p.contains(QStringLiteral("<td>0912***678</td>")));
  EXPECT_EQ(db.Guest.cell(2, GuestCell::CustomerMobile), QStringLiteral(" 0912345678 "));
}

TEST_F(ShippingNotes, CharactersBig5CannotHoldBecomeReferences) {
  db.Guest.setCell(2, GuestCell::CustomerAddress, QStringLiteral("台北市😀"));
  const QByteArray bytes = HtmlText::encodePage(page());
  EXPECT_TRUE(bytes.contains("&#128512;"));
  EXPECT_FALSE(bytes.contains('?'));
}

// ---- the one-order note of the order editor ----

ShippingNote::EditorOrder editorOrder() {
  ShippingNote::EditorOrder o;
  o.number = QStringLiteral("2403000009");
  o.date = QStringLiteral("2024/03/09");
  o.account = QStringLiteral("amy");
  o.name = QStringLiteral("王<小美>");
  o.mobile = QStringLiteral("0912345678");
  o.payDate = QStringLiteral("未匯款");
  o.fee = QStringLiteral("60");
  o.percentOn = true;
  o.percent = QStringLiteral("95");
  o.note = QStringLiteral("x\r\ny");
  return o;
}

OrderLine line(const char* name, const char* price, const char* qty, bool ticked) {
  OrderLine l;
  l.name = QString::fromLatin1(name);
  l.price = QString::fromLatin1(price);
  l.qty = QString::fromLatin1(qty);
  l.ticked = ticked;
  return l;
}

TEST(EditorShippingNote, LineFilterPicksTheLines) {
  const OrderLines lines = {line("A", "100", "1", false), line("B", "200", "1", true), line("C", "1", "1", true)};
  const std::vector<bool> selected = {true, false, false};
  using F = std::array<bool, 4>;
  EXPECT_EQ(ShippingNote::filterLines(lines, selected, F{true, false, false, false}), (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(ShippingNote::filterLines(lines, selected, F{false, true, false, false}), (std::vector<int>{1, 2}));
  EXPECT_EQ(ShippingNote::filterLines(lines, selected, F{false, false, true, false}), (std::vector<int>{0}));
  EXPECT_EQ(ShippingNote::filterLines(lines, selected, F{false, false, false, true}), (std::vector<int>{0}));
  EXPECT_EQ(ShippingNote::filterLines(lines, {}, F{false, false, false, true}), (std::vector<int>{}));
  EXPECT_EQ(ShippingNote::filterLines(lines, selected, F{false, false, false, false}), (std::vector<int>{}));
}

TEST(EditorShippingNote, OnePageOfTheBoxesWithTheReceivableOfThePrintedLines) {
  Database db;
  db.settings.NoteFields.fill(true);
  ShippingNote::EditorOrder o = editorOrder();
  o.lines = {line("B", "200", "1", true)};  // of 100 and 200 only the second passes
  EXPECT_EQ(ShippingNote::editorReceivable(o), QStringLiteral("250"));  // 200 - 10 + 60
  const QString p = ShippingNote::editorOrder(db, o, true);
  const QStringList lines = p.split(QStringLiteral("\r\n"));
  // The head and the title row stand on one line; no page break at the end.
  EXPECT_EQ(lines[0], kHead + QStringLiteral("<table width=650><tr><td colspan=3><center><b><u><font size=5>出貨單"
                                             "</font></u></b></center><br></td></tr><tr><td width=50%>"));
  EXPECT_TRUE(lines[1].contains(QStringLiteral("<td>王&lt;小美&gt;</td>")));
  EXPECT_TRUE(lines[1].contains(QStringLiteral("<b>匯款日期</b>：</td><td>未匯款</td>")));
  EXPECT_TRUE(lines[1].contains(QStringLiteral("<b>性　　別</b>：</td><td></td>")));
  EXPECT_TRUE(lines[1].contains(QStringLiteral("<td>0912***678</td>")));
  EXPECT_TRUE(lines[1].contains(QStringLiteral("<b>備　　註</b>：</td><td>x<br>y</td>")));
  EXPECT_TRUE(lines[1].contains(QStringLiteral("<b>應收款項</b>：</td><td>250</td>")));
  EXPECT_TRUE(p.contains(QStringLiteral("<td><b>總計</b> 200  - 折扣 10 + 運費 60</td>")));
  EXPECT_TRUE(p.endsWith(QStringLiteral("</table></td></tr></table></body></html>\r\n")));
  EXPECT_FALSE(p.contains(QStringLiteral("page-break")));

  // No line printed: goods 0, the amount discount and the fee remain.
  o.lines.clear();
  o.percentOn = false;
  o.amountOn = true;
  o.amount = QStringLiteral("15");
  o.sellerPays = true;
  EXPECT_EQ(ShippingNote::editorReceivable(o), QStringLiteral("-15"));
}

// The seller block's default text is the settings dialog's hint to the
// seller: while it stands untouched, word for word, the seller's cell of
// every note (main list and order editor) stays empty. Any other text is
// printed as written.
TEST_F(ShippingNotes, TheUntouchedDefaultSellerBlockLeavesTheCellEmpty) {
  const QString hint = DatabaseSettings::defaultNoteShopInfo();
  ASSERT_EQ(db.settings.NoteShopInfo, hint);  // the default of a new database
  const struct {
    QString setting;
    QString printed;
  } cases[] = {
      {hint, QString()},
      {hint + QStringLiteral(" "), hint + QStringLiteral(" ")},
      {hint + QStringLiteral("\r\n青鳥小舖"), hint + QStringLiteral("<br>青鳥小舖")},
      {hint.left(hint.size() - 1), hint.left(hint.size() - 1)},
      {QStringLiteral("<b>青鳥小舖</b>"), QStringLiteral("<b>青鳥小舖</b>")},
      {QString(), QString()},
  };
  for (const auto& c : cases) {
    db.settings.NoteShopInfo = c.setting;
    const QStringList main = ShippingNote::selectedOrders(db, listRows({1, 2}), false).value().split(QStringLiteral("\r\n"));
    ASSERT_GT(main.size(), 4);
    // The cell's line follows the one that opens it, on every page.
    for (int i = 0; i + 1 < main.size(); ++i) {
      if (main[i].endsWith(QStringLiteral("valign=top>"))) {
        EXPECT_EQ(main[i + 1], c.printed) << c.setting.toStdString();
      }
    }
    EXPECT_EQ(main.count(QStringLiteral("</td><td width=3%><br></td><td width=50% valign=top>")), 2);

    const QStringList editor = ShippingNote::editorOrder(db, editorOrder(), false).split(QStringLiteral("\r\n"));
    const qsizetype open = editor.indexOf(QStringLiteral("</td><td width=3%><br></td><td width=50% valign=top>"));
    ASSERT_GE(open, 0);
    EXPECT_EQ(editor[open + 1], c.printed) << c.setting.toStdString();
  }
}

}  // namespace
