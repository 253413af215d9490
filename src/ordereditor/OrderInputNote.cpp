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
  noteEdit = new QPlainTextEdit(this);
  QFont f = noteEdit->font();
  f.setFamily(QStringLiteral("新細明體"));
  noteEdit->setFont(f);
  layout->addWidget(noteEdit);
  setFixedSize(520, 380);
  if (target_) noteEdit->setPlainText(target_->toPlainText());
  if (const QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());
}

void OrderInputNote::done(int result) {
  if (prompt_ && !TextEntry::acceptable(*prompt_, {{QStringLiteral("備註"), noteEdit->toPlainText()}})) return;
  if (target_) target_->setPlainText(noteEdit->toPlainText());
  QDialog::done(result);
}
