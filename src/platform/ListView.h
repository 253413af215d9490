#pragma once
// A list of rows of texts with columns: the one list control of every window.
// Rows are numbered from 0 in their shown order (sorting reorders the rows
// themselves). Column 0 is the key text; a window that keeps table row
// numbers puts them in a hidden last column named "Index".
// Backed by one QAbstractTableModel: no object per cell, so 100k rows fill
// and paint quickly.
//
// Two ways to fill it:
// - rows of texts (setRows, addRow, insertRow): the list holds every text;
// - a row source (setRowSource): the list holds only row numbers and asks
//   the source for a cell's text when it paints the cell or code reads it,
//   so no text is built for rows nobody looks at. Sorting computes one key
//   per row once and reorders row numbers. Everything else (setText,
//   colours, ticks, selection, insertRow, removeRow, moveRow) works on
//   source rows as on rows of texts; a text or colour set by code goes over
//   the source's.
#include <QColor>
#include <QStringList>
#include <QTreeView>
#include <memory>

#include "platform/ListRowSource.h"
#include <utility>
#include <vector>

class ListViewModel;

class ListView : public QTreeView {
  Q_OBJECT
 public:
  explicit ListView(QWidget* parent = nullptr);
  ~ListView() override;

  // ---- columns ----
  // Sets the column captions (removes every row).
  void setColumns(const QStringList& captions);
  int columnCount() const;
  QString columnCaption(int column) const;
  void setColumnCaption(int column, const QString& caption);
  // Widths in twips (15 twips per pixel); 0 hides the column.
  void setColumnWidthTwips(int column, int twips);
  int columnWidthTwips(int column) const;
  // The least width in twips of a column that shows text whole in a cell of
  // the list's present font.
  int twipsToShow(const QString& text) const;
  void setColumnAlignment(int column, Qt::Alignment alignment);
  // The hidden column holding table row numbers; -1 for none.
  void setIndexColumn(int column);
  int indexColumn() const;

  // ---- rows ----
  void clear();
  // Replaces every row at once (fast path for fillers). Each row is padded
  // or cut to columnCount(). Colours and ticks reset.
  void setRows(std::vector<QStringList> rows);
  // Appends one row; returns its number.
  int addRow(const QStringList& cells);
  void insertRow(int row, const QStringList& cells);
  void removeRow(int row);
  void moveRow(int from, int to);
  int rowCount() const;
  QString text(int row, int column) const;
  void setText(int row, int column, const QString& text);
  // Many texts of one column at once (one repaint): (row, text) pairs.
  void setColumnTexts(int column, const std::vector<std::pair<int, QString>>& rowTexts);
  QStringList rowTexts(int row) const;

  // Replaces every row by the rows of a source, in the source's order.
  // Colours, ticks and selection reset; the sort column and order are kept
  // (call sortRows to apply them).
  void setRowSource(std::shared_ptr<const ListRowSource> source);
  const ListRowSource* rowSource() const;
  // The source row a list row shows; -1 for a row added as texts.
  int sourceRow(int row) const;
  // The number in the Index column of a row (0 when there is none).
  int tableIndex(int row) const;

  // ---- appearance ----
  void setRowColor(int row, const QColor& fore);  // invalid colour = default
  // The colour of one cell, over the row's (invalid = the row's again).
  void setCellColor(int row, int column, const QColor& fore);
  // One colour for one cell of many rows at once (one repaint).
  void setCellColors(const std::vector<int>& rows, int column, const QColor& fore);
  void setRowColors(const std::vector<int>& rows, const QColor& fore);
  QColor cellColor(int row, int column) const;
  QColor rowColor(int row) const;
  void setRowBackground(int row, const QColor& back);
  QColor rowBackground(int row) const;
  void setRowBold(int row, bool bold);
  bool isRowBold(int row) const;
  void setFontPointSize(int size);          // applied only when 9..24
  void setFlatHeader(bool flat);            // header buttons without click
  void setGridLines(bool on);

  // ---- tick boxes ----
  void setCheckable(bool on);
  bool isCheckable() const;
  bool isChecked(int row) const;
  // Changing a tick by code emits itemCheckChanged with byUser = false
  // (nothing when the tick already was so). setRows emits nothing.
  void setChecked(int row, bool checked);

  // ---- selection ----
  void setMultiSelect(bool on);
  int currentRow() const;          // -1 when none
  void setCurrentRow(int row);     // selects it alone and scrolls to it
  std::vector<int> selectedRows() const;  // ascending
  bool isSelected(int row) const;
  void setSelected(int row, bool selected);
  void selectAll() override;
  void clearSelection();

  // ---- sorting ----
  enum class SortMode { Text, Number, Date };
  void setColumnSortMode(int column, SortMode mode);  // Text by default
  SortMode columnSortMode(int column) const;
  // Reorders the rows by a column (stable); remembers the column and order.
  // Text: case-insensitive, Traditional Chinese collation; Number: the
  // leading number of the text; Date: texts that are no date come first.
  // Selection, current row, colours and ticks follow their rows.
  void sortRows(int column, Qt::SortOrder order);
  int sortColumn() const;
  Qt::SortOrder sortOrder() const;
  // When on, a header click sorts by that column, flipping the order when the
  // same column is clicked again. Off by default: windows handle headerClicked.
  void setSortOnHeaderClick(bool on);

 Q_SIGNALS:
  void itemCheckChanged(int row, bool checked, bool byUser);
  void rowActivated(int row);          // double click or Enter
  void headerClicked(int column);
  void currentRowChanged(int row);
  void rowsSelectionChanged();
  void contextMenuAt(const QPoint& globalPos);  // right click
  void keyPressed(int key, Qt::KeyboardModifiers modifiers);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

 private:
  ListViewModel* model_;
  int indexColumn_ = -1;
  int sortColumn_ = -1;
  Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
  bool sortOnHeaderClick_ = false;
  bool gridLines_ = false;
  std::vector<SortMode> sortModes_;
};
