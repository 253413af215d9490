#include "customers/ImportProfiles.h"

#include <vector>

#include "platform/Prompt.h"
#include "store/CsvFile.h"
#include "store/Database.h"
#include "store/SettingsFiles.h"
#include "store/TextEntry.h"

namespace ImportProfiles {

namespace {

QString oneLine(const QString& text) {
  if (!text.contains(u'\r') && !text.contains(u'\n')) return text;
  QString s = text;
  s.remove(u'\r');
  s.remove(u'\n');
  return s;
}

const char* const kGroups[] = {"第一組", "第二組", "第三組"};

}  // namespace

QStringList fieldCaptions() {
  return {QStringLiteral("帳號"), QStringLiteral("姓名"), QStringLiteral("性別"),
          QStringLiteral("電話"), QStringLiteral("手機"), QStringLiteral("Email"),
          QStringLiteral("住址"), QStringLiteral("帳號末5碼"), QStringLiteral("備註")};
}

QStringList templateLines(const QString& text) {
  QStringList lines;
  qsizetype start = 0;
  const qsizetype n = text.size();
  while (start < n && lines.size() < 10) {
    qsizetype i = start;
    while (i < n && text[i] != u'\r' && text[i] != u'\n') ++i;
    lines << text.mid(start, i - start);
    if (i < n && text[i] == u'\r' && i + 1 < n && text[i + 1] == u'\n') ++i;
    start = i + 1;
  }
  while (lines.size() < 10) lines << QString();
  return lines;
}

bool store(Database& db, Prompt& prompt, const std::array<Profile, 3>& profiles) {
  const QStringList captions = fieldCaptions();
  std::vector<std::pair<QString, QString>> texts;
  for (size_t p = 0; p < 3; ++p) {
    const QString group = QString::fromUtf8(kGroups[p]);
    texts.emplace_back(group + QStringLiteral("說明"), profiles[p].name);
    for (size_t k = 0; k < 9; ++k)
      texts.emplace_back(group + captions[static_cast<int>(k)], profiles[p].keys[k]);
  }
  if (!TextEntry::acceptable(prompt, texts)) return false;

  DatabaseSettings& s = db.settings;
  const auto oldMap = s.ImportMap;
  const auto oldName = s.ImportName;
  for (size_t p = 1; p <= 3; ++p) {
    s.ImportName[p] = oneLine(profiles[p - 1].name);
    for (size_t k = 1; k <= 9; ++k) s.ImportMap[p][k] = oneLine(profiles[p - 1].keys[k - 1]);
  }
  if (!SettingsFiles::ImportClose(db, prompt)) {
    s.ImportMap = oldMap;
    s.ImportName = oldName;
    prompt.error();
    return false;
  }
  return true;
}

bool loadTemplate(Prompt& prompt, Profile& column) {
  const QString path = prompt.openFile(QStringLiteral("匯入"), QStringLiteral("CSV檔案 (*.csv)"));
  if (path.isEmpty()) return false;
  QString text;
  const Csv::ReadStatus status = Csv::readFile(path, &text);
  if (status != Csv::ReadStatus::Ok) {
    prompt.message(Csv::readFailureText(status), Prompt::Icon::Exclamation);
    return false;
  }
  const QStringList lines = templateLines(text);
  column.name = lines[0];
  for (int k = 0; k < 9; ++k) column.keys[static_cast<size_t>(k)] = lines[k + 1];
  return true;
}

}  // namespace ImportProfiles
