#include "products/ListViewOrderLines.h"

#include "platform/ListView.h"

namespace {
enum : int { Name, Category, Price, Cost, Qty, Shortage, Note, Url, Weight, Subtotal };
}

int ListViewOrderLines::count() const { return list_.rowCount(); }

OrderEditorLine ListViewOrderLines::line(int i) const {
  const QStringList c = list_.rowTexts(i);
  OrderEditorLine l{c.value(Name), c.value(Category), c.value(Price),  c.value(Cost),   c.value(Qty),
                    c.value(Shortage), c.value(Note), c.value(Url), c.value(Weight), false};
  l.ticked = list_.isCheckable() && list_.isChecked(i);
  return l;
}

void ListViewOrderLines::replace(int i, const OrderEditorLine& l) {
  const QString cells[] = {l.name, l.category, l.price, l.cost, l.qty, l.shortage, l.note, l.url, l.weight};
  for (int c = Name; c <= Weight; ++c) list_.setText(i, c, cells[c]);
  if (list_.isCheckable() && list_.isChecked(i) != l.ticked) list_.setChecked(i, l.ticked);
}

void ListViewOrderLines::append(const OrderEditorLine& l) {
  const int i = list_.addRow({l.name, l.category, l.price, l.cost, l.qty, l.shortage, l.note, l.url, l.weight, QString()});
  if (list_.isCheckable() && l.ticked) list_.setChecked(i, true);
}
