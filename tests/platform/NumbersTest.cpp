#include <gtest/gtest.h>

#include "platform/Numbers.h"

TEST(Numbers, LeadingNumberOfAText) {
  const std::vector<std::pair<QString, double>> cases = {
      {"007", 7}, {"1.50", 1.5}, {"12 kg", 12}, {"", 0}, {"abc", 0}, {"-3", -3}, {" 4", 4},
      {".5", 0.5}, {"5.", 5}, {"　60", 60}, {"+2", 2}, {"-", 0}, {"1,234", 1}, {"3e5", 3}};
  for (const auto& [text, value] : cases) EXPECT_DOUBLE_EQ(Num::leading(text), value) << text.toStdString();
  EXPECT_TRUE(Num::isNumeric(QStringLiteral(" 12.5 ")));
  // Whatever isNumeric accepts, leading reads as that number.
  EXPECT_TRUE(Num::isNumeric(QStringLiteral("　95")));
  EXPECT_FALSE(Num::isNumeric(QString()));
  EXPECT_FALSE(Num::isNumeric(QStringLiteral("12a")));
}

TEST(Numbers, FormatIsPlainDecimalWithFifteenDigits) {
  const std::vector<std::pair<double, QString>> cases = {
      {0, "0"}, {-0.0, "0"}, {7, "7"}, {1.5, "1.5"}, {-2.25, "-2.25"}, {0.1 + 0.2, "0.3"},
      {1e20, "100000000000000000000"}, {1.5e-7, "0.00000015"}, {123456789.123456789, "123456789.123457"},
      {1060, "1060"}};
  for (const auto& [value, text] : cases) EXPECT_EQ(Num::format(value), text) << value;
}

TEST(Numbers, CanonicalTextIsKeptOthersAreRewritten) {
  const std::vector<std::pair<QString, QString>> cases = {
      {"7", "7"}, {"007", "7"}, {"1.50", "1.5"}, {"0.35", "0.35"}, {"-2", "-2"}, {"-0", "0"}, {"", "0"},
      {"12 kg", "12"}, {".5", "0.5"}, {"0", "0"}, {"-0.05", "-0.05"}, {"1234567890123456", "1234567890123460"}, {"2020520205121250", "2020520205121250"}};
  for (const auto& [text, expected] : cases) {
    EXPECT_EQ(Num::canonical(text), expected) << text.toStdString();
    EXPECT_EQ(Num::canonical(text), Num::format(Num::leading(text))) << text.toStdString();
  }
  // Texts beyond what a double holds follow the same rule: "1" and 309
  // zeros reads as 0, so it is not canonical; "1" and 300 zeros is.
  const QString huge = u'1' + QString(309, u'0');
  const QString big = u'1' + QString(300, u'0');
  const QString tiny = QStringLiteral("0.") + QString(330, u'0') + u'1';
  for (const QString& text : {huge, big, tiny, u'-' + huge}) {
    EXPECT_EQ(Num::canonical(text), Num::format(Num::leading(text))) << text.size();
    EXPECT_EQ(Num::isCanonical(text), Num::canonical(text) == text) << text.size();
  }
  EXPECT_EQ(Num::canonical(huge), QStringLiteral("0"));
  EXPECT_EQ(Num::canonical(big), big);
}

TEST(Numbers, Roundings) {
  EXPECT_DOUBLE_EQ(Num::roundHalfUp(2.5, 0), 3);
  EXPECT_DOUBLE_EQ(Num::roundHalfUp(-2.5, 0), -2);
  EXPECT_DOUBLE_EQ(Num::roundHalfUp(1.25, 1), 1.3);
  EXPECT_DOUBLE_EQ(Num::roundHalfUp(-1.25, 1), -1.2);
  EXPECT_DOUBLE_EQ(Num::roundHalfAwayFromZero(2.5), 3);
  EXPECT_DOUBLE_EQ(Num::roundHalfAwayFromZero(-2.5), -3);
  EXPECT_DOUBLE_EQ(Num::roundHalfEven(50.5), 50);
  EXPECT_DOUBLE_EQ(Num::roundHalfEven(51.5), 52);
}

TEST(Numbers, DateText) {
  EXPECT_TRUE(DateText::isDate(QStringLiteral("2024/02/29")));
  EXPECT_TRUE(DateText::isDate(QStringLiteral("2024-3-1")));
  EXPECT_FALSE(DateText::isDate(QStringLiteral("2023/02/29")));
  EXPECT_FALSE(DateText::isDate(QStringLiteral("24/03/01")));
  EXPECT_FALSE(DateText::isDate(QStringLiteral("2024/03-01")));
  EXPECT_FALSE(DateText::isDate(QString()));
  EXPECT_EQ(DateText::format(DateText::parse(QStringLiteral("2024-3-1"))), QStringLiteral("2024/03/01"));
  EXPECT_EQ(splitAtBlanks(QStringLiteral("寄郵局 2024/03/05")), (QStringList{"寄郵局", "2024/03/05"}));
  EXPECT_EQ(splitAtBlanks(QStringLiteral("a  b")).size(), 3);
}
