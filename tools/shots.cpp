// Screenshots of the standard dialogs and the main window as a seller sees
// them (Traditional Chinese translations loaded), the main window also with
// a small database, each of its menus open and its list's popup, for
// checking by eye; with --manual, the pictures of the user's manual instead:
//   tools/screenshots.sh [OUTDIR]
//   tools/screenshots.sh --manual
// Runs on the offscreen platform with a scratch home folder.
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QToolBar>
#include <QDir>
#include <QFileDialog>
#include <QIcon>
#include <QInputDialog>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>

#include "ManualPictures.h"
#include "SampleDatabase.h"
#include "mainwindow/OrderForm.h"
#include "platform/QtPrompt.h"
#include "platform/ListView.h"
#include "platform/Translations.h"
#include "store/Database.h"

namespace {
QString out;

void settle() {
  for (int i = 0; i < 5; ++i) QApplication::processEvents();
}

void savePicture(const QPixmap& picture, const QString& name) {
  const QString path = out + name + QStringLiteral(".png");
  picture.save(path);
  std::printf("%s\n", path.toLocal8Bit().constData());
}

// The window with one of its menus open at a screen position, drawn over it.
void shootMenu(QWidget& window, QMenu& menu, const QPoint& at, const QString& name) {
  menu.popup(at);
  settle();
  QPixmap shot = window.grab();
  {
    QPainter p(&shot);
    p.drawPixmap(window.mapFromGlobal(menu.pos()), menu.grab());
  }
  menu.hide();
  savePicture(shot, name);
}

void shoot(QWidget& w, const QString& name) {
  w.show();
  for (int i = 0; i < 5; ++i) QApplication::processEvents();
  const QString path = out + name + QStringLiteral(".png");
  w.grab().save(path);
  std::printf("%s\n", path.toLocal8Bit().constData());
  w.hide();
}
}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QCoreApplication::setOrganizationName(QStringLiteral("Kestrin"));
  QCoreApplication::setApplicationName(QStringLiteral("Kestrin"));
  QStringList args = QCoreApplication::arguments().mid(1);
  const bool manual = args.removeAll(QStringLiteral("--manual")) > 0;
  out = args.isEmpty() ? QStringLiteral("shots") : args.first();
  if (!out.endsWith(u'/')) out += u'/';
  QDir().mkpath(out);
  if (!Translations::install(app)) std::fprintf(stderr, "Qt's zh_TW translations are not installed\n");
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/kestrin.png")));

  if (manual) {
    OrderForm window;
    window.Form_Load();
    fillSampleDatabase(window.db());
    window.refillCategoryCombo();
    window.setWindowState(Qt::WindowNoState);
    window.show();
    takeManualPictures(window, out);
    return 0;
  }

  QMessageBox question(QMessageBox::Warning, QStringLiteral("Kestrin"), QStringLiteral("結束前要儲存資料嗎？"),
                       QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
  shoot(question, QStringLiteral("message-yes-no-cancel"));
  QMessageBox ok(QMessageBox::Information, QStringLiteral("Kestrin"), QStringLiteral("匯出CSV完成!"),
                 QMessageBox::Ok | QMessageBox::Cancel);
  shoot(ok, QStringLiteral("message-ok-cancel"));
  QInputDialog input;
  input.setWindowTitle(QStringLiteral("Kestrin"));
  input.setLabelText(QStringLiteral("請輸入匯率"));
  shoot(input, QStringLiteral("input-box"));
  QFileDialog save(nullptr, QStringLiteral("儲存檔案"), QDir::homePath(), QStringLiteral("CSV 檔案 (*.csv)"));
  save.setAcceptMode(QFileDialog::AcceptSave);
  save.setOption(QFileDialog::DontUseNativeDialog);
  shoot(save, QStringLiteral("file-save"));

  OrderForm window;
  window.resize(1100, 700);
  shoot(window, QStringLiteral("main-window-empty"));

  // The main window on a small database in the program folder (a scratch
  // home), then each of its menus opened, the list's popup and the toolbar.
  window.Form_Load();
  fillSampleDatabase(window.db());
  window.refillCategoryCombo();
  window.setWindowState(Qt::WindowNoState);
  window.resize(1100, 700);
  window.show();
  settle();
  savePicture(window.grab(), QStringLiteral("main-window"));
  for (QAction* bar : window.menuBar()->actions()) {
    QMenu* menu = bar->menu();
    const QRect title = window.menuBar()->actionGeometry(bar);
    shootMenu(window, *menu, window.menuBar()->mapToGlobal(title.bottomLeft()),
              QStringLiteral("main-menu-") + menu->objectName());
  }
  window.orderList->setSelected(0, true);
  window.orderList->setSelected(1, true);
  const QPoint at = window.orderList->viewport()->mapToGlobal(
      window.orderList->visualRect(window.orderList->model()->index(1, 2)).center());
  shootMenu(window, *window.orderListPopup, at, QStringLiteral("main-popup"));
  savePicture(window.toolbar->grab(), QStringLiteral("main-toolbar"));
  return 0;
}
