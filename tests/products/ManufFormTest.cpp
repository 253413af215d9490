#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QDir>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>

#include "ProductFixture.h"
#include "ScriptedPrompt.h"
#include "TestDir.h"
#include "mainwindow/OrderForm.h"
#include "models/OrderListHost.h"
#include "models/ProductList.h"
#include "platform/AppPaths.h"
#include "platform/ListView.h"
#include "platform/SettingsStore.h"
#include "products/ManufForm.h"
#include "purchasing/ManufInput.h"
#include "store/CsvFile.h"
#include "store/DatabaseList.h"

namespace {

QStringList column(const ListView& l, int c) {
  QStringList out;
  for (int r = 0; r < l.rowCount(); ++r) out << l.text(r, c);
  return out;
}

struct ManufFormTest : ::testing::Test {
  Database db;
  ScriptedPrompt prompt;
  void SetUp() override {
    SettingsStore::remove("ManufForm", "Combo1");
    for (const char* k : {"show1", "show2", "show3", "no4", "AddManuf", "AddManuf2", "ManufAlert"})
      SettingsStore::remove("ManufForm", k);
    fillProducts(db);
  }
};

}  // namespace

TEST_F(ManufFormTest, ListColoursTotalsAndFilters) {
  ManufForm f(db, prompt);
  f.setManagementUse();
  EXPECT_EQ(column(*f.productList, ProductList::Name), (QStringList{"戒指", "項鍊", "鉛筆", "橡皮", "雜物", "貼紙"}));
  EXPECT_EQ(f.productList->rowColor(1), QColor(255, 0, 0));
  EXPECT_FALSE(f.productList->rowColor(0).isValid());
  EXPECT_EQ(f.statusPanels[0]->text(), "售價總計: 496 ");
  EXPECT_EQ(f.statusPanels[3]->text(), "共 6 筆資料");
  EXPECT_TRUE(f.productList->selectedRows().empty());

  f.categoryCombo->setCurrentText("文具");  // choosing an entry rebuilds at once
  EXPECT_EQ(column(*f.productList, ProductList::Name), (QStringList{"鉛筆", "橡皮"}));
  EXPECT_EQ(f.statusPanels[2]->text(), "庫存總數: 1 ");

  f.categoryCombo->setCurrentIndex(0);
  f.onlyOutOfStockAction->trigger();
  EXPECT_EQ(column(*f.productList, ProductList::Name), (QStringList{"項鍊", "鉛筆", "貼紙"}));
  f.onlyInStockAction->trigger();  // switches the other filters off
  EXPECT_FALSE(f.onlyOutOfStockAction->isChecked());
  EXPECT_EQ(column(*f.productList, ProductList::Name), (QStringList{"戒指", "橡皮", "雜物"}));
  EXPECT_EQ(f.statusPanels[0]->text(), "售價總計: 516 ");

  // The category button and the filter's last entry run the category editor once one is set.
  EXPECT_FALSE(f.editCategoriesButton->isEnabled());
  int edits = 0;
  f.setCategoryEditor([&] { ++edits; });
  EXPECT_TRUE(f.editCategoriesButton->isEnabled());
  f.editCategoriesButton->click();
  f.categoryCombo->setCurrentIndex(f.categoryCombo->count() - 1);  // choosing an entry runs its handler
  EXPECT_EQ(edits, 2);
}

TEST_F(ManufFormTest, StockColumnSortsByValueAndKeepsTheShownStock) {
  db.Manuf.setCell(1, ManufCell::ProductStock, "3.7");
  db.Manuf.setCell(4, ManufCell::ProductStock, "-10");
  ManufForm f(db, prompt);
  f.onColumnClicked(ProductList::Stock);  // keeps the direction: ascending
  EXPECT_EQ(column(*f.productList, ProductList::Stock), (QStringList{"-10", "-2", "0", "", "1", "3.7"}));
  f.onColumnClicked(ProductList::Stock);
  EXPECT_EQ(column(*f.productList, ProductList::Stock).first(), "3.7");
  // The first click on the name column of a fresh window sorts descending.
  ManufForm g(db, prompt);
  g.onColumnClicked(ProductList::Name);
  EXPECT_EQ(g.productList->sortOrder(), Qt::DescendingOrder);
  // The table keeps its order.
  EXPECT_EQ(db.Manuf.key(1), "戒指");
}

TEST_F(ManufFormTest, SettingsAreRememberedAtClosing) {
  {
    ManufForm f(db, prompt);
    f.setManagementUse();
    bool checked = false;
    f.onManagementClosed = [&] { checked = true; };
    f.categoryCombo->setCurrentIndex(2);
    f.onlyUnderSafetyAction->trigger();
    f.stayOpenAfterAddAction->setChecked(true);
    f.showStockAction->setChecked(false);
    f.close();
    EXPECT_TRUE(checked);
  }
  ManufForm g(db, prompt);
  EXPECT_EQ(g.categoryCombo->currentText(), "文具");
  EXPECT_TRUE(g.onlyUnderSafetyAction->isChecked());
  EXPECT_TRUE(g.stayOpenAfterAddAction->isChecked());
  EXPECT_EQ(column(*g.productList, ProductList::Name), QStringList{"鉛筆"});
  EXPECT_EQ(g.productList->text(0, ProductList::Stock), "");
  // A stored position beyond the entries gives "全部".
  SettingsStore::set("ManufForm", "Combo1", "40");
  ManufForm h(db, prompt);
  EXPECT_EQ(h.categoryCombo->currentText(), "全部");
}

TEST_F(ManufFormTest, PickerAddsTheSelectionToTheOpenOrder) {
  OrderEditorLineVector lines;
  ManufForm f(db, prompt);
  f.setOrderPickerUse(&lines);
  f.show();
  EXPECT_TRUE(f.addButton->isVisible());
  EXPECT_FALSE(f.listOrdersButton->isVisible());
  f.productList->setSelected(0, true);
  f.productList->setSelected(3, true);
  f.onAdd();
  ASSERT_EQ(lines.count(), 2);
  EXPECT_EQ(lines.lines[0].name, "戒指");
  EXPECT_EQ(lines.lines[1].name, "橡皮");
  EXPECT_EQ(db.Manuf.cell(1, ManufCell::ProductStock), "4");
  EXPECT_EQ(db.Manuf.cell(4, ManufCell::ProductStock), "2");
  EXPECT_EQ(f.productList->text(0, ProductList::Stock), "4");
  EXPECT_FALSE(f.isVisible());  // closes after one pick
}

TEST_F(ManufFormTest, ProductDialogKeepsTheWindowInStep) {
  ManufForm f(db, prompt);
  f.setManagementUse();
  f.categoryCombo->setCurrentText("文具");
  {
    ManufInput dlg(db, prompt, &f);
    f.prepareNew(dlg);
    EXPECT_EQ(dlg.categoryCombo->currentText(), "文具");
    dlg.nameEdit->setText("尺");
    dlg.categoryCombo->setCurrentText("量具");
    dlg.onSave();
  }
  EXPECT_EQ(db.settings.ProductCategories.last(), "量具");
  EXPECT_EQ(f.categoryCombo->currentText(), "量具");  // a single-category filter follows the new product
  EXPECT_EQ(f.categoryCombo->itemText(f.categoryCombo->count() - 2), "未分類");
  EXPECT_EQ(column(*f.productList, ProductList::Name), QStringList{"尺"});

  f.categoryCombo->setCurrentIndex(0);
  f.productList->setCurrentRow(1);  // 項鍊: stock 0, safety 1
  ManufInput dlg(db, prompt, &f);
  ASSERT_TRUE(f.prepareEdit(dlg));
  EXPECT_EQ(dlg.nameEdit->text(), "項鍊");
  EXPECT_TRUE(dlg.purchaseReturnButton->isVisibleTo(&dlg));
  dlg.stockEdit->setText("5");
  dlg.onSave();
  EXPECT_EQ(db.Manuf.cell(2, ManufCell::ProductStock), "5");
  EXPECT_EQ(f.productList->text(1, ProductList::Stock), "5");
  EXPECT_FALSE(f.productList->rowColor(1).isValid());
  EXPECT_EQ(f.productList->cellColor(1, ProductList::Stock), QColor(0, 0, 0));
  EXPECT_TRUE(db.dirty());

  // With the highlighting off the edited row's stock still tells a product
  // under its safety stock (戒指: safety 2, stock 5 -> 1); the row stays plain.
  f.highlightUnderSafetyAction->setChecked(false);
  f.productList->setCurrentRow(0);
  ManufInput edit(db, prompt, &f);
  ASSERT_TRUE(f.prepareEdit(edit));
  edit.stockEdit->setText("1");
  edit.onSave();
  EXPECT_EQ(f.productList->cellColor(0, ProductList::Stock), QColor(255, 0, 0));
  EXPECT_FALSE(f.productList->rowColor(0).isValid());
}

TEST_F(ManufFormTest, HiddenCostAndDelete) {
  db.HideCost = true;
  const int img = db.Images.append("戒指");
  db.Images.setCell(img, ImagesCell::ImageCategory, "文具");  // another product's picture
  addProduct(db, {"戒指", "文具", "1", "1", "1", "", "0", "0"});
  const int own = db.Images.append("戒指");
  db.Images.setCell(own, ImagesCell::ImageCategory, "飾品");
  ManufForm f(db, prompt);
  f.setManagementUse();
  EXPECT_TRUE(f.productList->isColumnHidden(ProductList::Cost));
  EXPECT_TRUE(f.statusPanels[1]->isHidden());
  EXPECT_EQ(f.productList->text(0, ProductList::Cost), "60");

  f.productList->setSelected(0, true);  // 戒指 / 飾品
  prompt.answer(Prompt::Answer::No);
  f.onDeleteProducts();
  EXPECT_EQ(db.Manuf.count(), 7);
  prompt.answer(Prompt::Answer::Yes);
  f.productList->setSelected(0, true);
  f.productList->setSelected(2, true);  // 鉛筆
  f.onDeleteProducts();
  EXPECT_EQ(prompt.shown.back().title, "刪除");
  EXPECT_EQ(column(*f.productList, ProductList::Name), (QStringList{"項鍊", "橡皮", "雜物", "貼紙", "戒指"}));
  ASSERT_EQ(db.Images.count(), 1);
  EXPECT_EQ(db.Images.cell(1, ImagesCell::ImageCategory), "文具");
  EXPECT_TRUE(db.dirty());
}

namespace {

// The main window's side of "列出訂單", recording what the listing did.
struct FakeOrderList : OrderListHost {
  QStringList calls;
  bool unshipped = true;
  bool username = false;
  OrderList::OrderListResult shown;
  void showOrderList(const OrderList::OrderListResult& r) override {
    shown = r;
    calls << "show";
  }
  bool viewUsername() const override { return username; }
  bool unshippedOptionSelected() const override { return unshipped; }
  void setShippingOptionsQuietly(bool u, bool s) override {
    unshipped = u;
    calls << QStringLiteral("options %1%2").arg(u).arg(s);
  }
  int categoryFilterIndex() const override { return 0; }
  void setCategoryFilterQuietly(int) override { calls << "category"; }
  void CheckStockShortage() override { calls << "shortage"; }
  void clearShortageList() override { calls << "clear"; }
  void bringToFront() override { calls << "front"; }
};

}  // namespace

TEST_F(ManufFormTest, ListsTheOrdersOfTheSelectedProducts) {
  const auto order = [&](const char* no, const char* state) {
    const int r = db.Order.append(QString::fromUtf8(no));
    db.Order.setCell(r, OrderCell::ShippingState, QString::fromUtf8(state));
    db.Order.setCell(r, OrderCell::Receivable, "100");
  };
  order("2", "已出貨");
  order("1", "未出貨");
  for (const char* no : {"2", "1"}) {
    const int l = db.Stock.append(no);
    db.Stock.setCell(l, StockCell::LineName, "戒指");
    db.Stock.setCell(l, StockCell::LineCategory, "飾品");
  }
  ManufForm f(db, prompt);
  f.setManagementUse();
  EXPECT_FALSE(f.listOrdersButton->isEnabled());  // no order list to fill yet
  FakeOrderList host;
  f.setOrderListHost(&host);
  ASSERT_TRUE(f.listOrdersButton->isEnabled());

  f.productList->setSelected(0, true);
  f.onListOrdersChoice(f.listShippedOrdersAction);
  EXPECT_FALSE(f.listAllOrdersAction->isChecked());
  f.onListOrders();
  ASSERT_EQ(host.shown.rows.size(), 1u);
  EXPECT_EQ(host.shown.rows[0][OrderListCol::OrderNo], "2");
  // The shortage check runs as the main window stood (未出貨), then the options follow the choice.
  EXPECT_EQ(host.calls, (QStringList{"show", "shortage", "options 01", "front"}));

  host.calls.clear();
  f.onListOrdersChoice(f.listAllOrdersAction);  // 列出全部 leaves the main window on 未出貨
  f.onListOrders();
  EXPECT_EQ(host.calls, (QStringList{"show", "clear", "options 10", "front"}));
  ASSERT_EQ(host.shown.rows.size(), 2u);
  EXPECT_EQ(host.shown.rows[0][OrderListCol::OrderIndex], "2");
  EXPECT_EQ(host.shown.panels[0], "應收帳款: 200 ");
  EXPECT_FALSE(db.dirty());
}

TEST_F(ManufFormTest, SearchAndTheMoveCommands) {
  ManufForm f(db, prompt);
  f.setManagementUse();
  EXPECT_TRUE(f.moveUpButton->isEnabled());
  f.categoryCombo->setCurrentText("文具");
  EXPECT_FALSE(f.moveUpButton->isEnabled());
  EXPECT_FALSE(f.moveDownAction->isEnabled());
  f.categoryCombo->setCurrentIndex(0);
  EXPECT_TRUE(f.moveUpAction->isEnabled());

  f.searchEdit->clear();
  f.onSearch();
  EXPECT_EQ(prompt.shown.back().text, "請先輸入商品名稱");
  EXPECT_EQ(prompt.shown.back().title, "注意");
  EXPECT_TRUE(f.moveDownButton->isEnabled());  // a refused search changes nothing

  f.searchEdit->setText("  銀 ");
  f.onSearch();  // under 全部 too, a search result offers no moves
  EXPECT_EQ(f.searchEdit->text(), "銀");
  EXPECT_EQ(column(*f.productList, ProductList::Name), QStringList{"戒指"});
  EXPECT_FALSE(f.moveUpButton->isEnabled());
  EXPECT_FALSE(f.moveUpAction->isEnabled());

  f.categoryCombo->setCurrentText("文具");
  f.searchEdit->setText("戒");
  prompt.clear();
  f.onSearchAll();  // 全區搜尋 leaves the filter as it is
  EXPECT_EQ(column(*f.productList, ProductList::Name), QStringList{"戒指"});
  EXPECT_EQ(f.categoryCombo->currentText(), "文具");
  EXPECT_TRUE(prompt.shown.empty());
  f.searchEdit->setText("沒有");
  f.onSearch();
  EXPECT_EQ(f.statusPanels[3]->text(), "共 0 筆資料");
  EXPECT_EQ(prompt.shown.back().text, "沒有找到符合的商品");
  EXPECT_EQ(prompt.shown.back().icon, Prompt::Icon::Exclamation);
}

TEST_F(ManufFormTest, MovingKeepsTheIndexCellsAndRecolours) {
  ManufForm f(db, prompt);
  f.setManagementUse();
  f.onlyOutOfStockAction->trigger();  // 項鍊 鉛筆 貼紙: rows 2, 3, 6, all red
  f.showStockAction->setChecked(false);
  f.ManufShow();
  ASSERT_EQ(column(*f.productList, ProductList::Index), (QStringList{"2", "3", "6"}));
  db.Manuf.setCell(6, ManufCell::SafetyStock, "0");  // 貼紙 is no longer short
  f.productList->setSelected(2, true);
  f.onMoveUp();
  EXPECT_EQ(column(*f.productList, ProductList::Name), (QStringList{"項鍊", "貼紙", "鉛筆"}));
  EXPECT_EQ(column(*f.productList, ProductList::Index), (QStringList{"2", "3", "6"}));
  EXPECT_EQ(db.Manuf.key(3), "貼紙");
  EXPECT_EQ(f.productList->selectedRows(), std::vector<int>{1});
  // Judged by the stored stock, not by the hidden stock column.
  EXPECT_FALSE(f.productList->rowColor(1).isValid());
  EXPECT_EQ(f.productList->rowColor(2), QColor(255, 0, 0));
  EXPECT_TRUE(db.dirty());

  prompt.answer(Prompt::Answer::No);
  f.onSortProducts();
  EXPECT_EQ(db.Manuf.key(3), "貼紙");
}

TEST_F(ManufFormTest, PopupPictureAndCategoryEditor) {
  ManufForm f(db, prompt);
  f.setManagementUse();
  f.productList->setSelected(0, true);
  emit f.productList->contextMenuAt(QPoint(0, 0));
  f.popupMenu->hide();
  EXPECT_FALSE(f.changePriceAction->isEnabled());
  EXPECT_FALSE(f.changeCategoryAction->isEnabled());
  EXPECT_TRUE(f.changeStockAction->isEnabled());
  f.productList->setSelected(1, true);
  emit f.productList->contextMenuAt(QPoint(0, 0));
  f.popupMenu->hide();
  EXPECT_TRUE(f.changeCostAction->isEnabled());

  db.DataBasePath = "/nowhere/";
  const int img = db.Images.append("戒指");
  db.Images.setCell(img, ImagesCell::ImageCategory, "飾品");
  db.Images.setCell(img, ImagesCell::ImagePath, "<DataBasePath>a.jpg");
  f.productList->setCurrentRow(0);
  f.onViewPictures();
  EXPECT_EQ(prompt.shown.back().text, "找不到圖片檔案!");
  EXPECT_EQ(prompt.shown.back().title, "注意");
  prompt.clear();
  f.productList->setCurrentRow(1);  // no picture: nothing at all
  f.onViewPictures();
  EXPECT_TRUE(prompt.shown.empty());

  // After the category editor the filter comes back on 全部.
  f.categoryCombo->setCurrentText("文具");
  f.setCategoryEditor([&] {
    db.settings.ProductCategories << "新類";
    f.refillCategoryFilter();
  });
  f.editCategoriesButton->click();
  EXPECT_EQ(f.categoryCombo->currentText(), "全部");
  EXPECT_EQ(f.categoryCombo->itemText(f.categoryCombo->count() - 3), "新類");
  EXPECT_EQ(f.productList->rowCount(), 6);

  // The ranking opener: an empty table only says so.
  int rankings = 0;
  f.setSalesRanking([&] { ++rankings; });
  f.onSalesRanking();
  EXPECT_EQ(rankings, 1);
  Database empty;
  ManufForm g(empty, prompt);
  g.setSalesRanking([&] { ++rankings; });
  g.onSalesRanking();
  EXPECT_EQ(rankings, 1);
  EXPECT_EQ(prompt.shown.back().text, "目前尚無資料，無法統計");
}

TEST_F(ManufFormTest, CsvCommands) {
  TestDir dir;
  ManufForm f(db, prompt);
  f.setManagementUse();
  f.showPriceAction->setChecked(false);  // price column off
  f.showStockAction->setChecked(false);
  f.ManufShow();
  f.productList->setSelected(2, true);
  prompt.answerPath(dir.file("sel.csv"));
  f.onExportSelected();
  EXPECT_EQ(prompt.shown[0].title, "匯出");
  EXPECT_EQ(prompt.shown.back().text, "匯出CSV完成!");
  // The values come from the product, whatever the list shows.
  EXPECT_EQ(dir.get("sel.csv"), big5("鉛筆,文具,10,4,-2,,0,1\r\n"));

  prompt.clear();
  prompt.answerPath(dir.file("no/such/folder/x.csv"));
  f.onExportAll();
  EXPECT_EQ(prompt.texts(), (QStringList{"匯出", "發生錯誤!"}));  // and no completion message

  // Files that cannot be read or are UTF-8 change nothing and ask nothing.
  dir.put("utf8.csv", QByteArray("新品,文具,1\r\n"));
  for (const QString& name : {QString("missing.csv"), QString("utf8.csv")}) {
    prompt.clear();
    prompt.answerPath(dir.file(name));
    f.onImportCsv();
    ASSERT_EQ(prompt.shown.size(), 2u);
    EXPECT_EQ(prompt.shown[1].text, name == "utf8.csv" ? Csv::Utf8RefusalText : QString("發生錯誤!"));
    prompt.answerPath(dir.file(name));
    f.onAddPictures();
  }
  EXPECT_EQ(db.Manuf.count(), 6);
  EXPECT_FALSE(db.dirty());

  dir.put("p.csv", big5("新品,文具,1,1,1,,,\r\n"));
  prompt.clear();
  prompt.answerPath(dir.file("p.csv")).answer(Prompt::Answer::No);
  f.onImportCsv();
  EXPECT_EQ(prompt.shown[1].icon, Prompt::Icon::Question);
  EXPECT_EQ(prompt.shown.back().text, "匯入CSV完成!");
  EXPECT_EQ(f.productList->rowCount(), 7);
  EXPECT_TRUE(db.dirty());
}

TEST_F(ManufFormTest, BulkCategoryAddsTheFilterEntryEvenOnNo) {
  ManufForm f(db, prompt);
  f.setManagementUse();
  f.productList->setSelected(0, true);
  f.productList->setSelected(1, true);
  prompt.answerInput(QString("禮品")).answer(Prompt::Answer::No);
  f.onChangeCategoryOfSelected();
  EXPECT_EQ(f.categoryCombo->itemText(f.categoryCombo->count() - 3), "禮品");
  EXPECT_EQ(f.categoryCombo->itemText(f.categoryCombo->count() - 2), "未分類");
  prompt.answerInput(QString("8"));
  f.onChangePriceOfSelected();
  EXPECT_EQ(f.productList->text(0, ProductList::Price), "8");
  EXPECT_EQ(f.productList->text(1, ProductList::Price), "8");
}

// The product window as the main window opens it: "列出訂單" fills the main list.
TEST(ManufFormInMainWindow, ListsOrdersIntoTheMainList) {
  ScriptedPrompt prompt;
  TestDir dir;
  QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Kestrin"), QStringLiteral("Kestrin")).clear();
  const QString app = AppPaths::appPath();
  QDir(app).removeRecursively();
  QDir().mkpath(app);
  const QDir golden(QStringLiteral(KESTRIN_TEST_DATA "/golden-db"));
  for (const QString& n : golden.entryList(QDir::Files)) QFile::copy(golden.filePath(n), dir.file(n));
  ASSERT_TRUE(DatabaseList::write(app, {DatabaseList::entry(QStringLiteral("店"), dir.path())}));
  SettingsStore::set(QStringLiteral("Setting"), QStringLiteral("DataBaseName"), QStringLiteral("店"));
  SettingsStore::set(QStringLiteral("Setting"), QStringLiteral("DataBasePath"), dir.path());
  OrderForm main(prompt);
  main.endProgram = [] {};
  main.quitProgram = [] {};
  main.AutoBackup = [] {};
  main.Form_Load();
  main.onProducts();
  ManufForm* f = main.manufWindow();
  ASSERT_NE(f, nullptr);
  ASSERT_TRUE(f->listOrdersButton->isEnabled());
  f->productList->setSelected(0, true);  // 茶杯, in the shipped order 2403000001
  f->onListOrdersChoice(f->listAllOrdersAction);
  f->onListOrders();
  ASSERT_EQ(main.orderList->rowCount(), 1);
  EXPECT_EQ(main.orderList->text(0, OrderListCol::OrderNo), "2403000001");
  EXPECT_TRUE(main.unshippedOption->isChecked());  // 列出全部 leaves the main window on 未出貨
  f->close();
  // Closing the product window refreshes the shortage marks only: the listing stays.
  ASSERT_EQ(main.orderList->rowCount(), 1);
  EXPECT_EQ(main.orderList->text(0, OrderListCol::OrderNo), "2403000001");
}
