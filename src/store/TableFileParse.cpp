#include "store/TableFileParse.h"

#include <QFile>
#include <QThread>
#include <QThreadPool>
#include <algorithm>
#include <atomic>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/Codec.h"
#include "store/Table.h"

namespace {

// A whole file mapped read-only (nothing is copied; pages come from the
// file cache and leave memory when unmapped).
class MappedFile {
 public:
  explicit MappedFile(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
      size_ = static_cast<size_t>(st.st_size);
      if (size_ == 0) {
        ok_ = true;
      } else {
        void* p = ::mmap(nullptr, size_, PROT_READ, MAP_PRIVATE, fd, 0);
        if (p != MAP_FAILED) {
          data_ = static_cast<const char*>(p);
          ::madvise(p, size_, MADV_SEQUENTIAL);
          ok_ = true;
        }
      }
    }
    ::close(fd);
  }
  ~MappedFile() {
    if (data_) ::munmap(const_cast<char*>(data_), size_);
  }
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;
  bool ok() const { return ok_; }
  // Drops the pages wholly inside [from, to) from memory (they were read).
  void release(size_t from, size_t to) const {
    const size_t page = static_cast<size_t>(::sysconf(_SC_PAGESIZE));
    const size_t a = (from + page - 1) / page * page;
    const size_t b = to / page * page;
    if (data_ && b > a) ::madvise(const_cast<char*>(data_) + a, b - a, MADV_DONTNEED);
  }
  const char* data() const { return data_; }
  size_t size() const { return size_; }

 private:
  const char* data_ = nullptr;
  size_t size_ = 0;
  bool ok_ = false;
};

// Decoded texts written into large shared blocks: each text is a QString
// pointing into a block (which it keeps alive), so a table of a million
// distinct texts costs a handful of allocations instead of a million.
// Every text is followed by a 0 in its block, as Qt expects of its strings.
class TextArena {
 public:
  TextArena() = default;
  TextArena(const TextArena&) = delete;
  TextArena& operator=(const TextArena&) = delete;
  ~TextArena() { release(); }

  // Room for n characters (and the terminating 0).
  char16_t* room(qsizetype n) {
    if (!block_ || capacity_ - used_ < n + 1) newBlock(std::max<qsizetype>(kBlock, n + 1));
    return base_ + used_;
  }
  // The n characters just written at room() as a text.
  QString take(qsizetype n) {
    char16_t* p = base_ + used_;
    p[n] = 0;
    used_ += n + 1;
    block_->ref();
    return QString(QString::DataPointer(block_, p, n));
  }

 private:
  static constexpr qsizetype kBlock = 32 * 1024;
  using Block = QTypedArrayData<char16_t>;
  void newBlock(qsizetype capacity) {
    release();
    auto [header, data] = Block::allocate(capacity);
    block_ = header;
    base_ = data;
    capacity_ = capacity;
    used_ = 0;
  }
  void release() {
    if (block_ && !block_->deref()) Block::deallocate(block_);
    block_ = nullptr;
  }
  Block* block_ = nullptr;
  char16_t* base_ = nullptr;
  qsizetype capacity_ = 0;
  qsizetype used_ = 0;
};

inline uint64_t hashBytes(const char* p, size_t n) {
  uint64_t h = 0x9E3779B97F4A7C15ull ^ (n * 0x100000001B3ull);
  while (n >= 8) {
    uint64_t v;
    std::memcpy(&v, p, 8);
    h = (h ^ v) * 0xFF51AFD7ED558CCDull;
    h ^= h >> 32;
    p += 8;
    n -= 8;
  }
  uint64_t v = 0;
  std::memcpy(&v, p, n);
  h = (h ^ v) * 0xC4CEB9FE1A85EC53ull;
  return h ^ (h >> 29);
}

// The texts of one column seen so far, by their bytes. A column whose
// values hardly repeat (order numbers, addresses) soon stops looking.
class Interner {
 public:
  bool active() const { return on_; }
  // The id of these bytes when seen before, else 0.
  uint32_t find(const char* p, uint32_t n, uint64_t h) const {
    if (slots_.empty()) return 0;
    const uint32_t tag = static_cast<uint32_t>(h >> 32);
    for (size_t i = h & mask_;; i = (i + 1) & mask_) {
      const Slot& s = slots_[i];
      if (!s.p) return 0;
      if (s.tag == tag && s.len == n && std::memcmp(s.p, p, n) == 0) return s.id;
    }
  }
  void add(const char* p, uint32_t n, uint64_t h, uint32_t id) {
    if ((used_ + 1) * 2 > slots_.size()) grow();
    put(Slot{p, n, id, static_cast<uint32_t>(h >> 32), static_cast<uint32_t>(h)});
  }
  // Counts a look-up; turns looking off when nearly every value was new.
  void counted(bool hit) {
    ++lookups_;
    if (!hit) ++misses_;
    if (lookups_ == 2048 && misses_ * 4 > lookups_ * 3) {
      on_ = false;
      slots_.clear();
      slots_.shrink_to_fit();
    }
  }

 private:
  struct Slot {
    const char* p = nullptr;
    uint32_t len = 0;
    uint32_t id = 0;
    uint32_t tag = 0;   // high half of the hash
    uint32_t low = 0;   // low half, to place it again when growing
  };
  void put(const Slot& v) {
    for (size_t i = v.low & mask_;; i = (i + 1) & mask_) {
      if (!slots_[i].p) {
        slots_[i] = v;
        ++used_;
        return;
      }
    }
  }
  void grow() {
    std::vector<Slot> old = std::move(slots_);
    slots_.assign(std::max<size_t>(1024, old.size() * 4), Slot{});
    mask_ = slots_.size() - 1;
    used_ = 0;
    for (const Slot& s : old)
      if (s.p) put(s);
  }
  std::vector<Slot> slots_;
  size_t mask_ = 0;
  size_t used_ = 0;
  uint32_t lookups_ = 0;
  uint32_t misses_ = 0;
  bool on_ = true;
};

// Parses the records in [begin, end) of a file of `size` bytes. False when
// the piece is not in the writers' layout.
bool parsePiece(const char* file, size_t size, size_t begin, size_t end, int fields, ParsedTableFile::Piece& out) {
  const char* p = file + begin;
  const char* const stop = file + end;
  const char* const fileEnd = file + size;
  out.ids.reserve(static_cast<size_t>(std::count(p, stop, '\n') + 1) * static_cast<size_t>(fields));
  std::vector<Interner> interners(static_cast<size_t>(fields));
  TextArena arena;
  while (p < stop) {
    for (int f = 0; f < fields; ++f) {
      if (p >= stop || *p != '"') return false;
      const char* v = p + 1;
      const char* q = static_cast<const char*>(std::memchr(v, '"', static_cast<size_t>(fileEnd - v)));
      if (!q || q >= stop) return false;
      const uint32_t n = static_cast<uint32_t>(q - v);
      p = q + 1;
      if (f + 1 < fields) {
        if (p >= stop || *p != ',') return false;
        ++p;
      } else if (p < stop && *p == '\r') {
        ++p;
        if (p < stop && *p == '\n') ++p;
      } else if (p < stop && *p == '\n') {
        ++p;
      } else if (p != fileEnd) {
        return false;
      }
      if (n == 0) {
        out.ids.push_back(0);
        continue;
      }
      Interner& in = interners[static_cast<size_t>(f)];
      uint64_t h = 0;
      if (in.active()) {
        h = hashBytes(v, n);
        const uint32_t id = in.find(v, n, h);
        in.counted(id != 0);
        if (id) {
          out.ids.push_back(id);
          continue;
        }
      }
      const qsizetype len = Codec::decodeTo(arena.room(n), v, n);
      if (len < 0) return false;
      const uint32_t id = out.add(arena.take(len));
      if (in.active()) in.add(v, n, h, id);
      out.ids.push_back(id);
    }
  }
  return true;
}

// Record boundaries cutting the file into about `want` pieces: after a line
// feed outside quotes. The first is 0, the last the size.
std::vector<size_t> boundaries(const char* b, size_t n, size_t want) {
  std::vector<size_t> out{0};
  size_t counted = 0;  // quotes are counted in [0, counted)
  bool inside = false;
  for (size_t k = 1; k < want; ++k) {
    const size_t c = k * n / want;
    if (c <= out.back()) continue;
    inside ^= (std::count(b + counted, b + c, '"') & 1) != 0;
    size_t i = c;
    while (i < n && (b[i] != '\n' || inside)) {
      if (b[i] == '"') inside = !inside;
      ++i;
    }
    counted = i;
    if (i >= n) break;
    out.push_back(i + 1);
  }
  if (out.back() != n) out.push_back(n);
  return out;
}

size_t piecesFor(size_t size) {
  const size_t threads = static_cast<size_t>(std::max(1, QThread::idealThreadCount()));
  return std::clamp<size_t>(size / (256 * 1024), 1, threads * 4);
}

// One file being parsed on the worker threads.
struct FileJob {
  QString path;
  int fields = 0;
  TableShape shape;
  std::unique_ptr<MappedFile> map;
  std::shared_ptr<ParsedTableFile> result = std::make_shared<ParsedTableFile>();
  std::vector<size_t> cuts;
  std::vector<char> ok;
  std::atomic<int> pending{0};
  std::promise<std::shared_ptr<ParsedTableFile>> promise;

  void finishOne() {
    if (pending.fetch_sub(1) != 1) return;
    map.reset();
    result->regular = std::all_of(ok.begin(), ok.end(), [](char c) { return c != 0; });
    if (!result->regular) result->pieces.clear();
    if (result->regular && shape.cellCount >= 0) {
      // The table itself is made here too, beside the other files' work.
      result->table = std::make_unique<Table>(shape.cellCount);
      TableLoad::appendRows(*result->table, std::move(*result), shape.fixed);
      result->pieces.clear();
    }
    promise.set_value(result);
  }
  void runPiece(size_t k) {
    ok[k] = parsePiece(map->data(), map->size(), cuts[k], cuts[k + 1], fields, result->pieces[k]);
    map->release(cuts[k], cuts[k + 1]);
    finishOne();
  }
};

void startJob(const std::shared_ptr<FileJob>& job) {
  QThreadPool::globalInstance()->start([job] {
    job->map = std::make_unique<MappedFile>(job->path);
    job->result->fields = job->fields;
    if (!job->map->ok()) {
      job->map.reset();
      job->promise.set_value(job->result);  // regular stays false: the reader reports
      return;
    }
    if (job->map->size() == 0) {
      job->map.reset();
      job->result->regular = true;
      if (job->shape.cellCount >= 0) job->result->table = std::make_unique<Table>(job->shape.cellCount);
      job->promise.set_value(job->result);
      return;
    }
    job->cuts = boundaries(job->map->data(), job->map->size(), piecesFor(job->map->size()));
    const size_t k = job->cuts.size() - 1;
    job->result->pieces.resize(k);
    job->ok.assign(k, 0);
    job->pending = static_cast<int>(k);
    for (size_t i = 1; i < k; ++i) QThreadPool::globalInstance()->start([job, i] { job->runPiece(i); });
    job->runPiece(0);
  });
}

}  // namespace

ParsedTableFile::Piece::Piece() { add(QString()); }

uint32_t ParsedTableFile::Piece::add(QString text) {
  if (chunks.empty() || chunks.back()->full()) chunks.push_back(std::make_unique<TextChunk>(kChunk));
  chunks.back()->push(std::move(text));
  return count++;
}

size_t ParsedTableFile::rowCount() const {
  size_t n = 0;
  if (fields > 0)
    for (const Piece& p : pieces) n += p.ids.size() / static_cast<size_t>(fields);
  return n;
}

QString ParsedTableFile::field(size_t row, int f) const {
  for (const Piece& p : pieces) {
    const size_t rows = p.ids.size() / static_cast<size_t>(fields);
    if (row < rows) return p.text(p.ids[row * static_cast<size_t>(fields) + static_cast<size_t>(f)]);
    row -= rows;
  }
  return {};
}

std::shared_future<std::shared_ptr<ParsedTableFile>> parseTableFileAsync(const QString& path, int fields,
                                                                          TableShape shape) {
  auto job = std::make_shared<FileJob>();
  job->path = path;
  job->fields = fields;
  job->shape = std::move(shape);
  std::shared_future<std::shared_ptr<ParsedTableFile>> f = job->promise.get_future().share();
  startJob(job);
  return f;
}

ParsedTableFile parseTableFile(const QString& path, int fields) {
  return std::move(*parseTableFileAsync(path, fields).get());
}

ParsedTableFile parseTableBytes(const char* bytes, size_t size, int fields) {
  ParsedTableFile out;
  out.fields = fields;
  const std::vector<size_t> cuts = boundaries(bytes, size, std::max<size_t>(1, size / 64));
  out.pieces.resize(cuts.size() - 1);
  out.regular = true;
  for (size_t k = 0; k + 1 < cuts.size(); ++k)
    if (!parsePiece(bytes, size, cuts[k], cuts[k + 1], fields, out.pieces[k])) out.regular = false;
  if (!out.regular) out.pieces.clear();
  return out;
}

void TableLoad::appendRows(Table& t, ParsedTableFile&& parsed, const std::vector<std::pair<int, QString>>& fixed) {
  const size_t stride = t.stride();
  const size_t fields = static_cast<size_t>(parsed.fields);
  if (fields == 0 || fields > stride) return;
  const size_t rows = parsed.rowCount();
  std::vector<std::pair<size_t, uint32_t>> fixedIds;
  for (const auto& [column, text] : fixed)
    if (column >= 0 && static_cast<size_t>(column) < stride) fixedIds.emplace_back(column, text.isEmpty() ? 0 : t.values_.add(text));
  size_t w = t.ids_.size();
  t.ids_.resize(w + rows * stride, 0);
  for (ParsedTableFile::Piece& piece : parsed.pieces) {
    // The piece's chunks become the table's: local text k (k >= 1) gets the
    // id base[k / kChunk] + k % kChunk.
    std::vector<uint32_t> base;
    base.reserve(piece.chunks.size());
    for (auto& chunk : piece.chunks) base.push_back(t.values_.adopt(std::move(chunk)));
    const size_t n = piece.ids.size() / fields;
    constexpr uint32_t K = ParsedTableFile::Piece::kChunk;
    for (size_t r = 0; r < n; ++r) {
      const uint32_t* in = piece.ids.data() + r * fields;
      uint32_t* out = t.ids_.data() + w;
      for (size_t f = 0; f < fields; ++f) out[f] = in[f] ? base[in[f] / K] + in[f] % K : 0;
      for (const auto& [column, id] : fixedIds) out[column] = id;
      w += stride;
    }
    piece.ids = {};
    piece.chunks.clear();
  }
  t.rows_ += static_cast<int>(rows);
}

void TableLoad::fillColumn(Table& t, int column, ParsedTableFile&& parsed, QString (*transform)(const QString&)) {
  if (parsed.fields != 1 || column < 0 || column > t.n_) return;
  const size_t stride = t.stride();
  size_t row = 0;
  const size_t rows = static_cast<size_t>(t.count());
  for (ParsedTableFile::Piece& piece : parsed.pieces) {
    std::vector<uint32_t> mapped(piece.count, UINT32_MAX);
    for (uint32_t local : piece.ids) {
      if (row >= rows) return;
      uint32_t& id = mapped[local];
      if (id == UINT32_MAX) {
        const QString v = transform ? transform(piece.text(local)) : piece.text(local);
        id = v.isEmpty() ? 0 : t.values_.add(v);
      }
      t.ids_[row * stride + static_cast<size_t>(column)] = id;
      ++row;
    }
  }
}
