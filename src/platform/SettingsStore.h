#pragma once
// The per-user settings store of application "Kestrin": sections and keys
// holding texts ("True"/"False" for switches, decimal text for numbers).
#include <QString>
#include <QVariant>

namespace SettingsStore {

QString get(const QString& section, const QString& key, const QString& defaultValue = {});
void set(const QString& section, const QString& key, const QString& value);
bool getBool(const QString& section, const QString& key, bool defaultValue);
void setBool(const QString& section, const QString& key, bool value);
// The leading number of the stored text, or defaultValue when the key is missing.
double getNumber(const QString& section, const QString& key, double defaultValue);
void setNumber(const QString& section, const QString& key, double value);
bool contains(const QString& section, const QString& key);
void remove(const QString& section, const QString& key);
void sync();

}  // namespace SettingsStore
