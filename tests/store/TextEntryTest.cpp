#include <gtest/gtest.h>

#include "ScriptedPrompt.h"
#include "store/TextEntry.h"

TEST(TextEntry, CleansQuotesAndTrimsNames) {
  EXPECT_EQ(TextEntry::clean(QStringLiteral("a\"b”c ")), QStringLiteral("abc "));
  EXPECT_EQ(TextEntry::cleanName(QStringLiteral(" \"露天拍賣” ")), QStringLiteral("露天拍賣"));
}

TEST(TextEntry, TakesOutEveryCrLfPair) {
  const std::pair<const char*, const char*> cases[] = {
      {"a\r\nb", "ab"}, {"\r\r\n\n", ""}, {"一\r\r\r\n\n\n二", "一二"}, {"a\rb\n", "a\rb\n"}, {"", ""}};
  for (const auto& [in, out] : cases) EXPECT_EQ(TextEntry::withoutCrLf(QString::fromUtf8(in)), QString::fromUtf8(out)) << in;
}

TEST(TextEntry, FindsTheFirstCharacterBig5CannotHold) {
  const std::vector<std::pair<QString, QString>> cases = {
      {QStringLiteral("王小明"), QString()},
      {QStringLiteral("王😀😺"), QStringLiteral("😀")},
      {QStringLiteral("〠"), QStringLiteral("〠")},
      {QStringLiteral("a\u2028b"), QStringLiteral("\u2028")},
      {QStringLiteral("简体"), QStringLiteral("简")},
      {QString(), QString()}};
  for (const auto& [text, ch] : cases) EXPECT_EQ(TextEntry::firstUnencodable(text), ch) << text.toStdString();
}

TEST(TextEntry, RefusesWithTheCharacterAndItsField) {
  ScriptedPrompt prompt;
  EXPECT_TRUE(TextEntry::acceptable(prompt, {{QStringLiteral("客戶帳號"), QStringLiteral("王")}}));
  EXPECT_TRUE(prompt.shown.empty());
  EXPECT_FALSE(TextEntry::acceptable(
      prompt, {{QStringLiteral("客戶帳號"), QStringLiteral("王")}, {QStringLiteral("備註"), QStringLiteral("好😀")}}));
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_EQ(prompt.shown[0].text, QStringLiteral("備註中的「😀」無法儲存在資料檔中，請改用其他字元"));
  EXPECT_EQ(prompt.shown[0].title, QStringLiteral("注意"));
  EXPECT_EQ(TextEntry::refusalText(QStringLiteral("備註"), QStringLiteral("\u2028")),
            QStringLiteral("備註中的「U+2028」無法儲存在資料檔中，請改用其他字元"));
}
