// The general settings without the dialog: load → OK round trips, the
// conversions OK checks before it takes anything over, all-or-nothing
// writing, the box rules and the column-width repairs.
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include "ScopedSaveFaults.h"
#include "ScriptedPrompt.h"
#include "TestDir.h"
#include "admin/GeneralSettings.h"
#include "platform/SettingsStore.h"
#include "store/SaveTransaction.h"
#include "store/SettingsFiles.h"

namespace {

const QString kGolden = QStringLiteral(KESTRIN_TEST_DATA "/settings/golden/");
const QString kSetting = QStringLiteral("Setting");

QByteArray golden(const QString& name) {
  QFile f(kGolden + name);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct GeneralSettingsTest : ::testing::Test {
  TestDir dir;
  Database db;
  ScriptedPrompt prompt;
  void SetUp() override {
    db.DataBasePath = dir.path();
    for (const char* key : {"SystemTray", "CheckLacks", "HideCost", "SetView", "Rate", "FontSize"})
      SettingsStore::remove(kSetting, QString::fromLatin1(key));
    for (const auto& [section, key] : {std::pair{"OrderInput", "LW4"}, {"OrderInput", "LW6"}, {"ManufForm", "LW4"}})
      SettingsStore::remove(QString::fromLatin1(section), QString::fromLatin1(key));
  }
  ScopedSaveFaults faults;
  QMap<QString, QByteArray> files() const {
    QMap<QString, QByteArray> out;
    for (const QString& n : dir.names()) out[n] = dir.get(n);
    return out;
  }
  bool ok(const GeneralSettings::Values& v) {
    auto t = GeneralSettings::take(db, v);
    return t && GeneralSettings::store(db, prompt, std::move(*t));
  }
};

TEST_F(GeneralSettingsTest, LoadThenOkLeavesEverySettingsFileByteIdentical) {
  for (const QString& n : SettingsFiles::setFileNames()) dir.put(n, golden(n));
  SettingsFiles::SetInit(db, prompt);
  ASSERT_TRUE(prompt.shown.empty());
  const DatabaseSettings before = db.settings;
  GeneralSettings::Values v = GeneralSettings::load(db, 11.25);
  EXPECT_EQ(v.NoteShopPct, "45");
  EXPECT_FALSE(v.addrText);
  EXPECT_EQ(v.fontEntry, 2);  // "11"
  ASSERT_TRUE(ok(v));
  for (const QString& n : SettingsFiles::setFileNames()) EXPECT_EQ(dir.get(n), golden(n)) << n.toStdString();
  EXPECT_EQ(dir.names().size(), SettingsFiles::setFileNames().size());  // no journal or temporary file left
  EXPECT_EQ(db.settings.CarryList, before.CarryList);
  EXPECT_EQ(db.settings.NoteColPct, before.NoteColPct);
  // The switches and the font size went into the settings store.
  EXPECT_EQ(SettingsStore::get(kSetting, "SystemTray"), "False");
  EXPECT_EQ(SettingsStore::get(kSetting, "SetView"), "1");
  EXPECT_EQ(SettingsStore::get(kSetting, "FontSize"), "11");
  EXPECT_EQ(db.FontSize, 11);

  // A database without settings files: OK writes the defaults, and a second
  // round trip gives the same bytes.
  TestDir fresh;
  Database other;
  other.DataBasePath = fresh.path();
  SettingsFiles::SetInit(other, prompt);
  auto t = GeneralSettings::take(other, GeneralSettings::load(other, 11.25));
  ASSERT_TRUE(t && GeneralSettings::store(other, prompt, std::move(*t)));
  QMap<QString, QByteArray> first;
  for (const QString& n : fresh.names()) first[n] = fresh.get(n);
  QStringList names = SettingsFiles::setFileNames();
  names.sort();
  EXPECT_EQ(QStringList(first.keys()), names);
  EXPECT_EQ(first.value("Shop5.kdt"), QByteArray("\"650\"\r\n"));
  SettingsFiles::SetInit(other, prompt);
  t = GeneralSettings::take(other, GeneralSettings::load(other, 11.25));
  ASSERT_TRUE(t && GeneralSettings::store(other, prompt, std::move(*t)));
  for (const QString& n : fresh.names()) EXPECT_EQ(fresh.get(n), first.value(n)) << n.toStdString();
}

TEST_F(GeneralSettingsTest, AFieldThatCannotBeStoredRefusesBeforeAnythingChanges) {
  for (const QString& n : SettingsFiles::setFileNames()) dir.put(n, golden(n));
  SettingsFiles::SetInit(db, prompt);
  const auto filesBefore = files();
  const DatabaseSettings before = db.settings;
  struct Case {
    const char* what;
    std::function<void(GeneralSettings::Values&)> change;
  };
  const Case cases[] = {
      {"width 40000", [](auto& v) { v.NoteWidth = "40000"; }},
      {"width -32769", [](auto& v) { v.NoteWidth = "-32769"; }},
      {"percent 256", [](auto& v) { v.NoteColPct[3] = "256"; }},
      {"percent -1", [](auto& v) { v.NoteColPct[0] = "-1"; }},
      {"51 methods", [](auto& v) { v.CarryList = QStringList(51, "m"); }},
  };
  for (const Case& c : cases) {
    GeneralSettings::Values v = GeneralSettings::load(db, 11);
    v.HideCost = true;
    v.AddrTemplate = "changed";
    c.change(v);
    EXPECT_FALSE(GeneralSettings::take(db, v)) << c.what;
  }
  // Edge values that fit.
  GeneralSettings::Values v = GeneralSettings::load(db, 11);
  v.NoteWidth = "-32768";
  EXPECT_TRUE(GeneralSettings::take(db, v));
  v.NoteWidth = "letters";
  EXPECT_EQ(GeneralSettings::take(db, v)->settings.NoteWidth, 0);
  EXPECT_EQ(files(), filesBefore);
  EXPECT_EQ(db.settings.AddrTemplate, before.AddrTemplate);
  EXPECT_FALSE(db.HideCost);
  EXPECT_FALSE(SettingsStore::contains(kSetting, "HideCost"));
}

TEST_F(GeneralSettingsTest, AFailedWriteChangesNoFileNothingInMemoryAndNoSetting) {
  for (const QString& n : SettingsFiles::setFileNames()) dir.put(n, golden(n));
  SettingsFiles::SetInit(db, prompt);
  const auto filesBefore = files();
  GeneralSettings::Values v = GeneralSettings::load(db, 11);
  v.NoteTitle = "新標題";
  v.CarryList = QStringList{"面交"};
  v.Rate = true;
  for (qint64 bytes : {0, 60, 200}) {
    faults.failAfterBytes(bytes, 1);
    EXPECT_FALSE(ok(v)) << bytes;
    EXPECT_EQ(files(), filesBefore) << bytes;
    EXPECT_EQ(db.settings.NoteTitle, "出貨明細");
    EXPECT_EQ(db.settings.CarryList.size(), 3);
    EXPECT_FALSE(db.Rate);
    EXPECT_FALSE(SettingsStore::contains(kSetting, "Rate"));
  }
  faults.failAfterBytes(-1);
  EXPECT_TRUE(ok(v));
  EXPECT_EQ(db.settings.NoteTitle, "新標題");
  EXPECT_EQ(dir.get("Carry.kdt"), QByteArray(big5("面交\r\n")));
  EXPECT_TRUE(db.Rate);
}

TEST_F(GeneralSettingsTest, TitleQuotesBecomeApostrophesSoTheFileReadsBack) {
  GeneralSettings::Values v = GeneralSettings::load(db, 11);
  v.NoteTitle = "\"好\"店";
  v.NoteShopInfo = "<font color=\"red\">店</font>";
  v.AddrTemplate = "\"$Name”";
  v.CarryList = QStringList{" 寄,郵局 ", "\"宅配\""};
  ASSERT_TRUE(ok(v));
  EXPECT_EQ(db.settings.NoteTitle, "'好'店");
  EXPECT_EQ(db.settings.AddrTemplate, "$Name");
  EXPECT_EQ(db.settings.CarryList, (QStringList{"寄郵局", "宅配"}));
  Database reread;
  reread.DataBasePath = dir.path();
  SettingsFiles::SetInit(reread, prompt);
  EXPECT_TRUE(prompt.shown.empty());
  EXPECT_EQ(reread.settings.NoteTitle, "'好'店");
  EXPECT_EQ(reread.settings.NoteShopInfo, "<font color='red'>店</font>");
  EXPECT_EQ(reread.settings.CarryList, db.settings.CarryList);
}

TEST_F(GeneralSettingsTest, PercentagesRoundHalfToEvenAndStartViewOutsideItsRangeIsKept) {
  db.SetView = 7;
  db.settings.NoteShopPct = 120;
  GeneralSettings::Values v = GeneralSettings::load(db, 11);
  EXPECT_EQ(v.SetView, 0);
  EXPECT_EQ(v.NoteShopPct, "100");
  for (const auto& [typed, stored] : {std::pair{"33.5", 34}, {"32.5", 32}, {"100", 100}, {"0", 0}}) {
    v.NoteShopPct = typed;
    v.NoteColPct[0] = typed;
    auto t = GeneralSettings::take(db, v);
    ASSERT_TRUE(t);
    EXPECT_EQ(t->settings.NoteShopPct, stored) << typed;
    EXPECT_EQ(t->settings.NoteColPct[1], stored) << typed;
    EXPECT_EQ(t->SetView, 7);
  }
  v.NoteShopPct = "50";
  ASSERT_TRUE(ok(v));
  EXPECT_EQ(SettingsStore::get(kSetting, "SetView"), "7");
  EXPECT_EQ(dir.get("Shop4.kdt"), QByteArray("\"50\"\r\n"));
}

TEST(GeneralSettingsRules, WidthBoxesColumnMaximumAndFontEntries) {
  struct Box {
    const char* typed;
    const char* box;
    const char* other;
  };
  for (const Box& b : {Box{"150", "100", "0"}, {"33.5", "33.5", "66.5"}, {"abc", "0", "100"}, {"", "0", "100"},
                       {"-5", "-5", "105"}, {"12.", "12", "88"}, {"007", "7", "93"}}) {
    const QString box = GeneralSettings::percentBoxText(QString::fromUtf8(b.typed));
    EXPECT_EQ(box, b.box) << b.typed;
    EXPECT_EQ(GeneralSettings::otherPercentBoxText(box), b.other) << b.typed;
  }

  const QStringList defaults{"60", "0", "15", "0", "10", "0", "15", "0", "0"};
  struct Max {
    QStringList cells;
    int row;
    double maximum;
    const char* answer;
    const char* cell;  // "" = refused
  };
  const Max cases[] = {
      {defaults, 0, 60, "60", "60"},
      {defaults, 0, 60, "61", ""},
      {defaults, 1, 0, "1", ""},
      {defaults, 1, 0, "0", "0"},
      {defaults, 2, 15, "-5", "0"},
      {defaults, 2, 15, "12.5", "12.5"},
      {defaults, 2, 15, "abc", "0"},
      {{"90", "20", "", "x", "0", "0", "0", "0", "0"}, 4, -10, "0", ""},
  };
  for (const Max& c : cases) {
    EXPECT_DOUBLE_EQ(GeneralSettings::maxPercent(c.cells, c.row), c.maximum) << c.row << c.answer;
    const auto cell = GeneralSettings::percentCell(QString::fromUtf8(c.answer), c.maximum);
    EXPECT_EQ(cell.value_or(QString()), QString::fromUtf8(c.cell)) << c.row << c.answer;
  }

  const QStringList fonts = GeneralSettings::fontEntries();
  for (const auto& [size, entry] : {std::pair{11.25, "11"}, {9.0, "9"}, {12.5, "12"}, {13.5, "14"}, {16.0, "16"},
                                    {18.0, "18"}, {20.25, "20"}, {21.75, "22"}, {22.0, "22"}, {24.0, "24"},
                                    {8.0, "9"}, {17.0, "9"}, {30.0, "9"}}) {
    EXPECT_EQ(fonts[GeneralSettings::fontEntryIndex(size)], entry) << size;
  }
  // Every stored size reopens on its own entry.
  for (int i = 0; i < fonts.size(); ++i) EXPECT_EQ(GeneralSettings::fontEntryIndex(fonts[i].toDouble()), i);

  EXPECT_EQ(GeneralSettings::cleanMethodName(" 寄,郵\"局” "), " 寄郵局 ");
  EXPECT_EQ(GeneralSettings::cleanMethodName(","), "");
}

TEST_F(GeneralSettingsTest, HiddenColumnWidthsAreRepairedWhenTheirSwitchTurns) {
  GeneralSettings::Values v = GeneralSettings::load(db, 11);
  // Keys missing: nothing is written.
  v.CheckLacks = true;
  ASSERT_TRUE(ok(v));
  EXPECT_FALSE(SettingsStore::contains("OrderInput", "LW6"));
  EXPECT_FALSE(SettingsStore::contains("OrderInput", "LW4"));
  EXPECT_FALSE(SettingsStore::contains("ManufForm", "LW4"));
  // Widths of 0 left by hidden columns come back.
  for (const auto& [section, key] : {std::pair{"OrderInput", "LW4"}, {"OrderInput", "LW6"}, {"ManufForm", "LW4"}})
    SettingsStore::set(section, key, "0");
  v.HideCost = true;
  v.CheckLacks = false;
  ASSERT_TRUE(ok(v));
  EXPECT_EQ(SettingsStore::get("OrderInput", "LW6"), "0");
  EXPECT_EQ(SettingsStore::get("OrderInput", "LW4"), "0");
  v.HideCost = false;
  v.CheckLacks = true;
  ASSERT_TRUE(ok(v));
  EXPECT_EQ(SettingsStore::get("OrderInput", "LW6"), "50");
  EXPECT_EQ(SettingsStore::get("OrderInput", "LW4"), "65");
  EXPECT_EQ(SettingsStore::get("ManufForm", "LW4"), "90");
  EXPECT_TRUE(db.CheckLacks);
  EXPECT_FALSE(db.HideCost);
  EXPECT_EQ(SettingsStore::get(kSetting, "CheckLacks"), "True");
}

}  // namespace
