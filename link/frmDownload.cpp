#include "frmDownload.h"

#include "cSerialLink.h"
#include "mErrorHandler.h"
#include "mGlobals.h"
#include "mLinkGlobals.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

frmDownload::frmDownload(cSerialLink& serialLink, QWidget* parent)
    : QDialog(parent), link(serialLink) {
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
    connect(cmdCancel, &QPushButton::clicked, this, [this] {
        ok = false;
        reject();
    });

    tmrStart.setSingleShot(true);
    tmrStart.setInterval(500);
    tmrGetPackets.setInterval(500);
    tmrTimeout.setInterval(5000);
    connect(&tmrStart, &QTimer::timeout, this, &frmDownload::tmrStart_Timer);
    connect(&tmrGetPackets, &QTimer::timeout, this, &frmDownload::tmrGetPackets_Timer);
    connect(&tmrTimeout, &QTimer::timeout, this,
            [this] { Fail(Translate(QStringLiteral("Download Error"))); });
    tmrStart.start();
}

frmDownload::~frmDownload() {
    gReceiveEnabled = false;
}

void frmDownload::stopTimers() {
    tmrStart.stop();
    tmrGetPackets.stop();
    tmrTimeout.stop();
}

void frmDownload::done(int result) {
    // Unload: nothing may arrive for this window any more.
    finished = true;
    stopTimers();
    lblWarning->hide();
    gReceiveEnabled = false;
    QDialog::done(result);
}

void frmDownload::closeEvent(QCloseEvent* event) {
    ok = false;
    QDialog::closeEvent(event);
}

void frmDownload::tmrStart_Timer() {
    if (!firmwareMode)
        lblMsgs->setText(Translate(QStringLiteral("Downloading data from reader")));
    lblWarning->show();
    LinkYield();
    LinkPause(800);
    if (finished)
        return;
    tmrGetPackets.setInterval(350);
    tmrGetPackets.start();
    gReceiveEnabled = true;
    const QByteArray frame = BuildPacket(0x03, 0x01, 0x03, 0x51, 0x00, CmdDownload());
    link.InBuffer().Clear();
    link.WriteFrame(frame);
}

void frmDownload::tmrGetPackets_Timer() {
    LinkYield();
    // Every frame waiting is taken, so the download keeps pace with the line.
    QByteArray frame;
    while (!finished && link.InBuffer().GetPacket(frame)) {
        const int status = ProcessPacket(frame);
        prgOnline->setValue(qMin(packetsReceived, prgOnline->maximum()));
        if (expectedPackets > 0)
            lblProgress->setText(
                QString::number(qRound(100.0 * packetsReceived / expectedPackets)) +
                QLatin1Char('%'));
        switch (status) {
        case -3:
            Fail(Translate(QStringLiteral("Reader not detected. Check reader and try again.")));
            return;
        case -2:
            Fail(Translate(QStringLiteral("Download Error")) + QStringLiteral(" (002)"));
            return;
        case -1:
            Fail(Translate(QStringLiteral("Download Error")));
            return;
        case 0:
            tmrTimeout.stop();
            tmrTimeout.start();
            break;
        default:
            lblMsgs->setText(Translate(QStringLiteral("Download Completed")));
            LinkYield();
            if (firmwareMode) {
                Succeed();
            } else if (idMode) {
                Succeed();
            } else {
                stopTimers();
                LinkYield();
                LinkPause(500);
                if (ProcessData())
                    Succeed();
                else
                    Fail(Translate(QStringLiteral("Download Error")));
            }
            return;
        }
    }
}

int frmDownload::ProcessPacket(const QByteArray& frame) {
    if (frame.size() >= kDownloadFrameLength) {
        if (static_cast<quint8>(frame.at(Frame::kDataOffset)) != kReplyDownloadData)
            return 0;
        ++packetsReceived;
        if (packetsReceived == 1) {
            const cDownloadHeader header = ReadFirstPacket(frame);
            pipeId = header.PipeID;
            // Taken from the first data packet only, so that no later frame can replace it.
            firmware = FirmwareText(header.Firmware);
            if (firmwareMode && firmware == QLatin1String("V08"))
                firmware = QStringLiteral("V06");
            if (header.RecordCount == kRecordCountError)
                return -1;
            recordCount = header.RecordCount;
            expectedPackets = ExpectedPacketCount(recordCount);
            lblPipeID->setText(pipeId);
            prgOnline->setRange(0, expectedPackets);
            prgOnline->setValue(0);
        }
        // In every mode the whole stream is taken in, so that no packet of it is left on
        // the line to be mistaken for the reply to a later command.
        if (!idMode && !firmwareMode)
            packets.Add(frame).Tag = packetsReceived;
        return packetsReceived >= expectedPackets ? 1 : 0;
    }
    if (frame.size() < Frame::kDataOffset + 9)
        return 0;
    const QByteArray status = frame.mid(Frame::kDataOffset + 1, 8);
    if (status == QByteArray(8, '\x01'))
        return -2;
    if (status == QByteArray(8, '\xFF'))
        return -3;
    return 0;
}

bool frmDownload::ProcessData() {
    try {
        lblMsgs->setText(Translate(QStringLiteral("Processing Data")));
        prgOnline->setRange(0, qMax(recordCount, 1));
        prgOnline->setValue(0);
        LinkYield();
        LinkPause(200);
        buttons = DecodePackets(
            packets,
            [](const QString& code) {
                try {
                    return LookUpButtonData(code);
                } catch (const AppError& e) {
                    HandleError(QStringLiteral("LookUpButtonData of Form frmDownload"), e, false);
                    throw;
                }
            },
            [this](int touches) {
                prgOnline->setValue(qMin(touches, prgOnline->maximum()));
                if (expectedPackets > 0)
                    lblProgress->setText(
                        QStringLiteral("%1%").arg(qRound(100.0 * packetsReceived / expectedPackets),
                                                  2, 10, QLatin1Char('0')));
            });
        prgOnline->setValue(prgOnline->maximum());
        lblProgress->setText(QStringLiteral("100%"));
        LinkPause(400);
        LinkYield();
        return true;
    } catch (const AppError&) {
        return false;
    }
}

void frmDownload::Fail(const QString& text) {
    if (finished)
        return;
    // One failure box at a time: the watchdog must not raise a second one meanwhile.
    stopTimers();
    lblWarning->hide();
    LinkYield();
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
    QApplication::beep();
    buttons = colRawButtons();
    gTranslator->IvMessageBox(text, QString(), 0, 4, 0);
    ok = false;
    reject();
}

void frmDownload::Succeed() {
    if (finished)
        return;
    stopTimers();
    lblWarning->hide();
    ok = true;
    QApplication::beep();
    accept();
}
