#pragma once
// The customers of a book by their key (account and category, compared
// exactly), for the commands that join orders to customers: a customer is
// the first Guest row of its key, as every order-list command finds it
// (OrderList::CustomerLookup). Built once per command on several threads;
// the Guest table must not change while it is used, and threads may share
// a built index.
//
// A pass over the orders asks once per order; each question costs about
// one look into the index and one comparison of the account's characters:
// the index holds, beside each key's row, where the account's characters
// lie and a number for its category.
#include <QHash>
#include <QStringView>
#include <array>
#include <cstdint>
#include <vector>

#include "store/HashedRows.h"

class Table;

class CustomerIndex {
 public:
  explicit CustomerIndex(const Table& guest);

  // The first Guest row of that account and category; 0 when none.
  int row(QStringView account, QStringView category) const;

  // The same for the account and category cells of row r of a table (the
  // orders), for passes over many rows: each thread of a pass keeps a memo
  // of its own for the category cells, which repeat all through.
  struct Memo {
    Memo() { id.fill(UINT32_MAX); }
    std::array<uint32_t, 64> id;
    std::array<int, 64> category{};
  };
  int row(const Table& t, int r, int accountCell, int categoryCell, Memo& memo) const;
  // The customers of rows from..to - 1 of a table at once: out[k] for row
  // from + k. Faster than one by one: the look-ups of a few rows wait for
  // memory together.
  void rows(const Table& t, int from, int to, int accountCell, int categoryCell, Memo& memo, int* out) const;
  // The same for the listed rows of a table: out[k] for row rowList[k].
  void rows(const Table& t, const int* rowList, size_t count, int accountCell, int categoryCell, Memo& memo,
            int* out) const;

  // The hash of a key: an account and its category's number.
  static uint64_t hashOf(QStringView account, int category);

  // The first Guest row of the key of Guest row r (r itself for the first).
  int firstOf(int r) const { return first_[static_cast<size_t>(r)]; }

 private:
  static constexpr int kPartBits = 3;
  int find(QStringView account, int category) const;
  int categoryOf(const Table& t, int r, int categoryCell, Memo& memo) const;
  template <typename RowAt>
  void findRows(const Table& t, RowAt rowAt, size_t count, int accountCell, int categoryCell, Memo& memo,
                int* out) const;

  const Table& guest_;
  QHash<QStringView, int> categories_;  // category text -> its number (views into the Guest table)
  std::vector<TextKeyTable> parts_;     // keys fall into parts by their hash, each built on a thread
  std::vector<int> first_;
};

// The customer of each of the given rows of a table (the orders): the first
// Guest row whose account and category equal the row's cells, 0 when none,
// as CustomerIndex finds it. For a few rows only their own keys are hashed
// and Guest is passed once; for many an index over every customer is built.
// Either way on several threads.
std::vector<int> customerRowsOf(const Table& guest, const Table& t, const std::vector<int>& rows, int accountCell,
                                int categoryCell);
