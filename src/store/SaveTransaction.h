#pragma once
// All-or-nothing writing of a set of files in one folder. Each file is
// written to a temporary file beside it ("~<name>.tmp", created new: a link
// or file planted at that name is removed, never written through), whose
// flush to disk begins at once in the background. commit() waits until
// every one is on disk, then writes the journal "~Save.lst" saying
// "undoing", renames each original aside ("~<name>.old") and its temporary
// file into its place, syncs the folder and only then switches the journal
// to "going forward": that one byte on disk is the moment the save
// happened. It then removes the originals kept aside and the journal.
// recover() does what a journal left behind says: it undoes a commit that
// had not reached its switch (a crash, a failure, a disk that stopped
// taking writes) and finishes one that had. So the folder always holds the
// whole old or the whole new set of files, a commit reported as failed
// leaves the old set, also after the next load, and one reported done
// never reverts.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <vector>

class SaveTransaction {
 public:
  explicit SaveTransaction(const QString& folder);
  ~SaveTransaction();  // removes the temporary files of an attempt not committed
  SaveTransaction(const SaveTransaction&) = delete;
  SaveTransaction& operator=(const SaveTransaction&) = delete;

  // Writes the bytes of file `name` (canonical name, inside the folder) to a
  // temporary file. False on any failure; nothing of the folder has changed.
  bool write(const QString& name, const QByteArray& bytes);
  // The same for a file given in pieces, written one after another;
  // piece(i) gives piece i of count (it may wait for it to be made).
  bool write(const QString& name, size_t count, const std::function<QByteArray(size_t)>& piece);
  // Encodes text in code page 950 and writes it.
  bool writeText(const QString& name, const QString& text);

  // A file made in pieces on several threads at once. Each piece is written
  // at its place in the file as soon as it is made: put(i) waits only until
  // every piece before i has been put (so its place is known), never for
  // another piece's write. Every piece 0..count-1 is put exactly once.
  class PieceWriter {
   public:
    ~PieceWriter();
    bool put(size_t i, const char* data, qint64 len);
    // Pieces put from now on are not written (the attempt failed elsewhere).
    void abandon() { failed_ = true; }
    bool failed() const { return failed_; }

   private:
    friend class SaveTransaction;
    PieceWriter(const QString& name, int fd, size_t count, std::shared_ptr<std::atomic<qint64>> budget);
    bool writeAt(const char* data, qint64 len, qint64 at);
    QString name_;
    int fd_;
    size_t count_;
    std::shared_ptr<std::atomic<qint64>> budget_;
    std::mutex mutex_;
    std::condition_variable placed_;
    size_t known_ = 0;   // pieces whose place is known
    qint64 end_ = 0;     // where the next piece goes
    size_t written_ = 0;
    std::atomic<bool> failed_{false};
  };
  // The temporary file of `name`, for count pieces; null when it cannot be made.
  std::shared_ptr<PieceWriter> open(const QString& name, size_t count);
  // After the last piece was put: false when a piece failed (the attempt is
  // then discarded); otherwise the file's flush to disk begins.
  bool close(const std::shared_ptr<PieceWriter>& writer);

  // Replaces the originals. False when it failed: the originals stand (a
  // failed commit is undone at once; an undoing that itself fails is
  // finished by the next transaction in the folder or the next load). If
  // this process dies before the journal's switch, the next load undoes the
  // renames; after it, the next load finishes them.
  bool commit();
  // Drops every temporary file written so far.
  void discard();

  bool empty() const { return files_.empty(); }

  // Finishes what a journal left in folder asks: the undoing of a commit
  // that did not reach its switch, or the renames of one that did. Returns
  // false when a journal was found but could not be completed (it stays).
  static bool recover(const QString& folder);

  // Removes the temporary files an attempt killed before its commit left
  // behind: exactly "~<name>.tmp" (and an original "~<name>.old" whose
  // commit was finished) for each of names, nothing else. Only after
  // recover() succeeded (a journal still there needs them).
  static void removeLeftovers(const QString& folder, const QStringList& names);

  // Writes one file atomically (its own transaction).
  static bool writeFile(const QString& folder, const QString& name, const QByteArray& bytes);
  static bool writeTextFile(const QString& folder, const QString& name, const QString& text);

  static constexpr const char* kJournal = "~Save.lst";

 private:
  struct Entry {
    QString temp;   // file name of the temporary file
    QString name;   // canonical final name
    std::shared_future<bool> flushed;  // its flush to disk, begun when it was written
  };
  bool writeAll(int fd, const QByteArray& bytes);
  Entry& entryFor(const QString& name);
  QString folder_;
  bool blocked_ = false;  // a journal of the folder could not be finished: nothing is written
  std::vector<Entry> files_;
  // Bytes the installed SaveFaults still let through (-1 = no limit),
  // shared by the threads writing pieces.
  std::shared_ptr<std::atomic<qint64>> failBudget_;
};

// fsync of a file or folder path; false on failure.
bool syncPath(const QString& path);
