#pragma once
// Saving the product dialog (ManufInput "儲存") without its window: new and
// changed products with their categories and pictures, renames carried into
// order lines and purchase records, and order lines typed or changed in the
// dialog, which move stock at once.
#include <QString>
#include <array>

#include "models/OrderEditorLines.h"

class Database;
class Prompt;

namespace ProductSave {

enum Mode : int { NewProduct = 1, EditProduct = 2, NewLine = 3, EditLine = 4 };

// Texts the remaining-stock label shows when the line's product is not listed.
inline const char* const kNotListed = "商品清單內無此項商品";

// The dialog's boxes as the save reads them. The save cleans them in place
// (numbers rewritten, quotes dropped); they keep that even when it stops.
struct Fields {
  QString name;       // nameEdit
  QString category;   // categoryCombo
  QString price;      // priceEdit
  QString cost;       // costEdit
  QString stock;      // stockEdit
  QString note;       // noteEdit
  QString safety;     // safetyStockEdit
  QString weight;     // weightEdit
  QString qty;        // qtyEdit
  QString url;        // urlEdit
  QString picture = QStringLiteral("無");  // picturePathLabel: a full path, or "無"
  QString remaining;  // remainingLabel (edit-line mode)
  bool addToList = false;  // addToListCheck (new-line mode)
  // Confirmation switches chk1..chk6 (index 0 unused): name or category,
  // price, cost, stock, safety stock, note.
  std::array<bool, 7> confirm{false, true, false, false, false, false, false};
};

struct Result {
  bool saved = false;         // the dialog closes; the unsaved-changes flag is set
  bool categoryAdded = false; // a new entry at the end of ProductCategories
  int manufRow = 0;           // the product row written (modes 1 and 2)
};

// mode: Mode; selEdit: the Manuf row edited in mode 2; lines and editLine:
// the order editor's lines and the line edited in mode 4 (lines may be null
// in modes 1 and 2). Every question is asked before anything is written.
Result save(Database& db, Prompt& prompt, int mode, int selEdit, Fields& f, OrderEditorLines* lines,
            int editLine = -1);

// Free text as stored: every '"' and "”" removed.
QString cleanText(const QString& text);

}  // namespace ProductSave
