#include "ReportDialogs.h"

#include <QDialog>

// Each report puts its own maker into its own block below (a declaration of the function its
// folder defines, and the pointer), so that reports built side by side never touch the same
// lines.

// "NewException": the tour / exception report (reports/tour/)
std::unique_ptr<QDialog> MakeTourReportDialog(cReportHost& host, const QString& caption);
const ReportDialogMaker kTourReport = MakeTourReportDialog;

// "IncidentReport": the incident report (reports/incident/)
std::unique_ptr<QDialog> MakeIncidentReportDialog(cReportHost& host, const QString& caption);
const ReportDialogMaker kIncidentReport = &MakeIncidentReportDialog;

// "IncidentReportOld": the incident report with sites (reports/incident_sites/)
std::unique_ptr<QDialog> MakeIncidentSitesDialog(cReportHost& host, const QString& caption);
const ReportDialogMaker kIncidentReportOld = &MakeIncidentSitesDialog;

// "ReaderReport": the reader download report (reports/reader_download/)
std::unique_ptr<QDialog> MakeReaderReportDialog(cReportHost& host, const QString& caption);
const ReportDialogMaker kReaderReport = &MakeReaderReportDialog;

// "HardwareListReport": the hardware list report (reports/hardware/)
std::unique_ptr<QDialog> MakeHardwareListDialog(cReportHost& host, const QString& caption);
const ReportDialogMaker kHardwareListReport = &MakeHardwareListDialog;

// "PatrolSchedule": the patrol schedule (reports/patrol/)
std::unique_ptr<QDialog> MakePatrolScheduleDialog(cReportHost& host, const QString& caption);
const ReportDialogMaker kPatrolSchedule = &MakePatrolScheduleDialog;

// "CustomReport": the database report (reports/database/)
std::unique_ptr<QDialog> MakeCustomReportDialog(cReportHost& host, const QString& caption);
const ReportDialogMaker kCustomReport = &MakeCustomReportDialog;

ReportDialogMaker ReportDialogFor(const QString& key) {
    if (key == QLatin1String("NewException"))
        return kTourReport;
    if (key == QLatin1String("IncidentReport"))
        return kIncidentReport;
    if (key == QLatin1String("IncidentReportOld"))
        return kIncidentReportOld;
    if (key == QLatin1String("ReaderReport"))
        return kReaderReport;
    if (key == QLatin1String("HardwareListReport"))
        return kHardwareListReport;
    if (key == QLatin1String("PatrolSchedule"))
        return kPatrolSchedule;
    if (key == QLatin1String("CustomReport"))
        return kCustomReport;
    return nullptr;
}
