#pragma once

#include <QString>
#include <functional>

// The per-user settings store under the application key ProductName(): sections and keys,
// every value stored as text. A value that does not parse reads as its default.
namespace Settings {

QString GetSetting(const QString& section, const QString& key,
                   const QString& defaultValue = QString());
// Writes the value to the store at once. False when it could not be written; the failure
// handler has been told then.
bool SaveSetting(const QString& section, const QString& key, const QString& value);

int GetInt(const QString& section, const QString& key, int defaultValue);
double GetDouble(const QString& section, const QString& key, double defaultValue);
bool GetBool(const QString& section, const QString& key, bool defaultValue);
bool SaveInt(const QString& section, const QString& key, qint64 value);
bool SaveBool(const QString& section, const QString& key, bool value);

// A value that could not be written: where it was to go and why not, in the system's words.
// `repeated` is true while the saves before it failed too (one failure usually stops every
// save until it is mended), so that the handler can tell the user once.
struct SaveFailure {
    QString section;
    QString key;
    QString file;
    QString reason;
    bool repeated = false;
};
using SaveFailureHandler = std::function<void(const SaveFailure&)>;
// The program reports failures through the error log and a box; without a handler they are
// only returned.
void SetSaveFailureHandler(SaveFailureHandler handler);

// A settings file that could not be read (a power loss leaves NUL bytes, an editor junk) and
// was written anew by a save: the values that could be read and the saved one are in it, the
// others are back at their defaults. `copy` holds the damaged file as it was (empty when it
// could not be kept), `why` what was wrong with it.
struct DamagedFile {
    QString file;
    QString copy;
    QString why;
};
using DamagedFileHandler = std::function<void(const DamagedFile&)>;
void SetDamagedFileHandler(DamagedFileHandler handler);
// What keeps these bytes from being a settings file; empty when nothing does.
QString DamageIn(const QByteArray& data);

QString BoolText(bool value);
// "True"/"False" in any case or a number (non-zero is true); ok is false for anything else.
bool ParseBool(const QString& text, bool* ok);

// Where the store lives (for the README's promise and for tests).
QString FileName();

} // namespace Settings
