#pragma once
// A dialog without a close command: no close button in its title bar, the
// window manager's close and Esc are refused. It is left only through its
// own buttons, which end it with done()/accept()/reject() or closeByProgram().
#include <QDialog>

class NoCloseDialog : public QDialog {
  Q_OBJECT
 public:
  explicit NoCloseDialog(QWidget* parent = nullptr, Qt::WindowFlags flags = {});

  // Closes the window as the program's own decision (like Unload Me).
  void closeByProgram();
  void done(int result) override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  bool closing_ = false;
};
