#pragma once
// What the product windows need of the order editor's line list.
//
// The product picker (ManufForm's "加入訂單") and the product dialog's
// order-line modes (ManufInput modes 3 and 4) add and rewrite lines of the
// order that is open in OrderInput. They do it through this interface, so
// they need no window and the editor keeps its own list:
//   - count(): the number of lines now in the list;
//   - line(i) / replace(i, line): read and rewrite line i (0-based, list order);
//   - append(line): a new line at the end of the list.
// OrderInput implements it over its line list (ListViewOrderLines does that
// for a ListView laid out as that list: 商品名稱, 商品分類, 售價, 成本, 數量, 缺貨, 備註,
// 網址, 重量, 小計, with tick boxes); tests use OrderEditorLineVector.
#include <QString>
#include <vector>

struct OrderEditorLine {
  QString name;      // LineName (the row's text)
  QString category;  // LineCategory
  QString price;     // LinePrice
  QString cost;      // LineCost
  QString qty;       // LineQty
  QString shortage;  // ShortageMark (column 缺貨), shown only
  QString note;      // LineNote; a tick is a note beginning with "*"
  QString url;       // LineUrl
  QString weight;    // LineWeight
  bool ticked = false;
};

class OrderEditorLines {
 public:
  virtual ~OrderEditorLines() = default;
  virtual int count() const = 0;
  virtual OrderEditorLine line(int i) const = 0;
  virtual void replace(int i, const OrderEditorLine& line) = 0;
  virtual void append(const OrderEditorLine& line) = 0;
};

// Lines held in a plain vector.
class OrderEditorLineVector : public OrderEditorLines {
 public:
  std::vector<OrderEditorLine> lines;
  int count() const override { return static_cast<int>(lines.size()); }
  OrderEditorLine line(int i) const override { return lines.at(static_cast<size_t>(i)); }
  void replace(int i, const OrderEditorLine& l) override { lines.at(static_cast<size_t>(i)) = l; }
  void append(const OrderEditorLine& l) override { lines.push_back(l); }
};
