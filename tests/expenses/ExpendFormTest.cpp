// The expense window: opening from the main window, the filters, add, edit
// and delete in step with the table and the main window's totals, the rate
// tool, the category editor entry and the remembered window settings.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

#include "ScriptedPrompt.h"
#include "expenses/ExpendForm.h"
#include "mainwindow/OrderForm.h"
#include "platform/ListView.h"
#include "platform/Numbers.h"
#include "platform/SettingsStore.h"
#include "store/Database.h"

namespace {

const QString kSection = QStringLiteral("ExpendForm");

QStringList rowOf(const Database& db, int row) {
  QStringList out;
  for (int c = 0; c <= ExpendCell::Count; ++c) out << db.Expend.cell(row, c);
  return out;
}

QStringList entries(const QComboBox* box) {
  QStringList out;
  for (int i = 0; i < box->count(); ++i) out << box->itemText(i);
  return out;
}

struct ExpendWindow : ::testing::Test {
  Database db;
  ScriptedPrompt prompt;
  std::unique_ptr<ExpendForm> form;

  void SetUp() override {
    for (const char* key : {"Width", "Height", "WinState", "Rate", "LW1", "LW2", "LW3", "LW4", "LW5"})
      SettingsStore::remove(kSection, QString::fromLatin1(key));
    SettingsStore::remove(QStringLiteral("Setting"), QStringLiteral("FontSize"));
    db.settings.ExpenseCategories = QStringList{"郵資", "包材"};
    add("2024/01/10", "郵資", "郵票", "10");
    add("2023/12/31", "包材", "紙箱", "25");
    add("2024/02/01", "郵資", "掛號", "40");
    db.setDirty(false);
  }
  void add(const QString& date, const QString& category, const QString& detail, const QString& amount) {
    const int r = db.Expend.append(date);
    db.Expend.setCell(r, ExpendCell::ExpendCategory, category);
    db.Expend.setCell(r, ExpendCell::ExpendDetail, detail);
    db.Expend.setCell(r, ExpendCell::ExpendAmount, amount);
  }
  ExpendForm& open(const QString& year = "2024", int period = 0) {
    form = std::make_unique<ExpendForm>(db, prompt);
    form->openFromMain(year, period);
    return *form;
  }
  QStringList listed() const {
    QStringList out;
    for (int r = 0; r < form->expenseList->rowCount(); ++r)
      out << form->expenseList->text(r, 0) + " " + form->expenseList->text(r, 2) + " " + form->expenseList->text(r, 3);
    return out;
  }
  QString selected() const {
    const auto rows = form->expenseList->selectedRows();
    return rows.size() == 1 ? form->expenseList->text(rows[0], 2) : QString();
  }
  void fill(const QString& date, const QString& detail, const QString& amount, const QString& note = {}) {
    form->dateEdit->setText(date);
    form->detailEdit->setText(detail);
    form->amountEdit->setText(amount);
    form->noteEdit->setText(note);
  }
  void select(const QString& detail) {
    for (int r = 0; r < form->expenseList->rowCount(); ++r)
      if (form->expenseList->text(r, 2) == detail) form->expenseList->setCurrentRow(r);
  }
};

TEST_F(ExpendWindow, OpensOnTheMainFiltersAndListsByDate) {
  open("2024", 1);
  EXPECT_EQ(form->windowTitle(), "雜支費用");
  EXPECT_EQ(entries(form->categoryFilterCombo), (QStringList{"全部", "郵資", "包材", "未分類", "編輯費用分類"}));
  EXPECT_EQ(entries(form->categoryCombo), (QStringList{"郵資", "包材", "未分類"}));
  EXPECT_EQ(form->categoryFilterCombo->currentText(), "全部");
  EXPECT_EQ(form->categoryCombo->currentText(), "郵資");
  EXPECT_EQ(form->periodCombo->currentText(), "整年");
  EXPECT_EQ(form->dateEdit->text(), DateText::today());
  EXPECT_EQ(listed(), (QStringList{"2024/01/10 郵票 10", "2024/02/01 掛號 40"}));
  EXPECT_EQ(form->statusText(), " 共 2 筆資料，支出總計 50 元");
  EXPECT_TRUE(form->expenseList->selectedRows().empty());
  // Opening again on the same period rebuilds and lists each category once.
  db.settings.ExpenseCategories << "廣告";
  add("2024/03/01", "廣告", "橫幅", "5");
  form->openFromMain("2024", 1);
  EXPECT_EQ(entries(form->categoryFilterCombo), (QStringList{"全部", "郵資", "包材", "廣告", "未分類", "編輯費用分類"}));
  EXPECT_EQ(form->expenseList->rowCount(), 3);
  EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(ExpendWindow, CategoryChoiceFiltersAndLeadsTheCategoryBox) {
  open();
  form->categoryFilterCombo->setCurrentIndex(2);  // 包材
  form->onCategoryChosen();
  EXPECT_EQ(listed(), QStringList{"2023/12/31 紙箱 25"});
  EXPECT_EQ(form->categoryCombo->currentText(), "包材");
  form->categoryFilterCombo->setCurrentIndex(3);  // 未分類
  form->onCategoryChosen();
  EXPECT_TRUE(listed().isEmpty());
  EXPECT_EQ(form->statusText(), " 共 0 筆資料，支出總計 0 元");
  EXPECT_EQ(form->categoryCombo->currentText(), "未分類");
  form->categoryFilterCombo->setCurrentIndex(0);
  form->onCategoryChosen();
  EXPECT_EQ(form->categoryCombo->currentText(), "未分類");
  // A new year typed in the box counts from the next rebuild on.
  form->yearEdit->setText("2023");
  EXPECT_EQ(form->expenseList->rowCount(), 3);
  form->periodCombo->setCurrentIndex(1);
  form->onPeriodChosen();
  EXPECT_EQ(listed(), QStringList{"2023/12/31 紙箱 25"});
}

TEST_F(ExpendWindow, AddStoresTheCleanedBoxesSelectsTheRowAndSetsTheFlags) {
  open();
  fill("2024-1-20", "膠帶\"大”捲", "12.50", "備\"註");
  form->onAdd();
  ASSERT_EQ(db.Expend.count(), 4);
  EXPECT_EQ(rowOf(db, 4), (QStringList{"2024/01/20", "郵資", "膠帶大捲", "12.5", "備註"}));
  // The boxes show what was stored, the amount as typed.
  EXPECT_EQ(form->dateEdit->text(), "2024/01/20");
  EXPECT_EQ(form->detailEdit->text(), "膠帶大捲");
  EXPECT_EQ(form->amountEdit->text(), "12.50");
  EXPECT_EQ(listed(), (QStringList{"2023/12/31 紙箱 25", "2024/01/10 郵票 10", "2024/01/20 膠帶大捲 12.5",
                                   "2024/02/01 掛號 40"}));
  EXPECT_EQ(selected(), "膠帶大捲");
  EXPECT_EQ(form->statusText(), " 共 4 筆資料，支出總計 87.5 元");
  EXPECT_TRUE(db.dirty());
  EXPECT_TRUE(db.ExpendDirty);

  // Refused dates add nothing.
  for (const auto& [date, message] : {std::pair{"", "請輸入日期"}, {" ", "不是正確的日期格式"}, {"24/1/1", "不是正確的日期格式"}}) {
    prompt.clear();
    fill(date, "x", "1");
    form->onAdd();
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].text, message);
    EXPECT_EQ(prompt.shown[0].title, "注意");
    EXPECT_EQ(db.Expend.count(), 4);
  }
  // Text code page 950 cannot hold is refused where it enters.
  prompt.clear();
  fill("2024/01/21", "😀", "1");
  form->onAdd();
  EXPECT_EQ(db.Expend.count(), 4);
  EXPECT_EQ(prompt.shown.size(), 1u);
}

TEST_F(ExpendWindow, AddMovesTheFiltersToTheNewRow) {
  open("2023", 1);
  form->categoryFilterCombo->setCurrentIndex(2);  // 包材, 整年 2023
  form->onCategoryChosen();
  form->categoryCombo->setCurrentIndex(0);  // the new row is 郵資
  fill("2024/05/01", "郵票", "7");
  form->onAdd();
  EXPECT_EQ(form->categoryFilterCombo->currentText(), "郵資");
  EXPECT_EQ(form->yearEdit->text(), "2024");
  EXPECT_EQ(form->periodCombo->currentText(), "05月");
  EXPECT_EQ(listed(), QStringList{"2024/05/01 郵票 7"});
  EXPECT_EQ(selected(), "郵票");
}

TEST_F(ExpendWindow, EditAndDeleteActOnTheSelectedRowOnly) {
  open();
  // Rows listed, none selected: nothing changes, nothing is asked.
  fill("2024/01/01", "改", "1");
  form->onEdit();
  form->onDelete();
  form->onConvertRate();
  EXPECT_EQ(db.Expend.count(), 3);
  EXPECT_EQ(db.Expend.cell(1, ExpendCell::ExpendDetail), "郵票");
  EXPECT_FALSE(db.dirty());
  EXPECT_TRUE(prompt.shown.empty());

  // A click copies the row into the boxes.
  select("掛號");
  form->onExpenseClicked();
  EXPECT_EQ(form->dateEdit->text(), "2024/02/01");
  EXPECT_EQ(form->detailEdit->text(), "掛號");
  EXPECT_EQ(form->amountEdit->text(), "40");

  // Edit: the table row and the list row change, the row stays selected and
  // takes its date's place; the amount is red below 0 and the total follows.
  form->dateEdit->setText("2023/01/01");
  form->amountEdit->setText("-40");
  form->onEdit();
  EXPECT_EQ(rowOf(db, 3), (QStringList{"2023/01/01", "郵資", "掛號", "-40", ""}));
  EXPECT_EQ(listed(), (QStringList{"2023/01/01 掛號 -40", "2023/12/31 紙箱 25", "2024/01/10 郵票 10"}));
  EXPECT_EQ(selected(), "掛號");
  EXPECT_EQ(form->expenseList->cellColor(0, 3), QColor(255, 0, 0));
  EXPECT_EQ(form->statusText(), " 共 3 筆資料，支出總計 -5 元");
  EXPECT_TRUE(db.dirty() && db.ExpendDirty);

  // Delete, also by the Delete key: the later rows move up, the list is rebuilt.
  select("紙箱");
  form->onDelete();
  EXPECT_EQ(db.Expend.count(), 2);
  EXPECT_EQ(db.Expend.key(2), "2023/01/01");
  EXPECT_EQ(listed(), (QStringList{"2023/01/01 掛號 -40", "2024/01/10 郵票 10"}));
  EXPECT_TRUE(form->expenseList->selectedRows().empty());
  EXPECT_EQ(form->detailEdit->text(), "掛號");  // the boxes keep their values
  select("郵票");
  QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
  QApplication::sendEvent(form->expenseList, &del);
  EXPECT_EQ(db.Expend.count(), 1);
  EXPECT_EQ(form->statusText(), " 共 1 筆資料，支出總計 -40 元");
  EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(ExpendWindow, RateToolConvertsTheSelectedAmountAndRemembersTheRate) {
  open();
  select("郵票");  // 10
  prompt.answerInput(std::nullopt);
  form->onConvertRate();
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_EQ(prompt.shown[0].text, "請輸入匯率數字，換算結果等於金額x匯率");
  EXPECT_EQ(prompt.shown[0].title, "匯率轉換");
  EXPECT_FALSE(SettingsStore::contains(kSection, "Rate"));

  prompt.answerInput(QStringLiteral("0.333"));
  form->onConvertRate();
  EXPECT_EQ(db.Expend.cell(1, ExpendCell::ExpendAmount), "3.33");
  EXPECT_EQ(form->expenseList->text(form->expenseList->selectedRows()[0], 3), "3.33");
  EXPECT_EQ(SettingsStore::get(kSection, "Rate"), "0.333");
  EXPECT_EQ(form->statusText(), " 共 3 筆資料，支出總計 68.33 元");
  EXPECT_TRUE(db.dirty() && db.ExpendDirty);

  // With Rate on, whole units; a typed 1.50 is remembered as 1.5.
  db.Rate = true;
  prompt.answerInput(QStringLiteral("1.50"));
  form->onConvertRate();
  EXPECT_EQ(db.Expend.cell(1, ExpendCell::ExpendAmount), "5");
  EXPECT_EQ(SettingsStore::get(kSection, "Rate"), "1.5");

  // No leading number: nothing changes, nothing is remembered.
  prompt.answerInput(QStringLiteral("abc"));
  form->onConvertRate();
  EXPECT_EQ(db.Expend.cell(1, ExpendCell::ExpendAmount), "5");
  EXPECT_EQ(SettingsStore::get(kSection, "Rate"), "1.5");

  // Out of range: "發生錯誤!" and nothing changes.
  prompt.clear();
  prompt.answerInput(QString(400, u'9'));
  form->onConvertRate();
  EXPECT_EQ(prompt.texts().last(), "發生錯誤!");
  EXPECT_EQ(db.Expend.cell(1, ExpendCell::ExpendAmount), "5");
  EXPECT_EQ(SettingsStore::get(kSection, "Rate"), "1.5");
}

TEST_F(ExpendWindow, PopupOffersTheRateToolOnlyOverRows) {
  open("2030", 1);  // nothing listed
  form->onListContextMenu(QPoint(10, 10));
  EXPECT_FALSE(form->convertRateAction->isEnabled());
  form->toolsMenu->hide();
  form->periodCombo->setCurrentIndex(0);
  form->onPeriodChosen();
  form->onListContextMenu(QPoint(10, 10));
  EXPECT_TRUE(form->convertRateAction->isEnabled());
  form->toolsMenu->hide();
}

TEST_F(ExpendWindow, SearchesKeepTheFilters) {
  open();
  form->categoryFilterCombo->setCurrentIndex(1);  // 郵資
  form->onCategoryChosen();
  form->searchEdit->setText("");
  form->onSearch();
  EXPECT_EQ(form->expenseList->rowCount(), 2);  // an empty search changes nothing
  form->searchEdit->setText("紙");
  form->onSearch();
  EXPECT_TRUE(listed().isEmpty());
  form->onSearchAll();
  EXPECT_EQ(listed(), QStringList{"2023/12/31 紙箱 25"});
  EXPECT_EQ(form->categoryFilterCombo->currentText(), "郵資");
}

TEST_F(ExpendWindow, CategoryEditorEntryRefillsTheBoxes) {
  open("2024", 1);
  form->categoryFilterCombo->setCurrentIndex(1);
  form->onCategoryChosen();
  int runs = 0;
  form->runCategoryEditor = [&] {
    ++runs;
    db.settings.ExpenseCategories = QStringList{"運費"};
  };
  form->categoryFilterCombo->setCurrentIndex(form->categoryFilterCombo->count() - 1);  // 編輯費用分類
  form->onCategoryChosen();
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(entries(form->categoryFilterCombo), (QStringList{"全部", "運費", "未分類", "編輯費用分類"}));
  EXPECT_EQ(form->categoryFilterCombo->currentText(), "全部");
  EXPECT_EQ(form->categoryCombo->currentText(), "運費");
  EXPECT_EQ(form->periodCombo->currentText(), "整年");
  EXPECT_EQ(form->expenseList->rowCount(), 2);
}

TEST_F(ExpendWindow, RemembersItsSizeColumnsAndState) {
  SettingsStore::set(QStringLiteral("Setting"), QStringLiteral("FontSize"), QStringLiteral("30"));
  SettingsStore::set(kSection, QStringLiteral("LW3"), QStringLiteral("0"));
  SettingsStore::set(kSection, QStringLiteral("LW2"), QStringLiteral("3000"));
  open();
  EXPECT_NE(form->expenseList->font().pointSize(), 30);  // 30 is ignored
  EXPECT_EQ(form->expenseList->columnWidthTwips(2), 3750);     // 0 keeps the design width
  EXPECT_EQ(form->expenseList->columnWidthTwips(1), 3000);
  form->show();
  form->showMaximized();
  QApplication::processEvents();
  form->onClose();
  EXPECT_EQ(SettingsStore::get(kSection, "Width"), "12150");
  EXPECT_EQ(SettingsStore::get(kSection, "Height"), "8910");
  EXPECT_EQ(SettingsStore::get(kSection, "WinState"), "2");
  EXPECT_EQ(SettingsStore::get(kSection, "LW2"), "3000");
  EXPECT_EQ(SettingsStore::get(kSection, "LW3"), "3750");

  // It opens maximised again; shown normal it is at least the smallest width.
  open();
  EXPECT_TRUE(form->windowState() & Qt::WindowMaximized);
  form->showNormal();
  EXPECT_GE(form->width(), 12780 / 15);
}

// ---- with the main window -----------------------------------------------

struct MainWithExpenses : ::testing::Test {
  ScriptedPrompt prompt;
  std::unique_ptr<OrderForm> main;
  void SetUp() override {
    main = std::make_unique<OrderForm>(prompt);
    Database& db = main->db();
    db.settings.ExpenseCategories = QStringList{"郵資"};
    const int r = db.Expend.append("2024/03/02");
    db.Expend.setCell(r, ExpendCell::ExpendCategory, "郵資");
    db.Expend.setCell(r, ExpendCell::ExpendAmount, "100");
    main->refillCategoryCombo();
    main->yearEdit->setText("2024");
    main->periodCombo->setCurrentIndex(4);  // 03月
  }
};

TEST_F(MainWithExpenses, ButtonOpensTheWindowOnTheMainPeriodAndAReloadClosesIt) {
  EXPECT_TRUE(main->expensesButton->isEnabled());
  main->expensesButton->click();
  ExpendForm* w = main->expendWindow();
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(w->isVisible());
  EXPECT_EQ(w->yearEdit->text(), "2024");
  EXPECT_EQ(w->periodCombo->currentText(), "03月");
  EXPECT_EQ(w->expenseList->rowCount(), 1);
  // A second click brings the same window forward with the same values.
  main->onExpenses();
  EXPECT_EQ(main->expendWindow(), w);
  EXPECT_EQ(w->categoryFilterCombo->count(), 4);
  // Its row numbers belong to the tables loaded now: another load closes it.
  Q_EMIT main->databaseLoaded();
  EXPECT_FALSE(w->isVisible());
  EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(MainWithExpenses, TheMainWindowsExpenseTotalFollowsEveryChange) {
  main->setShippingOptions(false, true);  // expenses count beside shipped orders
  main->countExpensesAction->setChecked(true);
  main->OrderShow();
  EXPECT_EQ(main->panel(3)->text(), "成本: 0 + 100 (雜支) = 100 ");
  main->onExpenses();
  ExpendForm* w = main->expendWindow();
  w->dateEdit->setText("2024/03/09");
  w->amountEdit->setText("20.5");
  w->onAdd();
  EXPECT_EQ(main->panel(3)->text(), "成本: 0 + 120.5 (雜支) = 120.5 ");
  w->expenseList->setCurrentRow(0);
  w->onDelete();
  EXPECT_EQ(main->panel(3)->text(), "成本: 0 + 20.5 (雜支) = 20.5 ");
  w->close();
}

}  // namespace
