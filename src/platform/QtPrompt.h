#pragma once
// Prompt shown as real dialogs.
#include <QPointer>
#include <QWidget>

#include "platform/Prompt.h"

class QtPrompt : public Prompt {
 public:
  explicit QtPrompt(QWidget* parent = nullptr) : parent_(parent) {}
  void setParent(QWidget* parent) { parent_ = parent; }

  Answer message(const QString& text, Icon icon, Buttons buttons, const QString& title) override;
  std::optional<QString> input(const QString& text, const QString& title, const QString& initial,
                               bool password) override;
  QString openFile(const QString& title, const QString& filter, const QString& folder) override;
  QString saveFile(const QString& title, const QString& filter, const QString& folder,
                   const QString& fileName) override;
  QString pickFolder(const QString& title, const QString& folder) override;

  // A message whose lines set their parts apart by tabs (a table of codes
  // and meanings) as a two-column rich-text table: a label's tab stops are
  // not the ones the text was lined up for, and it would wrap the lines.
  // Empty for a text without a tab.
  static QString tabTable(const QString& text);

 private:
  QPointer<QWidget> parent_;
};
