#include "ScopedSaveFaults.h"

#include <algorithm>

ScopedSaveFaults::ScopedSaveFaults() : previous_(SaveFaults::install(this)) {}

ScopedSaveFaults::~ScopedSaveFaults() { SaveFaults::install(previous_); }

void ScopedSaveFaults::failAfterBytes(qint64 bytes, int transactions) {
  std::lock_guard lock(mutex_);
  failBytes_ = bytes;
  failTransactions_ = bytes < 0 ? 0 : transactions;
}

void ScopedSaveFaults::crashAfterRenames(int renames) {
  std::lock_guard lock(mutex_);
  crashAfter_ = renames;
}

void ScopedSaveFaults::failRenames(int after, int count) {
  std::lock_guard lock(mutex_);
  renamesBeforeFailure_ = after;
  failingRenames_ = after < 0 ? 0 : count;
}

void ScopedSaveFaults::failJournalSwitch(bool fail) {
  std::lock_guard lock(mutex_);
  failSwitch_ = fail;
}

void ScopedSaveFaults::crashAfterCommitPoint(bool crash) {
  std::lock_guard lock(mutex_);
  crashAtCommitPoint_ = crash;
}

void ScopedSaveFaults::failArchiveAfterBytes(qint64 bytes) {
  std::lock_guard lock(mutex_);
  archiveBudget_ = bytes;
}

void ScopedSaveFaults::withoutDiskFlush() {
  std::lock_guard lock(mutex_);
  flushes_ = false;
}

qint64 ScopedSaveFaults::transactionByteBudget() {
  std::lock_guard lock(mutex_);
  if (failBytes_ < 0 || failTransactions_ <= 0) return -1;
  --failTransactions_;
  return failBytes_;
}

qint64 ScopedSaveFaults::archiveBytesAllowed(qint64 len) {
  std::lock_guard lock(mutex_);
  if (archiveBudget_ < 0) return len;
  const qint64 take = std::min(archiveBudget_, len);
  archiveBudget_ = take < len ? 0 : archiveBudget_ - len;
  return take;
}

bool ScopedSaveFaults::countsArchiveWrites() {
  std::lock_guard lock(mutex_);
  return archiveBudget_ >= 0;
}

bool ScopedSaveFaults::renameSucceeds() {
  std::lock_guard lock(mutex_);
  if (renamesBeforeFailure_ == 0 && failingRenames_ > 0) {
    --failingRenames_;
    return false;
  }
  if (renamesBeforeFailure_ > 0) --renamesBeforeFailure_;
  return true;
}

bool ScopedSaveFaults::crashesAfter(int placed) {
  std::lock_guard lock(mutex_);
  return crashAfter_ >= 0 && placed >= crashAfter_;
}

bool ScopedSaveFaults::journalSwitchSucceeds() {
  std::lock_guard lock(mutex_);
  return !failSwitch_;
}

bool ScopedSaveFaults::crashesAfterCommitPoint() {
  std::lock_guard lock(mutex_);
  return crashAtCommitPoint_;
}

bool ScopedSaveFaults::flushesToDisk() {
  std::lock_guard lock(mutex_);
  return flushes_;
}
