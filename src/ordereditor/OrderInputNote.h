#pragma once
// The order editor's larger note window "備註": one box that fills it.
// However it is closed, its text goes back into the editor's note box;
// text holding a character code page 950 cannot hold is refused (with the
// prompt given) and the window stays open.
#include <QDialog>

class Prompt;
class QPlainTextEdit;

class OrderInputNote : public QDialog {
  Q_OBJECT
 public:
  // Shows target's text; on closing writes the edited text back into it.
  explicit OrderInputNote(QPlainTextEdit* target, QWidget* parent = nullptr, Prompt* prompt = nullptr);

  QPlainTextEdit* noteEdit;

  void done(int result) override;

 private:
  QPlainTextEdit* target_;
  Prompt* prompt_;
};
