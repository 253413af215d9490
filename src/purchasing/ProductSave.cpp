#include "purchasing/ProductSave.h"

#include "models/ProductLookup.h"
#include "platform/Numbers.h"
#include "platform/Prompt.h"
#include "store/Database.h"
#include "store/SharedRoutines.h"
#include "store/TextEntry.h"

namespace ProductSave {

namespace {

const QString kNone = QStringLiteral("無");
const QString kUncategorised = QStringLiteral("未分類");

QString numberText(const QString& text) { return Num::format(Num::leading(text)); }

// Adds a category typed in the dialog to the end of the product categories.
bool addCategory(Database& db, const QString& category) {
  QStringList& list = db.settings.ProductCategories;
  if (category.isEmpty() || category == kUncategorised || list.contains(category)) return false;
  if (list.size() >= Capacity::ProductCategories) return false;
  list << category;
  return true;
}

void writeProduct(Table& t, int r, const Fields& f) {
  t.setCell(r, ManufCell::ProductName, f.name);
  t.setCell(r, ManufCell::ProductCategory, f.category);
  t.setCell(r, ManufCell::ProductPrice, f.price);
  t.setCell(r, ManufCell::ProductCost, f.cost);
  t.setCell(r, ManufCell::ProductStock, f.stock);
  t.setCell(r, ManufCell::ProductNote, f.note);
  t.setCell(r, ManufCell::SafetyStock, f.safety);
  t.setCell(r, ManufCell::ProductWeight, f.weight);
}

void addStock(Database& db, int r, double delta) {
  if (r <= 0) return;
  db.Manuf.setCell(r, ManufCell::ProductStock,
                   Num::format(Num::leading(db.Manuf.cell(r, ManufCell::ProductStock)) + delta));
}

bool duplicateExists(const Database& db, const QString& name, const QString& category, int except) {
  const Table& t = db.Manuf;
  for (int r = 1, n = t.count(); r <= n; ++r)
    if (r != except && t.cell(r, ManufCell::ProductName) == name && t.cell(r, ManufCell::ProductCategory) == category)
      return true;
  return false;
}

bool otherProductNamed(const Database& db, const QString& name, int except) {
  const Table& t = db.Manuf;
  for (int r = 1, n = t.count(); r <= n; ++r)
    if (r != except && t.cell(r, ManufCell::ProductName) == name) return true;
  return false;
}

OrderEditorLine lineFromFields(const Fields& f) {
  OrderEditorLine l;
  l.name = f.name;
  l.category = f.category;
  l.price = f.price;
  l.cost = f.cost;
  l.qty = f.qty;
  l.note = f.note;
  l.url = f.url;
  l.weight = f.weight;
  l.ticked = f.note.startsWith(QLatin1Char('*'));
  return l;
}

Result saveNewProduct(Database& db, Prompt& prompt, Fields& f) {
  Result res;
  if (duplicateExists(db, f.name, f.category, 0)) {
    prompt.warn(QStringLiteral("該分類已經有相同名稱的商品，無法新增"));
    return res;
  }
  res.categoryAdded = addCategory(db, f.category);
  const int r = db.Manuf.append(f.name);
  writeProduct(db.Manuf, r, f);
  if (f.picture != kNone) {
    const int i = db.Images.append(f.name);
    db.Images.setCell(i, ImagesCell::ImageCategory, f.category);
    db.Images.setCell(i, ImagesCell::ImagePath, ProductLookup::picturePathForStorage(db, f.picture));
  }
  res.manufRow = r;
  res.saved = true;
  return res;
}

Result saveEditedProduct(Database& db, Prompt& prompt, int r, Fields& f) {
  Result res;
  Table& t = db.Manuf;
  if (r < 1 || r > t.count()) {
    prompt.message(QStringLiteral("發生錯誤!"), Prompt::Icon::Exclamation, Prompt::Buttons::Ok, QString());
    return res;
  }
  if (duplicateExists(db, f.name, f.category, r)) {
    prompt.message(QStringLiteral("該分類已經有相同名稱的商品，無法修改"), Prompt::Icon::Information,
                   Prompt::Buttons::Ok, QString());
    return res;
  }
  const QString oldName = t.cell(r, ManufCell::ProductName);
  const QString oldCategory = t.cell(r, ManufCell::ProductCategory);
  const bool renamed = f.name != oldName || f.category != oldCategory;

  // Every question first, so that a No leaves everything as it was.
  if (renamed && f.confirm[1] &&
      prompt.message(QStringLiteral("商品名稱或分類已變更，訂單內的商品名稱及進貨記錄將會一併變更，確定修改嗎?"),
                     Prompt::Icon::Question, Prompt::Buttons::YesNo, QString()) != Prompt::Answer::Yes)
    return res;
  QString changed;
  const struct {
    int sw;
    const QString* box;
    int cell;
    const char* word;
  } checks[] = {{2, &f.price, ManufCell::ProductPrice, "售價 "},
                {3, &f.cost, ManufCell::ProductCost, "成本 "},
                {4, &f.stock, ManufCell::ProductStock, "庫存 "},
                {5, &f.safety, ManufCell::SafetyStock, "安全存量 "},
                {6, &f.note, ManufCell::ProductNote, "備註 "}};
  for (const auto& c : checks)
    if (f.confirm[static_cast<size_t>(c.sw)] && *c.box != t.cell(r, c.cell)) changed += QString::fromUtf8(c.word);
  if (!changed.isEmpty() &&
      prompt.message(changed + QStringLiteral("已變更，確定修改嗎?"), Prompt::Icon::Question, Prompt::Buttons::YesNo,
                     QString()) != Prompt::Answer::Yes)
    return res;

  // The order lines and purchase records follow a new name or category.
  if (renamed) {
    Table& s = db.Stock;
    for (int i = 1, n = s.count(); i <= n; ++i) {
      if (s.cell(i, StockCell::LineName) == oldName && s.cell(i, StockCell::LineCategory) == oldCategory) {
        s.setCell(i, StockCell::LineName, f.name);
        s.setCell(i, StockCell::LineCategory, f.category);
      }
    }
    // Records name their product without its category: while another
    // product keeps the old name, they may be that product's and stay.
    if (f.name != oldName && !otherProductNamed(db, oldName, r)) {
      Table& m = db.ManufStock;
      for (int i = 1, n = m.count(); i <= n; ++i)
        if (m.cell(i, ManufStockCell::PurchaseProduct) == oldName) m.setCell(i, ManufStockCell::PurchaseProduct, f.name);
    }
  }
  res.categoryAdded = addCategory(db, f.category);

  const int img = ProductLookup::findImageRow(db, oldName, oldCategory);
  if (f.picture != kNone) {
    const int i = img ? img : db.Images.append(f.name);
    db.Images.setCell(i, ImagesCell::ImageProduct, f.name);
    db.Images.setCell(i, ImagesCell::ImageCategory, f.category);
    db.Images.setCell(i, ImagesCell::ImagePath, ProductLookup::picturePathForStorage(db, f.picture));
  } else if (img) {
    db.Images.remove(img);
  }
  writeProduct(t, r, f);
  res.manufRow = r;
  res.saved = true;
  return res;
}

Result saveNewLine(Database& db, Fields& f, OrderEditorLines& lines) {
  Result res;
  if (f.addToList && FindProductRow(db.Manuf, f.name, f.category) == 0) {
    const int r = db.Manuf.append(f.name);
    Fields p = f;
    p.stock = f.qty;
    p.safety = QStringLiteral("0");
    writeProduct(db.Manuf, r, p);
  }
  OrderEditorLine l = lineFromFields(f);
  const int r = FindProductRow(db.Manuf, f.name, f.category);
  if (r > 0) {
    const double q = Num::leading(f.qty);
    addStock(db, r, -q);
    if (Num::leading(db.Manuf.cell(r, ManufCell::ProductStock)) < 0) l.shortage = f.qty;
    l.price = db.Manuf.cell(r, ManufCell::ProductPrice);
    l.cost = db.Manuf.cell(r, ManufCell::ProductCost);
  }
  lines.append(l);
  res.saved = true;
  return res;
}

Result saveEditedLine(Database& db, Prompt& prompt, Fields& f, OrderEditorLines& lines, int editLine) {
  Result res;
  if (editLine < 0 || editLine >= lines.count()) {
    prompt.message(QStringLiteral("發生錯誤!"), Prompt::Icon::Exclamation, Prompt::Buttons::Ok, QString());
    return res;
  }
  const OrderEditorLine old = lines.line(editLine);
  const double oldQty = Num::leading(old.qty);
  const double newQty = Num::leading(f.qty);
  if (f.remaining != QString::fromUtf8(kNotListed)) {
    if (f.name != old.name || f.category != old.category) {
      const int n = FindProductRow(db.Manuf, f.name, f.category);
      if (n > 0)
        addStock(db, n, -newQty);
      else
        prompt.message(QStringLiteral("商品名稱或分類已變更成商品清單內沒有的商品，此筆商品將無法從庫存中扣除!"),
                       Prompt::Icon::Information, Prompt::Buttons::Ok, QString());
      addStock(db, FindProductRow(db.Manuf, old.name, old.category), oldQty);
    } else {
      addStock(db, FindProductRow(db.Manuf, old.name, old.category), oldQty - newQty);
    }
  } else {
    addStock(db, FindProductRow(db.Manuf, f.name, f.category), -newQty);
  }
  lines.replace(editLine, lineFromFields(f));
  for (int i = 0, n = lines.count(); i < n; ++i) {
    OrderEditorLine l = lines.line(i);
    if (l.name == f.name) {
      l.shortage = QStringLiteral("...");
      lines.replace(i, l);
    }
  }
  res.saved = true;
  return res;
}

}  // namespace

QString cleanText(const QString& text) {
  QString out = text;
  out.remove(QLatin1Char('"'));
  out.remove(QChar(0x201D));
  return out;
}

Result save(Database& db, Prompt& prompt, int mode, int selEdit, Fields& f, OrderEditorLines* lines, int editLine) {
  if (f.name.isEmpty()) {
    prompt.warn(QStringLiteral("請輸入商品名稱"));
    return {};
  }
  // Text code page 950 cannot hold is refused before anything changes (the
  // number boxes are read as numbers).
  std::vector<std::pair<QString, QString>> texts = {{QStringLiteral("商品名稱"), f.name},
                                                    {QStringLiteral("商品分類"), f.category},
                                                    {QStringLiteral("備註"), f.note},
                                                    {QStringLiteral("網址"), f.url}};
  if (mode == NewProduct || mode == EditProduct) texts.push_back({QStringLiteral("圖片"), f.picture});
  if (!TextEntry::acceptable(prompt, texts)) return {};
  for (QString* box : {&f.qty, &f.price, &f.cost, &f.stock, &f.safety})
    if (!Num::isNumeric(*box)) *box = QStringLiteral("0");
  f.name = cleanText(f.name);
  f.note = cleanText(f.note);
  f.url = cleanText(f.url);
  f.category = cleanText(f.category);
  // A product's category may join the category list: trimmed as the
  // category editor stores its names. An order line keeps what it holds, so
  // that it still finds its product.
  if (mode == NewProduct || mode == EditProduct) f.category = f.category.trimmed();
  if (f.name.isEmpty()) {  // a name made only of quotes
    prompt.warn(QStringLiteral("請輸入商品名稱"));
    return {};
  }
  for (QString* box : {&f.qty, &f.price, &f.cost, &f.stock, &f.safety, &f.weight}) *box = numberText(*box);

  Result res;
  switch (mode) {
    case NewProduct: res = saveNewProduct(db, prompt, f); break;
    case EditProduct: res = saveEditedProduct(db, prompt, selEdit, f); break;
    case NewLine:
    case EditLine:
      if (!lines) {
        prompt.message(QStringLiteral("發生錯誤!"), Prompt::Icon::Exclamation, Prompt::Buttons::Ok, QString());
        return {};
      }
      res = mode == NewLine ? saveNewLine(db, f, *lines) : saveEditedLine(db, prompt, f, *lines, editLine);
      break;
    default: return {};
  }
  if (res.saved) db.setDirty(true);
  return res;
}

}  // namespace ProductSave
