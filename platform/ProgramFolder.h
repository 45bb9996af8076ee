#pragma once

#include <QString>

// The folder that holds the program, its database, dictionary and log.
// TREVANO_HOME overrides it (tests, other installs).
QString ProgramFolder();
QString ProgramFile(const QString& name);
