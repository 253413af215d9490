#include "printouts/PrintoutOutput.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QWidget>

#include "admin/SetAtuoBackupForm.h"
#include "platform/Codec.h"
#include "platform/Prompt.h"
#include "platform/Shell.h"
#include "printouts/HtmlText.h"
#include "printouts/PrintoutFile.h"
#include "printouts/TextViewer.h"
#include "store/Database.h"

namespace PrintoutOutput {

namespace {

// A viewer opened while a modal dialog runs belongs to that dialog, or it
// could not be used before the dialog closes; when the dialog finishes it
// moves on to the window under it, so it outlives the dialog.
void followModal(TextViewer* viewer, QDialog* dialog) {
  QObject::connect(dialog, &QDialog::finished, viewer, [viewer, dialog] {
    QWidget* under = dialog->parentWidget() ? dialog->parentWidget()->window() : nullptr;
    const QRect where = viewer->geometry();
    viewer->setParent(under, viewer->windowFlags());
    viewer->setGeometry(where);
    viewer->show();
    if (auto* next = qobject_cast<QDialog*>(under); next && next->isModal()) followModal(viewer, next);
  });
}

bool showViewer(const QString& path, QWidget* owner) {
  QWidget* modal = QApplication::activeModalWidget();
  QWidget* root = owner;
  while (root && root->parentWidget()) root = root->parentWidget();
  QWidget* parent = modal ? modal : root;
  TextViewer* viewer = TextViewer::showFile(path, parent);
  if (!viewer) return false;
  if (auto* dialog = qobject_cast<QDialog*>(modal)) followModal(viewer, dialog);
  return true;
}

}  // namespace

std::function<void(Database&, Prompt&, QWidget*)> askTempFolder;
std::function<bool(const QString&, QWidget*)> showText;

QString notShownText(const QString& path) {
  return QStringLiteral("無法顯示檔案。\n檔案存放在：\n%1\n請用其他方式開啟或列印。")
      .arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()));
}

void checkTempFolder(Database& db, Prompt& prompt, QWidget* owner) {
  if (PrintoutFile::tempFolderUsable(db)) return;
  db.TempPath.clear();
  if (askTempFolder) {
    askTempFolder(db, prompt, owner);
    return;
  }
  SetAtuoBackupForm dlg(db, prompt, owner);
  dlg.setTempMode();
  dlg.Form_Load();
  dlg.exec();
}

bool deliverHtml(Database& db, Prompt& prompt, const QString& page) {
  const QString path = PrintoutFile::path(db, QStringLiteral("temp.htm"));
  if (!PrintoutFile::writeFile(path, HtmlText::encodePage(page))) {
    prompt.error();
    return false;
  }
  Shell::showLocalFile(path, prompt);
  return true;
}

bool deliverText(Database& db, Prompt& prompt, QWidget* owner, const QString& text) {
  const QString path = PrintoutFile::path(db, QStringLiteral("temp.txt"));
  if (!PrintoutFile::writeFile(path, Codec::encode(text))) {
    prompt.error();
    return false;
  }
  if (!(showText ? showText(path, owner) : showViewer(path, owner))) prompt.warn(notShownText(path));
  return true;
}

bool deliver(Database& db, Prompt& prompt, QWidget* owner, const QString& name, const QString& content) {
  return name.endsWith(QStringLiteral(".htm")) ? deliverHtml(db, prompt, content)
                                               : deliverText(db, prompt, owner, content);
}

}  // namespace PrintoutOutput
