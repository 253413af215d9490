// Every test program runs inside a QApplication on the offscreen platform
// (the desktop tests on the X server started for them),
// with the settings store and data folders redirected to a scratch HOME.
#include <QApplication>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
  // The desktop tests run on the X server and window manager that
  // tests/support/with-desktop.sh started for them.
  qputenv("QT_QPA_PLATFORM", qEnvironmentVariableIsSet("KESTRIN_TEST_ON_DESKTOP") ? "xcb" : "offscreen");
  QTemporaryDir home;
  qputenv("HOME", home.path().toLocal8Bit());
  qputenv("XDG_CONFIG_HOME", (home.path() + "/.config").toLocal8Bit());
  qputenv("XDG_DATA_HOME", (home.path() + "/.local/share").toLocal8Bit());
  qputenv("XDG_RUNTIME_DIR", (home.path() + "/run").toLocal8Bit());
  QStandardPaths::setTestModeEnabled(true);
  QApplication app(argc, argv);
  QCoreApplication::setOrganizationName(QStringLiteral("Kestrin"));
  QCoreApplication::setApplicationName(QStringLiteral("Kestrin"));
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
