#include "FileSync.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

QString SystemReason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

bool WriteAll(int fd, const char* data, qint64 size, QString* why) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size_t(size));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (why)
                *why = SystemReason(n < 0 ? errno : ENOSPC); // nothing taken: no room
            return false;
        }
        data += n;
        size -= n;
    }
    return true;
}

bool SyncToDisk(int fd, QString* why) {
    if (::fsync(fd) == 0)
        return true;
    if (why)
        *why = SystemReason();
    return false;
}

bool SyncFolder(const QString& folder, QString* why) {
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) {
        if (why)
            *why = SystemReason();
        return false;
    }
    const bool synced = ::fsync(fd) == 0 || errno == EINVAL; // some file systems cannot
    if (!synced && why)
        *why = SystemReason();
    ::close(fd);
    return synced;
}

bool RenameNoReplace(const QString& from, const QString& to, QString* why) {
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) ==
        0)
        return true;
    if (errno != EINVAL && errno != ENOSYS) {
        if (why)
            *why = SystemReason();
        return false;
    }
    // A file system without that flag: a second name that must be new, then the first goes.
    if (::link(source.constData(), target.constData()) != 0) {
        if (why)
            *why = SystemReason();
        return false;
    }
    ::unlink(source.constData());
    return true;
}

QString PartFileName(const QString& chosen) {
    return chosen + QStringLiteral(".%1.part")
                        .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
}

QStringList RemoveLeftovers(const QString& beside, const QString& suffixPattern) {
    const QFileInfo info(beside);
    const QRegularExpression leftover(
        QStringLiteral("^%1%2(-journal)?$")
            .arg(QRegularExpression::escape(info.fileName()), suffixPattern));
    const QDir folder = info.absoluteDir();
    QStringList kept;
    for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden))
        if (leftover.match(name).hasMatch() && !QFile::remove(folder.filePath(name)))
            kept << folder.filePath(name);
    return kept;
}

void RemoveStaleParts(const QString& chosen) {
    RemoveLeftovers(chosen, QStringLiteral("\\.[0-9a-f]{8}\\.part"));
}
