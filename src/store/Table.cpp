#include "store/Table.h"

#include <algorithm>
#include <atomic>
#include <new>
#include <numeric>

// ---- text chunks ------------------------------------------------------------

TextChunk::TextChunk(uint32_t capacity)
    : raw_(new std::byte[sizeof(QString) * capacity]), capacity_(capacity) {}

TextChunk::~TextChunk() {
  for (uint32_t i = 0; i < size_; ++i) data()[i].~QString();
}

// ---- value store ------------------------------------------------------------

namespace {
constexpr uint32_t kChunk = 4096;
}

Table::ValueStore::ValueStore() { reset(); }

Table::ValueStore::~ValueStore() = default;

Table::ValueStore::ValueStore(const ValueStore& o) : size_(0) {
  for (uint32_t id = 0; id < o.size_; ++id) add(o[id]);
}

Table::ValueStore& Table::ValueStore::operator=(const ValueStore& o) {
  if (this != &o) *this = ValueStore(o);
  return *this;
}

Table::ValueStore::ValueStore(ValueStore&& o) noexcept
    : chunks_(std::move(o.chunks_)), blocks_(std::move(o.blocks_)), size_(o.size_) {
  o.reset();
}

Table::ValueStore& Table::ValueStore::operator=(ValueStore&& o) noexcept {
  if (this != &o) {
    chunks_ = std::move(o.chunks_);
    blocks_ = std::move(o.blocks_);
    size_ = o.size_;
    o.reset();
  }
  return *this;
}

void Table::ValueStore::newBlockIfAligned() {
  if ((size_ & kMask) == 0) {
    TextChunk& c = *chunks_.back();
    blocks_.push_back(c.data() + c.size());
  }
}

uint32_t Table::ValueStore::add(QString value) {
  if (chunks_.empty() || chunks_.back()->full()) chunks_.push_back(std::make_unique<TextChunk>(kChunk));
  newBlockIfAligned();
  chunks_.back()->push(std::move(value));
  return size_++;
}

uint32_t Table::ValueStore::adopt(std::unique_ptr<TextChunk> chunk) {
  // The chunk must start on a block: the last chunk is filled up first
  // (chunk capacities are multiples of 256, so this never overflows it).
  while ((size_ & kMask) != 0) add(QString());
  const uint32_t first = size_;
  for (uint32_t i = 0; i < chunk->size(); i += kMask + 1) blocks_.push_back(chunk->data() + i);
  size_ += chunk->size();
  chunks_.push_back(std::move(chunk));
  return first;
}

void Table::ValueStore::reset() {
  chunks_.clear();
  blocks_.clear();
  size_ = 0;
  add(QString());  // id 0: the empty text
}

// ---- table ------------------------------------------------------------------

uint64_t Table::Version::next() {
  static std::atomic<uint64_t> counter{0};
  return ++counter;
}

const QString& Table::empty() {
  static const QString e;
  return e;
}

Table::Table(const Table& o)
    : n_(o.n_), rows_(o.rows_), ids_(o.ids_), values_(o.values_), dropped_(o.dropped_),
      columnVersions_(o.columnVersions_) {}

Table& Table::operator=(const Table& o) {
  if (this != &o) {
    n_ = o.n_;
    rows_ = o.rows_;
    ids_ = o.ids_;
    values_ = o.values_;
    dropped_ = o.dropped_;
    columnVersions_ = o.columnVersions_;
    version_.bump();
    shape_.bump();
    restartSetLog();
  }
  return *this;
}

bool Table::rowsSetSince(uint64_t v, std::vector<int>& rows) const {
  if (v < setLogFrom_) return false;
  auto it = std::upper_bound(setLog_.begin(), setLog_.end(), v,
                             [](uint64_t x, const std::pair<uint64_t, int>& e) { return x < e.first; });
  for (; it != setLog_.end(); ++it) rows.push_back(it->second);
  return true;
}

Table::Table(Table&& o) noexcept
    : n_(o.n_), rows_(o.rows_), ids_(std::move(o.ids_)), values_(std::move(o.values_)),
      dropped_(o.dropped_), columnVersions_(o.columnVersions_) {
  o.ids_.clear();
  o.rows_ = 0;
  o.dropped_ = 0;
  o.version_.bump();
  o.shape_.bump();
  o.restartSetLog();
}

Table& Table::operator=(Table&& o) noexcept {
  if (this != &o) {
    n_ = o.n_;
    rows_ = o.rows_;
    ids_ = std::move(o.ids_);
    values_ = std::move(o.values_);
    dropped_ = o.dropped_;
    columnVersions_ = o.columnVersions_;
    o.ids_.clear();
    o.rows_ = 0;
    o.dropped_ = 0;
    version_.bump();
    o.version_.bump();
    shape_.bump();
    o.shape_.bump();
    restartSetLog();
    o.restartSetLog();
  }
  return *this;
}

uint32_t Table::idFor(const QString& value) {
  if (value.isEmpty()) return 0;
  return values_.add(value);
}

int Table::append(const QString& key) {
  const uint32_t k = idFor(key);
  ids_.resize(ids_.size() + stride(), 0);
  ids_[ids_.size() - stride()] = k;
  ++rows_;
  version_.bump();
  shape_.bump();
  compactIfWasteful();
  return rows_;
}

void Table::remove(int row) {
  if (row < 1 || row > count()) return;
  const auto first = ids_.begin() + static_cast<std::ptrdiff_t>(static_cast<size_t>(row - 1) * stride());
  dropped_ += static_cast<uint32_t>(std::count_if(first, first + static_cast<std::ptrdiff_t>(stride()), [](uint32_t id) { return id != 0; }));
  ids_.erase(first, first + static_cast<std::ptrdiff_t>(stride()));
  --rows_;
  version_.bump();
  shape_.bump();
  restartSetLog();
  compactIfWasteful();
}

void Table::removeRows(std::vector<int> rows) {
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  const int total = count();
  size_t out = 0;
  size_t next = 0;
  int kept = 0;
  for (int r = 1; r <= total; ++r) {
    while (next < rows.size() && rows[next] < r) ++next;
    const size_t from = static_cast<size_t>(r - 1) * stride();
    if (next < rows.size() && rows[next] == r) {
      dropped_ += static_cast<uint32_t>(std::count_if(ids_.begin() + from, ids_.begin() + from + stride(), [](uint32_t id) { return id != 0; }));
      continue;
    }
    if (out != from) std::copy(ids_.begin() + from, ids_.begin() + from + stride(), ids_.begin() + out);
    out += stride();
    ++kept;
  }
  ids_.resize(out);
  rows_ = kept;
  version_.bump();
  shape_.bump();
  restartSetLog();
  compactIfWasteful();
}

void Table::clear() {
  ids_.clear();
  ids_.shrink_to_fit();
  rows_ = 0;
  values_.reset();
  dropped_ = 0;
  version_.bump();
  shape_.bump();
  restartSetLog();
}

void Table::setCell(int row, int column, const QString& value) {
  if (row < 1 || row > count() || column < 0 || column > n_) return;
  uint32_t& id = ids_[static_cast<size_t>(row - 1) * stride() + static_cast<size_t>(column)];
  if (values_[id] == value) return;
  if (id != 0) ++dropped_;
  id = idFor(value);
  version_.bump();
  columnVersions_[static_cast<size_t>(column)] = version_.value;
  // The log stays short: past that many cells, results are worked out anew.
  constexpr size_t kLogged = 1u << 16;
  if (setLog_.size() < kLogged) setLog_.emplace_back(version_.value, row);
  else restartSetLog();
}

void Table::sortBy(int column) {
  std::vector<int> order(count());
  std::iota(order.begin(), order.end(), 1);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    const uint32_t x = valueId(a, column);
    const uint32_t y = valueId(b, column);
    return x != y && QString::compare(values_[x], values_[y]) < 0;
  });
  reorder(order);
}

void Table::reorder(const std::vector<int>& newOrder) {
  std::vector<uint32_t> out;
  out.reserve(ids_.size());
  for (int r : newOrder) {
    const size_t from = static_cast<size_t>(r - 1) * stride();
    out.insert(out.end(), ids_.begin() + from, ids_.begin() + from + stride());
  }
  ids_ = std::move(out);
  rows_ = static_cast<int>(ids_.size() / stride());
  version_.bump();
  shape_.bump();
  restartSetLog();
  compactIfWasteful();
}

void Table::compactIfWasteful() {
  // Texts replaced by setCell or left by removed rows stay in the store
  // until a compaction. It runs only when they outnumber half the store, so
  // its cost is spread over at least as many changes, and texts only added
  // (a long import) never cause one.
  if (dropped_ < 65536 || dropped_ < values_.size() / 2) return;
  dropped_ = 0;
  std::vector<uint32_t> newId(values_.size(), 0);
  ValueStore fresh;
  for (uint32_t& id : ids_) {
    if (id == 0) continue;
    uint32_t& n = newId[id];
    if (n == 0) n = fresh.add(values_[id]);
    id = n;
  }
  values_ = std::move(fresh);
}

bool Table::operator==(const Table& o) const {
  if (n_ != o.n_ || rows_ != o.rows_) return false;
  for (size_t i = 0; i < ids_.size(); ++i) {
    if (values_[ids_[i]] != o.values_[o.ids_[i]]) return false;
  }
  return true;
}
