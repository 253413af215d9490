#include "printouts/OrderStock.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QSettings>
#include <gtest/gtest.h>

#include "PrintoutFixture.h"
#include "ScriptedPrompt.h"
#include "platform/ListView.h"
#include "platform/SettingsStore.h"
#include "printouts/ExportForm.h"

namespace {

struct OrderStockTest : ::testing::Test, PrintoutFixture {
  ScriptedPrompt prompt;
  const std::vector<QString> both{QStringLiteral("2403000001"), QStringLiteral("2403000002")};

  void SetUp() override {
    QSettings s(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Kestrin"), QStringLiteral("Kestrin"));
    s.clear();
    s.sync();
  }
  void TearDown() override {
    ExportForm::showHook = nullptr;
    OrderStock::showHook = nullptr;
  }
  static QStringList names(const OrderStock& w) {
    QStringList out;
    for (int r = 0; r < w.productList->rowCount(); ++r)
      out << w.productList->text(r, 0) + u'/' + w.productList->text(r, 2);
    return out;
  }
};

TEST_F(OrderStockTest, FilterSortAndTotals) {
  OrderStock w(db, prompt);
  w.fill(both);
  EXPECT_EQ(names(w), (QStringList{QStringLiteral("Tea/2"), QStringLiteral("Cup/4")}));
  EXPECT_EQ(w.statusText->text(), QStringLiteral("數量總計：6"));
  ASSERT_EQ(w.categoryCombo->count(), 4);
  EXPECT_EQ(w.categoryCombo->itemText(0), QStringLiteral("全部"));
  EXPECT_EQ(w.categoryCombo->itemText(3), QStringLiteral("未分類"));
  EXPECT_EQ(w.productList->columnWidthTwips(3), 0);  // notes hidden

  w.onSort();
  EXPECT_EQ(names(w), (QStringList{QStringLiteral("Cup/4"), QStringLiteral("Tea/2")}));
  w.categoryCombo->setCurrentIndex(w.categoryCombo->findText(QStringLiteral("杯子")));
  EXPECT_EQ(names(w), (QStringList{QStringLiteral("Cup/4")}));
  EXPECT_EQ(w.statusText->text(), QStringLiteral("數量總計：4"));
  w.categoryCombo->setCurrentIndex(0);  // merge order again
  EXPECT_EQ(names(w), (QStringList{QStringLiteral("Tea/2"), QStringLiteral("Cup/4")}));

  // The export offers the name, category and quantity of the rows shown.
  int chooser = 0;
  ExportForm::showHook = [&](ExportForm& e) {
    ++chooser;
    EXPECT_EQ(e.ex, 8);
    ASSERT_EQ(e.fieldList->rowCount(), 3);
    EXPECT_EQ(e.fieldList->text(2, 0), QStringLiteral("數量"));
    e.onCancel();
  };
  w.onExport();
  EXPECT_EQ(chooser, 1);
}

TEST_F(OrderStockTest, TheNoteSwitchActsOnTheNextOpeningAndSizesAreRemembered) {
  {
    OrderStock w(db, prompt);
    w.fill(both);
    w.showNotesAction->trigger();
    EXPECT_EQ(prompt.texts(), QStringList{QStringLiteral("請重開撿貨單才能生效")});
    EXPECT_EQ(SettingsStore::get(QStringLiteral("OrderStock"), QStringLiteral("ViewNote")), QStringLiteral("True"));
    EXPECT_EQ(w.productList->rowCount(), 2);  // the open list stays
    w.productList->setColumnWidthTwips(0, 3000);
    w.resize(700, 500);
    w.reject();
  }
  EXPECT_EQ(SettingsStore::get(QStringLiteral("OrderStock"), QStringLiteral("LW1")), QStringLiteral("3000"));
  EXPECT_EQ(SettingsStore::get(QStringLiteral("OrderStock"), QStringLiteral("Width")), QStringLiteral("10500"));
  OrderStock w(db, prompt);
  w.fill(both);
  EXPECT_EQ(w.productList->columnWidthTwips(0), 3000);
  EXPECT_EQ(w.width(), 700);
  EXPECT_GT(w.productList->columnWidthTwips(3), 0);
  // With notes shown, the gift-marked Tea line stays apart from plain ones.
  EXPECT_EQ(w.productList->text(0, 3), QStringLiteral("*2024/03/01 gift"));
}

TEST_F(OrderStockTest, AFailureWhileBuildingShowsItsMessageAndLeavesNoWindow) {
  int shown = 0;
  OrderStock::showHook = [&](OrderStock&) { ++shown; };
  const auto failing = [](const Database&, const std::vector<QString>&, bool) -> std::vector<PickingList::Row> {
    throw std::bad_alloc();
  };
  OrderStock::open(db, prompt, nullptr, both, failing);
  EXPECT_EQ(shown, 0);
  EXPECT_EQ(prompt.texts(), QStringList{QStringLiteral("列出撿貨單發生錯誤!")});
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_EQ(prompt.shown[0].icon, Prompt::Icon::Exclamation);
  for (QWidget* w : QApplication::allWidgets()) EXPECT_EQ(qobject_cast<OrderStock*>(w), nullptr);
  EXPECT_FALSE(SettingsStore::contains(QStringLiteral("OrderStock"), QStringLiteral("Width")));

  prompt.clear();
  OrderStock::open(db, prompt, nullptr, both);
  EXPECT_EQ(shown, 1);
  EXPECT_TRUE(prompt.shown.empty());
}

}  // namespace
