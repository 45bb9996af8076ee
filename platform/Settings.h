#pragma once

#include <QString>

// The per-user settings store under the application key "Trevano Lite": sections and keys,
// every value stored as text. A value that does not parse reads as its default.
namespace Settings {

QString GetSetting(const QString& section, const QString& key,
                   const QString& defaultValue = QString());
void SaveSetting(const QString& section, const QString& key, const QString& value);

int GetInt(const QString& section, const QString& key, int defaultValue);
double GetDouble(const QString& section, const QString& key, double defaultValue);
bool GetBool(const QString& section, const QString& key, bool defaultValue);
void SaveInt(const QString& section, const QString& key, qint64 value);
void SaveBool(const QString& section, const QString& key, bool value);

QString BoolText(bool value);
// "True"/"False" in any case or a number (non-zero is true); ok is false for anything else.
bool ParseBool(const QString& text, bool* ok);

// Where the store lives (for the README's promise and for tests).
QString FileName();

} // namespace Settings
