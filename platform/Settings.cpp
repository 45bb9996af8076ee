#include "Settings.h"

#include "ProductName.h"
#include "WriteProblem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStringDecoder>
#include <QStringList>

namespace {

QSettings store() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, ProductName(), ProductName());
}

QString path(const QString& section, const QString& key) {
    return section + QLatin1Char('/') + key;
}

struct Handlers {
    Settings::SaveFailureHandler failure;
    Settings::DamagedFileHandler damaged;
};

Handlers& handlers() {
    static Handlers installed;
    return installed;
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

// The damage of the file as it lies on the disk; empty for a sound or missing file.
QString damageOfFile(const QString& file) {
    QFile f(file);
    if (!f.exists() || !f.open(QIODevice::ReadOnly))
        return QString(); // a file that cannot be opened is the write's business
    return Settings::DamageIn(f.readAll());
}

// A copy of the damaged file beside it under a name of its own; empty when none could be made.
QString keepDamagedCopy(const QString& file) {
    for (int n = 1; n < 100; ++n) {
        const QString copy =
            file + (n == 1 ? QStringLiteral(".damaged") : QStringLiteral(".damaged%1").arg(n));
        if (QFile::exists(copy))
            continue;
        return QFile::copy(file, copy) ? copy : QString();
    }
    return QString();
}

} // namespace

namespace Settings {

QString DamageIn(const QByteArray& data) {
    if (data.contains('\0'))
        return QStringLiteral("it holds NUL bytes");
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(data);
    if (utf8.hasError())
        return QStringLiteral("it is not UTF-8 text");
    const QStringList lines = text.split(QLatin1Char('\n'));
    bool continued = false;
    for (int i = 0; i < lines.size(); ++i) {
        QString line = lines.at(i);
        if (i == 0 && line.startsWith(QChar(0xFEFF)))
            line.remove(0, 1);
        line = line.trimmed();
        const bool continuation = continued;
        continued = line.endsWith(QLatin1Char('\\'));
        if (continuation || line.isEmpty() || line.startsWith(QLatin1Char(';')) ||
            line.startsWith(QLatin1Char('#')))
            continue;
        const bool sound = line.startsWith(QLatin1Char('[')) ? line.endsWith(QLatin1Char(']'))
                                                             : line.indexOf(QLatin1Char('=')) > 0;
        if (!sound)
            return QStringLiteral("line %1 is neither a section nor a setting").arg(i + 1);
    }
    return QString();
}

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
    const QString file = FileName();
    const QString damage = damageOfFile(file);
    const QString copy = damage.isEmpty() ? QString() : keepDamagedCopy(file);
    QSettings s = store();
    s.setValue(path(section, key), value);
    s.sync();
    // A file that could not be read leaves its status at FormatError even when the save wrote
    // it anew: the file on the disk tells.
    const bool written = damage.isEmpty() ? s.status() == QSettings::NoError
                                          : QFile::exists(file) && damageOfFile(file).isEmpty();
    if (written) {
        lastSaveFailed() = false;
        if (!damage.isEmpty() && handlers().damaged)
            handlers().damaged({file, copy, damage});
        return true;
    }
    SaveFailure failure{section, key, s.fileName(), whyNotWritten(s.fileName()), lastSaveFailed()};
    lastSaveFailed() = true;
    if (handlers().failure)
        handlers().failure(failure);
    return false;
}

void SetSaveFailureHandler(SaveFailureHandler handler) {
    handlers().failure = std::move(handler);
}

void SetDamagedFileHandler(DamagedFileHandler handler) {
    handlers().damaged = std::move(handler);
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
