// The password files (DataBase.pwd, Setting.pwd): any bytes read without
// crashing; a password read from a file is written back to a file that
// reads as the same password.
#include <QByteArray>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>

#include "FuzzSupport.h"
#include "admin/PasswordFile.h"
#include "platform/Codec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzSupport::start();
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const auto password = PasswordFile::decode(Codec::decode(bytes));
  if (!password) return 0;
  const auto line = PasswordFile::encode(*password);
  if (!line) return 0;  // a character that decodes but has no code of its own
  const auto again = PasswordFile::decode(*line + QStringLiteral("\r\n"));
  if (!again || *again != *password) abort();

  // The same through the files themselves.
  QTemporaryDir dir;
  if (!dir.isValid()) return 0;
  const QString folder = dir.path() + u'/';
  FuzzSupport::put(folder + QStringLiteral("Setting.pwd"), bytes);
  const PasswordFile::Contents c = PasswordFile::read(folder, QStringLiteral("Setting.pwd"));
  if (c.state != PasswordFile::State::Readable || c.password != *password) abort();
  if (!PasswordFile::write(folder, c.password, QStringLiteral("Setting.pwd"))) abort();
  const PasswordFile::Contents back = PasswordFile::read(folder, QStringLiteral("Setting.pwd"));
  if (back.state != PasswordFile::State::Readable || back.password != *password) abort();
  return 0;
}
