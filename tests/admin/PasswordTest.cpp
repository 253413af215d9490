#include <QFile>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "ScriptedPrompt.h"
#include "TestDir.h"
#include "admin/DatabasePassword.h"
#include "admin/PassInput.h"
#include "admin/PasswordFile.h"
#include "admin/PasswordHost.h"
#include "store/Database.h"

#include <QLabel>
#include <QLineEdit>

namespace {

using Ans = Prompt::Answer;

TEST(PasswordFile, EncodesEachCharacterAsFourHexDigitsOfItsCodePage950Code) {
  EXPECT_EQ(PasswordFile::encode(QStringLiteral("abc")), QStringLiteral("006100620063"));
  EXPECT_EQ(PasswordFile::encode(QStringLiteral("Z9中")), QStringLiteral("005A0039A4A4"));
  EXPECT_EQ(PasswordFile::encode(QString()), QString());
  // Characters code page 950 cannot hold have no code.
  EXPECT_FALSE(PasswordFile::encode(QStringLiteral("ab😀")));
  EXPECT_FALSE(PasswordFile::encode(QStringLiteral("ab这")));
}

TEST(PasswordFile, DecodesTheFirstFieldAndRefusesDamage) {
  struct Case {
    const char* text;
    bool damaged;
    const char* password;
  };
  const Case cases[] = {
      {"006100620063\r\n", false, "abc"},
      {"005a0039a4a4\r\n", false, "Z9中"},    // lower-case digits read alike
      {"0061,0062\r\n", false, "a"},          // up to a comma
      {"006100620063", false, "abc"},         // no line end
      {"\r\n", false, ""},                    // an empty first line: the empty password
      {"", true, ""},                         // no first line
      {"00G1\r\n", true, ""},                 // not hexadecimal
      {"0061 062\r\n", true, ""},
      {"0061FFFF\r\n", true, ""},             // no character of code page 950
      {"006100A1\r\n", true, ""},             // a lead byte alone
  };
  for (const Case& c : cases) {
    const auto pw = PasswordFile::decode(QString::fromUtf8(c.text));
    EXPECT_EQ(!pw.has_value(), c.damaged) << c.text;
    if (pw) {
      EXPECT_EQ(*pw, QString::fromUtf8(c.password)) << c.text;
    }
  }
  // A shorter last group is read with the digits it has.
  EXPECT_EQ(PasswordFile::decode(QStringLiteral("006141")), QStringLiteral("aA"));
}

TEST(PasswordFile, RoundTripThroughTheFolder) {
  TestDir d;
  EXPECT_EQ(PasswordFile::read(d.path()).state, PasswordFile::State::Missing);
  ASSERT_TRUE(PasswordFile::write(d.path(), QStringLiteral("ab中1")));
  EXPECT_EQ(d.get(QStringLiteral("DataBase.pwd")), QByteArray("00610062A4A40031\r\n"));
  const auto back = PasswordFile::read(d.path());
  EXPECT_EQ(back.state, PasswordFile::State::Readable);
  EXPECT_EQ(back.password, QStringLiteral("ab中1"));
  // A file named on Windows in other letters is found too.
  ASSERT_TRUE(PasswordFile::remove(d.path()));
  d.put(QStringLiteral("DATABASE.PWD"), "007A007A007A\r\n");
  EXPECT_TRUE(PasswordFile::exists(d.path()));
  EXPECT_EQ(PasswordFile::read(d.path()).password, QStringLiteral("zzz"));
  d.put(QStringLiteral("DATABASE.PWD"), "");
  EXPECT_EQ(PasswordFile::read(d.path()).state, PasswordFile::State::Damaged);
  EXPECT_FALSE(PasswordFile::write(d.path(), QStringLiteral("😀😀😀")));
}

// The database and the settings passwords alike: readable by their owner
// only, and a link planted at the file's name (or at its temporary file's)
// is replaced, its target left as it was.
TEST(PasswordFile, WrittenForItsOwnerOnlyReplacingAnyLinkAtItsName) {
  const mode_t mask = ::umask(022);
  for (const char* name : {PasswordFile::kDatabase, PasswordFile::kSetting}) {
    SCOPED_TRACE(name);
    const QString file = QString::fromLatin1(name);
    TestDir d, elsewhere;
    elsewhere.put(QStringLiteral("target"), "the neighbour's file");
    ASSERT_TRUE(QFile::link(elsewhere.file(QStringLiteral("target")), d.file(file)));
    ASSERT_TRUE(PasswordFile::write(d.path(), QStringLiteral("abc"), file));
    struct stat st {};
    ASSERT_EQ(::lstat(QFile::encodeName(d.file(file)).constData(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode));
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(d.get(file), QByteArray("006100620063\r\n"));
    EXPECT_EQ(elsewhere.get(QStringLiteral("target")), QByteArray("the neighbour's file"));
    EXPECT_EQ(d.names(), QStringList{file});
    // A file readable by all, from before, is replaced by one that is not.
    ASSERT_TRUE(QFile::remove(d.file(file)));
    d.put(file, "0041\r\n");
    ASSERT_TRUE(PasswordFile::write(d.path(), QStringLiteral("xyz"), file));
    ASSERT_EQ(::lstat(QFile::encodeName(d.file(file)).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
  }
  ::umask(mask);
}

struct PasswordMenu : ::testing::Test {
  TestDir d;
  Database db;
  ScriptedPrompt prompt;
  PasswordState host;
  void SetUp() override {
    db.DataBasePath = d.path();
    db.DataBaseName = QStringLiteral("店");
  }
  bool hasFile() const { return d.has(QStringLiteral("DataBase.pwd")); }
};

TEST_F(PasswordMenu, SetAcceptsThreeToEightCharactersTypedTwiceAlike) {
  struct Case {
    std::optional<QString> first, second;
    const char* message;  // nullptr: no message
    bool written;
  };
  const Case cases[] = {
      {QStringLiteral("abc"), QStringLiteral("abc"), "密碼設定完成!", true},
      {QStringLiteral("abcdefgh"), QStringLiteral("abcdefgh"), "密碼設定完成!", true},
      {QStringLiteral("ab"), std::nullopt, "密碼格式不正確，請輸入3-8個英文或數字", false},
      {QStringLiteral("abcdefghi"), std::nullopt, "密碼格式不正確，請輸入3-8個英文或數字", false},
      {QStringLiteral("abc"), QString(), nullptr, false},
      {QStringLiteral("abc"), std::nullopt, nullptr, false},
      {std::nullopt, std::nullopt, nullptr, false},
      {QStringLiteral("abc"), QStringLiteral("abcd"), "兩次輸入的密碼不一樣，請重新輸入", false},
      {QStringLiteral("abc"), QStringLiteral("ab"), "密碼格式不正確，請輸入3-8個英文或數字", false},
      {QStringLiteral("ab😀"), std::nullopt, "密碼格式不正確，請輸入3-8個英文或數字", false},
  };
  for (const Case& c : cases) {
    PasswordFile::remove(d.path());
    prompt.clear();
    host.setPassMenu(true, false);
    prompt.answerInput(c.first);
    const bool asksTwice = c.first && !c.first->isEmpty() && c.first->size() >= 3 && c.first->size() <= 8 &&
                           PasswordFile::encode(*c.first);
    if (asksTwice) prompt.answerInput(c.second);
    DatabasePassword::setPassword(db, prompt, host);
    const QString label = c.first.value_or(QStringLiteral("(cancel)"));
    EXPECT_EQ(hasFile(), c.written) << label.toStdString();
    for (const auto& s : prompt.shown) {
      if (s.kind != QStringLiteral("input")) continue;
      EXPECT_TRUE(s.password);
      EXPECT_EQ(s.title, QStringLiteral("設定密碼"));
    }
    const QStringList messages = [&] {
      QStringList m;
      for (const auto& s : prompt.shown)
        if (s.kind == QStringLiteral("message")) m << s.text;
      return m;
    }();
    const QStringList expected = c.message ? QStringList{QString::fromUtf8(c.message)} : QStringList{};
    EXPECT_EQ(messages, expected) << label.toStdString();
    EXPECT_EQ(host.passSetEnabled(), !c.written);
    EXPECT_EQ(host.passClearEnabled(), c.written);
    EXPECT_FALSE(prompt.pending());
  }
}

TEST_F(PasswordMenu, ClearNeedsThePasswordAndHandlesADamagedFile) {
  ASSERT_TRUE(PasswordFile::write(d.path(), QStringLiteral("abc")));
  // Wrong, upper case, empty and cancelled answers are refused; the file stays.
  for (std::optional<QString> a : {std::optional<QString>(QStringLiteral("ABC")), std::optional<QString>(QString()),
                                   std::optional<QString>()}) {
    prompt.clear();
    prompt.answerInput(a);
    DatabasePassword::clearPassword(db, prompt, host);
    EXPECT_TRUE(hasFile());
    EXPECT_EQ(prompt.texts().last(), QStringLiteral("密碼不正確，請重新輸入!"));
    EXPECT_FALSE(host.passSetEnabled());
    EXPECT_TRUE(host.passClearEnabled());
  }
  prompt.clear();
  prompt.answerInput(QStringLiteral("abc"));
  DatabasePassword::clearPassword(db, prompt, host);
  EXPECT_FALSE(hasFile());
  EXPECT_EQ(prompt.texts().last(), QStringLiteral("密碼刪除完成!"));
  EXPECT_TRUE(host.passSetEnabled());
  EXPECT_FALSE(host.passClearEnabled());

  // No file: nothing happens at all.
  prompt.clear();
  DatabasePassword::clearPassword(db, prompt, host);
  EXPECT_TRUE(prompt.shown.empty());

  // Damaged: reported lost, deleted, and the deletion reported done.
  d.put(QStringLiteral("DataBase.pwd"), "00G1\r\n");
  host.chk = false;
  DatabasePassword::clearPassword(db, prompt, host);
  EXPECT_EQ(prompt.texts(), (QStringList{QStringLiteral("密碼設定已遺失，請重新設定密碼!"), QStringLiteral("密碼刪除完成!")}));
  EXPECT_FALSE(hasFile());
  EXPECT_FALSE(host.chk);  // PassInit leaves PassChk alone
}

TEST_F(PasswordMenu, PromptChecksTheTypedPasswordExactly) {
  ASSERT_TRUE(PasswordFile::write(d.path(), QStringLiteral("abc")));
  struct Case {
    const char* typed;  // nullptr: Cancel
    bool accepted;
  };
  for (const Case c : {Case{"abc", true}, Case{"ABC", false}, Case{"abc ", false}, Case{"", false}, Case{nullptr, false}}) {
    host.chk = true;
    host.setPassMenu(true, false);
    PassInput p(db, prompt, host);
    ASSERT_TRUE(p.Form_Load());
    EXPECT_EQ(p.passwordEdit->echoMode(), QLineEdit::Password);
    EXPECT_EQ(p.promptLabel->text(), db.DataBaseName + QStringLiteral("\n") + d.path() +
                                    QStringLiteral("\n\n開啟這個資料庫需要密碼，請輸入密碼"));
    if (c.typed) {
      p.passwordEdit->setText(QString::fromUtf8(c.typed));
      p.onOk();
    } else {
      p.reject();  // Cancel and the close command alike
    }
    EXPECT_EQ(host.chk, c.accepted) << (c.typed ? c.typed : "cancel");
    // A refusal leaves the menu as it was.
    EXPECT_EQ(host.passSetEnabled(), !c.accepted);
    EXPECT_EQ(host.passClearEnabled(), c.accepted);
  }
  EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(PasswordMenu, PromptOnADamagedFileGrantsAccessWithoutShowing) {
  // A file of zero bytes, or with a group that is no number.
  for (const QByteArray& bytes : {QByteArray(), QByteArray("00G1\r\n")}) {
    d.put(QStringLiteral("DataBase.pwd"), bytes);
    host.chk = false;
    host.setPassMenu(false, true);
    prompt.clear();
    PassInput p(db, prompt, host);
    EXPECT_FALSE(p.Form_Load());
    EXPECT_EQ(prompt.texts(), QStringList{QStringLiteral("資料庫密碼設定已損壞，請重新設定密碼!")});
    EXPECT_FALSE(hasFile());
    EXPECT_TRUE(host.chk);
    EXPECT_TRUE(host.passSetEnabled());
    EXPECT_FALSE(host.passClearEnabled());
  }
}

TEST_F(PasswordMenu, AnEmptyFirstLineIsTheEmptyPassword) {
  d.put(QStringLiteral("DataBase.pwd"), "\r\n");
  PassInput p(db, prompt, host);
  ASSERT_TRUE(p.Form_Load());
  p.onOk();
  EXPECT_TRUE(host.chk);
}

}  // namespace
