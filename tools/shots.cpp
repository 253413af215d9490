// Screenshots of the standard dialogs and the main window as a seller sees
// them (Traditional Chinese translations loaded), for checking by eye:
//   tools/screenshots.sh [OUTDIR]
// Runs on the offscreen platform with a scratch home folder.
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QIcon>
#include <QInputDialog>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>

#include "mainwindow/OrderForm.h"
#include "platform/QtPrompt.h"
#include "platform/Translations.h"

namespace {
QString out;

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
  out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("shots");
  if (!out.endsWith(u'/')) out += u'/';
  QDir().mkpath(out);
  if (!Translations::install(app)) std::fprintf(stderr, "Qt's zh_TW translations are not installed\n");
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/kestrin.png")));

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
  return 0;
}
