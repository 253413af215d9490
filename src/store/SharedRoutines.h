#pragma once
// Small routines every window shares: the program's rounding rule, lookups in
// the in-memory tables, the mobile-number mask of printouts, the first line
// of a search box, and the folder test and picker. No widgets here.
#include <QHash>
#include <QString>
#include <utility>

class Prompt;
class Table;

// floor((v * 10^(digits + 1) + 5) / 10) / 10^digits in double precision:
// halves go toward positive infinity, for negative values too (-2.5 -> -2).
// Callers pass 0 digits when Rate is on, 2 when it is off. A failure
// (digits out of range, a result that is not a number) gives 0.
double RoundHalfUp(double v, int digits);
// A numeric text is converted first; any other text gives 0.
double RoundHalfUp(const QString& v, int digits);

// Row of Manuf whose name and category both match exactly (case-sensitive),
// the first such row; 0 when none.
int FindProductRow(const Table& manuf, const QString& name, const QString& category);

// The same lookup for callers that look up many products: the index is built
// once and holds the first row of every name and category.
class ProductIndex {
 public:
  explicit ProductIndex(const Table& manuf);
  int find(const QString& name, const QString& category) const;

 private:
  QHash<std::pair<QString, QString>, int> rows_;
};

// True when an Order row has exactly this key text (case-sensitive).
bool OrderNumberExists(const Table& order, const QString& no);

// An order number: the month "yymm" followed by the counter with at least
// six digits (2612000001).
QString OrderNumberText(const QString& numStr, long long num);

// The next order number not taken in Order: advances num past every number
// already there and returns the candidate it stopped at.
QString NextFreeOrderNumber(const Table& order, const QString& numStr, long long& num);

// The mobile number as printouts show it: outer blanks removed and, when mask
// is on and more than 7 characters remain, the first 4 and last 3 characters
// kept with a "*" for each one between. Never changes its argument.
QString MaskPhoneNumber(const QString& s, bool mask);
// The same, with mask read from the setting Setting/MaskPhone (default off)
// on every call.
QString MaskPhoneNumber(const QString& s);

// The text before the first CR LF, or the whole text when there is none; a
// lone CR or LF does not end the line.
QString FirstLine(const QString& s);

// True only for an existing folder (with or without a final "/").
bool FolderExists(const QString& path);

// The folder picker: the chosen folder's full path without a final "/"
// (except the root "/"), or "" when the user cancelled.
QString BrowseForFolder(Prompt& prompt, const QString& title);
