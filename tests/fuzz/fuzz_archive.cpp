// Backup archive parser: any bytes are checked without crashing; what it
// accepts lies inside the archive, and an archive built from the accepted
// members parses back to the same entries.
#include <QByteArray>
#include <cstdint>
#include <cstdlib>

#include "store/BackupArchive.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  std::vector<BackupArchive::Entry> entries;
  if (!BackupArchive::parse(bytes, &entries)) return 0;
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
