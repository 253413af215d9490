#include "models/LineFigures.h"

#include <QStringView>
#include <algorithm>
#include <array>
#include <mutex>

#include "models/OrderRowIndex.h"
#include "store/Database.h"
#include "store/DecimalSum.h"
#include "store/HashedRows.h"
#include "store/Parallel.h"

namespace {

// value × qty / 10^6 when both are millionths and the product is a whole
// number of millionths below the bound.
bool timesQty(int64_t value, int64_t qty, int64_t* out) {
  const __int128 p = static_cast<__int128>(value) * qty;
  if (p % LineFigures::kUnit != 0) return false;
  const __int128 v = p / LineFigures::kUnit;
  if (v >= LineFigures::kBound || v <= -LineFigures::kBound) return false;
  *out = static_cast<int64_t>(v);
  return true;
}

// The money figures of a line.
void readMoney(const Table& stock, int line, LineFigures::Line& f) {
  int64_t qty, price, cost;
  f.exact = DecimalSum::readScaled(stock.cell(line, StockCell::LineQty), &qty) &&
            DecimalSum::readScaled(stock.cell(line, StockCell::LinePrice), &price) &&
            DecimalSum::readScaled(stock.cell(line, StockCell::LineCost), &cost) && qty < LineFigures::kBound &&
            qty > -LineFigures::kBound && timesQty(price, qty, &f.sales) && timesQty(cost, qty, &f.cost);
  f.qty = f.exact ? qty : 0;
  if (!f.exact) f.sales = f.cost = 0;
}

size_t homeOf(uint32_t tag, size_t entries) {
  return static_cast<size_t>((static_cast<uint64_t>(tag) * 0x9E3779B97F4A7C15ull) >> 32) & (entries - 1);
}

}  // namespace

QString LineFigures::text(int64_t millionths) {
  const bool negative = millionths < 0;
  uint64_t u = negative ? 0 - static_cast<uint64_t>(millionths) : static_cast<uint64_t>(millionths);
  char buf[32];
  char* end = buf + sizeof buf;
  char* p = end;
  uint64_t fraction = u % kUnit;
  u /= kUnit;
  if (fraction) {
    int digits = 6;
    while (fraction % 10 == 0) {
      fraction /= 10;
      --digits;
    }
    for (int i = 0; i < digits; ++i, fraction /= 10) *--p = static_cast<char>('0' + fraction % 10);
    *--p = '.';
  }
  do {
    *--p = static_cast<char>('0' + u % 10);
    u /= 10;
  } while (u);
  if (negative) *--p = '-';
  return QString::fromLatin1(p, static_cast<qsizetype>(end - p));
}

uint64_t LineFigures::productHash(const QString& name, int categoryNumber) {
  uint64_t h = keyHash(name) + static_cast<uint64_t>(categoryNumber) * 0x9E3779B97F4A7C15ull;
  h ^= h >> 31;
  h *= 0xC4CEB9FE1A85EC53ull;
  return h ^ (h >> 29);
}

namespace {

// Finds the key in a part (same(product) compares a stored product with
// it); when missing and `add` is not 0, stores `add` under it. Returns the
// product found, 0 when the key was missing.
template <typename Part, typename Same>
int probe(Part& part, uint64_t h, int add, Same&& same) {
  if (add && (part.used + 1) * 3 > part.entries.size() * 2) {
    std::vector<std::remove_reference_t<decltype(part.entries[0])>> old(part.entries.size() * 2);
    old.swap(part.entries);
    for (const auto& s : old) {
      if (s.product == 0) continue;
      size_t i = homeOf(s.tag, part.entries.size());
      while (part.entries[i].product != 0) i = (i + 1) & (part.entries.size() - 1);
      part.entries[i] = s;
    }
  }
  const uint32_t tag = static_cast<uint32_t>(h >> 32);
  const size_t mask = part.entries.size() - 1;
  for (size_t i = homeOf(tag, part.entries.size());; i = (i + 1) & mask) {
    auto& s = part.entries[i];
    if (s.product == 0) {
      if (add) {
        s.tag = tag;
        s.product = add;
        ++part.used;
      }
      return 0;
    }
    if (s.tag == tag && same(s.product)) return s.product;
  }
}

}  // namespace

int LineFigures::findOrAdd(KeyPart& part, uint64_t h, const QString& name, int categoryNumber, int product) {
  return probe(part, h, product, [&](int p) {
    const Product& stored = products_[static_cast<size_t>(p - 1)];
    return stored.categoryNumber == categoryNumber && stored.name == name;
  });
}

int LineFigures::categoryFor(const QString& text) {
  const auto it = categoryNumbers_.constFind(text);
  if (it != categoryNumbers_.constEnd()) return *it;
  const int n = static_cast<int>(categories_.size());
  categories_.push_back(text);
  categoryNumbers_.insert(text, n);
  return n;
}

int LineFigures::productFor(const QString& name, const QString& category) {
  const int c = categoryFor(category);
  const uint64_t h = productHash(name, c);
  const int next = static_cast<int>(products_.size()) + 1;
  if (const int p = findOrAdd(keyParts_[h & (kParts - 1)], h, name, c, next)) return p;
  products_.push_back({name, category, c});
  return next;
}

void LineFigures::readLine(const Table& stock, int line) {
  Line& f = lines_[static_cast<size_t>(line - 1)];
  readMoney(stock, line, f);
  f.product = productFor(stock.cell(line, StockCell::LineName), stock.cell(line, StockCell::LineCategory));
}

void LineFigures::countPlaces() {
  std::fill(linesOfOrder_.begin(), linesOfOrder_.end(), 0);
  unjoined_.clear();
  for (size_t k = 0; k < lines_.size(); ++k) {
    Line& f = lines_[k];
    if (f.order) {
      f.place = ++linesOfOrder_[static_cast<size_t>(f.order)];
    } else {
      f.place = 0;
      unjoined_.push_back(static_cast<int>(k) + 1);
    }
  }
}

void LineFigures::copyJoins() {
  if (!joins_ || joins_.use_count() > 1) joins_ = std::make_shared<Joins>();
  Joins& joins = *joins_;
  joins.resize(lines_.size());
  forEachSlice(lines_.size(), 65536, [&](size_t from, size_t to) {
    for (size_t k = from; k < to; ++k) joins[k] = lines_[k].order;
  });
}

void LineFigures::joinAll(const Table& stock, const Table& order) {
  const OrderRowIndex index(order);
  forEachSlice(lines_.size(), 20000, [&](size_t from, size_t to) {
    OrderRowIndex::Hint hint;
    for (size_t k = from; k < to; ++k) lines_[k].order = index.first(stock.key(static_cast<int>(k) + 1), hint);
  });
  orderKeyHash_.assign(static_cast<size_t>(order.count()) + 1, 0);
  forEachSlice(static_cast<size_t>(order.count()), 20000, [&](size_t from, size_t to) {
    for (size_t r = from + 1; r <= to; ++r) orderKeyHash_[r] = keyHash(order.key(static_cast<int>(r)));
  });
  linesOfOrder_.assign(orderKeyHash_.size(), 0);
  countPlaces();
}

void LineFigures::makeAll(const Table& stock, const Table& order) {
  stock_ = &stock;
  order_ = &order;
  const size_t n = static_cast<size_t>(stock.count());
  lines_.assign(n, Line{});
  products_.clear();
  categories_.clear();
  categoryNumbers_.clear();
  keyParts_.assign(kParts, KeyPart{});
  for (KeyPart& p : keyParts_) p.entries.resize(16);

  // Category numbers: categories repeat all through, so each value number
  // of the cell is looked up once in a while.
  std::vector<int, HugePageAllocator<int>> category(n);
  {
    std::array<uint32_t, 256> id;
    std::array<int, 256> number{};
    id.fill(UINT32_MAX);
    for (size_t k = 0; k < n; ++k) {
      const int line = static_cast<int>(k) + 1;
      const uint32_t v = stock.valueId(line, StockCell::LineCategory);
      const size_t m = v & 255;
      if (id[m] != v) {
        id[m] = v;
        number[m] = categoryFor(stock.valueText(v));
      }
      category[k] = number[m];
    }
  }
  // Money and each line's key hash, on several threads.
  std::vector<uint64_t, HugePageAllocator<uint64_t>> hash(n);
  forEachSlice(n, 16384, [&](size_t from, size_t to) {
    for (size_t k = from; k < to; ++k) {
      const int line = static_cast<int>(k) + 1;
      readMoney(stock, line, lines_[k]);
      hash[k] = productHash(stock.cell(line, StockCell::LineName), category[k]);
    }
  });
  // Products: each part of the keys numbers its own in line order, on a
  // thread of its own; then the parts' products follow each other.
  std::vector<std::vector<int>> partLines(kParts);
  for (auto& p : partLines) p.reserve(n / kParts + n / 64 + 16);
  for (size_t k = 0; k < n; ++k) partLines[hash[k] & (kParts - 1)].push_back(static_cast<int>(k));
  std::vector<std::vector<Product>> partProducts(kParts);
  forEachSlice(kParts, 1, [&](size_t fromPart, size_t toPart) {
    for (size_t p = fromPart; p < toPart; ++p) {
      KeyPart& part = keyParts_[p];
      std::vector<Product>& own = partProducts[p];
      for (const int k : partLines[p]) {
        const int line = k + 1;
        const QString& name = stock.cell(line, StockCell::LineName);
        const int c = category[static_cast<size_t>(k)];
        const int next = static_cast<int>(own.size()) + 1;
        int local = probe(part, hash[static_cast<size_t>(k)], next, [&](int q) {
          const Product& stored = own[static_cast<size_t>(q - 1)];
          return stored.categoryNumber == c && stored.name == name;
        });
        if (!local) {
          own.push_back({name, stock.cell(line, StockCell::LineCategory), c});
          local = next;
        }
        lines_[static_cast<size_t>(k)].product = local;
      }
    }
  });
  std::vector<int> offset(kParts, 0);
  for (size_t p = 0; p < kParts; ++p) {
    offset[p] = static_cast<int>(products_.size());
    for (Product& product : partProducts[p]) products_.push_back(std::move(product));
  }
  forEachSlice(kParts, 1, [&](size_t fromPart, size_t toPart) {
    for (size_t p = fromPart; p < toPart; ++p)
      for (KeySlot& s : keyParts_[p].entries)
        if (s.product) s.product += offset[p];
  });
  forEachSlice(n, 65536, [&](size_t from, size_t to) {
    for (size_t k = from; k < to; ++k) lines_[k].product += offset[hash[k] & (kParts - 1)];
  });

  joinAll(stock, order);
  copyJoins();
  stockVersion_ = stock.version();
  orderVersion_ = order.version();
}

bool LineFigures::update(const Table& stock, const Table& order) {
  const int linesThen = lineCount();
  const int ordersThen = static_cast<int>(orderKeyHash_.size()) - 1;
  std::vector<int> removed, set;
  if (stock.version() != stockVersion_ && !stock.changesSince(stockVersion_, linesThen, removed, set)) return false;
  std::vector<int> ordersRemoved, ordersSet;
  bool rejoin = false;
  if (order.version() != orderVersion_) {
    if (!order.changesSince(orderVersion_, ordersThen, ordersRemoved, ordersSet) || !ordersRemoved.empty()) {
      rejoin = true;
    } else {
      for (const int r : ordersSet)
        if (r <= ordersThen && keyHash(order.key(r)) != orderKeyHash_[static_cast<size_t>(r)]) rejoin = true;
    }
  }
  const int linesNow = stock.count();
  const size_t added = static_cast<size_t>(std::max(0, linesNow - (linesThen - static_cast<int>(removed.size()))));
  // Past that many changes, making them all anew is as quick.
  if ((set.size() + added) * 8 > static_cast<size_t>(std::max(linesNow, 1)) + 4096) return false;

  // Lines removed: the others move up; the lines of their orders count
  // their places again.
  if (!removed.empty()) {
    std::vector<int> recount(orderKeyHash_.size(), -1);
    std::vector<int> affected;
    for (const int r : removed) {
      const int o = lines_[static_cast<size_t>(r - 1)].order;
      if (o && recount[static_cast<size_t>(o)] < 0) {
        recount[static_cast<size_t>(o)] = 0;
        affected.push_back(o);
      }
    }
    size_t w = 0, j = 0;
    unjoined_.clear();
    for (size_t k = 0; k < lines_.size(); ++k) {
      if (j < removed.size() && removed[j] == static_cast<int>(k) + 1) {
        ++j;
        continue;
      }
      Line f = lines_[k];
      if (f.order && recount[static_cast<size_t>(f.order)] >= 0) f.place = ++recount[static_cast<size_t>(f.order)];
      if (!f.order) unjoined_.push_back(static_cast<int>(w) + 1);
      lines_[w++] = f;
    }
    lines_.resize(w);
    for (const int o : affected) linesOfOrder_[static_cast<size_t>(o)] = recount[static_cast<size_t>(o)];
  }

  // Lines set or added: their figures and products.
  const int before = lineCount();
  bool joinsChanged = !removed.empty() || rejoin || linesNow > before;
  if (linesNow < before) return false;
  std::sort(set.begin(), set.end());
  set.erase(std::unique(set.begin(), set.end()), set.end());
  set.erase(std::upper_bound(set.begin(), set.end(), before), set.end());
  lines_.resize(static_cast<size_t>(linesNow));
  for (const int r : set) readLine(stock, r);
  for (int r = before + 1; r <= linesNow; ++r) readLine(stock, r);

  if (rejoin) {
    joinAll(stock, order);
  } else {
    // Orders added: a line that had none may belong to one of them now
    // (a number met before keeps its first row).
    if (order.count() > ordersThen) {
      orderKeyHash_.resize(static_cast<size_t>(order.count()) + 1);
      linesOfOrder_.resize(orderKeyHash_.size(), 0);
      QHash<QStringView, int> first;
      for (int r = ordersThen + 1; r <= order.count(); ++r) {
        orderKeyHash_[static_cast<size_t>(r)] = keyHash(order.key(r));
        if (!first.contains(order.key(r))) first.insert(order.key(r), r);
      }
      std::vector<int> still;
      for (const int l : unjoined_) {
        if (l > before) continue;
        const int o = first.value(stock.key(l), 0);
        if (!o) {
          still.push_back(l);
          continue;
        }
        Line& f = lines_[static_cast<size_t>(l - 1)];
        f.order = o;
        f.place = ++linesOfOrder_[static_cast<size_t>(o)];
        joinsChanged = true;
      }
      unjoined_.swap(still);
    }
    // The lines set keep their order while their number stays; the lines
    // added join theirs.
    std::unique_ptr<OrderRowIndex> index;
    OrderRowIndex::Hint hint;
    const auto orderOf = [&](int line) {
      if (!index) index = std::make_unique<OrderRowIndex>(order);
      return index->first(stock.key(line), hint);
    };
    bool recountAll = false;
    for (const int r : set) {
      Line& f = lines_[static_cast<size_t>(r - 1)];
      if (f.order && stock.key(r) == order.key(f.order)) continue;
      const int o = orderOf(r);
      if (o != f.order) recountAll = joinsChanged = true;
      f.order = o;
    }
    for (int r = before + 1; r <= linesNow; ++r) {
      Line& f = lines_[static_cast<size_t>(r - 1)];
      f.order = orderOf(r);
      if (f.order) {
        f.place = ++linesOfOrder_[static_cast<size_t>(f.order)];
      } else {
        f.place = 0;
        unjoined_.push_back(r);
      }
    }
    if (recountAll) countPlaces();
  }
  if (joinsChanged) copyJoins();
  stockVersion_ = stock.version();
  orderVersion_ = order.version();
  return true;
}

std::shared_ptr<const LineFigures> LineFigures::of(const Database& db) {
  static std::mutex lock;
  static std::shared_ptr<LineFigures> kept;
  const std::lock_guard<std::mutex> hold(lock);
  const Table& stock = db.Stock;
  const Table& order = db.Order;
  const bool same = kept && kept->stock_ == &stock && kept->order_ == &order;
  if (same && kept->stockVersion_ == stock.version() && kept->orderVersion_ == order.version()) return kept;
  std::shared_ptr<LineFigures> next;
  if (same) {
    // Brought up to date in place, unless a report still reads them.
    next = kept.use_count() > 1 ? std::make_shared<LineFigures>(*kept) : kept;
    if (!next->update(stock, order)) next->makeAll(stock, order);
  } else {
    kept.reset();  // its memory goes before the new figures take theirs
    next = std::make_shared<LineFigures>();
    next->makeAll(stock, order);
  }
  kept = next;
  return kept;
}

std::shared_ptr<const LineFigures> LineFigures::madeAnew(const Database& db) {
  auto made = std::make_shared<LineFigures>();
  made->makeAll(db.Stock, db.Order);
  return made;
}
