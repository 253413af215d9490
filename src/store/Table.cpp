#include "store/Table.h"

#include <algorithm>
#include <numeric>

namespace {
const QString kEmpty;
}

int Table::append(const QString& key) {
  data_.resize(data_.size() + stride());
  data_[data_.size() - stride()] = key;
  return count();
}

void Table::remove(int row) {
  if (row < 1 || row > count()) return;
  const auto first = data_.begin() + static_cast<std::ptrdiff_t>((row - 1) * stride());
  data_.erase(first, first + static_cast<std::ptrdiff_t>(stride()));
}

void Table::removeRows(std::vector<int> rows) {
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  const int total = count();
  size_t out = 0;
  size_t next = 0;
  for (int r = 1; r <= total; ++r) {
    while (next < rows.size() && rows[next] < r) ++next;
    if (next < rows.size() && rows[next] == r) continue;
    const size_t from = static_cast<size_t>(r - 1) * stride();
    if (out != from) std::move(data_.begin() + from, data_.begin() + from + stride(), data_.begin() + out);
    out += stride();
  }
  data_.resize(out);
}

const QString& Table::cell(int row, int column) const {
  if (row < 1 || row > count() || column < 0 || column > n_) return kEmpty;
  return data_[static_cast<size_t>(row - 1) * stride() + column];
}

void Table::setCell(int row, int column, const QString& value) {
  if (row < 1 || row > count() || column < 0 || column > n_) return;
  data_[static_cast<size_t>(row - 1) * stride() + column] = value;
}

void Table::sortBy(int column) {
  std::vector<int> order(count());
  std::iota(order.begin(), order.end(), 1);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    return QString::compare(cell(a, column), cell(b, column)) < 0;
  });
  reorder(order);
}

void Table::reorder(const std::vector<int>& newOrder) {
  std::vector<QString> out;
  out.reserve(data_.size());
  for (int r : newOrder) {
    const size_t from = static_cast<size_t>(r - 1) * stride();
    for (size_t j = 0; j < stride(); ++j) out.push_back(std::move(data_[from + j]));
  }
  data_ = std::move(out);
}
