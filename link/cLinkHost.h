#pragma once

#include <QString>

class cSerialLink;

// What the reader windows need of the main window that owns the serial link.
class cLinkHost {
public:
    virtual ~cLinkHost() = default;
    virtual cSerialLink& Link() = 0;
    // The toolbar of the pages, disabled while a download runs.
    virtual void SetToolbarEnabled(bool enabled) = 0;
    // Panel 1 shows the docking state, panel 2 the reader's last operation.
    virtual void SetStatusText(int panel, const QString& text) = 0;
};
