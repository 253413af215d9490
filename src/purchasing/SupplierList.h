#pragma once
// The suppliers as the supplier list dialog holds them while it is open:
// names and details in two parallel lists, in the user's order. The
// database's lists change only when the dialog commits on closing; a rename
// reaches the purchase records at once.
//
// The supplier CSV file: one line per supplier, name "," details, CR LF
// pairs inside a field turned into one blank. A field holding a comma is
// quoted, so the program's own file reads back whole; a line of an older
// file whose details hold bare commas keeps them too.
#include <QString>
#include <QStringList>

class Database;
struct DatabaseSettings;

class SupplierList {
 public:
  SupplierList() = default;
  explicit SupplierList(const DatabaseSettings& s);

  QStringList names;
  QStringList details;

  int count() const { return static_cast<int>(names.size()); }

  enum class Outcome { Done, Full, Duplicate, NoSupplier };
  // Adds a supplier at the end. The name is cleaned (quotes dropped,
  // trimmed), an empty one becomes "新廠商"; details lose their quotes. The
  // cleaned texts are left in name and details for the boxes.
  Outcome add(QString& name, QString& details);
  // Renames and redescribes supplier i (0-based); the purchase records of
  // the old name take the new one. A name another supplier holds is refused.
  Outcome edit(Database& db, int i, QString& name, QString& details);
  void remove(int i);
  // Swaps supplier i with its neighbour; returns where it is now.
  int moveUp(int i);
  int moveDown(int i);

  // The file's text.
  QString csvText() const;
  // Adds the suppliers of a file's text: a name already listed takes the
  // line's details when replace is on and the line has details, else stays.
  void importCsv(const QString& text, bool replace);

  enum class CloseCheck { Ok, Empty, TooMany };
  CloseCheck closeCheck() const;
  // Writes the lists into the database's supplier lists.
  void commit(DatabaseSettings& s) const;

  int find(const QString& name) const { return static_cast<int>(names.indexOf(name)); }
};
