#include "customers/ClipboardImport.h"

#include "platform/Clipboard.h"
#include "store/Database.h"
#include "store/TextEntry.h"

namespace ClipboardImport {

namespace {

QString trimBlanks(const QString& s) {
  qsizetype a = 0, b = s.size();
  while (a < b && s.at(a) == u' ') ++a;
  while (b > a && s.at(b - 1) == u' ') --b;
  return s.mid(a, b - a);
}

// The box of field 1..9 of a profile.
QString& box(CustomerFields& f, int field) {
  switch (field) {
    case 1: return f.account;
    case 2: return f.name;
    case 3: return f.sex;
    case 4: return f.phone;
    case 5: return f.mobile;
    case 6: return f.email;
    case 7: return f.address;
    case 8: return f.bankLast5;
    default: return f.note;
  }
}

void applyRuten(const QString& text, CustomerFields& boxes) {
  // A line copied whole ends in its line break, which is no part of the
  // last field.
  QStringView line(text);
  while (line.endsWith(u'\n') || line.endsWith(u'\r')) line.chop(1);
  QStringList f = splitFields(line);
  for (QString& v : f) v = TextEntry::clean(v);
  for (int pos : {13, 14})
    if (pos <= f.size()) f[pos - 1].remove(u'=');
  const auto take = [&](int pos, QString& target) {
    if (pos <= f.size()) target = f[pos - 1];
  };
  take(10, boxes.account);
  take(12, boxes.name);
  take(13, boxes.phone);
  take(14, boxes.mobile);
  take(15, boxes.address);
}

void applyKeys(const std::array<QString, 10>& map, const QString& text, CustomerFields& boxes) {
  QStringList keys[10];
  for (int f = 1; f <= 9; ++f) keys[f] = map[static_cast<size_t>(f)].split(u',');
  for (const QString& line : Clipboard::splitLines(text)) {
    for (int f = 1; f <= 9; ++f) {
      for (qsizetype k = 0; k < keys[f].size(); ++k) {
        const QString& key = keys[f][k];
        if (key.isEmpty() || !line.contains(key)) continue;
        QString value = line;
        value.remove(key);
        value = TextEntry::clean(trimBlanks(value));
        if (k == 0) box(boxes, f) = value;
        else box(boxes, f) += value;
      }
    }
  }
}

}  // namespace

QStringList splitFields(QStringView text) {
  QStringList out;
  QString field;
  bool inQuotes = false;
  bool fieldStart = true;
  const qsizetype n = text.size();
  for (qsizetype i = 0; i < n; ++i) {
    const QChar c = text[i];
    if (inQuotes) {
      if (c == u'"') {
        if (i + 1 < n && text[i + 1] == u'"') {
          field += u'"';
          ++i;
        } else {
          inQuotes = false;
        }
      } else {
        field += c;
      }
      continue;
    }
    if (c == u',') {
      out << field;
      field.clear();
      fieldStart = true;
      continue;
    }
    if (fieldStart && c == u'"') {
      inQuotes = true;
      fieldStart = false;
      continue;
    }
    fieldStart = false;
    field += c;
  }
  // A quote never closed: the text read as plain fields instead.
  if (inQuotes) return text.toString().split(u',');
  out << field;
  return out;
}

void apply(int profile, const QString& text, const DatabaseSettings& settings, CustomerFields& boxes) {
  if (text.isEmpty()) return;
  if (profile <= 0) applyRuten(text, boxes);
  else if (profile <= 3) applyKeys(settings.ImportMap[static_cast<size_t>(profile)], text, boxes);
}

}  // namespace ClipboardImport
