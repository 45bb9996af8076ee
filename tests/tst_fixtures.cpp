// The test fixtures themselves, where a fault of theirs would hide faults of the program.
#include <QProcess>
#include <QtTest>

class tst_fixtures : public QObject {
    Q_OBJECT
private slots:
    // A box that no test answers fails the test at once, with its text, and does not wait.
    void unexpectedBoxFails() {
        QProcess probe;
        probe.setProcessChannelMode(QProcess::MergedChannels);
        probe.start(UNEXPECTED_BOX_PROBE, QStringList());
        QVERIFY(probe.waitForFinished(30000));
        const QByteArray output = probe.readAll();
        QCOMPARE(probe.exitStatus(), QProcess::NormalExit);
        QVERIFY2(probe.exitCode() == 1, output.constData()); // one failed test function
        QVERIFY2(output.contains("FAIL!  : UnexpectedBoxProbe::showsABox() A box no test "
                                 "expected: \"Probe\" \"Nobody expects me. Again?\""),
                 output.constData());
        QVERIFY2(output.contains("after the box"), output.constData());
    }
};

QTEST_GUILESS_MAIN(tst_fixtures)
#include "tst_fixtures.moc"
