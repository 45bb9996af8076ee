#pragma once

// What the reports need of the main window that shows their page.
class cReportHost {
public:
    virtual ~cReportHost() = default;
    // The main window's width in twips: a report window takes it on a narrow screen.
    virtual int widthTwips() const = 0;
};
