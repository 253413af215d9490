#pragma once
// The picture viewer "檢視圖片": one product picture at its own size from
// the top-left corner of a sizable window, without scaling or scroll bars
// (what does not fit is cut off; growing the window shows more). It
// remembers its size and state (section "ImagesForm": "WinState", "Width",
// "Height" in twips). Openers resolve the picture file first and report a
// missing one ("找不到圖片檔案!") themselves:
//
//   ImagesForm::showPicture(prompt_, this, path);   // modal; false when the picture could not be shown
#include <QDialog>
#include <QPixmap>
#include <QString>
#include <functional>

class Prompt;
class QLabel;

class ImagesForm : public QDialog {
  Q_OBJECT
 public:
  explicit ImagesForm(QWidget* parent = nullptr);

  // Shows the picture file modal over parent. A file that cannot be decoded
  // (a format the viewer cannot read, a damaged file) says "發生錯誤!",
  // opens nothing and returns false.
  static bool showPicture(Prompt& prompt, QWidget* parent, const QString& path);
  // The same, with the modal run handed in (tests drive the window instead).
  static bool showPicture(Prompt& prompt, QWidget* parent, const QString& path,
                          const std::function<void(ImagesForm&)>& run);

  void setPicture(const QPixmap& picture);

  // Window state, then width and height from the settings store.
  void Form_Load();
  // Stores the state, and the size unless the window is maximised.
  void Form_Unload();

  QLabel* pictureLabel;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void done(int result) override;

 private:
  bool unloaded_ = false;
};
