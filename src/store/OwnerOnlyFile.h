#pragma once
// Files only their owner may read (the password files), in folders others
// may reach.
#include <QByteArray>
#include <QString>
#include <sys/types.h>

namespace OwnerOnlyFile {

// Writes bytes as the file `name` of folder: a temporary file beside it is
// made anew, readable and writable by its owner only (a file or link left at
// the temporary name is removed, never followed), flushed to disk and renamed
// over the name, so a link at the name is replaced, never followed. False on
// failure; the file at the name is then as it was.
bool write(const QString& folder, const QString& name, const QByteArray& bytes);

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
