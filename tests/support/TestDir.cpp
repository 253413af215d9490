#include "TestDir.h"

#include <sys/stat.h>

#include "platform/Codec.h"

QByteArray big5(const QString& text) { return Codec::encode(text); }

int fileMode(const QString& path) {
  struct stat st {};
  if (::lstat(QFile::encodeName(path).constData(), &st) != 0) return -1;
  return static_cast<int>(st.st_mode & 07777);
}
