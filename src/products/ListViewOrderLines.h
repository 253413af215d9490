#pragma once
// The order editor's line list seen as OrderEditorLines: a ListView whose
// columns are 商品名稱, 商品分類, 售價, 成本, 數量, 缺貨, 備註, 網址, 重量,
// 小計 and whose tick boxes mirror notes beginning with "*". The 小計 cell
// is left to the editor's MoneyShow.
#include "models/OrderEditorLines.h"

class ListView;

class ListViewOrderLines : public OrderEditorLines {
 public:
  explicit ListViewOrderLines(ListView& list) : list_(list) {}
  int count() const override;
  OrderEditorLine line(int i) const override;
  void replace(int i, const OrderEditorLine& line) override;
  void append(const OrderEditorLine& line) override;

 private:
  ListView& list_;
};
