#pragma once
// One product line of the order editor, as its line list shows it: the
// ten columns and the tick box. Only the note carries the tick into the
// tables (a note that begins with "*").
#include <QString>
#include <QStringList>
#include <vector>

// Columns of the order editor's line list (0 is the key text).
namespace LineCol {
enum : int { Name = 0, Category, Price, Cost, Qty, Shortage, Note, Url, Weight, Subtotal, Count = 10 };
}

struct OrderLine {
  QString name;
  QString category;
  QString price;
  QString cost;
  QString qty;
  QString shortage;  // "缺貨" column, shown only
  QString note;
  QString url;
  QString weight;
  QString subtotal;  // written by MoneyShow, never stored
  bool ticked = false;

  QStringList cells() const {
    return {name, category, price, cost, qty, shortage, note, url, weight, subtotal};
  }
  static OrderLine fromCells(const QStringList& c, bool ticked) {
    OrderLine l;
    l.name = c.value(LineCol::Name);
    l.category = c.value(LineCol::Category);
    l.price = c.value(LineCol::Price);
    l.cost = c.value(LineCol::Cost);
    l.qty = c.value(LineCol::Qty);
    l.shortage = c.value(LineCol::Shortage);
    l.note = c.value(LineCol::Note);
    l.url = c.value(LineCol::Url);
    l.weight = c.value(LineCol::Weight);
    l.subtotal = c.value(LineCol::Subtotal);
    l.ticked = ticked;
    return l;
  }
  // A stored note that begins with "*" loads as a ticked line.
  static bool noteTicked(const QString& note) { return note.startsWith(u'*'); }

  bool operator==(const OrderLine&) const = default;
};

using OrderLines = std::vector<OrderLine>;
