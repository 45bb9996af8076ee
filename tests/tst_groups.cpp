// Groups and their buttons: button-ID packets through the real receive buffer, the typed
// button ID, the name rules of every dialog, the add-button dialog listening to the simulated
// docking station, and the group editor opened from the setup page, which writes its buttons
// at once and reports a write the database refuses.
#include "ListChecks.h"
#include "ModalScript.h"
#include "ShownWhole.h"
#include "SimulatedDock.h"
#include "TestHome.h"
#include "TestMain.h"
#include "Translator.h"
#include "cSerialLink.h"
#include "frmAddButton.h"
#include "frmAddReader.h"
#include "frmEditButton.h"
#include "frmEditReader.h"
#include "frmEditTour.h"
#include "frmListEdit.h"
#include "frmMDISetup.h"
#include "frmMain.h"
#include "frmManualID.h"
#include "mButtons.h"
#include "mGlobals.h"
#include "mLinkGlobals.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTreeWidget>

namespace {

QByteArray key(const QString& code) {
    return DockStation::ButtonPacket(code);
}

qint64 addGroup(const QString& name, const QString& desc, int type) {
    return gConn->Insert("INSERT INTO tblListItems (tName, tDesc, wType) VALUES (?, ?, ?)",
                         {name, desc, type});
}

void addButton(qint64 group, const QString& code, const QString& name, const QString& desc = {}) {
    gConn->Insert("INSERT INTO tblButtons (lParentID, tButtonCode, tButtonName, tButtonDesc) "
                  "VALUES (?, ?, ?, ?)",
                  {group, code, name, desc});
}

// The buttons of a group as "code|name|description", in the order written.
QStringList buttonsOf(qint64 group) {
    QStringList out;
    for (const DbRow& r : gConn->Query(
             "SELECT tButtonCode, tButtonName, tButtonDesc FROM tblButtons WHERE lParentID = ? "
             "ORDER BY ID",
             {group}))
        out << r.text("tButtonCode") + "|" + r.text("tButtonName") + "|" + r.text("tButtonDesc");
    return out;
}

QString groupRow(qint64 group) {
    const DbRow r =
        gConn->Query("SELECT tName, tDesc FROM tblListItems WHERE ID = ?", {group}).first();
    return r.text("tName") + "|" + r.text("tDesc");
}

QStringList listRows(QTreeWidget* list) {
    QStringList out;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        QStringList cells;
        for (int c = 0; c < list->columnCount(); ++c)
            cells << list->topLevelItem(i)->text(c);
        out << cells.join('|');
    }
    return out;
}

bool shows(QLabel* label, const QString& pictureKey) {
    return !label->pixmap().isNull() &&
           label->pixmap().toImage() == QPixmap(BigPicture(pictureKey)).toImage();
}

void typeInto(QLineEdit* box, const QString& text) {
    box->setFocus();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClicks(box, text);
}

} // namespace

class tst_groups : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void buttonPackets_data();
    void buttonPackets();
    void manualId_data();
    void manualId();
    void nameRules_data();
    void nameRules();
    void editorsShowTextsAtTheLimitWhole_data();
    void editorsShowTextsAtTheLimitWhole();
    void addButtonListens();
    void addDialogsEndWhenTheLineGoes_data();
    void addDialogsEndWhenTheLineGoes();
    void groupEditor_data();
    void groupEditor();
    void addNeedsTheDock();
    void refusedCodeIsReported();
    void buttonsAtTheLimitsShowWhole_data();
    void buttonsAtTheLimitsShowWhole();

private:
    void openSetup();
    frmMDISetup* page() const { return qobject_cast<frmMDISetup*>(main->CurrentPage()); }
    void selectRow(const QString& text);

    std::unique_ptr<TestHome> home;
    std::unique_ptr<BoxRecorder> boxes;
    std::unique_ptr<frmMain> main;
};

void tst_groups::init() {
    home = std::make_unique<TestHome>();
    home->openGlobals();
    boxes = std::make_unique<BoxRecorder>();
    gDocked = false;
    gReceiveEnabled = false;
}

void tst_groups::cleanup() {
    main.reset();
    boxes.reset();
    home.reset();
    gDocked = false;
    gReceiveEnabled = false;
}

void tst_groups::openSetup() {
    main = std::make_unique<frmMain>();
    main->setUserType(1);
    main->show();
    main->GoHome(); // connects to the docking station, where there is one
    main->GoSetup();
    QVERIFY(page());
}

void tst_groups::selectRow(const QString& text) {
    auto* list = Child<QTreeWidget>(page(), "lvwProgram");
    const QList<QTreeWidgetItem*> found = list->findItems(text, Qt::MatchExactly);
    QVERIFY2(!found.isEmpty(), qPrintable(text));
    list->setCurrentItem(found.first());
}

void tst_groups::buttonPackets_data() {
    QTest::addColumn<QList<QByteArray>>("ticks"); // what the line brought before each tick
    QTest::addColumn<QStringList>("readings");    // what each tick took ("" nothing)
    QTest::newRow("a key") << QList<QByteArray>{key("ABCDEF")} << QStringList{"ABCDEF"};
    QTest::newRow("the reader's own bytes")
        << QList<QByteArray>{QByteArray::fromHex("FFFFFF55030103510005240 0EFCDABE8")}
        << QStringList{"ABCDEF"};
    QTest::newRow("the same key again, then others")
        << QList<QByteArray>{key("12AB3F"), key("12AB3F"), key("00A1B2"), key("12AB3F")}
        << QStringList{"12AB3F", "12AB3F again", "00A1B2", "12AB3F"};
    QTest::newRow("noise before the packet")
        << QList<QByteArray>{QByteArray::fromHex("0D0AFF13") + key("00A1B2")}
        << QStringList{"00A1B2"};
    QTest::newRow("half received: both halves dropped")
        << QList<QByteArray>{key("ABCDEF").left(9), key("ABCDEF").mid(9), {}}
        << QStringList{"", "", ""};
    QTest::newRow("two keys in one tick: the second dropped")
        << QList<QByteArray>{key("000001") + key("000002"), {}} << QStringList{"000001", ""};
    QTest::newRow("a reply of another code")
        << QList<QByteArray>{DockStation::MakeFrame(QByteArray::fromHex("8000"))}
        << QStringList{""};
    QTest::newRow("fewer than five data bytes")
        << QList<QByteArray>{DockStation::MakeFrame(QByteArray::fromHex("2400EFCD"))}
        << QStringList{""};
    QTest::newRow("wrong checksum")
        << QList<QByteArray>{DockStation::MakeFrame(QByteArray::fromHex("2400EFCDAB"), true)}
        << QStringList{""};
}

void tst_groups::buttonPackets() {
    QFETCH(QList<QByteArray>, ticks);
    QFETCH(QStringList, readings);
    cInBuffer buffer;
    cButtonIdListener listener;
    QStringList taken;
    for (const QByteArray& bytes : ticks) {
        buffer.Append(bytes);
        const cButtonIdListener::Reading r = listener.Poll(buffer);
        taken << (r.read ? r.id + (r.again ? " again" : "") : QString());
        QCOMPARE(buffer.size(), 0); // nothing is ever taken twice
    }
    QCOMPARE(taken, readings);
}

void tst_groups::manualId_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("id"); // empty: refused
    QTest::newRow("lower case") << "abcdef"
                                << "ABCDEF";
    QTest::newRow("digits and letters") << "00a1B2"
                                        << "00A1B2";
    QTest::newRow("seventh character not taken") << "12AB3F9"
                                                 << "12AB3F";
    QTest::newRow("five digits") << "ABCDE" << QString();
    QTest::newRow("letter beyond F") << "ABCDEG" << QString();
    QTest::newRow("blank inside") << "AB CDE" << QString();
    QTest::newRow("leading blank leaves five") << " ABCDEF" << QString();
    QTest::newRow("empty") << "" << QString();
}

void tst_groups::manualId() {
    QFETCH(QString, typed);
    QFETCH(QString, id);
    frmManualID dialog;
    dialog.show();
    auto* box = Child<QLineEdit>(&dialog, "txtID");
    QVERIFY(box->text().isEmpty());
    QVERIFY(Child<QLabel>(&dialog, "lblStatic")->text().contains("0~9 and A~F"));
    QTest::keyClicks(box, typed);
    Child<QPushButton>(&dialog, "cmdOK")->click();
    QCOMPARE(dialog.OK(), !id.isEmpty());
    QCOMPARE(dialog.isVisible(), id.isEmpty());
    if (id.isEmpty()) {
        QCOMPARE(boxes->texts(), QStringList{"Illegal Value"});
        QCOMPARE(box->text(), typed.left(6)); // left as typed, to be put right
    } else {
        QVERIFY(boxes->boxes.isEmpty());
        QCOMPARE(dialog.ID(), id);
    }
}

void tst_groups::nameRules_data() {
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<QString>("starting");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message"); // empty: accepted
    QTest::addColumn<QString>("returned");
    const QString used = "That name is already used.  Please enter another name";
    const QString emptyItem = "You must enter a name for this item";
    const QStringList names{"Gate", "Door"};
    for (const char* d : {"button", "reader"}) {
        const QString dialog = d;
        QTest::addRow("%s: unchanged, though listed", d) << dialog << names << "Gate"
                                                         << "Gate" << QString() << "Gate";
        QTest::addRow("%s: another one's name", d) << dialog << names << "Gate"
                                                   << "Door" << used << QString();
        QTest::addRow("%s: differs in letter case", d) << dialog << names << "Gate"
                                                       << "door" << QString() << "door";
        QTest::addRow("%s: blanks around are kept", d) << dialog << names << "Gate"
                                                       << "  Hall " << QString() << "  Hall ";
        QTest::addRow("%s: blanks only", d) << dialog << names << "Gate"
                                            << "   " << emptyItem << QString();
        QTest::addRow("%s: used before empty", d) << dialog << QStringList{"", "Door"} << "Gate"
                                                  << "  " << used << QString();
    }
    QTest::newRow("add button: first of an empty group")
        << "add button" << QStringList() << QString() << "Post" << QString() << "Post";
    QTest::newRow("add button: no starting name, a listed name is refused")
        << "add button" << names << QString() << " Gate " << used << QString();
    QTest::newRow("add button: blanks kept")
        << "add button" << names << QString() << " Hall " << QString() << " Hall ";
    QTest::newRow("add button: blanks only")
        << "add button" << names << QString() << "  " << emptyItem << QString();
    QTest::newRow("group: unchanged, though listed") << "group" << names << "Gate"
                                                     << "Gate" << QString() << "Gate";
    QTest::newRow("group: another group's name")
        << "group" << names << "Gate"
        << "Door"
        << "That name is already used.  Please enter another name." << QString();
    QTest::newRow("group: differs in letter case") << "group" << names << "Gate"
                                                   << "DOOR" << QString() << "DOOR";
    QTest::newRow("group: stored without blanks around") << "group" << names << "Gate"
                                                         << " Yard  " << QString() << "Yard";
    QTest::newRow("group: blanks only") << "group" << names << "Gate"
                                        << "  "
                                        << "You must enter a name for this group" << QString();
}

void tst_groups::nameRules() {
    QFETCH(QString, dialog);
    QFETCH(QStringList, existing);
    QFETCH(QString, starting);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    QFETCH(QString, returned);
    gDocked = true;
    cSerialLink link;
    std::unique_ptr<QDialog> window;
    QString nameBox = "txtName";
    std::function<QString()> result;
    std::function<bool()> ok;
    if (dialog == "button") {
        auto* d = new frmEditButton;
        d->setExistingNames(existing);
        d->setEditName(starting);
        d->setDesc(" desc ");
        result = [d] { return d->EditName() + "/" + d->Desc(); };
        ok = [d] { return d->OK(); };
        window.reset(d);
    } else if (dialog == "reader") {
        auto* d = new frmEditReader;
        d->setReaderId("0A0B0C0D");
        d->setDesc(starting);
        d->setExistingNames(existing);
        nameBox = "txtDesc";
        result = [d] { return d->Desc(); };
        ok = [d] { return d->OK(); };
        window.reset(d);
    } else if (dialog == "add button") {
        auto* d = new frmAddButton(link);
        d->setExistingNames(existing);
        d->setDesc(" desc ");
        link.InBuffer().Append(key("0000F1"));
        d->tmrGetID_Timer();
        QCOMPARE(d->DallasID(), QString("0000F1"));
        result = [d] { return d->ButtonName() + "/" + d->Desc(); };
        ok = [d] { return d->OK(); };
        window.reset(d);
    } else {
        const qint64 group = addGroup(starting, " desc ", 1);
        auto* d = new frmListEdit(link);
        d->setID(group);
        d->setItemType(1);
        d->setListName(starting);
        d->setListDesc(" desc ");
        d->setExistingNames(existing);
        d->Update();
        result = [d] { return d->ListName() + "/" + d->ListDesc(); };
        ok = [d] { return d->OK(); };
        window.reset(d);
    }
    window->show();
    typeInto(Child<QLineEdit>(window.get(), qPrintable(nameBox)), typed);
    Child<QPushButton>(window.get(), "cmdOK")->click();
    if (message.isEmpty()) {
        QVERIFY2(boxes->boxes.isEmpty(), qPrintable(boxes->texts().join('/')));
        QVERIFY(ok());
        QVERIFY(!window->isVisible());
        // Descriptions come back as typed in every dialog that has one.
        QCOMPARE(result(), dialog == "reader" ? returned : returned + "/ desc ");
    } else {
        QCOMPARE(boxes->texts(), QStringList{message});
        QVERIFY(!ok());
        QVERIFY(window->isVisible());
        auto* box = Child<QLineEdit>(window.get(), qPrintable(nameBox));
        QCOMPARE(window->focusWidget(), box);
        QCOMPARE(box->selectedText(), typed); // all of it, to be typed over
    }
}

void tst_groups::editorsShowTextsAtTheLimitWhole_data() {
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<int>("language");
    for (const char* dialog : {"button", "add button", "reader", "add reader", "group", "tour"}) {
        QTest::addRow("%s, English", dialog) << QString(dialog) << 0;
        QTest::addRow("%s, German", dialog) << QString(dialog) << 2;
    }
}

// A name at its length limit (25) and a description at its (50) show whole at the editor's
// first size, and the editor still fits the smallest screen.
void tst_groups::editorsShowTextsAtTheLimitWhole() {
    QFETCH(QString, dialog);
    QFETCH(int, language);
    gTranslator->language = language;
    gTranslator->Open();
    cSerialLink link;
    std::unique_ptr<QDialog> window;
    if (dialog == "button")
        window = std::make_unique<frmEditButton>();
    else if (dialog == "add button")
        window = std::make_unique<frmAddButton>(link);
    else if (dialog == "reader")
        window = std::make_unique<frmEditReader>();
    else if (dialog == "add reader")
        window = std::make_unique<frmAddReader>(link);
    else if (dialog == "group")
        window = std::make_unique<frmListEdit>(link);
    else
        window = std::make_unique<frmEditTour>();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    const QString name = QString::fromUtf8("Wachschutz Müller, Tor 12");
    const QString desc = QString::fromUtf8("Sicherheitsdienst Müller & Söhne GmbH, Hauptstr. 1");
    QCOMPARE(name.size(), 25);
    QCOMPARE(desc.size(), 50);
    int checked = 0;
    for (const auto& [box, text] : {std::pair{"txtName", name}, std::pair{"txtDesc", desc}})
        if (auto* edit = window->findChild<QLineEdit*>(box)) {
            ++checked;
            QVERIFY2(ShowsWhole(edit, text),
                     qPrintable(QString("%1 %2 wide").arg(box).arg(edit->width())));
        }
    QVERIFY(checked > 0);
    QVERIFY(window->frameGeometry().width() <= 1024 && window->frameGeometry().height() <= 768);
}

void tst_groups::addDialogsEndWhenTheLineGoes_data() {
    QTest::addColumn<bool>("reader");
    QTest::addColumn<bool>("reopened"); // another port chosen meanwhile
    QTest::newRow("add button, line closed") << false << false;
    QTest::newRow("add button, port opened again") << false << true;
    QTest::newRow("add reader, line closed") << true << false;
    QTest::newRow("add reader, port opened again") << true << true;
}

void tst_groups::addDialogsEndWhenTheLineGoes() {
    QFETCH(bool, reader);
    QFETCH(bool, reopened);
    SimulatedDock dock;
    openSetup();
    QVERIFY(gDocked);
    cSerialLink& link = main->Link();
    std::unique_ptr<QDialog> dialog;
    if (reader)
        dialog = std::make_unique<frmAddReader>(link, main.get());
    else
        dialog = std::make_unique<frmAddButton>(link, main.get());
    dialog->show();
    const int port = link.PortNumber();
    link.ClosePort();
    if (reopened)
        QVERIFY(link.OpenPort(port, "9600,n,8,1"));
    QTRY_VERIFY(!dialog->isVisible());
    QCOMPARE(boxes->texts(),
             QStringList{"The connection to the docking station was lost. Check the docking "
                         "station and its cable, then go to the Home page to connect again."});
    QVERIFY(!gReceiveEnabled);
}

void tst_groups::addButtonListens() {
    const qint64 site = addGroup("North Gate", "", 1);
    addButton(addGroup("Incidents", "", 2), "00A1B2", "Fire"); // known, in another group
    SimulatedDock dock;
    openSetup();
    QVERIFY(gDocked);

    auto dialog = std::make_unique<frmAddButton>(main->Link(), main.get());
    dialog->setExistingNames({});
    dialog->SetIcon("locations");
    dialog->show();
    QVERIFY(gReceiveEnabled);
    auto* id = Child<QLabel>(dialog.get(), "lblID");
    auto* picture = Child<QLabel>(dialog.get(), "img1");
    auto* message = Child<QLabel>(dialog.get(), "lblMsg");
    auto* ok = Child<QPushButton>(dialog.get(), "cmdOK");
    QVERIFY(shows(picture, "locations"));
    QVERIFY(!ok->isEnabled());
    QVERIFY(message->isHidden());

    // A new key, then a known one: OK follows the last key read.
    dock.sendButton("12AB3F");
    QTRY_COMPARE(id->text(), QString("12AB3F"));
    QVERIFY(ok->isEnabled());
    QVERIFY(shows(picture, "good"));
    QVERIFY(message->isHidden());
    QCOMPARE(dialog->DallasID(), QString("12AB3F"));
    dock.sendButton("00A1B2");
    QTRY_COMPARE(id->text(), QString("00A1B2"));
    QVERIFY(!ok->isEnabled());
    QVERIFY(shows(picture, "bad"));
    QVERIFY(message->isVisible());
    QCOMPARE(message->text(), QString("That key is already used!"));
    QCOMPARE(dialog->DallasID(), QString());

    // The same key again blinks the verdict without holding up the window.
    main->Link().InBuffer().Append(key("00A1B2"));
    dialog->tmrGetID_Timer();
    QVERIFY(picture->pixmap().isNull());
    QTRY_VERIFY(shows(picture, "bad"));

    // A packet split across a tick is dropped: the user touches the key again. Its last
    // bytes come in the last read, and only a tick empties the buffer: once it is empty after
    // them, every tick that could have taken the packet has run.
    const QByteArray split = key("ABCDEF");
    QVERIFY(!split.left(8).endsWith(split.right(2)));
    bool tailArrived = false;
    const QMetaObject::Connection arrivals =
        connect(&main->Link().comPort(), &QSerialPort::readyRead, this, [&] {
            tailArrived = tailArrived || main->Link().InBuffer().Buffer().endsWith(split.right(2));
        });
    dock.setSplit(8, 450);
    dock.sendButton("ABCDEF");
    QTRY_VERIFY_WITH_TIMEOUT(tailArrived && main->Link().InBuffer().size() == 0, 3000);
    disconnect(arrivals);
    QCOMPARE(id->text(), QString("00A1B2"));
    dock.setSplit(0, 0);

    // A typed ID gets the same verdicts.
    for (const QString& typed : {QString("00a1b2"), QString("0000f1")}) {
        OnModal<frmManualID>([typed](frmManualID* manual) {
            QTest::keyClicks(Child<QLineEdit>(manual, "txtID"), typed);
            Child<QPushButton>(manual, "cmdOK")->click();
        });
        Child<QPushButton>(dialog.get(), "cmdManual")->click();
        QCOMPARE(id->text(), typed.toUpper());
        QCOMPARE(ok->isEnabled(), typed == "0000f1");
        QCOMPARE(message->isVisible(), typed == "00a1b2");
    }
    QCOMPARE(dialog->DallasID(), QString("0000F1"));

    typeInto(Child<QLineEdit>(dialog.get(), "txtName"), " Post 3 ");
    typeInto(Child<QLineEdit>(dialog.get(), "txtDesc"), "Back door");
    ok->click();
    QVERIFY(boxes->boxes.isEmpty());
    QVERIFY(dialog->OK());
    QCOMPARE(dialog->ButtonName(), QString(" Post 3 "));
    QCOMPARE(dialog->Desc(), QString("Back door"));
    QCOMPARE(dialog->DallasID(), QString("0000F1"));
    QVERIFY(buttonsOf(site).isEmpty()); // the caller writes the button

    // Closed, the dialog keeps nothing more from the line: the key's bytes are read off the
    // port and dropped.
    QVERIFY(!gReceiveEnabled);
    QSignalSpy read(&main->Link().comPort(), &QSerialPort::readyRead);
    dock.sendButton("0000F2");
    QTRY_VERIFY(!dock.outputPending() && read.count() > 0 &&
                main->Link().comPort().bytesAvailable() == 0);
    QCOMPARE(main->Link().InBuffer().size(), 0);
}

void tst_groups::groupEditor_data() {
    QTest::addColumn<bool>("closeButton"); // else the window frame
    QTest::newRow("closed with Close") << true;
    QTest::newRow("closed by its frame") << false;
}

void tst_groups::groupEditor() {
    QFETCH(bool, closeButton);
    const qint64 site = addGroup("North Gate", "Gate house", 1);
    addGroup("South Gate", "", 1);
    addButton(site, "12AB3F", "Gate 1", "Left post");
    addButton(site, "00C0DE", "yard");
    addButton(addGroup("Incidents", "", 2), "00A1B2", "Fire");
    SimulatedDock dock;
    openSetup();
    selectRow("North Gate");

    bool ran = false;
    OnModal<frmListEdit>([&](frmListEdit* editor) {
        auto* list = Child<QTreeWidget>(editor, "lvwItems");
        auto* name = Child<QLineEdit>(editor, "txtName");
        QCOMPARE(editor->windowTitle(), QString("Edit Site"));
        QCOMPARE(name->text(), QString("North Gate"));
        QCOMPARE(Child<QLineEdit>(editor, "txtDesc")->text(), QString("Gate house"));
        QCOMPARE(listRows(list), (QStringList{"12AB3F|Gate 1|Left post", "00C0DE|yard|"}));
        QCOMPARE(list->currentItem()->text(1), QString("Gate 1"));
        QVERIFY(Child<QPushButton>(editor, "cmdSetup_1")->isEnabled());

        // A name typed before a button is added stays typed.
        typeInto(name, "North Gate East");
        OnModal<frmAddButton>([&](frmAddButton* add) {
            QCOMPARE(add->windowTitle(), QString("Add New Location"));
            dock.sendButton("00A1B2"); // another group's key
            QTRY_VERIFY(Child<QLabel>(add, "lblMsg")->isVisible());
            dock.sendButton("0000F1");
            QTRY_VERIFY(Child<QPushButton>(add, "cmdOK")->isEnabled());
            typeInto(Child<QLineEdit>(add, "txtName"), "Gate 1"); // used in this group
            Child<QPushButton>(add, "cmdOK")->click();
            typeInto(Child<QLineEdit>(add, "txtName"), " Post 3 ");
            Child<QPushButton>(add, "cmdOK")->click();
        });
        Child<QPushButton>(editor, "cmdSetup_1")->click();
        QCOMPARE(buttonsOf(site),
                 (QStringList{"12AB3F|Gate 1|Left post", "00C0DE|yard|", "0000F1| Post 3 |"}));
        QCOMPARE(listRows(list),
                 (QStringList{"0000F1| Post 3 |", "12AB3F|Gate 1|Left post", "00C0DE|yard|"}));
        QCOMPARE(name->text(), QString("North Gate East"));

        // Renamed: the editor of a button gets the group's kind.
        list->setCurrentItem(list->topLevelItem(2));
        OnModal<frmEditButton>([](frmEditButton* edit) {
            QCOMPARE(edit->windowTitle(), QString("Add New Location"));
            QCOMPARE(Child<QLineEdit>(edit, "txtName")->text(), QString("yard"));
            typeInto(Child<QLineEdit>(edit, "txtName"), "Yard West");
            typeInto(Child<QLineEdit>(edit, "txtDesc"), "by the bins");
            Child<QPushButton>(edit, "cmdOK")->click();
        });
        const QPoint row3 = list->visualItemRect(list->topLevelItem(2)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row3);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, row3);
        QCOMPARE(buttonsOf(site).at(1), QString("00C0DE|Yard West|by the bins"));

        // Only Yes deletes; the Delete key deletes a button only from the list.
        list->setCurrentItem(list->findItems("12AB3F", Qt::MatchExactly).first());
        boxes->answers = {Boxes::AnswerNo, Boxes::AnswerCancel};
        Child<QPushButton>(editor, "cmdSetup_2")->click();
        Child<QPushButton>(editor, "cmdSetup_2")->click();
        QCOMPARE(buttonsOf(site).size(), 3);
        name->setFocus();
        name->setCursorPosition(0);
        QTest::keyClick(name, Qt::Key_Delete);
        QCOMPARE(name->text(), QString("orth Gate East"));
        QCOMPARE(boxes->boxes.size(), 3); // the used name, then the two questions
        list->setFocus();
        list->setCurrentItem(list->findItems("12AB3F", Qt::MatchExactly).first());
        boxes->answers = {Boxes::AnswerYes};
        QTest::keyClick(list, Qt::Key_Delete);
        QCOMPARE(boxes->texts().mid(1),
                 QStringList(3, "Are you sure you want to delete this item?"));
        QCOMPARE(buttonsOf(site),
                 (QStringList{"00C0DE|Yard West|by the bins", "0000F1| Post 3 |"}));
        QCOMPARE(list->topLevelItemCount(), 2);
        QCOMPARE(list->currentItem(), list->topLevelItem(0));

        typeInto(name, " North ");
        if (closeButton)
            Child<QPushButton>(editor, "cmdOK")->click();
        else
            editor->close();
        ran = true;
    });
    Child<QPushButton>(page(), "cmdSetup_0")->click();
    QVERIFY(ran);
    QCOMPARE(boxes->texts().first(),
             QString("That name is already used.  Please enter another name"));

    // The buttons stay whatever the editor ends with; the group's row only on Close.
    QCOMPARE(buttonsOf(site).size(), 2);
    QCOMPARE(groupRow(site),
             closeButton ? QString("North|Gate house") : QString("North Gate|Gate house"));
    auto* list = Child<QTreeWidget>(page(), "lvwProgram");
    QCOMPARE(list->currentItem()->text(0), closeButton ? QString("North") : QString("North Gate"));
}

void tst_groups::addNeedsTheDock() {
    const qint64 site = addGroup("North Gate", "", 1);
    openSetup();
    QVERIFY(!gDocked);
    selectRow("North Gate");
    OnModal<frmListEdit>([&](frmListEdit* editor) {
        auto* add = Child<QPushButton>(editor, "cmdSetup_1");
        QVERIFY(!add->isEnabled());
        QVERIFY(!Child<QPushButton>(editor, "cmdSetup_0")->isEnabled()); // no button yet
        QVERIFY(!Child<QPushButton>(editor, "cmdSetup_2")->isEnabled());
        // A docking station that answers later does not enable it while the editor is open.
        gDocked = true;
        editor->DoAddItem();
        QVERIFY(!add->isEnabled());
        QVERIFY(!QApplication::activeModalWidget() || QApplication::activeModalWidget() == editor);
        Child<QPushButton>(editor, "cmdOK")->click();
    });
    Child<QPushButton>(page(), "cmdSetup_0")->click();
    QVERIFY(buttonsOf(site).isEmpty());
}

void tst_groups::refusedCodeIsReported() {
    const qint64 site = addGroup("North Gate", "", 1);
    const qint64 other = addGroup("South Gate", "", 1);
    addButton(site, "12AB3F", "Gate 1");
    gDocked = true; // keys typed: no line needed
    cSerialLink link;
    frmListEdit editor(link);
    editor.setID(site);
    editor.setItemType(1);
    editor.setListName("North Gate");
    editor.setExistingNames({"North Gate", "South Gate"});
    editor.Update();
    editor.show();
    OnModal<frmAddButton>([&](frmAddButton* add) {
        OnModal<frmManualID>([](frmManualID* manual) {
            QTest::keyClicks(Child<QLineEdit>(manual, "txtID"), "0000F1");
            Child<QPushButton>(manual, "cmdOK")->click();
        });
        Child<QPushButton>(add, "cmdManual")->click();
        QVERIFY(Child<QPushButton>(add, "cmdOK")->isEnabled());
        addButton(other, "0000F1", "Stored meanwhile"); // another writer was quicker
        typeInto(Child<QLineEdit>(add, "txtName"), "Post 3");
        Child<QPushButton>(add, "cmdOK")->click();
    });
    Child<QPushButton>(&editor, "cmdSetup_1")->click();

    QCOMPARE(boxes->boxes.size(), 1);
    QVERIFY2(boxes->texts().first().contains("SaveNewButton of Form frmListEdit"),
             qPrintable(boxes->texts().first()));
    QVERIFY(home->errorLog().contains("in SaveNewButton of Form frmListEdit"));
    QVERIFY(editor.isVisible());
    QCOMPARE(listRows(Child<QTreeWidget>(&editor, "lvwItems")), QStringList{"12AB3F|Gate 1|"});
    QCOMPARE(buttonsOf(other), QStringList{"0000F1|Stored meanwhile|"});
}

void tst_groups::buttonsAtTheLimitsShowWhole_data() {
    QTest::addColumn<int>("language");
    QTest::newRow("English") << 0;
    QTest::newRow("German") << 2;
}

// The group editor as it opens: a key's ID of its widest digits, a name of 25 characters and
// a description of 50 (over more lines) show whole, every heading too.
void tst_groups::buttonsAtTheLimitsShowWhole() {
    QFETCH(int, language);
    gTranslator->language = language;
    gTranslator->Open();
    const qint64 site = addGroup("Warehouse West Main Gates", "", 1);
    gConn->Insert("INSERT INTO tblButtons (lParentID, tButtonCode, tButtonName, tButtonDesc) "
                  "VALUES (?, 'D8D0DB', 'Mower Workshop Window M12', ?)",
                  {site, "Walk the west warehouse and the main gate at night"});
    cSerialLink link;
    frmListEdit editor(link);
    editor.setID(site);
    editor.setItemType(1);
    editor.setListName("Warehouse West Main Gates");
    editor.Update();
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    auto* list = Child<QTreeWidget>(&editor, "lvwItems");
    QCOMPARE(list->topLevelItemCount(), 1);
    QTRY_VERIFY(Wrapped(list, list->model()->index(0, 2)));
    QCOMPARE(FirstCutCell(list), QString());
    QCOMPARE(HeadingsOrWidthCut(list), QString());
}

TREVANO_TEST_MAIN(tst_groups)
#include "tst_groups.moc"
