#include <gtest/gtest.h>

#include <QHash>
#include <set>

#include "platform/Codec.h"
#include "store/CaselessSearch.h"

namespace {

// Every character code page 950 holds.
std::set<char16_t> bookCharacters() {
  std::set<char16_t> out;
  for (int b = 0x20; b < 0x7F; ++b) out.insert(static_cast<char16_t>(b));
  for (int lead = 0x81; lead <= 0xFE; ++lead)
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      if (trail > 0x7E && trail < 0xA1) continue;
      bool ok = false;
      QByteArray code;
      code.append(static_cast<char>(lead)).append(static_cast<char>(trail));
      const QString s = Codec::decode(code, &ok);
      if (ok && s.size() == 1) out.insert(s[0].unicode());
    }
  return out;
}

}  // namespace

// The exact search stands in for the case-insensitive one only where the two
// agree: a character without cases never matches another character a book
// can hold, whatever the case folding.
TEST(CaselessSearch, TextsWithoutCasesMatchOnlyThemselves) {
  const std::set<char16_t> book = bookCharacters();
  ASSERT_GT(book.size(), 13000u);
  // Book characters by every form that case-insensitive matching may compare.
  QHash<char16_t, std::vector<char16_t>> byForm;
  for (const char16_t h : book) {
    const QChar c(h);
    for (const QChar form : {c, c.toCaseFolded(), c.toLower(), c.toUpper()}) byForm[form.unicode()].push_back(h);
  }
  int uncased = 0;
  for (int n = 1; n < 0x10000; ++n) {
    const QChar ch(static_cast<char16_t>(n));
    if (ch.isSurrogate() || foldingNeeded(QStringView(&ch, 1)) != Qt::CaseSensitive) continue;
    ++uncased;
    for (const QChar form : {ch, ch.toCaseFolded(), ch.toLower(), ch.toUpper()})
      for (const char16_t h : byForm.value(form.unicode())) {
        const QChar hc(h);
        EXPECT_EQ(QStringView(&hc, 1).contains(QStringView(&ch, 1), Qt::CaseInsensitive), h == n)
            << std::hex << n << " " << static_cast<int>(h);
      }
  }
  EXPECT_GT(uncased, 40000);

  const struct {
    const char* text;
    const char* what;
    bool found;
  } cases[] = {{"手工陶瓷茶杯", "茶杯", true}, {"XAB-1 髮夾", "xab", true}, {"xab-2", "AB", true},
               {"ΑΒΓ", "β", true},           {"茶杯", "", true},       {"", "", true},
               {"王小明", "小美", false},     {"", "a", false}};
  for (const auto& c : cases)
    EXPECT_EQ(CaselessSearch(QString::fromUtf8(c.what))(QString::fromUtf8(c.text)), c.found) << c.text << c.what;
}

// Over a table's cells: the same answers as the search on each cell's text,
// asked once or again, for texts held by many cells or set one by one.
TEST(CellSearch, AnswersAsTheSearchOnEveryCell) {
  Table t(1);
  const char* texts[] = {"茶杯組", "Tea Cup", "", "tea", "杯", "TEAPOT 茶壺", "茶杯組"};
  for (int i = 0; i < 40; ++i) {
    const int r = t.append(QString::number(i % 3));
    t.setCell(r, 1, QString::fromUtf8(texts[i % 7]));
  }
  for (const char* what : {"茶杯", "tea", "TEA", "", "x", "杯"}) {
    const QString w = QString::fromUtf8(what);
    const CaselessSearch plain(w);
    const CellSearch cells(t, w);
    EXPECT_EQ(cells.isEmpty(), plain.isEmpty()) << what;
    for (int pass = 0; pass < 2; ++pass)
      for (int r = 1; r <= t.count(); ++r)
        for (int c = 0; c <= 1; ++c) ASSERT_EQ(cells(r, c), plain(t.cell(r, c))) << what << " row " << r << " column " << c;
  }
}
