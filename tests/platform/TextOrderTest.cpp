#include "platform/TextOrder.h"

#include <QCollator>
#include <QLocale>
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>

namespace {

QCollator library() {
  QCollator c(QLocale(QLocale::Chinese, QLocale::TraditionalChineseScript, QLocale::Taiwan));
  c.setCaseSensitivity(Qt::CaseInsensitive);
  return c;
}

int sign(int v) { return v < 0 ? -1 : v > 0 ? 1 : 0; }

// Characters a seller's data is made of, and a few the fast path must hand
// to the library (a tone mark, an iteration mark, "‥", character 1, accents).
std::vector<char16_t> alphabet(std::mt19937& rng) {
  std::vector<char16_t> a;
  for (char16_t c = 0x20; c < 0x7F; ++c) a.push_back(c);
  for (int i = 0; i < 400; ++i) a.push_back(static_cast<char16_t>(0x4E00 + rng() % (0x9FFF - 0x4E00)));
  for (char16_t c : {u'、', u'。', u'「', u'」', u'（', u'）', u'Ａ', u'ａ', u'１', u'ㄅ', u'ㄆ', u'—', u'　'}) a.push_back(c);
  for (char16_t c : {u'\u302A', u'々', u'‥', u'\u0001', u'é', u'É', u'ü'}) a.push_back(c);
  return a;
}

QString randomText(std::mt19937& rng, const std::vector<char16_t>& a, int maxLen) {
  QString s;
  const int n = static_cast<int>(rng() % static_cast<unsigned>(maxLen + 1));
  for (int i = 0; i < n; ++i) s += QChar(a[rng() % a.size()]);
  return s;
}

}  // namespace

TEST(TextOrder, ComparesAsTheCollationLibrary) {
  const QCollator lib = library();
  std::mt19937 rng(7);
  const auto a = alphabet(rng);
  int checked = 0;
  for (int k = 0; k < 20000; ++k) {
    const QString x = randomText(rng, a, 6);
    QString y = rng() % 3 == 0 ? x : randomText(rng, a, 6);
    if (!y.isEmpty() && rng() % 2) y[static_cast<qsizetype>(rng() % y.size())] = QChar(a[rng() % a.size()]);
    ASSERT_EQ(sign(TextOrder::compare(x, y)), sign(lib.compare(x, y))) << x.toStdString() << " | " << y.toStdString();
    ++checked;
  }
  EXPECT_EQ(checked, 20000);
  // Letter case is ignored, full-width and ASCII differ, longer follows its prefix.
  EXPECT_EQ(TextOrder::compare(u"Yahoo拍賣", u"yahoo拍賣"), 0);
  EXPECT_LT(TextOrder::compare(u"2401", u"24010"), 0);
  EXPECT_LT(TextOrder::compare(u"10", u"9"), 0);
}

TEST(TextOrder, SortedPositionsAreTheLibrarysStableOrder) {
  const QCollator lib = library();
  std::mt19937 rng(11);
  const auto a = alphabet(rng);
  const auto ranked = std::vector<char16_t>(a.begin(), a.end() - 7);
  struct Case {
    const char* what;
    std::vector<QString> texts;
  };
  std::vector<Case> cases;
  {
    Case c{"order numbers, longer than a key", {}};
    for (int i = 0; i < 3000; ++i) c.texts.push_back(QStringLiteral("24%1").arg(rng() % 400000, 8, 10, QChar(u'0')));
    cases.push_back(c);
  }
  {
    Case c{"few distinct texts, case ties", {}};
    const QStringList pool{"Yahoo拍賣", "yahoo拍賣", "露天拍賣", "蝦皮拍賣", "", "未分類", "A", "a"};
    for (int i = 0; i < 3000; ++i) c.texts.push_back(pool[static_cast<int>(rng() % pool.size())]);
    cases.push_back(c);
  }
  {
    Case c{"ranked characters only", {}};
    for (int i = 0; i < 3000; ++i) c.texts.push_back(randomText(rng, ranked, 12));
    cases.push_back(c);
  }
  {
    Case c{"with characters for the library", {}};
    for (int i = 0; i < 3000; ++i) c.texts.push_back(randomText(rng, a, 5));
    cases.push_back(c);
  }
  {
    // Longer than two words of key: ties on the key are settled by the whole text.
    Case c{"long texts with shared beginnings", {}};
    const QString common = QStringLiteral("台北市中正區重慶南路一段");
    for (int i = 0; i < 3000; ++i) c.texts.push_back(common + common.left(static_cast<int>(rng() % 5)) + randomText(rng, ranked, 6));
    cases.push_back(c);
  }
  {
    Case c{"already in order, with ties", {}};
    for (int i = 0; i < 3000; ++i) c.texts.push_back(QStringLiteral("2024/%1").arg(i / 7, 4, 10, QChar(u'0')));
    cases.push_back(c);
    Case d{"already in order, no ties", {}};
    for (int i = 0; i < 3000; ++i) d.texts.push_back(QStringLiteral("24%1").arg(i, 8, 10, QChar(u'0')));
    cases.push_back(d);
  }
  for (const Case& c : cases) {
    for (bool down : {false, true}) {
      std::vector<int> expected(c.texts.size());
      std::iota(expected.begin(), expected.end(), 0);
      std::stable_sort(expected.begin(), expected.end(), [&](int x, int y) {
        const int v = lib.compare(c.texts[x], c.texts[y]);
        return down ? v > 0 : v < 0;
      });
      EXPECT_EQ(TextOrder::sortedPositions(c.texts, down), expected) << c.what << (down ? " descending" : "");
    }
  }
  EXPECT_TRUE(TextOrder::sortedPositions({}, false).empty());
  EXPECT_EQ(TextOrder::sortedPositions({QStringLiteral("x")}, true), std::vector<int>({0}));
}
