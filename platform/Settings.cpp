#include "Settings.h"

#include "WriteProblem.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStringList>

namespace {

QSettings store() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Trevano Lite"),
                     QStringLiteral("Trevano Lite"));
}

QString path(const QString& section, const QString& key) {
    return section + QLatin1Char('/') + key;
}

Settings::SaveFailureHandler& failureHandler() {
    static Settings::SaveFailureHandler handler;
    return handler;
}

bool& lastSaveFailed() {
    static bool failed = false;
    return failed;
}

// QSettings tells only that the file could not be written: the folder says why.
QString whyNotWritten(const QString& file) {
    QFileInfo info(file);
    QDir folder = info.absoluteDir();
    while (!folder.exists() && !folder.isRoot())
        folder.setPath(QFileInfo(folder.absolutePath()).absolutePath());
    // As large as the file would be: a disk with a little room left takes a small probe.
    QString why = FolderWriteProblem(folder.absolutePath(), info.size() + 4096);
    if (why.isEmpty() && info.exists() && !info.isWritable())
        why = QStringLiteral("Permission denied");
    return why.isEmpty() ? QStringLiteral("The file could not be written") : why;
}

} // namespace

namespace Settings {

QString GetSetting(const QString& section, const QString& key, const QString& defaultValue) {
    const QVariant v = store().value(path(section, key));
    if (!v.isValid())
        return defaultValue;
    // A hand-edited value with an unquoted comma comes back as a list.
    if (v.typeId() == QMetaType::QStringList)
        return v.toStringList().join(QLatin1Char(','));
    return v.toString();
}

bool SaveSetting(const QString& section, const QString& key, const QString& value) {
    QSettings s = store();
    s.setValue(path(section, key), value);
    s.sync();
    if (s.status() == QSettings::NoError) {
        lastSaveFailed() = false;
        return true;
    }
    SaveFailure failure{section, key, s.fileName(), whyNotWritten(s.fileName()), lastSaveFailed()};
    lastSaveFailed() = true;
    if (failureHandler())
        failureHandler()(failure);
    return false;
}

void SetSaveFailureHandler(SaveFailureHandler handler) {
    failureHandler() = std::move(handler);
}

int GetInt(const QString& section, const QString& key, int defaultValue) {
    bool ok = false;
    const int value = GetSetting(section, key).trimmed().toInt(&ok);
    return ok ? value : defaultValue;
}

double GetDouble(const QString& section, const QString& key, double defaultValue) {
    bool ok = false;
    const double value = GetSetting(section, key).trimmed().toDouble(&ok);
    return ok ? value : defaultValue;
}

bool ParseBool(const QString& text, bool* ok) {
    const QString t = text.trimmed();
    *ok = true;
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    const int n = t.toInt(ok);
    return *ok && n != 0;
}

bool GetBool(const QString& section, const QString& key, bool defaultValue) {
    bool ok = false;
    const bool value = ParseBool(GetSetting(section, key), &ok);
    return ok ? value : defaultValue;
}

bool SaveInt(const QString& section, const QString& key, qint64 value) {
    return SaveSetting(section, key, QString::number(value));
}

QString BoolText(bool value) {
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

bool SaveBool(const QString& section, const QString& key, bool value) {
    return SaveSetting(section, key, BoolText(value));
}

QString FileName() {
    return store().fileName();
}

} // namespace Settings
