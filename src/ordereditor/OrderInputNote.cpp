#include "ordereditor/OrderInputNote.h"

#include <QPlainTextEdit>
#include <QScreen>
#include <QVBoxLayout>

#include "store/TextEntry.h"

OrderInputNote::OrderInputNote(QPlainTextEdit* target, QWidget* parent, Prompt* prompt)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint),
      target_(target),
      prompt_(prompt) {
  setWindowTitle(QStringLiteral("備註"));
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  Text1 = new QPlainTextEdit(this);
  QFont f = Text1->font();
  f.setFamily(QStringLiteral("新細明體"));
  Text1->setFont(f);
  layout->addWidget(Text1);
  setFixedSize(520, 380);
  if (target_) Text1->setPlainText(target_->toPlainText());
  if (const QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());
}

void OrderInputNote::done(int result) {
  if (prompt_ && !TextEntry::acceptable(*prompt_, {{QStringLiteral("備註"), Text1->toPlainText()}})) return;
  if (target_) target_->setPlainText(Text1->toPlainText());
  QDialog::done(result);
}
