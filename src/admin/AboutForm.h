#pragma once
// The about box "關於Kestrin": the program's name and version, a short
// notice, where its manual is and how to get help. "連絡作者" opens the
// manual shipped with the program (its last section says where to ask).
#include <QDialog>
#include <QString>

class Prompt;
class QLabel;
class QPushButton;

class AboutForm : public QDialog {
  Q_OBJECT
 public:
  // version: the version text the main window shows in its title.
  AboutForm(const QString& version, Prompt& prompt, QWidget* parent = nullptr);

  // The manual page shipped with the program (installed beside it or in the
  // source tree); "" when it cannot be found.
  static QString manualPage();
  // The same for a program in programFolder: the manual installed with it
  // (share/kestrin/docs beside its bin folder), else the source tree's.
  static QString manualPage(const QString& programFolder);

  void Form_Load();
  void onOk();
  void onContact();

  QLabel* logoLabel;
  QLabel* titleLabel;
  QLabel* noticeLabel;
  QLabel* manualLabel;
  QLabel* helpLabel;
  QPushButton* okButton;
  QPushButton* contactButton;

 private:
  QString version_;
  Prompt& prompt_;
};
