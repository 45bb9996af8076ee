#include "frmEditReader.h"

#include "ui_frmEditReader.h"

#include "TextLimit.h"
#include "mButtons.h"
#include "mDialogSupport.h"

frmEditReader::frmEditReader(QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::frmEditReader>()) {
    ui->setupUi(this);
    LimitCodePointsOfForm(this);
    ui->img1->setPixmap(QPixmap(BigPicture(QStringLiteral("reader"))));
    connect(ui->cmdOK, &QPushButton::clicked, this, &frmEditReader::cmdOK_Click);
    connect(ui->cmdCancel, &QPushButton::clicked, this, [this] {
        ok = false;
        reject();
    });
}

frmEditReader::~frmEditReader() = default;

void frmEditReader::setDesc(const QString& text) {
    desc = text;
    startingName = text;
    ui->txtDesc->setText(text);
}

void frmEditReader::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FocusAndSelect(ui->txtDesc);
}

void frmEditReader::cmdOK_Click() {
    if (!AcceptItemName(ui->txtDesc, existingNames, startingName))
        return;
    // Handed back as typed: the check used the trimmed text.
    desc = ui->txtDesc->text();
    ok = true;
    accept();
}
