#include "store/DataStore.h"

#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include "platform/AppPaths.h"
#include "platform/Codec.h"
#include "platform/Numbers.h"
#include "platform/Prompt.h"
#include "platform/SettingsStore.h"
#include "store/DamagedFiles.h"
#include "store/Decimal.h"
#include "store/Progress.h"
#include "store/QuotedFieldFile.h"
#include "store/SaveTransaction.h"
#include "store/SettingsFiles.h"
#include "store/TableFileParse.h"
#include "store/TextEntry.h"

#include <QThreadPool>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <future>
#include <malloc.h>
#include <sys/stat.h>
#include <map>
#include <mutex>

namespace {
void yieldOnce() { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); }

QString errorText(const QString& name) {
  return QStringLiteral("載入 ") + name + QStringLiteral(" 檔案發生錯誤!");
}
}  // namespace

struct DataStore::Prefetch {
  // File name as the readers name it -> its parse.
  std::map<QString, std::shared_future<std::shared_ptr<ParsedTableFile>>> files;
};

DataStore::DataStore(Database& db, Prompt& prompt, Progress& progress)
    : db_(db), prompt_(prompt), progress_(progress) {}

DataStore::~DataStore() = default;

namespace {

struct TableFile {
  const char* name;
  int fields;
  TableShape shape;
};

// The table files of the current layout, in the order the readers take
// them: fields a record, and the table their rows become (the part files
// of Manuf and Stock fill a column of it).
const std::vector<TableFile>& tableFiles() {
  static const std::vector<TableFile> files = {
      {"Images1.kdt", 3, {ImagesCell::Count, {}}},
      {"Expend.kdt", 5, {ExpendCell::Count, {}}},
      {"Manuf1.kdt", 6, {ManufCell::Count, {{ManufCell::SafetyStock, QStringLiteral("0")}, {ManufCell::ProductWeight, QStringLiteral("0")}}}},
      {"Manuf2.kdt", 1, {}},
      {"Manuf3.kdt", 1, {}},
      {"Stock1.kdt", 8, {StockCell::Count, {{StockCell::LineWeight, QStringLiteral("0")}}}},
      {"Stock2.kdt", 1, {}},
      {"Member.kdt", 9, {GuestCell::Count, {}}},
      {"Order1.kdt", 13, {OrderCell::Count, {}}},
      {"ManufStock.kdt", 10, {ManufStockCell::Count, {}}},
  };
  return files;
}

// Reads started ahead of a load (start-up), for the folder they were made for.
struct ReadAhead {
  QString folder;
  std::unique_ptr<DataStore::Prefetch> files;
};
std::mutex g_aheadLock;
ReadAhead g_ahead;

}  // namespace

std::unique_ptr<DataStore::Prefetch> DataStore::startReads(const QString& folder) {
  auto p = std::make_unique<Prefetch>();
  for (const TableFile& f : tableFiles()) {
    const QString n = QString::fromLatin1(f.name);
    if (!AppPaths::exists(folder, n)) continue;
    p->files.emplace(n, parseTableFileAsync(AppPaths::find(folder, n), f.fields, f.shape));
  }
  return p;
}

void DataStore::readAhead(const QString& folder) {
  const QString dir = AppPaths::withSlash(folder);
  if (dir.isEmpty() || !AppPaths::folderExists(dir)) return;
  if (AppPaths::exists(dir, QString::fromLatin1(SaveTransaction::kJournal)) ||
      AppPaths::exists(dir, QStringLiteral("DataBase.pwd")))
    return;
  std::lock_guard<std::mutex> hold(g_aheadLock);
  g_ahead.folder = dir;
  g_ahead.files = startReads(dir);
}

void DataStore::prefetchTables() {
  {
    std::lock_guard<std::mutex> hold(g_aheadLock);
    std::unique_ptr<Prefetch> ahead = std::move(g_ahead.files);
    const bool same = g_ahead.folder == db_.DataBasePath;
    g_ahead.folder.clear();
    if (ahead && same) {
      prefetch_ = std::move(ahead);
      return;
    }
  }
  prefetch_ = startReads(db_.DataBasePath);
}

std::shared_ptr<ParsedTableFile> DataStore::parsed(const QString& fileName, int fields) {
  if (prefetch_) {
    const auto it = prefetch_->files.find(fileName);
    if (it != prefetch_->files.end()) {
      auto result = it->second.get();
      prefetch_->files.erase(it);
      return result;
    }
  }
  if (!AppPaths::exists(db_.DataBasePath, fileName)) return nullptr;
  TableShape shape;
  for (const TableFile& f : tableFiles())
    if (fileName == QLatin1String(f.name)) shape = f.shape;
  return parseTableFileAsync(db_.filePath(fileName), fields, shape).get();
}

void DataStore::failed(const QString& fileName, const QString& message) {
  if (!fileName.isEmpty() && !db_.damagedFiles.contains(fileName, Qt::CaseInsensitive) &&
      QFileInfo::exists(db_.filePath(fileName))) {
    db_.damagedFiles << fileName;
  }
  prompt_.message(message, Prompt::Icon::Exclamation);
}

bool DataStore::readRecords(const QString& fileName, int n, const QString& failMessage,
                            const std::function<void(const QStringList&)>& addRow) {
  const QString path = db_.filePath(fileName);
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
    failed(fileName, failMessage);
    return false;
  }
  const QByteArray bytes = f.readAll();
  if (f.error() != QFile::NoError) {
    failed(fileName, failMessage);
    return false;
  }
  f.close();
  bool clean = true;
  const QString text = Codec::decode(bytes, &clean);
  QuotedFieldReader reader(text);
  QStringList fields;
  // Only line ends after the last record: nothing was cut.
  const auto onlyLineEnds = [&](qsizetype from) {
    for (qsizetype i = from; i < text.size(); ++i)
      if (text[i] != u'\r' && text[i] != u'\n') return false;
    return true;
  };
  while (!reader.atEnd()) {
    const qsizetype start = reader.position();
    const auto r = reader.readRecord(n, &fields);
    if (r != QuotedFieldReader::Record::Complete && onlyLineEnds(start)) break;
    if (r == QuotedFieldReader::Record::Truncated) {
      // A record cut short by the end of the file: the complete ones stay,
      // the original is kept before the first save replaces it.
      failed(fileName, failMessage);
      return false;
    }
    if (r == QuotedFieldReader::Record::Damaged) {
      failed(fileName, failMessage);
      return false;
    }
    // In a one-column file an empty line is an empty record, except for
    // the line ends that close the file.
    if (n == 1 && fields[0].isEmpty() && onlyLineEnds(start)) break;
    addRow(fields);
  }
  if (!clean || reader.irregular()) {
    // Bytes that are not code page 950, or values that are not what the
    // file holds: the rows are kept, the original too.
    failed(fileName, failMessage);
    return false;
  }
  return true;
}

bool DataStore::take(Table& table, ParsedTableFile& p) {
  if (!p.regular || !p.table || p.table->cellCount() != table.cellCount()) return false;
  table = std::move(*p.table);
  return true;
}

namespace {
// A one-column value that its number keeps whole: blank (read as 0) or one
// decimal number that the plain decimal text holds exactly ("007" and
// "1.50" are 7 and 1.5; "12 kg" and "1,5" would be read as a part of them).
bool wholeNumber(const QString& text) {
  if (text.trimmed().isEmpty()) return true;
  return Num::isNumeric(text) && Decimal::leading(text) == Decimal::leading(Num::canonical(text));
}
}  // namespace

void DataStore::fillColumn(Table& table, int column, const QString& fileName, const QString& failMessage) {
  // The k-th record belongs to row k. A file shorter than the table loses
  // nothing: rows beyond its end keep "0". Records beyond the last row stay
  // unread and a value that is no clean number gives only its leading
  // number: such a file is kept and the user told.
  if (const auto p = parsed(fileName, 1); p && p->regular) {
    const bool longer = p->rowCount() > static_cast<size_t>(table.count());
    const bool whole = TableLoad::fillColumn(table, column, std::move(*p), &Num::canonical, &wholeNumber);
    if (longer || !whole) failed(fileName, failMessage);
  } else if (p) {
    int row = 0;
    bool whole = true;
    const bool ok = readRecords(fileName, 1, failMessage, [&](const QStringList& f) {
      if (++row > table.count()) return;
      table.setCell(row, column, Num::canonical(f[0]));
      whole = whole && wholeNumber(f[0]);
    });
    if (!ok) return;
    if (row > table.count() || !whole) failed(fileName, failMessage);
  }
  for (int r = 1; r <= table.count(); ++r) {
    if (table.cell(r, column).isEmpty()) table.setCell(r, column, QStringLiteral("0"));
  }
}

bool DataStore::convertOlder(const QString& oldName, int oldFields, const QString& newName, Table& table,
                             const std::function<void(const QStringList&)>& addRow, int newFirst,
                             int newColumns, const QString& failMessage) {
  if (!readRecords(oldName, oldFields, failMessage, addRow)) return false;
  // The new file is written completely before the older one is set aside.
  const QString text = tableText(table, newFirst, newColumns);
  if (!SaveTransaction::writeTextFile(db_.DataBasePath, newName, text)) {
    prompt_.message(failMessage, Prompt::Icon::Exclamation);
    return false;
  }
  const QString oldPath = db_.filePath(oldName);
  const QString aside = db_.DataBasePath + QFileInfo(oldName).completeBaseName() + QStringLiteral(".123");
  QFile::remove(aside);
  QFile::rename(oldPath, aside);
  return true;
}

// ---- readers --------------------------------------------------------------

void DataStore::ImagesInit() {
  db_.Images.clear();
  const auto p = parsed(QStringLiteral("Images1.kdt"), 3);
  if (!p) return;
  if (take(db_.Images, *p)) return;
  readRecords(QStringLiteral("Images1.kdt"), 3, errorText(QStringLiteral("Images1")), [&](const QStringList& f) {
    const int r = db_.Images.append(f[0]);
    db_.Images.setCell(r, 1, f[1]);
    db_.Images.setCell(r, 2, f[2]);
  });
}

void DataStore::ExpendInit() {
  progress_.setLabel(QStringLiteral("正在載入 Expend 檔案"));
  db_.Expend.clear();
  if (const auto p = parsed(QStringLiteral("Expend.kdt"), 5); p && take(db_.Expend, *p)) {
  } else if (p) {
    const bool ok = readRecords(QStringLiteral("Expend.kdt"), 5, errorText(QStringLiteral("Expend")),
                                [&](const QStringList& f) {
                                  const int r = db_.Expend.append(f[0]);
                                  for (int j = 1; j <= 4; ++j) db_.Expend.setCell(r, j, f[j]);
                                });
    if (!ok) return;
  }
  progress_.setValue(17);
}

void DataStore::ManufInit() {
  progress_.setLabel(QStringLiteral("正在載入 Manuf 檔案"));
  Manuf1Init();
  Manuf2Init();
  Manuf3Init();
  progress_.setValue(33);
}

void DataStore::Manuf1Init() {
  Table& t = db_.Manuf;
  t.clear();
  const QString msg = errorText(QStringLiteral("Manuf1"));
  if (const auto p = parsed(QStringLiteral("Manuf1.kdt"), 6)) {
    if (take(t, *p)) return;
    readRecords(QStringLiteral("Manuf1.kdt"), 6, msg, [&](const QStringList& f) {
      const int r = t.append(f[0]);
      for (int j = 1; j <= 5; ++j) t.setCell(r, j, f[j]);
      t.setCell(r, 6, QStringLiteral("0"));
      t.setCell(r, 7, QStringLiteral("0"));
    });
    return;
  }
  if (!AppPaths::exists(db_.DataBasePath, QStringLiteral("Manuf.kdt"))) return;
  const bool ok = convertOlder(
      QStringLiteral("Manuf.kdt"), 5, QStringLiteral("Manuf1.kdt"), t,
      [&](const QStringList& f) {
        const int r = t.append(f[0]);
        t.setCell(r, 1, f[1]);
        t.setCell(r, 2, f[2]);
        t.setCell(r, 3, f[3]);
        t.setCell(r, 4, QStringLiteral("0"));
        t.setCell(r, 5, f[4]);
      },
      0, 6, msg);
  if (!ok) return;
  for (int r = 1; r <= t.count(); ++r) {
    if (t.cell(r, 6).isEmpty()) t.setCell(r, 6, QStringLiteral("0"));
  }
  SettingsStore::set(QStringLiteral("ManufForm"), QStringLiteral("LW5"), QStringLiteral("90"));
  progress_.setValue(40);
}

void DataStore::Manuf2Init() {
  fillColumn(db_.Manuf, ManufCell::SafetyStock, QStringLiteral("Manuf2.kdt"), errorText(QStringLiteral("Manuf2")));
}

void DataStore::Manuf3Init() {
  fillColumn(db_.Manuf, ManufCell::ProductWeight, QStringLiteral("Manuf3.kdt"), errorText(QStringLiteral("Manuf3")));
}

void DataStore::StockInit() {
  progress_.setLabel(QStringLiteral("正在載入 Stock 檔案"));
  Stock1Init();
  Stock2Init();
  progress_.setValue(50);
}

void DataStore::Stock1Init() {
  Table& t = db_.Stock;
  t.clear();
  const QString msg = errorText(QStringLiteral("Stock1"));
  if (const auto p = parsed(QStringLiteral("Stock1.kdt"), 8)) {
    if (take(t, *p)) return;
    readRecords(QStringLiteral("Stock1.kdt"), 8, msg, [&](const QStringList& f) {
      const int r = t.append(f[0]);
      for (int j = 1; j <= 7; ++j) t.setCell(r, j, f[j]);
      t.setCell(r, 8, QStringLiteral("0"));
    });
    return;
  }
  if (!AppPaths::exists(db_.DataBasePath, QStringLiteral("Stock.kdt"))) return;
  const bool ok = convertOlder(
      QStringLiteral("Stock.kdt"), 7, QStringLiteral("Stock1.kdt"), t,
      [&](const QStringList& f) {
        const int r = t.append(f[0]);
        for (int j = 1; j <= 6; ++j) t.setCell(r, j, f[j]);
      },
      0, 8, msg);
  if (ok) progress_.setValue(60);
}

void DataStore::Stock2Init() {
  fillColumn(db_.Stock, StockCell::LineWeight, QStringLiteral("Stock2.kdt"), errorText(QStringLiteral("Stock2")));
}

void DataStore::GuestInit() {
  progress_.setLabel(QStringLiteral("正在載入 Member 檔案"));
  Table& t = db_.Guest;
  t.clear();
  const QString msg = errorText(QStringLiteral("Member"));
  if (const auto p = parsed(QStringLiteral("Member.kdt"), 9)) {
    if (take(t, *p)) {
    } else if (!readRecords(QStringLiteral("Member.kdt"), 9, msg, [&](const QStringList& f) {
          const int r = t.append(f[0]);
          for (int j = 1; j <= 8; ++j) t.setCell(r, j, f[j]);
        }))
      return;
  } else if (AppPaths::exists(db_.DataBasePath, QStringLiteral("Guest.kdt"))) {
    const bool ok = convertOlder(
        QStringLiteral("Guest.kdt"), 8, QStringLiteral("Member.kdt"), t,
        [&](const QStringList& f) {
          const int r = t.append(f[0]);
          for (int j = 1; j <= 7; ++j) t.setCell(r, j, f[j]);
        },
        0, 9, msg);
    if (ok) progress_.setValue(80);
    return;
  }
  progress_.setValue(66);
}

void DataStore::OrderInit() {
  progress_.setLabel(QStringLiteral("正在載入 Order 檔案"));
  Table& t = db_.Order;
  t.clear();
  const QString msg = errorText(QStringLiteral("Order"));
  if (const auto p = parsed(QStringLiteral("Order1.kdt"), 13)) {
    if (take(t, *p)) {
    } else if (!readRecords(QStringLiteral("Order1.kdt"), 13, msg, [&](const QStringList& f) {
          const int r = t.append(f[0]);
          for (int j = 1; j <= 12; ++j) t.setCell(r, j, f[j]);
        }))
      return;
  } else if (AppPaths::exists(db_.DataBasePath, QStringLiteral("Order.kdt"))) {
    const bool ok = convertOlder(
        QStringLiteral("Order.kdt"), 11, QStringLiteral("Order1.kdt"), t,
        [&](const QStringList& f) {
          const int r = t.append(f[0]);
          for (int j = 1; j <= 10; ++j) t.setCell(r, j, f[j]);
        },
        0, 13, msg);
    if (ok) progress_.setValue(80);
    return;
  }
  progress_.setValue(83);
}

void DataStore::ManufStockInit() {
  progress_.setLabel(QStringLiteral("正在載入 ManufStock 檔案"));
  Table& t = db_.ManufStock;
  t.clear();
  if (const auto p = parsed(QStringLiteral("ManufStock.kdt"), 10)) {
    if (take(t, *p)) {
    } else if (!readRecords(QStringLiteral("ManufStock.kdt"), 10, errorText(QStringLiteral("ManufStock")),
                     [&](const QStringList& f) {
                       const int r = t.append(f[0]);
                       for (int j = 1; j <= 9; ++j) t.setCell(r, j, f[j]);
                     }))
      return;
  }
  progress_.setValue(100);
}

void DataStore::ImagesCnv() {
  const bool hasNew = AppPaths::exists(db_.DataBasePath, QStringLiteral("Images1.kdt"));
  const bool hasOld = AppPaths::exists(db_.DataBasePath, QStringLiteral("Images.kdt"));
  if (!hasOld) return;
  if (hasNew) {
    QFile::remove(db_.filePath(QStringLiteral("Images.kdt")));
    return;
  }
  Table& t = db_.Images;
  const bool ok = readRecords(QStringLiteral("Images.kdt"), 2, QStringLiteral("發生錯誤!"), [&](const QStringList& f) {
    const int r = t.append(f[0]);
    t.setCell(r, 2, f[1]);
  });
  if (!ok) return;
  // The last product of that name gives the category.
  QHash<QString, QString> category;
  for (int r = 1; r <= db_.Manuf.count(); ++r) category.insert(db_.Manuf.key(r), db_.Manuf.cell(r, ManufCell::ProductCategory));
  for (int r = 1; r <= t.count(); ++r) {
    const auto it = category.constFind(t.key(r));
    if (it != category.constEnd()) t.setCell(r, ImagesCell::ImageCategory, *it);
  }
  // Written before the older file goes, so a failed write keeps it.
  if (SaveTransaction::writeTextFile(db_.DataBasePath, QStringLiteral("Images1.kdt"), tableText(t, 0, 3))) {
    QFile::remove(db_.filePath(QStringLiteral("Images.kdt")));
  }
}

void DataStore::NumInit() {
  db_.NumStr = QDate::currentDate().toString(QStringLiteral("yyMM"));
  db_.num = 1;
  // The counter is only where the month's numbering goes on: the next order
  // number skips the numbers in use, so a file without it (missing, empty,
  // unreadable, without a comma, of another month, with a counter that is
  // no whole number from 1 on) restarts at 1 and loses nothing. No word.
  QString text;
  Codec::readTextFile(db_.filePath(QStringLiteral("Num.kdt")), &text);
  const QStringList parts = text.section(u'\n', 0, 0).remove(u'\r').split(u',');
  if (parts.size() < 2 || parts[0].trimmed() != db_.NumStr) return;
  const double v = Num::roundHalfEven(Num::leading(parts[1]));
  if (v >= 1 && v < 2147483647.0) db_.num = static_cast<int>(v);
}

void DataStore::loadDatabase() {
  db_.savedFiles.clear();
  SaveTransaction::recover(db_.DataBasePath);
  // Temporary files of a save killed before its commit (a journal that could
  // not be finished keeps them).
  SaveTransaction::removeLeftovers(db_.DataBasePath, DamagedFiles::writtenFiles());
  // The table files are read and split on the worker threads meanwhile;
  // each reader below takes its file's rows in the order of loading.
  prefetchTables();
  db_.settings.reset();
  db_.damagedFiles.clear();
  NumInit();
  SettingsFiles::SetInit(db_, prompt_);
  SettingsFiles::ImportInit(db_, prompt_);
  SettingsFiles::CateInit(db_, prompt_);
  ImagesInit();
  progress_.show(QStringLiteral("資料載入中...."));
  yieldOnce();
  ExpendInit();
  ManufInit();
  StockInit();
  GuestInit();
  OrderInit();
  ManufStockInit();
  progress_.close();
  prefetch_.reset();
  ImagesCnv();
}

void DataStore::returnFreedMemory() { ::malloc_trim(0); }

// ---- writers --------------------------------------------------------------

QString DataStore::tableText(const Table& table, int firstColumn, int columns) {
  QuotedFieldWriter w;
  w.reserve(static_cast<qsizetype>(table.count()) * (columns * 12 + 2));
  for (int r = 1; r <= table.count(); ++r) {
    for (int c = firstColumn; c < firstColumn + columns; ++c) w.field(table.cell(r, c));
    w.endRecord();
  }
  return w.text();
}

namespace {
// Where a piece of a table file is encoded: a buffer of the worker thread,
// used again for its next piece, so saving touches little fresh memory.
class Scratch {
 public:
  static Scratch& ofThread() {
    thread_local Scratch s;
    return s;
  }
  // The start of the buffer, with room for at least n bytes.
  char* start(size_t n) {
    if (n > capacity_) grow(n, 0);
    return buffer_.get();
  }
  // w (inside the buffer) with room for n more bytes after it: moved with
  // the buffer when it had to grow.
  char* room(char* w, size_t n) {
    const size_t used = static_cast<size_t>(w - buffer_.get());
    if (used + n > capacity_) grow(std::max(used + n, capacity_ * 2), used);
    return buffer_.get() + used;
  }

 private:
  void grow(size_t n, size_t keep) {
    std::unique_ptr<char[]> bigger(new char[n]);
    if (keep) std::memcpy(bigger.get(), buffer_.get(), keep);
    buffer_ = std::move(bigger);
    capacity_ = n;
  }
  std::unique_ptr<char[]> buffer_;
  size_t capacity_ = 0;
};

// How many rows ahead the texts a row is made of are asked for from memory.
constexpr int kFar = 8;
constexpr int kNear = 4;

// Rows [from, to] of a table as file bytes, into a scratch buffer; returns
// their size. *clean becomes false when a character could not be held.
qsizetype rowBytes(const Table& table, int firstColumn, int columns, int from, int to, const char** out, bool* clean) {
  Scratch& s = Scratch::ofThread();
  char* const first = s.start(static_cast<size_t>(to - from + 1) * static_cast<size_t>(columns) * 16);
  char* w = first;
  for (int r = from; r <= to; ++r) {
    // The texts are scattered through memory, the rows are not: the texts
    // of the rows a few rows on are asked for early, first their heads,
    // then their characters.
    if (r + kFar <= to) {
      for (int c = firstColumn; c < firstColumn + columns; ++c) __builtin_prefetch(&table.cell(r + kFar, c));
    }
    if (r + kNear <= to) {
      for (int c = firstColumn; c < firstColumn + columns; ++c) __builtin_prefetch(table.cell(r + kNear, c).constData());
    }
    for (int c = firstColumn; c < firstColumn + columns; ++c) {
      const QString& text = table.cell(r, c);
      w = s.room(w, static_cast<size_t>(text.size()) * 2 + 5);
      *w++ = '"';
      w += Codec::encodeFieldTo(w, text, clean);
      *w++ = '"';
      *w++ = ',';
    }
    w[-1] = '\r';
    *w++ = '\n';
  }
  *out = s.start(0);
  return w - *out;
}

// Every distinct text of a table encoded once, for files of several
// columns: their rows are then put together from copies of these bytes
// (categories, dates, prices and names repeat all through a table).
struct EncodedValues {
  static constexpr uint32_t kShift = 14;
  // Bytes readable after the start of every text, whatever its length: a
  // short text is copied as a block of this size.
  static constexpr uint32_t kBlock = 16;
  std::vector<std::unique_ptr<char[]>> bytes;  // per range of 2^kShift ids
  std::vector<std::vector<uint32_t>> start;    // per range: where each id's bytes start, and the end
  std::atomic<uint32_t> longest{0};            // bytes of the longest text
  std::atomic<bool> clean{true};               // every text could be held
  const uint32_t* startOf(uint32_t id) const { return &start[id >> kShift][id & ((1u << kShift) - 1)]; }
  const char* data(uint32_t id, uint32_t* len) const {
    const uint32_t* s = startOf(id);
    *len = s[1] - s[0];
    return bytes[id >> kShift].get() + s[0];
  }
};

void encodeValueRange(const Table& table, EncodedValues& v, size_t range) {
  const uint32_t first = static_cast<uint32_t>(range << EncodedValues::kShift);
  const uint32_t last = std::min(table.valueIdCount(), first + (1u << EncodedValues::kShift));
  qsizetype bound = EncodedValues::kBlock;
  for (uint32_t id = first; id < last; ++id) bound += table.valueText(id).size() * 2;
  std::unique_ptr<char[]> out(new char[static_cast<size_t>(bound)]);
  std::vector<uint32_t>& s = v.start[range];
  s.resize(static_cast<size_t>(last - first) + 1);
  char* w = out.get();
  uint32_t longest = 0;
  bool clean = true;
  for (uint32_t id = first; id < last; ++id) {
    s[id - first] = static_cast<uint32_t>(w - out.get());
    const qsizetype n = Codec::encodeFieldTo(w, table.valueText(id), &clean);
    longest = std::max(longest, static_cast<uint32_t>(n));
    w += n;
  }
  s[last - first] = static_cast<uint32_t>(w - out.get());
  if (!clean) v.clean = false;
  for (uint32_t l = v.longest.load(); l < longest && !v.longest.compare_exchange_weak(l, longest);) {
  }
  v.bytes[range] = std::move(out);
}

// Rows [from, to] from the encoded texts, into a scratch buffer.
qsizetype rowBytes(const Table& table, const EncodedValues& v, int firstColumn, int columns, int from, int to,
                   const char** out) {
  constexpr uint32_t kBlock = EncodedValues::kBlock;
  Scratch& s = Scratch::ofThread();
  const size_t longestRow = static_cast<size_t>(columns) * (v.longest + kBlock + 3) + 2;
  char* const first = s.start(static_cast<size_t>(to - from + 1) * static_cast<size_t>(columns) * 12 + longestRow);
  char* w = first;
  uint32_t len = 0;
  for (int r = from; r <= to; ++r) {
    w = s.room(w, longestRow);
    // As above: where the texts lie, then the texts.
    if (r + kFar <= to) {
      for (int c = firstColumn; c < firstColumn + columns; ++c) __builtin_prefetch(v.startOf(table.valueId(r + kFar, c)));
    }
    if (r + kNear <= to) {
      for (int c = firstColumn; c < firstColumn + columns; ++c) __builtin_prefetch(v.data(table.valueId(r + kNear, c), &len));
    }
    for (int c = firstColumn; c < firstColumn + columns; ++c) {
      const char* p = v.data(table.valueId(r, c), &len);
      *w++ = '"';
      if (len <= kBlock) std::memcpy(w, p, kBlock);
      else std::memcpy(w, p, len);
      w += len;
      *w++ = '"';
      *w++ = ',';
    }
    w[-1] = '\r';
    *w++ = '\n';
  }
  *out = s.start(0);
  return w - *out;
}

// Rows a piece: small enough that the workers' buffers stay small and warm.
constexpr int kSlice = 4000;

}  // namespace

// A table file's bytes, encoded on the worker threads in pieces of rows,
// each handed to `sink` as soon as it is made (pieces of one file in any
// order). Files of several columns first encode the table's distinct texts
// (in ranges, on the workers too). `priority` orders the work of several
// files.
class DataStore::Encoding {
 public:
  using Sink = std::function<void(size_t piece, const char* data, qsizetype len)>;
  static size_t piecesFor(const Table& table) { return static_cast<size_t>((table.count() + kSlice - 1) / kSlice); }

  static std::shared_ptr<Encoding> start(const Table& table, int firstColumn, int columns, int priority, Sink sink,
                                         std::function<bool()> skip = {}) {
    auto e = std::shared_ptr<Encoding>(new Encoding(table, firstColumn, columns, priority, std::move(sink),
                                                    std::move(skip)));
    if (e->pieces_ == 0) return e;
    // Through the distinct texts only where they repeat a lot: there they
    // save most of the work; elsewhere the rows start at once.
    const double cells = static_cast<double>(e->rows_) * columns;
    e->byValue_ = columns > 1 && table.valueIdCount() * 4.0 < cells;
    if (!e->byValue_) {
      e->startRows(e);
      return e;
    }
    const size_t ranges =
        (static_cast<size_t>(table.valueIdCount()) + (1u << EncodedValues::kShift) - 1) >> EncodedValues::kShift;
    e->values_.bytes.resize(ranges);
    e->values_.start.resize(ranges);
    e->pendingValues_ = ranges;
    for (size_t r = 0; r < ranges; ++r) {
      e->run([e, r] {
        encodeValueRange(*e->table_, e->values_, r);
        if (e->pendingValues_.fetch_sub(1) == 1) e->startRows(e);
      });
    }
    return e;
  }
  // Waits until every piece was handed over (the work reads the table).
  void finish() {
    std::unique_lock lock(mutex_);
    finished_.wait(lock, [&] { return done_ == pieces_; });
  }
  // After finish(): false when a character could not be held ("?" was
  // written in its place).
  bool clean() const { return clean_ && values_.clean; }

 private:
  Encoding(const Table& table, int firstColumn, int columns, int priority, Sink sink, std::function<bool()> skip)
      : table_(&table), firstColumn_(firstColumn), columns_(columns), rows_(table.count()), priority_(priority),
        pieces_(piecesFor(table)), sink_(std::move(sink)), skip_(std::move(skip)),
        here_(static_cast<qint64>(rows_) * columns <= kCellsHere) {}
  // A small file is encoded at once on the calling thread: handing it to a
  // worker costs more than its work.
  static constexpr qint64 kCellsHere = 2048;
  template <typename Task>
  void run(Task&& task) {
    if (here_) task();
    else QThreadPool::globalInstance()->start(std::forward<Task>(task), priority_);
  }
  // Each task takes the next piece not yet taken, so pieces start in file
  // order whatever order the pool runs its tasks in: a piece that waits for
  // the ones before it (a file's sink may) only waits for pieces under way.
  void startRows(const std::shared_ptr<Encoding>& self) {
    for (size_t task = 0; task < pieces_; ++task) {
      run([self] {
            Encoding& e = *self;
            const size_t p = e.next_.fetch_add(1);
            const int first = static_cast<int>(p) * kSlice + 1;
            const int last = std::min(e.rows_, first + kSlice - 1);
            const char* data = nullptr;
            qsizetype len = 0;
            if (!e.skip_ || !e.skip_()) {
              bool clean = true;
              len = e.byValue_ ? rowBytes(*e.table_, e.values_, e.firstColumn_, e.columns_, first, last, &data)
                               : rowBytes(*e.table_, e.firstColumn_, e.columns_, first, last, &data, &clean);
              if (!clean) e.clean_ = false;
            }
            e.sink_(p, data, len);
            {
              std::lock_guard lock(e.mutex_);
              ++e.done_;
            }
            e.finished_.notify_all();
      });
    }
  }

  const Table* table_;
  int firstColumn_, columns_, rows_, priority_;
  size_t pieces_;
  Sink sink_;
  std::function<bool()> skip_;
  bool here_;
  bool byValue_ = false;
  EncodedValues values_;
  std::atomic<size_t> pendingValues_{0};
  std::atomic<size_t> next_{0};  // the next piece a task takes
  std::atomic<bool> clean_{true};
  std::mutex mutex_;
  std::condition_variable finished_;
  size_t done_ = 0;
};

QByteArray DataStore::tableBytes(const Table& table, int firstColumn, int columns) {
  std::vector<QByteArray> pieces(Encoding::piecesFor(table));
  const auto e = Encoding::start(table, firstColumn, columns, 0, [&pieces](size_t i, const char* data, qsizetype len) {
    pieces[i] = QByteArray(data, len);
  });
  e->finish();
  QByteArray out;
  for (const QByteArray& p : pieces) out += p;
  return out;
}

DataStore::EncodedFile DataStore::encodeFile(SaveTransaction& t, const QString& fileName, const Table& table,
                                             int firstColumn, int columns, int priority) {
  EncodedFile f;
  f.writer = t.open(fileName, Encoding::piecesFor(table));
  if (!f.writer) return f;
  const std::shared_ptr<SaveTransaction::PieceWriter> w = f.writer;
  f.encoding = Encoding::start(
      table, firstColumn, columns, priority, [w](size_t i, const char* data, qsizetype len) { w->put(i, data, len); },
      [w] { return w->failed(); });
  return f;
}

void DataStore::writeTable(SaveTransaction& t, const QString& label, const QString& fileName, const Table& table,
                           int firstColumn, int columns, int progressValue) {
  if (!db_.SaveOK) return;
  if (!label.isEmpty()) progress_.setLabel(label);
  if (!writes(fileName, tableSource(table, firstColumn, columns))) {
    if (progressValue >= 0) progress_.setValue(progressValue);
    return;
  }
  // Encoded and written ahead on the worker threads since the attempt
  // began; here it is waited for.
  auto it = encoded_.find(fileName);
  if (it == encoded_.end()) it = encoded_.emplace(fileName, encodeFile(t, fileName, table, firstColumn, columns, 0)).first;
  const EncodedFile& f = it->second;
  if (f.encoding) f.encoding->finish();
  if (f.encoding && !f.encoding->clean()) {
    // Never a silent "?": the save fails and says which character of which
    // row, so that the seller can change it.
    refusal_ = unencodableCell(fileName, table, firstColumn, columns);
    if (!refusal_.isEmpty()) {
      db_.SaveOK = false;
      return;
    }
  }
  if (!t.close(f.writer)) {
    db_.SaveOK = false;
    return;
  }
  if (progressValue >= 0) progress_.setValue(progressValue);
}

void DataStore::NumClose(SaveTransaction& t) {
  if (!db_.SaveOK) return;
  progress_.setLabel(QStringLiteral("正在儲存 Num 檔案"));
  const QString text = db_.NumStr + u',' + QString::number(db_.num) + QStringLiteral("\r\n");
  if (writes(QStringLiteral("Num.kdt"), text.toUtf8()) && !t.writeText(QStringLiteral("Num.kdt"), text)) {
    db_.SaveOK = false;
    return;
  }
  progress_.setValue(11);
}

void DataStore::OrderClose(SaveTransaction& t) {
  writeTable(t, QStringLiteral("正在儲存 Order 檔案"), QStringLiteral("Order1.kdt"), db_.Order, 0, 13, 22);
}

void DataStore::StockClose(SaveTransaction& t) {
  if (!db_.SaveOK) return;
  progress_.setLabel(QStringLiteral("正在儲存 Stock 檔案"));
  writeTable(t, {}, QStringLiteral("Stock1.kdt"), db_.Stock, 0, 8, -1);
  writeTable(t, {}, QStringLiteral("Stock2.kdt"), db_.Stock, StockCell::LineWeight, 1, -1);
  progress_.setValue(33);
}

void DataStore::GuestClose(SaveTransaction& t) {
  writeTable(t, QStringLiteral("正在儲存 Member 檔案"), QStringLiteral("Member.kdt"), db_.Guest, 0, 9, 44);
}

void DataStore::ManufClose(SaveTransaction& t) {
  if (!db_.SaveOK) return;
  progress_.setLabel(QStringLiteral("正在儲存 Manuf 檔案"));
  writeTable(t, {}, QStringLiteral("Manuf1.kdt"), db_.Manuf, 0, 6, -1);
  writeTable(t, {}, QStringLiteral("Manuf2.kdt"), db_.Manuf, ManufCell::SafetyStock, 1, -1);
  writeTable(t, {}, QStringLiteral("Manuf3.kdt"), db_.Manuf, ManufCell::ProductWeight, 1, -1);
  progress_.setValue(55);
}

void DataStore::ManufStockClose(SaveTransaction& t) {
  writeTable(t, QStringLiteral("正在儲存 ManufStock 檔案"), QStringLiteral("ManufStock.kdt"), db_.ManufStock, 0, 10, 66);
}

void DataStore::ImagesClose(SaveTransaction& t) {
  writeTable(t, QStringLiteral("正在儲存 Images 檔案"), QStringLiteral("Images1.kdt"), db_.Images, 0, 3, 77);
}

void DataStore::ExpendClose(SaveTransaction& t) {
  if (!db_.SaveOK) return;
  if (!AppPaths::exists(db_.DataBasePath, QStringLiteral("Expend.kdt"))) db_.ExpendDirty = true;
  if (db_.ExpendDirty) {
    writeTable(t, QStringLiteral("正在儲存 Expend 檔案"), QStringLiteral("Expend.kdt"), db_.Expend, 0, 5, 88);
  } else {
    progress_.setLabel(QStringLiteral("Expend 資料無更動"));
    progress_.setValue(88);
  }
}

namespace {
// How a seller knows a table file's rows: the table's name, a cell shown
// beside the key (-1: the key alone), and each column's caption.
struct RowWords {
  const char* file;
  const char* table;
  int beside;
  std::vector<const char*> captions;
};
const std::vector<RowWords>& rowWords() {
  static const std::vector<RowWords> words = {
      {"Order1.kdt", "訂單", -1,
       {"編號", "日期", "買方", "拍賣網站", "運費", "應收款項", "匯款", "出貨", "備註", "成本", "賣方付運費", "折扣", "折扣2"}},
      {"Stock1.kdt", "訂單商品", StockCell::LineName, {"訂單編號", "名稱", "分類", "售價", "成本", "數量", "備註", "網址", "重量"}},
      {"Stock2.kdt", "訂單商品", StockCell::LineName, {"訂單編號", "名稱", "分類", "售價", "成本", "數量", "備註", "網址", "重量"}},
      {"Member.kdt", "客戶", -1, {"帳號", "拍賣網站", "姓名", "電話", "手機", "Email", "地址", "帳號末5碼", "備註"}},
      {"Manuf1.kdt", "商品", -1, {"名稱", "分類", "售價", "成本", "庫存", "備註", "安全存量", "重量"}},
      {"Manuf2.kdt", "商品", -1, {"名稱", "分類", "售價", "成本", "庫存", "備註", "安全存量", "重量"}},
      {"Manuf3.kdt", "商品", -1, {"名稱", "分類", "售價", "成本", "庫存", "備註", "安全存量", "重量"}},
      {"ManufStock.kdt", "進貨記錄", ManufStockCell::PurchaseProduct,
       {"日期", "商品名稱", "狀態", "數量", "廠商", "進貨單號", "金額", "備用2", "備用3", "備註"}},
      {"Expend.kdt", "雜支費用", ExpendCell::ExpendDetail, {"日期", "分類", "明細", "金額", "備註"}},
      {"Images1.kdt", "商品圖片", -1, {"名稱", "分類", "檔名"}},
  };
  return words;
}

QString refusedText(const QString& where, const QString& character) {
  return QStringLiteral("資料未儲存：") + TextEntry::refusalText(where, character);
}

// The first character of text that code page 950 cannot hold, leaving out
// U+FFFD: the decoder's mark of bytes of a damaged file, whose original was
// kept aside and reported when it was loaded; it is written as "?", as it
// always was.
QString refusedCharacter(const QString& text) {
  if (!text.contains(QChar::ReplacementCharacter)) return TextEntry::firstUnencodable(text);
  QString rest = text;
  rest.remove(QChar::ReplacementCharacter);
  return TextEntry::firstUnencodable(rest);
}
}  // namespace

QString DataStore::unencodableCell(const QString& fileName, const Table& table, int firstColumn, int columns) {
  // Each distinct text is tried once.
  std::vector<int8_t> held(table.valueIdCount(), -1);
  for (int r = 1; r <= table.count(); ++r) {
    for (int c = firstColumn; c < firstColumn + columns; ++c) {
      const uint32_t id = table.valueId(r, c);
      if (held[id] < 0) held[id] = refusedCharacter(table.valueText(id)).isEmpty() ? 1 : 0;
      if (held[id]) continue;
      const QString character = refusedCharacter(table.cell(r, c));
      for (const RowWords& w : rowWords()) {
        if (fileName != QLatin1String(w.file)) continue;
        QString row = table.key(r);
        if (w.beside >= 0) row += QStringLiteral("，") + table.cell(r, w.beside);
        const QString caption = QString::fromUtf8(w.captions[static_cast<size_t>(c)]);
        return refusedText(QString::fromUtf8(w.table) + u'「' + row + QStringLiteral("」的") + caption, character);
      }
      return refusedText(fileName, character);
    }
  }
  return {};
}

QString DataStore::unencodableCategory() const {
  const DatabaseSettings& s = db_.settings;
  const std::pair<const char*, const QStringList*> lists[] = {{"商品分類", &s.ProductCategories},
                                                              {"客戶分類", &s.CustomerCategories},
                                                              {"雜支費用分類", &s.ExpenseCategories},
                                                              {"廠商", &s.SupplierNames}};
  for (const auto& [word, list] : lists) {
    for (const QString& entry : *list) {
      const QString character = refusedCharacter(entry);
      if (!character.isEmpty()) return refusedText(QString::fromUtf8(word) + u'「' + entry + u'」', character);
    }
  }
  for (qsizetype i = 0; i < s.SupplierDetails.size(); ++i) {
    const QString character = refusedCharacter(s.SupplierDetails[i]);
    if (!character.isEmpty())
      return refusedText(QStringLiteral("廠商「") + s.SupplierNames.value(i) + QStringLiteral("」的資料"), character);
  }
  return {};
}

namespace {
// Which file is at path, and its size and times of change: two equal
// results mean nobody has written or replaced the file in between.
QByteArray fileIdentity(const QString& path) {
  struct stat st{};
  if (::stat(QFile::encodeName(path).constData(), &st) != 0) return {};
  const qint64 parts[] = {static_cast<qint64>(st.st_dev), static_cast<qint64>(st.st_ino), static_cast<qint64>(st.st_size),
                          st.st_mtim.tv_sec, st.st_mtim.tv_nsec, st.st_ctim.tv_sec, st.st_ctim.tv_nsec};
  return QByteArray(reinterpret_cast<const char*>(parts), sizeof parts);
}
}  // namespace

QByteArray DataStore::tableSource(const Table& table, int firstColumn, int columns) {
  // A column's version changes with every change of its cells and of the
  // rows, and differs between two tables.
  uint64_t v = 0;
  for (int c = firstColumn; c < firstColumn + columns; ++c) v = std::max(v, table.columnVersion(c));
  return QByteArray(reinterpret_cast<const char*>(&v), sizeof v);
}

bool DataStore::writes(const QString& fileName, const QByteArray& source) {
  if (sources_.count(fileName)) return true;
  if (db_.savedFolder == db_.DataBasePath) {
    const auto it = db_.savedFiles.find(fileName);
    if (it != db_.savedFiles.end() && it->second.source == source) {
      const QByteArray now = fileIdentity(db_.DataBasePath + fileName);
      if (!now.isEmpty() && now == it->second.file) return false;
    }
  }
  sources_[fileName] = source;
  return true;
}

void DataStore::noteWritten() {
  if (!db_.SaveOK || db_.savedFolder != db_.DataBasePath) db_.savedFiles.clear();
  if (!db_.SaveOK) return;
  db_.savedFolder = db_.DataBasePath;
  for (const auto& [name, source] : sources_) db_.savedFiles[name] = {source, fileIdentity(db_.DataBasePath + name)};
}

bool DataStore::keepDamagedOriginals() {
  if (db_.damagedFiles.isEmpty()) return true;
  // Settings files with a writer of their own are kept by that writer.
  const QStringList ownWriter = DamagedFiles::ownWriterFiles();
  QStringList kept, left, unkept;
  for (const QString& name : std::as_const(db_.damagedFiles)) {
    if (ownWriter.contains(name, Qt::CaseInsensitive)) {
      left << name;
      continue;
    }
    const DamagedFiles::Kept k = DamagedFiles::keepCopy(db_.filePath(name));
    if (!k.ok) {
      unkept << name;
      left << name;
      continue;
    }
    if (k.fresh) kept << k.name;
  }
  db_.damagedFiles = left;
  if (!kept.isEmpty()) prompt_.message(DamagedFiles::keptText(kept), Prompt::Icon::Exclamation);
  // A file whose original cannot be kept is not replaced: the attempt fails.
  if (!unkept.isEmpty()) prompt_.message(DamagedFiles::unkeptText(unkept), Prompt::Icon::Exclamation);
  return unkept.isEmpty();
}

bool DataStore::saveAttempt() {
  db_.SaveOK = true;
  if (!keepDamagedOriginals()) {
    db_.SaveOK = false;
    db_.savedFiles.clear();
    return false;
  }
  // Every table file is encoded and written on the worker threads at once;
  // the writers below wait for them in their order.
  SaveTransaction t(db_.DataBasePath);
  encoded_.clear();
  refusal_.clear();
  sources_.clear();
  int priority = 100;  // the files written first are encoded first
  const auto ahead = [this, &t, &priority](const char* name, const Table& table, int first, int columns) {
    const QString fileName = QString::fromLatin1(name);
    if (writes(fileName, tableSource(table, first, columns)))
      encoded_.emplace(fileName, encodeFile(t, fileName, table, first, columns, priority--));
  };
  ahead("Order1.kdt", db_.Order, 0, 13);
  ahead("Stock1.kdt", db_.Stock, 0, 8);
  ahead("Stock2.kdt", db_.Stock, StockCell::LineWeight, 1);
  ahead("Member.kdt", db_.Guest, 0, 9);
  ahead("Manuf1.kdt", db_.Manuf, 0, 6);
  ahead("Manuf2.kdt", db_.Manuf, ManufCell::SafetyStock, 1);
  ahead("Manuf3.kdt", db_.Manuf, ManufCell::ProductWeight, 1);
  ahead("ManufStock.kdt", db_.ManufStock, 0, 10);
  ahead("Images1.kdt", db_.Images, 0, 3);
  if (db_.ExpendDirty || !AppPaths::exists(db_.DataBasePath, QStringLiteral("Expend.kdt")))
    ahead("Expend.kdt", db_.Expend, 0, 5);
  NumClose(t);
  OrderClose(t);
  StockClose(t);
  GuestClose(t);
  ManufClose(t);
  ManufStockClose(t);
  ImagesClose(t);
  ExpendClose(t);
  if (db_.SaveOK) {
    progress_.setLabel(QStringLiteral("正在儲存 Cate 檔案"));
    refusal_ = unencodableCategory();
    if (refusal_.isEmpty() && SettingsFiles::CateClose(db_, t)) {
      progress_.setValue(100);
    } else {
      db_.SaveOK = false;
    }
  }
  // Files a failed attempt did not wait for are stopped and waited for:
  // their work reads the tables.
  for (auto& [name, f] : encoded_) {
    if (!db_.SaveOK && f.writer) f.writer->abandon();
    if (f.encoding) f.encoding->finish();
  }
  encoded_.clear();
  if (db_.SaveOK && !t.commit()) db_.SaveOK = false;
  if (!db_.SaveOK) t.discard();
  noteWritten();
  if (!refusal_.isEmpty()) prompt_.message(refusal_, Prompt::Icon::Exclamation);
  return db_.SaveOK;
}

bool DataStore::DataBaseSave() {
  for (int attempt = 1;; ++attempt) {
    progress_.show(QStringLiteral("資料儲存中..."));
    yieldOnce();
    const bool ok = saveAttempt();
    progress_.close();
    if (ok) {
      if (attempt > 1) prompt_.message(QStringLiteral("儲存完成！"), Prompt::Icon::Information);
      return true;
    }
    if (attempt < 3) {
      if (prompt_.message(QStringLiteral("儲存失敗，請按「是(Y)」再試一次"), Prompt::Icon::Exclamation,
                          Prompt::Buttons::YesNo) != Prompt::Answer::Yes)
        return false;
      continue;
    }
    prompt_.message(QStringLiteral("儲存依舊失敗，檔案可能處於唯獨狀態，可試著重開機後再試一次\r\n\r\n"
                                   "(Win10 系統則可能是更新機制在作怪，建議到控制台讓 Win10 更新完畢重開應該就能解決)"),
                    Prompt::Icon::Exclamation);
    return false;
  }
}
