#include "mOperators.h"

#include "Settings.h"
#include "mGlobals.h"

QString OperatorLoginName(int userType) {
    return userType == Operator::Master ? QStringLiteral("MASTER") : QStringLiteral("USER");
}

QString NormalisedLoginEntry(const QString& typed) {
    return typed.trimmed().toUpper();
}

int CheckOperator(int userType, const QString& normalisedPassword) {
    const QString name = OperatorLoginName(userType);
    const DbRows rows =
        gConn->Query(QStringLiteral("SELECT * FROM tblOperators WHERE LoginName = ?"), {name});
    if (rows.isEmpty()) {
        gConn->Execute(
            QStringLiteral("INSERT INTO tblOperators (LoginName, Password) VALUES (?, ?)"),
            {name, name.toLower()});
        return Operator::None;
    }
    Settings::SaveSetting(QStringLiteral("Info"), QStringLiteral("LastLogin"),
                          QString::number(userType));
    const QString stored = rows.first().text(QStringLiteral("Password"));
    return stored.toUpper() == normalisedPassword ? userType : Operator::None;
}

bool SetOperatorPassword(int userType, const QString& password) {
    return gConn->Execute(
               QStringLiteral("UPDATE tblOperators SET Password = ? WHERE LoginName = ?"),
               {password.trimmed(), OperatorLoginName(userType)}) == 1;
}
