#include "mMainEntries.h"

namespace {

// Hidden from the plain user and refused to him; the setup button is one of the toolbar's.
const QStringList kMasterOnly = {"setup",
                                 "mnuTools",
                                 "mnuToolsPipeOptions",
                                 "mnuToolsClearPipe",
                                 "mnuToolsReaderFW",
                                 "mnuViewOptions",
                                 "mnuUserMaintenance",
                                 "mnuUMAdmin",
                                 "mnuUMUser",
                                 "mnuToolCompany",
                                 "mnuToolsLanguage"};
// Shown to everyone, usable by the master user only.
const QStringList kMasterFileEntries = {"mnuFileArchive", "mnuFileBackup", "mnuFileRestore"};
// Reading or erasing the reader waits for a docking station as well.
const QStringList kReaderEntries = {"mnuToolsPipeOptions", "mnuToolsClearPipe"};
// Menus only open: they act on nothing themselves, and their entries say what is refused.
const QStringList kMenus = {"mnuFile", "mnuTools", "mnuHelp"};

} // namespace

const QStringList& MainToolbarKeys() {
    static const QStringList keys = {"home", "download", "reports", "setup"};
    return keys;
}

const QStringList& MainEntryNames() {
    static const QStringList names =
        MainToolbarKeys() +
        QStringList{
            "mnuFile",          "mnuFileArchive", "mnuFileBackup",       "mnuFileRestore",
            "mnuFileExit",      "mnuTools",       "mnuToolsPipeOptions", "mnuToolsClearPipe",
            "mnuToolsReaderFW", "mnuViewOptions", "mnuUserMaintenance",  "mnuUMAdmin",
            "mnuUMUser",        "mnuToolCompany", "mnuToolsLanguage",    "mnuHelp",
            "mnuHelpContents",  "mnuHelpAbout"};
    return names;
}

MainEntryState MainEntry(const QString& name, const MainEntryInputs& in) {
    const bool master = in.userType == 1;
    MainEntryState state;
    state.visible = master || !kMasterOnly.contains(name);
    if (!state.visible)
        return {false, false}; // hidden alone, an action still runs when it is triggered
    if (kMenus.contains(name))
        return state;
    if (in.busy)
        return {true, false};
    const int button = MainToolbarKeys().indexOf(name);
    if (button >= 0) {
        state.enabled = button < in.mask.size() && in.mask.at(button) == QLatin1Char('1');
        // Home connects again whenever no station answers: it is the way back on every page.
        if (name == QLatin1String("home") && !in.docked)
            state.enabled = true;
        if (name == QLatin1String("download") && !in.docked)
            state.enabled = false;
        return state;
    }
    if (kMasterFileEntries.contains(name))
        state.enabled = master;
    if (kReaderEntries.contains(name))
        state.enabled = in.docked;
    return state;
}
