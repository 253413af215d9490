#include "printouts/ExportForm.h"

#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <gtest/gtest.h>

#include "PrintoutFixture.h"
#include "ScriptedPrompt.h"
#include "TestDir.h"
#include "platform/Codec.h"
#include "platform/ListView.h"
#include "platform/SettingsStore.h"
#include "printouts/PrintoutOutput.h"

namespace {

using ExportText::Field;


struct ExportFormTest : ::testing::Test, PrintoutFixture {
  ScriptedPrompt prompt;
  TestDir dir;
  ListView orders;
  QStringList viewed;
  int folderDialogs = 0;

  void SetUp() override {
    QSettings s(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Kestrin"), QStringLiteral("Kestrin"));
    s.clear();
    s.sync();
    db.TempPath = dir.path();
    PrintoutOutput::showText = [this](const QString& path, QWidget*) {
      viewed << path;
      return true;
    };
    PrintoutOutput::askTempFolder = [this](Database& d, Prompt&, QWidget*) {
      ++folderDialogs;
      d.TempPath = dir.path();
    };
    orders.setColumns(OrderList::orderListCaptions());
    orders.setIndexColumn(OrderListCol::OrderIndex);
    orders.setMultiSelect(true);
    orders.setRows(listRows({1, 2}));
  }
  void TearDown() override {
    ExportForm::showHook = nullptr;
    PrintoutOutput::showText = nullptr;
    PrintoutOutput::askTempFolder = nullptr;
  }
  // Runs the order list's chooser with `drive` in place of the user.
  void runOrders(const std::function<void(ExportForm&)>& drive) {
    ExportForm::showHook = drive;
    ExportForm::run(db, prompt, nullptr, 1, QStringLiteral("OrderForm"), orders, ExportForm::orderListOffers());
  }
  static int rowOf(const ExportForm& f, const char* caption) {
    for (int r = 0; r < f.fieldList->rowCount(); ++r)
      if (f.fieldList->text(r, 0) == QString::fromUtf8(caption)) return r;
    return -1;
  }
  static void tick(ExportForm& f, const char* caption, bool on = true) {
    f.fieldList->setChecked(rowOf(f, caption), on);
  }
  QString output() { return Codec::decode(dir.get(QStringLiteral("temp.txt"))); }
};

TEST_F(ExportFormTest, FieldOrderAndTicksSurviveReopening) {
  orders.setSelected(0, true);
  runOrders([&](ExportForm& f) {
    EXPECT_EQ(f.ex, 1);
    EXPECT_EQ(f.fieldList->rowCount(), 27);
    EXPECT_EQ(f.highlightedRow(), -1);
    tick(f, "訂單編號");
    tick(f, "應收款項");
    // Move the ticked 應收款項 up past the unticked 運費: its tick goes with it.
    f.fieldList->setCurrentRow(rowOf(f, "應收款項"));
    f.onMoveUp();
    EXPECT_EQ(f.fieldList->text(11, 0), QStringLiteral("應收款項"));
    EXPECT_TRUE(f.fieldList->isChecked(11));
    EXPECT_EQ(f.fieldCodes.value(11), QStringLiteral("5"));
    EXPECT_FALSE(f.fieldList->isChecked(12));
    EXPECT_EQ(f.fieldList->text(12, 0), QStringLiteral("運費"));
    EXPECT_EQ(f.highlightedRow(), 11);
    f.tabOption->setChecked(true);
    f.onExport();
    EXPECT_EQ(f.result(), QDialog::Accepted);
  });
  EXPECT_EQ(output(), QStringLiteral("2403000001\t1200\r\n"));
  ASSERT_EQ(viewed.size(), 1);
  EXPECT_EQ(viewed[0], dir.file(QStringLiteral("temp.txt")));
  EXPECT_EQ(SettingsStore::get(QStringLiteral("OrderForm"), QStringLiteral("L1_11")), QStringLiteral("應收款項"));
  EXPECT_EQ(SettingsStore::get(QStringLiteral("OrderForm"), QStringLiteral("L2_11")), QStringLiteral("5"));
  EXPECT_EQ(SettingsStore::get(QStringLiteral("OrderForm"), QStringLiteral("L1Selected_11")), QStringLiteral("True"));

  std::vector<Field> saved;
  runOrders([&](ExportForm& f) {
    saved = f.fields();
    EXPECT_TRUE(f.commaOption->isChecked());  // the separator is not remembered
    EXPECT_EQ(f.selectAllButton->text(), QStringLiteral("全選"));
    EXPECT_EQ(f.highlightedRow(), -1);
    // Changes then "取消": nothing is stored.
    f.onSelectAll();
    EXPECT_EQ(f.selectAllButton->text(), QStringLiteral("取消全部"));
    f.fieldList->setCurrentRow(0);
    f.onMoveDown();
    f.onCancel();
  });
  EXPECT_EQ(saved[11], (Field{QStringLiteral("應收款項"), 5, true}));
  EXPECT_EQ(saved[12], (Field{QStringLiteral("運費"), 4, false}));
  EXPECT_EQ(saved[0], (Field{QStringLiteral("訂單編號"), 0, true}));
  runOrders([&](ExportForm& f) {
    EXPECT_EQ(f.fields(), saved);
    f.onCancel();
  });
  // Other windows keep choices of their own.
  EXPECT_FALSE(SettingsStore::contains(QStringLiteral("GuestForm"), QStringLiteral("L1_0")));
}

TEST_F(ExportFormTest, OrderLinesGiveOneLinePerLineWithTheOrderRepeated) {
  orders.selectAll();
  runOrders([&](ExportForm& f) {
    // A line field cannot be ticked while 商品名稱 is not.
    tick(f, "商品分類");
    EXPECT_FALSE(f.fieldList->isChecked(rowOf(f, "商品分類")));
    tick(f, "訂單編號");
    tick(f, "客戶帳號");
    tick(f, "客戶姓名");
    tick(f, "客戶手機");
    tick(f, "商品名稱");  // ticks every line field
    for (const char* c : {"商品分類", "商品售價", "商品成本", "商品數量", "商品備註", "商品網址"})
      EXPECT_TRUE(f.fieldList->isChecked(rowOf(f, c))) << c;
    for (const char* c : {"商品分類", "商品成本", "商品備註", "商品網址"}) tick(f, c, false);
    EXPECT_TRUE(f.fieldList->isChecked(rowOf(f, "商品名稱")));
    tick(f, "運費類別");
    f.onExport();
  });
  // amy's order has two lines (stored apart), bob is not in Guest.
  EXPECT_EQ(output(), QStringLiteral("2403000001,amy,王小美, 0912345678 ,Tea,500,2,買方付運費\r\n"
                                     "2403000001,amy,王小美, 0912345678 ,Cup,200,1,買方付運費\r\n"
                                     "2403000002,bob,,,Cup,19.9,3,賣方付運費\r\n"));
  // Unticking 商品名稱 unticks the line fields: one line per order.
  runOrders([&](ExportForm& f) {
    tick(f, "商品名稱", false);
    EXPECT_FALSE(f.fieldList->isChecked(rowOf(f, "商品售價")));
    f.onExport();
  });
  EXPECT_EQ(output(), QStringLiteral("2403000001,amy,王小美, 0912345678 ,買方付運費\r\n"
                                     "2403000002,bob,,,賣方付運費\r\n"));
}

TEST_F(ExportFormTest, NothingTickedIsRefusedAfterTheFolderCheck) {
  db.TempPath.clear();
  runOrders([&](ExportForm& f) {
    f.onExport();
    EXPECT_NE(f.result(), QDialog::Accepted);
  });
  EXPECT_EQ(folderDialogs, 1);
  EXPECT_EQ(prompt.texts(), QStringList{QStringLiteral("請勾選要匯出的資料欄位。")});
  EXPECT_EQ(prompt.shown[0].icon, Prompt::Icon::Information);
  EXPECT_FALSE(dir.has(QStringLiteral("temp.txt")));
  EXPECT_FALSE(SettingsStore::contains(QStringLiteral("OrderForm"), QStringLiteral("L1_0")));
  EXPECT_TRUE(viewed.isEmpty());
}

TEST_F(ExportFormTest, FailuresKeepTheChooserOpenAndSaveNothing) {
  orders.selectAll();
  orders.setText(1, OrderListCol::OrderIndex, QStringLiteral("7"));  // names no Order row
  runOrders([&](ExportForm& f) {
    tick(f, "訂單編號");
    f.onExport();
    EXPECT_NE(f.result(), QDialog::Accepted);
  });
  EXPECT_EQ(prompt.texts(), QStringList{QStringLiteral("發生錯誤!")});
  EXPECT_FALSE(SettingsStore::contains(QStringLiteral("OrderForm"), QStringLiteral("L1_0")));
  EXPECT_TRUE(viewed.isEmpty());

  // A file that cannot be written: the error, no viewer.
  prompt.clear();
  orders.setText(1, OrderListCol::OrderIndex, QStringLiteral("2"));
  ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("temp.txt")));
  runOrders([&](ExportForm& f) {
    tick(f, "訂單編號");
    f.onExport();
    EXPECT_NE(f.result(), QDialog::Accepted);
  });
  EXPECT_EQ(prompt.texts(), QStringList{QStringLiteral("發生錯誤!")});
  EXPECT_TRUE(viewed.isEmpty());
  EXPECT_FALSE(SettingsStore::contains(QStringLiteral("OrderForm"), QStringLiteral("L1_0")));
}

TEST_F(ExportFormTest, PlainListsExportTheirCells) {
  ListView list;
  list.setColumns({QStringLiteral("日期"), QStringLiteral("分類"), QStringLiteral("明細"), QStringLiteral("金額"),
                   QStringLiteral("備註"), QStringLiteral("Index")});
  list.setMultiSelect(true);
  list.setRows({{QStringLiteral("A"), QString(), QStringLiteral("B"), QStringLiteral("1,5"),
                 QStringLiteral("x\r\ny\nz")},
                {QStringLiteral("C"), QStringLiteral("D"), QString(), QString(), QString()}});
  const std::vector<ExportOffer> offers = ExportForm::listOffers(list, {0, 1, 2, 3, 4});
  ASSERT_EQ(offers.size(), 5u);
  EXPECT_EQ(offers[4].caption, QStringLiteral("備註"));
  EXPECT_EQ(offers[4].code, 4);

  auto exportWith = [&](int ex, std::initializer_list<int> ticked) {
    ExportForm::showHook = [&](ExportForm& f) {
      for (int r = 0; r < f.fieldList->rowCount(); ++r)
        f.fieldList->setChecked(r, std::count(ticked.begin(), ticked.end(), r) > 0);
      f.onExport();
    };
    ExportForm::run(db, prompt, nullptr, ex, QStringLiteral("ExpendForm"), list, offers);
    return output();
  };
  // Every row for sources 5 to 9; CR LF pairs removed, a lone LF and commas kept.
  EXPECT_EQ(exportWith(9, {0, 1, 2}), QStringLiteral("A,,B\r\nC,D,\r\n"));
  EXPECT_EQ(exportWith(9, {3, 4}), QStringLiteral("1,5,xy\nz\r\n,\r\n"));
  // Selected rows only for sources 1 to 4; none selected gives an empty file.
  EXPECT_EQ(exportWith(2, {0}), QString());
  EXPECT_EQ(dir.get(QStringLiteral("temp.txt")).size(), 0);
  EXPECT_EQ(viewed.size(), 3);
  list.setSelected(1, true);
  EXPECT_EQ(exportWith(4, {0}), QStringLiteral("C\r\n"));
}

TEST_F(ExportFormTest, SelectAllAndMovesAtTheEnds) {
  runOrders([&](ExportForm& f) {
    // Shown, the chooser still marks no row: the arrows have nothing to move.
    f.show();
    f.activateWindow();
    QApplication::processEvents();
    EXPECT_EQ(f.fieldList->currentRow(), -1);
    f.onMoveDown();
    EXPECT_EQ(f.fieldList->text(0, 0), QStringLiteral("訂單編號"));
    f.onSelectAll();
    for (int r = 0; r < f.fieldList->rowCount(); ++r) EXPECT_TRUE(f.fieldList->isChecked(r));
    const std::vector<Field> before = f.fields();
    f.onMoveUp();  // nothing highlighted
    f.fieldList->setCurrentRow(0);
    f.onMoveUp();  // first row up
    f.fieldList->setCurrentRow(26);
    f.onMoveDown();  // last row down
    EXPECT_EQ(f.fields(), before);
    f.onSelectAll();
    for (int r = 0; r < f.fieldList->rowCount(); ++r) EXPECT_FALSE(f.fieldList->isChecked(r));
    EXPECT_EQ(f.selectAllButton->text(), QStringLiteral("全選"));
    f.onCancel();
  });
}

}  // namespace
