#include "admin/GeneralSettings.h"

#include <cmath>

#include "platform/Numbers.h"
#include "platform/SettingsStore.h"
#include "store/SettingsFiles.h"
#include "store/TextEntry.h"

namespace GeneralSettings {

namespace {
const QString kSetting = QStringLiteral("Setting");

bool fits(double v, int low, int high) { return std::isfinite(v) && v >= low && v <= high; }

// A column-width key of another window that a hidden column left at 0.
void repairWidth(const QString& section, const QString& key, int width) {
  if (SettingsStore::getNumber(section, key, width) == 0) SettingsStore::set(section, key, QString::number(width));
}
}  // namespace

QStringList fontEntries() {
  return {QStringLiteral("9"),  QStringLiteral("10"), QStringLiteral("11"), QStringLiteral("12"),
          QStringLiteral("13"), QStringLiteral("14"), QStringLiteral("15"), QStringLiteral("16"),
          QStringLiteral("18"), QStringLiteral("20"), QStringLiteral("22"), QStringLiteral("24")};
}

QStringList noteFieldNames() {
  return {QStringLiteral("訂單編號"), QStringLiteral("訂單日期"), QStringLiteral("客戶帳號"), QStringLiteral("客戶分類"),
          QStringLiteral("姓名"),     QStringLiteral("性別"),     QStringLiteral("電話"),     QStringLiteral("手機"),
          QStringLiteral("Email"),    QStringLiteral("帳號後5碼"), QStringLiteral("匯款日期"), QStringLiteral("出貨日期"),
          QStringLiteral("運費"),     QStringLiteral("運費類別"), QStringLiteral("運送方式"), QStringLiteral("地址"),
          QStringLiteral("備註"),     QStringLiteral("應收款項")};
}

QStringList noteColumnNames() {
  return {QStringLiteral("商品名稱"), QStringLiteral("商品分類"), QStringLiteral("售價"),
          QStringLiteral("成本"),     QStringLiteral("數量"),     QStringLiteral("備註"),
          QStringLiteral("小計"),     QStringLiteral("圖片"),     QStringLiteral("網址")};
}

QString placeholderHelp() {
  const QString tab(u'\t');
  const QString nl = QStringLiteral("\r\n");
  return QStringLiteral("$Num: 訂單編號") + tab + tab + QStringLiteral("$User: 客戶帳號") + nl +
         QStringLiteral("$Web: 客戶分類") + tab + tab + QStringLiteral("$Name: 姓名") + nl +
         QStringLiteral("$Tel: 電話") + tab + tab + tab + QStringLiteral("$Phone: 手機") + nl +
         QStringLiteral("$Email: 電子郵件") + tab + tab + QStringLiteral("$Addr: 住址") + nl +
         QStringLiteral("$Bank:  匯款帳號後5碼") + tab + QStringLiteral("$Sex: 性別") + nl +
         QStringLiteral("$Shipping：運送方式") + tab + QStringLiteral("$Note: 備註") + nl +
         QStringLiteral("$Total: 商品總量") + tab + tab + QStringLiteral("$Receivables: 應收款項") + nl +
         QStringLiteral("$oDate: 訂單日期") + tab + tab + QStringLiteral("$pDate: 匯款日期") + nl +
         QStringLiteral("$sDate: 出貨日期") + nl + nl + QStringLiteral("$Manuf: 全部商品名稱") + nl +
         QStringLiteral("$ManufPrice: 全部商品名稱&售價") + nl +
         QStringLiteral("$Mn: 商品名稱 ( n 表示第幾項商品 ex:$M1)");
}

int fontEntryIndex(double size) {
  const QStringList entries = fontEntries();
  if (size <= 16) {
    const int i = entries.indexOf(QString::number(static_cast<int>(Num::roundHalfEven(size))));
    if (i >= 0) return i;
  } else {
    // 20 and 22 realise as 20.25 and 21.75 on a 96-dpi screen.
    for (int big : {18, 20, 22, 24})
      if (std::fabs(size - big) < 0.5) return entries.indexOf(QString::number(big));
  }
  return 0;
}

Values load(const Database& db, double listFontSize) {
  const DatabaseSettings& s = db.settings;
  Values v;
  v.SetView = db.SetView >= 1 && db.SetView <= 3 ? db.SetView : 0;
  v.AddrTemplate = s.AddrTemplate;
  v.addrText = s.AddrFileExt == QStringLiteral("txt");
  v.NoteShopInfo = s.NoteShopInfo;
  v.NoteTitle = s.NoteTitle;
  v.NoteShopPct = percentBoxText(QString::number(s.NoteShopPct));
  v.NoteWidth = QString::number(s.NoteWidth);
  v.NoteSeparators = s.NoteSeparators != 0;
  v.CarryList = s.CarryList;
  v.NoteFields = s.NoteFields;
  for (int i = 1; i <= 9; ++i) v.NoteColPct << QString::number(s.NoteColPct[static_cast<size_t>(i)]);
  v.SystemTray = db.SystemTray;
  v.CheckLacks = db.CheckLacks;
  v.HideCost = db.HideCost;
  v.Rate = db.Rate;
  v.fontEntry = fontEntryIndex(listFontSize);
  return v;
}

void restoreDefaults(Values& v) {
  const DatabaseSettings d;
  v.SetView = 3;
  v.AddrTemplate = d.AddrTemplate;
  v.NoteShopInfo = d.NoteShopInfo;
  v.NoteTitle = d.NoteTitle;
  v.NoteShopPct = QStringLiteral("50");
  v.NoteWidth = QStringLiteral("650");
  v.CarryList = d.CarryList;
  v.NoteFields = d.NoteFields;
  v.NoteColPct.clear();
  for (int i = 1; i <= 9; ++i) v.NoteColPct << QString::number(d.NoteColPct[static_cast<size_t>(i)]);
  v.SystemTray = v.CheckLacks = v.HideCost = v.Rate = v.NoteSeparators = false;
  v.fontEntry = static_cast<int>(fontEntries().indexOf(QStringLiteral("11")));
}

QString percentBoxText(const QString& typed) {
  const double n = Num::leading(typed);
  return n > 100 ? QStringLiteral("100") : Num::format(n);
}

QString otherPercentBoxText(const QString& boxText) { return Num::format(100 - Num::leading(boxText)); }

double maxPercent(const QStringList& cells, int row) {
  double others = 0;
  for (int i = 0; i < cells.size(); ++i)
    if (i != row) others += Num::leading(cells[i]);
  return 100 - others;
}

std::optional<QString> percentCell(const QString& answer, double maximum) {
  const double v = Num::leading(answer);
  if (v > maximum) return std::nullopt;
  return Num::format(v < 0 ? 0 : v);
}

QString cleanMethodName(const QString& name) {
  QString s = name;
  s.remove(u',');
  return TextEntry::clean(s);
}

std::optional<Taken> take(const Database& db, const Values& v) {
  Taken t;
  DatabaseSettings& s = t.settings;
  s = db.settings;
  s.AddrTemplate = TextEntry::clean(v.AddrTemplate);
  s.AddrFileExt = v.addrText ? QStringLiteral("txt") : QStringLiteral("htm");
  s.NoteTitle = v.NoteTitle;
  s.NoteShopInfo = v.NoteShopInfo;
  const double shopPct = Num::roundHalfEven(Num::leading(v.NoteShopPct));
  const double width = Num::roundHalfEven(Num::leading(v.NoteWidth));
  if (!fits(shopPct, 0, 255) || !fits(width, -32768, 32767)) return std::nullopt;
  s.NoteShopPct = static_cast<int>(shopPct);
  s.NoteWidth = static_cast<int>(width);
  s.NoteSeparators = v.NoteSeparators ? 1 : 0;
  s.NoteFields = v.NoteFields;
  if (v.NoteColPct.size() != 9) return std::nullopt;
  for (int i = 1; i <= 9; ++i) {
    const int pct = SettingsFiles::percentOfCell(v.NoteColPct[i - 1]);
    if (!fits(pct, 0, 255)) return std::nullopt;
    s.NoteColPct[static_cast<size_t>(i)] = pct;
  }
  if (v.CarryList.size() > Capacity::ShippingMethods) return std::nullopt;
  s.CarryList = v.CarryList;
  t.SetView = v.SetView >= 1 && v.SetView <= 3 ? v.SetView : db.SetView;
  t.SystemTray = v.SystemTray;
  t.CheckLacks = v.CheckLacks;
  t.HideCost = v.HideCost;
  t.Rate = v.Rate;
  const QStringList fonts = fontEntries();
  t.fontSize = v.fontEntry >= 0 && v.fontEntry < fonts.size() ? fonts[v.fontEntry] : QStringLiteral("11");
  return t;
}

bool store(Database& db, Prompt& prompt, Taken t) {
  if (!SettingsFiles::SetClose(db, t.settings, prompt)) return false;
  db.settings = std::move(t.settings);
  db.SetView = t.SetView;
  db.SystemTray = t.SystemTray;
  db.Rate = t.Rate;
  db.CheckLacks = t.CheckLacks;
  if (t.CheckLacks) repairWidth(QStringLiteral("OrderInput"), QStringLiteral("LW6"), 50);
  db.HideCost = t.HideCost;
  if (!t.HideCost) {
    repairWidth(QStringLiteral("OrderInput"), QStringLiteral("LW4"), 65);
    repairWidth(QStringLiteral("ManufForm"), QStringLiteral("LW4"), 90);
  }
  SettingsStore::setBool(kSetting, QStringLiteral("SystemTray"), t.SystemTray);
  SettingsStore::setBool(kSetting, QStringLiteral("CheckLacks"), t.CheckLacks);
  SettingsStore::setBool(kSetting, QStringLiteral("HideCost"), t.HideCost);
  SettingsStore::set(kSetting, QStringLiteral("SetView"), QString::number(t.SetView));
  SettingsStore::setBool(kSetting, QStringLiteral("Rate"), t.Rate);
  SettingsStore::set(kSetting, QStringLiteral("FontSize"), t.fontSize);
  db.FontSize = t.fontSize.toInt();
  return true;
}

}  // namespace GeneralSettings
