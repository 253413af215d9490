// The general settings dialog: its controls on opening, OK and Cancel, the
// settings password, the shipping methods and column percentages, and the
// main window's menu entry.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTimer>
#include <gtest/gtest.h>

#include "ScriptedPrompt.h"
#include "TestDir.h"
#include "admin/PasswordFile.h"
#include "admin/SetForm.h"
#include "mainwindow/OrderForm.h"
#include "platform/ListView.h"
#include "platform/SettingsStore.h"
#include "store/SettingsFiles.h"

namespace {

const QString kWrong = QStringLiteral("密碼不正確，請重新輸入!");
const QString kAsk = QStringLiteral("請輸入密碼才能存取設定");

struct SetFormTest : ::testing::Test {
  TestDir dir;
  Database db;
  ScriptedPrompt prompt;
  double listFont = 11.25;
  int appliedFont = 0;
  int moneyChecks = 0;

  void SetUp() override {
    db.DataBasePath = dir.path();
    for (const char* key : {"SystemTray", "CheckLacks", "HideCost", "SetView", "Rate", "FontSize"})
      SettingsStore::remove(QStringLiteral("Setting"), QString::fromLatin1(key));
  }
  std::unique_ptr<SetForm> form() {
    SetForm::Hooks h;
    h.listFontSize = [this] { return listFont; };
    h.applyListFontSize = [this](int size) { appliedFont = size; };
    h.CheckViewMoney = [this] { ++moneyChecks; };
    return std::make_unique<SetForm>(db, prompt, h);
  }
  QStringList methods(const SetForm& f) const {
    QStringList out;
    for (int i = 0; i < f.shippingMethodList->count(); ++i) out << f.shippingMethodList->item(i)->text();
    return out;
  }
  void protect(const QString& password) { ASSERT_TRUE(PasswordFile::write(dir.path(), password, "Setting.pwd")); }
};

TEST_F(SetFormTest, OpensOnTheCurrentSettings) {
  db.SetView = 9;
  db.HideCost = true;
  db.settings.AddrFileExt = "HTM";
  db.settings.NoteShopPct = 120;
  db.settings.NoteSeparators = 1;
  listFont = 20.25;
  auto f = form();
  EXPECT_EQ(f->windowTitle(), "一般設定");
  EXPECT_FALSE(f->showAllOption->isChecked() || f->showYearOption->isChecked() || f->showMonthOption->isChecked());
  EXPECT_TRUE(f->labelAsHtmlOption->isChecked());
  EXPECT_TRUE(f->hideCostCheck->isChecked());
  EXPECT_FALSE(f->compareStockCheck->isChecked());
  EXPECT_EQ(f->buyerPercentEdit->text(), "100");
  EXPECT_EQ(f->shopPercentEdit->text(), "0");
  EXPECT_EQ(f->noteWidthEdit->text(), "650");
  EXPECT_TRUE(f->noteSeparatorCheck->isChecked());
  EXPECT_EQ(f->fontSizeCombo->currentText(), "20");
  EXPECT_EQ(f->values().AddrTemplate, "姓名：$Name  電話：$Tel\r\n住址：$Addr");
  EXPECT_EQ(methods(*f), (QStringList{"寄郵局", "寄宅配", "寄貨運", "貨到付款", "面交"}));
  EXPECT_EQ(f->noteFieldList->count(), 18);
  EXPECT_EQ(f->noteFieldList->item(0)->checkState(), Qt::Checked);
  EXPECT_EQ(f->noteFieldList->item(1)->checkState(), Qt::Unchecked);
  EXPECT_EQ(f->noteFieldList->currentRow(), -1);
  // Every switch in sight at the dialog's own size, none behind a scroll bar.
  f->show();
  QApplication::processEvents();
  EXPECT_FALSE(f->noteFieldList->verticalScrollBar()->isVisible());
  EXPECT_GE(f->noteFieldList->visualItemRect(f->noteFieldList->item(17)).bottom(), 0);
  EXPECT_LE(f->noteFieldList->visualItemRect(f->noteFieldList->item(17)).bottom(),
            f->noteFieldList->viewport()->height());
  f->hide();
  ASSERT_EQ(f->noteColumnList->rowCount(), 9);
  EXPECT_EQ(f->noteColumnList->rowTexts(0), (QStringList{"商品名稱", "60"}));
  EXPECT_EQ(f->noteColumnList->rowTexts(8), (QStringList{"網址", "0"}));
  EXPECT_TRUE(f->setPasswordAction->isEnabled());
  EXPECT_FALSE(f->clearPasswordAction->isEnabled());
  EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(SetFormTest, OkWithoutChangesGivesEverySettingsFileBackByteForByte) {
  const QString golden = QStringLiteral(KESTRIN_TEST_DATA "/settings/golden/");
  for (const QString& n : SettingsFiles::setFileNames()) {
    QFile f(golden + n);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    dir.put(n, f.readAll());
  }
  SettingsFiles::SetInit(db, prompt);
  QMap<QString, QByteArray> before;
  for (const QString& n : dir.names()) before[n] = dir.get(n);
  auto f = form();
  f->onOk();
  EXPECT_EQ(f->result(), QDialog::Accepted);
  for (const QString& n : dir.names()) EXPECT_EQ(dir.get(n), before.value(n)) << n.toStdString();
  EXPECT_EQ(dir.names(), QStringList(before.keys()));
}

TEST_F(SetFormTest, TheTwoWidthBoxesAlwaysSumToAHundred) {
  auto f = form();
  struct Case {
    QLineEdit* box;
    const char* typed;
    const char* buyerPercent;
    const char* shopPercent;
  };
  for (const Case& c : {Case{f->buyerPercentEdit, "150", "100", "0"}, {f->buyerPercentEdit, "-5", "0", "100"},
                        {f->shopPercentEdit, "-5", "100", "0"}, {f->buyerPercentEdit, "33.5", "33.5", "66.5"},
                        {f->shopPercentEdit, "abc", "100", "0"}, {f->buyerPercentEdit, "", "0", "100"},
                        {f->buyerPercentEdit, "12.", "12", "88"}}) {
    c.box->setText(QString::fromUtf8(c.typed));
    EXPECT_EQ(f->buyerPercentEdit->text(), c.buyerPercent) << c.typed;
    EXPECT_EQ(f->shopPercentEdit->text(), c.shopPercent) << c.typed;
  }
}

TEST_F(SetFormTest, OkStoresEverythingAndTellsTheMainWindow) {
  auto f = form();
  f->showYearOption->setChecked(true);
  f->compareStockCheck->setChecked(true);
  f->roundRateCheck->setChecked(true);
  f->fontSizeCombo->setCurrentText("14");
  f->noteTitleEdit->setText("我的\"出貨單\"");
  f->buyerPercentEdit->setText("32.5");
  f->labelAsHtmlOption->setChecked(true);
  f->noteFieldList->item(1)->setCheckState(Qt::Checked);
  f->onOk();
  EXPECT_EQ(f->result(), QDialog::Accepted);
  EXPECT_TRUE(prompt.shown.empty());
  EXPECT_EQ(db.SetView, 2);
  EXPECT_TRUE(db.CheckLacks && db.Rate);
  EXPECT_EQ(db.settings.NoteTitle, "我的'出貨單'");
  EXPECT_EQ(db.settings.NoteShopPct, 32);
  EXPECT_EQ(db.settings.AddrFileExt, "htm");
  EXPECT_TRUE(db.settings.NoteFields[1]);
  EXPECT_EQ(appliedFont, 14);
  EXPECT_EQ(moneyChecks, 1);
  EXPECT_EQ(SettingsStore::get("Setting", "FontSize"), "14");
  EXPECT_EQ(SettingsStore::get("Setting", "SetView"), "2");
  for (const QString& n : SettingsFiles::setFileNames()) EXPECT_TRUE(dir.has(n)) << n.toStdString();
  EXPECT_EQ(dir.get("Shop0.kdt"), big5("\"我的'出貨單'\"\r\n"));
}

TEST_F(SetFormTest, OkRefusesAFieldItCannotStoreAndChangesNothing) {
  auto f = form();
  f->noteWidthEdit->setText("40000");
  f->hideCostCheck->setChecked(true);
  f->onOk();
  EXPECT_EQ(prompt.texts(), QStringList{"儲存設定發生錯誤!"});
  EXPECT_EQ(prompt.shown[0].icon, Prompt::Icon::Exclamation);
  EXPECT_NE(f->result(), QDialog::Accepted);
  EXPECT_TRUE(dir.names().isEmpty());
  EXPECT_FALSE(db.HideCost);
  EXPECT_EQ(db.settings.NoteWidth, 650);
  EXPECT_FALSE(SettingsStore::contains("Setting", "HideCost"));
  EXPECT_EQ(appliedFont, 0);
  EXPECT_EQ(moneyChecks, 0);
  // Text code page 950 cannot hold is refused with its own message.
  prompt.clear();
  f->noteWidthEdit->setText("650");
  f->noteTitleEdit->setText("😀");
  f->onOk();
  EXPECT_EQ(prompt.shown.size(), 1u);
  EXPECT_TRUE(prompt.shown[0].text.startsWith("出貨單標題"));
  EXPECT_TRUE(dir.names().isEmpty());
}

TEST_F(SetFormTest, TheSettingsPasswordGuardsOkAndRestoreDefaults) {
  protect("abc");
  auto f = form();
  EXPECT_FALSE(f->setPasswordAction->isEnabled());
  EXPECT_TRUE(f->clearPasswordAction->isEnabled());
  f->systemTrayCheck->setChecked(true);

  // A wrong answer (also one differing in case, and Cancel) stores nothing.
  for (std::optional<QString> answer : {std::optional<QString>("ABC"), std::optional<QString>(std::nullopt)}) {
    prompt.clear();
    prompt.answerInput(answer);
    f->onOk();
    ASSERT_EQ(prompt.shown.size(), 2u);
    EXPECT_EQ(prompt.shown[0].text, kAsk);
    EXPECT_TRUE(prompt.shown[0].password);
    EXPECT_EQ(prompt.shown[1].text, kWrong);
    EXPECT_NE(f->result(), QDialog::Accepted);
    EXPECT_FALSE(dir.has("Addr.kdt"));
    EXPECT_FALSE(db.SystemTray);
  }

  // Restore defaults asks too; refused, the controls stay.
  prompt.clear();
  f->noteWidthEdit->setText("700");
  prompt.answerInput(QStringLiteral("x"));
  f->onRestoreDefaults();
  EXPECT_EQ(prompt.texts(), (QStringList{kAsk, kWrong}));
  EXPECT_EQ(f->noteWidthEdit->text(), "700");
  EXPECT_TRUE(f->systemTrayCheck->isChecked());
  prompt.answerInput(QStringLiteral("abc"));
  f->onRestoreDefaults();
  EXPECT_EQ(f->noteWidthEdit->text(), "650");
  EXPECT_FALSE(f->systemTrayCheck->isChecked());
  EXPECT_TRUE(f->showMonthOption->isChecked());
  EXPECT_TRUE(f->labelAsTextOption->isChecked());

  // The right answer stores (OK after restore defaults asks again).
  f->systemTrayCheck->setChecked(true);
  prompt.clear();
  prompt.answerInput(QStringLiteral("abc"));
  f->onOk();
  EXPECT_EQ(prompt.texts(), QStringList{kAsk});
  EXPECT_EQ(f->result(), QDialog::Accepted);
  EXPECT_TRUE(db.SystemTray);
  EXPECT_EQ(db.SetView, 3);
  EXPECT_TRUE(dir.has("Addr.kdt"));
}

TEST_F(SetFormTest, ADamagedPasswordFileIsReportedDeletedAndLetsOkThrough) {
  dir.put("Setting.pwd", QByteArray());
  auto f = form();
  f->onOk();
  EXPECT_EQ(prompt.texts(), QStringList{"密碼設定已遺失，請重新設定密碼!"});
  EXPECT_FALSE(dir.has("Setting.pwd"));
  EXPECT_EQ(f->result(), QDialog::Accepted);
  EXPECT_TRUE(f->setPasswordAction->isEnabled());
  EXPECT_FALSE(f->clearPasswordAction->isEnabled());
}

TEST_F(SetFormTest, PasswordMenuCreatesAndRemovesSettingPwdOnly) {
  dir.put("DataBase.pwd", "0078\r\n");
  auto f = form();
  // Lengths are counted in characters; what code page 950 cannot hold is refused.
  for (const char* bad : {"ab", "abcdefghi", "ab😀"}) {
    prompt.clear();
    prompt.answerInput(QString::fromUtf8(bad));
    f->onSetPassword();
    EXPECT_EQ(prompt.texts().last(), "密碼格式不正確，請輸入3-8個英文或數字") << bad;
    EXPECT_FALSE(dir.has("Setting.pwd"));
  }
  prompt.clear();
  prompt.answerInput(QStringLiteral("密碼字")).answerInput(QStringLiteral("密碼字"));
  f->onSetPassword();
  EXPECT_TRUE(prompt.shown[0].password && prompt.shown[1].password);
  EXPECT_EQ(prompt.texts().last(), "密碼設定完成!");
  EXPECT_EQ(dir.get("Setting.pwd").size(), 14);  // twelve digits and CR LF
  EXPECT_FALSE(f->setPasswordAction->isEnabled());
  EXPECT_TRUE(f->clearPasswordAction->isEnabled());

  prompt.clear();
  prompt.answerInput(QStringLiteral("密碼"));
  f->onClearPassword();
  EXPECT_EQ(prompt.texts(), (QStringList{kAsk, kWrong}));
  EXPECT_TRUE(dir.has("Setting.pwd"));
  prompt.answerInput(QStringLiteral("密碼字"));
  f->onClearPassword();
  EXPECT_EQ(prompt.texts().last(), "密碼刪除完成!");
  EXPECT_FALSE(dir.has("Setting.pwd"));
  EXPECT_TRUE(dir.has("DataBase.pwd"));
  EXPECT_TRUE(f->setPasswordAction->isEnabled());
}

TEST_F(SetFormTest, ShippingMethodsHoldAtMostFiftyCleanedNames) {
  auto f = form();
  prompt.answerInput(QStringLiteral("寄,郵局\"”"));
  f->onAddMethod();
  EXPECT_EQ(methods(*f).last(), "寄郵局");
  EXPECT_EQ(f->shippingMethodList->currentRow(), 5);
  prompt.answerInput(QStringLiteral(""));
  f->onAddMethod();  // an empty answer adds nothing
  EXPECT_EQ(f->shippingMethodList->count(), 6);
  while (f->shippingMethodList->count() < 50) f->shippingMethodList->addItem("m");
  prompt.clear();
  f->onAddMethod();
  EXPECT_EQ(prompt.texts(), QStringList{"最多只能新增 50 筆!"});
  EXPECT_EQ(prompt.shown[0].title, "注意");
  EXPECT_EQ(f->shippingMethodList->count(), 50);

  // Edit, move and delete act on the selected name only.
  f->shippingMethodList->setCurrentRow(-1);
  f->shippingMethodList->clearSelection();
  prompt.clear();
  for (auto cmd :
       {&SetForm::onRenameMethod, &SetForm::onDeleteMethod, &SetForm::onMoveMethodUp, &SetForm::onMoveMethodDown})
    (f.get()->*cmd)();
  EXPECT_TRUE(prompt.shown.empty());
  EXPECT_EQ(methods(*f).first(), "寄郵局");
  f->shippingMethodList->setCurrentRow(0);
  f->onMoveMethodUp();  // the first cannot move up
  EXPECT_EQ(methods(*f).first(), "寄郵局");
  f->onMoveMethodDown();
  EXPECT_EQ(methods(*f).mid(0, 2), (QStringList{"寄宅配", "寄郵局"}));
  EXPECT_EQ(f->shippingMethodList->currentRow(), 1);
  prompt.answerInput(QStringLiteral("郵局,掛號"));
  f->onRenameMethod();
  EXPECT_EQ(methods(*f)[1], "郵局掛號");
  prompt.answer(Prompt::Answer::No);
  f->onDeleteMethod();
  EXPECT_EQ(f->shippingMethodList->count(), 50);
  prompt.answer(Prompt::Answer::Yes);
  f->onDeleteMethod();
  EXPECT_EQ(f->shippingMethodList->count(), 49);
  EXPECT_EQ(f->shippingMethodList->currentRow(), -1);
  EXPECT_EQ(prompt.shown.back().title, "刪除");
}

TEST_F(SetFormTest, ColumnPercentageCannotPassWhatTheOthersLeave) {
  auto f = form();
  f->noteColumnList->setCurrentRow(1);  // 商品分類, the others hold 100
  prompt.answerInput(QStringLiteral("1"));
  f->onNoteColumnDoubleClicked();
  EXPECT_EQ(prompt.texts(), (QStringList{"請輸入商品分類欄位所佔的百分比 (最大值: 0)", "已超出最大值!"}));
  EXPECT_EQ(f->noteColumnList->text(1, 1), "0");
  f->noteColumnList->setCurrentRow(2);  // 售價: at most 15
  prompt.answerInput(QStringLiteral("12.5"));
  f->onNoteColumnDoubleClicked();
  EXPECT_EQ(f->noteColumnList->text(2, 1), "12.5");
  prompt.answerInput(QStringLiteral("-5"));
  f->onNoteColumnDoubleClicked();
  EXPECT_EQ(f->noteColumnList->text(2, 1), "0");
  f->noteColumnList->setText(2, 1, "12.5");
  f->onOk();
  EXPECT_EQ(db.settings.NoteColPct[3], 12);
}

TEST_F(SetFormTest, RestoreDefaultsThenCancelChangesNothingAndHelpListsThePlaceholders) {
  db.settings.NoteTitle = "自訂";
  auto f = form();
  f->onRestoreDefaults();
  EXPECT_EQ(f->noteTitleEdit->text(), "出貨單");
  EXPECT_EQ(f->fontSizeCombo->currentText(), "11");
  f->onCancel();
  EXPECT_EQ(db.settings.NoteTitle, "自訂");
  EXPECT_TRUE(dir.names().isEmpty());
  f->onPlaceholderHelp();
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_EQ(prompt.shown[0].title, "格式代號");
  EXPECT_EQ(prompt.shown[0].icon, Prompt::Icon::None);
  EXPECT_TRUE(prompt.shown[0].text.startsWith("$Num: 訂單編號\t\t$User: 客戶帳號\r\n"));
  EXPECT_TRUE(prompt.shown[0].text.endsWith("$Mn: 商品名稱 ( n 表示第幾項商品 ex:$M1)"));
}

TEST(SetFormFromMainWindow, MenuEntryOpensItAndOkReachesTheMainWindowAtOnce) {
  ScriptedPrompt prompt;
  TestDir dir;
  OrderForm main(prompt);
  main.db().DataBasePath = dir.path();
  main.show();
  EXPECT_TRUE(main.generalSettingsAction->isEnabled());
  EXPECT_TRUE(main.toolButton(12)->isEnabled());
  EXPECT_TRUE(main.panel(3)->isVisible());
  QTimer::singleShot(0, [] {
    auto* f = qobject_cast<SetForm*>(QApplication::activeModalWidget());
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->fontSizeCombo->currentText(), "11");
    f->fontSizeCombo->setCurrentText("16");
    f->hideCostCheck->setChecked(true);
    f->onOk();
  });
  main.generalSettingsAction->trigger();
  EXPECT_EQ(main.orderList->font().pointSize(), 16);
  EXPECT_EQ(main.panel(7)->font().pointSize(), 16);
  EXPECT_EQ(main.db().FontSize, 16);
  EXPECT_TRUE(main.db().HideCost);
  EXPECT_FALSE(main.panel(3)->isVisible());
  EXPECT_TRUE(dir.has("Carry.kdt"));
  EXPECT_TRUE(prompt.shown.empty());
}

}  // namespace
