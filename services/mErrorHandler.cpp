#include "mErrorHandler.h"

#include "Boxes.h"
#include "ProductName.h"
#include "ProgramFolder.h"

#include "mGlobals.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <cstdlib>

namespace {
// clang-format off
const char* const kSettingsNotSaved = TR_TEXT("The settings could not be saved in %0:s. Changes of the settings are lost when the program ends.");
const char* const kSettingsDamaged = TR_TEXT("The settings file %0:s was damaged and could not be read. It has been written anew: settings that could not be read are back at their defaults.");
const char* const kDamagedCopy = TR_TEXT("The damaged file was kept as %0:s.");
// clang-format on
} // namespace

QString LogTimeStamp() {
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

void LogError(const QString& text) {
    QFile log(ProgramFile(QStringLiteral("error.log")));
    // A description's own line breaks stay, as LF like every line of the log.
    QString logged = text;
    logged.replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));
    const QByteArray line =
        (LogTimeStamp() + QLatin1Char('\t') + logged + QLatin1Char('\n')).toUtf8();
    if (!log.open(QIODevice::WriteOnly | QIODevice::Append) || log.write(line) != line.size() ||
        !log.flush()) {
        Boxes::Show(ProductName(), QStringLiteral("Error saving to error log file\r\n") + text);
    }
}

void ReportSettingsFailure(const Settings::SaveFailure& failure) {
    if (failure.repeated)
        return; // the same failure as the save before: told once
    LogError(QStringLiteral("Cannot save the setting %1/%2 to %3: %4")
                 .arg(failure.section, failure.key, failure.file, failure.reason));
    Boxes::Show(ProductName(),
                Translator::FormatStr(Translate(QLatin1String(kSettingsNotSaved)),
                                      {QDir::toNativeSeparators(failure.file)}) +
                    QStringLiteral("\r\n") + failure.reason,
                Boxes::Icon::Warning);
}

void ReportSettingsDamage(const Settings::DamagedFile& damaged) {
    LogError(QStringLiteral("The settings file %1 could not be read (%2); written anew, %3")
                 .arg(damaged.file, damaged.why,
                      damaged.copy.isEmpty()
                          ? QStringLiteral("no copy of the damaged file could be kept")
                          : QStringLiteral("the damaged file kept as ") + damaged.copy));
    QString text = Translator::FormatStr(Translate(QLatin1String(kSettingsDamaged)),
                                         {QDir::toNativeSeparators(damaged.file)});
    if (!damaged.copy.isEmpty())
        text += QStringLiteral("\r\n") +
                Translator::FormatStr(Translate(QLatin1String(kDamagedCopy)),
                                      {QDir::toNativeSeparators(damaged.copy)});
    Boxes::Show(ProductName(), text, Boxes::Icon::Warning);
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
    Boxes::Show(ProductName(),
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
