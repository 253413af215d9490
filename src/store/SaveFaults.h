#pragma once
// What the writers of a database folder ask before they touch the disk:
// whether a write may go on, whether a rename succeeds, whether a commit
// goes on after so many files were put in place, whether its journal can be
// switched, whether files are flushed to disk. The program installs
// nothing, and every answer is then that of the disk itself
// (SaveFaults::current() is null). Tests hand in an object of their own
// through ScopedSaveFaults (tests/support), the only one that may install it.
#include <QtGlobal>

class SaveFaults {
 public:
  virtual ~SaveFaults() = default;

  // A save transaction begins: how many bytes its writes may write in all
  // before they fail (-1 = no limit).
  virtual qint64 transactionByteBudget() { return -1; }
  // An archive write of len bytes: how many of them reach the file before
  // the write fails (len = all of them).
  virtual qint64 archiveBytesAllowed(qint64 len) { return len; }
  // True while archive writes are counted by archiveBytesAllowed (they then
  // go through memory rather than being copied by the kernel).
  virtual bool countsArchiveWrites() { return false; }
  // A rename of a save is about to be made: false makes it fail.
  virtual bool renameSucceeds() { return true; }
  // A commit has put this many files in place: true stops it there as a
  // crash of the process would (nothing is cleaned up).
  virtual bool crashesAfter(int placed) {
    (void)placed;
    return false;
  }
  // A commit has put every file in place and switches its journal to going
  // forward: false makes that write fail (as on a disk that stopped taking
  // writes).
  virtual bool journalSwitchSucceeds() { return true; }
  // The journal of a commit says going forward (the save is done): true
  // stops the commit there as a crash would, before it cleans up.
  virtual bool crashesAfterCommitPoint() { return false; }
  // False: the saves' files and folders are not flushed to disk (what is
  // written, renamed and removed, and in what order, stays the same).
  virtual bool flushesToDisk() { return true; }

  // The installed object; null in the program.
  static SaveFaults* current();

 private:
  friend class ScopedSaveFaults;
  // Installs faults (null: none) and returns the one it replaces.
  static SaveFaults* install(SaveFaults* faults);
};
