// No exception crosses the event loop: the application object hands it to the error handler.
#include "AppError.h"
#include "TestHome.h"
#include "TestMain.h"

#include <QDialog>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

class tst_guard : public QObject {
    Q_OBJECT
private slots:
    void slotThrowsInsideModalDialog();
};

void tst_guard::slotThrowsInsideModalDialog() {
    TestHome home;
    BoxRecorder boxes;
    QDialog dialog;
    QPushButton* button = new QPushButton(QStringLiteral("go"), &dialog);
    button->setObjectName(QStringLiteral("cmdThrow"));
    QObject::connect(button, &QPushButton::clicked,
                     [] { throw AppError(19, QStringLiteral("constraint failed")); });
    bool stillRunning = false;
    // Throws out of the slot, inside the dialog's event loop.
    QTimer::singleShot(0, &dialog, [&] { QTest::mouseClick(button, Qt::LeftButton); });
    QTimer::singleShot(50, &dialog, [&] {
        stillRunning = dialog.isVisible();
        dialog.accept();
    });
    QCOMPARE(dialog.exec(), int(QDialog::Accepted));
    QVERIFY(stillRunning);
    QCOMPARE(boxes.boxes.size(), 1);
    QVERIFY(boxes.boxes.first().text.contains(QStringLiteral("constraint failed")));

    const QStringList lines = home.errorLog().split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 2); // one line and the final line end
    QVERIFY(lines.first().contains(QStringLiteral("Error 19 in notify of Form cmdThrow")));
}

TREVANO_TEST_MAIN(tst_guard)

#include "tst_guard.moc"
