#pragma once
// The progress window of loading and saving: "請稍等", a label and a bar from
// 0 to 100. Shown not modal and without taking the focus; each showing
// starts from the designed text and an empty bar, and closing it unloads it.
#include <QDialog>
#include <QPointer>
#include <QString>

#include "store/Progress.h"

class QLabel;
class QProgressBar;
class QWidget;

class LoadForm : public Progress {
 public:
  explicit LoadForm(QWidget* owner = nullptr) : owner_(owner) {}
  ~LoadForm() override;

  // Returns once the window is on the screen, painted (PendingPaint), so
  // that it shows while the work that follows holds the program.
  void show(const QString& label) override;
  void setLabel(const QString& text) override;
  void setValue(int value) override;
  void close() override;

  // The window while it is shown, else null.
  QDialog* window() const { return window_; }
  QLabel* messageLabel() const { return label_; }
  QProgressBar* progressBar() const { return bar_; }

 private:
  QPointer<QWidget> owner_;
  QPointer<QDialog> window_;
  QLabel* label_ = nullptr;
  QProgressBar* bar_ = nullptr;
};
