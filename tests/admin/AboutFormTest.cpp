#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>

#include "ScriptedPrompt.h"
#include "admin/AboutForm.h"
#include "platform/Shell.h"

TEST(AboutForm, NameVersionAndTheManualAsContactPage) {
  ScriptedPrompt prompt;
  AboutForm f(QStringLiteral("3.3.6"), prompt);
  EXPECT_EQ(f.windowTitle(), "關於Kestrin");
  EXPECT_EQ(f.Label1->text(), "Kestrin 青鳥帳房通 v3.3.6");
  EXPECT_TRUE(f.Command1->isDefault());
  EXPECT_EQ(f.minimumSize(), f.maximumSize());  // fixed size
  for (QLabel* l : {f.Label2, f.Label3, f.Label4}) EXPECT_FALSE(l->text().isEmpty());

  std::vector<QUrl> opened;
  Shell::openHook = [&](const QUrl& u) {
    opened.push_back(u);
    return true;
  };
  f.Command3->click();
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_TRUE(opened[0].isLocalFile());
  EXPECT_TRUE(opened[0].toLocalFile().endsWith("/docs/manual.html"));
  EXPECT_TRUE(prompt.shown.empty());

  // No program takes web pages: the seller is told where the manual is.
  Shell::openHook = [](const QUrl&) { return false; };
  f.Command3->click();
  Shell::openHook = nullptr;
  EXPECT_EQ(prompt.texts(), QStringList{Shell::notOpenedText(opened[0].toLocalFile())});

  f.show();
  f.Command1->click();
  EXPECT_FALSE(f.isVisible());
  EXPECT_EQ(f.result(), QDialog::Accepted);
}
