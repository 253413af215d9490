#pragma once
// Looking for a typed text in many cells, ignoring case (Qt's case folding,
// as QString::contains with Qt::CaseInsensitive). A text without letters
// that have cases (Chinese, digits, most punctuation) folds to itself alone
// among the characters a book can hold (code page 950, tested), so for it
// the much faster exact search gives the same answer; the look at the text
// is made once per search, not once per cell.
#include <QString>
#include <QStringView>
#include <atomic>
#include <cstdint>
#include <memory>

#include "store/Table.h"

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

// The same search over the cells of one table, each distinct value looked
// at once however many cells hold it (names and categories of order lines
// repeat all through). Threads may share one; the table must not change
// while it is used.
class CellSearch {
 public:
  CellSearch(const Table& table, const QString& what) : table_(table), search_(what) {
    if (!search_.isEmpty()) memo_.reset(new std::atomic<uint8_t>[table.valueIdCount()]());
  }
  bool isEmpty() const { return search_.isEmpty(); }
  // The cell holds the text looked for.
  bool operator()(int row, int column) const {
    if (!memo_) return true;
    const uint32_t id = table_.valueId(row, column);
    std::atomic<uint8_t>& known = memo_[id];
    uint8_t v = known.load(std::memory_order_relaxed);
    if (v == 0) {
      v = search_(table_.valueText(id)) ? 2 : 1;
      known.store(v, std::memory_order_relaxed);
    }
    return v == 2;
  }

 private:
  const Table& table_;
  CaselessSearch search_;
  std::unique_ptr<std::atomic<uint8_t>[]> memo_;  // by value number: 0 not looked at, 1 no, 2 yes
};
