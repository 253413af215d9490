#include "platform/WindowPlacement.h"

#include <QApplication>
#include <QDialog>
#include <QScreen>
#include <QWidget>
#include <gtest/gtest.h>

#include "platform/SettingsStore.h"
#include "platform/WindowTweaks.h"

TEST(WindowPlacement, FitInsideMovesInAndShrinksOnlyWhatIsLarger) {
  const QRect area(0, 30, 1600, 970);  // a panel above
  const struct {
    QRect frame;
    QRect fitted;
  } cases[] = {
      {{100, 100, 800, 440}, {100, 100, 800, 440}},    // inside: unchanged
      {{0, 30, 1600, 970}, {0, 30, 1600, 970}},        // the whole area
      {{400, 579, 800, 440}, {400, 560, 800, 440}},    // below the bottom edge
      {{1200, 50, 800, 440}, {800, 50, 800, 440}},     // beyond the right edge
      {{-300, -100, 800, 440}, {0, 30, 800, 440}},     // beyond the left edge and under the panel
      {{200, 100, 2000, 440}, {0, 100, 1600, 440}},    // wider than the area
      {{200, 100, 800, 1200}, {200, 30, 800, 970}},    // taller than the area
      {{5000, 5000, 3000, 3000}, {0, 30, 1600, 970}},  // far away and larger
  };
  for (const auto& c : cases) EXPECT_EQ(WindowPlacement::fitInside(c.frame, area), c.fitted) << c.frame.x() << "," << c.frame.y();
}

namespace {

struct WindowsOnScreen : ::testing::Test {
  QObject* watcher = nullptr;
  QRect area;
  void SetUp() override {
    watcher = WindowPlacement::keepWindowsOnScreen(*qApp);
    area = QGuiApplication::primaryScreen()->availableGeometry();
  }
  void TearDown() override { delete watcher; }
  bool onScreen(const QWidget& w) const { return area.contains(w.frameGeometry()); }
};

}  // namespace

// A window the program put off the screen (as a stored position from a
// larger screen would) opens inside it at its own size; one that fits stays
// where it was put.
TEST_F(WindowsOnScreen, APositionOffTheScreenOpensInsideIt) {
  const QPoint places[] = {area.bottomRight() + QPoint(500, 300), QPoint(area.right() - 100, area.top() + 20),
                           QPoint(area.left() - 250, area.bottom() - 50), QPoint(-5000, -5000)};
  for (const QPoint& at : places) {
    QWidget w;
    w.resize(300, 200);
    w.move(at);
    w.show();
    EXPECT_TRUE(onScreen(w)) << at.x() << "," << at.y();
    EXPECT_EQ(w.size(), QSize(300, 200));
  }
  QWidget fits;
  fits.resize(300, 200);
  fits.move(area.topLeft() + QPoint(40, 30));
  fits.show();
  EXPECT_EQ(fits.pos(), area.topLeft() + QPoint(40, 30));
}

// A window nobody placed (the purchase sheet) is centred on the window it
// belongs to, and kept on the screen when that window sits at its edge;
// dialogs likewise.
TEST_F(WindowsOnScreen, AWindowOfAWindowAtTheEdgeOpensInsideTheScreen) {
  QWidget owner;
  owner.resize(400, 300);
  owner.move(area.center() - QPoint(200, 150));
  owner.show();
  auto* sheet = new QWidget(&owner, Qt::Window);
  sheet->resize(200, 100);
  sheet->show();
  EXPECT_EQ(sheet->frameGeometry().center(), owner.frameGeometry().center());
  sheet->hide();

  owner.move(area.bottomRight() - QPoint(150, 100));
  auto* lowSheet = new QWidget(&owner, Qt::Window);
  lowSheet->resize(300, 200);
  lowSheet->show();
  EXPECT_TRUE(onScreen(*lowSheet));
  auto* dialog = new QDialog(&owner);
  dialog->resize(300, 200);
  dialog->show();
  EXPECT_TRUE(onScreen(*dialog));
}

// A window larger than the screen is shrunk to it; its stored size stays
// the size it asked for until the seller resizes it.
TEST_F(WindowsOnScreen, ALargerWindowIsShrunkAndItsStoredSizeKept) {
  const QString section = QStringLiteral("PlacementTest");
  const int width = WindowTweaks::twipsFromPixels(area.width() + 300);
  const int height = WindowTweaks::twipsFromPixels(area.height() + 200);
  SettingsStore::setNumber(section, QStringLiteral("Width"), width);
  SettingsStore::setNumber(section, QStringLiteral("Height"), height);
  QWidget w;
  WindowTweaks::restoreSize(&w, section);
  w.show();
  EXPECT_TRUE(onScreen(w));
  EXPECT_LT(w.width(), area.width() + 300);
  WindowTweaks::saveSize(&w, section);
  EXPECT_EQ(SettingsStore::getNumber(section, QStringLiteral("Width"), 0), width);
  EXPECT_EQ(SettingsStore::getNumber(section, QStringLiteral("Height"), 0), height);

  w.resize(400, 300);
  WindowTweaks::saveSize(&w, section);
  EXPECT_EQ(SettingsStore::getNumber(section, QStringLiteral("Width"), 0), WindowTweaks::twipsFromPixels(400));
}
