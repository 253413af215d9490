#pragma once
// A database folder loaded as the program loads it, with a scripted prompt
// and a silent progress window, for tests of the load and the save.
#include <QDir>
#include <QFile>
#include <QString>

#include "ScriptedPrompt.h"
#include "TestDir.h"
#include "store/DataStore.h"
#include "store/Database.h"
#include "store/Progress.h"

struct Loaded {
  Database db;
  ScriptedPrompt prompt;
  SilentProgress progress;
  DataStore store{db, prompt, progress};
  explicit Loaded(const QString& path) {
    db.DataBasePath = path;
    store.loadDatabase();
  }
};

#ifdef KESTRIN_TEST_DATA
// The small golden database (tests/data/golden-db) copied into d.
inline void copyGolden(const TestDir& d) {
  const QDir src(QStringLiteral(KESTRIN_TEST_DATA "/golden-db"));
  for (const QString& n : src.entryList(QDir::Files)) QFile::copy(src.filePath(n), d.file(n));
}
#endif
