#pragma once

#include <QString>

// What the setup page needs of the main window that shows it.
class cSetupHost {
public:
    virtual ~cSetupHost() = default;
    // The title strip above the page.
    virtual void SetTitle(const QString& TitleText) = 0;
    // Whether the docking station answered the last docking check.
    virtual bool Docked() const = 0;
};
