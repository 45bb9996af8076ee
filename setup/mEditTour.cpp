#include "mEditTour.h"

#include "frmEditTour.h"
#include "mErrorHandler.h"
#include "mGlobals.h"

namespace {
const QString kLabel = QStringLiteral("EditTour of Form frmMDISetup");
}

EditTourOutcome EditTourRow(QWidget* parent, const cTourHeader& tour,
                            const QStringList& existingNames) {
    cTourHeader edited = tour;
    try {
        if (LocationsExist(*gConn) < 1) {
            gTranslator->IvMessageBox(
                QStringLiteral("You must add at least one location before you can define a tour"),
                QString(), IvBox::Warning, IvBox::Ok, 0);
            return EditTourOutcome::NoLocations;
        }
        frmEditTour editor(parent);
        editor.setGroupID(tour.id);
        editor.setTolerance(tour.tolerance);
        editor.setListName(tour.name);
        editor.setListDesc(tour.desc);
        editor.setExistingNames(existingNames);
        editor.setStartTime(tour.startTime);
        editor.Populate();
        editor.exec();
        if (!editor.OK())
            return EditTourOutcome::Cancelled;
        edited.name = editor.ListName();
        edited.desc = editor.ListDesc();
        edited.startTime = editor.StartTime();
        edited.tolerance = editor.Tolerance();
    } catch (const AppError& e) {
        HandleError(kLabel, e, true);
        return EditTourOutcome::Failed;
    }
    try {
        // The points are saved by now; a failure here leaves the former name and times.
        UpdateTourRow(*gConn, edited);
        return EditTourOutcome::Saved;
    } catch (const AppError& e) {
        HandleError(kLabel, e, true);
        return EditTourOutcome::Failed;
    }
}
