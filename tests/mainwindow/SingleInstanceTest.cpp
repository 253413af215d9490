#include <gtest/gtest.h>

#include "ScriptedPrompt.h"
#include "TestDir.h"
#include "mainwindow/SingleInstance.h"

#include <QFile>

namespace {

TEST(SingleInstance, ASecondStartIsRefusedWhileTheFirstRuns) {
  TestDir d;
  const QString lock = d.file(QStringLiteral("Kestrin.lock"));
  ScriptedPrompt prompt;
  SingleInstance first(lock);
  ASSERT_TRUE(first.acquire(prompt));
  EXPECT_TRUE(prompt.shown.empty());

  SingleInstance second(lock);
  int waits = 0;
  second.onWait = [&] { ++waits; };
  EXPECT_FALSE(second.acquire(prompt));
  EXPECT_EQ(waits, 30);  // a short while (1.5 s in steps of 50 ms), then the refusal
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_EQ(prompt.shown[0].text, QStringLiteral("此程式已經在執行中"));
  EXPECT_EQ(prompt.shown[0].icon, Prompt::Icon::Exclamation);

  // Once the first has ended, a new start runs.
  first.unlock();
  EXPECT_TRUE(second.tryLock());
}

TEST(SingleInstance, ASecondStartWaitsForAnInstanceThatIsEnding) {
  TestDir d;
  const QString lock = d.file(QStringLiteral("Kestrin.lock"));
  ScriptedPrompt prompt;
  SingleInstance first(lock);
  ASSERT_TRUE(first.acquire(prompt));
  first.markExiting();

  // The first is still writing its archive: the second waits far longer
  // than the short while, and starts once the first has released the lock.
  SingleInstance second(lock);
  int waits = 0;
  second.onWait = [&] {
    if (++waits == 100) first.unlock();
  };
  EXPECT_TRUE(second.acquire(prompt));
  EXPECT_EQ(waits, 100);
  EXPECT_TRUE(prompt.shown.empty());
  EXPECT_FALSE(QFile::exists(lock + QStringLiteral(".exiting")));

  // A mark left by an instance that no longer holds the lock means nothing.
  second.unlock();
  SingleInstance third(lock);
  ASSERT_TRUE(third.tryLock());
  {
    QFile mark(lock + QStringLiteral(".exiting"));
    ASSERT_TRUE(mark.open(QIODevice::WriteOnly));
    mark.write("1");
  }
  SingleInstance fourth(lock);
  waits = 0;
  fourth.onWait = [&] { ++waits; };
  EXPECT_FALSE(fourth.acquire(prompt));
  EXPECT_EQ(waits, 30);
}

TEST(SingleInstance, TheDefaultLockLivesInTheRuntimeFolder) {
  EXPECT_TRUE(SingleInstance::defaultLockPath().endsWith(QStringLiteral("/Kestrin.lock")));
}

}  // namespace
