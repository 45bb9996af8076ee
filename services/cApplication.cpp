#include "cApplication.h"

#include "AppError.h"
#include "mErrorHandler.h"

cApplication::cApplication(int& argc, char** argv) : QApplication(argc, argv) {
    Settings::SetSaveFailureHandler(&ReportSettingsFailure);
    Settings::SetDamagedFileHandler(&ReportSettingsDamage);
}

cApplication::~cApplication() {
    Settings::SetSaveFailureHandler({});
    Settings::SetDamagedFileHandler({});
}

QString EscapedErrorLabel(const QObject* receiver) {
    if (!receiver)
        return QStringLiteral("notify of Module cApplication");
    QString name = receiver->objectName();
    if (name.isEmpty())
        name = QString::fromLatin1(receiver->metaObject()->className());
    return QStringLiteral("%1 of Form %2").arg(QStringLiteral("notify"), name);
}

bool cApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const AppError& error) {
        HandleError(EscapedErrorLabel(receiver), error, true);
    } catch (const std::exception& error) {
        HandleError(EscapedErrorLabel(receiver),
                    AppError(AppError::InvalidCall, QString::fromLocal8Bit(error.what())), true);
    }
    return false;
}
