#pragma once
// Saving the customer dialog: turns its boxes into one Guest row, keeps the
// customer key (account, category) unique, warns about a new customer that
// shares a contact detail with a stored one, carries a changed key into the
// orders and adds a new category to the customer-category list. No window:
// the dialog calls it and then brings the customer window in step.
#include <QString>
#include <QStringList>

#include "models/CustomerFields.h"

class Database;
class Prompt;

namespace GuestSave {

// The dialog's modes (its SelState).
enum Mode : int {
  NewFromList = 1,     // "新增客戶" of the customer window
  EditFromList = 2,    // "編輯客戶" of the customer window
  NewFromEditor = 3,   // the order editor's customer button, "新增客戶"
  EditFromEditor = 4,  // the order editor's customer button, "編輯客戶"
};

struct Request {
  int SelState = NewFromList;
  QString NameStr;  // account before the edit; empty for a new customer
  QString SaleStr;  // category before the edit; empty for a new customer
  int SelEdit = 0;  // Guest row edited in modes 2 and 4
};

struct Result {
  enum class Outcome {
    Stopped,  // a refusal or an error was shown; the dialog stays open
    Taken,    // modes 3/4: a stored customer went to the order editor; no table changed
    Saved,    // the Guest row was written; the dialog closes
  };
  Outcome outcome = Outcome::Stopped;
  int row = 0;                 // the Guest row written
  bool categoryAdded = false;  // the category joined CustomerCategories
  bool keyChanged = false;     // account or category differ from NameStr/SaleStr
};

// Runs the save on the dialog's boxes, which it cleans in place (what stays
// in them is what was compared and stored). `editor` receives the saved or
// the taken customer in modes 3 and 4 (it may be empty in modes 1 and 2).
Result run(Database& db, Prompt& prompt, CustomerFields& boxes, const Request& request,
           const CustomerSink& editor);

// ---- steps, also used on their own ----

// Trailing blanks off, then tabs and separator characters out; the category
// trimmed at both ends; finally every double quote and "”" removed from the
// ten boxes.
void clean(CustomerFields& boxes);
// The first Guest row with this account and category (exact texts), 0 for none.
int findGuest(const Table& guest, const QString& account, const QString& category);
// The first Guest row sharing a detail with a new customer (same account in
// any category, or the same non-empty name, phone, mobile, Email or address);
// 0 for none.
int findOverlap(const Table& guest, const CustomerFields& boxes);
// The lines "帳號：" to "住址：" describing a stored customer ("姓名：" only
// when its name-and-sex cell is not empty).
QStringList describe(const Table& guest, int row);
// Adds a category to CustomerCategories unless it is listed, "未分類", or the
// list is full (200). True when it was added.
bool addCustomerCategory(Database& db, const QString& category);
// Every order of customer (oldAccount, oldCategory) gets the new key; returns
// the number of orders changed.
int moveOrders(Database& db, const QString& oldAccount, const QString& oldCategory, const QString& newAccount,
               const QString& newCategory);

}  // namespace GuestSave
