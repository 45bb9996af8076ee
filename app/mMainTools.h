#pragma once

#include <QString>
#include <memory>

class HelpViewer;
class QWidget;
class cSerialLink;

// The dialogs that the main window's menus open, each modal on `parent`; failures are logged
// under the entry's label.
void ShowAbout(QWidget* parent);
void ShowUserMaintenance(int userType, const QString& label, QWidget* parent);
void ShowCompany(QWidget* parent);
// The reader options and clock, then the firmware version: both talk over `link` and hold it.
void ShowReaderOptions(cSerialLink& link, QWidget* parent);
void ShowFirmwareVersion(cSerialLink& link, QWidget* parent);
// The help file's contents in `help`, made on first use; boxes titled `title` say what failed.
void ShowHelpContents(std::unique_ptr<HelpViewer>& help, const QString& title);

// The help file of the language chosen, else the English one.
void UpdateHelpFile();
// Back to English after a language that cannot be shown.
void ResetLanguage();
