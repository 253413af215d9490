#include "store/SharedRoutines.h"

#include <QFileInfo>
#include <QSet>
#include <cmath>

#include "platform/Prompt.h"
#include "platform/SettingsStore.h"
#include "store/Numbers.h"
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

PictureFit FitProductPicture(const QSize& picture, const QSize& box, const QSize& frame) {
  PictureFit fit;
  fit.box = box;
  fit.frame = frame;
  if (picture.width() <= 0 || picture.height() <= 0) return fit;
  fit.drawn = true;
  if (picture.width() > picture.height()) {
    // Landscape: the whole width, the height to scale.
    const int h = static_cast<int>(std::lround(static_cast<float>(box.width()) * static_cast<float>(picture.height()) /
                                               static_cast<float>(picture.width())));
    fit.target = QRect(0, 0, box.width(), h);
    fit.box.setHeight(h);
    fit.frame.setHeight(h + 16);
  } else {
    const int w = static_cast<int>(std::lround(static_cast<float>(box.height()) * static_cast<float>(picture.width()) /
                                               static_cast<float>(picture.height())));
    fit.target = QRect(0, 0, w, box.height());
    fit.box.setWidth(w);
    fit.frame.setWidth(w + 16);
  }
  return fit;
}
