#include <gtest/gtest.h>

#include "ScriptedPrompt.h"
#include "TestDir.h"
#include "customers/CustomerCsv.h"
#include "store/CsvFile.h"
#include "store/Database.h"

namespace {

const QChar S(1);  // the name-and-sex separator

struct CustomerCsvTest : ::testing::Test {
  Database db;
  ScriptedPrompt prompt;
  TestDir dir;

  int add(const QStringList& cells) {  // account, category, name-and-sex, phone .. note
    const int r = db.Guest.append(cells.value(0));
    for (int c = 1; c < cells.size(); ++c) db.Guest.setCell(r, c, cells[c]);
    return r;
  }
  QStringList cellsOf(int r) const {
    QStringList out;
    for (int c = 0; c <= GuestCell::Count; ++c) out << db.Guest.cell(r, c);
    return out;
  }
  void importFile(const QByteArray& bytes, bool replace) {
    dir.put("in.csv", bytes);
    prompt.answerPath(dir.file("in.csv")).answer(replace ? Prompt::Answer::Yes : Prompt::Answer::No);
    ASSERT_TRUE(CustomerCsv::importCommand(db, prompt));
  }
};

TEST_F(CustomerCsvTest, ExportWritesTheTenFieldsOfTheListedRowsInListOrder) {
  add({"amy", "露天", "王小美" + QString(S) + "女", "02-1234", "0911", "a@x.tw", "台北市,信義區\r\n5樓", "12345",
       "第一行\r\n第二行"});
  add({"許功蓋", "蝦皮", "Amy Lin", "", "", "", "台中市", "", ""});          // no separator: empty sex
  add({"cal", "未分類", "陳" + QString(S) + "男" + QString(S) + "x", "", "", "", "", "", ""});  // pieces after the second dropped
  add({"dan", "未分類"});
  prompt.answerPath(dir.file("out.csv"));
  CustomerCsv::exportCommand(db, prompt, {3, 1, 2, 4, 9});  // list order; a row outside the table is passed over
  const QString expected = QStringLiteral(
      "客戶帳號,客戶分類,姓名,性別,電話,手機,Email,地址,帳號後5碼,備註\r\n"
      "cal,未分類,陳,男,,,,,,\r\n"
      "amy,露天,王小美,女,02-1234,0911,a@x.tw,\"台北市,信義區5樓\",12345,第一行第二行\r\n"
      "許功蓋,蝦皮,Amy Lin,,,,,台中市,,\r\n"
      "dan,未分類,,,,,,,,\r\n");
  EXPECT_EQ(dir.get("out.csv"), big5(expected));
  ASSERT_EQ(prompt.shown.size(), 2u);
  EXPECT_EQ(prompt.shown[0].kind, "save");
  EXPECT_EQ(prompt.shown[1].text, "匯出完成");
  EXPECT_EQ(prompt.shown[1].title, "注意");
  EXPECT_EQ(prompt.shown[1].icon, Prompt::Icon::Exclamation);
  EXPECT_FALSE(db.dirty());
}

TEST_F(CustomerCsvTest, ExportFailureAndCancelSayNoCompletion) {
  add({"amy", "露天"});
  prompt.answerPath(dir.file("no/such/folder/out.csv"));
  CustomerCsv::exportCommand(db, prompt, {1});
  EXPECT_EQ(prompt.texts(), (QStringList{"匯出", "發生錯誤!"}));
  prompt.clear();
  prompt.answerPath("");
  CustomerCsv::exportCommand(db, prompt, {1});
  EXPECT_EQ(prompt.shown.size(), 1u);  // the dialog only
}

TEST_F(CustomerCsvTest, ExportThenImportGivesTheSameCustomersBack) {
  add({"amy", "露天", "王小美" + QString(S) + "女", "02-1234", "0911", "a@x.tw", "台北市,信義區\r\n5樓", "12345",
       "備註,有逗號"});
  add({"amy", "蝦皮", "Amy Lin", "", "", "", "\"引號\"開頭", "", ""});
  add({"bob", "蝦皮", "", "", "", "", "", "", "一\r\r\n\n二"});  // a pair left by taking out another
  prompt.answerPath(dir.file("out.csv"));
  CustomerCsv::exportCommand(db, prompt, {1, 2, 3});

  Database fresh;
  QString text;
  ASSERT_EQ(Csv::readFile(dir.file("out.csv"), &text), Csv::ReadStatus::Ok);
  const CustomerCsv::ImportCount n = CustomerCsv::importText(fresh, text, true);
  EXPECT_EQ(n.added, 3);
  ASSERT_EQ(fresh.Guest.count(), 3);
  // Commas stay inside their field; the CR LF pair is gone; a name stored
  // without a separator comes back with one; a leading quote is dropped
  // like every quote of free text.
  EXPECT_EQ(fresh.Guest.cell(1, GuestCell::CustomerAddress), "台北市,信義區5樓");
  EXPECT_EQ(fresh.Guest.cell(1, GuestCell::CustomerNote), "備註,有逗號");
  EXPECT_EQ(fresh.Guest.cell(1, GuestCell::BankLast5), "12345");
  EXPECT_EQ(fresh.Guest.cell(1, GuestCell::CustomerNameSex), "王小美" + QString(S) + "女");
  EXPECT_EQ(fresh.Guest.cell(2, GuestCell::CustomerNameSex), "Amy Lin" + QString(S));
  EXPECT_EQ(fresh.Guest.cell(2, GuestCell::CustomerAddress), "引號開頭");
  EXPECT_EQ(fresh.Guest.cell(3, GuestCell::CustomerNameSex), QString(S));
  EXPECT_EQ(fresh.Guest.cell(3, GuestCell::CustomerNote), "一二");

  // Into the database it came from: Yes writes the same values, No nothing.
  const Table before = db.Guest;
  importFile(dir.get("out.csv"), false);
  EXPECT_EQ(db.Guest, before);
  EXPECT_TRUE(db.dirty());
  importFile(dir.get("out.csv"), true);
  EXPECT_EQ(db.Guest.count(), 3);
  EXPECT_EQ(db.Guest.cell(1, GuestCell::CustomerPhone), "02-1234");
  EXPECT_EQ(db.Guest.cell(1, GuestCell::CustomerAddress), "台北市,信義區5樓");
}

TEST_F(CustomerCsvTest, ImportMatchesByAccountAndCategoryLineByLine) {
  add({"amy", "露天", "王小美" + QString(S) + "女", "02", "09", "a@x", "台北", "11111", "舊"});
  const QString text = QStringLiteral(
      "客戶帳號,客戶分類,姓名,性別,電話,手機,Email,地址,帳號後5碼,備註\r\n"
      "amy,蝦皮,Amy\r\n"                      // same account, other category: a second customer
      "amy,露天,小美,,03\r\n"                  // the stored one, rewritten up to field 5
      "solo\r\n"                               // the account alone: a customer without a category
      ",露天,無帳號\r\n"                       // empty account
      "nocat,,x\r\n"                           // empty category
      "\r\n"
      "new,\"露天\",\"陳,小姐\",女,1,2,3,\"高雄市,前鎮區\",4,5,多的,欄位\r\n"
      "new,露天,陳二,男\r\n"                    // added earlier in the file: updated, not added again
      "q\"uote,”露天”,名\r\n"                  // quotes and "”" dropped
      "sep,露天,陳\x01二,男\r\n"              // a separator in a name would make a sex of its rest
      "brk,\"\r\n\",x\r\n"                        // a category of only a line break: empty
      "\"s\r\nep\",\"露\r\n天\",y\r\n");            // a key is one line: the export writes none
  const CustomerCsv::ImportCount n = CustomerCsv::importText(db, text, true);
  EXPECT_EQ(n.added, 5);
  EXPECT_EQ(n.updated, 3);
  ASSERT_EQ(db.Guest.count(), 6);
  EXPECT_EQ(cellsOf(1), (QStringList{"amy", "露天", "小美" + QString(S), "03", "09", "a@x", "台北", "11111", "舊"}));
  EXPECT_EQ(cellsOf(2), (QStringList{"amy", "蝦皮", "Amy", "", "", "", "", "", ""}));
  EXPECT_EQ(cellsOf(3), (QStringList{"solo", "", "", "", "", "", "", "", ""}));
  EXPECT_EQ(cellsOf(4), (QStringList{"new", "露天", "陳二" + QString(S) + "男", "1", "2", "3", "高雄市,前鎮區", "4", "5"}));
  EXPECT_EQ(cellsOf(5), (QStringList{"quote", "露天", "名", "", "", "", "", "", ""}));
  EXPECT_EQ(cellsOf(6)[GuestCell::CustomerNameSex], "y");

  // Without "取代", stored customers keep every cell.
  const Table before = db.Guest;
  const CustomerCsv::ImportCount kept = CustomerCsv::importText(db, text, false);
  EXPECT_EQ(kept.added, 0);
  EXPECT_EQ(db.Guest, before);
}

TEST_F(CustomerCsvTest, AFileThatCannotBeReadChangesNothing) {
  add({"amy", "露天"});
  const Table before = db.Guest;
  struct Case {
    QByteArray bytes;
    bool exists;
    QString message;
  };
  const Case cases[] = {
      {QStringLiteral("客戶帳號\r\nbob,露天\r\n").toUtf8(), true, Csv::Utf8RefusalText},
      {QByteArray("h\r\nbob,\x81\x20\xff\xff\r\n"), true, "發生錯誤!"},
      {QByteArray(), false, "發生錯誤!"},
  };
  for (const Case& c : cases) {
    prompt.clear();
    if (c.exists) dir.put("in.csv", c.bytes);
    prompt.answerPath(dir.file(c.exists ? "in.csv" : "missing.csv"));
    EXPECT_FALSE(CustomerCsv::importCommand(db, prompt));
    EXPECT_EQ(prompt.texts(), (QStringList{"匯入", c.message}));  // no question, no completion
    EXPECT_EQ(db.Guest, before);
    EXPECT_FALSE(db.dirty());
  }
}

TEST_F(CustomerCsvTest, ImportAsksOnceAndReportsCompletion) {
  dir.put("in.csv", big5(QStringLiteral("客戶帳號,客戶分類\r\n")));
  prompt.answerPath(dir.file("in.csv")).answer(Prompt::Answer::Yes);
  EXPECT_TRUE(CustomerCsv::importCommand(db, prompt));
  EXPECT_EQ(prompt.texts(), (QStringList{"匯入", CustomerCsv::ReplaceQuestion, "匯入CSV完成!"}));
  EXPECT_EQ(prompt.shown[1].title, "注意");
  EXPECT_EQ(prompt.shown[1].buttons, Prompt::Buttons::YesNo);
  EXPECT_EQ(prompt.shown[2].icon, Prompt::Icon::Information);
  EXPECT_EQ(db.Guest.count(), 0);  // the header line is no customer
  EXPECT_TRUE(db.dirty());
}

}  // namespace
