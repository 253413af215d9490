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
// ".pwd" (any letter case), in name order. Archives are written to a
// temporary file and renamed, so a failed write never replaces a good archive.
// A restore checks the whole archive first; a damaged one changes nothing.
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

  // Checks a whole archive without touching any file: the header, every
  // list line, plain member names (no "/", "\\", "..", control characters;
  // ending in ".kdt" or ".pwd"; no name twice, letter case ignored) and
  // lengths that add up exactly to the size of the archive. False for
  // anything else; *entries is filled only on success.
  static bool parse(const QByteArray& archive, std::vector<Entry>* entries);

  // True when a name may be packed and restored.
  static bool isMemberName(const QString& name);

  // True when folder holds at least one file to pack.
  static bool hasMembers(const QString& folder);

  // Reads every member of folder whole, in name order. False when a member
  // could not be read whole (nothing is returned then).
  static bool pack(const QString& folder, std::vector<Member>* members);

  // Writes bytes to path through a temporary file in the same folder, renamed
  // over path only once it is completely on disk.
  static bool writeWhole(const QString& path, const QByteArray& bytes);

  // Test hook: writes of archives fail once this many more bytes were
  // written (-1 = never).
  static void failAfterBytes(qint64 bytes);

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
// A damaged archive gives BadArchive and changes nothing.
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
