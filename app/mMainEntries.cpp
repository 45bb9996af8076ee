#include "mMainEntries.h"
#include "mOperators.h"

#include "Translator.h"

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

struct Entry {
    const char* name;
    const char* caption; // as designed; translated whenever the window is
};
const Entry kEntries[] = {
    {"home", TR_TEXT("Home")},
    {"download", TR_TEXT("Download")},
    {"reports", TR_TEXT("Reports")},
    {"setup", TR_TEXT("Setup")},
    {"mnuFile", TR_TEXT("&File")},
    {"mnuFileArchive", TR_TEXT("&Archive Events")},
    {"mnuFileBackup", TR_TEXT("&Backup")},
    {"mnuFileRestore", TR_TEXT("&Restore")},
    {"mnuFileExit", TR_TEXT("E&xit")},
    {"mnuTools", TR_TEXT("&Tools")},
    {"mnuToolsPipeOptions", TR_TEXT("&Reader Options")},
    {"mnuToolsClearPipe", TR_TEXT("&Erase Reader")},
    {"mnuToolsReaderFW", TR_TEXT("Reader Firmware Version")},
    {"mnuViewOptions", TR_TEXT("Com &Options...")},
    {"mnuUserMaintenance", TR_TEXT("User &Maintenance")},
    {"mnuUMAdmin", TR_TEXT("&Master")},
    {"mnuUMUser", TR_TEXT("&User")},
    {"mnuToolCompany", TR_TEXT("Company &Info")},
    {"mnuToolsLanguage", TR_TEXT("&Language")},
    {"mnuHelp", TR_TEXT("&Help")},
    {"mnuHelpContents", TR_TEXT("&Contents")},
    {"mnuHelpAbout", TR_TEXT("&About ")},
};
constexpr int kToolbarButtons = 4;

} // namespace

const QStringList& MainToolbarKeys() {
    static const QStringList keys = MainEntryNames().mid(0, kToolbarButtons);
    return keys;
}

const QStringList& MainEntryNames() {
    static const QStringList names = [] {
        QStringList out;
        for (const Entry& e : kEntries)
            out << QLatin1String(e.name);
        return out;
    }();
    return names;
}

QString MainEntryCaption(const QString& name) {
    for (const Entry& e : kEntries)
        if (name == QLatin1String(e.name))
            return QLatin1String(e.caption);
    return QString();
}

MainEntryState MainEntry(const QString& name, const MainEntryInputs& in) {
    const bool master = in.userType == Operator::Master;
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
