#pragma once
// One customer as the dialogs and the order editor see it: the nine cells of
// a Guest row with the name and sex apart.
#include <QString>
#include <functional>

#include "store/Table.h"

struct CustomerFields {
  QString account;    // CustomerAccount (the row's key text)
  QString category;   // CustomerCategory
  QString name;       // CustomerNameSex before the character with code 1
  QString sex;        // CustomerNameSex after it
  QString phone;      // CustomerPhone
  QString mobile;     // CustomerMobile
  QString email;      // CustomerEmail
  QString address;    // CustomerAddress
  QString bankLast5;  // BankLast5
  QString note;       // CustomerNote
  // False when the stored name-and-sex cell had no separator: a receiver that
  // keeps a sex box of its own leaves it as it is (see CustomerSink).
  bool hasSex = true;

  bool operator==(const CustomerFields&) const = default;

  // The fields of Guest row `row` (1-based). The name is empty for an empty
  // cell; the sex is empty and hasSex false when the cell has no separator.
  static CustomerFields fromGuestRow(const Table& guest, int row);
  // Writes all nine cells of Guest row `row`; the name-and-sex cell always
  // carries the separator, even when both parts are empty.
  void toGuestRow(Table& guest, int row) const;
};

namespace NameSex {
constexpr QChar Separator = QChar(1);
// The name: the text before the first separator (the whole cell when none).
QString name(const QString& cell);
// The sex: the text after the first separator up to a second one; empty when
// there is no separator.
QString sex(const QString& cell);
bool hasSeparator(const QString& cell);
QString join(const QString& name, const QString& sex);
}  // namespace NameSex

// Receives a customer chosen for the order being edited: the customer
// window's pick ("加入客戶") and the customer dialog opened from the order
// editor (a new or edited customer saved, or an existing one taken).
//
// The receiver (the order editor) fills its customer boxes: account,
// category, name, sex, phone, mobile, Email, address, bank digits, note,
// and sets the caption of its customer button to "編輯客戶".
// When `hasSex` is false, the sex box keeps what it holds (an existing customer
// taken from the dialog whose name-and-sex cell has no separator); the
// picker always sends hasSex = true with an empty sex in that case.
using CustomerSink = std::function<void(const CustomerFields&)>;
