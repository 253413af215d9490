#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QTranslator>
#include <gtest/gtest.h>

#include "platform/Translations.h"

TEST(Translations, StandardDialogsSpeakTraditionalChinese) {
  QTranslator* t = Translations::install(*qApp);
  ASSERT_NE(t, nullptr) << "qt6-translations-l10n is not installed";
  QMessageBox box;
  box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
  EXPECT_EQ(box.button(QMessageBox::Ok)->text(), QStringLiteral("確定"));
  EXPECT_EQ(box.button(QMessageBox::Cancel)->text(), QStringLiteral("取消"));
  QMessageBox yesNo;
  yesNo.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
  EXPECT_TRUE(yesNo.button(QMessageBox::Yes)->text().contains(QStringLiteral("是")));
  EXPECT_TRUE(yesNo.button(QMessageBox::No)->text().contains(QStringLiteral("否")));
  // The file dialog's type column, which Qt's own translations leave in English.
  EXPECT_EQ(QCoreApplication::translate("QAbstractFileIconProvider", "Folder"), QStringLiteral("資料夾"));
  for (QTranslator* own : t->findChildren<QTranslator*>()) QCoreApplication::removeTranslator(own);
  QCoreApplication::removeTranslator(t);
  delete t;
  QLocale::setDefault(QLocale::c());
}
