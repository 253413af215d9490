// Backup archive parser: any bytes are checked without crashing; what it
// accepts lies inside the archive, and an archive built from the accepted
// members parses back to the same entries. The same bytes read as a file
// (as a restore reads them: header and list first, members a piece at a
// time) give exactly what the parse in memory gives.
#include <QByteArray>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>

#include "FuzzSupport.h"
#include "store/BackupArchive.h"

namespace {
// The archive as a file, read back through the restore's own reader.
void compareWithFile(const QByteArray& bytes, bool good, const std::vector<BackupArchive::Entry>& entries) {
  static QTemporaryDir* dir = new QTemporaryDir();
  const QString path = dir->path() + QStringLiteral("/a.kbk");
  FuzzSupport::put(path, bytes);
  const BackupArchive::Source file = BackupArchive::Source::open(path);
  if ((file.state() == BackupArchive::Source::State::Good) != good) abort();
  if (!good) return;
  if (file.entries().size() != entries.size()) abort();
  for (size_t i = 0; i < entries.size(); ++i) {
    const auto& a = file.entries()[i];
    const auto& b = entries[i];
    if (a.name != b.name || a.offset != b.offset || a.length != b.length) abort();
    QByteArray member;
    if (!file.read(a.offset, a.length, &member) || member != bytes.mid(b.offset, b.length)) abort();
  }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzSupport::start();
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  std::vector<BackupArchive::Entry> entries;
  const bool good = BackupArchive::parse(bytes, &entries);
  compareWithFile(bytes, good, entries);
  if (!good) return 0;
  std::vector<BackupArchive::Member> members;
  for (const auto& e : entries) {
    if (e.offset < 0 || e.length < 0 || e.offset + e.length > bytes.size()) abort();
    if (!BackupArchive::isMemberName(e.name)) abort();
    members.push_back({e.name, bytes.mid(e.offset, e.length)});
  }
  std::vector<BackupArchive::Entry> again;
  if (!BackupArchive::parse(BackupArchive::build(members), &again) || again.size() != entries.size()) abort();
  return 0;
}
