#include "frmDownload.h"

#include "BusyPointer.h"
#include "cSerialLink.h"
#include "mGlobals.h"
#include "mQuietLine.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

frmDownload::frmDownload(cSerialLink& link, QWidget* parent)
    : frmDownload(link, link.Timings(), parent) {
    // Queued, so that the box opens outside the port's own error report.
    connect(&link, &cSerialLink::portLost, &session, &cDownloadSession::LineLost,
            Qt::QueuedConnection);
}

frmDownload::frmDownload(cLinkLine& line, const cLinkTimings& timings, QWidget* parent)
    : QDialog(parent), session(line, timings) {
    setObjectName(QStringLiteral("frmDownload"));
    setWindowTitle(Translate(QStringLiteral("Status")));
    auto* layout = new QGridLayout(this);
    auto* image = new QLabel(this);
    image->setObjectName(QStringLiteral("Image1"));
    image->setPixmap(QPixmap(QStringLiteral(":/pictures/download.png")));
    lblMsgs = new QLabel(this);
    lblMsgs->setObjectName(QStringLiteral("lblMsgs"));
    lblMsgs->setMinimumWidth(320);
    lblStatic = new QLabel(Translate(QStringLiteral("Reader ID:")), this);
    lblStatic->setObjectName(QStringLiteral("lblStatic"));
    lblPipeID = new QLabel(this);
    lblPipeID->setObjectName(QStringLiteral("lblPipeID"));
    lblWarning = new QLabel(
        Translate(QStringLiteral("Do not remove the reader until download is complete.")), this);
    lblWarning->setObjectName(QStringLiteral("lblWarning"));
    lblWarning->setStyleSheet(QStringLiteral("color: #a0281e; font-weight: bold;"));
    lblWarning->hide();
    prgOnline = new QProgressBar(this);
    prgOnline->setObjectName(QStringLiteral("prgOnline"));
    prgOnline->setTextVisible(false);
    prgOnline->setRange(0, 1);
    prgOnline->setValue(0);
    lblProgress = new QLabel(this);
    lblProgress->setObjectName(QStringLiteral("lblProgress"));
    cmdCancel = new QPushButton(Translate(QStringLiteral("Cancel")), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    layout->addWidget(image, 0, 0, 3, 1, Qt::AlignTop);
    layout->addWidget(lblMsgs, 0, 1, 1, 2);
    layout->addWidget(lblStatic, 1, 1);
    layout->addWidget(lblPipeID, 1, 2);
    layout->addWidget(lblWarning, 2, 1, 1, 2);
    layout->addWidget(prgOnline, 3, 0, 1, 2);
    layout->addWidget(lblProgress, 3, 2);
    layout->addWidget(cmdCancel, 4, 2, Qt::AlignRight);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    connect(&session, &cDownloadSession::message, this, [this](const QString& text) {
        lblMsgs->setText(text);
        if (text == Translate(QLatin1String(LineBusyText())))
            adjustSize(); // the window was sized for the shorter text
    });
    connect(&session, &cDownloadSession::warningShown, lblWarning, &QWidget::setVisible);
    connect(&session, &cDownloadSession::readerId, lblPipeID, &QLabel::setText);
    connect(&session, &cDownloadSession::progressRange, this, [this](int maximum) {
        prgOnline->setRange(0, maximum);
        prgOnline->setValue(0);
    });
    connect(&session, &cDownloadSession::progress, prgOnline, &QProgressBar::setValue);
    connect(&session, &cDownloadSession::progressText, lblProgress, &QLabel::setText);
    connect(&session, &cDownloadSession::failed, this, &frmDownload::Fail);
    connect(&session, &cDownloadSession::succeeded, this, &frmDownload::Succeed);
    session.Start();
}

void frmDownload::done(int result) {
    // Unload: nothing may arrive for this window any more.
    session.Stop();
    lblWarning->hide();
    QDialog::done(result);
}

void frmDownload::Fail(const QString& text) {
    QApplication::beep();
    {
        // The normal pointer over the box, whoever shows the hourglass around this window.
        const BusyPointer normal(Qt::ArrowCursor);
        gTranslator->IvMessageBox(text, QString(), IvBox::Warning, IvBox::Ok, 0);
    }
    reject();
}

void frmDownload::Succeed() {
    QApplication::beep();
    accept();
}
