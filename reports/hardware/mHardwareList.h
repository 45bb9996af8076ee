#pragma once

#include <QString>

class cReportHost;

// The hardware list: the buttons of the site setup by group (user groups first, then the
// locations by site, then the incidents by event book) and the readers, each with its code.
// Its lines go into the shared report table tblReportTemp, Field0 to Field3.

// The button query for the sections wanted; user groups are never left out.
QString HardwareButtonQuery(bool locations, bool incidents);

// Empties tblReportTemp and writes the report's lines into it in print order, in one
// transaction. Throws AppError (the table's old rows stay).
void WriteHardwareListRows(bool locations, bool incidents, bool readers);

// Builds the hardware list and previews it modally. A failure goes to HandleError with its
// box, and no report follows.
void BuildHardwareListReport(bool locations, bool incidents, bool readers, cReportHost& host);
