#include "WriteProblem.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

QString FolderWriteProblem(const QString& folder, qint64 bytes) {
    const QDir dir(folder);
    if (!dir.exists())
        return QString::fromLocal8Bit(std::strerror(ENOENT));
    const QByteArray probe =
        QFile::encodeName(dir.filePath(QStringLiteral(".write-check-%1").arg(::getpid())));
    const int fd = ::open(probe.constData(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    if (fd < 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    const QByteArray block(4096, '\0');
    int failure = 0;
    for (qint64 left = qMax<qint64>(1, bytes); left > 0 && !failure;) {
        const ssize_t n = ::write(fd, block.constData(), size_t(qMin<qint64>(left, block.size())));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            failure = n < 0 ? errno : ENOSPC;
        else
            left -= n;
    }
    if (!failure && ::fsync(fd) != 0)
        failure = errno;
    ::close(fd);
    ::unlink(probe.constData());
    return failure ? QString::fromLocal8Bit(std::strerror(failure)) : QString();
}
