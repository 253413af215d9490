#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QStatusBar>

#include "ReportsFixture.h"
#include "ScriptedPrompt.h"
#include "TestDir.h"
#include "admin/ImagesForm.h"
#include "platform/ListView.h"
#include "platform/SettingsStore.h"
#include "platform/Shell.h"
#include "reports/StockForm.h"
#include "reports/StockSearch.h"

namespace {

QStringList names(const ListView& l) {
  QStringList out;
  for (int r = 0; r < l.rowCount(); ++r) out << l.text(r, StockList::Name);
  return out;
}

struct StockFormTest : ::testing::Test {
  Database db;
  ScriptedPrompt prompt;
  FakeHost host;
  void SetUp() override {
    for (const char* k : {"LW1", "LW5", "Width", "Height", "WinState"}) SettingsStore::remove("StockForm", k);
    fillOrders(db);
  }
  // Opens the window as the main window does and hands it to f.
  void open(const StockForm::MainFilters& main, const std::function<void(StockForm&)>& f) {
    bool ran = false;
    StockForm::open(db, prompt, host, nullptr, main, [&](StockForm& form) {
      ran = true;
      f(form);
    });
    ASSERT_TRUE(ran);
  }
  static StockForm::MainFilters shippedOf2024() {
    StockForm::MainFilters m;
    m.category = 1;  // 露天拍賣
    m.unshipped = false;
    m.shipped = true;
    m.period = 1;  // 整年
    m.year = "2024";
    return m;
  }
};

}  // namespace

TEST_F(StockFormTest, OpensOnTheMainWindowsFiltersAndRebuildsOnItsOwn) {
  open(shippedOf2024(), [&](StockForm& f) {
    EXPECT_EQ(f.productCategoryCombo->count(), 5);  // 全部, two categories, 未分類, 編輯商品分類
    EXPECT_EQ(f.productCategoryCombo->currentText(), "全部");
    EXPECT_EQ(f.customerCategoryCombo->itemText(f.customerCategoryCombo->count() - 1), "編輯客戶分類");
    EXPECT_EQ(f.customerCategoryCombo->currentText(), "露天拍賣");
    EXPECT_TRUE(f.shippedOption->isChecked());
    EXPECT_EQ(f.yearEdit->text(), "2024");
    EXPECT_EQ(f.periodCombo->currentText(), "整年");
    EXPECT_EQ(names(*f.lineList), (QStringList{"B", "C", "H"}));
    EXPECT_EQ(f.statusLabel->text(), " 共 3 筆資料， 4 件商品，售價總計 403 ，成本總計 138 ，結餘 265");

    f.unshippedOption->click();
    EXPECT_EQ(names(*f.lineList), (QStringList{"A", "D", "E"}));
    f.se = true;  // options and category lists stay quiet under se; the period never does
    f.shippedOption->click();
    EXPECT_EQ(names(*f.lineList), (QStringList{"A", "D", "E"}));
    f.se = false;
    f.customerCategoryCombo->setCurrentIndex(0);
    f.onCustomerCategoryChosen();
    EXPECT_EQ(names(*f.lineList), (QStringList{"C"}));

    // The category entry opens the editor whatever se holds, then lists "全部".
    int edits = 0;
    f.runCategoryEditor = [&](CategoryEdit::Kind k) {
      EXPECT_EQ(k, CategoryEdit::Kind::Product);
      db.settings.ProductCategories << "新";
      ++edits;
    };
    f.periodCombo->setCurrentIndex(0);
    f.productCategoryCombo->setCurrentIndex(f.productCategoryCombo->count() - 1);
    f.onProductCategoryChosen();
    EXPECT_EQ(edits, 1);
    EXPECT_EQ(f.productCategoryCombo->currentIndex(), 0);
    EXPECT_EQ(f.productCategoryCombo->itemText(3), "新");
    EXPECT_EQ(names(*f.lineList), (QStringList{"C"}));
  });

  // Neither option in the main window: an empty list with neither option.
  StockForm::MainFilters none;
  none.unshipped = false;
  open(none, [&](StockForm& f) {
    EXPECT_FALSE(f.unshippedOption->isChecked());
    EXPECT_FALSE(f.shippedOption->isChecked());
    EXPECT_EQ(f.lineList->rowCount(), 0);
  });

  // Without 顯示金額統計 only the count and quantity; with HideCost no cost.
  StockForm::MainFilters m;
  m.viewMoney = false;
  open(m, [&](StockForm& f) { EXPECT_EQ(f.statusLabel->text(), " 共 7 筆資料， 12 件商品"); });
  db.HideCost = true;
  open(StockForm::MainFilters{}, [&](StockForm& f) {
    EXPECT_EQ(f.statusLabel->text(), " 共 7 筆資料， 12 件商品，售價總計 758");
    EXPECT_EQ(f.lineList->columnWidthTwips(StockList::Cost), 0);
  });
}

TEST_F(StockFormTest, RemembersWidthsAndSizeButTheCostColumnIsFixed) {
  SettingsStore::set("StockForm", "LW5", "120");
  SettingsStore::set("StockForm", "LW1", "140");
  open(StockForm::MainFilters{}, [&](StockForm& f) {
    EXPECT_EQ(f.lineList->columnWidthTwips(StockList::OrderNo), 140 * 15);
    EXPECT_EQ(f.lineList->columnWidthTwips(StockList::Cost), 65 * 15);
    f.lineList->setColumnWidthTwips(StockList::Name, 222 * 15);
    f.setWindowState(Qt::WindowMaximized);
    f.close();
  });
  EXPECT_EQ(SettingsStore::get("StockForm", "LW2"), "222");
  EXPECT_EQ(SettingsStore::get("StockForm", "LW5"), "65");
  EXPECT_EQ(SettingsStore::get("StockForm", "Width"), "12000");
  EXPECT_EQ(SettingsStore::get("StockForm", "Height"), "7920");
  EXPECT_EQ(SettingsStore::get("StockForm", "WinState"), "2");
  open(StockForm::MainFilters{}, [&](StockForm& f) { EXPECT_TRUE(f.windowState() & Qt::WindowMaximized); });
}

TEST_F(StockFormTest, SearchKeepsOrReplacesRowsAndHandsItsChoicesBack) {
  open(shippedOf2024(), [&](StockForm& f) {
    f.productCategoryCombo->setCurrentIndex(1);  // 飾品 (quietly: no rebuild through code)
    int searches = 0;
    f.runSearch = [&](StockSearch& s) {
      ++searches;
      EXPECT_EQ(s.categoryCombo->count(), 4);  // no editor entry
      // The window's choices; the second time those the first search handed back.
      EXPECT_EQ(s.categoryCombo->currentText(), searches == 1 ? "飾品" : "全部");
      EXPECT_EQ(s.shippedOption->isChecked(), searches == 1);
      EXPECT_FALSE(s.keepResultsCheck->isChecked());
      s.categoryCombo->setCurrentIndex(0);
      s.unshippedOption->setChecked(true);
      s.productNameEdit->setText("E");
      s.keepResultsCheck->setChecked(searches == 2);
      s.onSearch();
      EXPECT_EQ(s.result(), QDialog::Accepted);
    };
    f.onSearch();
    EXPECT_EQ(names(*f.lineList), QStringList{"E"});
    EXPECT_EQ(f.productCategoryCombo->currentIndex(), 0);
    EXPECT_TRUE(f.unshippedOption->isChecked());
    EXPECT_EQ(f.customerCategoryCombo->currentText(), "露天拍賣");  // period and customer category untouched
    EXPECT_EQ(f.periodCombo->currentText(), "整年");
    f.onSearch();  // kept: the line twice; totals of this run only
    EXPECT_EQ(names(*f.lineList), (QStringList{"E", "E"}));
    // E is the last of its order's three lines: it takes what the others leave of the 100.
    EXPECT_EQ(f.statusLabel->text(), " 共 2 筆資料， 5 件商品，售價總計 -33.3333333333334 ，成本總計 5 ，結餘 -38.3333333333334");

    // A bad date keeps the dialog and the list.
    f.runSearch = [&](StockSearch& s) {
      s.dateFromEdit->setText("2024/1/1");
      s.onSearch();
      EXPECT_EQ(prompt.texts().back(), StockList::DateMessage);
      EXPECT_NE(s.result(), QDialog::Accepted);
    };
    f.onSearch();
    EXPECT_EQ(f.lineList->rowCount(), 2);
  });

  // The search writes the cost total even while costs are hidden.
  db.HideCost = true;
  open(StockForm::MainFilters{}, [&](StockForm& f) {
    f.runSearch = [&](StockSearch& s) {
      s.orderNumberEdit->setText("2401");
      s.onSearch();
    };
    f.onSearch();
    EXPECT_EQ(f.statusLabel->text(), " 共 2 筆資料， 3 件商品，售價總計 335 ，成本總計 108 ，結餘 227");
  });
}

// "列出選擇的訂單" lists each selected line's order once, in the main list, and closes.
TEST_F(StockFormTest, ListsTheOrdersOfTheSelectedLines) {
  host.username = true;
  open(StockForm::MainFilters{}, [&](StockForm& f) {
    ASSERT_EQ(names(*f.lineList), (QStringList{"A", "B", "D", "E", "F", "G", "H"}));
    for (int r : {0, 2, 3, 1}) f.lineList->setSelected(r, true);
    f.onListOrders();
    EXPECT_EQ(f.result(), QDialog::Accepted);
  });
  EXPECT_EQ(host.keys(), (QStringList{"2402000002", "2401000001"}));
  EXPECT_EQ(host.rows[0][2], "amy (王小美)");
  EXPECT_EQ(host.panels[0], "應收帳款: 748 ");
  EXPECT_EQ(host.panels[6], " 共 2 筆資料");
  EXPECT_EQ(host.shortageRuns, 1);

  // Nothing selected: an empty list, and the shortage list emptied when not unshipped.
  host.unshipped = false;
  open(StockForm::MainFilters{}, [&](StockForm& f) { f.onListOrders(); });
  EXPECT_TRUE(host.rows.empty());
  EXPECT_EQ(host.panels[6], "沒有找到符合的訂單");
  EXPECT_EQ(host.shortageClears, 1);
}

TEST_F(StockFormTest, LinksPicturesAndExport) {
  std::vector<QUrl> opened;
  bool taken = true;
  Shell::openHook = [&](const QUrl& u) {
    opened.push_back(u);
    return taken;
  };
  TestDir dir;
  db.DataBasePath = dir.path();
  QImage(40, 30, QImage::Format_RGB32).save(dir.file("a.png"));
  dir.put("bad.jpg", "not a picture");
  const auto picture = [&](const char* name, const char* category, const QString& path) {
    const int r = db.Images.append(name);
    db.Images.setCell(r, ImagesCell::ImageCategory, category);
    db.Images.setCell(r, ImagesCell::ImagePath, path);
  };
  picture("A", "飾品", "<DataBasePath>a.png");
  picture("D", "文具", "<DataBasePath>gone.png");
  picture("E", "飾品", "<DataBasePath>bad.jpg");

  open(StockForm::MainFilters{}, [&](StockForm& f) {
    int viewers = 0;
    f.runViewer = [&](ImagesForm& v) {
      ++viewers;
      EXPECT_EQ(v.pictureLabel->pixmap().size(), QSize(40, 30));
    };
    f.lineList->setCurrentRow(0);  // A
    f.onOpenLink();
    f.onViewPicture();
    EXPECT_EQ(viewers, 1);
    f.lineList->setCurrentRow(1);  // B: no URL, no picture row
    f.onOpenLink();
    f.onViewPicture();
    f.lineList->setCurrentRow(2);  // D: a mail address is no web address; the picture is gone
    f.onOpenLink();
    f.onViewPicture();
    f.lineList->setCurrentRow(3);  // E: a file that is no picture
    f.onViewPicture();
    EXPECT_EQ(viewers, 1);
    EXPECT_EQ(prompt.texts(), (QStringList{"找不到圖片檔案!", "發生錯誤!"}));
    EXPECT_EQ(prompt.shown[0].title, "注意");

    // No browser: the seller is told which address was not opened.
    taken = false;
    f.lineList->setCurrentRow(0);
    f.onOpenLink();
    taken = true;
    EXPECT_EQ(prompt.texts().last(), "無法用瀏覽器開啟網址（找不到可以開啟網頁的程式）：\nhttp://shop.example/a");
    EXPECT_EQ(prompt.shown.back().title, "注意");

    int exports = 0;
    f.runExport = [&](int ex, const QString& section, const std::vector<ExportOffer>& offers) {
      ++exports;
      EXPECT_EQ(ex, 4);
      EXPECT_EQ(section, "StockForm");
      ASSERT_EQ(offers.size(), 9u);
      EXPECT_EQ(offers[0].caption, "訂單編號");
      EXPECT_EQ(offers[8].caption, "網址");
      EXPECT_EQ(offers[8].code, 8);
    };
    f.onExport();
    EXPECT_EQ(exports, 1);
    f.onSelectAll();
    EXPECT_EQ(f.lineList->selectedRows().size(), 7u);
  });
  Shell::openHook = nullptr;
  ASSERT_EQ(opened.size(), 2u);
  EXPECT_EQ(opened[0].toString(), "http://shop.example/a");
}
