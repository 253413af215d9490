#include <gtest/gtest.h>

#include "ScriptedPrompt.h"
#include "TestDir.h"
#include "mainwindow/SingleInstance.h"

namespace {

TEST(SingleInstance, ASecondStartIsRefusedWhileTheFirstRuns) {
  TestDir d;
  const QString lock = d.file(QStringLiteral("Kestrin.lock"));
  ScriptedPrompt prompt;
  SingleInstance first(lock);
  ASSERT_TRUE(first.acquire(prompt));
  EXPECT_TRUE(prompt.shown.empty());

  SingleInstance second(lock);
  EXPECT_FALSE(second.acquire(prompt));
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_EQ(prompt.shown[0].text, QStringLiteral("此程式已經在執行中"));
  EXPECT_EQ(prompt.shown[0].icon, Prompt::Icon::Exclamation);

  // Once the first has ended, a new start runs.
  first.unlock();
  EXPECT_TRUE(second.tryLock());
}

TEST(SingleInstance, TheDefaultLockLivesInTheRuntimeFolder) {
  EXPECT_TRUE(SingleInstance::defaultLockPath().endsWith(QStringLiteral("/Kestrin.lock")));
}

}  // namespace
