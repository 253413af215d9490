#pragma once
// Our plain-text window for the text exports ("temp.txt"): reads the file as
// code page 950, lets the user edit it, save it under another name (code
// page 950, CR LF) and print it. Linux editors do not read code page 950
// reliably, so the program shows its text files here.
#include <QMainWindow>
#include <QString>
#include <memory>

class QPlainTextEdit;
class Prompt;

class TextViewer : public QMainWindow {
  Q_OBJECT
 public:
  // Without a prompt the window shows real dialogs.
  explicit TextViewer(QWidget* parent = nullptr, Prompt* prompt = nullptr);
  ~TextViewer() override;

  // Shows a file in a new modeless window that deletes itself when closed.
  // Returns the window, or nullptr when the file could not be read (nothing
  // is shown; the caller tells the user).
  static TextViewer* showFile(const QString& path, QWidget* parent = nullptr, Prompt* prompt = nullptr);

  // Loads a file. A file that cannot be read gives false and "發生錯誤!";
  // bytes that are not code page 950 are dropped and the rest is shown.
  bool openFile(const QString& path);
  // The same without the message.
  bool loadFile(const QString& path);
  QString filePath() const { return path_; }

  QString text() const;  // lines end in "\n"
  void setText(const QString& text);
  QPlainTextEdit* editor() const { return edit_; }

  // Writes the text to path in code page 950 with CR LF line ends, through
  // an atomic replace. Characters code page 950 cannot hold are written as
  // "?" and the user is told so. False (with "發生錯誤!") when writing failed.
  bool saveTo(const QString& path);

 public Q_SLOTS:
  void saveAs();  // asks for a file name, then saveTo()
  void print();   // print dialog, then prints the text

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void updateTitle();
  std::unique_ptr<Prompt> ownPrompt_;
  Prompt* prompt_;
  QPlainTextEdit* edit_;
  QString path_;
};
