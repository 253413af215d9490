#include "customers/GuestRowSource.h"

#include <algorithm>

#include "models/CustomerFields.h"
#include "store/Parallel.h"

namespace GuestList {

namespace {

const QString kAll = QStringLiteral("全部");

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
    if (!shown(column)) return {};
    const QString& cell = guest_.cell(r, kCellOf[column]);
    return column == Name ? NameSex::name(cell) : cell;
  }
  int tableIndex(int row) const override {
    return row >= 0 && row < rowCount() ? rows_[static_cast<size_t>(row)] : -1;
  }
  // Each distinct text of a column is ranked once (the table holds it once).
  bool sortTexts(int column, std::vector<int>& textOfRow, std::vector<QStringView>& texts) const override {
    if (column < 0 || column >= Index) return false;
    textOfRow.resize(rows_.size());
    if (!shown(column)) {
      texts.assign(1, QStringView());
      std::fill(textOfRow.begin(), textOfRow.end(), 0);
      return true;
    }
    const int cell = kCellOf[column];
    std::vector<int> slot(guest_.valueIdCount(), -1);
    texts.reserve(rows_.size());
    for (size_t i = 0; i < rows_.size(); ++i) {
      const uint32_t id = guest_.valueId(rows_[i], cell);
      int& k = slot[id];
      if (k < 0) {
        k = static_cast<int>(texts.size());
        const QStringView v = guest_.valueText(id);
        if (column == Name) {
          const qsizetype cut = v.indexOf(NameSex::Separator);
          texts.push_back(cut < 0 ? v : v.left(cut));
        } else {
          texts.push_back(v);
        }
      }
      textOfRow[i] = k;
    }
    return true;
  }

 private:
  bool shown(int column) const { return column <= Category || view_[static_cast<size_t>(column)]; }
  const Table& guest_;
  std::vector<int> rows_;
  View view_;
};

}  // namespace

std::shared_ptr<const ListRowSource> rowSource(const Table& guest, std::vector<int> rows, const View& view) {
  return std::make_shared<Rows>(guest, std::move(rows), view);
}

std::shared_ptr<const ListRowSource> showRows(const Table& guest, const QString& filter, const View& view) {
  const bool all = filter == kAll;
  return rowSource(
      guest, rowsWhere(guest.count(), [&](int r) { return all || guest.cell(r, GuestCell::CustomerCategory) == filter; }), view);
}

std::shared_ptr<const ListRowSource> searchRows(const Table& guest, const QString& text, const QString& filter,
                                                bool allCategories, const View& view) {
  const QString t = text.toLower();
  const bool all = allCategories || filter == kAll;
  return rowSource(guest, rowsWhere(guest.count(), [&](int r) {
    if (!all && guest.cell(r, GuestCell::CustomerCategory) != filter) return false;
    if (guest.key(r).toLower().contains(t)) return true;
    const QString& ns = guest.cell(r, GuestCell::CustomerNameSex);
    return !ns.isEmpty() && NameSex::name(ns).toLower().contains(t);
  }), view);
}

}  // namespace GuestList
