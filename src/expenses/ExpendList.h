#pragma once
// The expense book without its window: the rows the expense list shows for
// a category and a period (or a search), their count and total, the checks
// and cleaning of the edit boxes, add, edit and delete on the Expend table,
// the period the filters switch to after an add, and the exchange-rate
// conversion of one amount.
//
//   ExpendList::Filter f{categoryFilterCombo->currentText(), periodCombo->currentText(), yearEdit->text()};
//   const ExpendList::Listing l = ExpendList::ExpendShow(db.Expend, f);
//   expenseList->setRows(l.rows);   // sorted by date, Index in the last cell
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "store/Decimal.h"

class Database;
class Table;

namespace ExpendList {

inline const QString AllText = QStringLiteral("全部");
inline const QString WholeYearText = QStringLiteral("整年");
inline const QString UncategorisedText = QStringLiteral("未分類");
inline const QString EditCategoriesText = QStringLiteral("編輯費用分類");

// Columns of the list: the date as row text, four cells and the hidden Index.
enum Column : int { Date = 0, Category, Detail, Amount, Note, Index, ColumnCount };

// "全部", "整年", "01月" … "12月": the period list of the window and of the main window.
QStringList periodEntries();
// The category filter: "全部", the expense categories, "未分類", "編輯費用分類".
QStringList filterEntries(const Database& db);
// The category box of the edit boxes: the expense categories, then "未分類".
QStringList categoryEntries(const Database& db);

// The two filters as their controls read; every comparison is exact.
struct Filter {
  QString category = AllText;  // categoryFilterCombo
  QString period = AllText;    // periodCombo
  QString year;                // yearEdit, compared with the first four characters of a date

  bool passesCategory(const QString& category) const;
  bool passesPeriod(const QString& date) const;
};

// A built list: rows in date order (ascending, letters without regard to
// case; rows of one date keep their table order), the rows whose amount is
// below 0, the count and the total of the amounts.
struct Listing {
  std::vector<QStringList> rows;
  std::vector<bool> negative;  // parallel to rows: the 金額 cell is drawn red
  Decimal total;
  QString status() const;
};

// " 共 n 筆資料，支出總計 total 元".
QString statusText(int count, const Decimal& total);

// The rows that pass both filters.
Listing ExpendShow(const Table& expend, const Filter& filter);
// The rows whose detail or note contains text (case of letters ignored),
// within the filters, or over every expense when whole is set. An empty
// text is no search: the caller leaves the list as it is.
Listing Search(const Table& expend, const Filter& filter, const QString& text, bool whole);
// Orders listed rows by date in place (stable), as the list keeps them.
void sortByDate(std::vector<QStringList>& rows);

// The five edit boxes.
struct Boxes {
  QString date;      // dateEdit
  QString category;  // categoryCombo
  QString detail;    // detailEdit
  QString amount;    // amountEdit
  QString note;      // noteEdit
};

enum class Check { Ok, EmptyDate, BadDate };
inline const QString EmptyDateText = QStringLiteral("請輸入日期");
inline const QString BadDateText = QStringLiteral("不是正確的日期格式");

// The first steps of add and edit. On Ok the boxes hold what the user then
// sees: the date as "yyyy/mm/dd", an empty or non-numeric amount as "0",
// detail and note without double quotes and "”". A refused date changes
// no box.
Check validate(Boxes& boxes);
// The cells of a row from validated boxes (the amount as number text).
QStringList rowCells(const Boxes& boxes);

// Appends a row; returns its row number. Sets DirtyFlag and ExpendDirty.
int add(Database& db, const Boxes& validated);
// Overwrites row n; false (nothing changed) when there is no such row.
bool edit(Database& db, int row, const Boxes& validated);
// Removes row n, the later rows moving up; false when there is no such row.
bool remove(Database& db, int row);

// Where the period filter goes after an add of a row dated `date`: nothing
// when the row already falls in the chosen period, else that year and the
// entry of its month ("01月" … "12月", position month + 1).
struct PeriodSwitch {
  bool change = false;
  QString year;
  int periodIndex = 0;
};
PeriodSwitch periodAfterAdd(const QString& period, const QString& year, const QString& date);

// The exchange-rate conversion of an amount: RoundHalfUp(rate × amount,
// digits). The rate is the answer's leading number.
struct Conversion {
  enum class Outcome { Converted, NoRate, Overflow } outcome = Outcome::NoRate;
  double amount = 0;  // the new amount
  double rate = 0;    // the rate to remember
};
// NoRate for an answer that does not start with a number (nothing changes,
// nothing is remembered); Overflow when the product or its rounding leaves
// the range of a double.
Conversion convert(const QString& answer, const QString& amountCell, int digits);

}  // namespace ExpendList
