#pragma once

#include <QString>

// The fixed password of every database file of the program.
inline QString DatabaseKey() {
    return QStringLiteral("quor7314");
}
