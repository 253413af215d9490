#pragma once
// The field chooser "匯出到記事本": the user ticks the columns of a list to
// export, orders them and picks the separator; "匯出" writes the rows into
// "temp.txt" in the temporary-file folder and shows it in the program's
// text viewer. Nine windows feed it; each passes its source number `ex`,
// its settings section (where the last choice is kept), its list and the
// columns it offers:
//
//   ExportForm::run(db_, prompt_, this, 7, QStringLiteral("ManufStock"), *Liv1,
//                   ExportForm::listOffers(*Liv1, {0, 1, 2, 3, 4, 5, 6, 7}));
//
// Sources 1 to 4 export the selected rows, the others every row. Codes
// 0..n are the list's key text and cells; the order list (ex 1) has codes
// of its own for order lines, customer fields and the fee bearer.
#include <QDialog>
#include <QString>
#include <vector>

class Database;
class ListView;
class Prompt;

struct ExportOffer {
  QString caption;
  int code = 0;
};

class ExportForm : public QDialog {
  Q_OBJECT
 public:
  ExportForm(Database& db, Prompt& prompt, QWidget* parent = nullptr);
  ~ExportForm() override;

  // The offer of a plain list: the captions of the given columns with codes
  // 0, 1, 2, ... in that order.
  static std::vector<ExportOffer> listOffers(const ListView& list, const std::vector<int>& columns);

  // A feeder's whole call: fills the chooser with the offers, restores the
  // section's saved choice, sets ex, shows it modal over parent and returns
  // when it has closed.
  static void run(Database& db, Prompt& prompt, QWidget* parent, int ex, const QString& section,
                  const ListView& source, const std::vector<ExportOffer>& offers);

 private:
  Database& db_;
  Prompt& prompt_;
};
