#include "platform/Codec.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QStringList>
#include <algorithm>
#include <cstring>
#include <vector>

namespace Codec {

namespace {
constexpr const char* kName = "windows-950";

QString icuDecode(const QByteArray& bytes, bool* ok) {
  QStringDecoder dec(kName, QStringConverter::Flag::Stateless);
  QString out = dec.decode(bytes);
  if (ok) *ok = dec.isValid() && !dec.hasError();
  return out;
}

QByteArray icuEncode(const QString& text, bool* lossless) {
  QStringEncoder enc(kName, QStringConverter::Flag::Stateless);
  QByteArray out = enc.encode(text);
  if (lossless) *lossless = enc.isValid() && !enc.hasError();
  return out;
}

// Lookup tables taken once from the converter itself, so that clean text
// takes a fast path with exactly the converter's results. Anything the
// tables do not cover (invalid bytes, characters without a code) goes
// through the converter, which also reports the error.
struct Tables {
  static constexpr int kTrails = 256;
  std::vector<char16_t> single;  // 0 = not a single-byte character
  std::vector<bool> singleOk;
  std::vector<char16_t> pair;    // [lead - 0x81][trail], 0 = invalid
  std::vector<uint32_t> enc;     // per UTF-16 unit: 0 = none, else 0x10000 | code

  Tables() : single(256, 0), singleOk(256, false), pair(126 * kTrails, 0), enc(65536, 0) {
    for (int b = 0; b < 256; ++b) {
      bool ok = false;
      const QString s = icuDecode(QByteArray(1, static_cast<char>(b)), &ok);
      if (ok && s.size() == 1) {
        single[b] = s[0].unicode();
        singleOk[b] = true;
      }
    }
    // Every possible pair in one call, each followed by a line feed.
    QByteArray all;
    std::vector<int> codes;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
      for (int trail = 0x40; trail <= 0xFE; ++trail) {
        if (trail > 0x7E && trail < 0xA1) continue;
        all.append(static_cast<char>(lead)).append(static_cast<char>(trail)).append('\n');
        codes.push_back(lead << 8 | trail);
      }
    }
    const QStringList parts = icuDecode(all, nullptr).split(u'\n');
    const bool aligned = parts.size() == static_cast<qsizetype>(codes.size()) + 1;
    for (size_t i = 0; i < codes.size(); ++i) {
      QString ch;
      if (aligned) {
        ch = parts[static_cast<qsizetype>(i)];
      } else {
        bool ok = false;
        ch = icuDecode(QByteArray(1, static_cast<char>(codes[i] >> 8)) + static_cast<char>(codes[i] & 0xFF), &ok);
        if (!ok) continue;
      }
      if (ch.size() != 1 || ch[0] == QChar::ReplacementCharacter || ch[0].isSurrogate()) continue;
      pair[static_cast<size_t>(((codes[i] >> 8) - 0x81) * kTrails + (codes[i] & 0xFF))] = ch[0].unicode();
    }
    // Encoding: what the converter writes for each character we can decode.
    for (int b = 0; b < 256; ++b) {
      if (singleOk[b] && !enc[single[b]]) enc[single[b]] = 0x10000u | static_cast<uint32_t>(b);
    }
    std::vector<int> seen(65536, 0);
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
      for (int trail = 0; trail < 256; ++trail) {
        const char16_t c = pair[static_cast<size_t>((lead - 0x81) * kTrails + trail)];
        if (!c) continue;
        ++seen[c];
      }
    }
    for (int c = 0; c < 65536; ++c) {
      if (!seen[c] || enc[c]) continue;
      bool ok = false;
      const QByteArray b = icuEncode(QString(QChar(static_cast<char16_t>(c))), &ok);
      if (ok && b.size() == 2) enc[c] = 0x10000u | (static_cast<uint8_t>(b[0]) << 8) | static_cast<uint8_t>(b[1]);
      else if (ok && b.size() == 1) enc[c] = 0x10000u | static_cast<uint8_t>(b[0]);
    }
  }
};

const Tables& tables() {
  static const Tables t;
  return t;
}
}  // namespace

QString decode(const QByteArray& bytes, bool* ok) {
  const Tables& t = tables();
  QString out(bytes.size(), Qt::Uninitialized);
  char16_t* o = reinterpret_cast<char16_t*>(out.data());
  const auto* p = reinterpret_cast<const uint8_t*>(bytes.constData());
  const auto* end = p + bytes.size();
  char16_t* w = o;
  while (p < end) {
    const uint8_t b = *p;
    if (b < 0x80) {
      *w++ = b;
      ++p;
    } else if (b >= 0x81 && b <= 0xFE) {
      if (p + 1 >= end) return icuDecode(bytes, ok);
      const char16_t c = t.pair[static_cast<size_t>((b - 0x81) * Tables::kTrails + p[1])];
      if (!c) return icuDecode(bytes, ok);
      *w++ = c;
      p += 2;
    } else {
      if (!t.singleOk[b]) return icuDecode(bytes, ok);
      *w++ = t.single[b];
      ++p;
    }
  }
  out.truncate(w - o);
  if (ok) *ok = true;
  return out;
}

qsizetype decodeTo(char16_t* dest, const char* bytes, qsizetype n) {
  const Tables& t = tables();
  const auto* p = reinterpret_cast<const uint8_t*>(bytes);
  const auto* end = p + n;
  char16_t* w = dest;
  while (p < end) {
    const uint8_t b = *p;
    if (b < 0x80) {
      *w++ = b;
      ++p;
    } else if (b >= 0x81 && b <= 0xFE) {
      if (p + 1 >= end) return -1;
      const char16_t c = t.pair[static_cast<size_t>((b - 0x81) * Tables::kTrails + p[1])];
      if (!c) return -1;
      *w++ = c;
      p += 2;
    } else {
      if (!t.singleOk[b]) return -1;
      *w++ = t.single[b];
      ++p;
    }
  }
  return w - dest;
}

QByteArray encode(const QString& text, bool* lossless) {
  const Tables& t = tables();
  QByteArray out(text.size() * 2, Qt::Uninitialized);
  auto* o = reinterpret_cast<uint8_t*>(out.data());
  uint8_t* w = o;
  for (const QChar ch : text) {
    const char16_t c = ch.unicode();
    if (c < 0x80) {
      *w++ = static_cast<uint8_t>(c);
      continue;
    }
    const uint32_t e = t.enc[c];
    if (!e) return icuEncode(text, lossless);
    const uint32_t code = e & 0xFFFF;
    if (code > 0xFF) *w++ = static_cast<uint8_t>(code >> 8);
    *w++ = static_cast<uint8_t>(code & 0xFF);
  }
  out.truncate(w - o);
  if (lossless) *lossless = true;
  return out;
}

qsizetype encodeTo(char* dest, QStringView text, bool* clean) {
  const Tables& t = tables();
  auto* w = reinterpret_cast<uint8_t*>(dest);
  const qsizetype n = text.size();
  const char16_t* in = text.utf16();
  for (qsizetype i = 0; i < n; ++i) {
    const char16_t c = in[i];
    if (c < 0x80) {
      *w++ = static_cast<uint8_t>(c);
      continue;
    }
    const uint32_t e = t.enc[c];
    if (!e) {
      // Not in the tables: let the converter decide (a surrogate pair is one
      // character, written as one "?").
      qsizetype len = 1;
      if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(in[i + 1])) len = 2;
      bool ok = true;
      const QByteArray b = icuEncode(text.mid(i, len).toString(), &ok);
      if (!ok && clean) *clean = false;
      std::memcpy(w, b.constData(), static_cast<size_t>(std::min<qsizetype>(b.size(), 2 * len)));
      w += std::min<qsizetype>(b.size(), 2 * len);
      i += len - 1;
      continue;
    }
    const uint32_t code = e & 0xFFFF;
    if (code > 0xFF) *w++ = static_cast<uint8_t>(code >> 8);
    *w++ = static_cast<uint8_t>(code & 0xFF);
  }
  return reinterpret_cast<char*>(w) - dest;
}

qsizetype encodeFieldTo(char* dest, QStringView text, bool* clean) {
  const Tables& t = tables();
  auto* w = reinterpret_cast<uint8_t*>(dest);
  const qsizetype n = text.size();
  const char16_t* in = text.utf16();
  for (qsizetype i = 0; i < n; ++i) {
    const char16_t c = in[i];
    if (c < 0x80) {
      *w++ = c == u'"' ? '\'' : static_cast<uint8_t>(c);
      continue;
    }
    const uint32_t e = t.enc[c];
    if (!e) {
      // Not in the tables: the converter's own bytes for it.
      qsizetype len = 1;
      if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(in[i + 1])) len = 2;
      w += encodeTo(reinterpret_cast<char*>(w), text.mid(i, len), clean);
      i += len - 1;
      continue;
    }
    const uint32_t code = e & 0xFFFF;
    if (code > 0xFF) *w++ = static_cast<uint8_t>(code >> 8);
    *w++ = static_cast<uint8_t>(code & 0xFF);
  }
  return reinterpret_cast<char*>(w) - dest;
}

bool appendEncoded(QByteArray& out, QStringView text) {
  const qsizetype start = out.size();
  out.resize(start + text.size() * 2);
  bool clean = true;
  const qsizetype n = encodeTo(out.data() + start, text, &clean);
  out.truncate(start + n);
  return clean;
}

bool canEncode(const QString& text) {
  bool ok = true;
  encode(text, &ok);
  return ok;
}

QString htmlSafe(const QString& text) {
  QString out;
  out.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    char32_t cp = text.at(i).unicode();
    qsizetype len = 1;
    if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
      cp = QChar::surrogateToUcs4(text.at(i), text.at(i + 1));
      len = 2;
    }
    const QString piece = text.mid(i, len);
    if (cp > 0xFFFF || !canEncode(piece)) {
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
  if (!f.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
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
