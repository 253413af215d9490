// Table files: the field reader, the golden database round trip, the
// one-column files, damaged files and the all-or-nothing save.
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <tuple>

#include "LoadedDatabase.h"
#include "ScopedSaveFaults.h"
#include "ScriptedPrompt.h"
#include "TestDir.h"
#include "platform/Codec.h"
#include "store/DataStore.h"
#include "store/Database.h"
#include "store/Progress.h"
#include "store/QuotedFieldFile.h"
#include "store/SaveTransaction.h"
#include "store/TableFileParse.h"

namespace {

struct ReaderCase {
  const char* text;
  int fields;
  std::vector<std::vector<QString>> records;  // complete records read
  bool damaged;
};

TEST(QuotedFieldReader, ReadsRecordsFieldByField) {
  const std::vector<ReaderCase> cases = {
      {"\"a\",\"b\"\r\n\"c\",\"d\"\r\n", 2, {{"a", "b"}, {"c", "d"}}, false},
      // Commas and line breaks stay inside quotes.
      {"\"x,y\",\"1\r\n2\"\r\n", 2, {{"x,y", "1\r\n2"}}, false},
      // Unquoted fields lose trailing blanks; blanks before a field are skipped.
      {"  12 kg ,\"z\"\r\n", 2, {{"12 kg", "z"}}, false},
      // A record cut short by the end of the file is dropped.
      {"\"a\",\"b\"\r\n\"c\"", 2, {{"a", "b"}}, false},
      // A trailing empty line is an incomplete record.
      {"\"a\",\"b\"\r\n\r\n", 2, {{"a", "b"}}, false},
      // An empty line is one empty field in a one-column file.
      {"\"7\"\r\n\r\n\"8\"\r\n", 1, {{"7"}, {""}, {"8"}}, false},
      // Last record without a line end still counts.
      {"\"a\",\"b\"", 2, {{"a", "b"}}, false},
      // Empty values.
      {"\"\",\"\"\r\n", 2, {{"", ""}}, false},
      // A line with too few fields is damage, not a shifted read.
      {"\"a\"\r\n\"b\",\"c\"\r\n", 2, {}, true},
      // A line with too many fields is damage too.
      {"\"a\",\"b\",\"c\"\r\n", 2, {}, true},
      // Lone LF ends a line as well.
      {"\"a\",\"b\"\n\"c\",\"d\"\n", 2, {{"a", "b"}, {"c", "d"}}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const QString text = QString::fromUtf8(c.text);
    QuotedFieldReader r(text);
    std::vector<std::vector<QString>> got;
    bool damaged = false;
    QStringList f;
    while (!r.atEnd()) {
      const auto res = r.readRecord(c.fields, &f);
      if (res == QuotedFieldReader::Record::Truncated) break;
      if (res == QuotedFieldReader::Record::Damaged) { damaged = true; break; }
      got.emplace_back(f.begin(), f.end());
    }
    EXPECT_EQ(got, c.records);
    EXPECT_EQ(damaged, c.damaged);
  }
}

TEST(QuotedFieldWriter, WritesQuotedFieldsAndReplacesStrayQuotes) {
  QuotedFieldWriter w;
  w.record({QStringLiteral("a,b"), QString(), QStringLiteral("say \"hi\"")});
  EXPECT_EQ(w.text(), QStringLiteral("\"a,b\",\"\",\"say 'hi'\"\r\n"));
}

QString currentNum(int n) { return QDate::currentDate().toString(QStringLiteral("yyMM")) + u',' + QString::number(n) + QStringLiteral("\r\n"); }

// The table writer, made for speed, writes exactly what the field writer
// writes: for a table of mostly distinct texts (written cell by cell) and
// for a loaded one of repeated texts (written from its distinct texts), with
// texts of every length around the writer's block size, quotes, line breaks
// and characters of two bytes, over several pieces of rows.
TEST(TableBytes, MatchTheFieldWriterByteForByte) {
  const QStringList texts = {"", "a", QString(15, u'x'), QString(16, u'y'), QString(17, u'z'), "say \"hi\"",
                             "一,二\r\n三", QString(9, QChar(0x8A31)), QString(300, u'w'), "許功蓋", "0"};
  constexpr int kRows = 30001;  // pieces of rows and a part of one
  constexpr int kColumns = 5;
  Table distinct(kColumns - 1);
  QuotedFieldWriter w;
  for (int r = 0; r < kRows; ++r) {
    const int row = distinct.append(QStringLiteral("k%1").arg(r));
    QStringList fields{QStringLiteral("k%1").arg(r)};
    for (int c = 1; c < kColumns; ++c) {
      const QString v = texts[(r * 7 + c * 3) % texts.size()] + (c == 1 ? QString::number(r) : QString());
      distinct.setCell(row, c, v);
      fields << v;
    }
    w.record(fields);
  }
  const QByteArray expected = Codec::encode(w.text());
  EXPECT_EQ(DataStore::tableBytes(distinct, 0, kColumns), expected);

  QuotedFieldWriter repeated;
  for (int r = 0; r < kRows; ++r) {
    QStringList fields;
    for (int c = 0; c < kColumns; ++c) fields << QString(texts[(r + c * 5) % texts.size()]).replace(u'"', u'\'');
    repeated.record(fields);
  }
  const QByteArray bytes = Codec::encode(repeated.text());
  Table loaded(kColumns - 1);
  TableLoad::appendRows(loaded, parseTableBytes(bytes.constData(), static_cast<size_t>(bytes.size()), kColumns));
  ASSERT_EQ(loaded.count(), kRows);
  ASSERT_LT(loaded.valueIdCount() * 4, static_cast<uint32_t>(kRows * kColumns));
  EXPECT_EQ(DataStore::tableBytes(loaded, 0, kColumns), bytes);
  EXPECT_EQ(DataStore::tableBytes(loaded, 2, 1), Codec::encode(DataStore::tableText(loaded, 2, 1)));
}

TEST(TableFiles, GoldenDatabaseLoadsAndSavesBackByteForByte) {
  TestDir d;
  copyGolden(d);
  d.put(QStringLiteral("Num.kdt"), big5(currentNum(3)));
  const QStringList names = d.names();
  std::map<QString, QByteArray> before;
  for (const QString& n : names) before[n] = d.get(n);

  Loaded l(d.path());
  EXPECT_TRUE(l.prompt.shown.empty()) << l.prompt.texts().join(u'|').toStdString();
  EXPECT_EQ(l.progress.value, 100);
  ASSERT_EQ(l.db.Order.count(), 2);
  EXPECT_EQ(l.db.Order.cell(1, OrderCell::OrderNote), QStringLiteral("第一行,逗號\r\n第二行"));
  EXPECT_EQ(l.db.Order.cell(2, OrderCell::BuyerAccount), QStringLiteral("許功蓋"));
  EXPECT_EQ(l.db.Stock.cell(1, StockCell::LineWeight), QStringLiteral("0.35"));
  EXPECT_EQ(l.db.Manuf.cell(1, ManufCell::ProductStock), QStringLiteral("007"));  // main files keep cells as written
  EXPECT_EQ(l.db.Guest.cell(1, GuestCell::CustomerNameSex), QStringLiteral("王小明") + QChar(1) + QStringLiteral("男"));
  EXPECT_EQ(l.db.num, 3);

  EXPECT_TRUE(l.store.DataBaseSave());
  EXPECT_FALSE(d.has(QStringLiteral("~Save.lst")));
  for (const QString& n : names) EXPECT_EQ(d.get(n), before[n]) << n.toStdString();
  // Expend.kdt was there and unchanged: not rewritten, so still the same bytes.
}

TEST(TableFiles, EmptyFolderLoadsEmptyAndWritesEmptyFiles) {
  TestDir d;
  Loaded l(d.path());
  EXPECT_TRUE(l.prompt.shown.empty());
  EXPECT_EQ(l.progress.value, 100);
  EXPECT_EQ(l.db.num, 1);
  EXPECT_EQ(l.db.Order.count() + l.db.Stock.count() + l.db.Manuf.count() + l.db.Guest.count(), 0);
  ASSERT_TRUE(l.store.DataBaseSave());
  EXPECT_TRUE(l.db.ExpendDirty);  // Expend.kdt was missing
  for (const char* n : {"Order1.kdt", "Stock1.kdt", "Stock2.kdt", "Member.kdt", "Manuf1.kdt", "ManufStock.kdt", "Expend.kdt",
                        "Images1.kdt"}) {
    EXPECT_TRUE(d.has(QString::fromLatin1(n))) << n;
    EXPECT_EQ(d.get(QString::fromLatin1(n)).size(), 0) << n;
  }
  EXPECT_EQ(d.get(QStringLiteral("Num.kdt")), big5(currentNum(1)));
}

TEST(TableFiles, OneColumnFilesFillByPositionWithLeadingNumbers) {
  TestDir d;
  QByteArray manuf;
  for (int i = 1; i <= 4; ++i) manuf += big5(QStringLiteral("\"p%1\",\"c\",\"1\",\"1\",\"007\",\"\"\r\n").arg(i));
  d.put(QStringLiteral("Manuf1.kdt"), manuf);
  // Fewer records than rows; 007 -> 7, 1.50 -> 1.5, "12 kg" -> 12, "" -> 0.
  d.put(QStringLiteral("Manuf2.kdt"), "\"007\"\r\n\"1.50\"\r\n\"12 kg\"\r\n");
  d.put(QStringLiteral("STOCK1.KDT"), big5(QStringLiteral("\"1\",\"p1\",\"c\",\"1\",\"1\",\"1\",\"\",\"\"\r\n")));
  // More records than rows: the extra ones are not read.
  d.put(QStringLiteral("Stock2.kdt"), "\"2.5\"\r\n\"9\"\r\n");
  Loaded l(d.path());
  const QStringList safety = {l.db.Manuf.cell(1, 6), l.db.Manuf.cell(2, 6), l.db.Manuf.cell(3, 6), l.db.Manuf.cell(4, 6)};
  EXPECT_EQ(safety, (QStringList{"7", "1.5", "12", "0"}));
  // "12 kg" read as 12 and records beyond the table's rows are damage: the
  // files are kept before the first save and the user is told.
  EXPECT_EQ(l.prompt.texts(), (QStringList{"載入 Manuf2 檔案發生錯誤!", "載入 Stock2 檔案發生錯誤!"}));
  EXPECT_EQ(l.db.damagedFiles, (QStringList{"Manuf2.kdt", "Stock2.kdt"}));
  EXPECT_EQ(l.db.Manuf.cell(1, ManufCell::ProductWeight), QStringLiteral("0"));  // Manuf3.kdt missing
  EXPECT_EQ(l.db.Manuf.cell(1, ManufCell::ProductStock), QStringLiteral("007"));
  ASSERT_EQ(l.db.Stock.count(), 1);  // found case-insensitively
  EXPECT_EQ(l.db.Stock.cell(1, StockCell::LineWeight), QStringLiteral("2.5"));

  // The save writes the canonical name and leaves no other-cased copy.
  ASSERT_TRUE(l.store.DataBaseSave());
  EXPECT_TRUE(d.has(QStringLiteral("Stock1.kdt")));
  EXPECT_FALSE(d.names().contains(QStringLiteral("STOCK1.KDT")));
}

TEST(TableFiles, DamagedFileKeepsRowsReadAndIsKeptAsideBeforeTheFirstSave) {
  TestDir d;
  const QByteArray damaged = big5(QStringLiteral("\"a\",\"c\",\"d\",\"1\",\"\"\r\n\"b\",\"c\"\r\n\"x\",\"c\",\"d\",\"2\",\"\"\r\n"));
  d.put(QStringLiteral("Expend.kdt"), damaged);
  Loaded l(d.path());
  ASSERT_EQ(l.prompt.texts(), QStringList{QStringLiteral("載入 Expend 檔案發生錯誤!")});
  EXPECT_EQ(l.prompt.shown[0].icon, Prompt::Icon::Exclamation);
  EXPECT_EQ(l.db.Expend.count(), 1);  // the rows before the damage stay
  l.prompt.clear();
  ASSERT_TRUE(l.store.DataBaseSave());
  ASSERT_EQ(l.prompt.shown.size(), 1u);  // told once
  QStringList aside;
  for (const QString& n : d.names())
    if (n.startsWith(QStringLiteral("Expend.kdt.damaged-"))) aside << n;
  ASSERT_EQ(aside.size(), 1);
  EXPECT_EQ(d.get(aside[0]), damaged);
  l.prompt.clear();
  ASSERT_TRUE(l.store.DataBaseSave());
  EXPECT_TRUE(l.prompt.shown.empty());
}

TEST(TableFiles, UndecodableBytesAreReportedAndTheOriginalKept) {
  TestDir d;
  d.put(QStringLiteral("Member.kdt"), QByteArray("\"a\xa4 \",\"b\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n"));
  Loaded l(d.path());
  EXPECT_EQ(l.prompt.texts(), QStringList{QStringLiteral("載入 Member 檔案發生錯誤!")});
  EXPECT_EQ(l.db.damagedFiles, QStringList{QStringLiteral("Member.kdt")});
}

// Which file is at each name (a save writes a file anew, never in place).
std::map<QString, ino_t> inodes(const TestDir& d) {
  std::map<QString, ino_t> out;
  for (const QString& n : d.names()) {
    struct stat st{};
    if (::stat(QFile::encodeName(d.file(n)).constData(), &st) == 0) out[n] = st.st_ino;
  }
  return out;
}

// The names whose file changed, in name order, joined by spaces.
std::string rewritten(const std::map<QString, ino_t>& before, const std::map<QString, ino_t>& after) {
  QStringList out;
  for (const auto& [n, ino] : after) {
    const auto it = before.find(n);
    if (it == before.end() || it->second != ino) out << n;
  }
  return out.join(u' ').toStdString();
}

std::string sorted(QStringList names) {
  names.sort();
  return names.join(u' ').toStdString();
}

// A save leaves the table files a save since the load wrote from the same
// rows, as long as they are still the files it wrote; whatever it writes or
// leaves, the folder holds what a save of everything writes.
TEST(TableFiles, ASaveLeavesTheFilesItWouldWriteAgainByteForByte) {
  ScopedSaveFaults faults;
  TestDir d;
  copyGolden(d);
  d.put(QStringLiteral("Num.kdt"), big5(currentNum(3)));
  Loaded l(d.path());
  const auto everyFile = [&] {
    for (const auto& [name, table, first, columns] :
         std::vector<std::tuple<const char*, const Table*, int, int>>{{"Order1.kdt", &l.db.Order, 0, 13},
                                                                      {"Stock1.kdt", &l.db.Stock, 0, 8},
                                                                      {"Stock2.kdt", &l.db.Stock, 8, 1},
                                                                      {"Member.kdt", &l.db.Guest, 0, 9},
                                                                      {"Manuf1.kdt", &l.db.Manuf, 0, 6},
                                                                      {"Manuf2.kdt", &l.db.Manuf, 6, 1},
                                                                      {"Manuf3.kdt", &l.db.Manuf, 7, 1},
                                                                      {"ManufStock.kdt", &l.db.ManufStock, 0, 10},
                                                                      {"Images1.kdt", &l.db.Images, 0, 3},
                                                                      {"Expend.kdt", &l.db.Expend, 0, 5}})
      EXPECT_EQ(d.get(QString::fromLatin1(name)), DataStore::tableBytes(*table, first, columns)) << name;
  };
  // The first save after a load writes every file.
  auto before = inodes(d);
  l.db.ExpendDirty = true;
  ASSERT_TRUE(l.store.DataBaseSave());
  const QStringList cates = {"Cate1.kdt", "Cate2.kdt", "Cate3.kdt", "Cate4.kdt"};
  EXPECT_EQ(rewritten(before, inodes(d)), sorted(QStringList({"Expend.kdt", "Images1.kdt", "Manuf1.kdt", "Manuf2.kdt",
                                                              "Manuf3.kdt", "ManufStock.kdt", "Member.kdt", "Num.kdt",
                                                              "Order1.kdt", "Stock1.kdt", "Stock2.kdt"}) +
                                                 cates));
  everyFile();

  struct Step {
    const char* what;
    std::function<void()> change;
    QStringList written;  // besides the category lists
  };
  const std::vector<Step> steps = {
      {"nothing changed", [] {}, {}},
      {"an order's note", [&] { l.db.Order.setCell(2, OrderCell::OrderNote, QStringLiteral("n")); }, {"Order1.kdt"}},
      {"a line's weight", [&] { l.db.Stock.setCell(1, StockCell::LineWeight, QStringLiteral("2")); }, {"Stock2.kdt"}},
      {"an order and its line added",
       [&] {
         l.db.Order.append(QStringLiteral("2403000003"));
         l.db.Stock.append(QStringLiteral("2403000003"));
         l.db.num = 4;
       },
       {"Num.kdt", "Order1.kdt", "Stock1.kdt", "Stock2.kdt"}},
      {"a product's stock, set back to what it was",
       [&] {
         const QString stock = l.db.Manuf.cell(1, ManufCell::ProductStock);
         l.db.Manuf.setCell(1, ManufCell::ProductStock, QStringLiteral("1"));
         l.db.Manuf.setCell(1, ManufCell::ProductStock, stock);
       },
       {"Manuf1.kdt"}},
      {"a customer removed", [&] { l.db.Guest.remove(1); }, {"Member.kdt"}},
      // Files changed behind the program's back are written again.
      {"Member.kdt and Images1.kdt replaced by other files",
       [&] {
         d.put(QStringLiteral("Member.kdt"), "\"x\"\r\n");
         const QByteArray images = d.get(QStringLiteral("Images1.kdt"));
         QFile::remove(d.file(QStringLiteral("Images1.kdt")));
         d.put(QStringLiteral("Images1.kdt"), images);
       },
       {"Images1.kdt", "Member.kdt"}},
      {"a table replaced by a copy of itself", [&] { l.db.ManufStock = Table(l.db.ManufStock); }, {"ManufStock.kdt"}},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.what);
    s.change();
    before = inodes(d);
    ASSERT_TRUE(l.store.DataBaseSave());
    EXPECT_EQ(rewritten(before, inodes(d)), sorted(s.written + cates));
    everyFile();
  }

  // After a failed save nothing is taken as written: the next writes all.
  l.db.Order.setCell(2, OrderCell::OrderNote, QStringLiteral("m"));
  faults.failRenames(3);
  EXPECT_FALSE(l.store.saveAttempt());
  faults.failRenames(-1);
  before = inodes(d);
  ASSERT_TRUE(l.store.DataBaseSave());
  EXPECT_EQ(QString::fromStdString(rewritten(before, inodes(d))).count(u' ') + 1, 15);
  everyFile();
}

class SaveFailures : public ::testing::Test {
 protected:
  ScopedSaveFaults faults;
};

TEST_F(SaveFailures, FailingWriterChangesNoFileAndAsksUpToThreeTimes) {
  TestDir d;
  copyGolden(d);
  d.put(QStringLiteral("Num.kdt"), big5(currentNum(3)));
  Loaded l(d.path());
  l.db.Order.setCell(1, OrderCell::OrderNote, QStringLiteral("changed"));
  std::map<QString, QByteArray> before;
  for (const QString& n : d.names()) before[n] = d.get(n);

  faults.failAfterBytes(300);  // dies inside Order1.kdt
  l.prompt.answer(Prompt::Answer::Yes).answer(Prompt::Answer::Yes);
  EXPECT_FALSE(l.store.DataBaseSave());
  EXPECT_FALSE(l.db.SaveOK);
  const QStringList expected = {QStringLiteral("儲存失敗，請按「是(Y)」再試一次"), QStringLiteral("儲存失敗，請按「是(Y)」再試一次"),
                                QStringLiteral("儲存依舊失敗，檔案可能處於唯獨狀態，可試著重開機後再試一次\r\n\r\n"
                                               "(Win10 系統則可能是更新機制在作怪，建議到控制台讓 Win10 更新完畢重開應該就能解決)")};
  EXPECT_EQ(l.prompt.texts(), expected);
  std::map<QString, QByteArray> after;
  for (const QString& n : d.names()) after[n] = d.get(n);
  EXPECT_EQ(after, before);  // no temporary file left either

  // A retry that succeeds says so.
  l.prompt.clear();
  faults.failAfterBytes(300, 1);
  l.prompt.answer(Prompt::Answer::Yes);
  EXPECT_TRUE(l.store.DataBaseSave());
  EXPECT_EQ(l.prompt.texts().last(), QStringLiteral("儲存完成！"));
  EXPECT_EQ(l.prompt.shown.back().icon, Prompt::Icon::Information);

  // No gives up at once.
  l.prompt.clear();
  faults.failAfterBytes(0);
  l.prompt.answer(Prompt::Answer::No);
  EXPECT_FALSE(l.store.DataBaseSave());
  EXPECT_EQ(l.prompt.shown.size(), 1u);
}

// A rename that fails halfway through the commit is undone at once: every
// original is back under its own name, the files the save made are gone,
// and the next load finds the old database -- what the user was told.
TEST_F(SaveFailures, AFailedRenameIsUndoneAndTheNextLoadFindsTheOldFiles) {
  int renames = 0;
  for (;; ++renames) {
    SCOPED_TRACE(renames);
    TestDir d;
    copyGolden(d);
    d.put(QStringLiteral("Num.kdt"), big5(currentNum(3)));
    QFile::rename(d.file(QStringLiteral("Member.kdt")), d.file(QStringLiteral("MEMBER.KDT")));  // made on Windows
    Loaded l(d.path());
    const QString note = l.db.Order.cell(1, OrderCell::OrderNote);
    l.db.Order.setCell(1, OrderCell::OrderNote, QStringLiteral("changed"));
    l.db.ExpendDirty = true;
    const auto before = d.contents();  // the category lists are new: nothing to put back
    faults.failRenames(renames);
    l.prompt.answer(Prompt::Answer::No);
    const bool saved = l.store.DataBaseSave();
    faults.failRenames(-1);
    if (saved) break;  // every rename of the commit was tried
    EXPECT_EQ(d.contents(), before);
    Loaded again(d.path());
    EXPECT_EQ(again.db.Order.cell(1, OrderCell::OrderNote), note);
    EXPECT_TRUE(again.prompt.shown.empty());
    EXPECT_EQ(d.contents(), before);
  }
  // Eleven files replaced (each kept aside, then put in place), the four
  // category lists made new.
  EXPECT_EQ(renames, 11 * 2 + 4);
}

// When the folder stops taking renames, even the undoing fails: its journal
// stays, and the next transaction in the folder or the next load finishes
// the undoing before anything else is written.
TEST_F(SaveFailures, AnUndoingThatFailsIsFinishedBeforeTheNextWrite) {
  for (const bool byLoad : {true, false}) {
    SCOPED_TRACE(byLoad);
    TestDir d;
    copyGolden(d);
    d.put(QStringLiteral("Num.kdt"), big5(currentNum(3)));
    Loaded l(d.path());
    const auto before = d.contents();
    l.db.Order.setCell(1, OrderCell::OrderNote, QStringLiteral("changed"));
    faults.failRenames(7, 1000);
    EXPECT_FALSE(l.store.saveAttempt());
    faults.failRenames(-1);
    ASSERT_TRUE(d.has(QStringLiteral("~Save.lst")));
    EXPECT_NE(d.contents(), before);
    if (byLoad) {
      Loaded again(d.path());
      EXPECT_NE(again.db.Order.cell(1, OrderCell::OrderNote), QStringLiteral("changed"));
      EXPECT_EQ(d.contents(), before);
    } else {
      ASSERT_TRUE(SaveTransaction::writeFile(d.path(), QStringLiteral("Shop1.kdt"), "\"shop\"\r\n"));
      auto expected = before;
      expected[QStringLiteral("Shop1.kdt")] = "\"shop\"\r\n";
      EXPECT_EQ(d.contents(), expected);
    }
  }
}

// A character code page 950 cannot hold that slipped past the checks where
// text enters is never written as "?": the save fails as any failed save,
// names where the character is, and leaves every file as it was.
TEST_F(SaveFailures, ACharacterTheFilesCannotHoldFailsTheSaveAndIsNamed) {
  struct Case {
    std::function<void(Database&)> slip;
    const char* message;
    std::function<void(const TestDir&)> prepare = {};
  };
  const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");  // U+1F600
  const QString simplified = QString(QChar(0x5BF9));                // simplified form of 對
  const std::vector<Case> cases = {
      {[&](Database& db) { db.Order.setCell(2, OrderCell::OrderNote, QStringLiteral("x") + emoji + QStringLiteral("y")); },
       "訂單「2403000002」的備註中的「😀」"},
      // A loaded file of many rows of repeated values: written from its
      // distinct texts.
      {[&](Database& db) { db.Order.setCell(291, OrderCell::BuyerAccount, emoji); }, "訂單「R290」的買方中的「😀」",
       [](const TestDir& d) {
         QByteArray orders;
         for (int i = 1; i <= 300; ++i)
           orders += big5(QStringLiteral("\"R%1\",\"2024/03/01\",\"amy\",\"露天\",\"60\",\"160\",\"未匯款\",\"未出貨\",\"\","
                                         "\"40\",\"0\",\"\",\"\"\r\n").arg(i - 1));
         d.put(QStringLiteral("Order1.kdt"), orders);
       }},
      {[&](Database& db) { db.Stock.setCell(2, StockCell::LineNote, simplified); }, "訂單商品「2403000002，碗」的備註中的「对」"},
      {[&](Database& db) { db.Guest.setKey(2, QStringLiteral("許") + emoji); }, "客戶「許😀」的帳號中的「😀」"},
      {[&](Database& db) { db.Manuf.setCell(1, ManufCell::ProductWeight, QStringLiteral("1") + emoji); },
       "商品「茶杯」的重量中的「😀」"},
      {[&](Database& db) { db.Expend.setCell(1, ExpendCell::ExpendNote, emoji); }, "雜支費用「2024/03/01，郵票」的備註中的「😀」"},
      {[&](Database& db) { db.settings.ProductCategories << QStringLiteral("杯") + simplified; }, "商品分類「杯对」中的「对」"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    TestDir d;
    copyGolden(d);
    d.put(QStringLiteral("Num.kdt"), big5(currentNum(3)));
    if (c.prepare) c.prepare(d);
    Loaded l(d.path());
    const auto before = d.contents();
    c.slip(l.db);
    l.db.ExpendDirty = true;
    l.prompt.answer(Prompt::Answer::Ok).answer(Prompt::Answer::No);
    EXPECT_FALSE(l.store.DataBaseSave());
    const QString refused = QStringLiteral("資料未儲存：") + QString::fromUtf8(c.message) +
                            QStringLiteral("無法儲存在資料檔中，請改用其他字元");
    EXPECT_EQ(l.prompt.texts(), (QStringList{refused, QStringLiteral("儲存失敗，請按「是(Y)」再試一次")}));
    EXPECT_EQ(l.prompt.shown[0].icon, Prompt::Icon::Exclamation);
    EXPECT_EQ(d.contents(), before);
  }
}

}  // namespace

namespace {

TEST(TableFiles, LoadRemovesTheSavesOwnLeftoverTemporaryFilesOnly) {
  TestDir d;
  copyGolden(d);
  // What a save killed while writing leaves: temporary files, no journal.
  const QStringList leftovers = {QStringLiteral("~Order1.kdt.tmp"), QStringLiteral("~Stock2.kdt.tmp"),
                                 QStringLiteral("~Cate3.kdt.tmp"), QStringLiteral("~Num.kdt.tmp"),
                                 QStringLiteral("~Shop1.kdt.tmp")};
  for (const QString& n : leftovers) d.put(n, "partial");
  // Files of other people that only look alike.
  const QStringList foreign = {QStringLiteral("~notes.kdt.tmp"), QStringLiteral("~Order1.kdt.tmp.bak"),
                               QStringLiteral("~ORDER1.KDT.TMP"), QStringLiteral("Order1.kdt.tmp")};
  for (const QString& n : foreign) d.put(n, "keep me");
  {
    Loaded l(d.path());
    EXPECT_EQ(l.db.Order.count(), 2);
  }
  for (const QString& n : leftovers) EXPECT_FALSE(d.has(n)) << n.toStdString();
  for (const QString& n : foreign) EXPECT_EQ(d.get(n), "keep me") << n.toStdString();

  // A journal the load could not finish still needs its temporary files.
  d.put(QStringLiteral("~Save.lst"), "\xa4 ");
  d.put(QStringLiteral("~Order1.kdt.tmp"), "new");
  { Loaded l(d.path()); }
  EXPECT_TRUE(d.has(QStringLiteral("~Save.lst")));
  EXPECT_EQ(d.get(QStringLiteral("~Order1.kdt.tmp")), "new");
}

}  // namespace

namespace {

TEST(TableFiles, AJournalOnlyRenamesTheTemporaryFileOfItsOwnName) {
  TestDir d;
  copyGolden(d);
  const QByteArray order = d.get(QStringLiteral("Order1.kdt"));
  const QByteArray member = d.get(QStringLiteral("Member.kdt"));
  d.put(QStringLiteral("~Stock1.kdt.tmp"), d.get(QStringLiteral("Stock1.kdt")));
  // Lines a commit never writes: another file, a path, a name of its own.
  d.put(QStringLiteral("~Save.lst"), "Member.kdt\tOrder1.kdt\r\n~Member.kdt.tmp\t../Order1.kdt\r\n"
                                     "~Stock1.kdt.tmp\tStock1.kdt\r\n");
  EXPECT_TRUE(SaveTransaction::recover(d.path()));
  EXPECT_EQ(d.get(QStringLiteral("Order1.kdt")), order);
  EXPECT_EQ(d.get(QStringLiteral("Member.kdt")), member);
  EXPECT_FALSE(d.has(QStringLiteral("~Stock1.kdt.tmp")));  // the one real line was followed
  EXPECT_FALSE(d.has(QStringLiteral("~Save.lst")));

  // Undoing puts back only an original of the same name.
  d.put(QStringLiteral("~Member.kdt.old"), "aside");
  d.put(QStringLiteral("~Save.lst"), "-\r\n~Member.kdt.tmp\tMember.kdt\tOrder1.kdt\r\n");
  EXPECT_TRUE(SaveTransaction::recover(d.path()));
  EXPECT_EQ(d.get(QStringLiteral("Order1.kdt")), order);
  EXPECT_EQ(d.get(QStringLiteral("Member.kdt")), member);
}

}  // namespace

namespace {

// Half of Order1.kdt gone: the complete records load, and the next save
// writes them, but only after the whole original was kept beside it.
TEST(TableFiles, ATableCutInsideARecordIsKeptBeforeTheSaveShortensIt) {
  TestDir d;
  QByteArray orders;
  for (int i = 1; i <= 300; ++i) {
    QStringList f{QStringLiteral("2403%1").arg(i, 6, 10, QLatin1Char('0')), "2024/03/01", "amy", "露天", "60", "160",
                  "未匯款", "未出貨", "備註", "40", "0", "", ""};
    QuotedFieldWriter w;
    w.record(f);
    orders += big5(w.text());
  }
  for (const qsizetype cut : {orders.size() - 3, orders.size() / 2 + 7}) {
    SCOPED_TRACE(cut);
    for (const QString& n : d.names()) QFile::remove(d.file(n));
    d.put(QStringLiteral("Order1.kdt"), orders.left(cut));
    Loaded l(d.path());
    EXPECT_EQ(l.prompt.texts(), QStringList{"載入 Order 檔案發生錯誤!"});
    const int complete = static_cast<int>(orders.left(cut).count("\r\n"));
    EXPECT_EQ(l.db.Order.count(), complete);
    l.prompt.clear();
    ASSERT_TRUE(l.store.DataBaseSave());
    ASSERT_TRUE(l.store.DataBaseSave());
    ASSERT_EQ(l.prompt.shown.size(), 1u);  // told once
    QStringList kept;
    for (const QString& n : d.names())
      if (n.startsWith(QStringLiteral("Order1.kdt.damaged-"))) kept << n;
    ASSERT_EQ(kept.size(), 1);
    EXPECT_TRUE(l.prompt.shown[0].text.contains(kept[0]));
    EXPECT_EQ(d.get(kept[0]), orders.left(cut));
    EXPECT_EQ(d.get(QStringLiteral("Order1.kdt")), DataStore::tableBytes(l.db.Order, 0, 13));
  }
  // Line ends after the last record are no damage.
  for (const QString& n : d.names()) QFile::remove(d.file(n));
  d.put(QStringLiteral("Order1.kdt"), orders + "\r\n\r\n");
  Loaded whole(d.path());
  EXPECT_TRUE(whole.prompt.shown.empty());
  EXPECT_EQ(whole.db.Order.count(), 300);
}

}  // namespace

namespace {

// A damaged file whose original cannot be copied is never replaced: every
// save attempt fails and says why. (Here the "file" is a folder of that name.)
TEST(TableFiles, ASaveNeverReplacesADamagedFileItCouldNotKeep) {
  TestDir d;
  copyGolden(d);
  QDir().mkpath(d.file(QStringLiteral("Cate1.kdt")));
  Loaded l(d.path());
  ASSERT_EQ(l.db.damagedFiles, QStringList{QStringLiteral("Cate1.kdt")});
  l.prompt.clear();
  l.prompt.answer(Prompt::Answer::Ok).answer(Prompt::Answer::No);
  EXPECT_FALSE(l.store.DataBaseSave());
  EXPECT_EQ(l.prompt.texts(), (QStringList{"載入時發生錯誤的檔案無法保留原檔，為免覆蓋原檔，資料未儲存:\r\nCate1.kdt",
                                           "儲存失敗，請按「是(Y)」再試一次"}));
  EXPECT_TRUE(QFileInfo(d.file(QStringLiteral("Cate1.kdt"))).isDir());
}

}  // namespace
