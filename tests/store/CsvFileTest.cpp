#include <gtest/gtest.h>

#include "TestDir.h"
#include "platform/Codec.h"
#include "store/CsvFile.h"

TEST(CsvFile, ParsesQuotedFieldsAndEveryLineEnd) {
  const auto rows = Csv::parse(QStringLiteral("a,\"台北市, 中正區\",c\r\nx,,\"say \"\"hi\"\"\"\ny\rlast,\"two\r\nlines\"\r\n"));
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0], (QStringList{"a", "台北市, 中正區", "c"}));
  EXPECT_EQ(rows[1], (QStringList{"x", "", "say \"hi\""}));
  EXPECT_EQ(rows[2], (QStringList{"y"}));
  EXPECT_EQ(rows[3], (QStringList{"last", "two\r\nlines"}));
  // A quote inside an unquoted field is plain text; an unclosed quote at the
  // end of the file reads that line split at every comma.
  EXPECT_EQ(Csv::parse(QStringLiteral("5\" tv,1\r\n"))[0], (QStringList{"5\" tv", "1"}));
  const auto open = Csv::parse(QStringLiteral("a,b\r\n\"c,d\r\ne,f"));
  ASSERT_EQ(open.size(), 3u);
  EXPECT_EQ(open[1], (QStringList{"\"c", "d"}));
  EXPECT_EQ(open[2], (QStringList{"e", "f"}));
  EXPECT_TRUE(Csv::parse(QString()).empty());
}

TEST(CsvFile, QuotesOnlyWhatMustBeQuotedAndReadsBackWhole) {
  const QStringList fields{"plain", "a,b", "", "\"lead", "line\r\nbreak", "許功蓋"};
  const QString line = Csv::record(fields);
  EXPECT_EQ(line, QStringLiteral("plain,\"a,b\",,\"\"\"lead\",\"line\r\nbreak\",許功蓋"));
  EXPECT_EQ(Csv::parse(line + QStringLiteral("\r\n"))[0], fields);
  EXPECT_EQ(Csv::record({"1", "2"}), QStringLiteral("1,2"));
}

TEST(CsvFile, ReadRefusesUtf8AndUndecodableFiles) {
  TestDir d;
  d.put("big5.csv", big5(QStringLiteral("許功蓋,1\r\n")));
  d.put("bom.csv", QByteArray("\xEF\xBB\xBF") + QStringLiteral("王,1\r\n").toUtf8());
  d.put("utf8.csv", QStringLiteral("王小明,台北市\r\n").toUtf8());
  d.put("bad.csv", QByteArray("\x81\x20\xff\xff"));
  QString text;
  EXPECT_EQ(Csv::readFile(d.file("big5.csv"), &text), Csv::ReadStatus::Ok);
  EXPECT_EQ(text, QStringLiteral("許功蓋,1\r\n"));
  EXPECT_EQ(Csv::readFile(d.file("bom.csv"), &text), Csv::ReadStatus::Utf8);
  EXPECT_EQ(Csv::readFile(d.file("utf8.csv"), &text), Csv::ReadStatus::Utf8);
  EXPECT_EQ(Csv::readFile(d.file("bad.csv"), &text), Csv::ReadStatus::NotBig5);
  EXPECT_EQ(Csv::readFile(d.file("missing.csv"), &text), Csv::ReadStatus::Unreadable);
  EXPECT_EQ(Csv::readFailureText(Csv::ReadStatus::NotBig5), QStringLiteral("發生錯誤!"));
}

TEST(CsvFile, WriteIsAtomicAndBig5) {
  TestDir d;
  ASSERT_TRUE(Csv::writeFile(d.file("out.csv"), QStringLiteral("許功蓋,\"a,b\"\r\n")));
  EXPECT_EQ(d.get("out.csv"), big5(QStringLiteral("許功蓋,\"a,b\"\r\n")));
  EXPECT_FALSE(Csv::writeFile(d.file("no/such/folder/out.csv"), QStringLiteral("x\r\n")));
}
