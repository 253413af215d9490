#pragma once
// The field chooser "匯出到記事本": the user ticks the columns of a list to
// export, orders them and picks the separator; "匯出" writes the rows into
// "temp.txt" in the temporary-file folder and shows it in the program's
// text viewer. Nine windows feed it; each passes its source number `ex`,
// its settings section (where the last choice is kept), its list and the
// columns it offers:
//
//   ExportForm::run(db_, prompt_, this, 7, QStringLiteral("ManufStock"), *recordList,
//                   ExportForm::listOffers(*recordList, {0, 1, 2, 3, 4, 5, 6, 7}));
//
// Sources 1 to 4 export the selected rows, the others every row. Codes
// 0..n are the list's key text and cells; the order list (ex 1) has codes
// of its own for order lines, customer fields and the fee bearer
// (ExportForm::orderListOffers()).
#include <QDialog>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "printouts/ExportText.h"

class Database;
class ListView;
class Prompt;
class QPushButton;
class QRadioButton;

class ExportForm : public QDialog {
  Q_OBJECT
 public:
  ExportForm(Database& db, Prompt& prompt, QWidget* parent = nullptr);
  ~ExportForm() override;

  // The offer of a plain list: the captions of the given columns with codes
  // 0, 1, 2, ... in that order.
  static std::vector<ExportOffer> listOffers(const ListView& list, const std::vector<int>& columns);
  // The order list's offer (ex 1): its columns, the customer's fields, the
  // order lines' fields and the fee bearer.
  static std::vector<ExportOffer> orderListOffers() { return ExportText::orderListOffers(); }

  // The rows of a list as the export reads them. The selection is read once:
  // asking the list row by row costs a pass over its selection per row.
  static ExportText::Source sourceOf(const ListView& list);

  // A feeder's whole call: fills the chooser with the offers, restores the
  // section's saved choice, sets ex, shows it modal over parent and returns
  // when it has closed.
  static void run(Database& db, Prompt& prompt, QWidget* parent, int ex, const QString& section,
                  const ListView& source, const std::vector<ExportOffer>& offers);
  // Shows the filled chooser; empty means exec(). Tests drive it instead.
  static std::function<void(ExportForm&)> showHook;

  // Fills fieldList and fieldCodes from the offers and restores the saved
  // choice of section; no row highlighted.
  void fill(const QString& section, const std::vector<ExportOffer>& offers);
  void setSource(const ListView* source) { source_ = source; }

  // The rows as they stand: caption, code, tick.
  std::vector<ExportText::Field> fields() const;
  // The highlighted row, -1 for none.
  int highlightedRow() const;

  // ---- handlers ----
  void onExport();
  void onCancel();
  void onSelectAll();  // 全選 / 取消全部
  void onMoveUp();
  void onMoveDown();
  void onFieldTicked(int row);

  // ---- public state and controls ----
  qint16 ex = 0;
  ListView* fieldList;           // the captions with their tick boxes
  QStringList fieldCodes;        // the codes, parallel to fieldList
  QRadioButton* commaOption;     // 逗點 (,)
  QRadioButton* tabOption;       // Tab (09h)
  QPushButton* exportButton;     // 匯出
  QPushButton* cancelButton;     // 取消
  QPushButton* selectAllButton;  // 全選 / 取消全部
  QPushButton* moveUpButton;     // ↑
  QPushButton* moveDownButton;   // ↓

  inline static const QString NoFieldText = QStringLiteral("請勾選要匯出的資料欄位。");

 private:
  void setFields(const std::vector<ExportText::Field>& fields);
  void moveHighlighted(int step);
  Database& db_;
  Prompt& prompt_;
  QString section_;
  const ListView* source_ = nullptr;
  bool ruling_ = false;  // the tick rule is changing ticks
};
