#include "platform/TextOrder.h"

#include <QCollator>
#include <QHash>
#include <QLocale>
#include <algorithm>
#include <bit>
#include <future>
#include <mutex>
#include <numeric>

namespace {

QCollator makeCollator() {
  QCollator c(QLocale(QLocale::Chinese, QLocale::TraditionalChineseScript, QLocale::Taiwan));
  c.setCaseSensitivity(Qt::CaseInsensitive);
  return c;
}

// One collator per thread: a collator is not shared between threads.
const QCollator& collator() {
  thread_local const QCollator c = makeCollator();
  return c;
}

// The characters that get a rank. Each of them is one collation element
// of its own, so texts made of them compare rank by rank exactly as the
// library compares them (tested against the library). Characters that
// expand, combine or are ignored (the tone marks U+302A.., "々", "‥",
// control characters) are left out and sent to the library.
bool inRankedSet(char16_t c) {
  return (c >= 0x20 && c <= 0x7E) || (c >= 0x2010 && c <= 0x2023) || (c >= 0x3000 && c <= 0x3029 && c != 0x3005) ||
         (c >= 0x3105 && c <= 0x312F) || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xFF01 && c <= 0xFF5E);
}

struct RankTable {
  std::vector<uint16_t> rank = std::vector<uint16_t>(65536, 0);  // 0: not ranked
  uint16_t maxRank = 0;
};

RankTable buildRanks() {
  RankTable t;
  std::vector<char16_t> chars;
  for (uint32_t c = 0; c < 65536; ++c)
    if (inRankedSet(static_cast<char16_t>(c))) chars.push_back(static_cast<char16_t>(c));
  const QCollator& coll = collator();
  std::vector<QCollatorSortKey> keys;
  keys.reserve(chars.size());
  for (char16_t c : chars) keys.push_back(coll.sortKey(QString(QChar(c))));
  std::vector<int> order(chars.size());
  std::iota(order.begin(), order.end(), 0);
  std::sort(order.begin(), order.end(), [&](int a, int b) { return keys[a].compare(keys[b]) < 0; });
  int r = 0;
  for (size_t i = 0; i < order.size(); ++i) {
    if (i == 0 || keys[order[i - 1]].compare(keys[order[i]]) != 0) ++r;
    t.rank[chars[order[i]]] = static_cast<uint16_t>(r);
  }
  t.maxRank = static_cast<uint16_t>(r);
  return t;
}

const RankTable& rankTable() {
  static const RankTable t = buildRanks();
  return t;
}

bool ranked(QStringView s, const RankTable& t) {
  for (QChar c : s)
    if (t.rank[c.unicode()] == 0) return false;
  return true;
}

int rankCompare(QStringView a, QStringView b, const RankTable& t) {
  const qsizetype n = std::min(a.size(), b.size());
  for (qsizetype i = 0; i < n; ++i) {
    const int x = t.rank[a[i].unicode()];
    const int y = t.rank[b[i].unicode()];
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

// A text's sort key: one or two words of packed character codes.
struct Key1 {
  uint64_t first = 0;
  int pos = 0;
  uint64_t word(int) const { return first; }
};
struct Key2 {
  uint64_t first = 0;
  uint64_t second = 0;
  int pos = 0;
  uint64_t word(int w) const { return w ? second : first; }
};

// Stable sort by the key's words (the last first), least significant byte first.
template <typename K>
void radixSort(std::vector<K>& v, int words) {
  std::vector<K> tmp(v.size());
  for (int word = words - 1; word >= 0; --word) {
    for (int shift = 0; shift < 64; shift += 8) {
      const auto byteOf = [word, shift](const K& e) { return static_cast<size_t>((e.word(word) >> shift) & 0xFF); };
      size_t count[257] = {};
      for (const auto& e : v) ++count[byteOf(e) + 1];
      bool single = false;
      for (int b = 1; b <= 256; ++b)
        if (count[b] == v.size()) single = true;
      if (single) continue;  // every key has the same byte here
      for (int b = 0; b < 256; ++b) count[b + 1] += count[b];
      for (const auto& e : v) tmp[count[byteOf(e)]++] = e;
      v.swap(tmp);
    }
  }
}

// Ranks from positions in sorted order and an equality of neighbours.
template <typename Same>
std::vector<int> ranksOf(const std::vector<int>& order, size_t n, const Same& same, int* levels) {
  std::vector<int> rank(n, 0);
  int r = 0;
  for (size_t i = 0; i < order.size(); ++i) {
    if (i > 0 && !same(order[i - 1], order[i])) ++r;
    rank[static_cast<size_t>(order[i])] = r;
  }
  *levels = n ? r + 1 : 0;
  return rank;
}

// Texts with characters outside the ranked set: each distinct text once,
// compared through the library where needed.
std::vector<int> ranksThroughLibrary(const std::vector<QStringView>& texts, int* levels) {
  const RankTable& t = rankTable();
  QHash<QStringView, int> slot;
  std::vector<int> distinctOf(texts.size());
  std::vector<int> firstPos;
  for (size_t i = 0; i < texts.size(); ++i) {
    auto it = slot.constFind(texts[i]);
    if (it == slot.constEnd()) {
      it = slot.insert(texts[i], static_cast<int>(firstPos.size()));
      firstPos.push_back(static_cast<int>(i));
    }
    distinctOf[i] = *it;
  }
  const size_t d = firstPos.size();
  std::vector<char> safe(d);
  for (size_t k = 0; k < d; ++k) safe[k] = ranked(texts[firstPos[k]], t);
  const QCollator& coll = collator();
  const auto cmp = [&](int a, int b) {
    const QStringView x = texts[firstPos[a]];
    const QStringView y = texts[firstPos[b]];
    return (safe[a] && safe[b]) ? rankCompare(x, y, t) : coll.compare(x, y);
  };
  std::vector<int> order(d);
  std::iota(order.begin(), order.end(), 0);
  std::sort(order.begin(), order.end(), [&](int a, int b) { return cmp(a, b) < 0; });
  const std::vector<int> distinctRank = ranksOf(order, d, [&](int a, int b) { return cmp(a, b) == 0; }, levels);
  std::vector<int> rank(texts.size());
  for (size_t i = 0; i < texts.size(); ++i) rank[i] = distinctRank[static_cast<size_t>(distinctOf[i])];
  return rank;
}

}  // namespace

namespace TextOrder {

void prepareInBackground() {
  static std::once_flag once;
  static std::future<void> job;
  std::call_once(once, [] { job = std::async(std::launch::async, [] { (void)rankTable(); }); });
}

int compare(QStringView a, QStringView b) {
  const RankTable& t = rankTable();
  if (ranked(a, t) && ranked(b, t)) return rankCompare(a, b, t);
  return collator().compare(a, b);
}

std::vector<int> ranks(const std::vector<QStringView>& texts, int* levels) {
  const size_t n = texts.size();
  if (n < 2) {
    *levels = static_cast<int>(n);
    return std::vector<int>(n, 0);
  }
  const RankTable& t = rankTable();
  // Which ranks occur, and whether every text is made of ranked characters.
  std::vector<uint8_t> used(static_cast<size_t>(t.maxRank) + 1, 0);
  qsizetype longest = 0;
  for (QStringView s : texts) {
    for (QChar c : s) {
      const uint16_t r = t.rank[c.unicode()];
      if (r == 0) return ranksThroughLibrary(texts, levels);
      used[r] = 1;
    }
    longest = std::max(longest, s.size());
  }
  // Texts already in order (order numbers, dates as the orders came in)
  // need no sorting.
  {
    std::vector<int> rank(n, 0);
    int r = 0;
    bool inOrder = true;
    for (size_t i = 1; i < n && inOrder; ++i) {
      const int c = rankCompare(texts[i - 1], texts[i], t);
      if (c > 0) inOrder = false;
      else rank[i] = r += (c < 0);
    }
    if (inOrder) {
      *levels = r + 1;
      return rank;
    }
  }
  // Ranks renumbered densely from 1 (0 ends a text), packed into one or two
  // 64-bit words as many characters as fit; longer texts tied on their key
  // are ordered by their whole text afterwards.
  std::vector<uint16_t> code(used.size(), 0);
  uint32_t alphabet = 0;
  for (size_t r = 1; r < used.size(); ++r)
    if (used[r]) code[r] = static_cast<uint16_t>(++alphabet);
  const int bits = std::max(1, static_cast<int>(std::bit_width(alphabet)));
  const int per = 64 / bits;
  const bool twoWords = longest > per;
  const auto pack = [&](QStringView s, int from) {
    uint64_t k = 0;
    const int m = static_cast<int>(std::min<qsizetype>(s.size(), from + per)) - from;
    for (int j = 0; j < m; ++j)
      k |= static_cast<uint64_t>(code[t.rank[s[from + j].unicode()]]) << (64 - bits * (j + 1));
    return k;
  };
  const bool exact = longest <= 2 * per;
  // Ranks of texts sorted by their keys: equal keys are equal texts when
  // the keys hold whole texts; otherwise ties are ordered by the whole text.
  const auto rankSorted = [&](auto& keyed, int words) {
    radixSort(keyed, words);
    const auto sameKey = [](const auto& a, const auto& b) { return a.word(0) == b.word(0) && a.word(1) == b.word(1); };
    if (!exact) {
      size_t a = 0;
      while (a < n) {
        size_t b = a + 1;
        while (b < n && sameKey(keyed[b], keyed[a])) ++b;
        if (b - a > 1) {
          std::stable_sort(keyed.begin() + static_cast<std::ptrdiff_t>(a), keyed.begin() + static_cast<std::ptrdiff_t>(b),
                           [&](const auto& x, const auto& y) { return rankCompare(texts[x.pos], texts[y.pos], t) < 0; });
        }
        a = b;
      }
    }
    std::vector<int> rank(n, 0);
    int r = 0;
    for (size_t i = 0; i < n; ++i) {
      if (i > 0 && (!sameKey(keyed[i], keyed[i - 1]) ||
                    (!exact && rankCompare(texts[keyed[i - 1].pos], texts[keyed[i].pos], t) != 0)))
        ++r;
      rank[static_cast<size_t>(keyed[i].pos)] = r;
    }
    *levels = r + 1;
    return rank;
  };
  if (!twoWords) {
    std::vector<Key1> keyed(n);
    for (size_t i = 0; i < n; ++i) keyed[i] = {pack(texts[i], 0), static_cast<int>(i)};
    return rankSorted(keyed, 1);
  }
  std::vector<Key2> keyed(n);
  for (size_t i = 0; i < n; ++i) {
    const QStringView s = texts[i];
    keyed[i] = {pack(s, 0), s.size() > per ? pack(s, per) : 0, static_cast<int>(i)};
  }
  return rankSorted(keyed, 2);
}

std::vector<int> byRank(const std::vector<int>& rank, int levels, bool descending) {
  std::vector<int> start(static_cast<size_t>(levels) + 1, 0);
  for (int k : rank) ++start[static_cast<size_t>(descending ? levels - 1 - k : k) + 1];
  for (int l = 0; l < levels; ++l) start[static_cast<size_t>(l) + 1] += start[static_cast<size_t>(l)];
  std::vector<int> out(rank.size());
  for (size_t i = 0; i < rank.size(); ++i) {
    const int k = descending ? levels - 1 - rank[i] : rank[i];
    out[static_cast<size_t>(start[static_cast<size_t>(k)]++)] = static_cast<int>(i);
  }
  return out;
}

std::vector<int> sortedPositions(const std::vector<QString>& texts, bool descending) {
  std::vector<QStringView> views(texts.begin(), texts.end());
  int levels = 0;
  const std::vector<int> rank = ranks(views, &levels);
  return byRank(rank, levels, descending);
}

}  // namespace TextOrder
