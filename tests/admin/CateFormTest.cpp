#include <gtest/gtest.h>

#include <QListWidget>
#include <QPushButton>

#include "ScriptedPrompt.h"
#include "admin/CateForm.h"
#include "store/Database.h"

namespace {

struct CateFormTest : ::testing::Test {
  Database db;
  ScriptedPrompt prompt;

  void SetUp() override {
    db.settings.ProductCategories = QStringList{"廚房", "餐具"};
    db.settings.CustomerCategories = QStringList{"露天", "蝦皮"};
    db.settings.ExpenseCategories = QStringList{"郵資"};
    put(db.Manuf, "杯子", ManufCell::ProductCategory, "廚房");
    put(db.Manuf, "杯子", ManufCell::ProductCategory, "餐具");
    put(db.Stock, "2401001", StockCell::LineCategory, "廚房");
    put(db.Images, "杯子", ImagesCell::ImageCategory, "廚房");
    put(db.Guest, "amy", GuestCell::CustomerCategory, "露天");
    put(db.Order, "2401001", OrderCell::BuyerCategory, "露天");
    put(db.Expend, "2024/01/01", ExpendCell::ExpendCategory, "郵資");
    db.setDirty(false);
  }
  static void put(Table& t, const QString& key, int column, const QString& value) {
    t.setCell(t.append(key), column, value);
  }
  std::unique_ptr<CateForm> open(const QString& caption) {
    auto form = std::make_unique<CateForm>(db, prompt);
    form->setWindowTitle(caption);
    form->fillList();
    return form;
  }
  static QStringList entries(const CateForm& f) {
    QStringList out;
    for (int i = 0; i < f.categoryList->count(); ++i) out << f.categoryList->item(i)->text();
    return out;
  }
};

TEST_F(CateFormTest, RenameWithAQuoteIsStoredCleanAndReachesTheTables) {
  auto f = open("編輯客戶分類");
  f->categoryList->setCurrentRow(0);
  prompt.answerInput(QString(" Ru\"ten” "));
  f->onRename();
  EXPECT_EQ(prompt.shown.at(0).text, "要改成什麼名稱?");
  EXPECT_EQ(entries(*f), (QStringList{"Ruten", "蝦皮"}));
  EXPECT_EQ(db.Guest.cell(1, GuestCell::CustomerCategory), "Ruten");
  EXPECT_EQ(db.Order.cell(1, OrderCell::BuyerCategory), "Ruten");
  EXPECT_TRUE(db.dirty());
  EXPECT_EQ(db.settings.CustomerCategories, (QStringList{"露天", "蝦皮"}));  // until "完成"
  f->onDone();
  EXPECT_EQ(db.settings.CustomerCategories, (QStringList{"Ruten", "蝦皮"}));
}

TEST_F(CateFormTest, AddCleansTheNameAndKeepsWithinCapacity) {
  auto f = open("編輯費用分類");
  prompt.answerInput(QString("\"運費\""));
  f->onAdd();
  prompt.answerInput(QString("”  "));  // nothing left: as cancelled
  f->onAdd();
  prompt.answerInput(std::nullopt);
  f->onAdd();
  EXPECT_EQ(prompt.shown.at(0).text, "請輸入您要新增的分類名稱");
  EXPECT_EQ(prompt.shown.at(0).title, "新增");
  EXPECT_EQ(entries(*f), (QStringList{"郵資", "運費"}));
  EXPECT_EQ(f->categoryList->currentRow(), 1);
  EXPECT_FALSE(db.ExpendDirty);  // adding never sets it
  f->onDone();
  EXPECT_EQ(db.settings.ExpenseCategories, (QStringList{"郵資", "運費"}));

  db.settings.CustomerCategories.clear();
  for (int i = 0; i < 200; ++i) db.settings.CustomerCategories << QString::number(i);
  auto full = open("編輯客戶分類");
  prompt.clear();
  full->onAdd();
  EXPECT_EQ(prompt.texts(), QStringList{"最多只能增加 200 筆客戶分類"});
  EXPECT_EQ(full->categoryList->count(), 200);
}

TEST_F(CateFormTest, NamesTheFileCannotHoldAreRefused) {
  auto f = open("編輯客戶分類");
  prompt.answerInput(QString("露天😀"));
  f->onAdd();
  f->categoryList->setCurrentRow(0);
  prompt.answerInput(QString("蝦\u2028皮"));
  f->onRename();
  EXPECT_EQ(prompt.texts(), (QStringList{"請輸入您要新增的客戶分類名稱", "客戶分類中的「😀」無法儲存在資料檔中，請改用其他字元",
                                         "要改成什麼名稱?", "客戶分類中的「U+2028」無法儲存在資料檔中，請改用其他字元"}));
  EXPECT_EQ(entries(*f), (QStringList{"露天", "蝦皮"}));
  EXPECT_EQ(db.Guest.cell(1, GuestCell::CustomerCategory), "露天");
  EXPECT_FALSE(db.dirty());
}

TEST_F(CateFormTest, DeleteMovesRowsToUncategorisedPicturesToo) {
  auto f = open("編輯商品分類");
  f->categoryList->setCurrentRow(0);
  prompt.answer(Prompt::Answer::Yes);
  f->onDelete();
  EXPECT_EQ(prompt.shown.at(0).text, "這個分類的資料將會移到<未分類>，確定刪除這個分類嗎？");
  EXPECT_EQ(prompt.shown.at(0).title, "刪除");
  EXPECT_EQ(db.Manuf.cell(1, ManufCell::ProductCategory), "未分類");
  EXPECT_EQ(db.Stock.cell(1, StockCell::LineCategory), "未分類");
  EXPECT_EQ(db.Images.cell(1, ImagesCell::ImageCategory), "未分類");
  EXPECT_EQ(entries(*f), QStringList{"餐具"});
  f->onDone();
  EXPECT_EQ(db.settings.ProductCategories, QStringList{"餐具"});

  auto e = open("編輯費用分類");
  e->categoryList->setCurrentRow(0);
  prompt.answer(Prompt::Answer::Yes);
  e->onDelete();
  EXPECT_EQ(db.Expend.cell(1, ExpendCell::ExpendCategory), "未分類");
  EXPECT_TRUE(db.ExpendDirty);
}

TEST_F(CateFormTest, RenameThatMergesTwoProductsAsksFirst) {
  auto f = open("編輯商品分類");
  f->categoryList->setCurrentRow(0);
  prompt.answerInput(QString("餐具")).answer(Prompt::Answer::No);
  f->onRename();
  ASSERT_EQ(prompt.shown.size(), 2u);
  EXPECT_TRUE(prompt.shown[1].text.contains("杯子"));
  EXPECT_EQ(prompt.shown[1].buttons, Prompt::Buttons::YesNo);
  EXPECT_EQ(db.Manuf.cell(1, ManufCell::ProductCategory), "廚房");
  EXPECT_EQ(entries(*f), (QStringList{"廚房", "餐具"}));
  EXPECT_FALSE(db.dirty());

  prompt.answerInput(QString("餐具")).answer(Prompt::Answer::Yes);
  f->onRename();
  EXPECT_EQ(db.Manuf.cell(1, ManufCell::ProductCategory), "餐具");
  EXPECT_EQ(entries(*f), (QStringList{"餐具", "餐具"}));
}

TEST_F(CateFormTest, ButtonsFollowTheSelectionAndMovesKeepIt) {
  auto f = open("編輯客戶分類");
  EXPECT_FALSE(f->renameButton->isEnabled());
  f->categoryList->setCurrentRow(1);
  EXPECT_TRUE(f->renameButton->isEnabled());
  f->categoryList->item(0)->setSelected(true);
  EXPECT_FALSE(f->renameButton->isEnabled());
  EXPECT_FALSE(f->deleteButton->isEnabled());
  EXPECT_TRUE(f->moveUpButton->isEnabled());

  f->categoryList->item(0)->setSelected(false);
  f->onMoveUp();  // 蝦皮 up
  EXPECT_EQ(entries(*f), (QStringList{"蝦皮", "露天"}));
  EXPECT_TRUE(f->categoryList->item(0)->isSelected());
  EXPECT_TRUE(db.dirty());
  f->onDone();
  EXPECT_EQ(db.settings.CustomerCategories, (QStringList{"蝦皮", "露天"}));
  EXPECT_EQ(db.Guest.cell(1, GuestCell::CustomerCategory), "露天");
}

}  // namespace
