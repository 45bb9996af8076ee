// Readers added by reading their ID from the simulated docking station, renamed from the setup
// page, and a download afterwards that stores the names set up for the new keys.
#include "ModalScript.h"
#include "SimulatedDock.h"
#include "TestHome.h"
#include "TestMain.h"
#include "frmAddButton.h"
#include "frmAddReader.h"
#include "frmEditReader.h"
#include "frmListEdit.h"
#include "frmMDISetup.h"
#include "frmMain.h"
#include "mButtons.h"
#include "mGlobals.h"
#include "mLinkGlobals.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>

namespace {

const QDate kDay(2026, 3, 2);

void typeInto(QLineEdit* box, const QString& text) {
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClicks(box, text);
}

bool shows(QLabel* label, const QString& pictureKey) {
    return !label->pixmap().isNull() &&
           label->pixmap().toImage() == QPixmap(BigPicture(pictureKey)).toImage();
}

QStringList readers() {
    QStringList out;
    for (const DbRow& r :
         gConn->Query("SELECT tReaderId, tDescription FROM tblReaders ORDER BY tReaderId"))
        out << r.text("tReaderId") + "|" + r.text("tDescription");
    return out;
}

} // namespace

class tst_readers : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void readFailRead();
    void readersPage();
    void downloadAfterSetup();

private:
    void openSetup();
    frmMDISetup* page() const { return qobject_cast<frmMDISetup*>(main->CurrentPage()); }
    QTreeWidget* list() const { return Child<QTreeWidget>(page(), "lvwProgram"); }
    void showTab(int index) { Child<QTabWidget>(page(), "tabSetup")->setCurrentIndex(index); }

    std::unique_ptr<TestHome> home;
    std::unique_ptr<BoxRecorder> boxes;
    std::unique_ptr<frmMain> main;
};

void tst_readers::init() {
    home = std::make_unique<TestHome>();
    home->openGlobals();
    boxes = std::make_unique<BoxRecorder>();
    gDocked = false;
    gReceiveEnabled = false;
    gAutoSetTime = false;
}

void tst_readers::cleanup() {
    main.reset();
    boxes.reset();
    home.reset();
    gDocked = false;
    gReceiveEnabled = false;
}

void tst_readers::openSetup() {
    main = std::make_unique<frmMain>();
    main->setUserType(1);
    main->show();
    main->GoHome(); // connects to the docking station
    QVERIFY(gDocked);
    main->GoSetup();
    QVERIFY(page());
}

void tst_readers::readFailRead() {
    gConn->Execute("INSERT INTO tblReaders (tReaderId, tDescription) VALUES ('0A0B0C0D', 'Front')");
    SimulatedDock dock;
    dock.setLog(DockStation::MakeTouches(5, 1, {"12AB3F"}, kDay));
    dock.setReaderId("D1D2D3D4");
    openSetup();

    frmAddReader dialog(main->Link(), main.get());
    dialog.setExistingNames({"Front"});
    dialog.setDesc("Reader 2");
    dialog.show();
    QVERIFY(gReceiveEnabled);
    auto* read = Child<QPushButton>(&dialog, "cmdRead");
    auto* id = Child<QLabel>(&dialog, "lblID");
    auto* picture = Child<QLabel>(&dialog, "img1");
    auto* message = Child<QLabel>(&dialog, "lblMsg");
    auto* ok = Child<QPushButton>(&dialog, "cmdOK");
    QVERIFY(message->isHidden());
    QVERIFY(!ok->isEnabled());
    QCOMPARE(Child<QLineEdit>(&dialog, "txtDesc")->text(), QString("Reader 2"));

    // A new reader.
    read->click();
    QVERIFY2(boxes->boxes.isEmpty(), qPrintable(boxes->texts().join('/')));
    QCOMPARE(id->text(), QString("D1D2D3D4"));
    QVERIFY(ok->isEnabled());
    QVERIFY(shows(picture, "good"));
    QVERIFY(message->isHidden());

    // A read that fails takes back what the last one found: OK cannot store an empty ID.
    dock.setReaderPresent(false);
    read->click();
    QCOMPARE(boxes->texts(), (QStringList{"Reader not detected. Check reader and try again.",
                                          "Reader ID Download Failed"}));
    QCOMPARE(id->text(), QString());
    QVERIFY(!ok->isEnabled());
    QVERIFY(picture->pixmap().isNull());
    QCOMPARE(dialog.ReaderId(), QString());

    // A reader already stored.
    dock.setReaderPresent(true);
    dock.setReaderId("0A0B0C0D");
    read->click();
    QCOMPARE(id->text(), QString("0A0B0C0D"));
    QVERIFY(!ok->isEnabled());
    QVERIFY(shows(picture, "bad"));
    QVERIFY(message->isVisible());
    QCOMPARE(message->text(), QString("This Reader ID already exists!"));

    // And a new one again: OK takes the ID read, the description as typed.
    dock.setReaderId("D1D2D3D4");
    read->click();
    QVERIFY(ok->isEnabled());
    QVERIFY(message->isHidden());
    auto* desc = Child<QLineEdit>(&dialog, "txtDesc");
    typeInto(desc, "Front");
    ok->click();
    QCOMPARE(boxes->texts().last(),
             QString("That name is already used.  Please enter another name"));
    QVERIFY(dialog.isVisible());
    typeInto(desc, " Back door ");
    ok->click();
    QVERIFY(dialog.OK());
    QCOMPARE(dialog.ReaderId(), QString("D1D2D3D4"));
    QCOMPARE(dialog.Desc(), QString(" Back door "));
    QVERIFY(!gReceiveEnabled);
    QCOMPARE(readers(), QStringList{"0A0B0C0D|Front"}); // the caller writes the row
}

void tst_readers::readersPage() {
    gConn->Execute("INSERT INTO tblReaders (tReaderId, tDescription) VALUES ('0A0B0C0D', 'Front')");
    SimulatedDock dock;
    dock.setLog(DockStation::MakeTouches(5, 1, {"12AB3F"}, kDay));
    dock.setReaderId("D1D2D3D4");
    openSetup();
    showTab(3);
    auto* add = Child<QPushButton>(page(), "cmdSetup_1");
    QVERIFY(add->isEnabled());

    OnModal<frmAddReader>([](frmAddReader* dialog) {
        QCOMPARE(dialog->windowTitle(), QString("Add New Reader"));
        QCOMPARE(Child<QLineEdit>(dialog, "txtDesc")->text(), QString("Reader 1"));
        Child<QPushButton>(dialog, "cmdRead")->click();
        QVERIFY(Child<QPushButton>(dialog, "cmdOK")->isEnabled());
        Child<QPushButton>(dialog, "cmdOK")->click();
    });
    add->click();
    QCOMPARE(readers(), (QStringList{"0A0B0C0D|Front", "D1D2D3D4|Reader 1"}));
    QCOMPARE(list()->currentItem()->text(0), QString("D1D2D3D4"));

    // Cancelled: nothing written.
    OnModal<frmAddReader>(
        [](frmAddReader* dialog) { Child<QPushButton>(dialog, "cmdCancel")->click(); });
    add->click();
    QCOMPARE(readers().size(), 2);
    QCOMPARE(list()->currentItem()->text(0), QString("0A0B0C0D")); // the first row again

    list()->setCurrentItem(list()->findItems("D1D2D3D4", Qt::MatchExactly).first());

    OnModal<frmEditReader>([](frmEditReader* dialog) {
        QCOMPARE(dialog->windowTitle(), QString("Edit Reader"));
        auto* desc = Child<QLineEdit>(dialog, "txtDesc");
        QCOMPARE(desc->text(), QString("Reader 1"));
        typeInto(desc, "Front");
        Child<QPushButton>(dialog, "cmdOK")->click();
        typeInto(desc, "Dock reader");
        Child<QPushButton>(dialog, "cmdOK")->click();
    });
    Child<QPushButton>(page(), "cmdSetup_0")->click();
    QCOMPARE(boxes->texts(), QStringList{"That name is already used.  Please enter another name"});
    QCOMPARE(readers(), (QStringList{"0A0B0C0D|Front", "D1D2D3D4|Dock reader"}));
    QCOMPARE(list()->currentItem()->text(1), QString("Dock reader"));

    // Without a docking station readers cannot be added.
    dock.hangUp();
    QTRY_VERIFY(!gDocked);
    showTab(0);
    showTab(3);
    QVERIFY(!add->isEnabled());
}

void tst_readers::downloadAfterSetup() {
    SimulatedDock dock;
    dock.setReaderId("D1D2D3D4");
    dock.setLog(DockStation::MakeTouches(3, 1, {"12AB3F"}, kDay));
    openSetup();

    // A new site with a key touched to the reader, named before the site is.
    Child<QPushButton>(page(), "cmdSetup_1")->click();
    QCOMPARE(list()->currentItem()->text(0), QString("Site 001"));
    OnModal<frmListEdit>([&](frmListEdit* editor) {
        OnModal<frmAddButton>([&](frmAddButton* add) {
            dock.sendButton("0000F1");
            QTRY_VERIFY(Child<QPushButton>(add, "cmdOK")->isEnabled());
            typeInto(Child<QLineEdit>(add, "txtName"), "Gate 7");
            typeInto(Child<QLineEdit>(add, "txtDesc"), "East");
            Child<QPushButton>(add, "cmdOK")->click();
        });
        Child<QPushButton>(editor, "cmdSetup_1")->click();
        typeInto(Child<QLineEdit>(editor, "txtName"), "Warehouse");
        typeInto(Child<QLineEdit>(editor, "txtDesc"), "Block B");
        Child<QPushButton>(editor, "cmdOK")->click();
    });
    Child<QPushButton>(page(), "cmdSetup_0")->click();
    QCOMPARE(list()->currentItem()->text(0), QString("Warehouse"));

    dock.setLog(DockStation::MakeTouches(4, 1, {"0000F1", "12AB3F"}, kDay));
    main->GoOnline();
    QVERIFY(main->CurrentPage());
    Child<QPushButton>(main->CurrentPage(), "cmdOnline_0")->click();
    QVERIFY2(boxes->boxes.isEmpty(), qPrintable(boxes->texts().join('/')));
    QStringList stored;
    for (const DbRow& r : gConn->Query("SELECT * FROM tblEvents ORDER BY ID"))
        stored << QStringList{r.text("tButtonCode"), r.text("tButtonName"), r.text("tButtonDesc"),
                              r.text("wGroupType"),  r.text("tGroupName"),  r.text("tGroupDesc"),
                              r.text("tPipeID")}
                      .join('|');
    const QString added = "0000F1|Gate 7|East|1|Warehouse|Block B|D1D2D3D4";
    const QString unknown = "12AB3F|Unknown||0|||D1D2D3D4";
    QCOMPARE(stored, (QStringList{added, unknown, added, unknown}));
}

TREVANO_TEST_MAIN(tst_readers)
#include "tst_readers.moc"
