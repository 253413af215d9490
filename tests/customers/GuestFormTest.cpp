#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <functional>

#include "ScriptedPrompt.h"
#include "admin/CateForm.h"
#include "customers/GuestForm.h"
#include "customers/GuestInput.h"
#include "platform/ListView.h"
#include "platform/SettingsStore.h"
#include "platform/Shell.h"
#include "store/Database.h"

namespace {

// Runs f on the modal window the next exec() shows.
template <class W>
void whenModal(std::function<void(W*)> f) {
  QTimer::singleShot(0, [f] {
    auto* w = qobject_cast<W*>(QApplication::activeModalWidget());
    ASSERT_NE(w, nullptr);
    f(w);
  });
}

struct GuestFormTest : ::testing::Test {
  Database db;
  ScriptedPrompt prompt;
  std::vector<CustomerFields> handed;

  void SetUp() override {
    for (const char* key : {"Set1", "Set2", "Set_2_Value", "no4"}) SettingsStore::remove("GuestForm", key);
    db.settings.CustomerCategories = QStringList{"露天", "蝦皮"};
    add("amy", "露天", QString("王小美") + QChar(1) + "女", "0911");
    add("amy", "蝦皮", "Amy Lin", "0922");  // no separator
    add("bob", "蝦皮", "", "");
    add("cal", "未分類", "", "");
    for (const auto& [no, acc, cat] : {std::tuple{"A1", "amy", "蝦皮"}, {"A2", "amy", "露天"}, {"A3", "amy", "蝦皮"}}) {
      const int r = db.Order.append(no);
      db.Order.setCell(r, OrderCell::BuyerAccount, acc);
      db.Order.setCell(r, OrderCell::BuyerCategory, cat);
    }
    db.setDirty(false);
  }
  void add(const QString& acc, const QString& cat, const QString& ns, const QString& mobile) {
    const int r = db.Guest.append(acc);
    db.Guest.setCell(r, GuestCell::CustomerCategory, cat);
    db.Guest.setCell(r, GuestCell::CustomerNameSex, ns);
    db.Guest.setCell(r, GuestCell::CustomerMobile, mobile);
  }
  static QStringList listed(const ListView* list) {
    QStringList out;
    for (int r = 0; r < list->rowCount(); ++r) out << list->text(r, 0) + "/" + list->text(r, 1);
    return out;
  }
  QStringList buyers() const {
    QStringList out;
    for (int r = 1; r <= db.Order.count(); ++r)
      out << db.Order.cell(r, OrderCell::BuyerAccount) + "/" + db.Order.cell(r, OrderCell::BuyerCategory);
    return out;
  }
};

TEST_F(GuestFormTest, ManagementWindowListsByCategory) {
  auto* form = new GuestForm(db, prompt);
  ASSERT_TRUE(form->openAsManager());
  EXPECT_FALSE(form->pickButton->isVisible());
  EXPECT_FALSE(form->pickCustomerAction->isEnabled());
  EXPECT_EQ(form->categoryCombo->count(), 5);
  EXPECT_EQ(form->categoryCombo->currentText(), "全部");
  EXPECT_EQ(listed(form->customerList), (QStringList{"amy/露天", "amy/蝦皮", "bob/蝦皮", "cal/未分類"}));
  EXPECT_EQ(form->statusBar->currentMessage(), " 共 4 筆客戶資料");
  EXPECT_EQ(form->customerList->tableIndex(2), 3);

  form->categoryCombo->setCurrentIndex(2);
  form->onCategoryChosen();
  EXPECT_EQ(listed(form->customerList), (QStringList{"amy/蝦皮", "bob/蝦皮"}));

  // Column sort: the first click on the account header sorts descending.
  form->categoryCombo->setCurrentIndex(0);
  form->onCategoryChosen();
  Q_EMIT form->customerList->headerClicked(0);
  EXPECT_EQ(form->customerList->text(0, 0), "cal");

  form->columnActions[4]->setChecked(false);
  form->close();  // stores the settings and deletes the window
  EXPECT_FALSE(SettingsStore::getBool("GuestForm", "no4", true));
  EXPECT_EQ(SettingsStore::get("GuestForm", "WinState"), "0");
}

TEST_F(GuestFormTest, SearchesAccountAndName) {
  GuestForm form(db, prompt);
  form.openAsManager();
  form.searchEdit->clear();
  form.onSearch();
  EXPECT_EQ(prompt.texts(), QStringList{"請輸入帳號或客戶姓名"});

  form.searchEdit->setText("  LIN ");
  form.onSearchAll();
  EXPECT_EQ(form.searchEdit->text(), "LIN");
  EXPECT_EQ(listed(form.customerList), QStringList{"amy/蝦皮"});
  EXPECT_EQ(form.statusBar->currentMessage(), " 共 1 筆資料");

  form.categoryCombo->setCurrentIndex(1);  // 露天, without rebuilding
  form.onSearch();
  EXPECT_EQ(form.customerList->rowCount(), 0);
  EXPECT_EQ(prompt.shown.back().text, "沒有找到符合的客戶資料");
  form.close();
}

TEST_F(GuestFormTest, PickerSelectsTheOrdersCustomerAndFillsTheEditor) {
  SettingsStore::setBool("GuestForm", "no4", false);  // the mobile column is off, still copied
  GuestForm form(db, prompt);
  form.preparePicker("amy", "蝦皮", [this](const CustomerFields& f) { handed.push_back(f); });
  EXPECT_FALSE(form.pickButton->isHidden());
  EXPECT_TRUE(form.listOrdersButton->isHidden());
  EXPECT_TRUE(form.pickCustomerAction->isEnabled());
  ASSERT_EQ(form.customerList->currentRow(), 1);
  EXPECT_EQ(form.customerList->selectedRows(), std::vector<int>{1});
  EXPECT_EQ(form.customerList->text(1, 4), "");

  form.onPick();
  ASSERT_EQ(handed.size(), 1u);
  EXPECT_EQ(handed[0].account, "amy");
  EXPECT_EQ(handed[0].category, "蝦皮");
  EXPECT_EQ(handed[0].name, "Amy Lin");
  EXPECT_EQ(handed[0].sex, "");
  EXPECT_TRUE(handed[0].hasSex);  // the picker empties the editor's sex box
  EXPECT_EQ(handed[0].mobile, "0922");
  EXPECT_FALSE(form.isVisible());
  EXPECT_TRUE(prompt.shown.empty());
  EXPECT_FALSE(db.dirty());
}

TEST_F(GuestFormTest, PickerWithoutRowsOrWithoutMatchPicksNothing) {
  SettingsStore::setBool("GuestForm", "Set1", true);
  GuestForm form(db, prompt);
  form.preparePicker("amy", "蝦皮", [this](const CustomerFields& f) { handed.push_back(f); });
  EXPECT_EQ(form.categoryCombo->currentIndex(), -1);
  EXPECT_EQ(form.customerList->rowCount(), 0);
  form.onPick();
  EXPECT_TRUE(handed.empty());
  EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(GuestFormTest, DeleteRemovesTheSelectedCustomersAndKeepsTheirOrders) {
  GuestForm form(db, prompt);
  form.openAsManager();
  form.customerList->setSelected(1, true);
  form.customerList->setSelected(2, true);
  prompt.answer(Prompt::Answer::Yes);
  form.onDeleteCustomers();
  EXPECT_EQ(prompt.shown.at(0).text, "確定刪除選取的客戶資料嗎？");
  EXPECT_EQ(prompt.shown.at(0).title, "刪除");
  EXPECT_EQ(listed(form.customerList), (QStringList{"amy/露天", "cal/未分類"}));
  EXPECT_EQ(db.Guest.count(), 2);
  EXPECT_EQ(db.Order.count(), 3);
  EXPECT_TRUE(db.dirty());
  form.close();
}

TEST_F(GuestFormTest, NewCustomerInANewCategorySwitchesTheFilter) {
  GuestForm form(db, prompt);
  form.openAsManager();
  form.categoryCombo->setCurrentIndex(2);  // 蝦皮
  form.onCategoryChosen();
  whenModal<GuestInput>([](GuestInput* dlg) {
    EXPECT_EQ(dlg->SelState, 1);
    EXPECT_EQ(dlg->headingLabel->text(), "新增客戶資料");
    EXPECT_EQ(dlg->categoryCombo->currentText(), "蝦皮");  // the window's filter
    dlg->accountEdit->setText("dan");
    dlg->categoryCombo->setEditText("Yahoo\"");
    dlg->onSave();
  });
  form.onNewCustomer();
  EXPECT_EQ(db.settings.CustomerCategories, (QStringList{"露天", "蝦皮", "Yahoo"}));
  EXPECT_EQ(form.categoryCombo->currentText(), "Yahoo");
  EXPECT_EQ(form.categoryCombo->itemText(form.categoryCombo->count() - 1), "編輯客戶分類");
  EXPECT_EQ(listed(form.customerList), QStringList{"dan/Yahoo"});
  EXPECT_EQ(form.customerList->currentRow(), 0);
  EXPECT_TRUE(db.dirty());

  // A listed category: the row joins the list as it stands.
  whenModal<GuestInput>([](GuestInput* dlg) {
    dlg->accountEdit->setText("eve");
    dlg->categoryCombo->setEditText("露天");
    dlg->onSave();
  });
  form.onNewCustomer();
  EXPECT_EQ(listed(form.customerList), (QStringList{"dan/Yahoo", "eve/露天"}));
  EXPECT_EQ(form.customerList->currentRow(), 1);
  EXPECT_EQ(form.customerList->tableIndex(1), 6);
  form.close();
}

TEST_F(GuestFormTest, EditingTheKeyMovesTheOrdersAndRewritesTheRow) {
  GuestForm form(db, prompt);
  form.openAsManager();
  form.customerList->setCurrentRow(1);  // amy/蝦皮
  whenModal<GuestInput>([](GuestInput* dlg) {
    EXPECT_EQ(dlg->NameStr, "amy");
    EXPECT_EQ(dlg->SaleStr, "蝦皮");
    EXPECT_EQ(dlg->nameEdit->text(), "Amy Lin");
    EXPECT_EQ(dlg->sexCombo->currentText(), "");
    dlg->accountEdit->setText("amy.lin");
    dlg->addressEdit->setPlainText("台北\n信義");
    dlg->onSave();
  });
  form.onEditCustomer();
  EXPECT_EQ(buyers(), (QStringList{"amy.lin/蝦皮", "amy/露天", "amy.lin/蝦皮"}));
  EXPECT_EQ(form.customerList->text(1, 0), "amy.lin");
  EXPECT_EQ(form.customerList->text(1, 6), "台北\r\n信義");
  EXPECT_EQ(db.Guest.cell(2, GuestCell::CustomerAddress), "台北\r\n信義");
  EXPECT_EQ(db.Guest.cell(2, GuestCell::CustomerNameSex), QString("Amy Lin") + QChar(1));
  form.close();
}

TEST_F(GuestFormTest, EditIntoANewCategoryKeepsTheFilterShown) {
  GuestForm form(db, prompt);
  form.openAsManager();
  form.categoryCombo->setCurrentIndex(3);  // 未分類
  form.onCategoryChosen();
  ASSERT_EQ(listed(form.customerList), QStringList{"cal/未分類"});
  form.customerList->setCurrentRow(0);
  whenModal<GuestInput>([](GuestInput* dlg) {
    dlg->categoryCombo->setEditText("Yahoo");
    dlg->onSave();
  });
  form.onEditCustomer();
  EXPECT_EQ(db.settings.CustomerCategories, (QStringList{"露天", "蝦皮", "Yahoo"}));
  EXPECT_EQ(form.categoryCombo->count(), 6);
  EXPECT_EQ(form.categoryCombo->itemText(3), "Yahoo");
  // The list was not rebuilt, and the filter still names what it shows: a
  // search or a new customer works on "未分類", not on another category.
  EXPECT_EQ(form.categoryCombo->currentText(), "未分類");
  EXPECT_EQ(listed(form.customerList), QStringList{"cal/Yahoo"});
  form.close();
}

TEST_F(GuestFormTest, NewCustomerWithoutAChosenFilterProposesNoCategory) {
  SettingsStore::setBool("GuestForm", "Set1", true);
  GuestForm form(db, prompt);
  form.openAsManager();
  ASSERT_EQ(form.categoryCombo->currentIndex(), -1);
  whenModal<GuestInput>([](GuestInput* dlg) {
    EXPECT_EQ(dlg->categoryCombo->currentText(), "");
    dlg->accountEdit->setText("dan");
    dlg->onSave();
  });
  form.onNewCustomer();
  EXPECT_EQ(db.Guest.cell(db.Guest.count(), GuestCell::CustomerCategory), "未分類");
  form.close();
}

TEST_F(GuestFormTest, CategoryCommandRefillsBothFilters) {
  GuestForm form(db, prompt);
  int mainWindowRefills = 0;
  form.onCategoriesEdited = [&] { ++mainWindowRefills; };
  form.openAsManager();
  form.categoryCombo->setCurrentIndex(1);
  form.onCategoryChosen();
  prompt.answerInput(QString("Ruten”"));
  whenModal<CateForm>([](CateForm* cate) {
    EXPECT_EQ(cate->windowTitle(), "編輯客戶分類");
    ASSERT_EQ(cate->categoryList->count(), 2);
    cate->categoryList->setCurrentRow(0);
    cate->onRename();
    cate->onDone();
  });
  form.categoryCombo->setCurrentIndex(form.categoryCombo->count() - 1);  // "編輯客戶分類"
  form.onCategoryChosen();
  EXPECT_EQ(db.settings.CustomerCategories, (QStringList{"Ruten", "蝦皮"}));
  EXPECT_EQ(form.categoryCombo->currentText(), "全部");
  EXPECT_EQ(form.categoryCombo->itemText(1), "Ruten");
  EXPECT_EQ(listed(form.customerList).first(), "amy/Ruten");
  EXPECT_EQ(buyers(), (QStringList{"amy/蝦皮", "amy/Ruten", "amy/蝦皮"}));
  EXPECT_EQ(mainWindowRefills, 1);
  form.close();
}

TEST_F(GuestFormTest, RenamingTheEditedCustomersCategoryInTheDialogKeepsItsKey) {
  GuestInput dlg(db, prompt);
  ASSERT_TRUE(dlg.openEdit(2, 1));  // amy/露天, order A2
  prompt.answerInput(QString("Ruten"));
  whenModal<CateForm>([](CateForm* cate) {
    cate->categoryList->setCurrentRow(0);
    cate->onRename();  // 露天 -> Ruten, customers and orders at once
    cate->onDone();
  });
  dlg.onEditCategories();
  EXPECT_EQ(dlg.categoryCombo->currentText(), "Ruten");  // the first entry
  dlg.phoneEdit->setText("02-5555");
  dlg.onSave();
  // The customer's own row is not "another customer with this key".
  EXPECT_EQ(prompt.texts(), QStringList{"要改成什麼名稱?"});
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
  EXPECT_EQ(db.Guest.cell(1, GuestCell::CustomerPhone), "02-5555");
  EXPECT_EQ(buyers(), (QStringList{"amy/蝦皮", "amy/Ruten", "amy/蝦皮"}));

  // Saved under another category afterwards: the orders follow from the new name.
  GuestInput again(db, prompt);
  ASSERT_TRUE(again.openEdit(2, 1));
  prompt.answerInput(QString("Ruten2"));
  whenModal<CateForm>([](CateForm* cate) {
    cate->categoryList->setCurrentRow(0);
    cate->onRename();
    cate->onDone();
  });
  again.onEditCategories();
  again.categoryCombo->setEditText("露天");
  again.onSave();
  EXPECT_EQ(buyers(), (QStringList{"amy/蝦皮", "amy/露天", "amy/蝦皮"}));
}

TEST_F(GuestFormTest, CategoryEditInTheDialogRefreshesTheWindowAfterwards) {
  GuestForm form(db, prompt);
  int mainWindowRefills = 0;
  form.onCategoriesEdited = [&] { ++mainWindowRefills; };
  form.openAsManager();
  form.categoryCombo->setCurrentIndex(1);  // 露天
  form.onCategoryChosen();
  ASSERT_EQ(listed(form.customerList), QStringList{"amy/露天"});
  prompt.answer(Prompt::Answer::Yes);
  whenModal<GuestInput>([](GuestInput* dlg) {
    whenModal<CateForm>([](CateForm* cate) {
      cate->categoryList->setCurrentRow(0);
      cate->onDelete();  // 露天 deleted: amy moves to 未分類
      cate->onDone();
    });
    dlg->onEditCategories();
    dlg->reject();
  });
  form.onNewCustomer();
  EXPECT_EQ(form.categoryCombo->currentText(), "全部");
  EXPECT_EQ(form.categoryCombo->itemText(1), "蝦皮");
  EXPECT_EQ(listed(form.customerList).first(), "amy/未分類");
  EXPECT_EQ(mainWindowRefills, 1);

  // A delete from the rebuilt list finds the customer under its new key.
  form.customerList->setCurrentRow(0);
  prompt.answer(Prompt::Answer::Yes);
  form.onDeleteCustomers();
  EXPECT_EQ(db.Guest.count(), 3);
  form.close();
}

TEST_F(GuestFormTest, PermanentSortReordersTheTable) {
  db.Guest.setKey(1, "zed");
  GuestForm form(db, prompt);
  form.openAsManager();
  form.onSortCustomers();
  EXPECT_EQ(db.Guest.key(4), "zed");
  EXPECT_EQ(listed(form.customerList).last(), "zed/露天");
  EXPECT_TRUE(db.dirty());
  form.close();
}

TEST_F(GuestFormTest, DialogFromTheEditorHandsTheCustomerBack) {
  GuestInput dlg(db, prompt);
  dlg.editor = [this](const CustomerFields& f) { handed.push_back(f); };
  ASSERT_TRUE(dlg.openEdit(4, 1));
  EXPECT_EQ(dlg.nameEdit->text(), "王小美");
  EXPECT_EQ(dlg.sexCombo->currentText(), "女");
  EXPECT_EQ(dlg.categoryCombo->currentText(), "露天");
  EXPECT_EQ(dlg.categoryCombo->itemText(dlg.categoryCombo->count() - 1), "未分類");
  dlg.profileCombo->setCurrentIndex(2);
  dlg.mobileEdit->setText("0955");
  dlg.onSave();
  ASSERT_EQ(handed.size(), 1u);
  EXPECT_EQ(handed[0].mobile, "0955");
  EXPECT_EQ(handed[0].sex, "女");
  EXPECT_EQ(db.Guest.cell(1, GuestCell::CustomerMobile), "0955");
  EXPECT_EQ(SettingsStore::get("GuestInput", "ImportGuest"), "2");

  GuestInput next(db, prompt);
  next.openNew(3, QString());
  EXPECT_EQ(next.profileCombo->currentIndex(), 2);
  EXPECT_EQ(next.headingLabel->text(), "直接新增客戶");
  EXPECT_EQ(next.categoryCombo->currentText(), "露天");
  EXPECT_EQ(next.accountEdit->text(), "");
  EXPECT_EQ(next.mailAddress(), "");
  next.emailEdit->setText(" a b@x.tw");
  EXPECT_EQ(next.mailAddress(), "mailto: a b@x.tw");
}

// 寫信 without a mail program: the seller is told which address it was.
TEST_F(GuestFormTest, MailButtonWithoutAMailProgramSaysSo) {
  GuestInput next(db, prompt);
  next.openNew(3, QString());
  next.emailEdit->setText(" a b@x.tw");
  std::vector<QUrl> opened;
  Shell::openHook = [&](const QUrl& u) {
    opened.push_back(u);
    return false;
  };
  next.mailButton->click();
  next.emailEdit->clear();
  next.mailButton->click();  // an empty box opens nothing
  Shell::openHook = nullptr;
  EXPECT_EQ(opened.size(), 1u);
  EXPECT_EQ(prompt.texts(), QStringList{"無法用郵件程式寫信（找不到可以寫信的郵件程式）：\nmailto: a b@x.tw"});
  EXPECT_EQ(prompt.shown[0].title, "注意");
}

TEST_F(GuestFormTest, EditorsCustomerButtonOpensTheDialogOrSaysItIsMissing) {
  const auto sink = [this](const CustomerFields& f) { handed.push_back(f); };
  EXPECT_EQ(GuestInput::runForEditor(db, prompt, nullptr, true, "amy", "Yahoo", sink), QDialog::Rejected);
  EXPECT_EQ(prompt.texts(), QStringList{"找不到這筆客戶資料，請重新選擇!"});
  EXPECT_EQ(prompt.shown[0].icon, Prompt::Icon::None);

  SettingsStore::setBool("GuestForm", "Set2", true);
  SettingsStore::set("GuestForm", "Set_2_Value", "蝦皮");
  whenModal<GuestInput>([](GuestInput* dlg) {
    EXPECT_EQ(dlg->SelState, 3);
    EXPECT_EQ(dlg->categoryCombo->currentText(), "蝦皮");
    dlg->accountEdit->setText("bob");  // exists in 蝦皮: take it
    dlg->onSave();
  });
  prompt.answer(Prompt::Answer::Yes);
  EXPECT_EQ(GuestInput::runForEditor(db, prompt, nullptr, false, {}, {}, sink), QDialog::Accepted);
  ASSERT_EQ(handed.size(), 1u);
  EXPECT_EQ(handed[0].account, "bob");
  EXPECT_EQ(handed[0].category, "蝦皮");
  EXPECT_EQ(db.Guest.count(), 4);
}

}  // namespace
