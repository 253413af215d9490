#include "admin/ImagesForm.h"

#include <QCloseEvent>
#include <QImageReader>
#include <QLabel>

#include "platform/Prompt.h"
#include "platform/SettingsStore.h"
#include "platform/WindowTweaks.h"

namespace {
const QString kSection = QStringLiteral("ImagesForm");
constexpr int kDefaultWidth = 9600;  // twips
constexpr int kDefaultHeight = 7200;
}  // namespace

ImagesForm::ImagesForm(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("檢視圖片"));
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                 Qt::WindowCloseButtonHint);
  setSizeGripEnabled(false);
  pictureLabel = new QLabel(this);
  pictureLabel->setObjectName(QStringLiteral("pictureLabel"));
  pictureLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  pictureLabel->setScaledContents(false);
  pictureLabel->setGeometry(rect());
  Form_Load();
}

bool ImagesForm::showPicture(Prompt& prompt, QWidget* parent, const QString& path) {
  return showPicture(prompt, parent, path, [](ImagesForm& f) { f.exec(); });
}

bool ImagesForm::showPicture(Prompt& prompt, QWidget* parent, const QString& path,
                             const std::function<void(ImagesForm&)>& run) {
  QImageReader reader(path);
  reader.setAutoTransform(true);
  const QImage image = reader.read();
  if (image.isNull()) {
    prompt.error();
    return false;
  }
  ImagesForm viewer(parent);
  viewer.setPicture(QPixmap::fromImage(image));
  run(viewer);
  return true;
}

void ImagesForm::setPicture(const QPixmap& picture) { pictureLabel->setPixmap(picture); }

void ImagesForm::Form_Load() {
  const int state = static_cast<int>(SettingsStore::getNumber(kSection, QStringLiteral("WinState"), 0));
  const int w = static_cast<int>(SettingsStore::getNumber(kSection, QStringLiteral("Width"), kDefaultWidth));
  const int h = static_cast<int>(SettingsStore::getNumber(kSection, QStringLiteral("Height"), kDefaultHeight));
  // The normal size first: resizing a window takes it out of the maximised state.
  resize(WindowTweaks::pixelsFromTwips(w > 0 ? w : kDefaultWidth), WindowTweaks::pixelsFromTwips(h > 0 ? h : kDefaultHeight));
  if (state == 2) setWindowState(windowState() | Qt::WindowMaximized);  // a stored 1 (minimised) opens normal
}

void ImagesForm::Form_Unload() {
  if (unloaded_) return;
  unloaded_ = true;
  const Qt::WindowStates s = windowState();
  const int state = (s & Qt::WindowMinimized) ? 1 : (s & Qt::WindowMaximized) ? 2 : 0;
  SettingsStore::setNumber(kSection, QStringLiteral("WinState"), state);
  if (state == 2) return;
  SettingsStore::setNumber(kSection, QStringLiteral("Width"), WindowTweaks::twipsFromPixels(width()));
  SettingsStore::setNumber(kSection, QStringLiteral("Height"), WindowTweaks::twipsFromPixels(height()));
}

void ImagesForm::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  pictureLabel->setGeometry(rect());
}

void ImagesForm::closeEvent(QCloseEvent* event) {
  Form_Unload();
  QDialog::closeEvent(event);
}

void ImagesForm::done(int result) {
  Form_Unload();
  QDialog::done(result);
}
