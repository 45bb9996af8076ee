#include "ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>

QString ProgramFolder() {
    const QString home = qEnvironmentVariable("TREVANO_HOME");
    if (!home.isEmpty())
        return QDir(home).absolutePath();
    return QCoreApplication::applicationDirPath();
}

QString ProgramFile(const QString& name) {
    return QDir(ProgramFolder()).filePath(name);
}
