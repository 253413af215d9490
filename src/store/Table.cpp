#include "store/Table.h"

#include <algorithm>
#include <atomic>
#include <iterator>
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
  if (chunks_.empty() && size_ == 1) {
    // The empty text alone, not stored yet (see reset()): it comes first.
    size_ = 0;
    blocks_.clear();
    add(QString());
  }
  // A new chunk starts on a block; the first ones are small, so that a small
  // table (and an empty one) holds little: 256 texts, then as many as there
  // are, up to kChunk.
  if (chunks_.empty() || chunks_.back()->full())
    chunks_.push_back(std::make_unique<TextChunk>(std::clamp<uint32_t>(size_ & ~kMask, kMask + 1, kChunk)));
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
  // Id 0, the empty text, is read from one shared empty text until the
  // first text is added: an empty table allocates no chunk.
  static QString emptyText;
  blocks_.push_back(&emptyText);
  size_ = 1;
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

namespace {
// The log's entries made after version v.
template <typename Log>
auto entriesAfter(const Log& log, uint64_t v) {
  return std::upper_bound(log.begin(), log.end(), v,
                          [](uint64_t x, const std::pair<uint64_t, int>& e) { return x < e.first; });
}
// Set cells and removed rows share one log; past that many entries,
// results are worked out anew.
constexpr size_t kLogged = 1u << 16;
}  // namespace

bool Table::rowsSetSince(uint64_t v, std::vector<int>& rows) const {
  if (v < setLogFrom_) return false;
  const auto from = entriesAfter(setLog_, v);
  for (auto it = from; it != setLog_.end(); ++it)
    if (it->second < 0) return false;  // rows removed: numbers of then no longer hold
  for (auto it = from; it != setLog_.end(); ++it) rows.push_back(it->second);
  return true;
}

bool Table::changesSince(uint64_t v, int rowsThen, std::vector<int>& removed, std::vector<int>& set) const {
  if (v < setLogFrom_) return false;
  std::vector<int> gone;  // rows of then removed so far, ascending
  std::vector<int> now;   // rows set, numbered as after the entries seen so far
  std::vector<int> event, mapped, merged;
  auto it = entriesAfter(setLog_, v);
  while (it != setLog_.end()) {
    if (it->second > 0) {
      now.push_back((it++)->second);
      continue;
    }
    // One removal: its rows (ascending) share the version it made.
    const uint64_t version = it->first;
    event.clear();
    for (; it != setLog_.end() && it->first == version; ++it) event.push_back(-it->second);
    // Rows set before it move up past it, or go with it.
    size_t kept = 0;
    for (const int r : now) {
      const auto at = std::lower_bound(event.begin(), event.end(), r);
      if (at != event.end() && *at == r) continue;
      now[kept++] = r - static_cast<int>(at - event.begin());
    }
    now.resize(kept);
    // Rows of then keep their order in front of the rows added since: the
    // r-th row now is the r-th row of then not yet removed.
    const int stayed = rowsThen - static_cast<int>(gone.size());
    mapped.clear();
    size_t j = 0;
    for (const int r : event) {
      if (r > stayed) break;  // a row added since
      while (j < gone.size() && gone[j] <= r + static_cast<int>(j)) ++j;
      mapped.push_back(r + static_cast<int>(j));
    }
    merged.clear();
    std::merge(gone.begin(), gone.end(), mapped.begin(), mapped.end(), std::back_inserter(merged));
    gone.swap(merged);
  }
  removed.insert(removed.end(), gone.begin(), gone.end());
  set.insert(set.end(), now.begin(), now.end());
  return true;
}

void Table::logRemoved(const std::vector<int>& rows) {
  if (setLog_.size() + rows.size() > kLogged) {
    restartSetLog();
    return;
  }
  for (const int r : rows) setLog_.emplace_back(version_.value, -r);
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
  logRemoved({row});
  compactIfWasteful();
}

void Table::removeRows(std::vector<int> rows) {
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  const int total = count();
  rows.erase(std::upper_bound(rows.begin(), rows.end(), total), rows.end());
  rows.erase(rows.begin(), std::lower_bound(rows.begin(), rows.end(), 1));
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
  logRemoved(rows);
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
