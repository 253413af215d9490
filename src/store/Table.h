#pragma once
// One in-memory table of the open database: rows of a key text and a fixed
// number of text cells. Rows are numbered from 1; new rows go to the end.
#include <QString>
#include <vector>

class Table {
 public:
  explicit Table(int cellCount) : n_(cellCount) {}

  int cellCount() const { return n_; }
  int count() const { return static_cast<int>(data_.size() / stride()); }
  bool isEmpty() const { return data_.empty(); }

  // Adds a row at the end with that key text and every cell empty; returns its row number.
  int append(const QString& key);
  void remove(int row);
  // Removes every listed row (any order, repeats allowed) in one pass.
  void removeRows(std::vector<int> rows);
  void clear() { data_.clear(); }
  void reserve(int rows) { data_.reserve(static_cast<size_t>(rows) * stride()); }

  // Column 0 is the key text, 1..n the cells. Out-of-range reads give "".
  const QString& cell(int row, int column) const;
  void setCell(int row, int column, const QString& value);
  const QString& key(int row) const { return cell(row, 0); }
  void setKey(int row, const QString& value) { setCell(row, 0, value); }

  // Reorders every row by one column compared as text (stable).
  void sortBy(int column);
  // Reorders rows: newOrder lists old row numbers in their new order (a permutation).
  void reorder(const std::vector<int>& newOrder);

  bool operator==(const Table& o) const { return n_ == o.n_ && data_ == o.data_; }

 private:
  size_t stride() const { return static_cast<size_t>(n_) + 1; }
  int n_;
  std::vector<QString> data_;
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
