#include "printouts/OrderLines.h"

#include "products/ProductLookup.h"
#include "store/Database.h"

OrderLineIndex::OrderLineIndex(const Table& stock, const std::vector<QString>& orderNumbers) {
  slot_.reserve(static_cast<qsizetype>(orderNumbers.size()));
  for (const QString& no : orderNumbers) {
    if (!slot_.contains(no)) {
      slot_.insert(no, static_cast<int>(rows_.size()));
      rows_.emplace_back();
    }
  }
  if (rows_.empty()) return;
  for (int r = 1, n = stock.count(); r <= n; ++r) {
    const auto it = slot_.constFind(stock.key(r));
    if (it != slot_.constEnd()) rows_[static_cast<size_t>(*it)].push_back(r);
  }
}

const std::vector<int>& OrderLineIndex::rows(const QString& orderNo) const {
  static const std::vector<int> none;
  const auto it = slot_.constFind(orderNo);
  return it == slot_.constEnd() ? none : rows_[static_cast<size_t>(*it)];
}

PictureIndex::PictureIndex(const Database& db) : db_(db) {
  const Table& t = db.Images;
  first_.reserve(t.count());
  for (int r = t.count(); r >= 1; --r)  // from the last, so the first row of a pair stays
    first_.insert({t.cell(r, ImagesCell::ImageProduct), t.cell(r, ImagesCell::ImageCategory)}, r);
}

QString PictureIndex::path(const QString& name, const QString& category) const {
  const int r = first_.value({name, category}, 0);
  if (r == 0) return {};
  return ProductLookup::picturePathFromStorage(db_, db_.Images.cell(r, ImagesCell::ImagePath));
}
