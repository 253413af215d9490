#pragma once
// Looking for a typed text in many cells, ignoring case (Qt's case folding,
// as QString::contains with Qt::CaseInsensitive). A text without letters
// that have cases (Chinese, digits, most punctuation) folds to itself alone
// among the characters a book can hold (code page 950, tested), so for it
// the much faster exact search gives the same answer; the look at the text
// is made once per search, not once per cell.
#include <QString>
#include <QStringView>

// Qt::CaseInsensitive when `what` holds a letter that has cases.
inline Qt::CaseSensitivity foldingNeeded(QStringView what) {
  for (const QChar ch : what)
    if (ch.toLower() != ch || ch.toUpper() != ch) return Qt::CaseInsensitive;
  return Qt::CaseSensitive;
}

class CaselessSearch {
 public:
  explicit CaselessSearch(const QString& what) : what_(what), cs_(foldingNeeded(what)) {}
  bool isEmpty() const { return what_.isEmpty(); }
  // text holds the text looked for (an empty one is in every text).
  bool operator()(QStringView text) const { return text.contains(what_, cs_); }

 private:
  QString what_;
  Qt::CaseSensitivity cs_;
};
