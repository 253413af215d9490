#include "store/TableFileParse.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include "TestDir.h"
#include "platform/Codec.h"
#include "store/QuotedFieldFile.h"
#include "store/Table.h"

namespace {

// The records the field reader finds in text, as the readers keep them.
std::vector<QStringList> readSerially(const QByteArray& bytes, int n) {
  const QString text = Codec::decode(bytes);
  QuotedFieldReader reader(text);
  std::vector<QStringList> out;
  QStringList fields;
  while (!reader.atEnd() && reader.readRecord(n, &fields) == QuotedFieldReader::Record::Complete) out.push_back(fields);
  return out;
}

std::vector<QStringList> rowsOf(const ParsedTableFile& p) {
  std::vector<QStringList> out;
  for (size_t r = 0; r < p.rowCount(); ++r) {
    QStringList row;
    for (int f = 0; f < p.fields; ++f) row << p.field(r, f);
    out.push_back(row);
  }
  return out;
}

}  // namespace

TEST(TableFileParse, WritersLayoutParsesAsTheFieldReaderReadsIt) {
  QByteArray big;
  for (int i = 0; i < 3000; ++i) {
    // Repeated and unique values, notes with commas and line breaks inside quotes.
    big += Codec::encode(QStringLiteral("\"%1\",\"露天拍賣\",\"%2\",\"%3\"\r\n")
                             .arg(i)
                             .arg(i % 7 == 0 ? QStringLiteral("請小心,\r\n第二行") : QString())
                             .arg(i % 13 == 0 ? QStringLiteral("\r\n") : QStringLiteral("0")));
  }
  struct Case {
    const char* what;
    QByteArray bytes;
    int fields;
  };
  // An order number on three lines in a row, among 210k lines: the column
  // stops looking among the texts the pieces share.
  QByteArray lines;
  for (int i = 0; i < 210000; ++i)
    lines += QStringLiteral("\"2401%1\",\"%2\"\r\n").arg(i / 3, 6, 10, QChar(u'0')).arg(i % 50).toLatin1();
  const std::vector<Case> cases = {
      {"many pieces", big, 4},
      {"a column of mostly new texts", lines, 2},
      {"line feeds only, no line end after the last record", "\"a\",\"\"\n\"b\",\"c\"", 2},
      {"empty file", "", 3},
      {"one column", "\"1.50\"\r\n\"007\"\r\n\"\"\r\n", 1},
      {"code page 950 text", Codec::encode(QStringLiteral("\"許功蓋\",\"髮夾\"\r\n")), 2},
  };
  for (const Case& c : cases) {
    const ParsedTableFile p = parseTableBytes(c.bytes.constData(), static_cast<size_t>(c.bytes.size()), c.fields);
    ASSERT_TRUE(p.regular) << c.what;
    EXPECT_EQ(rowsOf(p), readSerially(c.bytes, c.fields)) << c.what;
  }

  // The lines of one order hold its number once, also after the column
  // stopped looking among the shared texts.
  Table t(2);
  TableLoad::appendRows(t, parseTableBytes(lines.constData(), static_cast<size_t>(lines.size()), 2));
  ASSERT_EQ(t.count(), 210000);
  EXPECT_EQ(t.key(209998), "2401069999");
  EXPECT_EQ(t.valueId(209998, 0), t.valueId(210000, 0));
  EXPECT_NE(t.valueId(209997, 0), t.valueId(209998, 0));
}

TEST(TableFileParse, AnythingElseIsLeftToTheFieldReader) {
  const std::vector<std::pair<const char*, QByteArray>> cases = {
      {"unquoted field", "\"a\",b\r\n"},
      {"blank before a field", "\"a\", \"b\"\r\n"},
      {"too few fields", "\"a\"\r\n\"b\",\"c\"\r\n"},
      {"too many fields", "\"a\",\"b\",\"c\"\r\n"},
      {"record cut by the end of the file", "\"a\",\"b\"\r\n\"c\",\"d"},
      {"record cut after a comma", "\"a\",\"b\"\r\n\"c\","},
      {"empty line at the end", "\"a\",\"b\"\r\n\r\n"},
      {"text after a closing quote", "\"a\"x,\"b\"\r\n"},
      {"bytes that do not decode", QByteArray("\"a\",\"\x81\x20\"\r\n")},
      {"lone lead byte", QByteArray("\"a\",\"\xA4\"\r\n")},
  };
  for (const auto& [what, bytes] : cases) {
    EXPECT_FALSE(parseTableBytes(bytes.constData(), static_cast<size_t>(bytes.size()), 2).regular) << what;
  }
}

TEST(TableFileParse, RowsGoIntoTablesWithFixedCellsAndColumnsByPosition) {
  TestDir dir;
  const QString path = dir.path() + QStringLiteral("Stock1.kdt");
  QByteArray bytes;
  for (int i = 1; i <= 5000; ++i)
    bytes += Codec::encode(QStringLiteral("\"%1\",\"茶杯\",\"分類1\"\r\n").arg(i % 10 == 0 ? QString() : QString::number(i)));
  {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
  }
  ParsedTableFile p = parseTableFile(path, 3);
  ASSERT_TRUE(p.regular);
  Table t(4);
  t.append(QStringLiteral("before"));
  TableLoad::appendRows(t, std::move(p), {{4, QStringLiteral("0")}});
  ASSERT_EQ(t.count(), 5001);
  EXPECT_EQ(t.key(1), "before");
  EXPECT_TRUE(t.cell(1, 4).isEmpty());
  EXPECT_EQ(t.key(2), "1");
  EXPECT_TRUE(t.key(11).isEmpty());
  EXPECT_EQ(t.cell(5001, 1), "茶杯");
  EXPECT_EQ(t.cell(5001, 4), "0");
  EXPECT_EQ(t.valueId(2, 1), t.valueId(5001, 1));  // repeated texts are held once

  // A text taken from the table lives on by itself and ends in a 0 as Qt
  // expects; changing a copy leaves the table alone.
  QString held = t.cell(300, 1);
  EXPECT_EQ(held.utf16()[held.size()], 0);
  held += QStringLiteral("!");
  EXPECT_EQ(t.cell(300, 1), "茶杯");
  const QString kept = t.key(4000);
  t.clear();
  EXPECT_EQ(kept, "3999");

  // One-column files fill by position through a transform; extra records are not used.
  Table m(2);
  for (int i = 0; i < 3; ++i) m.append(QStringLiteral("p"));
  const QByteArray weights = "\"1.50\"\r\n\"007\"\r\n\"\"\r\n\"9\"\r\n";
  TableLoad::fillColumn(m, 2, parseTableBytes(weights.constData(), static_cast<size_t>(weights.size()), 1),
                        [](const QString& v) { return v.isEmpty() ? QStringLiteral("0") : v + QStringLiteral("!"); });
  EXPECT_EQ(m.cell(1, 2), "1.50!");
  EXPECT_EQ(m.cell(2, 2), "007!");
  EXPECT_EQ(m.cell(3, 2), "0");
}

TEST(TableFileParse, MissingFileIsNotRegular) {
  TestDir dir;
  const ParsedTableFile p = parseTableFile(dir.path() + QStringLiteral("none.kdt"), 3);
  EXPECT_FALSE(p.regular);
  EXPECT_EQ(p.rowCount(), 0u);
}
