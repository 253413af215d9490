#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>

#include "ReportsFixture.h"
#include "ScriptedPrompt.h"
#include "models/AdvancedOrderSearch.h"
#include "reports/OrderSearch.h"

namespace {

using AdvancedOrderSearch::Fields;

std::vector<int> run(const Database& db, Fields f, bool username = false) {
  AdvancedOrderSearch::prepare(f);
  EXPECT_EQ(AdvancedOrderSearch::dateMessage(f), "");
  AdvancedOrderSearch::orderRanges(f);
  return AdvancedOrderSearch::find(db, f, username);
}

Fields with(bool unshipped, bool shipped, bool unpaid = false) {
  Fields f;
  f.unshipped = unshipped;
  f.shipped = shipped;
  f.unpaid = unpaid;
  return f;
}

}  // namespace

TEST(OrderSearch, DateBoxesAreCheckedInTheirOrder) {
  const struct {
    const char* box;  // which box gets the text
    const char* text;
    QString message;
  } cases[] = {
      {"dateFrom", "2004051", AdvancedOrderSearch::DateMessage},
      {"dateTo", "2004/05/13", AdvancedOrderSearch::DateMessage},
      {"shipDateFrom", "20040513x", AdvancedOrderSearch::ShipDateMessage},
      {"shipDateTo", "2004-5-13", AdvancedOrderSearch::ShipDateMessage},
      {"payDateFrom", "+2004051", AdvancedOrderSearch::PayDateMessage},
      {"payDateTo", "abcdefgh", AdvancedOrderSearch::PayDateMessage},
      {"dateFrom", "20041399", ""},          // no calendar check
      {"payDateTo", "  20040513  ", ""},     // blanks go before the check
      {"payDateFrom", "20040513\r\nx", ""},  // so does a second line
  };
  for (const auto& c : cases) {
    Fields f;
    QString* box = QString(c.box) == "dateFrom"       ? &f.dateFrom
                   : QString(c.box) == "dateTo"       ? &f.dateTo
                   : QString(c.box) == "shipDateFrom" ? &f.shipDateFrom
                   : QString(c.box) == "shipDateTo"   ? &f.shipDateTo
                   : QString(c.box) == "payDateFrom"  ? &f.payDateFrom
                                                      : &f.payDateTo;
    *box = QString::fromUtf8(c.text);
    AdvancedOrderSearch::prepare(f);
    EXPECT_EQ(AdvancedOrderSearch::dateMessage(f), c.message) << c.box << " " << c.text;
  }
  // The order date boxes are checked before the ship and pay dates.
  Fields f;
  f.payDateTo = "x";
  f.dateTo = "y";
  EXPECT_EQ(AdvancedOrderSearch::dateMessage(f), AdvancedOrderSearch::DateMessage);
}

TEST(OrderSearch, Criteria) {
  Database db;
  fillOrders(db);
  EXPECT_EQ(run(db, with(true, false)), (std::vector<int>{2, 3, 5}));
  EXPECT_EQ(run(db, with(false, true)), (std::vector<int>{1, 4}));
  // "未匯款" is the whole payment state: the one with the feedback mark is not found.
  EXPECT_EQ(run(db, with(false, false, true)), (std::vector<int>{2}));
  EXPECT_EQ(run(db, with(false, false)), std::vector<int>{});

  Fields f = with(true, false);
  f.category = "露天拍賣";
  EXPECT_EQ(run(db, f), (std::vector<int>{3}));
  f = with(false, true);
  f.orderNo = "0100";
  EXPECT_EQ(run(db, f), (std::vector<int>{4}));
  f = with(true, false);
  f.dateFrom = "20240531";
  f.dateTo = "20240201";  // reversed, both ends included
  EXPECT_EQ(run(db, f), (std::vector<int>{3, 5}));
  f.dateTo = "";  // half a range: no date filter
  EXPECT_EQ(run(db, f), (std::vector<int>{2, 3, 5}));

  // The customer's name counts only while names are shown.
  f = with(true, false);
  f.account = "小美";
  EXPECT_EQ(run(db, f), std::vector<int>{});
  EXPECT_EQ(run(db, f, true), (std::vector<int>{3}));
  f.account = "AMY";
  EXPECT_EQ(run(db, f), (std::vector<int>{3}));

  f = with(true, false);
  f.note = "快";
  EXPECT_EQ(run(db, f), (std::vector<int>{3}));

  // Ship dates: only a method and a date is found; "已出貨" and "未出貨" never.
  f = with(false, true);
  f.shipDateFrom = "20240212";
  f.shipDateTo = "20240212";
  EXPECT_EQ(run(db, f), (std::vector<int>{1}));
  f = with(true, false);
  f.shipDateFrom = "00000000";
  f.shipDateTo = "99999999";
  EXPECT_EQ(run(db, f), std::vector<int>{});

  // Remittance dates: unpaid orders and "已匯款" never.
  f = with(false, true);
  f.payDateFrom = "20240101";
  f.payDateTo = "20241231";
  EXPECT_EQ(run(db, f), (std::vector<int>{1}));
  f = with(true, false);
  f.payDateFrom = "20240101";
  f.payDateTo = "20241231";
  EXPECT_EQ(run(db, f), (std::vector<int>{5}));
}

// A name is that of the first customer of the order's account and category;
// an account holding the text needs no customer.
TEST(OrderSearch, NamesOfTheFirstCustomerOfTheKey) {
  Database db;
  const std::pair<const char*, QString> guests[] = {
      {"amy", "李四" + QString(QChar(1)) + "女"},          // the first amy/露天
      {"amy", "王小美" + QString(QChar(1)) + "女"},        // a second amy/露天: its name does not count
      {"amy", "王美" + QString(QChar(1)) + "女"},          // amy/蝦皮 (below)
      {"王bob", "林" + QString(QChar(1)) + "男"},
      {"cal", "王"},                                       // a name without sex part
      {"eve", QString(QChar(1)) + "王"},                   // the sex holds the text, the name does not
  };
  for (const auto& [account, name] : guests) {
    const int r = db.Guest.append(account);
    db.Guest.setCell(r, GuestCell::CustomerCategory, r == 3 ? "蝦皮拍賣" : "露天拍賣");
    db.Guest.setCell(r, GuestCell::CustomerNameSex, name);
  }
  const std::pair<const char*, const char*> orders[] = {{"amy", "露天拍賣"}, {"amy", "蝦皮拍賣"}, {"王bob", "蝦皮拍賣"},
                                                        {"cal", "露天拍賣"}, {"dan", "露天拍賣"}, {"cal", "蝦皮拍賣"},
                                                        {"eve", "露天拍賣"}, {"AMY", "蝦皮拍賣"}};
  for (const auto& [account, category] : orders)
    addOrder(db, {QStringLiteral("A%1").arg(db.Order.count() + 1), "2024/01/01", account, category, "0", "0", "未匯款",
                  "未出貨"});
  Fields f = with(true, false);
  f.account = "王";
  EXPECT_EQ(run(db, f, true), (std::vector<int>{2, 3, 4}));
  EXPECT_EQ(run(db, f), (std::vector<int>{3}));
  f.account = "Am";  // letters with cases: the accounts in any case, no name holds them
  EXPECT_EQ(run(db, f, true), (std::vector<int>{1, 2, 8}));
  f.note = "x";  // a later criterion still applies to orders found by name
  f.account = "王";
  EXPECT_EQ(run(db, f, true), std::vector<int>{});
}

// The dialog lists into the main window's list, hands its filters back
// quietly and runs or clears the shortage list.
TEST(OrderSearch, DialogListsHandsBackAndCloses) {
  Database db;
  fillOrders(db);
  ScriptedPrompt prompt;
  FakeHost host;
  host.category = 1;  // 露天拍賣
  host.username = true;
  bool shown = false;
  OrderSearch::open(db, prompt, host, nullptr, false, true, [&](OrderSearch& dlg) {
    shown = true;
    EXPECT_EQ(dlg.categoryCombo->count(), 5);  // 全部, three categories, 未分類
    EXPECT_EQ(dlg.categoryCombo->currentText(), "露天拍賣");
    EXPECT_TRUE(dlg.shippedOption->isChecked());
    EXPECT_FALSE(dlg.unshippedOption->isChecked());
    EXPECT_TRUE(dlg.orderNumberEdit->text().isEmpty());

    // A bad date keeps the dialog and the main list as they were.
    dlg.dateFromEdit->setText(" 2024/02 ");
    dlg.onSearch();
    EXPECT_EQ(prompt.texts(), QStringList{AdvancedOrderSearch::DateMessage});
    EXPECT_EQ(prompt.shown.back().title, "注意");
    EXPECT_EQ(dlg.dateFromEdit->text(), "2024/02");
    EXPECT_EQ(host.shows, 0);

    dlg.dateFromEdit->clear();
    dlg.categoryCombo->setCurrentIndex(0);
    dlg.unpaidOption->setChecked(true);
    dlg.onSearch();
  });
  ASSERT_TRUE(shown);
  EXPECT_EQ(host.keys(), QStringList{"2401000001"});
  ASSERT_EQ(host.panels.size(), 7);
  EXPECT_EQ(host.panels[0], "應收帳款: 335 ");
  EXPECT_EQ(host.panels[4], "未匯款: 335 ");
  EXPECT_EQ(host.panels[6], " 共 1 筆資料");
  EXPECT_EQ(host.category, 0);
  EXPECT_FALSE(host.unshipped);  // "未匯款" leaves both options clear
  EXPECT_FALSE(host.shipped);
  EXPECT_EQ(host.shortageClears, 1);
  EXPECT_EQ(host.shortageRuns, 0);

  // Unshipped with names shown: the shortage check runs afterwards.
  OrderSearch::open(db, prompt, host, nullptr, true, false, [&](OrderSearch& dlg) {
    dlg.customerEdit->setText("小美");
    dlg.onSearch();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
  });
  EXPECT_EQ(host.keys(), QStringList{"2402000002"});
  EXPECT_EQ(host.rows[0][2], "amy (王小美)");
  EXPECT_EQ(host.rows[0][6], "-100");
  EXPECT_TRUE(host.unshipped);
  EXPECT_EQ(host.shortageRuns, 1);

  // Nothing found, then 取消: the list empties only through a search.
  OrderSearch::open(db, prompt, host, nullptr, true, false, [&](OrderSearch& dlg) {
    dlg.orderNumberEdit->setText("nothing");
    dlg.onSearch();
  });
  EXPECT_TRUE(host.rows.empty());
  EXPECT_EQ(host.panels[6], "沒有找到符合的訂單");
  EXPECT_EQ(host.panels[2], "成本: 0 ");
  const int shows = host.shows;
  OrderSearch::open(db, prompt, host, nullptr, true, false, [&](OrderSearch& dlg) { dlg.onCancel(); });
  EXPECT_EQ(host.shows, shows);
}
