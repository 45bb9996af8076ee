// The database report on a year of touches (20 readers x 500 a day x 365 days): a month's
// copy into tblCustom as the wait window runs it, then the preview's first page; the whole
// path from Print Preview to the first page; and a year's report with its peak memory growth.
// Prints; never fails on time. The year database is made once into build/bench and copied.
#include "BenchMemory.h"
#include "Database.h"
#include "DatabaseKey.h"
#include "ModalDriver.h"
#include "ReportDialogs.h"
#include "ReportFrame.h"
#include "ReportPreview.h"
#include "ReportSource.h"
#include "TestHome.h"
#include "TestMain.h"
#include "YearDatabase.h"
#include "cReportHost.h"
#include "database/darCustom.h"
#include "database/mCustomReport.h"
#include "mGlobals.h"

#include <QDateEdit>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QTimeEdit>

namespace {

struct Host : cReportHost {
    int widthTwips() const override { return 12630; }
};

// A copy of the year database as the program's database, gConn open on it.
void openYear(TestHome& home) {
    QFile::remove(home.databasePath());
    QVERIFY(QFile::copy(BenchYearDatabase(QStringLiteral(TREVANO_BENCH_DIR)), home.databasePath()));
    home.openGlobals();
}

QString stored(const QDate& day, const QTime& time) {
    return QDateTime(day, time, Qt::UTC).toString("yyyy-MM-dd HH:mm:ss");
}

// The windows kept painted between the steps, as the wait window and the dialog do.
class Painting : public WorkObserver {
public:
    void Stage(const QString&, qint64, bool) override {}
    bool Step(qint64) override {
        QCoreApplication::processEvents();
        return true;
    }
};

qint64 copyAsTheWaitWindow(const QDate& first, const QDate& last) {
    Painting painting;
    return CopyCustomRows(*gConn, stored(first, QTime(0, 0)), stored(last, QTime(23, 59)),
                          &painting);
}

void emptyAsTheDialog() {
    Painting painting;
    EmptyCustomTable(*gConn, &painting);
}

darCustom filledLayout(const QDate& first, const QDate& last) {
    darCustom layout;
    layout.SetReportParam("Database Report",
                          "Date Range:   From " + first.toString() + " to " + last.toString(),
                          CompanyText());
    const ReportTexts shared = SharedReportTexts();
    layout.SetText(shared.MyPrintDate, shared.MyPageHeader, shared.MyPageNumber, "Date / Time",
                   "ID", "Button Name", "Group Name", "Type", shared.EndOfReport);
    return layout;
}

// The report frame on tblCustom until the preview has painted its first page; returns the
// milliseconds to that page and leaves the page count in `pages`.
qint64 previewFirstPage(const darCustom& layout, int& pages) {
    Host host;
    QElapsedTimer clock;
    qint64 firstPage = -1;
    pages = 0;
    ModalDriver driver([&](QWidget* modal) {
        auto* preview = qobject_cast<ReportPreview*>(modal);
        if (!preview || preview->View()->PagesRendered() == 0)
            return;
        firstPage = clock.elapsed();
        const QString text = preview->PageText();
        pages = text.section(' ', -1).toInt();
        preview->accept();
    });
    ReportTableSource rows(*gConn, QLatin1String(kCustomTable));
    clock.start();
    ShowReport(layout, rows, host);
    return firstPage;
}

} // namespace

class bench_databasereport : public QObject {
    Q_OBJECT
private slots:
    void month();
    void monthThroughTheDialog();
    void year();
};

void bench_databasereport::month() {
    TestHome home(false);
    openYear(home);
    const YearDatabaseInfo info = YearDatabaseSummary();
    const QDate first = info.firstDay.addMonths(2), last = first.addDays(30);
    QElapsedTimer clock;
    clock.start();
    const qint64 rows = copyAsTheWaitWindow(first, last);
    const qint64 copy = clock.elapsed();
    int pages = 0;
    const qint64 firstPage = previewFirstPage(filledLayout(first, last), pages);
    clock.restart();
    emptyAsTheDialog();
    const qint64 emptied = clock.elapsed();
    QVERIFY(rows > 0);
    qInfo("31 days, %lld rows: copy %lld ms (target < 2000); preview's first page %lld ms after "
          "the copy (target < 1000), %d pages; emptying the table %lld ms",
          rows, copy, firstPage, pages, emptied);
}

void bench_databasereport::monthThroughTheDialog() {
    TestHome home(false);
    openYear(home);
    const YearDatabaseInfo info = YearDatabaseSummary();
    const QDate first = info.firstDay.addMonths(2), last = first.addDays(30);
    Host host;
    std::unique_ptr<QDialog> dialog = ReportDialogFor("CustomReport")(host, "Database Report");
    dialog->findChild<QDateEdit*>("dtpStartDate")->setDate(first);
    dialog->findChild<QDateEdit*>("dtpEndDate")->setDate(last);
    QElapsedTimer clock;
    qint64 waitClosed = -1, firstPage = -1;
    ModalDriver driver([&](QWidget* modal) {
        auto* preview = qobject_cast<ReportPreview*>(modal);
        if (!preview) {
            return;
        }
        if (waitClosed < 0)
            waitClosed = clock.elapsed();
        if (preview->View()->PagesRendered() > 0) {
            firstPage = clock.elapsed();
            preview->accept();
        }
    });
    clock.start();
    dialog->findChild<QPushButton*>("cmdPrintPreview")->click();
    const qint64 total = clock.elapsed();
    QVERIFY(firstPage > 0);
    qInfo("Print Preview to the first page of 31 days: %lld ms (the wait window's 500 ms start "
          "included); closing the preview and emptying the table: %lld ms",
          firstPage, total - firstPage);
    Q_UNUSED(waitClosed);
}

void bench_databasereport::year() {
    TestHome home(false);
    openYear(home);
    const YearDatabaseInfo info = YearDatabaseSummary();
    const qint64 before = StatusKb("VmRSS:");
    ResetPeak();
    QElapsedTimer clock;
    clock.start();
    const qint64 rows = copyAsTheWaitWindow(info.firstDay, info.lastDay);
    const qint64 copy = clock.elapsed();
    const qint64 afterCopy = StatusKb("VmHWM:");
    int pages = 0;
    const qint64 firstPage = previewFirstPage(filledLayout(info.firstDay, info.lastDay), pages);
    clock.restart();
    emptyAsTheDialog();
    const qint64 emptied = clock.elapsed();
    const qint64 peak = StatusKb("VmHWM:");
    QCOMPARE(rows, info.touches);
    qInfo("365 days, %lld rows: copy %lld ms; preview's first page %lld ms after the copy, %d "
          "pages; emptying the table %lld ms",
          rows, copy, firstPage, pages, emptied);
    const auto mainPragma = [](const char* name) {
        return gConn->Query(QString("PRAGMA main.%1").arg(name)).first().integer(name);
    };
    qInfo("closing the preview (emptying the table) %lld ms (target < 1000); main.mdb "
          "afterwards %.1f %% free (target < 10)",
          emptied, 100.0 * mainPragma("freelist_count") / mainPragma("page_count"));
    qInfo("peak memory growth: %.1f MB after the copy, %.1f MB at the end (target < 100); "
          "resident before %.1f MB",
          (afterCopy - before) / 1024.0, (peak - before) / 1024.0, before / 1024.0);
}

TREVANO_TEST_MAIN(bench_databasereport)
#include "bench_databasereport.moc"
