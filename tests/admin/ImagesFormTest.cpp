#include <gtest/gtest.h>

#include <QImage>
#include <QLabel>

#include "ScriptedPrompt.h"
#include "TestDir.h"
#include "admin/ImagesForm.h"
#include "platform/SettingsStore.h"

namespace {

struct ImagesFormTest : ::testing::Test {
  ScriptedPrompt prompt;
  TestDir dir;
  void SetUp() override {
    for (const char* k : {"WinState", "Width", "Height"}) SettingsStore::remove("ImagesForm", k);
    QImage big(900, 700, QImage::Format_RGB32);
    big.fill(Qt::darkGreen);
    big.save(dir.file("big.png"));
  }
  void view(const std::function<void(ImagesForm&)>& run) {
    EXPECT_TRUE(ImagesForm::showPicture(prompt, nullptr, dir.file("big.png"), run));
  }
};

}  // namespace

TEST_F(ImagesFormTest, ShowsThePictureAtItsOwnSizeAndRemembersTheWindow) {
  view([](ImagesForm& f) {
    EXPECT_EQ(f.windowTitle(), "檢視圖片");
    EXPECT_EQ(f.size(), QSize(640, 480));  // 9600 x 7200 twips
    f.show();
    EXPECT_EQ(f.pictureLabel->pixmap().size(), QSize(900, 700));
    EXPECT_EQ(f.pictureLabel->geometry(), f.rect());  // cut off at the window's edges
    EXPECT_FALSE(f.pictureLabel->hasScaledContents());
    f.resize(500, 400);
    EXPECT_EQ(f.pictureLabel->size(), QSize(500, 400));
    f.close();
  });
  EXPECT_EQ(SettingsStore::get("ImagesForm", "WinState"), "0");
  EXPECT_EQ(SettingsStore::get("ImagesForm", "Width"), "7500");
  EXPECT_EQ(SettingsStore::get("ImagesForm", "Height"), "6000");

  // Closed maximised: the state is stored, the normal size kept.
  view([](ImagesForm& f) {
    EXPECT_EQ(f.size(), QSize(500, 400));
    f.setWindowState(Qt::WindowMaximized);
    f.reject();
  });
  EXPECT_EQ(SettingsStore::get("ImagesForm", "WinState"), "2");
  EXPECT_EQ(SettingsStore::get("ImagesForm", "Width"), "7500");
  view([](ImagesForm& f) {
    EXPECT_TRUE(f.windowState() & Qt::WindowMaximized);
    f.setWindowState(Qt::WindowNoState);
    f.reject();
  });
  // A stored 1 (minimised) opens normal.
  SettingsStore::set("ImagesForm", "WinState", "1");
  view([](ImagesForm& f) { EXPECT_FALSE(f.windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)); });
  EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(ImagesFormTest, AFileThatIsNoPictureSaysSoAndOpensNothing) {
  dir.put("drawing.wmf", QByteArray("\xD7\xCD\xC6\x9A\x00\x00", 6) + QByteArray(60, '\x01'));
  dir.put("cut.png", QByteArray("\x89PNG\r\n\x1a\n", 8));
  for (const char* name : {"drawing.wmf", "cut.png", "missing.jpg"}) {
    prompt.clear();
    bool opened = false;
    EXPECT_FALSE(ImagesForm::showPicture(prompt, nullptr, dir.file(name), [&](ImagesForm&) { opened = true; }));
    EXPECT_FALSE(opened) << name;
    EXPECT_EQ(prompt.texts(), QStringList{"發生錯誤!"}) << name;
  }
}
