#include <gtest/gtest.h>

#include <QFile>
#include <QLineEdit>

#include "ScriptedPrompt.h"
#include "TestDir.h"
#include "customers/ImportForm.h"
#include "customers/ImportProfiles.h"
#include "store/CsvFile.h"
#include "store/Database.h"
#include "store/SettingsFiles.h"

namespace {

struct ImportFormTest : ::testing::Test {
  TestDir dir;
  Database db;
  ScriptedPrompt prompt;
  void SetUp() override {
    db.DataBasePath = dir.path();
    db.settings.ImportName[1] = "一";
    db.settings.ImportMap[1][2] = "姓名：";
    db.settings.ImportMap[3][9] = "備註：,附註：";
  }
};

TEST_F(ImportFormTest, ShowsTheProfilesAndStoresThemInImportKdt) {
  ImportForm form(db, prompt);
  EXPECT_EQ(form.profileNameEdits[0]->text(), "一");
  EXPECT_EQ(form.profileNameEdits[1]->text(), "-自訂2-");
  EXPECT_EQ(form.profile1KeyEdits[1]->text(), "姓名：");
  EXPECT_EQ(form.profile2KeyEdits[0]->text(), " ");  // the second profile's default account key
  EXPECT_EQ(form.profile3KeyEdits[8]->text(), "備註：,附註：");

  form.profileNameEdits[1]->setText("蝦皮");
  form.profile2KeyEdits[3]->setText(" 電話：,手機號碼： ");  // kept as typed, blanks and all
  form.profile3KeyEdits[6]->setText("地址：\"");
  form.onOk();
  EXPECT_TRUE(prompt.shown.empty());
  EXPECT_EQ(form.result(), QDialog::Accepted);
  EXPECT_EQ(db.settings.ImportName[2], "蝦皮");
  EXPECT_EQ(db.settings.ImportMap[2][4], " 電話：,手機號碼： ");
  EXPECT_EQ(dir.get("Import.kdt"), big5(SettingsFiles::importText(db.settings)));

  // What the file holds reads back as it was stored.
  Database again;
  again.DataBasePath = dir.path();
  SettingsFiles::ImportInit(again, prompt);
  EXPECT_EQ(again.settings.ImportMap, db.settings.ImportMap);
  EXPECT_EQ(again.settings.ImportName, db.settings.ImportName);
}

TEST_F(ImportFormTest, RefusesWhatCannotBeStoredAndKeepsTheOldProfiles) {
  const DatabaseSettings before = db.settings;
  ImportForm form(db, prompt);
  form.profile3KeyEdits[2]->setText("性別😀");
  form.onOk();
  EXPECT_EQ(prompt.texts(), QStringList{"第三組性別中的「😀」無法儲存在資料檔中，請改用其他字元"});
  EXPECT_FALSE(dir.has("Import.kdt"));

  // A folder the file cannot be written into: "發生錯誤!", nothing changed.
  form.profile3KeyEdits[2]->setText("性別：");
  db.DataBasePath = dir.file("gone/");
  prompt.clear();
  form.onOk();
  EXPECT_EQ(prompt.texts(), QStringList{"發生錯誤!"});
  EXPECT_EQ(db.settings.ImportMap, before.ImportMap);
  EXPECT_EQ(db.settings.ImportName, before.ImportName);
  EXPECT_NE(form.result(), QDialog::Accepted);

  // Line breaks would split a list over two lines of the file: taken out.
  db.DataBasePath = dir.path();
  form.profile1KeyEdits[0]->setText("帳號\r\n：");
  prompt.clear();
  form.onOk();
  EXPECT_EQ(db.settings.ImportMap[1][1], "帳號：");
}

TEST_F(ImportFormTest, TemplateFillsOneColumnUntilConfirmed) {
  dir.put("t.csv", big5(QStringLiteral("蝦皮格式\r帳號：\n姓名：,收件人：\r\n\r\n電話：")));  // name and four lists
  ImportForm form(db, prompt);
  form.profile2KeyEdits[7]->setText("舊的");
  prompt.answerPath(dir.file("t.csv"));
  form.onImportTemplate(1);
  EXPECT_EQ(form.profileNameEdits[1]->text(), "蝦皮格式");
  EXPECT_EQ(form.profile2KeyEdits[0]->text(), "帳號：");
  EXPECT_EQ(form.profile2KeyEdits[1]->text(), "姓名：,收件人：");
  EXPECT_EQ(form.profile2KeyEdits[2]->text(), "");
  EXPECT_EQ(form.profile2KeyEdits[3]->text(), "電話：");
  EXPECT_EQ(form.profile2KeyEdits[7]->text(), "");  // lines the template lacks leave their boxes empty
  EXPECT_EQ(form.profile1KeyEdits[1]->text(), "姓名：");  // other columns untouched
  EXPECT_EQ(db.settings.ImportName[2], "-自訂2-");  // nothing stored yet

  // A template that cannot be read leaves the column and says so.
  dir.put("u.csv", QStringLiteral("名稱\r\n帳號：\r\n").toUtf8());
  prompt.answerPath(dir.file("u.csv"));
  form.onImportTemplate(0);
  EXPECT_EQ(prompt.texts().last(), Csv::Utf8RefusalText);
  EXPECT_EQ(form.profileNameEdits[0]->text(), "一");

  form.onOk();
  EXPECT_EQ(db.settings.ImportName[2], "蝦皮格式");
  EXPECT_EQ(db.settings.ImportMap[2][2], "姓名：,收件人：");
  EXPECT_EQ(db.settings.ImportMap[1][2], "姓名：");
}

TEST(ImportProfiles, TemplateLines) {
  const QStringList lines = ImportProfiles::templateLines(QStringLiteral("a\r\nb\rc\nd\r\n1\r\n2\r\n3\r\n4\r\n5\r\n6\r\nignored\r\n"));
  EXPECT_EQ(lines, (QStringList{"a", "b", "c", "d", "1", "2", "3", "4", "5", "6"}));
  EXPECT_EQ(ImportProfiles::templateLines(QString()), QStringList(10, QString()));
}

}  // namespace
