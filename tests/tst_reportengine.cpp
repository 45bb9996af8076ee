// The report engine: pages laid out from real scratch tables, caption codes, display formats,
// the preview, PDF and printing read back with poppler.
#include "Database.h"
#include "PreviewChecks.h"
#include "ReportEngine.h"
#include "ReportPreview.h"
#include "TestHome.h"
#include "TestMain.h"
#include "Translator.h"
#include "mDbUtil.h"
#include "mGlobals.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QScrollBar>
#include <ctime>

using PreviewChecks::PdfText;

namespace {

// A page of 612 x 360 points (12240 x 7200 twips): inside margins of 1440 and below a page
// header of 720 there are 3600 twips, room for exactly ten detail bands of 360.
ReportLayout testLayout(int footerHeight = 0) {
    ReportLayout layout;
    layout.caption = QStringLiteral("Engine Test");
    layout.pageSize = QPageSize(QSizeF(612, 360), QPageSize::Point, QStringLiteral("test"));
    layout.width = 9360;
    ReportSection& header = layout.AddSection(ReportSection::PageHeader, "PH", 720);
    header.AddLabel("lblTitle", {0, 0, 9360, 300}, ReportAlign::Center, false, "Engine Test");
    header.AddLabel("lblPage", {6000, 360, 3360, 240}, ReportAlign::Right, false, "%p / %P");
    ReportSection& detail = layout.AddSection(ReportSection::Detail, "D", 360);
    detail.AddField("txtValue", "Field0", {0, 0, 2000, 300});
    detail.AddField("txtNote", "Field1", {2000, 0, 4000, 300}, ReportAlign::Left, true);
    if (footerHeight > 0)
        layout.AddSection(ReportSection::ReportFooter, "RF", footerHeight)
            .AddLabel("lblEnd", {0, 0, 9360, 240}, ReportAlign::Center, false, "End Of Report");
    return layout;
}

// Rows 1..n into tblReportTemp: Field0 the number, Field1 a note, Field2 a group.
void fillRows(int count, const QMap<int, QString>& notes = {},
              const std::function<QString(int)>& group = {}) {
    QVERIFY(InitRptTmp());
    DbTransaction transaction(*gConn);
    DbStatement insert(*gConn,
                       "INSERT INTO tblReportTemp (Field0, Field1, Field2) VALUES (?, ?, ?)");
    for (int i = 1; i <= count; ++i)
        insert.Execute({QString::number(i), notes.value(i), group ? group(i) : QString()});
    transaction.Commit();
}

QString compress(const QStringList& words) {
    QStringList out;
    int runStart = -1;
    int previous = -1;
    auto flush = [&] {
        if (runStart < 0)
            return;
        out << (previous == runStart ? QString::number(runStart)
                                     : QStringLiteral("%1-%2").arg(runStart).arg(previous));
        runStart = -1;
    };
    for (const QString& w : words) {
        bool number = false;
        const int n = w.toInt(&number);
        if (number && runStart >= 0 && n == previous + 1) {
            previous = n;
            continue;
        }
        flush();
        if (number) {
            runStart = previous = n;
        } else {
            out << w;
        }
    }
    flush();
    return out.join(' ');
}

// Each page's bands below the page header: row numbers (runs compressed), "G:x" for a group
// header, "END" for the report footer; pages separated by "|".
QString summary(const ReportDocument& report) {
    QStringList pages;
    for (int p = 0; p < report.PageCount(); ++p) {
        QStringList words;
        for (const ReportTextItem& item : report.PageItems(p)) {
            if (item.control == "txtValue")
                words << item.text;
            else if (item.control == "txtGroup")
                words << "G:" + item.text;
            else if (item.control == "lblEnd")
                words << "END";
        }
        pages << compress(words);
    }
    return pages.join('|');
}

ReportTextItem itemOf(const ReportDocument& report, int page, const QString& control,
                      const QString& rowText = QString()) {
    const QVector<ReportTextItem> items = report.PageItems(page);
    QString row;
    for (const ReportTextItem& item : items) {
        if (item.control == "txtValue")
            row = item.text;
        if (item.control == control && (rowText.isEmpty() || row == rowText))
            return item;
    }
    return {};
}

int pdfPages(const QString& path) {
    QProcess p;
    p.start("pdfinfo", {path});
    p.waitForFinished(20000);
    const QString info = QString::fromUtf8(p.readAllStandardOutput());
    const QRegularExpressionMatch m = QRegularExpression("Pages:\\s+(\\d+)").match(info);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

} // namespace

class tst_reportengine : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void pageBreaks_data();
    void pageBreaks();
    void canGrowPushesTheNextBand();
    void lineBreaksPerFontAndWidth();
    void growthAddsUp_data();
    void growthAddsUp();
    void bandTallerThanAPage();
    void clipsWithoutCanGrow();
    void groupHeaderNeverEndsAPage();
    void pagesKeepRowKeys();
    void querySourceKeepsKeysOnly();
    void missingColumnFails();
    void stoppedLayoutHasNoPages();
    void captionCodes_data();
    void captionCodes();
    void codesInsideValues_data();
    void codesInsideValues();
    void codesOnEveryPage();
    void displayFormats_data();
    void displayFormats();
    void pdfReadBack();
    void previewPaintsOnDemand();
    void previewButtonsHaveNames_data();
    void previewButtonsHaveNames();
    void printHonoursThePageRange();
    void saveAsPdf();
    void saveAsPdfWithTheProposedName_data();
    void saveAsPdfWithTheProposedName();

private:
    std::unique_ptr<TestHome> home;
};

void tst_reportengine::initTestCase() {
    // A zone with daylight saving time, so that a time in the spring gap is a real trap.
    qputenv("TZ", "Europe/Berlin");
    tzset();
}

void tst_reportengine::init() {
    home = std::make_unique<TestHome>();
    home->openGlobals();
}

void tst_reportengine::cleanup() {
    home.reset();
}

void tst_reportengine::pageBreaks_data() {
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("footer");
    QTest::addColumn<QString>("expected");
    QTest::newRow("page exactly full") << 10 << 0 << "1-10";
    QTest::newRow("one row more") << 11 << 0 << "1-10|11";
    QTest::newRow("footer fits") << 9 << 360 << "1-9 END";
    QTest::newRow("footer overflows") << 10 << 360 << "1-10|END";
    QTest::newRow("empty source") << 0 << 360 << "END";
    QTest::newRow("empty source, no footer") << 0 << 0 << "";
    QTest::newRow("three pages") << 25 << 240 << "1-10|11-20|21-25 END";
}

void tst_reportengine::pageBreaks() {
    QFETCH(int, rows);
    QFETCH(int, footer);
    QFETCH(QString, expected);
    fillRows(rows);
    ReportTableSource source(*gConn, "tblReportTemp");
    ReportDocument report(testLayout(footer), source);
    QVERIFY(report.Paginate());
    QCOMPARE(summary(report), expected);
    QCOMPARE(report.RowCount(), qint64(rows));
    // Every page has its page header, with its number and the total.
    for (int p = 0; p < report.PageCount(); ++p)
        QCOMPARE(itemOf(report, p, "lblPage").text,
                 QStringLiteral("%1 / %2").arg(p + 1).arg(report.PageCount()));
    // The bands stand one under the other from the page header down.
    if (rows > 0) {
        QCOMPARE(itemOf(report, 0, "txtValue", "1").rect.top(), 1440.0 + 720);
        QCOMPARE(itemOf(report, 0, "txtValue", "2").rect.top(), 1440.0 + 720 + 360);
    }
}

void tst_reportengine::canGrowPushesTheNextBand() {
    const QString note = QString("patrol note ").repeated(10).trimmed(); // about three lines
    fillRows(12, {{3, note}});
    ReportTableSource source(*gConn, "tblReportTemp");
    ReportDocument report(testLayout(), source);
    QVERIFY(report.Paginate());
    const ReportTextItem grown = itemOf(report, 0, "txtNote", "3");
    const int lines = grown.text.count('\n') + 1;
    QVERIFY2(lines >= 2, qPrintable(grown.text));
    QCOMPARE(grown.text.simplified(), note); // wrapped at blanks, nothing lost
    const double growth = grown.rect.height() - 300;
    QVERIFY(growth > 0);
    const double row3 = itemOf(report, 0, "txtValue", "3").rect.top();
    const double row4 = itemOf(report, 0, "txtValue", "4").rect.top();
    QCOMPARE(row4 - row3, 360 + std::ceil(growth));
    // The grown band takes the room of the tenth row, which opens page 2.
    const int fitting = 3 + int((3600 - 2 * 360 - (360 + std::ceil(growth))) / 360);
    QCOMPARE(summary(report), QStringLiteral("1-%1|%2-12").arg(fitting).arg(fitting + 1));
}

// A text that repeats down the report is broken once for each font and width it is printed
// in: the narrow field, the wide one and the larger bold one each keep their own lines, on the
// first row as on the last, and the same as a report of that one row.
void tst_reportengine::lineBreaksPerFontAndWidth() {
    const auto layoutOf = [] {
        ReportLayout layout;
        layout.pageSize = QPageSize(QSizeF(612, 792), QPageSize::Point, QStringLiteral("test"));
        layout.width = 9360;
        ReportSection& detail = layout.AddSection(ReportSection::Detail, "D", 400);
        detail.AddField("txtValue", "Field0", {0, 0, 600, 300});
        detail.AddField("txtWide", "Field1", {700, 0, 4000, 300}, ReportAlign::Left, true);
        detail.AddField("txtNarrow", "Field1", {4800, 0, 1500, 300}, ReportAlign::Left, true);
        ReportControl& big =
            detail.AddField("txtBig", "Field1", {6400, 0, 2900, 300}, ReportAlign::Left, true);
        big.font.points = 12;
        big.font.bold = true;
        return layout;
    };
    const QString note = QString("North gate checked ").repeated(4).trimmed();
    const QStringList controls{"txtWide", "txtNarrow", "txtBig"};
    QStringList single;
    {
        fillRows(1, {{1, note}});
        ReportTableSource source(*gConn, "tblReportTemp");
        ReportDocument report(layoutOf(), source);
        QVERIFY(report.Paginate());
        for (const QString& c : controls)
            single << itemOf(report, 0, c, "1").text;
    }
    QVERIFY2(single[0].count('\n') < single[1].count('\n'), qPrintable(single.join('|')));
    QVERIFY2(single[0] != single[2], qPrintable(single.join('|')));

    QMap<int, QString> notes;
    for (int i = 1; i <= 40; ++i)
        notes[i] = note;
    fillRows(40, notes);
    ReportTableSource source(*gConn, "tblReportTemp");
    ReportDocument report(layoutOf(), source);
    QVERIFY(report.Paginate());
    const int last = report.PageCount() - 1;
    for (int i = 0; i < controls.size(); ++i) {
        QCOMPARE(itemOf(report, 0, controls[i], "1").text, single[i]);
        QCOMPARE(itemOf(report, last, controls[i], "40").text, single[i]);
    }
}

// Controls given as "name left top width height [g]" ("g": a can-grow field whose note wraps
// to several lines; else a fixed label); each expected move is a multiple of that growth.
void tst_reportengine::growthAddsUp_data() {
    QTest::addColumn<QString>("controls");
    QTest::addColumn<QString>("moves");
    QTest::addColumn<int>("bandGrowth");
    QTest::newRow("two stacked growing") << "A 0 0 2000 300 g; B 0 300 2000 300 g; C 0 600 2000 300"
                                         << "A:0 B:1 C:2" << 2;
    QTest::newRow("three stacked growing")
        << "A 0 0 2000 300 g; B 0 300 2000 300 g; C 0 600 2000 300 g; D 0 900 2000 300"
        << "A:0 B:1 C:2 D:3" << 3;
    QTest::newRow("listed bottom up")
        << "D 0 900 2000 300; C 0 600 2000 300 g; B 0 300 2000 300 g; A 0 0 2000 300 g"
        << "D:3 C:2 B:1 A:0" << 3;
    QTest::newRow("grown beside a fixed one")
        << "A 0 0 2000 300 g; F 3000 0 2000 300; B 0 300 2000 300; G 3000 300 2000 300"
        << "A:0 F:0 B:1 G:1" << 1;
    QTest::newRow("pushed through a fixed one")
        << "A 0 0 2000 300 g; F 3000 300 2000 300; B 0 600 2000 300 g; C 0 900 2000 300"
        << "A:0 F:1 B:1 C:2" << 2;
    QTest::newRow("growing side by side")
        << "A 0 0 2000 300 g; B 3000 0 2000 300 g; C 0 300 2000 300"
        << "A:0 B:0 C:1" << 1;
    QTest::newRow("not wholly below") << "A 0 0 2000 300 g; N 3000 200 2000 300; C 0 300 2000 300"
                                      << "A:0 N:0 C:1" << 1;
}

void tst_reportengine::growthAddsUp() {
    QFETCH(QString, controls);
    QFETCH(QString, moves);
    QFETCH(int, bandGrowth);
    const int sectionHeight = 1300;
    ReportLayout layout;
    layout.pageSize = QPageSize(QSizeF(612, 792), QPageSize::Point, QStringLiteral("test"));
    layout.width = 9360;
    ReportSection& detail = layout.AddSection(ReportSection::Detail, "D", sectionHeight);
    detail.AddField("txtValue", "Field0", {6000, 0, 1000, 300});
    QMap<QString, int> designTop;
    QString grower;
    for (const QString& control : controls.split(';')) {
        const QStringList p = control.split(' ', Qt::SkipEmptyParts);
        const QRect rect(p[1].toInt(), p[2].toInt(), p[3].toInt(), p[4].toInt());
        designTop[p[0]] = rect.top();
        if (p.size() > 5) {
            detail.AddField(p[0], "Field1", rect, ReportAlign::Left, true);
            if (grower.isEmpty())
                grower = p[0];
        } else {
            detail.AddLabel(p[0], rect, ReportAlign::Left, false, p[0]);
        }
    }
    const QString note = QString("patrol note ").repeated(6).trimmed();
    fillRows(2, {{1, note}, {2, note}});
    ReportTableSource source(*gConn, "tblReportTemp");
    ReportDocument report(layout, source);
    QVERIFY(report.Paginate());
    const ReportTextItem grown = itemOf(report, 0, grower, "1");
    QVERIFY2(grown.text.count('\n') >= 1, qPrintable(grown.text));
    const int growth = int(std::ceil(grown.rect.height())) - 300;
    QVERIFY(growth > 0);
    const double bandTop = itemOf(report, 0, "txtValue", "1").rect.top();
    QStringList seen;
    for (const QString& control : controls.split(';')) {
        const QString name = control.split(' ', Qt::SkipEmptyParts).first();
        const double moved = itemOf(report, 0, name, "1").rect.top() - bandTop - designTop[name];
        seen << QStringLiteral("%1:%2").arg(name).arg(moved / growth);
    }
    QCOMPARE(seen.join(' '), moves);
    // The next band starts below the lowest grown control.
    QCOMPARE(itemOf(report, 0, "txtValue", "2").rect.top() - bandTop,
             double(sectionHeight + bandGrowth * growth));
}

void tst_reportengine::bandTallerThanAPage() {
    fillRows(4, {{2, QString("a very long note ").repeated(200)}});
    ReportTableSource source(*gConn, "tblReportTemp");
    ReportDocument report(testLayout(360), source);
    QVERIFY(report.Paginate());
    // Printed clipped on a page of its own, and the layout goes on after it.
    QCOMPARE(summary(report), QString("1|2|3-4 END"));
    QCOMPARE(itemOf(report, 1, "txtValue", "2").rect.top(), 1440.0 + 720);
}

void tst_reportengine::clipsWithoutCanGrow() {
    QVERIFY(InitRptTmp());
    gConn->Execute("INSERT INTO tblReportTemp (Field0) VALUES (?)", {QString(255, '_')});
    ReportLayout layout = testLayout();
    layout.Section("PH").AddLabel("lblCompany", {0, 400, 4000, 300}, ReportAlign::Left, false,
                                  "line one\r\nline two\r\nline three");
    ReportTableSource source(*gConn, "tblReportTemp");
    ReportDocument report(layout, source);
    QVERIFY(report.Paginate());
    const ReportTextItem rule = itemOf(report, 0, "txtValue");
    QCOMPARE(rule.text, QString(255, '_')); // one line, clipped by its box when painted
    QCOMPARE(rule.rect.height(), 300.0);
    QCOMPARE(itemOf(report, 0, "lblCompany").text, QString("line one"));
    QCOMPARE(summary(report), QString(255, '_'));
}

void tst_reportengine::groupHeaderNeverEndsAPage() {
    // Eight rows of group A fill nine bands with their header; B's header would be the
    // tenth and last band of page 1, so it moves to page 2 with its first row.
    fillRows(12, {}, [](int i) { return i <= 8 ? QString("A") : QString("B"); });
    ReportLayout layout = testLayout(360);
    layout.groupColumn = "Field2";
    layout.AddSection(ReportSection::GroupHeader, "GH", 360)
        .AddField("txtGroup", "Field2", {0, 0, 3000, 300});
    ReportTableSource source(*gConn, "tblReportTemp");
    ReportDocument report(layout, source);
    QVERIFY(report.Paginate());
    QCOMPARE(summary(report), QString("G:A 1-8|G:B 9-12 END"));

    // A group change inside a page prints its header there.
    fillRows(6, {}, [](int i) { return i <= 2 ? QString("A") : QString("B"); });
    ReportDocument small(layout, source);
    QVERIFY(small.Paginate());
    QCOMPARE(summary(small), QString("G:A 1-2 G:B 3-6 END"));
}

void tst_reportengine::pagesKeepRowKeys() {
    fillRows(15);
    fillRows(15); // emptied and filled again: the IDs go on from 16
    ReportTableSource source(*gConn, "tblReportTemp");
    ReportDocument report(testLayout(), source);
    QVERIFY(report.Paginate());
    QCOMPARE(report.PageCount(), 2);
    QCOMPARE(report.PageIndex().at(1).row.key, qint64(26));
    QCOMPARE(summary(report), QString("1-10|11-15"));
}

void tst_reportengine::querySourceKeepsKeysOnly() {
    DbStatement insert(*gConn, "INSERT INTO tblEvents (dtDLDateTime, dtDateTime, tButtonCode, "
                               "tPipeID) VALUES (?, ?, ?, ?)");
    // Written out of order: the query's own order (download, then time) must hold.
    insert.Execute({"2026-03-02 08:00:00", "2026-03-01 22:00:00", "00000B", "10000001"});
    insert.Execute({"2026-03-01 07:00:00", "2026-03-01 06:10:00", "00000A", "10000001"});
    insert.Execute({"2026-03-01 07:00:00", "2026-03-01 06:00:00", "0000AA", "10000001"});
    insert.Execute({"2026-03-01 07:00:00", "2026-03-01 06:05:00", "FFFFFF", "20000002"});
    const QString columns = "SELECT ID, dtDLDateTime, dtDateTime, tButtonCode FROM tblEvents ";
    ReportQuerySource source(*gConn,
                             columns + "WHERE tPipeID = ? ORDER BY dtDLDateTime, dtDateTime, ID",
                             {"10000001"}, columns + "WHERE ID = ?");
    ReportLayout layout = testLayout(360);
    layout.groupColumn = "dtDLDateTime";
    layout.AddSection(ReportSection::GroupHeader, "GH", 360)
        .AddField("txtGroup", "dtDLDateTime", {0, 0, 3000, 300}, ReportAlign::Left, false,
                  "dd.MM.yyyy HH:mm");
    ReportSection& detail = layout.Section("D");
    detail.Control("txtValue").column = "tButtonCode";
    detail.Control("txtNote").column = "dtDateTime";
    detail.Control("txtNote").format = "HH:mm";
    ReportDocument report(layout, source);
    QVERIFY(report.Paginate());
    QCOMPARE(report.RowCount(), qint64(3));
    QCOMPARE(summary(report),
             QString("G:01.03.2026 07:00 0000AA 00000A G:02.03.2026 08:00 00000B END"));
    QCOMPARE(itemOf(report, 0, "txtNote", "00000A").text, QString("06:10"));
}

void tst_reportengine::missingColumnFails() {
    fillRows(3);
    ReportLayout layout = testLayout();
    layout.Section("D").Control("txtValue").column = "Field99";
    ReportTableSource source(*gConn, "tblReportTemp");
    ReportDocument report(layout, source);
    try {
        report.Paginate();
        QFAIL("a column the layout prints is missing");
    } catch (const AppError& e) {
        QVERIFY(e.description.contains("Field99"));
    }
    // A label or section name the layout lacks reaches the caller's trap.
    QVERIFY_THROWS_EXCEPTION(AppError, layout.SetCaption("PH", "lblNone", "x"));
    QVERIFY_THROWS_EXCEPTION(AppError, layout.SetCaption("Nowhere", "lblTitle", "x"));
}

void tst_reportengine::stoppedLayoutHasNoPages() {
    fillRows(2000);
    ReportTableSource source(*gConn, "tblReportTemp");
    ReportDocument report(testLayout(), source);
    qint64 lastTotal = 0;
    QVERIFY(!report.Paginate([&](qint64, qint64 total) {
        lastTotal = total;
        return false;
    }));
    QCOMPARE(lastTotal, qint64(2000));
    QCOMPARE(report.PageCount(), 0);
    // No statement is left open on the table: it can be dropped at once.
    gConn->Execute("DROP TABLE tblReportTemp");
}

void tst_reportengine::captionCodes_data() {
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("expected");
    QTest::newRow("page of pages") << "%p / %P"
                                   << "3 / 12";
    QTest::newRow("page alone") << "%p"
                                << "3";
    QTest::newRow("pages alone") << "%P"
                                 << "12";
    QTest::newRow("date and time, one blank") << "%d %t"
                                              << "31/12/2026 23:05";
    QTest::newRow("two blanks") << "%d  %t"
                                << "31/12/2026  23:05";
    QTest::newRow("three blanks") << "%d   %t"
                                  << "31/12/2026   23:05";
    QTest::newRow("inside a text") << "Page %p of %P."
                                   << "Page 3 of 12.";
    QTest::newRow("other codes stay") << "100% %x %"
                                      << "100% %x %";
    QTest::newRow("no second pass") << "%%p"
                                    << "%3";
}

void tst_reportengine::captionCodes() {
    QFETCH(QString, caption);
    QFETCH(QString, expected);
    QCOMPARE(ReportDocument::ReplaceCodes(caption, 3, 12, "31/12/2026", "23:05"), expected);
}

// A value set at run time, label caption or field, prints as given; only the layout's own
// caption has its codes replaced.
void tst_reportengine::codesInsideValues_data() {
    QTest::addColumn<QString>("value");
    QTest::newRow("percent before a letter") << "Runde 100%plus";
    QTest::newRow("page codes") << "Tor %p von %P";
    QTest::newRow("date and time codes") << "Night %d shift %t";
    QTest::newRow("doubled percent") << "%%p 50%";
    QTest::newRow("code at the end") << "Gate %";
}

void tst_reportengine::codesInsideValues() {
    QFETCH(QString, value);
    fillRows(1, {{1, value}});
    ReportLayout layout = testLayout();
    layout.Section("PH").AddLabel("lblCompany", {0, 360, 5000, 240});
    layout.SetCaption("PH", "lblCompany", value);
    ReportTableSource source(*gConn, "tblReportTemp");
    ReportDocument report(layout, source);
    QVERIFY(report.Paginate());
    QCOMPARE(itemOf(report, 0, "lblCompany").text, value);
    QCOMPARE(itemOf(report, 0, "txtNote").text, value);
    QCOMPARE(itemOf(report, 0, "lblPage").text, QString("1 / 1"));
}

void tst_reportengine::codesOnEveryPage() {
    fillRows(15);
    ReportLayout layout = testLayout();
    layout.datePattern = "dd/MM/yyyy";
    layout.Section("PH").AddLabel("lblPrinted", {0, 360, 3000, 240}, ReportAlign::Left, false,
                                  "%d   %t");
    ReportTableSource source(*gConn, "tblReportTemp");
    ReportDocument report(layout, source, QDateTime(QDate(2026, 1, 9), QTime(7, 4, 59)));
    QVERIFY(report.Paginate());
    QCOMPARE(itemOf(report, 1, "lblPrinted").text, QString("09/01/2026   07:04"));
    QCOMPARE(itemOf(report, 1, "lblPage").text, QString("2 / 2"));
}

void tst_reportengine::displayFormats_data() {
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("expected");
    QTest::newRow("short date") << QVariant("2026-03-09 14:05:00") << "dd/MM/yyyy"
                                << "09/03/2026";
    QTest::newRow("time") << QVariant("2026-03-09 14:05:59") << "HH:mm"
                          << "14:05";
    QTest::newRow("seconds") << QVariant("2026-03-09 14:05:59") << "HH:mm:ss"
                             << "14:05:59";
    // The hour the clocks skip in spring still prints as the reader logged it.
    QTest::newRow("clock change gap") << QVariant("2026-03-29 02:30:00") << "dd.MM. HH:mm"
                                      << "29.03. 02:30";
    QTest::newRow("date only") << QVariant("2026-12-31") << "yyyy/MM/dd"
                               << "2026/12/31";
    QTest::newRow("time only") << QVariant("07:08:09") << "HH:mm"
                               << "07:08";
    QTest::newRow("no pattern") << QVariant("2026-03-09 14:05:00") << ""
                                << "2026-03-09 14:05:00";
    QTest::newRow("not a date") << QVariant("Lobby") << "HH:mm"
                                << "Lobby";
    QTest::newRow("impossible date") << QVariant("2026-02-30 10:00:00") << "dd/MM/yyyy"
                                     << "2026-02-30 10:00:00";
    QTest::newRow("null") << QVariant() << "HH:mm"
                          << "";
    QTest::newRow("empty") << QVariant("") << "HH:mm"
                           << "";
    QTest::newRow("number") << QVariant(qlonglong(42)) << "HH:mm"
                            << "42";
}

void tst_reportengine::displayFormats() {
    QFETCH(QVariant, value);
    QFETCH(QString, pattern);
    QFETCH(QString, expected);
    QCOMPARE(ReportDocument::FormatValue(value, pattern), expected);
}

void tst_reportengine::pdfReadBack() {
    fillRows(12, {{5, "Gate 3 – Überwachung"}, {7, "Office Staff"}});
    ReportTableSource source(*gConn, "tblReportTemp");
    ReportDocument report(testLayout(360), source);
    QVERIFY(report.Paginate());
    const QString path = home->file("report.pdf");
    QVERIFY(report.WritePdf(path));
    QCOMPARE(pdfPages(path), 2);
    const QString text = PdfText(path);
    QVERIFY2(text.contains("Engine Test"), qPrintable(text));
    QVERIFY(text.contains(QRegularExpression("1\\s*/\\s*2")));
    QVERIFY(text.contains(QRegularExpression("2\\s*/\\s*2")));
    QVERIFY(text.contains("Gate 3 – Überwachung"));
    QVERIFY(text.contains("End Of Report"));
    // Drawn without ligatures: the text can be searched for what it says.
    QVERIFY2(text.contains("Office Staff"), qPrintable(text));
    QVERIFY(!text.contains(QRegularExpression("[\\x{FB00}-\\x{FB06}]")));
    const QStringList pages = text.split('\f');
    QVERIFY(pages.value(1).contains(QRegularExpression("\\b12\\b")));
    QVERIFY(!pages.value(0).contains(QRegularExpression("\\b11\\b")));
    // The report's own font is embedded, so every machine breaks the pages alike.
    QProcess fonts;
    fonts.start("pdffonts", {path});
    fonts.waitForFinished(20000);
    QVERIFY(QString::fromUtf8(fonts.readAllStandardOutput()).contains("DejaVuSans"));

    // A file that cannot be written fails loudly and leaves nothing behind.
    const QString nowhere = home->file("missing-folder/report.pdf");
    QVERIFY_THROWS_EXCEPTION(AppError, report.WritePdf(nowhere));
    QVERIFY(!QFileInfo::exists(nowhere));
}

void tst_reportengine::previewPaintsOnDemand() {
    fillRows(400);
    ReportTableSource source(*gConn, "tblReportTemp");
    ReportDocument report(testLayout(360), source);
    QVERIFY(report.Paginate());
    QCOMPARE(report.PageCount(), 41);
    ReportPreview preview(report);
    preview.resize(700, 500);
    preview.show();
    QVERIFY(QTest::qWaitForWindowExposed(&preview));
    QCOMPARE(preview.windowTitle(), QString("Engine Test"));
    QCOMPARE(preview.PageText(), QString("Page 1 of 41"));
    for (const QAbstractButton* b : preview.findChildren<QAbstractButton*>())
        QVERIFY2(!QString(b->text()).remove('&').isEmpty() || !b->accessibleName().isEmpty(),
                 qPrintable(b->objectName() + " has no name a screen reader can read"));
    QTRY_VERIFY(preview.View()->PagesRendered() > 0);
    QVERIFY(preview.View()->PagesRendered() <= 3);
    preview.ShowPage(29);
    QCOMPARE(preview.PageText(), QString("Page 30 of 41"));
    preview.SetZoom(ReportPageView::WholePage);
    QCOMPARE(preview.CurrentPage(), 29);
    QTest::keyClick(preview.View(), Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(preview.PageText(), QString("Page 41 of 41"));
    QApplication::processEvents();
    QVERIFY(preview.View()->PagesRendered() <= 10);
    preview.SetZoom(200);
    QVERIFY(preview.View()->PageSizePixels().width() > 1500);
}

void tst_reportengine::previewButtonsHaveNames_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("firstPage");
    QTest::newRow("English") << 0 << "First Page";
    QTest::newRow("German") << 2 << "Erste Seite";
}

void tst_reportengine::previewButtonsHaveNames() {
    QFETCH(int, language);
    QFETCH(QString, firstPage);
    home->closeGlobals();
    home->openGlobals(language);
    DictionaryQtTranslator forms(*gTranslator); // as the program installs it
    QCoreApplication::installTranslator(&forms);
    fillRows(25);
    ReportTableSource source(*gConn, "tblReportTemp");
    ReportDocument report(testLayout(360), source);
    QVERIFY(report.Paginate());
    ReportPreview preview(report);
    preview.show();
    QVERIFY(QTest::qWaitForWindowExposed(&preview));
    const QList<QAbstractButton*> buttons = preview.findChildren<QAbstractButton*>();
    QVERIFY(buttons.size() >= 7);
    for (QAbstractButton* button : buttons) {
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(button);
        QVERIFY(a);
        QVERIFY2(!a->text(QAccessible::Name).trimmed().isEmpty(), qPrintable(button->objectName()));
        QVERIFY2(!a->text(QAccessible::Name).contains('&'), qPrintable(button->objectName()));
    }
    QCOMPARE(preview.findChild<QAbstractButton*>("cmdFirst")->accessibleName(), firstPage);
}

void tst_reportengine::printHonoursThePageRange() {
    fillRows(25);
    ReportTableSource source(*gConn, "tblReportTemp");
    ReportDocument report(testLayout(360), source);
    QVERIFY(report.Paginate());
    ReportPreview preview(report);
    const QString path = home->file("printed.pdf");
    {
        PrintAnswers printer(path, 2, 2);
        QVERIFY(preview.PrintReport());
        QCOMPARE(printer.dialogs.size(), 1);
        QCOMPARE(printer.dialogs.first().maxPage, 3);
    }
    QCOMPARE(pdfPages(path), 1);
    const QString text = PdfText(path);
    QVERIFY2(text.contains(QRegularExpression("2\\s*/\\s*3")), qPrintable(text));
    QVERIFY(!text.contains(QRegularExpression("1\\s*/\\s*3")));
    QVERIFY(text.contains(QRegularExpression("\\b20\\b")));

    PrintAnswers cancelled{QString()};
    QVERIFY(!preview.PrintReport());
}

void tst_reportengine::saveAsPdf() {
    fillRows(3);
    ReportTableSource source(*gConn, "tblReportTemp");
    ReportDocument report(testLayout(360), source);
    QVERIFY(report.Paginate());
    ReportPreview preview(report);
    const QString path = home->file("saved.pdf");
    BoxRecorder boxes;
    {
        FileAnswers files({path});
        QVERIFY(preview.SaveAsPdf());
        QCOMPARE(files.dialogs.first().defaultSuffix, QString("pdf"));
    }
    QVERIFY(PdfText(path).contains("End Of Report"));
    QVERIFY(boxes.boxes.isEmpty());

    // An existing file is replaced only when the user says so.
    const qint64 size = QFileInfo(path).size();
    QFile::resize(path, 10);
    {
        FileAnswers files({path});
        boxes.answers = {Boxes::AnswerNo};
        QVERIFY(!preview.SaveAsPdf());
        QCOMPARE(boxes.boxes.size(), 1);
        QCOMPARE(boxes.boxes.first().buttons, Boxes::Buttons::YesNo);
        QCOMPARE(QFileInfo(path).size(), qint64(10));
    }
    {
        FileAnswers files({path});
        QVERIFY(preview.SaveAsPdf()); // answered Yes by default
        QCOMPARE(QFileInfo(path).size(), size);
    }
    {
        FileAnswers files({home->file("missing-folder/x.pdf")});
        QVERIFY(!preview.SaveAsPdf());
        QVERIFY(boxes.boxes.last().text.startsWith("The report could not be saved."));
    }
}

void tst_reportengine::saveAsPdfWithTheProposedName_data() {
    QTest::addColumn<bool>("hasDocuments");
    QTest::newRow("no Documents folder") << false;
    QTest::newRow("a Documents folder") << true;
}

// The user only presses Save: the proposed name lies in a folder that exists.
void tst_reportengine::saveAsPdfWithTheProposedName() {
    QFETCH(bool, hasDocuments);
    const QString documents = QDir::home().filePath("Documents");
    if (hasDocuments)
        QVERIFY(QDir().mkpath(documents));
    else
        QDir(documents).removeRecursively();
    fillRows(3);
    ReportTableSource source(*gConn, "tblReportTemp");
    ReportDocument report(testLayout(360), source);
    QVERIFY(report.Paginate());
    ReportPreview preview(report);
    BoxRecorder boxes;
    QString proposed;
    Boxes::SetFileHandler(
        [&](const Boxes::FileDialog& dialog) { return proposed = dialog.fileName; });
    const bool saved = preview.SaveAsPdf();
    Boxes::SetFileHandler({});
    QVERIFY2(saved, qPrintable(boxes.texts().join('\n')));
    QCOMPARE(QFileInfo(proposed).absolutePath(), hasDocuments ? documents : QDir::homePath());
    QVERIFY(PdfText(proposed).contains("End Of Report"));
    QVERIFY(boxes.boxes.isEmpty());
}

TREVANO_TEST_MAIN(tst_reportengine)
#include "tst_reportengine.moc"
