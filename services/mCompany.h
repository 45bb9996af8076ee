#pragma once

#include <QStringList>

// In characters (code points): a character outside the basic plane counts once.
constexpr int kCompanyLineLength = 50;

// Reads the four company lines into gCompanyInfo, each cut to 50 characters.
void LoadCompanyInfo();
// Takes the lines as typed into gCompanyInfo and the settings (cut to 50 characters).
void SaveCompanyInfo(const QStringList& lines);
