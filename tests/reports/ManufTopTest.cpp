#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QComboBox>
#include <QDate>
#include <QLineEdit>
#include <QPushButton>

#include "ReportsFixture.h"
#include "ScriptedPrompt.h"
#include "TestDir.h"
#include "models/ProductList.h"
#include "platform/ListView.h"
#include "platform/SettingsStore.h"
#include "products/ManufForm.h"
#include "reports/ManufTop.h"

namespace {

struct ManufTopTest : ::testing::Test {
  Database db;
  ScriptedPrompt prompt;
  void SetUp() override {
    for (const char* k : {"LW11", "LW12", "LW21"}) SettingsStore::remove("ManufTop", k);
    SettingsStore::remove("ManufForm", "Combo1");
    fillOrders(db);
    // name, category, price, cost, stock, note, safety stock, weight
    for (const QStringList& p : {QStringList{"A", "飾品", "100", "60", "3", "銀", "5", "1"},
                                 QStringList{"H", "飾品", "333", "100", "9", "", "1", "2"},
                                 QStringList{"A", "飾品", "90", "50", "8", "", "5", "1"}}) {
      const int r = db.Manuf.append(p[0]);
      for (int c = 1; c < p.size(); ++c) db.Manuf.setCell(r, c, p[c]);
    }
  }
  static int rowOf(const ListView& l, const QString& name) {
    for (int r = 0; r < l.rowCount(); ++r)
      if (l.text(r, 0) == name) return r;
    return -1;
  }
};

}  // namespace

TEST_F(ManufTopTest, OpensBesideTheProductWindowOnceAndClosesWithIt) {
  Database empty;
  {
    ManufForm products(empty, prompt);
    products.setManagementUse();
    products.setSalesRanking([&] { ManufTop::showBeside(empty, prompt, &products); });
    products.onSalesRanking();
    EXPECT_EQ(prompt.texts(), QStringList{"目前尚無資料，無法統計"});
    EXPECT_EQ(prompt.shown[0].icon, Prompt::Icon::Information);
    EXPECT_EQ(ManufTop::of(&products), nullptr);
  }

  db.SetView = 3;
  auto* products = new ManufForm(db, prompt);
  products->setAttribute(Qt::WA_DeleteOnClose);
  products->setManagementUse();
  products->setSalesRanking([&] { ManufTop::showBeside(db, prompt, products); });
  products->show();
  EXPECT_TRUE(products->salesRankingButton->isEnabled());
  products->salesRankingButton->click();
  QPointer<ManufTop> top = ManufTop::of(products);
  ASSERT_TRUE(top);
  EXPECT_TRUE(top->isVisible());
  EXPECT_FALSE(top->isModal());
  products->onSalesRanking();
  EXPECT_EQ(ManufTop::of(products), top.data());
  // Minimising the product window leaves the ranking open.
  products->showMinimized();
  EXPECT_TRUE(top && top->isVisible());
  products->showNormal();

  EXPECT_EQ(top->yearEdit->text(), QString::number(QDate::currentDate().year()));
  EXPECT_EQ(top->periodCombo->currentIndex(), QDate::currentDate().month() + 1);
  EXPECT_EQ(top->categoryCombo->count(), 4);  // 全部, two categories, 未分類
  EXPECT_EQ(top->productList->rowCount(), 0);  // nothing until 開始統計

  top->productList->setColumnWidthTwips(0, 3000);
  products->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_FALSE(top);  // closed with the product window, its widths stored
  EXPECT_EQ(SettingsStore::get("ManufTop", "LW11"), "3000");
  EXPECT_EQ(SettingsStore::get("ManufTop", "LW21"), "4050");
}

TEST_F(ManufTopTest, RanksExportsAndLooksUpProducts) {
  ManufForm products(db, prompt);
  products.setManagementUse();
  ManufTop top(db, prompt, &products);
  top.yearEdit->setText("2024");
  top.periodCombo->setCurrentText("全部");
  top.rankButton->click();
  ASSERT_EQ(top.productList->rowCount(), 8);
  EXPECT_EQ(top.productList->rowTexts(0), (QStringList{"E", "飾品", "5", "0", "5"}));
  EXPECT_EQ(top.categoryList->rowTexts(top.categoryList->rowCount() - 1), (QStringList{"總計", "13", ""}));
  top.periodCombo->setCurrentText("01月");
  top.categoryCombo->setCurrentText("飾品");
  top.onRank();
  EXPECT_EQ(top.productList->rowCount(), 1);  // H: the other line of 2401 is 文具
  EXPECT_EQ(top.ManufCount("H", "飾品"), 1);
  EXPECT_EQ(top.ManufCount("B", "文具"), 0);

  // Export: the proposed name, the file, the notice; a cancelled dialog says nothing.
  TestDir dir;
  prompt.answerPath(dir.file("out.csv"));
  top.onExportCategories();
  EXPECT_EQ(dir.get("out.csv"), big5("飾品,1,100.0%\r\n總計,1,\r\n"));
  ASSERT_EQ(prompt.shown.size(), 2u);
  EXPECT_EQ(prompt.shown[0].kind, "save");
  EXPECT_EQ(prompt.shown[0].text, "匯出");
  EXPECT_EQ(prompt.proposedNames, QStringList{"2024年01月分類排行"});
  EXPECT_EQ(prompt.shown[1].text, "匯出CSV完成!");
  EXPECT_EQ(prompt.shown[1].title, "注意");
  EXPECT_EQ(prompt.shown[1].icon, Prompt::Icon::Exclamation);
  prompt.clear();
  prompt.answerPath("");
  top.onExportProducts();
  EXPECT_EQ(prompt.shown.size(), 1u);
  // A file that cannot be written is an error, never a completion.
  prompt.clear();
  prompt.answerPath(dir.file("no such folder/out.csv"));
  top.onExportProducts();
  EXPECT_EQ(prompt.texts().back(), "發生錯誤!");

  // The product data of the selected row: one box per product row of that name and category.
  prompt.clear();
  top.periodCombo->setCurrentText("全部");
  top.categoryCombo->setCurrentText("全部");
  top.onRank();
  top.productList->setCurrentRow(rowOf(*top.productList, "A"));
  top.onShowProductData();
  ASSERT_EQ(prompt.shown.size(), 2u);
  EXPECT_TRUE(prompt.shown[0].text.startsWith("名稱：A\n分類：飾品\n售價：100"));
  EXPECT_EQ(prompt.shown[0].icon, Prompt::Icon::None);
  prompt.clear();
  top.productList->setCurrentRow(rowOf(*top.productList, "D"));
  top.onShowProductData();
  EXPECT_EQ(prompt.texts(), QStringList{"查無此商品。"});

  // Double click: the product alone in the product window, red by its shown stock.
  products.showCostAction->setChecked(false);
  top.productList->setCurrentRow(rowOf(*top.productList, "A"));
  top.onProductDoubleClicked();
  ASSERT_EQ(products.productList->rowCount(), 2);
  EXPECT_EQ(products.productList->rowTexts(0), (QStringList{"A", "飾品", "100", "", "3", "銀", "5", "1", "1"}));
  EXPECT_EQ(products.productList->tableIndex(1), 3);
  EXPECT_EQ(products.productList->rowColor(0), QColor(255, 0, 0));
  EXPECT_FALSE(products.productList->rowColor(1).isValid());
  EXPECT_TRUE(products.isVisible());
}
