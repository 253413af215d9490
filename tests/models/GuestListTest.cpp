#include <gtest/gtest.h>

#include "models/GuestList.h"
#include "store/Database.h"

namespace {

struct GuestListTest : ::testing::Test {
  Database db;
  void SetUp() override {
    db.settings.CustomerCategories = QStringList{"露天", "蝦皮"};
    add("Zoe", "露天", QString("王小美") + QChar(1) + "女", "0911");
    add("amy", "蝦皮", "Mary", "0922");
    add("bob", "未分類", "", "");
    add("cal", "", "", "");
    add("amy", "蝦皮", "dup", "");
  }
  void add(const QString& acc, const QString& cat, const QString& ns, const QString& mobile) {
    const int r = db.Guest.append(acc);
    db.Guest.setCell(r, GuestCell::CustomerCategory, cat);
    db.Guest.setCell(r, GuestCell::CustomerNameSex, ns);
    db.Guest.setCell(r, GuestCell::CustomerMobile, mobile);
  }
  static QStringList accounts(const std::vector<QStringList>& rows) {
    QStringList out;
    for (const auto& r : rows) out << r[GuestList::Account] + "#" + r[GuestList::Index];
    return out;
  }
};

TEST_F(GuestListTest, FilterEntriesAndRows) {
  EXPECT_EQ(GuestList::filterEntries(db), (QStringList{"全部", "露天", "蝦皮", "未分類", "編輯客戶分類"}));
  EXPECT_EQ(GuestList::dialogCategories(db), (QStringList{"露天", "蝦皮", "未分類"}));
  const auto view = GuestList::allShown();
  EXPECT_EQ(accounts(GuestList::show(db.Guest, "全部", view)), (QStringList{"Zoe#1", "amy#2", "bob#3", "cal#4", "amy#5"}));
  EXPECT_EQ(accounts(GuestList::show(db.Guest, "未分類", view)), QStringList{"bob#3"});  // not the empty category
  EXPECT_EQ(accounts(GuestList::show(db.Guest, "", view)), QStringList{"cal#4"});

  const auto row = GuestList::row(db.Guest, 1, view);
  ASSERT_EQ(row.size(), GuestList::Count);
  EXPECT_EQ(row[GuestList::Name], "王小美");  // never the sex
  EXPECT_EQ(row[GuestList::Mobile], "0911");
  auto off = view;
  off[GuestList::Name] = off[GuestList::Mobile] = false;
  const auto hidden = GuestList::row(db.Guest, 1, off);
  EXPECT_EQ(hidden[GuestList::Name], "");
  EXPECT_EQ(hidden[GuestList::Mobile], "");
  EXPECT_EQ(hidden[GuestList::Category], "露天");
}

TEST_F(GuestListTest, SearchLooksInAccountAndNameIgnoringCase) {
  auto off = GuestList::allShown();
  off[GuestList::Name] = false;
  struct Case { QString typed; QString filter; bool all; QStringList found; };
  const Case cases[] = {
      {"ZO", "全部", false, {"Zoe#1"}},
      {"  mary\r\nignored", "全部", false, {"amy#2"}},  // a name, while the name column is off
      {"小美", "蝦皮", false, {}},
      {"小美", "蝦皮", true, {"Zoe#1"}},
      {"   ", "蝦皮", false, {"amy#2", "amy#5"}},  // blanks only: everything in the category
      {"0922", "全部", true, {}},                  // phones are not searched
      {"女", "全部", true, {}},                    // nor the sex
  };
  for (const auto& c : cases) {
    const QString t = GuestList::searchText(c.typed);
    EXPECT_EQ(accounts(GuestList::search(db.Guest, t, c.filter, c.all, off)), c.found) << c.typed.toStdString();
  }
  EXPECT_EQ(GuestList::searchText("  mary\r\nignored"), "mary");
  EXPECT_EQ(GuestList::searchText("mary\nmore"), "mary\nmore");  // only CR LF ends the line
}

TEST_F(GuestListTest, RemoveTakesTheFirstRowOfEachKeyInTurn) {
  const int removed = GuestList::removeGuests(db, {{"amy", "蝦皮"}, {"cal", ""}, {"amy", "蝦皮"}, {"nobody", "x"}});
  EXPECT_EQ(removed, 3);
  EXPECT_EQ(accounts(GuestList::show(db.Guest, "全部", GuestList::allShown())), (QStringList{"Zoe#1", "bob#2"}));

  Database one = db;
  add("bob", "未分類", "second", "");
  GuestList::removeGuests(db, {{"bob", "未分類"}});
  ASSERT_EQ(db.Guest.count(), 2);
  EXPECT_EQ(db.Guest.cell(2, GuestCell::CustomerNameSex), "second");
}

TEST_F(GuestListTest, PermanentSortOrdersByAccountKeepingTies) {
  GuestList::sortGuests(db);
  QStringList keys;
  for (int r = 1; r <= db.Guest.count(); ++r) keys << db.Guest.key(r) + ":" + db.Guest.cell(r, GuestCell::CustomerNameSex);
  EXPECT_EQ(keys, (QStringList{QString("Zoe:王小美") + QChar(1) + "女", "amy:Mary", "amy:dup", "bob:", "cal:"}));
}

}  // namespace
