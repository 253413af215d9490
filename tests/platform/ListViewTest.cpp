#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <gtest/gtest.h>

#include "platform/ListView.h"

namespace {

// Three visible columns and a hidden Index column.
struct Fixture {
  ListView lv;
  Fixture() {
    lv.setColumns({QStringLiteral("名稱"), QStringLiteral("數量"), QStringLiteral("日期"), QStringLiteral("Index")});
    lv.setIndexColumn(3);
  }
  QStringList column(int c) const {
    QStringList out;
    for (int r = 0; r < lv.rowCount(); ++r) out << lv.text(r, c);
    return out;
  }
};

struct CheckRecord {
  int row;
  bool checked;
  bool byUser;
};

}  // namespace

TEST(ListView, FillPadsRowsKeepsColumnsAndResetsLooks) {
  Fixture f;
  f.lv.setColumnWidthTwips(0, 1500);
  f.lv.setColumnWidthTwips(2, 0);
  f.lv.setRows({{"a", "1", "2024/01/02", "7"}, {"b"}, {"c", "3", "x", "9", "extra"}});
  f.lv.setRowColor(0, Qt::red);
  f.lv.setChecked(1, true);

  ASSERT_EQ(f.lv.rowCount(), 3);
  EXPECT_EQ(f.lv.rowTexts(1), QStringList({"b", "", "", ""}));
  EXPECT_EQ(f.lv.rowTexts(2).size(), 4);
  EXPECT_EQ(f.lv.text(5, 0), QString());
  EXPECT_EQ(f.lv.text(0, 9), QString());
  EXPECT_EQ(f.lv.tableIndex(0), 7);
  EXPECT_EQ(f.lv.tableIndex(1), 0);
  EXPECT_EQ(f.lv.tableIndex(2), 9);

  // A second fill keeps widths and hidden columns, and drops colours and ticks.
  std::vector<QStringList> rows;
  for (int i = 0; i < 100000; ++i) rows.push_back({QString::number(i), "1", "", QString::number(i + 1)});
  f.lv.setRows(std::move(rows));
  EXPECT_EQ(f.lv.rowCount(), 100000);
  EXPECT_EQ(f.lv.tableIndex(99999), 100000);
  EXPECT_FALSE(f.lv.rowColor(0).isValid());
  EXPECT_FALSE(f.lv.isChecked(1));
  EXPECT_EQ(f.lv.columnWidthTwips(0), 1500);
  EXPECT_EQ(f.lv.columnWidthTwips(2), 0);
  EXPECT_TRUE(f.lv.isColumnHidden(2));
  EXPECT_TRUE(f.lv.isColumnHidden(3));
  EXPECT_EQ(f.lv.columnWidthTwips(3), 0);

  // The Index column stays hidden even when a stored width is put on it.
  f.lv.setColumnWidthTwips(3, 600);
  EXPECT_TRUE(f.lv.isColumnHidden(3));
  f.lv.setColumnWidthTwips(2, 900);
  EXPECT_FALSE(f.lv.isColumnHidden(2));
  EXPECT_EQ(f.lv.columnWidthTwips(2), 900);

  f.lv.clear();
  EXPECT_EQ(f.lv.rowCount(), 0);
  EXPECT_EQ(f.lv.columnCount(), 4);
}

TEST(ListView, SortModesAreStableInBothDirections) {
  struct Case {
    int column;
    ListView::SortMode mode;
    Qt::SortOrder order;
    QStringList expectedKeys;
  };
  // Keys in column 0 are unique so the resulting order is visible.
  const std::vector<QStringList> rows = {
      {"k1", "10", "2024/02/01", "1"}, {"k2", "9", "2023-12-31", "2"}, {"K3", "abc", "no date", "3"},
      {"k4", "2 kg", "2024/2/1", "4"}, {"a5", "10", "2024/01/15", "5"}, {"b6", "-1", "", "6"},
  };
  const std::vector<Case> cases = {
      {1, ListView::SortMode::Number, Qt::AscendingOrder, {"b6", "K3", "k4", "k2", "k1", "a5"}},
      {1, ListView::SortMode::Number, Qt::DescendingOrder, {"k1", "a5", "k2", "k4", "K3", "b6"}},
      // As text "10" < "2 kg" < "9" < "abc".
      {1, ListView::SortMode::Text, Qt::AscendingOrder, {"b6", "k1", "a5", "k4", "k2", "K3"}},
      {2, ListView::SortMode::Date, Qt::AscendingOrder, {"K3", "b6", "k2", "a5", "k1", "k4"}},
      {2, ListView::SortMode::Date, Qt::DescendingOrder, {"k1", "k4", "a5", "k2", "K3", "b6"}},
      {0, ListView::SortMode::Text, Qt::AscendingOrder, {"a5", "b6", "k1", "k2", "K3", "k4"}},
  };
  for (const Case& c : cases) {
    Fixture f;
    f.lv.setRows(rows);
    f.lv.setColumnSortMode(c.column, c.mode);
    f.lv.sortRows(c.column, c.order);
    EXPECT_EQ(f.column(0), c.expectedKeys) << "column " << c.column << " order " << c.order;
    EXPECT_EQ(f.lv.sortColumn(), c.column);
    EXPECT_EQ(f.lv.sortOrder(), c.order);
    // The Index column travels with its row.
    for (int r = 0; r < f.lv.rowCount(); ++r)
      EXPECT_EQ(f.lv.tableIndex(r), f.lv.text(r, 0).mid(1).toInt());
  }
}

TEST(ListView, TicksColoursAndSelectionFollowSortedRows) {
  Fixture f;
  f.lv.setMultiSelect(true);
  f.lv.setCheckable(true);
  f.lv.setRows({{"c", "", "", "1"}, {"a", "", "", "2"}, {"b", "", "", "3"}});
  f.lv.setChecked(0, true);
  f.lv.setRowColor(0, Qt::blue);
  f.lv.setCellColor(0, 3, Qt::red);
  f.lv.setRowBold(0, true);
  f.lv.setSelected(0, true);
  f.lv.setSelected(2, true);
  f.lv.sortRows(0, Qt::AscendingOrder);
  ASSERT_EQ(f.column(0), QStringList({"a", "b", "c"}));
  EXPECT_TRUE(f.lv.isChecked(2));
  EXPECT_FALSE(f.lv.isChecked(0));
  EXPECT_EQ(f.lv.rowColor(2), QColor(Qt::blue));
  EXPECT_EQ(f.lv.cellColor(2, 3), QColor(Qt::red));  // a cell's colour goes over the row's
  EXPECT_EQ(f.lv.cellColor(2, 1), QColor(Qt::blue));
  EXPECT_EQ(f.lv.model()->data(f.lv.model()->index(2, 3), Qt::ForegroundRole).value<QBrush>().color(), QColor(Qt::red));
  EXPECT_TRUE(f.lv.isRowBold(2));
  EXPECT_EQ(f.lv.selectedRows(), std::vector<int>({1, 2}));

  // Moving and removing rows keep each row's state with it.
  f.lv.moveRow(2, 0);
  EXPECT_EQ(f.column(0), QStringList({"c", "a", "b"}));
  EXPECT_TRUE(f.lv.isChecked(0));
  f.lv.moveRow(0, 2);
  EXPECT_EQ(f.column(0), QStringList({"a", "b", "c"}));
  EXPECT_TRUE(f.lv.isChecked(2));
  f.lv.removeRow(0);
  EXPECT_EQ(f.column(0), QStringList({"b", "c"}));
  EXPECT_TRUE(f.lv.isChecked(1));
  EXPECT_EQ(f.lv.selectedRows(), std::vector<int>({0, 1}));
  f.lv.insertRow(0, {"new"});
  EXPECT_FALSE(f.lv.isChecked(0));
  EXPECT_TRUE(f.lv.isChecked(2));
}

TEST(ListView, TickChangesTellCodeFromUser) {
  Fixture f;
  f.lv.setCheckable(true);
  std::vector<CheckRecord> seen;
  QObject::connect(&f.lv, &ListView::itemCheckChanged,
                   [&](int row, bool checked, bool byUser) { seen.push_back({row, checked, byUser}); });
  f.lv.setRows({{"a"}, {"b"}});
  EXPECT_TRUE(seen.empty());

  f.lv.setChecked(1, true);
  f.lv.setChecked(1, true);  // no change, no signal
  // What the view does when the user clicks a tick box.
  QAbstractItemModel* m = f.lv.model();
  EXPECT_TRUE(m->flags(m->index(0, 0)) & Qt::ItemIsUserCheckable);
  EXPECT_FALSE(m->flags(m->index(0, 1)) & Qt::ItemIsUserCheckable);
  m->setData(m->index(0, 0), Qt::Checked, Qt::CheckStateRole);
  m->setData(m->index(1, 0), Qt::Unchecked, Qt::CheckStateRole);

  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[0].row, 1);
  EXPECT_TRUE(seen[0].checked);
  EXPECT_FALSE(seen[0].byUser);
  EXPECT_EQ(seen[1].row, 0);
  EXPECT_TRUE(seen[1].checked);
  EXPECT_TRUE(seen[1].byUser);
  EXPECT_EQ(seen[2].row, 1);
  EXPECT_FALSE(seen[2].checked);
  EXPECT_TRUE(seen[2].byUser);
  EXPECT_TRUE(f.lv.isChecked(0));
  EXPECT_FALSE(f.lv.isChecked(1));

  // Space on the focused row is a user tick too.
  f.lv.setCurrentRow(1);
  QKeyEvent space(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier);
  QCoreApplication::sendEvent(&f.lv, &space);
  ASSERT_EQ(seen.size(), 4u);
  EXPECT_EQ(seen[3].row, 1);
  EXPECT_TRUE(seen[3].checked);
  EXPECT_TRUE(seen[3].byUser);

  // Without tick boxes the user cannot tick.
  f.lv.setCheckable(false);
  EXPECT_FALSE(m->setData(m->index(1, 0), Qt::Checked, Qt::CheckStateRole));
  EXPECT_FALSE(m->data(m->index(0, 0), Qt::CheckStateRole).isValid());
}

TEST(ListView, SelectionSingleAndMulti) {
  Fixture f;
  std::vector<QStringList> rows(5, QStringList{"x"});
  f.lv.setRows(rows);
  EXPECT_EQ(f.lv.currentRow(), -1);
  EXPECT_TRUE(f.lv.selectedRows().empty());

  // Single selection: a new row replaces the old one; select all does nothing.
  f.lv.setSelected(1, true);
  f.lv.setSelected(3, true);
  EXPECT_EQ(f.lv.selectedRows(), std::vector<int>({3}));
  f.lv.selectAll();
  EXPECT_EQ(f.lv.selectedRows(), std::vector<int>({3}));

  f.lv.setMultiSelect(true);
  f.lv.setSelected(1, true);
  f.lv.setSelected(4, true);
  EXPECT_EQ(f.lv.selectedRows(), std::vector<int>({1, 3, 4}));
  EXPECT_TRUE(f.lv.isSelected(4));
  EXPECT_FALSE(f.lv.isSelected(0));
  f.lv.setSelected(3, false);
  EXPECT_EQ(f.lv.selectedRows(), std::vector<int>({1, 4}));
  f.lv.selectAll();
  EXPECT_EQ(f.lv.selectedRows(), std::vector<int>({0, 1, 2, 3, 4}));

  int current = -2;
  QObject::connect(&f.lv, &ListView::currentRowChanged, [&](int row) { current = row; });
  f.lv.setCurrentRow(2);
  EXPECT_EQ(f.lv.currentRow(), 2);
  EXPECT_EQ(current, 2);
  EXPECT_EQ(f.lv.selectedRows(), std::vector<int>({2}));
  f.lv.clearSelection();
  EXPECT_TRUE(f.lv.selectedRows().empty());

  // A new fill drops the selection.
  f.lv.setSelected(1, true);
  f.lv.setRows(rows);
  EXPECT_TRUE(f.lv.selectedRows().empty());
}

TEST(ListView, HeaderClicksFontAndActivation) {
  Fixture f;
  f.lv.setRows({{"b", "2"}, {"a", "10"}, {"c", "1"}});
  f.lv.setColumnSortMode(1, ListView::SortMode::Number);
  std::vector<int> clicked;
  QObject::connect(&f.lv, &ListView::headerClicked, [&](int c) { clicked.push_back(c); });

  // Without automatic sorting a click is only reported.
  Q_EMIT f.lv.header()->sectionClicked(1);
  EXPECT_EQ(f.column(0), QStringList({"b", "a", "c"}));
  f.lv.setSortOnHeaderClick(true);
  Q_EMIT f.lv.header()->sectionClicked(1);
  EXPECT_EQ(f.column(0), QStringList({"c", "b", "a"}));
  Q_EMIT f.lv.header()->sectionClicked(1);
  EXPECT_EQ(f.column(0), QStringList({"a", "b", "c"}));
  EXPECT_EQ(f.lv.sortOrder(), Qt::DescendingOrder);
  Q_EMIT f.lv.header()->sectionClicked(0);
  EXPECT_EQ(f.lv.sortOrder(), Qt::AscendingOrder);
  EXPECT_EQ(clicked, std::vector<int>({1, 1, 1, 0}));

  EXPECT_TRUE(f.lv.header()->sectionsClickable());
  f.lv.setFlatHeader(true);
  EXPECT_FALSE(f.lv.header()->sectionsClickable());

  const int size = f.lv.font().pointSize();
  f.lv.setFontPointSize(8);
  f.lv.setFontPointSize(25);
  EXPECT_EQ(f.lv.font().pointSize(), size);
  f.lv.setFontPointSize(14);
  EXPECT_EQ(f.lv.font().pointSize(), 14);

  std::vector<int> activated, keys;
  QObject::connect(&f.lv, &ListView::rowActivated, [&](int r) { activated.push_back(r); });
  QObject::connect(&f.lv, &ListView::keyPressed, [&](int k, Qt::KeyboardModifiers) { keys.push_back(k); });
  f.lv.setCurrentRow(1);
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QCoreApplication::sendEvent(&f.lv, &enter);
  QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
  QCoreApplication::sendEvent(&f.lv, &del);
  EXPECT_EQ(activated, std::vector<int>({1}));
  EXPECT_EQ(keys, std::vector<int>({Qt::Key_Return, Qt::Key_Delete}));
}

namespace {

// Rows "r<i>" with a number, a date and an Index; counts what the list asks.
class CountingSource : public ListRowSource {
 public:
  explicit CountingSource(int n) : n_(n) {}
  int rowCount() const override { return n_; }
  QString text(int row, int column) const override {
    ++asked;
    switch (column) {
      case 0: return QStringLiteral("r%1").arg(row);
      case 1: return QString::number((row * 7) % 5);
      case 2: return QStringLiteral("2024/01/%1").arg(1 + (row * 3) % 28, 2, 10, QChar(u'0'));
      case 3: return QString::number(row + 1);
      default: return {};
    }
  }
  QColor foreground(int row, int column) const override {
    return column == 1 && row % 2 == 0 ? QColor(Qt::red) : QColor();
  }
  mutable int asked = 0;

 private:
  int n_;
};

}  // namespace

TEST(ListView, RowSourceIsReadOnlyWhenNeededAndBehavesAsRowsOfTexts) {
  Fixture f;
  f.lv.setMultiSelect(true);
  auto src = std::make_shared<CountingSource>(200000);
  f.lv.setRowSource(src);
  EXPECT_EQ(f.lv.rowCount(), 200000);
  EXPECT_EQ(src->asked, 0);  // nothing built for rows nobody reads
  EXPECT_EQ(f.lv.rowSource(), src.get());
  EXPECT_EQ(f.lv.text(5, 0), "r5");
  EXPECT_EQ(f.lv.tableIndex(5), 6);
  EXPECT_EQ(f.lv.rowTexts(5), QStringList({"r5", "0", "2024/01/16", "6"}));
  EXPECT_EQ(f.lv.cellColor(4, 1), QColor(Qt::red));
  EXPECT_FALSE(f.lv.cellColor(5, 1).isValid());

  // Code goes over the source: texts, cell colours (invalid = none), row colours.
  f.lv.setText(4, 1, QStringLiteral("x"));
  f.lv.setColumnTexts(2, {{6, QStringLiteral("缺貨")}, {7, QStringLiteral("缺貨")}, {-1, QStringLiteral("?")}});
  f.lv.setCellColor(4, 1, QColor());
  f.lv.setCellColors({7, 9}, 0, Qt::blue);
  f.lv.setRowColors({9}, Qt::green);
  EXPECT_EQ(f.lv.text(4, 1), "x");
  EXPECT_EQ(f.lv.text(7, 2), "缺貨");
  EXPECT_FALSE(f.lv.cellColor(4, 1).isValid());
  EXPECT_EQ(f.lv.cellColor(7, 0), QColor(Qt::blue));
  EXPECT_EQ(f.lv.cellColor(9, 0), QColor(Qt::blue));
  EXPECT_EQ(f.lv.cellColor(9, 1), QColor(Qt::green));
  EXPECT_EQ(f.lv.model()->data(f.lv.model()->index(8, 1), Qt::ForegroundRole).value<QBrush>().color(),
            QColor(Qt::red));

  // Sorting reorders row numbers; texts set by code, colours and selection follow.
  f.lv.setSelected(7, true);
  f.lv.setColumnSortMode(1, ListView::SortMode::Number);
  f.lv.sortRows(1, Qt::DescendingOrder);
  std::vector<int> sel = f.lv.selectedRows();
  ASSERT_EQ(sel.size(), 1u);
  EXPECT_EQ(f.lv.sourceRow(sel[0]), 7);
  EXPECT_EQ(f.lv.text(sel[0], 2), "缺貨");
  EXPECT_EQ(f.lv.cellColor(sel[0], 0), QColor(Qt::blue));
  EXPECT_EQ(f.lv.text(199999, 1), "0");  // "x" reads as 0 and keeps its place among the zeros
  for (int r = 1; r < 1000; ++r) EXPECT_GE(f.lv.text(r - 1, 1).toInt(), f.lv.text(r, 1).toInt());
  f.lv.setColumnSortMode(2, ListView::SortMode::Date);
  f.lv.sortRows(2, Qt::AscendingOrder);
  EXPECT_EQ(f.lv.text(0, 2), "缺貨");  // no date: first
  f.lv.sortRows(0, Qt::AscendingOrder);
  EXPECT_EQ(f.lv.text(0, 0), "r0");
  EXPECT_EQ(f.lv.text(1, 0), "r1");
  EXPECT_EQ(f.lv.text(2, 0), "r10");

  // Rows of texts mix in; removing and moving work on both kinds.
  f.lv.insertRow(1, {"new", "", "", "0"});
  EXPECT_EQ(f.lv.sourceRow(1), -1);
  EXPECT_EQ(f.lv.text(1, 0), "new");
  f.lv.moveRow(1, 3);
  EXPECT_EQ(f.lv.text(3, 0), "new");
  f.lv.removeRow(0);
  EXPECT_EQ(f.lv.text(0, 0), "r1");
  EXPECT_EQ(f.lv.rowCount(), 200000);

  // A new source drops everything set by code.
  f.lv.setRowSource(std::make_shared<CountingSource>(10));
  EXPECT_EQ(f.lv.rowCount(), 10);
  EXPECT_EQ(f.lv.text(7, 2), "2024/01/22");
  EXPECT_FALSE(f.lv.cellColor(7, 0).isValid());
  EXPECT_TRUE(f.lv.selectedRows().empty());
}
