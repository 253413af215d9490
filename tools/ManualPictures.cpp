#include "ManualPictures.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <cstdio>

#include "admin/OpenForm.h"
#include "admin/SetForm.h"
#include "customers/GuestForm.h"
#include "customers/GuestInput.h"
#include "expenses/ExpendForm.h"
#include "mainwindow/OrderForm.h"
#include "ordereditor/OrderInput.h"
#include "platform/ListView.h"
#include "platform/QtPrompt.h"
#include "platform/Shell.h"
#include "printouts/ExportForm.h"
#include "printouts/OrderStock.h"
#include "products/ManufForm.h"
#include "products/PurchaseWindows.h"
#include "purchasing/ManufBatch.h"
#include "purchasing/ManufInput.h"
#include "purchasing/ManufStock.h"
#include "purchasing/ManufStockInput.h"
#include "reports/ManufTop.h"
#include "store/Database.h"

namespace {

QString dir;

void settle() {
  for (int i = 0; i < 5; ++i) QApplication::processEvents();
}

void save(QWidget& w, const QString& name) {
  settle();
  const QString path = dir + name + QStringLiteral(".png");
  w.grab().save(path);
  std::printf("%s\n", path.toLocal8Bit().constData());
}

// Shows a window at a size, takes it and hides it again.
void shoot(QWidget& w, const QString& name, QSize size = {}) {
  w.show();
  if (size.isValid()) w.resize(size);
  save(w, name);
  w.hide();
}

// The list row whose first column reads `key`, selected alone.
int selectKey(ListView& list, const QString& key) {
  for (int r = 0; r < list.rowCount(); ++r)
    if (list.text(r, 0) == key) {
      list.setCurrentRow(r);
      return r;
    }
  return -1;
}

void selectAllRows(ListView& list) {
  for (int r = 0; r < list.rowCount(); ++r) list.setSelected(r, true);
}

int manufRow(const Database& db, const QString& name) {
  for (int r = 1; r <= db.Manuf.count(); ++r)
    if (db.Manuf.cell(r, 0) == name) return r;
  return 0;
}

}  // namespace

void takeManualPictures(OrderForm& window, const QString& folder) {
  dir = folder.endsWith(u'/') ? folder : folder + u'/';
  QDir().mkpath(dir);
  Database& db = window.db();
  QtPrompt prompt;
  const QString year = window.yearEdit->text();
  const QString lastOrder = year.right(2) + QStringLiteral("03000006");

  // The main window with the customers' names, unshipped orders listed.
  window.showNamesAction->setChecked(true);
  window.OrderShow();
  // Narrower columns than the designed ones, so that every column shows.
  const int widths[] = {1600, 1400, 2500, 1500, 800, 1200, 800, 1400, 1400, 1300, 800, 2200};
  for (int c = 0; c < 12; ++c) window.orderList->setColumnWidthTwips(c, widths[c]);
  window.resize(1160, 560);
  selectKey(*window.orderList, lastOrder);
  save(window, QStringLiteral("main-window"));

  // The order editor on the last order.
  {
    OrderInput editor(db, prompt, window, &window);
    editor.setupEditOrder(selectKey(*window.orderList, lastOrder));
    shoot(editor, QStringLiteral("order-editor"), {800, 640});
  }

  // The shipping note of the last order: the page the browser would show.
  {
    db.TempPath = dir;
    QString opened;
    Shell::openHook = [&opened](const QUrl& u) {
      opened = u.toLocalFile();
      return true;
    };
    selectKey(*window.orderList, lastOrder);
    window.onSelectedShippingNotes();
    Shell::openHook = nullptr;
    if (!opened.isEmpty()) {
      QFile::remove(dir + QStringLiteral("shipping-note.htm"));
      QFile::rename(opened, dir + QStringLiteral("shipping-note.htm"));
    }
  }

  // The export chooser and the picking list of the listed orders.
  selectAllRows(*window.orderList);
  ExportForm::showHook = [](ExportForm& f) {
    for (int r : {0, 2, 4, 8, 12}) f.fieldList->setChecked(r, true);
    shoot(f, QStringLiteral("export-chooser"));
  };
  window.onExportSelected();
  ExportForm::showHook = nullptr;
  OrderStock::showHook = [](OrderStock& f) { shoot(f, QStringLiteral("picking-list"), {560, 360}); };
  window.onPickingList();
  OrderStock::showHook = nullptr;

  // Customers: the window and the dialog.
  window.onCustomers();
  if (GuestForm* customers = window.guestWindow()) {
    customers->resize(900, 500);
    selectKey(*customers->customerList, QStringLiteral("tea_lover"));
    save(*customers, QStringLiteral("customer-window"));
    GuestInput dlg(db, prompt, customers);
    dlg.openEdit(2, 1);
    shoot(dlg, QStringLiteral("customer-dialog"));
    customers->close();
  }

  // Products: the window, the dialog, a purchase with the cost preview, the
  // purchase records, the purchase sheet and the sales ranking.
  window.onProducts();
  if (ManufForm* products = window.manufWindow()) {
    products->resize(900, 520);
    selectKey(*products->productList, QStringLiteral("青花茶杯"));
    save(*products, QStringLiteral("product-window"));
    {
      ManufInput dlg(db, prompt, products);
      products->prepareEdit(dlg);
      shoot(dlg, QStringLiteral("product-dialog"));
      ManufStockInput purchase(db, prompt, &dlg);
      purchase.prepareNew(QStringLiteral("青花茶杯"), dlg.costEdit, dlg.stockEdit);
      purchase.show();
      purchase.amountEdit->setText(QStringLiteral("200"));
      purchase.qtyEdit->setText(QStringLiteral("6"));
      purchase.purchaseNoEdit->setText(QStringLiteral("P0315"));
      purchase.recomputeCostCheck->setChecked(true);
      purchase.updateCostPreview();
      shoot(purchase, QStringLiteral("purchase-dialog"));
    }
    {
      ManufStock records(db, prompt, products);
      records.openFor(QStringLiteral("青花茶杯"));
      records.recordList->setColumnWidthTwips(0, 1500);  // the whole date
      shoot(records, QStringLiteral("purchase-records"));
    }
    if (ManufBatch* sheet = PurchaseWindows::openSheet(*products, db, prompt)) {
      sheet->addProducts({manufRow(db, QStringLiteral("青花茶杯")), manufRow(db, QStringLiteral("馬克杯"))});
      sheet->resize(760, 460);
      save(*sheet, QStringLiteral("purchase-sheet"));
      sheet->close();
    }
    if (ManufTop* ranking = ManufTop::showBeside(db, prompt, products)) {
      ranking->yearEdit->setText(year);
      ranking->onRank();
      save(*ranking, QStringLiteral("sales-ranking"));
      ranking->close();
    }
    products->close();
  }

  // Expenses of this year.
  window.onExpenses();
  if (ExpendForm* expenses = window.expendWindow()) {
    expenses->resize(860, 520);
    save(*expenses, QStringLiteral("expenses"));
    expenses->close();
  }

  // General settings and the database manager.
  {
    SetForm::Hooks hooks;
    hooks.listFontSize = [&window] { return window.orderList->font().pointSizeF(); };
    hooks.applyListFontSize = [](int) {};
    hooks.CheckViewMoney = [] {};
    SetForm settings(db, prompt, hooks, &window);
    shoot(settings, QStringLiteral("settings"));
  }
  {
    // As on a seller's computer, with a second database of last year's books.
    const QString home = QStringLiteral("/home/seller/");
    db.DataBaseList = {QStringLiteral("預設資料庫") + QChar(1) + home + QStringLiteral(".local/share/Kestrin/Kestrin/"),
                       QStringLiteral("去年的帳") + QChar(1) + home + QStringLiteral("帳本/去年/")};
    OpenForm manager(db, prompt, window, &window);
    manager.Form_Load();
    shoot(manager, QStringLiteral("database-manager"));
  }
}
