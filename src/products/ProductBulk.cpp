#include "products/ProductBulk.h"

#include <QHash>
#include <QSet>

#include "platform/Numbers.h"
#include "platform/Prompt.h"
#include "store/Database.h"
#include "store/TextEntry.h"

namespace ProductBulk {

namespace {

using Pair = std::pair<QString, QString>;
const QString kTitle = QStringLiteral("變更");
const QString kUncategorised = QStringLiteral("未分類");

int cellOf(Field f) {
  switch (f) {
    case Field::Stock: return ManufCell::ProductStock;
    case Field::Price: return ManufCell::ProductPrice;
    case Field::Cost: return ManufCell::ProductCost;
  }
  return ManufCell::ProductStock;
}

// Distinct valid rows, in the order given.
std::vector<int> validRows(const Table& t, const std::vector<int>& rows) {
  std::vector<int> out;
  QSet<int> seen;
  for (int r : rows)
    if (r >= 1 && r <= t.count() && !seen.contains(r)) {
      seen.insert(r);
      out.push_back(r);
    }
  return out;
}

// True when moving these rows to the category would give a product the
// name and category of another one: for each product that moves, any other
// product of its name that stands in the category afterwards (a chosen one
// always does).
bool wouldDuplicate(const Table& t, const std::vector<int>& rows, const QString& category) {
  const QSet<int> chosen(rows.begin(), rows.end());
  QSet<QString> movingNames;
  for (int r : rows)
    if (t.cell(r, ManufCell::ProductCategory) != category) movingNames.insert(t.cell(r, ManufCell::ProductName));
  if (movingNames.isEmpty()) return false;
  QHash<QString, int> endingThere;  // name -> products of that name in the category afterwards
  for (int r = 1, n = t.count(); r <= n; ++r) {
    const QString& name = t.cell(r, ManufCell::ProductName);
    if (!movingNames.contains(name)) continue;
    if (chosen.contains(r) || t.cell(r, ManufCell::ProductCategory) == category) ++endingThere[name];
  }
  for (auto it = endingThere.constBegin(); it != endingThere.constEnd(); ++it)
    if (it.value() > 1) return true;
  return false;
}

}  // namespace

QString question(Field f) {
  switch (f) {
    case Field::Stock: return QStringLiteral("請輸入您要變更的庫存數");
    case Field::Price: return QStringLiteral("請輸入您要變更的售價");
    case Field::Cost: return QStringLiteral("請輸入您要變更的成本");
  }
  return {};
}

bool hasLeadingNumber(const QString& text) {
  qsizetype i = 0;
  const qsizetype n = text.size();
  while (i < n && text[i].isSpace()) ++i;
  if (i < n && (text[i] == u'+' || text[i] == u'-')) ++i;
  if (i < n && text[i].isDigit() && text[i].unicode() < 128) return true;
  return i + 1 < n && text[i] == u'.' && text[i + 1] >= u'0' && text[i + 1] <= u'9';
}

bool setValue(Database& db, Prompt& prompt, Field field, const std::vector<int>& manufRows) {
  const std::optional<QString> answer = prompt.input(question(field), kTitle, QString());
  if (!answer || answer->isEmpty()) return false;
  if (!hasLeadingNumber(*answer)) return false;
  const QString value = Num::format(Num::leading(*answer));
  const int cell = cellOf(field);
  for (int r : validRows(db.Manuf, manufRows)) db.Manuf.setCell(r, cell, value);
  db.setDirty(true);
  return true;
}

CategoryResult setCategory(Database& db, Prompt& prompt, const std::vector<int>& manufRows) {
  CategoryResult res;
  const std::optional<QString> answer = prompt.input(QStringLiteral("請輸入您要變更的分類名稱"), kTitle, QString());
  if (!answer || answer->isEmpty()) return res;
  if (!TextEntry::acceptable(prompt, {{QStringLiteral("商品分類"), *answer}})) return res;
  const QString category = TextEntry::cleanName(*answer);
  if (category.isEmpty()) return res;
  res.category = category;
  Table& manuf = db.Manuf;
  const std::vector<int> rows = validRows(manuf, manufRows);
  if (wouldDuplicate(manuf, rows, category)) {
    prompt.warn(QStringLiteral("該分類已經有相同名稱的商品，無法新增"));
    return res;
  }
  QStringList& list = db.settings.ProductCategories;
  if (category != kUncategorised && !list.contains(category) && list.size() < Capacity::ProductCategories) {
    list << category;
    res.categoryAdded = true;
  }
  if (!prompt.askYesNo(QStringLiteral("訂單內的商品分類將會一併變更，繼續嗎?"), QString(), Prompt::Icon::Question))
    return res;

  // Old (name, category) of each product -> the new category.
  QSet<Pair> moving;
  for (int r : rows) moving.insert(Pair(manuf.cell(r, ManufCell::ProductName), manuf.cell(r, ManufCell::ProductCategory)));
  Table& stock = db.Stock;
  for (int r = 1, n = stock.count(); r <= n; ++r)
    if (moving.contains(Pair(stock.cell(r, StockCell::LineName), stock.cell(r, StockCell::LineCategory))))
      stock.setCell(r, StockCell::LineCategory, category);
  Table& images = db.Images;
  QSet<Pair> pictureDone;
  for (int r = 1, n = images.count(); r <= n; ++r) {
    const Pair p(images.cell(r, ImagesCell::ImageProduct), images.cell(r, ImagesCell::ImageCategory));
    if (!moving.contains(p) || pictureDone.contains(p)) continue;
    pictureDone.insert(p);
    images.setCell(r, ImagesCell::ImageCategory, category);
  }
  for (int r : rows) manuf.setCell(r, ManufCell::ProductCategory, category);
  db.setDirty(true);
  res.changed = true;
  return res;
}

}  // namespace ProductBulk
