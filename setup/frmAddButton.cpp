#include "frmAddButton.h"

#include "ui_frmAddButton.h"

#include "TextLimit.h"
#include "cCommandExchange.h"
#include "cSerialLink.h"
#include "frmManualID.h"
#include "mDialogSupport.h"
#include "mErrorHandler.h"
#include "mGlobals.h"
#include "mLinkGlobals.h"

frmAddButton::frmAddButton(cSerialLink& serialLink, QWidget* parent)
    : QDialog(parent), link(serialLink), ui(std::make_unique<Ui::frmAddButton>()) {
    ui->setupUi(this);
    LimitCodePointsOfForm(this);
    HideKeepingPlace(ui->lblMsg);
    PlaceAtMainWindowMiddle(this, 16, 24);
    connect(ui->cmdManual, &QPushButton::clicked, this, &frmAddButton::cmdManual_Click);
    connect(ui->cmdOK, &QPushButton::clicked, this, &frmAddButton::cmdOK_Click);
    connect(ui->cmdCancel, &QPushButton::clicked, this, [this] {
        ok = false;
        reject();
    });

    // Queued: the box opens outside the port's own report.
    connect(&link, &cSerialLink::closed, this, &frmAddButton::LineLost, Qt::QueuedConnection);
    openAtStart = link.IsOpen();
    openCountAtStart = link.OpenCount();
    gReceiveEnabled = true;
    link.InBuffer().Clear();
    LoadButtonCodes();

    tmrFlash.setSingleShot(true);
    tmrFlash.setInterval(100);
    connect(&tmrFlash, &QTimer::timeout, this,
            [this] { ui->img1->setPixmap(QPixmap(BigPicture(verdictPicture))); });
    tmrGetID.setInterval(300);
    connect(&tmrGetID, &QTimer::timeout, this, &frmAddButton::tmrGetID_Timer);
    tmrGetID.start();
    LinkYield();
}

frmAddButton::~frmAddButton() {
    gReceiveEnabled = false;
}

void frmAddButton::LoadButtonCodes() {
    try {
        listener.setKnownCodes(ReadButtonCodes(*gConn));
    } catch (const AppError& e) {
        // Without the codes every key looks new; the database still refuses a stored one.
        HandleError(QStringLiteral("LoadButtonCodes of Form frmAddButton"), e, true);
    }
}

void frmAddButton::SetIcon(const QString& key) {
    ui->img1->setPixmap(QPixmap(BigPicture(key)));
}

void frmAddButton::setButtonName(const QString& name) {
    buttonName = name;
    ui->txtName->setText(name);
}

void frmAddButton::setDesc(const QString& text) {
    desc = text;
    ui->txtDesc->setText(text);
}

void frmAddButton::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FocusAndSelect(ui->txtName);
}

void frmAddButton::done(int result) {
    // Unload: nothing more is kept from the line for this dialog.
    tmrGetID.stop();
    tmrFlash.stop();
    gReceiveEnabled = false;
    QDialog::done(result);
}

void frmAddButton::tmrGetID_Timer() {
    LinkYield();
    if (LineGone()) {
        LineLost();
        return;
    }
    const cButtonIdListener::Reading reading = listener.Poll(link.InBuffer());
    if (reading.read) {
        ui->lblID->setText(reading.id);
        Decide(reading.id);
        if (reading.again) {
            // The same key twice: the verdict blinks, without holding up the window.
            ui->img1->clear();
            tmrFlash.start();
        }
    }
    LinkYield();
}

void frmAddButton::Decide(const QString& id) {
    const bool isNew = listener.IsNewButtonCode(id);
    dallasId = isNew ? id : QString();
    ui->cmdOK->setEnabled(isNew);
    ui->lblMsg->setVisible(!isNew);
    verdictPicture = isNew ? QStringLiteral("good") : QStringLiteral("bad");
    tmrFlash.stop();
    ui->img1->setPixmap(QPixmap(BigPicture(verdictPicture)));
}

void frmAddButton::cmdManual_Click() {
    frmManualID dialog(this);
    dialog.exec();
    if (!dialog.OK())
        return;
    ui->lblID->setText(dialog.ID());
    Decide(dialog.ID());
}

void frmAddButton::cmdOK_Click() {
    if (dallasId.isEmpty())
        return;
    if (!AcceptItemName(ui->txtName, existingNames))
        return;
    // Handed back as typed: the check used the trimmed text.
    buttonName = ui->txtName->text();
    desc = ui->txtDesc->text();
    ok = true;
    accept();
}

void frmAddButton::LineLost() {
    if (lineLost || !isVisible())
        return;
    lineLost = true;
    Notice(LinkLostText());
    ok = false;
    reject();
}

bool frmAddButton::LineGone() const {
    return openAtStart && (!link.IsOpen() || link.OpenCount() != openCountAtStart);
}
