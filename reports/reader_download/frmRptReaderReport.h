#pragma once

#include <QDateTime>
#include <QDialog>
#include <memory>

class cReportHost;
namespace Ui {
class frmRptReaderReport;
}

// The choices of the reader download report: a reader and a range of touch dates and times.
// It stays open after each preview, until Cancel.
class frmRptReaderReport : public QDialog {
    Q_OBJECT
public:
    explicit frmRptReaderReport(cReportHost& host, QWidget* parent = nullptr);
    ~frmRptReaderReport() override;

    // The reader chosen: its ID and the text of its entry after the first " - ".
    QString ReaderId() const { return readerId; }
    QString ReaderDesc() const { return readerDesc; }
    // The range of the last Print Preview.
    QDateTime StartDate() const { return startDate; }
    QDateTime EndDate() const { return endDate; }

    void cmdPrintPreview_Click();

private:
    void Form_Load();
    void FillReaderList();
    void GetSelectedReader();
    void cmdReset_Click();

    std::unique_ptr<Ui::frmRptReaderReport> ui;
    cReportHost& host;
    QString readerId;
    QString readerDesc;
    QDateTime startDate;
    QDateTime endDate;
};

// The dialog as the reports page opens it, captioned with the report's name.
std::unique_ptr<QDialog> MakeReaderReportDialog(cReportHost& host, const QString& caption);
