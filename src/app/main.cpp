#include <QApplication>
#include <QIcon>
#include <cstdio>
#include <ctime>

#include "mainwindow/Program.h"
#include "platform/ProcessMemory.h"
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
  // For the start-up benchmark only: the moment the filled list was first
  // painted (the monotonic clock, in nanoseconds) and the peak memory so far
  // go to standard output, and the program ends there without saving or
  // archiving anything.
  if (QCoreApplication::arguments().contains(QStringLiteral("--time-first-paint"))) {
    program.atFirstPaint = [] {
      timespec now{};
      ::clock_gettime(CLOCK_MONOTONIC, &now);
      std::printf("first paint %lld\npeak %ld\n", static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec,
                  peakResidentKiB());
      std::fflush(stdout);
    };
  }
  if (!program.start()) return 0;
  return app.exec();
}
