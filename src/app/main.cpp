#include <QApplication>
#include <QIcon>
#include <cstdlib>

#include "platform/Translations.h"

#include "mainwindow/OrderForm.h"
#include "mainwindow/SingleInstance.h"
#include "platform/QtPrompt.h"
#include "platform/SettingsStore.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QCoreApplication::setOrganizationName(QStringLiteral("Kestrin"));
  QCoreApplication::setApplicationName(QStringLiteral("Kestrin"));
  // The main window ends the program itself, also while it sits hidden in
  // the notification area.
  QApplication::setQuitOnLastWindowClosed(false);
  // Qt's own dialogs (message and input boxes, file dialogs) in Traditional Chinese.
  Translations::install(app);
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/kestrin.png")));
  QGuiApplication::setDesktopFileName(QStringLiteral("kestrin"));

  SingleInstance instance;
  {
    QtPrompt prompt;
    if (!instance.acquire(prompt)) return 0;  // another instance runs: nothing touched
  }

  OrderForm window;
  window.endProgram = [&instance] {
    SettingsStore::sync();
    instance.unlock();
    std::_Exit(0);
  };
  window.Form_Load();
  return app.exec();
}
