#include "store/TextEntry.h"

#include "platform/Codec.h"
#include "platform/Prompt.h"

namespace TextEntry {

QString clean(const QString& text) {
  if (!text.contains(u'"') && !text.contains(QChar(0x201D))) return text;
  QString s = text;
  s.remove(u'"');
  s.remove(QChar(0x201D));
  return s;
}

QString cleanName(const QString& text) { return clean(text).trimmed(); }

QString withoutCrLf(const QString& text) {
  if (!text.contains(QLatin1String("\r\n"))) return text;
  // One pass: a line feed meeting a carriage return just kept takes it out.
  QString v;
  v.reserve(text.size());
  for (const QChar c : text) {
    if (c == u'\n' && v.endsWith(u'\r')) v.chop(1);
    else v.append(c);
  }
  return v;
}

QString firstUnencodable(const QString& text) {
  if (Codec::canEncode(text)) return {};
  for (qsizetype i = 0; i < text.size();) {
    const qsizetype len = (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) ? 2 : 1;
    const QString ch = text.mid(i, len);
    if (!Codec::canEncode(ch)) return ch;
    i += len;
  }
  return {};
}

QString refusalText(const QString& field, const QString& character) {
  QString shown = character;
  // Invisible characters are named by their code.
  if (shown.size() == 1 && (!shown[0].isPrint() || shown[0].isSpace()))
    shown = QStringLiteral("U+") + QStringLiteral("%1").arg(shown[0].unicode(), 4, 16, QLatin1Char('0')).toUpper();
  return field + QStringLiteral("中的「") + shown + QStringLiteral("」無法儲存在資料檔中，請改用其他字元");
}

namespace {
template <typename Range>
bool check(Prompt& prompt, const Range& fields) {
  for (const auto& [field, text] : fields) {
    const QString ch = firstUnencodable(text);
    if (!ch.isEmpty()) {
      prompt.warn(refusalText(field, ch));
      return false;
    }
  }
  return true;
}
}  // namespace

bool acceptable(Prompt& prompt, std::initializer_list<std::pair<QString, QString>> fields) { return check(prompt, fields); }
bool acceptable(Prompt& prompt, const std::vector<std::pair<QString, QString>>& fields) { return check(prompt, fields); }

}  // namespace TextEntry
