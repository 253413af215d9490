#include "products/PurchaseWindows.h"

#include <QAction>
#include <QApplication>
#include <QPointer>
#include <QPushButton>
#include <exception>

#include "platform/ListView.h"
#include "platform/Prompt.h"
#include "products/ManufForm.h"
#include "purchasing/ManufBatch.h"
#include "purchasing/ManufStock.h"
#include "store/Database.h"

namespace PurchaseWindows {

namespace {

// Holds the main window's product-window opener as one of its children.
class Opener : public QObject {
 public:
  Opener(QObject* parent, std::function<ManufForm*()> f) : QObject(parent), open(std::move(f)) {}
  std::function<ManufForm*()> open;
};

std::function<ManufForm*()> openerOf(QWidget* w) {
  for (; w; w = w->parentWidget())
    for (QObject* o : w->children())
      if (auto* op = dynamic_cast<Opener*>(o)) return op->open;
  return {};
}

}  // namespace

void attach(ManufForm& pf, Database& db, Prompt& prompt) {
  pf.purchaseRecordsButton->setEnabled(true);
  for (QAction* a : {pf.purchaseSheetAction, pf.addSelectedToSheetAction, pf.addToSheetAction}) a->setEnabled(true);
  QObject::connect(pf.purchaseRecordsButton, &QPushButton::clicked, &pf, [&pf, &db, &prompt] { openRecords(pf, db, prompt); });
  QObject::connect(pf.purchaseSheetAction, &QAction::triggered, &pf, [&pf, &db, &prompt] { openSheet(pf, db, prompt); });
  QObject::connect(pf.addSelectedToSheetAction, &QAction::triggered, &pf, [&pf, &db, &prompt] { feedSheet(pf, db, prompt); });
  QObject::connect(pf.addToSheetAction, &QAction::triggered, &pf, [&pf, &db, &prompt] { feedSheet(pf, db, prompt); });
}

void openRecords(ManufForm& pf, Database& db, Prompt& prompt) {
  ListView* list = pf.productList;
  if (list->rowCount() == 0) return;
  try {
    int row = list->currentRow();
    if (row < 0) {
      const std::vector<int> selected = list->selectedRows();
      row = selected.empty() ? 0 : selected.front();
    }
    const int r = list->tableIndex(row);
    if (r < 1 || r > db.Manuf.count()) throw std::exception();
    QPointer<ManufForm> window(&pf);
    ManufStock::run(db, prompt, &pf, db.Manuf.key(r), [window] {
      if (window) window->ManufShow();
    });
  } catch (const std::exception&) {
    prompt.message(QStringLiteral("發生錯誤!"), Prompt::Icon::Information);
  }
}

ManufBatch* openedSheet() {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* b = qobject_cast<ManufBatch*>(w); b && b->isVisible()) return b;
  return nullptr;
}

ManufBatch* openSheet(ManufForm& pf, Database& db, Prompt& prompt) {
  ManufBatch* sheet = openedSheet();
  if (!sheet) {
    // The sheet may outlive the product window: it belongs to the main window.
    sheet = new ManufBatch(db, prompt, pf.parentWidget());
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    sheet->openProductWindow = openerOf(pf.parentWidget());
  }
  sheet->productWindow = &pf;
  pf.setSheetUse(true);
  sheet->show();
  sheet->raise();
  sheet->activateWindow();
  return sheet;
}

void feedSheet(ManufForm& pf, Database& db, Prompt& prompt) {
  std::vector<int> rows;
  for (int r : pf.productList->selectedRows()) rows.push_back(pf.productList->tableIndex(r));
  ManufBatch* sheet = openSheet(pf, db, prompt);
  sheet->addProducts(rows);
  sheet->MoneyShow();
}

void setProductWindowOpener(QWidget* mainWindow, std::function<ManufForm*()> opener) {
  if (!mainWindow) return;
  for (QObject* o : mainWindow->children())
    if (auto* op = dynamic_cast<Opener*>(o)) {
      op->open = std::move(opener);
      return;
    }
  new Opener(mainWindow, std::move(opener));
}

void closeSheets() {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* b = qobject_cast<ManufBatch*>(w)) b->close();
}

}  // namespace PurchaseWindows
