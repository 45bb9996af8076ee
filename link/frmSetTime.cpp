#include "frmSetTime.h"

#include "BusyPointer.h"
#include "Settings.h"
#include "cCommandExchange.h"
#include "cHeldLine.h"
#include "cSerialLink.h"
#include "mGlobals.h"
#include "mPacket.h"
#include "mQuietLine.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QTimeEdit>
#include <QVBoxLayout>

namespace {
const QString kReaderSetting = QStringLiteral("ReaderSetting");
} // namespace

frmSetTime::frmSetTime(cSerialLink& serialLink, QWidget* parent)
    : QDialog(parent), link(serialLink) {
    setObjectName(QStringLiteral("frmSetTime"));
    auto named = [](QWidget* w, const char* name) {
        w->setObjectName(QLatin1String(name));
        return w;
    };
    auto* layout = new QGridLayout(this);
    chkSendTimeOnUpload =
        static_cast<QCheckBox*>(named(new QCheckBox(this), "chkSendTimeOnUpload"));

    auto* date = new QGroupBox(this);
    fraDate = named(date, "fraDate");
    auto* dateLayout = new QVBoxLayout(date);
    dtpPanelDate = static_cast<QDateEdit*>(named(new QDateEdit(date), "dtpPanelDate"));
    dtpPanelDate->setCalendarPopup(true);
    dtpPanelDate->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    dtpPanelDate->setDateRange(QDate(2000, 1, 1),
                               QDate(2179, 6, 6)); // what the reader's day code carries
    dateLayout->addWidget(dtpPanelDate);

    auto* time = new QGroupBox(this);
    Frame10 = named(time, "Frame10");
    auto* timeLayout = new QGridLayout(time);
    optSetTime_0 = static_cast<QRadioButton*>(named(new QRadioButton(time), "optSetTime_0"));
    lblPCTime = static_cast<QLabel*>(named(new QLabel(QStringLiteral("00:00"), time), "lblPCTime"));
    optSetTime_1 = static_cast<QRadioButton*>(named(new QRadioButton(time), "optSetTime_1"));
    DTPicker1 = static_cast<QTimeEdit*>(named(new QTimeEdit(time), "DTPicker1"));
    DTPicker1->setDisplayFormat(QStringLiteral("HH:mm"));
    timeLayout->addWidget(optSetTime_0, 0, 0);
    timeLayout->addWidget(lblPCTime, 0, 1);
    timeLayout->addWidget(optSetTime_1, 1, 0);
    timeLayout->addWidget(DTPicker1, 1, 1);
    optSetTime_0->setChecked(true);

    auto* signals_ = new QGroupBox(this);
    Frame2 = named(signals_, "Frame2");
    auto* signalLayout = new QVBoxLayout(signals_);
    chkSound = static_cast<QCheckBox*>(named(new QCheckBox(signals_), "chkSound"));
    chkLED = static_cast<QCheckBox*>(named(new QCheckBox(signals_), "chkLED"));
    chkVibration = static_cast<QCheckBox*>(named(new QCheckBox(signals_), "chkVibration"));
    signalLayout->addWidget(chkSound);
    signalLayout->addWidget(chkLED);
    signalLayout->addWidget(chkVibration);

    auto* duration = new QGroupBox(this);
    Frame1 = named(duration, "Frame1");
    auto* durationLayout = new QVBoxLayout(duration);
    optTime_0 = static_cast<QRadioButton*>(named(new QRadioButton(duration), "optTime_0"));
    optTime_1 = static_cast<QRadioButton*>(named(new QRadioButton(duration), "optTime_1"));
    durationLayout->addWidget(optTime_0);
    durationLayout->addWidget(optTime_1);

    lblNote = static_cast<QLabel*>(named(new QLabel(this), "lblNote"));
    lblNote->setWordWrap(true);
    auto* image = named(new QLabel(this), "Image2");
    static_cast<QLabel*>(image)->setPixmap(QPixmap(QStringLiteral(":/pictures/setup.png")));
    auto* send = new QPushButton(this);
    cmdSendRealTime = named(send, "cmdSendRealTime");
    send->setDefault(true);
    auto* cancel = new QPushButton(this);
    cmdCancel = named(cancel, "cmdCancel");

    layout->addWidget(image, 0, 0, 2, 1, Qt::AlignTop);
    layout->addWidget(chkSendTimeOnUpload, 0, 1, 1, 2);
    layout->addWidget(date, 1, 1);
    layout->addWidget(time, 1, 2);
    layout->addWidget(signals_, 2, 1);
    layout->addWidget(duration, 2, 2);
    layout->addWidget(lblNote, 3, 0, 1, 3);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(send);
    buttons->addWidget(cancel);
    layout->addLayout(buttons, 4, 0, 1, 3);

    connect(send, &QPushButton::clicked, this, &frmSetTime::cmdSendRealTime_Click);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(chkSendTimeOnUpload, &QCheckBox::clicked, this,
            [this] { gAutoSetTime = chkSendTimeOnUpload->isChecked(); });
    connect(DTPicker1, &QTimeEdit::timeChanged, this, [this] { optSetTime_1->setChecked(true); });

    Translate();
    sentTime.clear();
    ShowPCTime();
    LoadReaderSettings();
    chkSendTimeOnUpload->setChecked(gAutoSetTime);
}

void frmSetTime::Translate() {
    setWindowTitle(::Translate(QStringLiteral("Configuration")));
    chkSendTimeOnUpload->setText(::Translate(
        QStringLiteral("Automatically Set Time and Date to PC's settings when downloading Data")));
    static_cast<QGroupBox*>(fraDate)->setTitle(::Translate(QStringLiteral("&Date")));
    static_cast<QGroupBox*>(Frame10)->setTitle(::Translate(QStringLiteral("&Set Time Options")));
    optSetTime_0->setText(::Translate(QStringLiteral("Same as PC Clock:")));
    optSetTime_1->setText(::Translate(QStringLiteral("Custom Time")));
    static_cast<QGroupBox*>(Frame2)->setTitle(::Translate(QStringLiteral("Settings")));
    chkSound->setText(::Translate(QStringLiteral("Buzzer Enabled")));
    chkLED->setText(::Translate(QStringLiteral("LED Enabled")));
    chkVibration->setText(::Translate(QStringLiteral("Vibration Enabled")));
    static_cast<QGroupBox*>(Frame1)->setTitle(::Translate(QStringLiteral("Buzzer Duration")));
    optTime_0->setText(::Translate(QStringLiteral("Short")));
    optTime_1->setText(::Translate(QStringLiteral("Long")));
    static_cast<QPushButton*>(cmdSendRealTime)->setText(::Translate(QStringLiteral("&Send")));
    static_cast<QPushButton*>(cmdCancel)->setText(::Translate(QStringLiteral("&Cancel")));
    lblNote->setText(::Translate(QStringLiteral("Note:")) + QLatin1Char(' ') +
                     ::Translate(QStringLiteral(
                         "If you select a custom date then this will only apply for one time")) +
                     QLatin1Char(' ') +
                     ::Translate(QStringLiteral(
                         "The automatic update feature only uses the PC's date and time")));
}

void frmSetTime::ShowPCTime() {
    const QDateTime now = QDateTime::currentDateTime();
    dtpPanelDate->setDate(now.date());
    lblPCTime->setText(now.time().toString(QStringLiteral("HH:mm")));
    const QSignalBlocker quiet(DTPicker1); // showing a time is not choosing one
    DTPicker1->setTime(QTime(now.time().hour(), now.time().minute()));
}

void frmSetTime::LoadReaderSettings() {
    chkSound->setChecked(Settings::GetInt(kReaderSetting, QStringLiteral("Buzzer"), 1) == 1);
    chkLED->setChecked(Settings::GetInt(kReaderSetting, QStringLiteral("Led"), 1) == 1);
    chkVibration->setChecked(Settings::GetInt(kReaderSetting, QStringLiteral("Vibration"), 1) == 1);
    (Settings::GetInt(kReaderSetting, QStringLiteral("BuzzerDuration"), 1) == 1 ? optTime_0
                                                                                : optTime_1)
        ->setChecked(true);
}

LinkResult frmSetTime::SendTime(cCommandExchange& exchange) {
    // One reading of the clock: hour and minute always belong together.
    const QTime time = optSetTime_0->isChecked() ? QTime::currentTime() : DTPicker1->time();
    const QDate date = dtpPanelDate->date();
    const QDateTime moment(date, QTime(time.hour(), time.minute()));
    sentTime = moment.time().toString(QStringLiteral("HH:mm")) + QStringLiteral("  ") +
               QLocale::system().toString(date, QStringLiteral("dd MMM yyyy"));
    return exchange.SetClock(moment, LineBusyWaiting(exchange.Timings(), this));
}

LinkResult frmSetTime::SendReaderOptions(cCommandExchange& exchange) {
    const quint8 options = ReaderOptionByte(chkSound->isChecked(), chkLED->isChecked(),
                                            chkVibration->isChecked(), optTime_1->isChecked());
    return exchange.SetOptions(options, LineBusyWaiting(exchange.Timings(), this));
}

void frmSetTime::cmdSendRealTime_Click() {
    BusyPointer hourglass;
    if (!chkLED->isChecked() && !chkSound->isChecked() && !chkVibration->isChecked()) {
        hourglass.Release();
        gTranslator->IvMessageBox(
            QStringLiteral(
                "You must select at least one of the reader options (Led, Buzzer or Vibration)"),
            QString(), IvBox::Warning, IvBox::Ok, 0);
        return;
    }
    // Both commands go to the line that was open when Send was pressed.
    cHeldLine line = HoldLink(link);
    cCommandExchange exchange(line, link.Timings());
    // One wait for a reader still sending, for both commands: Cancel there sends neither.
    LinkResult timeSent = exchange.WaitQuiet(LineBusyWaiting(link.Timings(), this));
    LinkResult optionsSent = timeSent;
    if (timeSent == LinkResult::Done) {
        timeSent = SendTime(exchange);
        // Sent even when the clock failed, but not on a line that is gone.
        optionsSent = timeSent == LinkResult::LineLost ? timeSent : SendReaderOptions(exchange);
    }
    hourglass.Release();
    if (timeSent == LinkResult::Done && optionsSent == LinkResult::Done) {
        accept();
        gTranslator->IvMessageBox(::Translate(QStringLiteral("Reader update successful")) +
                                      QStringLiteral("\r\n") + sentTime,
                                  QString(), IvBox::Warning, IvBox::Ok, 0);
    } else if (timeSent == LinkResult::LineLost || optionsSent == LinkResult::LineLost) {
        gTranslator->IvMessageBox(LinkLostText(), QString(), IvBox::Warning, IvBox::Ok, 0);
    } else {
        gTranslator->IvMessageBox(QStringLiteral("Reader update failed.  Please try again."),
                                  QString(), IvBox::Warning, IvBox::Ok, 0);
    }
}

void frmSetTime::done(int result) {
    if (!stored) {
        stored = true;
        Settings::SaveInt(kReaderSetting, QStringLiteral("Buzzer"), chkSound->isChecked() ? 1 : 0);
        Settings::SaveInt(kReaderSetting, QStringLiteral("Led"), chkLED->isChecked() ? 1 : 0);
        Settings::SaveInt(kReaderSetting, QStringLiteral("Vibration"),
                          chkVibration->isChecked() ? 1 : 0);
        Settings::SaveInt(kReaderSetting, QStringLiteral("BuzzerDuration"),
                          optTime_0->isChecked() ? 1 : 2);
        gAutoSetTime = chkSendTimeOnUpload->isChecked();
        Settings::SaveBool(QStringLiteral("Properties"), QStringLiteral("AutoSetTime"),
                           gAutoSetTime);
    }
    QDialog::done(result);
}

frmFirmwareVersion::frmFirmwareVersion(const QString& version, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmFirmwareVersion"));
    setWindowTitle(::Translate(QStringLiteral("Reader Firmware Version Test")));
    auto* layout = new QGridLayout(this);
    auto* image = new QLabel(this);
    image->setObjectName(QStringLiteral("Image1"));
    image->setPixmap(QPixmap(QStringLiteral(":/pictures/download.png")));
    auto* label = new QLabel(
        ::Translate(QStringLiteral("Firmware Version is")) + QLatin1Char(' ') + version, this);
    label->setObjectName(QStringLiteral("Label1"));
    auto* close = new QPushButton(::Translate(QStringLiteral("OK")), this);
    close->setObjectName(QStringLiteral("cmdClose"));
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(image, 0, 0);
    layout->addWidget(label, 0, 1);
    layout->addWidget(close, 1, 1, Qt::AlignRight);
}
