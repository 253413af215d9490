#include "ordereditor/EditorPickers.h"

#include "admin/CateForm.h"
#include "admin/CategoryEdit.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>

#include "customers/GuestForm.h"
#include "customers/GuestInput.h"
#include "ordereditor/OrderInput.h"
#include "platform/ListView.h"
#include "products/ListViewOrderLines.h"
#include "products/ManufForm.h"
#include "purchasing/ManufInput.h"

namespace {

template <class W>
int closeModeless() {
  int closed = 0;
  for (QWidget* w : QApplication::topLevelWidgets()) {
    auto* window = qobject_cast<W*>(w);
    if (window && window->isVisible() && !window->isModal()) {
      window->close();
      ++closed;
    }
  }
  return closed;
}

}  // namespace

int EditorPickers::closeModelessProductWindows() { return closeModeless<ManufForm>(); }
int EditorPickers::closeModelessCustomerWindows() { return closeModeless<GuestForm>(); }

void EditorPickers::openProductPicker(OrderInput& editor) {
  closeModelessProductWindows();
  ListViewOrderLines lines(*editor.lineList);
  ManufForm picker(db_, prompt_, &editor);
  picker.setOrderPickerUse(&lines);
  picker.setCategoryEditor([this, &picker] {
    CateForm::edit(db_, prompt_, CategoryEdit::Kind::Product, &picker);
    picker.refillCategoryFilter();
  });
  picker.exec();
}

void EditorPickers::addLineThroughDialog(OrderInput& editor) {
  ListViewOrderLines lines(*editor.lineList);
  ManufInput dlg(db_, prompt_, &editor);
  dlg.viewPicture = viewPicture;
  dlg.prepareNewLine(&lines);
  dlg.exec();
}

bool EditorPickers::editLine(OrderInput& editor, int line) {
  if (line < 0 || line >= editor.lineList->rowCount()) return false;
  ListViewOrderLines lines(*editor.lineList);
  ManufInput dlg(db_, prompt_, &editor);
  dlg.viewPicture = viewPicture;
  dlg.prepareEditLine(&lines, line);
  dlg.exec();
  return true;
}

void EditorPickers::openCustomerPicker(OrderInput& editor) {
  closeModelessCustomerWindows();
  GuestForm picker(db_, prompt_, &editor);
  picker.onCategoriesEdited = onCustomerCategoriesEdited;
  picker.openAsPicker(editor.accountEdit->text(), editor.customerCategoryEdit->text(), editor.customerSink());
}

void EditorPickers::openCustomerDialog(OrderInput& editor) {
  const bool editExisting = editor.customerButton->text() == QStringLiteral("編輯客戶");
  GuestInput::runForEditor(db_, prompt_, &editor, editExisting, editor.accountEdit->text(),
                           editor.customerCategoryEdit->text(), editor.customerSink());
}
