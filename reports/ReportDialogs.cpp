#include "ReportDialogs.h"

#include "Translator.h"
#include "database/frmRptCustomParam.h"
#include "hardware/frmRptHardwareListParam.h"
#include "incident/frmRptIncidentNew.h"
#include "incident_sites/frmRptIncidentParam.h"
#include "patrol/frmRptPatrolSchedule.h"
#include "reader_download/frmRptReaderReport.h"
#include "tour/mTourReportOutput.h"

#include <QDialog>

const std::vector<ReportKind>& ReportKinds() {
    static const std::vector<ReportKind> kinds{
        {"NewException", TR_TEXT("Tour / Exception Report"), TR_TEXT("Exception Report"), true,
         true, nullptr, &MakeTourReportDialog},
        {"IncidentReport", TR_TEXT("Incident Report"),
         TR_TEXT("List Incidents for a range of dates and readers"), true, false,
         "LoadIncidentReport of Form frmMdiReports", &MakeIncidentReportDialog},
        {"IncidentReportOld", TR_TEXT("Incident Report with Sites"),
         TR_TEXT("List Incidents for a range of dates and readers with sites"), true, false,
         "LoadIncidentReportOld of Form frmMdiReports", &MakeIncidentSitesDialog},
        {"ReaderReport", TR_TEXT("Reader Download Report"),
         TR_TEXT("Lists details of each download to the PC for a reader"), true, false, nullptr,
         &MakeReaderReportDialog},
        {"HardwareListReport", TR_TEXT("Hardware List Report"),
         TR_TEXT("List all the defined buttons"), false, false, nullptr, &MakeHardwareListDialog},
        {"PatrolSchedule", TR_TEXT("Patrol Schedule"),
         TR_TEXT("Lists the times and places for a tour"), false, true, nullptr,
         &MakePatrolScheduleDialog},
        {"CustomReport", TR_TEXT("Database Report"), TR_TEXT("Raw data from database"), false,
         false, "LoadCustomReport of Form frmMdiReports", &MakeCustomReportDialog},
    };
    return kinds;
}

const ReportKind* ReportKindOf(const QString& key) {
    for (const ReportKind& kind : ReportKinds())
        if (key == QLatin1String(kind.key))
            return &kind;
    return nullptr;
}

ReportDialogMaker ReportDialogFor(const QString& key) {
    const ReportKind* kind = ReportKindOf(key);
    return kind ? kind->make : nullptr;
}
