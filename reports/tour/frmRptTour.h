#pragma once

#include "mTourReportBuilder.h"

#include <QDialog>
#include <memory>

namespace Ui {
class frmRptTour;
}

// The parameters of the tour / exception report: a tour, a reader, a day and the two report
// options, which are remembered from the last preview. It stays open after each preview.
class frmRptTour : public QDialog {
    Q_OBJECT
public:
    // `preview` shows the built report modally (the report frame in the program).
    explicit frmRptTour(TourReportPreview preview, QWidget* parent = nullptr);
    ~frmRptTour() override;

    void BuildTourReport(qint32 TourID, const QDate& StartDate, const QString& ReaderId,
                         const QString& ReaderName, bool ShowEvents, bool IsTourReport);
    qint32 TourID() const { return tourID; }
    QDate StartDate() const { return startDate; }
    bool IncludeEvents() const { return includeEvents; }
    bool OK() const { return ok; }
    QString ReaderId() const { return readerId; }
    void setReaderId(const QString& value) { readerId = value; }
    void setTitle(const QString& title) { setWindowTitle(title); }

    // Closing by Cancel, Escape or the close box keeps the options of the last preview.
    void done(int result) override;

private:
    void Form_Load();
    void LoadReportOptions();
    void FillTourCombo();
    void FillReaderCombo();
    void GetSelectedReader();
    void RunTourReport();
    void cmdCancel_Click();

    std::unique_ptr<Ui::frmRptTour> ui;
    TourReportPreview preview;
    QString readerId;
    QDate startDate;
    qint32 tourID = 0;
    bool includeEvents = false;
    bool showAll = false;
    bool ok = false;
};
