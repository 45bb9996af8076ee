#pragma once

#include <QString>

class cSerialLink;

// What the setup page needs of the main window that shows it.
class cSetupHost {
public:
    virtual ~cSetupHost() = default;
    // The title strip above the page.
    virtual void SetTitle(const QString& TitleText) = 0;
    // Whether the docking station answered the last docking check.
    virtual bool Docked() const = 0;
    // The link to the docking station, on which reader and button IDs are read.
    virtual cSerialLink& Link() = 0;
};
