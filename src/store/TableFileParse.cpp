#include "store/TableFileParse.h"

#include <QFile>
#include <QThread>
#include <QThreadPool>
#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <cerrno>
#include <mutex>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/Codec.h"
#include "store/HashBytes.h"
#include "store/Table.h"

namespace {

// Files up to this size are read into memory and parsed on the thread that
// asks for them: mapping them, and handing them to a worker thread, costs
// more than their parse.
constexpr size_t kSmallFile = 32 * 1024;

// A whole file mapped read-only (nothing is copied; pages come from the
// file cache and leave memory when unmapped); a small file is read instead.
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
      } else if (size_ <= kSmallFile) {
        ok_ = readWhole(fd);
      } else {
        void* p = ::mmap(nullptr, size_, PROT_READ, MAP_PRIVATE, fd, 0);
        if (p != MAP_FAILED) {
          data_ = static_cast<const char*>(p);
          mapped_ = true;
          ::madvise(p, size_, MADV_SEQUENTIAL);
          ok_ = true;
        }
      }
    }
    ::close(fd);
  }
  ~MappedFile() {
    if (mapped_) ::munmap(const_cast<char*>(data_), size_);
  }
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;
  bool ok() const { return ok_; }
  // Drops the pages wholly inside [from, to) from memory (they were read).
  void release(size_t from, size_t to) const {
    const size_t page = static_cast<size_t>(::sysconf(_SC_PAGESIZE));
    const size_t a = (from + page - 1) / page * page;
    const size_t b = to / page * page;
    if (mapped_ && b > a) ::madvise(const_cast<char*>(data_) + a, b - a, MADV_DONTNEED);
  }
  const char* data() const { return data_; }
  size_t size() const { return size_; }

 private:
  // The size_ bytes fstat gave; a file that changed size meanwhile is read
  // as far as it goes, as a mapping would show it.
  bool readWhole(int fd) {
    read_.reset(new char[size_]);
    size_t done = 0;
    while (done < size_) {
      const ssize_t n = ::read(fd, read_.get() + done, size_ - done);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return false;
      if (n == 0) break;
      done += static_cast<size_t>(n);
    }
    size_ = done;
    data_ = read_.get();
    return true;
  }
  const char* data_ = nullptr;
  std::unique_ptr<char[]> read_;
  size_t size_ = 0;
  bool mapped_ = false;
  bool ok_ = false;
};

// Texts of one file by their bytes: where they lie in the file (offset and
// length), the reference given to them, and the high half of their hash,
// which also gives their place (so that growing reads no file bytes).
class Interner {
 public:
  explicit Interner(const char* file) : file_(file) {}
  // The reference of these bytes when seen before, else 0.
  uint32_t find(const char* p, uint32_t n, uint64_t h) const {
    if (slots_.empty()) return 0;
    const uint32_t tag = static_cast<uint32_t>(h >> 32);
    for (size_t i = tag & mask_;; i = (i + 1) & mask_) {
      const Slot& s = slots_[i];
      if (!s.ref) return 0;
      if (s.tag == tag && s.len == n && sameBytes(file_ + s.off, p, n)) return s.ref;
    }
  }
  void add(const char* p, uint32_t n, uint64_t h, uint32_t ref) {
    if ((used_ + 1) * 2 > slots_.size()) grow();
    put(Slot{static_cast<uint32_t>(p - file_), n, ref, static_cast<uint32_t>(h >> 32)});
  }

 private:
  struct Slot {
    uint32_t off = 0;
    uint32_t len = 0;
    uint32_t ref = 0;  // 0: free
    uint32_t tag = 0;  // high half of the hash
  };
  void put(const Slot& v) {
    for (size_t i = v.tag & mask_;; i = (i + 1) & mask_) {
      if (!slots_[i].ref) {
        slots_[i] = v;
        ++used_;
        return;
      }
    }
  }
  void grow() {
    std::vector<Slot> old = std::move(slots_);
    slots_.assign(std::max<size_t>(16, old.size() * 2), Slot{});
    mask_ = slots_.size() - 1;
    used_ = 0;
    for (const Slot& s : old)
      if (s.ref) put(s);
  }
  const char* file_;
  std::vector<Slot> slots_;
  size_t mask_ = 0;
  size_t used_ = 0;
};

// A small cache of one piece in front of a shared column: the texts met
// last, one per place (a newer text takes the place of an older one).
class RecentTexts {
 public:
  // Places for about as many texts as the piece has records, at most kSize:
  // a small file does not pay for a large cache.
  explicit RecentTexts(size_t records)
      : mask_(std::bit_ceil(std::clamp<size_t>(records, 16, kSize)) - 1), slots_(mask_ + 1) {}
  uint32_t find(const char* file, const char* p, uint32_t n, uint64_t h) const {
    const Slot& s = slots_[h & mask_];
    if (s.ref && s.tag == static_cast<uint32_t>(h >> 32) && s.len == n && sameBytes(file + s.off, p, n))
      return s.ref;
    return 0;
  }
  void put(const char* file, const char* p, uint32_t n, uint64_t h, uint32_t ref) {
    slots_[h & mask_] = Slot{static_cast<uint32_t>(p - file), n, ref, static_cast<uint32_t>(h >> 32)};
  }

 private:
  static constexpr size_t kSize = 2048;
  struct Slot {
    uint32_t off = 0;
    uint32_t len = 0;
    uint32_t ref = 0;
    uint32_t tag = 0;
  };
  size_t mask_;
  std::vector<Slot> slots_;
};

// References to the texts of a file, across its pieces: the piece number
// and the text's number in that piece.
constexpr int kLocalBits = 26;
constexpr uint32_t kMaxPieces = 64;
constexpr uint32_t kMaxLocal = (1u << kLocalBits) - 1;
inline uint32_t refOf(uint32_t piece, uint32_t local) { return piece << kLocalBits | local; }

// The repeated texts of one column of a file, shared by its pieces: the
// first piece to meet a text makes it, the others refer to it, so a text
// is held once however the file was cut. A column whose texts hardly
// repeat (order numbers, telephones) soon stops looking. The texts lie in
// stripes by their hash, each behind its own lock, so pieces seldom wait
// for one another; a waiting thread sleeps rather than spins (on a busy or
// two-core machine the holder may have lost its processor, and spinning
// would only keep it from getting it back).
class SharedColumn {
 public:
  // As many stripes as pieces may meet in them: one piece needs one.
  SharedColumn(const char* file, size_t pieces) : file_(file), stripes_(pieces > 1 ? kStripes : 1) {}
  bool active() const { return on_.load(std::memory_order_relaxed); }
  // The reference of these bytes; `make()` makes the text (in the calling
  // piece) and gives its reference when they are new.
  template <typename Make>
  uint32_t lookup(const char* p, uint32_t n, uint64_t h, const Make& make) {
    Stripe& s = stripes_[(h >> 24) & (stripes_.size() - 1)];
    uint32_t ref;
    bool hit;
    {
      std::lock_guard<std::mutex> hold(s.m);
      if (!s.map) s.map = std::make_unique<Interner>(file_);  // made when first used
      ref = s.map->find(p, n, h);
      hit = ref != 0;
      if (!hit) {
        ref = make();
        s.map->add(p, n, h, ref);
      }
    }
    return ref;
  }
  // Counts what a piece looked up here since it last told (texts it had
  // not met lately), and new texts among them. Looking stops when nearly
  // all of 16k texts were new (order numbers, telephones). A column of 20k
  // names drawn at random has found only about two in three of its names
  // new by then, and stays.
  void tell(uint32_t texts, uint32_t made) {
    const uint32_t all = texts_.fetch_add(texts, std::memory_order_relaxed) + texts;
    const uint32_t fresh = made_.fetch_add(made, std::memory_order_relaxed) + made;
    if (all >= 16384 && uint64_t(fresh) * 20 > uint64_t(all) * 19) on_.store(false, std::memory_order_relaxed);
  }

 private:
  static constexpr int kStripes = 64;
  // A cache line each, so that threads using neighbouring stripes do not
  // contend for one line.
  struct alignas(64) Stripe {
    std::mutex m;
    std::unique_ptr<Interner> map;
  };
  const char* file_;
  std::vector<Stripe> stripes_;
  std::atomic<uint32_t> texts_{0};
  std::atomic<uint32_t> made_{0};
  std::atomic<bool> on_{true};
};

// Parses the records in [begin, end) of a file of `size` bytes as piece
// number `piece`; its ids are references (refOf). False when the piece is
// not in the writers' layout.
bool parsePiece(const char* file, size_t size, size_t begin, size_t end, int fields, uint32_t piece,
                std::vector<std::unique_ptr<SharedColumn>>& columns, ParsedTableFile::Piece& out) {
  const char* p = file + begin;
  const char* const stop = file + end;
  const char* const fileEnd = file + size;
  const size_t records = static_cast<size_t>(std::count(p, stop, '\n') + 1);
  out.ids.reserve(records * static_cast<size_t>(fields));
  // What this piece found already, in front of the shared look-up, and
  // how many texts and new texts it met (told to the column now and then).
  std::vector<RecentTexts> seen(static_cast<size_t>(fields), RecentTexts(records));
  std::vector<uint32_t> met(static_cast<size_t>(fields), 0), made(static_cast<size_t>(fields), 0);
  bool bad = false;
  // Decodes the bytes into a new text of this piece; its reference.
  const auto make = [&](const char* v, uint32_t n) -> uint32_t {
    // One allocation of the text's own size: a text cut out of a larger
    // block would make every string grown from it (a cell with a suffix)
    // as large as its place in the block.
    QString text(n, Qt::Uninitialized);
    const qsizetype len = Codec::decodeTo(reinterpret_cast<char16_t*>(text.data()), v, n);
    if (len < 0 || out.count >= kMaxLocal) {
      bad = true;
      text.clear();
    } else {
      text.truncate(len);
    }
    return refOf(piece, out.add(std::move(text)));
  };
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
      // A text met lately in this piece is taken from there (a line's order
      // number repeats on its next lines); else from the texts the pieces
      // share, while the column still looks there.
      const size_t fi = static_cast<size_t>(f);
      RecentTexts& mine = seen[fi];
      const uint64_t h = hashBytes(v, n);
      uint32_t ref = mine.find(file, v, n, h);
      if (!ref) {
        SharedColumn& column = *columns[fi];
        if (!column.active()) {
          ref = make(v, n);
        } else {
          ref = column.lookup(v, n, h, [&] {
            ++made[fi];
            return make(v, n);
          });
          if (++met[fi] == 1024) {
            column.tell(met[fi], made[fi]);
            met[fi] = made[fi] = 0;
          }
        }
        mine.put(file, v, n, h, ref);
      }
      out.ids.push_back(ref);
      if (bad) return false;
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
  // Pieces of at least 1 MB, two a thread, so that the threads stay busy.
  return std::clamp<size_t>(size / (1024 * 1024), 1, std::min<size_t>(threads * 2, kMaxPieces));
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
  std::vector<std::unique_ptr<SharedColumn>> columns;
  std::atomic<int> pending{0};
  std::promise<std::shared_ptr<ParsedTableFile>> promise;

  void finishOne() {
    if (pending.fetch_sub(1) != 1) return;
    columns.clear();
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
    ok[k] = parsePiece(map->data(), map->size(), cuts[k], cuts[k + 1], fields, static_cast<uint32_t>(k), columns,
                       result->pieces[k]);
    map->release(cuts[k], cuts[k + 1]);
    finishOne();
  }
};

void startJob(const std::shared_ptr<FileJob>& job) {
  const auto run = [job] {
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
    for (int f = 0; f < job->fields; ++f) job->columns.push_back(std::make_unique<SharedColumn>(job->map->data(), k));
    job->pending = static_cast<int>(k);
    for (size_t i = 1; i < k; ++i) QThreadPool::globalInstance()->start([job, i] { job->runPiece(i); });
    job->runPiece(0);
  };
  // A small file is done at once, here; a larger one on the worker threads.
  struct stat st {};
  if (::stat(QFile::encodeName(job->path).constData(), &st) == 0 && S_ISREG(st.st_mode) &&
      static_cast<size_t>(st.st_size) <= kSmallFile)
    run();
  else
    QThreadPool::globalInstance()->start(run);
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
    if (row < rows) {
      const uint32_t ref = p.ids[row * static_cast<size_t>(fields) + static_cast<size_t>(f)];
      return ref ? pieces[ref >> kLocalBits].text(ref & kMaxLocal) : QString();
    }
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
  const std::vector<size_t> cuts = boundaries(bytes, size, std::clamp<size_t>(size / 64, 1, kMaxPieces));
  out.pieces.resize(cuts.size() - 1);
  std::vector<std::unique_ptr<SharedColumn>> columns;
  for (int f = 0; f < fields; ++f) columns.push_back(std::make_unique<SharedColumn>(bytes, cuts.size() - 1));
  out.regular = true;
  for (size_t k = 0; k + 1 < cuts.size(); ++k)
    if (!parsePiece(bytes, size, cuts[k], cuts[k + 1], fields, static_cast<uint32_t>(k), columns, out.pieces[k]))
      out.regular = false;
  if (!out.regular) out.pieces.clear();
  return out;
}

void TableLoad::appendRows(Table& t, ParsedTableFile&& parsed, const std::vector<std::pair<int, QString>>& fixed) {
  const size_t stride = t.stride();
  const size_t fields = static_cast<size_t>(parsed.fields);
  if (fields == 0 || fields > stride) return;
  t.version_.bump();
  t.shape_.bump();
  t.restartSetLog();
  const size_t rows = parsed.rowCount();
  std::vector<std::pair<size_t, uint32_t>> fixedIds;
  for (const auto& [column, text] : fixed)
    if (column >= 0 && static_cast<size_t>(column) < stride) fixedIds.emplace_back(column, text.isEmpty() ? 0 : t.values_.add(text));
  size_t w = t.ids_.size();
  t.ids_.resize(w + rows * stride, 0);
  constexpr uint32_t K = ParsedTableFile::Piece::kChunk;
  // Every piece's chunks become the table's as they are; a reference
  // (piece, text) becomes the id of that text there.
  std::vector<std::vector<uint32_t>> base(parsed.pieces.size());
  for (size_t k = 0; k < parsed.pieces.size(); ++k)
    for (auto& chunk : parsed.pieces[k].chunks) base[k].push_back(t.values_.adopt(std::move(chunk)));
  const auto idOf = [&base](uint32_t ref) -> uint32_t {
    if (!ref) return 0;
    const uint32_t local = ref & kMaxLocal;
    return base[ref >> kLocalBits][local / K] + local % K;
  };
  for (ParsedTableFile::Piece& piece : parsed.pieces) {
    const size_t n = piece.ids.size() / fields;
    for (size_t r = 0; r < n; ++r) {
      const uint32_t* in = piece.ids.data() + r * fields;
      uint32_t* out = t.ids_.data() + w;
      for (size_t f = 0; f < fields; ++f) out[f] = idOf(in[f]);
      for (const auto& [column, id] : fixedIds) out[column] = id;
      w += stride;
    }
    piece.ids = {};
    piece.chunks.clear();
  }
  t.rows_ += static_cast<int>(rows);
}

bool TableLoad::fillColumn(Table& t, int column, ParsedTableFile&& parsed, QString (*transform)(const QString&),
                           bool (*accepts)(const QString&)) {
  if (parsed.fields != 1 || column < 0 || column > t.n_) return true;
  t.version_.bump();
  t.columnVersions_[static_cast<size_t>(column)] = t.version_.value;
  t.restartSetLog();
  const size_t stride = t.stride();
  const size_t rows = static_cast<size_t>(t.count());
  constexpr uint32_t K = ParsedTableFile::Piece::kChunk;
  // Each distinct text is transformed and judged once: (piece, text) -> table id.
  std::vector<std::vector<uint32_t>> mapped(parsed.pieces.size());
  for (size_t k = 0; k < parsed.pieces.size(); ++k) mapped[k].assign(parsed.pieces[k].count, UINT32_MAX);
  bool accepted = true;
  size_t row = 0;
  for (const ParsedTableFile::Piece& piece : parsed.pieces) {
    for (uint32_t ref : piece.ids) {
      if (row >= rows) return accepted;
      const uint32_t k = ref >> kLocalBits;
      const uint32_t local = ref & kMaxLocal;
      uint32_t& id = mapped[k][local];
      if (id == UINT32_MAX) {
        const ParsedTableFile::Piece& owner = parsed.pieces[k];
        const QString& text = (*owner.chunks[local / K])[local % K];
        if (accepts && !accepts(text)) accepted = false;
        const QString v = transform ? transform(text) : text;
        id = v.isEmpty() ? 0 : t.values_.add(v);
      }
      t.ids_[row * stride + static_cast<size_t>(column)] = id;
      ++row;
    }
  }
  return accepted;
}
