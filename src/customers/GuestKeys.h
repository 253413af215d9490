#pragma once
// The customers by their key (account, category): the first Guest row of
// each key, built once per command. Commands that append customers tell it
// so that later lookups see them.
#include <QHash>
#include <QString>
#include <QStringView>
#include <utility>

class Table;

class GuestKeys {
 public:
  explicit GuestKeys(const Table& guest);

  // The first Guest row of this account and category (exact texts); 0 for none.
  int find(const QString& account, const QString& category) const;
  // A row appended with this key (ignored when the key already has a row).
  void added(const QString& account, const QString& category, int row);

  // Makes room in Guest for as many rows as the text has lines, so that an
  // import appending a customer per line does not grow the table in steps.
  // The keys get room for them too.
  void reserveForLines(Table& guest, QStringView text);

 private:
  QHash<std::pair<QString, QString>, int> first_;
};
