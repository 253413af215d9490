#include "customers/SiteImport.h"

#include "customers/GuestKeys.h"
#include "models/CustomerFields.h"
#include "platform/Prompt.h"
#include "store/CsvFile.h"
#include "store/Database.h"
#include "store/TextEntry.h"

namespace SiteImport {

namespace {

// Field positions (1-based; 0 = not in the layout).
struct Layout {
  int account;
  int name;
  int phone;
  int mobile;
  int address;
  int addressTail;  // appended after a blank when the line has it
  bool dropEquals;  // "=" removed from the phone and mobile fields
};

Layout layoutOf(Site site) {
  switch (site) {
    case Site::Ruten: return {10, 12, 13, 14, 15, 0, true};
    case Site::Shopee: return {4, 12, 0, 13, 11, 0, false};
    case Site::Yahoo: return {12, 22, 23, 24, 25, 26, false};
  }
  return {10, 12, 13, 14, 15, 0, true};
}

QString siteName(Site site) {
  switch (site) {
    case Site::Ruten: return QStringLiteral("露天拍賣");
    case Site::Shopee: return QStringLiteral("蝦皮拍賣");
    case Site::Yahoo: return QStringLiteral("Yahoo拍賣");
  }
  return {};
}

std::optional<QString> fieldAt(const QStringList& f, int pos) {
  if (pos < 1 || pos > f.size()) return std::nullopt;
  return f[pos - 1];
}

}  // namespace

std::optional<Buyer> buyerOf(Site site, QStringList fields) {
  const Layout l = layoutOf(site);
  if (fields.size() < l.account) return std::nullopt;
  for (QString& v : fields) {
    v = TextEntry::clean(v);
    if (v.contains(NameSex::Separator)) v.remove(NameSex::Separator);
  }
  if (l.dropEquals) {
    for (int pos : {l.phone, l.mobile})
      if (pos <= fields.size()) fields[pos - 1].remove(u'=');
  }
  Buyer b;
  b.account = fields[l.account - 1];
  if (b.account.isEmpty()) return std::nullopt;
  b.name = fieldAt(fields, l.name);
  b.phone = fieldAt(fields, l.phone);
  b.mobile = fieldAt(fields, l.mobile);
  b.address = fieldAt(fields, l.address);
  if (b.address && l.addressTail) {
    if (const auto tail = fieldAt(fields, l.addressTail)) *b.address += u' ' + *tail;
  }
  return b;
}

ImportCount importText(Database& db, Site site, const QString& text, const QString& category, bool replace) {
  ImportCount count;
  Table& guest = db.Guest;
  // Room for a customer a line, made once.
  const qsizetype lines = GuestKeys::linesIn(text);
  GuestKeys keys(guest, static_cast<size_t>(lines));
  guest.reserve(guest.count() + static_cast<int>(lines));
  Csv::Reader reader(text);
  QStringList record;
  reader.next(&record);  // the site's header
  while (reader.next(&record)) {
    const std::optional<Buyer> b = buyerOf(site, record);
    if (!b) continue;
    // One look-up: the customer of the key, or the row it gets now.
    int r = keys.findOrAdd(b->account, category, guest.count() + 1);
    if (r) {
      if (!replace) continue;
      ++count.updated;
    } else {
      r = guest.append(b->account);
      guest.setCell(r, GuestCell::CustomerCategory, category);
      ++count.added;
    }
    if (b->name) {
      // The list has no sex: a stored one stays after the new name.
      const QString& ns = guest.cell(r, GuestCell::CustomerNameSex);
      guest.setCell(r, GuestCell::CustomerNameSex,
                    NameSex::hasSeparator(ns) ? NameSex::join(*b->name, NameSex::sex(ns)) : *b->name);
    }
    if (b->phone) guest.setCell(r, GuestCell::CustomerPhone, *b->phone);
    if (b->mobile) guest.setCell(r, GuestCell::CustomerMobile, *b->mobile);
    if (b->address) guest.setCell(r, GuestCell::CustomerAddress, *b->address);
  }
  return count;
}

QString refusalText(Site site) {
  return QStringLiteral("請先把右上角的客戶分類選到您設的") + siteName(site) + QStringLiteral("分類後再匯入!");
}

QString fileFilter(Site site) {
  switch (site) {
    case Site::Ruten: return QStringLiteral("露天CSV檔案 (*.csv)");
    case Site::Shopee: return QStringLiteral("蝦皮拍賣CSV (*.csv)");
    case Site::Yahoo: return QStringLiteral("Yahoo拍賣CSV (*.csv)");
  }
  return {};
}

QString replaceQuestion(Site site) {
  if (site == Site::Ruten) return QStringLiteral("匯入的客戶資料中如果包含已存在的客戶，要取代原客戶資料嗎？");
  return QStringLiteral("匯入的客戶中如果包含已存在的客戶，要用匯入的客戶資料取代原客戶資料嗎？");
}

QString doneText(Site site) {
  switch (site) {
    case Site::Ruten: return QStringLiteral("匯入露天CSV完成!");
    case Site::Shopee: return QStringLiteral("匯入蝦皮CSV完成!");
    case Site::Yahoo: return QStringLiteral("匯入Yahoo拍賣CSV完成!");
  }
  return {};
}

bool importCommand(Database& db, Prompt& prompt, Site site, const QString& filter) {
  // Every buyer is stored under the filter's category: without one the
  // customers would have none.
  if (filter.isEmpty() || filter == QStringLiteral("全部") || filter == QStringLiteral("編輯客戶分類")) {
    prompt.message(refusalText(site), Prompt::Icon::Exclamation);
    return false;
  }
  const QString path = prompt.openFile(QStringLiteral("匯入"), fileFilter(site));
  if (path.isEmpty()) return false;
  QString text;
  const Csv::ReadStatus status = Csv::readFile(path, &text);
  if (status != Csv::ReadStatus::Ok) {
    prompt.message(Csv::readFailureText(status), Prompt::Icon::Exclamation);
    return false;
  }
  const bool replace = prompt.askYesNo(replaceQuestion(site), QStringLiteral("注意"));
  importText(db, site, text, filter, replace);
  db.setDirty(true);
  prompt.info(doneText(site));
  return true;
}

}  // namespace SiteImport
