#include "models/CustomerFields.h"

namespace NameSex {

QString name(const QString& cell) {
  const qsizetype i = cell.indexOf(Separator);
  return i < 0 ? cell : cell.left(i);
}

QString sex(const QString& cell) {
  const qsizetype i = cell.indexOf(Separator);
  if (i < 0) return {};
  const qsizetype j = cell.indexOf(Separator, i + 1);
  return j < 0 ? cell.mid(i + 1) : cell.mid(i + 1, j - i - 1);
}

bool hasSeparator(const QString& cell) { return cell.contains(Separator); }

QString join(const QString& name, const QString& sex) { return name + Separator + sex; }

}  // namespace NameSex

CustomerFields CustomerFields::fromGuestRow(const Table& guest, int row) {
  CustomerFields f;
  f.account = guest.cell(row, GuestCell::CustomerAccount);
  f.category = guest.cell(row, GuestCell::CustomerCategory);
  const QString& ns = guest.cell(row, GuestCell::CustomerNameSex);
  f.name = NameSex::name(ns);
  f.sex = NameSex::sex(ns);
  f.hasSex = NameSex::hasSeparator(ns);
  f.phone = guest.cell(row, GuestCell::CustomerPhone);
  f.mobile = guest.cell(row, GuestCell::CustomerMobile);
  f.email = guest.cell(row, GuestCell::CustomerEmail);
  f.address = guest.cell(row, GuestCell::CustomerAddress);
  f.bankLast5 = guest.cell(row, GuestCell::BankLast5);
  f.note = guest.cell(row, GuestCell::CustomerNote);
  return f;
}

void CustomerFields::toGuestRow(Table& guest, int row) const {
  guest.setCell(row, GuestCell::CustomerAccount, account);
  guest.setCell(row, GuestCell::CustomerCategory, category);
  guest.setCell(row, GuestCell::CustomerNameSex, NameSex::join(name, sex));
  guest.setCell(row, GuestCell::CustomerPhone, phone);
  guest.setCell(row, GuestCell::CustomerMobile, mobile);
  guest.setCell(row, GuestCell::CustomerEmail, email);
  guest.setCell(row, GuestCell::CustomerAddress, address);
  guest.setCell(row, GuestCell::BankLast5, bankLast5);
  guest.setCell(row, GuestCell::CustomerNote, note);
}
