#include <QApplication>
#include <QIcon>

#include "mainwindow/Program.h"
#include "platform/Translations.h"
#include "platform/WindowPlacement.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QCoreApplication::setOrganizationName(QStringLiteral("Kestrin"));
  QCoreApplication::setApplicationName(QStringLiteral("Kestrin"));
  // The main window ends the program itself, also while it sits hidden in
  // the notification area.
  QApplication::setQuitOnLastWindowClosed(false);
  // Qt's own dialogs (message and input boxes, file dialogs) in Traditional Chinese.
  Translations::install(app);
  // Windows and dialogs open inside the screen, wherever they were put.
  WindowPlacement::keepWindowsOnScreen(app);
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/kestrin.png")));
  QGuiApplication::setDesktopFileName(QStringLiteral("kestrin"));

  Program program;
  if (!program.start()) return 0;
  return app.exec();
}
