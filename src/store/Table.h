#pragma once
// One in-memory table of the open database: rows of a key text and a fixed
// number of text cells. Rows are numbered from 1; new rows go to the end.
//
// Inside, a cell is a 32-bit number naming one text of the table's value
// store, so repeated values (categories, states, dates, "0", empty) are held
// once, and a loaded table costs four bytes a cell plus its distinct texts.
// A reference returned by cell() stays valid while the table is only read
// or its cells set; clearing it, or appending, removing or reordering rows,
// may end it (as with any container).
#include <QString>
#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

class TableLoad;

// Texts constructed in place one after another in a block of fixed
// capacity, never moved (a piece of a table's value store).
class TextChunk {
 public:
  explicit TextChunk(uint32_t capacity);
  ~TextChunk();
  TextChunk(const TextChunk&) = delete;
  TextChunk& operator=(const TextChunk&) = delete;

  uint32_t size() const { return size_; }
  uint32_t capacity() const { return capacity_; }
  bool full() const { return size_ == capacity_; }
  QString* data() { return reinterpret_cast<QString*>(raw_.get()); }
  const QString* data() const { return reinterpret_cast<const QString*>(raw_.get()); }
  const QString& operator[](uint32_t i) const { return data()[i]; }
  // Appends a text; the chunk must not be full.
  void push(QString value) {
    new (data() + size_) QString(std::move(value));
    ++size_;
  }

 private:
  std::unique_ptr<std::byte[]> raw_;
  uint32_t size_ = 0;
  uint32_t capacity_;
};

class Table {
 public:
  explicit Table(int cellCount) : n_(cellCount), columnVersions_(static_cast<size_t>(cellCount) + 1, 0) {}
  Table(const Table& o);
  Table& operator=(const Table& o);
  Table(Table&& o) noexcept;
  Table& operator=(Table&& o) noexcept;

  int cellCount() const { return n_; }
  int count() const { return rows_; }
  bool isEmpty() const { return ids_.empty(); }

  // Adds a row at the end with that key text and every cell empty; returns its row number.
  int append(const QString& key);
  void remove(int row);
  // Removes every listed row (any order, repeats allowed) in one pass.
  void removeRows(std::vector<int> rows);
  void clear();
  void reserve(int rows) { ids_.reserve(static_cast<size_t>(rows) * stride()); }

  // Column 0 is the key text, 1..n the cells. Out-of-range reads give "".
  const QString& cell(int row, int column) const {
    if (row < 1 || row > count() || column < 0 || column > n_) return empty();
    return values_[ids_[static_cast<size_t>(row - 1) * stride() + static_cast<size_t>(column)]];
  }
  void setCell(int row, int column, const QString& value);
  const QString& key(int row) const { return cell(row, 0); }
  void setKey(int row, const QString& value) { setCell(row, 0, value); }

  // A number naming the text of a cell: two cells with the same number hold
  // the same text (equal texts may still carry different numbers). 0 is the
  // empty text; out-of-range cells give 0. Lets a pass over a whole column
  // work once per distinct text. Numbers stay valid until the table is
  // cleared or rows are appended, removed or reordered.
  uint32_t valueId(int row, int column) const {
    if (row < 1 || row > count() || column < 0 || column > n_) return 0;
    return ids_[static_cast<size_t>(row - 1) * stride() + static_cast<size_t>(column)];
  }
  // One more than the highest value number in use.
  uint32_t valueIdCount() const { return values_.size(); }
  // The text a value number names (id < valueIdCount()).
  const QString& valueText(uint32_t id) const { return values_[id]; }

  // A number that changes whenever the table's contents may have changed
  // (and differs between two tables): a result worked out from the table
  // may be kept while the number stays the same.
  uint64_t version() const { return version_.value; }
  // The same for one column: it changes when a cell of the column is set
  // to another text, or when rows are added, removed or reordered (setting
  // a cell of another column leaves it).
  uint64_t columnVersion(int column) const {
    const uint64_t own = column >= 0 && column <= n_ ? columnVersions_[static_cast<size_t>(column)] : 0;
    return std::max(own, shape_.value);
  }
  // The rows whose cells were set since the table had version v (a value
  // version() gave), into `rows` (any order, repeats possible); rows added
  // since are those beyond the count it had then. False when that can no
  // longer be told: rows were removed or reordered since, a file was read
  // in, or too many cells were set. A result worked out at version v can
  // then be brought up to date row by row.
  bool rowsSetSince(uint64_t v, std::vector<int>& rows) const;
  // The same, also across removed rows: the rows of version v removed
  // since (numbered as they were then, ascending) and the rows whose cells
  // were set since (numbered as they are now, any order, repeats possible).
  // rowsThen is the count the table had at version v. The rows of then
  // that stay keep their order and come first; the rows beyond them were
  // added since. False when that can no longer be told: rows were
  // reordered since, a file was read in, or too many changes were made.
  bool changesSince(uint64_t v, int rowsThen, std::vector<int>& removed, std::vector<int>& set) const;

  // Reorders every row by one column compared as text (stable).
  void sortBy(int column);
  // Reorders rows: newOrder lists old row numbers in their new order (a permutation).
  void reorder(const std::vector<int>& newOrder);

  bool operator==(const Table& o) const;

 private:
  friend class TableLoad;

  // The distinct texts of a table, in chunks that never move, so a
  // reference to a text survives the store growing. A loaded file's chunks
  // are taken over whole. blocks_[id >> 8] points at the texts of ids
  // (id & ~255) onwards; every chunk starts at a multiple of 256.
  class ValueStore {
   public:
    ValueStore();
    ValueStore(const ValueStore& o);
    ValueStore& operator=(const ValueStore& o);
    // A store moved from holds the empty text alone again.
    ValueStore(ValueStore&& o) noexcept;
    ValueStore& operator=(ValueStore&& o) noexcept;
    ~ValueStore();

    const QString& operator[](uint32_t id) const { return blocks_[id >> kShift][id & kMask]; }
    uint32_t size() const { return size_; }
    uint32_t add(QString value);
    // Takes over a chunk of texts; its first text gets the id returned.
    uint32_t adopt(std::unique_ptr<TextChunk> chunk);
    // Back to the empty text alone.
    void reset();

   private:
    static constexpr uint32_t kShift = 8;
    static constexpr uint32_t kMask = (1u << kShift) - 1;
    void newBlockIfAligned();
    std::vector<std::unique_ptr<TextChunk>> chunks_;
    std::vector<QString*> blocks_;
    uint32_t size_ = 0;
  };

  static const QString& empty();
  size_t stride() const { return static_cast<size_t>(n_) + 1; }
  uint32_t idFor(const QString& value);
  // Drops texts no cell names any more, once enough have piled up.
  void compactIfWasteful();

  // A fresh number from one counter for every table; a copy or a table
  // moved into gets a fresh one too.
  struct Version {
    uint64_t value = next();
    Version() = default;
    Version(const Version&) : value(next()) {}
    Version& operator=(const Version&) {
      value = next();
      return *this;
    }
    void bump() { value = next(); }
    static uint64_t next();
  };

  int n_;
  int rows_ = 0;
  std::vector<uint32_t> ids_;
  ValueStore values_;
  uint32_t dropped_ = 0;  // texts replaced or removed since the last compaction (some may still be named)
  // Restarts the log of set cells at the current version.
  void restartSetLog() {
    setLog_.clear();
    setLogFrom_ = version_.value;
  }
  // Logs the rows of one removal (ascending, numbered as before it).
  void logRemoved(const std::vector<int>& rows);

  Version version_;
  Version shape_;                         // rows added, removed, reordered
  std::vector<uint64_t> columnVersions_;  // cells set, by column
  // Each cell set and each row removed since setLogFrom_: the version the
  // change made and the row (numbered as then); a removed row is logged
  // as its negative number.
  std::vector<std::pair<uint64_t, int>> setLog_;
  uint64_t setLogFrom_ = version_.value;
};

// Cell positions of the seven tables (0 is the key text).
namespace OrderCell {
enum : int { OrderNo = 0, OrderDate, BuyerAccount, BuyerCategory, ShippingFee, Receivable, PaymentState,
             ShippingState, OrderNote, OrderCost, SellerPaysShipping, DiscountPercent, DiscountAmount, Count = 12 };
}
namespace StockCell {
enum : int { LineOrderNo = 0, LineName, LineCategory, LinePrice, LineCost, LineQty, LineNote, LineUrl, LineWeight,
             Count = 8 };
}
namespace ManufCell {
enum : int { ProductName = 0, ProductCategory, ProductPrice, ProductCost, ProductStock, ProductNote, SafetyStock,
             ProductWeight, Count = 7 };
}
namespace GuestCell {
enum : int { CustomerAccount = 0, CustomerCategory, CustomerNameSex, CustomerPhone, CustomerMobile, CustomerEmail,
             CustomerAddress, BankLast5, CustomerNote, Count = 8 };
}
namespace ManufStockCell {
enum : int { PurchaseDate = 0, PurchaseProduct, PurchaseKind, PurchaseQty, PurchaseSupplier, PurchaseNo,
             PurchaseAmount, PurchaseSpare2, PurchaseSpare3, PurchaseNote, Count = 9 };
}
namespace ExpendCell {
enum : int { ExpendDate = 0, ExpendCategory, ExpendDetail, ExpendAmount, ExpendNote, Count = 4 };
}
namespace ImagesCell {
enum : int { ImageProduct = 0, ImageCategory, ImagePath, Count = 2 };
}
