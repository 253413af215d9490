#include <functional>

#include <QUrl>
#include <gtest/gtest.h>

#include "ScriptedPrompt.h"
#include "platform/Clipboard.h"
#include "platform/Shell.h"

namespace {
// Records what would have been opened instead of launching anything; with
// taken false, the desktop has no program for it.
struct Recorder {
  std::vector<QUrl> opened;
  explicit Recorder(bool taken = true) {
    Shell::openHook = [this, taken](const QUrl& u) {
      opened.push_back(u);
      return taken;
    };
  }
  ~Recorder() { Shell::openHook = nullptr; }
};
}  // namespace

TEST(Shell, OpenUrlOpensOnlyWebAndMailAddresses) {
  struct Case {
    const char* text;
    const char* opened;  // nullptr: ignored
  };
  const Case cases[] = {
      {"http://shop.example.com/item?id=1", "http://shop.example.com/item?id=1"},
      {"HTTPS://Example.com/", "https://example.com/"},
      {"ftp://files.example.com/a.txt", "ftp://files.example.com/a.txt"},
      {"  www.example.com/x  ", "http://www.example.com/x"},
      {"WWW.example.com", "http://WWW.example.com"},
      {"mailto:a@example.com", "mailto:a@example.com"},
      {"", nullptr},
      {"   ", nullptr},
      {"example.com", nullptr},
      {"javascript:alert(1)", nullptr},
      {"file:///etc/passwd", nullptr},
      {"/usr/bin/xterm", nullptr},
      {"C:\\Windows\\notepad.exe", nullptr},
      {"smb://server/share", nullptr},
      {"http://", nullptr},
      {"mailto:", nullptr},
      {"商品網址", nullptr},
  };
  for (const Case& c : cases) {
    Recorder rec;
    ScriptedPrompt prompt;
    const bool ok = Shell::openUrl(QString::fromUtf8(c.text), prompt);
    EXPECT_TRUE(prompt.shown.empty()) << c.text;
    if (!c.opened) {
      EXPECT_FALSE(ok) << c.text;
      EXPECT_TRUE(rec.opened.empty()) << c.text;
    } else {
      EXPECT_TRUE(ok) << c.text;
      ASSERT_EQ(rec.opened.size(), 1u) << c.text;
      EXPECT_EQ(rec.opened[0].toString(QUrl::FullyEncoded).toLower(), QString::fromUtf8(c.opened).toLower()) << c.text;
    }
  }
}

TEST(Shell, MailtoListEncodesEachAddressAndCountsTheProgramsList) {
  const QStringList addresses = {"a@example.com", "", "b c@example.com", "x&cc=y@example.com", "王@example.tw",
                                 " c@example.com; d@example.com ,"};
  const QString url = Shell::mailtoUrl(addresses);
  EXPECT_EQ(url, QStringLiteral("mailto:a@example.com,b%20c@example.com,x%26cc%3Dy@example.com,"
                                "%E7%8E%8B@example.tw,c@example.com,d@example.com"));

  Recorder rec;
  ScriptedPrompt prompt;
  EXPECT_TRUE(Shell::openUrl(url, prompt));
  ASSERT_EQ(rec.opened.size(), 1u);
  EXPECT_EQ(rec.opened[0].scheme(), QStringLiteral("mailto"));
  EXPECT_EQ(rec.opened[0].toString(QUrl::FullyEncoded), url);

  // A mail to the same list opens the same address; to nobody, a new
  // message without addressee.
  EXPECT_TRUE(Shell::openMail(addresses, prompt));
  EXPECT_TRUE(Shell::openMail({QString(), QStringLiteral(" ; ")}, prompt));
  EXPECT_TRUE(prompt.shown.empty());
  ASSERT_EQ(rec.opened.size(), 3u);
  EXPECT_EQ(rec.opened[1].toString(QUrl::FullyEncoded), url);
  EXPECT_EQ(rec.opened[2].toString(QUrl::FullyEncoded), QStringLiteral("mailto:"));
}

// No browser or mail program takes the address: one message, title 注意,
// names it as the user reads it; a mail list too long to read is cut.
// Text that is no address is still ignored without a word.
TEST(Shell, AddressNoProgramTakesIsReportedOnce) {
  QStringList buyers;
  for (int i = 0; i < 60; ++i) buyers << QStringLiteral("buyer%1@example.com").arg(i, 2, 10, QLatin1Char('0'));
  const QString many = buyers.join(u';');
  const QString longPath = QString(300, u'x');
  const QString mailNotOpened = QStringLiteral("無法用郵件程式寫信（找不到可以寫信的郵件程式）：\n");
  const QString webNotOpened = QStringLiteral("無法用瀏覽器開啟網址（找不到可以開啟網頁的程式）：\n");
  struct Case {
    std::function<bool(Prompt&)> open;
    QString text;  // "" : nothing shown
  };
  const Case cases[] = {
      {[](Prompt& p) { return Shell::openUrl(QStringLiteral("www.example.com/商品?id=1"), p); },
       webNotOpened + QStringLiteral("http://www.example.com/商品?id=1")},
      {[](Prompt& p) { return Shell::openUrl(QStringLiteral("HTTPS://shop.example.com/a%20b"), p); },
       webNotOpened + QStringLiteral("https://shop.example.com/a b")},
      {[](Prompt& p) { return Shell::openUrl(QStringLiteral("mailto: a b@x.tw"), p); },
       mailNotOpened + QStringLiteral("mailto: a b@x.tw")},
      {[](Prompt& p) { return Shell::openMail({QStringLiteral("王@example.tw; amy@x.tw")}, p); },
       mailNotOpened + QStringLiteral("mailto:王@example.tw, amy@x.tw")},
      {[](Prompt& p) { return Shell::openMail({}, p); }, mailNotOpened + QStringLiteral("mailto:")},
      // Nine addresses of 19 characters with their ", " fit in 200.
      {[&](Prompt& p) { return Shell::openMail({many}, p); },
       mailNotOpened + QStringLiteral("mailto:") + buyers.mid(0, 9).join(QStringLiteral(", ")) + QStringLiteral(", …")},
      // One address or a web address: cut where the length ends.
      {[&](Prompt& p) { return Shell::openMail({longPath + QStringLiteral("@x.tw")}, p); },
       mailNotOpened + QStringLiteral("mailto:") + longPath.left(Shell::ShownAddressLength - 8) + QStringLiteral("…")},
      {[&](Prompt& p) { return Shell::openUrl(QStringLiteral("http://shop.tw/") + longPath, p); },
       webNotOpened + QStringLiteral("http://shop.tw/") + longPath.left(Shell::ShownAddressLength - 16) +
           QStringLiteral("…")},
      {[](Prompt& p) { return Shell::openUrl(QStringLiteral("javascript:alert(1)"), p); }, {}},
      {[](Prompt& p) { return Shell::openUrl(QStringLiteral("/usr/bin/xterm"), p); }, {}},
  };
  for (const Case& c : cases) {
    Recorder rec(false);
    ScriptedPrompt prompt;
    EXPECT_FALSE(c.open(prompt));
    if (c.text.isEmpty()) {
      EXPECT_TRUE(rec.opened.empty());
      EXPECT_TRUE(prompt.shown.empty());
      continue;
    }
    EXPECT_EQ(rec.opened.size(), 1u);
    ASSERT_EQ(prompt.shown.size(), 1u) << c.text.toStdString();
    EXPECT_EQ(prompt.shown[0].text.toStdString(), c.text.toStdString());
    EXPECT_EQ(prompt.shown[0].title, QStringLiteral("注意"));
    EXPECT_EQ(prompt.shown[0].icon, Prompt::Icon::Exclamation);
    EXPECT_EQ(prompt.shown[0].buttons, Prompt::Buttons::Ok);
  }
}

// The cut never splits a character that takes two UTF-16 units.
TEST(Shell, ShownAddressCutKeepsWholeCharacters) {
  for (int pad = 0; pad < 2; ++pad) {
    const QString name = QString(pad, u'a') + QString(200, u'x').replace(u'x', QStringLiteral("𠀀"));
    const QString shown = Shell::addressShown(QUrl(QStringLiteral("mailto:") + name + QStringLiteral("@x.tw")));
    EXPECT_LE(shown.size(), Shell::ShownAddressLength);
    EXPECT_TRUE(shown.endsWith(QStringLiteral("𠀀…"))) << pad;
  }
}

TEST(Shell, OpenLocalFileHandsAFileUrl) {
  Recorder rec;
  EXPECT_TRUE(Shell::openLocalFile(QStringLiteral("/tmp/資料 夾/temp.htm")));
  EXPECT_FALSE(Shell::openLocalFile(QString()));
  ASSERT_EQ(rec.opened.size(), 1u);
  EXPECT_TRUE(rec.opened[0].isLocalFile());
  EXPECT_EQ(rec.opened[0].toLocalFile(), QStringLiteral("/tmp/資料 夾/temp.htm"));
}

TEST(Clipboard, LinesEndAtLfAndCrLf) {
  const std::pair<QString, QStringList> cases[] = {
      {"", {}},
      {"one", {"one"}},
      {"a\r\nb\nc", {"a", "b", "c"}},
      {"a\r\n\r\nb\r\n", {"a", "", "b"}},
      {"a\rb\n", {"a\rb"}},
      {"\n", {""}},
  };
  for (const auto& [text, lines] : cases) EXPECT_EQ(Clipboard::splitLines(text), lines) << text.toStdString();
}
