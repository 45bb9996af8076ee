#include "frmAddReader.h"

#include "ui_frmAddReader.h"

#include "TextLimit.h"
#include "cCommandExchange.h"
#include "cSerialLink.h"
#include "frmDownload.h"
#include "mButtons.h"
#include "mDialogSupport.h"
#include "mErrorHandler.h"
#include "mGlobals.h"
#include "mLinkGlobals.h"
#include "mReaders.h"

#include <QScopedValueRollback>

frmAddReader::frmAddReader(cSerialLink& serialLink, QWidget* parent)
    : QDialog(parent), link(serialLink), ui(std::make_unique<Ui::frmAddReader>()) {
    ui->setupUi(this);
    LimitCodePointsOfForm(this);
    HideKeepingPlace(ui->lblMsg);
    connect(ui->cmdRead, &QPushButton::clicked, this, &frmAddReader::cmdRead_Click);
    connect(ui->cmdOK, &QPushButton::clicked, this, &frmAddReader::cmdOK_Click);
    connect(ui->cmdCancel, &QPushButton::clicked, this, [this] {
        ok = false;
        reject();
    });
    // Queued: the box opens outside the port's own report.
    connect(&link, &cSerialLink::closed, this, &frmAddReader::LineLost, Qt::QueuedConnection);
    openAtStart = link.IsOpen();
    openCountAtStart = link.OpenCount();
    gReceiveEnabled = true;
    link.InBuffer().Clear();
    LinkYield();
}

frmAddReader::~frmAddReader() {
    gReceiveEnabled = false;
}

void frmAddReader::done(int result) {
    gReceiveEnabled = false;
    QDialog::done(result);
}

void frmAddReader::setDesc(const QString& text) {
    desc = text;
    ui->txtDesc->setText(text);
}

void frmAddReader::cmdRead_Click() {
    // Whatever an earlier read found no longer counts: a failed read must leave nothing that
    // OK could store.
    readerId.clear();
    ui->lblID->clear();
    ui->img1->clear();
    ui->cmdOK->setEnabled(false);
    ui->lblMsg->hide();
    if (CheckReaderID())
        ui->txtDesc->setFocus(Qt::OtherFocusReason);
}

bool frmAddReader::CheckReaderID() {
    try {
        bool read = false;
        QString id;
        {
            const QScopedValueRollback<bool> during(reading, true);
            frmDownload download(link, this);
            download.setFirmwareVersion(false);
            download.setGetIDMode(true);
            download.exec();
            read = download.OK();
            if (read)
                id = download.PipeID();
        }
        if (!read && LineGone()) {
            LineLost();
            return false;
        }
        if (!read || id.isEmpty()) {
            Notice(Translate(QStringLiteral("Reader ID Download Failed")));
            return false;
        }
        ui->lblID->setText(id);
        const bool isNew = IsNewReaderId(*gConn, id);
        if (isNew)
            readerId = id;
        ui->cmdOK->setEnabled(isNew);
        ui->img1->setPixmap(
            QPixmap(BigPicture(isNew ? QStringLiteral("good") : QStringLiteral("bad"))));
        ui->lblMsg->setVisible(!isNew);
        link.InBuffer().Clear();
        LinkYield();
        return true;
    } catch (const AppError& e) {
        ShowProcedureError(QStringLiteral("CheckReaderID"), e);
        return false;
    }
}

void frmAddReader::cmdOK_Click() {
    if (!AcceptItemName(ui->txtDesc, existingNames))
        return;
    // Never a row without its ID.
    if (readerId.isEmpty())
        return;
    desc = ui->txtDesc->text();
    ok = true;
    accept();
}

void frmAddReader::LineLost() {
    if (lineLost || reading || !isVisible())
        return;
    lineLost = true;
    Notice(LinkLostText());
    ok = false;
    reject();
}

bool frmAddReader::LineGone() const {
    return openAtStart && (!link.IsOpen() || link.OpenCount() != openCountAtStart);
}
