// The install puts the program's own files into the program folder and nothing else: what the
// program wrote there and the user's database stay as they are.
#include "TestHome.h"

#include <QCryptographicHash>
#include <QProcess>
#include <QtTest>

namespace {

QString install(const QString& prefix) {
    QProcess cmake;
    cmake.start(QStringLiteral(TREVANO_CMAKE),
                {"--install", QStringLiteral(TREVANO_BINARY_DIR), "--prefix", prefix});
    if (!cmake.waitForFinished(30000) || cmake.exitCode() != 0)
        return QString::fromUtf8(cmake.readAllStandardError() + cmake.readAllStandardOutput());
    return QString();
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
};

void tst_install::programFilesOnly() {
    QTemporaryDir prefix;
    const QDir folder(prefix.path());
    const QString error = install(prefix.path());
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
    QVERIFY(install(prefix.path()).isEmpty());
    for (auto it = kept.begin(); it != kept.end(); ++it)
        QCOMPARE(content(folder.filePath(it.key())), it.value());
    QCOMPARE(content(folder.filePath("QX7.MLD")),
             content(QStringLiteral(TREVANO_SOURCE_DIR "/data/QX7.MLD")));
}

QTEST_GUILESS_MAIN(tst_install)
#include "tst_install.moc"
