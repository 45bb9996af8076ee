// The install puts the program's own files into the program folder and nothing else: what the
// program wrote there and the user's database stay as they are.
#include "TestHome.h"

#include <QCryptographicHash>
#include <QProcess>
#include <QSettings>
#include <QtTest>

namespace {

// The install writes the desktop entry under the data home of the environment given; the
// tests' own home is never touched.
QString install(const QString& prefix, const QProcessEnvironment& environment) {
    QProcess cmake;
    cmake.setProcessEnvironment(environment);
    cmake.start(QStringLiteral(TREVANO_CMAKE),
                {"--install", QStringLiteral(TREVANO_BINARY_DIR), "--prefix", prefix});
    if (!cmake.waitForFinished(30000) || cmake.exitCode() != 0)
        return QString::fromUtf8(cmake.readAllStandardError() + cmake.readAllStandardOutput());
    return QString();
}

QProcessEnvironment withDataHome(const QString& home, const QString& dataHome) {
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    e.insert("HOME", home);
    if (dataHome.isEmpty())
        e.remove("XDG_DATA_HOME");
    else
        e.insert("XDG_DATA_HOME", dataHome);
    return e;
}

// The program an Exec line starts: its first argument, quoted as desktop entries quote.
QString execProgram(const QString& execLine) {
    QString text = execLine;
    text.replace("\\\\", "\\"); // the file's string escape comes first
    if (!text.startsWith('"'))
        return text.section(' ', 0, 0);
    QString program;
    for (int i = 1; i < text.size() && text.at(i) != '"'; ++i) {
        if (text.at(i) == '\\' && i + 1 < text.size())
            ++i;
        program += text.at(i);
    }
    return program.replace("%%", "%");
}

QByteArray content(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void write(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

} // namespace

class tst_install : public QObject {
    Q_OBJECT
private slots:
    void programFilesOnly();
    void desktopEntry_data();
    void desktopEntry();
    void desktopEntryOfTheUserStays();
};

void tst_install::programFilesOnly() {
    QTemporaryDir prefix, home;
    const QDir folder(prefix.path());
    const QProcessEnvironment environment = withDataHome(home.path(), home.filePath("data"));
    const QString error = install(prefix.path(), environment);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    const QStringList programFiles{"QX7.MLD",   "QX7_ENG.html", "contact.bmp",
                                   "login.bmp", "main.mdb",     "trevano"};
    QCOMPARE(folder.entryList(QDir::Files | QDir::Hidden, QDir::Name), programFiles);
    QVERIFY(QFileInfo(folder.filePath("trevano")).isExecutable());
    QCOMPARE(QFileInfo(folder.filePath("main.mdb")).permissions() &
                 (QFile::ReadOther | QFile::WriteOther | QFile::ReadGroup | QFile::WriteGroup),
             QFile::Permissions());

    // A folder in use: the user's data and what the program wrote, and an older dictionary.
    const QMap<QString, QByteArray> kept{{"main.mdb", "the user's touches"},
                                         {"error.log", "2026-01-01 10:00:00\tline\n"},
                                         {"trevano.lock", "4711\ntrevano\nhost\n"},
                                         {"Archive2025-01-01_to_2025-01-31.csv", "\"Date\"\r\n"},
                                         {"temp.mdb", "left over"}};
    for (auto it = kept.begin(); it != kept.end(); ++it)
        write(folder.filePath(it.key()), it.value());
    write(folder.filePath("QX7.MLD"), "an older dictionary");
    QVERIFY(install(prefix.path(), environment).isEmpty());
    for (auto it = kept.begin(); it != kept.end(); ++it)
        QCOMPARE(content(folder.filePath(it.key())), it.value());
    QCOMPARE(content(folder.filePath("QX7.MLD")),
             content(QStringLiteral(TREVANO_SOURCE_DIR "/data/QX7.MLD")));
}

void tst_install::desktopEntry_data() {
    QTest::addColumn<bool>("xdgDataHome"); // else the data home is ~/.local/share
    QTest::addColumn<QString>("folderName");
    QTest::newRow("XDG_DATA_HOME") << true << "trevano-lite";
    QTest::newRow("home only, a folder name to quote") << false << "Program \"100%\" $HOME`x`";
}

void tst_install::desktopEntry() {
    QFETCH(bool, xdgDataHome);
    QFETCH(QString, folderName);
    QTemporaryDir base, home;
    const QString prefix = base.filePath(folderName);
    const QString dataHome =
        xdgDataHome ? base.filePath("xdg data") : home.filePath(".local/share");
    // A menu the user keeps already: it stays as it is.
    QVERIFY(QDir().mkpath(dataHome + "/applications"));
    write(dataHome + "/applications/editor.desktop", "[Desktop Entry]\nName=Mine\n");
    const QProcessEnvironment environment =
        withDataHome(home.path(), xdgDataHome ? dataHome : QString());
    const QString error = install(prefix, environment);
    QVERIFY2(error.isEmpty(), qPrintable(error));

    const QString entryPath = dataHome + "/applications/trevano-lite.desktop";
    QSettings entry(entryPath, QSettings::IniFormat);
    entry.beginGroup("Desktop Entry");
    QCOMPARE(entry.value("Type").toString(), QString("Application"));
    QCOMPARE(entry.value("Name").toString(), QString("Trevano Lite"));
    QCOMPARE(entry.value("Icon").toString(), QString("trevano-lite"));
    QCOMPARE(entry.value("Terminal").toString(), QString("false"));
    const QByteArray file = content(entryPath);
    const QByteArray execLine = file.mid(file.indexOf("\nExec=") + 6).split('\n').first();
    const QString program = execProgram(QString::fromUtf8(execLine));
    QCOMPARE(program, QDir(prefix).filePath("trevano"));
    QVERIFY(QFileInfo(program).isExecutable());
    QCOMPARE(content(dataHome + "/icons/hicolor/64x64/apps/trevano-lite.png"),
             content(QStringLiteral(TREVANO_SOURCE_DIR "/data/pictures/icon.png")));
    QCOMPARE(content(dataHome + "/applications/editor.desktop"),
             QByteArray("[Desktop Entry]\nName=Mine\n"));
    // Nothing lands in the program folder for it, nor beside the data home.
    QVERIFY(!QFile::exists(QDir(prefix).filePath("trevano-lite.desktop")));
    if (xdgDataHome)
        QVERIFY(!QFile::exists(home.filePath(".local")));

    // An entry of an earlier install that pointed elsewhere is brought up to date.
    write(entryPath, QByteArray(file).replace(execLine, "\"/old/place/trevano\""));
    QVERIFY(install(prefix, environment).isEmpty());
    QCOMPARE(content(entryPath), file);
}

void tst_install::desktopEntryOfTheUserStays() {
    QTemporaryDir prefix, home;
    const QString entryPath = home.filePath("data/applications/trevano-lite.desktop");
    QVERIFY(QDir().mkpath(home.filePath("data/applications")));
    const QByteArray own = "[Desktop Entry]\nType=Application\nName=Patrols\nExec=/opt/x\n";
    write(entryPath, own);
    QVERIFY(install(prefix.path(), withDataHome(home.path(), home.filePath("data"))).isEmpty());
    QCOMPARE(content(entryPath), own);
}

QTEST_GUILESS_MAIN(tst_install)
#include "tst_install.moc"
