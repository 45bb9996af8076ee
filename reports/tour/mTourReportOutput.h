#pragma once

#include "mTourReportBuilder.h"

#include <QDialog>
#include <memory>

class cReportHost;

// Shows the rows of tblXXXException in darTourException, placed and previewed as every
// report is, and returns when the preview is closed.
void ShowTourReport(const TourReportHeader& header, cReportHost& host);

// The reports page's maker of the tour report dialog.
std::unique_ptr<QDialog> MakeTourReportDialog(cReportHost& host, const QString& caption);
