#pragma once
// The customers by their key (account, category): the first Guest row of
// each key, built once per command. Commands that append customers tell it
// so that later lookups see them.
//
// A key costs one look into a table of hashes and one comparison of the
// account's characters; the index holds its own references to the
// accounts, so the Guest table may change while it is used.
#include <QHash>
#include <QString>
#include <QStringView>
#include <vector>

#include "store/HashedRows.h"

class Table;

class GuestKeys {
 public:
  // With room for `more` keys to be added.
  explicit GuestKeys(const Table& guest, size_t more = 0);

  // The first Guest row of this account and category (exact texts); 0 for none.
  int find(const QString& account, const QString& category) const;
  // A row appended with this key (ignored when the key already has a row).
  void added(const QString& account, const QString& category, int row);
  // find() and added() in one look-up: the first row of the key, or 0
  // when it had none and `row` was stored as its first.
  int findOrAdd(const QString& account, const QString& category, int row);

  // Makes room in Guest for as many rows as the text has lines, so that an
  // import appending a customer per line does not grow the table in steps.
  // The keys get room for them too.
  void reserveForLines(Table& guest, QStringView text);
  // The lines of a text (counted by line feeds or by carriage returns).
  static qsizetype linesIn(QStringView text);

 private:
  // The number of a category text; -1 for one never met unless `add`.
  int categoryNumber(const QString& category, bool add);
  int categoryNumber(const QString& category) const;
  static uint64_t hashOf(QStringView account, int category);
  // Stores row under the key unless it has one; returns the one it had.
  int store(const QString& account, int category, int row);

  std::vector<QString> accounts_;  // the accounts stored: the keys' characters lie in them
  QHash<QString, int> categories_;
  TextKeyTable keys_;              // (account, category number) -> first row
};
