// The settings-file readers (Addr, Shop0-6, Carry, Import, Cate1-4,
// AutoBackup): any bytes read without crashing; a file not reported reads
// whole (every item comes back from what its writer writes of the values);
// what the writer writes reads back to the same values without a report.
//
// Input: the first byte picks the file, the rest is its content.
#include <QByteArray>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>

#include "FileOracle.h"
#include "FuzzSupport.h"
#include "platform/Codec.h"
#include "store/Database.h"
#include "store/SettingsFiles.h"

namespace {

struct Kind {
  QString name;
  QString (*text)(const DatabaseSettings&);
};

const std::vector<Kind>& kinds() {
  using namespace SettingsFiles;
  static const std::vector<Kind> k = {
      {QStringLiteral("Addr.kdt"), [](const DatabaseSettings& s) { return addrText(s); }},
      {QStringLiteral("Shop0.kdt"), [](const DatabaseSettings& s) { return shopText(0, s); }},
      {QStringLiteral("Shop1.kdt"), [](const DatabaseSettings& s) { return shopText(1, s); }},
      {QStringLiteral("Shop2.kdt"), [](const DatabaseSettings& s) { return shopText(2, s); }},
      {QStringLiteral("Shop3.kdt"), [](const DatabaseSettings& s) { return shopText(3, s); }},
      {QStringLiteral("Shop4.kdt"), [](const DatabaseSettings& s) { return shopText(4, s); }},
      {QStringLiteral("Shop5.kdt"), [](const DatabaseSettings& s) { return shopText(5, s); }},
      {QStringLiteral("Shop6.kdt"), [](const DatabaseSettings& s) { return shopText(6, s); }},
      {QStringLiteral("Carry.kdt"), [](const DatabaseSettings& s) { return carryText(s); }},
      {QStringLiteral("Import.kdt"), [](const DatabaseSettings& s) { return importText(s); }},
      {QStringLiteral("Cate1.kdt"), [](const DatabaseSettings& s) { return cateText(1, s); }},
      {QStringLiteral("Cate2.kdt"), [](const DatabaseSettings& s) { return cateText(2, s); }},
      {QStringLiteral("Cate3.kdt"), [](const DatabaseSettings& s) { return cateText(3, s); }},
      {QStringLiteral("Cate4.kdt"), [](const DatabaseSettings& s) { return cateText(4, s); }},
      {QStringLiteral("AutoBackup.kdt"), nullptr},
  };
  return k;
}

void readAll(Database& db, Prompt& prompt) {
  SettingsFiles::SetInit(db, prompt);
  SettingsFiles::ImportInit(db, prompt);
  SettingsFiles::CateInit(db, prompt);
}

bool sameValues(const DatabaseSettings& a, const DatabaseSettings& b) {
  return a.AutoBackupPath == b.AutoBackupPath && a.AddrTemplate == b.AddrTemplate && a.AddrFileExt == b.AddrFileExt &&
         a.NoteTitle == b.NoteTitle && a.NoteShopInfo == b.NoteShopInfo && a.NoteFields == b.NoteFields &&
         a.NoteColPct == b.NoteColPct && a.NoteShopPct == b.NoteShopPct && a.NoteWidth == b.NoteWidth &&
         a.NoteSeparators == b.NoteSeparators && a.CarryList == b.CarryList && a.ImportMap == b.ImportMap &&
         a.ImportName == b.ImportName && a.ProductCategories == b.ProductCategories &&
         a.CustomerCategories == b.CustomerCategories && a.ExpenseCategories == b.ExpenseCategories &&
         a.SupplierNames == b.SupplierNames && a.SupplierDetails == b.SupplierDetails;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  FuzzSupport::start();
  const Kind& kind = kinds()[data[0] % kinds().size()];
  const QByteArray bytes(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
  QTemporaryDir dir;
  if (!dir.isValid()) return 0;
  const QString folder = dir.path() + u'/';
  FuzzSupport::put(folder + kind.name, bytes);

  Database db;
  db.DataBasePath = folder;
  FuzzPrompt prompt;
  readAll(db, prompt);
  const bool reported = db.damagedFiles.contains(kind.name) || !FuzzSupport::keptCopies(folder, kind.name).isEmpty();
  if (!kind.text) return 0;  // AutoBackup.kdt: no crash is all
  if (!reported) {
    bool clean = true;
    const QString text = Codec::decode(bytes, &clean);
    const QString back = kind.text(db.settings);
    const bool whole = clean && FileOracle::readWhole(kind.name, text, back);
    if (!whole) abort();
  }

  // What the writer writes reads back the same, with nothing to report. The
  // dialogs clean their texts before they write; so does this.
  DatabaseSettings written = db.settings;
  for (QString* s : {&written.AddrTemplate, &written.AddrFileExt, &written.NoteTitle, &written.NoteShopInfo})
    s->replace(u'"', u'\'');
  for (QStringList* l : {&written.CarryList, &written.ProductCategories, &written.CustomerCategories,
                         &written.ExpenseCategories, &written.SupplierNames, &written.SupplierDetails})
    for (QString& s : *l) s = s.remove(u'"').trimmed();
  for (QString& m : written.CarryList) m = m.remove(u',').remove(u'\r').remove(u'\n').trimmed();
  written.CarryList.removeAll(QString());  // an empty line holds no method
  for (auto& p : written.ImportMap)
    for (QString& s : p) s.remove(u'\r').remove(u'\n');
  for (QString& s : written.ImportName) s.remove(u'\r').remove(u'\n');
  bool lossless = true;
  const QByteArray out = Codec::encode(kind.text(written), &lossless);
  if (!lossless) return 0;  // text the file cannot hold never enters (refused where typed)
  QTemporaryDir dir2;
  const QString folder2 = dir2.path() + u'/';
  FuzzSupport::put(folder2 + kind.name, out);
  Database again;
  again.DataBasePath = folder2;
  again.settings = written;
  readAll(again, prompt);
  if (!again.damagedFiles.isEmpty()) abort();
  // Values of the other files are their defaults in both.
  if (!sameValues(again.settings, written)) abort();
  return 0;
}
