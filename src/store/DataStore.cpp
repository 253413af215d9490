#include "store/DataStore.h"

#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include "platform/AppPaths.h"
#include "platform/Codec.h"
#include "platform/Prompt.h"
#include "platform/SettingsStore.h"
#include "store/DamagedFiles.h"
#include "store/Numbers.h"
#include "store/Progress.h"
#include "store/QuotedFieldFile.h"
#include "store/SaveTransaction.h"
#include "store/SettingsFiles.h"
#include "store/TableFileParse.h"

#include <QThreadPool>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <future>
#include <malloc.h>
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
  if (!f.open(QIODevice::ReadOnly)) {
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

void DataStore::fillColumn(Table& table, int column, const QString& fileName, const QString& failMessage) {
  // The k-th record belongs to row k: a record count that differs from the
  // table's rows means records were lost or shifted. Rows beyond the end
  // keep "0" and extra records stay unread, as always; the file is kept.
  if (const auto p = parsed(fileName, 1); p && p->regular) {
    const bool counted = p->rowCount() == static_cast<size_t>(table.count());
    TableLoad::fillColumn(table, column, std::move(*p), &Num::canonical);
    if (!counted) failed(fileName, failMessage);
  } else if (p) {
    int row = 0;
    const bool ok = readRecords(fileName, 1, failMessage, [&](const QStringList& f) {
      if (++row <= table.count()) table.setCell(row, column, Num::canonical(f[0]));
    });
    if (!ok) return;
    if (row != table.count()) failed(fileName, failMessage);
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
  const QString name = QStringLiteral("Num.kdt");
  const QString path = db_.filePath(name);
  if (!QFileInfo::exists(path)) return;
  QString text;
  const bool clean = Codec::readTextFile(path, &text);
  if (clean && text.isEmpty()) return;
  const QString line = text.section(QStringLiteral("\n"), 0, 0).remove(u'\r');
  const QStringList parts = line.split(u',');
  const double v = parts.size() < 2 ? 0 : Num::roundHalfEven(Num::leading(parts[1]));
  const bool usable = v >= 1 && v < 2147483647.0;
  if (usable && parts.value(0).trimmed() == db_.NumStr) db_.num = static_cast<int>(v);
  // The counter as the save writes it: the month, a comma, a whole number
  // from 1 on. Anything else restarts the counter (the next free number is
  // still found by skipping used ones), so the file is kept and the user told.
  static const QRegularExpression layout(QStringLiteral("^[ \t]*\\d{4}[ \t]*,[ \t]*\\d+[ \t]*(\r?\n)*$"));
  if (!clean || !usable || !layout.match(text).hasMatch()) failed(name, errorText(QStringLiteral("Num")));
}

void DataStore::loadDatabase() {
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
char* scratch(size_t n) {
  thread_local std::unique_ptr<char[]> buffer;
  thread_local size_t capacity = 0;
  if (n > capacity) {
    capacity = std::max(n, capacity * 2);
    buffer.reset(new char[capacity]);
  }
  return buffer.get();
}

// Rows [from, to] of a table as file bytes, into a scratch buffer; returns
// their size.
qsizetype rowBytes(const Table& table, int firstColumn, int columns, int from, int to, const char** out) {
  qsizetype bound = 0;
  for (int r = from; r <= to; ++r)
    for (int c = firstColumn; c < firstColumn + columns; ++c) bound += table.cell(r, c).size() * 2 + 3;
  bound += static_cast<qsizetype>(to - from + 1) * 2;
  char* const start = scratch(static_cast<size_t>(bound));
  char* w = start;
  for (int r = from; r <= to; ++r) {
    for (int c = firstColumn; c < firstColumn + columns; ++c) {
      if (c != firstColumn) *w++ = ',';
      *w++ = '"';
      w += Codec::encodeFieldTo(w, table.cell(r, c));
      *w++ = '"';
    }
    *w++ = '\r';
    *w++ = '\n';
  }
  *out = start;
  return w - start;
}

// Every distinct text of a table encoded once, for files of several
// columns: their rows are then put together from copies of these bytes
// (categories, dates, prices and names repeat all through a table).
struct EncodedValues {
  static constexpr uint32_t kShift = 14;
  std::vector<QByteArray> bytes;             // per range of 2^kShift ids
  std::vector<std::vector<uint32_t>> start;  // per range: where each id's bytes start, and the end
  const char* data(uint32_t id, uint32_t* len) const {
    const std::vector<uint32_t>& s = start[id >> kShift];
    const uint32_t k = id & ((1u << kShift) - 1);
    *len = s[k + 1] - s[k];
    return bytes[id >> kShift].constData() + s[k];
  }
};

void encodeValueRange(const Table& table, EncodedValues& v, size_t range) {
  const uint32_t first = static_cast<uint32_t>(range << EncodedValues::kShift);
  const uint32_t last = std::min(table.valueIdCount(), first + (1u << EncodedValues::kShift));
  qsizetype bound = 0;
  for (uint32_t id = first; id < last; ++id) bound += table.valueText(id).size() * 2;
  QByteArray out(bound, Qt::Uninitialized);
  std::vector<uint32_t>& s = v.start[range];
  s.resize(static_cast<size_t>(last - first) + 1);
  char* w = out.data();
  for (uint32_t id = first; id < last; ++id) {
    s[id - first] = static_cast<uint32_t>(w - out.data());
    w += Codec::encodeFieldTo(w, table.valueText(id));
  }
  s[last - first] = static_cast<uint32_t>(w - out.data());
  out.truncate(w - out.data());
  v.bytes[range] = std::move(out);
}

// Rows [from, to] from the encoded texts, into a scratch buffer.
qsizetype rowBytes(const Table& table, const EncodedValues& v, int firstColumn, int columns, int from, int to,
                   const char** out) {
  qsizetype size = 0;
  uint32_t len = 0;
  for (int r = from; r <= to; ++r) {
    for (int c = firstColumn; c < firstColumn + columns; ++c) {
      v.data(table.valueId(r, c), &len);
      size += len + 3;
    }
    size += 1;  // one comma fewer than fields, CR LF
  }
  char* const start = scratch(static_cast<size_t>(size));
  char* w = start;
  for (int r = from; r <= to; ++r) {
    for (int c = firstColumn; c < firstColumn + columns; ++c) {
      if (c != firstColumn) *w++ = ',';
      *w++ = '"';
      const char* p = v.data(table.valueId(r, c), &len);
      std::memcpy(w, p, len);
      w += len;
      *w++ = '"';
    }
    *w++ = '\r';
    *w++ = '\n';
  }
  *out = start;
  return w - start;
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
      QThreadPool::globalInstance()->start(
          [e, r] {
            encodeValueRange(*e->table_, e->values_, r);
            if (e->pendingValues_.fetch_sub(1) == 1) e->startRows(e);
          },
          e->priority_);
    }
    return e;
  }
  // Waits until every piece was handed over (the work reads the table).
  void finish() {
    std::unique_lock lock(mutex_);
    finished_.wait(lock, [&] { return done_ == pieces_; });
  }

 private:
  Encoding(const Table& table, int firstColumn, int columns, int priority, Sink sink, std::function<bool()> skip)
      : table_(&table), firstColumn_(firstColumn), columns_(columns), rows_(table.count()), priority_(priority),
        pieces_(piecesFor(table)), sink_(std::move(sink)), skip_(std::move(skip)) {}
  // Each task takes the next piece not yet taken, so pieces start in file
  // order whatever order the pool runs its tasks in: a piece that waits for
  // the ones before it (a file's sink may) only waits for pieces under way.
  void startRows(const std::shared_ptr<Encoding>& self) {
    for (size_t task = 0; task < pieces_; ++task) {
      QThreadPool::globalInstance()->start(
          [self] {
            Encoding& e = *self;
            const size_t p = e.next_.fetch_add(1);
            const int first = static_cast<int>(p) * kSlice + 1;
            const int last = std::min(e.rows_, first + kSlice - 1);
            const char* data = nullptr;
            qsizetype len = 0;
            if (!e.skip_ || !e.skip_()) {
              len = e.byValue_ ? rowBytes(*e.table_, e.values_, e.firstColumn_, e.columns_, first, last, &data)
                               : rowBytes(*e.table_, e.firstColumn_, e.columns_, first, last, &data);
            }
            e.sink_(p, data, len);
            {
              std::lock_guard lock(e.mutex_);
              ++e.done_;
            }
            e.finished_.notify_all();
          },
          priority_);
    }
  }

  const Table* table_;
  int firstColumn_, columns_, rows_, priority_;
  size_t pieces_;
  Sink sink_;
  std::function<bool()> skip_;
  bool byValue_ = false;
  EncodedValues values_;
  std::atomic<size_t> pendingValues_{0};
  std::atomic<size_t> next_{0};  // the next piece a task takes
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
  // Encoded and written ahead on the worker threads since the attempt
  // began; here it is waited for.
  auto it = encoded_.find(fileName);
  if (it == encoded_.end()) it = encoded_.emplace(fileName, encodeFile(t, fileName, table, firstColumn, columns, 0)).first;
  const EncodedFile& f = it->second;
  if (f.encoding) f.encoding->finish();
  if (!t.close(f.writer)) {
    db_.SaveOK = false;
    return;
  }
  if (progressValue >= 0) progress_.setValue(progressValue);
}

void DataStore::NumClose(SaveTransaction& t) {
  if (!db_.SaveOK) return;
  progress_.setLabel(QStringLiteral("正在儲存 Num 檔案"));
  if (!t.writeText(QStringLiteral("Num.kdt"), db_.NumStr + u',' + QString::number(db_.num) + QStringLiteral("\r\n"))) {
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
    return false;
  }
  // Every table file is encoded and written on the worker threads at once;
  // the writers below wait for them in their order.
  SaveTransaction t(db_.DataBasePath);
  encoded_.clear();
  int priority = 100;  // the files written first are encoded first
  const auto ahead = [this, &t, &priority](const char* name, const Table& table, int first, int columns) {
    const QString fileName = QString::fromLatin1(name);
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
    if (SettingsFiles::CateClose(db_, t)) {
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
