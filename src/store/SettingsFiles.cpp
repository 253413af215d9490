#include "store/SettingsFiles.h"

#include <QFile>
#include <QFileInfo>
#include <cmath>

#include "platform/AppPaths.h"
#include "platform/Codec.h"
#include "platform/Numbers.h"
#include "platform/Prompt.h"
#include "store/DamagedFiles.h"
#include "store/QuotedFieldFile.h"
#include "store/SaveTransaction.h"
#include "store/SharedRoutines.h"

namespace SettingsFiles {

namespace {

const QString kTrue = QStringLiteral("#TRUE#");
const QString kFalse = QStringLiteral("#FALSE#");

// The defaults, as DatabaseSettings::reset() gives them.
const DatabaseSettings& defaults() {
  static const DatabaseSettings d;
  return d;
}

struct FileText {
  bool readable = false;
  bool clean = true;  // every byte was valid code page 950
  QString text;
};

bool has(const Database& db, const QString& name) { return AppPaths::exists(db.DataBasePath, name); }

FileText readFile(const Database& db, const QString& name) {
  FileText out;
  QFile f(db.filePath(name));
  if (!f.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) return out;
  const QByteArray bytes = f.readAll();
  if (f.error() != QFile::NoError) return out;
  out.readable = true;
  out.text = Codec::decode(bytes, &out.clean);
  return out;
}

// Items of a settings file, read one after another regardless of lines,
// with the field syntax of the table files. Besides the values it notes
// what a file written by the writers never holds, so that a reader can tell
// a file read whole from one read only in part: text between a closing
// quote and the next separator (passed over), and a double quote inside an
// unquoted item (a quote that lost its partner).
class Items {
 public:
  enum class End { Comma, LineEnd, EndOfFile };

  explicit Items(const QString& text) : t_(text) {}

  // True while anything but blanks and line ends is left.
  bool more() const {
    for (qsizetype i = pos_; i < t_.size(); ++i) {
      const QChar c = t_[i];
      if (c != u' ' && c != u'\t' && c != u'\r' && c != u'\n') return true;
    }
    return false;
  }
  bool atEnd() const { return pos_ >= t_.size(); }
  // Whether a line with anything on it follows (blanks are a line's text
  // where whole lines are read).
  bool moreLines() const {
    for (qsizetype i = pos_; i < t_.size(); ++i)
      if (!isLineChar(t_[i])) return true;
    return false;
  }

  // The next item; false at the end of the file and when the file ends
  // inside a quoted item (it was cut short).
  bool next(QString* value, End* end = nullptr) {
    const qsizetype n = t_.size();
    if (pos_ >= n) return false;
    while (pos_ < n && isBlank(t_[pos_])) ++pos_;
    if (pos_ < n && t_[pos_] == u'"') {
      const qsizetype close = t_.indexOf(u'"', pos_ + 1);
      if (close < 0) {
        pos_ = n;
        irregular_ = true;
        return false;
      }
      *value = t_.mid(pos_ + 1, close - pos_ - 1);
      pos_ = close + 1;
      const qsizetype from = pos_;
      while (pos_ < n && t_[pos_] != u',' && !isLineChar(t_[pos_])) ++pos_;
      for (qsizetype i = from; i < pos_; ++i) {
        if (!isBlank(t_[i])) irregular_ = true;
      }
    } else {
      qsizetype i = pos_;
      while (i < n && t_[i] != u',' && !isLineChar(t_[i])) ++i;
      qsizetype e = i;
      while (e > pos_ && isBlank(t_[e - 1])) --e;
      *value = t_.mid(pos_, e - pos_);
      if (value->contains(u'"')) irregular_ = true;
      pos_ = i;
    }
    End how = End::EndOfFile;
    if (pos_ < n && t_[pos_] == u',') {
      ++pos_;
      how = End::Comma;
    } else if (takeLineEnd()) {
      how = End::LineEnd;
    }
    if (end) *end = how;
    return true;
  }

  // The rest of the current line, unchanged (quotes and commas included).
  QString readLine() {
    qsizetype i = pos_;
    while (i < t_.size() && !isLineChar(t_[i])) ++i;
    const QString line = t_.mid(pos_, i - pos_);
    pos_ = i;
    takeLineEnd();
    return line;
  }

  // Something was read that the writers never write, or the file was cut
  // inside a quoted item.
  bool irregular() const { return irregular_; }
  void markIrregular() { irregular_ = true; }

 private:
  static bool isBlank(QChar c) { return c == u' ' || c == u'\t'; }
  static bool isLineChar(QChar c) { return c == u'\r' || c == u'\n'; }
  bool takeLineEnd() {
    if (pos_ >= t_.size()) return false;
    if (t_[pos_] == u'\r') {
      ++pos_;
      if (pos_ < t_.size() && t_[pos_] == u'\n') ++pos_;
      return true;
    }
    if (t_[pos_] == u'\n') {
      ++pos_;
      return true;
    }
    return false;
  }
  const QString& t_;
  qsizetype pos_ = 0;
  bool irregular_ = false;
};

// A reader that failed or read its file only in part: its message, and the
// file's original is kept before anything replaces it.
void failed(Database& db, Prompt& prompt, const QString& name, const QString& message) {
  if (!db.damagedFiles.contains(name, Qt::CaseInsensitive) && has(db, name)) db.damagedFiles << name;
  prompt.message(message, Prompt::Icon::Exclamation);
}

QString loadMessage(const QString& name) { return QStringLiteral("載入 ") + name + QStringLiteral(" 發生錯誤!"); }
QString saveMessage(const QString& name) { return QStringLiteral("儲存 ") + name + QStringLiteral(" 發生錯誤!"); }

// A number item of Shop3.kdt: decimal text, rounded half to even. Empty
// text reads as 0. False for text that is not a number.
bool numberItem(const QString& text, double* value) {
  if (text.trimmed().isEmpty()) {
    *value = 0;
    return true;
  }
  if (!Num::isNumeric(text)) return false;
  *value = Num::roundHalfEven(Num::leading(text));
  return true;
}

bool inRange(double v, int low, int high) { return std::isfinite(v) && v >= low && v <= high; }

bool writeSetting(Database& db, Prompt& prompt, const QString& name, const QString& text) {
  if (!keepDamagedOriginal(db, prompt, name) || !SaveTransaction::writeTextFile(db.DataBasePath, name, text)) {
    prompt.message(saveMessage(name), Prompt::Icon::Exclamation);
    return false;
  }
  return true;
}

int capacityOf(int n) {
  switch (n) {
    case 1: return Capacity::ProductCategories;
    case 2: return Capacity::CustomerCategories;
    case 3: return Capacity::ExpenseCategories;
    default: return Capacity::Suppliers;
  }
}

QStringList& categoryList(int n, DatabaseSettings& s) {
  switch (n) {
    case 1: return s.ProductCategories;
    case 2: return s.CustomerCategories;
    default: return s.ExpenseCategories;
  }
}

const QStringList& categoryList(int n, const DatabaseSettings& s) {
  return categoryList(n, const_cast<DatabaseSettings&>(s));
}

}  // namespace

bool keepDamagedOriginal(Database& db, Prompt& prompt, const QString& name) {
  qsizetype i = 0;
  for (; i < db.damagedFiles.size(); ++i) {
    if (db.damagedFiles[i].compare(name, Qt::CaseInsensitive) == 0) break;
  }
  if (i == db.damagedFiles.size()) return true;
  const DamagedFiles::Kept k = DamagedFiles::keepCopy(db.filePath(name));
  if (!k.ok) return false;
  if (k.fresh) prompt.message(DamagedFiles::keptText({k.name}), Prompt::Icon::Exclamation);
  db.damagedFiles.removeAt(i);
  return true;
}

QString shopFile(int n) { return QStringLiteral("Shop%1.kdt").arg(n); }
QString cateFile(int n) { return QStringLiteral("Cate%1.kdt").arg(n); }

// ---- readers --------------------------------------------------------------

void AutoBackupInit(Database& db, Prompt& prompt) {
  QString& path = db.settings.AutoBackupPath;
  path.clear();
  const QString name = QStringLiteral("AutoBackup.kdt");
  if (!has(db, name)) return;
  const FileText f = readFile(db, name);
  Items items(f.text);
  QString value;
  Items::End end = Items::End::EndOfFile;
  const bool read = f.readable && f.clean && items.next(&value, &end);
  const bool whole = read && end != Items::End::Comma && !items.more() && !items.irregular();
  if (read && (value.isEmpty() || FolderExists(value))) {
    path = value;
    if (!whole) failed(db, prompt, name, loadMessage(name));
    return;
  }
  prompt.message(QStringLiteral("您所指定的自動備份路徑已失效，請重新設定路徑:\r\n\r\n設定(S) -> 設定自動備份的儲存路徑(A)"),
                 Prompt::Icon::None, Prompt::Buttons::Ok);
  if (!whole) {
    // A file that could not be read is kept (start-up removes "*.123").
    const DamagedFiles::Kept k = DamagedFiles::moveAside(db.filePath(name));
    if (k.fresh) prompt.message(DamagedFiles::keptText({k.name}), Prompt::Icon::Exclamation);
    if (k.ok) return;
  }
  // Set aside as AutoBackup.123 (start-up removes "*.123" later); an older
  // AutoBackup.123 gives way to it.
  const QString aside = db.DataBasePath + QStringLiteral("AutoBackup.123");
  QFile::remove(AppPaths::find(db.DataBasePath, QStringLiteral("AutoBackup.123")));
  QFile::rename(db.filePath(name), aside);
  path.clear();
}

void AddrInit(Database& db, Prompt& prompt) {
  DatabaseSettings& s = db.settings;
  s.AddrTemplate = defaults().AddrTemplate;
  s.AddrFileExt = defaults().AddrFileExt;
  const QString name = QStringLiteral("Addr.kdt");
  if (!has(db, name)) return;
  const FileText f = readFile(db, name);
  if (!f.readable || !f.clean) return failed(db, prompt, name, loadMessage(name));
  Items items(f.text);
  QString value;
  if (!items.next(&value)) return failed(db, prompt, name, loadMessage(name));
  s.AddrTemplate = value;
  if (items.more()) {
    Items::End end = Items::End::EndOfFile;
    if (!items.next(&value, &end)) return failed(db, prompt, name, loadMessage(name));
    s.AddrFileExt = value;
    if (end == Items::End::Comma || items.more()) items.markIrregular();
  }
  // Read in part: the values stay, the original is kept before the settings
  // dialog replaces it.
  if (items.irregular()) failed(db, prompt, name, loadMessage(name));
}

void ShopInit(int n, Database& db, Prompt& prompt) {
  if (n < 0 || n > 6) return;
  DatabaseSettings& s = db.settings;
  const DatabaseSettings& d = defaults();
  auto setDefault = [&] {
    switch (n) {
      case 0: s.NoteTitle = d.NoteTitle; break;
      case 1: s.NoteShopInfo = d.NoteShopInfo; break;
      case 2: s.NoteFields = d.NoteFields; break;
      case 3: s.NoteColPct = d.NoteColPct; break;
      case 4: s.NoteShopPct = d.NoteShopPct; break;
      case 5: s.NoteWidth = d.NoteWidth; break;
      case 6: s.NoteSeparators = d.NoteSeparators; break;
    }
  };
  setDefault();
  const QString name = shopFile(n);
  if (!has(db, name)) return;
  auto fail = [&] {
    setDefault();
    failed(db, prompt, name, loadMessage(name));
  };
  const FileText f = readFile(db, name);
  if (!f.readable || !f.clean) return fail();
  Items items(f.text);
  QString value;
  Items::End end = Items::End::EndOfFile;
  switch (n) {
    case 0:
    case 1:
      if (!items.next(&value, &end)) return fail();
      (n == 0 ? s.NoteTitle : s.NoteShopInfo) = value;
      break;
    case 2:
      // Values after the 18th are not read; switches the file does not reach keep their defaults.
      for (size_t i = 0; i < s.NoteFields.size() && items.more(); ++i) {
        if (!items.next(&value)) return fail();
        value = value.trimmed();
        if (value.compare(kTrue, Qt::CaseInsensitive) == 0) {
          s.NoteFields[i] = true;
        } else if (value.compare(kFalse, Qt::CaseInsensitive) == 0) {
          s.NoteFields[i] = false;
        } else {
          return fail();
        }
      }
      break;
    case 3:
      for (int i = 1; i <= 9 && items.more(); ++i) {
        double v = 0;
        if (!items.next(&value) || !numberItem(value, &v) || !inRange(v, 0, 255)) return fail();
        if (value.trimmed().isEmpty()) items.markIrregular();  // read as 0, but no number was there
        s.NoteColPct[static_cast<size_t>(i)] = static_cast<int>(v);
      }
      break;
    default: {
      if (!items.next(&value, &end)) return fail();
      const double v = Num::roundHalfEven(Num::leading(value));
      const bool signed16 = n == 5;
      if (!inRange(v, signed16 ? -32768 : 0, signed16 ? 32767 : 255)) return fail();
      (n == 4 ? s.NoteShopPct : n == 5 ? s.NoteWidth : s.NoteSeparators) = static_cast<int>(v);
      // Text that is no number reads as 0, as always; what it held is kept.
      if (!Num::isNumeric(value)) items.markIrregular();
      break;
    }
  }
  // Anything after the values the file holds is not read: the values stay,
  // the original is kept before the settings dialog replaces it.
  if (end == Items::End::Comma || items.more() || items.irregular()) failed(db, prompt, name, loadMessage(name));
}

void CarryInit(Database& db, Prompt& prompt) {
  QStringList& list = db.settings.CarryList;
  list = defaults().CarryList;
  const QString name = QStringLiteral("Carry.kdt");
  if (!has(db, name)) return;
  const QString message = QStringLiteral("載入 Carry 檔案發生錯誤!");
  const FileText f = readFile(db, name);
  if (!f.readable) return failed(db, prompt, name, message);
  // Methods read before a failure are kept (at most 50); the original is
  // kept beside the file before the settings dialog replaces it.
  list.clear();
  Items items(f.text);
  QString value;
  while (items.more()) {
    if (list.size() >= Capacity::ShippingMethods || !items.next(&value)) return failed(db, prompt, name, message);
    // A method is one line without commas or quotes (a quoted item may hold
    // them, but the writer could not give them back).
    if (value.contains(u',') || value.contains(u'\r') || value.contains(u'\n')) items.markIrregular();
    // Blanks around a method stay only inside quotes; written bare, the
    // method would come back without them (a method of blanks not at all).
    const auto blank = [](QChar c) { return c == u' ' || c == u'\t'; };
    if (!value.isEmpty() && (blank(value.front()) || blank(value.back()))) items.markIrregular();
    list << value;
  }
  if (!f.clean || items.irregular()) failed(db, prompt, name, message);
}

void ImportInit(Database& db, Prompt& prompt) {
  DatabaseSettings& s = db.settings;
  s.ImportMap = defaults().ImportMap;
  s.ImportName = defaults().ImportName;
  const QString name = QStringLiteral("Import.kdt");
  if (!has(db, name)) {
    if (!SaveTransaction::writeTextFile(db.DataBasePath, name, importText(s))) {
      prompt.message(loadMessage(name), Prompt::Icon::Exclamation);
    }
    return;
  }
  const FileText f = readFile(db, name);
  if (!f.readable) return failed(db, prompt, name, loadMessage(name));
  Items lines(f.text);
  bool reading = true;
  for (int p = 1; p <= 3 && reading; ++p) {
    for (int k = 1; k <= 9; ++k) {
      if (lines.atEnd()) {
        reading = false;
        break;
      }
      s.ImportMap[static_cast<size_t>(p)][static_cast<size_t>(k)] = lines.readLine();
    }
  }
  for (int i = 1; i <= 3; ++i) s.ImportName[static_cast<size_t>(i)] = QStringLiteral("-%1-").arg(i);
  for (int i = 1; i <= 3 && !lines.atEnd(); ++i) s.ImportName[static_cast<size_t>(i)] = lines.readLine();
  // Lines after the thirtieth are not read.
  if (!f.clean || lines.moreLines()) failed(db, prompt, name, loadMessage(name));
}

void CateInit(int n, Database& db, Prompt& prompt) {
  if (n < 1 || n > 4) return;
  DatabaseSettings& s = db.settings;
  const QString name = cateFile(n);
  const QString message = loadMessage(name);
  const int capacity = capacityOf(n);
  // Entries read before a failure, up to the list's capacity, are kept: the
  // next save writes them, after the original was kept beside the file.
  if (n == 4) {
    s.SupplierNames = defaults().SupplierNames;
    s.SupplierDetails = defaults().SupplierDetails;
    if (!has(db, name)) return;
    const FileText f = readFile(db, name);
    if (!f.readable) return failed(db, prompt, name, message);
    s.SupplierNames.clear();
    s.SupplierDetails.clear();
    Items items(f.text);
    QString supplier, details;
    Items::End end = Items::End::EndOfFile;
    while (items.more()) {
      // One supplier a line: its name, a comma, its details.
      if (!items.next(&supplier, &end)) return failed(db, prompt, name, message);
      if (end != Items::End::Comma) items.markIrregular();
      if (!items.more()) {  // a name without its details is not counted
        items.markIrregular();
        break;
      }
      if (!items.next(&details, &end)) return failed(db, prompt, name, message);
      if (end == Items::End::Comma) items.markIrregular();
      if (s.SupplierNames.size() >= capacity) return failed(db, prompt, name, message);
      s.SupplierNames << supplier;
      s.SupplierDetails << details;
    }
    if (!f.clean || items.irregular()) failed(db, prompt, name, message);
    return;
  }
  QStringList& list = categoryList(n, s);
  list.clear();
  if (!has(db, name)) return;
  const FileText f = readFile(db, name);
  if (!f.readable) return failed(db, prompt, name, message);
  Items items(f.text);
  QString value;
  while (items.more()) {
    if (list.size() >= capacity || !items.next(&value)) return failed(db, prompt, name, message);
    list << value;
  }
  if (!f.clean || items.irregular()) failed(db, prompt, name, message);
}

void SetInit(Database& db, Prompt& prompt) {
  AutoBackupInit(db, prompt);
  AddrInit(db, prompt);
  for (int n = 0; n <= 6; ++n) ShopInit(n, db, prompt);
  CarryInit(db, prompt);
}

void CateInit(Database& db, Prompt& prompt) {
  for (int n = 1; n <= 4; ++n) CateInit(n, db, prompt);
}

// ---- texts ----------------------------------------------------------------

QString addrText(const DatabaseSettings& s) {
  QuotedFieldWriter w;
  w.field(s.AddrTemplate);
  w.field(s.AddrFileExt);
  w.endRecord();
  return w.text();
}

QString shopText(int n, const DatabaseSettings& s) {
  QuotedFieldWriter w;
  switch (n) {
    case 0: w.record({s.NoteTitle}); break;
    case 1: w.record({s.NoteShopInfo}); break;
    case 2:
      for (bool on : s.NoteFields) w.line(on ? kTrue : kFalse);
      break;
    case 3:
      for (int i = 1; i <= 9; ++i) w.line(QString::number(s.NoteColPct[static_cast<size_t>(i)]));
      break;
    case 4: w.record({QString::number(s.NoteShopPct)}); break;
    case 5: w.record({QString::number(s.NoteWidth)}); break;
    case 6: w.record({QString::number(s.NoteSeparators)}); break;
    default: break;
  }
  return w.text();
}

QString carryText(const DatabaseSettings& s) {
  QuotedFieldWriter w;
  for (const QString& m : s.CarryList) w.line(m);
  return w.text();
}

QString importText(const DatabaseSettings& s) {
  QuotedFieldWriter w;
  for (size_t p = 1; p <= 3; ++p) {
    for (size_t k = 1; k <= 9; ++k) w.line(s.ImportMap[p][k]);
  }
  for (size_t i = 1; i <= 3; ++i) w.line(s.ImportName[i]);
  return w.text();
}

QString cateText(int n, const DatabaseSettings& s) {
  QuotedFieldWriter w;
  if (n == 4) {
    for (qsizetype i = 0; i < s.SupplierNames.size(); ++i) {
      w.field(s.SupplierNames[i].trimmed());
      w.field(s.SupplierDetails.value(i).trimmed());
      w.endRecord();
    }
  } else if (n >= 1 && n <= 3) {
    for (const QString& c : categoryList(n, s)) w.record({c.trimmed()});
  }
  return w.text();
}

// ---- writers --------------------------------------------------------------

bool CateClose(Database& db, SaveTransaction& save) {
  for (int n = 1; n <= 4; ++n) {
    if (!db.SaveOK) return false;
    if (!save.writeText(cateFile(n), cateText(n, db.settings))) db.SaveOK = false;
  }
  return db.SaveOK;
}

bool AddrClose(Database& db, Prompt& prompt) {
  return writeSetting(db, prompt, QStringLiteral("Addr.kdt"), addrText(db.settings));
}

bool ShopClose(int n, Database& db, Prompt& prompt) {
  if (n < 0 || n > 6) return false;
  DatabaseSettings& s = db.settings;
  const QString name = shopFile(n);
  bool valid = true;
  switch (n) {
    case 0:
      // A quoted text cannot hold a double quote: the title keeps an
      // apostrophe in its place, in memory as in the file.
      s.NoteTitle.replace(u'"', u'\'');
      break;
    case 1: s.NoteShopInfo.replace(u'"', u'\''); break;
    case 3:
      for (int i = 1; i <= 9; ++i) valid = valid && inRange(s.NoteColPct[static_cast<size_t>(i)], 0, 255);
      break;
    case 4: valid = inRange(s.NoteShopPct, 0, 255); break;
    case 5: valid = inRange(s.NoteWidth, -32768, 32767); break;
    case 6: valid = inRange(s.NoteSeparators, 0, 255); break;
    default: break;
  }
  if (!valid) {
    prompt.message(saveMessage(name), Prompt::Icon::Exclamation);
    return false;
  }
  return writeSetting(db, prompt, name, shopText(n, s));
}

bool CarryClose(Database& db, Prompt& prompt) {
  QStringList& list = db.settings.CarryList;
  // A comma would split a method in two when read back, a double quote would
  // swallow the lines after it.
  for (QString& m : list) {
    m.remove(u',');
    m.remove(u'"');
    m.remove(QChar(0x201D));
    m = m.trimmed();
  }
  // At most 50 methods are kept; the 51st is the writer's failure.
  const bool overFull = list.size() > Capacity::ShippingMethods;
  if (overFull) list = list.mid(0, Capacity::ShippingMethods);
  const QString name = QStringLiteral("Carry.kdt");
  if (!writeSetting(db, prompt, name, carryText(db.settings))) return false;
  if (overFull) {
    prompt.message(saveMessage(name), Prompt::Icon::Exclamation);
    return false;
  }
  return true;
}

QStringList setFileNames() {
  QStringList names{QStringLiteral("Addr.kdt")};
  for (int n = 0; n <= 6; ++n) names << shopFile(n);
  names << QStringLiteral("Carry.kdt");
  return names;
}

bool fitsSettingsFiles(const DatabaseSettings& s) {
  bool ok = inRange(s.NoteShopPct, 0, 255) && inRange(s.NoteWidth, -32768, 32767) &&
            inRange(s.NoteSeparators, 0, 255) && s.CarryList.size() <= Capacity::ShippingMethods &&
            !s.NoteTitle.contains(u'"') && !s.NoteShopInfo.contains(u'"');
  for (int i = 1; i <= 9; ++i) ok = ok && inRange(s.NoteColPct[static_cast<size_t>(i)], 0, 255);
  return ok;
}

bool SetClose(Database& db, DatabaseSettings& next, Prompt& prompt) {
  next.NoteTitle.replace(u'"', u'\'');
  next.NoteShopInfo.replace(u'"', u'\'');
  for (QString& m : next.CarryList) {
    m.remove(u',');
    m.remove(u'"');
    m.remove(QChar(0x201D));
    m = m.trimmed();
  }
  if (!fitsSettingsFiles(next) || !AppPaths::folderExists(db.DataBasePath)) return false;
  const QStringList names = setFileNames();
  for (const QString& name : names)
    if (!keepDamagedOriginal(db, prompt, name)) return false;
  SaveTransaction save(db.DataBasePath);
  for (const QString& name : names) {
    const QString text = name == names.front()  ? addrText(next)
                         : name == names.back() ? carryText(next)
                                                : shopText(name.mid(4, 1).toInt(), next);
    if (!save.writeText(name, text)) return false;
  }
  return save.commit();
}

bool ImportClose(Database& db, Prompt& prompt) {
  const QString name = QStringLiteral("Import.kdt");
  return keepDamagedOriginal(db, prompt, name) &&
         SaveTransaction::writeTextFile(db.DataBasePath, name, importText(db.settings));
}

int percentOfCell(const QString& cell) {
  const double v = Num::roundHalfEven(Num::leading(cell));
  if (!std::isfinite(v)) return -1;
  if (v > 1e9) return 1000000000;
  if (v < -1e9) return -1000000000;
  return static_cast<int>(v);
}

}  // namespace SettingsFiles
