#include "mErrorHandler.h"

#include "Boxes.h"
#include "ProgramFolder.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <cstdlib>

QString LogTimeStamp() {
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

void LogError(const QString& text) {
    QFile log(ProgramFile(QStringLiteral("error.log")));
    const QByteArray line =
        (LogTimeStamp() + QLatin1Char('\t') + text + QLatin1Char('\n')).toUtf8();
    if (!log.open(QIODevice::WriteOnly | QIODevice::Append) || log.write(line) != line.size() ||
        !log.flush()) {
        Boxes::Show(QStringLiteral("Trevano Lite"),
                    QStringLiteral("Error saving to error log file\r\n") + text);
    }
}

QString ErrorBoxText(const QString& label, const AppError& error) {
    const QString program = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    return QStringLiteral("Error %1 in %2\r\n").arg(error.number).arg(label) +
           QStringLiteral("while running %1 v%2.%3.%4\r\n\r\n")
               .arg(program)
               .arg(TREVANO_VERSION_MAJOR)
               .arg(TREVANO_VERSION_MINOR, 2, 10, QLatin1Char('0'))
               .arg(TREVANO_VERSION_PATCH) +
           QStringLiteral("Error = '%1'\r\n").arg(error.description) +
           QStringLiteral(" (Click 'OK' to continue or 'Cancel' to exit the program) ");
}

void ShowProcedureError(const QString& procedure, const AppError& error) {
    Boxes::Show(QStringLiteral("Trevano Lite"),
                QStringLiteral("Error %1 in procedure %2: %3")
                    .arg(error.number)
                    .arg(procedure, error.description),
                Boxes::Icon::Warning);
}

void HandleError(const QString& label, const AppError& error, bool show) {
    LogError(
        QStringLiteral("Error %1 in %2\t(%3)").arg(error.number).arg(label, error.description));
    if (!show)
        return;
    const int answer = Boxes::Show(QStringLiteral("Error"), ErrorBoxText(label, error),
                                   Boxes::Icon::Information, Boxes::Buttons::OkCancel);
    if (answer == Boxes::AnswerCancel) {
        std::fflush(nullptr);
        std::_Exit(EXIT_FAILURE); // at once, as promised: no window or connection is closed
    }
}
