#include "platform/AppPaths.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include "TestDir.h"

// A name is found in a folder whatever its letter case: the exact name
// wins; else the one entry that differs only in case; of several, the first
// of the folder's sorted listing; else the canonical path. Folders,
// hidden files and links to nothing count as entries.
TEST(AppPaths, FindResolvesLetterCaseAsTheSortedListingDoes) {
  struct Case {
    const char* what;
    std::vector<const char*> files;
    std::vector<const char*> folders;
    std::vector<const char*> deadLinks;
    const char* expected;  // nullptr: the first match of the sorted listing
  };
  const Case cases[] = {
      {"nothing there", {"Other.kdt"}, {}, {}, "Order1.kdt"},
      {"exact", {"Order1.kdt", "ORDER1.KDT"}, {}, {}, "Order1.kdt"},
      {"one other case", {"ORDER1.KDT", "Member.kdt"}, {}, {}, "ORDER1.KDT"},
      {"a folder of that name", {}, {"order1.KDT"}, {}, "order1.KDT"},
      {"a link to nothing", {}, {}, {"ORDER1.kdt"}, "ORDER1.kdt"},
      {"several other cases", {"ORDER1.KDT", "order1.kdt", "Order1.KDT"}, {}, {}, nullptr},
      {"a file and a folder", {"order1.kdt"}, {"ORDER1.KDT"}, {}, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TestDir dir;
    for (const char* f : c.files) dir.put(QString::fromLatin1(f), "x");
    for (const char* f : c.folders) ASSERT_TRUE(QDir(dir.path()).mkdir(QString::fromLatin1(f)));
    for (const char* f : c.deadLinks) ASSERT_TRUE(QFile::link(dir.file(QStringLiteral("gone")), dir.file(QString::fromLatin1(f))));
    QString expected = c.expected ? dir.file(QString::fromLatin1(c.expected)) : QString();
    if (!c.expected) {
      for (const QString& e : QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System))
        if (e.compare(u"Order1.kdt", Qt::CaseInsensitive) == 0) {
          expected = dir.file(e);
          break;
        }
    }
    EXPECT_EQ(AppPaths::find(dir.path(), QStringLiteral("Order1.kdt")), expected);
    // The folder's path without its trailing "/" gives the same.
    QString bare = dir.path();
    bare.chop(1);
    EXPECT_EQ(AppPaths::find(bare, QStringLiteral("Order1.kdt")), expected);
  }
}
