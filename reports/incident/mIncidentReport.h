#pragma once

#include "ReportEngine.h"
#include "cReader.h"

#include <QDateTime>
#include <QString>

class cReportHost;

// The incident report: for each chosen incident button, every touch of it by the chosen
// readers in a range, printed at the location that its own reader touched last before it.

// How WriteIncidentRows left tblReportTemp.
enum class IncidentRows {
    NoReader,      // no reader chosen: nothing was done
    NoRecords,     // the chosen readers touched nothing in the range
    UnknownButton, // a chosen incident button is not in tblButtons
    Stopped,       // the user stopped the work: the table is left empty
    Written
};

// The code, name and event book of an incident button; false when there is no such button
// (or it cannot be read: that failure is logged).
bool GetIncidentHeader(qint32 id, QString& code, QString& name, QString& book);

// Fills tblReportTemp (Field0 to Field2) with the report's lines: per chosen button, in the
// order chosen, an empty line, its heading, then one line per incident (or one saying there
// was none). `start` and `end` are included. The touches are walked once, in time order, then
// ID; each reader keeps its own location. Database failures throw AppError.
IncidentRows WriteIncidentRows(const QDateTime& start, const QDateTime& end,
                               const colReaders& readers, const colEvents& events,
                               const ReportDocument::Progress& progress = {});

// Writes the rows, tells the user when there is nothing to show, and previews the report;
// returns when the preview is closed (true) or at once when the report was not shown (false).
// tblReportTemp is emptied again after the preview. Failures throw AppError to the caller.
bool BuildIncidentReport(const QDateTime& StartDate, const QDateTime& EndDate,
                         const colReaders& readers, const colEvents& events, cReportHost& host);
