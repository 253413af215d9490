#pragma once
// What "read whole" means for a settings or list file, told apart from the
// readers themselves: the items (or lines) of the file must all come back,
// in order, from what the loaded values write. A value the file never held
// may follow (a default the file did not reach); nothing the file holds may
// be missing or changed. Used by the damaged-file tests and the fuzz targets.
#include <QString>
#include <QStringList>

#include "platform/Numbers.h"
#include "store/Decimal.h"

namespace FileOracle {

// Items with the field syntax of every table and settings file. A quoted
// item cut by the end of the file is an item too, and text around a quoted
// item belongs to it.
inline QStringList items(const QString& t, bool keepTrailingEmpty = false) {
  QStringList out;
  qsizetype i = 0;
  const qsizetype n = t.size();
  bool afterComma = false;  // a comma ending the text is followed by an empty item
  const auto stop = [&](qsizetype k) { return t[k] == u',' || t[k] == u'\r' || t[k] == u'\n'; };
  while (i < n) {
    while (i < n && (t[i] == u' ' || t[i] == u'\t')) ++i;
    QString v;
    if (i < n && t[i] == u'"') {
      const qsizetype close = t.indexOf(u'"', i + 1);
      v = close < 0 ? t.mid(i) : t.mid(i + 1, close - i - 1);
      i = close < 0 ? n : close + 1;
      const qsizetype from = i;
      while (i < n && !stop(i)) ++i;
      v += t.mid(from, i - from).trimmed();
    } else {
      // Blanks (space, tab) around an unquoted item are not part of it.
      const qsizetype from = i;
      while (i < n && !stop(i)) ++i;
      qsizetype e = i;
      while (e > from && (t[e - 1] == u' ' || t[e - 1] == u'\t')) --e;
      v = t.mid(from, e - from);
    }
    afterComma = i < n && t[i] == u',';
    if (afterComma) {
      ++i;
    } else {
      if (i < n && t[i] == u'\r') ++i;
      if (i < n && t[i] == u'\n') ++i;
    }
    out << v;
  }
  if (afterComma) out << QString();
  if (!keepTrailingEmpty)
    while (!out.isEmpty() && out.last().isEmpty()) out.removeLast();  // trailing line ends hold nothing
  return out;
}

// Lines ended by LF or CR LF (and by a lone CR too where loneCr, as the
// settings files read whole lines); trailing empty lines hold nothing.
inline QStringList lines(const QString& t, bool loneCr = false) {
  QString text = t;
  if (loneCr) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
  }
  QStringList out = text.split(QStringLiteral("\n"));
  for (QString& l : out)
    if (l.endsWith(u'\r')) l.chop(1);
  while (!out.isEmpty() && out.last().isEmpty()) out.removeLast();
  return out;
}

// Items of a file of numbers as the program understands them: a number is
// its value rounded to a whole number (halves to even); other text stays.
inline QStringList numbers(QStringList items) {
  for (QString& v : items)
    if (Num::isNumeric(v)) v = Num::format(Num::roundHalfEven(Num::leading(v)));
  return items;
}

inline bool prefixOf(const QStringList& file, const QStringList& written) {
  return file.size() <= written.size() && written.mid(0, file.size()) == file;
}

// Whether a settings or list file whose decoded text is fileText was read
// whole, given what its writer writes of the values loaded.
inline bool readWhole(const QString& name, const QString& fileText, const QString& written) {
  const QString n = name.toLower();
  if (n == u"import.kdt") return prefixOf(lines(fileText, true), lines(written, true));
  if (n == u"list.dat") return prefixOf(lines(fileText), lines(written));
  if (n == u"shop2.kdt") {
    // Switches are read with blanks around them and in any letter case.
    QStringList a = items(fileText), b = items(written);
    for (QStringList* l : {&a, &b})
      for (QString& v : *l) v = v.trimmed().toUpper();
    return prefixOf(a, b);
  }
  if (n == u"shop3.kdt" || n == u"shop4.kdt" || n == u"shop5.kdt" || n == u"shop6.kdt")
    return prefixOf(numbers(items(fileText)), numbers(items(written)));
  if (n.startsWith(u"cate")) {
    // The category lists are written trimmed, as the program always has.
    QStringList a = items(fileText), b = items(written);
    for (QStringList* l : {&a, &b}) {
      for (QString& v : *l) v = v.trimmed();
      while (!l->isEmpty() && l->last().isEmpty()) l->removeLast();
    }
    return prefixOf(a, b);
  }
  return prefixOf(items(fileText), items(written));
}

// Whether a table file whose decoded text is fileText was read whole: its
// fields, in order, are exactly those the writer writes of the rows loaded
// (line ends after the last record hold nothing). A one-column file gives
// row k the number of its record k, and only a blank record or a number that
// plain decimal text holds exactly is read whole; it may end before the
// table does, whose rows beyond it hold "0".
inline bool tableReadWhole(const QString& fileText, const QString& written, bool oneColumn) {
  const auto fields = [](QString t) {
    while (!t.isEmpty() && (t.back() == u'\r' || t.back() == u'\n')) t.chop(1);
    return items(t, true);
  };
  const QStringList file = fields(fileText);
  const QStringList back = fields(written);
  if (!oneColumn) return file == back;
  if (file.size() > back.size()) return false;
  for (qsizetype k = 0; k < back.size(); ++k) {
    if (k >= file.size()) {
      if (back[k] != u"0") return false;
      continue;
    }
    const QString& v = file[k];
    const bool blank = v.trimmed().isEmpty();
    if (!blank && !(Num::isNumeric(v) && Decimal::leading(v) == Decimal::leading(back[k]))) return false;
    if (back[k] != (blank ? QStringLiteral("0") : Num::canonical(v))) return false;
  }
  return true;
}

}  // namespace FileOracle
