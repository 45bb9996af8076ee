#pragma once

#include "AppError.h"
#include "Settings.h"

#include <QString>

// Appends one line to "error.log" in the program folder.
void LogError(const QString& text);
// Logs the failure and, when show is true, offers OK (carry on) or Cancel (end the program).
void HandleError(const QString& label, const AppError& error, bool show = true);

// Tells the user once, and the error log, that a setting could not be saved (the settings
// store's failure handler of the program).
void ReportSettingsFailure(const Settings::SaveFailure& failure);
// Tells the user, and the error log, that the settings file could not be read and was written
// anew (the settings store's handler of a damaged file).
void ReportSettingsDamage(const Settings::DamagedFile& damaged);

// The date and time as the log writes them.
QString LogTimeStamp();
// The text of the error box (without showing it).
QString ErrorBoxText(const QString& label, const AppError& error);
// The box of a procedure that reports its own failure: "Error n in procedure X: description",
// untranslated, with OK only; nothing is logged.
void ShowProcedureError(const QString& procedure, const AppError& error);
