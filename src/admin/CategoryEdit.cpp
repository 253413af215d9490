#include "admin/CategoryEdit.h"

#include <QSet>
#include <algorithm>
#include <utility>

#include "store/Database.h"

namespace CategoryEdit {

namespace {

const QString kProduct = QStringLiteral("編輯商品分類");
const QString kCustomer = QStringLiteral("編輯客戶分類");
const QString kExpense = QStringLiteral("編輯費用分類");
const QString kUncategorised = QStringLiteral("未分類");

int replaceIn(Table& t, int column, const QString& from, const QString& to) {
  int changed = 0;
  const int n = t.count();
  for (int r = 1; r <= n; ++r) {
    if (t.cell(r, column) == from) {
      t.setCell(r, column, to);
      ++changed;
    }
  }
  return changed;
}

// Key texts of the rows of table t whose category cell equals `category`.
QSet<QString> keysIn(const Table& t, int column, const QString& category) {
  QSet<QString> keys;
  const int n = t.count();
  for (int r = 1; r <= n; ++r)
    if (t.cell(r, column) == category) keys.insert(t.key(r));
  return keys;
}

}  // namespace

Kind kindOf(const QString& c) {
  if (c == kProduct) return Kind::Product;
  if (c == kCustomer) return Kind::Customer;
  if (c == kExpense) return Kind::Expense;
  return Kind::None;
}

QString caption(Kind kind) {
  switch (kind) {
    case Kind::Product: return kProduct;
    case Kind::Customer: return kCustomer;
    case Kind::Expense: return kExpense;
    case Kind::None: break;
  }
  return {};
}

int capacity(Kind kind) {
  switch (kind) {
    case Kind::Product: return Capacity::ProductCategories;
    case Kind::Customer: return Capacity::CustomerCategories;
    case Kind::Expense: return Capacity::ExpenseCategories;
    case Kind::None: break;
  }
  return 0;
}

QString word(Kind kind) {
  switch (kind) {
    case Kind::Product: return QStringLiteral("商品分類");
    case Kind::Customer: return QStringLiteral("客戶分類");
    case Kind::Expense: return QStringLiteral("分類");
    case Kind::None: break;
  }
  return {};
}

QStringList& list(Database& db, Kind kind) {
  switch (kind) {
    case Kind::Product: return db.settings.ProductCategories;
    case Kind::Customer: return db.settings.CustomerCategories;
    case Kind::Expense:
    case Kind::None: break;
  }
  return db.settings.ExpenseCategories;
}

QString cleanName(const QString& typed) {
  QString s = typed;
  s.remove(QLatin1Char('"'));
  s.remove(QChar(0x201D));
  return s.trimmed();
}

QStringList clashes(const Database& db, Kind kind, const QString& from, const QString& to) {
  if (from == to) return {};
  const Table* t = nullptr;
  int column = 0;
  if (kind == Kind::Product) {
    t = &db.Manuf;
    column = ManufCell::ProductCategory;
  } else if (kind == Kind::Customer) {
    t = &db.Guest;
    column = GuestCell::CustomerCategory;
  } else {
    return {};
  }
  const QSet<QString> there = keysIn(*t, column, to);
  QStringList both;
  if (there.isEmpty()) return both;
  QSet<QString> seen;
  const int n = t->count();
  for (int r = 1; r <= n; ++r) {
    const QString& key = t->key(r);
    if (t->cell(r, column) == from && there.contains(key) && !seen.contains(key)) {
      seen.insert(key);
      both << key;
    }
  }
  return both;
}

int rename(Database& db, Kind kind, const QString& from, const QString& to) {
  int changed = 0;
  switch (kind) {
    case Kind::Product:
      changed += replaceIn(db.Manuf, ManufCell::ProductCategory, from, to);
      changed += replaceIn(db.Stock, StockCell::LineCategory, from, to);
      // A picture is found by product name and category: it follows its product.
      changed += replaceIn(db.Images, ImagesCell::ImageCategory, from, to);
      break;
    case Kind::Customer:
      changed += replaceIn(db.Guest, GuestCell::CustomerCategory, from, to);
      changed += replaceIn(db.Order, OrderCell::BuyerCategory, from, to);
      break;
    case Kind::Expense:
      changed += replaceIn(db.Expend, ExpendCell::ExpendCategory, from, to);
      db.ExpendDirty = true;
      break;
    case Kind::None: break;
  }
  return changed;
}

int remove(Database& db, Kind kind, const QString& name) { return rename(db, kind, name, kUncategorised); }

void moveUp(QStringList& entries, std::vector<bool>& selected) {
  const auto n = static_cast<qsizetype>(std::min<size_t>(selected.size(), static_cast<size_t>(entries.size())));
  for (qsizetype i = 1; i < n; ++i) {
    const auto a = static_cast<size_t>(i - 1), b = static_cast<size_t>(i);
    if (selected[b] && !selected[a]) {
      entries.swapItemsAt(i - 1, i);
      std::vector<bool>::swap(selected[a], selected[b]);
    }
  }
}

void moveDown(QStringList& entries, std::vector<bool>& selected) {
  const auto n = static_cast<qsizetype>(std::min<size_t>(selected.size(), static_cast<size_t>(entries.size())));
  for (qsizetype i = n - 2; i >= 0; --i) {
    const auto a = static_cast<size_t>(i), b = static_cast<size_t>(i + 1);
    if (selected[a] && !selected[b]) {
      entries.swapItemsAt(i, i + 1);
      std::vector<bool>::swap(selected[a], selected[b]);
    }
  }
}

}  // namespace CategoryEdit
