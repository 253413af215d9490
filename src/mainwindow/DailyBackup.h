#pragma once
// The daily backup archive of the open database, written behind the
// progress window: the archive is copied on a worker thread while the
// windows keep painting (user input waits until it is done).
class Database;
class Progress;

namespace DailyBackup {

// AutoBackup of db with the progress window shown; false when the archive
// could not be written.
bool write(const Database& db, Progress& progress);

}  // namespace DailyBackup
