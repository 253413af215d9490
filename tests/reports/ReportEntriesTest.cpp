// The main window's entries into the reports: "進階搜尋", "訂單商品", the
// about box, and the order editor's picture viewer, driven through the real
// main window on a small database.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTimer>

#include "ScriptedPrompt.h"
#include "TestDir.h"
#include "admin/AboutForm.h"
#include "admin/ImagesForm.h"
#include "mainwindow/OrderForm.h"
#include "platform/AppPaths.h"
#include "platform/ListView.h"
#include "platform/SettingsStore.h"
#include "products/ManufForm.h"
#include "reports/ManufTop.h"
#include "reports/OrderSearch.h"
#include "reports/StockForm.h"
#include "store/DatabaseList.h"

namespace {

struct ReportEntries : ::testing::Test {
  ScriptedPrompt prompt;
  TestDir db;
  std::unique_ptr<OrderForm> f;

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
    f = std::make_unique<OrderForm>(prompt);
    f->endProgram = [] {};
    f->quitProgram = [] {};
    f->AutoBackup = [] {};
    f->Form_Load();
    ASSERT_EQ(f->db().Order.count(), 2);
  }
  // Runs what the modal window opened next should do, once it is up.
  template <typename W>
  void whenShown(std::function<void(W&)> act, bool* seen) {
    QTimer::singleShot(0, [act, seen] {
      auto* w = qobject_cast<W*>(QApplication::activeModalWidget());
      *seen = w != nullptr;
      if (w) act(*w);
      if (QWidget* still = QApplication::activeModalWidget()) still->close();
    });
  }
  QStringList keys() const {
    QStringList out;
    for (int r = 0; r < f->orderList->rowCount(); ++r) out << f->orderList->text(r, 0);
    return out;
  }
};

}  // namespace

TEST_F(ReportEntries, OrderSearchAndProductsInOrdersFromTheMainWindow) {
  EXPECT_TRUE(f->advancedSearchButton->isEnabled());
  EXPECT_TRUE(f->orderProductsButton->isEnabled());
  EXPECT_EQ(keys(), QStringList{"2403000002"});

  bool seen = false;
  whenShown<OrderSearch>([](OrderSearch& s) {
    EXPECT_TRUE(s.unshippedOption->isChecked());
    s.shippedOption->setChecked(true);
    s.onSearch();
  }, &seen);
  f->advancedSearchButton->click();
  EXPECT_TRUE(seen);
  EXPECT_EQ(keys(), QStringList{"2403000001"});
  EXPECT_TRUE(f->shippedOption->isChecked());
  EXPECT_EQ(f->panel(7)->text(), " 共 1 筆資料");

  seen = false;
  whenShown<StockForm>([](StockForm& s) {
    EXPECT_TRUE(s.shippedOption->isChecked());  // the options the search handed back
    ASSERT_EQ(s.lineList->rowCount(), 1);
    EXPECT_EQ(s.lineList->text(0, StockList::Name), "茶杯");
    EXPECT_EQ(s.lineList->text(0, StockList::Discount), "95%");
    s.unshippedOption->click();
    ASSERT_EQ(s.lineList->rowCount(), 1);
    EXPECT_EQ(s.lineList->text(0, StockList::Discount), "-25");
    s.onSelectAll();
    s.onListOrders();
  }, &seen);
  f->orderProductsButton->click();
  EXPECT_TRUE(seen);
  EXPECT_EQ(keys(), QStringList{"2403000002"});
  EXPECT_TRUE(f->shippedOption->isChecked());  // its own filters stay as they were
}

TEST_F(ReportEntries, AboutBoxAndPictureViewer) {
  EXPECT_TRUE(f->aboutAction->isEnabled());
  ASSERT_TRUE(f->toolButton(14));
  EXPECT_TRUE(f->toolButton(14)->isEnabled());
  bool seen = false;
  whenShown<AboutForm>([](AboutForm& a) { EXPECT_EQ(a.titleLabel->text(), "Kestrin 青鳥帳房通 v3.3.6"); }, &seen);
  f->toolButton(14)->trigger();
  EXPECT_TRUE(seen);

  QImage(20, 10, QImage::Format_RGB32).save(db.file("p.png"));
  seen = false;
  whenShown<ImagesForm>([](ImagesForm& v) { EXPECT_EQ(v.pictureLabel->pixmap().size(), QSize(20, 10)); }, &seen);
  EXPECT_TRUE(f->showPicture(db.file("p.png")));
  EXPECT_TRUE(seen);
}

// The ranking holds the old tables' products: loading a database closes it
// together with the product window it stands beside.
TEST_F(ReportEntries, LoadingADatabaseClosesTheRanking) {
  f->onProducts();
  ManufForm* products = f->manufWindow();
  ASSERT_TRUE(products);
  products->onSalesRanking();
  QPointer<ManufTop> top = ManufTop::of(products);
  ASSERT_TRUE(top);
  EXPECT_TRUE(top->isVisible());
  f->DataBaseLoad();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(!top || !top->isVisible());
  EXPECT_FALSE(f->manufWindow() && f->manufWindow()->isVisible());
}
