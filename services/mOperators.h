#pragma once

#include <QString>

// The longest password the login takes, in characters (code points).
constexpr int kPasswordLength = 16;

// The two operators; their numbers are stored ("LastLogin") and logged. None: no login.
namespace Operator {
enum Type : int { None = 0, Master = 1, User = 2 };
} // namespace Operator

QString OperatorLoginName(int userType);
// What the login compares: the typed text without surrounding blanks, in upper case.
QString NormalisedLoginEntry(const QString& typed);
// The user type when the password fits the operator's row, else Operator::None. Records "LastLogin"
// whenever the row exists; adds a missing row (its password the lower-case login name).
int CheckOperator(int userType, const QString& normalisedPassword);
// Stores a new password (trimmed); false when the operator has no row.
bool SetOperatorPassword(int userType, const QString& password);
