#include "WriteProblem.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

QString FolderWriteProblem(const QString& folder) {
    const QDir dir(folder);
    if (!dir.exists())
        return QString::fromLocal8Bit(std::strerror(ENOENT));
    const QByteArray probe =
        QFile::encodeName(dir.filePath(QStringLiteral(".write-check-%1").arg(::getpid())));
    const int fd = ::open(probe.constData(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    if (fd < 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    const QByteArray bytes(4096, '\0');
    int failure = 0;
    if (::write(fd, bytes.constData(), size_t(bytes.size())) != bytes.size())
        failure = errno ? errno : ENOSPC;
    else if (::fsync(fd) != 0)
        failure = errno;
    ::close(fd);
    ::unlink(probe.constData());
    return failure ? QString::fromLocal8Bit(std::strerror(failure)) : QString();
}
