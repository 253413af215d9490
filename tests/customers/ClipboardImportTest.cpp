#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "ScriptedPrompt.h"
#include "customers/ClipboardImport.h"
#include "customers/GuestInput.h"
#include "customers/GuestSave.h"
#include "store/Database.h"

namespace {

CustomerFields filled() {
  CustomerFields f;
  f.account = "old";
  f.category = "露天";
  f.name = "舊名";
  f.sex = "女";
  f.phone = "02";
  f.mobile = "09";
  f.email = "old@x";
  f.address = "舊址";
  f.bankLast5 = "11111";
  f.note = "舊備註";
  return f;
}

TEST(ClipboardImport, RutenLineFillsItsFiveBoxes) {
  const DatabaseSettings s;
  CustomerFields f = filled();
  ClipboardImport::apply(0, QStringLiteral("21120500001,2021/12/05,茶杯,1,350,410,ATM,郵局,60,ruby88,小玲,陳美玲,"
                                           "=\"0227001234\",=\"0912345678\",\"台北市信義區,5樓\",請包好\r\n"),
                         s, f);
  CustomerFields want = filled();
  want.account = "ruby88";
  want.name = "陳美玲";
  want.phone = "0227001234";
  want.mobile = "0912345678";
  want.address = "台北市信義區,5樓";
  EXPECT_EQ(f, want);

  // The line break after a copied line stays out of the last field.
  CustomerFields last = filled();
  ClipboardImport::apply(0, QStringLiteral("1,2,3,4,5,6,7,8,9,acc,11,名,=\"02\",=\"09\",高雄市\r\n"), s, last);
  EXPECT_EQ(last.address, "高雄市");
  EXPECT_EQ(last.phone, "02");

  // A text without commas, or too short, fills nothing.
  for (const char* text : {"王小明 0912345678", "a,b,c,d,e,f,g,h,i"}) {
    CustomerFields g = filled();
    ClipboardImport::apply(0, QString::fromUtf8(text), s, g);
    EXPECT_EQ(g, filled()) << text;
  }
}

TEST(ClipboardImport, KeyProfilesSetAndAppendByKeyOrder) {
  DatabaseSettings s;
  auto& m = s.ImportMap[1];
  m[1] = "帳號：";                 // account
  m[2] = "姓名：,先生";            // name: a first key and a later one
  m[3] = ",性別：";                // sex: an empty first key, so only ever appended
  m[4] = "電話：";
  m[7] = "地址：";
  struct Case {
    const char* text;
    CustomerFields (*expect)();
  };
  const Case cases[] = {
      // One line per field (LF alone ends a line too); the key removed, blanks trimmed.
      {"帳號： amy88 \r\n姓名：王小明\n電話：02-1234\r\n", [] {
         CustomerFields f = filled();
         f.account = "amy88";
         f.name = "王小明";
         f.phone = "02-1234";
         return f;
       }},
      // The later key appends; the first key of a later line replaces.
      {"姓名：王\r\n陳先生\r\n", [] {
         CustomerFields f = filled();
         f.name = "王陳";
         return f;
       }},
      {"陳先生\r\n姓名：王\r\n", [] {
         CustomerFields f = filled();
         f.name = "王";
         return f;
       }},
      {"姓名：甲\r\n姓名：乙\r\n性別：男\r\n", [] {
         CustomerFields f = filled();
         f.name = "乙";
         f.sex = "女男";
         return f;
       }},
      // Text before the key stays; nothing matching leaves every box.
      {"收件人 地址：台北市\r\n", [] {
         CustomerFields f = filled();
         f.address = "收件人 台北市";
         return f;
       }},
      {"沒有關鍵字", [] { return filled(); }},
  };
  for (const Case& c : cases) {
    CustomerFields f = filled();
    ClipboardImport::apply(1, QString::fromUtf8(c.text), s, f);
    EXPECT_EQ(f, c.expect()) << c.text;
  }

  // The default second profile's account key is a single blank: a line
  // holding blanks gives the line without them.
  Database db;
  CustomerFields f = filled();
  ClipboardImport::apply(2, QStringLiteral("a b  c\r\nnoblank"), db.settings, f);
  EXPECT_EQ(f.account, "abc");
}

TEST(ClipboardImport, SplitFieldsKeepsQuotedCommasAndLineBreaks) {
  EXPECT_EQ(ClipboardImport::splitFields(u"a,\"b,c\",d\r\ne"), (QStringList{"a", "b,c", "d\r\ne"}));
  EXPECT_EQ(ClipboardImport::splitFields(u"a,\"b,c"), (QStringList{"a", "\"b", "c"}));
  EXPECT_EQ(ClipboardImport::splitFields(u""), QStringList{""});
}

TEST(ClipboardImport, DialogRefusesTextTheFilesCannotHold) {
  Database db;
  db.settings.ImportMap[1][2] = "姓名：";
  db.settings.ImportMap[1][9] = "備註：";
  ScriptedPrompt prompt;
  GuestInput dlg(db, prompt);
  dlg.openNew(GuestSave::NewFromList, "露天");
  dlg.profileCombo->setCurrentIndex(1);
  dlg.nameEdit->setText("舊名");
  dlg.importText(QStringLiteral("姓名：王小明\r\n備註：第一行😀\r\n"));
  ASSERT_EQ(prompt.texts(), QStringList{"備註中的「😀」無法儲存在資料檔中，請改用其他字元"});
  EXPECT_EQ(dlg.nameEdit->text(), "舊名");  // nothing filled
  EXPECT_TRUE(dlg.noteEdit->toPlainText().isEmpty());

  prompt.clear();
  dlg.importText(QStringLiteral("姓名：王小明\r\n備註：\"好\"客戶\r\n"));
  EXPECT_TRUE(prompt.shown.empty());
  EXPECT_EQ(dlg.nameEdit->text(), "王小明");
  EXPECT_EQ(dlg.noteEdit->toPlainText(), "好客戶");
  EXPECT_EQ(dlg.categoryCombo->currentText(), "露天");  // the category never changes
}

}  // namespace
