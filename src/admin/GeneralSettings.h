#pragma once
// The general settings dialog without its window: what its controls show
// when it opens, the restore values, the rules of its boxes (the two width
// percentages, the column percentages, the shipping-method names), and OK:
// every field converted and checked first, then the database's settings
// files written together, and only then the settings taken over in memory
// and in the settings store.
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

#include "store/Database.h"

class Prompt;

namespace GeneralSettings {

// The font sizes of the drop-down list "列表字形大小".
QStringList fontEntries();
// The 18 header rows of the shipping note (noteFieldList) and its 9 product
// columns (noteColumnList).
QStringList noteFieldNames();
QStringList noteColumnNames();
// The text of the placeholder help box (title "格式代號").
QString placeholderHelp();

// The entry for the main list's font size as read back: sizes up to 16
// rounded to a whole number (halves to even), 18, 20, 22 and 24 also when
// the platform realised them a little off (20.25, 21.75); else the first.
int fontEntryIndex(double size);

// What the controls hold.
struct Values {
  int SetView = 0;  // the selected start-view option 1 to 3; 0 none
  bool SystemTray = false;
  bool CheckLacks = false;
  bool HideCost = false;
  bool Rate = false;
  int fontEntry = -1;          // position in fontEntries(), -1 none
  QString AddrTemplate;        // labelTemplateEdit
  bool addrText = true;        // labelAsTextOption "記事本開啟(純文字)", else labelAsHtmlOption
  QString NoteTitle;           // noteTitleEdit
  QString NoteShopInfo;        // shopInfoEdit
  QString NoteShopPct;         // buyerPercentEdit (shopPercentEdit shows 100 minus it)
  QString NoteWidth;           // noteWidthEdit
  bool NoteSeparators = false; // noteSeparatorCheck
  std::array<bool, 18> NoteFields{};  // ticks of noteFieldList
  QStringList NoteColPct;      // the percent cells of noteColumnList, nine
  QStringList CarryList;       // shippingMethodList
};

// The controls as the dialog opens on the current settings.
Values load(const Database& db, double listFontSize);
// "還原預設值": every control but the label file type back to its restore value.
void restoreDefaults(Values& v);

// A width-percentage box after a change: the decimal form of its leading
// number, at most "100". The other box shows 100 minus it.
QString percentBoxText(const QString& typed);
QString otherPercentBoxText(const QString& boxText);

// The column percentages: the most row `row` may take, 100 minus the others.
double maxPercent(const QStringList& cells, int row);
// The cell for an answer to the percentage question; nullopt when it is
// above the maximum ("已超出最大值!"). Below 0 gives "0".
std::optional<QString> percentCell(const QString& answer, double maximum);

// A shipping-method name as the list keeps it: without ",", double quotes and "”".
QString cleanMethodName(const QString& name);

// OK's conversions, before anything is taken over.
struct Taken {
  DatabaseSettings settings;
  int SetView = 1;
  bool SystemTray = false;
  bool CheckLacks = false;
  bool HideCost = false;
  bool Rate = false;
  QString fontSize;  // the entry's text, "11" when none is chosen
};
// nullopt when a field cannot be stored (a width outside -32768 to 32767,
// a percentage outside 0 to 255, more than 50 methods).
std::optional<Taken> take(const Database& db, const Values& v);

// Writes the settings files (all or nothing), then takes the settings over
// into db and stores the switches, the font size and the column-width
// repairs in the settings store. False, with nothing changed, when the
// files could not be written.
bool store(Database& db, Prompt& prompt, Taken taken);

}  // namespace GeneralSettings
