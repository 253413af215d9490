#pragma once
// A test's failures for the writers of a database folder, installed for the
// lifetime of this object (the one installed before comes back after it).
// Nothing fails until a test asks for it:
//   ScopedSaveFaults faults;
//   faults.failAfterBytes(300);  // the save dies inside its first file
#include <mutex>

#include "store/SaveFaults.h"

class ScopedSaveFaults : public SaveFaults {
 public:
  ScopedSaveFaults();
  ~ScopedSaveFaults() override;
  ScopedSaveFaults(const ScopedSaveFaults&) = delete;
  ScopedSaveFaults& operator=(const ScopedSaveFaults&) = delete;

  // Each of the next `transactions` save transactions fails its writes once
  // it has written this many bytes (-1 = never).
  void failAfterBytes(qint64 bytes, int transactions = 1000);
  // A commit stops after this many files were put in place, as a crash
  // would (-1 = never).
  void crashAfterRenames(int renames);
  // `after` renames succeed, then the next `count` fail (-1 = none fails).
  void failRenames(int after, int count = 1);
  // The switch of a commit's journal to going forward fails (as every write
  // on a disk turned read-only would), until told otherwise.
  void failJournalSwitch(bool fail = true);
  // A commit stops once its journal says going forward, as a crash would.
  void crashAfterCommitPoint(bool crash = true);
  // Archive writes fail once this many more bytes were written (-1 = never).
  void failArchiveAfterBytes(qint64 bytes);
  // Files and folders are no longer flushed to disk (for runs that check
  // what is written, not that it would outlive a power cut).
  void withoutDiskFlush();

  qint64 transactionByteBudget() override;
  qint64 archiveBytesAllowed(qint64 len) override;
  bool countsArchiveWrites() override;
  bool renameSucceeds() override;
  bool crashesAfter(int placed) override;
  bool journalSwitchSucceeds() override;
  bool crashesAfterCommitPoint() override;
  bool flushesToDisk() override;

 private:
  std::mutex mutex_;
  SaveFaults* previous_;
  qint64 failBytes_ = -1;
  int failTransactions_ = 0;
  int crashAfter_ = -1;
  int renamesBeforeFailure_ = -1;
  int failingRenames_ = 0;
  bool failSwitch_ = false;
  bool crashAtCommitPoint_ = false;
  qint64 archiveBudget_ = -1;
  bool flushes_ = true;
};
