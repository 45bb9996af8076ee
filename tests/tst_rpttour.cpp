// The tour report dialog: its lists, the options it remembers from the last preview, and what
// it hands to the report.
#include "ModalScript.h"
#include "ReportPreview.h"
#include "Settings.h"
#include "TestHome.h"
#include "TestMain.h"
#include "TourFixture.h"
#include "cReportHost.h"
#include "frmMdiReports.h"
#include "tour/frmRptTour.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QtTest>

using namespace TourFixture;

namespace {

const QDate kDay(2026, 3, 2);

QStringList entries(QComboBox* box) {
    QStringList texts;
    for (int i = 0; i < box->count(); ++i)
        texts << box->itemText(i);
    return texts;
}

} // namespace

class tst_rpttour : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup() { home.reset(); }
    void loadsListsAndDefaults();
    void previewUsesTheChoicesAndStaysOpen();
    void optionsOfTheLastPreviewAreKept_data();
    void optionsOfTheLastPreviewAreKept();
    void nothingToChoose_data();
    void nothingToChoose();
    void fromTheReportsPage();

private:
    std::unique_ptr<frmRptTour> open();

    std::unique_ptr<TestHome> home;
    QVector<TourReportHeader> previews;
    QStringList rowsSeen;
};

void tst_rpttour::init() {
    home = std::make_unique<TestHome>();
    home->openGlobals();
    previews.clear();
    AddSite();
}

std::unique_ptr<frmRptTour> tst_rpttour::open() {
    auto dialog = std::make_unique<frmRptTour>([this](const TourReportHeader& header) {
        previews << header;
        rowsSeen = ReadTourRows();
    });
    dialog->show();
    return dialog;
}

void tst_rpttour::loadsListsAndDefaults() {
    AddTour("Zeta", 5, "09:55:00", {"5,00000A"}, "last");
    AddTour("alpha", 5, "09:55:00", {"5,00000A"}, "first");
    gConn->Execute("INSERT INTO tblReaders (tReaderId, tDescription) VALUES "
                   "('0000000B', 'Van 2'), ('0000000A', 'van 1'), ('0000000C', NULL)");
    auto dialog = open();
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Report Parameters"));
    auto* tours = Child<QComboBox>(*dialog, "imgcboTour");
    auto* readers = Child<QComboBox>(*dialog, "imgcboReader");
    QCOMPARE(entries(tours), QStringList({"alpha - first", "Zeta - last"}));
    QCOMPARE(entries(readers),
             QStringList({"0000000C - ", "0000000A - van 1", "0000000B - Van 2"}));
    QCOMPARE(tours->currentIndex(), 0);
    QCOMPARE(readers->currentIndex(), 0);
    QCOMPARE(dialog->ReaderId(), QStringLiteral("0000000C"));
    QCOMPARE(Child<QDateEdit>(*dialog, "dtpStartDate")->date(), QDate::currentDate());
    // A fresh installation: the exception report without events.
    QVERIFY(Child<QRadioButton>(*dialog, "optShowAll_0")->isChecked());
    QVERIFY(!Child<QRadioButton>(*dialog, "optShowAll_1")->isChecked());
    QVERIFY(!Child<QCheckBox>(*dialog, "chkIncludeEvents")->isChecked());
    QVERIFY(Child<QPushButton>(*dialog, "cmdPrintPreview")->isEnabled());
    dialog->setTitle("Tour / Exception Report");
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Tour / Exception Report"));
}

void tst_rpttour::previewUsesTheChoicesAndStaysOpen() {
    const int tour = AddTour("Night", 5, "09:55:00", {"5,00000A", "30,00000B"});
    gConn->Execute("INSERT INTO tblReaders (tReaderId, tDescription) VALUES (?, 'Van 1')",
                   {Reader});
    AddTouches(kDay, {"10:00,00000A", "10:01,0000E1"});
    auto dialog = open();
    Child<QDateEdit>(*dialog, "dtpStartDate")->setDate(kDay);
    Child<QRadioButton>(*dialog, "optShowAll_1")->setChecked(true);
    Child<QCheckBox>(*dialog, "chkIncludeEvents")->setChecked(true);
    BoxRecorder boxes;
    QTest::mouseClick(Child<QPushButton>(*dialog, "cmdPrintPreview"), Qt::LeftButton);
    QCOMPARE(boxes.texts(), QStringList());
    QCOMPARE(previews.size(), 1);
    QCOMPARE(previews.at(0).ReaderId, QStringLiteral("0000ABCD - Van 1"));
    QCOMPARE(previews.at(0).ReportTitle, QStringLiteral("Tour Report"));
    QCOMPARE(previews.at(0).Options, QStringLiteral("Yes"));
    QCOMPARE(rowsSeen, QStringList({"---", "P1 10:00 [09:55 to 10:05] North - Gate: ON TIME",
                                    "  10:00 ON TIME North - Gate", "  10:01 EVENT Book - Fire",
                                    "---", "P2 10:30 [10:25 to 10:35] North - Door: MISSING"}));
    QCOMPARE(dialog->TourID(), tour);
    QCOMPARE(dialog->StartDate(), kDay);
    QVERIFY(dialog->IncludeEvents());
    QVERIFY(!dialog->OK());
    // Back in the dialog with every choice as it was, ready for the next report.
    QVERIFY(dialog->isVisible());
    QCOMPARE(Child<QDateEdit>(*dialog, "dtpStartDate")->date(), kDay);
    QVERIFY(Child<QRadioButton>(*dialog, "optShowAll_1")->isChecked());
    QTest::mouseClick(Child<QPushButton>(*dialog, "cmdPrintPreview"), Qt::LeftButton);
    QCOMPARE(previews.size(), 2);
}

void tst_rpttour::optionsOfTheLastPreviewAreKept_data() {
    QTest::addColumn<bool>("preview");
    QTest::addColumn<bool>("closeBox"); // the window's close box instead of Cancel
    QTest::addColumn<QString>("saved");
    QTest::newRow("preview, then Cancel") << true << false << "True";
    QTest::newRow("preview, then the close box") << true << true << "True";
    QTest::newRow("Cancel without a preview") << false << false << "False";
}

void tst_rpttour::optionsOfTheLastPreviewAreKept() {
    QFETCH(bool, preview);
    QFETCH(bool, closeBox);
    QFETCH(QString, saved);
    AddTour("Night", 5, "09:55:00", {"5,00000A"});
    gConn->Execute("INSERT INTO tblReaders (tReaderId, tDescription) VALUES (?, 'Van 1')",
                   {Reader});
    AddTouches(QDate::currentDate(), {"10:00,00000A"});
    {
        auto dialog = open();
        Child<QRadioButton>(*dialog, "optShowAll_1")->setChecked(true);
        Child<QCheckBox>(*dialog, "chkIncludeEvents")->setChecked(true);
        BoxRecorder boxes;
        if (preview)
            QTest::mouseClick(Child<QPushButton>(*dialog, "cmdPrintPreview"), Qt::LeftButton);
        // Changes after the preview are never used, so never kept.
        Child<QRadioButton>(*dialog, "optShowAll_0")->setChecked(true);
        Child<QCheckBox>(*dialog, "chkIncludeEvents")->setChecked(false);
        if (closeBox)
            dialog->close();
        else
            QTest::mouseClick(Child<QPushButton>(*dialog, "cmdCancel"), Qt::LeftButton);
        QVERIFY(!dialog->isVisible());
    }
    QCOMPARE(Settings::GetSetting("Settings", "ShowAllStatus"), saved);
    QCOMPARE(Settings::GetSetting("Settings", "ShowEventsStatus"), saved);
    auto again = open();
    QCOMPARE(Child<QRadioButton>(*again, "optShowAll_1")->isChecked(), preview);
    QCOMPARE(Child<QRadioButton>(*again, "optShowAll_0")->isChecked(), !preview);
    QCOMPARE(Child<QCheckBox>(*again, "chkIncludeEvents")->isChecked(), preview);
}

void tst_rpttour::nothingToChoose_data() {
    QTest::addColumn<bool>("tour");
    QTest::addColumn<bool>("reader");
    QTest::newRow("no tour") << false << true;
    QTest::newRow("no reader") << true << false;
}

void tst_rpttour::nothingToChoose() {
    QFETCH(bool, tour);
    QFETCH(bool, reader);
    if (tour)
        AddTour("Night", 5, "09:55:00", {"5,00000A"});
    if (reader)
        gConn->Execute("INSERT INTO tblReaders (tReaderId, tDescription) VALUES (?, 'Van 1')",
                       {Reader});
    auto dialog = open();
    QVERIFY(!Child<QPushButton>(*dialog, "cmdPrintPreview")->isEnabled());
    QCOMPARE(dialog->ReaderId(), reader ? QString::fromLatin1(Reader) : QString());
    // Enter on the dialog reaches no report either.
    BoxRecorder boxes;
    QTest::keyClick(dialog.get(), Qt::Key_Return);
    QCOMPARE(boxes.texts(), QStringList());
    QCOMPARE(previews.size(), 0);
}

// Reports > "Tour / Exception Report": the dialog opens with its caption, its preview shows
// the day's rows, and the dialog is still there afterwards for the next report.
void tst_rpttour::fromTheReportsPage() {
    struct Host : cReportHost {
        int widthTwips() const override { return 9000; }
    } host;
    AddTour("Night", 5, "09:55:00", {"5,00000A", "30,00000B"});
    gConn->Execute("INSERT INTO tblReaders (tReaderId, tDescription) VALUES (?, 'Van 1')",
                   {Reader});
    AddTouches(kDay, {"10:00,00000A", "10:24,00000B"});
    frmMdiReports page(host);
    page.show();
    QTreeWidget* list = page.lvwReports();
    QVERIFY(list->topLevelItem(0)->flags() & Qt::ItemIsEnabled);
    list->setCurrentItem(list->topLevelItem(0));

    QString dialogTitle, previewTitle;
    int previewsShown = 0, dialogsAfterPreview = 0;
    QTimer drive;
    connect(&drive, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* preview = qobject_cast<ReportPreview*>(modal)) {
            ++previewsShown;
            previewTitle = preview->windowTitle();
            rowsSeen = ReadTourRows();
            preview->close();
        } else if (auto* dialog = qobject_cast<frmRptTour*>(modal)) {
            if (previewsShown == 0 && dialogTitle.isEmpty()) {
                dialogTitle = dialog->windowTitle();
                Child<QDateEdit>(*dialog, "dtpStartDate")->setDate(kDay);
                // The click runs the preview's own loop: this timer goes on inside it.
                QTimer::singleShot(0, Child<QPushButton>(*dialog, "cmdPrintPreview"),
                                   &QPushButton::click);
            } else if (previewsShown == 1) {
                ++dialogsAfterPreview;
                drive.stop();
                dialog->reject();
            }
        }
    });
    drive.start(10);
    BoxRecorder boxes;
    page.lvwReports_DblClick();
    QCOMPARE(boxes.texts(), QStringList());
    QCOMPARE(dialogTitle, QStringLiteral("Tour / Exception Report"));
    QCOMPARE(previewsShown, 1);
    QCOMPARE(dialogsAfterPreview, 1);
    QCOMPARE(previewTitle, QStringLiteral("Exception Report"));
    QCOMPARE(rowsSeen, QStringList({"---", "P2 10:30 [10:25 to 10:35] North - Door: EXCEPTION",
                                    "  10:24 EARLY North - Door"}));
    QVERIFY(!TourTableExists());
}

TREVANO_TEST_MAIN(tst_rpttour)
#include "tst_rpttour.moc"
