// The login rules, the login window's four attempts and the password dialog.
#include "Settings.h"
#include "TestHome.h"
#include "frmLogin.h"
#include "frmUserMaintenance.h"
#include "mGlobals.h"
#include "mOperators.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

namespace {

// Row values of the int columns: the operators' numbers.
constexpr int kNone = Operator::None, kMaster = Operator::Master, kUser = Operator::User;

QVariant storedPassword(const QString& name) {
    const DbRows rows =
        gConn->Query("SELECT Password FROM tblOperators WHERE LoginName = ?", {name});
    return rows.isEmpty() ? QVariant(QStringLiteral("<no row>")) : rows.first().value("Password");
}

} // namespace

class tst_login : public QObject {
    Q_OBJECT
private slots:
    void checkOperator_data();
    void checkOperator();
    void missingRowFailsOnceAndIsAdded();
    void fourthFailureEndsTheLogin();
    void enterIsOneAttempt();
    void longPasswordEndingInAPair();
    void cancelAbandons();
    void passwordDialog_data();
    void passwordDialog();
};

void tst_login::checkOperator_data() {
    QTest::addColumn<int>("userType");
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("result");
    QTest::newRow("master, delivered") << kMaster << QVariant("master") << "master" << kMaster;
    QTest::newRow("case never matters") << kMaster << QVariant("Secret") << "sECRET" << kMaster;
    QTest::newRow("typed blanks ignored") << kUser << QVariant("user") << "  user  " << kUser;
    QTest::newRow("wrong password") << kUser << QVariant("user") << "master" << kNone;
    QTest::newRow("empty stored, blank typed") << kMaster << QVariant("") << "   " << kMaster;
    QTest::newRow("null stored, empty typed") << kMaster << QVariant() << "" << kMaster;
    QTest::newRow("stored blank never matches") << kMaster << QVariant(" pw") << " pw" << kNone;
}

void tst_login::checkOperator() {
    QFETCH(int, userType);
    QFETCH(QVariant, stored);
    QFETCH(QString, typed);
    QFETCH(int, result);
    TestHome home;
    home.openGlobals();
    gConn->Execute("UPDATE tblOperators SET Password = ? WHERE LoginName = ?",
                   {stored, OperatorLoginName(userType)});
    Settings::SaveSetting("Info", "LastLogin", "9");
    QCOMPARE(CheckOperator(userType, NormalisedLoginEntry(typed)), result);
    // The choice is recorded whenever the row exists, before the password is compared.
    QCOMPARE(Settings::GetSetting("Info", "LastLogin"), QString::number(userType));
}

void tst_login::missingRowFailsOnceAndIsAdded() {
    TestHome home;
    home.openGlobals();
    gConn->Execute("DELETE FROM tblOperators WHERE LoginName = 'USER'");
    QCOMPARE(CheckOperator(Operator::User, "USER"), Operator::None);
    QCOMPARE(storedPassword("USER").toString(), QString("user"));
    QCOMPARE(CheckOperator(Operator::User, "USER"), Operator::User);
}

void tst_login::fourthFailureEndsTheLogin() {
    TestHome home;
    home.openGlobals();
    Settings::SaveSetting("Info", "LastLogin", "2");
    BoxRecorder boxes;
    frmLogin login;
    QVERIFY(login.findChild<QRadioButton*>("optUser_1")->isChecked());
    QCOMPARE(login.findChild<QRadioButton*>("optUser_0")->text(), QString("&Master"));
    auto* password = login.findChild<QLineEdit*>("txtEnteredPassword");
    QCOMPARE(password->echoMode(), QLineEdit::Password);
    bool finished = false;
    connect(&login, &QDialog::finished, this, [&] { finished = true; });
    login.show();
    for (int attempt = 1; attempt <= 4; ++attempt) {
        QVERIFY(!finished);
        password->setText("wrong");
        login.findChild<QPushButton*>("cmdOK")->click();
    }
    QVERIFY(finished);
    QCOMPARE(login.LoginResult(), 0);
    QCOMPARE(boxes.texts(),
             (QStringList{"The User Name / Password are incorrect. Please try again.",
                          "The User Name / Password are incorrect. Please try again.",
                          "The User Name / Password are incorrect. Please try again.",
                          "You could not be logged in.  Closing the program now."}));
    QCOMPARE(boxes.boxes.last().title, QString("Trevano Lite"));
    QCOMPARE(boxes.boxes.last().icon, Boxes::Icon::Critical);
}

// Enter in the password box is the same one attempt as OK.
void tst_login::enterIsOneAttempt() {
    TestHome home;
    home.openGlobals();
    BoxRecorder boxes;
    frmLogin login;
    login.show();
    QVERIFY(QTest::qWaitForWindowActive(&login));
    auto* password = login.findChild<QLineEdit*>("txtEnteredPassword");
    QTRY_VERIFY(password->hasFocus());
    QTest::keyClicks(password, "wrong");
    QTest::keyClick(password, Qt::Key_Return);
    QCOMPARE(boxes.texts(),
             QStringList{"The User Name / Password are incorrect. Please try again."});
    QVERIFY(login.isVisible());
    password->setText("Master");
    QTest::keyClick(password, Qt::Key_Enter);
    QCOMPARE(login.result(), int(QDialog::Accepted));
    QCOMPARE(login.LoginResult(), 1);
    QCOMPARE(boxes.boxes.size(), 1);
}

// A 16-character password that ends in a character outside the basic plane is stored whole
// and typed whole at the login.
void tst_login::longPasswordEndingInAPair() {
    TestHome home;
    home.openGlobals();
    const QString password = QString(15, 'k') + QString::fromUtf8("\xF0\x9F\x94\x91");
    frmUserMaintenance dialog;
    dialog.FormStart(1);
    dialog.show();
    for (const char* box : {"txtPassword", "txtRetypePassword"})
        dialog.findChild<QLineEdit*>(box)->insert(password + "extra");
    dialog.findChild<QPushButton*>("cmdOK")->click();
    QCOMPARE(storedPassword("MASTER").toString(), password);

    BoxRecorder boxes;
    frmLogin login;
    login.findChild<QRadioButton*>("optUser_0")->setChecked(true);
    login.show();
    login.findChild<QLineEdit*>("txtEnteredPassword")->insert(password);
    login.findChild<QPushButton*>("cmdOK")->click();
    QCOMPARE(login.LoginResult(), 1);
    QVERIFY(boxes.boxes.isEmpty());
}

void tst_login::cancelAbandons() {
    TestHome home;
    home.openGlobals();
    frmLogin login;
    login.show();
    login.findChild<QLineEdit*>("txtEnteredPassword")->setText("master");
    login.findChild<QPushButton*>("cmdCancel")->click();
    QCOMPARE(login.LoginResult(), 0);
    QCOMPARE(home.errorLog(), QString());
}

void tst_login::passwordDialog_data() {
    QTest::addColumn<int>("userType");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<QString>("stored");
    QTest::newRow("new master password") << kMaster << "Night Shift"
                                         << "Night Shift" << true << "Night Shift";
    QTest::newRow("letter case must match") << kUser << "abc"
                                            << "ABC" << false << "user";
    QTest::newRow("stored trimmed, so it can be typed") << kMaster << " pw "
                                                        << " pw " << true << "pw";
    QTest::newRow("empty twice") << kUser << ""
                                 << "" << true << "";
}

void tst_login::passwordDialog() {
    QFETCH(int, userType);
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(bool, closes);
    QFETCH(QString, stored);
    TestHome home;
    home.openGlobals();
    BoxRecorder boxes;
    frmUserMaintenance dialog;
    dialog.FormStart(userType);
    QCOMPARE(dialog.windowTitle(),
             QString("User Maintenance - ") + (userType == Operator::Master ? "Master" : "User"));
    dialog.show();
    dialog.findChild<QLineEdit*>("txtPassword")->setText(first);
    dialog.findChild<QLineEdit*>("txtRetypePassword")->setText(second);
    dialog.findChild<QPushButton*>("cmdOK")->click();
    QCOMPARE(dialog.result() == QDialog::Accepted, closes);
    QCOMPARE(boxes.texts(),
             closes ? QStringList() : QStringList{"The passwords do not match, please re-enter"});
    QCOMPARE(storedPassword(OperatorLoginName(userType)).toString(), stored);
    if (closes)
        QCOMPARE(CheckOperator(userType, NormalisedLoginEntry(first)), userType);
}

QTEST_MAIN(tst_login)
#include "tst_login.moc"
