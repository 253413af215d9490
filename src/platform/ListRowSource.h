#pragma once
// Rows a list asks for when it needs them (ListView::setRowSource): the list
// holds only row numbers and reads a cell's text when it paints the cell or
// code asks for it. No widgets here, so list builders without windows can
// provide one.
#include <QColor>
#include <QString>

class ListRowSource {
 public:
  virtual ~ListRowSource() = default;
  // Rows are numbered from 0 in the source's own order; the source must not
  // change while a list shows it (hand the list a new source instead).
  virtual int rowCount() const = 0;
  virtual QString text(int row, int column) const = 0;
  // The text colour of a cell; invalid = the list's own.
  virtual QColor foreground(int row, int column) const {
    (void)row;
    (void)column;
    return {};
  }
  // The number the row's Index column holds, when the source knows it
  // without building the text; -1 to have the list read the text.
  virtual int tableIndex(int row) const {
    (void)row;
    return -1;
  }
};
