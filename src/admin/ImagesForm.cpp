#include "admin/ImagesForm.h"

#include <QImageReader>

#include "platform/Prompt.h"
#include "platform/WindowTweaks.h"

namespace ImagesForm {

bool showPicture(Prompt& prompt, QWidget* parent, const QString& path) {
  QImageReader reader(path);
  if (!reader.canRead()) {
    prompt.error();
    return false;
  }
  // The viewer window of its own lands with the about box.
  WindowTweaks::showPictureWindow(parent, path, QStringLiteral("檢視圖片"));
  return true;
}

}  // namespace ImagesForm
