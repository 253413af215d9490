// Settings files of a database: golden round trips, short, long, over-full
// and damaged files, the dialog's writers and the category lists inside the
// database save.
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include "ScopedSaveFaults.h"
#include "ScriptedPrompt.h"
#include "TestDir.h"
#include "store/DataStore.h"
#include "store/Progress.h"
#include "store/SaveTransaction.h"
#include "store/SettingsFiles.h"

using namespace SettingsFiles;

namespace {

const QString kGolden = QStringLiteral(KESTRIN_TEST_DATA "/settings/golden/");

QStringList goldenNames() { return QDir(kGolden).entryList(QDir::Files, QDir::Name); }

QByteArray golden(const QString& name) {
  QFile f(kGolden + name);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray lines(const QStringList& items) { return big5(items.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")); }

struct SettingsTest : ::testing::Test {
  TestDir dir;
  Database db;
  ScriptedPrompt prompt;
  void SetUp() override { db.DataBasePath = dir.path(); }
  void loadAll() {
    SetInit(db, prompt);
    ImportInit(db, prompt);
    CateInit(db, prompt);
  }
  QString only(const QString& name) { return QStringLiteral("載入 ") + name + QStringLiteral(" 發生錯誤!"); }
};

}  // namespace

TEST_F(SettingsTest, GoldenFolderLoadsAndEveryWriterGivesItsBytesBack) {
  for (const QString& n : goldenNames()) dir.put(n, golden(n));
  loadAll();
  EXPECT_TRUE(prompt.shown.empty()) << prompt.texts().join(u'|').toStdString();

  const DatabaseSettings& s = db.settings;
  EXPECT_EQ(s.AddrTemplate, QStringLiteral("收件人：$Name\r\n地址：$Addr, 電話 $Tel"));
  EXPECT_EQ(s.AddrFileExt, QStringLiteral("htm"));
  EXPECT_EQ(s.NoteTitle, QStringLiteral("出貨明細"));
  EXPECT_EQ(s.NoteShopInfo, QStringLiteral("<b>青鳥小舖</b><br>\r\n電話 02-1234, 週一公休"));
  const std::array<bool, 18> fields{true, true, false, true, false, true, false, true, true,
                                    false, true, false, true, false, true, false, true, true};
  EXPECT_EQ(s.NoteFields, fields);
  const std::array<int, 10> pct{0, 40, 10, 15, 5, 10, 5, 15, 0, 0};
  EXPECT_EQ(s.NoteColPct, pct);
  EXPECT_EQ(s.NoteShopPct, 45);
  EXPECT_EQ(s.NoteWidth, 700);
  EXPECT_EQ(s.NoteSeparators, 1);
  EXPECT_EQ(s.CarryList, QStringList({QStringLiteral("寄郵局"), QStringLiteral("7-11 取貨"), QStringLiteral("黑貓宅急便")}));
  EXPECT_EQ(s.ImportMap[1][1], QStringLiteral("姓名,收件人"));
  EXPECT_EQ(s.ImportMap[1][4], QStringLiteral("\"Email\""));
  EXPECT_EQ(s.ImportMap[2][1], QStringLiteral(" "));
  EXPECT_EQ(s.ImportMap[3][9], QStringLiteral("i"));
  EXPECT_EQ(s.ImportName[1], QStringLiteral("露天格式"));
  EXPECT_EQ(s.ImportName[3], QStringLiteral("蝦皮格式"));
  EXPECT_EQ(s.ProductCategories, QStringList({QStringLiteral("飾品"), QStringLiteral("文具"), QStringLiteral("3C, 周邊")}));
  EXPECT_EQ(s.CustomerCategories.size(), 2);
  EXPECT_EQ(s.ExpenseCategories.size(), 2);
  EXPECT_EQ(s.SupplierNames, QStringList({QStringLiteral("大盤商"), QStringLiteral("小工廠")}));
  EXPECT_EQ(s.SupplierDetails, QStringList({QStringLiteral("電話 02-2222\r\n聯絡人 王先生"), QString()}));

  // Write everything into an empty folder: the same bytes come out.
  TestDir out;
  db.DataBasePath = out.path();
  EXPECT_TRUE(AddrClose(db, prompt));
  for (int n = 0; n <= 6; ++n) EXPECT_TRUE(ShopClose(n, db, prompt));
  EXPECT_TRUE(CarryClose(db, prompt));
  EXPECT_TRUE(ImportClose(db, prompt));
  db.SaveOK = true;
  SaveTransaction t(out.path());
  ASSERT_TRUE(CateClose(db, t));
  ASSERT_TRUE(t.commit());
  EXPECT_TRUE(prompt.shown.empty());
  EXPECT_EQ(out.names(), goldenNames());
  for (const QString& n : goldenNames()) EXPECT_EQ(out.get(n), golden(n)) << n.toStdString();
}

TEST_F(SettingsTest, EmptyFolderGivesDefaultsAndWritesOnlyImportKdt) {
  db.settings.CarryList.clear();  // something left from a database loaded before
  db.settings.NoteFields.fill(true);
  db.settings.ProductCategories << QStringLiteral("舊分類");
  loadAll();
  EXPECT_TRUE(prompt.shown.empty());
  const DatabaseSettings d;
  const DatabaseSettings& s = db.settings;
  EXPECT_EQ(s.NoteFields, d.NoteFields);
  EXPECT_EQ(s.CarryList.size(), 5);
  EXPECT_TRUE(s.ProductCategories.isEmpty());
  EXPECT_EQ(s.SupplierNames, QStringList{QStringLiteral("廠商1")});
  EXPECT_EQ(s.AddrTemplate, QStringLiteral("姓名：$Name  電話：$Tel\r\n住址：$Addr"));
  EXPECT_EQ(s.NoteColPct, d.NoteColPct);
  EXPECT_EQ(dir.names(), QStringList{QStringLiteral("Import.kdt")});
  QStringList expected;
  for (int i = 1; i <= 27; ++i) expected << (i == 10 ? QStringLiteral(" ") : QString());
  expected << QStringLiteral("-自訂1-") << QStringLiteral("-自訂2-") << QStringLiteral("-自訂3-");
  EXPECT_EQ(dir.get(QStringLiteral("Import.kdt")), lines(expected));
}

TEST_F(SettingsTest, FilesAreFoundWhateverTheirLetterCase) {
  dir.put(QStringLiteral("CATE1.KDT"), lines({QStringLiteral("\"飾品\"")}));
  dir.put(QStringLiteral("shop4.kdt"), lines({QStringLiteral("\"30\"")}));
  loadAll();
  EXPECT_EQ(db.settings.ProductCategories, QStringList{QStringLiteral("飾品")});
  EXPECT_EQ(db.settings.NoteShopPct, 30);
}

TEST_F(SettingsTest, AddrWithOnlyTheTemplateKeepsTxt) {
  dir.put(QStringLiteral("Addr.kdt"), big5(QStringLiteral("\"$Name\r\n$Addr\"\r\n")));
  AddrInit(db, prompt);
  EXPECT_EQ(db.settings.AddrTemplate, QStringLiteral("$Name\r\n$Addr"));
  EXPECT_EQ(db.settings.AddrFileExt, QStringLiteral("txt"));
  EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(SettingsTest, ShopSwitchesLongAndShortFiles) {
  QStringList twenty;
  for (int i = 0; i < 20; ++i) twenty << (i % 2 ? QStringLiteral("#TRUE#") : QStringLiteral("#FALSE#"));
  dir.put(QStringLiteral("Shop2.kdt"), lines(twenty));
  ShopInit(2, db, prompt);
  for (size_t i = 0; i < 18; ++i) EXPECT_EQ(db.settings.NoteFields[i], i % 2 == 1) << i;
  // The two values after the eighteenth are not read: the file is read only
  // in part, so its original is kept before the settings dialog replaces it.
  EXPECT_EQ(prompt.texts(), QStringList{only(QStringLiteral("Shop2.kdt"))});
  EXPECT_EQ(db.damagedFiles, QStringList{QStringLiteral("Shop2.kdt")});
  prompt.clear();
  db.damagedFiles.clear();

  // Five values: the rest take their defaults, never what the database
  // loaded before had.
  db.settings.NoteFields.fill(true);
  dir.put(QStringLiteral("Shop2.kdt"), lines(twenty.mid(0, 5)));
  ShopInit(2, db, prompt);
  const DatabaseSettings d;
  for (size_t i = 0; i < 18; ++i) EXPECT_EQ(db.settings.NoteFields[i], i < 5 ? i % 2 == 1 : d.NoteFields[i]) << i;
  EXPECT_TRUE(prompt.shown.empty());
  EXPECT_TRUE(db.damagedFiles.isEmpty());
}

TEST_F(SettingsTest, ShopNumbersRoundHalfToEvenAndRefuseOutOfRange) {
  struct Case {
    int n;
    const char* text;
    int expected;
    bool error;
  };
  const Case cases[] = {
      {4, "\"abc\"", 0, true},    {4, "\"\"", 0, true},  // no number: 0, and the file is kept       {4, "\"300\"", 50, true},
      {4, "\"50.5\"", 50, false}, {4, "\"51.5\"", 52, false},  {4, "\"-1\"", 50, true},
      {5, "\"-40000\"", 650, true}, {5, "\"-120\"", -120, false}, {6, "\"1\"", 1, false},
      {6, "\"256\"", 0, true},    {4, "", 50, true},  // an empty file holds no value
  };
  for (const Case& c : cases) {
    prompt.clear();
    db.damagedFiles.clear();
    dir.put(shopFile(c.n), big5(QString::fromUtf8(c.text)));
    ShopInit(c.n, db, prompt);
    const int got = c.n == 4 ? db.settings.NoteShopPct : c.n == 5 ? db.settings.NoteWidth : db.settings.NoteSeparators;
    EXPECT_EQ(got, c.expected) << c.n << " " << c.text;
    EXPECT_EQ(prompt.texts(), c.error ? QStringList{only(shopFile(c.n))} : QStringList()) << c.text;
    if (c.error) {
      EXPECT_EQ(prompt.shown.at(0).icon, Prompt::Icon::Exclamation);
    }
  }
}

TEST_F(SettingsTest, ShopPercentsShortBadAndOutOfRange) {
  dir.put(QStringLiteral("Shop3.kdt"), lines({QStringLiteral("12.5"), QStringLiteral("13.5"), QStringLiteral("7")}));
  db.settings.NoteColPct.fill(99);
  ShopInit(3, db, prompt);
  const std::array<int, 10> shortFile{0, 12, 14, 7, 0, 10, 0, 15, 0, 0};
  EXPECT_EQ(db.settings.NoteColPct, shortFile);
  EXPECT_TRUE(prompt.shown.empty());

  const DatabaseSettings d;
  for (const char* bad : {"40\r\nabc\r\n", "40\r\n300\r\n", "40\r\n#TRUE#\r\n"}) {
    prompt.clear();
    dir.put(QStringLiteral("Shop3.kdt"), QByteArray(bad));
    ShopInit(3, db, prompt);
    EXPECT_EQ(db.settings.NoteColPct, d.NoteColPct) << bad;  // all nine defaults
    EXPECT_EQ(prompt.texts(), QStringList{only(QStringLiteral("Shop3.kdt"))});
  }
  prompt.clear();
  dir.put(QStringLiteral("Shop2.kdt"), QByteArray("#TRUE#\r\n#TRUE#\r\nyes\r\n"));
  db.settings.NoteFields.fill(true);
  ShopInit(2, db, prompt);
  EXPECT_EQ(db.settings.NoteFields, d.NoteFields);
  EXPECT_EQ(prompt.texts(), QStringList{only(QStringLiteral("Shop2.kdt"))});
}

TEST_F(SettingsTest, CarryFileCases) {
  dir.put(QStringLiteral("Carry.kdt"), big5(QStringLiteral("寄郵局,寄宅配\r\n  面交  \r\n")));
  CarryInit(db, prompt);
  EXPECT_EQ(db.settings.CarryList,
            QStringList({QStringLiteral("寄郵局"), QStringLiteral("寄宅配"), QStringLiteral("面交")}));

  dir.put(QStringLiteral("Carry.kdt"), QByteArray());
  CarryInit(db, prompt);
  EXPECT_TRUE(db.settings.CarryList.isEmpty());  // the defaults come only for a missing file
  EXPECT_TRUE(prompt.shown.empty());

  // A quoted method holding a comma is read as one, but the writer could
  // not give it back: the file is kept before the settings dialog rewrites it.
  dir.put(QStringLiteral("Carry.kdt"), big5(QStringLiteral("\"寄郵局,快遞\"\r\n面交\r\n")));
  CarryInit(db, prompt);
  EXPECT_EQ(db.settings.CarryList, QStringList({QStringLiteral("寄郵局,快遞"), QStringLiteral("面交")}));
  EXPECT_EQ(prompt.texts(), QStringList{QStringLiteral("載入 Carry 檔案發生錯誤!")});
  EXPECT_EQ(db.damagedFiles, QStringList{QStringLiteral("Carry.kdt")});
  prompt.clear();
  db.damagedFiles.clear();

  // 51 methods: the 50 that fit stay (not the defaults), the message is
  // shown and the original is kept before anything replaces it.
  QStringList many;
  for (int i = 1; i <= 51; ++i) many << QStringLiteral("方式%1").arg(i);
  dir.put(QStringLiteral("Carry.kdt"), lines(many));
  CarryInit(db, prompt);
  EXPECT_EQ(db.settings.CarryList, many.mid(0, 50));
  EXPECT_EQ(prompt.texts(), QStringList{QStringLiteral("載入 Carry 檔案發生錯誤!")});
  EXPECT_EQ(db.damagedFiles, QStringList{QStringLiteral("Carry.kdt")});

  // The settings dialog's writer keeps the original beside the file first.
  prompt.clear();
  ASSERT_TRUE(CarryClose(db, prompt));
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_TRUE(prompt.shown[0].text.contains(QStringLiteral("Carry.kdt.damaged-")));
  EXPECT_TRUE(db.damagedFiles.isEmpty());
  QString kept;
  for (const QString& n : dir.names()) {
    if (n.startsWith(QStringLiteral("Carry.kdt.damaged-"))) kept = n;
  }
  ASSERT_FALSE(kept.isEmpty());
  EXPECT_EQ(dir.get(kept), lines(many));
  EXPECT_EQ(dir.get(QStringLiteral("Carry.kdt")), lines(many.mid(0, 50)));
}

TEST_F(SettingsTest, ImportShortFiles) {
  QStringList l27;
  for (int i = 1; i <= 27; ++i) l27 << QStringLiteral("k%1").arg(i);
  dir.put(QStringLiteral("Import.kdt"), lines(l27));
  ImportInit(db, prompt);
  EXPECT_EQ(db.settings.ImportMap[3][9], QStringLiteral("k27"));
  EXPECT_EQ(db.settings.ImportName[1], QStringLiteral("-1-"));
  EXPECT_EQ(db.settings.ImportName[2], QStringLiteral("-2-"));
  EXPECT_EQ(db.settings.ImportName[3], QStringLiteral("-3-"));

  dir.put(QStringLiteral("Import.kdt"), lines(l27.mid(0, 12)));
  ImportInit(db, prompt);
  const auto& m = db.settings.ImportMap;
  EXPECT_EQ(m[1][1], QStringLiteral("k1"));
  EXPECT_EQ(m[1][9], QStringLiteral("k9"));
  EXPECT_EQ(m[2][1], QStringLiteral("k10"));
  EXPECT_EQ(m[2][3], QStringLiteral("k12"));
  EXPECT_EQ(m[2][4], QString());
  EXPECT_EQ(m[3][1], QString());
  EXPECT_EQ(db.settings.ImportName[3], QStringLiteral("-3-"));
  EXPECT_TRUE(prompt.shown.empty());
  EXPECT_EQ(dir.get(QStringLiteral("Import.kdt")), lines(l27.mid(0, 12)));  // read, never rewritten
}

TEST_F(SettingsTest, CategoryCapacitiesAndOverFullLists) {
  QStringList cats;
  for (int i = 1; i <= 2001; ++i) cats << QStringLiteral("\"分類%1\"").arg(i);
  dir.put(QStringLiteral("Cate1.kdt"), lines(cats.mid(0, 2000)));
  CateInit(1, db, prompt);
  EXPECT_EQ(db.settings.ProductCategories.size(), 2000);
  EXPECT_TRUE(prompt.shown.empty());

  // One more: the 2000 that fit are kept, never an empty list.
  dir.put(QStringLiteral("Cate1.kdt"), lines(cats));
  CateInit(1, db, prompt);
  EXPECT_EQ(db.settings.ProductCategories.size(), 2000);
  EXPECT_EQ(db.settings.ProductCategories.last(), QStringLiteral("分類2000"));
  EXPECT_EQ(prompt.texts(), QStringList{only(QStringLiteral("Cate1.kdt"))});
  EXPECT_EQ(db.damagedFiles, QStringList{QStringLiteral("Cate1.kdt")});

  prompt.clear();
  dir.put(QStringLiteral("Cate2.kdt"), lines(cats.mid(0, 201)));
  CateInit(2, db, prompt);
  EXPECT_EQ(db.settings.CustomerCategories.size(), 200);
  dir.put(QStringLiteral("Cate3.kdt"), lines(cats.mid(0, 501)));
  CateInit(3, db, prompt);
  EXPECT_EQ(db.settings.ExpenseCategories.size(), 500);
  EXPECT_EQ(prompt.texts(), QStringList({only(QStringLiteral("Cate2.kdt")), only(QStringLiteral("Cate3.kdt"))}));

  prompt.clear();
  dir.put(QStringLiteral("Cate2.kdt"), QByteArray());
  CateInit(2, db, prompt);
  EXPECT_TRUE(db.settings.CustomerCategories.isEmpty());
  EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(SettingsTest, SupplierFileCases) {
  dir.put(QStringLiteral("Cate4.kdt"), big5(QStringLiteral("\"甲\",\"電話1\"\r\n\"乙\"\r\n")));
  CateInit(4, db, prompt);
  EXPECT_EQ(db.settings.SupplierNames, QStringList{QStringLiteral("甲")});  // a name without details is dropped
  EXPECT_EQ(db.settings.SupplierDetails, QStringList{QStringLiteral("電話1")});
  // ... and the file, read only in part, is kept before it is rewritten.
  EXPECT_EQ(prompt.texts(), QStringList{only(QStringLiteral("Cate4.kdt"))});
  EXPECT_EQ(db.damagedFiles, QStringList{QStringLiteral("Cate4.kdt")});
  prompt.clear();

  dir.put(QStringLiteral("Cate4.kdt"), QByteArray());
  CateInit(4, db, prompt);
  EXPECT_TRUE(db.settings.SupplierNames.isEmpty());
  EXPECT_TRUE(prompt.shown.empty());

  QStringList many;
  for (int i = 1; i <= 501; ++i) many << QStringLiteral("\"廠商%1\",\"\"").arg(i);
  dir.put(QStringLiteral("Cate4.kdt"), lines(many));
  CateInit(4, db, prompt);
  EXPECT_EQ(db.settings.SupplierNames.size(), 500);
  EXPECT_EQ(db.settings.SupplierDetails.size(), 500);
  EXPECT_EQ(prompt.texts(), QStringList{only(QStringLiteral("Cate4.kdt"))});
}

TEST_F(SettingsTest, DamagedBytesKeepTheEntriesReadAndMarkTheFile) {
  QByteArray bytes = big5(QStringLiteral("\"運費\"\r\n\"包材\"\r\n\"")) + QByteArray("\xa1\x30") + QByteArray("\"\r\n");
  dir.put(QStringLiteral("Cate3.kdt"), bytes);
  CateInit(3, db, prompt);
  ASSERT_GE(db.settings.ExpenseCategories.size(), 2);
  EXPECT_EQ(db.settings.ExpenseCategories.mid(0, 2), QStringList({QStringLiteral("運費"), QStringLiteral("包材")}));
  EXPECT_EQ(prompt.texts(), QStringList{only(QStringLiteral("Cate3.kdt"))});
  EXPECT_EQ(db.damagedFiles, QStringList{QStringLiteral("Cate3.kdt")});

  // A file cut inside a quoted entry: the entries before it stay.
  prompt.clear();
  dir.put(QStringLiteral("Cate1.kdt"), big5(QStringLiteral("\"飾品\"\r\n\"文")));
  CateInit(1, db, prompt);
  EXPECT_EQ(db.settings.ProductCategories, QStringList{QStringLiteral("飾品")});
  EXPECT_EQ(prompt.texts(), QStringList{only(QStringLiteral("Cate1.kdt"))});

  // Fixed-layout files fall back to their defaults.
  prompt.clear();
  dir.put(QStringLiteral("Shop0.kdt"), QByteArray("\"\xa1\x30\"\r\n"));
  ShopInit(0, db, prompt);
  EXPECT_EQ(db.settings.NoteTitle, QStringLiteral("出貨單"));
  EXPECT_EQ(prompt.texts(), QStringList{only(QStringLiteral("Shop0.kdt"))});
}

TEST_F(SettingsTest, LapsedAutoBackupFolderIsToldOnceAndSetAside) {
  TestDir backup;
  dir.put(QStringLiteral("AutoBackup.kdt"), big5(QStringLiteral("\"") + backup.path() + QStringLiteral("\"\r\n")));
  AutoBackupInit(db, prompt);
  EXPECT_EQ(db.settings.AutoBackupPath, backup.path());
  EXPECT_TRUE(prompt.shown.empty());

  const QString gone = backup.path() + QStringLiteral("已刪除");
  dir.put(QStringLiteral("AutoBackup.kdt"), big5(QStringLiteral("\"") + gone + QStringLiteral("\"\r\n")));
  dir.put(QStringLiteral("AutoBackup.123"), QByteArray("older"));
  AutoBackupInit(db, prompt);
  EXPECT_TRUE(db.settings.AutoBackupPath.isEmpty());
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_EQ(prompt.shown[0].text,
            QStringLiteral("您所指定的自動備份路徑已失效，請重新設定路徑:\r\n\r\n設定(S) -> 設定自動備份的儲存路徑(A)"));
  EXPECT_EQ(prompt.shown[0].icon, Prompt::Icon::None);
  EXPECT_FALSE(dir.has(QStringLiteral("AutoBackup.kdt")));
  EXPECT_EQ(dir.get(QStringLiteral("AutoBackup.123")), big5(QStringLiteral("\"") + gone + QStringLiteral("\"\r\n")));

  // Loading again shows nothing: the file is gone.
  prompt.clear();
  AutoBackupInit(db, prompt);
  EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(SettingsTest, DialogWritersReportFailuresAndChangeNothing) {
  ScopedSaveFaults faults;
  dir.put(QStringLiteral("Addr.kdt"), QByteArray("\"old\",\"txt\"\r\n"));
  db.settings.AddrTemplate = QStringLiteral("new");
  faults.failAfterBytes(0);
  EXPECT_FALSE(AddrClose(db, prompt));
  faults.failAfterBytes(-1);
  EXPECT_EQ(prompt.texts(), QStringList{QStringLiteral("儲存 Addr.kdt 發生錯誤!")});
  EXPECT_EQ(dir.get(QStringLiteral("Addr.kdt")), QByteArray("\"old\",\"txt\"\r\n"));

  prompt.clear();
  db.settings.NoteColPct[4] = 300;
  EXPECT_FALSE(ShopClose(3, db, prompt));
  EXPECT_EQ(prompt.texts(), QStringList{QStringLiteral("儲存 Shop3.kdt 發生錯誤!")});
  EXPECT_FALSE(dir.has(QStringLiteral("Shop3.kdt")));
  EXPECT_EQ(percentOfCell(QStringLiteral("12.5%")), 12);
  EXPECT_EQ(percentOfCell(QStringLiteral("13.5")), 14);

  // 51 methods: 50 are written, then the failure is reported.
  prompt.clear();
  db.settings.CarryList.clear();
  for (int i = 1; i <= 51; ++i) db.settings.CarryList << QStringLiteral("m%1").arg(i);
  EXPECT_FALSE(CarryClose(db, prompt));
  EXPECT_EQ(prompt.texts(), QStringList{QStringLiteral("儲存 Carry.kdt 發生錯誤!")});
  EXPECT_EQ(db.settings.CarryList.size(), 50);
  CarryInit(db, prompt);
  EXPECT_EQ(db.settings.CarryList.size(), 50);
}

TEST_F(SettingsTest, WrittenTextsReadBackWhole) {
  db.settings.NoteTitle = QStringLiteral("出貨單 \"特價\"");
  db.settings.CarryList = {QStringLiteral("寄郵局,快遞"), QStringLiteral("  面交 ")};
  ASSERT_TRUE(ShopClose(0, db, prompt));
  ASSERT_TRUE(CarryClose(db, prompt));
  EXPECT_EQ(db.settings.NoteTitle, QStringLiteral("出貨單 '特價'"));
  db.settings.reset();
  ShopInit(0, db, prompt);
  CarryInit(db, prompt);
  EXPECT_EQ(db.settings.NoteTitle, QStringLiteral("出貨單 '特價'"));
  EXPECT_EQ(db.settings.CarryList, QStringList({QStringLiteral("寄郵局快遞"), QStringLiteral("面交")}));

  // Category entries are written without their outer blanks.
  db.settings.ProductCategories = {QStringLiteral("  飾品 ")};
  db.settings.SupplierNames = {QStringLiteral(" 甲 ")};
  db.settings.SupplierDetails = {QStringLiteral(" 電話 ")};
  EXPECT_EQ(cateText(1, db.settings), QStringLiteral("\"飾品\"\r\n"));
  EXPECT_EQ(cateText(4, db.settings), QStringLiteral("\"甲\",\"電話\"\r\n"));
}

TEST_F(SettingsTest, CateCloseStopsAtTheFirstFailedFile) {
  ScopedSaveFaults faults;
  db.SaveOK = true;
  db.settings.ProductCategories = {QStringLiteral("飾品")};
  faults.failAfterBytes(3);
  SaveTransaction t(dir.path());
  EXPECT_FALSE(CateClose(db, t));
  faults.failAfterBytes(-1);
  EXPECT_FALSE(db.SaveOK);
  t.discard();
  EXPECT_TRUE(dir.names().isEmpty());

  db.SaveOK = false;  // an earlier writer failed: nothing is written
  SaveTransaction t2(dir.path());
  EXPECT_FALSE(CateClose(db, t2));
  EXPECT_TRUE(t2.empty());
}

// The category lists survive a load and a save of the whole database, and
// an over-full list file is kept beside the one the save writes.
TEST_F(SettingsTest, DataStoreLoadAndSaveKeepTheCategoryLists) {
  for (int n = 1; n <= 4; ++n) dir.put(cateFile(n), golden(cateFile(n)));
  QStringList over;
  for (int i = 1; i <= 201; ++i) over << QStringLiteral("\"站%1\"").arg(i);
  dir.put(QStringLiteral("Cate2.kdt"), lines(over));
  SilentProgress progress;
  {
    DataStore store(db, prompt, progress);
    store.loadDatabase();
    EXPECT_EQ(prompt.texts(), QStringList{only(QStringLiteral("Cate2.kdt"))});
    prompt.clear();
    ASSERT_TRUE(store.DataBaseSave());
  }
  for (int n : {1, 3, 4}) EXPECT_EQ(dir.get(cateFile(n)), golden(cateFile(n))) << n;
  EXPECT_EQ(dir.get(QStringLiteral("Cate2.kdt")), lines(over.mid(0, 200)));
  ASSERT_EQ(prompt.shown.size(), 1u);  // told once, at the first save
  EXPECT_TRUE(prompt.shown[0].text.contains(QStringLiteral("Cate2.kdt.damaged-")));
  bool kept = false;
  for (const QString& name : dir.names()) {
    if (name.startsWith(QStringLiteral("Cate2.kdt.damaged-"))) kept = dir.get(name) == lines(over);
  }
  EXPECT_TRUE(kept);

  // Loaded again, the lists come back as saved.
  Database again;
  again.DataBasePath = dir.path();
  prompt.clear();
  DataStore store(again, prompt, progress);
  store.loadDatabase();
  EXPECT_TRUE(prompt.shown.empty());
  EXPECT_EQ(again.settings.ProductCategories, db.settings.ProductCategories);
  EXPECT_EQ(again.settings.CustomerCategories.size(), 200);
  EXPECT_EQ(again.settings.SupplierDetails, db.settings.SupplierDetails);
}
