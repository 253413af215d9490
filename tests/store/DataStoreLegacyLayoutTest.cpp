#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include "ScopedSaveFaults.h"
#include "ScriptedPrompt.h"
#include "TestDir.h"
#include "platform/SettingsStore.h"
#include "store/DataStore.h"
#include "store/Database.h"
#include "store/Progress.h"
#include "store/SaveTransaction.h"

namespace {

const QString kLegacy = QStringLiteral(KESTRIN_TEST_DATA "/legacy/");

QByteArray readFile(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct Loaded {
  TestDir dir;
  Database db;
  ScriptedPrompt prompt;
  SilentProgress progress;
  DataStore store{db, prompt, progress};

  explicit Loaded(const QStringList& oldFiles = {QStringLiteral("Order.kdt"), QStringLiteral("Stock.kdt"),
                                                 QStringLiteral("Guest.kdt"), QStringLiteral("Manuf.kdt"),
                                                 QStringLiteral("Images.kdt")}) {
    for (const QString& n : oldFiles) dir.put(n, old(n));
    db.DataBasePath = dir.path();
  }
  static QByteArray old(const QString& name) { return readFile(kLegacy + QStringLiteral("folder/") + name); }
  static QByteArray expected(const QString& name) { return readFile(kLegacy + QStringLiteral("expected/") + name); }
  void load() { store.loadDatabase(); }
};

}  // namespace

TEST(LegacyLayout, EveryOlderFileIsConvertedAndSetAside) {
  SettingsStore::remove(QStringLiteral("ManufForm"), QStringLiteral("LW5"));
  Loaded l;
  l.load();
  EXPECT_TRUE(l.prompt.shown.empty()) << l.prompt.texts().join(u'|').toStdString();

  for (const char* n : {"Order1.kdt", "Stock1.kdt", "Member.kdt", "Manuf1.kdt", "Images1.kdt"}) {
    SCOPED_TRACE(n);
    EXPECT_EQ(l.dir.get(QString::fromLatin1(n)), Loaded::expected(QString::fromLatin1(n)));
  }
  // The older files keep their bytes under their new names; the pictures' is gone.
  EXPECT_EQ(l.dir.get(QStringLiteral("Order.123")), Loaded::old(QStringLiteral("Order.kdt")));
  EXPECT_EQ(l.dir.get(QStringLiteral("Stock.123")), Loaded::old(QStringLiteral("Stock.kdt")));
  EXPECT_EQ(l.dir.get(QStringLiteral("Guest.123")), Loaded::old(QStringLiteral("Guest.kdt")));
  EXPECT_EQ(l.dir.get(QStringLiteral("Manuf.123")), Loaded::old(QStringLiteral("Manuf.kdt")));
  EXPECT_EQ(l.dir.names(), (QStringList{"Guest.123", "Images1.kdt", "Import.kdt", "Manuf.123", "Manuf1.kdt", "Member.kdt",
                                        "Order.123", "Order1.kdt", "Stock.123", "Stock1.kdt"}));
  EXPECT_EQ(SettingsStore::get(QStringLiteral("ManufForm"), QStringLiteral("LW5")), QStringLiteral("90"));
  EXPECT_FALSE(l.db.dirty());

  // Cells the older layout lacked.
  ASSERT_EQ(l.db.Manuf.count(), 3);
  for (int r = 1; r <= 3; ++r) {
    EXPECT_EQ(l.db.Manuf.cell(r, ManufCell::ProductStock), QStringLiteral("0"));
    EXPECT_EQ(l.db.Manuf.cell(r, ManufCell::SafetyStock), QStringLiteral("0"));
    EXPECT_EQ(l.db.Manuf.cell(r, ManufCell::ProductWeight), QStringLiteral("0"));
  }
  EXPECT_EQ(l.db.Manuf.cell(1, ManufCell::ProductNote), QStringLiteral("好用"));
  ASSERT_EQ(l.db.Stock.count(), 3);
  EXPECT_EQ(l.db.Stock.cell(1, StockCell::LineUrl), QString());
  EXPECT_EQ(l.db.Stock.cell(3, StockCell::LineWeight), QStringLiteral("0"));
  ASSERT_EQ(l.db.Order.count(), 2);
  EXPECT_EQ(l.db.Order.cell(1, OrderCell::OrderNote), QStringLiteral("備註, 兩行\r\n第二行"));
  EXPECT_EQ(l.db.Order.cell(2, OrderCell::SellerPaysShipping), QStringLiteral("1"));
  EXPECT_EQ(l.db.Guest.cell(1, GuestCell::CustomerNameSex), QStringLiteral("王小明") + QChar(1) + QStringLiteral("男"));
  // A picture takes the category of the last product of its name; no product, no category.
  ASSERT_EQ(l.db.Images.count(), 2);
  EXPECT_EQ(l.db.Images.cell(1, ImagesCell::ImageCategory), QStringLiteral("禮品"));
  EXPECT_EQ(l.db.Images.cell(2, ImagesCell::ImageCategory), QString());

  // The next save writes the one-column files, and a reload reads the same tables.
  ASSERT_TRUE(l.store.DataBaseSave());
  EXPECT_EQ(l.dir.get(QStringLiteral("Stock2.kdt")), QByteArray("\"0\"\r\n\"0\"\r\n\"0\"\r\n"));
  Database again;
  again.DataBasePath = l.dir.path();
  SilentProgress p;
  DataStore s(again, l.prompt, p);
  s.loadDatabase();
  EXPECT_EQ(again.Order, l.db.Order);
  EXPECT_EQ(again.Stock, l.db.Stock);
  EXPECT_EQ(again.Guest, l.db.Guest);
  EXPECT_EQ(again.Manuf, l.db.Manuf);
  EXPECT_EQ(again.Images, l.db.Images);
}

TEST(LegacyLayout, CurrentFilesWinOverOlderOnes) {
  Loaded l;
  l.dir.put(QStringLiteral("Order1.kdt"), QByteArray());
  l.dir.put(QStringLiteral("IMAGES1.KDT"), "\"碗\",\"\",\"x.jpg\"\r\n");
  l.load();
  EXPECT_EQ(l.db.Order.count(), 0);
  EXPECT_EQ(l.dir.get(QStringLiteral("Order.kdt")), Loaded::old(QStringLiteral("Order.kdt")));
  EXPECT_FALSE(l.dir.has(QStringLiteral("Order.123")));
  EXPECT_FALSE(l.dir.has(QStringLiteral("Images.kdt")));
  EXPECT_FALSE(l.dir.has(QStringLiteral("Images1.kdt")));
  ASSERT_EQ(l.db.Images.count(), 1);
  EXPECT_EQ(l.db.Images.cell(1, ImagesCell::ImagePath), QStringLiteral("x.jpg"));
}

TEST(LegacyLayout, OlderNamesInCapitalsAreConverted) {
  Loaded l{QStringList()};
  l.dir.put(QStringLiteral("MANUF.KDT"), Loaded::old(QStringLiteral("Manuf.kdt")));
  l.load();
  EXPECT_EQ(l.dir.get(QStringLiteral("Manuf1.kdt")), Loaded::expected(QStringLiteral("Manuf1.kdt")));
  EXPECT_EQ(l.dir.names(), (QStringList{"Import.kdt", "Manuf.123", "Manuf1.kdt"}));
}

TEST(LegacyLayout, FailedWriteKeepsEveryOlderFile) {
  ScopedSaveFaults faults;
  Loaded l;
  faults.failAfterBytes(0);
  l.load();
  faults.failAfterBytes(-1);
  EXPECT_EQ(l.prompt.texts(),
            (QStringList{"載入 Import.kdt 發生錯誤!", "載入 Manuf1 檔案發生錯誤!", "載入 Stock1 檔案發生錯誤!", "載入 Member 檔案發生錯誤!",
                         "載入 Order 檔案發生錯誤!"}));
  EXPECT_EQ(l.dir.names(), (QStringList{"Guest.kdt", "Images.kdt", "Manuf.kdt", "Order.kdt", "Stock.kdt"}));
  // The rows are in memory, so the next save writes the current files.
  EXPECT_EQ(l.db.Manuf.count(), 3);
  EXPECT_EQ(l.db.Images.count(), 2);
  ASSERT_TRUE(l.store.DataBaseSave());
  EXPECT_EQ(l.dir.get(QStringLiteral("Manuf1.kdt")), Loaded::expected(QStringLiteral("Manuf1.kdt")));
  EXPECT_EQ(l.dir.get(QStringLiteral("Order1.kdt")), Loaded::expected(QStringLiteral("Order1.kdt")));
}

TEST(LegacyLayout, DamagedOlderFileIsReportedAndKept) {
  SettingsStore::remove(QStringLiteral("ManufForm"), QStringLiteral("LW5"));
  Loaded l{QStringList()};
  // The second record lost a field in its line.
  l.dir.put(QStringLiteral("Manuf.kdt"), big5("\"杯子\",\"廚房\",\"500\",\"250\",\"好用\"\r\n\"盤子\",\"廚房\",\"60\",\"\"\r\n"
                                               "\"碗\",\"廚房\",\"1\",\"2\",\"3\"\r\n"));
  l.load();
  EXPECT_EQ(l.prompt.texts(), QStringList{"載入 Manuf1 檔案發生錯誤!"});
  EXPECT_TRUE(l.dir.has(QStringLiteral("Manuf.kdt")));
  EXPECT_FALSE(l.dir.has(QStringLiteral("Manuf1.kdt")));
  EXPECT_FALSE(l.dir.has(QStringLiteral("Manuf.123")));
  EXPECT_FALSE(SettingsStore::contains(QStringLiteral("ManufForm"), QStringLiteral("LW5")));
  EXPECT_EQ(l.db.Manuf.count(), 1);
}
