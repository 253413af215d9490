#include <gtest/gtest.h>

#include "platform/Numbers.h"
#include "store/Decimal.h"

TEST(Decimal, ReadsTheLeadingNumberExactly) {
  const std::vector<std::pair<QString, QString>> cases = {
      {"007", "7"},       {"1.50", "1.5"},   {"12 kg", "12"},  {"", "0"},       {"abc", "0"},
      {"-3", "-3"},       {" 4", "4"},       {".5", "0.5"},    {"5.", "5"},     {"　60", "60"},
      {"+2", "2"},        {"-", "0"},        {"1,234", "1"},   {"3e5", "3"},    {"0.05", "0.05"},
      {"10.050", "10.05"}, {"-0", "0"},      {"-0.10", "-0.1"}};
  for (const auto& [text, exact] : cases) {
    EXPECT_EQ(Decimal::leading(text).toExactText(), exact) << text.toStdString();
    EXPECT_DOUBLE_EQ(Decimal::leading(text).toDouble(), Num::leading(text)) << text.toStdString();
  }
}

TEST(Decimal, SumsWithoutBinaryNoise) {
  EXPECT_EQ((Decimal::leading(u"0.1") + Decimal::leading(u"0.2")).toText(), "0.3");
  EXPECT_EQ(Num::format(0.1 + 0.2), "0.3");  // 15 digits hide this one, but not the long sums below

  // A long sum of small amounts. from many small amounts.
  Decimal sum;
  double dsum = 0;
  for (int i = 0; i < 100000; ++i) {
    const QString cell = i % 2 ? QStringLiteral("459.44") : QStringLiteral("459.4440034");
    sum += Decimal::leading(cell);
    dsum += Num::leading(cell);
  }
  EXPECT_EQ(sum.toText(), "45944200.17");
  EXPECT_NE(Num::format(dsum), "45944200.17");

  // Large quantities times prices with two decimals.
  Decimal stock;
  for (int i = 0; i < 20000; ++i) stock += Decimal::leading(u"1234.5") * Decimal::leading(u"60.09");
  EXPECT_EQ(stock.toText(), "1483622100");
  EXPECT_EQ((Decimal::leading(u"3") * Decimal::leading(u"19.99")).toText(), "59.97");
}

TEST(Decimal, FifteenSignificantDigitsLikeTheNumberRule) {
  const std::vector<std::pair<QString, QString>> cases = {
      {"123456789.123456789", "123456789.123457"},
      {"1234567890123456", "1234567890123460"},
      {"999999999999999.5", "1000000000000000"},
      {"-2.25", "-2.25"},
      {"0.00000015", "0.00000015"},
      {"100000000000000000000", "100000000000000000000"}};
  for (const auto& [text, shown] : cases) EXPECT_EQ(Decimal::leading(text).toText(), shown) << text.toStdString();
}

TEST(Decimal, ArithmeticAndComparison) {
  const Decimal a = Decimal::leading(u"1000"), b = Decimal::leading(u"60");
  EXPECT_EQ((a - b).toText(), "940");
  EXPECT_EQ((b - a).toText(), "-940");
  EXPECT_TRUE((b - b).isZero());
  EXPECT_TRUE((b - a).isNegative());
  EXPECT_TRUE(Decimal::leading(u"1.10") == Decimal::leading(u"1.1"));
  EXPECT_TRUE(Decimal::leading(u"0.3") > Decimal::leading(u"0.29999"));
  EXPECT_EQ(Decimal(5).toText(), "5");
  EXPECT_EQ(Decimal::fromDouble(0.1 + 0.2).toText(), "0.3");
}

TEST(Decimal, BeyondThirtyEightDigitsFallsBackToTheDoubleReading) {
  const QString huge = QStringLiteral("1") + QString(309, u'0');
  EXPECT_DOUBLE_EQ(Decimal::leading(huge).toDouble(), Num::leading(huge));
  const QString big = QStringLiteral("1") + QString(50, u'0');
  EXPECT_DOUBLE_EQ(Decimal::leading(big).toDouble(), 1e50);
  Decimal p = Decimal::leading(u"99999999999999999999") * Decimal::leading(u"99999999999999999999");
  EXPECT_NEAR(p.toDouble() / 1e40, 1.0, 1e-12);
}

// A value kept in a text cell reads back with at most 15 significant digits.
TEST(Decimal, RoundedToTextIsWhatTheTextHolds) {
  const struct {
    const char* value;
    const char* rounded;
  } cases[] = {{"123456789012345", "123456789012345"},     {"1234567890123456", "1234567890123460"},
               {"0.1234567890123456", "0.123456789012346"}, {"-2.50000000000000049", "-2.5"},
               {"1234567890.123454", "1234567890.12345"},   {"0", "0"}};
  for (const auto& c : cases) {
    const Decimal r = Decimal::leading(QString::fromLatin1(c.value)).roundedToText();
    EXPECT_EQ(r.toExactText(), QString::fromLatin1(c.rounded)) << c.value;
    EXPECT_EQ(r, r.roundedToText());
  }
}
