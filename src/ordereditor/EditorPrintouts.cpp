#include "ordereditor/EditorPrintouts.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <array>
#include <vector>

#include "ordereditor/OrderInput.h"
#include "platform/ListView.h"
#include "platform/Numbers.h"
#include "printouts/ExportForm.h"
#include "printouts/MailingLabels.h"
#include "printouts/PrintoutCommands.h"
#include "printouts/PrintoutOutput.h"
#include "printouts/ShippingNote.h"
#include "store/Database.h"
#include "store/LineBreaks.h"

namespace EditorPrintouts {

namespace {

std::array<bool, 4> lineFilter(const OrderInput& e) {
  return {e.shipAllLinesAction->isChecked(), e.shipTickedLinesAction->isChecked(),
          e.shipUntickedLinesAction->isChecked(), e.shipSelectedLinesAction->isChecked()};
}

}  // namespace

void shippingNote(Database& db, Prompt& prompt, OrderInput& e) {
  PrintoutOutput::checkTempFolder(db, prompt, &e);
  e.MoneyShow();
  const OrderLines all = e.lines();
  std::vector<bool> selected(all.size(), false);
  for (int r : e.lineList->selectedRows())
    if (r >= 0 && r < static_cast<int>(all.size())) selected[static_cast<size_t>(r)] = true;

  ShippingNote::EditorOrder o;
  o.number = e.numberEdit->text();
  o.date = e.dateEdit->text();
  o.account = e.accountEdit->text();
  o.category = e.customerCategoryEdit->text();
  o.name = e.nameEdit->text();
  o.sex = e.sexEdit->text();
  o.phone = e.phoneEdit->text();
  o.mobile = e.mobileEdit->text();
  o.email = e.emailEdit->text();
  o.bank = e.bankLast5Edit->text();
  o.payDate = e.payDateEdit->text();
  o.shipDate = e.shipDateEdit->text();
  o.fee = e.feeEdit->text();
  o.sellerPays = e.sellerPaysCheck->isChecked();
  o.method = e.methodCombo->currentText();
  o.address = e.addressEdit->text();
  o.note = LineBreaks::forFile(e.noteEdit->toPlainText());
  o.percentOn = e.percentDiscountCheck->isChecked();
  o.percent = e.percentDiscountEdit->text();
  o.amountOn = e.amountDiscountCheck->isChecked();
  o.amount = e.amountDiscountEdit->text();
  for (int i : ShippingNote::filterLines(all, selected, lineFilter(e))) o.lines.push_back(all[static_cast<size_t>(i)]);
  PrintoutOutput::deliverHtml(db, prompt, ShippingNote::editorOrder(db, o, PrintoutCommands::maskPhone()));
}

void mailingLabel(Database& db, Prompt& prompt, OrderInput& e) {
  PrintoutOutput::checkTempFolder(db, prompt, &e);
  MailingLabels::EditorLabel l;
  l.number = e.numberEdit->text();
  l.account = e.accountEdit->text();
  l.name = e.nameEdit->text();
  l.sex = e.sexEdit->text();
  l.phone = e.phoneEdit->text();
  l.mobile = e.mobileEdit->text();
  l.bank = e.bankLast5Edit->text();
  l.address = e.addressEdit->text();
  l.category = e.customerCategoryEdit->text();
  l.note = LineBreaks::forFile(e.noteEdit->toPlainText());
  l.email = e.emailEdit->text();
  l.method = e.methodCombo->currentText();
  l.totalQty = Num::format(e.TotalQty().value_or(0));
  l.receivable = e.ReceivableText();
  l.date = e.dateEdit->text();
  l.payDate = e.payDateEdit->text();
  l.shipDate = e.shipDateEdit->text();
  l.lines = e.lines();
  PrintoutOutput::deliver(db, prompt, &e, MailingLabels::fileName(db.settings.AddrFileExt),
                          MailingLabels::editorLabel(db, l, PrintoutCommands::maskPhone()));
}

void exportLines(Database& db, Prompt& prompt, OrderInput& e) {
  ExportForm::run(db, prompt, &e, 5, QString::fromLatin1(OrderInput::Section), *e.lineList,
                  ExportForm::listOffers(*e.lineList, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
}

}  // namespace EditorPrintouts
