#include <QDir>
#include <gtest/gtest.h>

#include "TestDir.h"
#include "platform/FileDialogFolders.h"
#include "platform/SettingsStore.h"

TEST(FileDialogFolders, StartAtTheLastFolderOfTheKindElseHome) {
  TestDir csvDir, kbkDir;
  const QString csv = QStringLiteral("CSV 檔案 (*.csv)"), kbk = QStringLiteral("Kestrin 備份檔 (*.kbk)");
  SettingsStore::remove(QStringLiteral("FileDialog"), QStringLiteral("csv"));
  const QString home = QDir::homePath() + u'/';
  EXPECT_EQ(FileDialogFolders::startPath(csv, QString()), home);
  EXPECT_EQ(FileDialogFolders::startPath(csv, QStringLiteral("商品.csv")), home + QStringLiteral("商品.csv"));
  // A folder the caller names is used when it exists.
  EXPECT_EQ(FileDialogFolders::startPath(csv, kbkDir.path()), kbkDir.path());
  EXPECT_EQ(FileDialogFolders::startPath(csv, kbkDir.file("a.csv")), kbkDir.file("a.csv"));
  EXPECT_EQ(FileDialogFolders::startPath(csv, QStringLiteral("/no/such/folder/a.csv")), home + QStringLiteral("a.csv"));

  FileDialogFolders::remember(csv, csvDir.file("客戶.csv"));
  EXPECT_EQ(FileDialogFolders::startPath(csv, QStringLiteral("商品.csv")), csvDir.path() + QStringLiteral("商品.csv"));
  EXPECT_EQ(FileDialogFolders::startPath(kbk, QString()).startsWith(csvDir.path()), false);
  EXPECT_EQ(FileDialogFolders::kindOf(kbk), QStringLiteral("kbk"));
  EXPECT_EQ(FileDialogFolders::kindOf(QStringLiteral("所有檔案 (*)")), QStringLiteral("*"));
}
