#pragma once
// Moving the open database between its folder and memory: the table readers
// (…Init) and writers (…Close), the order-number counter, loading every file
// of a folder and saving with up to three attempts.
#include <QString>
#include <future>
#include <map>
#include <memory>
#include <vector>

#include "store/Database.h"
#include "store/SaveTransaction.h"

class Prompt;
class Progress;
struct ParsedTableFile;

class DataStore {
 public:
  struct Prefetch;

  DataStore(Database& db, Prompt& prompt, Progress& progress);
  ~DataStore();

  // Starts reading the table files of folder on the worker threads, ahead of
  // the load that will ask for them (start-up: while the window is being
  // built). Not for a folder with an interrupted save or a password.
  static void readAhead(const QString& folder);

  // Loads every file of db.DataBasePath: finishes an interrupted save, then
  // the counter, the settings files, the pictures, the tables behind the
  // progress window, and converts older picture files. The window's own
  // steps (filter refill, title, flags) follow in the caller.
  void loadDatabase();

  // Gives the memory the readers of a load set aside back to the system,
  // not only to the heap. It takes a while (page tables are flushed on every
  // processor), so the window does it once the loaded list was shown.
  static void returnFreedMemory();

  // Writes every table and the category lists; up to three attempts, asking
  // before each retry. True when the last attempt wrote everything.
  bool DataBaseSave();

  // Table readers.
  void ImagesInit();
  void ExpendInit();
  void ManufInit();
  void Manuf1Init();
  void Manuf2Init();
  void Manuf3Init();
  void StockInit();
  void Stock1Init();
  void Stock2Init();
  void GuestInit();
  void OrderInit();
  void ManufStockInit();
  void ImagesCnv();
  void NumInit();

  // One save attempt: every writer into one transaction, committed only when
  // all succeeded. Sets db.SaveOK.
  bool saveAttempt();

  // Table writers, into the attempt's transaction (only while SaveOK).
  void NumClose(SaveTransaction& t);
  void OrderClose(SaveTransaction& t);
  void StockClose(SaveTransaction& t);
  void GuestClose(SaveTransaction& t);
  void ManufClose(SaveTransaction& t);
  void ManufStockClose(SaveTransaction& t);
  void ImagesClose(SaveTransaction& t);
  void ExpendClose(SaveTransaction& t);

  // Text of a whole table file: the listed columns of every row.
  static QString tableText(const Table& table, int firstColumn, int columns);
  // The same, as the code page 950 bytes written to disk.
  static QByteArray tableBytes(const Table& table, int firstColumn, int columns);

 private:
  // The parsed file, from the parses started by loadDatabase or parsed now.
  // Null when the file is missing.
  std::shared_ptr<ParsedTableFile> parsed(const QString& fileName, int fields);
  // Starts parsing every table file of the folder on the worker threads
  // (or takes the reads started ahead for it).
  void prefetchTables();
  static std::unique_ptr<Prefetch> startReads(const QString& folder);
  // Puts a parsed file's table in place; false when it must be read field by field.
  static bool take(Table& table, ParsedTableFile& p);
  // Reads fileName (case-insensitive) as records of n fields, appending rows
  // through addRow. False (after the message) when the file failed to read.
  bool readRecords(const QString& fileName, int n, const QString& failMessage,
                   const std::function<void(const QStringList&)>& addRow);
  void fillColumn(Table& table, int column, const QString& fileName, const QString& failMessage);
  bool convertOlder(const QString& oldName, int oldFields, const QString& newName, Table& table,
                    const std::function<void(const QStringList&)>& addRow, int newFirst, int newColumns,
                    const QString& failMessage);
  void writeTable(SaveTransaction& t, const QString& label, const QString& fileName, const Table& table,
                  int firstColumn, int columns, int progressValue);
  // What a table file is made from: changes whenever its bytes may.
  static QByteArray tableSource(const Table& table, int firstColumn, int columns);
  // Whether this attempt writes fileName, made from source: false when a
  // save since the last load wrote it from the same source and the file is
  // still the one it wrote (its bytes would not change).
  bool writes(const QString& fileName, const QByteArray& source);
  // After the attempt: what it wrote is noted for the next save (a failed
  // attempt forgets every file noted).
  void noteWritten();
  bool keepDamagedOriginals();
  // The message naming the first character code page 950 cannot hold in
  // the listed columns of a table written as fileName, or in the category
  // lists; empty when there is none (U+FFFD, the mark of bytes a damaged
  // file held, is no such character).
  static QString unencodableCell(const QString& fileName, const Table& table, int firstColumn, int columns);
  QString unencodableCategory() const;
  void failed(const QString& fileName, const QString& message);

  Database& db_;
  Prompt& prompt_;
  Progress& progress_;
  std::unique_ptr<Prefetch> prefetch_;
  // Table files of the save attempt, encoded and written ahead.
  class Encoding;
  struct EncodedFile {
    std::shared_ptr<SaveTransaction::PieceWriter> writer;  // null when it could not be made
    std::shared_ptr<Encoding> encoding;
  };
  static EncodedFile encodeFile(SaveTransaction& t, const QString& fileName, const Table& table, int firstColumn,
                                int columns, int priority);
  std::map<QString, EncodedFile> encoded_;
  QString refusal_;  // why the attempt was refused, told once it is over
  std::map<QString, QByteArray> sources_;  // the files this attempt writes, and what from
};
