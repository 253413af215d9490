#include <QCloseEvent>
#include <QCoreApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <gtest/gtest.h>

#include "platform/ListView.h"
#include "platform/NoCloseDialog.h"
#include "platform/SettingsStore.h"
#include "platform/WindowTweaks.h"

TEST(NoCloseDialog, OnlyTheProgramClosesIt) {
  NoCloseDialog dialog;
  EXPECT_FALSE(dialog.windowFlags() & Qt::WindowCloseButtonHint);
  dialog.show();

  // The window manager's close and Esc are refused.
  EXPECT_FALSE(dialog.close());
  QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QCoreApplication::sendEvent(&dialog, &esc);
  EXPECT_TRUE(dialog.isVisible());

  dialog.closeByProgram();
  EXPECT_FALSE(dialog.isVisible());

  // Shown again, it is protected again; its buttons end it with done().
  dialog.show();
  EXPECT_FALSE(dialog.close());
  EXPECT_TRUE(dialog.isVisible());
  dialog.accept();
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST(WindowTweaks, ColumnWidthsAndSizeRoundTripInTwips) {
  const QString section = QStringLiteral("TweaksTest");
  {
    ListView lv;
    lv.setColumns({"a", "b", "c", "Index"});
    lv.setIndexColumn(3);
    lv.setColumnWidthTwips(0, 1200);
    lv.setColumnWidthTwips(1, 0);
    lv.setColumnWidthTwips(2, 3000);
    WindowTweaks::saveColumnWidths(&lv, section);
  }
  EXPECT_EQ(SettingsStore::get(section, "LW1"), "1200");
  EXPECT_EQ(SettingsStore::get(section, "LW2"), "0");
  EXPECT_EQ(SettingsStore::get(section, "LW3"), "3000");
  EXPECT_EQ(SettingsStore::get(section, "LW4"), "0");

  SettingsStore::set(section, "LW1", "1500");
  ListView lv;
  lv.setColumns({"a", "b", "c", "Index"});
  lv.setIndexColumn(3);
  lv.setColumnWidthTwips(1, 900);
  WindowTweaks::restoreColumnWidths(&lv, section);
  EXPECT_EQ(lv.columnWidthTwips(0), 1500);
  EXPECT_EQ(lv.columnWidthTwips(1), 900);  // a stored 0 leaves the designed width
  EXPECT_EQ(lv.columnWidthTwips(2), 3000);
  EXPECT_TRUE(lv.isColumnHidden(3));

  QWidget w;
  w.resize(400, 300);
  WindowTweaks::saveSize(&w, section);
  EXPECT_EQ(SettingsStore::get(section, "Width"), "6000");
  EXPECT_EQ(SettingsStore::get(section, "Height"), "4500");
  SettingsStore::set(section, "Width", "9000");
  QWidget w2;
  w2.resize(100, 100);
  WindowTweaks::restoreSize(&w2, section);
  EXPECT_EQ(w2.size(), QSize(600, 300));

  struct Case {
    const char* stored;
    int state;
  };
  for (const Case c : {Case{"2", 2}, Case{"1", 0}, Case{"0", 0}}) {
    SettingsStore::set(section, "WinState", c.stored);
    QWidget win;
    EXPECT_EQ(WindowTweaks::restoreState(&win, section), c.state) << c.stored;
    EXPECT_EQ(bool(win.windowState() & Qt::WindowMaximized), c.state == 2);
    WindowTweaks::saveState(&win, section);
    EXPECT_EQ(SettingsStore::get(section, "WinState"), QString::number(c.state));
  }
  QWidget minimised;
  minimised.setWindowState(Qt::WindowMinimized);
  WindowTweaks::saveState(&minimised, section);
  EXPECT_EQ(SettingsStore::get(section, "WinState"), "0");  // unchanged

  QComboBox box;
  WindowTweaks::setDropDownHeight(&box, 300);
  EXPECT_GT(box.maxVisibleItems(), 10);
}

// Designed widths widen to show a date or an amount whole; a wide column is
// never narrowed and a hidden one (the cost while costs are hidden) stays
// hidden.
TEST(WindowTweaks, FittingColumnsWidensOnlyNarrowShownColumns) {
  ListView lv;
  lv.setColumns({"date", "amount", "cost"});
  lv.setColumnWidthTwips(0, 300);
  lv.setColumnWidthTwips(1, 9000);
  lv.setColumnWidthTwips(2, 0);
  WindowTweaks::fitColumnsTo(&lv, {{0, WindowTweaks::kDateSample},
                                   {1, WindowTweaks::kAmountSample},
                                   {2, WindowTweaks::kAmountSample}});
  EXPECT_GT(lv.columnWidthTwips(0), 300);
  EXPECT_GE(lv.columnWidthTwips(0), lv.twipsToShow(QStringLiteral("2026/12/31")));
  EXPECT_EQ(lv.columnWidthTwips(1), 9000);
  EXPECT_TRUE(lv.isColumnHidden(2));
}
