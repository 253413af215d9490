#include <gtest/gtest.h>

#include "PurchaseFixture.h"
#include "purchasing/SupplierList.h"

TEST(SupplierList, CsvRoundTripKeepsEmptyDetailsAndCommas) {
  SupplierList out;
  out.names = {"甲", "乙", "丙"};
  out.details = {"", "台北市,中正區", "第一行\r\n第二行"};
  const QString text = out.csvText();
  EXPECT_EQ(text, "甲,\r\n乙,\"台北市,中正區\"\r\n丙,第一行 第二行\r\n");

  SupplierList in;
  in.importCsv(text, false);
  EXPECT_EQ(in.names, QStringList({"甲", "乙", "丙"}));
  EXPECT_EQ(in.details, QStringList({"", "台北市,中正區", "第一行 第二行"}));

  // An older file's bare commas stay in the details; a line without a name
  // or without any text adds nothing; a name comes once.
  SupplierList old;
  old.importCsv("丁,台中市,西區,三樓\r\n,沒有名稱\r\n\r\n戊\r\n\"己\"\"\",x\r\n丁,別的\r\n", false);
  EXPECT_EQ(old.names, QStringList({"丁", "戊", "己"}));
  EXPECT_EQ(old.details, QStringList({"台中市,西區,三樓", "", "x"}));
}

TEST(SupplierList, ImportReplacesDetailsOnlyWhenAsked) {
  SupplierList l;
  l.names = {"甲", "乙"};
  l.details = {"舊", "舊"};
  l.importCsv("甲,新\r\n乙\r\n丙,三\r\n", true);
  EXPECT_EQ(l.details, QStringList({"新", "舊", "三"}));  // a line without details leaves them
  l.importCsv("甲,再\r\n", false);
  EXPECT_EQ(l.details[0], "新");
}

TEST(SupplierList, AddAndRenameKeepNamesUnique) {
  Database db;
  addRecord(db, {"2024/01/01", "杯子", "進貨", "1", "甲", "", "1", ""});
  addRecord(db, {"2024/01/01", "杯子", "進貨", "1", "甲 ", "", "1", ""});
  addRecord(db, {"2024/01/01", "杯子", "進貨", "1", "乙", "", "1", ""});
  SupplierList l(db.settings);
  EXPECT_EQ(l.names, QStringList({"廠商1"}));

  QString name = "  甲\"”  ", details = "電話\"02\"";
  EXPECT_EQ(l.add(name, details), SupplierList::Outcome::Done);
  EXPECT_EQ(name, "甲");
  EXPECT_EQ(details, "電話02");
  name = "";
  EXPECT_EQ(l.add(name, details), SupplierList::Outcome::Done);
  EXPECT_EQ(name, "新廠商");
  name = "";
  EXPECT_EQ(l.add(name, details), SupplierList::Outcome::Duplicate);

  // A rename to a name another supplier holds is refused and changes nothing.
  name = "廠商1";
  EXPECT_EQ(l.edit(db, 1, name, details), SupplierList::Outcome::Duplicate);
  EXPECT_EQ(db.ManufStock.cell(1, ManufStockCell::PurchaseSupplier), "甲");
  // An empty name turns into "新廠商", which another supplier holds.
  name = "";
  EXPECT_EQ(l.edit(db, 1, name, details), SupplierList::Outcome::Duplicate);
  // Renaming reaches exactly the records of the old name.
  name = "甲商行";
  EXPECT_EQ(l.edit(db, 1, name, details), SupplierList::Outcome::Done);
  EXPECT_EQ(db.ManufStock.cell(1, ManufStockCell::PurchaseSupplier), "甲商行");
  EXPECT_EQ(db.ManufStock.cell(2, ManufStockCell::PurchaseSupplier), "甲 ");
  EXPECT_EQ(db.ManufStock.cell(3, ManufStockCell::PurchaseSupplier), "乙");
  // Keeping one's own name is no duplicate.
  EXPECT_EQ(l.edit(db, 1, name, details), SupplierList::Outcome::Done);
  EXPECT_EQ(l.edit(db, 7, name, details), SupplierList::Outcome::NoSupplier);

  EXPECT_EQ(l.moveUp(0), 0);
  EXPECT_EQ(l.moveDown(0), 1);
  EXPECT_EQ(l.names, QStringList({"甲商行", "廠商1", "新廠商"}));
  EXPECT_EQ(l.details[0], "電話02");

  // Capacity and the closing rules.
  l.names.clear();
  l.details.clear();
  EXPECT_EQ(l.closeCheck(), SupplierList::CloseCheck::Empty);
  for (int i = 0; i < 499; ++i) {
    l.names << QString::number(i);
    l.details << "";
  }
  name = "第500";
  EXPECT_EQ(l.add(name, details), SupplierList::Outcome::Done);
  name = "第501";
  EXPECT_EQ(l.add(name, details), SupplierList::Outcome::Full);
  EXPECT_EQ(l.closeCheck(), SupplierList::CloseCheck::Ok);
  l.importCsv("多一,\r\n", false);  // an import may go past the limit
  EXPECT_EQ(l.count(), 501);
  EXPECT_EQ(l.closeCheck(), SupplierList::CloseCheck::TooMany);
}
