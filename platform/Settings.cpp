#include "Settings.h"

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

void SaveSetting(const QString& section, const QString& key, const QString& value) {
    QSettings s = store();
    s.setValue(path(section, key), value);
    s.sync();
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

void SaveInt(const QString& section, const QString& key, qint64 value) {
    SaveSetting(section, key, QString::number(value));
}

QString BoolText(bool value) {
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

void SaveBool(const QString& section, const QString& key, bool value) {
    SaveSetting(section, key, BoolText(value));
}

QString FileName() {
    return store().fileName();
}

} // namespace Settings
