// The code page 950 codec: its fast tables must give exactly the
// converter's results, and errors must be reported.
#include <QStringDecoder>
#include <QStringEncoder>
#include <gtest/gtest.h>

#include "platform/Codec.h"

namespace {

QString reference(const QByteArray& b, bool* ok) {
  QStringDecoder d("windows-950", QStringConverter::Flag::Stateless);
  QString s = d.decode(b);
  *ok = !d.hasError();
  return s;
}

TEST(Codec, EveryPairDecodesAndEncodesAsTheConverterDoes) {
  int valid = 0;
  int changed = 0;
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      const QByteArray b = QByteArray(1, char(lead)) + char(trail);
      bool refOk = false, ok = false;
      const QString ref = reference(b, &refOk);
      const QString got = Codec::decode(b, &ok);
      ASSERT_EQ(got, ref) << std::hex << lead << " " << trail;
      ASSERT_EQ(ok, refOk) << std::hex << lead << " " << trail;
      if (!ok) continue;
      ++valid;
      QStringEncoder e("windows-950", QStringConverter::Flag::Stateless);
      const QByteArray refBytes = e.encode(got);
      ASSERT_EQ(Codec::encode(got), refBytes) << std::hex << lead << " " << trail;
      if (refBytes != b) ++changed;
    }
  }
  EXPECT_EQ(valid, 19720);
  EXPECT_EQ(changed, 10);  // duplicates in the table
}

TEST(Codec, ErrorsAreReportedAndUnencodableCharactersBecomeQuestionMarks) {
  bool ok = true;
  Codec::decode(QByteArray("ab\xa4"), &ok);  // lone lead byte at the end
  EXPECT_FALSE(ok);
  Codec::decode(QByteArray("\xa4\x20"), &ok);
  EXPECT_FALSE(ok);
  EXPECT_EQ(Codec::decode(QByteArray("\xb3\\\xa5\\"), &ok), QStringLiteral("許功"));  // second byte is a backslash
  EXPECT_TRUE(ok);

  bool lossless = true;
  EXPECT_EQ(Codec::encode(QStringLiteral("a😀b"), &lossless), QByteArray("a?b"));
  EXPECT_FALSE(lossless);
  EXPECT_FALSE(Codec::canEncode(QStringLiteral("简")));  // a simplified form
  EXPECT_TRUE(Codec::canEncode(QStringLiteral("繁體")));
  EXPECT_EQ(Codec::htmlSafe(QStringLiteral("a😀简體")), QStringLiteral("a&#128512;&#31616;體"));
}

}  // namespace
