#include "mSerialDevices.h"

#include "Settings.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>

namespace SerialDevices {

namespace {

const QString kSection = QStringLiteral("ComPort_Settings");

QString key(int portNumber) {
    return QStringLiteral("Device%1").arg(portNumber);
}

} // namespace

QString DefaultPath(int portNumber) {
    return QStringLiteral("/dev/ttyS%1").arg(portNumber - 1);
}

QString EnvironmentPath(int portNumber) {
    return qEnvironmentVariable(
        QStringLiteral("TREVANO_COM%1").arg(portNumber).toLatin1().constData());
}

QString StoredPath(int portNumber) {
    return Settings::GetSetting(kSection, key(portNumber)).trimmed();
}

QStringList SystemPorts() {
    QStringList paths;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        paths << info.systemLocation();
    return paths;
}

QStringList Offered(int portNumber, const QString& current, const QStringList& systemPorts,
                    const QString& byIdFolder) {
    // Stable names outlive a re-plugging that gives the adapter another ttyUSB number.
    QHash<QString, QString> stableName;
    const QFileInfoList links =
        QDir(byIdFolder)
            .entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo& link : links) {
        const QString target = link.canonicalFilePath();
        if (!target.isEmpty() && !stableName.contains(target))
            stableName.insert(target, link.absoluteFilePath());
    }
    QStringList offered;
    const auto add = [&offered](const QString& path) {
        if (!path.isEmpty() && !offered.contains(path))
            offered << path;
    };
    QStringList system;
    for (const QString& port : systemPorts) {
        const QString canonical = QFileInfo(port).canonicalFilePath();
        system << stableName.value(canonical.isEmpty() ? port : canonical, port);
    }
    system.sort();
    add(current);
    for (const QString& path : system)
        add(path);
    add(DefaultPath(portNumber));
    return offered;
}

bool IsDevicePath(const QString& path) {
    if (!path.startsWith(QLatin1Char('/')) || path.endsWith(QLatin1Char('/')))
        return false;
    for (const QChar c : path)
        if (c.category() == QChar::Other_Control)
            return false;
    return !QFileInfo(path).isDir();
}

StoreResult Store(int portNumber, const QString& path) {
    const QString stored = StoredPath(portNumber);
    const QString opened = stored.isEmpty() ? DefaultPath(portNumber) : stored;
    if (path == opened)
        return StoreResult::Unchanged;
    const QString value = path == DefaultPath(portNumber) ? QString() : path;
    return Settings::SaveSetting(kSection, key(portNumber), value) ? StoreResult::Stored
                                                                   : StoreResult::Failed;
}

} // namespace SerialDevices
