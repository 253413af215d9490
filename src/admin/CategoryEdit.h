#pragma once
// The category lists of the open database and what a rename or a delete of a
// category does to the tables, without the editor window.
#include <QString>
#include <QStringList>
#include <vector>

class Database;

namespace CategoryEdit {

enum class Kind { None, Product, Customer, Expense };

// The editor's caption chooses the list: "編輯商品分類", "編輯客戶分類",
// "編輯費用分類"; anything else is Kind::None.
Kind kindOf(const QString& caption);
QString caption(Kind kind);
int capacity(Kind kind);      // 2000, 200, 500
QString word(Kind kind);      // "商品分類", "客戶分類", "分類"
QStringList& list(Database& db, Kind kind);

// A category name as stored: every double quote and "”" removed, blanks and
// line breaks off both ends.
QString cleanName(const QString& typed);

// Identities that a rename from `from` to `to` would make two rows share:
// products (name within a category) or customers (account within a
// category) found under both names. Empty for expenses and when from == to.
QStringList clashes(const Database& db, Kind kind, const QString& from, const QString& to);

// Every category cell holding `from` (exactly) gets `to`: products, their
// order lines and their pictures; customers and their orders; expenses (and
// ExpendDirty is set). Returns the number of cells changed.
int rename(Database& db, Kind kind, const QString& from, const QString& to);
// The rows of a deleted category move to "未分類".
int remove(Database& db, Kind kind, const QString& name);

// Moves every run of selected entries one place up (down), except a run
// already at the top (bottom); texts and selection marks move together.
void moveUp(QStringList& entries, std::vector<bool>& selected);
void moveDown(QStringList& entries, std::vector<bool>& selected);

}  // namespace CategoryEdit
