#include "customers/GuestSave.h"

#include <exception>

#include "platform/Prompt.h"
#include "platform/SettingsStore.h"
#include "store/Database.h"
#include "store/TextEntry.h"

namespace GuestSave {

namespace {

const QString kUncategorised = QStringLiteral("未分類");
const QString kCrLf = QStringLiteral("\r\n");

QString trimEnd(const QString& s) {
  qsizetype n = s.size();
  while (n > 0 && s.at(n - 1) == QLatin1Char(' ')) --n;
  return s.left(n);
}

QString cleanBox(const QString& s) {
  QString t = trimEnd(s);
  t.remove(QLatin1Char('\t'));
  t.remove(NameSex::Separator);
  return t;
}

QString noQuotes(QString s) {
  s.remove(QLatin1Char('"'));
  s.remove(QChar(0x201D));
  return s;
}

QString question(const QString& head, const QStringList& details, const QString& tail) {
  QStringList lines{head, QString()};
  lines += details;
  lines << QString() << tail;
  return lines.join(kCrLf);
}

}  // namespace

void clean(CustomerFields& b) {
  for (QString* s : {&b.account, &b.name, &b.phone, &b.mobile, &b.email, &b.address, &b.bankLast5, &b.note})
    *s = cleanBox(*s);
  // The sex box keeps its blanks; the separator would split the stored
  // name-and-sex cell in the wrong place. A category is a name that joins
  // the category list: it is trimmed at both ends like every category name.
  b.sex.remove(NameSex::Separator);
  b.category.remove(NameSex::Separator);
  for (QString* s : {&b.account, &b.category, &b.name, &b.sex, &b.phone, &b.mobile, &b.email, &b.address,
                     &b.bankLast5, &b.note})
    *s = noQuotes(*s);
  b.category = b.category.trimmed();
}

int findGuest(const Table& guest, const QString& account, const QString& category) {
  const int n = guest.count();
  for (int r = 1; r <= n; ++r)
    if (guest.key(r) == account && guest.cell(r, GuestCell::CustomerCategory) == category) return r;
  return 0;
}

int findOverlap(const Table& guest, const CustomerFields& b) {
  const auto same = [](const QString& stored, const QString& typed) { return !stored.isEmpty() && stored == typed; };
  const int n = guest.count();
  for (int r = 1; r <= n; ++r) {
    if (same(guest.key(r), b.account)) return r;
    const QString& ns = guest.cell(r, GuestCell::CustomerNameSex);
    if (!ns.isEmpty() && same(NameSex::name(ns), b.name)) return r;
    if (same(guest.cell(r, GuestCell::CustomerPhone), b.phone)) return r;
    if (same(guest.cell(r, GuestCell::CustomerMobile), b.mobile)) return r;
    if (same(guest.cell(r, GuestCell::CustomerEmail), b.email)) return r;
    if (same(guest.cell(r, GuestCell::CustomerAddress), b.address)) return r;
  }
  return 0;
}

QStringList describe(const Table& guest, int row) {
  QStringList lines;
  lines << QStringLiteral("帳號：") + guest.key(row);
  lines << QStringLiteral("分類：") + guest.cell(row, GuestCell::CustomerCategory);
  const QString& ns = guest.cell(row, GuestCell::CustomerNameSex);
  if (!ns.isEmpty()) lines << QStringLiteral("姓名：") + NameSex::name(ns);
  lines << QStringLiteral("電話：") + guest.cell(row, GuestCell::CustomerPhone);
  lines << QStringLiteral("手機：") + guest.cell(row, GuestCell::CustomerMobile);
  lines << QStringLiteral("Email：") + guest.cell(row, GuestCell::CustomerEmail);
  lines << QStringLiteral("住址：") + guest.cell(row, GuestCell::CustomerAddress);
  return lines;
}

bool addCustomerCategory(Database& db, const QString& category) {
  QStringList& list = db.settings.CustomerCategories;
  if (list.contains(category) || list.size() >= Capacity::CustomerCategories || category == kUncategorised)
    return false;
  list << category;
  return true;
}

int moveOrders(Database& db, const QString& oldAccount, const QString& oldCategory, const QString& newAccount,
               const QString& newCategory) {
  Table& order = db.Order;
  const int n = order.count();
  int moved = 0;
  for (int r = 1; r <= n; ++r) {
    if (order.cell(r, OrderCell::BuyerAccount) == oldAccount &&
        order.cell(r, OrderCell::BuyerCategory) == oldCategory) {
      order.setCell(r, OrderCell::BuyerAccount, newAccount);
      order.setCell(r, OrderCell::BuyerCategory, newCategory);
      ++moved;
    }
  }
  return moved;
}

Result run(Database& db, Prompt& prompt, CustomerFields& b, const Request& req, const CustomerSink& editor) {
  Result res;
  const int mode = req.SelState;
  const bool fromEditor = mode == NewFromEditor || mode == EditFromEditor;
  const bool isNew = mode == NewFromList || mode == NewFromEditor;
  try {
    if (b.account.isEmpty()) {
      prompt.warn(QStringLiteral("請輸入帳號"));
      return res;
    }
    // Text code page 950 cannot hold would come back as "?": two customers
    // "王😀" and "王😺" would share one key. Refused before anything changes.
    if (!TextEntry::acceptable(prompt, {{QStringLiteral("客戶帳號"), b.account},
                                        {QStringLiteral("客戶分類"), b.category},
                                        {QStringLiteral("姓名"), b.name},
                                        {QStringLiteral("性別"), b.sex},
                                        {QStringLiteral("電話"), b.phone},
                                        {QStringLiteral("手機"), b.mobile},
                                        {QStringLiteral("Email"), b.email},
                                        {QStringLiteral("住址"), b.address},
                                        {QStringLiteral("帳號末5碼"), b.bankLast5},
                                        {QStringLiteral("備註"), b.note}}))
      return res;
    // The cleaning comes before every comparison, so that what is tested is
    // what gets stored.
    clean(b);
    if (b.account.isEmpty()) {  // only blanks or quotes were typed
      prompt.warn(QStringLiteral("請輸入帳號"));
      return res;
    }
    if (b.category.isEmpty()) b.category = kUncategorised;

    Table& guest = db.Guest;
    if ((mode == EditFromList || mode == EditFromEditor) && (req.SelEdit < 1 || req.SelEdit > guest.count())) {
      prompt.error();
      return res;
    }

    res.keyChanged = b.account != req.NameStr || b.category != req.SaleStr;
    if (res.keyChanged) {
      if (const int found = findGuest(guest, b.account, b.category)) {
        if (!fromEditor) {
          prompt.warn(QStringLiteral("這個帳號已經存在了!"));
          return res;
        }
        const QString text = question(QStringLiteral("這個帳號已經存在了!"), describe(guest, found),
                                      QStringLiteral("要直接套用這個客戶資料嗎?"));
        if (!prompt.askYesNo(text, QStringLiteral("注意"))) return res;
        if (editor) editor(CustomerFields::fromGuestRow(guest, found));
        res.outcome = Result::Outcome::Taken;
        res.row = found;
        return res;
      }
    }

    if (isNew) {
      if (const int other = findOverlap(guest, b)) {
        const QString text = question(QStringLiteral("新增的資料跟這個客戶有部分重覆!"), describe(guest, other),
                                      QStringLiteral("要繼續新增這筆資料嗎?"));
        if (!prompt.askYesNo(text, QStringLiteral("注意"))) return res;
      }
    }

    const bool rememberCategory = SettingsStore::getBool(QStringLiteral("GuestForm"), QStringLiteral("Set2"), false);
    int row = req.SelEdit;
    if (isNew) row = guest.append(b.account);
    b.toGuestRow(guest, row);
    res.row = row;
    res.outcome = Result::Outcome::Saved;
    db.setDirty(true);  // the table changed, whatever follows

    if (fromEditor && editor) {
      CustomerFields handed = b;
      handed.hasSex = true;
      editor(handed);
    }
    if (!isNew && res.keyChanged) moveOrders(db, req.NameStr, req.SaleStr, b.account, b.category);
    res.categoryAdded = addCustomerCategory(db, b.category);
    if (isNew && rememberCategory)
      SettingsStore::set(QStringLiteral("GuestForm"), QStringLiteral("Set_2_Value"), b.category);
    return res;
  } catch (const std::exception&) {
    prompt.error();
    res.outcome = Result::Outcome::Stopped;
    return res;
  }
}

}  // namespace GuestSave
