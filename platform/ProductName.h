#pragma once

#include <QString>

// The program's name: the title of its boxes and windows, and the application key of its
// settings (the settings file lies under it, so it never changes). CMake defines it once, for
// the code and for the desktop entry.
inline QString ProductName() {
    return QStringLiteral(TREVANO_PRODUCT_NAME);
}
