#include "mTranslations.h"

#include "mGlobals.h"

#include "Boxes.h"
#include "ProductName.h"
#include "Settings.h"

QString GetVersionString() {
    return QStringLiteral("%1.%2")
        .arg(TREVANO_VERSION_MAJOR)
        .arg(TREVANO_VERSION_MINOR, 2, 10, QLatin1Char('0'));
}

QString GetProductTitle() {
    return Translate(QStringLiteral("TK-22 Trevano Reports"));
}

QString GetCopyrightString() {
    return Translate(QStringLiteral("Copyright (C) 2026 Trevano Lite"));
}

int GetRevision() {
    return TREVANO_VERSION_PATCH;
}

void FallBackToLanguage(qint16 language, const QString& resetting) {
    Boxes::Show(ProductName(),
                gTranslator->EnglishName(gLanguage) +
                    QStringLiteral(" could not be displayed\r\n") + resetting,
                Boxes::Icon::Information);
    gLanguage = language;
    gTranslator->language = language;
    Settings::SaveInt(QStringLiteral("Properties"), QStringLiteral("Language"), language);
    gTranslator->Open();
}
