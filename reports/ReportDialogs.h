#pragma once

#include <QString>
#include <memory>
#include <vector>

class QDialog;
class cReportHost;

// Makes the parameter dialog of one report, captioned with the report's name (the tour
// report through its Title, the others through the window caption).
using ReportDialogMaker = std::unique_ptr<QDialog> (*)(cReportHost& host, const QString& caption);

// One report of the reports page. The name and description are the English texts, translated
// where they are shown.
struct ReportKind {
    const char* key;
    const char* name;
    const char* description;
    bool needsReader; // refused with its message while no reader is set up
    bool needsTour;   // likewise for a tour; a reader is asked for first
    // The label a failure to open the report is logged under when the report traps its own
    // failures; nullptr: the page's label.
    const char* failureLabel;
    ReportDialogMaker make;
};

// Every report, in the page's order, which is the same in every language.
const std::vector<ReportKind>& ReportKinds();
// The report with that key; nullptr for none.
const ReportKind* ReportKindOf(const QString& key);

// The maker of the report with that key on the reports page; nullptr for a key of no report,
// whose entry is then shown disabled.
ReportDialogMaker ReportDialogFor(const QString& key);
