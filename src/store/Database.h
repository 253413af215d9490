#pragma once
// The open database: its seven tables, the settings files' values, the
// category lists, the order-number counter, the program-wide settings values
// and the flags. One object, owned by the main window and passed by
// reference to every window.
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <map>

#include "store/Table.h"

// Capacities of the fixed lists.
namespace Capacity {
constexpr int Databases = 100;
constexpr int ProductCategories = 2000;
constexpr int CustomerCategories = 200;
constexpr int ExpenseCategories = 500;
constexpr int Suppliers = 500;
constexpr int ShippingMethods = 50;
}  // namespace Capacity

// Values of the settings files of a database folder, with their defaults.
struct DatabaseSettings {
  QString AutoBackupPath;  // "" = the database's Backup folder
  QString AddrTemplate;
  QString AddrFileExt;     // "txt" or "htm"
  QString NoteTitle;
  QString NoteShopInfo;
  std::array<bool, 18> NoteFields{};
  std::array<int, 10> NoteColPct{};  // index 1..9 used
  int NoteShopPct = 50;
  int NoteWidth = 650;
  int NoteSeparators = 0;
  QStringList CarryList;    // shipping methods, at most 50
  std::array<std::array<QString, 10>, 4> ImportMap;  // [profile 1..3][field 1..9]
  std::array<QString, 4> ImportName;                 // [1..3]
  QStringList ProductCategories;   // at most 2000
  QStringList CustomerCategories;  // at most 200
  QStringList ExpenseCategories;   // at most 500
  QStringList SupplierNames;       // at most 500, parallel to SupplierDetails
  QStringList SupplierDetails;

  // The default of NoteShopInfo: a hint to the seller, shown in the
  // settings dialog until the seller writes the shop's own details.
  static QString defaultNoteShopInfo();

  DatabaseSettings() { reset(); }
  // Back to the defaults, as before every load.
  void reset();
};

class Database {
 public:
  Database();

  // Tables.
  Table Order{OrderCell::Count};
  Table Stock{StockCell::Count};
  Table Manuf{ManufCell::Count};
  Table Guest{GuestCell::Count};
  Table ManufStock{ManufStockCell::Count};
  Table Expend{ExpendCell::Count};
  Table Images{ImagesCell::Count};

  // Settings files and category lists of the open database.
  DatabaseSettings settings;

  // Order-number counter: month "yymm" and the next number of that month.
  QString NumStr;
  int num = 1;

  // The open database and the program-wide settings values.
  QString AppPath;        // program folder, ends in "/"
  QString DataBasePath;   // ends in "/"
  QString DataBaseName;
  QString TempPath = QStringLiteral("123");  // "123" = not set
  QString BackupPath;
  int SetView = 1;  // start-up period: 1 all, 2 the year, 3 the month
  bool SystemTray = false;
  bool CheckLacks = false;
  bool HideCost = false;
  bool Rate = false;
  int FontSize = 0;
  QStringList DataBaseList;  // "name" + char(1) + "folder/"

  // Flags. DirtyFlag is shown by the main window's save button.
  bool dirty() const { return dirty_; }
  void setDirty(bool on);
  std::function<void(bool)> onDirtyChanged;
  bool ExpendDirty = false;
  bool SaveOK = false;

  // Files of this database that failed to load; each is kept beside itself
  // as "<name>.damaged-<timestamp>" before the first save replaces it.
  QStringList damagedFiles;

  // The files the saves since the last load wrote into savedFolder: what
  // each was made from and the file it became, so that a save leaves a
  // file whose bytes would not change. Emptied by every load and by a
  // failed save (kept by DataStore).
  struct SavedFile {
    QByteArray source;  // the table's versions, or the text, it was written from
    QByteArray file;    // the file on disk just after the save (device, inode, size, time)
  };
  QString savedFolder;
  std::map<QString, SavedFile> savedFiles;

  // Path of a file in the open database folder (case-insensitive match).
  QString filePath(const QString& name) const;

  // Digits for money results: 0 when Rate is on, else 2.
  int moneyDigits() const { return Rate ? 0 : 2; }

 private:
  bool dirty_ = false;
};
