#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

#include "PurchaseFixture.h"
#include "ScriptedPrompt.h"
#include "TestDir.h"
#include "purchasing/ManufMerchant.h"
#include "store/CsvFile.h"

using A = Prompt::Answer;

TEST(ManufMerchant, EditsCommitOnlyWhenTheDialogMayClose) {
  Database db;
  ScriptedPrompt prompt;
  addRecord(db, {"2024/01/01", "杯子", "進貨", "1", "廠商1", "", "1", ""});
  ManufMerchant dlg(db, prompt);
  EXPECT_EQ(dlg.countLabel->text(), "共 1 筆廠商資料");
  EXPECT_FALSE(dlg.editButton->isEnabled());
  dlg.nameList->setCurrentRow(0);
  EXPECT_TRUE(dlg.editButton->isEnabled());
  EXPECT_EQ(dlg.nameEdit->text(), "廠商1");
  dlg.nameEdit->setText("大同行");
  dlg.detailsEdit->setPlainText("台北\n02-1234");
  dlg.onEdit();
  EXPECT_EQ(db.ManufStock.cell(1, ManufStockCell::PurchaseSupplier), "大同行");  // at once
  EXPECT_EQ(db.settings.SupplierNames, QStringList({"廠商1"}));               // at closing
  EXPECT_TRUE(db.dirty());

  dlg.onDelete();
  EXPECT_FALSE(dlg.deleteButton->isEnabled());
  EXPECT_EQ(dlg.countLabel->text(), "共 0 筆廠商資料");
  dlg.reject();
  EXPECT_EQ(prompt.texts(), QStringList({"請至少新增一筆廠商資料!"}));
  EXPECT_EQ(db.settings.SupplierNames, QStringList({"廠商1"}));

  dlg.nameEdit->setText("");
  dlg.onAdd();
  dlg.nameEdit->setText("大同行");
  dlg.detailsEdit->setPlainText("台北\n02-1234");
  dlg.onAdd();
  dlg.reject();
  EXPECT_EQ(db.settings.SupplierNames, QStringList({"新廠商", "大同行"}));
  EXPECT_EQ(db.settings.SupplierDetails[1], "台北\r\n02-1234");
}

TEST(ManufMerchant, FileCommandsReportFailuresAndRoundTrip) {
  TestDir dir;
  Database db;
  db.settings.SupplierNames = {"甲", "乙"};
  db.settings.SupplierDetails = {"", "台北市,中正區"};
  ScriptedPrompt prompt;
  ManufMerchant dlg(db, prompt);

  prompt.answerPath(dir.file("sup.csv"));
  dlg.onExportCsv();
  EXPECT_EQ(prompt.texts().last(), "匯出CSV完成!");
  EXPECT_EQ(dir.get("sup.csv"), big5("甲,\r\n乙,\"台北市,中正區\"\r\n"));

  // A file that cannot be read changes nothing and says so.
  dir.put("utf8.csv", QByteArray("\xEF\xBB\xBF") + QString("丙,x\r\n").toUtf8());
  for (const QString& name : {QString("missing.csv"), QString("utf8.csv")}) {
    prompt.clear();
    prompt.answerPath(dir.file(name)).answer(A::Yes);
    dlg.onImportCsv();
    EXPECT_EQ(prompt.shown.back().icon, Prompt::Icon::Exclamation) << name.toStdString();
    EXPECT_FALSE(prompt.texts().contains("匯入CSV完成!"));
    EXPECT_EQ(dlg.nameList->count(), 2);
  }
  EXPECT_EQ(prompt.texts().last(), Csv::Utf8RefusalText);
  EXPECT_FALSE(db.dirty());
  prompt.answerPath(dir.file("no-such-folder/x.csv"));
  dlg.onExportCsv();
  EXPECT_EQ(prompt.texts().last(), "發生錯誤!");

  // The program's own file reads back whole.
  dlg.nameList->setCurrentRow(1);
  dlg.onDelete();
  prompt.answerPath(dir.file("sup.csv")).answer(A::Yes);
  dlg.onImportCsv();
  EXPECT_EQ(prompt.texts().last(), "匯入CSV完成!");
  EXPECT_TRUE(db.dirty());
  dlg.reject();
  EXPECT_EQ(db.settings.SupplierNames, QStringList({"甲", "乙"}));
  EXPECT_EQ(db.settings.SupplierDetails, QStringList({"", "台北市,中正區"}));
}
