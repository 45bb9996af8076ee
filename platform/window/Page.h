#pragma once

#include <QWidget>

// A page shown inside the main window, one at a time.
class Page : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
    // False keeps the page open (a download running) and stops the page switch.
    virtual bool QueryClose() { return true; }
    // Translates the page again into the language in use.
    virtual void Translate() {}
};
