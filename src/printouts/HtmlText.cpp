#include "printouts/HtmlText.h"

#include <QUrl>

#include "platform/Codec.h"

namespace HtmlText {

namespace {
bool special(QChar c) {
  const char16_t u = c.unicode();
  return u == u'&' || u == u'<' || u == u'>' || u == u'"' || u == u'\'';
}
}  // namespace

QString escape(const QString& value) {
  qsizetype i = 0;
  const qsizetype n = value.size();
  while (i < n && !special(value.at(i))) ++i;
  if (i == n) return value;
  QString out;
  out.reserve(n + 16);
  out.append(QStringView(value).left(i));
  for (; i < n; ++i) {
    switch (value.at(i).unicode()) {
      case u'&': out += QLatin1String("&amp;"); break;
      case u'<': out += QLatin1String("&lt;"); break;
      case u'>': out += QLatin1String("&gt;"); break;
      case u'"': out += QLatin1String("&quot;"); break;
      case u'\'': out += QLatin1String("&#39;"); break;
      default: out += value.at(i);
    }
  }
  return out;
}

QString breaks(const QString& text) {
  if (!text.contains(QLatin1String("\r\n"))) return text;
  QString out = text;
  out.replace(QLatin1String("\r\n"), QLatin1String("<br>"));
  return out;
}

QString pictureSource(const QString& path) {
  return escape(QString::fromLatin1(QUrl::fromLocalFile(path).toEncoded()));
}

QByteArray encodePage(const QString& page) {
  QByteArray out;
  out.reserve(page.size() * 2);
  if (Codec::appendEncoded(out, page)) return out;
  // Rare: a character code page 950 cannot hold. Markup is plain ASCII, so
  // the whole page can take the references.
  out.clear();
  Codec::appendEncoded(out, Codec::htmlSafe(page));
  return out;
}

}  // namespace HtmlText
