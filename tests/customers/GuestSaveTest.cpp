#include <gtest/gtest.h>

#include "ScriptedPrompt.h"
#include "customers/GuestSave.h"
#include "platform/SettingsStore.h"
#include "store/Database.h"

namespace {

const QChar kSep(1);

struct GuestSaveTest : ::testing::Test {
  Database db;
  ScriptedPrompt prompt;
  std::vector<CustomerFields> handed;
  CustomerSink sink = [this](const CustomerFields& f) { handed.push_back(f); };

  void SetUp() override {
    SettingsStore::remove("GuestForm", "Set2");
    SettingsStore::remove("GuestForm", "Set_2_Value");
    db.settings.CustomerCategories = QStringList{"露天", "蝦皮"};
    addGuest("amy", "露天", QString("王小美") + kSep + "女", "02-1111", "0911", "amy@x.tw", "台北市");
    addGuest("bob", "蝦皮", "", "", "", "", "");
    addGuest("cat", "露天", "陳貓", "", "0922", "", "");  // no separator in the name cell
    addOrder("A1", "amy", "露天");
    addOrder("A2", "amy", "蝦皮");  // same account, other customer
    addOrder("A3", "amy", "露天");
    db.setDirty(false);
  }
  int addGuest(const QString& acc, const QString& cat, const QString& ns, const QString& phone,
               const QString& mobile, const QString& mail, const QString& addr) {
    const int r = db.Guest.append(acc);
    db.Guest.setCell(r, GuestCell::CustomerCategory, cat);
    db.Guest.setCell(r, GuestCell::CustomerNameSex, ns);
    db.Guest.setCell(r, GuestCell::CustomerPhone, phone);
    db.Guest.setCell(r, GuestCell::CustomerMobile, mobile);
    db.Guest.setCell(r, GuestCell::CustomerEmail, mail);
    db.Guest.setCell(r, GuestCell::CustomerAddress, addr);
    return r;
  }
  void addOrder(const QString& no, const QString& acc, const QString& cat) {
    const int r = db.Order.append(no);
    db.Order.setCell(r, OrderCell::BuyerAccount, acc);
    db.Order.setCell(r, OrderCell::BuyerCategory, cat);
  }
  static CustomerFields boxes(const QString& account, const QString& category = "露天") {
    CustomerFields b;
    b.account = account;
    b.category = category;
    return b;
  }
  GuestSave::Result save(CustomerFields& b, int mode, const QString& nameStr = {}, const QString& saleStr = {},
                         int selEdit = 0) {
    return GuestSave::run(db, prompt, b, {mode, nameStr, saleStr, selEdit}, sink);
  }
  QStringList buyers() const {
    QStringList out;
    for (int r = 1; r <= db.Order.count(); ++r)
      out << db.Order.cell(r, OrderCell::BuyerAccount) + "/" + db.Order.cell(r, OrderCell::BuyerCategory);
    return out;
  }
};

using Outcome = GuestSave::Result::Outcome;

TEST_F(GuestSaveTest, NewCustomerIsAppendedWithSeparatorAndCategoryJoinsList) {
  auto b = boxes("dan", "Yahoo");
  const auto res = save(b, GuestSave::NewFromList);
  ASSERT_EQ(res.outcome, Outcome::Saved);
  EXPECT_EQ(res.row, 4);
  EXPECT_TRUE(res.categoryAdded);
  EXPECT_EQ(db.Guest.key(4), "dan");
  EXPECT_EQ(db.Guest.cell(4, GuestCell::CustomerNameSex), QString(kSep));  // both parts empty
  EXPECT_EQ(db.settings.CustomerCategories, (QStringList{"露天", "蝦皮", "Yahoo"}));
  EXPECT_TRUE(db.dirty());
  EXPECT_TRUE(prompt.shown.empty());
  EXPECT_TRUE(handed.empty());
}

TEST_F(GuestSaveTest, MissingAccountIsRefused) {
  for (const QString& acc : {QString(), QString("   "), QString("\"”")}) {
    prompt.clear();
    auto b = boxes(acc);
    EXPECT_EQ(save(b, GuestSave::NewFromList).outcome, Outcome::Stopped) << acc.toStdString();
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].text, "請輸入帳號");
    EXPECT_EQ(prompt.shown[0].title, "注意");
  }
  EXPECT_EQ(db.Guest.count(), 3);
  EXPECT_FALSE(db.dirty());
}

// "王😀" and "王😺" would both come back from the file as "王?": one key for
// two customers, whose orders would merge. Such text is refused where it
// enters, naming the character and its box, and nothing changes.
TEST_F(GuestSaveTest, CharactersTheFileCannotHoldAreRefusedAndNothingChanges) {
  const Table before = db.Guest;
  for (const QString& account : {QString("王😀"), QString("王😺")}) {
    prompt.clear();
    auto b = boxes(account);
    EXPECT_EQ(save(b, GuestSave::NewFromList).outcome, Outcome::Stopped);
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].text, "客戶帳號中的「" + account.mid(1) + "」無法儲存在資料檔中，請改用其他字元");
    EXPECT_EQ(prompt.shown[0].title, "注意");
  }
  // Any box: an edit of amy's address with a simplified-only character.
  prompt.clear();
  CustomerFields b = CustomerFields::fromGuestRow(db.Guest, 1);
  b.address = "台北市简体路";
  b.note = "好\"客\"";
  EXPECT_EQ(save(b, GuestSave::EditFromEditor, "amy", "露天", 1).outcome, Outcome::Stopped);
  EXPECT_EQ(prompt.texts(), QStringList{"住址中的「简」無法儲存在資料檔中，請改用其他字元"});
  EXPECT_EQ(b.note, "好\"客\"");  // refused before the cleaning: the boxes stay as typed
  EXPECT_EQ(db.Guest, before);
  EXPECT_EQ(buyers(), (QStringList{"amy/露天", "amy/蝦皮", "amy/露天"}));
  EXPECT_FALSE(db.dirty());
  EXPECT_TRUE(handed.empty());
}

TEST_F(GuestSaveTest, ExistingKeyIsRefusedInTheCustomerWindowModes) {
  // Trailing blanks and quotes go before the test; a leading blank or another
  // letter case makes another account.
  struct Case { QString account; bool exists; };
  const Case cases[] = {{"amy", true}, {"amy  ", true}, {"a\"my", true}, {" amy", false}, {"AMY", false}};
  for (const auto& c : cases) {
    prompt.clear();
    auto b = boxes(c.account);
    const auto res = save(b, GuestSave::NewFromList);
    if (c.exists) {
      EXPECT_EQ(res.outcome, Outcome::Stopped) << c.account.toStdString();
      EXPECT_EQ(prompt.texts(), QStringList{"這個帳號已經存在了!"});
      EXPECT_EQ(db.Guest.count(), 3);
    } else {
      ASSERT_EQ(res.outcome, Outcome::Saved) << c.account.toStdString();
      EXPECT_TRUE(prompt.shown.empty());
      EXPECT_EQ(db.Guest.key(res.row), c.account);
      db.Guest.remove(res.row);
    }
  }
}

TEST_F(GuestSaveTest, OverlapQuestionNamesTheFirstSharingCustomer) {
  struct Case { const char* what; CustomerFields b; int overlapsRow; };
  auto with = [](auto set) { CustomerFields b; b.account = "new"; b.category = "露天"; set(b); return b; };
  const Case cases[] = {
      {"same account, other category", with([](CustomerFields& b) { b.account = "bob"; }), 2},
      {"same name", with([](CustomerFields& b) { b.name = "陳貓"; }), 3},
      {"same phone", with([](CustomerFields& b) { b.phone = "02-1111"; }), 1},
      {"same mobile", with([](CustomerFields& b) { b.mobile = "0922"; }), 3},
      {"same e-mail", with([](CustomerFields& b) { b.email = "amy@x.tw"; }), 1},
      {"same address", with([](CustomerFields& b) { b.address = "台北市"; }), 1},
      {"sex, bank digits and note do not count",
       with([](CustomerFields& b) { b.sex = "女"; b.bankLast5 = ""; b.note = ""; }), 0},
  };
  for (const auto& c : cases) {
    prompt.clear();
    if (c.overlapsRow) prompt.answer(Prompt::Answer::No);
    CustomerFields b = c.b;
    const auto res = save(b, GuestSave::NewFromList);
    if (!c.overlapsRow) {
      EXPECT_EQ(res.outcome, Outcome::Saved) << c.what;
      db.Guest.remove(res.row);
      continue;
    }
    EXPECT_EQ(res.outcome, Outcome::Stopped) << c.what;
    ASSERT_EQ(prompt.shown.size(), 1u) << c.what;
    const auto& q = prompt.shown[0];
    EXPECT_EQ(q.title, "注意");
    EXPECT_EQ(q.icon, Prompt::Icon::Exclamation);
    EXPECT_EQ(q.buttons, Prompt::Buttons::YesNo);
    EXPECT_TRUE(q.text.contains("帳號：" + db.Guest.key(c.overlapsRow))) << c.what << q.text.toStdString();
    EXPECT_EQ(db.Guest.count(), 3) << c.what;
  }
}

TEST_F(GuestSaveTest, OverlapQuestionTextAndYesSaves) {
  auto b = boxes("bob", "露天");  // bob exists in 蝦皮
  b.name = "鮑勃";
  prompt.answer(Prompt::Answer::Yes);
  const auto res = save(b, GuestSave::NewFromList);
  ASSERT_EQ(res.outcome, Outcome::Saved);
  // bob's name-and-sex cell is empty: no "姓名：" line.
  EXPECT_EQ(prompt.shown.at(0).text,
            "新增的資料跟這個客戶有部分重覆!\r\n\r\n帳號：bob\r\n分類：蝦皮\r\n電話：\r\n手機：\r\n"
            "Email：\r\n住址：\r\n\r\n要繼續新增這筆資料嗎?");
  EXPECT_EQ(db.Guest.count(), 4);
  EXPECT_EQ(db.Guest.cell(4, GuestCell::CustomerNameSex), QString("鮑勃") + kSep);
}

TEST_F(GuestSaveTest, EmptyDetailsNeverOverlap) {
  auto b = boxes("eve", "蝦皮");  // bob has empty name, phone, mobile, e-mail and address
  EXPECT_EQ(save(b, GuestSave::NewFromList).outcome, Outcome::Saved);
  EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(GuestSaveTest, EditWithChangedKeyMovesEveryOrderOfThatCustomer) {
  auto b = CustomerFields::fromGuestRow(db.Guest, 1);
  b.account = "amy2";
  b.category = "蝦皮";
  const auto res = save(b, GuestSave::EditFromList, "amy", "露天", 1);
  ASSERT_EQ(res.outcome, Outcome::Saved);
  EXPECT_TRUE(res.keyChanged);
  EXPECT_EQ(db.Guest.key(1), "amy2");
  EXPECT_EQ(db.Guest.cell(1, GuestCell::CustomerNameSex), QString("王小美") + kSep + "女");
  EXPECT_EQ(buyers(), (QStringList{"amy2/蝦皮", "amy/蝦皮", "amy2/蝦皮"}));
  EXPECT_TRUE(prompt.shown.empty());  // no overlap test while editing
  EXPECT_TRUE(db.dirty());
}

TEST_F(GuestSaveTest, EditWithUnchangedKeyTestsNothingAndMovesNoOrder) {
  auto b = CustomerFields::fromGuestRow(db.Guest, 1);
  b.phone = "03-2222";
  const auto res = save(b, GuestSave::EditFromList, "amy", "露天", 1);
  ASSERT_EQ(res.outcome, Outcome::Saved);
  EXPECT_FALSE(res.keyChanged);
  EXPECT_EQ(db.Guest.cell(1, GuestCell::CustomerPhone), "03-2222");
  EXPECT_EQ(buyers(), (QStringList{"amy/露天", "amy/蝦皮", "amy/露天"}));
}

TEST_F(GuestSaveTest, EditOntoAnotherCustomersKeyIsRefused) {
  const Database before = db;
  auto b = CustomerFields::fromGuestRow(db.Guest, 3);
  b.account = "amy";
  EXPECT_EQ(save(b, GuestSave::EditFromList, "cat", "露天", 3).outcome, Outcome::Stopped);
  EXPECT_EQ(prompt.texts(), QStringList{"這個帳號已經存在了!"});
  EXPECT_TRUE(db.Guest == before.Guest);
  EXPECT_TRUE(db.Order == before.Order);
}

TEST_F(GuestSaveTest, EditorTakesTheExistingCustomerOnYes) {
  struct Case { int mode; QString nameStr, saleStr; int selEdit; };
  for (const Case& c : {Case{GuestSave::NewFromEditor, "", "", 0}, Case{GuestSave::EditFromEditor, "cat", "露天", 3}}) {
    handed.clear();
    prompt.clear();
    const Database before = db;
    auto b = boxes("amy");
    b.phone = "0000";
    prompt.answer(Prompt::Answer::Yes);
    const auto res = save(b, c.mode, c.nameStr, c.saleStr, c.selEdit);
    EXPECT_EQ(res.outcome, Outcome::Taken);
    EXPECT_EQ(prompt.shown.at(0).text,
              "這個帳號已經存在了!\r\n\r\n帳號：amy\r\n分類：露天\r\n姓名：王小美\r\n電話：02-1111\r\n"
              "手機：0911\r\nEmail：amy@x.tw\r\n住址：台北市\r\n\r\n要直接套用這個客戶資料嗎?");
    ASSERT_EQ(handed.size(), 1u);
    EXPECT_EQ(handed[0], CustomerFields::fromGuestRow(db.Guest, 1));
    EXPECT_EQ(handed[0].phone, "02-1111");
    EXPECT_EQ(handed[0].sex, "女");
    EXPECT_TRUE(db.Guest == before.Guest);
    EXPECT_TRUE(db.Order == before.Order);
    EXPECT_FALSE(db.dirty());
  }
}

TEST_F(GuestSaveTest, TakenCustomerWithoutSeparatorLeavesTheEditorsSexBox) {
  auto b = boxes("cat");
  prompt.answer(Prompt::Answer::Yes);
  ASSERT_EQ(save(b, GuestSave::NewFromEditor).outcome, Outcome::Taken);
  ASSERT_EQ(handed.size(), 1u);
  EXPECT_EQ(handed[0].name, "陳貓");
  EXPECT_FALSE(handed[0].hasSex);

  handed.clear();
  auto c = boxes("bob", "蝦皮");
  prompt.answer(Prompt::Answer::No);
  EXPECT_EQ(save(c, GuestSave::NewFromEditor).outcome, Outcome::Stopped);
  EXPECT_TRUE(handed.empty());
}

TEST_F(GuestSaveTest, EditorReceivesTheSavedCustomer) {
  auto b = boxes("zed", "");
  b.name = "周\"子”";
  b.sex = "男";
  b.mobile = "0933  ";
  b.note = "line1\r\nline2\t";
  ASSERT_EQ(save(b, GuestSave::NewFromEditor).outcome, Outcome::Saved);
  ASSERT_EQ(handed.size(), 1u);
  const CustomerFields& h = handed[0];
  EXPECT_EQ(h.account, "zed");
  EXPECT_EQ(h.category, "未分類");
  EXPECT_EQ(h.name, "周子");
  EXPECT_EQ(h.sex, "男");
  EXPECT_EQ(h.mobile, "0933");
  EXPECT_EQ(h.note, "line1\r\nline2");
  EXPECT_TRUE(h.hasSex);
  EXPECT_EQ(CustomerFields::fromGuestRow(db.Guest, 4), h);
  EXPECT_EQ(b, h);  // the boxes show what was stored
  EXPECT_EQ(db.settings.CustomerCategories.size(), 2);  // "未分類" never joins

  // Mode 4: edit the editor's customer, key changed: orders follow.
  handed.clear();
  auto e = CustomerFields::fromGuestRow(db.Guest, 1);
  e.category = "蝦皮2";
  ASSERT_EQ(save(e, GuestSave::EditFromEditor, "amy", "露天", 1).outcome, Outcome::Saved);
  ASSERT_EQ(handed.size(), 1u);
  EXPECT_EQ(handed[0].category, "蝦皮2");
  EXPECT_EQ(buyers(), (QStringList{"amy/蝦皮2", "amy/蝦皮", "amy/蝦皮2"}));
}

TEST_F(GuestSaveTest, CleaningKeepsLeadingBlanksAndABlankBeforeATab) {
  auto b = boxes("  kim \t");
  b.address = "\"台中\" ";
  ASSERT_EQ(save(b, GuestSave::NewFromList).outcome, Outcome::Saved);
  EXPECT_EQ(db.Guest.key(4), "  kim ");
  EXPECT_EQ(db.Guest.cell(4, GuestCell::CustomerAddress), "台中");
}

TEST_F(GuestSaveTest, CategoryIsTrimmedLikeEveryCategoryName) {
  // A blank around a typed category would add a second "露天" to the list
  // that looks like the first and splits its customers.
  struct Case { QString typed, stored; bool added; };
  const Case cases[] = {{" 露天 ", "露天", false}, {"\" Yahoo\"", "Yahoo", true}, {"   ", "未分類", false}};
  for (const auto& c : cases) {
    auto b = boxes(QString("n%1").arg(db.Guest.count()), c.typed);
    const auto res = save(b, GuestSave::NewFromList);
    ASSERT_EQ(res.outcome, Outcome::Saved) << c.typed.toStdString();
    EXPECT_EQ(db.Guest.cell(res.row, GuestCell::CustomerCategory), c.stored) << c.typed.toStdString();
    EXPECT_EQ(b.category, c.stored);
    EXPECT_EQ(res.categoryAdded, c.added) << c.typed.toStdString();
  }
  EXPECT_EQ(db.settings.CustomerCategories, (QStringList{"露天", "蝦皮", "Yahoo"}));
}

TEST_F(GuestSaveTest, FullCategoryListKeepsTheCustomersCategory) {
  db.settings.CustomerCategories.clear();
  for (int i = 0; i < 200; ++i) db.settings.CustomerCategories << QString("c%1").arg(i);
  auto b = boxes("new1", "c200");
  const auto res = save(b, GuestSave::NewFromList);
  ASSERT_EQ(res.outcome, Outcome::Saved);
  EXPECT_FALSE(res.categoryAdded);
  EXPECT_EQ(db.settings.CustomerCategories.size(), 200);
  EXPECT_EQ(db.Guest.cell(res.row, GuestCell::CustomerCategory), "c200");
}

TEST_F(GuestSaveTest, LastSavedCategoryIsRememberedWhenAsked) {
  auto b = boxes("n1", "蝦皮");
  ASSERT_EQ(save(b, GuestSave::NewFromList).outcome, Outcome::Saved);
  EXPECT_FALSE(SettingsStore::contains("GuestForm", "Set_2_Value"));
  SettingsStore::setBool("GuestForm", "Set2", true);
  auto c = boxes("n2", "蝦皮");
  ASSERT_EQ(save(c, GuestSave::NewFromEditor).outcome, Outcome::Saved);
  EXPECT_EQ(SettingsStore::get("GuestForm", "Set_2_Value"), "蝦皮");
}

TEST_F(GuestSaveTest, BadEditRowIsAnError) {
  auto b = boxes("x");
  EXPECT_EQ(save(b, GuestSave::EditFromList, "q", "露天", 99).outcome, Outcome::Stopped);
  EXPECT_EQ(prompt.texts(), QStringList{"發生錯誤!"});
  EXPECT_EQ(db.Guest.count(), 3);
}

}  // namespace
