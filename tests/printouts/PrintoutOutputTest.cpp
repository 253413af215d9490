#include "printouts/PrintoutOutput.h"

#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <gtest/gtest.h>

#include "ScriptedPrompt.h"
#include "TestDir.h"
#include "platform/Codec.h"
#include "platform/Shell.h"
#include "store/Database.h"

namespace {

struct PrintoutOutputTest : ::testing::Test {
  Database db;
  ScriptedPrompt prompt;
  TestDir temp;
  bool browserTakes = true;
  bool viewerShows = true;
  QList<QUrl> opened;
  QStringList viewed;

  void SetUp() override {
    db.TempPath = temp.path();
    Shell::openHook = [this](const QUrl& u) {
      opened << u;
      return browserTakes;
    };
    PrintoutOutput::showText = [this](const QString& path, QWidget*) {
      viewed << path;
      return viewerShows;
    };
  }
  void TearDown() override {
    Shell::openHook = nullptr;
    PrintoutOutput::showText = nullptr;
  }
};

}  // namespace

// The temporary folder may be shared: a link planted as "temp.htm" or
// "temp.txt" is replaced by the printout, its target keeps its bytes, and
// the printout is readable by its owner only. The viewers open the name.
TEST_F(PrintoutOutputTest, ALinkPlantedAtThePrintoutNameIsReplacedAndItsTargetKept) {
  TestDir elsewhere;
  elsewhere.put(QStringLiteral("victim"), "keep me");
  for (const QString& name : {QStringLiteral("temp.htm"), QStringLiteral("temp.txt")}) {
    ASSERT_TRUE(QFile::link(elsewhere.file(QStringLiteral("victim")), temp.file(name)));
    ASSERT_TRUE(PrintoutOutput::deliver(db, prompt, nullptr, name, QStringLiteral("許功蓋 台北市")));
    EXPECT_FALSE(QFileInfo(temp.file(name)).isSymLink()) << name.toStdString();
    EXPECT_TRUE(Codec::decode(temp.get(name)).contains(QStringLiteral("許功蓋 台北市"))) << name.toStdString();
    EXPECT_EQ(fileMode(temp.file(name)), 0600) << name.toStdString();
  }
  EXPECT_EQ(elsewhere.get(QStringLiteral("victim")), "keep me");
  EXPECT_EQ(opened, QList<QUrl>{QUrl::fromLocalFile(temp.file(QStringLiteral("temp.htm")))});
  EXPECT_EQ(viewed, QStringList{temp.file(QStringLiteral("temp.txt"))});
  EXPECT_EQ(temp.names(), QStringList({QStringLiteral("temp.htm"), QStringLiteral("temp.txt")}));
  EXPECT_TRUE(prompt.shown.empty());
}

// With no program to open web pages (or a text file the viewer cannot
// show), the file is still written and the seller is told its full path.
TEST_F(PrintoutOutputTest, AFileNoViewerTakesIsReportedWithItsFullPath) {
  browserTakes = false;
  viewerShows = false;
  EXPECT_TRUE(PrintoutOutput::deliverHtml(db, prompt, QStringLiteral("<p>出貨單</p>")));
  EXPECT_TRUE(PrintoutOutput::deliverText(db, prompt, nullptr, QStringLiteral("名條")));
  const QString page = QFileInfo(temp.file(QStringLiteral("temp.htm"))).absoluteFilePath();
  const QString text = QFileInfo(temp.file(QStringLiteral("temp.txt"))).absoluteFilePath();
  ASSERT_EQ(prompt.shown.size(), 2u);
  EXPECT_EQ(prompt.shown[0].text, Shell::notOpenedText(page));
  EXPECT_TRUE(prompt.shown[0].text.contains(QStringLiteral("\n") + page + QStringLiteral("\n")));
  EXPECT_EQ(prompt.shown[0].icon, Prompt::Icon::Exclamation);
  EXPECT_EQ(prompt.shown[1].text, PrintoutOutput::notShownText(text));
  EXPECT_TRUE(prompt.shown[1].text.contains(QStringLiteral("\n") + text + QStringLiteral("\n")));
  EXPECT_TRUE(temp.has(QStringLiteral("temp.htm")));
  EXPECT_TRUE(temp.has(QStringLiteral("temp.txt")));
}
