// The expense book without its window: filters, searches, box checks, the
// period after an add and the exchange-rate conversion.
#include <gtest/gtest.h>

#include <cmath>

#include "expenses/ExpendList.h"
#include "store/Database.h"

namespace {

using ExpendList::Filter;

// Rows around two year ends, in no date order.
struct Book : ::testing::Test {
  Database db;
  void SetUp() override {
    add("2024/01/02", "郵資", "郵票ABC", "100", "");
    add("2023/12/31", "郵資", "掛號", "50", "年底");
    add("2024/12/31", "包材", "紙箱", "-20", "退回 abc");
    add("2025/01/01", "包材", "膠帶", "0.1", "");
    add("2024/01/15", "未分類", "雜項", "abc", "");
    add("2024/3/5", "郵資", "手寫日期", "0.2", "");
  }
  void add(const char* date, const char* category, const char* detail, const char* amount, const char* note) {
    const int r = db.Expend.append(QString::fromUtf8(date));
    db.Expend.setCell(r, ExpendCell::ExpendCategory, QString::fromUtf8(category));
    db.Expend.setCell(r, ExpendCell::ExpendDetail, QString::fromUtf8(detail));
    db.Expend.setCell(r, ExpendCell::ExpendAmount, QString::fromUtf8(amount));
    db.Expend.setCell(r, ExpendCell::ExpendNote, QString::fromUtf8(note));
  }
  static QStringList dates(const ExpendList::Listing& l) {
    QStringList out;
    for (const QStringList& row : l.rows) out << row[ExpendList::Date];
    return out;
  }
};

TEST_F(Book, PeriodAndCategoryFiltersAcrossYearEnds) {
  struct Case {
    const char* category;
    const char* period;
    const char* year;
    QStringList dates;
    const char* status;
  };
  const Case cases[] = {
      {"全部", "全部", "", {"2023/12/31", "2024/01/02", "2024/01/15", "2024/12/31", "2024/3/5", "2025/01/01"},
       " 共 6 筆資料，支出總計 130.3 元"},
      {"全部", "整年", "2024", {"2024/01/02", "2024/01/15", "2024/12/31", "2024/3/5"}, " 共 4 筆資料，支出總計 80.2 元"},
      {"全部", "01月", "2024", {"2024/01/02", "2024/01/15"}, " 共 2 筆資料，支出總計 100 元"},
      {"全部", "12月", "2023", {"2023/12/31"}, " 共 1 筆資料，支出總計 50 元"},
      {"全部", "12月", "2024", {"2024/12/31"}, " 共 1 筆資料，支出總計 -20 元"},
      // A date not written yyyy/mm/dd matches a month only by its characters 6 and 7.
      {"全部", "03月", "2024", {}, " 共 0 筆資料，支出總計 0 元"},
      {"全部", "整年", " 2024", {}, " 共 0 筆資料，支出總計 0 元"},
      {"全部", "整年", "24", {}, " 共 0 筆資料，支出總計 0 元"},
      {"郵資", "全部", "", {"2023/12/31", "2024/01/02", "2024/3/5"}, " 共 3 筆資料，支出總計 150.2 元"},
      {"包材", "整年", "2025", {"2025/01/01"}, " 共 1 筆資料，支出總計 0.1 元"},
      {"未分類", "全部", "", {"2024/01/15"}, " 共 1 筆資料，支出總計 0 元"},
  };
  for (const Case& c : cases) {
    const Filter f{QString::fromUtf8(c.category), QString::fromUtf8(c.period), QString::fromUtf8(c.year)};
    const auto l = ExpendList::ExpendShow(db.Expend, f);
    const std::string label = std::string(c.category) + "/" + c.period + "/" + c.year;
    EXPECT_EQ(dates(l), c.dates) << label;
    EXPECT_EQ(l.status(), QString::fromUtf8(c.status)) << label;
  }
  // Rows carry their table row in Index; only amounts below 0 are red.
  const auto all = ExpendList::ExpendShow(db.Expend, Filter{});
  EXPECT_EQ(all.rows[0][ExpendList::Index], "2");
  EXPECT_EQ(all.rows[3][ExpendList::Index], "3");
  EXPECT_EQ(all.negative, (std::vector<bool>{false, false, false, true, false, false}));
}

TEST_F(Book, SearchesIgnoreLetterCaseAndOnlyWholeSearchLeavesTheFilters) {
  const Filter mail{QStringLiteral("郵資"), QStringLiteral("全部"), {}};
  EXPECT_EQ(dates(ExpendList::Search(db.Expend, mail, QStringLiteral("abc"), false)), QStringList{"2024/01/02"});
  EXPECT_EQ(dates(ExpendList::Search(db.Expend, mail, QStringLiteral("ABC"), true)),
            (QStringList{"2024/01/02", "2024/12/31"}));
  // A leading blank counts.
  EXPECT_EQ(dates(ExpendList::Search(db.Expend, mail, QStringLiteral(" abc"), true)), QStringList{"2024/12/31"});
  const auto none = ExpendList::Search(db.Expend, mail, QStringLiteral("沒有"), true);
  EXPECT_TRUE(none.rows.empty());
  EXPECT_EQ(none.status(), " 共 0 筆資料，支出總計 0 元");
}

TEST(ExpendBoxes, DateCheckAndCleaning) {
  struct Case {
    const char* date;
    ExpendList::Check check;
    const char* stored;
  };
  const Case cases[] = {
      {"2024/03/05", ExpendList::Check::Ok, "2024/03/05"},
      {"2024-3-5", ExpendList::Check::Ok, "2024/03/05"},
      {"2024/3/5", ExpendList::Check::Ok, "2024/03/05"},
      {"2024/02/29", ExpendList::Check::Ok, "2024/02/29"},
      {"", ExpendList::Check::EmptyDate, ""},
      {" ", ExpendList::Check::BadDate, " "},
      {"24/03/05", ExpendList::Check::BadDate, "24/03/05"},
      {"2023/02/29", ExpendList::Check::BadDate, "2023/02/29"},
      {"2024/13/01", ExpendList::Check::BadDate, "2024/13/01"},
      {"2024/03-05", ExpendList::Check::BadDate, "2024/03-05"},
      {"2024.03.05", ExpendList::Check::BadDate, "2024.03.05"},
      {"March 5", ExpendList::Check::BadDate, "March 5"},
  };
  for (const Case& c : cases) {
    ExpendList::Boxes b{QString::fromUtf8(c.date), "郵資", "a\"b”c", "x", "n\""};
    EXPECT_EQ(ExpendList::validate(b), c.check) << c.date;
    EXPECT_EQ(b.date, QString::fromUtf8(c.stored)) << c.date;
    // A refused date leaves every box as it was.
    EXPECT_EQ(b.detail, c.check == ExpendList::Check::Ok ? "abc" : "a\"b”c") << c.date;
  }
  struct Amount {
    const char* typed;
    const char* box;
    const char* cell;
  };
  for (const Amount& a : {Amount{"", "0", "0"}, {"abc", "0", "0"}, {"12 kg", "0", "0"}, {"12.50", "12.50", "12.5"},
                          {" -30 ", " -30 ", "-30"}, {"007", "007", "7"}}) {
    ExpendList::Boxes b{"2024/1/1", "", "", QString::fromUtf8(a.typed), ""};
    ASSERT_EQ(ExpendList::validate(b), ExpendList::Check::Ok);
    EXPECT_EQ(b.amount, QString::fromUtf8(a.box)) << a.typed;
    const QStringList cells = ExpendList::rowCells(b);
    EXPECT_EQ(cells[ExpendList::Amount], QString::fromUtf8(a.cell)) << a.typed;
    EXPECT_EQ(cells[ExpendList::Category], "未分類");
  }
}

TEST(ExpendBoxes, AddEditDeleteKeepTheTableAndSetBothFlags) {
  Database db;
  ExpendList::Boxes b{"2024/01/01", "郵資", "郵票", "10", ""};
  ASSERT_EQ(ExpendList::validate(b), ExpendList::Check::Ok);
  EXPECT_EQ(ExpendList::add(db, b), 1);
  EXPECT_EQ(ExpendList::add(db, b), 2);
  EXPECT_TRUE(db.dirty());
  EXPECT_TRUE(db.ExpendDirty);
  db.setDirty(false);
  db.ExpendDirty = false;
  b.amount = "-10";
  EXPECT_TRUE(ExpendList::edit(db, 2, b));
  EXPECT_EQ(db.Expend.cell(2, ExpendCell::ExpendAmount), "-10");
  EXPECT_TRUE(db.dirty() && db.ExpendDirty);
  EXPECT_TRUE(ExpendList::remove(db, 1));
  EXPECT_EQ(db.Expend.count(), 1);
  EXPECT_EQ(db.Expend.cell(1, ExpendCell::ExpendAmount), "-10");
  // Row numbers that name no row change nothing.
  db.setDirty(false);
  EXPECT_FALSE(ExpendList::edit(db, 2, b));
  EXPECT_FALSE(ExpendList::remove(db, 0));
  EXPECT_FALSE(db.dirty());
  EXPECT_EQ(db.Expend.count(), 1);
}

TEST(ExpendBoxes, PeriodAfterAnAdd) {
  struct Case {
    const char* period;
    const char* year;
    const char* date;
    bool change;
    const char* newYear;
    int index;
  };
  const Case cases[] = {
      {"全部", "2020", "2024/05/01", false, "", 0},
      {"整年", "2024", "2024/05/01", false, "", 0},
      {"05月", "2024", "2024/05/01", false, "", 0},
      {"整年", "2023", "2024/05/01", true, "2024", 6},
      {"04月", "2024", "2024/05/01", true, "2024", 6},
      {"05月", "2023", "2024/05/01", true, "2024", 6},
      {"12月", "2024", "2025/01/31", true, "2025", 2},
  };
  for (const Case& c : cases) {
    const auto s = ExpendList::periodAfterAdd(QString::fromUtf8(c.period), c.year, c.date);
    EXPECT_EQ(s.change, c.change) << c.period << c.year;
    if (c.change) {
      EXPECT_EQ(s.year, c.newYear);
      EXPECT_EQ(s.periodIndex, c.index);
      EXPECT_EQ(ExpendList::periodEntries()[s.periodIndex], QString(c.date).mid(5, 2) + "月");
    }
  }
}

TEST(ExpendRate, RoundsHalfUpToWholeUnitsOrCents) {
  using O = ExpendList::Conversion::Outcome;
  struct Case {
    const char* answer;
    const char* amount;
    int digits;
    O outcome;
    double result;
    double rate;
  };
  const Case cases[] = {
      {"30", "12.5", 2, O::Converted, 375, 30},
      {"0.333", "10", 2, O::Converted, 3.33, 0.333},
      {"0.333", "10", 0, O::Converted, 3, 0.333},
      {"2.5", "1", 0, O::Converted, 3, 2.5},
      {"2.5", "-1", 0, O::Converted, -2, 2.5},
      {"1.50", "3", 2, O::Converted, 4.5, 1.5},
      {"0.125", "1", 2, O::Converted, 0.13, 0.125},
      {"4 元", "abc", 2, O::Converted, 0, 4},
      {"0", "99", 2, O::Converted, 0, 0},
      // No leading number: like an empty answer.
      {"abc", "10", 2, O::NoRate, 0, 0},
      {"-", "10", 2, O::NoRate, 0, 0},
      {" ", "10", 2, O::NoRate, 0, 0},
      // Beyond the range of a double.
      {"1e308", "10", 2, O::Converted, 10, 1},
  };
  for (const Case& c : cases) {
    const auto r = ExpendList::convert(QString::fromUtf8(c.answer), c.amount, c.digits);
    EXPECT_EQ(r.outcome, c.outcome) << c.answer << " x " << c.amount;
    if (r.outcome != O::Converted) continue;
    EXPECT_DOUBLE_EQ(r.amount, c.result) << c.answer << " x " << c.amount;
    EXPECT_DOUBLE_EQ(r.rate, c.rate) << c.answer;
  }
  const QString huge = QString(300, u'9');
  EXPECT_EQ(ExpendList::convert(huge, huge, 2).outcome, O::Overflow);
  EXPECT_EQ(ExpendList::convert(QString(400, u'9'), "1", 2).outcome, O::Overflow);
  EXPECT_EQ(ExpendList::convert("1" + QString(306, u'0'), "10", 2).outcome, O::Overflow);
}

}  // namespace
