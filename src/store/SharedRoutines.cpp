#include "store/SharedRoutines.h"

#include <QFileInfo>
#include <QSet>
#include <cmath>

#include "platform/Numbers.h"
#include "platform/Prompt.h"
#include "platform/SettingsStore.h"
#include "store/Parallel.h"
#include "store/Table.h"

double RoundHalfUp(double v, int digits) {
  // digits + 1 must stay within a 16-bit number.
  if (digits < -32768 || digits > 32766 || !std::isfinite(v)) return 0;
  return Num::roundHalfUp(v, digits);
}

double RoundHalfUp(const QString& v, int digits) {
  if (!Num::isNumeric(v)) return 0;
  return RoundHalfUp(Num::leading(v), digits);
}

int FindProductRow(const Table& manuf, const QString& name, const QString& category) {
  for (int r = 1; r <= manuf.count(); ++r) {
    if (manuf.key(r) == name && manuf.cell(r, ManufCell::ProductCategory) == category) return r;
  }
  return 0;
}

ProductIndex::ProductIndex(const Table& manuf) {
  rows_.reserve(manuf.count());
  for (int r = 1; r <= manuf.count(); ++r) {
    auto key = std::pair(manuf.key(r), manuf.cell(r, ManufCell::ProductCategory));
    if (!rows_.contains(key)) rows_.insert(std::move(key), r);  // the first row wins
  }
}

int ProductIndex::find(const QString& name, const QString& category) const {
  return rows_.value(std::pair(name, category), 0);
}

bool OrderNumberExists(const Table& order, const QString& no) {
  for (int r = 1; r <= order.count(); ++r) {
    if (order.key(r) == no) return true;
  }
  return false;
}

QString OrderNumberText(const QString& numStr, long long num) {
  return numStr + QStringLiteral("%1").arg(num, 6, 10, QLatin1Char('0'));
}

QString NextFreeOrderNumber(const Table& order, const QString& numStr, long long& num) {
  // A candidate starts with the month: only the numbers of that month can
  // hold it, found on several threads.
  QSet<QString> taken;
  for (const int r : rowsWhere(order.count(), [&](int r) { return order.key(r).startsWith(numStr); }))
    taken.insert(order.key(r));
  QString candidate = OrderNumberText(numStr, num);
  while (taken.contains(candidate)) candidate = OrderNumberText(numStr, ++num);
  return candidate;
}

QString MaskPhoneNumber(const QString& s, bool mask) {
  // Only space characters count as outer blanks.
  qsizetype b = 0, e = s.size();
  while (b < e && s[b] == u' ') ++b;
  while (e > b && s[e - 1] == u' ') --e;
  const QString t = s.mid(b, e - b);
  if (!mask || t.size() <= 7) return t;
  return t.left(4) + QString(t.size() - 7, u'*') + t.right(3);
}

QString MaskPhoneNumber(const QString& s) {
  return MaskPhoneNumber(s, SettingsStore::getBool(QStringLiteral("Setting"), QStringLiteral("MaskPhone"), false));
}

QString FirstLine(const QString& s) {
  const qsizetype i = s.indexOf(QStringLiteral("\r\n"));
  return i < 0 ? s : s.left(i);
}

bool FolderExists(const QString& path) { return !path.isEmpty() && QFileInfo(path).isDir(); }

QString BrowseForFolder(Prompt& prompt, const QString& title) {
  QString folder = prompt.pickFolder(title);
  while (folder.size() > 1 && folder.endsWith(u'/')) folder.chop(1);
  return folder;
}
