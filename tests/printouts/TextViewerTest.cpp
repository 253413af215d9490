#include <QPlainTextEdit>
#include <gtest/gtest.h>

#include "ScriptedPrompt.h"
#include "TestDir.h"
#include "printouts/TextViewer.h"

TEST(TextViewer, RoundTripsCodePage950WithCrLf) {
  TestDir dir;
  const QString text = QStringLiteral("訂單編號\t客戶\r\n20240101001\t王小明\r\n\r\n許功蓋\r\n");
  const QByteArray bytes = big5(text);
  dir.put("temp.txt", bytes);

  ScriptedPrompt prompt;
  TextViewer viewer(nullptr, &prompt);
  ASSERT_TRUE(viewer.openFile(dir.file("temp.txt")));
  EXPECT_EQ(viewer.text(), QStringLiteral("訂單編號\t客戶\n20240101001\t王小明\n\n許功蓋\n"));
  EXPECT_TRUE(viewer.windowTitle().contains("temp.txt"));

  prompt.answerPath(dir.file("copy.txt"));
  viewer.saveAs();
  EXPECT_EQ(dir.get("copy.txt"), bytes);
  EXPECT_TRUE(prompt.shown.size() == 1 && prompt.shown[0].kind == "save");
  EXPECT_EQ(viewer.filePath(), dir.file("copy.txt"));

  // Cancelled Save As writes nothing.
  prompt.answerPath("");
  viewer.saveAs();
  EXPECT_EQ(dir.names(), QStringList({"copy.txt", "temp.txt"}));
}

TEST(TextViewer, UnencodableCharactersBecomeQuestionMarksAndTheUserIsTold) {
  TestDir dir;
  ScriptedPrompt prompt;
  TextViewer viewer(nullptr, &prompt);
  viewer.setText(QStringLiteral("商品😀\n简"));
  ASSERT_TRUE(viewer.saveTo(dir.file("out.txt")));
  EXPECT_EQ(dir.get("out.txt"), big5(QStringLiteral("商品")) + "?\r\n?");
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_TRUE(prompt.shown[0].text.contains("?"));

  // A clean text says nothing.
  prompt.clear();
  viewer.setText(QStringLiteral("正常"));
  ASSERT_TRUE(viewer.saveTo(dir.file("out.txt")));
  EXPECT_TRUE(prompt.shown.empty());
  EXPECT_EQ(dir.get("out.txt"), big5(QStringLiteral("正常")));
}

TEST(TextViewer, MissingFileAndUnwritableTargetAreReported) {
  TestDir dir;
  ScriptedPrompt prompt;
  TextViewer viewer(nullptr, &prompt);
  EXPECT_FALSE(viewer.openFile(dir.file("none.txt")));
  EXPECT_EQ(prompt.texts(), QStringList({"發生錯誤!"}));
  prompt.clear();
  viewer.setText("x");
  EXPECT_FALSE(viewer.saveTo(dir.file("no/such/folder/out.txt")));
  EXPECT_EQ(prompt.texts(), QStringList({"發生錯誤!"}));
}

TEST(TextViewer, ClosingWithEditsAsksFirst) {
  TestDir dir;
  dir.put("temp.txt", big5("a\r\n"));
  ScriptedPrompt prompt;
  TextViewer viewer(nullptr, &prompt);
  ASSERT_TRUE(viewer.openFile(dir.file("temp.txt")));
  viewer.show();
  viewer.editor()->appendPlainText("b");

  prompt.answer(Prompt::Answer::Cancel);
  EXPECT_FALSE(viewer.close());
  prompt.answer(Prompt::Answer::Yes).answerPath(dir.file("kept.txt"));
  EXPECT_TRUE(viewer.close());
  EXPECT_EQ(dir.get("kept.txt"), QByteArray("a\r\n\r\nb"));
}
