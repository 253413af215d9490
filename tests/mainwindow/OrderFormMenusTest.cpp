// The main window's command surface on a small database: every menu entry,
// popup entry, toolbar button and button beside the list with what it opens
// or runs; the windows the openers fill from the main filters; the order
// list's header sort, keys and mouse.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTimer>
#include <QToolBar>
#include <QWindow>
#include <map>
#include <gtest/gtest.h>

#include "ScriptedPrompt.h"
#include "TestDir.h"
#include "admin/CateForm.h"
#include "admin/OpenForm.h"
#include "admin/PasswordFile.h"
#include "admin/SetAtuoBackupForm.h"
#include "customers/GuestForm.h"
#include "expenses/ExpendForm.h"
#include "mainwindow/OrderForm.h"
#include "models/OrderList.h"
#include "ordereditor/OrderInput.h"
#include "platform/AppPaths.h"
#include "platform/ListView.h"
#include "platform/SettingsStore.h"
#include "platform/Shell.h"
#include "products/ManufForm.h"
#include "reports/OrderSearch.h"
#include "reports/StockForm.h"
#include "store/DatabaseList.h"

namespace {

using Log = QStringList;

// What a command did, as short lines in the order seen: the modal windows
// it opened (each closed again at once, after `inspect` looked at it), the
// editor and the database manager (left at once), the pages and files
// handed to the desktop, the prompts, and the windows it left open.
class Observer {
 public:
  std::function<void(QWidget*)> inspect;
  bool shellTakes = true;  // false: the desktop has no program for what is opened

  Observer(OrderForm& f, ScriptedPrompt& prompt) : f_(f), prompt_(prompt) {
    watch_.setInterval(0);
    QObject::connect(&watch_, &QTimer::timeout, [this] {
      QWidget* w = QApplication::activeModalWidget();
      if (!w) return;
      log_ << QStringLiteral("dialog %1 %2").arg(QString::fromLatin1(w->metaObject()->className()), w->windowTitle());
      if (inspect) inspect(w);
      if (auto* d = qobject_cast<QDialog*>(w))
        d->reject();
      else
        w->close();
    });
    Shell::openHook = [this](const QUrl& u) {
      log_ << QStringLiteral("shell ") + (u.isLocalFile() ? QFileInfo(u.toLocalFile()).fileName() : u.toString());
      return shellTakes;
    };
    f.runOrderInput = [this](OrderInput& e) {
      log_ << QStringLiteral("editor ") + e.headingLabel->text();
      e.onCancel();
    };
    f.runOpenForm = [this](OpenForm& m) {
      log_ << QStringLiteral("manager ") + m.leaveButton->text();
      m.onLeave();
    };
    f.quitProgram = [this] { log_ << QStringLiteral("quit"); };
  }
  ~Observer() { Shell::openHook = nullptr; }

  // The lines, one a line, for comparing in a test.
  std::string text(const std::function<void()>& command) { return run(command).join(u'\n').toStdString(); }
  Log run(const std::function<void()>& command) {
    log_.clear();
    const size_t prompts = prompt_.shown.size();
    QSet<QWidget*> before;
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->isVisible()) before.insert(w);
    watch_.start();
    command();
    watch_.stop();
    for (size_t i = prompts; i < prompt_.shown.size(); ++i)
      log_ << prompt_.shown[i].kind + u' ' + prompt_.shown[i].text;
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->isVisible() && !before.contains(w) && w != &f_ && !w->inherits("QMenu"))
        log_ << QStringLiteral("window %1 %2").arg(QString::fromLatin1(w->metaObject()->className()), w->windowTitle());
    return log_;
  }

 private:
  OrderForm& f_;
  ScriptedPrompt& prompt_;
  QTimer watch_;
  Log log_;
};

struct Menus : ::testing::Test {
  ScriptedPrompt prompt;
  std::unique_ptr<TestDir> db;
  std::unique_ptr<OrderForm> f;

  void SetUp() override { open(); }
  void TearDown() override { closeAll(); }
  void closeAll() {
    f.reset();
    for (QWidget* w : QApplication::topLevelWidgets()) w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  // A fresh main window on a fresh copy of the small database: two orders,
  // 2403000002 unshipped (listed) and 2403000001 shipped.
  void open() {
    closeAll();
    QSettings s(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Kestrin"), QStringLiteral("Kestrin"));
    s.clear();
    s.sync();
    const QString app = AppPaths::appPath();
    QDir(app).removeRecursively();
    QDir().mkpath(app);
    db = std::make_unique<TestDir>();
    const QDir golden(QStringLiteral(KESTRIN_TEST_DATA "/golden-db"));
    for (const QString& n : golden.entryList(QDir::Files)) QFile::copy(golden.filePath(n), db->file(n));
    ASSERT_TRUE(DatabaseList::write(app, {DatabaseList::entry(QStringLiteral("店"), db->path())}));
    SettingsStore::set(QStringLiteral("Setting"), QStringLiteral("DataBaseName"), QStringLiteral("店"));
    SettingsStore::set(QStringLiteral("Setting"), QStringLiteral("DataBasePath"), db->path());
    prompt.clear();
    f = std::make_unique<OrderForm>(prompt);
    f->endProgram = [] {};
    f->quitProgram = [] {};
    f->AutoBackup = [] {};
    f->Form_Load();
    ASSERT_EQ(f->db().Order.count(), 2);
    ASSERT_TRUE(prompt.shown.empty());
  }
  // An unshipped, unpaid order of 許功蓋 with that shipping fee.
  void addOrder(const QString& number, const QString& fee) {
    Table& o = f->db().Order;
    const int r = o.append(number);
    const std::pair<int, QString> cells[] = {{OrderCell::OrderDate, QStringLiteral("2024/03/10")},
                                             {OrderCell::BuyerAccount, QStringLiteral("許功蓋")},
                                             {OrderCell::BuyerCategory, QStringLiteral("Yahoo拍賣")},
                                             {OrderCell::ShippingFee, fee},
                                             {OrderCell::Receivable, QStringLiteral("100")},
                                             {OrderCell::PaymentState, QStringLiteral("未匯款")},
                                             {OrderCell::ShippingState, QStringLiteral("未出貨")}};
    for (const auto& [c, v] : cells) o.setCell(r, c, v);
  }
  QStringList column(int c) const {
    QStringList out;
    for (int r = 0; r < f->orderList->rowCount(); ++r) out << f->orderList->text(r, c);
    return out;
  }
  QObject* named(const char* name) const { return f->findChild<QObject*>(QString::fromLatin1(name)); }
  // Runs a menu entry, a toolbar button or a button.
  static void press(QObject* o) {
    if (auto* a = qobject_cast<QAction*>(o))
      a->trigger();
    else if (auto* b = qobject_cast<QPushButton*>(o))
      b->click();
  }
  static bool enabled(QObject* o) {
    if (auto* a = qobject_cast<QAction*>(o)) return a->isEnabled();
    auto* w = qobject_cast<QWidget*>(o);
    return w && w->isEnabled();
  }
};

using Step = std::function<void(Menus&)>;

// One command of the main window: the menu entry or button, its popup twin
// and toolbar button (each must do the same), what it shows and the state
// it leaves.
struct Entry {
  const char* name;
  const char* caption;
  const char* popup = nullptr;  // entry of the list's popup menu "功能"
  int toolbar = 0;              // position on the toolbar
  Step arrange = nullptr;       // answers and state before the command
  Log log = {};
  Step check = nullptr;
};

// Captions of the popup entries, which differ from their menu twins.
const std::map<QString, QString> kPopupCaptions{
    {"popupDeleteAction", "刪除(&D)"},
    {"popupExportAction", "匯出到記事本"},
    {"popupLabelsAction", "匯出郵寄名條"},
    {"popupShippingNotesAction", "匯出出貨單"},
    {"popupMarkPaidAction", "設為已匯款"},
    {"popupMarkShippedAction", "設為已出貨"},
    {"popupEmailAction", "寫Email"},
    {"popupTotalsAction", "計算選擇訂單的金額"},
    {"popupPickingListAction", "列出撿貨單"}};

const QString kToday = QDate::currentDate().toString(QStringLiteral("yyyy/MM/dd"));

void selectFirst(Menus& t) { t.f->orderList->setCurrentRow(0); }

// Every command of the main window, in menu order, then the buttons.
std::vector<Entry> commands() {
  return {
      {"openDatabaseAction", "開啟資料庫(&L)", nullptr, 2, nullptr, {"manager 離開"}},
      {"saveDatabaseAction", "儲存資料庫(&S)", nullptr, 3,
       [](Menus& t) {
         t.f->db().Order.setCell(1, OrderCell::OrderNote, QStringLiteral("改過"));
         t.f->db().setDirty(true);
       },
       {},
       [](Menus& t) {
         EXPECT_FALSE(t.f->db().dirty());
         EXPECT_FALSE(t.f->toolButton(3)->isEnabled());
         EXPECT_TRUE(t.db->get(QStringLiteral("Order1.kdt")).contains(big5(QStringLiteral("改過"))));
       }},
      {"exitAction", "結束(&X)", nullptr, 0, nullptr, {"quit"}, [](Menus& t) { EXPECT_FALSE(t.f->isVisible()); }},
      {"newOrderAction", "新增訂單(&N)", nullptr, 5, nullptr, {"editor 新增訂單"}},
      {"editOrderAction", "編輯訂單(&E)", nullptr, 6, selectFirst, {"editor 編輯訂單"}},
      {"deleteOrdersAction", "刪除訂單(&D)", "popupDeleteAction", 7,
       [](Menus& t) {
         selectFirst(t);
         t.prompt.answer(Prompt::Answer::No);
       },
       {"message 確定刪除選擇的訂單嗎？"}, [](Menus& t) { EXPECT_EQ(t.f->db().Order.count(), 2); }},
      {"clearShippedOrdersAction", "清除已出貨訂單(&C)", nullptr, 0, nullptr, {"dialog DelForm 清除已出貨訂單"}},
      {"exportSelectedAction", "匯出到記事本(&E)", "popupExportAction", 0, selectFirst,
       {"dialog ExportForm 匯出到記事本"}},
      {"selectedLabelsAction", "匯出郵寄名條(&A)", "popupLabelsAction", 0, selectFirst,
       {"window TextViewer temp.txt - 記事本"},
       [](Menus& t) { EXPECT_TRUE(t.db->has(QStringLiteral("temp.txt"))); }},
      {"selectedShippingNotesAction", "匯出出貨單(&S)", "popupShippingNotesAction", 0, selectFirst, {"shell temp.htm"}},
      {"markSelectedPaidAction", "設為已匯款", "popupMarkPaidAction", 0,
       [](Menus& t) {
         selectFirst(t);
         t.prompt.answerInput(QStringLiteral("2024/03/20"));
       },
       {"input 請輸入匯款日期"},
       [](Menus& t) { EXPECT_EQ(t.f->db().Order.cell(2, OrderCell::PaymentState), QStringLiteral("2024/03/20")); }},
      {"markSelectedShippedAction", "設為已出貨", "popupMarkShippedAction", 0, selectFirst, {},
       [](Menus& t) {
         EXPECT_EQ(t.f->db().Order.cell(2, OrderCell::ShippingState), QStringLiteral(" ") + kToday);
         EXPECT_EQ(t.f->orderList->rowCount(), 0);  // no longer unshipped
         EXPECT_TRUE(t.f->db().dirty());
       }},
      {"emailSelectedAction", "寫Email", "popupEmailAction", 0,
       [](Menus& t) {
         t.f->shippedOption->click();  // the shipped order of buyer,1, who has an address
         selectFirst(t);
       },
       {"shell mailto:a@b.tw"}},
      {"selectedTotalsAction", "計算選擇訂單的金額", "popupTotalsAction", 0,
       [](Menus& t) {
         selectFirst(t);
         t.f->panel(1)->clear();
       },
       {}, [](Menus& t) { EXPECT_EQ(t.f->panel(1)->text(), QStringLiteral("應收帳款: 300 ")); }},
      {"pickingListAction", "列出撿貨單", "popupPickingListAction", 0, selectFirst, {"dialog OrderStock 撿貨單"}},
      {"customersAction", "客戶管理(&G)", nullptr, 9, nullptr, {"window GuestForm 客戶管理"}},
      {"productsAction", "商品管理(&M)", nullptr, 10, nullptr, {"window ManufForm 商品管理"}},
      {"setPasswordAction", "建立資料庫密碼(&P)", nullptr, 0, [](Menus& t) { t.prompt.answerInput(std::nullopt); },
       {"input 請輸入3-8個英文或數字:"}},
      {"clearPasswordAction", "刪除資料庫密碼(&C)", nullptr, 0,
       [](Menus& t) {
         ASSERT_TRUE(PasswordFile::write(t.db->path(), QStringLiteral("abc")));
         t.f->setPassMenu(false, true);
         t.prompt.answerInput(std::nullopt);
       },
       {"input 請輸入密碼", "message 密碼不正確，請重新輸入!"},
       [](Menus& t) { EXPECT_TRUE(t.db->has(QStringLiteral("DataBase.pwd"))); }},
      {"backupAction", "備份資料(&B)", nullptr, 0, [](Menus& t) { t.prompt.answerPath(QString()); }, {"save 儲存檔案"}},
      {"restoreAction", "還原資料(&U)", nullptr, 0, [](Menus& t) { t.prompt.answerPath(QString()); },
       {"open 開啟檔案"}},
      {"restoreDailyBackupAction", "還原系統自動備份的資料(&A)", nullptr, 0,
       [](Menus& t) { t.prompt.answerPath(QString()); },
       {"open 開啟檔案"}},
      {"generalSettingsAction", "一般設定(&O)", nullptr, 12, nullptr, {"dialog SetForm 一般設定"}},
      {"importFormatsAction", "設定匯入客戶格式(&I)", nullptr, 0, nullptr, {"dialog ImportForm 設定匯入客戶格式"}},
      {"backupFolderAction", "設定自動備份的儲存路徑(&A)", nullptr, 0, nullptr,
       {"dialog SetAtuoBackupForm 設定自動備份的儲存路徑"}},
      {"tempFolderAction", "設定暫存檔案的產生路徑", nullptr, 0, nullptr,
       {"dialog SetAtuoBackupForm 設定暫存檔案的產生路徑"}},
      {"showNamesAction", "顯示客戶姓名", nullptr, 0, nullptr, {},
       [](Menus& t) {
         EXPECT_TRUE(t.f->showNamesAction->isChecked());
         EXPECT_EQ(t.f->orderList->text(0, OrderListCol::BuyerAccount), QStringLiteral("許功蓋 (許功蓋)"));
       }},
      {"showMoneyAction", "顯示金額統計", nullptr, 0, nullptr, {},
       [](Menus& t) {
         EXPECT_FALSE(t.f->showMoneyAction->isChecked());
         EXPECT_TRUE(t.f->panel(1)->isHidden());
         EXPECT_TRUE(t.f->recountButton->isHidden());
       }},
      {"countExpensesAction", "雜支費用列入成本統計", nullptr, 0, [](Menus& t) { t.f->shippedOption->click(); }, {},
       [](Menus& t) {
         EXPECT_TRUE(t.f->countExpensesAction->isChecked());
         EXPECT_TRUE(t.f->panel(3)->text().contains(QStringLiteral("(雜支)"))) << t.f->panel(3)->text().toStdString();
       }},
      {"manualAction", "使用說明(&H)", nullptr, 0, nullptr, {"shell manual.html"}},
      {"websiteAction", "Kestrin 網站(&W)", nullptr, 0, nullptr, {"shell manual.html"}},
      {"fanPageAction", "Kestrin FB專頁(&F)", nullptr, 0, nullptr, {"shell manual.html"}},
      {"aboutAction", "關於 Kestrin (&A)", nullptr, 14, nullptr, {"dialog AboutForm 關於Kestrin"}},
      {"popupSelectAllAction", "全選(&A)", nullptr, 0,
       [](Menus& t) {
         t.addOrder(QStringLiteral("2403000003"), QStringLiteral("0"));
         t.f->OrderShow();
         t.f->panel(1)->clear();
       },
       {},
       [](Menus& t) {
         EXPECT_EQ(t.f->orderList->selectedRows(), (std::vector<int>{0, 1}));
         EXPECT_TRUE(t.f->panel(1)->text().isEmpty());  // no totals of the selection
       }},
      {"trayOpenAction", "開啟 Kestrin(&O)", nullptr, 0, [](Menus& t) { t.f->hide(); }, {},
       [](Menus& t) { EXPECT_TRUE(t.f->isVisible()); }},
      // The buttons beside the list.
      {"advancedSearchButton", "進階搜尋", nullptr, 0, nullptr, {"dialog OrderSearch 進階搜尋"}},
      {"orderProductsButton", "訂單商品", nullptr, 0, nullptr, {"dialog StockForm 列出訂單中的商品"}},
      {"recountButton", "重新統計", nullptr, 0, [](Menus& t) { t.f->panel(1)->clear(); }, {},
       [](Menus& t) { EXPECT_EQ(t.f->panel(1)->text(), QStringLiteral("應收帳款: 300 ")); }},
      {"expensesButton", "雜支費用", nullptr, 0, nullptr, {"window ExpendForm 雜支費用"}},
      {"editCategoriesButton", "編輯分類", nullptr, 0, nullptr, {"dialog CateForm 編輯客戶分類"}},
      {"customerSearchButton", "客戶搜尋", nullptr, 0, nullptr,
       {QStringLiteral("message ") + OrderList::CustomerSearchEmptyText}},
  };
}

const Entry* entryNamed(const std::vector<Entry>& all, const QString& name) {
  for (const Entry& e : all)
    if (name == QString::fromLatin1(e.name) || (e.popup && name == QString::fromLatin1(e.popup))) return &e;
  return nullptr;
}

// The menus and the popup menus with their entries in order; separators
// by their names.
TEST_F(Menus, EveryMenuHoldsItsEntriesInOrderWithTheirCaptions) {
  struct Menu {
    const char* name;
    const char* caption;
    QStringList entries;
  };
  const Menu menus[] = {
      {"fileMenu", "檔案(&F)", {"openDatabaseAction", "saveDatabaseAction", "fileLine1", "exitAction"}},
      {"orderMenu",
       "訂單(&O)",
       {"newOrderAction", "editOrderAction", "deleteOrdersAction", "orderLine1", "clearShippedOrdersAction"}},
      {"selectionMenu", "選取(&S)",
       {"exportSelectedAction", "selectedLabelsAction", "selectedShippingNotesAction", "selectionLine1",
        "markSelectedPaidAction", "markSelectedShippedAction", "emailSelectedAction", "selectionLine2",
        "selectedTotalsAction", "pickingListAction"}},
      {"dataMenu", "資料(&D)", {"customersAction", "productsAction"}},
      {"passwordMenu", "密碼(&P)", {"setPasswordAction", "clearPasswordAction"}},
      {"backupMenu", "備份(&B)", {"backupAction", "restoreAction", "backupLine", "restoreDailyBackupAction"}},
      {"settingsMenu",
       "設定(&S)",
       {"generalSettingsAction", "importFormatsAction", "backupFolderAction", "tempFolderAction"}},
      {"viewMenu", "檢視(&V)", {"showNamesAction", "showMoneyAction", "countExpensesAction"}},
      {"helpMenu",
       "說明(&H)",
       {"manualAction", "helpLine1", "websiteAction", "fanPageAction", "helpLine2", "aboutAction"}},
      {"orderListPopup", "功能",
       {"popupSelectAllAction", "popupDeleteAction", "popupLine1", "popupExportAction", "popupLabelsAction",
        "popupShippingNotesAction", "popupLine2", "popupMarkPaidAction", "popupMarkShippedAction",
        "popupEmailAction", "popupLine3", "popupTotalsAction", "popupPickingListAction"}},
      {"trayMenu", "工作列", {"trayOpenAction"}},
  };
  const std::vector<Entry> all = commands();
  for (const Menu& m : menus) {
    auto* menu = f->findChild<QMenu*>(QString::fromLatin1(m.name));
    ASSERT_TRUE(menu) << m.name;
    EXPECT_EQ(menu->title(), QString::fromUtf8(m.caption)) << m.name;
    QStringList names;
    for (QAction* a : menu->actions()) {
      names << a->objectName();
      if (a->isSeparator()) {
        EXPECT_TRUE(a->objectName().contains(QStringLiteral("Line")) || a->objectName().contains(QStringLiteral("line")))
            << a->objectName().toStdString();
        continue;
      }
      const Entry* e = entryNamed(all, a->objectName());
      ASSERT_TRUE(e) << a->objectName().toStdString();
      const auto popup = kPopupCaptions.find(a->objectName());
      EXPECT_EQ(a->text(), popup != kPopupCaptions.end() ? popup->second : QString::fromUtf8(e->caption)) << e->name;
      // Only "刪除資料庫密碼" stands disabled: this database has no password.
      EXPECT_EQ(a->isEnabled(), a != f->clearPasswordAction) << e->name;
    }
    EXPECT_EQ(names, m.entries) << m.name;
  }
  QStringList shownBar;
  for (QAction* a : f->menuBar()->actions()) shownBar << a->menu()->objectName();
  EXPECT_EQ(shownBar, (QStringList{"fileMenu", "orderMenu", "selectionMenu", "dataMenu", "passwordMenu", "backupMenu",
                                   "settingsMenu", "viewMenu", "helpMenu"}));

  // Toolbar: fourteen places, buttons where a command has its toolbar
  // position, separators elsewhere.
  const QList<QAction*> tools = f->toolbar->actions();
  ASSERT_EQ(tools.size(), 14);
  const QStringList toolCaptions{{},         "開啟資料庫", "儲存資料庫", {},         "新增訂單", "編輯訂單", "刪除訂單",
                                 {},         "客戶管理",   "商品管理",   {},         "一般設定", {},         "關於Kestrin"};
  for (int i = 1; i <= 14; ++i) {
    EXPECT_EQ(tools[i - 1]->isSeparator(), toolCaptions[i - 1].isEmpty()) << i;
    EXPECT_EQ(f->toolButton(i) ? f->toolButton(i)->text() : QString(), toolCaptions[i - 1]) << i;
    // The save button alone follows the unsaved-changes flag.
    if (f->toolButton(i)) {
      EXPECT_EQ(f->toolButton(i)->isEnabled(), i != 3) << i;
    }
  }
  for (const Entry& e : all)
    if (auto* b = qobject_cast<QPushButton*>(named(e.name))) {
      EXPECT_EQ(b->text(), QString::fromUtf8(e.caption));
      EXPECT_TRUE(b->isEnabled());
    }

  // The shipped option switches the entries that act on unshipped orders.
  const QList<QAction*> shippingEntries{f->markSelectedShippedAction, f->pickingListAction, f->popupMarkShippedAction};
  f->shippedOption->click();
  for (QAction* a : shippingEntries) EXPECT_FALSE(a->isEnabled()) << a->objectName().toStdString();
  f->unshippedOption->click();
  for (QAction* a : shippingEntries) EXPECT_TRUE(a->isEnabled()) << a->objectName().toStdString();
}

// Every command from its menu entry or button, its popup twin and its
// toolbar button: enabled where it applies, and what it opens or runs.
TEST_F(Menus, EveryEntryReachesItsWindowOrCommand) {
  for (const Entry& e : commands()) {
    std::vector<std::pair<QString, std::function<QObject*(Menus&)>>> ways{
        {QString::fromLatin1(e.name), [&e](Menus& t) { return t.named(e.name); }}};
    if (e.popup) ways.push_back({QString::fromLatin1(e.popup), [&e](Menus& t) { return t.named(e.popup); }});
    if (e.toolbar)
      ways.push_back({QStringLiteral("toolbar %1").arg(e.toolbar),
                      [&e](Menus& t) -> QObject* { return t.f->toolButton(e.toolbar); }});
    for (const auto& [way, find] : ways) {
      SCOPED_TRACE(way.toStdString());
      open();
      QObject* o = find(*this);
      ASSERT_TRUE(o);
      Observer watch(*f, prompt);
      if (e.arrange) e.arrange(*this);
      EXPECT_TRUE(enabled(o));
      EXPECT_EQ(watch.text([o] { press(o); }), e.log.join(u'\n').toStdString());
      EXPECT_FALSE(prompt.pending());
      if (e.check) e.check(*this);
    }
  }
}

// Without a mail program 寫Email tells the seller which list it could not open.
TEST_F(Menus, EmailWithoutAMailProgramSaysSo) {
  Observer watch(*f, prompt);
  watch.shellTakes = false;
  f->shippedOption->click();  // the shipped order of buyer,1, who has an address
  selectFirst(*this);
  EXPECT_EQ(watch.text([&] { f->emailSelectedAction->trigger(); }),
            "shell mailto:a@b.tw\nmessage 無法用郵件程式寫信（找不到可以寫信的郵件程式）：\nmailto:a@b.tw");
  EXPECT_EQ(prompt.shown.back().title, "注意");
}

TEST_F(Menus, ToolbarSeparatorsAndOtherNumbersDoNothing) {
  Observer watch(*f, prompt);
  const QStringList listed = column(0);
  for (int i : {0, 1, 4, 8, 11, 13, 15, -1}) {
    EXPECT_EQ(watch.text([&] { f->onToolButton(i); }), "") << i;
    EXPECT_EQ(column(0), listed);
  }
  EXPECT_FALSE(f->db().dirty());
}

QStringList items(const QComboBox* c) {
  QStringList out;
  for (int i = 0; i < c->count(); ++i) out << c->itemText(i);
  return out;
}

// The windows opened from the main window start from its filters: customer
// category "未分類", shipped orders, the year 2024 and the period 03月.
TEST_F(Menus, OpenersFillTheirWindowsFromTheMainFilters) {
  Database& d = f->db();
  d.settings.CustomerCategories = QStringList{"露天拍賣", "Yahoo拍賣"};
  d.settings.ExpenseCategories = QStringList{"運費", "郵資"};
  f->refillCategoryCombo();
  f->categoryCombo->setCurrentIndex(3);
  f->onCategoryChosen();
  f->shippedOption->click();
  f->yearEdit->setText("2024");
  f->periodCombo->setCurrentIndex(4);
  f->onPeriodChosen();
  const QStringList customerFilter{"全部", "露天拍賣", "Yahoo拍賣", "未分類", "編輯客戶分類"};
  ASSERT_EQ(items(f->categoryCombo), customerFilter);
  ASSERT_EQ(f->categoryCombo->currentText(), "未分類");

  Observer watch(*f, prompt);
  int inspected = 0;
  watch.inspect = [&](QWidget* w) {
    ++inspected;
    if (auto* s = qobject_cast<OrderSearch*>(w)) {
      EXPECT_EQ(items(s->categoryCombo), (QStringList{"全部", "露天拍賣", "Yahoo拍賣", "未分類"}));
      EXPECT_EQ(s->categoryCombo->currentText(), "未分類");
      EXPECT_FALSE(s->unshippedOption->isChecked());
      EXPECT_TRUE(s->shippedOption->isChecked());
    } else if (auto* p = qobject_cast<StockForm*>(w)) {
      EXPECT_EQ(items(p->productCategoryCombo).last(), "編輯商品分類");
      EXPECT_EQ(p->productCategoryCombo->currentIndex(), 0);
      EXPECT_EQ(items(p->customerCategoryCombo), customerFilter);
      EXPECT_EQ(p->customerCategoryCombo->currentText(), "未分類");
      EXPECT_FALSE(p->unshippedOption->isChecked());
      EXPECT_TRUE(p->shippedOption->isChecked());
      EXPECT_EQ(p->yearEdit->text(), "2024");
      EXPECT_EQ(p->periodCombo->currentText(), "03月");
    } else if (auto* c = qobject_cast<CateForm*>(w)) {
      EXPECT_EQ(c->windowTitle(), "編輯客戶分類");
      QStringList listed;
      for (int i = 0; i < c->categoryList->count(); ++i) listed << c->categoryList->item(i)->text();
      EXPECT_EQ(listed, (QStringList{"露天拍賣", "Yahoo拍賣"}));
    } else if (auto* b = qobject_cast<SetAtuoBackupForm*>(w)) {
      if (b->SelState == 2) {
        EXPECT_EQ(b->windowTitle(), "設定暫存檔案的產生路徑");
        EXPECT_EQ(b->chooseFolderCheck->text(), "設定暫存檔案的產生路徑");
        EXPECT_EQ(b->adviceLabel->text(), "請任意指定一個位置用以產生出貨單或郵寄名條暫存檔案");
        EXPECT_EQ(b->hintLabel->text(), "建議設在桌面或是 D:\\ 之類的位置");
      } else {
        EXPECT_EQ(b->SelState, 1);
        EXPECT_EQ(b->windowTitle(), "設定自動備份的儲存路徑");
      }
    } else {
      ADD_FAILURE() << w->metaObject()->className();
    }
  };
  for (QPushButton* b : {f->advancedSearchButton, f->orderProductsButton}) watch.run([b] { b->click(); });
  for (QAction* a : {f->tempFolderAction, f->backupFolderAction}) watch.run([a] { a->trigger(); });
  EXPECT_EQ(inspected, 4);
  // The main filters stay as they were.
  EXPECT_EQ(f->categoryCombo->currentText(), "未分類");
  EXPECT_TRUE(f->shippedOption->isChecked());

  // The expense window: every category once, the filters on "全部" and on
  // the first category, the main year and period, today for a new expense;
  // a second opening brings the same window forward with the same values.
  for (int round = 0; round < 2; ++round) {
    f->expensesButton->click();
    ExpendForm* e = f->expendWindow();
    ASSERT_TRUE(e);
    EXPECT_FALSE(e->isModal());
    EXPECT_TRUE(e->isVisible());
    EXPECT_EQ(items(e->categoryFilterCombo), (QStringList{"全部", "運費", "郵資", "未分類", "編輯費用分類"}));
    EXPECT_EQ(items(e->categoryCombo), (QStringList{"運費", "郵資", "未分類"}));
    EXPECT_EQ(e->categoryFilterCombo->currentIndex(), 0);
    EXPECT_EQ(e->categoryCombo->currentIndex(), 0);
    EXPECT_EQ(e->yearEdit->text(), "2024");
    EXPECT_EQ(e->periodCombo->currentText(), "03月");
    EXPECT_EQ(e->dateEdit->text(), kToday);
  }

  // The customer-category editor, left without a change: the main filter
  // returns to "全部", which lists the shipped orders of every category.
  EXPECT_TRUE(column(0).isEmpty());
  watch.run([&] { f->editCategoriesButton->click(); });
  EXPECT_EQ(inspected, 5);
  EXPECT_EQ(f->categoryCombo->currentIndex(), 0);
  EXPECT_EQ(column(0), QStringList{"2403000001"});

  // The customer window in its management use, non-modal, listing the first
  // filter entry; with "開啟視窗時先不要載入客戶列表" ticked it opens unlisted.
  f->onCustomers();
  GuestForm* g = f->guestWindow();
  ASSERT_TRUE(g);
  EXPECT_FALSE(g->isModal());
  EXPECT_EQ(items(g->categoryCombo), customerFilter);
  EXPECT_EQ(g->categoryCombo->currentIndex(), 0);
  EXPECT_EQ(g->customerList->rowCount(), 2);
  EXPECT_FALSE(g->pickCustomerAction->isEnabled());
  EXPECT_TRUE(g->pickButton->isHidden());
  EXPECT_TRUE(g->listOrdersButton->isEnabled());
  g->noListOnOpenAction->setChecked(true);
  g->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  f->onCustomers();
  ASSERT_TRUE(f->guestWindow());
  EXPECT_EQ(items(f->guestWindow()->categoryCombo), customerFilter);
  EXPECT_EQ(f->guestWindow()->customerList->rowCount(), 0);

  // The product window in its management use, non-modal.
  f->onProducts();
  ManufForm* m = f->manufWindow();
  ASSERT_TRUE(m);
  EXPECT_FALSE(m->isModal());
  EXPECT_TRUE(m->isVisible());
  EXPECT_TRUE(m->addButton->isHidden());
  EXPECT_FALSE(m->addProductAction->isEnabled());
  EXPECT_TRUE(prompt.shown.empty());
}

// Header clicks sort by a column's text; the same column again flips the
// direction, another column keeps it. Enter and double-click edit, Delete
// deletes, other keys do nothing; the right button alone opens the popup.
TEST_F(Menus, OrderListHeaderKeysAndMouse) {
  addOrder("2403000003", "100");
  addOrder("2403000004", "20");
  addOrder("2403000005", "3");
  f->OrderShow();
  ASSERT_EQ(column(0), (QStringList{"2403000002", "2403000003", "2403000004", "2403000005"}));
  QHeaderView* header = f->orderList->header();
  auto clickHeader = [&](int c) {
    const QPoint at(header->sectionViewportPosition(c) + header->sectionSize(c) / 2, header->height() / 2);
    for (QEvent::Type t : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
      QMouseEvent ev(t, at, header->viewport()->mapToGlobal(at), Qt::LeftButton, t == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
      QApplication::sendEvent(header->viewport(), &ev);
    }
  };
  clickHeader(OrderListCol::ShippingFee);  // ascending kept, as text
  EXPECT_EQ(column(OrderListCol::ShippingFee), (QStringList{"0", "100", "20", "3"}));
  clickHeader(OrderListCol::ShippingFee);  // the same column: flipped
  EXPECT_EQ(column(OrderListCol::ShippingFee), (QStringList{"3", "20", "100", "0"}));
  clickHeader(OrderListCol::OrderNo);  // another column: still descending
  EXPECT_EQ(column(0), (QStringList{"2403000005", "2403000004", "2403000003", "2403000002"}));
  EXPECT_EQ(f->orderList->sortOrder(), Qt::DescendingOrder);
  f->OrderShow();  // a rebuild keeps the order
  EXPECT_EQ(column(0).first(), "2403000005");

  Observer watch(*f, prompt);
  auto key = [&](QWidget* w, int k) {
    return watch.text([&] {
      QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier);
      QApplication::sendEvent(w, &press);
    });
  };
  f->orderList->setCurrentRow(1);
  EXPECT_EQ(key(f->orderList, Qt::Key_Return), "editor 編輯訂單");
  EXPECT_EQ(key(f->orderList, Qt::Key_Enter), "editor 編輯訂單");
  EXPECT_EQ(key(f->orderList, Qt::Key_A), "");
  f->orderList->setCurrentRow(1);
  prompt.answer(Prompt::Answer::No);
  EXPECT_EQ(key(f->orderList, Qt::Key_Delete), "message 確定刪除選擇的訂單嗎？");
  EXPECT_EQ(f->db().Order.count(), 5);

  // Double-click on a row.
  const QRect row = f->orderList->visualRect(f->orderList->model()->index(2, 0));
  EXPECT_EQ(watch.text([&] {
              for (QEvent::Type t : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick,
                                     QEvent::MouseButtonRelease}) {
                const bool down = t != QEvent::MouseButtonRelease;
                QMouseEvent ev(t, row.center(), f->orderList->viewport()->mapToGlobal(row.center()), Qt::LeftButton,
                               down ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
                QApplication::sendEvent(f->orderList->viewport(), &ev);
              }
            }),
            "editor 編輯訂單");

  // The popup opens on the right button, never on the left.
  QWindow* window = f->windowHandle();
  ASSERT_TRUE(window);
  auto click = [&](Qt::MouseButton b) {
    const QPoint at = f->orderList->viewport()->mapTo(f.get(), row.center());
    for (QEvent::Type t : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
      QMouseEvent ev(t, at, window->mapToGlobal(at), b, t == QEvent::MouseButtonPress ? b : Qt::NoButton,
                     Qt::NoModifier);
      QApplication::sendEvent(window, &ev);
    }
  };
  click(Qt::LeftButton);
  EXPECT_FALSE(f->orderListPopup->isVisible());
  click(Qt::RightButton);
  EXPECT_TRUE(f->orderListPopup->isVisible());
  f->orderListPopup->hide();

  // An empty list: Enter and Delete ask nothing.
  f->categoryCombo->setCurrentIndex(f->categoryCombo->findText("露天拍賣"));
  f->onCategoryChosen();
  ASSERT_EQ(f->orderList->rowCount(), 0);
  EXPECT_EQ(key(f->orderList, Qt::Key_Delete), "");
  EXPECT_EQ(key(f->orderList, Qt::Key_Return), "");

  // Enter in the customer search box runs the search.
  f->categoryCombo->setCurrentIndex(0);
  f->onCategoryChosen();
  f->customerSearchEdit->clear();
  EXPECT_EQ(key(f->customerSearchEdit, Qt::Key_Return), "message " + OrderList::CustomerSearchEmptyText.toStdString());
  f->customerSearchEdit->setText("許功蓋");
  EXPECT_EQ(key(f->customerSearchEdit, Qt::Key_Return), "");
  EXPECT_EQ(f->orderList->rowCount(), 4);
  EXPECT_FALSE(prompt.pending());
}

// The product and customer windows as the main window opens them: no entry
// or button stands disabled but those their management use disables
// ("加入商品", "加入這個客戶") and the two buyer imports the customer
// window never offers.
TEST_F(Menus, ProductAndCustomerWindowsOpenWithTheirCommandsEnabled) {
  auto disabledIn = [](QWidget* w) {
    QStringList out;
    for (QMenu* m : w->findChildren<QMenu*>())
      for (QAction* a : m->actions())
        if (!a->isSeparator() && !a->isEnabled()) out << a->text();
    for (QPushButton* b : w->findChildren<QPushButton*>())
      if (b->isVisibleTo(w) && !b->isEnabled()) out << b->text();
    out.sort();
    return out;
  };
  f->onProducts();
  ASSERT_TRUE(f->manufWindow());
  EXPECT_EQ(disabledIn(f->manufWindow()), QStringList{"加入商品(&A)"});
  f->onCustomers();
  ASSERT_TRUE(f->guestWindow());
  EXPECT_EQ(disabledIn(f->guestWindow()), (QStringList{"加入這個客戶(&A)", "匯入Yahoo拍賣檔案", "匯入蝦皮拍賣檔案"}));
  EXPECT_TRUE(prompt.shown.empty());
}

}  // namespace
