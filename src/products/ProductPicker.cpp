#include "products/ProductPicker.h"

#include "platform/Numbers.h"
#include "platform/Prompt.h"
#include "store/Database.h"

namespace ProductPicker {

std::vector<double> takeIntoOrder(Database& db, const std::vector<Pick>& picks, OrderEditorLines& lines) {
  std::vector<double> stocks;
  stocks.reserve(picks.size());
  Table& t = db.Manuf;
  for (const Pick& p : picks) {
    const int r = p.manufRow;
    OrderEditorLine l;
    l.name = t.cell(r, ManufCell::ProductName);
    l.category = t.cell(r, ManufCell::ProductCategory);
    l.price = t.cell(r, ManufCell::ProductPrice);
    l.cost = t.cell(r, ManufCell::ProductCost);
    l.qty = Num::format(p.qty);
    l.note = t.cell(r, ManufCell::ProductNote);
    l.weight = t.cell(r, ManufCell::ProductWeight);
    const double stock = Num::leading(t.cell(r, ManufCell::ProductStock)) - p.qty;
    t.setCell(r, ManufCell::ProductStock, Num::format(stock));
    if (stock < 0) l.shortage = Num::format(p.qty);
    lines.append(l);
    stocks.push_back(stock);
  }
  return stocks;
}

Result addToOrder(Database& db, Prompt& prompt, const std::vector<int>& selectedRows, int listRowCount,
                  const Options& o, OrderEditorLines& lines) {
  Result res;
  if (listRowCount <= 0) return res;
  if (selectedRows.empty()) {
    prompt.message(QStringLiteral("未選擇商品"), Prompt::Icon::Exclamation, Prompt::Buttons::Ok, QString());
    return res;
  }
  for (int r : selectedRows) {
    if (r < 1 || r > db.Manuf.count()) {  // a stale list row
      prompt.message(QStringLiteral("加入商品發生錯誤!"), Prompt::Icon::Exclamation);
      res.outcome = Outcome::Failed;
      return res;
    }
  }
  double q = 1;
  if (selectedRows.size() == 1 && o.askQuantity) {
    for (;;) {
      const auto answer = prompt.input(QStringLiteral("請輸入商品數量 (大於0的數字)"), QString(), QStringLiteral("1"));
      if (!answer || answer->isEmpty()) return res;
      q = Num::leading(*answer);
      if (q > 0) break;
    }
  }
  if (!o.noStockAlert) {
    for (int r : selectedRows) {
      if (Num::leading(db.Manuf.cell(r, ManufCell::ProductStock)) < q) {
        if (!prompt.askYesNo(QStringLiteral("選擇的商品已無庫存，確定要加入嗎?"), QString())) return res;
        break;
      }
    }
  }
  std::vector<Pick> picks;
  picks.reserve(selectedRows.size());
  for (int r : selectedRows) picks.push_back({r, q});
  res.newStocks = takeIntoOrder(db, picks, lines);
  res.qty = q;
  if (o.stayOpen) {
    prompt.message(QStringLiteral("所選商品已加入，目前訂單內有") + QString::number(lines.count()) +
                       QStringLiteral("項商品"),
                   Prompt::Icon::None, Prompt::Buttons::Ok, QString());
    res.outcome = Outcome::Added;
  } else {
    res.outcome = Outcome::AddedClose;
  }
  return res;
}

}  // namespace ProductPicker
