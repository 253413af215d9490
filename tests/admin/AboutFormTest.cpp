#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "ScriptedPrompt.h"
#include "admin/AboutForm.h"
#include "platform/Codec.h"
#include "platform/Shell.h"

TEST(AboutForm, NameVersionAndTheManualAsContactPage) {
  ScriptedPrompt prompt;
  AboutForm f(QStringLiteral("3.3.6"), prompt);
  EXPECT_EQ(f.windowTitle(), "關於Kestrin");
  EXPECT_EQ(f.titleLabel->text(), "Kestrin 青鳥帳房通 v3.3.6");
  EXPECT_TRUE(f.okButton->isDefault());
  EXPECT_EQ(f.minimumSize(), f.maximumSize());  // fixed size
  for (QLabel* l : {f.noticeLabel, f.manualLabel, f.helpLabel}) EXPECT_FALSE(l->text().isEmpty());
  // The manual as the seller reaches it, not a path of the source tree.
  EXPECT_EQ(f.manualLabel->text(), "使用說明：主視窗選單的「說明 → 使用說明」");

  std::vector<QUrl> opened;
  Shell::openHook = [&](const QUrl& u) {
    opened.push_back(u);
    return true;
  };
  f.contactButton->click();
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_TRUE(opened[0].isLocalFile());
  EXPECT_TRUE(opened[0].toLocalFile().endsWith("/docs/manual.html"));
  EXPECT_TRUE(prompt.shown.empty());

  // No program takes web pages: the seller is told where the manual is.
  Shell::openHook = [](const QUrl&) { return false; };
  f.contactButton->click();
  Shell::openHook = nullptr;
  EXPECT_EQ(prompt.texts(), QStringList{Shell::notOpenedText(opened[0].toLocalFile())});

  f.show();
  f.okButton->click();
  EXPECT_FALSE(f.isVisible());
  EXPECT_EQ(f.result(), QDialog::Accepted);
}

// The installed program opens the manual installed with it, wherever the
// prefix is; a program without one beside it (run from the build folder)
// opens the source tree's.
TEST(AboutForm, ManualPageOfAnInstalledAndOfABuiltProgram) {
  QTemporaryDir prefix, buildFolder;
  ASSERT_TRUE(prefix.isValid() && buildFolder.isValid());
  const QDir root(prefix.path());
  ASSERT_TRUE(root.mkpath(QStringLiteral("bin")) && root.mkpath(QStringLiteral("share/kestrin/docs")));
  QFile installed(root.filePath(QStringLiteral("share/kestrin/docs/manual.html")));
  ASSERT_TRUE(installed.open(QIODevice::WriteOnly));
  installed.close();

  EXPECT_EQ(AboutForm::manualPage(root.filePath(QStringLiteral("bin"))).toStdString(),
            QFileInfo(installed).absoluteFilePath().toStdString());
  EXPECT_EQ(AboutForm::manualPage(buildFolder.path()).toStdString(),
            QFileInfo(QStringLiteral(KESTRIN_TEST_DATA "/../../docs/manual.html")).absoluteFilePath().toStdString());
}

// The manual is one page in code page 950 with CR LF line ends, as every
// file of the program, and shows exactly the pictures shipped beside it.
TEST(AboutForm, ShippedManualReadsAsBig5AndHasItsPictures) {
  const QDir docs(QStringLiteral(KESTRIN_TEST_DATA "/../../docs"));
  QFile f(docs.filePath(QStringLiteral("manual.html")));
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  const QByteArray bytes = f.readAll();
  bool clean = false;
  const QString page = Codec::decode(bytes, &clean);
  EXPECT_TRUE(clean);
  EXPECT_EQ(Codec::encode(page), bytes);
  EXPECT_TRUE(page.contains(QStringLiteral("charset=big5")));
  EXPECT_EQ(bytes.count('\n'), bytes.count("\r\n"));
  EXPECT_TRUE(page.contains(QStringLiteral("id=\"contact\"")));

  QStringList shown;
  const QRegularExpression img(QStringLiteral("<img src=\"([^\"]+)\""));
  for (auto it = img.globalMatch(page); it.hasNext();) shown << it.next().captured(1);
  shown.removeDuplicates();
  QStringList shipped;
  for (const QString& png : QDir(docs.filePath(QStringLiteral("manual"))).entryList({QStringLiteral("*.png")}))
    shipped << QStringLiteral("manual/") + png;
  shown.sort();
  EXPECT_EQ(shown, shipped);
}
