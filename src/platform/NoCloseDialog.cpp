#include "platform/NoCloseDialog.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QShowEvent>

NoCloseDialog::NoCloseDialog(QWidget* parent, Qt::WindowFlags flags) : QDialog(parent, flags) {
  setWindowFlags((windowFlags() | Qt::CustomizeWindowHint | Qt::WindowTitleHint) & ~Qt::WindowCloseButtonHint &
                 ~Qt::WindowContextHelpButtonHint);
}

void NoCloseDialog::closeByProgram() {
  closing_ = true;
  close();
}

void NoCloseDialog::done(int result) {
  closing_ = true;
  QDialog::done(result);
}

void NoCloseDialog::closeEvent(QCloseEvent* event) {
  if (!closing_) {
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}

void NoCloseDialog::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

void NoCloseDialog::showEvent(QShowEvent* event) {
  closing_ = false;  // each showing is protected again
  QDialog::showEvent(event);
}
