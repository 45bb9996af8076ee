// The reader download report: its dialog, the grouped query and the printed groups.
#include "Database.h"
#include "ModalDriver.h"
#include "ModalScript.h"
#include "PreviewChecks.h"
#include "ReportDialogs.h"
#include "ReportPreview.h"
#include "TestHome.h"
#include "TestMain.h"
#include "cReportHost.h"
#include "mDeclareAPI.h"
#include "mGlobals.h"
#include "reader_download/frmRptReaderReport.h"

#include <QComboBox>
#include <QDateEdit>
#include <QPushButton>
#include <QTimeEdit>

using namespace PreviewChecks;

namespace {

struct Host : cReportHost {
    int widthTwips() const override { return 12000; }
};

const QString kReaderA = "1000000A";
const QString kReaderB = "1000000B";
const QString kReaderC = "1000000C";
const QString kNoData = "There is no data to show for these parameters";
const QString kStartAfterEnd = "The start date cannot be later than the end date";

void addTouch(const QString& reader, const QString& downloaded, const QString& at,
              const QString& code, const QString& name) {
    gConn->Execute("INSERT INTO tblEvents (dtDLDateTime, dtDateTime, tButtonCode, tButtonName, "
                   "tButtonDesc, wGroupType, tGroupName, tGroupDesc, tPipeID) "
                   "VALUES (?, ?, ?, ?, ?, 1, 'Site North', '', ?)",
                   {downloaded, at, code, name, name + " desc", reader});
}

// Reader A brought its touches in three downloads; the later download is stored first, so
// an order by ID alone would print it first. Readers B and C have nothing of A's.
void addSite() {
    gConn->Execute("INSERT INTO tblReaders VALUES (?, 'North - Gate')", {kReaderA});
    gConn->Execute("INSERT INTO tblReaders VALUES (?, 'Alpha')", {kReaderB});
    gConn->Execute("INSERT INTO tblReaders VALUES (?, '')", {kReaderC});
    const QString d1 = "2026-03-10 08:00:05", d2 = "2026-03-11 09:30:45",
                  d3 = "2026-03-12 10:00:00";
    addTouch(kReaderA, d2, "2026-03-10 07:15:00", "0000A4", "Car Park");
    addTouch(kReaderA, d2, "2026-03-11 09:00:00", "0000A5", "Gate House");
    addTouch(kReaderA, d2, "2026-03-11 09:01:00", "0000A9", "After End");
    addTouch(kReaderA, d3, "2026-03-11 09:30:00", "0000AA", "Third Download");
    addTouch(kReaderA, d1, "2026-03-09 21:59:00", "0000A0", "Before Start");
    addTouch(kReaderA, d1, "2026-03-09 22:00:00", "0000A1", "Main Gate");
    addTouch(kReaderA, d1, "2026-03-10 06:30:00", "0000A2", "Store Room");
    addTouch(kReaderA, d1, "2026-03-10 06:30:00", "0000A3", "Boiler");
    addTouch(kReaderB, d1, "2026-03-10 05:00:00", "0000B1", "Other Reader");
}

const QStringList kAllCodes{"0000A0", "0000A1", "0000A2", "0000A3", "0000A4",
                            "0000A5", "0000A9", "0000AA", "0000B1"};

std::unique_ptr<frmRptReaderReport> openDialog(Host& host) {
    std::unique_ptr<QDialog> made = ReportDialogFor("ReaderReport")(host, "Reader Download Report");
    return std::unique_ptr<frmRptReaderReport>(static_cast<frmRptReaderReport*>(made.release()));
}

void chooseReader(QWidget& dialog, const QString& id) {
    QComboBox* list = Child<QComboBox>(dialog, "imgcboReader");
    list->setCurrentIndex(list->findData(id));
}

QString shortDate(const QDate& date) {
    return QLocale().toString(date, GetShortDateFormat());
}

// Presses Print Preview; a preview that opens is saved to `pdf` and closed. Returns the boxes
// shown.
QStringList printPreview(QWidget& dialog, const QString& pdf, QString* title = nullptr) {
    BoxRecorder boxes;
    FileAnswers files({pdf});
    ModalDriver driver([&](QWidget* modal) {
        if (auto* preview = qobject_cast<ReportPreview*>(modal)) {
            if (title)
                *title = preview->windowTitle();
            preview->SaveAsPdf();
            preview->accept();
        }
    });
    Child<QPushButton>(dialog, "cmdPrintPreview")->click();
    return boxes.texts();
}

int lineWith(const QStringList& lines, const QStringList& parts, int from = 0) {
    for (int i = from; i < lines.size(); ++i) {
        bool all = true;
        for (const QString& p : parts)
            all = all && lines.at(i).contains(p);
        if (all)
            return i;
    }
    return -1;
}

} // namespace

class tst_readerreport : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void dialogChoices();
    void groupsByDownload();
    void outcomes_data();
    void outcomes();

private:
    std::unique_ptr<TestHome> home;
};

void tst_readerreport::init() {
    home = std::make_unique<TestHome>();
    home->openGlobals();
    addSite();
}

void tst_readerreport::cleanup() {
    home.reset();
}

void tst_readerreport::dialogChoices() {
    Host host;
    auto dialog = openDialog(host);
    QCOMPARE(dialog->windowTitle(), QString("Reader Download Report"));
    const QDate today = QDate::currentDate();
    QCOMPARE(Child<QDateEdit>(*dialog, "dtpStartDate")->date(), today);
    QCOMPARE(Child<QDateEdit>(*dialog, "dtpEndDate")->date(), today);
    QCOMPARE(Child<QTimeEdit>(*dialog, "dtpStartTime")->time(), QTime(0, 0));
    QCOMPARE(Child<QTimeEdit>(*dialog, "dtpEndTime")->time().toString("HH:mm"), QString("23:59"));

    // In the order of the descriptions; an empty one ends its entry with the separator.
    QComboBox* readers = Child<QComboBox>(*dialog, "imgcboReader");
    QStringList entries;
    for (int i = 0; i < readers->count(); ++i)
        entries << readers->itemText(i);
    QCOMPARE(entries, QStringList({"1000000C - ", "1000000B - Alpha", "1000000A - North - Gate"}));
    QCOMPARE(readers->currentIndex(), 0);
    QCOMPARE(dialog->ReaderId(), kReaderC);
    QCOMPARE(dialog->ReaderDesc(), QString());

    // A pick is taken at once; only the first " - " parts ID and description.
    readers->setCurrentIndex(2);
    emit readers->activated(2);
    QCOMPARE(dialog->ReaderId(), kReaderA);
    QCOMPARE(dialog->ReaderDesc(), QString("North - Gate"));

    // Reset Dates brings today back and keeps the reader.
    SetRange(*dialog, QDateTime(QDate(2026, 1, 2), QTime(5, 6)),
             QDateTime(QDate(2026, 2, 3), QTime(7, 8)));
    Child<QPushButton>(*dialog, "cmdReset")->click();
    QCOMPARE(Child<QDateEdit>(*dialog, "dtpStartDate")->date(), today);
    QCOMPARE(Child<QTimeEdit>(*dialog, "dtpStartTime")->time(), QTime(0, 0));
    QCOMPARE(Child<QDateEdit>(*dialog, "dtpEndDate")->date(), today);
    QCOMPARE(Child<QTimeEdit>(*dialog, "dtpEndTime")->time().toString("HH:mm"), QString("23:59"));
    QCOMPARE(readers->currentIndex(), 2);

    // Without a reader nothing can be asked for.
    gConn->Execute("DELETE FROM tblReaders");
    auto empty = openDialog(host);
    QVERIFY(!Child<QComboBox>(*empty, "imgcboReader")->isEnabled());
    QVERIFY(!Child<QPushButton>(*empty, "cmdPrintPreview")->isEnabled());
    QCOMPARE(empty->ReaderId(), QString());
}

void tst_readerreport::groupsByDownload() {
    gCompanyInfo = {QString(), "ACME Security", "North Site", QString(), QString()};
    Host host;
    auto dialog = openDialog(host);
    chooseReader(*dialog, kReaderA);
    const QDateTime start(QDate(2026, 3, 9), QTime(22, 0)), end(QDate(2026, 3, 11), QTime(9, 0));
    SetRange(*dialog, start, end);
    const QString pdf = home->file("reader.pdf");
    QString title;
    QCOMPARE(printPreview(*dialog, pdf, &title), QStringList());
    gCompanyInfo = {};
    QCOMPARE(title, QString("Reader Download Report"));
    const QString text = PdfText(pdf);
    const QStringList lines = TextLines(text);
    QVERIFY2(!lines.isEmpty(), "pdftotext read nothing");

    QVERIFY(lineWith(lines, {"ACME Security"}) >= 0);
    QVERIFY(lineWith(lines, {"Reader ID:", "1000000A (North - Gate)"}) >= 0);
    QVERIFY(lineWith(lines, {"Date Range: From " + shortDate(start.date()) + " 22:00 to " +
                             shortDate(end.date()) + " 09:00"}) >= 0);

    // Two downloads in the range, in the order they were made, each with its own heading and
    // its touches in time order, ties in the order they were stored.
    const int first =
        lineWith(lines, {"Download Time:", "08:00:05", shortDate(QDate(2026, 3, 10))});
    const int second =
        lineWith(lines, {"Download Time:", "09:30:45", shortDate(QDate(2026, 3, 11))});
    QVERIFY2(first >= 0 && second > first, qPrintable(text));
    QCOMPARE(text.count("Download Time:"), 2);
    QCOMPARE(text.count("Date / Time"), 2);
    const int a1 = lineWith(lines, {shortDate(QDate(2026, 3, 9)), "22:00", "0000A1", "Main Gate",
                                    "Main Gate desc", "Site North"});
    const int a2 = lineWith(lines, {"06:30", "0000A2", "Store Room"});
    const int a3 = lineWith(lines, {"06:30", "0000A3", "Boiler"});
    const int a4 = lineWith(lines, {"07:15", "0000A4", "Car Park"});
    const int a5 = lineWith(lines, {"09:00", "0000A5", "Gate House"});
    QVERIFY2(first < a1 && a1 < a2 && a2 < a3 && a3 < second && second < a4 && a4 < a5,
             qPrintable(text));
    // Touch times print without seconds.
    QVERIFY(!lines.at(a1).contains("22:00:00"));
    // Outside the range, another reader's, and a download with nothing in the range.
    for (const char* code : {"0000A0", "0000A9", "0000AA", "0000B1"})
        QVERIFY2(!text.contains(QLatin1String(code)), code);
    QVERIFY(!text.contains("10:00:00"));
    QVERIFY(lines.last().contains("End Of Report") || text.contains("End Of Report"));

    // The dialog stays open for another run, which shows the new range only.
    SetRange(*dialog, QDateTime(QDate(2026, 3, 11), QTime(9, 0)),
             QDateTime(QDate(2026, 3, 11), QTime(9, 0)));
    const QString again = home->file("again.pdf");
    QCOMPARE(printPreview(*dialog, again), QStringList());
    const QString second_text = PdfText(again);
    QVERIFY(second_text.contains("0000A5"));
    QCOMPARE(second_text.count("Download Time:"), 1);
    QVERIFY(!second_text.contains("0000A1"));
}

void tst_readerreport::outcomes_data() {
    QTest::addColumn<QString>("reader");
    QTest::addColumn<QDateTime>("start");
    QTest::addColumn<QDateTime>("end");
    QTest::addColumn<QString>("box");         // how the one box begins; empty: a preview
    QTest::addColumn<QStringList>("printed"); // the codes in the preview
    QTest::addColumn<QString>("logged");      // the label of a failure written to the log
    const QDate day(2026, 3, 10);
    QTest::newRow("start and end the same minute")
        << kReaderA << QDateTime(day, QTime(6, 30)) << QDateTime(day, QTime(6, 30)) << QString()
        << QStringList({"0000A2", "0000A3"}) << QString();
    QTest::newRow("start a minute after the end, same day")
        << kReaderA << QDateTime(day, QTime(6, 31)) << QDateTime(day, QTime(6, 30))
        << kStartAfterEnd << QStringList() << QString();
    QTest::newRow("only other readers touched")
        << kReaderC << QDateTime(day.addDays(-5), QTime(0, 0))
        << QDateTime(day.addDays(5), QTime(23, 59)) << kNoData << QStringList() << QString();
    // The program's failure box, with the reason.
    QTest::newRow("touches cannot be read")
        << "drop" << QDateTime(day, QTime(0, 0)) << QDateTime(day, QTime(23, 59))
        << "Error 1 in ReportReaderReport of Form frmRptReaderReport\r\n"
        << QStringList() << "ReportReaderReport of Form frmRptReaderReport";
}

void tst_readerreport::outcomes() {
    QFETCH(QString, reader);
    QFETCH(QDateTime, start);
    QFETCH(QDateTime, end);
    QFETCH(QString, box);
    QFETCH(QStringList, printed);
    QFETCH(QString, logged);
    Host host;
    auto dialog = openDialog(host);
    if (reader == "drop") {
        gConn->Execute("DROP TABLE tblEvents");
        reader = kReaderA;
    }
    chooseReader(*dialog, reader);
    SetRange(*dialog, start, end);
    const QString pdf = home->file("outcome.pdf");
    const QStringList boxes = printPreview(*dialog, pdf);
    QCOMPARE(boxes.size(), box.isEmpty() ? 0 : 1);
    if (!box.isEmpty())
        QVERIFY2(boxes.first().startsWith(box), qPrintable(boxes.first()));
    QCOMPARE(QFile::exists(pdf), !printed.isEmpty());
    const QString text = printed.isEmpty() ? QString() : PdfText(pdf);
    for (const QString& code : kAllCodes)
        QVERIFY2(text.contains(code) == printed.contains(code), qPrintable(code));
    if (logged.isEmpty())
        QVERIFY(home->errorLog().isEmpty());
    else
        QVERIFY2(home->errorLog().contains(" in " + logged + "\t(no such table"),
                 qPrintable(home->errorLog()));
    QVERIFY(dialog->findChild<QPushButton*>("cmdPrintPreview")->isEnabled());
}

TREVANO_TEST_MAIN(tst_readerreport)
#include "tst_readerreport.moc"
