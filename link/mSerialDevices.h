#pragma once

#include <QString>
#include <QStringList>

// Which device each port number opens, what the system offers for it, and storing a choice in
// the setting ComPort_Settings/Device<n>.
namespace SerialDevices {

// The device port n opens when nothing names another: /dev/ttyS<n-1>.
QString DefaultPath(int portNumber);
// The device named by the environment variable TREVANO_COM<n> (empty when unset); it wins
// over the setting for one run.
QString EnvironmentPath(int portNumber);
// The device in the setting ComPort_Settings/Device<n> (empty when none).
QString StoredPath(int portNumber);

// The serial ports the system has, as their device paths.
QStringList SystemPorts();
// The devices to offer for port n: every system port under its stable name in `byIdFolder`
// where a link there leads to it, the default device, and `current`, each once.
QStringList Offered(int portNumber, const QString& current, const QStringList& systemPorts,
                    const QString& byIdFolder = QStringLiteral("/dev/serial/by-id"));

// A path a port may be given: absolute, no folder, no control characters.
bool IsDevicePath(const QString& path);

enum class StoreResult { Unchanged, Stored, Failed };
// Makes port n open `path`. Nothing is written when it already opens it (a user who keeps
// the default leaves the settings alone); choosing the default again empties the setting.
StoreResult Store(int portNumber, const QString& path);

} // namespace SerialDevices
