#include "mMainTools.h"

#include "Boxes.h"
#include "BusyPointer.h"
#include "HelpViewer.h"
#include "ProgramFolder.h"
#include "cSerialLink.h"
#include "frmAbout.h"
#include "frmCompany.h"
#include "frmDownload.h"
#include "frmSetTime.h"
#include "frmUserMaintenance.h"
#include "mErrorHandler.h"
#include "mGlobals.h"
#include "mTranslations.h"

#include <QFile>

void ShowAbout(QWidget* parent) {
    try {
        frmAbout about(parent);
        about.Populate();
        about.exec();
    } catch (const AppError& e) {
        HandleError(QStringLiteral("mnuHelpAbout_Click of Form frmMain"), e, false);
    }
}

void ShowUserMaintenance(int userType, const QString& label, QWidget* parent) {
    try {
        frmUserMaintenance dialog(parent);
        dialog.FormStart(userType);
        dialog.exec();
    } catch (const AppError& e) {
        HandleError(label, e, false);
    }
}

void ShowCompany(QWidget* parent) {
    frmCompany dialog(parent);
    dialog.exec();
}

void ShowReaderOptions(cSerialLink& link, QWidget* parent) {
    try {
        const cLinkSequence sequence(link);
        frmSetTime dialog(link, parent);
        dialog.Translate();
        dialog.exec();
    } catch (const AppError& e) {
        HandleError(QStringLiteral("mnuToolsPipeOptions_Click of Form frmMain"), e, false);
    }
}

void ShowFirmwareVersion(cSerialLink& link, QWidget* parent) {
    try {
        QString version;
        {
            const cLinkSequence sequence(link);
            const BusyPointer busy;
            frmDownload download(link, parent);
            download.setFirmwareVersion(true);
            download.setGetIDMode(false);
            download.exec();
            version = download.tFirmware();
        }
        if (!version.isEmpty() && version != QLatin1String("VFF")) {
            frmFirmwareVersion box(version, parent);
            box.exec();
        }
    } catch (const AppError& e) {
        HandleError(QStringLiteral("getFWVersion of Form frmFirmwareVersion"), e, false);
    }
}

void ShowHelpContents(std::unique_ptr<HelpViewer>& help, const QString& title) {
    try {
        if (gHelpFile.isEmpty() || !QFile::exists(gHelpFile)) {
            Boxes::Show(title,
                        QStringLiteral("Unable to display Help Contents. There is no Help "
                                       "associated with this project."),
                        Boxes::Icon::Information);
            return;
        }
        if (!help)
            help = std::make_unique<HelpViewer>();
        try {
            help->ShowContents(gHelpFile);
        } catch (const AppError& e) {
            Boxes::Show(title, e.description);
        }
    } catch (const AppError& e) {
        HandleError(QStringLiteral("mnuHelpContents_Click of Form frmMain"), e, false);
    }
}

void UpdateHelpFile() {
    const QString localized = ProgramFile(Translate(QStringLiteral("QX7_ENG.html")));
    const QString english = ProgramFile(QStringLiteral("QX7_ENG.html"));
    if (QFile::exists(localized))
        gHelpFile = localized;
    else if (gHelpFile.isEmpty() && QFile::exists(english))
        gHelpFile = english;
}

void ResetLanguage() {
    try {
        FallBackToLanguage(0, QStringLiteral("Resetting to default language..."));
    } catch (const AppError& e) {
        HandleError(QStringLiteral("ResetLanguage of Form frmMain"), e, false);
    }
}
