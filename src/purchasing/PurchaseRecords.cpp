#include "purchasing/PurchaseRecords.h"

#include <QHash>
#include <algorithm>
#include <numeric>

#include "platform/Numbers.h"
#include "platform/TextOrder.h"
#include "purchasing/PurchaseCost.h"
#include "store/CellNumber.h"
#include "store/Database.h"

namespace PurchaseRecords {

PurchaseRecord read(const Database& db, int row) {
  const Table& t = db.ManufStock;
  PurchaseRecord r;
  r.date = t.cell(row, ManufStockCell::PurchaseDate);
  r.product = t.cell(row, ManufStockCell::PurchaseProduct);
  r.kind = t.cell(row, ManufStockCell::PurchaseKind);
  r.qty = t.cell(row, ManufStockCell::PurchaseQty);
  r.supplier = t.cell(row, ManufStockCell::PurchaseSupplier);
  r.no = t.cell(row, ManufStockCell::PurchaseNo);
  r.amount = t.cell(row, ManufStockCell::PurchaseAmount);
  r.note = t.cell(row, ManufStockCell::PurchaseNote);
  return r;
}

void rewrite(Database& db, int row, const PurchaseRecord& rec) {
  Table& t = db.ManufStock;
  t.setCell(row, ManufStockCell::PurchaseDate, rec.date);
  t.setCell(row, ManufStockCell::PurchaseProduct, rec.product);
  t.setCell(row, ManufStockCell::PurchaseKind, rec.kind);
  t.setCell(row, ManufStockCell::PurchaseQty, rec.qty);
  t.setCell(row, ManufStockCell::PurchaseSupplier, rec.supplier);
  t.setCell(row, ManufStockCell::PurchaseNo, rec.no);
  t.setCell(row, ManufStockCell::PurchaseAmount, rec.amount);
  t.setCell(row, ManufStockCell::PurchaseNote, rec.note);
}

int append(Database& db, const PurchaseRecord& rec) {
  const int row = db.ManufStock.append(rec.date);
  rewrite(db, row, rec);
  return row;
}

int firstProductNamed(const Database& db, const QString& name) {
  const Table& m = db.Manuf;
  for (int r = 1, n = m.count(); r <= n; ++r)
    if (m.cell(r, ManufCell::ProductName) == name) return r;
  return 0;
}

namespace {

void takeBackRecord(Database& db, int product, const PurchaseRecord& rec) {
  if (product <= 0) return;
  Table& m = db.Manuf;
  const auto r = PurchaseCost::takeBack(Num::leading(m.cell(product, ManufCell::ProductCost)),
                                        Num::leading(m.cell(product, ManufCell::ProductStock)),
                                        Num::leading(rec.qty), Num::leading(rec.amount), rec.kind == kPurchase);
  PurchaseCost::store(m, product, r);
}

}  // namespace

void edit(Database& db, int row, const PurchaseRecord& rec, bool recompute, int digits) {
  if (row < 1 || row > db.ManufStock.count()) return;
  if (recompute) takeBackRecord(db, firstProductNamed(db, read(db, row).product), read(db, row));
  rewrite(db, row, rec);
  if (!recompute) return;
  const int p = firstProductNamed(db, rec.product);
  if (p <= 0) return;
  const PurchaseRecord stored = read(db, row);
  Table& m = db.Manuf;
  const auto r = PurchaseCost::applyEdited(Num::leading(m.cell(p, ManufCell::ProductCost)),
                                           Num::leading(m.cell(p, ManufCell::ProductStock)),
                                           Num::leading(stored.qty), Num::leading(stored.amount),
                                           stored.kind == kPurchase, digits);
  PurchaseCost::store(m, p, r);
}

void remove(Database& db, const std::vector<int>& rows, bool recompute) {
  const int n = db.ManufStock.count();
  std::vector<int> valid;
  valid.reserve(rows.size());
  for (int r : rows)
    if (r >= 1 && r <= n) valid.push_back(r);
  if (recompute && !valid.empty()) {
    // The first product row of every name, built once.
    QHash<QString, int> firstRow;
    const Table& m = db.Manuf;
    for (int r = m.count(); r >= 1; --r) firstRow.insert(m.cell(r, ManufCell::ProductName), r);
    for (int r : valid) {
      const PurchaseRecord rec = read(db, r);
      takeBackRecord(db, firstRow.value(rec.product), rec);
    }
  }
  db.ManufStock.removeRows(valid);
}

// ---- the list ----

QString Listing::moneyText() const {
  QString s = QStringLiteral("進貨總金額: ") + purchaseTotal.toText();
  if (!returnTotal.isZero()) s += QStringLiteral("，退貨總金額: ") + returnTotal.toText();
  return s;
}

QString Listing::countText() const {
  return QStringLiteral(" 共 ") + QString::number(rows.size()) + QStringLiteral(" 筆記錄");
}

namespace {

template <class Pass>
Listing build(const Database& db, Pass pass) {
  const Table& t = db.ManufStock;
  const int n = t.count();
  std::vector<int> picked;
  picked.reserve(static_cast<size_t>(n));
  for (int i = 1; i <= n; ++i)
    if (pass(i)) picked.push_back(i);
  // Latest date first (the dates compared as text), records of one date in
  // table order. Dates repeat: each distinct one is compared, then the
  // records fall into place by its rank.
  {
    std::vector<int> slot(t.valueIdCount(), -1);
    std::vector<uint32_t> distinct;
    for (int i : picked) {
      int& k = slot[t.valueId(i, 0)];
      if (k < 0) {
        k = static_cast<int>(distinct.size());
        distinct.push_back(t.valueId(i, 0));
      }
    }
    std::vector<int> order(distinct.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](int a, int b) {
      return QString::compare(t.valueText(distinct[static_cast<size_t>(a)]), t.valueText(distinct[static_cast<size_t>(b)])) > 0;
    });
    std::vector<int> rank(distinct.size());
    int levels = 0;
    for (size_t k = 0; k < order.size(); ++k) {
      if (k > 0 && t.valueText(distinct[static_cast<size_t>(order[k - 1])]) != t.valueText(distinct[static_cast<size_t>(order[k])]))
        ++levels;
      rank[static_cast<size_t>(order[k])] = levels;
    }
    std::vector<int> rankOfPicked(picked.size());
    for (size_t k = 0; k < picked.size(); ++k) rankOfPicked[k] = rank[static_cast<size_t>(slot[t.valueId(picked[k], 0)])];
    const std::vector<int> perm = TextOrder::byRank(rankOfPicked, order.empty() ? 0 : levels + 1, false);
    std::vector<int> sorted(picked.size());
    for (size_t k = 0; k < perm.size(); ++k) sorted[k] = picked[static_cast<size_t>(perm[k])];
    picked = std::move(sorted);
  }
  Listing l;
  l.rows.reserve(picked.size());
  for (int i : picked) {
    const QString& qty = t.cell(i, ManufStockCell::PurchaseQty);
    const QString& amount = t.cell(i, ManufStockCell::PurchaseAmount);
    const QString& kind = t.cell(i, ManufStockCell::PurchaseKind);
    l.rows.push_back({t.key(i), t.cell(i, ManufStockCell::PurchaseProduct), kind, amount, qty,
                      t.cell(i, ManufStockCell::PurchaseSupplier), t.cell(i, ManufStockCell::PurchaseNo),
                      t.cell(i, ManufStockCell::PurchaseNote), QString::number(i)});
    const Decimal value = Decimal::leading(qty) * Decimal::leading(amount);
    if (kind == kPurchase)
      l.purchaseTotal += value;
    else
      l.returnTotal += value;
  }
  return l;
}

}  // namespace

Listing list(const Database& db, const Filter& f) {
  const Table& t = db.ManufStock;
  const bool anySupplier = f.supplier == kAll;
  const double yearNumber = Num::leading(f.year);
  const int month = f.period - 1;
  return build(db, [&](int i) {
    if (!anySupplier && t.cell(i, ManufStockCell::PurchaseSupplier) != f.supplier) return false;
    if (!f.allProducts && t.cell(i, ManufStockCell::PurchaseProduct) != f.product) return false;
    if (f.period == 1) return t.key(i).left(4) == f.year;
    if (f.period >= 2) {
      const QString& date = t.key(i);
      const qsizetype first = date.indexOf(u'/');
      if (first < 0) return false;
      const qsizetype second = date.indexOf(u'/', first + 1);
      const QString monthPart = date.mid(first + 1, second < 0 ? -1 : second - first - 1);
      return cellNumber(date.left(first)) == yearNumber && cellNumber(monthPart) == month;
    }
    return true;
  });
}

Listing search(const Database& db, const QString& supplier, const QString& text) {
  const Table& t = db.ManufStock;
  const bool anySupplier = supplier == kAll;
  return build(db, [&](int i) {
    if (!anySupplier && t.cell(i, ManufStockCell::PurchaseSupplier) != supplier) return false;
    return t.cell(i, ManufStockCell::PurchaseNo).contains(text, Qt::CaseInsensitive);
  });
}

}  // namespace PurchaseRecords
