#pragma once
// Files written where other people may reach them (the printouts in a
// temporary folder the seller may share, password files). Each write makes
// a new file beside the name, readable and writable by its owner only, and
// renames it over the name: a symbolic link or another file planted at the
// name is replaced, never followed or written through.
#include <QByteArray>
#include <QString>
#include <sys/types.h>

namespace OwnerOnlyFile {

enum class Flush { None, ToDisk };

// Writes all of len bytes at the current end of fd (a short write goes on
// where it stopped); false on failure. Also for the other writers of files
// that are created new and exclusively (the save, the archive writer).
bool writeFully(int fd, const char* data, qint64 len);

// Writes bytes as the file path (mode 0600). With Flush::ToDisk the new
// file and its folder are synced before and after the rename. False when a
// step failed; then whatever stood at path is untouched and no new file is
// left behind.
bool replace(const QString& path, const QByteArray& bytes, Flush flush = Flush::None);

// While one lives, files the process creates are readable by their owner
// only (the process's file mode mask; threads creating files meanwhile get
// the same, never less safe).
class Scope {
 public:
  Scope();
  ~Scope();
  Scope(const Scope&) = delete;
  Scope& operator=(const Scope&) = delete;

 private:
  mode_t previous_;
};

}  // namespace OwnerOnlyFile
