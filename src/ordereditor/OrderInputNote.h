#pragma once
// The order editor's larger note window "備註": one box that fills it.
// However it is closed, its text goes back into the editor's note box.
#include <QDialog>

class QPlainTextEdit;

class OrderInputNote : public QDialog {
  Q_OBJECT
 public:
  // Shows target's text; on closing writes the edited text back into it.
  explicit OrderInputNote(QPlainTextEdit* target, QWidget* parent = nullptr);

  QPlainTextEdit* Text1;

  void done(int result) override;

 private:
  QPlainTextEdit* target_;
};
