#include "mTranslations.h"

#include "mGlobals.h"

QString GetVersionString() {
    return QStringLiteral("%1.%2").arg(TREVANO_VERSION_MAJOR).arg(TREVANO_VERSION_MINOR, 2, 10, QLatin1Char('0'));
}

QString GetProductTitle() { return Translate(QStringLiteral("TK-22 Trevano Reports")); }

QString GetCopyrightString() { return Translate(QStringLiteral("Copyright (C) 2026 Trevano Lite")); }

int GetRevision() { return TREVANO_VERSION_PATCH; }
