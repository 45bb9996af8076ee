#pragma once

#include <QSize>

class QWidget;

// Where the main window stands and how large its frame is, kept in the settings as twips
// ("Settings"/"MainLeft", "MainTop", "MainWidth", "MainHeight", "Maximized").
class cMainPlacement {
public:
    // Never smaller than 8000 x 6585 twips.
    static QSize MinimumSize();
    // Places the window as saved; a position left behind by a screen that is gone is brought
    // back onto the primary screen.
    void Restore(QWidget& window);
    // Once, when the window first shows: the saved size is the frame's, so the decoration comes
    // off the inner size once it is known.
    void Shown(QWidget& window);
    // A maximized window saves the default size, a minimized one keeps what was saved before.
    static void Save(const QWidget& window);

private:
    QSize savedFrameSize;
    bool adjusted = false;
};
