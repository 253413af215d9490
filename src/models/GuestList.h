#pragma once
// The customer window's rows and the table commands behind its buttons,
// without the window: the list fill for a category, the searches, the
// delete of chosen customers and the permanent sort.
#include <QString>
#include <QStringList>
#include <array>
#include <utility>
#include <vector>

#include "store/Table.h"

class Database;

namespace GuestList {

// List columns: 0 account (row text), 1 category, 2 name, 3 phone, 4 mobile,
// 5 Email, 6 address, 7 bank digits, 8 note, 9 the Guest row number (Index).
enum Column : int { Account = 0, Category, Name, Phone, Mobile, Email, Address, BankLast5, Note, Index, Count };

// Which of the columns 2..8 are filled (the view menu); 0 and 1 always are.
using View = std::array<bool, Column::Count>;
View allShown();

// The filter entries: "全部", the customer categories, "未分類", "編輯客戶分類".
QStringList filterEntries(const Database& db);
// The customer dialog's category entries: the categories, then "未分類".
QStringList dialogCategories(const Database& db);

// A list row of Guest row r; columns switched off are left empty.
QStringList row(const Table& guest, int r, const View& view);

// The customers of a filter entry: every row for "全部", else the rows whose
// category equals the filter text exactly.
std::vector<QStringList> show(const Table& guest, const QString& filter, const View& view);

// The search text as the window uses it: blanks off both ends, then only the
// text before the first CR LF.
QString searchText(const QString& typed);
// Rows whose account or name holds `text` (lower case on both sides),
// within the filter unless allCategories.
std::vector<QStringList> search(const Table& guest, const QString& text, const QString& filter,
                                bool allCategories, const View& view);

// Removes, for each (account, category), the first Guest row with that key
// that is not already removed by an earlier entry. Returns the rows removed.
int removeGuests(Database& db, const std::vector<std::pair<QString, QString>>& keys);

// Puts Guest into ascending text order of the account, for good.
void sortGuests(Database& db);

}  // namespace GuestList
