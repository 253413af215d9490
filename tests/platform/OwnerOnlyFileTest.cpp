#include "platform/OwnerOnlyFile.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "TestDir.h"

// Whatever stands at the name (nothing, a file others may read, a link to a
// file elsewhere, a link to nothing yet) is replaced by a plain file of the
// owner's alone; a link's target is neither written nor created.
TEST(OwnerOnlyFile, ReplacesWhateverStandsAtTheNameWithoutFollowingIt) {
  enum class Planted { Nothing, PublicFile, LinkToFile, DanglingLink };
  for (Planted planted : {Planted::Nothing, Planted::PublicFile, Planted::LinkToFile, Planted::DanglingLink}) {
    for (OwnerOnlyFile::Flush flush : {OwnerOnlyFile::Flush::None, OwnerOnlyFile::Flush::ToDisk}) {
      TestDir shared;
      TestDir elsewhere;
      const QString name = shared.file(QStringLiteral("temp.htm"));
      const QString target = elsewhere.file(QStringLiteral("victim"));
      switch (planted) {
        case Planted::Nothing:
          break;
        case Planted::PublicFile:
          shared.put(QStringLiteral("temp.htm"), "old page");
          ::chmod(QFile::encodeName(name).constData(), 0644);
          break;
        case Planted::LinkToFile:
          elsewhere.put(QStringLiteral("victim"), "keep me");
          ASSERT_TRUE(QFile::link(target, name));
          break;
        case Planted::DanglingLink:
          ASSERT_TRUE(QFile::link(target, name));
          break;
      }
      const auto what = static_cast<int>(planted);
      ASSERT_TRUE(OwnerOnlyFile::replace(name, "buyers' addresses", flush)) << what;
      EXPECT_FALSE(QFileInfo(name).isSymLink()) << what;
      EXPECT_EQ(shared.get(QStringLiteral("temp.htm")), "buyers' addresses") << what;
      EXPECT_EQ(fileMode(name), 0600) << what;
      EXPECT_EQ(shared.names(), QStringList{QStringLiteral("temp.htm")}) << what;  // nothing left beside it
      if (planted == Planted::LinkToFile) {
        EXPECT_EQ(elsewhere.get(QStringLiteral("victim")), "keep me");
      }
      if (planted == Planted::DanglingLink) {
        EXPECT_FALSE(QFileInfo::exists(target));
      }
    }
  }
}

// A write that cannot be done leaves what stood at the name and no stray file.
TEST(OwnerOnlyFile, AFailedWriteChangesNothing) {
  TestDir dir;
  EXPECT_FALSE(OwnerOnlyFile::replace(dir.file(QStringLiteral("no/such/folder/temp.txt")), "x"));
  EXPECT_FALSE(OwnerOnlyFile::replace(QString(), "x"));

  // A folder at the name is not replaced.
  ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("temp.txt")));
  dir.put(QStringLiteral("temp.txt/inside"), "kept");
  EXPECT_FALSE(OwnerOnlyFile::replace(dir.file(QStringLiteral("temp.txt")), "x"));
  EXPECT_TRUE(QFileInfo(dir.file(QStringLiteral("temp.txt"))).isDir());
  EXPECT_EQ(dir.get(QStringLiteral("temp.txt/inside")), "kept");
  EXPECT_TRUE(dir.names().isEmpty());
}
