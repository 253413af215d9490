#include "store/Database.h"

#include "platform/AppPaths.h"

QString DatabaseSettings::defaultNoteShopInfo() {
  return QStringLiteral("輸入在這裡的文字會顯示在出貨單的右上方,可輸入店舖名稱等賣家資訊 (html可用)");
}

void DatabaseSettings::reset() {
  AutoBackupPath.clear();
  AddrTemplate = QStringLiteral("姓名：$Name  電話：$Tel\r\n住址：$Addr");
  AddrFileExt = QStringLiteral("txt");
  NoteTitle = QStringLiteral("出貨單");
  NoteShopInfo = defaultNoteShopInfo();
  NoteFields = {true, false, true, true, true, false, true, true, false,
                false, false, false, false, true, true, true, false, false};
  NoteColPct = {0, 60, 0, 15, 0, 10, 0, 15, 0, 0};
  NoteShopPct = 50;
  NoteWidth = 650;
  NoteSeparators = 0;
  CarryList = {QStringLiteral("寄郵局"), QStringLiteral("寄宅配"), QStringLiteral("寄貨運"),
               QStringLiteral("貨到付款"), QStringLiteral("面交")};
  for (auto& p : ImportMap) p.fill(QString());
  ImportMap[2][1] = QStringLiteral(" ");
  ImportName = {QString(), QStringLiteral("-自訂1-"), QStringLiteral("-自訂2-"), QStringLiteral("-自訂3-")};
  ProductCategories.clear();
  CustomerCategories.clear();
  ExpenseCategories.clear();
  SupplierNames = {QStringLiteral("廠商1")};
  SupplierDetails = {QString()};
}

Database::Database() = default;

void Database::setDirty(bool on) {
  dirty_ = on;
  if (onDirtyChanged) onDirtyChanged(on);
}

QString Database::filePath(const QString& name) const { return AppPaths::find(DataBasePath, name); }
