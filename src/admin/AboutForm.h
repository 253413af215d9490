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
  void Command1_Click();  // 確定(&O)
  void Command3_Click();  // 連絡作者

  QLabel* Image1;
  QLabel* Label1;
  QLabel* Label2;
  QLabel* Label3;
  QLabel* Label4;
  QPushButton* Command1;
  QPushButton* Command3;

 private:
  QString version_;
  Prompt& prompt_;
};
