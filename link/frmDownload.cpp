#include "frmDownload.h"

#include "BusyPointer.h"
#include "cSerialLink.h"
#include "mErrorHandler.h"
#include "mGlobals.h"
#include "mLinkGlobals.h"
#include "mQuietLine.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

namespace {

// Waiting for the line is worth a word only when it lasts longer than a stream's tail.
constexpr qint64 kSayWaitingAfterMs = 700;

QString IncompleteText() {
    return Translate(QStringLiteral("Download Error")) + QStringLiteral("\r\n") +
           Translate(QStringLiteral(
               "The reader's data did not arrive whole; nothing of it was used. Please try again."));
}

QString LineLostText() {
    return Translate(QStringLiteral("Download Error")) + QStringLiteral("\r\n") +
           Translate(QStringLiteral(
               "The connection to the docking station was lost. Check the docking station and its cable, then go to the Home page to connect again."));
}

} // namespace

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
    tmrLine.setInterval(25);
    connect(&tmrStart, &QTimer::timeout, this, &frmDownload::tmrStart_Timer);
    connect(&tmrGetPackets, &QTimer::timeout, this, &frmDownload::tmrGetPackets_Timer);
    connect(&tmrLine, &QTimer::timeout, this, &frmDownload::tmrLine_Timer);
    connect(&tmrTimeout, &QTimer::timeout, this,
            [this] { Fail(Translate(QStringLiteral("Download Error"))); });
    // A line that fails ends the download at once: nothing more can arrive on it. Queued, so
    // that the box opens outside the port's own error report.
    connect(
        &link, &cSerialLink::portLost, this,
        [this] {
            if (phase != Phase::Finished)
                Fail(LineLostText());
        },
        Qt::QueuedConnection);
    tmrStart.start();
}

frmDownload::~frmDownload() {
    gReceiveEnabled = false;
}

void frmDownload::stopTimers() {
    tmrStart.stop();
    tmrGetPackets.stop();
    tmrTimeout.stop();
    tmrLine.stop();
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
    // A reader may still be sending a stream nobody listens to any more (a cancelled
    // download): the request goes out only once it has ended, so that no packet of that
    // stream is taken for one of this download.
    phase = Phase::WaitingForQuiet;
    waitingSince.start();
    tmrLine.start();
    tmrLine_Timer();
}

void frmDownload::tmrLine_Timer() {
    if (finished)
        return;
    if (phase == Phase::WaitingForQuiet) {
        if (link.QuietMs() >= cSerialLink::kQuietMs) {
            SendRequest();
        } else if (waitingSince.elapsed() >= cSerialLink::kQuietLimitMs) {
            Fail(Translate(QStringLiteral(
                "The docking station does not stop sending. Check the reader and the docking station, then try again.")));
        } else if (waitingSince.elapsed() >= kSayWaitingAfterMs &&
                   lblMsgs->text() != Translate(QLatin1String(LineBusyText()))) {
            lblMsgs->setText(Translate(QLatin1String(LineBusyText())));
            adjustSize(); // the window was sized for the shorter text
        }
        return;
    }
    if (phase != Phase::CheckingEnd || !TakePackets())
        return;
    // Whole only when nothing more follows the last packet the record count announced.
    if (link.QuietMs() >= cSerialLink::kQuietMs)
        Complete();
    else if (waitingSince.elapsed() >= cSerialLink::kQuietLimitMs)
        Fail(IncompleteText());
}

void frmDownload::SendRequest() {
    tmrLine.stop();
    if (!firmwareMode)
        lblMsgs->setText(Translate(QStringLiteral("Downloading data from reader")));
    phase = Phase::Receiving;
    tmrGetPackets.setInterval(350);
    tmrGetPackets.start();
    gReceiveEnabled = true;
    const QByteArray frame = BuildPacket(0x03, 0x01, 0x03, 0x51, 0x00, CmdDownload());
    link.InBuffer().Clear();
    droppedAtStart = link.InBuffer().DroppedFrames();
    if (!link.WriteFrame(frame))
        Fail(LineLostText());
}

void frmDownload::tmrGetPackets_Timer() {
    LinkYield();
    if (phase == Phase::Receiving)
        TakePackets();
}

bool frmDownload::TakePackets() {
    // Every frame waiting is taken, so the download keeps pace with the line.
    QByteArray frame;
    while (!finished) {
        const bool taken = link.InBuffer().GetPacket(frame);
        // A frame spoilt on the line may have been any packet, the first one included.
        if (link.InBuffer().DroppedFrames() != droppedAtStart) {
            Fail(IncompleteText());
            return false;
        }
        if (!taken)
            return true;
        if (phase == Phase::CheckingEnd) {
            if (frame.size() >= kDownloadFrameLength &&
                static_cast<quint8>(frame.at(Frame::kDataOffset)) == kReplyDownloadData) {
                Fail(IncompleteText());
                return false;
            }
            continue; // not a packet of the log
        }
        const int status = ProcessPacket(frame);
        prgOnline->setValue(qMin(packetsReceived, prgOnline->maximum()));
        if (expectedPackets > 0)
            lblProgress->setText(
                QString::number(qRound(100.0 * packetsReceived / expectedPackets)) +
                QLatin1Char('%'));
        switch (status) {
        case -3:
            Fail(Translate(QStringLiteral("Reader not detected. Check reader and try again.")));
            return false;
        case -2:
            Fail(Translate(QStringLiteral("Download Error")) + QStringLiteral(" (002)"));
            return false;
        case -1:
            Fail(Translate(QStringLiteral("Download Error")));
            return false;
        case 0:
            tmrTimeout.stop();
            tmrTimeout.start();
            break;
        default:
            // The last packet the record count announces: whatever follows it now is too many.
            tmrGetPackets.stop();
            tmrTimeout.stop();
            phase = Phase::CheckingEnd;
            waitingSince.start();
            tmrLine.start();
            break;
        }
    }
    return false;
}

void frmDownload::Complete() {
    stopTimers();
    phase = Phase::Finished;
    if (!IsWholeDownload(packets, recordCount)) {
        Fail(IncompleteText());
        return;
    }
    lblMsgs->setText(Translate(QStringLiteral("Download Completed")));
    LinkYield();
    if (firmwareMode || idMode) {
        Succeed();
        return;
    }
    LinkYield();
    LinkPause(500);
    if (ProcessData())
        Succeed();
    else
        Fail(Translate(QStringLiteral("Download Error")));
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
        // Every mode takes the whole stream and checks it before it believes the first packet.
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
            packets, recordCount,
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
    QApplication::beep();
    buttons = colRawButtons();
    // Nothing of a failed run is reported: a version or ID from it may belong to no reader.
    firmware.clear();
    pipeId.clear();
    {
        // The normal pointer over the box, whoever shows the hourglass around this window.
        const BusyPointer normal(Qt::ArrowCursor);
        gTranslator->IvMessageBox(text, QString(), IvBox::Warning, IvBox::Ok, 0);
    }
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
