#include <QApplication>

#include "mainwindow/Program.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QCoreApplication::setOrganizationName(QStringLiteral("Kestrin"));
  QCoreApplication::setApplicationName(QStringLiteral("Kestrin"));
  // The main window ends the program itself, also while it sits hidden in
  // the notification area.
  QApplication::setQuitOnLastWindowClosed(false);

  Program program;
  if (!program.start()) return 0;
  return app.exec();
}
