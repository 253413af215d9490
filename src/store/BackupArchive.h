#pragma once
// The backup archive (.kbk): every data, settings and password file of a
// database folder packed into one file, without compression.
//
//   bytes 0-9   L, the length of the member list, as decimal digits padded
//               with blanks to 10 bytes
//   bytes 10..  the member list, L bytes: one line per member, the file name
//               (code page 950), the byte 0x01, its length in decimal, CR LF
//   then        the members' bytes back to back, in list order
//
// Members are the files of the folder itself whose names end in ".kdt" or
// ".pwd" (any letter case), in name order, and that could be files of the
// program on Windows too (no device name, no character Windows refuses).
// Archives are written to a new temporary file beside them ("<name>.XXXXXX")
// and renamed over the name (a link there is replaced, never followed), so
// a failed write never replaces a good archive; one holding a password file
// is readable by its owner only. What a write killed before its rename
// leaves is removed by the next write of that archive (of any day's archive
// for the daily ones). A restore checks the whole archive first (from its header
// and list alone, before any member is read); a damaged one changes nothing.
#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

class Database;

class BackupArchive {
 public:
  struct Member {
    QString name;
    QByteArray bytes;
  };
  // Where a member lies inside an archive.
  struct Entry {
    QString name;
    qint64 offset = 0;
    qint64 length = 0;
  };

  // The archive of these members, in the given order.
  static QByteArray build(const std::vector<Member>& members);

  // An archive to restore from, checked whole when it is made: the header,
  // every list line, member names (isMemberName; no name twice, letter case
  // ignored), no member longer than kMaxMemberLength, and lengths that add up
  // exactly to the size of the archive. Its members are then read a piece at
  // a time, never held whole.
  class Source {
   public:
    enum class State { Good, Damaged, Unreadable };

    // An archive held in memory.
    explicit Source(QByteArray bytes);
    // The archive file at path, opened now and held open while the source
    // lives: only its header and member list are read and checked here,
    // against the file's size. What is restored is the file opened now, even
    // when another file takes its name meanwhile (today's daily archive is
    // rewritten by the undo point of the restore itself). Anything but a
    // regular file is Damaged; a file that cannot be opened or read is
    // Unreadable.
    static Source open(const QString& path);

    Source(Source&& other) noexcept;
    Source& operator=(Source&& other) noexcept;
    Source(const Source&) = delete;
    Source& operator=(const Source&) = delete;
    ~Source();

    State state() const { return state_; }
    // The members, in list order (empty unless Good).
    const std::vector<Entry>& entries() const { return entries_; }
    // Reads length bytes at offset into *out; false when they could not be
    // read whole.
    bool read(qint64 offset, qint64 length, QByteArray* out) const;

   private:
    Source() = default;
    State state_ = State::Damaged;
    std::vector<Entry> entries_;
    QByteArray bytes_;  // an archive in memory
    int fd_ = -1;       // an archive file
  };

  // Checks a whole archive in memory as a Source does. False for anything
  // but a good archive; *entries is filled only on success.
  static bool parse(const QByteArray& archive, std::vector<Entry>* entries);

  // True when a name may be packed and restored: a plain name (no "/", "\\",
  // "..", control characters), ending in ".kdt" or ".pwd", held by code page
  // 950, without the characters Windows refuses in names (< > : " | ? *)
  // and not a device name there (CON, PRN, AUX, NUL, COM0-9, LPT0-9, in any
  // letter case, whatever follows the first dot).
  static bool isMemberName(const QString& name);

  // The longest member list read: thousands of lines, where a database
  // folder has some thirty. A longer list is damage.
  static constexpr qint64 kMaxListLength = 1 << 20;
  // The longest member: no table file the program reads can be as long (its
  // readers address a file with 32-bit offsets).
  static constexpr qint64 kMaxMemberLength = (qint64(1) << 32) - 1;

  // True when folder holds at least one file to pack.
  static bool hasMembers(const QString& folder);

  // Reads every member of folder whole, in name order. False when a member
  // could not be read whole (nothing is returned then).
  static bool pack(const QString& folder, std::vector<Member>* members);

  static constexpr const char* kScratchName = "~Backup.kbk";
};

// Told how many of the members' bytes were written so far, of how many
// (called on the thread that writes).
using BackupProgress = std::function<void(qint64 done, qint64 total)>;

// Packs the database folder into the archive at target (by default
// "~Backup.kbk" in that folder). False when a member could not be read whole
// or the archive could not be written; a file already at target is then kept.
// The members are copied straight from their files into the archive.
bool WriteBackupArchive(const QString& folder, const QString& target = {});
bool WriteBackupArchive(const QString& folder, const QString& target, const BackupProgress& progress);

enum class RestoreResult { Done, Missing, BadArchive, Failed };

// Unpacks an archive over the folder's files, all in one transaction: every
// member is written to a temporary file, and only when all are written are
// they renamed over the files of the same name (matched ignoring letter case).
// The password files "DataBase.pwd" and "Setting.pwd" are then removed when
// the archive does not hold them. Files the archive does not hold stay.
// Members are copied a piece at a time; password files are written readable
// by their owner only. A damaged archive gives BadArchive and changes nothing;
// one that cannot be read gives Failed and changes nothing.
RestoreResult RestoreBackupArchive(const QString& folder, const BackupArchive::Source& archive);
RestoreResult RestoreBackupArchive(const QString& folder, const QByteArray& archive);
// The same from "~Backup.kbk" in folder (Missing when it is not there; the
// file is left in place).
RestoreResult RestoreBackupArchive(const QString& folder);

// The daily backup: the archive of the database folder as "yyyymmdd.kbk" in
// autoBackupPath when that is set and exists, else in the folder's "Backup"
// folder; then the "Backup" folder is pruned to the 15 highest-named
// archives (names compared ignoring letter case). The automatic-backup
// folder is never pruned. False when the archive could not be written;
// *written receives its path when one was written. A folder with nothing to
// pack, or a database folder that is gone, writes no archive, creates no
// folder and is no failure.
bool AutoBackup(const QString& folder, const QString& autoBackupPath, QString* written = nullptr,
                const QDate& today = QDate::currentDate());
bool AutoBackup(const QString& folder, const QString& autoBackupPath, QString* written, const QDate& today,
                const BackupProgress& progress);
bool AutoBackup(const Database& db, QString* written = nullptr, const BackupProgress& progress = {});

// Deletes from a backup folder all but the `keep` highest-named ".kbk"
// entries; `spare` (a file name) is never deleted.
void PruneBackups(const QString& backupFolder, int keep = 15, const QString& spare = {});
