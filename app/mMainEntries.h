#pragma once

#include <QString>
#include <QStringList>

// What decides the main window's entries: the operator, the docking station, whether a link
// sequence or a modal dialog holds the window, and the toolbar mask of the page shown ("0111"
// on the home page; character i for toolbar button i).
struct MainEntryInputs {
    int userType = 0; // 1 the master user, 2 the plain user, 0 nobody logged in yet
    bool docked = false;
    bool busy = false;
    QString mask = QStringLiteral("1111");
};

struct MainEntryState {
    bool visible = true;
    bool enabled = true;
    bool operator==(const MainEntryState& o) const {
        return visible == o.visible && enabled == o.enabled;
    }
};

// The toolbar buttons in their order, then every menu entry, by object name.
const QStringList& MainToolbarKeys();
const QStringList& MainEntryNames();
// The English caption as designed, or empty for a name that is no entry.
QString MainEntryCaption(const QString& name);

// Whether an entry shows and may be used. Each handler asks it again before it acts, so that a
// path that reaches an entry directly (an assistive client, a signal) is refused as well.
MainEntryState MainEntry(const QString& name, const MainEntryInputs& in);
