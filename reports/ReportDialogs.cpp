#include "ReportDialogs.h"

#include "database/frmRptCustomParam.h"
#include "hardware/frmRptHardwareListParam.h"
#include "incident/frmRptIncidentNew.h"
#include "incident_sites/frmRptIncidentParam.h"
#include "patrol/frmRptPatrolSchedule.h"
#include "reader_download/frmRptReaderReport.h"
#include "tour/mTourReportOutput.h"

#include <QDialog>

namespace {

const struct {
    const char* key;
    ReportDialogMaker make;
} kReports[] = {
    {"NewException", &MakeTourReportDialog},         // the tour / exception report
    {"IncidentReport", &MakeIncidentReportDialog},   // the incident report
    {"IncidentReportOld", &MakeIncidentSitesDialog}, // the incident report with sites
    {"ReaderReport", &MakeReaderReportDialog},       // the reader download report
    {"HardwareListReport", &MakeHardwareListDialog}, // the hardware list report
    {"PatrolSchedule", &MakePatrolScheduleDialog},   // the patrol schedule
    {"CustomReport", &MakeCustomReportDialog},       // the database report
};

} // namespace

ReportDialogMaker ReportDialogFor(const QString& key) {
    for (const auto& report : kReports)
        if (key == QLatin1String(report.key))
            return report.make;
    return nullptr;
}
