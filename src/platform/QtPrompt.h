#pragma once
// Prompt shown as real dialogs.
//
// Every box and file dialog is owned by the window that asks: the active
// window of the command that runs. Closing it returns the seller to that
// window, in front and focused, and lets the screen catch up before the
// command goes on (PendingPaint). While no window is active (the window
// system has not yet handed the focus back after a box or a dialog that
// closed, or the seller is in another program), the window that was active
// last stands in, then the modal dialog in front, then the window given here
// (the main window). A hidden or minimised window hands the role to the
// window that owns it; the prompt's own dialogs and windows that take no
// focus (the "請稍等" window) never get it, nor does a window a modal dialog
// blocks. With none of them showing (start-up, exit), a box has no owner.
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>

#include "platform/Prompt.h"

class QDialog;

class QtPrompt : public Prompt {
 public:
  explicit QtPrompt(QWidget* parent = nullptr);
  ~QtPrompt() override;
  void setParent(QWidget* parent) { parent_ = parent; }

  Answer message(const QString& text, Icon icon, Buttons buttons, const QString& title) override;
  std::optional<QString> input(const QString& text, const QString& title, const QString& initial,
                               bool password) override;
  QString openFile(const QString& title, const QString& filter, const QString& folder) override;
  QString saveFile(const QString& title, const QString& filter, const QString& folder,
                   const QString& fileName) override;
  QString pickFolder(const QString& title, const QString& folder) override;

  // The window that owns what is asked now (see above); null for none.
  QWidget* owner() const;

  // A message whose lines set their parts apart by tabs (a table of codes
  // and meanings) as a two-column rich-text table: a label's tab stops are
  // not the ones the text was lined up for, and it would wrap the lines.
  // Empty for a text without a tab.
  static QString tabTable(const QString& text);

 private:
  // Shows dialog (made with the owner as its parent) modal and returns its
  // result, after `read` took the answer from it; then deletes it and goes
  // back to the owner. A dialog that went with its owner meanwhile is
  // rejected.
  int ask(QDialog* dialog, const std::function<void()>& read = {});

  QPointer<QWidget> parent_;
  QPointer<QWidget> lastActive_;  // the window that was active last
  std::unique_ptr<QObject> focusWatch_;
};
