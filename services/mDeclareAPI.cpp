#include "mDeclareAPI.h"

#include "DocumentsFolder.h"

#include <QLocale>
#include <QRegularExpression>
#include <QThread>
#include <QWidget>

void Sleep(int milliseconds) {
    if (milliseconds > 0)
        QThread::msleep(static_cast<unsigned long>(milliseconds));
}

void FormOnTop(QWidget* window, bool onTop) {
    if (!window)
        return;
    const QRect geometry = window->geometry();
    const bool visible = window->isVisible();
    window->setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    window->setGeometry(geometry);
    if (visible)
        window->show();
}

QString GetShortDateFormat() {
    QString pattern = QLocale::system().dateFormat(QLocale::ShortFormat);
    // A report that proves a patrol must not leave the century to guessing.
    static const QRegularExpression twoDigitYear(QStringLiteral("(?<!y)yy(?!y)"));
    pattern.replace(twoDigitYear, QStringLiteral("yyyy"));
    return pattern;
}

QString GetMyDocumentsPath() {
    return DocumentsFolder();
}
