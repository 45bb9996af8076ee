#pragma once

#include <QString>
#include <memory>

class QDialog;
class cReportHost;

// Makes the parameter dialog of one report, captioned with the report's name (the tour
// report through its Title, the others through the window caption).
using ReportDialogMaker = std::unique_ptr<QDialog> (*)(cReportHost& host, const QString& caption);

// The maker of the report with that key on the reports page; nullptr for a key of no report,
// whose entry is then shown disabled.
ReportDialogMaker ReportDialogFor(const QString& key);
