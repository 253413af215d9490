#include "customers/CustomerCsv.h"

#include "customers/GuestKeys.h"
#include "models/CustomerFields.h"
#include "platform/Prompt.h"
#include "store/CsvFile.h"
#include "store/Database.h"
#include "store/TextEntry.h"

namespace CustomerCsv {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// The cells fields 5 to 10 fill.
constexpr int kTailCells[] = {GuestCell::CustomerPhone,   GuestCell::CustomerMobile, GuestCell::CustomerEmail,
                              GuestCell::CustomerAddress, GuestCell::BankLast5,      GuestCell::CustomerNote};

// A field as it is stored: quotes and "”" removed, and the name-and-sex
// separator, which would split a name, too.
QString stored(const QString& field) {
  QString v = TextEntry::clean(field);
  if (v.contains(NameSex::Separator)) v.remove(NameSex::Separator);
  return v;
}

// Writes the cells a line has: the name and sex (fields 3, 4) and fields 5 to 10.
void writeCells(Table& guest, int r, const QStringList& f) {
  if (f.size() >= 4) guest.setCell(r, GuestCell::CustomerNameSex, NameSex::join(f[2], f[3]));
  else if (f.size() == 3) guest.setCell(r, GuestCell::CustomerNameSex, f[2]);
  for (int i = 0; i < 6 && 4 + i < f.size(); ++i) guest.setCell(r, kTailCells[i], f[4 + i]);
}

}  // namespace

QStringList exportFields(const Table& guest, int r) {
  const QString& ns = guest.cell(r, GuestCell::CustomerNameSex);
  QStringList f;
  f.reserve(10);
  f << guest.key(r) << guest.cell(r, GuestCell::CustomerCategory) << NameSex::name(ns) << NameSex::sex(ns);
  for (int c : kTailCells) f << guest.cell(r, c);
  for (QString& v : f) v = TextEntry::withoutCrLf(v);
  return f;
}

QString exportText(const Table& guest, const std::vector<int>& rows) {
  QString out = HeaderLine + kCrLf;
  for (int r : rows) {
    if (r < 1 || r > guest.count()) continue;
    out += Csv::record(exportFields(guest, r));
    out += kCrLf;
  }
  return out;
}

ImportCount importText(Database& db, const QString& text, bool replace) {
  ImportCount count;
  Table& guest = db.Guest;
  GuestKeys keys(guest);
  keys.reserveForLines(guest, text);
  Csv::Reader reader(text);
  QStringList f;
  reader.next(&f);  // the header
  while (reader.next(&f)) {
    if (f.isEmpty()) continue;
    if (f.size() > 10) f.erase(f.begin() + 10, f.end());
    for (QString& v : f) v = stored(v);
    // A line of the account alone is a customer without a category; a line
    // with a category field needs it filled.
    const bool accountOnly = f.size() == 1;
    if (accountOnly) f << QString();
    // The key is one line: the export writes no line break, so an account
    // or category holding one would come back as another customer's key.
    f[0] = TextEntry::withoutCrLf(f[0]);
    f[1] = TextEntry::withoutCrLf(f[1]);
    if (f[0].isEmpty() || (f[1].isEmpty() && !accountOnly)) continue;
    if (const int r = keys.find(f[0], f[1])) {
      if (!replace) continue;
      writeCells(guest, r, f);
      ++count.updated;
      continue;
    }
    const int r = guest.append(f[0]);
    guest.setCell(r, GuestCell::CustomerCategory, f[1]);
    writeCells(guest, r, f);
    keys.added(f[0], f[1], r);
    ++count.added;
  }
  return count;
}

void exportCommand(const Database& db, Prompt& prompt, const std::vector<int>& rows) {
  const QString path = prompt.saveFile(QStringLiteral("匯出"), FileFilter, QString(), ExportFileName);
  if (path.isEmpty()) return;
  if (!Csv::writeFile(path, exportText(db.Guest, rows))) {
    prompt.error();
    return;
  }
  prompt.message(ExportDoneText, Prompt::Icon::Exclamation, Prompt::Buttons::Ok, QStringLiteral("注意"));
}

bool importCommand(Database& db, Prompt& prompt) {
  const QString path = prompt.openFile(QStringLiteral("匯入"), FileFilter);
  if (path.isEmpty()) return false;
  QString text;
  const Csv::ReadStatus status = Csv::readFile(path, &text);
  if (status != Csv::ReadStatus::Ok) {
    prompt.message(Csv::readFailureText(status), Prompt::Icon::Exclamation);
    return false;
  }
  const bool replace = prompt.askYesNo(ReplaceQuestion, QStringLiteral("注意"));
  importText(db, text, replace);
  db.setDirty(true);
  prompt.info(ImportDoneText);
  return true;
}

}  // namespace CustomerCsv
