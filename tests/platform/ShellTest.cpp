#include <QUrl>
#include <gtest/gtest.h>

#include "platform/Clipboard.h"
#include "platform/Shell.h"

namespace {
// Records what would have been opened instead of launching anything.
struct Recorder {
  std::vector<QUrl> opened;
  Recorder() {
    Shell::openHook = [this](const QUrl& u) {
      opened.push_back(u);
      return true;
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
    const bool ok = Shell::openUrl(QString::fromUtf8(c.text));
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
  EXPECT_TRUE(Shell::openUrl(url));
  ASSERT_EQ(rec.opened.size(), 1u);
  EXPECT_EQ(rec.opened[0].scheme(), QStringLiteral("mailto"));
  EXPECT_EQ(rec.opened[0].toString(QUrl::FullyEncoded), url);

  // A mail to the same list opens the same address; to nobody, a new
  // message without addressee.
  EXPECT_TRUE(Shell::openMail(addresses));
  EXPECT_TRUE(Shell::openMail({QString(), QStringLiteral(" ; ")}));
  ASSERT_EQ(rec.opened.size(), 3u);
  EXPECT_EQ(rec.opened[1].toString(QUrl::FullyEncoded), url);
  EXPECT_EQ(rec.opened[2].toString(QUrl::FullyEncoded), QStringLiteral("mailto:"));
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
