#pragma once
#include <memory>
// The product dialog "商品": one product of the product list, or one line of
// the order open in the order editor, typed or changed.
//
// Modes (SelState): 1 new product, 2 edit product (row SelEdit), 3 new order
// line, 4 edit order line. An opener creates the dialog, calls one prepare
// function and exec()s it; the dialog saves through ProductSave and closes
// itself. The order editor:
//   - "新增" (direct line): prepareNewLine(&lines); exec(); then MoneyShow and
//     select the last line;
//   - line edit: prepareEditLine(&lines, current line); exec(); then MoneyShow.
#include <QDialog>
#include <QImage>
#include <functional>

#include "models/OrderEditorLines.h"
#include "purchasing/ProductSave.h"

class Database;
class Prompt;
class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class ProductPicture;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPlainTextEdit;
class QPushButton;

class ManufInput : public QDialog {
  Q_OBJECT
 public:
  ManufInput(Database& db, Prompt& prompt, QWidget* parent = nullptr);
  ~ManufInput() override;

  int SelState = 1;
  int SelEdit = 0;
  // Keeps the product window in step after a product is saved: its opener
  // hands these in. productAdded follows a new product (mode 1) with its
  // category, productEdited an edited one (mode 2) with its Manuf row; both
  // tell whether the save added the category.
  std::function<void(const QString& category, bool categoryAdded)> productAdded;
  std::function<void(int manufRow, bool categoryAdded)> productEdited;

  // Openers.
  void prepareNewProduct(const QString& filterText);
  void prepareCopy(int manufRow, const QString& filterText);
  void prepareEditProduct(int manufRow, bool pickerUse);
  void prepareNewLine(OrderEditorLines* lines);
  void prepareEditLine(OrderEditorLines* lines, int line);

  // The purchase button's dialog (the purchase and return dialog unless an
  // opener puts another) and the picture viewer, for the windows that
  // provide one; without a viewer a plain one is shown.
  std::function<void(ManufInput&)> openPurchase;
  std::function<void(const QString& path)> viewPicture;

  // Handlers.
  void onSave();
  void onAddOrRemovePicture();
  void onThumbnailClicked();
  void onQtyChanged();

  // Loads the file named by picturePathLabel and fits it into the thumbnail.
  void ShowProductPicture();
  // The boxes as the save reads them, and back.
  ProductSave::Fields fields() const;
  void setFields(const ProductSave::Fields& f);

  double OldQty = 1;  // the quantity last seen, for the remaining-stock figure

  // Controls.
  QLabel *headingLabel, *nameLabel, *categoryLabel, *priceLabel, *costLabel, *qtyLabel, *urlLabel, *stockLabel,
      *pictureCaptionLabel, *picturePathLabel, *safetyStockLabel, *remainingCaptionLabel, *remainingLabel, *noteLabel,
      *weightLabel;
  QLineEdit *qtyEdit, *nameEdit, *priceEdit, *costEdit, *urlEdit, *stockEdit, *safetyStockEdit, *weightEdit;
  QPlainTextEdit* noteEdit;
  QComboBox* categoryCombo;
  QCheckBox* addToListCheck;
  QFrame* pictureFrame;
  QLabel* thumbnailLabel;  // the picture; a click shows it whole
  QPushButton *saveButton, *cancelButton, *purchaseReturnButton, *pictureButton;
  QMenuBar* MenuBar;
  QMenu* confirmMenu;
  QAction* confirmActions[7];  // 1..6

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void fillCategories();
  void loadPicture(const QString& name, const QString& category);
  void fillFromProduct(int manufRow);
  void resetThumbnail();
  void setLineRowsVisible(bool on);
  void setStockRowsVisible(bool on);

  Database& db_;
  Prompt& prompt_;
  OrderEditorLines* lines_ = nullptr;
  int editLine_ = -1;
  std::unique_ptr<ProductPicture> picture_;  // draws into thumbnailLabel and sizes pictureFrame
};
