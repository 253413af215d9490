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
  return {e.Shipped_1->isChecked(), e.Shipped_2->isChecked(), e.Shipped_3->isChecked(), e.Shipped_4->isChecked()};
}

}  // namespace

void shippingNote(Database& db, Prompt& prompt, OrderInput& e) {
  PrintoutOutput::checkTempFolder(db, prompt, &e);
  e.MoneyShow();
  const OrderLines all = e.lines();
  std::vector<bool> selected(all.size(), false);
  for (int r : e.Liv1->selectedRows())
    if (r >= 0 && r < static_cast<int>(all.size())) selected[static_cast<size_t>(r)] = true;

  ShippingNote::EditorOrder o;
  o.number = e.Text10->text();
  o.date = e.Text2->text();
  o.account = e.Text13->text();
  o.category = e.Text14->text();
  o.name = e.Text1->text();
  o.sex = e.Text19->text();
  o.phone = e.Text3->text();
  o.mobile = e.Text6->text();
  o.email = e.Text7->text();
  o.bank = e.Text8->text();
  o.payDate = e.Text17->text();
  o.shipDate = e.Text15->text();
  o.fee = e.Text4->text();
  o.sellerPays = e.Check3->isChecked();
  o.method = e.Combo1->currentText();
  o.address = e.Text9->text();
  o.note = LineBreaks::forFile(e.Text5->toPlainText());
  o.percentOn = e.Check4->isChecked();
  o.percent = e.Text16->text();
  o.amountOn = e.Check5->isChecked();
  o.amount = e.Text18->text();
  for (int i : ShippingNote::filterLines(all, selected, lineFilter(e))) o.lines.push_back(all[static_cast<size_t>(i)]);
  PrintoutOutput::deliverHtml(db, prompt, ShippingNote::editorOrder(db, o, PrintoutCommands::maskPhone()));
}

void mailingLabel(Database& db, Prompt& prompt, OrderInput& e) {
  PrintoutOutput::checkTempFolder(db, prompt, &e);
  MailingLabels::EditorLabel l;
  l.number = e.Text10->text();
  l.account = e.Text13->text();
  l.name = e.Text1->text();
  l.sex = e.Text19->text();
  l.phone = e.Text3->text();
  l.mobile = e.Text6->text();
  l.bank = e.Text8->text();
  l.address = e.Text9->text();
  l.category = e.Text14->text();
  l.note = LineBreaks::forFile(e.Text5->toPlainText());
  l.email = e.Text7->text();
  l.method = e.Combo1->currentText();
  l.totalQty = Num::format(e.TotalQty().value_or(0));
  l.receivable = e.ReceivableText();
  l.date = e.Text2->text();
  l.payDate = e.Text17->text();
  l.shipDate = e.Text15->text();
  l.lines = e.lines();
  PrintoutOutput::deliver(db, prompt, &e, MailingLabels::fileName(db.settings.AddrFileExt),
                          MailingLabels::editorLabel(db, l, PrintoutCommands::maskPhone()));
}

void exportLines(Database& db, Prompt& prompt, OrderInput& e) {
  ExportForm::run(db, prompt, &e, 5, QString::fromLatin1(OrderInput::Section), *e.Liv1,
                  ExportForm::listOffers(*e.Liv1, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
}

}  // namespace EditorPrintouts
