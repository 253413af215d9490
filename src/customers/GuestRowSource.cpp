#include "customers/GuestRowSource.h"

#include "customers/CustomerFields.h"

namespace GuestList {

namespace {

// The Guest cell of each list column (the name is a part of its cell).
constexpr int kCellOf[Column::Count] = {GuestCell::CustomerAccount, GuestCell::CustomerCategory,
                                        GuestCell::CustomerNameSex, GuestCell::CustomerPhone,
                                        GuestCell::CustomerMobile,  GuestCell::CustomerEmail,
                                        GuestCell::CustomerAddress, GuestCell::BankLast5,
                                        GuestCell::CustomerNote,    -1};

class Rows : public ListRowSource {
 public:
  Rows(const Table& guest, std::vector<int> rows, const View& view)
      : guest_(guest), rows_(std::move(rows)), view_(view) {}

  int rowCount() const override { return static_cast<int>(rows_.size()); }
  QString text(int row, int column) const override {
    if (row < 0 || row >= rowCount() || column < 0 || column >= Column::Count) return {};
    const int r = rows_[static_cast<size_t>(row)];
    if (column == Index) return QString::number(r);
    if (column > Category && !view_[static_cast<size_t>(column)]) return {};
    const QString& cell = guest_.cell(r, kCellOf[column]);
    return column == Name ? NameSex::name(cell) : cell;
  }
  int tableIndex(int row) const override {
    return row >= 0 && row < rowCount() ? rows_[static_cast<size_t>(row)] : -1;
  }

 private:
  const Table& guest_;
  std::vector<int> rows_;
  View view_;
};

}  // namespace

std::shared_ptr<const ListRowSource> rowSource(const Table& guest, std::vector<int> rows, const View& view) {
  return std::make_shared<Rows>(guest, std::move(rows), view);
}

}  // namespace GuestList
