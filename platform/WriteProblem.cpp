#include "WriteProblem.h"

#include "FileSync.h"

#include <QDir>
#include <QFile>
#include <fcntl.h>
#include <unistd.h>

QString FolderWriteProblem(const QString& folder, qint64 bytes) {
    const QDir dir(folder);
    if (!dir.exists())
        return SystemReason(ENOENT);
    const QByteArray probe =
        QFile::encodeName(dir.filePath(QStringLiteral(".write-check-%1").arg(::getpid())));
    const int fd = ::open(probe.constData(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    if (fd < 0)
        return SystemReason();
    const QByteArray block(4096, '\0');
    QString why;
    for (qint64 left = qMax<qint64>(1, bytes); left > 0 && why.isEmpty();) {
        const qint64 n = qMin<qint64>(left, block.size());
        if (WriteAll(fd, block.constData(), n, &why))
            left -= n;
    }
    if (why.isEmpty())
        SyncToDisk(fd, &why);
    ::close(fd);
    ::unlink(probe.constData());
    return why;
}
