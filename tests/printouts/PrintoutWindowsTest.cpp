// The printouts as the windows reach them: the main window's menu and popup
// entries, the order editor's buttons, the customer and product windows'
// entries, on the golden database.
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <gtest/gtest.h>

#include "ScriptedPrompt.h"
#include "TestDir.h"
#include "customers/GuestForm.h"
#include "mainwindow/OrderForm.h"
#include "ordereditor/OrderInput.h"
#include "platform/AppPaths.h"
#include "platform/Codec.h"
#include "platform/ListView.h"
#include "platform/SettingsStore.h"
#include "platform/Shell.h"
#include "printouts/ExportForm.h"
#include "printouts/OrderStock.h"
#include "printouts/PrintoutOutput.h"
#include "products/ManufForm.h"
#include "store/DatabaseList.h"

namespace {

struct PrintoutWindows : ::testing::Test {
  ScriptedPrompt prompt;
  TestDir db;
  TestDir temp;
  std::unique_ptr<OrderForm> f;
  QList<QUrl> opened;
  QStringList viewed;
  int folderDialogs = 0;

  void SetUp() override {
    QSettings s(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Kestrin"), QStringLiteral("Kestrin"));
    s.clear();
    s.sync();
    const QString app = AppPaths::appPath();
    QDir(app).removeRecursively();
    QDir().mkpath(app);
    const QDir golden(QStringLiteral(KESTRIN_TEST_DATA "/golden-db"));
    for (const QString& n : golden.entryList(QDir::Files)) QFile::copy(golden.filePath(n), db.file(n));
    ASSERT_TRUE(DatabaseList::write(app, {DatabaseList::entry(QStringLiteral("店"), db.path())}));
    SettingsStore::set(QStringLiteral("Setting"), QStringLiteral("DataBaseName"), QStringLiteral("店"));
    SettingsStore::set(QStringLiteral("Setting"), QStringLiteral("DataBasePath"), db.path());
    SettingsStore::set(QStringLiteral("Setting"), QStringLiteral("TempPath"), temp.path());
    Shell::openHook = [this](const QUrl& u) {
      opened << u;
      return true;
    };
    PrintoutOutput::showText = [this](const QString& path, QWidget*) {
      viewed << path;
      return true;
    };
    PrintoutOutput::askTempFolder = [this](Database& d, Prompt&, QWidget*) {
      ++folderDialogs;
      d.TempPath = temp.path();
    };
    f = std::make_unique<OrderForm>(prompt);
    f->endProgram = [] {};
    f->quitProgram = [] {};
    f->AutoBackup = [] {};
    f->Form_Load();
    ASSERT_EQ(f->db().TempPath, temp.path());
  }
  void TearDown() override {
    f.reset();
    Shell::openHook = nullptr;
    PrintoutOutput::showText = nullptr;
    PrintoutOutput::askTempFolder = nullptr;
    ExportForm::showHook = nullptr;
    OrderStock::showHook = nullptr;
  }
  QString file(const char* name) const { return Codec::decode(temp.get(QString::fromLatin1(name))); }
};

TEST_F(PrintoutWindows, MainWindowEntriesPrintTheSelectedOrders) {
  for (QAction* a : {f->selectedShippingNotesAction, f->selectedLabelsAction, f->exportSelectedAction,
                     f->pickingListAction, f->popupShippingNotesAction, f->popupLabelsAction, f->popupExportAction,
                     f->popupPickingListAction})
    EXPECT_TRUE(a->isEnabled()) << a->objectName().toStdString();
  ASSERT_EQ(f->orderList->rowCount(), 1);  // the unshipped order 2403000002
  f->orderList->setSelected(0, true);

  f->selectedShippingNotesAction->trigger();
  ASSERT_EQ(opened.size(), 1);
  EXPECT_EQ(opened[0], QUrl::fromLocalFile(temp.file(QStringLiteral("temp.htm"))));
  const QString page = file("temp.htm");
  EXPECT_TRUE(page.contains(QStringLiteral("<td>2403000002</td>")));
  EXPECT_TRUE(page.contains(QStringLiteral("碗")));

  f->popupLabelsAction->trigger();
  ASSERT_EQ(viewed.size(), 1);
  EXPECT_EQ(viewed[0], temp.file(QStringLiteral("temp.txt")));
  EXPECT_EQ(file("temp.txt"), QStringLiteral("姓名：許功蓋  電話：\r\n住址：\r\n"));

  int chooser = 0;
  ExportForm::showHook = [&](ExportForm& e) {
    ++chooser;
    EXPECT_EQ(e.ex, 1);
    EXPECT_EQ(e.fieldList->rowCount(), 27);
    e.onCancel();
  };
  f->popupExportAction->trigger();
  f->exportSelectedAction->trigger();
  EXPECT_EQ(chooser, 2);
  EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(PrintoutWindows, PopupSelectAllThenNotesPrintsEveryListedOrder) {
  // A second unshipped order, so the list shows two.
  Table& order = f->db().Order;
  const int copy = order.append(QStringLiteral("2403000003"));
  for (int c = 1; c <= OrderCell::Count; ++c) order.setCell(copy, c, order.cell(2, c));
  f->OrderShow();
  ASSERT_EQ(f->orderList->rowCount(), 2);
  f->popupSelectAllAction->trigger();
  EXPECT_EQ(f->orderList->selectedRows(), (std::vector<int>{0, 1}));
  // One selection range, however long the list: a range per row makes every
  // later look at the selection cost a pass over all of them.
  EXPECT_EQ(f->orderList->selectionModel()->selection().size(), 1);
  f->popupShippingNotesAction->trigger();
  const QString page = file("temp.htm");
  EXPECT_TRUE(page.contains(QStringLiteral("<td>2403000002</td>")));
  EXPECT_TRUE(page.contains(QStringLiteral("<td>2403000003</td>")));
}

TEST_F(PrintoutWindows, AFileThatCannotBeWrittenIsReportedAndNotOpened) {
  f->orderList->setSelected(0, true);
  ASSERT_TRUE(QDir(temp.path()).mkdir(QStringLiteral("temp.htm")));
  f->onSelectedShippingNotes();
  EXPECT_TRUE(opened.isEmpty());
  EXPECT_EQ(prompt.texts(), QStringList{QStringLiteral("發生錯誤!")});
  EXPECT_EQ(prompt.shown[0].icon, Prompt::Icon::Exclamation);
}

TEST_F(PrintoutWindows, AMissingTemporaryFolderIsAskedForFirst) {
  f->db().TempPath = temp.path() + QStringLiteral("gone/");
  f->orderList->setSelected(0, true);
  f->onSelectedShippingNotes();
  EXPECT_EQ(folderDialogs, 1);
  EXPECT_EQ(opened.size(), 1);
  EXPECT_TRUE(temp.has(QStringLiteral("temp.htm")));
  // A usable folder asks nothing.
  f->onSelectedShippingNotes();
  EXPECT_EQ(folderDialogs, 1);
}

TEST_F(PrintoutWindows, PickingListFollowsTheShippedOption) {
  int shown = 0;
  OrderStock::showHook = [&](OrderStock& w) {
    ++shown;
    ASSERT_EQ(w.productList->rowCount(), 1);
    EXPECT_EQ(w.productList->rowTexts(0).mid(0, 3),
              (QStringList{QStringLiteral("碗"), QStringLiteral("餐具"), QStringLiteral("2")}));
    EXPECT_EQ(w.statusText->text(), QStringLiteral("數量總計：2"));
  };
  f->orderList->setSelected(0, true);
  f->pickingListAction->trigger();
  EXPECT_EQ(shown, 1);

  f->shippedOption->setChecked(true);
  f->onShippedChosen();
  EXPECT_FALSE(f->pickingListAction->isEnabled());
  f->unshippedOption->setChecked(true);
  f->onUnshippedChosen();
  EXPECT_TRUE(f->pickingListAction->isEnabled());

  // An empty order list: nothing happens.
  f->setShippingOptions(false, false);
  f->OrderShow();
  ASSERT_EQ(f->orderList->rowCount(), 0);
  f->popupPickingListAction->trigger();
  EXPECT_EQ(shown, 1);
}

TEST_F(PrintoutWindows, OrderEditorButtonsPrintWhatTheEditorShows) {
  f->shippedOption->setChecked(true);
  f->onShippedChosen();
  ASSERT_EQ(f->orderList->rowCount(), 1);  // 2403000001, one line of 茶杯 at 500 x 2
  f->orderList->setCurrentRow(0);
  int chooser = 0;
  ExportForm::showHook = [&](ExportForm& e) {
    ++chooser;
    EXPECT_EQ(e.ex, 5);
    EXPECT_EQ(e.fieldList->rowCount(), 10);
    EXPECT_EQ(e.fieldList->text(9, 0), QStringLiteral("小計"));
    e.fieldList->setChecked(0, true);
    e.fieldList->setChecked(9, true);
    e.onExport();
  };
  f->runOrderInput = [&](OrderInput& e) {
    e.nameEdit->setText(QStringLiteral("未存的<名字>"));  // an unsaved edit shows
    e.shipUntickedLinesAction->trigger();                 // only the unticked lines: none
    e.shippingNoteButton->click();
    e.shipAllLinesAction->trigger();
    e.mailingLabelButton->click();
    e.exportButton->click();
    e.onCancel();
  };
  f->onEditOrder();
  ASSERT_EQ(opened.size(), 1);
  const QString page = file("temp.htm");
  EXPECT_TRUE(page.contains(QStringLiteral("<td>未存的&lt;名字&gt;</td>")));
  EXPECT_FALSE(page.contains(QStringLiteral("茶杯")));
  EXPECT_TRUE(page.endsWith(QStringLiteral("</table></td></tr></table></body></html>\r\n")));
  EXPECT_EQ(chooser, 1);
  EXPECT_EQ(file("temp.txt"), QStringLiteral("茶杯,1000\r\n"));
  EXPECT_EQ(viewed.size(), 2);  // the label and the export
  EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(PrintoutWindows, CustomerAndProductWindowsFeedLabelsAndTheChooser) {
  f->onCustomers();
  GuestForm* g = f->guestWindow();
  ASSERT_NE(g, nullptr);
  ASSERT_GE(g->customerList->rowCount(), 1);
  ASSERT_TRUE(g->exportSelectedLabelsAction->isEnabled());
  g->customerList->setSelected(0, true);
  g->exportSelectedLabelsAction->trigger();
  EXPECT_EQ(file("temp.txt"), QStringLiteral("姓名：王小明  電話：02-1234\r\n住址：台北市\r\n中正區\r\n\r\n"));

  QList<int> sources;
  QStringList firstCaptions;
  ExportForm::showHook = [&](ExportForm& e) {
    sources << e.ex;
    firstCaptions << e.fieldList->text(e.fieldList->rowCount() - 1, 0);
    e.onCancel();
  };
  g->exportSelectedToNotepadAction->trigger();
  f->onProducts();
  ASSERT_NE(f->manufWindow(), nullptr);
  ASSERT_TRUE(f->manufWindow()->exportSelectedToNotepadAction->isEnabled());
  f->manufWindow()->exportSelectedToNotepadAction->trigger();
  EXPECT_EQ(sources, (QList<int>{2, 3}));
  EXPECT_EQ(firstCaptions, (QStringList{QStringLiteral("備註"), QStringLiteral("重量")}));
}

}  // namespace
