// The routines every window shares.
#include <gtest/gtest.h>

#include "ScriptedPrompt.h"
#include "TestDir.h"
#include "platform/Numbers.h"
#include "platform/SettingsStore.h"
#include "store/SharedRoutines.h"
#include "store/Table.h"

TEST(RoundHalfUp, HalvesGoTowardPositiveInfinity) {
  struct Case {
    double v;
    int digits;
    double expected;
  };
  const Case cases[] = {
      {2.5, 0, 3},          {-2.5, 0, -2},           {-2.51, 0, -3},    {0.125, 2, 0.13},
      {-0.125, 2, -0.12},   {12.345, 2, 12.35},      {-12.345, 2, -12.34}, {3.14159, 2, 3.14},
      {1.005, 2, 1},        {-2.45, 1, -2.5},        {1234.5, 0, 1235}, {0.5, 0, 1},
      {-0.5, 0, 0},
  };
  for (const Case& c : cases) {
    EXPECT_DOUBLE_EQ(RoundHalfUp(c.v, c.digits), c.expected) << c.v << " " << c.digits;
    EXPECT_DOUBLE_EQ(Num::roundHalfUp(c.v, c.digits), c.expected) << c.v << " " << c.digits;
  }
  EXPECT_DOUBLE_EQ(RoundHalfUp(QStringLiteral("12.5"), 0), 13);
  EXPECT_DOUBLE_EQ(RoundHalfUp(QStringLiteral("-2.5"), 0), -2);
  EXPECT_DOUBLE_EQ(RoundHalfUp(QStringLiteral("abc"), 0), 0);
  EXPECT_DOUBLE_EQ(RoundHalfUp(QStringLiteral("12abc"), 0), 0);
  EXPECT_DOUBLE_EQ(RoundHalfUp(5.5, 32767), 0);  // digits + 1 beyond 16 bits
  EXPECT_DOUBLE_EQ(RoundHalfUp(1e308, 2), 0);    // no finite result
}

TEST(RoundHalfEven, ExactHalves) {
  EXPECT_EQ(Num::roundHalfEven(50.5), 50);
  EXPECT_EQ(Num::roundHalfEven(51.5), 52);
  EXPECT_EQ(Num::roundHalfEven(-0.5), 0);
}

TEST(MaskPhoneNumber, Cases) {
  struct Case {
    const char* in;
    bool mask;
    const char* out;
  };
  const Case cases[] = {
      {"0912345678", true, "0912***678"},  {"09123456", true, "0912*456"},
      {"0912345", true, "0912345"},        {"  0912345  ", true, "0912345"},
      {"  0912345678 ", false, "0912345678"}, {"", true, ""},
      {"\t0912345678", true, "\t091****678"},  // only spaces are outer blanks
  };
  for (const Case& c : cases) {
    const QString in = QString::fromUtf8(c.in);
    const QString before = in;
    EXPECT_EQ(MaskPhoneNumber(in, c.mask), QString::fromUtf8(c.out)) << c.in;
    EXPECT_EQ(in, before);
  }
}

TEST(MaskPhoneNumber, ReadsTheSettingOnEveryCall) {
  const QString number = QStringLiteral(" 0912345678 ");
  SettingsStore::remove(QStringLiteral("Setting"), QStringLiteral("MaskPhone"));
  EXPECT_EQ(MaskPhoneNumber(number), QStringLiteral("0912345678"));
  SettingsStore::setBool(QStringLiteral("Setting"), QStringLiteral("MaskPhone"), true);
  EXPECT_EQ(MaskPhoneNumber(number), QStringLiteral("0912***678"));
  SettingsStore::set(QStringLiteral("Setting"), QStringLiteral("MaskPhone"), QStringLiteral("abc"));
  EXPECT_EQ(MaskPhoneNumber(number), QStringLiteral("0912345678"));
  SettingsStore::remove(QStringLiteral("Setting"), QStringLiteral("MaskPhone"));
}

TEST(FirstLine, OnlyCrLfEndsTheLine) {
  EXPECT_EQ(FirstLine(QStringLiteral("甲\r\n乙")), QStringLiteral("甲"));
  EXPECT_EQ(FirstLine(QStringLiteral("\r\n乙")), QString());
  EXPECT_EQ(FirstLine(QStringLiteral("甲\n乙")), QStringLiteral("甲\n乙"));
  EXPECT_EQ(FirstLine(QStringLiteral("甲\r乙\r\n丙")), QStringLiteral("甲\r乙"));
  EXPECT_EQ(FirstLine(QString()), QString());
}

namespace {
Table products(std::initializer_list<std::pair<const char*, const char*>> rows) {
  Table t(ManufCell::Count);
  for (const auto& [name, category] : rows) {
    const int r = t.append(QString::fromUtf8(name));
    t.setCell(r, ManufCell::ProductCategory, QString::fromUtf8(category));
  }
  return t;
}
}  // namespace

TEST(FindProductRow, ScanAndIndexAgree) {
  const Table manuf = products({{"筆", "文具"}, {"筆", "飾品"}, {"Pen", "文具"}, {"筆", "飾品"}, {"", ""}});
  const ProductIndex index(manuf);
  struct Case {
    const char* name;
    const char* category;
    int row;
  };
  const Case cases[] = {
      {"筆", "文具", 1}, {"筆", "飾品", 2},  // the first of two equal rows
      {"筆", "3C", 0},   {"pen", "文具", 0},  // letter case counts
      {"Pen", "文具", 3}, {"", "", 5},
  };
  for (const Case& c : cases) {
    const QString n = QString::fromUtf8(c.name), k = QString::fromUtf8(c.category);
    EXPECT_EQ(FindProductRow(manuf, n, k), c.row) << c.name << "/" << c.category;
    EXPECT_EQ(index.find(n, k), c.row) << c.name << "/" << c.category;
  }
  const Table empty(ManufCell::Count);
  EXPECT_EQ(FindProductRow(empty, QStringLiteral("筆"), QStringLiteral("文具")), 0);
  EXPECT_EQ(ProductIndex(empty).find(QStringLiteral("筆"), QStringLiteral("文具")), 0);
}

TEST(OrderNumbers, ExistsAndNextFree) {
  Table order(OrderCell::Count);
  EXPECT_FALSE(OrderNumberExists(order, QStringLiteral("2612000001")));
  long long num = 1;
  EXPECT_EQ(NextFreeOrderNumber(order, QStringLiteral("2612"), num), QStringLiteral("2612000001"));
  EXPECT_EQ(num, 1);

  for (const char* no : {"2612000001", "2612000002", "2612000004", "26120000030", "2611000003"})
    order.append(QString::fromUtf8(no));
  EXPECT_TRUE(OrderNumberExists(order, QStringLiteral("2612000002")));
  EXPECT_FALSE(OrderNumberExists(order, QStringLiteral("261200000")));  // whole keys only
  num = 1;
  EXPECT_EQ(NextFreeOrderNumber(order, QStringLiteral("2612"), num), QStringLiteral("2612000003"));
  EXPECT_EQ(num, 3);
  EXPECT_EQ(OrderNumberText(QStringLiteral("2612"), 42), QStringLiteral("2612000042"));
  EXPECT_EQ(OrderNumberText(QStringLiteral("2612"), 1234567), QStringLiteral("26121234567"));
}

TEST(FolderExists, OnlyExistingFolders) {
  TestDir dir;
  dir.put(QStringLiteral("a.txt"), "x");
  EXPECT_TRUE(FolderExists(dir.path()));
  EXPECT_TRUE(FolderExists(dir.dir.path()));  // without the final "/"
  EXPECT_FALSE(FolderExists(dir.file(QStringLiteral("a.txt"))));
  EXPECT_FALSE(FolderExists(dir.file(QStringLiteral("missing"))));
  EXPECT_FALSE(FolderExists(dir.file(QStringLiteral("*"))));
  EXPECT_FALSE(FolderExists(QString()));
}

TEST(BrowseForFolder, ChosenFolderOrEmpty) {
  ScriptedPrompt prompt;
  prompt.answerPath(QString());
  EXPECT_EQ(BrowseForFolder(prompt, QStringLiteral("選擇資料夾")), QString());
  prompt.answerPath(QStringLiteral("/home/賣家/資料庫/"));
  EXPECT_EQ(BrowseForFolder(prompt, QStringLiteral("選擇資料夾")), QStringLiteral("/home/賣家/資料庫"));
  prompt.answerPath(QStringLiteral("/"));
  EXPECT_EQ(BrowseForFolder(prompt, QStringLiteral("選擇資料夾")), QStringLiteral("/"));
  ASSERT_EQ(prompt.shown.size(), 3u);
  EXPECT_EQ(prompt.shown[0].kind, QStringLiteral("folder"));
  EXPECT_EQ(prompt.shown[0].title, QStringLiteral("選擇資料夾"));
}
