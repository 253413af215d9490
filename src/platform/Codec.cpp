#include "platform/Codec.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace Codec {

namespace {
constexpr const char* kName = "windows-950";
}

QString decode(const QByteArray& bytes, bool* ok) {
  QStringDecoder dec(kName, QStringConverter::Flag::Stateless);
  QString out = dec.decode(bytes);
  if (ok) *ok = dec.isValid() && !dec.hasError();
  return out;
}

QByteArray encode(const QString& text, bool* lossless) {
  QStringEncoder enc(kName, QStringConverter::Flag::Stateless);
  QByteArray out = enc.encode(text);
  if (lossless) *lossless = enc.isValid() && !enc.hasError();
  return out;
}

bool canEncode(const QString& text) {
  bool ok = true;
  encode(text, &ok);
  return ok;
}

QString htmlSafe(const QString& text) {
  QString out;
  out.reserve(text.size());
  QStringEncoder enc(kName, QStringConverter::Flag::Stateless);
  for (qsizetype i = 0; i < text.size(); ++i) {
    char32_t cp = text.at(i).unicode();
    qsizetype len = 1;
    if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
      cp = QChar::surrogateToUcs4(text.at(i), text.at(i + 1));
      len = 2;
    }
    const QString piece = text.mid(i, len);
    enc.resetState();
    (void)enc.encode(piece);
    if (enc.hasError() || cp > 0xFFFF) {
      out += QStringLiteral("&#%1;").arg(static_cast<uint>(cp));
    } else {
      out += piece;
    }
    i += len - 1;
  }
  return out;
}

bool readTextFile(const QString& path, QString* text) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) {
    if (text) text->clear();
    return false;
  }
  const QByteArray bytes = f.readAll();
  if (f.error() != QFile::NoError) return false;
  bool ok = true;
  QString t = decode(bytes, &ok);
  if (text) *text = std::move(t);
  return ok;
}

}  // namespace Codec
