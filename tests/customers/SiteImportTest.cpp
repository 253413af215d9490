#include <gtest/gtest.h>

#include <QFile>

#include "ScriptedPrompt.h"
#include "TestDir.h"
#include "customers/SiteImport.h"
#include "store/Database.h"

namespace {

using SiteImport::Site;
const QChar S(1);

QString fixture(const QString& name) { return QStringLiteral(KESTRIN_TEST_DATA "/customers/") + name; }

struct SiteImportTest : ::testing::Test {
  Database db;
  ScriptedPrompt prompt;

  void SetUp() override {
    add({"amy", "露天拍賣", "王小美" + QString(S) + "女", "02-0000", "0900", "amy@example.com", "舊地址", "12345", "VIP"});
    add({"amy", "蝦皮拍賣", "Amy Lin", "", "0911", "amy2@example.com", "", "", ""});
    add({"bob", "蝦皮拍賣", "鮑伯", "", "", "", "", "", ""});
    add({"amy", "Yahoo拍賣", "小美" + QString(S) + "女", "", "", "amy3@example.com", "", "", ""});
    db.setDirty(false);
  }
  int add(const QStringList& cells) {
    const int r = db.Guest.append(cells.value(0));
    for (int c = 1; c < cells.size(); ++c) db.Guest.setCell(r, c, cells[c]);
    return r;
  }
  QStringList cellsOf(int r) const {
    QStringList out;
    for (int c = 0; c <= GuestCell::Count; ++c) out << db.Guest.cell(r, c);
    return out;
  }
  bool run(Site site, const QString& file, const QString& category, bool replace) {
    prompt.clear();
    prompt.answerPath(fixture(file)).answer(replace ? Prompt::Answer::Yes : Prompt::Answer::No);
    return SiteImport::importCommand(db, prompt, site, category);
  }
};

TEST_F(SiteImportTest, RutenListStoresEveryCellOfItsLayout) {
  ASSERT_TRUE(run(Site::Ruten, "ruten.csv", "露天拍賣", true));
  EXPECT_EQ(prompt.texts(), (QStringList{"匯入", "匯入的客戶資料中如果包含已存在的客戶，要取代原客戶資料嗎？", "匯入露天CSV完成!"}));
  EXPECT_EQ(prompt.shown[2].icon, Prompt::Icon::Information);
  EXPECT_TRUE(db.dirty());
  ASSERT_EQ(db.Guest.count(), 6);
  // The stored buyer of this site: name replaced, its sex, e-mail, bank
  // digits and note kept; "=" and the quotes of the phone numbers gone.
  EXPECT_EQ(cellsOf(1), (QStringList{"amy", "露天拍賣", "王小美新" + QString(S) + "女", "0223456789", "0987654321",
                                     "amy@example.com", "新北市板橋區文化路二段1號", "12345", "VIP"}));
  // The same account on another site is another customer: untouched.
  EXPECT_EQ(cellsOf(2), (QStringList{"amy", "蝦皮拍賣", "Amy Lin", "", "0911", "amy2@example.com", "", "", ""}));
  // A new buyer; its second line (same account) updates it. The quoted
  // address keeps its comma; lines too short or without account add nothing.
  EXPECT_EQ(cellsOf(5), (QStringList{"ruby88", "露天拍賣", "陳美玲", "0227001234", "0911000111", "",
                                     "台北市信義區松仁路100號,5樓", "", ""}));
  EXPECT_EQ(cellsOf(6), (QStringList{"bob", "露天拍賣", "李大同", "0422223333", "0933111222", "",
                                     "台中市西屯區台灣大道三段99號", "", ""}));
  EXPECT_EQ(cellsOf(3)[1], "蝦皮拍賣");
}

TEST_F(SiteImportTest, RutenWithoutReplaceAddsOnlyNewBuyers) {
  const QStringList amy = cellsOf(1);
  ASSERT_TRUE(run(Site::Ruten, "ruten.csv", "未分類", false));
  EXPECT_EQ(cellsOf(1), amy);
  ASSERT_EQ(db.Guest.count(), 7);  // amy, ruby88 and bob, all under "未分類"
  EXPECT_EQ(cellsOf(5).mid(0, 2), (QStringList{"ruby88", "未分類"}));
  EXPECT_EQ(cellsOf(5)[GuestCell::CustomerMobile], "0912345678");  // the first line's, kept
  EXPECT_EQ(cellsOf(6).mid(0, 2), (QStringList{"amy", "未分類"}));
  EXPECT_EQ(cellsOf(7).mid(0, 2), (QStringList{"bob", "未分類"}));
}

TEST_F(SiteImportTest, ShopeeAndYahooLayouts) {
  ASSERT_TRUE(run(Site::Shopee, "shopee.csv", "蝦皮拍賣", true));
  EXPECT_EQ(prompt.texts().last(), "匯入蝦皮CSV完成!");
  ASSERT_EQ(db.Guest.count(), 5);
  EXPECT_EQ(cellsOf(5), (QStringList{"mei_lin", "蝦皮拍賣", "林美玲", "", "0955123456", "",
                                     "高雄市前鎮區中山二路5號,10樓", "", ""}));
  // Shopee has no phone: the stored one stays; the mobile and address change.
  EXPECT_EQ(cellsOf(2), (QStringList{"amy", "蝦皮拍賣", "王小美", "", "0966000000", "amy2@example.com",
                                     "台南市東區大學路1號", "", ""}));

  ASSERT_TRUE(run(Site::Yahoo, "yahoo.csv", "Yahoo拍賣", true));
  EXPECT_EQ(prompt.texts().last(), "匯入Yahoo拍賣CSV完成!");
  ASSERT_EQ(db.Guest.count(), 6);
  // Fields 25 and 26 make the address; a quoted comma earlier in the line
  // shifts nothing.
  EXPECT_EQ(cellsOf(6), (QStringList{"yahoo_kid", "Yahoo拍賣", "張志豪", "02-2700-1111", "0977123123", "",
                                     "台北市中正區重慶南路一段122號 3樓", "", ""}));
  // A line of 25 fields: the address alone. The stored e-mail address stays.
  EXPECT_EQ(cellsOf(4), (QStringList{"amy", "Yahoo拍賣", "王小美Y" + QString(S) + "女", "02-1111", "0900111222",
                                     "amy3@example.com", "台中市北區", "", ""}));
}

TEST_F(SiteImportTest, RefusesWithoutACategoryAndChangesNothingOnAnUnreadableFile) {
  const Table before = db.Guest;
  for (const QString& filter : {QStringLiteral("全部"), QString()}) {
    prompt.clear();
    EXPECT_FALSE(SiteImport::importCommand(db, prompt, Site::Yahoo, filter));
    EXPECT_EQ(prompt.texts(), QStringList{"請先把右上角的客戶分類選到您設的Yahoo拍賣分類後再匯入!"});  // no file dialog
    EXPECT_EQ(prompt.shown[0].icon, Prompt::Icon::Exclamation);
  }
  TestDir dir;
  dir.put("utf8.csv", QStringLiteral("h\r\n,,,王小明\r\n").toUtf8());
  prompt.clear();
  prompt.answerPath(dir.file("utf8.csv"));
  EXPECT_FALSE(SiteImport::importCommand(db, prompt, Site::Shopee, "蝦皮拍賣"));
  prompt.clear();
  prompt.answerPath(dir.file("missing.csv"));
  EXPECT_FALSE(SiteImport::importCommand(db, prompt, Site::Ruten, "露天拍賣"));
  EXPECT_EQ(prompt.texts(), (QStringList{"匯入", "發生錯誤!"}));
  prompt.clear();
  prompt.answerPath("");
  EXPECT_FALSE(SiteImport::importCommand(db, prompt, Site::Ruten, "露天拍賣"));
  EXPECT_EQ(db.Guest, before);
  EXPECT_FALSE(db.dirty());
}

TEST_F(SiteImportTest, BuyerOfALine) {
  // Shortest lines and empty accounts give no buyer; the name field is taken
  // only when the line has it.
  QStringList ten;
  for (int i = 1; i <= 10; ++i) ten << QStringLiteral("f%1").arg(i);
  const auto b = SiteImport::buyerOf(Site::Ruten, ten);
  ASSERT_TRUE(b);
  EXPECT_EQ(b->account, "f10");
  EXPECT_FALSE(b->name);
  EXPECT_FALSE(SiteImport::buyerOf(Site::Ruten, ten.mid(0, 9)));
  QStringList noAccount = ten;
  noAccount[9] = "\"\"";
  EXPECT_FALSE(SiteImport::buyerOf(Site::Ruten, noAccount));
  const auto s = SiteImport::buyerOf(Site::Shopee, {"1", "2", "3", "acc"});
  ASSERT_TRUE(s);
  EXPECT_EQ(s->account, "acc");
  EXPECT_FALSE(s->address);
}

}  // namespace
