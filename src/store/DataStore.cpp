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
#include "store/Parallel.h"
#include "store/Progress.h"
#include "store/QuotedFieldFile.h"
#include "store/SaveTransaction.h"
#include "store/SettingsFiles.h"
#include "store/TableFileParse.h"

#include <map>

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
// The table files of the current layout and their fields a record, largest first.
const std::pair<const char*, int> kTableFiles[] = {
    {"Stock1.kdt", 8},  {"Member.kdt", 9}, {"Order1.kdt", 13}, {"Stock2.kdt", 1}, {"ManufStock.kdt", 10},
    {"Manuf1.kdt", 6},  {"Expend.kdt", 5}, {"Images1.kdt", 3},  {"Manuf2.kdt", 1}, {"Manuf3.kdt", 1},
};
}  // namespace

void DataStore::prefetchTables() {
  prefetch_ = std::make_unique<Prefetch>();
  for (const auto& [name, fields] : kTableFiles) {
    const QString n = QString::fromLatin1(name);
    if (!AppPaths::exists(db_.DataBasePath, n)) continue;
    prefetch_->files.emplace(n, parseTableFileAsync(db_.filePath(n), fields));
  }
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
  return parseTableFileAsync(db_.filePath(fileName), fields).get();
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
  if (p->regular) {
    TableLoad::appendRows(db_.Images, std::move(*p));
    return;
  }
  readRecords(QStringLiteral("Images1.kdt"), 3, errorText(QStringLiteral("Images1")), [&](const QStringList& f) {
    const int r = db_.Images.append(f[0]);
    db_.Images.setCell(r, 1, f[1]);
    db_.Images.setCell(r, 2, f[2]);
  });
}

void DataStore::ExpendInit() {
  progress_.setLabel(QStringLiteral("正在載入 Expend 檔案"));
  db_.Expend.clear();
  if (const auto p = parsed(QStringLiteral("Expend.kdt"), 5); p && p->regular) {
    TableLoad::appendRows(db_.Expend, std::move(*p));
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
    if (p->regular) {
      TableLoad::appendRows(t, std::move(*p), {{6, QStringLiteral("0")}, {7, QStringLiteral("0")}});
      return;
    }
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
    if (p->regular) {
      TableLoad::appendRows(t, std::move(*p), {{8, QStringLiteral("0")}});
      return;
    }
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
    if (p->regular) {
      TableLoad::appendRows(t, std::move(*p));
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
    if (p->regular) {
      TableLoad::appendRows(t, std::move(*p));
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
    if (p->regular) {
      TableLoad::appendRows(t, std::move(*p));
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
// Rows [from, to] of a table as file bytes.
QByteArray rowBytes(const Table& table, int firstColumn, int columns, int from, int to) {
  qsizetype bound = 0;
  for (int r = from; r <= to; ++r)
    for (int c = firstColumn; c < firstColumn + columns; ++c) bound += table.cell(r, c).size() * 2 + 3;
  bound += static_cast<qsizetype>(to - from + 1) * 2;
  QByteArray out(bound, Qt::Uninitialized);
  char* w = out.data();
  for (int r = from; r <= to; ++r) {
    for (int c = firstColumn; c < firstColumn + columns; ++c) {
      if (c != firstColumn) *w++ = ',';
      *w++ = '"';
      const QString& v = table.cell(r, c);
      if (v.contains(u'"')) {
        // Last defence: a stray double quote would end the field when read back.
        QString fixed = v;
        fixed.replace(u'"', u'\'');
        w += Codec::encodeTo(w, fixed, nullptr);
      } else {
        w += Codec::encodeTo(w, v, nullptr);
      }
      *w++ = '"';
    }
    *w++ = '\r';
    *w++ = '\n';
  }
  out.truncate(w - out.data());
  return out;
}
}  // namespace

QByteArray DataStore::tableBytes(const Table& table, int firstColumn, int columns) {
  // Large tables are encoded in slices on several threads.
  const size_t rows = static_cast<size_t>(table.count());
  const size_t slice = 25000;
  std::vector<QByteArray> pieces((rows + slice - 1) / slice);
  forEachSlice(pieces.size(), 1, [&](size_t from, size_t to) {
    for (size_t p = from; p < to; ++p) {
      const int first = static_cast<int>(p * slice) + 1;
      const int last = static_cast<int>(std::min(rows, (p + 1) * slice));
      pieces[p] = rowBytes(table, firstColumn, columns, first, last);
    }
  });
  if (pieces.size() == 1) return pieces[0];
  qsizetype total = 0;
  for (const auto& p : pieces) total += p.size();
  QByteArray out;
  out.reserve(total);
  for (const auto& p : pieces) out += p;
  return out;
}

void DataStore::writeTable(SaveTransaction& t, const QString& label, const QString& fileName, const Table& table,
                           int firstColumn, int columns, int progressValue) {
  if (!db_.SaveOK) return;
  if (!label.isEmpty()) progress_.setLabel(label);
  if (!t.write(fileName, tableBytes(table, firstColumn, columns))) {
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
  SaveTransaction t(db_.DataBasePath);
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
