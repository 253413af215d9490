#include "printouts/MailingLabels.h"

#include <gtest/gtest.h>

#include "PrintoutFixture.h"
#include "models/GuestList.h"

namespace {

struct MailingLabelsTest : ::testing::Test, PrintoutFixture {
  QString orderLabel(const QString& templ, int orderRow = 1, bool mask = true) {
    db.settings.AddrTemplate = templ;
    return MailingLabels::orderListLabels(db, listRows({orderRow}), mask).value();
  }
  QString customerLabel(const QString& templ, const GuestList::View& view = GuestList::allShown()) {
    db.settings.AddrTemplate = templ;
    return MailingLabels::customerLabels(db, {GuestList::row(db.Guest, 2, view)}).value();
  }
  static MailingLabels::EditorLabel editor() {
    MailingLabels::EditorLabel e;
    e.number = QStringLiteral("2403000009");
    e.account = QStringLiteral("amy");
    e.name = QStringLiteral("王小美");
    e.phone = QStringLiteral("02");
    e.mobile = QStringLiteral("0912345678");
    e.bank = QStringLiteral("5");
    e.address = QStringLiteral("台北市");
    e.category = QStringLiteral("露天拍賣");
    e.note = QStringLiteral("n");
    e.email = QStringLiteral("e@x");
    e.method = QStringLiteral("寄宅配");
    e.totalQty = QStringLiteral("3");
    e.receivable = QStringLiteral("250");
    e.date = QStringLiteral("2024/03/09");
    e.payDate = QStringLiteral("2024/03/10");
    e.shipDate = QStringLiteral("2024/03/11");
    OrderLine tea, cup;
    tea.name = QStringLiteral("Tea");
    tea.price = QStringLiteral("500");
    tea.qty = QStringLiteral("2");
    cup.name = QStringLiteral("Cup");
    cup.price = QStringLiteral("19.9");
    cup.qty = QStringLiteral("3");
    e.lines = {tea, cup};
    return e;
  }
  QString editorLabel(const QString& templ, const MailingLabels::EditorLabel& e = editor()) {
    db.settings.AddrTemplate = templ;
    return MailingLabels::editorLabel(db, e, true);
  }
};

// Every placeholder on one fixture, for the three writers. nullptr: the
// writer does not fill it and it stays as typed.
TEST_F(MailingLabelsTest, EveryPlaceholderOfTheThreeWriters) {
  struct Case {
    const char* holder;
    const char* orderList;  // order 1 of amy, mask on
    const char* customer;   // amy's row of the customer window
    const char* editor;     // the editor's boxes and two lines
  } cases[] = {
      {"$User", "amy", "amy", "amy"},
      {"$Name", "王小美", "王小美", "王小美"},
      {"$Sex", "小姐", "小姐", "先生"},
      {"$Tel", "02-1234", "02-1234", "02"},
      {"$Phone", "0912***678", " 0912345678 ", "0912***678"},
      {"$Email", "amy@x.tw", "amy@x.tw", "e@x"},
      {"$Addr", "台北市<script>&", "台北市<script>&", "台北市"},
      {"$Bank", "12345", "12345", "5"},
      {"$Web", "露天拍賣", "露天拍賣", "露天拍賣"},
      {"$Note", "", "常客", "n"},
      {"$Num", "2403000001", nullptr, "2403000009"},
      {"$Shipping", "寄郵局", nullptr, "寄宅配"},
      {"$Receivables", "1200", nullptr, "250"},
      {"$oDate", "2024/03/01", nullptr, "2024/03/09"},
      {"$pDate", "2024/03/02", nullptr, "2024/03/10"},
      {"$sDate", "2024/03/05", nullptr, "2024/03/11"},
      {"$Total", "3", nullptr, "3"},
      {"$Manuf", "Teax2\r\nCupx1\r\n", nullptr, "Teax2\r\nCupx3\r\n"},
      {"$ManufPrice", "Teax2 $1000\r\nCupx1 $200\r\n", nullptr, "Teax2 $1000\r\nCupx3 $59.7\r\n"},
      {"$M1", "Teax2", nullptr, "Teax2"},
      {"$M2", "Cupx1", nullptr, "Cupx3"},
      {"$M3", "", nullptr, ""},
      {"$M50", "", nullptr, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.holder);
    const QString h = QString::fromLatin1(c.holder);
    const auto expect = [&](const char* v) { return v ? QString::fromUtf8(v) : h; };
    EXPECT_EQ(orderLabel(h), expect(c.orderList) + QStringLiteral("\r\n"));
    EXPECT_EQ(customerLabel(h), expect(c.customer) + QStringLiteral("\r\n\r\n"));
    EXPECT_EQ(editorLabel(h), expect(c.editor) + QStringLiteral("\r\n"));
  }
}

TEST_F(MailingLabelsTest, LinePlaceholdersStayWhole) {
  // One line: "$M1" is the line, the two-digit ones are emptied first.
  EXPECT_EQ(orderLabel(QStringLiteral("$M1|$M10|$M20"), 2), QStringLiteral("Cupx3||\r\n"));
  EXPECT_EQ(editorLabel(QStringLiteral("$M1|$M10|$M2")), QStringLiteral("Teax2||Cupx3\r\n"));
  // Twelve lines: lines 10 to 12 fill their own placeholders.
  db.Stock.clear();
  for (int i = 1; i <= 12; ++i)
    addLine({QStringLiteral("2403000001"), QStringLiteral("P%1").arg(i), QString(), QStringLiteral("1"), QString(),
             QStringLiteral("1")});
  EXPECT_EQ(orderLabel(QStringLiteral("$M1|$M9|$M10|$M12|$M13|$Total")),
            QStringLiteral("P1x1|P9x1|P10x1|P12x1||12\r\n"));
  // No lines at all.
  db.Stock.clear();
  EXPECT_EQ(orderLabel(QStringLiteral("[$Manuf][$ManufPrice][$Total][$M1]")), QStringLiteral("[][][0][]\r\n"));
}

TEST_F(MailingLabelsTest, NameSexSplitAndMissingCustomer) {
  // A name without the separator: the whole text, "$Sex" as typed.
  db.Guest.setCell(2, GuestCell::CustomerNameSex, QStringLiteral("王小美"));
  EXPECT_EQ(orderLabel(QStringLiteral("$Name $Sex")), QStringLiteral("王小美 $Sex\r\n"));
  db.Guest.setCell(2, GuestCell::CustomerNameSex, QString());
  EXPECT_EQ(customerLabel(QStringLiteral("$Name $Sex")), QStringLiteral("$Name $Sex\r\n\r\n"));
  db.Guest.setCell(2, GuestCell::CustomerNameSex, QStringLiteral("王\x01"));
  EXPECT_EQ(orderLabel(QStringLiteral("$Sex")), QStringLiteral("先生\r\n"));
  // bob is not in Guest: his customer placeholders stay, the order's are filled.
  EXPECT_EQ(orderLabel(QStringLiteral("$User $Tel $Num $Manuf"), 2),
            QStringLiteral("$User $Tel 2403000002 Cupx3\r\n\r\n"));
}

TEST_F(MailingLabelsTest, BlanksAroundTheTemplate) {
  // Off in order-list and customer labels, kept in the editor's.
  EXPECT_EQ(orderLabel(QStringLiteral("  $Num  ")), QStringLiteral("2403000001\r\n"));
  EXPECT_EQ(customerLabel(QStringLiteral(" $User ")), QStringLiteral("amy\r\n\r\n"));
  EXPECT_EQ(editorLabel(QStringLiteral(" $User ")), QStringLiteral(" amy \r\n"));
}

TEST_F(MailingLabelsTest, HiddenColumnsOfTheCustomerWindowGiveEmptyValues) {
  GuestList::View view = GuestList::allShown();
  view[GuestList::Address] = false;
  view[GuestList::Email] = false;
  view[GuestList::Name] = false;
  // "$Name" and "$Email" come from the table, not the view.
  EXPECT_EQ(customerLabel(QStringLiteral("[$Addr][$Email][$Name]"), view),
            QStringLiteral("[][amy@x.tw][王小美]\r\n\r\n"));
}

TEST_F(MailingLabelsTest, HtmlLabelsDeclareBig5AndEscapeValues) {
  db.settings.AddrFileExt = QStringLiteral("htm");
  EXPECT_EQ(MailingLabels::fileName(db.settings.AddrFileExt), QStringLiteral("temp.htm"));
  const QString head = QStringLiteral(
      "<html><head><meta http-equiv='Content-Type' content='text/html; charset=big5'><title>郵寄名條</title>"
      "</head><body>");
  EXPECT_EQ(orderLabel(QStringLiteral("<b>$Addr</b>")),
            head + QStringLiteral("\r\n<b>台北市&lt;script&gt;&amp;</b>\r\n<br>\r\n</body></html>\r\n"));
  MailingLabels::EditorLabel e = editor();
  e.name = QStringLiteral("A&B \"x\"");
  EXPECT_EQ(editorLabel(QStringLiteral("<i>$Name</i>"), e),
            head + QStringLiteral("<i>A&amp;B &quot;x&quot;</i></body></html>\r\n"));
  // Customer labels are always text, unescaped.
  EXPECT_EQ(customerLabel(QStringLiteral("$Addr")), QStringLiteral("台北市<script>&\r\n\r\n"));
  // No selected order: the page's head and end only.
  EXPECT_EQ(MailingLabels::orderListLabels(db, {}, false).value(), head + QStringLiteral("\r\n</body></html>\r\n"));
}

TEST_F(MailingLabelsTest, RowsNamingNoTableRowFail) {
  std::vector<QStringList> rows = listRows({1});
  rows[0][OrderListCol::OrderIndex] = QStringLiteral("0");
  EXPECT_FALSE(MailingLabels::orderListLabels(db, rows, false).has_value());
  QStringList guest = GuestList::row(db.Guest, 2, GuestList::allShown());
  guest[GuestList::Index] = QStringLiteral("9");
  EXPECT_FALSE(MailingLabels::customerLabels(db, {guest}).has_value());
  // The table keeps the mobile number as stored, blanks and all.
  (void)MailingLabels::orderListLabels(db, listRows({1}), true);
  EXPECT_EQ(db.Guest.cell(2, GuestCell::CustomerMobile), QStringLiteral(" 0912345678 "));
}

}  // namespace
