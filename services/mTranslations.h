#pragma once

#include <QString>

// "1.00": major version, a point, the minor version in two digits.
QString GetVersionString();
QString GetProductTitle();
QString GetCopyrightString();
int GetRevision();

// Tells that the language in use cannot be shown, then falls back to `language` (built in,
// so the fallback always opens) and keeps that choice.
void FallBackToLanguage(qint16 language, const QString& resetting);
