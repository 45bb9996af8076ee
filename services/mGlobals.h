#pragma once

#include "Database.h"
#include "Translator.h"

#include <QString>
#include <array>
#include <memory>

// The program-wide globals the shell sets up at start.
extern qint16 gLanguage;
extern std::unique_ptr<Translator> gTranslator;
extern QString gDBPath;
extern QString gConnectString;
extern std::unique_ptr<DbConnection> gConn;
extern bool gAutoSetTime;
extern std::array<QString, 5> gCompanyInfo; // indices 1 to 4
// The help file of the language in use; empty when the program has none.
extern QString gHelpFile;

// Shorthand for gTranslator->Translate that also works before the translator exists.
QString Translate(const QString& text);
