// Settings, translation, date texts and the error log.
#include "AppError.h"
#include "BusyPointer.h"
#include "Settings.h"
#include "ShownWhole.h"
#include "TestHome.h"
#include "TextLimit.h"
#include "Translator.h"
#include "WorkProgress.h"
#include "mErrorHandler.h"
#include "mSupport.h"

#include <QCursor>
#include <QFile>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QSettings>
#include <QVBoxLayout>
#include <QtTest>

class tst_platform : public QObject {
    Q_OBJECT
private slots:
    void settingsRoundTrip_data();
    void settingsRoundTrip();
    void settingsFallBackToDefaults();
    void settingsDamage_data();
    void settingsDamage();
    void languageNumbers_data();
    void languageNumbers();
    void formatStr_data();
    void formatStr();
    void sqlDateTexts_data();
    void sqlDateTexts();
    void errorLogLines();
    void codePointLimit_data();
    void codePointLimit();
    void formBoxesShowTheirLimitWhole_data();
    void formBoxesShowTheirLimitWhole();
    void busyPointerEndsWithItsScope();
    void progressDialogHasOneOwner();
};

void tst_platform::settingsRoundTrip_data() {
    QTest::addColumn<QString>("value");
    QTest::newRow("plain") << "ACME Security";
    QTest::newRow("blanks kept") << "  ACME, Inc.  ";
    QTest::newRow("comma and quote") << "a,b \"c\"";
    QTest::newRow("empty") << "";
    QTest::newRow("non-ASCII") << "Überwachung GmbH";
    QTest::newRow("line break and backslash") << "North\nGate \\ 2";
    QTest::newRow("equals and semicolon") << "a=b; c";
    QTest::newRow("starts like a section") << "[night]";
}

void tst_platform::settingsRoundTrip() {
    TestHome home(false);
    QFETCH(QString, value);
    Settings::SaveSetting("Properties", "CompanyInfo1", value);
    QCOMPARE(Settings::GetSetting("Properties", "CompanyInfo1", "default"), value);
    Settings::SaveBool("Properties", "AutoSetTime", false);
    QCOMPARE(Settings::GetSetting("Properties", "AutoSetTime"), QString("False"));
    QVERIFY(Settings::FileName().startsWith(home.file("config")));
    // The store's own file is never taken for a damaged one.
    QFile file(Settings::FileName());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(Settings::DamageIn(file.readAll()), QString());
}

void tst_platform::settingsFallBackToDefaults() {
    TestHome home(false);
    {
        QSettings raw(QSettings::IniFormat, QSettings::UserScope, "Trevano Lite", "Trevano Lite");
        raw.setValue("Properties/Language", "Deutsch");
        raw.setValue("Info/LastLogin", "");
        raw.setValue("Properties/AutoSetTime", "yes please");
        raw.setValue("Settings/Maximized", "TRUE");
    }
    QCOMPARE(Settings::GetInt("Properties", "Language", -1), -1);
    QCOMPARE(Settings::GetInt("Info", "LastLogin", 1), 1);
    QCOMPARE(Settings::GetBool("Properties", "AutoSetTime", true), true);
    QCOMPARE(Settings::GetBool("Settings", "Maximized", false), true);
    QCOMPARE(Settings::GetSetting("Settings", "Missing", "6690"), QString("6690"));
}

void tst_platform::settingsDamage_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("why"); // empty: a sound settings file
    QTest::newRow("empty") << QByteArray() << "";
    QTest::newRow("hand-edited: mark, CRLF, comments, blanks")
        << QByteArray("\xEF\xBB\xBF; mine\r\n[Info]\r\n LastLogin = 1\r\n# old\r\n\r\n") << "";
    QTest::newRow("continued line") << QByteArray("[Properties]\nCompanyInfo1=a\\\n b\n") << "";
    QTest::newRow("NUL bytes of a power loss") << QByteArray(300, '\0') << "it holds NUL bytes";
    QTest::newRow("NUL bytes after sound lines")
        << QByteArray("[Info]\nLastLogin=1\n") + QByteArray(40, '\0') << "it holds NUL bytes";
    QTest::newRow("binary junk") << QByteArray("\x89PNG\r\n\x1a\n") << "it is not UTF-8 text";
    QTest::newRow("Latin-1 text") << QByteArray("[Properties]\nCompanyInfo1=Caf\xe9\n")
                                  << "it is not UTF-8 text";
    QTest::newRow("unclosed section") << QByteArray("[Info]\nLastLogin=1\n[Properties\nLanguage=2")
                                      << "line 3 is neither a section nor a setting";
    QTest::newRow("words without a value")
        << QByteArray("[Info]\nhello world\n") << "line 2 is neither a section nor a setting";
    QTest::newRow("value without a key")
        << QByteArray("=1\n") << "line 1 is neither a section nor a setting";
}

void tst_platform::settingsDamage() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, why);
    QCOMPARE(Settings::DamageIn(bytes), why);
}

void tst_platform::languageNumbers_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<bool>("withFile");
    QTest::addColumn<bool>("opens");
    QTest::addColumn<QString>("yes");
    QTest::addColumn<QString>("englishName");
    QTest::newRow("0 English") << 0 << true << true << "&Yes"
                               << "English";
    QTest::newRow("1 English without a file") << 1 << false << true << "&Yes"
                                              << "English";
    QTest::newRow("2 German") << 2 << true << true << "&Ja"
                              << "German";
    QTest::newRow("2 German without a file") << 2 << false << false << "&Yes"
                                             << "Language 2";
    QTest::newRow("7 unknown") << 7 << true << false << "&Yes"
                               << "Language 7";
    QTest::newRow("-1 system, C locale") << -1 << true << true << "&Yes"
                                         << "System default";
}

void tst_platform::languageNumbers() {
    QFETCH(int, language);
    QFETCH(bool, withFile);
    QFETCH(bool, opens);
    QFETCH(QString, yes);
    QFETCH(QString, englishName);
    TestHome home(false);
    Translator t;
    t.FileName = withFile ? home.file("QX7.MLD") : home.file("missing.MLD");
    t.language = language;
    bool opened = true;
    try {
        t.Open();
    } catch (const AppError&) {
        opened = false;
    }
    QCOMPARE(opened, opens);
    QCOMPARE(t.Translate("&Yes"), yes);
    QCOMPARE(t.EnglishName(language), englishName);
}

void tst_platform::formatStr_data() {
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<QString>("expected");
    QTest::newRow("version line") << "%0:s - Version %1:s"
                                  << QStringList{"TK-22 Trevano Reports", "1.00"}
                                  << "TK-22 Trevano Reports - Version 1.00";
    QTest::newRow("values are not substituted again")
        << "%0:s - %1:s" << QStringList{"A%1:s", "B"} << "A%1:s - B";
    QTest::newRow("order follows the numbers") << "%1:s/%0:s" << QStringList{"x", "y"} << "y/x";
    QTest::newRow("missing value stays") << "%0:s %2:s" << QStringList{"x"} << "x %2:s";
    QTest::newRow("percent alone") << "100% %0:s" << QStringList{"done"} << "100% done";
}

void tst_platform::formatStr() {
    QFETCH(QString, pattern);
    QFETCH(QStringList, values);
    QFETCH(QString, expected);
    QCOMPARE(Translator::FormatStr(pattern, values), expected);
}

void tst_platform::sqlDateTexts_data() {
    QTest::addColumn<QDateTime>("moment");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("dateTime");
    QTest::newRow("midnight") << QDateTime(QDate(2009, 3, 1), QTime(0, 0)) << "2009-03-01"
                              << "2009-03-01 00:00:00";
    QTest::newRow("last second") << QDateTime(QDate(2008, 5, 4), QTime(23, 59, 59)) << "2008-05-04"
                                 << "2008-05-04 23:59:59";
    QTest::newRow("afternoon") << QDateTime(QDate(2008, 5, 4), QTime(13, 5, 9)) << "2008-05-04"
                               << "2008-05-04 13:05:09";
}

void tst_platform::sqlDateTexts() {
    QFETCH(QDateTime, moment);
    QFETCH(QString, date);
    QFETCH(QString, dateTime);
    QCOMPARE(SqlDateFmt(moment.date()), date);
    QCOMPARE(SqlDateTimeFmt(moment), dateTime);
    QCOMPARE(ParseSqlDateTime(dateTime), moment);
    // Text order is time order only when every moment has all 19 characters.
    QVERIFY(SqlDateTimeFmt(moment) < SqlDateTimeFmt(moment.addSecs(1)));
}

void tst_platform::errorLogLines() {
    TestHome home(false);
    BoxRecorder boxes;
    HandleError("Test of Module tst", AppError(19, "constraint failed\r\nsecond line"), false);
    LogError("Logged in as user type = 1");
    QVERIFY(boxes.boxes.isEmpty());
    QVERIFY2(!home.errorLog().contains('\r'), "every line of the log ends with LF alone");
    const QStringList lines = home.errorLog().split('\n');
    QCOMPARE(lines.size(), 4); // the description's line break stays, then the last LF
    QVERIFY(
        QRegularExpression(
            "^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\tError 19 in Test of Module tst\t\\(constraint failed$")
            .match(lines.at(0))
            .hasMatch());
    QCOMPARE(lines.at(1), QString("second line)"));
    QVERIFY(lines.at(2).endsWith("\tLogged in as user type = 1"));

    HandleError("Shown of Module tst", AppError(5, "Invalid call"));
    QCOMPARE(boxes.boxes.size(), 1);
    QCOMPARE(boxes.boxes.first().title, QString("Error"));
    QVERIFY(boxes.boxes.first().text.startsWith(
        "Error 5 in Shown of Module tst\r\nwhile running tst_platform v1.00.0\r\n\r\n"
        "Error = 'Invalid call'\r\n"));
}

// A limit counts characters, never cuts a surrogate pair, and takes the excess from what was
// just typed or pasted.
void tst_platform::codePointLimit_data() {
    const QString smile = QString::fromUtf8("\xF0\x9F\x98\x80"); // one character, two units
    QTest::addColumn<int>("limit");
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("cursor");
    QTest::addColumn<QString>("inserted");
    QTest::addColumn<QString>("after");
    QTest::addColumn<int>("cursorAfter");
    QTest::newRow("typed past the limit") << 4 << "abcd" << 4 << "e"
                                          << "abcd" << 4;
    QTest::newRow("a pair as the last character") << 4 << "abc" << 3 << smile << "abc" + smile << 5;
    QTest::newRow("a pair past the limit goes whole") << 4 << "abcd" << 4 << smile << "abcd" << 4;
    QTest::newRow("pasted pairs cut between two")
        << 4 << "ab" << 2 << smile + smile + smile << "ab" + smile + smile << 6;
    QTest::newRow("paste in the middle loses its end") << 6 << "abcd" << 2 << "XY" + smile + "Z"
                                                       << "abXYcd" << 4;
    QTest::newRow("set as a whole loses its end")
        << 4 << "" << -1 << "abc" + smile + smile << "abc" + smile << 5;
}

void tst_platform::codePointLimit() {
    QFETCH(int, limit);
    QFETCH(QString, before);
    QFETCH(int, cursor);
    QFETCH(QString, inserted);
    QFETCH(QString, after);
    QFETCH(int, cursorAfter);
    QLineEdit edit;
    LimitCodePoints(&edit, limit);
    edit.setText(before);
    if (cursor < 0) {
        edit.setText(inserted);
    } else {
        edit.setCursorPosition(cursor);
        edit.insert(inserted); // as typing and pasting do
    }
    QCOMPARE(edit.text(), after);
    QCOMPARE(edit.cursorPosition(), cursorAfter);
    QVERIFY(CodePointCount(edit.text()) <= limit);

    // A form's own limit becomes the same code-point limit.
    QWidget form;
    auto* name = new QLineEdit(&form);
    name->setMaxLength(limit);
    LimitCodePointsOfForm(&form);
    name->setText(before);
    if (cursor < 0) {
        name->setText(inserted);
    } else {
        name->setCursorPosition(cursor);
        name->insert(inserted);
    }
    QCOMPARE(name->text(), after);
}

void tst_platform::formBoxesShowTheirLimitWhole_data() {
    QTest::addColumn<int>("limit");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("pointSize"); // 0: the application's font
    QTest::addColumn<int>("least");     // the box's own minimum width
    QTest::newRow("name") << 25 << QString::fromUtf8("Wachschutz Müller, Tor 12") << 0 << 0;
    QTest::newRow("company line") << 50
                                  << QString::fromUtf8(
                                         "Sicherheitsdienst Müller & Söhne GmbH, Hauptstr. 1")
                                  << 0 << 0;
    QTest::newRow("digits and capitals")
        << 50 << QString::fromUtf8("Notruf 0800 123 45 67, Zentrale: 040 987 654 32 10") << 0 << 0;
    QTest::newRow("larger font of the box")
        << 50 << QString::fromUtf8("Wachschutz Nord GmbH & Co. KG, Industriestraße 147") << 16 << 0;
    QTest::newRow("box with a width of its own")
        << 25 << QString::fromUtf8("Wachschutz Müller, Tor 12") << 0 << 900;
}

// A form's box is wide enough at the form's first size for a text at its length limit.
void tst_platform::formBoxesShowTheirLimitWhole() {
    QFETCH(int, limit);
    QFETCH(QString, text);
    QFETCH(int, pointSize);
    QFETCH(int, least);
    QWidget form;
    auto* layout = new QVBoxLayout(&form);
    auto* edit = new QLineEdit(&form);
    layout->addWidget(edit);
    edit->setMaxLength(limit);
    if (pointSize > 0) {
        QFont font = edit->font();
        font.setPointSize(pointSize);
        edit->setFont(font);
    }
    edit->setMinimumWidth(least);
    LimitCodePointsOfForm(&form);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QVERIFY2(ShowsWhole(edit, text), qPrintable(QString::number(edit->width())));
    QCOMPARE(edit->text(), text);
    QVERIFY(edit->minimumWidth() >= least);
}

// The hourglass goes with the scope that showed it, a failure included, and an arrow shown over
// it for a box gives it back afterwards.
void tst_platform::busyPointerEndsWithItsScope() {
    auto shape = [] {
        return QApplication::overrideCursor() ? QApplication::overrideCursor()->shape()
                                              : Qt::BitmapCursor; // none
    };
    try {
        const BusyPointer outer;
        {
            const BusyPointer arrow(Qt::ArrowCursor);
            QCOMPARE(shape(), Qt::ArrowCursor);
        }
        QCOMPARE(shape(), Qt::WaitCursor);
        BusyPointer inner;
        inner.Release();
        inner.Release(); // a second release takes nothing of the outer guard
        QCOMPARE(shape(), Qt::WaitCursor);
        throw AppError(AppError::InvalidCall, "failed while busy");
    } catch (const AppError&) {
    }
    QVERIFY(!QApplication::overrideCursor());
}

// The progress dialog goes exactly once, whether its window or the work ends first; its
// Cancel stops the work only while the work may stop.
void tst_platform::progressDialogHasOneOwner() {
    auto* window = new QWidget;
    {
        WorkProgress progress({"Work", "Text", "Cancel"}, window);
        auto* dialog = window->findChild<QProgressDialog*>("dlgWorkProgress");
        QVERIFY(dialog && dialog->isVisible());
        progress.SetCancellable(false);
        QTest::keyClick(dialog, Qt::Key_Escape);
        QVERIFY(progress.Step(1));
        progress.SetCancellable(true);
        dialog->findChild<QPushButton*>("cmdCancel")->click();
        QVERIFY(!progress.Step(2));
        QVERIFY(progress.Cancelled());
    }
    QVERIFY(!window->findChild<QProgressDialog*>());
    {
        WorkProgress progress({"Work", "Text", "Cancel"}, window);
        delete window; // the window goes first, with its dialog
        QVERIFY(progress.Step(1));
    }
}

QTEST_MAIN(tst_platform)
#include "tst_platform.moc"
