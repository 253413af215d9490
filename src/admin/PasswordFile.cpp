#include "admin/PasswordFile.h"

#include <QFile>
#include <QFileInfo>

#include "platform/AppPaths.h"
#include "platform/Codec.h"
#include "platform/OwnerOnlyFile.h"

namespace PasswordFile {

std::optional<QString> encode(const QString& password) {
  QString out;
  for (qsizetype i = 0; i < password.size(); ++i) {
    QString one(password.at(i));
    if (password.at(i).isHighSurrogate() && i + 1 < password.size()) one += password.at(++i);
    bool lossless = true;
    const QByteArray bytes = Codec::encode(one, &lossless);
    if (!lossless || bytes.isEmpty() || bytes.size() > 2) return std::nullopt;
    int code = static_cast<unsigned char>(bytes.at(0));
    if (bytes.size() == 2) code = code * 256 + static_cast<unsigned char>(bytes.at(1));
    out += QStringLiteral("%1").arg(code, 4, 16, QLatin1Char('0')).toUpper();
  }
  return out;
}

namespace {
std::optional<QString> character(int code) {
  if (code < 0x80) return QString(QChar(code));
  QByteArray bytes;
  if (code > 0xFF) bytes.append(static_cast<char>(code >> 8));
  bytes.append(static_cast<char>(code & 0xFF));
  bool ok = true;
  const QString text = Codec::decode(bytes, &ok);
  // Exactly one character (a pair of bytes that decodes to two is none).
  if (!ok || text.toUcs4().size() != 1 || text.contains(QChar::ReplacementCharacter)) return std::nullopt;
  return text;
}
}  // namespace

std::optional<QString> decode(const QString& fileText) {
  if (fileText.isEmpty()) return std::nullopt;  // no first line
  QString line = fileText.section(u'\n', 0, 0);
  if (line.endsWith(u'\r')) line.chop(1);
  line = line.section(u',', 0, 0);
  QString password;
  for (qsizetype at = 0; at < line.size(); at += 4) {
    const QString group = line.mid(at, 4);
    for (QChar c : group) {
      const char16_t u = c.unicode();
      const bool hex = (u >= u'0' && u <= u'9') || (u >= u'A' && u <= u'F') || (u >= u'a' && u <= u'f');
      if (!hex) return std::nullopt;
    }
    const auto ch = character(group.toInt(nullptr, 16));
    if (!ch) return std::nullopt;
    password += *ch;
  }
  return password;
}

bool exists(const QString& folder, const QString& name) {
  if (folder.isEmpty()) return false;
  return QFileInfo(AppPaths::find(folder, name)).isFile();
}

Contents read(const QString& folder, const QString& name) {
  Contents c;
  if (!exists(folder, name)) return c;
  QFile f(AppPaths::find(folder, name));
  if (!f.open(QIODevice::ReadOnly)) {
    c.state = State::Damaged;
    return c;
  }
  const QByteArray bytes = f.readAll();
  if (f.error() != QFileDevice::NoError) {
    c.state = State::Damaged;
    return c;
  }
  const auto pw = decode(Codec::decode(bytes));
  if (!pw) {
    c.state = State::Damaged;
    return c;
  }
  c.state = State::Readable;
  c.password = *pw;
  return c;
}

bool write(const QString& folder, const QString& password, const QString& name) {
  const auto line = encode(password);
  if (!line) return false;
  // A file of another letter case (made on Windows) is replaced by the canonical name.
  const QString old = AppPaths::find(folder, name);
  // Readable by its owner only; a link at its name is replaced.
  if (!OwnerOnlyFile::replace(AppPaths::withSlash(folder) + name, Codec::encode(*line + QStringLiteral("\r\n")), OwnerOnlyFile::Flush::ToDisk)) return false;
  if (QFileInfo(old).fileName() != name && QFileInfo::exists(old)) QFile::remove(old);
  return true;
}

bool remove(const QString& folder, const QString& name) {
  if (!exists(folder, name)) return true;
  const QString path = AppPaths::find(folder, name);
  QFile::remove(path);
  return !QFileInfo::exists(path);
}

}  // namespace PasswordFile
