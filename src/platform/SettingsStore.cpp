#include "platform/SettingsStore.h"

#include <QSettings>

#include "platform/Numbers.h"

namespace SettingsStore {

namespace {
QSettings& store() {
  static QSettings* s = nullptr;
  if (!s) s = new QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Kestrin"), QStringLiteral("Kestrin"));
  return *s;
}
QString full(const QString& section, const QString& key) { return section + u'/' + key; }
}  // namespace

QString get(const QString& section, const QString& key, const QString& defaultValue) {
  const QVariant v = store().value(full(section, key));
  return v.isValid() ? v.toString() : defaultValue;
}

void set(const QString& section, const QString& key, const QString& value) {
  store().setValue(full(section, key), value);
}

bool getBool(const QString& section, const QString& key, bool defaultValue) {
  const QVariant v = store().value(full(section, key));
  if (!v.isValid()) return defaultValue;
  const QString t = v.toString().trimmed();
  if (t.compare(QStringLiteral("True"), Qt::CaseInsensitive) == 0) return true;
  if (t.compare(QStringLiteral("False"), Qt::CaseInsensitive) == 0) return false;
  return Num::leading(t) != 0;
}

void setBool(const QString& section, const QString& key, bool value) {
  set(section, key, value ? QStringLiteral("True") : QStringLiteral("False"));
}

double getNumber(const QString& section, const QString& key, double defaultValue) {
  const QVariant v = store().value(full(section, key));
  return v.isValid() ? Num::leading(v.toString()) : defaultValue;
}

void setNumber(const QString& section, const QString& key, double value) { set(section, key, Num::format(value)); }

bool contains(const QString& section, const QString& key) { return store().contains(full(section, key)); }

void remove(const QString& section, const QString& key) { store().remove(full(section, key)); }

void sync() { store().sync(); }

}  // namespace SettingsStore
