#pragma once
// The picture viewer "檢視圖片": one product picture at its own size in a
// sizable window that remembers its size and state. Openers resolve the
// picture file first and report a missing one ("找不到圖片檔案!") themselves.
//
//   ImagesForm::showPicture(prompt_, this, path);   // modal; false when the picture could not be shown
#include <QString>

class Prompt;
class QWidget;

namespace ImagesForm {

// Shows the picture file modal over parent. A file that cannot be decoded
// says "發生錯誤!" and returns false.
bool showPicture(Prompt& prompt, QWidget* parent, const QString& path);

}  // namespace ImagesForm
