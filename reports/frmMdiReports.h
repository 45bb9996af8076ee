#pragma once

#include "Page.h"
#include "ReportDialogs.h"

#include <QIcon>
#include <memory>

class QTreeWidget;
class QTreeWidgetItem;
class cReportHost;
namespace Ui {
class frmMdiReports;
}

// The reports page: the seven reports in a fixed order; a double-click or Enter on an entry
// checks the report's prerequisite (a reader, a tour) and opens its parameter dialog.
class frmMdiReports : public Page {
    Q_OBJECT
public:
    // Where the page finds each report's dialog; the program's own by default.
    using Catalog = ReportDialogMaker (*)(const QString& key);

    explicit frmMdiReports(cReportHost& host, Catalog catalog = &ReportDialogFor,
                           QWidget* parent = nullptr);
    ~frmMdiReports() override;
    void Translate() override;

    // Opens the report of the selected entry, as a double-click does.
    void lvwReports_DblClick();
    void ReportParamShow(const QString& key, const QString& caption);
    QTreeWidget* lvwReports() const;

    // Each column of a list that wide (twips): half of (width - 240), cut down to 50 twips.
    static int ReportColumnTwips(int listWidthTwips);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void InitReportList();
    void AddReportItem(const QString& key, const QString& name, const QString& description,
                       bool built);
    void SizeReportColumns();
    QTreeWidgetItem* SelectedEntry() const;
    QTreeWidgetItem* EntryOf(const QString& key) const;
    void OpenDialog(const QString& key, const QString& caption);
    // A missing reader or tour refuses the report with its message; false then.
    bool HasReader();
    bool HasTour();

    // Checks the report's prerequisites and opens its dialog; a report that traps its own
    // failures logs them under its label.
    void LoadReport(const ReportKind& report, const QString& caption);

    std::unique_ptr<Ui::frmMdiReports> ui;
    cReportHost& host;
    Catalog catalog;
    QIcon reportIcon;
    QIcon arrowIcon;
    // The key of the entry whose dialog is open, empty when none is.
    QString openKey;
};
