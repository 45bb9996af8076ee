// Every report printed with values at the lengths the setup allows, in English and German, read
// back from the saved PDF: no text lies on other text, every value stands whole and as typed,
// and the PDF's text holds no ligature.
#include "Database.h"
#include "ModalDriver.h"
#include "PreviewChecks.h"
#include "ReportDialogs.h"
#include "ReportPreview.h"
#include "TestHome.h"
#include "TestMain.h"
#include "cReportHost.h"
#include "database/frmWaitReport.h"
#include "mGlobals.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTimeEdit>
#include <QTreeWidget>

using namespace PreviewChecks;

namespace {

struct Host : cReportHost {
    int widthTwips() const override { return 12630; }
};

const QDate kDay(2026, 3, 10);
const QString kReader = QStringLiteral("1000ABCD");

// Each at its length limit: 50 characters for company lines and descriptions, 25 for names.
const QStringList kCompany = {"Staff Office Security Services, for the North Ltd.",
                              "Coffee Lane 100%plus %p, Building ffi, Floor 12345",
                              "Effingham Offices, Postfach 1234, D-80331 Muenchen",
                              "Telefon +49 89 1234567 %d %t - Staff Affairs Dept."};
const QString kReaderDesc = QStringLiteral("Wachmann O'Neill, Nachtschicht Tor 3 (Ersatzgeraet");
const QString kSite = QStringLiteral("OFFICE BUILDING ffi STAFF");
const QString kSiteDesc = QStringLiteral("Storage 100%plus %p of the Effingham office blocks");
const QString kLocation = QStringLiteral("WOMEN STAFF OFFICE WARD M");
const QString kLocationDesc = QStringLiteral("Every Office Affair %P incident and the staffings.");
const QString kBook = QStringLiteral("Incident Book Staff Affai");
const QString kIncident = QStringLiteral("Broken Office Window ffi9");
const QString kTour = QStringLiteral("Office Staff Night Tour 1");
const QString kTourDesc = QStringLiteral("Runde 100%plus %p through the office affairs areas");

void addSetup() {
    gConn->Execute("INSERT INTO tblReaders VALUES (?, ?)", {kReader, kReaderDesc});
    const qint64 site = gConn->Insert(
        "INSERT INTO tblListItems (tName, tDesc, wType) VALUES (?, ?, 1)", {kSite, kSiteDesc});
    const qint64 book = gConn->Insert(
        "INSERT INTO tblListItems (tName, tDesc, wType) VALUES (?, ?, 2)", {kBook, kSiteDesc});
    const auto button = [](qint64 group, const QString& code, const QString& name,
                           const QString& desc) {
        gConn->Execute("INSERT INTO tblButtons (lParentID, tButtonCode, tButtonName, tButtonDesc) "
                       "VALUES (?, ?, ?, ?)",
                       {group, code, name, desc});
    };
    button(site, "00000A", kLocation, kLocationDesc);
    button(book, "0000E1", kIncident, kLocationDesc);
    const qint64 tour = gConn->Insert(
        "INSERT INTO tblTours (tName, tDesc, iTolerance, dtStartTime) VALUES (?, ?, 5, '22:00:00')",
        {kTour, kTourDesc});
    gConn->Execute("INSERT INTO tblTourPoints (lParentID, lIndex, dtTime, tButtonCode) "
                   "VALUES (?, 1, '00:10:00', '00000A')",
                   {tour});
    const auto touch = [&](const QString& time, const QString& code, const QString& name, int type,
                           const QString& group) {
        gConn->Execute("INSERT INTO tblEvents (dtDLDateTime, dtDateTime, tButtonCode, "
                       "tButtonName, tButtonDesc, wGroupType, tGroupName, tGroupDesc, tPipeID) "
                       "VALUES ('2026-03-11 06:00:00', ?, ?, ?, ?, ?, ?, ?, ?)",
                       {kDay.toString("yyyy-MM-dd ") + time, code, name, kLocationDesc, type, group,
                        kSiteDesc, kReader});
    };
    touch("22:10:00", "00000A", kLocation, 1, kSite);
    touch("22:11:00", "0000E1", kIncident, 2, kBook);
}

template <class T> T* child(QWidget& parent, const char* name) {
    return parent.findChild<T*>(QLatin1String(name));
}

// The dialog asks for the whole day, the first tour and reader, every point and event.
void fillDialog(QWidget& dialog) {
    for (const char* name : {"dtpStartDate", "dtpEndDate"})
        if (auto* date = child<QDateEdit>(dialog, name))
            date->setDate(kDay);
    if (auto* time = child<QTimeEdit>(dialog, "dtpStartTime"))
        time->setTime(QTime(0, 0));
    if (auto* time = child<QTimeEdit>(dialog, "dtpEndTime"))
        time->setTime(QTime(23, 59, 59));
    if (auto* all = child<QRadioButton>(dialog, "optShowAll_1"))
        all->setChecked(true);
    if (auto* events = child<QCheckBox>(dialog, "chkIncludeEvents"))
        events->setChecked(true);
    // The incident report with sites filters on the long names, so that they print as filters.
    for (const char* name : {"cboEvent", "cboReader", "cboSite"})
        if (auto* filter = child<QComboBox>(dialog, name))
            filter->setCurrentIndex(filter->count() - 1);
    if (auto* tours = child<QTreeWidget>(dialog, "lvwMain"))
        tours->setCurrentItem(tours->topLevelItem(0));
}

} // namespace

class tst_printedpages : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void valuesAtTheirLimits_data();
    void valuesAtTheirLimits();

private:
    std::unique_ptr<TestHome> home;
};

void tst_printedpages::init() {
    home = std::make_unique<TestHome>();
}

void tst_printedpages::cleanup() {
    gCompanyInfo = {};
    home.reset();
}

void tst_printedpages::valuesAtTheirLimits_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("values");
    const struct {
        const char* key;
        const char* title;
        QStringList values;
    } reports[] = {
        {"NewException", "Tour / Exception Report", {kReaderDesc, kTour, kTourDesc, kLocation}},
        {"IncidentReport", "Incident Report", {kLocation, kSite, kIncident}},
        {"IncidentReportOld",
         "Incident Report with Sites",
         {kSite, kLocation, kIncident, kReaderDesc}},
        {"ReaderReport", "Reader Download Report", {kReaderDesc, kLocation, kLocationDesc, kSite}},
        {"HardwareListReport",
         "Hardware List Report",
         {kSite, kSiteDesc, kLocation, kLocationDesc, kBook, kIncident, kReaderDesc}},
        {"PatrolSchedule", "Patrol Schedule", {kTour, kTourDesc, kSite, kLocation}},
        {"CustomReport", "Database Report", {kLocation, kSite, kIncident, kBook}},
    };
    for (const auto& [language, name] : {std::pair{0, "English"}, std::pair{2, "German"}})
        for (const auto& r : reports)
            QTest::addRow("%s, %s", r.key, name)
                << language << r.key << r.title << (kCompany + r.values);
}

void tst_printedpages::valuesAtTheirLimits() {
    QFETCH(int, language);
    QFETCH(QString, key);
    QFETCH(QString, title);
    QFETCH(QStringList, values);
    for (const QString& value : values)
        QVERIFY2(value.size() == 25 || value.size() == 50, qPrintable(value));
    home->openGlobals(language);
    for (int i = 0; i < 4; ++i)
        gCompanyInfo[size_t(i + 1)] = kCompany.at(i);
    addSetup();

    Host host;
    const std::unique_ptr<QDialog> dialog = ReportDialogFor(key)(host, Translate(title));
    fillDialog(*dialog);
    const QString pdf = home->file(key + ".pdf");
    BoxRecorder boxes;
    FileAnswers files({pdf});
    bool saved = false;
    QStringList overflowing;
    QString waitResult;
    {
        ModalDriver driver([&](QWidget* modal) {
            if (auto* wait = qobject_cast<frmWaitReport*>(modal)) {
                if (!wait->lblResult()->text().isEmpty()) {
                    waitResult = wait->lblResult()->text();
                    child<QPushButton>(*wait, "cmdCancel")->click();
                }
            } else if (auto* preview = qobject_cast<ReportPreview*>(modal)) {
                // Every text fits its box: no label runs into its neighbour, no field is cut
                // (the tour report's rule of underscores is cut on purpose).
                for (const ReportTextItem& item : preview->Document().PageItems(0))
                    if (item.width > item.rect.width() + 1 && item.control != "Text6")
                        overflowing << QStringLiteral("%1 \"%2\" needs %3 of %4")
                                           .arg(item.control, item.text)
                                           .arg(item.width)
                                           .arg(item.rect.width());
                saved = preview->SaveAsPdf();
                preview->close();
            }
        });
        child<QPushButton>(*dialog, "cmdPrintPreview")->click();
        QTRY_VERIFY_WITH_TIMEOUT(saved || !waitResult.isEmpty() || !boxes.boxes.isEmpty(), 20000);
    }
    QVERIFY2(boxes.boxes.isEmpty(), qPrintable(boxes.texts().join('\n')));
    QVERIFY2(waitResult.isEmpty(), qPrintable(waitResult));
    QVERIFY(saved);
    QVERIFY2(overflowing.isEmpty(), qPrintable(overflowing.join('\n')));
    if (qEnvironmentVariableIsSet("TREVANO_KEEP_PDF"))
        QFile::copy(pdf, qEnvironmentVariable("TREVANO_KEEP_PDF") + "/" + key + "-" +
                             QString::number(language) + ".pdf");

    // No two words of a page share ink: a word's box may touch the next line's, not lie on it.
    // A value cut at its box still stands whole in the PDF, under its neighbour's text.
    const QVector<PdfWord> words = PdfWords(pdf);
    QVERIFY2(!words.isEmpty(), "pdftotext read nothing");
    for (int i = 0; i < words.size(); ++i)
        for (int j = i + 1; j < words.size(); ++j) {
            const PdfWord& a = words.at(i);
            const PdfWord& b = words.at(j);
            if (a.page != b.page)
                continue;
            const QRectF both = a.box.intersected(b.box);
            QVERIFY2(both.width() <= 0.5 || both.height() <= 1.5,
                     qPrintable(QStringLiteral("page %1: \"%2\" %3 lies on \"%4\" %5")
                                    .arg(a.page)
                                    .arg(a.text, QString::number(a.box.top()), b.text,
                                         QString::number(b.box.top()))));
        }
    // The first header label keeps its distance from the date after it.
    const QString printDate = Translate("Print Date:").split(' ').last();
    QVERIFY2(std::any_of(words.begin(), words.end(),
                         [&](const PdfWord& word) { return word.text == printDate; }),
             qPrintable(printDate + " runs into the text after it"));
    const QString text = PdfDrawnText(pdf);
    for (const QString& value : values)
        QVERIFY2(text.contains(WithoutBlanks(value)),
                 qPrintable(QStringLiteral("missing \"%1\" in:\n%2").arg(value, text)));
    QVERIFY2(!text.contains(QRegularExpression("[\\x{FB00}-\\x{FB06}]")), qPrintable(text));
}

TREVANO_TEST_MAIN(tst_printedpages)
#include "tst_printedpages.moc"
