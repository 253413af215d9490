#pragma once
// Rows a list asks for when it needs them (ListView::setRowSource): the list
// holds only row numbers and reads a cell's text when it paints the cell or
// code asks for it. No widgets here, so list builders without windows can
// provide one.
#include <QColor>
#include <QString>
#include <QStringView>
#include <vector>

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
  // The texts of a column for sorting, without a text made for each row:
  // textOfRow[r] numbers the text of row r in texts (rows of equal numbers
  // hold equal texts; a text may still appear under two numbers). The views
  // must stay valid until the list has sorted (views into the source's own
  // texts). False to have the list read every row's text instead.
  virtual bool sortTexts(int column, std::vector<int>& textOfRow, std::vector<QStringView>& texts) const {
    (void)column;
    (void)textOfRow;
    (void)texts;
    return false;
  }
  // The rank of every row's text in a column sorted as text (TextOrder),
  // when the source has them at hand: ranks from 0 grow with the order and
  // are equal for texts that sort alike; levels receives the number of
  // ranks. False to have the list use sortTexts or the texts instead.
  virtual bool sortRanks(int column, std::vector<int>& rankOfRow, int& levels) const {
    (void)column;
    (void)rankOfRow;
    (void)levels;
    return false;
  }
};
